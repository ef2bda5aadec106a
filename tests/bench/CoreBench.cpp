// Cost of the name table and of reading observation files as they grow.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

#include "core/analysis/Duplicates.h"
#include "core/io/Readers.h"
#include "core/text/TextFile.h"

namespace {

std::string PointName(long long i) { return "P" + std::to_string(i); }

void BM_RegisterNames(benchmark::State& state) {
    const long long n = state.range(0);
    qef::OneBased<std::string> names;
    for (long long i = 1; i <= n; ++i) names.PushBack(i % 10 == 0 ? "p" + std::to_string(i / 2) : PointName(i));
    for (auto _ : state) {
        qef::PointNameTable table;
        qef::OneBased<int> ids;
        qef::RegisterPointNames(table, names, ids, static_cast<int>(n));
        benchmark::DoNotOptimize(ids[1]);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_RegisterNames)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A synthetic traverse file: angle-and-side lines, chained angle lines and side lines in turn.
const std::string& ObservationFile(long long lines) {
    static std::map<long long, std::string> files;
    auto it = files.find(lines);
    if (it != files.end()) return it->second;
    std::string path = (std::filesystem::temp_directory_path() /
                        ("qef-bench-obs-" + std::to_string(::getpid()) + "-" + std::to_string(lines) + ".txt"))
                           .string();
    qef::TextFileWriter out(path);
    for (long long i = 0; i < lines; ++i) {
        switch (i % 3) {
            case 0: out.WriteLine(PointName(i) + "\t" + PointName(i + 1) + "\t" + PointName(i + 2) + "\t179.5959\t123.456"); break;
            case 1: out.WriteLine("\t\t" + PointName(i + 3) + "\t180.0010"); break;
            default: out.WriteLine(PointName(i + 1) + "," + PointName(i + 3) + ",98.765"); break;
        }
    }
    out.Close();
    return files.emplace(lines, path).first->second;
}

void BM_ReadObservations(benchmark::State& state) {
    const std::string& path = ObservationFile(state.range(0));
    qef::ComputationSettings settings;
    qef::SilentInteraction ui;
    for (auto _ : state) {
        qef::PointNameTable names;
        qef::Observations obs;
        qef::ReadErrorRecord error;
        if (!qef::ReadObservations(path, settings, names, obs, error, ui)) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(obs.Angles.Count());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadObservations)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_MergeDuplicates(benchmark::State& state) {
    const std::string& path = ObservationFile(state.range(0));
    qef::ComputationSettings settings;
    qef::SilentInteraction ui;
    qef::PointNameTable names;
    qef::Observations read;
    qef::ReadErrorRecord error;
    qef::ReadObservations(path, settings, names, read, error, ui);
    for (auto _ : state) {
        state.PauseTiming();
        qef::Observations obs = read;
        qef::LogBuffer log;
        state.ResumeTiming();
        qef::FindDuplicateObservations(obs, names, log, ui);
        benchmark::DoNotOptimize(obs.Sides.Count());
    }
}
BENCHMARK(BM_MergeDuplicates)->Arg(200000)->Unit(benchmark::kMillisecond);

// The generated files go when the program ends.
struct RemoveFiles {
    ~RemoveFiles() {
        for (long long n : {20000LL, 200000LL}) {
            std::string path = (std::filesystem::temp_directory_path() /
                                ("qef-bench-obs-" + std::to_string(::getpid()) + "-" + std::to_string(n) + ".txt"))
                                   .string();
            std::remove(path.c_str());
        }
    }
} removeFiles;

}  // namespace
