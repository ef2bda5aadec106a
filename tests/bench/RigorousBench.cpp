// Cost of the rigorous adjustment of one group as the network grows: a square grid of nodes
// joined by traverses, oriented from two known directions at opposite corners.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "../adjustment/RigorousFixture.h"
#include "adjustment/Rigorous.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"

namespace {

using qef::test::GridNetwork;
using qef::test::SyntheticGroup;

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
