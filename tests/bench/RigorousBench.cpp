// Cost of the rigorous adjustment of one group as the network grows: a square grid of nodes
// joined by traverses, oriented from two known directions at opposite corners.
#include <benchmark/benchmark.h>

#include <deque>
#include <string>
#include <vector>

#include "../adjustment/RigorousFixture.h"
#include "adjustment/Rigorous.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"

namespace {

using qef::test::SyntheticGroup;

std::string NodeName(int i, int j) { return "N" + std::to_string(i) + "_" + std::to_string(j); }

// Breadth first over the g x g grid from (0,0): the order grid points are reached, their level and
// the point each was reached from.
struct GridReach {
    std::vector<int> level, carrierFrom, order;
};

GridReach ReachFromCorner(int g) {
    GridReach r;
    r.level.assign(static_cast<std::size_t>(g * g), -1);
    r.carrierFrom.assign(static_cast<std::size_t>(g * g), -1);
    std::deque<int> queue{0};
    r.level[0] = 0;
    while (!queue.empty()) {
        const int c = queue.front();
        queue.pop_front();
        r.order.push_back(c);
        const int ci = c / g, cj = c % g;
        const int next[4][2] = {{ci + 1, cj}, {ci, cj + 1}, {ci - 1, cj}, {ci, cj - 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= g || n[1] >= g) continue;
            const int k = n[0] * g + n[1];
            if (r.level[k] >= 0) continue;
            r.level[k] = r.level[c] + 1;
            r.carrierFrom[k] = c;
            queue.push_back(k);
        }
    }
    return r;
}

// g x g grid points, every neighbouring pair joined by a branch of `interior` points; the corner
// points (0,0) and (g-1,g-1) are known stations with a sighted target, the others nodes. Nodes
// are listed breadth first from (0,0); each is carried by the branch that reached it first.
SyntheticGroup GridNetwork(int g, int interior) {
    SyntheticGroup net;
    const double spacing = 150.0 * (interior + 1);
    auto isStation = [&](int i, int j) { return (i == 0 && j == 0) || (i == g - 1 && j == g - 1); };
    for (int i = 0; i < g; ++i)
        for (int j = 0; j < g; ++j) net.AddPoint(NodeName(i, j), i * spacing, j * spacing, isStation(i, j));
    net.AddPoint("T0", -300.0, -200.0, true);
    net.AddPoint("T1", (g - 1) * spacing + 300.0, (g - 1) * spacing + 250.0, true);
    auto target = [&](int i, int j) { return i == 0 && j == 0 ? std::string("T0") : std::string("T1"); };

    const GridReach reach = ReachFromCorner(g);
    const std::vector<int>& level = reach.level;
    const std::vector<int>& carrierFrom = reach.carrierFrom;
    const std::vector<int>& order = reach.order;
    // Branches run from the lower level to the higher; the interior points zigzag off the line.
    std::vector<std::string> lastButOne(static_cast<std::size_t>(g * g));
    struct Pending {
        int from, to;
    };
    std::vector<Pending> pending;
    for (int c : order) {
        const int ci = c / g, cj = c % g;
        if (ci + 1 < g) pending.push_back({c, c + g});
        if (cj + 1 < g) pending.push_back({c, c + 1});
    }
    std::vector<int> carrierBranch(static_cast<std::size_t>(g * g), 0);
    std::vector<std::vector<std::string>> points;
    std::vector<Pending> ends;
    for (Pending p : pending) {
        if (level[p.from] > level[p.to] ||
            (isStation(p.to / g, p.to % g) && p.to != 0))
            std::swap(p.from, p.to);
        const int fi = p.from / g, fj = p.from % g, ti = p.to / g, tj = p.to % g;
        std::vector<std::string> names{NodeName(fi, fj)};
        for (int k = 1; k <= interior; ++k) {
            const double t = static_cast<double>(k) / (interior + 1);
            const double side = (k % 2 == 0 ? 20.0 : -20.0);
            const std::string name = NodeName(fi, fj) + "-" + NodeName(ti, tj) + "/" + std::to_string(k);
            net.AddPoint(name, (fi + (ti - fi) * t) * spacing + (fj != tj ? side : 0.0),
                         (fj + (tj - fj) * t) * spacing + (fi != ti ? side : 0.0));
            names.push_back(name);
        }
        names.push_back(NodeName(ti, tj));
        if (carrierFrom[p.to] == p.from && !isStation(ti, tj)) {
            carrierBranch[p.to] = static_cast<int>(points.size()) + 1;
            lastButOne[p.to] = names[names.size() - 2];
        }
        points.push_back(names);
        ends.push_back(p);
    }
    for (std::size_t b = 0; b < points.size(); ++b) {
        const int from = ends[b].from, to = ends[b].to;
        const std::string startRef =
            isStation(from / g, from % g) ? target(from / g, from % g) : lastButOne[from];
        const bool carrier = carrierBranch[to] == static_cast<int>(b) + 1;
        if (carrier) {
            net.AddBranch(points[b], qef::BranchKind::StartOnly, startRef);
        } else {
            const std::string endRef =
                isStation(to / g, to % g) ? target(to / g, to % g) : lastButOne[to];
            net.AddBranch(points[b], qef::BranchKind::BothEnds, startRef, endRef);
        }
    }
    for (int c : order)
        if (!isStation(c / g, c % g)) net.AddNode(NodeName(c / g, c % g), false, carrierBranch[c]);
    net.Observe(2026, 5.0, 0.005);
    return net;
}

void BM_RigorousAdjustGroup(benchmark::State& state) {
    const int g = static_cast<int>(state.range(0));
    const int interior = static_cast<int>(state.range(1));
    const SyntheticGroup net = GridNetwork(g, interior);
    qef::NetworkModel model;
    qef::GroupWorkingSet original;
    net.Build(model, original, 0.03, 5.0 / 3600.0, 0.005);
    const qef::ComputationSettings settings;
    qef::RunRecord run;
    qef::RigorousRunState rigorous;
    qef::SilentInteraction ui;
    qef::NullProgress monitor;
    const qef::RigorousContext context{settings, run, rigorous, ui, monitor};
    qef::GroupWorkingSet ws;
    for (auto _ : state) {
        state.PauseTiming();
        ws = original;
        run.ProgressLog.Clear();
        state.ResumeTiming();
        if (qef::RigorousAdjustGroup(ws, model, context).Status != qef::RigorousStatus::Adjusted)
            state.SkipWithError("not adjusted");
    }
    // The solution's unit-weight error should be near the 5" the errors were drawn with / sqrt(3).
    ws = original;
    const qef::RigorousSolution sol = qef::RigorousAdjustGroup(ws, model, context).Solution;
    state.counters["mu"] = sol.Mu;
    state.counters["redundancy"] = sol.Redundancy;
    state.counters["points"] = static_cast<double>(net.Points.size());
    state.counters["branches"] = original.Nb;
    state.counters["nodes"] = original.Nn;
}

// About 1,000 and 5,000 points.
BENCHMARK(BM_RigorousAdjustGroup)->Args({10, 5})->Args({20, 6})->Unit(benchmark::kMillisecond);

}  // namespace
