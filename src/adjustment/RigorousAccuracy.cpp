#include "adjustment/RigorousAccuracy.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

OneBased<double> Zeros(int n) { return OneBased<double>(std::max(n, 0) + 2); }

// The node part of a function: the unknowns of the nodes at the branch's ends, the shared angles
// its terms take, and the terms given. As many as the branch takes: a long branch read from many
// spur directions has more than a handful.
struct NodeTerms {
    std::vector<NodeTerm> Items;
    void Add(int column, double value) {
        for (NodeTerm& item : Items)
            if (item.Column == column) {
                item.Value += value;
                return;
            }
        Items.push_back({column, value});
    }
};

// A function f'v of the corrections of one branch's terms, gathered as its reciprocal weight reads
// it: [fqf], [a1qf], [a2qf], [a3qf], and the shared angles its terms take as node terms.
struct BranchFunction {
    double Fqf = 0.0;
    double G[3] = {0.0, 0.0, 0.0};
    std::vector<NodeTerm> Nodes;

    // f times the correction of term i.
    void Add(const RigorousSolution& sol, int i, double f) {
        const double fq = f * sol.Q[i];
        Fqf += f * fq;
        G[0] += sol.A1[i] * fq;
        G[1] += sol.A2[i] * fq;
        G[2] += sol.A3[i] * fq;
        for (const RigorousSolution::Share& share : sol.SharesOf(i))
            Nodes.push_back({sol.SharedColumn[share.Shared], f * share.Sign});
    }
    double ReciprocalWeight(const RigorousSolution& sol, int b) const {
        return FunctionReciprocalWeight(sol, b, G, Nodes, Fqf);
    }
};

// Sum of c_i^2 / d_i over the node rows after the node vector h has been carried through their
// reduction: h' G h with G the node part of the inverse, which the node rows hold by now.
double NodeQuadraticForm(const RigorousSolution& sol, const NodeTerms& h) {
    const PackedNormalMatrix& m = sol.Normals;
    double sum = 0.0;
    for (const NodeTerm& a : h.Items)
        for (const NodeTerm& b : h.Items) sum += a.Value * b.Value * m(a.Column, b.Column);
    return sum;
}

// g[j] -= f * r[j] for j = from..to-1. Unrolled so that the compiler packs the updates into
// vector instructions at its default optimisation level.
void Subtract(double* __restrict g, const double* __restrict r, double f, int from, int to) {
    int j = from;
    for (; j + 3 < to; j += 4) {
        g[j] -= f * r[j];
        g[j + 1] -= f * r[j + 1];
        g[j + 2] -= f * r[j + 2];
        g[j + 3] -= f * r[j + 3];
    }
    for (; j < to; ++j) g[j] -= f * r[j];
}

bool CoordinatesUnknown(const GroupWorkingSet& ws, int node) { return ws.KnownNodeFlags[node] == 0; }

// Row i of the node rows, from the first node column: row[k] for k >= i.
double* NodeRow(PackedNormalMatrix& m, int base, int i) { return m.Row(base + 1 + i) + (base + 1); }

// The weights read G(i, j) only for unknowns of one node or of two nodes a branch joins: per node
// row, the last column that it pairs with so. Rows are counted from 0 at the first node column.
std::vector<int> PairedReach(const RigorousSolution& sol) {
    const int base = 3 * sol.B;
    const int n = sol.Normals.N() - base;
    std::vector<int> reach(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i) reach[static_cast<std::size_t>(i)] = i;
    // Every unknown a weight may pair with another: those of a node, and those one branch's rows hold.
    std::vector<int> columns;
    auto pairUp = [&]() {
        if (columns.empty()) return;
        const int last = *std::max_element(columns.begin(), columns.end()) - base - 1;
        for (const int c : columns) {
            int& r = reach[static_cast<std::size_t>(c - base - 1)];
            r = std::max(r, last);
        }
    };
    auto addNode = [&](int node) {
        for (int c = sol.NodeColumn(node, 1); c <= sol.NodeLastColumn(node); ++c) columns.push_back(c);
    };
    for (int j = 1; j <= sol.M; ++j) {
        columns.clear();
        addNode(j);
        pairUp();
    }
    for (int b = 1; b <= sol.B; ++b) {
        columns.clear();
        for (const int node : {sol.BranchNodes[(2 * b - 1)], sol.BranchNodes[(2 * b)]})
            if (node > 0) addNode(node);
        const auto [shared, sharedColumns] = sol.BranchShareColumns(b);
        columns.insert(columns.end(), sharedColumns, sharedColumns + shared);
        pairUp();
    }
    return reach;
}

// Row i of G is formed over columns i..reach[i]: past its last coupling, past the unknowns it
// pairs with, and never short of the row before, so that every row k a row needs (k <= reach[i])
// reaches as far (reach[k] >= reach[i]). The rest of G is left 0.
void ExtendReach(RigorousSolution& sol, std::vector<int>& reach) {
    const int base = 3 * sol.B;
    const int n = sol.Normals.N() - base;
    PackedNormalMatrix& m = sol.Normals;
    for (int i = 0; i < n; ++i) {
        const double* ri = NodeRow(m, base, i);
        int last = std::min(n - 1, m.RowEnd(base + 1 + i) - base - 1);
        while (last > reach[i] && ri[last] == 0.0) --last;
        reach[i] = std::max(last, i > 0 ? reach[(i - 1)] : 0);
        // G is written up to the reach, past what elimination left.
        if (!m.Reach().empty()) m.Reach()[static_cast<std::size_t>(base + 1 + i)] = base + 1 + reach[i];
    }
}

// With N = L D L' over the node rows, G = L'^-1 D^+ L^-1, row by row from the last: row i needs
// only the rows below it, which hold G by then, so G replaces the reduced rows in place. A zero
// pivot leaves its row and column of G zero.
void InvertNodeRows(RigorousSolution& sol, const std::vector<int>& reach) {
    const int base = 3 * sol.B;
    const int n = sol.Normals.N() - base;
    PackedNormalMatrix& m = sol.Normals;
    std::vector<double> u(static_cast<std::size_t>(n));
    std::vector<double> g(static_cast<std::size_t>(n));
    std::vector<int> nonzero;
    for (int i = n - 1; i >= 0; --i) {
        double* ri = NodeRow(m, base, i);
        const int to = reach[i] + 1;
        const double d = ri[i];
        if (d == 0.0) {
            std::fill(ri + i, ri + to, 0.0);
            continue;
        }
        nonzero.clear();
        for (int k = i + 1; k < to; ++k) {
            u[k] = ri[k] / d;
            g[k] = 0.0;
            if (ri[k] != 0.0) nonzero.push_back(k);
        }
        // g(j) = -sum over k > i of u(k) G(k, j), over the k where u(k) is not 0. Row k holds
        // G(k, j) for j >= k; the terms with j < k are read from row j by symmetry.
        for (const int k : nonzero) Subtract(g.data(), NodeRow(m, base, k), u[k], k, to);
        std::size_t first = 0;
        for (int j = i + 1; j < to && first < nonzero.size(); ++j) {
            while (first < nonzero.size() && nonzero[first] <= j) ++first;
            const double* rj = NodeRow(m, base, j);
            double sum = 0.0;
            for (std::size_t t = first; t < nonzero.size(); ++t) sum += u[nonzero[t]] * rj[nonzero[t]];
            g[j] -= sum;
        }
        double diagonal = 1.0 / d;
        for (const int k : nonzero) diagonal -= u[k] * g[k];
        ri[i] = diagonal;
        for (int j = i + 1; j < to; ++j) ri[j] = g[j];
    }
}

}  // namespace

void PrepareNodeInverse(RigorousSolution& sol) {
    std::vector<int> reach = PairedReach(sol);
    ExtendReach(sol, reach);
    InvertNodeRows(sol, reach);
    sol.NodeInverseFormed = true;
}

double FunctionReciprocalWeight(const RigorousSolution& sol, int b, const double (&g)[3],
                                std::span<const NodeTerm> nodeTerms, double fqf) {
    NodeTerms h;
    for (const NodeTerm& t : nodeTerms) h.Add(t.Column, t.Value);
    double reduction = 0.0;
    if (b > 0) {
        const PackedNormalMatrix& m = sol.Normals;
        const int r0 = 3 * b - 2;
        // The block's rows couple only with the unknowns of the nodes at the branch's two ends and
        // with the shared angles its terms take.
        std::vector<int> columns;
        sol.ForEachCoupledColumn(b, [&](int c) { columns.push_back(c); });
        double c[3] = {g[0], g[1], g[2]};
        for (int u = 0; u < 3; ++u) {
            const int row = r0 + u;
            const double* a = m.Row(row);
            const double d = a[row];
            if (d == 0.0 || c[u] == 0.0) continue;
            reduction += c[u] * c[u] / d;
            const double share = c[u] / d;
            for (int v = u + 1; v < 3; ++v) c[v] -= a[r0 + v] * share;
            for (int column : columns)
                if (a[column] != 0.0) h.Add(column, -a[column] * share);
        }
    }
    return std::fabs(fqf - reduction - NodeQuadraticForm(sol, h));
}

void EstimateAzimuthAndSideErrors(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                                  Progress* monitor) {
    const BranchModel& br = model.Branches;
    sol.AzimuthErrors = Zeros(ws.TotalPoints);
    sol.SideErrors = Zeros(ws.TotalPoints);
    const double mu = sol.AccuracyEstimated ? sol.Mu : 0.0;
    if (mu == 0.0) return;
    for (int b = 1; b <= ws.Nb; ++b) {
        const int bi = b;
        const BranchKind kind = ws.BranchTypes[bi];
        const int n = br.BranchPointCounts[bi];
        const int first = br.First(b);
        const int angles = KindAngleCount(kind, n);
        const int ts = sol.TermStart[bi];
        BranchFunction azimuth;
        // The branch turns with the orientation of the node it starts at.
        if (const int s = ws.StartNodeOf[bi]; s > 0) azimuth.Nodes.push_back({sol.NodeColumn(s, 1), 1.0});
        for (int j = 1; j <= n - 1; ++j) {
            const int t = HasStartAngle(kind) ? j : j - 1;  // the last angle before side j
            if (t >= 1 && t <= angles) azimuth.Add(sol, ts + t, 1.0);
            if (azimuth.Fqf == 0.0 && azimuth.Nodes.empty()) continue;
            sol.AzimuthErrors[(first + j - 1)] = mu * std::sqrt(azimuth.ReciprocalWeight(sol, b));
        }
        for (int j = 1; j <= n - 1; ++j) {
            BranchFunction side;
            side.Add(sol, ts + angles + j, 1.0);
            sol.SideErrors[(first + j - 1)] = RoundHalfEven(3, mu * std::sqrt(side.ReciprocalWeight(sol, b)));
        }
        if (monitor != nullptr) monitor->SetPosition(b);
    }
}

double PointReciprocalWeight(const GroupWorkingSet& ws, const NetworkModel& model, const RigorousSolution& sol,
                             int b, int k, bool y) {
    const BranchModel& br = model.Branches;
    const int bi = b;
    const BranchKind kind = ws.BranchTypes[bi];
    const int n = br.BranchPointCounts[bi];
    const int first = br.First(b);
    const int angles = KindAngleCount(kind, n);
    const int ts = sol.TermStart[bi];
    const double xk = ws.PositionX[(first + k - 1)];
    const double yk = ws.PositionY[(first + k - 1)];
    BranchFunction f;
    for (int t = 1; t <= angles; ++t) {
        const int point = AnglePoint(kind, t);
        if (point >= k) break;
        const int p = (first + point - 1);
        f.Add(sol, ts + t, y ? (xk - ws.PositionX[p]) / kRho : -(yk - ws.PositionY[p]) / kRho);
    }
    for (int j = 1; j <= k - 1; ++j) {
        const int i = (ts + angles + j);
        f.Add(sol, i, y ? sol.A3[i] : sol.A2[i]);
    }
    if (const int s = ws.StartNodeOf[bi]; s > 0) {
        if (CoordinatesUnknown(ws, s)) f.Nodes.push_back({sol.NodeColumn(s, y ? 3 : 2), 1.0});
        const int p1 = first;
        const double turn = y ? (xk - ws.PositionX[p1]) / kRho : -(yk - ws.PositionY[p1]) / kRho;
        f.Nodes.push_back({sol.NodeColumn(s, 1), turn});
    }
    return f.ReciprocalWeight(sol, b);
}

void EstimatePointErrors(const GroupWorkingSet& ws, const NetworkModel& model, RigorousSolution& sol,
                         Progress* monitor) {
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
        const int ji = j;
        sol.NodeMx[ji] = mu * std::sqrt(FunctionReciprocalWeight(sol, 0, none, x, 0.0));
        sol.NodeMy[ji] = mu * std::sqrt(FunctionReciprocalWeight(sol, 0, none, y, 0.0));
        sol.NodeMp[ji] = std::hypot(sol.NodeMx[ji], sol.NodeMy[ji]);
    }
    for (int b = 1; b <= ws.Nb; ++b) {
        const int first = br.First(b);
        for (int k = 2; k <= br.BranchPointCounts[b] - 1; ++k) {
            const int p = (first + k - 1);
            sol.PointMx[p] = mu * std::sqrt(PointReciprocalWeight(ws, model, sol, b, k, false));
            sol.PointMy[p] = mu * std::sqrt(PointReciprocalWeight(ws, model, sol, b, k, true));
            sol.PointMp[p] = std::hypot(sol.PointMx[p], sol.PointMy[p]);
        }
        if (monitor != nullptr) monitor->SetPosition(b + 1);
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
        if (CoordinatesUnknown(ws, j)) point(sol.NodeMp[j], model.NetworkNodes[j]);
    for (int b = 1; b <= ws.Nb; ++b)
        for (int p = br.First(b) + 1; p <= br.Last(b) - 1; ++p) point(sol.PointMp[p], br.PointAt(p));

    // Sides in the order of the side table; of equal ratios the last stays. A side whose error
    // rounds to nothing has no ratio and is never the weakest.
    sol.SideRatios = Zeros(ws.TotalPoints);
    for (int b = 1; b <= ws.Nb; ++b)
        for (int p = br.First(b); p <= br.Last(b) - 1; ++p) {
            const int pi = p;
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
    if (settings.WeightMode == WeightMode::Entered) {
        log.Add(label("     sstp đo góc Mb (nhập) = ") + number(2, sol.MbInUseSeconds));
    } else {
        log.Add(label("     sstp đo cạnh chọn trước bình sai Ms = ") + number(3, sol.MsInUse));
    }
    log.Add(label("     sstptsđv trước bình sai = ") + number(2, sol.MbInUseSeconds));
    log.Add(label("     sstptsđv sau bình sai = ") + number(2, sol.Mu));
    log.Add(label("     [Pvv] = ") + number(2, sol.Pvv));
    log.Add(label("     số lần lặp = ") + std::to_string(sol.Passes));
    log.Add(std::string(66, '-'));
    log.Add("");
}

}  // namespace qef
