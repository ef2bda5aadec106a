#include "adjustment/BranchArithmetic.h"

#include <cmath>

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"

namespace qef {

namespace {

// Output arrays grow to the size the branches need instead of being written out of range.
void EnsureSize(OneBased<double>& values, int count) {
    if (count > 0 && values.Size() < count) values.Resize(count);
}

// The correction of the side at p, 0 without corrections.
double SideCorrection(int p, const OneBased<double>* corrections) {
    return corrections != nullptr ? (*corrections)[p] : 0.0;
}

double EndX(const GroupWorkingSet& ws, const BranchModel& branches, int b, const OneBased<double>* corrections) {
    double x = ws.PositionX[branches.First(b)];
    for (int p = branches.First(b); p < branches.Last(b); ++p)
        x += std::cos(DegToRad(ws.PositionAzimuths[p])) * (ws.PositionSides[p] + SideCorrection(p, corrections));
    return x;
}

double EndY(const GroupWorkingSet& ws, const BranchModel& branches, int b, const OneBased<double>* corrections) {
    double y = ws.PositionY[branches.First(b)];
    for (int p = branches.First(b); p < branches.Last(b); ++p)
        y += std::sin(DegToRad(ws.PositionAzimuths[p])) * (ws.PositionSides[p] + SideCorrection(p, corrections));
    return y;
}

double CarryAzimuth(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                    const OneBased<double>* corrections, double a0) {
    const BranchKind kind = ws.BranchTypes[b];
    const int from = HasStartAngle(kind) ? branches.First(b) : branches.First(b) + 1;
    const int to = HasEndAngle(kind) ? branches.Last(b) : branches.Last(b) - 1;
    double a = a0;
    for (int p = from; p <= to; ++p) {
        const double c = corrections != nullptr ? SecondsToDegrees((*corrections)[p]) : 0.0;
        a = NormalizeAzimuth(NextAzimuth(a, ws.PositionAngles[p], c));
    }
    return a;
}

}  // namespace

double BranchEndX(const GroupWorkingSet& ws, const BranchModel& branches, int b) {
    return EndX(ws, branches, b, nullptr);
}

double BranchEndX(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                  const OneBased<double>& sideCorrections) {
    return EndX(ws, branches, b, &sideCorrections);
}

double BranchEndY(const GroupWorkingSet& ws, const BranchModel& branches, int b) {
    return EndY(ws, branches, b, nullptr);
}

double BranchEndY(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                  const OneBased<double>& sideCorrections) {
    return EndY(ws, branches, b, &sideCorrections);
}

void BranchMisclosureX(GroupWorkingSet& ws, const BranchModel& branches) {
    EnsureSize(ws.ClosureFx, ws.Nb);
    for (int b = 1; b <= ws.Nb; ++b)
        ws.ClosureFx[b] = RoundHalfEven(3, BranchEndX(ws, branches, b) - ws.PositionX[branches.Last(b)]);
}

void BranchMisclosureY(GroupWorkingSet& ws, const BranchModel& branches) {
    EnsureSize(ws.ClosureFy, ws.Nb);
    for (int b = 1; b <= ws.Nb; ++b)
        ws.ClosureFy[b] = RoundHalfEven(3, BranchEndY(ws, branches, b) - ws.PositionY[branches.Last(b)]);
}

double PropagateBranchAzimuths(const GroupWorkingSet& ws, const BranchModel& branches, int b, double a0) {
    return CarryAzimuth(ws, branches, b, nullptr, a0);
}

double PropagateBranchAzimuths(const GroupWorkingSet& ws, const BranchModel& branches, int b,
                               const OneBased<double>& corrections, double a0) {
    return CarryAzimuth(ws, branches, b, &corrections, a0);
}

void PropagateAllAzimuths(GroupWorkingSet& ws, const BranchModel& branches, Carry carry,
                          const OneBased<double>& angleCorrections) {
    const int n = ws.Nb;
    OneBased<double>& azimuths = ws.PositionAzimuths;
    if (n > 0) EnsureSize(azimuths, branches.Last(n));
    for (int b = 1; b <= n; ++b) {
        // A branch without angles has nothing to share its misclosure over.
        double c = 0.0;
        if (carry == Carry::ShareClosure && !ws.NoAngleClosure[b] && ws.BranchAngleCounts[b] > 0)
            c = -ws.ClosureFb[b] / ws.BranchAngleCounts[b];
        double a = ws.BranchStartAzimuths[b];
        const int first = branches.First(b);
        const int last = branches.Last(b);
        int from = first;
        if (!HasStartAngle(ws.BranchTypes[b])) {
            azimuths[first] = a;
            from = first + 1;
        }
        for (int p = from; p < last; ++p) {
            if (carry == Carry::WithCorrections) c = SecondsToDegrees(angleCorrections[p]);
            a = NormalizeAzimuth(NextAzimuth(a, ws.PositionAngles[p], c));
            azimuths[p] = a;
        }
    }
}

void CheckAngularMisclosure(const GroupWorkingSet& ws, const BranchModel& branches, OneBased<double>& f) {
    EnsureSize(f, ws.Nb);
    for (int b = 1; b <= ws.Nb; ++b) {
        if (ws.NoAngleClosure[b]) {
            f[b] = 0.0;
            continue;
        }
        const double fb = PropagateBranchAzimuths(ws, branches, b, ws.BranchStartAzimuths[b]) - ws.BranchEndAzimuths[b];
        // A closure is an angle difference: one near north carried as a whole turn would drive
        // the node azimuths away, whatever the tolerance.
        f[b] = AngleDifference(fb);
    }
}

void DistributeClosure(GroupWorkingSet& ws, const BranchModel& branches, Carry carry, const OneBased<double>& fX,
                       const OneBased<double>& fY, const OneBased<double>& sideCorrections) {
    const bool useCorrections = carry == Carry::WithCorrections;
    const OneBased<double>& sides = ws.PositionSides;
    const OneBased<double>& sumSides = ws.BranchLengthSums;
    OneBased<double>& x = ws.PositionX;
    OneBased<double>& y = ws.PositionY;
    for (int b = 1; b <= ws.Nb; ++b) {
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
            x[p + 1] = PolarX(x[p], sides[p], ws.PositionAzimuths[p], c) + dx;
            y[p + 1] = PolarY(y[p], sides[p], ws.PositionAzimuths[p], c) + dy;
        }
    }
}

void DistributeClosureY(GroupWorkingSet& ws, const BranchModel& branches) {
    const OneBased<double>& sides = ws.PositionSides;
    OneBased<double>& y = ws.PositionY;
    for (int b = 1; b <= ws.Nb; ++b) {
        const int first = branches.First(b);
        const int last = branches.Last(b);
        double length = 0.0;
        for (int p = first; p < last; ++p) length += sides[p];
        for (int p = first; p <= last - 2; ++p) {
            const double dy = length != 0.0 ? -ws.ClosureFy[b] * sides[p] / length : 0.0;
            y[p + 1] = PolarY(y[p], sides[p], ws.PositionAzimuths[p], 0.0) + dy;
        }
    }
}

}  // namespace qef
