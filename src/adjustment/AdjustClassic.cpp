#include "adjustment/AdjustClassic.h"

#include "adjustment/AdjustmentRun.h"
#include "core/analysis/BranchLevels.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"

namespace qef {

namespace {

std::string NameList(const NetworkModel& model, const OneBased<int>& ids) {
    std::string line;
    for (int k = 1; k <= ids.Size(); ++k) line += model.PointNames.Name(ids[k]) + ", ";
    return line;
}

// D.MMSS with 4 decimals: the list takes the angle to tenths of a second, then to whole seconds
// (so 45.46" is listed as 46"), carrying into minutes and degrees, so that no line reads 60.
std::string ListedAngle(double degrees) {
    const double seconds = RoundHalfEven(0, RoundHalfEven(1, DegreesToSeconds(degrees)));
    std::string text = FormatDms(0, ".", SecondsToDegrees(seconds));
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

}  // namespace

RunStatus AdjustmentRun::RunClassic() {
    classic_ = true;
    RunStatus ended;
    if (!StartRun(ended)) return ended;
    if (!WriteObservationList()) return StopOnWriteFailure(reports_.ObservationList);
    RunOutcome outcome = RunOutcome::Completed;
    if (!ClassicAnalysis(outcome)) return FinishEarly(outcome);
    if (!WriteKnownPoints()) return StopOnWriteFailure(result_);

    CountOrderPoints();

    // Node positions live in dynamic sets, so a large network is grouped like a small one.
    if (settings_.GroupedAdjustment || settings_.Modes.RigorousWanted) {
        outcome = AnalyseBranchGroups();
    } else {
        const int nb = model_.Branches.BranchCount();
        NoteBranchSides(nb);
        if (nb > 0 && !AdjustGroup(nb)) outcome = RunOutcome::WriteFailed;
    }
    if (outcome == RunOutcome::Completed && unwritten_) outcome = RunOutcome::WriteFailed;
    if (outcome != RunOutcome::Completed) return FinishEarly(outcome);
    ReportUnjoinedSides();
    ReportUncomputedPoints();
    WriteSummary();
    return Finish(RunOutcome::Completed, "");
}

// Sides first, then angles, one per line, TAB between fields.
bool AdjustmentRun::WriteObservationList() {
    TextFileWriter out(reports_.ObservationList);
    if (!out.IsOpen()) return false;
    const PointNameTable& names = model_.PointNames;
    for (int i = 1; i <= obs_.Sides.Count(); ++i)
        out.WriteLine(names.Name(obs_.Sides.FromIds[i]) + "\t" + names.Name(obs_.Sides.ToIds[i]) + "\t" +
                      FormatFixed(obs_.Sides.Lengths[i], 0, 3));
    for (int i = 1; i <= obs_.Angles.Count(); ++i)
        out.WriteLine(names.Name(obs_.Angles.BackIds[i]) + "\t" + names.Name(obs_.Angles.StationIds[i]) + "\t" +
                      names.Name(obs_.Angles.ForeIds[i]) + "\t" + ListedAngle(obs_.Angles.Values[i]));
    return out.Close();
}

// Start directions, nodes and every branch of the network in one pass. False when the run must end.
bool AdjustmentRun::ClassicAnalysis(RunOutcome& outcome) {
    StartDirectionSearch();
    const int n = known_.Count();
    LogBuffer& log = run_.ProgressLog;
    bool noDirection = false;
    const bool found = FindStartDirections(model_, known_, n, analysis_.Angles, noDirection, ui_);
    log.Add("");
    log.Add(Vn("Các điểm tọa độ gốc có đo nối phương vị : "));
    log.Add(NameList(model_, model_.StartStations));
    log.Add("");
    if (!found) {
        outcome = RunOutcome::NoStartDirection;
        return false;
    }
    KnownStationsWithoutDirection(model_, known_, n, analysis_.Angles, analysis_.HardNodes);
    KnownSideOnlyPoints(model_, known_, n, analysis_.Sides, analysis_.HardNodes, analysis_.SideOnlyKnown);
    log.Add(Vn("Các điểm tọa độ gốc không đo nối phương vị : "));
    log.Add(NameList(model_, analysis_.HardNodes) + NameList(model_, analysis_.SideOnlyKnown));
    log.Add("");

    Stage("Đang tìm nút", 4);
    FindAngleNodes(analysis_.Angles, known_.Ids, n, model_.AngleNodeCandidates);
    FindSideNodes(analysis_.Sides, known_.Ids, n, model_.SideNodeCandidates);
    SidePairs unangled;
    ExtractUnangledNodeSides(analysis_.Sides, nullptr, analysis_.Angles, model_.SideNodeCandidates, unangled);
    JoinNodesAndStopPoints(model_, analysis_.HardNodes, analysis_.SideOnlyKnown);
    CompactIdPairs(analysis_.Sides);
    analysis_.Index.Build(model_, analysis_.Sides, analysis_.HardNodes, analysis_.SideOnlyKnown, known_, n);
    StartAzimuthsFromCoords(model_, known_, n, analysis_.Directions);
    if (!AskStartAzimuths(model_, settings_, analysis_.Directions, answers_, ui_)) {
        outcome = RunOutcome::Cancelled;
        return false;
    }

    Stage("Đang lập nhánh", 5);
    // Every branch of the network in one pass: walks start from every stop point, nodes included
    // (from the start stations alone the branches beyond the first node were never built).
    const SideBranchFiles sideFiles{"", result_, InputFiles()};
    if (!BuildSideBranches(model_, analysis_.Sides, nullptr, model_.BranchStopPoints, model_.BranchStopPoints,
                           sideFiles, run_.ProgressLog, ui_, progress_))
        unwritten_ = true;
    CompactIdPairs(analysis_.Sides);
    return true;
}

RunOutcome AdjustmentRun::AnalyseBranchGroups() {
    // Known side-only points close branches by their coordinates: they are no nodes.
    OneBased<int>& nodes = model_.NetworkNodes;
    const int nodeCount = nodes.Size();
    for (int k = 1; k <= nodeCount; ++k)
        if (analysis_.Index.IsSideOnly(nodes[k])) nodes[k] = 0;
    model_.JunctionNodes = nodes;
    const OneBased<int> savedNodes = nodes;
    BranchSets sets;
    BuildBranchAdjacency(model_, nodeCount, sets);
    OneBased<int> knownList = known_.Ids;
    OneBased<int> newStarts;
    int knownCount = known_.Count();
    int newStartCount = 0;
    int levels = 0;
    AssignBranchLevels(model_, levels, nodeCount, KnownNodeLists{knownList, knownCount, newStarts, newStartCount},
                       sets, model_.StartStations.Size(), settings_);

    LogBuffer& log = run_.ProgressLog;
    BranchModel& br = model_.Branches;
    log.Add("");
    log.Add(Vn("Các nhánh được lập theo số liệu đo cạnh, chưa kiểm tra trị đo góc"));
    for (int b = 1; b <= br.BranchCount(); ++b) {
        const NodeSet& set = sets.NodeSets[b];
        if (set.Empty() && br.BranchPointCounts[b] <= 2) continue;
        const char* kind = set.Empty() ? " : phu hop" : (set.Size() == 1 && set.Contains(0) ? " : treo" : " : nut");
        log.Add("Nhanh thu " + std::to_string(b) + kind);
        std::string points;
        for (int i = br.First(b); i <= br.Last(b); ++i) points += model_.PointNames.Name(br.BranchPoints[i]) + ", ";
        log.Add(points);
    }
    log.Add("");
    log.Add(Label("                     Bảng tổng hợp bình sai"));
    log.Add("");

    // Branches between two known points, each alone.
    for (int b = 1; b <= br.BranchCount(); ++b) {
        if (!sets.NodeSets[b].Empty() || br.BranchPointCounts[b] <= 2) continue;
        MoveBranchTo(model_, sets, 1, b);
        if (!AdjustFrontGroup(1, 0)) return RunOutcome::WriteFailed;
    }

    bool stopped = false;
    FormBranchGroups(model_, sets, savedNodes, nodeCount, [&](const BranchGroup& group) {
        if (group.BranchCount < 2) return true;
        if (AdjustFrontGroup(group.BranchCount, static_cast<int>(group.NodeIds.size()))) return true;
        stopped = true;
        return false;
    });
    if (stopped) return RunOutcome::WriteFailed;

    if (!settings_.SkipHangingTraverses) {
        for (int level = levels; level >= 1; --level) {
            std::vector<int> positions;
            for (int b = 1; b <= br.BranchCount(); ++b)
                if (sets.NodeSets[b].Size() == 1 && sets.NodeSets[b].Contains(0) && sets.BranchLevels[b] == level)
                    positions.push_back(b);
            if (positions.empty()) continue;
            MoveBranchesToFront(model_, sets, positions);
            status_.ReportTablesClosed = true;
            if (!ClassicHangingLevel(static_cast<int>(positions.size()))) return RunOutcome::WriteFailed;
        }
    }

    if (const std::string* failed = WriteClosingRules(settings_.ProjectionReduction, 61)) {
        ui_.Message(WriteFailureText(*failed));
        return RunOutcome::WriteFailed;
    }
    return RunOutcome::Completed;
}

// Branches 1..nb with the first nodeCount entries of NetworkNodes as one group; the node list is
// given back whole afterwards for the groups still to come.
bool AdjustmentRun::AdjustFrontGroup(int nb, int nodeCount) {
    const OneBased<int> allNodes = model_.NetworkNodes;
    model_.NetworkNodes.Resize(nodeCount);
    NoteBranchSides(nb);
    const bool ok = AdjustGroup(nb);
    model_.NetworkNodes = allNodes;
    return ok;
}

// The hanging branches 1..nb start from points adjusted so far: the start directions are found
// again over every point that has coordinates. They are not counted as the run's start points:
// those are the network's, counted once before the groups.
bool AdjustmentRun::ClassicHangingLevel(int nb) {
    const int count = known_.Count();
    bool noDirection = false;
    SilentInteraction quiet;
    if (!FindStartDirections(model_, known_, count, analysis_.Angles, noDirection, quiet)) return true;
    NoteBranchSides(nb);
    return HangBranches(nb) != HangingStep::WriteFailed;
}

void AdjustmentRun::NoteBranchSides(int nb) {
    const BranchModel& br = model_.Branches;
    for (int b = 1; b <= nb; ++b)
        for (int p = br.First(b); p < br.Last(b); ++p) {
            const int a = br.PointAt(p);
            const int c = br.PointAt(p + 1);
            computedBranchSides_.insert(std::minmax(a, c));
        }
}

RunStatus AdjustNetworkClassic(const AdjustmentInput& files, const ComputationSettings& settings, Interaction& ui,
                               Progress& progress, RunRecord& run, DrawingTarget* drawing) {
    AdjustmentRun runner(files, settings, ui, progress, run, drawing);
    return runner.RunClassic();
}

}  // namespace qef
