#include "adjustment/AdjustByOrder.h"

#include "adjustment/AdjustmentRun.h"

namespace qef {

namespace {

constexpr const char* kClosureTableHeader = "STT\tTEN NHANH\tSO GOC\tSO CANH\tSO NUT\tFb\tFbcp\tFx\tFy\tFs\tFs/[S]";
// The end message names this many unjoined sides; report 6 has them all.
constexpr int kUnjoinedSidesShown = 30;

}  // namespace

std::vector<std::string> AdjustmentRun::InputFiles() const {
    std::vector<std::string> inputs{files_.KnownPointsFile, files_.ObservationFile};
    if (!files_.HeightsFile.empty()) inputs.push_back(files_.HeightsFile);
    return inputs;
}

bool AdjustmentRun::OutputNamesAllowed() {
    const ReportSet& r = finalReports_;
    std::vector<std::string> outputs{files_.ResultFile, r.Main, r.Rigorous1, r.Side, r.Rigorous3, r.Rigorous4,
                                     r.Rigorous5, r.Log};
    // The single-pass run saves no closure table; it writes the observation list instead.
    if (!classic_) outputs.push_back(r.ClosureTable);
    outputs.insert(outputs.end(), {r.Dh, r.Txt});
    if (classic_) outputs.push_back(r.ObservationList);
    if (OwnDrawingNeeded()) outputs.push_back(DrawingPathFor(files_.ResultFile));
    return CheckResultNames(files_.ResultFile, InputFiles(), outputs, ui_);
}

// Every file of the run goes to the staging folder until the run ends.
bool AdjustmentRun::StageOutputs() {
    if (!outputs_.Begin(files_.ResultFile, InputFiles())) return false;
    result_ = outputs_.Staged(files_.ResultFile);
    const ReportSet& r = finalReports_;
    for (auto [staged, name] : {std::pair{&reports_.Main, &r.Main}, {&reports_.Rigorous1, &r.Rigorous1},
                                {&reports_.Side, &r.Side}, {&reports_.Rigorous3, &r.Rigorous3},
                                {&reports_.Rigorous4, &r.Rigorous4}, {&reports_.Rigorous5, &r.Rigorous5},
                                {&reports_.Log, &r.Log}, {&reports_.ClosureTable, &r.ClosureTable},
                                {&reports_.Dh, &r.Dh}, {&reports_.Txt, &r.Txt},
                                {&reports_.ObservationList, &r.ObservationList}})
        *staged = outputs_.Staged(*name);
    return true;
}

bool AdjustmentRun::ReadInput() {
    Stage("Đang đọc file tọa độ", 1);
    ReadNotes knownNotes;
    if (!ReadKnownPoints(files_.KnownPointsFile, settings_, model_, known_, status_.ReadError, ui_, &knownNotes))
        return false;
    Stage("Đang đọc file số liệu đo", 2);
    obs_.Notes.CutFrom = knownNotes.CutFrom;
    if (!ReadObservations(files_.ObservationFile, settings_, model_.PointNames, obs_, status_.ReadError, ui_))
        return false;
    // What the readers passed over heads the log.
    LogReadNotes(knownNotes, files_.KnownPointsFile, settings_.KeepAccents, run_.ProgressLog);
    LogReadNotes(obs_.Notes, files_.ObservationFile, settings_.KeepAccents, run_.ProgressLog);
    if (settings_.HeightReduction && UsesPointHeights(settings_.HeightReductionMode)) {
        if (settings_.HeightsFromFile) {
            if (!ReadPointHeights(files_.HeightsFile, settings_, model_, status_.ReadError, ui_)) return false;
        } else {
            model_.HeightPointIds = obs_.Heights.Ids;
            model_.PointHeights = obs_.Heights.Heights;
        }
    }
    return true;
}

bool AdjustmentRun::StartRun(RunStatus& ended) {
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

    if (!OutputNamesAllowed()) {
        status_.Outcome = RunOutcome::NameCollision;
        ended = status_;
        return false;
    }
    if (!StageOutputs()) {
        ui_.Message(outputs_.FailureMessage());
        status_.Outcome = RunOutcome::WriteFailed;
        ended = status_;
        return false;
    }
    if (OwnDrawingNeeded()) {
        // Every group draws: the file is written once, when the run ends.
        ownDrawing_ = std::make_unique<DxfDrawing>(outputs_.Staged(DrawingPathFor(files_.ResultFile)),
                                                   DrawingWrites::ByOwner);
        drawing_ = ownDrawing_.get();
    }
    if (!ReadInput()) {
        status_.Outcome = RunOutcome::ReadFailed;
        ended = status_;
        return false;
    }

    // From here on every ending saves report 6.
    if (settings_.WriteDhFile) {
        if (!run_.Files.RewriteLines(reports_.Dh, {})) {
            ended = StopOnWriteFailure(reports_.Dh);
            return false;
        }
    }
    FindDuplicateObservations(obs_, model_.PointNames, run_.ProgressLog, ui_);
    angleIndex_ = std::make_unique<StationAngleIndex>(obs_.Angles);
    sideLengths_ = std::make_unique<SideLengthIndex>(obs_.Sides);
    heights_ = std::make_unique<PointHeightIndex>(model_.HeightPointIds, model_.PointHeights);
    analysis_.Sides = MakeSidePairs(obs_.Sides);
    analysis_.Angles = MakeAngleTriples(obs_.Angles);
    return true;
}

RunStatus AdjustmentRun::Run() {
    RunStatus ended;
    if (!StartRun(ended)) return ended;
    StartDirectionSearch();
    if (!WriteKnownPoints()) return StopOnWriteFailure(result_);
    const RunOutcome outcome = OrderLoop();
    if (outcome != RunOutcome::Completed) return FinishEarly(outcome);
    return FinishCompletedRun();
}

void AdjustmentRun::StartDirectionSearch() {
    Stage("Đang tìm phương vị khởi tính", 3);
    model_.DistinctPointCount = 0;
}

void AdjustmentRun::CountOrderPoints() {
    Stage("Đang phân tích nhóm", 6);
    if (!orderPointsCounted_)
        AccumulateDistinctPoints(model_, distinctStartPoints_, model_.StartStations, model_.StartTargets,
                                 analysis_.HardNodes.Size(), model_.StartStations.Size(), analysis_.HardNodes);
    orderPointsCounted_ = true;
    progress_.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
}

bool AdjustmentRun::WriteKnownPoints() {
    TextFileWriter* out = run_.Files.Rewrite(result_);
    if (out == nullptr) return false;
    WritePointCoordinates(*out, model_.PointNames, known_.Ids, known_.X, known_.Y, false, known_.Count(), nullptr,
                          settings_.MetresFlag);
    return run_.Files.Flush(result_);
}

RunStatus AdjustmentRun::FinishEarly(RunOutcome outcome) {
    std::string reason;
    if (outcome == RunOutcome::NoStartDirection) reason = "!Ten diem toa do goc khong phu hop";
    if (outcome == RunOutcome::Cancelled) reason = Vn("Người dùng đã dừng tính");
    if (outcome == RunOutcome::WriteFailed) reason = Vn("Dừng tính do không ghi được file");
    return Finish(outcome, reason);
}

const std::string* AdjustmentRun::WriteClosingRules(bool sideRule, int sideRuleLength) {
    if (const std::string* failed = groups_.FlushTables()) return failed;
    // Only under tables that this run wrote.
    std::vector<std::pair<const std::string*, int>> rules;
    if (sideRule && !status_.ReportTablesClosed && !run_.SideReportFresh)
        rules.emplace_back(&reports_.Side, sideRuleLength);
    if (settings_.Modes.RigorousWanted && !status_.ReportTablesClosed && !rigorous_.ReportFresh)
        rules.insert(rules.end(), {{&reports_.Rigorous1, 65}, {&reports_.Rigorous3, 78}, {&reports_.Rigorous4, 61},
                                   {&reports_.Rigorous5, 83}});
    for (const auto& [name, length] : rules)
        if (!run_.Files.AppendLines(*name, {std::string(9, ' ') + RepeatChar('-', length)})) return name;
    return nullptr;
}

RunStatus AdjustmentRun::FinishCompletedRun() {
    // The result file holds every point, in list order.
    if (!WriteKnownPoints()) return StopOnWriteFailure(result_);
    if (const std::string* failed =
            WriteClosingRules(settings_.HeightReduction || settings_.ProjectionReduction, 70))
        return StopOnWriteFailure(*failed);
    if (!run_.ClosureTable.SaveTo(reports_.ClosureTable)) {
        ui_.Message(WriteFailureText(finalReports_.ClosureTable));
        unwritten_ = true;
    }
    // A file that missed part of its content must not replace a good one.
    if (unwritten_) return FinishEarly(RunOutcome::WriteFailed);
    ReportUnjoinedSides();
    ReportUncomputedPoints();
    WriteSummary();
    return Finish(RunOutcome::Completed, "");
}

RunOutcome AdjustmentRun::OrderLoop() {
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
        orderPointsCounted_ = false;
        directionsDrawn_ = 0;
        for (int p = NextGroupStart(model_, analysis_); p > 0; p = NextGroupStart(model_, analysis_)) {
            const int nb = BuildGroupBranches(model_, analysis_, p, known_, knownCount, progress_);
            if (nb < 1 || analysis_.KeptSides.Count() < 1) continue;
            orderAdjusted = true;
            if (!AdjustGroup(nb)) return RunOutcome::WriteFailed;
        }
        run_.AnalysisSteps = analysis_.Index.Steps();

        // The sides that the groups walked leave the list.
        CompactIdPairs(analysis_.Sides);
        if (analysis_.FreeSides.Count() == 0) break;
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

bool AdjustmentRun::HasStartDirection() {
    const int count = known_.Count();
    DropFixedObservations(analysis_.Sides, analysis_.Angles, known_, count);
    bool none = false;
    SilentInteraction quiet;
    return FindStartDirections(model_, known_, count, analysis_.Angles, none, quiet);
}

bool AdjustmentRun::AdjustGroup(int nb) {
    // The order's start and hard points are the same for all its groups: the first one counts them.
    CountOrderPoints();
    const int ns = model_.StartStations.Size();

    // Known side-only points close branches by their coordinates; they are no nodes.
    OneBased<int>& nodes = model_.NetworkNodes;
    int kept = 0;
    for (int k = 1; k <= nodes.Size(); ++k)
        if (!analysis_.Index.IsSideOnly(nodes[k])) nodes[++kept] = nodes[k];
    nodes.Resize(kept);

    GroupWorkingSet& ws = StartWorkingSet(nb, ns);
    const std::string groupNames = GroupBranchNames(nb);
    const GroupInputs in{model_, obs_.Angles, *angleIndex_, *sideLengths_, knownIndex_, analysis_.Index,
                         analysis_.Directions, *heights_};
    const GroupOutcome outcome = groups_.Adjust(ws, in, known_, {reports_, result_, drawing_});
    if (groups_.Unwritten()) unwritten_ = true;
    status_.RigorousGroups = groups_.RigorousGroups();
    if (outcome == GroupOutcome::Failed) {
        // The run goes on with the other groups; this one gives no coordinates.
        ++status_.FailedGroups;
        run_.ProgressLog.Add(Label("Nhóm không bình sai được, các nhánh : ") + groupNames);
        run_.ProgressLog.Add("");
        return true;
    }
    if (outcome == GroupOutcome::Stopped) {
        ws.FreeGroupArrays();
        return false;
    }
    if (settings_.AcadUploadKnownPoints && drawing_ != nullptr) DrawKnownPoints();
    CollectResultPoints(model_, known_, ws.NodeX, ws.NodeY, ws.Nn, ws.KnownNodeFlags, false, nb, ws.PositionX,
                        ws.PositionY);
    ws.FreeGroupArrays();
    return true;
}

GroupWorkingSet& AdjustmentRun::StartWorkingSet(int nb, int ns) {
    GroupWorkingSet& ws = ws_;
    ws.Restart();
    ws.Nb = nb;
    ws.Nn = model_.NetworkNodes.Size();
    ws.Ns = ns;
    ws.NetworkBranchCount = nb;
    ws.HeightCount = model_.HeightPointIds.Size();
    return ws;
}

// The names of the group's branch ends, for the log should the group fail.
std::string AdjustmentRun::GroupBranchNames(int nb) const {
    std::string names;
    for (int b = 1; b <= nb; ++b)
        names += (b > 1 ? ", " : "") + model_.PointNames.Name(model_.Branches.FirstPoint(b)) + " - " +
                 model_.PointNames.Name(model_.Branches.LastPoint(b));
    return names;
}

void AdjustmentRun::DrawKnownPoints() {
    // Each known point and start direction is drawn once per run, however many groups use it.
    PointList points;
    for (int k = knownPointsDrawn_ + 1; k <= known_.Count(); ++k) {
        const int id = known_.Ids[k];
        if (IsMissing(known_.X[k]) || !drawnPoints_.insert(id).second) continue;
        points.Add(id, known_.X[k], known_.Y[k]);
    }
    knownPointsDrawn_ = known_.Count();
    OneBased<double> x1, y1, x2, y2;
    const StartAzimuthData& d = analysis_.Directions;
    const int ns = std::min(model_.StartStations.Size(), d.StationX.Size());
    for (int i = directionsDrawn_ + 1; i <= ns; ++i) {
        if (IsMissing(d.StationX[i]) || IsMissing(d.TargetX[i])) continue;
        if (!drawnDirections_.insert({model_.StartStations[i], model_.StartTargets[i]}).second) continue;
        x1.PushBack(d.StationX[i]);
        y1.PushBack(d.StationY[i]);
        x2.PushBack(d.TargetX[i]);
        y2.PushBack(d.TargetY[i]);
    }
    directionsDrawn_ = ns;
    if (points.Count() == 0 && x1.Empty()) return;
    AcadExportPoints(DrawingContext(), model_.PointNames, x1.Size(), points.Count(), points.X, points.Y, x1, y1, x2,
                     y2, points.Ids);
}

bool AdjustmentRun::HangingStage() {
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
        JoinNodesAndStopPoints(model_, analysis_.HardNodes, analysis_.SideOnlyKnown);
        const int ns = model_.StartStations.Size();

        const SideBranchFiles sideFiles{"", result_, InputFiles()};
        if (!BuildSideBranches(model_, analysis_.Sides, nullptr, model_.StartStations, model_.BranchStopPoints,
                               sideFiles, run_.ProgressLog, ui_, progress_))
            unwritten_ = true;
        CompactIdPairs(analysis_.Sides);
        const int nb = model_.Branches.BranchCount();
        if (nb < 1) return true;

        status_.ReportTablesClosed = true;
        AccumulateDistinctPoints(model_, distinctStartPoints_, model_.StartStations, model_.StartTargets,
                                 analysis_.HardNodes.Size(), ns, analysis_.HardNodes);
        const HangingStep step = HangBranches(nb);
        if (step != HangingStep::Done) return step == HangingStep::Incomplete;
        if (analysis_.Sides.Count() == 0) return true;
    }
}

AdjustmentRun::HangingStep AdjustmentRun::HangBranches(int nb) {
    const HangingInputs in{model_, nb, known_, obs_.Angles, obs_.Sides, answers_};
    const HangingResult result = ComputeHangingTraverses(in, HangingContext{settings_, run_, ui_});
    // A failed computation gives no points.
    if (result.Status == HangingStatus::Incomplete) return HangingStep::Incomplete;
    if (!WriteHangingTraverses(result.Table)) return HangingStep::WriteFailed;
    const PointList& added = result.Table.NewPoints;
    for (int k = 1; k <= added.Count(); ++k) known_.Add(added.Ids[k], added.X[k], added.Y[k]);
    return HangingStep::Done;
}

// The traverses in the drawing, their table in the main report, their new points in the result
// file. False, with a message, when a file cannot be written.
bool AdjustmentRun::WriteHangingTraverses(const HangingTraverseTable& table) {
    if (settings_.AcadUploadAdjustedPoints && drawing_ != nullptr)
        AcadExportTraverse(DrawingContext(), model_, table.BranchCount, table.PositionX, table.PositionY);
    if (!WriteHangingTable(run_.Files, reports_.Main, run_.MainReportFresh, table, model_, settings_)) {
        ui_.Message(WriteFailureText(reports_.Main));
        return false;
    }
    run_.MainReportFresh = false;
    if (!AppendHangingPoints(run_.Files, result_, table, model_.PointNames, settings_.MetresFlag)) {
        ui_.Message(WriteFailureText(result_));
        return false;
    }
    progress_.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
    return true;
}

void AdjustmentRun::ReportUnjoinedSides() {
    SideObservations sides = obs_.Sides;
    AngleObservations angles = obs_.Angles;
    DropFixedObservations(sides, angles, known_, known_.Count());
    std::vector<std::string> lines;
    for (int i = 1; i <= sides.Count(); ++i) {
        const int a = sides.FromIds[i];
        const int b = sides.ToIds[i];
        // A side of a branch that a computation took has joined the network, even when the
        // computation failed (the log names the group).
        if (a == 0 || b == 0 || computedBranchSides_.count(std::minmax(a, b))) continue;
        lines.push_back(model_.PointNames.Name(a) + " --> " + model_.PointNames.Name(b));
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

// Points of the observations that the run gave no coordinates and the known-point file does not
// list: a name typed wrong leaves a whole traverse out, which the result file alone would not show.
void AdjustmentRun::ReportUncomputedPoints() {
    // A known point listed without coordinates was left so on purpose (a typed start azimuth).
    std::unordered_set<int> placed;
    for (int k = 1; k <= known_.Count(); ++k) placed.insert(known_.Ids[k]);
    std::vector<int> left;
    std::unordered_set<int> listed;
    const auto note = [&](int id) {
        if (id != 0 && !placed.count(id) && listed.insert(id).second) left.push_back(id);
    };
    const AngleObservations& a = obs_.Angles;
    for (int i = 1; i <= a.Count(); ++i) {
        note(a.BackIds[i]);
        note(a.StationIds[i]);
        note(a.ForeIds[i]);
    }
    for (int i = 1; i <= obs_.Sides.Count(); ++i) {
        note(obs_.Sides.FromIds[i]);
        note(obs_.Sides.ToIds[i]);
    }
    if (left.empty()) return;
    const int total = static_cast<int>(left.size());
    std::string shown;
    for (int i = 0; i < total && i < kUnjoinedSidesShown; ++i)
        shown += (i > 0 ? ", " : "") + model_.PointNames.Name(left[static_cast<std::size_t>(i)]);
    if (total > kUnjoinedSidesShown)
        shown += Vn(", ... và ") + std::to_string(total - kUnjoinedSidesShown) + Vn(" điểm khác (xem ") +
                 finalReports_.Log + ")";
    ui_.Message(Vn("Các điểm chưa tính được: ") + shown);
    LogBuffer& log = run_.ProgressLog;
    log.Add("");
    log.Add(Label("Các điểm chưa tính được: ") + std::to_string(total));
    // Ten names a line keeps the log readable for large networks.
    for (int i = 0; i < total; i += 10) {
        std::string line = "    ";
        for (int j = i; j < total && j < i + 10; ++j)
            line += " " + model_.PointNames.Name(left[static_cast<std::size_t>(j)]);
        log.Add(line);
    }
}

void AdjustmentRun::WriteSummary() {
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
    // With no side rated the search's start value would pass for a result.
    if (!e.WeakestSideFrom.empty())
        log.Add(Label("     Sai số chiều dài cạnh yếu nhất : ") + e.WeakestSideFrom + " -> " + e.WeakestSideTo +
                " , Ms/S = 1/" + FormatGeneral(e.WeakestSideRatio));
    log.Add(Label("     Sai số phương vị cạnh yếu nhất : ") + e.LargestAzimuthFrom + " -> " + e.LargestAzimuthTo +
            " , Mpv = " + FormatGeneral(e.LargestAzimuthError) + "\"");
}

RunStatus AdjustmentRun::StopOnWriteFailure(const std::string& fileName) {
    const std::string text = WriteFailureText(fileName);
    ui_.Message(text);
    return Finish(RunOutcome::WriteFailed, text);
}

RunStatus AdjustmentRun::Finish(RunOutcome outcome, const std::string& reason) {
    groups_.FlushTables();  // a run that ends early; a completed one has flushed them
    // Every file the groups wrote is whole and closed before the set is put in place.
    if (const std::string* failed = run_.Files.Close(); failed != nullptr && outcome == RunOutcome::Completed) {
        ui_.Message(WriteFailureText(*failed));
        outcome = RunOutcome::WriteFailed;
    }
    if (ownDrawing_ != nullptr && ownDrawing_->Exported() && !ownDrawing_->Write()) ownDrawing_->ReportFailure(ui_);
    status_.Outcome = outcome;
    status_.Extremes = rigorous_.Extremes;
    if (!reason.empty()) {
        run_.ProgressLog.Add("");
        run_.ProgressLog.Add(StripAccents(reason, settings_.KeepAccents));
    }
    if (!run_.ProgressLog.SaveTo(reports_.Log)) {
        ui_.Message(WriteFailureText(finalReports_.Log));
        if (outcome == RunOutcome::Completed) status_.Outcome = outcome = RunOutcome::WriteFailed;
    }
    // Only a run that ends well replaces the files of the one before; the others leave them.
    if (outcome == RunOutcome::Completed && !outputs_.Commit()) {
        ui_.Message(outputs_.FailureMessage());
        status_.Outcome = RunOutcome::WriteFailed;
    } else if (outcome == RunOutcome::Completed) {
        if (FileExists(finalReports_.Log)) status_.Report6 = finalReports_.Log;
    }
    outputs_.Discard();
    progress_.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
    if (outcome == RunOutcome::Completed) {
        // The rigorous stage reuses the bar for its branches: a finished run shows it full.
        progress_.SetRange(0, 11);
        progress_.SetPosition(11);
    }
    progress_.SetText(MonitorLabel::End, Vn("đến ") + TimeOfDay());
    return status_;
}

RunStatus AdjustNetworkByOrder(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui,
                               Progress& progress, RunRecord& run, DrawingTarget* drawing) {
    AdjustmentRun runner(files, settings, ui, progress, run, drawing);
    return runner.Run();
}

}  // namespace qef
