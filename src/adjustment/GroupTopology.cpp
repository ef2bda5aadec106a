#include "adjustment/GroupTopology.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/numeric/Numbers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

// Inserts one zero-valued entry before position p (1..Size()+1), keeping the length.
template <typename T>
void InsertAt(OneBased<T>& list, int p, const T& value) {
    list.Resize(list.Size() + 1);
    for (int i = list.Size(); i > p; --i) list[i] = list[(i - 1)];
    list[p] = value;
}

// Lengthens branch b by `point` put in at position p, with its coordinates.
void InsertBranchPoint(GroupWorkingSet& ws, BranchModel& br, int b, int p, int point, double x, double y) {
    InsertAt(br.BranchPoints, p, point);
    br.BranchPointCounts[b] += 1;
    br.BuildBranchOffsets(br.BranchCount());
    ws.TotalPoints += 1;
    for (auto* a : {&ws.PositionAngles, &ws.PositionSides, &ws.PositionAzimuths}) InsertAt(*a, p, 0.0);
    InsertAt(ws.PositionX, p, x);
    InsertAt(ws.PositionY, p, y);
    ws.GrowPositions(ws.TotalPoints);
}

// Clears what each end of branches 1..nb carries; an end at a known point, side-only points
// included, carries no coordinate unknown.
void ResetBranchEnds(GroupWorkingSet& ws, const BranchModel& br, const OrderIndex& order, int nb) {
    for (int b = 1; b <= nb; ++b) {
        const int i = b;
        ws.NoAngleClosure[i] = order.IsSideOnly(br.FirstPoint(b)) || order.IsSideOnly(br.LastPoint(b));
        ws.StartFixState[i] = 1;
        ws.EndFixState[i] = 1;
        ws.StartRefPoints[i] = 0;
        ws.EndRefPoints[i] = 0;
        ws.BranchStartAzimuths[i] = 0.0;
        ws.BranchEndAzimuths[i] = 0.0;
        ws.StartRefX[i] = ws.StartRefY[i] = ws.EndRefX[i] = ws.EndRefY[i] = 0.0;
        ws.PositionX[br.First(b)] = ws.PositionY[br.First(b)] = 0.0;
        ws.PositionX[br.Last(b)] = ws.PositionY[br.Last(b)] = 0.0;
        // Both ends of a branch closed at a known point.
        ws.StartUnknownNodeOf[i] = ws.StartNodeOf[i];
        ws.EndUnknownNodeOf[i] = ws.EndNodeOf[i];
        if (order.IsHardNode(br.FirstPoint(b)) || order.IsSideOnly(br.FirstPoint(b))) ws.StartUnknownNodeOf[i] = 0;
        if (order.IsHardNode(br.LastPoint(b)) || order.IsSideOnly(br.LastPoint(b))) ws.EndUnknownNodeOf[i] = 0;
    }
}

// The point next to node `id` on branch b.
int NeighbourAt(const BranchModel& br, int b, int id) {
    return br.FirstPoint(b) == id ? br.PointAt(br.First(b) + 1) : br.PointAt(br.Last(b) - 1);
}

// At each node one branch arrives without an angle and the others are oriented on its last side.
// That side is the back-sight that the most of the node's measured angles share with the other
// branches, so that their connecting angles are measured ones, not sums of measured ones; of equal
// counts the longest branch, then the first listed.
bool OrientOnSharedBackSights(GroupWorkingSet& ws, const NetworkModel& model, const AngleObservations& angles,
                             const StationAngleIndex& angleIndex, int nn, Interaction& ui) {
    const BranchModel& br = model.Branches;
    std::unordered_set<int> neighbours;
    for (int k = 1; k <= nn; ++k) {
        const int id = model.NetworkNodes[k];
        neighbours.clear();
        for (int j = ws.NodeStarts[k] + 1; j <= ws.NodeStarts[k + 1]; ++j) {
            const int b = model.NodeBranches[j];
            if (br.FirstPoint(b) == id) neighbours.insert(br.PointAt(br.First(b) + 1));
            if (br.LastPoint(b) == id) neighbours.insert(br.PointAt(br.Last(b) - 1));
        }
        // Measured angles at the node between a candidate side and another branch's side.
        auto sharedAngles = [&](int ref) {
            int count = 0;
            for (int a : angleIndex.At(id)) {
                const int back = angles.BackIds[a];
                const int fore = angles.ForeIds[a];
                const int other = back == ref ? fore : fore == ref ? back : 0;
                if (other != 0 && other != ref && neighbours.count(other) != 0) ++count;
            }
            return count;
        };
        int m = 0;
        int mShared = -1;
        for (int j = ws.NodeStarts[k] + 1; j <= ws.NodeStarts[k + 1]; ++j) {
            const int b = model.NodeBranches[j];
            const int shared = sharedAngles(NeighbourAt(br, b, id));
            if (m == 0 || shared > mShared ||
                (shared == mShared && br.BranchPointCounts[b] > br.BranchPointCounts[m])) {
                m = b;
                mShared = shared;
            }
        }
        if (m == 0) {
            ShowError(ui, "Thieu DK BS");
            return false;
        }
        int ref = 0;
        if (br.FirstPoint(m) == id) {
            ws.StartFixState[m] = 2;
            ref = br.PointAt(br.First(m) + 1);
            // A loop from the node back to it turns from its last side to its first one.
            if (br.LastPoint(m) == id) ws.EndRefPoints[m] = ref;
        } else {
            ws.EndFixState[m] = 2;
            ref = br.PointAt(br.Last(m) - 1);
        }
        for (int j = ws.NodeStarts[k] + 1; j <= ws.NodeStarts[k + 1]; ++j) {
            const int b = model.NodeBranches[j];
            if (b == m) continue;
            if (br.FirstPoint(b) == id && ws.StartFixState[b] == 1) ws.StartRefPoints[b] = ref;
            if (br.LastPoint(b) == id && ws.EndFixState[b] == 1) ws.EndRefPoints[b] = ref;
        }
    }
    return true;
}

// A station without coordinates is carried from its sighted point: the branch is walked from (or
// to) that point along the measured side.
void CarryStationsWithoutCoordinates(GroupWorkingSet& ws, BranchModel& br, int nb) {
    for (int b = 1; b <= nb; ++b) {
        const int i = b;
        if (IsMissing(ws.StartRefX[i]) && IsMissing(ws.StartRefY[i])) ws.StartUnknownNodeOf[i] = 1;
        const int first = br.First(b);
        if (ws.StartRefPoints[i] != 0 && IsMissing(ws.PositionX[first]) && IsMissing(ws.PositionY[first])) {
            InsertBranchPoint(ws, br, b, first, ws.StartRefPoints[i], ws.StartRefX[i], ws.StartRefY[i]);
            ws.StartRefX[i] = ws.StartRefY[i] = kMissingValue;
            ws.StartFixState[i] = 2;
            ws.StartUnknownNodeOf[i] = 1;
        }
        if (IsMissing(ws.EndRefX[i]) && IsMissing(ws.EndRefY[i])) ws.EndUnknownNodeOf[i] = 1;
        // Read after the start insertion, which moved the branch's last position.
        const int last = br.Last(b);
        if (ws.EndRefPoints[i] != 0 && IsMissing(ws.PositionX[last]) && IsMissing(ws.PositionY[last])) {
            InsertBranchPoint(ws, br, b, last + 1, ws.EndRefPoints[i], ws.EndRefX[i], ws.EndRefY[i]);
            ws.EndRefX[i] = ws.EndRefY[i] = kMissingValue;
            ws.EndFixState[i] = 2;
            ws.EndUnknownNodeOf[i] = 1;
        }
    }
}

void SetBranchKinds(GroupWorkingSet& ws, int nb) {
    for (int b = 1; b <= nb; ++b) {
        const int i = b;
        const bool startAngle = ws.StartFixState[i] == 1;
        const bool endAngle = ws.EndFixState[i] == 1;
        ws.BranchTypes[i] = BranchKindOf(startAngle, endAngle);
    }
}

// Known coordinates at the branch ends that are known nodes.
void PlaceKnownEnds(GroupWorkingSet& ws, const GroupInputs& in, int nb) {
    const BranchModel& br = in.Model.Branches;
    const OrderIndex& order = in.Order;
    const PointList& known = in.Known.List();
    for (int b = 1; b <= nb; ++b) {
        for (int p : {br.First(b), br.Last(b)}) {
            const int point = br.PointAt(p);
            if (!order.IsHardNode(point) && !order.IsSideOnly(point)) continue;
            const int k = in.Known.Last(point);
            if (k == 0) continue;
            ws.PositionX[p] = known.X[k];
            ws.PositionY[p] = known.Y[k];
        }
    }
}

}  // namespace

void MarkKnownPoints(GroupWorkingSet& ws, const NetworkModel& model, const OrderIndex& order) {
    OneBased<std::uint8_t>& flags = ws.KnownNodeFlags;
    const OneBased<int>& nodes = model.NetworkNodes;
    const int n = ws.Nn;
    if (flags.Size() < n) flags.Resize(n);
    for (int k = 1; k <= n; ++k) flags[k] = order.IsHardNode(nodes[k]) || order.IsSideOnly(nodes[k]) ? 1 : 0;
}

void BuildNodeBranchLinks(GroupWorkingSet& ws, NetworkModel& model) {
    const int nb = ws.Nb;
    const int nn = ws.Nn;
    OneBased<int>& startNodeOf = ws.StartNodeOf;
    OneBased<int>& endNodeOf = ws.EndNodeOf;
    OneBased<int>& nodeStarts = ws.NodeStarts;
    const BranchModel& br = model.Branches;
    std::unordered_map<int, int> position;  // node point -> position
    position.reserve(nn);
    for (int k = 1; k <= nn; ++k) position[model.NetworkNodes[k]] = k;
    auto nodeOf = [&](int point) {
        auto it = position.find(point);
        return it == position.end() ? 0 : it->second;
    };

    if (startNodeOf.Size() < nb) startNodeOf.Resize(nb);
    if (endNodeOf.Size() < nb) endNodeOf.Resize(nb);
    if (nodeStarts.Size() < nn + 1) nodeStarts.Resize(nn + 1);

    // One scan of the branches in ascending order lists them under each node in that order.
    std::vector<std::vector<int>> atNode(nn + 1);
    for (int b = 1; b <= nb; ++b) {
        const int kf = nodeOf(br.FirstPoint(b));
        const int ke = nodeOf(br.LastPoint(b));
        startNodeOf[b] = kf;
        endNodeOf[b] = ke;
        if (kf != 0) atNode[kf].push_back(b);
        if (ke != 0 && ke != kf) atNode[ke].push_back(b);
    }
    int count = 0;
    model.NodeBranches.Clear();
    for (int k = 1; k <= nn; ++k) {
        nodeStarts[k] = count;
        for (int b : atNode[k]) {
            model.NodeBranches.PushBack(b);
            ++count;
        }
    }
    nodeStarts[nn + 1] = count;
}

void OrientBranchesFromKnown(NetworkModel& model, const StartDirectionIndex& starts, int nn, int nb) {
    // First place in StartStations then NetworkNodes[1..nn]; past both when in neither.
    const int ns = starts.Count();
    std::unordered_map<int, int> nodeRank;
    nodeRank.reserve(nn);
    for (int k = 1; k <= nn; ++k) nodeRank.try_emplace(model.NetworkNodes[k], ns + k);
    auto rankOf = [&](int point) {
        if (const int station = starts.StationRank(point); station != 0) return station;
        auto it = nodeRank.find(point);
        return it == nodeRank.end() ? ns + nn + 1 : it->second;
    };
    BranchModel& br = model.Branches;
    for (int b = 1; b <= nb; ++b) {
        const int first = rankOf(br.FirstPoint(b));
        const int last = rankOf(br.LastPoint(b));
        if (last < first) br.ReverseBranch(b);
    }
}

bool OrderNodesByLevel(GroupWorkingSet& ws, NetworkModel& model, const StartDirectionIndex& starts,
                       Interaction& ui) {
    const int nb = ws.Nb;
    const int nn = ws.Nn;
    int& levelCount = ws.NodeLevelCount;
    OneBased<int>& levelStarts = ws.NodeLevelStarts;
    const BranchModel& br = model.Branches;
    OneBased<int>& nodes = model.NetworkNodes;
    const OneBased<int> original = nodes;
    std::unordered_map<int, std::vector<int>> positions;  // point -> node positions not yet placed
    for (int k = 1; k <= nn; ++k) positions[nodes[k]].push_back(k);

    // Level 1 starts from the start stations, each later level from the nodes placed before it.
    std::unordered_set<int> frontier;
    bool fromStations = true;
    auto inFrontier = [&](int point) { return fromStations ? starts.IsStation(point) : frontier.count(point) != 0; };
    std::vector<int> ordered;
    ordered.reserve(nn);
    levelCount = 0;
    levelStarts.Resize(2);
    levelStarts[1] = 0;
    while (static_cast<int>(ordered.size()) < nn) {
        std::unordered_set<int> next;
        const std::size_t before = ordered.size();
        for (int b = 1; b <= nb; ++b) {
            const int f = br.FirstPoint(b);
            const int e = br.LastPoint(b);
            if (!inFrontier(f) && !inFrontier(e)) continue;
            // Node positions at either end, in position order; each is placed once.
            std::vector<int> found;
            for (int point : {f, e}) {
                auto it = positions.find(point);
                if (it == positions.end()) continue;
                found.insert(found.end(), it->second.begin(), it->second.end());
                positions.erase(it);
            }
            std::sort(found.begin(), found.end());
            for (int k : found) {
                ordered.push_back(nodes[k]);
                next.insert(nodes[k]);
                nodes[k] = 0;
            }
        }
        const int placedNow = static_cast<int>(ordered.size() - before);
        if (placedNow == 0) {
            ShowError(ui, "Thieu DK BS");
            nodes = original;
            return false;
        }
        frontier.swap(next);
        fromStations = false;
        ++levelCount;
        levelStarts.Resize(levelCount + 1);
        levelStarts[levelCount + 1] = levelStarts[levelCount] + placedNow;
    }
    for (int k = 1; k <= nn; ++k) nodes[k] = ordered[(k - 1)];
    return true;
}

void ChooseNodeBranches(GroupWorkingSet& ws, const NetworkModel& model, const StartDirectionIndex& starts) {
    OneBased<int>& carrier = ws.NodeCarrierBranch;
    const OneBased<int>& nodeStarts = ws.NodeStarts;
    const int levelCount = ws.NodeLevelCount;
    const OneBased<int>& levelStarts = ws.NodeLevelStarts;
    const BranchModel& br = model.Branches;
    // Level 1 is reached from a start station, or from a start target that a branch was
    // lengthened by at its start; each later level from the nodes of the level before.
    std::unordered_set<int> frontier;
    bool fromStations = true;
    auto reachedFrom = [&](int point) { return fromStations ? starts.IsStation(point) : frontier.count(point) != 0; };
    const int nn = levelCount > 0 ? levelStarts[levelCount + 1] : 0;
    if (carrier.Size() < nn) carrier.Resize(nn);
    for (int level = 1; level <= levelCount; ++level) {
        std::unordered_set<int> next;
        for (int k = levelStarts[level] + 1; k <= levelStarts[level + 1]; ++k) {
            int best = 0;
            carrier[k] = 0;
            for (int j = nodeStarts[k] + 1; j <= nodeStarts[k + 1]; ++j) {
                const int b = model.NodeBranches[j];
                const bool reaches = reachedFrom(br.FirstPoint(b)) || reachedFrom(br.LastPoint(b)) ||
                                     (fromStations && starts.IsTarget(br.FirstPoint(b)));
                const int points = br.BranchPointCounts[b];
                if (reaches && (best == 0 || points < best)) {
                    best = points;
                    carrier[k] = b;
                }
            }
            next.insert(model.NetworkNodes[k]);
        }
        frontier.swap(next);
        fromStations = false;
    }
}

void CountBranchAnglesSides(GroupWorkingSet& ws, const BranchModel& branches, RunRecord& run) {
    OneBased<int>& angleCounts = ws.BranchAngleCounts;
    OneBased<int>& sideCounts = ws.BranchSideCounts;
    const OneBased<int>& pointCounts = branches.BranchPointCounts;
    const OneBased<BranchKind>& kinds = ws.BranchTypes;
    const int nb = ws.Nb;
    run.GroupAngleTotal = 0;
    run.GroupSideTotal = 0;
    for (int b = 1; b <= nb; ++b) {
        const int p = pointCounts[b];
        sideCounts[b] = p - 1;
        switch (kinds[b]) {
            case BranchKind::BothEnds: angleCounts[b] = p; break;
            case BranchKind::StartOnly:
            case BranchKind::EndOnly: angleCounts[b] = p - 1; break;
            case BranchKind::Neither: angleCounts[b] = p - 2; break;
            default: break;
        }
        run.GroupAngleTotal += angleCounts[b];
        run.GroupSideTotal += sideCounts[b];
    }
}

bool LinkBranchEndsToNodes(GroupWorkingSet& ws, const GroupInputs& in, Interaction& ui, Progress& monitor,
                           LogBuffer& log) {
    monitor.SetText(MonitorLabel::Stage, Vn("Đang lập quan hệ giữa nhánh và nút"));
    const int nb = ws.Nb;
    ResetBranchEnds(ws, in.Model.Branches, in.Order, nb);
    if (!OrientOnSharedBackSights(ws, in.Model, in.Angles, in.AngleIndex, ws.Nn, ui)) return false;
    for (int b = 1; b <= nb; ++b)
        if (ws.NoAngleClosure[b] != 0) ws.EndFixState[b] = 2;
    if (!FindConnectingAngles(ws, in, ui, log)) return false;
    if (in.Model.MissingValuesFlag) CarryStationsWithoutCoordinates(ws, in.Model.Branches, nb);
    SetBranchKinds(ws, nb);
    PlaceKnownEnds(ws, in, nb);
    return true;
}

}  // namespace qef
