#pragma once
// Coordinates of one group's branches without adjustment: each free node is carried along the
// branch that defines it, the azimuths along every branch as measured, and the points of every
// branch carried from its start with the branch's misclosure spread in proportion to side length,
// so that both ends keep their values. The misclosures are kept for the user to see.
//
// The steps are the node method's where they do the same job: OrderNodesByLevel orders the nodes
// (OrderNodesByLevels), LinkBranchEndsToNodes relates the branch ends (RelateBranchesToNodes),
// ChooseNodeBranches lists each node's defining branch (ListNodesByLevel), NodeAzimuthFromCarrier
// and ProvisionalNodeAzimuths give the node azimuths (ComputeNodeAzimuth, ComputeNodeAzimuths),
// ProvisionalNodeCoordinates the free nodes' coordinates (ComputeFreeNodeCoords).
#include "adjustment/GroupTopology.h"
#include "adjustment/GroupWorkingSet.h"
#include "adjustment/NodeMethod.h"
#include "core/model/NetworkModel.h"

namespace qef {

// For branches 1..ws.Nb: BranchLengthSums (SumBranchSides), and ClosureFx / ClosureFy / ClosureFs = the end carried
// from the first point along the sides and azimuths minus the value the last point holds. Not
// rounded: the spread must bring the end exactly onto its value.
void ComputeBranchMisclosures(GroupWorkingSet& ws, const BranchModel& branches);

// The points of branches 1..ws.Nb after the first, carried from the first point with the
// misclosures of ComputeBranchMisclosures spread in proportion to side length; the last point
// keeps its value.
void ComputeListedBranchCoords(GroupWorkingSet& ws, const BranchModel& branches);

// The whole computation on the group of branches 1..ws.Nb with nodes NetworkNodes[1..ws.Nn]:
// node levels (a node that no branch reaches from a known point is reported), branch ends and
// observations as for the node method, node azimuths and node coordinates along the defining
// branches, azimuths as measured, the angular closures (ClosureFb, for the user), the linear
// misclosures and the branch points. Adjusted means computed; the arrays stay filled for the
// caller.
GroupStatus ComputeGroupCoordinates(GroupWorkingSet& ws, const GroupInputs& in, const GroupContext& context);

}  // namespace qef
