// Whole levelling runs, from the input files to the heights file and the report, on synthetic
// networks of growing size: a square grid of nodes joined by lines of levelling points, known
// heights at the four corners, and an open line hanging from every node of the first row.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "heights/LevellingAdjustment.h"

namespace {

constexpr int kPointsPerLine = 16;  // levelling points between two neighbouring nodes

class LevellingFiles {
public:
    explicit LevellingFiles(int points) : dir_(std::filesystem::temp_directory_path().string() + "/qef_lv_" +
                                               std::to_string(getpid()) + "_" + std::to_string(points)) {
        std::filesystem::create_directories(dir_);
        // k*k nodes and 2k(k-1) lines of kPointsPerLine points: about the points asked for.
        int k = 2;
        while (k * k + 2 * k * (k - 1) * kPointsPerLine < points) ++k;
        auto height = [](double x, double y) { return 20.0 + 0.002 * x + 3.0 * std::sin(y / 900.0); };
        auto node = [](int i, int j) { return "N" + std::to_string(i) + "_" + std::to_string(j); };
        std::vector<std::string> known, lines;
        for (int i : {0, k - 1})
            for (int j : {0, k - 1}) known.push_back(node(i, j) + "\t" + qef::FormatFixed(height(i * 1000.0, j * 1000.0), 0, 3));
        int serial = 0;
        auto addLine = [&](const std::string& from, double x0, double y0, const std::string& to, double x1, double y1) {
            std::string at = from;
            double hx = x0, hy = y0;
            for (int p = 1; p <= kPointsPerLine + 1; ++p) {
                const double t = static_cast<double>(p) / (kPointsPerLine + 1);
                const double x = x0 + t * (x1 - x0), y = y0 + t * (y1 - y0);
                const std::string next = p == kPointsPerLine + 1 ? to : "P" + std::to_string(++serial);
                // A millimetre of noise that alternates, so that every line has a misclosure.
                const double dh = height(x, y) - height(hx, hy) + ((serial % 3) - 1) * 0.001;
                lines.push_back(at + "\t" + next + "\t" + qef::FormatFixed(1000.0 / (kPointsPerLine + 1), 0, 1) +
                                "\t" + qef::FormatFixed(dh, 0, 4));
                at = next;
                hx = x;
                hy = y;
            }
        };
        for (int i = 0; i < k; ++i)
            for (int j = 0; j < k; ++j) {
                if (i + 1 < k) addLine(node(i, j), i * 1000.0, j * 1000.0, node(i + 1, j), (i + 1) * 1000.0, j * 1000.0);
                if (j + 1 < k) addLine(node(i, j), i * 1000.0, j * 1000.0, node(i, j + 1), i * 1000.0, (j + 1) * 1000.0);
            }
        for (int j = 1; j + 1 < k; ++j)
            lines.push_back(node(0, j) + "\tH" + std::to_string(j) + "\t150.0\t0.1000");
        qef::WriteAllLines(Input().KnownHeightsFile, known);
        qef::WriteAllLines(Input().LevellingFile, lines);
    }
    ~LevellingFiles() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    LevellingFiles(const LevellingFiles&) = delete;
    LevellingFiles& operator=(const LevellingFiles&) = delete;
    qef::LevellingInput Input() const { return {dir_ + "/known.txt", dir_ + "/lines.txt", dir_ + "/kq.dta"}; }

private:
    std::string dir_;
};

void BM_LevellingRun(benchmark::State& state) {
    const LevellingFiles files(static_cast<int>(state.range(0)));
    const qef::ComputationSettings settings;
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    for (auto _ : state) {
        qef::RunRecord run;
        const qef::LevellingStatus status = qef::AdjustLevellingNetwork(files.Input(), settings, ui, progress, run);
        if (status.Outcome != qef::RunOutcome::Completed || status.SkippedGroups != 0)
            state.SkipWithError("the run did not complete");
        benchmark::DoNotOptimize(status.Heights.size());
        state.counters["heights"] = static_cast<double>(status.Heights.size());
    }
}
BENCHMARK(BM_LevellingRun)->Arg(1000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace
