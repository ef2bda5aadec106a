#pragma once
// Angles, azimuths and the traverse arithmetic shared by every adjustment.
// X is north, Y is east; azimuths run clockwise from north, in decimal degrees in [0, 360).
//
// Per-position arrays (X, Y, sides, side azimuths, angles, corrections) are indexed like
// BranchPoints: branch b covers First(b)..Last(b). The side at position p runs from point p to
// point p+1. Per-branch arrays are indexed by branch number. Branch types: 1 connecting angles
// at both ends, 2 at the start only, 3 at the end only, 4 at neither.
#include <cstdint>

#include "core/model/NetworkModel.h"
#include "core/model/OneBased.h"

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

// corrections[p] when `use` is set, else 0 (the array is not read then).
double SideCorrection(int p, bool use, const OneBased<double>& corrections);

// Coordinates of the last point of branch b carried from x0 (y0) along its sides.
double BranchEndX(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, bool use, const OneBased<double>& corrections,
                  double x0);
double BranchEndY(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, bool use, const OneBased<double>& corrections,
                  double y0);

// f[b] = carried end minus known end, in whole millimetres, for branches 1..n.
void BranchMisclosureX(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& x,
                       const OneBased<double>& sides, bool use, int n,
                       const OneBased<double>& corrections, const OneBased<double>& azimuths);
void BranchMisclosureY(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& y,
                       const OneBased<double>& sides, bool use, int n,
                       const OneBased<double>& corrections, const OneBased<double>& azimuths);

// Carries a0 over the angles of branch b that its type measures; returns the azimuth reached at
// the far end. Angle corrections are in seconds.
double PropagateBranchAzimuths(const BranchModel& branches, int b, const OneBased<int>& types,
                               const OneBased<double>& angles, bool use,
                               const OneBased<double>& corrections, double a0);

// Side azimuths of branches 1..n. With `distribute` each angle takes an equal share of the
// branch's angular misclosure (degrees); with `useCorrections` the per-angle corrections
// (seconds) are used instead.
void PropagateAllAzimuths(const BranchModel& branches, OneBased<double>& azimuths,
                          const OneBased<double>& angles, const OneBased<double>& corrections,
                          bool distribute, bool useCorrections, int n,
                          const OneBased<std::uint8_t>& skip, const OneBased<int>& types,
                          const OneBased<int>& angleCounts, const OneBased<double>& misclosures,
                          const OneBased<double>& startAzimuths);

// Angular misclosure (degrees) of branches 1..n, a full turn removed where that brings it within
// angularClosureFactor x sqrt(angles) seconds. Judging it is the caller's business.
void CheckAngularMisclosure(const BranchModel& branches, OneBased<double>& f,
                            const OneBased<double>& startAzimuths,
                            const OneBased<double>& endAzimuths, bool use,
                            const OneBased<std::uint8_t>& skip, const OneBased<int>& types,
                            const OneBased<int>& angleCounts, int n,
                            const OneBased<double>& corrections, const OneBased<double>& angles,
                            int angularClosureFactor);

// Recomputes the interior points of branches 1..n from their first point, sharing the
// misclosures fX, fY in proportion to side length (or applying side corrections instead).
void DistributeClosure(const BranchModel& branches, OneBased<double>& x, OneBased<double>& y,
                       const OneBased<double>& sides, bool distribute, bool useSideCorrections,
                       int n, const OneBased<double>& sumSides, const OneBased<double>& fX,
                       const OneBased<double>& fY, const OneBased<double>& sideCorrections,
                       const OneBased<double>& azimuths);
// The same for Y alone; each branch's length is summed here.
void DistributeClosureY(const BranchModel& branches, OneBased<double>& y,
                        const OneBased<double>& sides, const OneBased<double>& azimuths, int n,
                        const OneBased<double>& fY);

}  // namespace qef
