#pragma once
// Consistency checks of a branch model against the sides it was built from, for tests and debug
// runs. Each finding is a short English line naming the branch and point ids.
#include <string>
#include <vector>

#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"

namespace qef {

// Checks that:
// - the offsets follow the point counts and every branch has at least two points;
// - each side of sidesA/sidesB[1..sideCount] is the segment of exactly one branch, and every
//   branch segment is such a side (either way round);
// - both ends of a branch are stop points; a branch flagged dead-ended needs one end that is a
//   stop point or lies on another branch;
// - an interior point of a branch is not a stop point, lies inside no other branch, and ends
//   exactly two of the sides besides those of dead-ended branches that end there (a hanging
//   branch may stay at a node that a join has made interior).
// Returns the findings; empty when all hold.
std::vector<std::string> CheckBranchInvariants(const BranchModel& branches, const OneBased<int>& sidesA,
                                               const OneBased<int>& sidesB, int sideCount,
                                               const OneBased<int>& stopPoints, int stopCount);

}  // namespace qef
