#include "core/analysis/BranchBuilding.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/analysis/NetworkChecks.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::uint64_t PairKey(int a, int b) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

std::unordered_set<int> IdSet(const OneBased<int>& list) {
    std::unordered_set<int> set(list.begin(), list.end());
    return set;
}

// (station, sighted point) for every back and fore of the angles.
std::unordered_set<std::uint64_t> AngleLegs(const AngleTriples& angles) {
    std::unordered_set<std::uint64_t> legs;
    legs.reserve(angles.Count() * 2);
    for (int j = 1; j <= angles.Count(); ++j) {
        const int s = angles.Station[j];
        legs.insert(PairKey(s, angles.Back[j]));
        legs.insert(PairKey(s, angles.Fore[j]));
    }
    return legs;
}

// Keeps the entries i for which keep(i) holds, in order, in every list given.
template <typename Keep>
int CompactSides(OneBased<int>& a, OneBased<int>& b, OneBased<double>* values, Keep keep) {
    const int n = a.Size();
    int w = 0;
    for (int i = 1; i <= n; ++i) {
        if (!keep(i)) continue;
        ++w;
        a[w] = a[i];
        b[w] = b[i];
        if (values != nullptr && i <= values->Size()) (*values)[w] = (*values)[i];
    }
    a.Resize(w);
    b.Resize(w);
    if (values != nullptr && values->Size() >= n) values->Resize(w);
    return w;
}

template <typename Keep>
void CompactAngles(OneBased<int>& back, OneBased<int>& station, OneBased<int>& fore, OneBased<double>* values,
                   Keep keep) {
    const int n = station.Size();
    int w = 0;
    for (int i = 1; i <= n; ++i) {
        if (!keep(i)) continue;
        ++w;
        back[w] = back[i];
        station[w] = station[i];
        fore[w] = fore[i];
        if (values != nullptr && i <= values->Size()) (*values)[w] = (*values)[i];
    }
    back.Resize(w);
    station.Resize(w);
    fore.Resize(w);
    if (values != nullptr && values->Size() >= n) values->Resize(w);
}

void DropFixed(OneBased<int>& sideA, OneBased<int>& sideB, OneBased<double>* sideValues, OneBased<int>& back,
               OneBased<int>& station, OneBased<int>& fore, OneBased<double>* angleValues, const PointList& known,
               int knownCount) {
    const int n = std::clamp(knownCount, 0, known.Count());
    std::unordered_set<int> knownIds;
    std::unordered_set<int> fixed;  // known with coordinates
    for (int k = 1; k <= n; ++k) {
        knownIds.insert(known.Ids[k]);
        if (!IsMissing(known.X[k])) fixed.insert(known.Ids[k]);
    }
    CompactSides(sideA, sideB, sideValues,
                 [&](int i) { return !(fixed.count(sideA[i]) && fixed.count(sideB[i])); });
    CompactAngles(back, station, fore, angleValues, [&](int i) {
        return !(knownIds.count(back[i]) && knownIds.count(station[i]) &&
                 knownIds.count(fore[i]));
    });
}

// The sides touching each point, in side order, with a cursor past the consumed ones: the lowest
// unused side at a point is found without rescanning the list.
class SideIncidence {
public:
    explicit SideIncidence(const SidePairs& sides) {
        int maxId = 0;
        for (int i = 1; i <= sides.Count(); ++i)
            maxId = std::max({maxId, sides.EndsA[i], sides.EndsB[i]});
        start_.assign(maxId + 2, 0);
        auto usable = [&](int i) { return sides.EndsA[i] > 0 && sides.EndsB[i] > 0; };
        for (int i = 1; i <= sides.Count(); ++i) {
            if (!usable(i)) continue;
            const int a = sides.EndsA[i];
            const int b = sides.EndsB[i];
            ++start_[a + 1];
            if (b != a) ++start_[b + 1];
        }
        for (std::size_t p = 1; p < start_.size(); ++p) start_[p] += start_[p - 1];
        sides_.resize(start_.back());
        cursor_.assign(start_.begin(), start_.end() - 1);
        std::vector<std::size_t> fill(cursor_);
        for (int i = 1; i <= sides.Count(); ++i) {
            if (!usable(i)) continue;
            const int a = sides.EndsA[i];
            const int b = sides.EndsB[i];
            sides_[fill[a]++] = i;
            if (b != a) sides_[fill[b]++] = i;
        }
    }

    // The lowest-numbered side still unused at `point`; 0 when none.
    int Next(int point, const SidePairs& sides) {
        if (point <= 0 || static_cast<std::size_t>(point) + 1 >= start_.size()) return 0;
        std::size_t& c = cursor_[point];
        const std::size_t end = start_[point + 1];
        while (c < end && sides.EndsA[sides_[c]] == 0) ++c;
        return c < end ? sides_[c] : 0;
    }

private:
    std::vector<std::size_t> start_;
    std::vector<std::size_t> cursor_;
    std::vector<int> sides_;
};

// One walk from `point`: appends the points to `points` and consumes the sides walked. Returns the
// number of points; `atStop` tells whether it ended at a stop point.
int Walk(int point, SidePairs& sides, SideIncidence& incidence, const std::unordered_set<int>& stops,
         std::vector<int>& points, bool& atStop) {
    points.clear();
    int current = point;
    points.push_back(current);
    for (;;) {
        atStop = stops.count(current) != 0;
        if (atStop && points.size() >= 2) break;
        const int j = incidence.Next(current, sides);
        if (j == 0) break;
        current = sides.EndsA[j] == current ? sides.EndsB[j] : sides.EndsA[j];
        sides.EndsA[j] = 0;
        sides.EndsB[j] = 0;
        points.push_back(current);
    }
    return static_cast<int>(points.size());
}

void AddBranch(BranchModel& branches, const std::vector<int>& points, bool deadEnd) {
    for (int p : points) branches.BranchPoints.PushBack(p);
    branches.BranchPointCounts.PushBack(static_cast<int>(points.size()));
    branches.BranchDeadEnd.PushBack(deadEnd ? 1 : 0);
}

void ShowBranchNumber(Progress& progress, int next) {
    progress.SetText(MonitorLabel::Stage, Vn("Nhánh số : ") + std::to_string(next));
}

void BuildStopPoints(NetworkModel& model) {
    ConcatIdLists3(model.BranchStopPoints, model.StartStations, model.StartTargets,
                   model.NetworkNodes.Size(), model.StartStations.Size(),
                   model.NetworkNodes);
    model.BranchStopPoints.Resize(model.StartStations.Size() * 2 + model.NetworkNodes.Size());
}

// Side nodes of `sides`, junctions, node list and stop points.
void FindNodes(NetworkModel& model, const TraverseAnalysis& analysis, const SidePairs& sides, const PointList& known,
               int knownCount) {
    FindSideNodes(sides, known.Ids, std::clamp(knownCount, 0, known.Count()), model.SideNodeCandidates);
    IntersectIdLists(model.AngleNodeCandidates, model.SideNodeCandidates, model.JunctionNodes);
    ConcatNodeLists(analysis.HardNodes, model.JunctionNodes, analysis.SideOnlyKnown, model.NetworkNodes);
    BuildStopPoints(model);
}

}  // namespace

void DropFixedObservations(SidePairs& sides, AngleTriples& angles, const PointList& known, int knownCount) {
    DropFixed(sides.EndsA, sides.EndsB, nullptr, angles.Back, angles.Station, angles.Fore, nullptr, known,
              knownCount);
}

void DropFixedObservations(SideObservations& sides, AngleObservations& angles, const PointList& known,
                           int knownCount) {
    DropFixed(sides.FromIds, sides.ToIds, &sides.Lengths, angles.BackIds, angles.StationIds, angles.ForeIds,
              &angles.Values, known, knownCount);
}

void SeparateFreeObservations(const NetworkModel& model, const OneBased<int>& firstGroup,
                              const OneBased<int>& lastGroup, SidePairs& sides, AngleTriples& angles,
                              SidePairs& freeSides, AngleTriples& freeAngles) {
    std::unordered_set<int> groups = IdSet(firstGroup);
    for (int id : lastGroup) groups.insert(id);
    const std::unordered_set<std::uint64_t> legs = AngleLegs(angles);
    auto anchored = [&](int end, int other) { return groups.count(end) || legs.count(PairKey(end, other)); };

    CompactSides(sides.EndsA, sides.EndsB, nullptr, [&](int i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        if (anchored(a, b) && anchored(b, a)) return true;
        freeSides.Add(a, b);
        return false;
    });

    std::unordered_set<std::uint64_t> joined;
    joined.reserve(sides.Count() * 2);
    for (int i = 1; i <= sides.Count(); ++i) {
        joined.insert(PairKey(sides.EndsA[i], sides.EndsB[i]));
        joined.insert(PairKey(sides.EndsB[i], sides.EndsA[i]));
    }
    const std::unordered_set<int> startStations = IdSet(model.StartStations);
    CompactAngles(angles.Back, angles.Station, angles.Fore, nullptr, [&](int i) {
        const int b = angles.Back[i];
        const int s = angles.Station[i];
        const int f = angles.Fore[i];
        if (startStations.count(s) || (joined.count(PairKey(s, b)) && joined.count(PairKey(s, f)))) return true;
        freeAngles.Add(b, s, f);
        return false;
    });
}

void ExtractUnangledNodeSides(SidePairs& sides, OneBased<double>* sideValues, const AngleTriples& angles,
                              const OneBased<int>& nodes, SidePairs& moved) {
    const std::unordered_set<int> nodeSet = IdSet(nodes);
    const std::unordered_set<std::uint64_t> legs = AngleLegs(angles);
    auto sighted = [&](int end, int other) { return !nodeSet.count(end) || legs.count(PairKey(end, other)); };
    CompactSides(sides.EndsA, sides.EndsB, sideValues, [&](int i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        if (sighted(a, b) && sighted(b, a)) return true;
        moved.Add(a, b);
        return false;
    });
}

int FirstPointOnSides(const OneBased<int>& list, const SidePairs& sides) {
    std::unordered_set<int> ends;
    ends.reserve(sides.Count() * 2);
    for (int i = 1; i <= sides.Count(); ++i) {
        ends.insert(sides.EndsA[i]);
        ends.insert(sides.EndsB[i]);
    }
    ends.erase(0);
    for (int id : list)
        if (ends.count(id)) return id;
    return 0;
}

void QueueBranchStart(int point, OneBased<int>& queue, std::unordered_set<int>& queued,
                      const std::unordered_set<int>& startStations) {
    if (startStations.count(point) || !queued.insert(point).second) return;
    queue.PushBack(point);
}

bool BuildBranchesFrom(NetworkModel& model, int startPoint, SidePairs& sides, Progress& progress) {
    BranchModel& branches = model.Branches;
    branches.Clear();
    if (startPoint == 0) {
        branches.BuildBranchOffsets(0);
        return false;
    }
    const std::unordered_set<int> stops = IdSet(model.BranchStopPoints);
    const std::unordered_set<int> startStations = IdSet(model.StartStations);
    OneBased<int>& queue = model.NetworkNodes;
    queue.Clear();
    std::unordered_set<int> queued;
    SideIncidence incidence(sides);
    std::vector<int> points;

    int branchNumber = 1;
    int q = 1;
    for (;;) {
        const int from = queue.Empty() ? startPoint : queue[q];
        bool atStop = false;
        const int k = Walk(from, sides, incidence, stops, points, atStop);
        if (k >= 2) {
            AddBranch(branches, points, !atStop);
            ++branchNumber;
            ShowBranchNumber(progress, branchNumber);
        }
        if (atStop || k == 1) QueueBranchStart(points.back(), queue, queued, startStations);
        if (k >= 2 && !queue.Empty()) continue;  // again from the same queue entry
        if (queue.Empty()) break;
        ++q;
        if (k == 1 && q > queue.Size()) break;
    }
    branches.BuildBranchOffsets(branches.BranchCount());
    return true;
}

bool BuildSideBranches(NetworkModel& model, SidePairs& sides, OneBased<double>* sideValues,
                       const OneBased<int>& startPoints, const OneBased<int>& stopPoints,
                       const SideBranchFiles& files, LogBuffer& log, Interaction& ui, Progress& progress) {
    BranchModel& branches = model.Branches;
    branches.Clear();
    const std::unordered_set<int> stops = IdSet(stopPoints);
    SideIncidence incidence(sides);
    std::vector<int> points;
    int branchNumber = 1;
    for (int from : startPoints) {
        for (;;) {
            bool atStop = false;
            if (Walk(from, sides, incidence, stops, points, atStop) < 2) break;
            AddBranch(branches, points, !atStop);
            ++branchNumber;
            ShowBranchNumber(progress, branchNumber);
        }
    }
    branches.BuildBranchOffsets(branches.BranchCount());

    bool ok = true;
    if (!files.LeftoverFile.empty()) {
        TextFileWriter out(files.LeftoverFile, true);
        if (out.IsOpen()) {
            for (int i = 1; i <= sides.Count(); ++i) {
                const int a = sides.EndsA[i];
                const int b = sides.EndsB[i];
                if (a == 0 || b == 0) continue;
                const double length =
                    sideValues != nullptr && i <= sideValues->Size() ? (*sideValues)[i] : 0.0;
                out.WriteLine(model.PointNames.Name(a) + "\t" + model.PointNames.Name(b) + "\t" +
                              FormatFixed(length, 0, 3));
            }
            out.WriteLine("//HetCanhTuDo");
        }
        if (!out.IsOpen() || !out.Close()) {
            ui.Message(Vn("Không ghi được file ") + files.LeftoverFile);
            ok = false;
        } else {
            // Written out: the leftover sides leave the lists, their lengths with them.
            CompactSides(sides.EndsA, sides.EndsB, sideValues, [&](int i) {
                return sides.EndsA[i] == 0 || sides.EndsB[i] == 0;
            });
        }
    }

    log.Add("");
    if (!files.LogName.empty()) {
        const std::string logFile = ReplaceFileExt(files.LogName, "txt");
        const bool collides = std::any_of(files.InputFiles.begin(), files.InputFiles.end(),
                                          [&](const std::string& input) { return SameFile(input, logFile); });
        if (collides) {
            // An input file of the run is never replaced by the log.
            log.Add(Vn("Không ghi nhật ký vào ") + logFile + Vn(" : trùng tên file số liệu"));
        } else if (!log.SaveTo(logFile)) {
            ui.Message(Vn("Không ghi được file ") + logFile);
            ok = false;
        }
    }
    return ok;
}

bool SplitBranchSides(BranchModel& branches, SidePairs& normal, SidePairs& dead) {
    const int count = branches.BranchCount();
    branches.BuildBranchOffsets(count);
    normal.Clear();
    bool anyDead = false;
    for (int b = 1; b <= count; ++b) {
        const bool isDead = branches.BranchDeadEnd[b] != 0;
        anyDead = anyDead || isDead;
        SidePairs& target = isDead ? dead : normal;
        for (int p = branches.First(b); p < branches.Last(b); ++p) target.Add(branches.PointAt(p), branches.PointAt(p + 1));
    }
    return anyDead;
}

AnalysisStatus PrepareTraverseAnalysis(NetworkModel& model, TraverseAnalysis& analysis, const PointList& known,
                                       int knownCount, const ComputationSettings& settings,
                                       StartAzimuthAnswers& answers, bool& errorFlag, Interaction& ui) {
    const int n = std::clamp(knownCount, 0, known.Count());
    DropFixedObservations(analysis.Sides, analysis.Angles, known, n);
    if (!FindStartDirections(model, known, n, analysis.Angles, errorFlag, ui)) return AnalysisStatus::NoStartDirection;
    KnownStationsWithoutDirection(model, known, n, analysis.Angles, analysis.HardNodes);
    KnownSideOnlyPoints(model, known, n, analysis.Sides, analysis.HardNodes, analysis.SideOnlyKnown);
    SeparateFreeObservations(model, analysis.HardNodes, analysis.SideOnlyKnown, analysis.Sides, analysis.Angles,
                             analysis.FreeSides, analysis.FreeAngles);
    FindAngleNodes(analysis.Angles, known.Ids, n, model.AngleNodeCandidates);
    StartAzimuthsFromCoords(model, known, n, analysis.Directions);
    // Asks only for directions whose points lack coordinates.
    if (!AskStartAzimuths(model, settings, analysis.Directions, answers, ui)) return AnalysisStatus::Cancelled;
    return AnalysisStatus::Ok;
}

int BuildGroupBranches(NetworkModel& model, TraverseAnalysis& analysis, int startPoint, const PointList& known,
                       int knownCount, Progress& progress) {
    analysis.KeptSides.Clear();
    if (startPoint == 0) {
        model.Branches.Clear();
        model.Branches.BuildBranchOffsets(0);
        return 0;
    }
    FindNodes(model, analysis, analysis.Sides, known, knownCount);
    BuildBranchesFrom(model, startPoint, analysis.Sides, progress);
    CompactIdPairs(analysis.Sides);
    BuildStopPoints(model);

    while (SplitBranchSides(model.Branches, analysis.KeptSides, analysis.FreeSides) &&
           analysis.KeptSides.Count() > 0) {
        FindNodes(model, analysis, analysis.KeptSides, known, knownCount);
        const int start = FirstPointOnSides(model.StartStations, analysis.KeptSides);
        if (start == 0) {
            // Nothing to walk from: the sides are held back rather than lost.
            analysis.FreeSides.Append(analysis.KeptSides);
            analysis.KeptSides.Clear();
            model.Branches.Clear();
            model.Branches.BuildBranchOffsets(0);
            break;
        }
        BuildBranchesFrom(model, start, analysis.KeptSides, progress);
        CompactIdPairs(analysis.KeptSides);
        // Sides of the group that this walk did not reach are held back, not dropped.
        analysis.FreeSides.Append(analysis.KeptSides);
        BuildStopPoints(model);
    }
    return model.Branches.BranchCount();
}

AnalysisStatus AnalyseTraverseNetwork(NetworkModel& model, TraverseAnalysis& analysis, const PointList& known,
                                      int knownCount, const ComputationSettings& settings,
                                      StartAzimuthAnswers& answers, bool& errorFlag, Interaction& ui,
                                      Progress& progress) {
    const AnalysisStatus status =
        PrepareTraverseAnalysis(model, analysis, known, knownCount, settings, answers, errorFlag, ui);
    if (status != AnalysisStatus::Ok) return status;
    BuildGroupBranches(model, analysis, FirstPointOnSides(model.StartStations, analysis.Sides), known, knownCount,
                       progress);
    return AnalysisStatus::Ok;
}

}  // namespace qef
