// Whole adjustment runs, from the input files to the report set, on synthetic networks of growing
// size: rows of connecting traverses between known stations, joined by cross traverses through
// nodes, with open traverses hanging from some rows' ends (a second order and a hanging stage).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "adjustment/AdjustByOrder.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRowPoints = 20;

struct Xy {
    double x;
    double y;
};

class NetworkFiles {
public:
    explicit NetworkFiles(int points);
    ~NetworkFiles() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    NetworkFiles(const NetworkFiles&) = delete;
    NetworkFiles& operator=(const NetworkFiles&) = delete;
    qef::AdjustmentInput Input() const { return {dir_ + "/known.txt", dir_ + "/obs.txt", "", dir_ + "/kq.dta"}; }

private:
    std::string dir_;
    std::map<std::string, Xy> xy_;

    void Put(const std::string& name, double x, double y) { xy_[name] = {x, y}; }
    double Azimuth(const std::string& a, const std::string& b) const {
        const double az = std::atan2(xy_.at(b).y - xy_.at(a).y, xy_.at(b).x - xy_.at(a).x) * 180.0 / kPi;
        return az < 0.0 ? az + 360.0 : az;
    }
};

std::string Name(int row, int column) { return "R" + std::to_string(row) + "C" + std::to_string(column); }

// Small deterministic observation errors: about 2" on angles and 3 mm on sides.
double Noise(int i) { return std::sin(12.9898 * i + 4.1414); }

// D.MMSSsss without the leading blanks of the report layout.
std::string Dms(double degrees) { return qef::TrimBlanks(qef::FormatDms(3, ".", degrees)); }

NetworkFiles::NetworkFiles(int points) {
    dir_ = (std::filesystem::temp_directory_path() /
            ("qef-bench-run-" + std::to_string(::getpid()) + "-" + std::to_string(points)))
               .string();
    std::filesystem::create_directories(dir_);
    const int rows = std::max(2, points / kRowPoints);
    std::vector<std::string> known;
    std::vector<std::vector<std::string>> angles;  // back, station, fore
    std::vector<std::pair<std::string, std::string>> sides;

    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kRowPoints; ++c)
            Put(Name(r, c), 1000.0 + 400.0 * r + 25.0 * std::sin(c * 1.3 + r),
                1000.0 + 250.0 * c + 20.0 * std::cos(c * 0.7 + r));
        const std::string ta = "TA" + std::to_string(r), tb = "TB" + std::to_string(r);
        Put(ta, 1000.0 + 400.0 * r + 150.0, 700.0);
        Put(tb, 1000.0 + 400.0 * r - 150.0, 1000.0 + 250.0 * kRowPoints + 300.0);
        known.insert(known.end(), {ta, Name(r, 0), Name(r, kRowPoints - 1), tb});
        angles.push_back({ta, Name(r, 0), Name(r, 1)});
        for (int c = 1; c + 1 < kRowPoints; ++c) angles.push_back({Name(r, c - 1), Name(r, c), Name(r, c + 1)});
        angles.push_back({Name(r, kRowPoints - 2), Name(r, kRowPoints - 1), tb});
        for (int c = 0; c + 1 < kRowPoints; ++c) sides.emplace_back(Name(r, c), Name(r, c + 1));
        // Cross traverses to the next row through a middle point make nodes of both ends.
        if (r + 1 < rows)
            for (int c = 5; c + 4 < kRowPoints; c += 5) {
                const std::string m = "M" + std::to_string(r) + "_" + std::to_string(c);
                Put(m, 1000.0 + 400.0 * r + 200.0, 1000.0 + 250.0 * c + 60.0);
                angles.push_back({Name(r, c - 1), Name(r, c), m});
                angles.push_back({Name(r, c), m, Name(r + 1, c)});
                angles.push_back({Name(r + 1, c - 1), Name(r + 1, c), m});
                sides.emplace_back(Name(r, c), m);
                sides.emplace_back(m, Name(r + 1, c));
            }
        // Every fifth row has an open traverse hanging from its end.
        if (r % 5 == 0) {
            const std::string h1 = "H" + std::to_string(r) + "_1", h2 = "H" + std::to_string(r) + "_2";
            const Xy b = xy_.at(Name(r, kRowPoints - 1));
            Put(h1, b.x + 180.0, b.y + 90.0);
            Put(h2, b.x + 330.0, b.y + 260.0);
            angles.push_back({tb, Name(r, kRowPoints - 1), h1});
            angles.push_back({Name(r, kRowPoints - 1), h1, h2});
            sides.emplace_back(Name(r, kRowPoints - 1), h1);
            sides.emplace_back(h1, h2);
        }
    }

    qef::TextFileWriter knownFile(dir_ + "/known.txt");
    for (const std::string& k : known) {
        char line[96];
        std::snprintf(line, sizeof line, "%s\t%.3f\t%.3f", k.c_str(), xy_.at(k).x, xy_.at(k).y);
        knownFile.WriteLine(line);
    }
    knownFile.Close();
    qef::TextFileWriter obsFile(dir_ + "/obs.txt");
    int i = 0;
    for (const auto& a : angles) {
        double v = Azimuth(a[1], a[2]) - Azimuth(a[1], a[0]) + 2.0 / 3600.0 * Noise(++i);
        if (v < 0.0) v += 360.0;
        obsFile.WriteLine(a[0] + "\t" + a[1] + "\t" + a[2] + "\t" + Dms(v));
    }
    for (const auto& [a, b] : sides) {
        const double s = std::hypot(xy_.at(b).x - xy_.at(a).x, xy_.at(b).y - xy_.at(a).y) + 0.003 * Noise(++i);
        char line[96];
        std::snprintf(line, sizeof line, "%s\t%s\t%.4f", a.c_str(), b.c_str(), s);
        obsFile.WriteLine(line);
    }
    obsFile.Close();
}

const NetworkFiles& Files(int points) {
    static std::map<int, NetworkFiles> cache;
    auto it = cache.find(points);
    if (it == cache.end()) it = cache.try_emplace(points, points).first;
    return it->second;
}

void RunByOrder(benchmark::State& state, bool rigorous) {
    const qef::AdjustmentInput input = Files(static_cast<int>(state.range(0))).Input();
    qef::ComputationSettings settings;
    settings.Modes.RigorousWanted = rigorous;
    qef::SilentInteraction ui;
    qef::NullProgress progress;
    for (auto _ : state) {
        qef::RunRecord run;
        const qef::RunStatus status = qef::AdjustNetworkByOrder(input, settings, ui, progress, run);
        if (status.Outcome != qef::RunOutcome::Completed || status.FailedGroups != 0) {
            state.SkipWithError("the run did not complete");
            break;
        }
        state.counters["points"] = run.RunUnknownPointTotal;
        state.counters["nodes"] = run.RunNodeTotal;
        state.counters["orders"] = status.Orders;
    }
}

void BM_AdjustByOrderSimple(benchmark::State& state) { RunByOrder(state, false); }
void BM_AdjustByOrderRigorous(benchmark::State& state) { RunByOrder(state, true); }

BENCHMARK(BM_AdjustByOrderSimple)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdjustByOrderRigorous)->Arg(100)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace
