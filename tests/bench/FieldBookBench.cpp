// Field books from a raw file of growing size: stations of a long traverse, each read in four sets
// of a closed round of four targets, two sides a station measured twice forward and twice back,
// through to the three books on disk.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <unistd.h>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/text/TextFile.h"
#include "fielddata/books/FieldBookReduction.h"

namespace {

constexpr int kSets = 4;

class RawFile {
public:
    explicit RawFile(int stations) {
        dir_ = (std::filesystem::temp_directory_path() / ("qef_book_bench_" + std::to_string(getpid()))).string();
        std::filesystem::create_directories(dir_);
        qef::TextFileWriter raw(dir_ + "/raw.dta");
        const auto reading = [](int degrees, int seconds) {
            return std::to_string(degrees % 360) + ".00" + (seconds < 10 ? "0" : "") + std::to_string(seconds);
        };
        for (int s = 0; s < stations; ++s) {
            const std::string at = "T" + std::to_string(s + 1);
            const std::string back = "T" + std::to_string(s);
            const std::string targets[] = {back, "T" + std::to_string(s + 2), "D" + std::to_string(s + 1), back};
            for (int set = 0; set < kSets; ++set) {
                const int start = 45 * set;
                for (int d = 0; d < 4; ++d)
                    raw.WriteLine(back + "\t" + at + "\t" + targets[d] + "\t" + reading(start + 70 * (d % 3), 10 + d) + "\t\t//T");
                for (int d = 3; d >= 0; --d)
                    raw.WriteLine(back + "\t" + at + "\t" + targets[d] + "\t" + reading(start + 180 + 70 * (d % 3), 14 + d) +
                                  "\t\t//D");
            }
            raw.WriteLine("");
        }
        for (int s = 0; s < stations; ++s) {
            const std::string at = "T" + std::to_string(s + 1);
            for (const std::string& to : {"T" + std::to_string(s + 2), "D" + std::to_string(s + 1)}) {
                raw.WriteLine(at + "\t" + to + "\t123.456");
                raw.WriteLine(at + "\t" + to + "\t123.458");
                raw.WriteLine(to + "\t" + at + "\t123.457");
                raw.WriteLine(to + "\t" + at + "\t123.459");
            }
        }
        raw.Close();
    }
    ~RawFile() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    RawFile(const RawFile&) = delete;
    RawFile& operator=(const RawFile&) = delete;
    qef::FieldBookFiles Files() const {
        return {dir_ + "/raw.dta", dir_ + "/goc.txt", dir_ + "/canh.txt", dir_ + "/bs.dta"};
    }

private:
    std::string dir_;
};

void BM_FieldBooksFromRawFile(benchmark::State& state) {
    const int stations = static_cast<int>(state.range(0));
    const RawFile raw(stations);
    qef::FieldBookOptions options;
    options.AngleSets = kSets;
    options.DistanceCount = 4;
    options.DistanceTolerance = 5;
    qef::SilentInteraction ui;
    for (auto _ : state) {
        if (qef::BuildFieldBooks(raw.Files(), options, qef::ComputationSettings{}, ui) != qef::FieldBookOutcome::Completed)
            state.SkipWithError("the books were not completed");
    }
    std::vector<std::string> lines;
    qef::ReadAllLines(raw.Files().Adjustment, lines);
    // Two reduced directions a station and two sides a station.
    if (static_cast<int>(lines.size()) != 4 * stations) state.SkipWithError("not every station was reduced");
    state.SetItemsProcessed(state.iterations() * stations);
}
BENCHMARK(BM_FieldBooksFromRawFile)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
