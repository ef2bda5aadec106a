#pragma once
// How the branches of one group meet its nodes and known points: which nodes are known, which
// branches meet at each node, the direction each branch is walked, the node levels from the start
// stations, the branch that carries each node's provisional values, and each branch's angles and
// sides. The group's branches are branches 1..nb of the model, its nodes NetworkNodes[1..nn].
#include <cstdint>

#include "adjustment/GroupWorkingSet.h"
#include "adjustment/SideReduction.h"
#include "core/model/RunRecord.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/LogBuffer.h"
#include "adjustment/NetworkChecks.h"
#include "core/analysis/PointIndexes.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"
#include "core/model/Progress.h"
#include "core/io/Readers.h"
#include "core/analysis/StartDirections.h"

namespace qef {

// KnownNodeFlags[k] (k = 1..Nn) := 1 when NetworkNodes[k] is a hard node or a known side-only
// point of the order, else 0.
void MarkKnownPoints(GroupWorkingSet& ws, const NetworkModel& model, const OrderIndex& order);

// The incidence of branches 1..Nb and nodes 1..Nn: model.NodeBranches lists, node after node, the
// branches (ascending) that start or end at it; node k's entries are NodeStarts[k]+1 ..
// NodeStarts[k+1]. StartNodeOf / EndNodeOf get the node position of each branch end (0 = none).
void BuildNodeBranchLinks(GroupWorkingSet& ws, NetworkModel& model);

// Walks each branch 1..nb from the end that comes first in StartStations, then NetworkNodes[1..nn]:
// a branch whose last point comes first is reversed.
void OrientBranchesFromKnown(NetworkModel& model, const StartDirectionIndex& starts, int nn, int nb);

// Reorders NetworkNodes[1..Nn] by level, breadth first from the start stations over branches
// 1..Nb: level 1 the nodes one branch away from a start station, level L+1 those one branch away
// from level L. Level L holds positions NodeLevelStarts[L]+1 .. NodeLevelStarts[L+1] of the
// NodeLevelCount levels. A pass that places no node (a node that cannot be reached) ends with the
// message "Thieu DK BS" and false.
bool OrderNodesByLevel(GroupWorkingSet& ws, NetworkModel& model, const StartDirectionIndex& starts,
                       Interaction& ui);

// NodeCarrierBranch[k] := the branch with the fewest points from node k back to a point of the
// previous level (level 1: a start station, or a start target that begins it); ties keep the
// branch listed first. 0 when the node has none.
void ChooseNodeBranches(GroupWorkingSet& ws, const NetworkModel& model, const StartDirectionIndex& starts);

// BranchAngleCounts and BranchSideCounts of branches 1..Nb by kind; the group totals go to
// run.GroupAngleTotal and run.GroupSideTotal (the run totals are added when the group completes).
void CountBranchAnglesSides(GroupWorkingSet& ws, const BranchModel& branches, RunRecord& run);

// Fixes, for every branch end, whether it carries a connecting angle and towards which point; the
// connecting angles at start directions; the branch kinds; the known coordinates at branch ends.
// A branch whose start (end) station has no coordinates is lengthened by its reference point.
// False, with the message shown, when a node has no usable branch ("Thieu DK BS") or a
// connecting angle is missing.
bool LinkBranchEndsToNodes(GroupWorkingSet& ws, const GroupInputs& in, Interaction& ui, Progress& monitor,
                           LogBuffer& log);

}  // namespace qef
