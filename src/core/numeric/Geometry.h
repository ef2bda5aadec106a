#pragma once
// Angles, azimuths and the traverse arithmetic shared by every adjustment.
// X is north, Y is east; azimuths run clockwise from north, in decimal degrees in [0, 360).
//
// Per-position arrays (X, Y, sides, side azimuths, angles, corrections) are indexed like
// BranchPoints: branch b covers First(b)..Last(b). The side at position p runs from point p to
// point p+1. Per-branch arrays are indexed by branch number.
#include <cstdint>

#include "core/model/BranchKind.h"
#include "core/model/NetworkModel.h"
#include "core/numeric/OneBased.h"

namespace qef {

double DegToRad(double degrees);
double TanRad(double radians);

// One turn at most is added or removed: callers never drift further.
double NormalizeAzimuth(double azimuth);
double ReverseAzimuth(double azimuth);
// Azimuth of the next side from the previous one and the angle between them (not normalised).
double NextAzimuth(double azimuth, double angle, double correction);
double PolarX(double x0, double side, double azimuth, double correction);
double PolarY(double y0, double side, double azimuth, double correction);

// Azimuth from point 1 to point 2; two equal points give 270.
double AzimuthOf(double x1, double y1, double x2, double y2);

// Direction x minus the reverse of direction y, in whole seconds.
double AngleDiffSeconds(double x, double y);
// Mean of direction x and the reverse of direction y, rounded to `decimals` of a second.
double MeanDirection(int decimals, double x, double y);

// Coordinates of the last point of branch b carried from x0 (y0) along its sides, as measured or
// with a correction (metres) added to each side.
double BranchEndX(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, double x0);
double BranchEndX(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, const OneBased<double>& sideCorrections, double x0);
double BranchEndY(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, double y0);
double BranchEndY(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, const OneBased<double>& sideCorrections, double y0);

// f[b] = carried end minus known end, in whole millimetres, for branches 1..n.
void BranchMisclosureX(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& x,
                       const OneBased<double>& sides, int n, const OneBased<double>& azimuths);
void BranchMisclosureY(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& y,
                       const OneBased<double>& sides, int n, const OneBased<double>& azimuths);

// Carries a0 over the angles of branch b that its kind measures, as measured or with a correction
// (seconds) added to each angle; returns the azimuth reached at the far end.
double PropagateBranchAzimuths(const BranchModel& branches, int b, const OneBased<BranchKind>& kinds,
                               const OneBased<double>& angles, double a0);
double PropagateBranchAzimuths(const BranchModel& branches, int b, const OneBased<BranchKind>& kinds,
                               const OneBased<double>& angles, const OneBased<double>& corrections, double a0);

// What the observations of a branch take when azimuths or coordinates are carried along it.
enum class Carry {
    AsMeasured,
    // Angles an equal share of the branch's angular misclosure (degrees), sides a share of the
    // coordinate misclosures in proportion to their length.
    ShareClosure,
    // The per-observation corrections: angles in seconds, sides in metres.
    WithCorrections,
};

// Side azimuths of branches 1..n. Only ShareClosure reads angleCounts and misclosures (and leaves
// out the branches marked in skip); only WithCorrections reads corrections.
void PropagateAllAzimuths(const BranchModel& branches, OneBased<double>& azimuths,
                          const OneBased<double>& angles, const OneBased<double>& corrections, Carry carry,
                          int n, const OneBased<std::uint8_t>& skip, const OneBased<BranchKind>& kinds,
                          const OneBased<int>& angleCounts, const OneBased<double>& misclosures,
                          const OneBased<double>& startAzimuths);

// An angle difference in degrees brought into (-180, 180].
double AngleDifference(double degrees);

// Angular misclosure (degrees) of branches 1..n, always within (-180, 180]. Judging it is the
// caller's business.
void CheckAngularMisclosure(const BranchModel& branches, OneBased<double>& f,
                            const OneBased<double>& startAzimuths,
                            const OneBased<double>& endAzimuths, const OneBased<std::uint8_t>& skip,
                            const OneBased<BranchKind>& kinds, int n, const OneBased<double>& angles);

// Recomputes the interior points of branches 1..n from their first point. Only ShareClosure reads
// sumSides, fX and fY (a branch of zero length shares nothing); only WithCorrections reads
// sideCorrections.
void DistributeClosure(const BranchModel& branches, OneBased<double>& x, OneBased<double>& y,
                       const OneBased<double>& sides, Carry carry, int n, const OneBased<double>& sumSides,
                       const OneBased<double>& fX, const OneBased<double>& fY,
                       const OneBased<double>& sideCorrections, const OneBased<double>& azimuths);
// The same for Y alone; each branch's length is summed here.
void DistributeClosureY(const BranchModel& branches, OneBased<double>& y,
                        const OneBased<double>& sides, const OneBased<double>& azimuths, int n,
                        const OneBased<double>& fY);

}  // namespace qef
