#include "drawing/DrawingExport.h"

#include <algorithm>
#include <cmath>

#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

constexpr int kPointLayerColour = 1;
constexpr int kNameLayerColour = 2;
constexpr int kHeightLayerColour = 3;
constexpr int kKnownLineColour = 1;
constexpr int kBranchLineColour = 2;

template <typename T>
bool Has(const OneBased<T>& list, long long i) {
    return i >= 1 && i <= list.Size();
}

template <typename T>
const T& At(const OneBased<T>& list, long long i) {
    return list[static_cast<int>(i)];
}

bool HasValue(double v) { return std::isfinite(v) && !IsMissing(v); }

// Survey point i (X north, Y east) in drawing axes; false when it has no coordinates.
bool ToDrawing(const OneBased<double>& x, const OneBased<double>& y, long long i, DrawingPoint& at) {
    if (!Has(x, i) || !Has(y, i)) return false;
    const double north = At(x, i);
    const double east = At(y, i);
    if (!HasValue(north) || !HasValue(east)) return false;
    at = {east, north, 0.0};
    return true;
}

const std::string* NameOf(const PointNameTable& names, long long id) {
    if (id < 1 || id > names.Count()) return nullptr;
    return &names.Name(static_cast<int>(id));
}

// The steps every export shares: reach the drawing, make the layers, tell the monitor, draw,
// and make the drawing lasting.
class Export {
public:
    Export(const DrawingExportContext& context, const std::string& suffix)
        : context_(context),
          pointLayer_("toado" + suffix),
          nameLayer_("sohieu" + suffix),
          heightLayer_("docao" + suffix) {}

    bool Begin(bool withHeightLayer) {
        if (!context_.Target.Attach()) {
            context_.Target.ReportFailure(context_.Ui);
            return false;
        }
        context_.Target.AddLayer(pointLayer_, kPointLayerColour);
        context_.Target.AddLayer(nameLayer_, kNameLayerColour);
        if (withHeightLayer) context_.Target.AddLayer(heightLayer_, kHeightLayerColour);
        context_.Monitor.SetText(MonitorLabel::Stage, Vn("Đang tải lên AutoCAD"));
        return true;
    }

    void End() {
        if (!context_.Target.Detach()) context_.Target.ReportFailure(context_.Ui);
    }

    void Point(const DrawingPoint& at) { context_.Target.AddPoint(pointLayer_, at); }
    void Name(const std::string* name, const DrawingPoint& at, double height) {
        if (name != nullptr) context_.Target.AddText(nameLayer_, " " + *name, at, height);
    }
    void HeightText(const std::string& text, const DrawingPoint& at, double height) {
        context_.Target.AddText(heightLayer_, " " + text, at, height);
    }
    void Line(int colour, const DrawingPoint& from, const DrawingPoint& to) {
        context_.Target.AddLine(nameLayer_, colour, from, to);
    }

private:
    const DrawingExportContext& context_;
    std::string pointLayer_;
    std::string nameLayer_;
    std::string heightLayer_;
};

// The segments of branches 1..branchCount (colour 2) and their points from the second on, each
// with its name; withLastPoint clear leaves the last point to the caller (it is a node).
// pointX/pointY are indexed by position in BranchPoints.
void DrawBranches(Export& out, const NetworkModel& model, int branchCount, const OneBased<double>& pointX,
                  const OneBased<double>& pointY, double height, bool withLastPoint) {
    const BranchModel& branches = model.Branches;
    const int held =
        std::min({branchCount, branches.BranchCount(), branches.BranchOffsets.Size()});
    for (int b = 1; b <= held; ++b) {
        const long long o = At(branches.BranchOffsets, b);
        const long long c = At(branches.BranchPointCounts, b);
        for (long long k = 1; k <= c - 1; ++k) {
            DrawingPoint from;
            DrawingPoint to;
            const bool fromOk = ToDrawing(pointX, pointY, o + k, from);
            const bool toOk = ToDrawing(pointX, pointY, o + k + 1, to);
            if (fromOk && toOk) out.Line(kBranchLineColour, from, to);
            if (!toOk || (k == c - 1 && !withLastPoint)) continue;
            out.Point(to);
            if (Has(branches.BranchPoints, o + k + 1))
                out.Name(NameOf(model.PointNames, At(branches.BranchPoints, o + k + 1)), to, height);
        }
    }
}

}  // namespace

void AcadExportPoints(const DrawingExportContext& context, const PointNameTable& names, int lineCount,
                      int pointCount, const OneBased<double>& x, const OneBased<double>& y,
                      const OneBased<double>& x1, const OneBased<double>& y1, const OneBased<double>& x2,
                      const OneBased<double>& y2, const OneBased<int>& pointIds) {
    if (!context.Settings.AcadUploadEnabled) return;
    Export out(context, context.Settings.AcadLayer1);
    if (!out.Begin(false)) return;
    const double height = context.Settings.AcadTextHeight1;
    for (int i = 1; i <= pointCount; ++i) {
        DrawingPoint at;
        if (!ToDrawing(x, y, i, at)) continue;
        out.Point(at);
        if (Has(pointIds, i)) out.Name(NameOf(names, At(pointIds, i)), at, height);
    }
    for (int j = 1; j <= lineCount; ++j) {
        DrawingPoint from;
        DrawingPoint to;
        if (ToDrawing(x1, y1, j, from) && ToDrawing(x2, y2, j, to)) out.Line(kKnownLineColour, from, to);
    }
    out.End();
}

void AcadExportAdjustedBranches(const DrawingExportContext& context, const NetworkModel& model,
                                int branchCount, int nodeCount, const OneBased<double>& nodeX,
                                const OneBased<double>& nodeY, const OneBased<double>& pointX,
                                const OneBased<double>& pointY, const OneBased<int>& skip) {
    if (!context.Settings.AcadUploadEnabled) return;
    Export out(context, context.Settings.AcadLayer2);
    if (!out.Begin(false)) return;
    const double height = context.Settings.AcadTextHeight2;
    const PointNameTable& names = model.PointNames;

    for (int i = 1; i <= nodeCount; ++i) {
        // A node without a skip entry is not known to be drawable.
        if (!Has(skip, i) || At(skip, i) != 0) continue;
        DrawingPoint at;
        if (!ToDrawing(nodeX, nodeY, i, at)) continue;
        out.Point(at);
        if (Has(model.NetworkNodes, i)) out.Name(NameOf(names, At(model.NetworkNodes, i)), at, height);
    }

    // A branch ends at nodes (drawn above) or known points (drawn by their own export).
    DrawBranches(out, model, branchCount, pointX, pointY, height, false);
    out.End();
}

void AcadExportTraverse(const DrawingExportContext& context, const NetworkModel& model, int branchCount,
                        const OneBased<double>& pointX, const OneBased<double>& pointY) {
    if (!context.Settings.AcadUploadEnabled) return;
    Export out(context, context.Settings.AcadLayer2);
    if (!out.Begin(false)) return;
    DrawBranches(out, model, branchCount, pointX, pointY, context.Settings.AcadTextHeight2, true);
    out.End();
}

void AcadExportDetailPoints(const DrawingExportContext& context, const std::string& layerSuffix,
                            int count, const OneBased<std::string>& names, const OneBased<double>& x,
                            const OneBased<double>& y, const OneBased<double>& h, std::uint8_t flags) {
    const ComputationSettings& settings = context.Settings;
    // The upload of a coordinate file runs outside the detail-point mode and is asked for
    // by the user directly.
    if (settings.Modes.ModeDetailPoints && !settings.AcadUploadEnabled) return;
    Export out(context, layerSuffix);
    if (!out.Begin(true)) return;
    const bool withNames = (flags & 1) != 0;
    const bool withHeights = (flags & 2) != 0;
    const bool heightAsZ = (flags & 4) != 0;
    for (int i = 1; i <= count; ++i) {
        DrawingPoint at;
        if (!ToDrawing(x, y, i, at)) continue;
        const bool hasHeight = Has(h, i) && HasValue(At(h, i));
        const double height = hasHeight ? At(h, i) : 0.0;
        if (heightAsZ) at.Z = height;
        out.Point(at);
        if (withNames && Has(names, i)) out.Name(&At(names, i), at, settings.AcadTextHeight3);
        if (withHeights && hasHeight) {
            double rounded = RoundHalfEven(2, height);
            if (rounded == 0.0) rounded = 0.0;  // no "-0"
            out.HeightText(FormatShortest(rounded), at, settings.AcadHeightTextHeight);
        }
    }
    out.End();
}

}  // namespace qef
