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

// One branch while the level passes work on it. A copy of its points, so that a join costs the
// length of the two branches rather than a shift of the whole model; a joined-away branch only
// drops out, the others keep their order, which is the order of their first numbers.
struct LevelWork {
    std::vector<int> points;
    NodeSet set;
    int level = 0;
    std::uint8_t deadEnd = 0;
    bool alive = true;
};

// The known points that nodes are looked up in, counted so that a look-up does not scan the list.
class KnownNodes {
public:
    KnownNodes(KnownNodeLists known, bool levelling) : known_(known), levelling_(levelling) {
        if (!levelling)
            for (int i = 1; i <= known.KnownCount; ++i) ++counts_[known.KnownList[i]];
    }
    bool Contains(int point) const { return !levelling_ && point != 0 && counts_.contains(point); }
    // The point becomes a new start and leaves the known list.
    void MoveToStarts(int point) {
        ++known_.NewStartCount;
        if (known_.NewStarts.Size() < known_.NewStartCount) known_.NewStarts.Resize(known_.NewStartCount + 5);
        known_.NewStarts[known_.NewStartCount] = point;
        for (int i = 1; i <= known_.KnownCount; ++i) {
            if (known_.KnownList[i] != point) continue;
            for (int k = i; k < known_.KnownCount; ++k) known_.KnownList[k] = known_.KnownList[(k + 1)];
            --known_.KnownCount;
            break;
        }
        if (--counts_[point] == 0) counts_.erase(point);
    }

private:
    KnownNodeLists known_;
    bool levelling_;
    std::unordered_map<int, int> counts_;
};

// The passes of AssignBranchLevels over copies of the branches, written back at the end.
class LevelPasses {
public:
    LevelPasses(NetworkModel& model, BranchSets& sets, int nodeCount, KnownNodeLists known, int startCount,
                bool levelling)
        : model_(model), branchCount_(model.Branches.BranchCount()), nodeCount_(nodeCount),
          startCount_(startCount), known_(known, levelling) {
        TakeBranches(sets);
    }

    // One pass over the nodes; true when it changed anything.
    bool Run(int pass) {
        bool changed = false;
        for (int n = 1; n <= nodeCount_; ++n)
            if (ResolveNode(n, pass)) changed = true;
        return changed;
    }

    // Back into the model, the joined-away branches left out.
    void WriteBack(BranchSets& sets) {
        BranchModel& br = model_.Branches;
        br.BranchPoints.Clear();
        br.BranchPointCounts.Clear();
        br.BranchDeadEnd.Clear();
        sets.NodeSets.Clear();
        sets.BranchLevels.Clear();
        for (int b = 1; b <= branchCount_; ++b) {
            LevelWork& w = work_[b];
            if (!w.alive) continue;
            for (int p : w.points) br.BranchPoints.PushBack(p);
            br.BranchPointCounts.PushBack(static_cast<int>(w.points.size()));
            br.BranchDeadEnd.PushBack(w.deadEnd);
            sets.NodeSets.PushBack(std::move(w.set));
            sets.BranchLevels.PushBack(w.level);
        }
        br.BuildBranchOffsets(br.BranchCount());
    }

private:
    void TakeBranches(BranchSets& sets) {
        const BranchModel& br = model_.Branches;
        work_.resize(branchCount_ + 1);
        for (int b = 1; b <= branchCount_; ++b) {
            LevelWork& w = work_[b];
            w.points.assign(br.BranchPoints.begin() + (br.First(b) - 1), br.BranchPoints.begin() + br.Last(b));
            w.set = std::move(sets.NodeSets[b]);
            w.level = sets.BranchLevels[b];
            w.deadEnd = br.BranchDeadEnd[b];
        }
        // Branches that may hold each node position; entries that no longer do are dropped on reading.
        atNode_.resize(nodeCount_ + 1);
        for (int b = 1; b <= branchCount_; ++b)
            for (int n : work_[b].set)
                if (n >= 1 && n <= nodeCount_) atNode_[n].push_back(b);
    }

    bool ResolveNode(int n, int pass) {
        std::vector<int>& candidates = atNode_[n];
        if (candidates.empty()) return false;
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        std::erase_if(candidates, [&](int b) { return !work_[b].alive || !work_[b].set.Contains(n); });

        bool changed = CutDeadEnds(candidates, pass);
        if (live_.empty()) return changed;
        const int point = model_.NetworkNodes[n];
        const bool isKnown = known_.Contains(point);
        LevelWork& first = work_[live_[0]];
        if (isKnown && live_.size() == 1) {
            known_.MoveToStarts(point);
            first.set.Erase(n);
            model_.NetworkNodes[n] = 0;
        } else if (!isKnown && live_.size() == 1) {
            first.set.Erase(n);
            first.set.Insert(0);
            first.level = pass + 1;
            model_.NetworkNodes[n] = 0;
            // Its node already passed in this pass cuts it only in the next one; without
            // that pass it would keep the marker and a node, and draw hanging branches into
            // that node's group.
            changed = true;
        } else if (!isKnown && live_.size() == 2) {
            JoinAt(n, point);
        }
        return changed;
    }

    // A dead-ended candidate keeps only its marker; the others are left in live_.
    bool CutDeadEnds(const std::vector<int>& candidates, int pass) {
        bool changed = false;
        live_.clear();
        for (int b : candidates) {
            LevelWork& w = work_[b];
            if (w.set.Contains(0)) {
                w.set = NodeSet{0};
                w.deadEnd = 1;
                w.level = std::max(w.level, pass);
                changed = true;
            } else {
                live_.push_back(b);
            }
        }
        return changed;
    }

    // The node between the two live branches disappears by joining them into the first.
    void JoinAt(int n, int point) {
        if (point == 0 || !CanJoinThrough(model_, startCount_, point)) return;
        LevelWork& first = work_[live_[0]];
        LevelWork& second = work_[live_[1]];
        const JoinTurn turn = ChooseJoinTurn(first.points.front(), first.points.back(), second.points.front(),
                                             second.points.back(), point);
        if (turn == JoinTurn::None) return;
        if (turn == JoinTurn::ReverseBoth || turn == JoinTurn::ReverseFirst)
            std::reverse(first.points.begin(), first.points.end());
        if (turn == JoinTurn::ReverseBoth || turn == JoinTurn::ReverseSecond)
            std::reverse(second.points.begin(), second.points.end());
        first.points.insert(first.points.end(), second.points.begin() + 1, second.points.end());
        first.set |= second.set;
        first.set.Erase(n);
        second = LevelWork{};
        second.alive = false;
        model_.NetworkNodes[n] = 0;
        // The joined branch now reaches the other branch's far node.
        for (int m : first.set)
            if (m >= 1 && m <= nodeCount_) atNode_[m].push_back(live_[0]);
    }

    NetworkModel& model_;
    int branchCount_;
    int nodeCount_;
    int startCount_;
    KnownNodes known_;
    std::vector<LevelWork> work_;
    std::vector<std::vector<int>> atNode_;
    std::vector<int> live_;
};

// Branches keep an id (their position at the start) while groups are moved to the front.
struct BranchIds {
    explicit BranchIds(int branchCount) : idAt(branchCount + 1), positionOf(branchCount + 1) {
        for (int b = 1; b <= branchCount; ++b) idAt[b] = positionOf[b] = b;
    }
    std::vector<int> idAt;
    std::vector<int> positionOf;
};

// Branches holding each set element (0 included, for the dead-end marker).
std::vector<std::vector<int>> ElementHolders(const BranchSets& sets, int branchCount, int nodeCount) {
    int largest = nodeCount;
    for (int b = 1; b <= branchCount; ++b)
        for (int e : sets.NodeSets[b]) largest = std::max(largest, e);
    std::vector<std::vector<int>> holders(largest + 1);
    for (int b = 1; b <= branchCount; ++b)
        for (int e : sets.NodeSets[b])
            if (e >= 0) holders[e].push_back(b);
    return holders;
}

struct GroupScan {
    std::vector<int> members;  // ids in order of joining
    std::vector<int> elements;
};

// Scans in branch order from element `lowest`, repeated until one adds nothing, followed through
// two heaps: a branch that becomes reachable behind the scan joins in this scan, one before it in
// the next. Ranks are positions, which stay fixed while scanning. The members' sets are emptied.
GroupScan ScanGroup(int lowest, BranchSets& sets, const std::vector<std::vector<int>>& holders,
                    const BranchIds& ids, std::vector<char>& grouped, std::vector<char>& taken) {
    using MinHeap = std::priority_queue<int, std::vector<int>, std::greater<>>;
    MinHeap thisScan, nextScan;
    int scanAt = 0;
    GroupScan scan;
    auto addElement = [&](int e) {
        grouped[e] = 1;
        scan.elements.push_back(e);
        for (int id : holders[e]) {
            if (taken[id]) continue;
            taken[id] = 1;
            int rank = ids.positionOf[id];
            (rank > scanAt ? thisScan : nextScan).push(rank);
        }
    };
    addElement(lowest);
    while (true) {
        while (!thisScan.empty()) {
            const int b = thisScan.top();
            thisScan.pop();
            scanAt = b;
            scan.members.push_back(ids.idAt[b]);
            NodeSet& set = sets.NodeSets[b];
            for (int e : set)
                if (e >= 0 && !grouped[e]) addElement(e);
            set.Clear();
        }
        if (nextScan.empty()) break;
        std::swap(thisScan, nextScan);
        scanAt = 0;
    }
    return scan;
}

// Moves the members to the front of the model in their order, and their ids with them.
void BringToFront(NetworkModel& model, BranchSets& sets, BranchIds& ids, const std::vector<int>& members) {
    std::vector<int> positions;
    positions.reserve(members.size());
    for (int id : members) positions.push_back(ids.positionOf[id]);
    MoveBranchesToFront(model, sets, positions);
    const std::vector<int> order = FrontOrder(positions);
    std::vector<int> moved;
    moved.reserve(order.size());
    for (int b : order) moved.push_back(ids.idAt[b]);
    for (int b = 1; b <= static_cast<int>(moved.size()); ++b) {
        ids.idAt[b] = moved[b - 1];
        ids.positionOf[moved[b - 1]] = b;
    }
}

// Gathers the group's nodes to the front of NetworkNodes and returns how many. Back to the saved
// node list first: the whole of it for the first group, afterwards only the positions that the
// last group gathered and its visitor may have rearranged (`touched`, updated here).
int GatherGroupNodes(NetworkModel& model, const OneBased<int>& savedNodes, int nodeCount, bool firstGroup,
                     std::vector<int>& elements, std::vector<int>& touched) {
    if (firstGroup) {
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
    return nodesInGroup;
}

BranchGroup GroupAtFront(const NetworkModel& model, int branchCount, int nodeCount) {
    const BranchModel& br = model.Branches;
    BranchGroup group;
    group.BranchCount = branchCount;
    for (int n = 1; n <= nodeCount; ++n) group.NodeIds.push_back(model.NetworkNodes[n]);
    for (int b = 1; b <= group.BranchCount; ++b)
        group.Points.emplace_back(br.BranchPoints.begin() + (br.First(b) - 1), br.BranchPoints.begin() + br.Last(b));
    return group;
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
    const int branchCount = model.Branches.BranchCount();
    pass = 1;
    assert(sets.NodeSets.Size() >= branchCount);
    if (sets.NodeSets.Size() < branchCount ||
        sets.BranchLevels.Size() < branchCount)
        return;  // no adjacency built for these branches

    LevelPasses passes(model, sets, nodeCount, known, startCount, settings.Modes.ModeLevelling);
    bool changed = true;
    while (changed) {
        changed = passes.Run(pass);
        ++pass;
    }
    passes.WriteBack(sets);
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
    const int branchCount = model.Branches.BranchCount();
    std::vector<BranchGroup> groups;
    BranchIds ids(branchCount);
    const std::vector<std::vector<int>> holders = ElementHolders(sets, branchCount, nodeCount);
    std::vector<char> grouped(holders.size(), 0);  // element already in some group's set
    std::vector<char> taken(branchCount + 1, 0);
    std::vector<int> touched;  // NetworkNodes positions the last group changed
    int lowest = 1;

    while (true) {
        while (lowest <= nodeCount && grouped[lowest]) ++lowest;
        if (lowest > nodeCount) break;
        GroupScan scan = ScanGroup(lowest, sets, holders, ids, grouped, taken);
        if (scan.members.empty()) continue;  // a position no branch meets any more

        BringToFront(model, sets, ids, scan.members);
        const int nodesInGroup =
            GatherGroupNodes(model, savedNodes, nodeCount, groups.empty(), scan.elements, touched);
        groups.push_back(GroupAtFront(model, static_cast<int>(scan.members.size()), nodesInGroup));
        if (visit && !visit(groups.back())) break;
        assert(model.Branches.BranchCount() == branchCount);
    }
    return groups;
}

}  // namespace qef
