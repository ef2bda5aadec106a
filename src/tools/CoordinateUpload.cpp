#include "tools/CoordinateUpload.h"

#include <memory>

#include "core/numeric/Numbers.h"
#include "core/text/SplitLines.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"
#include "tools/FileTools.h"

namespace qef {

ToolStatus UploadCoordinateFile(const std::string& coordName, const ComputationSettings& settings,
                                Progress& monitor, Interaction& ui, DrawingTarget* target) {
    ToolStatus status;
    const std::string drawingName = DrawingPathFor(coordName);
    if (target == nullptr && !ResultNameUsable({coordName}, drawingName, ui, status)) return status;
    SplitLines lines(coordName, settings.FixedFieldWidth);
    if (!lines.IsOpen()) {
        ReportUnreadable(coordName, ui, status);
        return status;
    }
    OneBased<std::string> names;
    OneBased<double> x, y, h;
    const FieldArray& f = lines.Fields();
    NameCutter cutter;
    // A number a survey can give: 1e308 would put the point out of any drawing's reach.
    const auto value = [&](std::size_t i, double& v) {
        return TryParseReal(TrimBlanks(f.Whole(i)), v) && PlausibleValue(v, settings);
    };
    while (lines.Next()) {
        const int k = lines.Count();
        if (k == 0) continue;
        double vx = 0.0, vy = 0.0, vh = 0.0;
        // Every reader refuses such a name: the line is damaged, and drawn it would be another point.
        if (!NamesWithoutNul(lines, {1}, coordName, ui, status)) return status;
        std::string whole = f.Whole(1);
        std::erase(whole, ' ');
        if (k < 3 || whole.empty() || !value(2, vx) || !value(3, vy) || (k >= 4 && !value(4, vh))) {
            ++status.Skipped;
            continue;
        }
        names.PushBack(cutter.Take(whole));
        x.PushBack(vx);
        y.PushBack(vy);
        h.PushBack(vh);
    }
    // An empty drawing would replace the one an earlier upload left.
    if (names.Size() == 0) {
        ReportNoData(coordName, ui, status);
        return status;
    }
    cutter.Report(coordName, ui);
    if (status.Skipped > 0)
        ui.Message(Vn("Có ") + std::to_string(status.Skipped) + Vn(" dòng số liệu không phù hợp, không đưa vào bản vẽ"));
    std::unique_ptr<DxfDrawing> own;
    if (target == nullptr) {
        own = std::make_unique<DxfDrawing>(drawingName, DrawingWrites::ByOwner);
        target = own.get();
    }
    // The options dialog chose the layers by the kind of points the file holds.
    AcadExportDetailPoints({settings, *target, monitor, ui}, settings.AcadCurrentLayer, names.Size(), names, x, y, h,
                           settings.AcadUploadFlags);
    if (own != nullptr && own->Exported()) {
        if (!own->Write()) {
            own->ReportFailure(ui);
            status.Outcome = RunOutcome::WriteFailed;
            return status;
        }
        status.WrittenFile = drawingName;
    }
    status.Written = names.Size();
    return status;
}

}  // namespace qef
