// Whole adjustment runs on networks ten times larger at each step: many small groups (connecting
// traverses), many hanging traverses, and one large group (a grid). The time per traverse must
// stay flat from one size to the next. peak_MB is the high-water mark of the whole process: run
// one size per process (--benchmark_filter) to read it for that size.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <sys/resource.h>
#include <utility>

#include "SyntheticNetworks.h"

namespace {

using qef::bench::NetworkShape;
using qef::bench::SyntheticNetwork;

const SyntheticNetwork& Network(NetworkShape shape, int size) {
    static std::map<std::pair<NetworkShape, int>, std::unique_ptr<SyntheticNetwork>> cache;
    std::unique_ptr<SyntheticNetwork>& network = cache[{shape, size}];
    if (!network) network = std::make_unique<SyntheticNetwork>(shape, size);
    return *network;
}

double PeakMemoryMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void WholeRun(benchmark::State& state, NetworkShape shape, bool rigorous) {
    const SyntheticNetwork& network = Network(shape, static_cast<int>(state.range(0)));
    qef::ComputationSettings settings;
    settings.Modes.RigorousWanted = rigorous;
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    int groups = 0;
    for (auto _ : state) {
        qef::RunRecord run;
        const qef::RunStatus status = qef::AdjustNetworkByOrder(network.Input(), settings, ui, progress, run);
        if (status.Outcome != qef::RunOutcome::Completed || status.FailedGroups != 0) {
            state.SkipWithError("the run did not complete");
            return;
        }
        // A group refused for its size keeps its simple adjustment: that is no rigorous run.
        if (rigorous && status.RigorousGroups != run.GroupCounter) {
            state.SkipWithError("a group was not adjusted rigorously");
            return;
        }
        groups = run.GroupCounter;
    }
    state.counters["lines"] = static_cast<double>(network.ObservationLines());
    state.counters["groups"] = groups;
    state.counters["points/s"] = benchmark::Counter(static_cast<double>(network.NewPoints()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = PeakMemoryMb();
}

void BM_ConnectingTraverses(benchmark::State& state) { WholeRun(state, NetworkShape::Connecting, false); }
void BM_ConnectingTraversesRigorous(benchmark::State& state) { WholeRun(state, NetworkShape::Connecting, true); }
void BM_HangingTraverses(benchmark::State& state) { WholeRun(state, NetworkShape::Hanging, false); }
void BM_GridNetwork(benchmark::State& state) { WholeRun(state, NetworkShape::Grid, false); }
void BM_GridNetworkRigorous(benchmark::State& state) { WholeRun(state, NetworkShape::Grid, true); }

BENCHMARK(BM_ConnectingTraverses)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConnectingTraversesRigorous)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HangingTraverses)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
// 20 nodes a side: 400 nodes, 760 branches, 3,436 new points in one group.
BENCHMARK(BM_GridNetwork)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridNetworkRigorous)->Arg(20)->Unit(benchmark::kMillisecond);
// One group of 10,400, 20,732 and 50,021 new points, adjusted rigorously: run one size per process
// for its peak_MB.
BENCHMARK(BM_GridNetworkRigorous)->Arg(34)->Arg(48)->Arg(75)->Iterations(1)->Unit(benchmark::kMillisecond);
// One group of 102,181 new points, and 100,000 rigorous groups of one traverse each.
BENCHMARK(BM_GridNetworkRigorous)->Arg(107)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConnectingTraversesRigorous)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
