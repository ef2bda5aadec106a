#include "core/numeric/Geometry.h"

#include <cmath>
#include <numbers>

#include "core/numeric/Numbers.h"

namespace qef {

namespace {

bool HasStartAngle(int type) { return type == 1 || type == 2; }
bool HasEndAngle(int type) { return type == 1 || type == 3; }

// Output arrays grow to the size the branches need instead of being written out of range.
void EnsureSize(OneBased<double>& values, int count) {
    if (count > 0 && values.Size() < count) values.Resize(count);
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
    return RoundHalfEven(0, (x - reverse) * 3600.0);
}

double MeanDirection(int decimals, double x, double y) {
    const double reverse = y <= x ? y + 180.0 : y - 180.0;
    return RoundDms(decimals, (x + reverse) / 2.0);
}

double SideCorrection(int p, bool use, const OneBased<double>& corrections) {
    return use ? corrections[p] : 0.0;
}

double BranchEndX(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, bool use, const OneBased<double>& corrections,
                  double x0) {
    double x = x0;
    for (int p = branches.First(b); p < branches.Last(b); ++p)
        x += std::cos(DegToRad(azimuths[p])) * (sides[p] + SideCorrection(p, use, corrections));
    return x;
}

double BranchEndY(const BranchModel& branches, int b, const OneBased<double>& sides,
                  const OneBased<double>& azimuths, bool use, const OneBased<double>& corrections,
                  double y0) {
    double y = y0;
    for (int p = branches.First(b); p < branches.Last(b); ++p)
        y += std::sin(DegToRad(azimuths[p])) * (sides[p] + SideCorrection(p, use, corrections));
    return y;
}

void BranchMisclosureX(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& x,
                       const OneBased<double>& sides, bool use, int n,
                       const OneBased<double>& corrections, const OneBased<double>& azimuths) {
    EnsureSize(f, n);
    for (int b = 1; b <= n; ++b) {
        const double end = BranchEndX(branches, b, sides, azimuths, use, corrections, x[branches.First(b)]);
        f[b] = RoundHalfEven(3, end - x[branches.Last(b)]);
    }
}

void BranchMisclosureY(const BranchModel& branches, OneBased<double>& f, const OneBased<double>& y,
                       const OneBased<double>& sides, bool use, int n,
                       const OneBased<double>& corrections, const OneBased<double>& azimuths) {
    EnsureSize(f, n);
    for (int b = 1; b <= n; ++b) {
        const double end = BranchEndY(branches, b, sides, azimuths, use, corrections, y[branches.First(b)]);
        f[b] = RoundHalfEven(3, end - y[branches.Last(b)]);
    }
}

double PropagateBranchAzimuths(const BranchModel& branches, int b, const OneBased<int>& types,
                               const OneBased<double>& angles, bool use,
                               const OneBased<double>& corrections, double a0) {
    const int type = types[b];
    const int from = HasStartAngle(type) ? branches.First(b) : branches.First(b) + 1;
    const int to = HasEndAngle(type) ? branches.Last(b) : branches.Last(b) - 1;
    double a = a0;
    for (int p = from; p <= to; ++p) {
        const double c = use ? corrections[p] / 3600.0 : 0.0;
        a = NormalizeAzimuth(NextAzimuth(a, angles[p], c));
    }
    return a;
}

void PropagateAllAzimuths(const BranchModel& branches, OneBased<double>& azimuths,
                          const OneBased<double>& angles, const OneBased<double>& corrections,
                          bool distribute, bool useCorrections, int n,
                          const OneBased<std::uint8_t>& skip, const OneBased<int>& types,
                          const OneBased<int>& angleCounts, const OneBased<double>& misclosures,
                          const OneBased<double>& startAzimuths) {
    if (n > 0) EnsureSize(azimuths, branches.Last(n));
    for (int b = 1; b <= n; ++b) {
        // A branch without angles has nothing to share its misclosure over.
        double c = 0.0;
        if (distribute && !skip[b] && angleCounts[b] > 0) c = -misclosures[b] / angleCounts[b];
        double a = startAzimuths[b];
        const int first = branches.First(b);
        const int last = branches.Last(b);
        int from = first;
        if (!HasStartAngle(types[b])) {
            azimuths[first] = a;
            from = first + 1;
        }
        for (int p = from; p < last; ++p) {
            if (useCorrections) c = corrections[p] / 3600.0;
            a = NormalizeAzimuth(NextAzimuth(a, angles[p], c));
            azimuths[p] = a;
        }
    }
}

void CheckAngularMisclosure(const BranchModel& branches, OneBased<double>& f,
                            const OneBased<double>& startAzimuths,
                            const OneBased<double>& endAzimuths, bool use,
                            const OneBased<std::uint8_t>& skip, const OneBased<int>& types,
                            const OneBased<int>& angleCounts, int n,
                            const OneBased<double>& corrections, const OneBased<double>& angles,
                            int angularClosureFactor) {
    EnsureSize(f, n);
    for (int b = 1; b <= n; ++b) {
        if (skip[b]) {
            f[b] = 0.0;
            continue;
        }
        double fb = PropagateBranchAzimuths(branches, b, types, angles, use, corrections,
                                            startAzimuths[b]) -
                    endAzimuths[b];
        const double count = angleCounts[b] > 0 ? angleCounts[b] : 0;
        const double tolerance = angularClosureFactor * std::sqrt(count) / 3600.0;
        if (std::fabs(fb) > tolerance &&
            (std::fabs(fb - 360.0) <= tolerance || std::fabs(fb + 360.0) <= tolerance))
            fb = fb <= 0.0 ? fb + 360.0 : fb - 360.0;
        f[b] = fb;
    }
}

void DistributeClosure(const BranchModel& branches, OneBased<double>& x, OneBased<double>& y,
                       const OneBased<double>& sides, bool distribute, bool useSideCorrections,
                       int n, const OneBased<double>& sumSides, const OneBased<double>& fX,
                       const OneBased<double>& fY, const OneBased<double>& sideCorrections,
                       const OneBased<double>& azimuths) {
    for (int b = 1; b <= n; ++b) {
        // A branch of zero length has nothing to share by.
        const bool share = !useSideCorrections && distribute && sumSides[b] != 0.0;
        for (int p = branches.First(b); p <= branches.Last(b) - 2; ++p) {
            const double c = useSideCorrections ? sideCorrections[p] : 0.0;
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
