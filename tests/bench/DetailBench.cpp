// Detail points from one observation file of growing size: stations on a grid of known points,
// each oriented on its neighbour, with a thousand staff points a station (zenith angles, the
// heaviest mode), through to the result file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "core/model/ComputationSettings.h"
#include "core/text/TextFile.h"
#include "heights/DetailPoints.h"

namespace {

constexpr int kPointsPerStation = 1000;

class DetailFiles {
public:
    explicit DetailFiles(int points) {
        dir_ = (std::filesystem::temp_directory_path() / ("qef_detail_bench_" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(dir_);
        const int stations = (points + kPointsPerStation - 1) / kPointsPerStation;
        qef::TextFileWriter known(dir_ + "/known.txt");
        for (int s = 0; s <= stations; ++s)
            known.WriteLine("K" + std::to_string(s) + " " + std::to_string(2335000 + 200 * s) + ".125 " +
                            std::to_string(585000 + 150 * s) + ".250 " + std::to_string(10 + s % 7) + ".500");
        known.Close();
        qef::TextFileWriter obs(dir_ + "/obs.txt");
        int number = 0;
        for (int s = 0; s < stations; ++s) {
            obs.WriteLine(",K" + std::to_string(s) + ",K" + std::to_string(s + 1) + ",1.452");
            for (int i = 0; i < kPointsPerStation && number < points; ++i) {
                ++number;
                const int degrees = (i * 7) % 360;
                const std::string zenith = i % 3 == 0 ? "271.1523" : "88.4437";
                obs.WriteLine(std::to_string(number) + " " + std::to_string(degrees) + ".2536 " +
                              std::to_string(10 + i % 90) + ".125 1.5 " + zenith);
            }
        }
        obs.Close();
    }
    ~DetailFiles() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    DetailFiles(const DetailFiles&) = delete;
    DetailFiles& operator=(const DetailFiles&) = delete;
    qef::DetailInput Input() const { return {dir_ + "/known.txt", dir_ + "/obs.txt", dir_ + "/kq.dat"}; }

private:
    std::string dir_;
};

// state.range(1): 1 puts the points, names and height texts into the DXF drawing as well.
void BM_DetailPointsFromOneFile(benchmark::State& state) {
    const DetailFiles files(static_cast<int>(state.range(0)));
    qef::ComputationSettings settings;
    settings.Modes.ModeDetailPoints = true;
    settings.AcadUploadEnabled = settings.AcadUploadDetailPoints = state.range(1) == 1;
    settings.AcadUploadFlags = 7;
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    for (auto _ : state) {
        const qef::DetailRunStatus status =
            qef::ComputeDetailPoints(qef::DetailMode::HeightsFromZenithAngles, files.Input(), settings, ui, progress);
        if (status.PointCount != state.range(0)) state.SkipWithError("not every point was computed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DetailPointsFromOneFile)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
