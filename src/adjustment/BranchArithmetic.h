#pragma once
// The traverse arithmetic along the branches of one group, on its working set: branch ends,
// coordinate misclosures, azimuths carried over the angles, closures spread along the sides.
// X is north, Y is east; azimuths in decimal degrees, angle corrections in seconds, side
// corrections in metres. Per-position arrays are indexed like BranchPoints: branch b covers
// First(b)..Last(b), and the side at position p runs from point p to point p+1.
#include "adjustment/GroupWorkingSet.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"

namespace qef {

// Coordinates of the last point of branch b carried from its first position along its sides, as
// measured or with a correction added to each side.
double BranchEndX(const GroupWorkingSet& ws, const BranchModel& branches, int b);
double BranchEndX(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                  const OneBased<double>& sideCorrections);
double BranchEndY(const GroupWorkingSet& ws, const BranchModel& branches, int b);
double BranchEndY(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                  const OneBased<double>& sideCorrections);

// ClosureFx (ClosureFy) of branches 1..Nb: carried end minus known end, in whole millimetres.
void BranchMisclosureX(GroupWorkingSet& ws, const BranchModel& branches);
void BranchMisclosureY(GroupWorkingSet& ws, const BranchModel& branches);

// Carries a0 over the angles of branch b that its kind measures, as measured or with a correction
// (seconds) added to each angle; returns the azimuth reached at the far end.
double PropagateBranchAzimuths(const GroupWorkingSet& ws, const BranchModel& branches, int b, double a0);
double PropagateBranchAzimuths(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                               const OneBased<double>& corrections, double a0);

// What the observations of a branch take when azimuths or coordinates are carried along it.
enum class Carry {
    AsMeasured,
    // Angles an equal share of the branch's angular misclosure (ClosureFb), sides a share of the
    // coordinate misclosures in proportion to their length.
    ShareClosure,
    // The per-observation corrections: angles in seconds, sides in metres.
    WithCorrections,
};

// PositionAzimuths of branches 1..Nb from their start azimuths. ShareClosure leaves out the
// branches without angular closure; only WithCorrections reads angleCorrections.
void PropagateAllAzimuths(GroupWorkingSet& ws, const BranchModel& branches, Carry carry,
                          const OneBased<double>& angleCorrections = {});

// Angular misclosure (degrees) of branches 1..Nb into f, always within (-180, 180]; 0 for a branch
// without angular closure. Judging it is the caller's business.
void CheckAngularMisclosure(const GroupWorkingSet& ws, const BranchModel& branches, OneBased<double>& f);

// Recomputes the interior points of branches 1..Nb from their first point. Only ShareClosure
// reads fX and fY (spread by BranchLengthSums; a branch of zero length shares nothing); only
// WithCorrections reads sideCorrections.
void DistributeClosure(GroupWorkingSet& ws, const BranchModel& branches, Carry carry, const OneBased<double>& fX,
                       const OneBased<double>& fY, const OneBased<double>& sideCorrections = {});
// The same for Y alone with ClosureFy shared; each branch's length is summed here.
void DistributeClosureY(GroupWorkingSet& ws, const BranchModel& branches);

}  // namespace qef
