#include "core/numeric/Geometry.h"

#include <cmath>
#include <numbers>

#include "core/numeric/Numbers.h"

namespace qef {

namespace {

// Output arrays grow to the size the branches need instead of being written out of range.
void EnsureSize(OneBased<double>& values, int count) {
    if (count > 0 && values.Size() < count) values.Resize(count);
}

// sides[p] with its correction, when there are corrections.
double SideOf(const OneBased<double>& sides, const OneBased<double>* corrections, int p) {
    return sides[p] + (corrections != nullptr ? (*corrections)[p] : 0.0);
}

double EndX(const BranchModel& branches, int b, const OneBased<double>& sides, const OneBased<double>& azimuths,
            const OneBased<double>* corrections, double x0) {
    double x = x0;
    for (int p = branches.First(b); p < branches.Last(b); ++p)
        x += std::cos(DegToRad(azimuths[p])) * SideOf(sides, corrections, p);
    return x;
}

double EndY(const BranchModel& branches, int b, const OneBased<double>& sides, const OneBased<double>& azimuths,
            const OneBased<double>* corrections, double y0) {
    double y = y0;
    for (int p = branches.First(b); p < branches.Last(b); ++p)
        y += std::sin(DegToRad(azimuths[p])) * SideOf(sides, corrections, p);
    return y;
}

double CarryAzimuth(const BranchModel& branches, int b, const OneBased<BranchKind>& kinds,
                    const OneBased<double>& angles, const OneBased<double>* corrections, double a0) {
    const BranchKind kind = kinds[b];
    const int from = HasStartAngle(kind) ? branches.First(b) : branches.First(b) + 1;
    const int to = HasEndAngle(kind) ? branches.Last(b) : branches.Last(b) - 1;
    double a = a0;
    for (int p = from; p <= to; ++p) {
        const double c = corrections != nullptr ? SecondsToDegrees((*corrections)[p]) : 0.0;
        a = NormalizeAzimuth(NextAzimuth(a, angles[p], c));
    }
    return a;
}

}  // namespace

double DegToRad(double degrees) {
    return static_cast<double>(std::numbers::pi_v<long double> * degrees / 180.0L);
}

double TanRad(double radians) { return std::sin(radians) / std::cos(radians); }

double NormalizeAzimuth(double azimuth) {
    if (azimuth >= 360.0) return azimuth - 360.0;
    if (azimuth < 0.0) return azimuth + 360.0;
    return azimuth;
}

double AngleDifference(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

double ReverseAzimuth(double azimuth) {
    return azimuth >= 180.0 ? azimuth - 180.0 : azimuth + 180.0;
}

double NextAzimuth(double azimuth, double angle, double correction) {
    return azimuth + angle + correction - 180.0;
}

double PolarX(double x0, double side, double azimuth, double correction) {
    return x0 + std::cos(DegToRad(azimuth)) * (side + correction);
}

double PolarY(double y0, double side, double azimuth, double correction) {
    return y0 + std::sin(DegToRad(azimuth)) * (side + correction);
}

double AzimuthOf(double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (dx == 0.0) return dy > 0.0 ? 90.0 : 270.0;
    const double a = std::atan(dy / dx) * 180.0 / std::numbers::pi;
    if (dx < 0.0) return a + 180.0;
    if (dy >= 0.0) return a;
    // A direction a hair west of north must not round up to 360.
    const double turned = a + 360.0;
    return turned < 360.0 ? turned : 0.0;
}

double AngleDiffSeconds(double x, double y) {
    const double reverse = y <= x ? y + 180.0 : y - 180.0;
    return RoundHalfEven(0, DegreesToSeconds(x - reverse));
}

double MeanDirection(int decimals, double x, double y) {
    const double reverse = y <= x ? y + 180.0 : y - 180.0;
    return RoundDms(decimals, (x + reverse) / 2.0);
}

double BranchEndX(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, double x0) {
    return EndX(branches, b, sides, azimuths, nullptr, x0);
}

double BranchEndX(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, const OneBased<double>& sideCorrections, double x0) {
    return EndX(branches, b, sides, azimuths, &sideCorrections, x0);
}

double BranchEndY(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, double y0) {
    return EndY(branches, b, sides, azimuths, nullptr, y0);
}

double BranchEndY(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, const OneBased<double>& sideCorrections, double y0) {
    return EndY(branches, b, sides, azimuths, &sideCorrections, y0);
}

void BranchMisclosureX(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& x,
                       const OneBased<double>& sides, int n, const OneBased<double>& azimuths) {
    EnsureSize(f, n);
    for (int b = 1; b <= n; ++b) {
        const double end = BranchEndX(branches, b, sides, azimuths, x[branches.First(b)]);
        f[b] = RoundHalfEven(3, end - x[branches.Last(b)]);
    }
}

void BranchMisclosureY(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& y,
                       const OneBased<double>& sides, int n, const OneBased<double>& azimuths) {
    EnsureSize(f, n);
    for (int b = 1; b <= n; ++b) {
        const double end = BranchEndY(branches, b, sides, azimuths, y[branches.First(b)]);
        f[b] = RoundHalfEven(3, end - y[branches.Last(b)]);
    }
}

double PropagateBranchAzimuths(const BranchModel& branches, int b, const OneBased<BranchKind>& kinds,
                               const OneBased<double>& angles, double a0) {
    return CarryAzimuth(branches, b, kinds, angles, nullptr, a0);
}

double PropagateBranchAzimuths(const BranchModel& branches, int b, const OneBased<BranchKind>& kinds,
                               const OneBased<double>& angles, const OneBased<double>& corrections, double a0) {
    return CarryAzimuth(branches, b, kinds, angles, &corrections, a0);
}

void PropagateAllAzimuths(const BranchModel& branches, OneBased<double>& azimuths,
                          const OneBased<double>& angles, const OneBased<double>& corrections, Carry carry,
                          int n, const OneBased<std::uint8_t>& skip, const OneBased<BranchKind>& kinds,
                          const OneBased<int>& angleCounts, const OneBased<double>& misclosures,
                          const OneBased<double>& startAzimuths) {
    if (n > 0) EnsureSize(azimuths, branches.Last(n));
    for (int b = 1; b <= n; ++b) {
        // A branch without angles has nothing to share its misclosure over.
        double c = 0.0;
        if (carry == Carry::ShareClosure && !skip[b] && angleCounts[b] > 0) c = -misclosures[b] / angleCounts[b];
        double a = startAzimuths[b];
        const int first = branches.First(b);
        const int last = branches.Last(b);
        int from = first;
        if (!HasStartAngle(kinds[b])) {
            azimuths[first] = a;
            from = first + 1;
        }
        for (int p = from; p < last; ++p) {
            if (carry == Carry::WithCorrections) c = SecondsToDegrees(corrections[p]);
            a = NormalizeAzimuth(NextAzimuth(a, angles[p], c));
            azimuths[p] = a;
        }
    }
}

void CheckAngularMisclosure(const BranchModel& branches, OneBased<double>& f,
                            const OneBased<double>& startAzimuths,
                            const OneBased<double>& endAzimuths, const OneBased<std::uint8_t>& skip,
                            const OneBased<BranchKind>& kinds, int n, const OneBased<double>& angles) {
    EnsureSize(f, n);
    for (int b = 1; b <= n; ++b) {
        if (skip[b]) {
            f[b] = 0.0;
            continue;
        }
        double fb = PropagateBranchAzimuths(branches, b, kinds, angles, startAzimuths[b]) - endAzimuths[b];
        // A closure is an angle difference: one near north carried as a whole turn would drive
        // the node azimuths away, whatever the tolerance.
        f[b] = AngleDifference(fb);
    }
}

void DistributeClosure(const BranchModel& branches, OneBased<double>& x, OneBased<double>& y,
                       const OneBased<double>& sides, Carry carry, int n, const OneBased<double>& sumSides,
                       const OneBased<double>& fX, const OneBased<double>& fY,
                       const OneBased<double>& sideCorrections, const OneBased<double>& azimuths) {
    const bool useCorrections = carry == Carry::WithCorrections;
    for (int b = 1; b <= n; ++b) {
        // A branch of zero length has nothing to share by.
        const bool share = carry == Carry::ShareClosure && sumSides[b] != 0.0;
        for (int p = branches.First(b); p <= branches.Last(b) - 2; ++p) {
            const double c = useCorrections ? sideCorrections[p] : 0.0;
            double dx = 0.0;
            double dy = 0.0;
            if (share) {
                dx = -fX[b] * sides[p] / sumSides[b];
                dy = -fY[b] * sides[p] / sumSides[b];
            }
            x[p + 1] = PolarX(x[p], sides[p], azimuths[p], c) + dx;
            y[p + 1] = PolarY(y[p], sides[p], azimuths[p], c) + dy;
        }
    }
}

void DistributeClosureY(const BranchModel& branches, OneBased<double>& y,
                        const OneBased<double>& sides, const OneBased<double>& azimuths, int n,
                        const OneBased<double>& fY) {
    for (int b = 1; b <= n; ++b) {
        const int first = branches.First(b);
        const int last = branches.Last(b);
        double length = 0.0;
        for (int p = first; p < last; ++p) length += sides[p];
        for (int p = first; p <= last - 2; ++p) {
            const double dy = length != 0.0 ? -fY[b] * sides[p] / length : 0.0;
            y[p + 1] = PolarY(y[p], sides[p], azimuths[p], 0.0) + dy;
        }
    }
}

}  // namespace qef
