#include "adjustment/RigorousAccuracy.h"

#include <cmath>
#include <string_view>
#include <vector>

#include "core/NumberFormat.h"
#include "core/Numbers.h"
#include "core/TextHelpers.h"
#include "core/VnCodec.h"

namespace qef {

namespace {

std::size_t Index(int i) { return static_cast<std::size_t>(i); }

OneBased<double> Zeros(int n) { return OneBased<double>(static_cast<std::size_t>(n > 0 ? n : 0) + 2); }

void AddTerm(std::vector<NodeTerm>& terms, int column, double value) {
    for (NodeTerm& t : terms)
        if (t.Column == column) {
            t.Value += value;
            return;
        }
    terms.push_back({column, value});
}

// Sum of c_i^2 / d_i over the node rows after the node vector h has been carried through their
// reduction: the node part of the inverse's quadratic form.
double NodeQuadraticForm(const RigorousSolution& sol, const std::vector<NodeTerm>& h) {
    const int base = 3 * sol.B;
    const int count = 3 * sol.M;
    if (h.empty() || count == 0) return 0.0;
    if (!sol.NodeInverse.empty()) {
        double sum = 0.0;
        for (const NodeTerm& a : h)
            for (const NodeTerm& b : h)
                sum += a.Value * b.Value *
                       sol.NodeInverse[Index(a.Column - base - 1) * Index(count) + Index(b.Column - base - 1)];
        return sum;
    }
    std::vector<double> c(Index(count), 0.0);
    int from = count;
    for (const NodeTerm& t : h) {
        c[Index(t.Column - base - 1)] += t.Value;
        from = std::min(from, t.Column - base - 1);
    }
    const PackedNormalMatrix& m = sol.Normals;
    double sum = 0.0;
    for (int i = from; i < count; ++i) {
        const int row = base + 1 + i;
        const double* a = m.Row(row);
        const double d = a[row];
        const double ci = c[Index(i)];
        if (d == 0.0 || ci == 0.0) continue;
        sum += ci * ci / d;
        const double share = ci / d;
        for (int j = i + 1; j < count; ++j) c[Index(j)] -= a[base + 1 + j] * share;
    }
    return sum;
}

bool CoordinatesUnknown(const GroupWorkingSet& ws, int node) { return ws.KnownNodeFlags[Index(node)] == 0; }

}  // namespace

void PrepareNodeInverse(RigorousSolution& sol, int limit) {
    sol.NodeInverse.clear();
    const int n = 3 * sol.M;
    if (n == 0 || n > limit) return;
    const int base = 3 * sol.B;
    const std::size_t width = Index(n);
    std::vector<double>& g = sol.NodeInverse;
    g.assign(width * width, 0.0);
    // With N = L D L' over the node rows, G = L'^-1 D^+ L^-1 from the last row up: row i needs
    // only rows below it, which are complete by then (zero pivots leave their row and column 0).
    for (int i = n - 1; i >= 0; --i) {
        const double* a = sol.Normals.Row(base + 1 + i) + (base + 1);  // a[k] = element (i, k), local
        const double d = a[i];
        if (d == 0.0) continue;
        double* gi = g.data() + Index(i) * width;
        for (int k = i + 1; k < n; ++k) {
            const double u = a[k] / d;
            if (u == 0.0) continue;
            const double* gk = g.data() + Index(k) * width;
            for (int j = i + 1; j < n; ++j) gi[j] -= u * gk[j];
        }
        double diagonal = 1.0 / d;
        for (int k = i + 1; k < n; ++k) diagonal -= a[k] / d * gi[k];
        gi[i] = diagonal;
        for (int j = i + 1; j < n; ++j) g[Index(j) * width + Index(i)] = gi[j];
    }
}

double FunctionReciprocalWeight(const RigorousSolution& sol, int b, const double (&g)[3],
                                std::span<const NodeTerm> nodeTerms, double fqf) {
    std::vector<NodeTerm> h(nodeTerms.begin(), nodeTerms.end());
    double reduction = 0.0;
    if (b > 0) {
        const PackedNormalMatrix& m = sol.Normals;
        const int n = m.N();
        const int base = 3 * sol.B;
        const int r0 = 3 * b - 2;
        double c[3] = {g[0], g[1], g[2]};
        for (int u = 0; u < 3; ++u) {
            const int row = r0 + u;
            const double* a = m.Row(row);
            const double d = a[row];
            if (d == 0.0 || c[u] == 0.0) continue;
            reduction += c[u] * c[u] / d;
            const double share = c[u] / d;
            for (int v = u + 1; v < 3; ++v) c[v] -= a[r0 + v] * share;
            for (int col = base + 1; col <= n; ++col)
                if (a[col] != 0.0) AddTerm(h, col, -a[col] * share);
        }
    }
    return std::fabs(fqf - reduction - NodeQuadraticForm(sol, h));
}

void EstimateAzimuthAndSideErrors(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    sol.AzimuthErrors = Zeros(ws.TotalPoints);
    sol.SideErrors = Zeros(ws.TotalPoints);
    const double mu = sol.AccuracyEstimated ? sol.Mu : 0.0;
    if (mu == 0.0) return;
    for (int b = 1; b <= ws.Nb; ++b) {
        const std::size_t bi = Index(b);
        const int kind = ws.BranchTypes[bi];
        const int n = br.BranchPointCounts[bi];
        const int first = br.First(b);
        const int angles = KindAngleCount(kind, n);
        const int ts = sol.TermStart[bi];
        std::vector<NodeTerm> start;
        // The branch turns with the orientation of the node it starts at.
        if (const int s = ws.StartNodeOf[bi]; s > 0) start.push_back({sol.NodeColumn(s, 1), 1.0});

        double fqf = 0.0;
        double g[3] = {0.0, 0.0, 0.0};
        for (int j = 1; j <= n - 1; ++j) {
            const int t = kind >= 3 ? j - 1 : j;  // the last angle before side j
            if (t >= 1 && t <= angles) {
                const std::size_t i = Index(ts + t);
                fqf += sol.Q[i];
                g[0] += sol.A1[i] * sol.Q[i];
                g[1] += sol.A2[i] * sol.Q[i];
                g[2] += sol.A3[i] * sol.Q[i];
            }
            if (fqf == 0.0 && start.empty()) continue;
            sol.AzimuthErrors[Index(first + j - 1)] = mu * std::sqrt(FunctionReciprocalWeight(sol, b, g, start, fqf));
        }
        for (int j = 1; j <= n - 1; ++j) {
            const std::size_t i = Index(ts + angles + j);
            const double q = sol.Q[i];
            const double gs[3] = {sol.A1[i] * q, sol.A2[i] * q, sol.A3[i] * q};
            const double p = FunctionReciprocalWeight(sol, b, gs, {}, q);
            sol.SideErrors[Index(first + j - 1)] = RoundHalfEven(3, mu * std::sqrt(p));
        }
    }
}

double PointReciprocalWeight(const GroupWorkingSet& ws, const NetworkModel& model, const RigorousSolution& sol,
                             int b, int k, bool y) {
    const BranchModel& br = model.Branches;
    const std::size_t bi = Index(b);
    const int kind = ws.BranchTypes[bi];
    const int n = br.BranchPointCounts[bi];
    const int first = br.First(b);
    const int angles = KindAngleCount(kind, n);
    const int ts = sol.TermStart[bi];
    const double xk = ws.PositionX[Index(first + k - 1)];
    const double yk = ws.PositionY[Index(first + k - 1)];
    double fqf = 0.0;
    double g[3] = {0.0, 0.0, 0.0};
    auto add = [&](std::size_t i, double f) {
        fqf += f * f * sol.Q[i];
        g[0] += sol.A1[i] * f * sol.Q[i];
        g[1] += sol.A2[i] * f * sol.Q[i];
        g[2] += sol.A3[i] * f * sol.Q[i];
    };
    for (int t = 1; t <= angles; ++t) {
        const int point = AnglePoint(kind, t);
        if (point >= k) break;
        const std::size_t p = Index(first + point - 1);
        add(Index(ts + t), y ? (xk - ws.PositionX[p]) / kRho : -(yk - ws.PositionY[p]) / kRho);
    }
    for (int j = 1; j <= k - 1; ++j) {
        const std::size_t i = Index(ts + angles + j);
        add(i, y ? sol.A3[i] : sol.A2[i]);
    }
    std::vector<NodeTerm> h;
    if (const int s = ws.StartNodeOf[bi]; s > 0) {
        if (CoordinatesUnknown(ws, s)) h.push_back({sol.NodeColumn(s, y ? 3 : 2), 1.0});
        const std::size_t p1 = Index(first);
        const double turn = y ? (xk - ws.PositionX[p1]) / kRho : -(yk - ws.PositionY[p1]) / kRho;
        h.push_back({sol.NodeColumn(s, 1), turn});
    }
    return FunctionReciprocalWeight(sol, b, g, h, fqf);
}

void EstimatePointErrors(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol) {
    const BranchModel& br = model.Branches;
    for (auto* a : {&sol.PointMx, &sol.PointMy, &sol.PointMp}) *a = Zeros(ws.TotalPoints);
    for (auto* a : {&sol.NodeMx, &sol.NodeMy, &sol.NodeMp}) *a = Zeros(ws.Nn);
    const double mu = sol.AccuracyEstimated ? sol.Mu : 0.0;
    if (mu == 0.0) return;
    const double none[3] = {0.0, 0.0, 0.0};
    for (int j = 1; j <= ws.Nn; ++j) {
        if (!CoordinatesUnknown(ws, j)) continue;
        const NodeTerm x[1] = {{sol.NodeColumn(j, 2), 1.0}};
        const NodeTerm y[1] = {{sol.NodeColumn(j, 3), 1.0}};
        const std::size_t ji = Index(j);
        sol.NodeMx[ji] = mu * std::sqrt(FunctionReciprocalWeight(sol, 0, none, x, 0.0));
        sol.NodeMy[ji] = mu * std::sqrt(FunctionReciprocalWeight(sol, 0, none, y, 0.0));
        sol.NodeMp[ji] = std::hypot(sol.NodeMx[ji], sol.NodeMy[ji]);
    }
    for (int b = 1; b <= ws.Nb; ++b) {
        const int first = br.First(b);
        for (int k = 2; k <= br.BranchPointCounts[Index(b)] - 1; ++k) {
            const std::size_t p = Index(first + k - 1);
            sol.PointMx[p] = mu * std::sqrt(PointReciprocalWeight(ws, model, sol, b, k, false));
            sol.PointMy[p] = mu * std::sqrt(PointReciprocalWeight(ws, model, sol, b, k, true));
            sol.PointMp[p] = std::hypot(sol.PointMx[p], sol.PointMy[p]);
        }
    }
}

void UpdateRunExtremes(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                       RigorousRunExtremes& extremes) {
    const BranchModel& br = model.Branches;
    const PointNameTable& names = model.PointNames;
    // Points in the order of the coordinate table; of equal values the first stays.
    auto point = [&](double mp, int id) {
        if (mp > extremes.WeakestPointMp) {
            extremes.WeakestPointMp = mp;
            extremes.WeakestPointName = names.Name(id);
        }
    };
    for (int j = 1; j <= ws.Nn; ++j)
        if (CoordinatesUnknown(ws, j)) point(sol.NodeMp[Index(j)], model.NetworkNodes[Index(j)]);
    for (int b = 1; b <= ws.Nb; ++b)
        for (int p = br.First(b) + 1; p <= br.Last(b) - 1; ++p) point(sol.PointMp[Index(p)], br.PointAt(p));

    // Sides in the order of the side table; of equal ratios the last stays. A side whose error
    // rounds to nothing has no ratio and is never the weakest.
    sol.SideRatios = Zeros(ws.TotalPoints);
    for (int b = 1; b <= ws.Nb; ++b)
        for (int p = br.First(b); p <= br.Last(b) - 1; ++p) {
            const std::size_t pi = Index(p);
            const double ms = sol.SideErrors[pi];
            const double ratio =
                ms > 0.0 ? RoundHalfEven(0, (ws.PositionSides[pi] + sol.SideCorrections[pi]) / ms) : 0.0;
            sol.SideRatios[pi] = ratio;
            const std::string& from = names.Name(br.PointAt(p));
            const std::string& to = names.Name(br.PointAt(p + 1));
            if (ratio > 0.0 && ratio <= extremes.WeakestSideRatio) {
                extremes.WeakestSideRatio = ratio;
                extremes.WeakestSideMs = ms;
                extremes.WeakestSideFrom = from;
                extremes.WeakestSideTo = to;
            }
            const double azimuthError = RoundHalfEven(2, sol.AzimuthErrors[pi]);
            if (azimuthError > extremes.LargestAzimuthError) {
                extremes.LargestAzimuthError = azimuthError;
                extremes.LargestAzimuthFrom = from;
                extremes.LargestAzimuthTo = to;
            }
        }
}

void WriteRigorousSummary(LogBuffer& log, const ComputationSettings& settings, const RigorousSolution& sol) {
    auto label = [&](std::string_view utf8) { return StripAccents(Vn(utf8), settings.KeepAccents); };
    auto number = [](int decimals, double value) { return FormatGeneral(RoundHalfEven(decimals, value)); };
    if (settings.WeightMode == 2) {
        log.Add(label("     sstp đo góc Mb (nhập) = ") + number(2, sol.MbInUse));
    } else {
        log.Add(label("     sstp đo cạnh chọn trước bình sai Ms = ") + number(3, sol.MsInUse));
    }
    log.Add(label("     sstptsđv trước bình sai = ") + number(2, sol.MbInUse));
    log.Add(label("     sstptsđv sau bình sai = ") + number(2, sol.Mu));
    log.Add(label("     [Pvv] = ") + number(2, sol.Pvv));
    log.Add(std::string(66, '-'));
    log.Add("");
}

}  // namespace qef
