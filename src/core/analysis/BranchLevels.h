#pragma once
// Reduction of the branch model to its adjustable core, and the grouping of what is left.
// Hanging branches are peeled off level by level; a free node reached by one branch turns that
// branch into a hanging one; a free node between exactly two branches disappears by joining them;
// a known node reached by one branch becomes a start point. The remaining branches are gathered
// into groups connected through their nodes.
#include <functional>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/NetworkModel.h"
#include "core/analysis/NodeSet.h"
#include "core/numeric/OneBased.h"

namespace qef {

// Per branch, parallel to the branch model: the node positions at its ends (0 = dead-ended) and
// its level (0 = core, else the pass in which it was found hanging).
struct BranchSets {
    OneBased<NodeSet> NodeSets;
    OneBased<int> BranchLevels;
};

// Sizes both lists to the branch count. A dead-ended branch gets {0} and level 1, any other the
// empty set and level 0; then each branch gets the positions 1..nodeCount of NetworkNodes whose
// point is its first or last point.
void BuildBranchAdjacency(const NetworkModel& model, int nodeCount, BranchSets& sets);

// Known points that a known node met by a single branch is moved from, into the new start points.
struct KnownNodeLists {
    OneBased<int>& KnownList;
    int& KnownCount;
    OneBased<int>& NewStarts;
    int& NewStartCount;
};

// Repeated passes over the nodes until a pass changes nothing; `pass` ends one above the last
// pass. Resolved nodes are set to 0 in NetworkNodes. With settings.Modes.ModeLevelling no node is
// looked up among the known points (`known` may then hold empty lists).
void AssignBranchLevels(NetworkModel& model, int& pass, int nodeCount, KnownNodeLists known,
                        BranchSets& sets, int startCount, const ComputationSettings& settings);

// True when a join may pass through the point: anything but the first start station.
bool CanJoinThrough(const NetworkModel& model, int startCount, int point);

// Joins branches b1 < b2 that meet at the node at `nodePosition`, reversing one or both so that
// b1 ends where b2 starts. False when they do not share that node as an end, the join through it
// is refused, or b1 is not before b2; nothing is changed then.
bool JoinBranchesAtNode(NetworkModel& model, BranchSets& sets, int b1, int b2, int nodePosition,
                        int startCount);

// Appends branch b2 to b1 (b1 < b2, last point of b1 = first point of b2, stored once); b1 takes
// the union of both node sets without `nodePosition`; b2 is removed from every per-branch list.
// Does nothing when the branches are not in that order or do not meet that way.
void JoinBranches(NetworkModel& model, BranchSets& sets, int b1, int b2, int nodePosition);

// Moves branch j to position i (i <= j); branches i..j-1 move one place on.
void MoveBranchTo(NetworkModel& model, BranchSets& sets, int i, int j);

// Brings the branches at the given positions (distinct) to positions 1..m in the given order;
// the others keep their order behind them. The same as MoveBranchTo(k, position of the k-th
// branch) for k = 1..m, in one sweep over the points.
void MoveBranchesToFront(NetworkModel& model, BranchSets& sets, const std::vector<int>& positions);

// Moves the nodes whose positions (1..nodeCount) are in the set to the front of NetworkNodes,
// keeping their order; returns how many.
int GatherSetNodes(NetworkModel& model, const NodeSet& set, int nodeCount);

// One group as it stood at the front of the model when it was formed.
struct BranchGroup {
    int BranchCount = 0;                  // branches 1..BranchCount
    std::vector<int> NodeIds;             // NetworkNodes[1..NodeIds.size()]
    std::vector<std::vector<int>> Points; // the point ids of each branch
};

// Called with each group while its branches are at positions 1..BranchCount and its nodes at the
// front of NetworkNodes. It may change the points of the group's branches and the group's entries
// of NetworkNodes, but not the number or order of branches. Returning false stops the grouping.
using GroupVisitor = std::function<bool(const BranchGroup&)>;

// Forms the groups: from the lowest node position not yet grouped, every branch whose set meets
// the group's set joins it in scan order (its set is merged in and emptied, the branch moved to the
// next front position), scans repeating until one adds nothing; the group's nodes are gathered to
// the front. NetworkNodes is restored from `savedNodes` before each group. Positions that no
// branch meets any more form no group. Returns the groups in the order formed.
std::vector<BranchGroup> FormBranchGroups(NetworkModel& model, BranchSets& sets,
                                          const OneBased<int>& savedNodes, int nodeCount,
                                          const GroupVisitor& visit = {});

}  // namespace qef
