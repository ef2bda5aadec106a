#include "drawing/CoordinateUpload.h"

#include <memory>

#include "core/model/OutputNames.h"
#include "core/numeric/Numbers.h"
#include "core/text/SplitLines.h"
#include "core/text/TextHelpers.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"

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
    while (lines.Next()) {
        const int k = lines.Count();
        if (k == 0) continue;
        double vx = 0.0, vy = 0.0, vh = 0.0;
        const std::string name = RemoveCharToName(f[1]);
        if (k < 3 || name.empty() || !TryParseReal(TrimBlanks(f[2]), vx) || !TryParseReal(TrimBlanks(f[3]), vy) ||
            (k >= 4 && !TryParseReal(TrimBlanks(f[4]), vh))) {
            ++status.Skipped;
            continue;
        }
        names.PushBack(name);
        x.PushBack(vx);
        y.PushBack(vy);
        h.PushBack(vh);
    }
    // An empty drawing would replace the one an earlier upload left.
    if (names.Size() == 0) {
        ReportNoData(coordName, ui, status);
        return status;
    }
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
