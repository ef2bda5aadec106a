// A converted download read on by the program's own readers: the observation file by the
// observation reader and the detail files by the detail-point computation reproduce the true
// coordinates the downloads were made from (tests/data/fielddata/raw/make_raw.py).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "core/io/Readers.h"
#include "core/text/TextFile.h"
#include "fielddata/raw/RawConversion.h"
#include "heights/DetailPoints.h"
#include "support/Fakes.h"

namespace qef {
namespace {

const std::string kRawData = QEF_TEST_DATA "/fielddata/raw";
constexpr double kTolerance = 0.003;  // whole seconds and millimetres in the downloads

struct Point {
    double X, Y, H;
};

std::map<std::string, Point> TruePoints() {
    std::map<std::string, Point> points;
    std::vector<std::string> lines;
    EXPECT_TRUE(ReadAllLines(kRawData + "/true_points.txt", lines));
    for (const std::string& line : lines) {
        const std::size_t a = line.find(','), b = line.find(',', a + 1), c = line.find(',', b + 1);
        points[line.substr(0, a)] = {std::stod(line.substr(a + 1, b - a - 1)), std::stod(line.substr(b + 1, c - b - 1)),
                                     std::stod(line.substr(c + 1))};
    }
    return points;
}

double Radians(double degrees) { return degrees * std::acos(-1.0) / 180.0; }

struct Layout {
    const char* folder;
    const char* input;
    RawFormat format;
    bool heights;
    bool backsightRecord;  // the backsight's reading is written as an angle record
    int controls;          // control targets that can be placed from it
};

TEST(RawChain, ConvertedDownloadsReproduceTheTrueCoordinates) {
    const Layout layouts[] = {
        // C3 and 5000 from A1, B2 from C3; the backsight of a Nikon "CP" gives no angle record.
        {"nikon", "raw.txt", RawFormat::Nikon, true, true, 2},
        {"gsi_tc800", "raw.tc8", RawFormat::LeicaGsi, true, true, 3},
        {"gsi_t1610", "raw.t16", RawFormat::LeicaGsiT1610, true, true, 3},
        {"topcon", "raw.gts", RawFormat::Topcon, true, true, 3},
        {"geodimeter", "raw.geo", RawFormat::Geodimeter, false, true, 3},
        {"idx_tc405", "raw.idx", RawFormat::LeicaIdx, true, false, 0},
    };
    const std::map<std::string, Point> truth = TruePoints();
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.folder);
        test::TempDir dir;
        std::filesystem::copy_file(kRawData + "/" + layout.folder + "/" + layout.input, dir.File(layout.input));
        RawConversionOptions options;
        options.WithHeights = layout.heights;
        options.ControlFromNumber = 5000;
        const RawConversionPaths paths{dir.File(layout.input), dir.File("obs.DTA"), dir.File("mia.DTA"),
                                       dir.File("dh.DTA"), dir.File("micao.DTA")};
        test::ScriptedInteraction ui;
        ASSERT_EQ(ConvertRawFile(layout.format, options, paths, ui).Outcome, RawConversionOutcome::Converted);

        // Control targets: polar from each station, oriented by the reading on its backsight; the
        // first record of a target is its face-left one.
        ComputationSettings settings;
        PointNameTable names;
        Observations obs;
        ReadErrorRecord error;
        ASSERT_TRUE(ReadObservations(paths.Observations, settings, names, obs, error, ui));
        std::map<std::string, double> orientation;
        for (int i = 1; layout.backsightRecord && i <= obs.Angles.Count(); ++i)
            if (obs.Angles.BackIds[i] == obs.Angles.ForeIds[i])
                orientation.emplace(names.Name(obs.Angles.StationIds[i]), obs.Angles.Values[i]);
        std::set<std::pair<int, int>> done;
        int checked = 0;
        for (int i = 1; i <= obs.Angles.Count(); ++i) {
            const int back = obs.Angles.BackIds[i], station = obs.Angles.StationIds[i], fore = obs.Angles.ForeIds[i];
            const std::string st = names.Name(station), bs = names.Name(back), target = names.Name(fore);
            if (back == fore || !orientation.contains(st) || !done.insert({station, fore}).second) continue;
            for (int j = 1; j <= obs.Sides.Count(); ++j) {
                if (obs.Sides.FromIds[j] != station || obs.Sides.ToIds[j] != fore) continue;
                const Point s = truth.at(st), b = truth.at(bs), t = truth.at(target);
                const double azimuth = std::atan2(b.Y - s.Y, b.X - s.X) + Radians(obs.Angles.Values[i] - orientation.at(st));
                EXPECT_NEAR(s.X + obs.Sides.Lengths[j] * std::cos(azimuth), t.X, kTolerance) << st << "-" << target;
                EXPECT_NEAR(s.Y + obs.Sides.Lengths[j] * std::sin(azimuth), t.Y, kTolerance) << st << "-" << target;
                ++checked;
                break;
            }
        }
        EXPECT_EQ(checked, layout.controls);

        // Height differences of the control sides.
        if (layout.heights) {
            std::vector<std::string> lines;
            ASSERT_TRUE(ReadAllLines(paths.StationHeights, lines));
            ASSERT_FALSE(lines.empty());
            for (const std::string& line : lines) {
                const std::size_t a = line.find('\t'), b = line.find('\t', a + 1), c = line.find('\t', b + 1);
                const double dh = std::stod(line.substr(c + 1));
                EXPECT_NEAR(dh, truth.at(line.substr(a + 1, b - a - 1)).H - truth.at(line.substr(0, a)).H, kTolerance)
                    << line;
            }
        }

        // Detail points, in height from the detail file with heights (F8), in plan otherwise (F7).
        std::vector<std::string> known;
        for (const char* name : {"A1", "B2", "C3"}) {
            const Point p = truth.at(name);
            known.push_back(std::string(name) + "," + std::to_string(p.X) + "," + std::to_string(p.Y) + "," +
                            std::to_string(p.H));
        }
        ASSERT_TRUE(WriteAllLines(dir.File("goc.DTA"), known));
        const DetailInput detail{dir.File("goc.DTA"), layout.heights ? paths.DetailHeights : paths.Detail,
                                 dir.File("ct.dat")};
        test::RecordingProgress progress;
        const DetailRunStatus status =
            ComputeDetailPoints(layout.heights ? DetailMode::HeightsFromDifferences : DetailMode::Plan, detail,
                                settings, ui, progress);
        ASSERT_EQ(status.Outcome, RunOutcome::Completed);
        std::vector<std::string> results;
        ASSERT_TRUE(ReadAllLines(detail.ResultFile, results));
        std::set<std::string> found;
        for (const std::string& line : results) {
            const std::size_t a = line.find(','), b = line.find(',', a + 1), c = line.find(',', b + 1);
            const std::string name = line.substr(0, a);
            const Point t = truth.at(name);
            found.insert(name);
            EXPECT_NEAR(std::stod(line.substr(a + 1, b - a - 1)), t.X, kTolerance) << name;
            EXPECT_NEAR(std::stod(line.substr(b + 1, c - b - 1)), t.Y, kTolerance) << name;
            if (layout.heights) {
                EXPECT_NEAR(std::stod(line.substr(c + 1)), t.H, kTolerance) << name;
            }
        }
        EXPECT_EQ(found, (std::set<std::string>{"101", "102", "103", "104", "4999"}));
    }
}

}  // namespace
}  // namespace qef
