// Cost of the normal-equation solvers as the number of unknowns grows.
#include <benchmark/benchmark.h>

#include <random>

#include "core/numeric/NormalMatrix.h"

namespace {

using qef::PackedNormalMatrix;

// Symmetric and diagonally dominant, so positive definite. With blocks > 0 the first 3*blocks
// unknowns couple only within their block of three and with the rest, as correlate equations do.
PackedNormalMatrix MakeNormals(int n, int blocks) {
    std::mt19937 rng(2026);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    const int limit = 3 * blocks;
    PackedNormalMatrix matrix(n);
    for (int i = 1; i <= n; ++i) {
        matrix(i, i) = n + 1.0;
        for (int j = i + 1; j <= n; ++j) {
            const bool coupled = j > limit || (i - 1) / 3 == (j - 1) / 3;
            if (coupled) matrix(i, j) = u(rng);
        }
        matrix.Constant(i) = 100.0 * u(rng);
    }
    return matrix;
}

template <typename Solve>
void Run(benchmark::State& state, int blocks, Solve solve) {
    const int n = static_cast<int>(state.range(0));
    const PackedNormalMatrix original = MakeNormals(n, blocks);
    qef::OneBased<double> result;
    PackedNormalMatrix work;
    for (auto _ : state) {
        state.PauseTiming();
        work = original;
        state.ResumeTiming();
        benchmark::DoNotOptimize(solve(result, work));
        benchmark::ClobberMemory();
    }
    state.SetComplexityN(n);
}

void BM_SolveNormalDense(benchmark::State& state) {
    Run(state, 0, [](auto& result, auto& matrix) { return qef::SolveNormalDense(result, matrix, false, true); });
}

// Three quarters of the unknowns in blocks of three, the rest coupling with everything.
int BlocksFor(benchmark::State& state) { return static_cast<int>(state.range(0) / 4); }

void BM_SolveCorrelateNormals(benchmark::State& state) {
    const int blocks = BlocksFor(state);
    Run(state, blocks,
        [blocks](auto& result, auto& matrix) { return qef::SolveCorrelateNormals(result, matrix, false, blocks); });
}

// The dense solver on the same block pattern: what knowing the pattern saves.
void BM_SolveNormalDenseOnBlocks(benchmark::State& state) {
    Run(state, BlocksFor(state),
        [](auto& result, auto& matrix) { return qef::SolveNormalDense(result, matrix, false, true); });
}

void Sizes(benchmark::internal::Benchmark* b) {
    for (int n : {100, 200, 500, 1000, 2000}) b->Arg(n);
    b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNCubed);
}

}  // namespace

BENCHMARK(BM_SolveNormalDense)->Apply(Sizes);
BENCHMARK(BM_SolveCorrelateNormals)->Apply(Sizes);
BENCHMARK(BM_SolveNormalDenseOnBlocks)->Apply(Sizes);


