#include "core/analysis/BranchBuilding.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/model/OutputNames.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

// The largest id of the lists.
template <typename... Lists>
int LargestOf(const Lists&... lists) {
    return std::max({0, LargestId(lists)...});
}

// (station, sighted point) for every back and fore of the angles.
PointPairs AngleLegs(const AngleTriples& angles, int largestId) {
    return PointPairs(largestId, [&](auto add) {
        for (int j = 1; j <= angles.Count(); ++j) {
            add(angles.Station[j], angles.Back[j]);
            add(angles.Station[j], angles.Fore[j]);
        }
    });
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
    const int largest = LargestId(known.Ids);
    PointFlags knownIds(largest);
    PointFlags fixed(largest);  // known with coordinates
    for (int k = 1; k <= n; ++k) {
        knownIds.Add(known.Ids[k]);
        if (!IsMissing(known.X[k])) fixed.Add(known.Ids[k]);
    }
    CompactSides(sideA, sideB, sideValues,
                 [&](int i) { return !(fixed.Contains(sideA[i]) && fixed.Contains(sideB[i])); });
    CompactAngles(back, station, fore, angleValues, [&](int i) {
        return !(knownIds.Contains(back[i]) && knownIds.Contains(station[i]) && knownIds.Contains(fore[i]));
    });
}

// One walk from `point`: appends the points to `points` and consumes the sides walked; the side
// taken at each point is the lowest-numbered unused one (nextSide). Returns the number of points;
// `atStop` tells whether it ended at a stop point.
template <typename NextSide, typename IsStop>
int Walk(int point, SidePairs& sides, NextSide nextSide, IsStop isStop, std::vector<int>& points, bool& atStop) {
    points.clear();
    int current = point;
    points.push_back(current);
    for (;;) {
        atStop = isStop(current);
        if (atStop && points.size() >= 2) break;
        const int j = nextSide(current);
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

// Walks one group into model.Branches: from startPoint, then from every stop point reached that is
// no start station, queued in model.NetworkNodes (overwritten), each walked from until no side
// is left there. The stop points are fixed for the whole group.
template <typename NextSide, typename IsStop>
void BuildBranchesFrom(NetworkModel& model, int startPoint, SidePairs& sides, NextSide nextSide, IsStop isStop,
               const StartDirectionIndex& starts, Progress& progress) {
    BranchModel& branches = model.Branches;
    branches.Clear();
    OneBased<int>& queue = model.NetworkNodes;
    queue.Clear();
    std::unordered_set<int> queued;
    std::vector<int> points;
    int branchNumber = 1;
    int q = 1;
    for (;;) {
        const int from = queue.Empty() ? startPoint : queue[q];
        bool atStop = false;
        const int k = Walk(from, sides, nextSide, isStop, points, atStop);
        if (k >= 2) {
            AddBranch(branches, points, !atStop);
            ++branchNumber;
            ShowBranchNumber(progress, branchNumber);
        }
        // QueueBranchStart: a stop point reached that is no start station is walked from later, once.
        if ((atStop || k == 1) && !starts.IsStation(points.back()) && queued.insert(points.back()).second)
            queue.PushBack(points.back());
        if (k >= 2 && !queue.Empty()) continue;  // again from the same queue entry
        if (queue.Empty()) break;
        ++q;
        if (k == 1 && q > queue.Size()) break;
    }
    branches.BuildBranchOffsets(branches.BranchCount());
}

// The sides of a short list by end point, for a walk over that list alone.
class ListIncidence {
public:
    explicit ListIncidence(const SidePairs& sides) {
        for (int i = 1; i <= sides.Count(); ++i) {
            const int a = sides.EndsA[i];
            const int b = sides.EndsB[i];
            if (a <= 0 || b <= 0) continue;
            Slot(a).push_back(i);
            if (b != a) Slot(b).push_back(i);
        }
    }
    // The lowest-numbered side still unused at `point`; 0 when none.
    int Next(int point, const SidePairs& sides) {
        auto it = slot_.find(point);
        if (it == slot_.end()) return 0;
        Entry& e = entries_[it->second];
        while (e.Cursor < e.Sides.size() && sides.EndsA[e.Sides[e.Cursor]] == 0) ++e.Cursor;
        return e.Cursor < e.Sides.size() ? e.Sides[e.Cursor] : 0;
    }
    // Sides of the list at `point` (a side from the point to itself counts once).
    int Count(int point) const {
        auto it = slot_.find(point);
        return it == slot_.end() ? 0 : static_cast<int>(entries_[it->second].Sides.size());
    }

private:
    struct Entry {
        std::vector<int> Sides;
        std::size_t Cursor = 0;
    };
    std::unordered_map<int, std::size_t> slot_;
    std::vector<Entry> entries_;

    std::vector<int>& Slot(int point) {
        auto [it, fresh] = slot_.try_emplace(point, entries_.size());
        if (fresh) entries_.emplace_back();
        return entries_[it->second].Sides;
    }
};

// The first start station, in list order, that ends a side of the list; 0 when none.
int FirstStationOn(const NetworkModel& model, const StartDirectionIndex& starts, const SidePairs& sides) {
    int best = 0;
    for (int i = 1; i <= sides.Count(); ++i)
        for (int end : {sides.EndsA[i], sides.EndsB[i]}) {
            const int rank = starts.StationRank(end);
            if (rank != 0 && (best == 0 || rank < best)) best = rank;
        }
    return best == 0 ? 0 : model.StartStations[best];
}

// The group's first walk, over the order's sides: the junctions are those of the sides left when
// the group starts, so the sides it takes are counted off only once it is walked.
void WalkOrderSides(NetworkModel& model, TraverseAnalysis& analysis, int startPoint, Progress& progress) {
    OrderIndex& index = analysis.Index;
    SidePairs& sides = analysis.Sides;
    BuildBranchesFrom(
        model, startPoint, sides, [&](int p) { return index.NextSide(p, sides); },
        [&](int p) { return index.IsStop(p, index.SidesLeft(p)); }, index.Starts(), progress);
    const BranchModel& br = model.Branches;
    for (int b = 1; b <= br.BranchCount(); ++b)
        for (int p = br.First(b); p < br.Last(b); ++p) index.Taken(br.PointAt(p), br.PointAt(p + 1));
}

// A walk of the group again over the sides it kept, with the junctions of those sides.
void WalkKeptSides(NetworkModel& model, TraverseAnalysis& analysis, int startPoint, Progress& progress) {
    const OrderIndex& index = analysis.Index;
    SidePairs& kept = analysis.KeptSides;
    ListIncidence incidence(kept);
    index.CountSteps(kept.Count());
    BuildBranchesFrom(
        model, startPoint, kept, [&](int p) { return incidence.Next(p, kept); },
        [&](int p) { return index.IsStop(p, incidence.Count(p)); }, index.Starts(), progress);
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
    const int largest = LargestOf(sides.EndsA, sides.EndsB, angles.Back, angles.Station, angles.Fore, firstGroup,
                                  lastGroup, model.StartStations);
    PointFlags groups(largest);
    groups.Add(firstGroup);
    groups.Add(lastGroup);
    const PointPairs legs = AngleLegs(angles, largest);
    auto anchored = [&](int end, int other) { return groups.Contains(end) || legs.Contains(end, other); };

    CompactSides(sides.EndsA, sides.EndsB, nullptr, [&](int i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        if (anchored(a, b) && anchored(b, a)) return true;
        freeSides.Add(a, b);
        return false;
    });

    const PointPairs joined(largest, [&](auto add) {
        for (int i = 1; i <= sides.Count(); ++i) {
            add(sides.EndsA[i], sides.EndsB[i]);
            add(sides.EndsB[i], sides.EndsA[i]);
        }
    });
    PointFlags startStations(largest);
    startStations.Add(model.StartStations);
    CompactAngles(angles.Back, angles.Station, angles.Fore, nullptr, [&](int i) {
        const int b = angles.Back[i];
        const int s = angles.Station[i];
        const int f = angles.Fore[i];
        if (startStations.Contains(s) || (joined.Contains(s, b) && joined.Contains(s, f))) return true;
        freeAngles.Add(b, s, f);
        return false;
    });
}

void ExtractUnangledNodeSides(SidePairs& sides, OneBased<double>* sideValues, const AngleTriples& angles,
                              const OneBased<int>& nodes, SidePairs& moved) {
    const int largest = LargestOf(sides.EndsA, sides.EndsB, angles.Back, angles.Station, angles.Fore, nodes);
    PointFlags nodeSet(largest);
    nodeSet.Add(nodes);
    const PointPairs legs = AngleLegs(angles, largest);
    auto sighted = [&](int end, int other) { return !nodeSet.Contains(end) || legs.Contains(end, other); };
    CompactSides(sides.EndsA, sides.EndsB, sideValues, [&](int i) {
        const int a = sides.EndsA[i];
        const int b = sides.EndsB[i];
        if (sighted(a, b) && sighted(b, a)) return true;
        moved.Add(a, b);
        return false;
    });
}

int FirstPointOnSides(const OneBased<int>& list, const SidePairs& sides) {
    PointFlags ends(LargestOf(sides.EndsA, sides.EndsB));
    ends.Add(sides.EndsA);
    ends.Add(sides.EndsB);
    for (int id : list)
        if (id != 0 && ends.Contains(id)) return id;
    return 0;
}

bool BuildSideBranches(NetworkModel& model, SidePairs& sides, OneBased<double>* sideValues,
                       const OneBased<int>& startPoints, const OneBased<int>& stopPoints,
                       const SideBranchFiles& files, LogBuffer& log, Interaction& ui, Progress& progress) {
    BranchModel& branches = model.Branches;
    branches.Clear();
    PointFlags stops(LargestId(stopPoints));
    stops.Add(stopPoints);
    SidesByPoint incidence;
    incidence.Build(sides, LargestOf(sides.EndsA, sides.EndsB));
    std::vector<int> points;
    int branchNumber = 1;
    for (int from : startPoints) {
        for (;;) {
            bool atStop = false;
            const int k = Walk(
                from, sides, [&](int p) { return incidence.Next(p, sides); },
                [&](int p) { return stops.Contains(p); }, points, atStop);
            if (k < 2) break;
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
        if (CollidingOutputName(files.InputFiles, {logFile})) {
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
    CompactIdPairs(analysis.Sides);
    analysis.Index.Build(model, analysis.Sides, analysis.HardNodes, analysis.SideOnlyKnown, known, n);
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
    OrderIndex& index = analysis.Index;
    if (!index.Covers(analysis.Sides))
        index.Build(model, analysis.Sides, analysis.HardNodes, analysis.SideOnlyKnown, known, knownCount);
    WalkOrderSides(model, analysis, startPoint, progress);

    while (SplitBranchSides(model.Branches, analysis.KeptSides, analysis.FreeSides) &&
           analysis.KeptSides.Count() > 0) {
        const int start = FirstStationOn(model, index.Starts(), analysis.KeptSides);
        if (start == 0) {
            // Nothing to walk from: the sides are held back rather than lost.
            analysis.FreeSides.Append(analysis.KeptSides);
            analysis.KeptSides.Clear();
            model.Branches.Clear();
            model.Branches.BuildBranchOffsets(0);
            break;
        }
        WalkKeptSides(model, analysis, start, progress);
        CompactIdPairs(analysis.KeptSides);
        // Sides of the group that this walk did not reach are held back, not dropped.
        analysis.FreeSides.Append(analysis.KeptSides);
    }
    return model.Branches.BranchCount();
}

int NextGroupStart(const NetworkModel& model, TraverseAnalysis& analysis) {
    if (!analysis.Index.Covers(analysis.Sides)) return FirstPointOnSides(model.StartStations, analysis.Sides);
    return analysis.Index.NextGroupStart(model.StartStations);
}

AnalysisStatus AnalyseTraverseNetwork(NetworkModel& model, TraverseAnalysis& analysis, const PointList& known,
                                      int knownCount, const ComputationSettings& settings,
                                      StartAzimuthAnswers& answers, bool& errorFlag, Interaction& ui,
                                      Progress& progress) {
    const AnalysisStatus status =
        PrepareTraverseAnalysis(model, analysis, known, knownCount, settings, answers, errorFlag, ui);
    if (status != AnalysisStatus::Ok) return status;
    BuildGroupBranches(model, analysis, NextGroupStart(model, analysis), known, knownCount, progress);
    return AnalysisStatus::Ok;
}

int ConcatIdLists3(OneBased<int>& out, const OneBased<int>& a, const OneBased<int>& b, int m, int n,
                   const OneBased<int>& c) {
    const int count = 2 * n + m;
    if (out.Size() < count) out.Resize(count);
    for (int i = 1; i <= n; ++i) {
        out[i] = a[i];
        out[(n + i)] = b[i];
    }
    for (int i = 1; i <= m; ++i) out[(2 * n + i)] = c[i];
    return count;
}

void JoinNodesAndStopPoints(NetworkModel& model, const OneBased<int>& hardNodes, const OneBased<int>& sideOnlyKnown) {
    IntersectIdLists(model.AngleNodeCandidates, model.SideNodeCandidates, model.JunctionNodes);
    ConcatNodeLists(hardNodes, model.JunctionNodes, sideOnlyKnown, model.NetworkNodes);
    const int ns = model.StartStations.Size();
    const int nodes = model.NetworkNodes.Size();
    ConcatIdLists3(model.BranchStopPoints, model.StartStations, model.StartTargets, nodes, ns, model.NetworkNodes);
    model.BranchStopPoints.Resize(2 * ns + nodes);
}

}  // namespace qef
