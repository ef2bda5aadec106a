#include "adjustment/AdjustByOrder.h"

#include <memory>
#include <optional>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "adjustment/GroupTopology.h"
#include "adjustment/GroupWorkingSet.h"
#include "adjustment/HangingTraverses.h"
#include "adjustment/NodeMethod.h"
#include "adjustment/SideReduction.h"
#include "core/analysis/BranchBuilding.h"
#include "core/analysis/Duplicates.h"
#include "core/analysis/NetworkChecks.h"
#include "core/model/NetworkModel.h"
#include "core/text/NumberFormat.h"
#include "core/io/ResultWriters.h"
#include "core/analysis/StartDirections.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"
#include "drawing/DxfDrawing.h"

namespace qef {

namespace {

constexpr const char* kClosureTableHeader = "STT\tTEN NHANH\tSO GOC\tSO CANH\tSO NUT\tFb\tFbcp\tFx\tFy\tFs\tFs/[S]";
// The end message names this many unjoined sides; report 6 has them all.
constexpr int kUnjoinedSidesShown = 30;

bool AppendLine(const std::string& path, const std::string& line) {
    TextFileWriter out(path, true);
    if (!out.IsOpen()) return false;
    out.WriteLine(line);
    return out.Close();
}

// One run of the driver: everything it owns lives here and goes with it.
class ByOrderRun {
public:
    ByOrderRun(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui, Progress& progress,
               RunRecord& run, DrawingTarget* drawing)
        : files_(files), settings_(settings), ui_(ui), progress_(progress), run_(run), drawing_(drawing),
          reports_(ReportSetFor(files.ResultFile)) {}

    RunStatus Run();

private:
    const AdjustmentInput& files_;
    const ComputationSettings settings_;  // the run's own copy
    Interaction& ui_;
    Progress& progress_;
    RunRecord& run_;
    DrawingTarget* drawing_;
    std::unique_ptr<DxfDrawing> ownDrawing_;
    ReportSet reports_;
    RunStatus status_;

    NetworkModel model_;
    PointList known_;
    Observations obs_;
    std::unique_ptr<StationAngleIndex> angleIndex_;
    TraverseAnalysis analysis_;
    StartAzimuthAnswers answers_;
    OneBased<int> distinctStartPoints_;
    RigorousRunState rigorous_;
    std::unordered_set<int> drawnPoints_;
    std::set<std::pair<int, int>> drawnDirections_;

    std::string Label(const char* utf8) const { return StripAccents(Vn(utf8), settings_.KeepAccents); }
    void Stage(const char* utf8, int position) {
        progress_.SetText(MonitorLabel::Stage, Vn(utf8));
        progress_.SetPosition(position);
    }
    std::vector<std::string> InputFiles() const;
    bool CheckOutputNames();
    bool ReadInput();
    RunOutcome OrderLoop();
    bool HasStartDirection();
    // False when the run must stop.
    bool AdjustGroup(int nb);
    bool HangingStage();
    void DrawKnownPoints();
    void ReportUnjoinedSides();
    void WriteSummary();
    RunStatus Finish(RunOutcome outcome, const std::string& reason);
};

std::vector<std::string> ByOrderRun::InputFiles() const {
    std::vector<std::string> inputs{files_.KnownPointsFile, files_.ObservationFile};
    if (!files_.HeightsFile.empty()) inputs.push_back(files_.HeightsFile);
    return inputs;
}

bool ByOrderRun::CheckOutputNames() {
    if (files_.ResultFile.empty()) {
        ui_.Message(Vn("Không có tên file kết quả"));
        return false;
    }
    std::vector<std::string> outputs{files_.ResultFile, reports_.Main,      reports_.Rigorous1, reports_.Side,
                                     reports_.Rigorous3, reports_.Rigorous4, reports_.Rigorous5, reports_.Log,
                                     reports_.ClosureTable, reports_.Dh,     reports_.Txt};
    if (drawing_ == nullptr && settings_.AcadUploadEnabled &&
        (settings_.AcadUploadKnownPoints || settings_.AcadUploadAdjustedPoints))
        outputs.push_back(DrawingPathFor(files_.ResultFile));
    for (const std::string& input : InputFiles())
        for (const std::string& output : outputs)
            if (SameFile(input, output)) {
                ui_.Message(Vn("File kết quả trùng tên file số liệu : ") + output);
                return false;
            }
    return true;
}

bool ByOrderRun::ReadInput() {
    Stage("Đang đọc file tọa độ", 1);
    if (!ReadKnownPoints(files_.KnownPointsFile, settings_, model_, known_, status_.ReadError, ui_)) return false;
    Stage("Đang đọc file số liệu đo", 2);
    if (!ReadObservations(files_.ObservationFile, settings_, model_.PointNames, obs_, status_.ReadError, ui_))
        return false;
    if (settings_.HeightReduction && settings_.HeightReductionMode >= 1) {
        if (settings_.HeightsFromFile) {
            if (!ReadPointHeights(files_.HeightsFile, settings_, model_, status_.ReadError, ui_)) return false;
        } else {
            model_.HeightPointIds = obs_.Heights.Ids;
            model_.PointHeights = obs_.Heights.Heights;
        }
    }
    return true;
}

RunStatus ByOrderRun::Run() {
    progress_.Show();
    progress_.SetText(MonitorLabel::Start, Vn("Bắt đầu từ ") + TimeOfDay());
    progress_.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
    progress_.SetRange(0, 11);
    progress_.SetPosition(0);

    run_.Reset();
    rigorous_.Reset();
    run_.ClosureTable.Add(kClosureTableHeader);
    run_.ProgressLog.Add(Label("                     Phân tích đồ hình lưới"));
    run_.ProgressLog.Add("");

    if (!CheckOutputNames()) {
        status_.Outcome = RunOutcome::NameCollision;
        return status_;
    }
    if (drawing_ == nullptr && settings_.AcadUploadEnabled &&
        (settings_.AcadUploadKnownPoints || settings_.AcadUploadAdjustedPoints)) {
        ownDrawing_ = std::make_unique<DxfDrawing>(DrawingPathFor(files_.ResultFile));
        drawing_ = ownDrawing_.get();
    }
    if (!ReadInput()) {
        status_.Outcome = RunOutcome::ReadFailed;
        return status_;
    }

    // From here on every ending saves report 6.
    if (settings_.WriteDhFile) {
        TextFileWriter dh(reports_.Dh);
        if (!dh.IsOpen() || !dh.Close()) {
            const std::string text = Vn("Lỗi ghi file ") + reports_.Dh;
            ui_.Message(text);
            return Finish(RunOutcome::WriteFailed, text);
        }
    }
    FindDuplicateObservations(obs_, model_.PointNames, run_.ProgressLog, ui_);
    angleIndex_ = std::make_unique<StationAngleIndex>(obs_.Angles);
    analysis_.Sides = MakeSidePairs(obs_.Sides);
    analysis_.Angles = MakeAngleTriples(obs_.Angles);

    Stage("Đang tìm phương vị khởi tính", 3);
    model_.DistinctPointCount = 0;
    if (!WritePointCoordinates(files_.ResultFile, model_.PointNames, known_.Ids, known_.X, known_.Y, false,
                               known_.Count(), nullptr, settings_.MetresFlag)) {
        const std::string text = Vn("Lỗi ghi file ") + files_.ResultFile;
        ui_.Message(text);
        return Finish(RunOutcome::WriteFailed, text);
    }

    const RunOutcome outcome = OrderLoop();
    if (outcome != RunOutcome::Completed) {
        std::string reason;
        if (outcome == RunOutcome::NoStartDirection) reason = "!Ten diem toa do goc khong phu hop";
        if (outcome == RunOutcome::Cancelled) reason = Vn("Người dùng đã dừng tính");
        if (outcome == RunOutcome::WriteFailed) reason = Vn("Dừng tính do không ghi được file");
        return Finish(outcome, reason);
    }

    // End of a completed run: the result file holds every point, in list order.
    if (!WritePointCoordinates(files_.ResultFile, model_.PointNames, known_.Ids, known_.X, known_.Y, false,
                               known_.Count(), nullptr, settings_.MetresFlag)) {
        const std::string text = Vn("Lỗi ghi file ") + files_.ResultFile;
        ui_.Message(text);
        return Finish(RunOutcome::WriteFailed, text);
    }
    // Closing rules, only under tables that this run wrote.
    std::vector<std::pair<const std::string*, int>> rules;
    if ((settings_.HeightReduction || settings_.ProjectionReduction) && !status_.ReportTablesClosed &&
        !run_.SideReportFresh)
        rules.emplace_back(&reports_.Side, 70);
    if (settings_.Modes.RigorousWanted && !status_.ReportTablesClosed && !rigorous_.ReportFresh)
        rules.insert(rules.end(), {{&reports_.Rigorous1, 65}, {&reports_.Rigorous3, 78}, {&reports_.Rigorous4, 61},
                                   {&reports_.Rigorous5, 83}});
    for (const auto& [name, length] : rules)
        if (!AppendLine(*name, std::string(9, ' ') + RepeatChar('-', length))) {
            const std::string text = Vn("Lỗi ghi file ") + *name;
            ui_.Message(text);
            return Finish(RunOutcome::WriteFailed, text);
        }
    ReportUnjoinedSides();
    WriteSummary();
    if (!run_.ClosureTable.SaveTo(reports_.ClosureTable)) ui_.Message(Vn("Lỗi ghi file ") + reports_.ClosureTable);
    return Finish(RunOutcome::Completed, "");
}

RunOutcome ByOrderRun::OrderLoop() {
    bool orderAdjusted = true;
    analysis_.FreeSides.Clear();
    analysis_.FreeAngles.Clear();
    while (orderAdjusted) {
        // A later order without any start direction has nothing to adjust: the run goes on to its
        // end, where the sides left over are listed, instead of stopping on an error.
        if (status_.Orders > 0 && !HasStartDirection()) break;
        ++status_.Orders;
        LogBuffer& log = run_.ProgressLog;
        log.Add(RepeatChar('*', 66));
        log.Add(Vn("Kết quả bình sai cấp thứ : ") + std::to_string(status_.Orders));
        log.Add(RepeatChar('*', 66));
        orderAdjusted = false;

        // Points adjusted in earlier orders are known points of this one.
        const int knownCount = known_.Count();
        Stage("Đang tìm nút", 4);
        bool noDirection = false;
        const AnalysisStatus prepared =
            PrepareTraverseAnalysis(model_, analysis_, known_, knownCount, settings_, answers_, noDirection, ui_);
        if (prepared == AnalysisStatus::NoStartDirection) return RunOutcome::NoStartDirection;
        if (prepared == AnalysisStatus::Cancelled) return RunOutcome::Cancelled;

        Stage("Đang lập nhánh", 5);
        for (int p = FirstPointOnSides(model_.StartStations, analysis_.Sides); p > 0;
             p = FirstPointOnSides(model_.StartStations, analysis_.Sides)) {
            const int nb = BuildGroupBranches(model_, analysis_, p, known_, knownCount, progress_);
            if (nb < 1 || analysis_.KeptSides.Count() < 1) continue;
            orderAdjusted = true;
            if (!AdjustGroup(nb)) return RunOutcome::WriteFailed;
        }

        if (analysis_.FreeSides.Count() == 0) break;
        CompactIdPairs(analysis_.Sides);
        analysis_.Sides.Append(analysis_.FreeSides);
        analysis_.Angles.Append(analysis_.FreeAngles);
        analysis_.FreeSides.Clear();
        analysis_.FreeAngles.Clear();
        if (!orderAdjusted) {
            if (!settings_.SkipHangingTraverses && !HangingStage()) return RunOutcome::WriteFailed;
            break;
        }
    }
    return RunOutcome::Completed;
}

bool ByOrderRun::HasStartDirection() {
    const int count = known_.Count();
    DropFixedObservations(analysis_.Sides, analysis_.Angles, known_, count);
    bool none = false;
    SilentInteraction quiet;
    return FindStartDirections(model_, known_, count, analysis_.Angles, none, quiet);
}

bool ByOrderRun::AdjustGroup(int nb) {
    Stage("Đang phân tích nhóm", 6);
    const int ns = model_.StartStations.Size();
    AccumulateDistinctPoints(model_, distinctStartPoints_, model_.StartStations, model_.StartTargets,
                             analysis_.HardNodes.Size(), ns, analysis_.HardNodes);
    progress_.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());

    // Known side-only points close branches by their coordinates; they are no nodes.
    const std::unordered_set<int> sideOnly(analysis_.SideOnlyKnown.begin(), analysis_.SideOnlyKnown.end());
    OneBased<int> nodes;
    for (int id : model_.NetworkNodes)
        if (!sideOnly.count(id)) nodes.PushBack(id);
    model_.NetworkNodes = std::move(nodes);

    GroupWorkingSet ws;
    ws.Nb = nb;
    ws.Nn = model_.NetworkNodes.Size();
    ws.Ns = ns;
    ws.NetworkBranchCount = nb;
    ws.HeightCount = model_.HeightPointIds.Size();
    ws.ResultFileName = files_.ResultFile;
    ws.MainReportName = reports_.Main;
    ws.SideReportName = reports_.Side;
    ws.RigorousReportNames = {reports_.Rigorous1, reports_.Rigorous3, reports_.Rigorous4, reports_.Rigorous5};

    // The names of the group's branch ends, for the log should the group fail.
    std::string groupNames;
    for (int b = 1; b <= nb; ++b)
        groupNames += (b > 1 ? ", " : "") + model_.PointNames.Name(model_.Branches.FirstPoint(b)) + " - " +
                      model_.PointNames.Name(model_.Branches.LastPoint(b));

    const GroupInputs in{model_, obs_.Angles, *angleIndex_, obs_.Sides, known_, analysis_.HardNodes,
                         analysis_.SideOnlyKnown, analysis_.Directions};
    const GroupContext context{settings_, run_, ui_, progress_, drawing_};
    if (AdjustGroupSimple(ws, in, context) != GroupStatus::Adjusted) {
        // The run goes on with the other groups; this one gives no coordinates.
        ++status_.FailedGroups;
        run_.ProgressLog.Add(Label("Nhóm không bình sai được, các nhánh : ") + groupNames);
        run_.ProgressLog.Add("");
        return true;
    }
    if (settings_.Modes.RigorousWanted) {
        const RigorousContext rigorous{settings_, run_, rigorous_, ui_, progress_, drawing_};
        const RigorousStatus result = RigorousAdjustGroup(ws, model_, known_, rigorous);
        if (result == RigorousStatus::WriteFailed) {
            ws.FreeGroupArrays();
            return false;
        }
        if (result == RigorousStatus::Adjusted) ++status_.RigorousGroups;
    }
    if (settings_.AcadUploadKnownPoints && drawing_ != nullptr) DrawKnownPoints();
    CollectResultPoints(model_, known_, ws.NodeX, ws.NodeY, ws.Nn, ws.KnownNodeFlags, false, nb, ws.PositionX,
                        ws.PositionY);
    ws.FreeGroupArrays();
    return true;
}

void ByOrderRun::DrawKnownPoints() {
    // Each known point and start direction is drawn once per run, however many groups use it.
    PointList points;
    for (int k = 1; k <= known_.Count(); ++k) {
        const int id = known_.Ids[k];
        if (IsMissing(known_.X[k]) || !drawnPoints_.insert(id).second) continue;
        points.Add(id, known_.X[k], known_.Y[k]);
    }
    OneBased<double> x1, y1, x2, y2;
    const StartAzimuthData& d = analysis_.Directions;
    const int ns = std::min(model_.StartStations.Size(), d.StationX.Size());
    for (int i = 1; i <= ns; ++i) {
        if (IsMissing(d.StationX[i]) || IsMissing(d.TargetX[i])) continue;
        if (!drawnDirections_.insert({model_.StartStations[i], model_.StartTargets[i]}).second) continue;
        x1.PushBack(d.StationX[i]);
        y1.PushBack(d.StationY[i]);
        x2.PushBack(d.TargetX[i]);
        y2.PushBack(d.TargetY[i]);
    }
    if (points.Count() == 0 && x1.Empty()) return;
    const DrawingExportContext context{settings_, *drawing_, progress_, ui_};
    AcadExportPoints(context, model_.PointNames, x1.Size(), points.Count(), points.X, points.Y, x1,
                     y1, x2, y2, points.Ids);
}

bool ByOrderRun::HangingStage() {
    for (;;) {
        const int count = known_.Count();
        DropFixedObservations(analysis_.Sides, analysis_.Angles, known_, count);
        // Running out of start directions only ends the stage: what is left is listed at the end.
        bool noDirection = false;
        SilentInteraction quiet;
        if (!FindStartDirections(model_, known_, count, analysis_.Angles, noDirection, quiet)) return true;
        KnownStationsWithoutDirection(model_, known_, count, analysis_.Angles, analysis_.HardNodes);
        KnownSideOnlyPoints(model_, known_, count, analysis_.Sides, analysis_.HardNodes, analysis_.SideOnlyKnown);
        FindAngleNodes(analysis_.Angles, known_.Ids, count, model_.AngleNodeCandidates);
        FindSideNodes(analysis_.Sides, known_.Ids, count, model_.SideNodeCandidates);
        IntersectIdLists(model_.AngleNodeCandidates, model_.SideNodeCandidates, model_.JunctionNodes);
        ConcatNodeLists(analysis_.HardNodes, model_.JunctionNodes, analysis_.SideOnlyKnown, model_.NetworkNodes);
        const int ns = model_.StartStations.Size();
        const int nodes = model_.NetworkNodes.Size();
        ConcatIdLists3(model_.BranchStopPoints, model_.StartStations, model_.StartTargets, nodes, ns,
                       model_.NetworkNodes);
        model_.BranchStopPoints.Resize((2 * ns + nodes));

        const SideBranchFiles sideFiles{"", files_.ResultFile, InputFiles()};
        BuildSideBranches(model_, analysis_.Sides, nullptr, model_.StartStations, model_.BranchStopPoints, sideFiles,
                          run_.ProgressLog, ui_, progress_);
        CompactIdPairs(analysis_.Sides);
        const int nb = model_.Branches.BranchCount();
        if (nb < 1) return true;

        status_.ReportTablesClosed = true;
        AccumulateDistinctPoints(model_, distinctStartPoints_, model_.StartStations, model_.StartTargets,
                                 analysis_.HardNodes.Size(), ns, analysis_.HardNodes);
        const HangingInputs in{model_, nb, known_, obs_.Angles, obs_.Sides, answers_};
        const HangingContext context{settings_, run_, ui_, progress_, drawing_, reports_.Main, files_.ResultFile};
        HangingTraverseTable table;
        const HangingStatus result = ComputeHangingTraverses(in, context, table);
        if (result == HangingStatus::WriteFailed) return false;
        if (result == HangingStatus::Incomplete) return true;
        for (int k = 1; k <= table.NewPoints.Count(); ++k)
            known_.Add(table.NewPoints.Ids[k], table.NewPoints.X[k], table.NewPoints.Y[k]);
        if (analysis_.Sides.Count() == 0) return true;
    }
}

void ByOrderRun::ReportUnjoinedSides() {
    SideObservations sides = obs_.Sides;
    AngleObservations angles = obs_.Angles;
    DropFixedObservations(sides, angles, known_, known_.Count());
    std::vector<std::string> lines;
    for (int i = 1; i <= sides.Count(); ++i) {
        const int a = sides.FromIds[i];
        const int b = sides.ToIds[i];
        if (a != 0 && b != 0) lines.push_back(model_.PointNames.Name(a) + " --> " + model_.PointNames.Name(b));
    }
    if (lines.empty()) return;
    const std::string title = Vn("Một số cạnh không nối được vào lưới");
    std::string text = title + "\n";
    const int total = static_cast<int>(lines.size());
    for (int i = 0; i < total && i < kUnjoinedSidesShown; ++i) text += lines[i] + "\n";
    if (total > kUnjoinedSidesShown)
        text += Vn("... và ") + std::to_string(total - kUnjoinedSidesShown) + Vn(" cạnh khác (xem ") + reports_.Log +
                ")\n";
    ui_.Message(text);
    LogBuffer& log = run_.ProgressLog;
    log.Add("");
    log.Add(Label("Một số cạnh không nối được vào lưới") + " : " + std::to_string(total));
    for (const std::string& line : lines) log.Add("     " + line);
}

void ByOrderRun::WriteSummary() {
    LogBuffer& log = run_.ProgressLog;
    log.Add("");
    log.Add(Label("     Tổng số điểm khởi tính : ") + std::to_string(model_.DistinctPointCount));
    log.Add(Label("     Tổng số điểm bình sai : ") + std::to_string(run_.RunUnknownPointTotal));
    log.Add(Label("     Tổng số góc toàn mạng : ") + std::to_string(run_.RunAngleTotal));
    log.Add(Label("     Tổng số cạnh toàn mạng : ") + std::to_string(run_.RunSideTotal));
    log.Add(Label("     Tổng số nút toàn mạng : ") + std::to_string(run_.RunNodeTotal));
    log.Add(Label("     Tổng số nhánh toàn mạng : ") + std::to_string(run_.RunBranchTotal));
    if (!settings_.Modes.RigorousWanted) return;
    if (status_.RigorousGroups == 0) {
        log.Add(Label("     Không có nhóm nào được bình sai chặt chẽ"));
        return;
    }
    const RigorousRunExtremes& e = rigorous_.Extremes;
    log.Add(Label("     Sai số vị trí điểm yếu nhất : ") + e.WeakestPointName + " , Mp = " +
            FormatFixed(e.WeakestPointMp, 5, 3));
    log.Add(Label("     Sai số chiều dài cạnh yếu nhất : ") + e.WeakestSideFrom + " -> " + e.WeakestSideTo +
            " , Ms/S = 1/" + FormatGeneral(e.WeakestSideRatio));
    log.Add(Label("     Sai số phương vị cạnh yếu nhất : ") + e.LargestAzimuthFrom + " -> " + e.LargestAzimuthTo +
            " , Mpv = " + FormatGeneral(e.LargestAzimuthError) + "\"");
}

RunStatus ByOrderRun::Finish(RunOutcome outcome, const std::string& reason) {
    status_.Outcome = outcome;
    status_.Extremes = rigorous_.Extremes;
    if (!reason.empty()) {
        run_.ProgressLog.Add("");
        run_.ProgressLog.Add(StripAccents(reason, settings_.KeepAccents));
    }
    if (run_.ProgressLog.SaveTo(reports_.Log))
        status_.Report6 = reports_.Log;
    else
        ui_.Message(Vn("Lỗi ghi file ") + reports_.Log);
    progress_.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
    if (outcome == RunOutcome::Completed) {
        // The rigorous stage reuses the bar for its branches: a finished run shows it full.
        progress_.SetRange(0, 11);
        progress_.SetPosition(11);
    }
    progress_.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
    return status_;
}

}  // namespace

ReportSet ReportSetFor(const std::string& resultFile) {
    ReportSet r;
    r.Main = ReplaceFileExt(resultFile, "in");
    r.Rigorous1 = r.Main + "1";
    r.Side = ReplaceFileExt(resultFile, "in2");
    r.Rigorous3 = r.Main + "3";
    r.Rigorous4 = r.Main + "4";
    r.Rigorous5 = r.Main + "5";
    r.Log = r.Main + "6";
    r.ClosureTable = ReplaceFileExt(r.Log, "in7");
    r.Dh = ReplaceFileExt(resultFile, "dh");
    r.Txt = ReplaceFileExt(resultFile, "txt");
    return r;
}

RunStatus AdjustNetworkByOrder(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui,
                               Progress& progress, RunRecord& run, DrawingTarget* drawing) {
    ByOrderRun runner(files, settings, ui, progress, run, drawing);
    return runner.Run();
}

}  // namespace qef
