#include "adjustment/GroupAdjustment.h"

#include <algorithm>

#include "adjustment/ClosureChecks.h"
#include "adjustment/RigorousAccuracy.h"
#include "adjustment/RigorousReports.h"
#include "adjustment/SimpleReports.h"
#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"

namespace qef {

GroupOutcome GroupAdjustment::Adjust(GroupWorkingSet& ws, const GroupInputs& in, const PointList& known,
                                     const GroupOutputs& out) {
    const GroupContext context{settings_, run_, ui_, progress_};
    const SimpleGroupResult simple = AdjustGroupSimple(ws, in, context);
    GroupStatus status = WriteSideCorrections(simple, in.Model, out);
    if (status == GroupStatus::Adjusted) status = WriteSimpleGroup(ws, in.Model, out);
    if (status != GroupStatus::Adjusted) return GroupOutcome::Failed;
    RecordCompletedGroup(ws, in.Model, context);
    if (settings_.Modes.RigorousWanted && !AdjustRigorously(ws, in, known, out)) return GroupOutcome::Stopped;
    return GroupOutcome::Adjusted;
}

// The side-correction table takes the group's rows even when the group failed after its sides were
// reduced. A table that cannot be written fails the group.
GroupStatus GroupAdjustment::WriteSideCorrections(const SimpleGroupResult& result, const NetworkModel& model,
                                                  const GroupOutputs& out) {
    if (!result.SidesReduced || out.Reports.Side.empty() ||
        WriteSideCorrectionTable(out.Reports.Side, result.SideCorrections, model.PointNames, settings_, run_, ui_))
        return result.Status;
    unwritten_ = true;
    // A failed group has closed its part of the log already.
    return result.Status == GroupStatus::Failed ? GroupStatus::Failed : CloseFailedGroup();
}

// The output of an adjusted group, in this order: its points in the result file and the drawing
// (unless the rigorous adjustment follows), its tables in the main report, its closure rows, its
// angles and sides in the dh file.
GroupStatus GroupAdjustment::WriteSimpleGroup(const GroupWorkingSet& ws, const NetworkModel& model,
                                              const GroupOutputs& out) {
    const bool rigorous = settings_.Modes.RigorousWanted;
    if (!rigorous && !AppendResultPoints(ws, model, out)) {
        WriteFailure(out.ResultFile);
        return CloseFailedGroup();
    }
    if (!rigorous) DrawAdjustedBranches(ws, model, out);
    if (!out.Reports.Main.empty() &&
        !WriteSimpleResultsText(out.Reports.Main, ws, model, settings_, run_, progress_, ui_)) {
        unwritten_ = true;
        return CloseFailedGroup();
    }
    WriteClosureSummary(ws, model, run_);
    if (settings_.WriteDhFile && !out.Reports.Dh.empty() &&
        !AppendDhAngles(run_.Files, out.Reports.Dh, ws, model, ui_)) {
        unwritten_ = true;
        return CloseFailedGroup();
    }
    return GroupStatus::Adjusted;
}

// An empty line closes the part of the progress log of a group that fails.
GroupStatus GroupAdjustment::CloseFailedGroup() {
    run_.ProgressLog.Add("");
    return GroupStatus::Failed;
}

bool GroupAdjustment::AdjustRigorously(GroupWorkingSet& ws, const GroupInputs& in, const PointList& known,
                                       const GroupOutputs& out) {
    const NetworkModel& model = in.Model;
    const RigorousContext context{settings_, run_, rigorous_, ui_, progress_};
    const RigorousGroupResult result = RigorousAdjustGroup(ws, model, context);
    // A group too large for the rigorous stage keeps its simple adjustment, not written yet.
    if (result.Status == RigorousStatus::TooLarge)
        return AppendResultPoints(ws, model, out) || WriteFailure(out.ResultFile);
    // What later stages read from these angles (a spur hanging from a station read from it) starts
    // from their adjusted values.
    for (const auto& [angle, seconds] : result.Solution.MeasuredCorrections)
        in.Angles.Values[angle] += SecondsToDegrees(seconds);
    if (!WriteRigorousGroup(ws, model, known, result.Solution, out)) return false;
    ++rigorousGroups_;
    return true;
}

// The output of a rigorously adjusted group, in this order: the coordinate and side tables, the
// drawing, the summary in the progress log, the result points, the distance and angle tables.
bool GroupAdjustment::WriteRigorousGroup(const GroupWorkingSet& ws, const NetworkModel& model, const PointList& known,
                                         const RigorousSolution& sol, const GroupOutputs& out) {
    const ReportSet& reports = out.Reports;
    OpenFiles& files = run_.Files;
    for (const std::string* name : {&reports.Rigorous1, &reports.Rigorous3, &reports.Rigorous4, &reports.Rigorous5})
        if (!name->empty() && std::find(tables_.begin(), tables_.end(), *name) == tables_.end())
            tables_.push_back(*name);
    if (!WriteRigorousCoordTable(reports, ws, model, known, sol, settings_, rigorous_.ReportFresh, files))
        return WriteFailure(reports.Rigorous1);
    progress_.SetText(MonitorLabel::Accuracy, Vn("Đánh giá đcx cạnh : "));
    if (!WriteRigorousSideTable(reports.Rigorous5, ws, model, sol, files)) return WriteFailure(reports.Rigorous5);
    DrawAdjustedBranches(ws, model, out);
    WriteRigorousSummary(run_.ProgressLog, settings_, sol);
    if (!AppendResultPoints(ws, model, out)) return WriteFailure(out.ResultFile);
    progress_.SetText(MonitorLabel::Stage, Vn("Đang đánh giá đcx tọa độ, cạnh, phương vị"));
    if (!WriteRigorousDistanceTable(reports.Rigorous4, ws, model, sol, files)) return WriteFailure(reports.Rigorous4);
    if (!WriteRigorousAngleTable(reports.Rigorous3, ws, model, sol, files)) return WriteFailure(reports.Rigorous3);
    return true;
}

const std::string* GroupAdjustment::FlushTables() {
    failedTable_.clear();
    for (const std::string& name : tables_)
        if (!run_.Files.Flush(name) && failedTable_.empty()) failedTable_ = name;
    tables_.clear();
    if (failedTable_.empty()) return nullptr;
    unwritten_ = true;
    return &failedTable_;
}

bool GroupAdjustment::AppendResultPoints(const GroupWorkingSet& ws, const NetworkModel& model,
                                         const GroupOutputs& out) {
    return out.ResultFile.empty() ||
           AppendGroupResultPoints(run_.Files, out.ResultFile, ws, model, settings_.MetresFlag);
}

// The group's nodes that are not known points, its branches and interior points.
void GroupAdjustment::DrawAdjustedBranches(const GroupWorkingSet& ws, const NetworkModel& model,
                                           const GroupOutputs& out) {
    if (!settings_.AcadUploadAdjustedPoints || out.Drawing == nullptr) return;
    OneBased<int> skip(ws.Nn + 1);
    for (int k = 1; k <= ws.Nn; ++k) skip[k] = ws.KnownNodeFlags[k];
    AcadExportAdjustedBranches({settings_, *out.Drawing, progress_, ui_}, model, ws.Nb, ws.Nn, ws.NodeX, ws.NodeY,
                               ws.PositionX, ws.PositionY, skip);
}

bool GroupAdjustment::WriteFailure(const std::string& fileName) {
    unwritten_ = true;
    const std::string text = Vn("Không ghi được tệp ") + fileName;
    run_.ProgressLog.Add(text);
    ShowError(ui_, text);
    return false;
}

}  // namespace qef
