#include "core/analysis/BranchLevels.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <queue>
#include <unordered_map>

namespace qef {

namespace {

template <typename T>
void EraseAt(OneBased<T>& list, int i) {
    if (i < 1 || i > list.Size()) return;
    std::move(list.begin() + i, list.end(), list.begin() + (i - 1));
    list.Resize(list.Size() - 1);
}

// Rotates list[i..j] so that element j comes first.
template <typename T>
void RotateToFront(OneBased<T>& list, int i, int j) {
    if (j > list.Size()) return;
    std::rotate(list.begin() + (i - 1), list.begin() + (j - 1), list.begin() + j);
}

// list[1..n] := the elements at the old positions order[0..n-1], n = order.size().
template <typename T>
void PermutePrefix(OneBased<T>& list, const std::vector<int>& order) {
    if (static_cast<int>(order.size()) > list.Size()) return;
    std::vector<T> moved;
    moved.reserve(order.size());
    for (int p : order) moved.push_back(std::move(list[p]));
    std::move(moved.begin(), moved.end(), list.begin());
}

// The old positions in their new order when the branches at `positions` go to the front: those
// first, then the others up to the last one moved, in their order.
std::vector<int> FrontOrder(const std::vector<int>& positions) {
    const int reach = *std::max_element(positions.begin(), positions.end());
    std::vector<char> moved(reach + 1, 0);
    std::vector<int> order(positions);
    for (int p : positions) moved[p] = 1;
    for (int b = 1; b <= reach; ++b)
        if (!moved[b]) order.push_back(b);
    return order;
}

// Which branches a join at `point` reverses so that b1 ends where b2 starts; the first case that
// fits applies.
enum class JoinTurn { None, Keep, ReverseBoth, ReverseFirst, ReverseSecond };

JoinTurn ChooseJoinTurn(int first1, int last1, int first2, int last2, int point) {
    if (first2 == point && last1 == point) return JoinTurn::Keep;
    if (first1 == point && last2 == point) return JoinTurn::ReverseBoth;
    if (first1 == point && first2 == point) return JoinTurn::ReverseFirst;
    if (last1 == point && last2 == point) return JoinTurn::ReverseSecond;
    return JoinTurn::None;
}

}  // namespace

void BuildBranchAdjacency(const NetworkModel& model, int nodeCount, BranchSets& sets) {
    const BranchModel& br = model.Branches;
    const int branchCount = br.BranchCount();
    sets.NodeSets.Clear();
    sets.NodeSets.Resize(branchCount);
    sets.BranchLevels.Clear();
    sets.BranchLevels.Resize(branchCount, 0);

    std::unordered_map<int, std::vector<int>> positionsOf;
    positionsOf.reserve(nodeCount);
    for (int n = 1; n <= nodeCount; ++n)
        if (model.NetworkNodes[n] != 0) positionsOf[model.NetworkNodes[n]].push_back(n);

    for (int b = 1; b <= branchCount; ++b) {
        NodeSet& set = sets.NodeSets[b];
        if (br.BranchDeadEnd[b] != 0) {
            set.Insert(0);
            sets.BranchLevels[b] = 1;
        }
        for (int point : {br.FirstPoint(b), br.LastPoint(b)}) {
            auto it = positionsOf.find(point);
            if (it == positionsOf.end()) continue;
            for (int n : it->second) set.Insert(n);
        }
    }
}

bool CanJoinThrough(const NetworkModel& model, int startCount, int point) {
    if (startCount < 1) return true;
    return point != model.StartStations[1];
}

void JoinBranches(NetworkModel& model, BranchSets& sets, int b1, int b2, int nodePosition) {
    BranchModel& br = model.Branches;
    const int branchCount = br.BranchCount();
    assert(1 <= b1 && b1 < b2 && b2 <= branchCount && br.LastPoint(b1) == br.FirstPoint(b2));
    if (b1 < 1 || b1 >= b2 || b2 > branchCount || br.LastPoint(b1) != br.FirstPoint(b2)) return;
    const int total = br.SumBranchPoints(branchCount);
    const int count1 = br.BranchPointCounts[b1];
    const int count2 = br.BranchPointCounts[b2];

    // Bring b2 right behind b1, then close up over b2's first point (b1's last, the same point).
    auto points = br.BranchPoints.begin();
    std::rotate(points + br.Last(b1), points + (br.First(b2) - 1), points + br.Last(b2));
    std::move(points + br.Last(b1) + 1, points + total, points + br.Last(b1));
    br.BranchPoints.Resize((total - 1));

    br.BranchPointCounts[b1] = count1 + count2 - 1;
    NodeSet& set1 = sets.NodeSets[b1];
    set1 |= sets.NodeSets[b2];
    set1.Erase(nodePosition);

    EraseAt(br.BranchPointCounts, b2);
    EraseAt(br.BranchDeadEnd, b2);
    EraseAt(sets.NodeSets, b2);
    EraseAt(sets.BranchLevels, b2);
    br.BuildBranchOffsets(branchCount - 1);
}

bool JoinBranchesAtNode(NetworkModel& model, BranchSets& sets, int b1, int b2, int nodePosition,
                        int startCount) {
    BranchModel& br = model.Branches;
    if (b1 < 1 || b1 >= b2 || b2 > br.BranchCount()) return false;
    const int point = model.NetworkNodes[nodePosition];
    if (point == 0 || !CanJoinThrough(model, startCount, point)) return false;
    const JoinTurn turn =
        ChooseJoinTurn(br.FirstPoint(b1), br.LastPoint(b1), br.FirstPoint(b2), br.LastPoint(b2), point);
    if (turn == JoinTurn::None) return false;
    if (turn == JoinTurn::ReverseBoth || turn == JoinTurn::ReverseFirst) br.ReverseBranch(b1);
    if (turn == JoinTurn::ReverseBoth || turn == JoinTurn::ReverseSecond) br.ReverseBranch(b2);
    JoinBranches(model, sets, b1, b2, nodePosition);
    return true;
}

void AssignBranchLevels(NetworkModel& model, int& pass, int nodeCount, KnownNodeLists known,
                        BranchSets& sets, int startCount, const ComputationSettings& settings) {
    BranchModel& br = model.Branches;
    const int branchCount = br.BranchCount();
    pass = 1;
    assert(sets.NodeSets.Size() >= branchCount);
    if (sets.NodeSets.Size() < branchCount ||
        sets.BranchLevels.Size() < branchCount)
        return;  // no adjacency built for these branches

    // The passes work on a copy of each branch, so that a join costs the length of the two
    // branches rather than a shift of the whole model. A joined-away branch only drops out: the
    // others keep their order, which is the order of their first numbers.
    struct Work {
        std::vector<int> points;
        NodeSet set;
        int level = 0;
        std::uint8_t deadEnd = 0;
        bool alive = true;
    };
    std::vector<Work> work(branchCount + 1);
    for (int b = 1; b <= branchCount; ++b) {
        Work& w = work[b];
        w.points.assign(br.BranchPoints.begin() + (br.First(b) - 1), br.BranchPoints.begin() + br.Last(b));
        w.set = std::move(sets.NodeSets[b]);
        w.level = sets.BranchLevels[b];
        w.deadEnd = br.BranchDeadEnd[b];
    }

    // Branches that may hold each node position; entries that no longer do are dropped on reading.
    std::vector<std::vector<int>> atNode(nodeCount + 1);
    for (int b = 1; b <= branchCount; ++b)
        for (int n : work[b].set)
            if (n >= 1 && n <= nodeCount) atNode[n].push_back(b);

    std::unordered_map<int, int> knownCounts;
    if (!settings.Modes.ModeLevelling)
        for (int i = 1; i <= known.KnownCount; ++i) ++knownCounts[known.KnownList[i]];
    auto removeKnown = [&](int point) {
        for (int i = 1; i <= known.KnownCount; ++i) {
            if (known.KnownList[i] != point) continue;
            for (int k = i; k < known.KnownCount; ++k)
                known.KnownList[k] = known.KnownList[(k + 1)];
            --known.KnownCount;
            break;
        }
        if (--knownCounts[point] == 0) knownCounts.erase(point);
    };

    std::vector<int> live;
    bool changed = true;
    while (changed) {
        changed = false;
        for (int n = 1; n <= nodeCount; ++n) {
            std::vector<int>& candidates = atNode[n];
            if (candidates.empty()) continue;
            std::sort(candidates.begin(), candidates.end());
            candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
            std::erase_if(candidates,
                          [&](int b) { return !work[b].alive || !work[b].set.Contains(n); });

            live.clear();
            for (int b : candidates) {
                Work& w = work[b];
                if (w.set.Contains(0)) {
                    w.set = NodeSet{0};
                    w.deadEnd = 1;
                    w.level = std::max(w.level, pass);
                    changed = true;
                } else {
                    live.push_back(b);
                }
            }
            if (live.empty()) continue;

            const int point = model.NetworkNodes[n];
            const bool isKnown = !settings.Modes.ModeLevelling && point != 0 && knownCounts.contains(point);
            Work& first = work[live[0]];
            if (isKnown && live.size() == 1) {
                ++known.NewStartCount;
                if (known.NewStarts.Size() < known.NewStartCount)
                    known.NewStarts.Resize(known.NewStartCount + 5);
                known.NewStarts[known.NewStartCount] = point;
                removeKnown(point);
                first.set.Erase(n);
                model.NetworkNodes[n] = 0;
            } else if (!isKnown && live.size() == 1) {
                first.set.Erase(n);
                first.set.Insert(0);
                first.level = pass + 1;
                model.NetworkNodes[n] = 0;
                // Its node already passed in this pass cuts it only in the next one; without
                // that pass it would keep the marker and a node, and draw hanging branches into
                // that node's group.
                changed = true;
            } else if (!isKnown && live.size() == 2) {
                if (point == 0 || !CanJoinThrough(model, startCount, point)) continue;
                Work& second = work[live[1]];
                const JoinTurn turn = ChooseJoinTurn(first.points.front(), first.points.back(),
                                                     second.points.front(), second.points.back(), point);
                if (turn == JoinTurn::None) continue;
                if (turn == JoinTurn::ReverseBoth || turn == JoinTurn::ReverseFirst)
                    std::reverse(first.points.begin(), first.points.end());
                if (turn == JoinTurn::ReverseBoth || turn == JoinTurn::ReverseSecond)
                    std::reverse(second.points.begin(), second.points.end());
                first.points.insert(first.points.end(), second.points.begin() + 1, second.points.end());
                first.set |= second.set;
                first.set.Erase(n);
                second = Work{};
                second.alive = false;
                model.NetworkNodes[n] = 0;
                // The joined branch now reaches the other branch's far node.
                for (int m : first.set)
                    if (m >= 1 && m <= nodeCount) atNode[m].push_back(live[0]);
            }
        }
        ++pass;
    }

    // Back into the model, the joined-away branches left out.
    br.BranchPoints.Clear();
    br.BranchPointCounts.Clear();
    br.BranchDeadEnd.Clear();
    sets.NodeSets.Clear();
    sets.BranchLevels.Clear();
    for (int b = 1; b <= branchCount; ++b) {
        Work& w = work[b];
        if (!w.alive) continue;
        for (int p : w.points) br.BranchPoints.PushBack(p);
        br.BranchPointCounts.PushBack(static_cast<int>(w.points.size()));
        br.BranchDeadEnd.PushBack(w.deadEnd);
        sets.NodeSets.PushBack(std::move(w.set));
        sets.BranchLevels.PushBack(w.level);
    }
    br.BuildBranchOffsets(br.BranchCount());
}

void MoveBranchTo(NetworkModel& model, BranchSets& sets, int i, int j) {
    BranchModel& br = model.Branches;
    assert(1 <= i && i <= j && j <= br.BranchCount());
    if (i < 1 || i >= j || j > br.BranchCount()) return;
    auto points = br.BranchPoints.begin();
    std::rotate(points + (br.First(i) - 1), points + (br.First(j) - 1), points + br.Last(j));
    RotateToFront(br.BranchPointCounts, i, j);
    RotateToFront(br.BranchDeadEnd, i, j);
    RotateToFront(sets.NodeSets, i, j);
    RotateToFront(sets.BranchLevels, i, j);
    br.BuildBranchOffsets(br.BranchCount());
}

void MoveBranchesToFront(NetworkModel& model, BranchSets& sets, const std::vector<int>& positions) {
    if (positions.empty()) return;
    BranchModel& br = model.Branches;
    // Only the branches up to the last one moved change place.
    const std::vector<int> order = FrontOrder(positions);
    std::vector<int> points;
    points.reserve(br.Last(static_cast<int>(order.size())));
    for (int b : order)
        for (int p = br.First(b); p <= br.Last(b); ++p) points.push_back(br.PointAt(p));
    std::copy(points.begin(), points.end(), br.BranchPoints.begin());

    PermutePrefix(br.BranchPointCounts, order);
    PermutePrefix(br.BranchDeadEnd, order);
    PermutePrefix(sets.NodeSets, order);
    PermutePrefix(sets.BranchLevels, order);
    br.BuildBranchOffsets(br.BranchCount());
}

int GatherSetNodes(NetworkModel& model, const NodeSet& set, int nodeCount) {
    int count = 0;
    for (int n : set) {
        if (n < 1) continue;
        if (n > nodeCount) break;
        ++count;
        std::swap(model.NetworkNodes[count], model.NetworkNodes[n]);
    }
    return count;
}

std::vector<BranchGroup> FormBranchGroups(NetworkModel& model, BranchSets& sets,
                                          const OneBased<int>& savedNodes, int nodeCount,
                                          const GroupVisitor& visit) {
    BranchModel& br = model.Branches;
    const int branchCount = br.BranchCount();
    std::vector<BranchGroup> groups;

    // Branches keep an id (their position at the start) while groups are moved to the front.
    std::vector<int> idAt(branchCount + 1);
    std::vector<int> positionOf(branchCount + 1);
    for (int b = 1; b <= branchCount; ++b) idAt[b] = positionOf[b] = b;

    // Branches holding each set element (0 included, for the dead-end marker).
    int largest = nodeCount;
    for (int b = 1; b <= branchCount; ++b)
        for (int e : sets.NodeSets[b]) largest = std::max(largest, e);
    std::vector<std::vector<int>> holders(largest + 1);
    for (int b = 1; b <= branchCount; ++b)
        for (int e : sets.NodeSets[b])
            if (e >= 0) holders[e].push_back(b);

    std::vector<char> grouped(largest + 1, 0);  // element already in some group's set
    std::vector<char> taken(branchCount + 1, 0);
    std::vector<int> touched;  // NetworkNodes positions the last group changed
    int lowest = 1;

    while (true) {
        while (lowest <= nodeCount && grouped[lowest]) ++lowest;
        if (lowest > nodeCount) break;

        // Scans in branch order, repeated until one adds nothing, followed through two heaps: a
        // branch that becomes reachable behind the scan joins in this scan, one before it in the
        // next. Ranks are positions, which stay fixed while scanning.
        using MinHeap = std::priority_queue<int, std::vector<int>, std::greater<>>;
        MinHeap thisScan, nextScan;
        int scanAt = 0;
        std::vector<int> members;  // ids in order of joining
        std::vector<int> elements;
        auto addElement = [&](int e) {
            grouped[e] = 1;
            elements.push_back(e);
            for (int id : holders[e]) {
                if (taken[id]) continue;
                taken[id] = 1;
                int rank = positionOf[id];
                (rank > scanAt ? thisScan : nextScan).push(rank);
            }
        };
        addElement(lowest);
        while (true) {
            while (!thisScan.empty()) {
                const int b = thisScan.top();
                thisScan.pop();
                scanAt = b;
                members.push_back(idAt[b]);
                NodeSet& set = sets.NodeSets[b];
                for (int e : set)
                    if (e >= 0 && !grouped[e]) addElement(e);
                set.Clear();
            }
            if (nextScan.empty()) break;
            std::swap(thisScan, nextScan);
            scanAt = 0;
        }
        if (members.empty()) continue;  // a position no branch meets any more

        std::vector<int> positions;
        positions.reserve(members.size());
        for (int id : members) positions.push_back(positionOf[id]);
        MoveBranchesToFront(model, sets, positions);
        {
            const std::vector<int> order = FrontOrder(positions);
            std::vector<int> ids;
            ids.reserve(order.size());
            for (int b : order) ids.push_back(idAt[b]);
            for (int b = 1; b <= static_cast<int>(ids.size()); ++b) {
                idAt[b] = ids[b - 1];
                positionOf[ids[b - 1]] = b;
            }
        }

        // Back to the saved node list: the whole of it for the first group, afterwards only the
        // positions that the last group gathered and its visitor may have rearranged.
        if (groups.empty()) {
            for (int n = 1; n <= nodeCount; ++n) model.NetworkNodes[n] = savedNodes[n];
        } else {
            for (int n : touched) model.NetworkNodes[n] = savedNodes[n];
        }
        NodeSet groupSet;
        std::sort(elements.begin(), elements.end());
        for (int e : elements) groupSet.Insert(e);
        const int nodesInGroup = GatherSetNodes(model, groupSet, nodeCount);
        touched.clear();
        for (int n = 1; n <= nodesInGroup; ++n) touched.push_back(n);
        for (int n : groupSet)
            if (n > nodesInGroup && n <= nodeCount) touched.push_back(n);

        BranchGroup group;
        group.BranchCount = static_cast<int>(members.size());
        for (int n = 1; n <= nodesInGroup; ++n) group.NodeIds.push_back(model.NetworkNodes[n]);
        for (int b = 1; b <= group.BranchCount; ++b)
            group.Points.emplace_back(br.BranchPoints.begin() + (br.First(b) - 1),
                                      br.BranchPoints.begin() + br.Last(b));
        groups.push_back(group);
        if (visit && !visit(groups.back())) break;
        assert(br.BranchCount() == branchCount);
    }
    return groups;
}

}  // namespace qef
