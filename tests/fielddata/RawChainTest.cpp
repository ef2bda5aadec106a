// A converted download read on by the program's own readers: the observation file by the
// observation reader and the detail files by the detail-point computation (in plan and in height)
// read without a message and reproduce the true coordinates the example downloads were made from
// (tests/data/fielddata/raw/make_raw.py writes them into examples/ and the case folders).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "core/io/Readers.h"
#include "fielddata/books/FieldBookReduction.h"
#include "core/text/TextFile.h"
#include "fielddata/raw/RawConversion.h"
#include "heights/DetailPoints.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

const std::string kRawData = QEF_TEST_DATA "/fielddata/raw";
const std::string kExamples = QEF_TEST_DATA "/../../examples";
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
    const char* input;  // in examples/
    RawFormat format;
    bool heights;
    bool backsightRecord;  // the backsight's reading is written as an angle record
    int controls;          // control targets that can be placed from it
};

// Copies the download `input` from the folder `from` into `dir`; the paths of its conversion there.
RawConversionPaths CopiedDownload(const test::TempDir& dir, const std::string& from, const std::string& input) {
    std::filesystem::copy_file(from + "/" + input, dir.File(input));
    return {dir.File(input), dir.File("obs.DTA"), dir.File("mia.DTA"), dir.File("dh.DTA"), dir.File("micao.DTA")};
}

// The download `input` of the case folder `folder` converted in `dir` with the default run values.
void ConvertCase(const test::TempDir& dir, const std::string& folder, const std::string& input, RawFormat format,
                 RawConversionPaths& paths) {
    paths = CopiedDownload(dir, kRawData + "/" + folder, input);
    test::ScriptedInteraction ui;
    ASSERT_EQ(ConvertRawFile(format, {}, paths, ui).Outcome, RawConversionOutcome::Converted);
}

// The same observations downloaded as GSI (raw.tc8 of `gsiCase`) and as IDX (raw.idx of `idxCase`),
// each converted in a folder of its own and handed to `check`.
template <class Check>
void ForGsiAndIdx(const char* gsiCase, const char* idxCase, Check check) {
    for (const auto& [folder, input, format] : {std::tuple{gsiCase, "raw.tc8", RawFormat::LeicaGsi},
                                                std::tuple{idxCase, "raw.idx", RawFormat::LeicaIdx}}) {
        SCOPED_TRACE(folder);
        test::TempDir dir;
        RawConversionPaths paths;
        ASSERT_NO_FATAL_FAILURE(ConvertCase(dir, folder, input, format, paths));
        check(dir, paths);
    }
}

// The observation reader reads a converted observation file without a message.
void ExpectObservationsReadQuietly(const std::string& path, PointNameTable& names, Observations& obs) {
    ReadErrorRecord error;
    test::ScriptedInteraction readUi;
    ASSERT_TRUE(ReadObservations(path, ComputationSettings{}, names, obs, error, readUi));
    EXPECT_EQ(readUi.Messages(), std::vector<std::string>{});
}

// The detail points of a conversion on the known points of goc.DTA in `dir`: in plan (F7) from its
// detail file or in height (F8) from its detail file with heights. The computation completes with
// its done message alone; `resultFile` is where it wrote them.
void ComputeConvertedDetails(const test::TempDir& dir, const RawConversionPaths& paths, bool inHeight,
                             std::string& resultFile) {
    const DetailInput detail{dir.File("goc.DTA"), inHeight ? paths.DetailHeights : paths.Detail, dir.File("ct.dat")};
    test::RecordingProgress progress;
    test::ScriptedInteraction detailUi;
    ASSERT_EQ(ComputeDetailPoints(inHeight ? DetailMode::HeightsFromDifferences : DetailMode::Plan, detail,
                                  ComputationSettings{}, detailUi, progress)
                  .Outcome,
              RunOutcome::Completed);
    EXPECT_EQ(detailUi.Messages().size(), 1u) << testing::PrintToString(detailUi.Messages());
    resultFile = detail.ResultFile;
}

TEST(RawChain, ConvertedDownloadsReproduceTheTrueCoordinates) {
    const Layout layouts[] = {
        // C3 and 5000 from A1, B2 from C3; the backsight of a Nikon "CP" gives no angle record.
        {"nikon", "THO_NIKON.txt", RawFormat::Nikon, true, true, 2},
        {"gsi_tc800", "THO_TC800.tc8", RawFormat::LeicaGsi, true, true, 3},
        {"gsi_t1610", "THO_T1610.t16", RawFormat::LeicaGsiT1610, true, true, 3},
        {"topcon", "THO_GTS229.gts", RawFormat::Topcon, true, true, 3},
        {"geodimeter", "THO_GEO600.geo", RawFormat::Geodimeter, false, true, 3},
        {"idx_tc405", "THO_TC405.idx", RawFormat::LeicaIdx, true, true, 3},
    };
    const std::map<std::string, Point> truth = TruePoints();
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.folder);
        test::TempDir dir;
        const RawConversionPaths paths = CopiedDownload(dir, kExamples, layout.input);
        RawConversionOptions options;
        options.WithHeights = layout.heights;
        options.ControlFromNumber = 5000;
        test::ScriptedInteraction ui;
        ASSERT_EQ(ConvertRawFile(layout.format, options, paths, ui).Outcome, RawConversionOutcome::Converted);

        // Control targets: polar from each station, oriented by the reading on its backsight; the
        // first record of a target is its face-left one.
        PointNameTable names;
        Observations obs;
        ASSERT_NO_FATAL_FAILURE(ExpectObservationsReadQuietly(paths.Observations, names, obs));
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

        // Detail points in plan from the detail file (F7) and, with heights, in height from the
        // detail file with heights (F8).
        std::vector<std::string> known;
        for (const char* name : {"A1", "B2", "C3"}) {
            const Point p = truth.at(name);
            known.push_back(std::string(name) + "," + std::to_string(p.X) + "," + std::to_string(p.Y) + "," +
                            std::to_string(p.H));
        }
        ASSERT_TRUE(WriteAllLines(dir.File("goc.DTA"), known));
        std::set<std::string> found;
        for (const bool inHeight : {false, true}) {
            if (inHeight && !layout.heights) continue;
            SCOPED_TRACE(inHeight ? "F8" : "F7");
            std::string resultFile;
            ASSERT_NO_FATAL_FAILURE(ComputeConvertedDetails(dir, paths, inHeight, resultFile));
            std::vector<std::string> results;
            ASSERT_TRUE(ReadAllLines(resultFile, results));
            found.clear();
            for (const std::string& line : results) {
                const std::size_t a = line.find(','), b = line.find(',', a + 1), c = line.find(',', b + 1);
                const std::string name = line.substr(0, a);
                const Point t = truth.at(name);
                EXPECT_TRUE(found.insert(name).second) << name << " placed twice";
                EXPECT_NEAR(std::stod(line.substr(a + 1, b - a - 1)), t.X, kTolerance) << name;
                EXPECT_NEAR(std::stod(line.substr(b + 1, c - b - 1)), t.Y, kTolerance) << name;
                if (inHeight) {
                    EXPECT_NEAR(std::stod(line.substr(c + 1)), t.H, kTolerance) << name;
                }
            }
        }
        EXPECT_EQ(found, (std::set<std::string>{"101", "102", "103", "104", "4999"}));
    }
}

// A detail target read on both faces is placed once, where the two readings agree: the cases
// gsi_both_faces and idx_both_faces, station S1 at (1000, 2000) oriented on B1 due north. Point 7
// lies 20 m away at 45 degrees, (1014.142, 2014.142); point 8, read on face right only, 30 m away
// at 90 degrees, (1000.000, 2030.000).
TEST(RawChain, BothFacesGiveOnePointWhereTheyAgree) {
    ForGsiAndIdx("gsi_both_faces", "idx_both_faces", [](const test::TempDir& dir, const RawConversionPaths& paths) {
        test::ScriptedInteraction ui;
        ASSERT_TRUE(WriteAllLines(dir.File("goc.DTA"), {"S1,1000,2000", "B1,1100,2000"}));
        const DetailInput detail{dir.File("goc.DTA"), paths.Detail, dir.File("ct.dat")};
        test::RecordingProgress progress;
        ComputationSettings settings;
        ASSERT_EQ(ComputeDetailPoints(DetailMode::Plan, detail, settings, ui, progress).Outcome, RunOutcome::Completed);
        std::vector<std::string> results;
        ASSERT_TRUE(ReadAllLines(detail.ResultFile, results));
        ASSERT_EQ(results.size(), 2u);
        const std::map<std::string, std::pair<double, double>> truth = {{"7", {1014.142, 2014.142}},
                                                                        {"8", {1000.000, 2030.000}}};
        for (const std::string& line : results) {
            const std::size_t a = line.find(','), b = line.find(',', a + 1), c = line.find(',', b + 1);
            const auto& [x, y] = truth.at(line.substr(0, a));
            EXPECT_NEAR(std::stod(line.substr(a + 1, b - a - 1)), x, 0.001) << line;
            EXPECT_NEAR(std::stod(line.substr(b + 1, c - b - 1)), y, 0.001) << line;
        }
    });
}

// The run values a case folder's case.txt gives.
RawConversionOptions CaseOptions(const std::map<std::string, std::string>& c) {
    RawConversionOptions o;
    o.WithHeights = c.at("heights") == "1";
    o.ControlFromNumber = std::stoll(c.at("control_from"));
    o.ControlDistanceCorrection = std::stoi(c.at("control_mm")) / 1000.0;
    o.DetailDistanceCorrection = std::stoi(c.at("detail_mm")) / 1000.0;
    o.TargetHeightCorrection = std::stoi(c.at("target_height_mm")) / 1000.0;
    return o;
}

RawFormat CaseFormat(const std::map<std::string, std::string>& c) {
    return *RawInstruments()[static_cast<std::size_t>(std::stoi(c.at("instrument")))].Format;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> out;
    for (std::size_t from = 0;;) {
        const std::size_t comma = line.find(',', from);
        out.push_back(line.substr(from, comma - from));
        if (comma == std::string::npos) return out;
        from = comma + 1;
    }
}

// Every result line placed within 1 mm of a point of the hand-worked list (name, x, y and with
// heights h), each list entry used once, none left over.
void ExpectPlaced(const std::string& resultFile, std::vector<std::string> points, bool inHeight) {
    std::vector<std::string> results;
    ASSERT_TRUE(ReadAllLines(resultFile, results));
    EXPECT_EQ(results.size(), points.size());
    for (const std::string& line : results) {
        const std::vector<std::string> r = Fields(line);
        bool placed = false;
        for (auto it = points.begin(); it != points.end() && !placed; ++it) {
            const std::vector<std::string> p = Fields(*it);
            if (p[0] != r[0] || std::fabs(std::stod(p[1]) - std::stod(r[1])) > 0.001 ||
                std::fabs(std::stod(p[2]) - std::stod(r[2])) > 0.001)
                continue;
            if (inHeight && std::fabs(std::stod(p[3]) - std::stod(r[3])) > 0.001) continue;
            points.erase(it);
            placed = true;
        }
        EXPECT_TRUE(placed) << line;
    }
}

// Every case folder that converts: its observation file is read by the observation reader, and its
// detail files by the detail-point computation in plan and in height, each without a message
// beyond the computation's done message. Where the folder lists its points (points.txt, worked
// by hand), each lies within 1 mm of where the readings put it; the known points are those of
// known.txt, or S1 (1000, 2000, 10) with B1 due north of it.
TEST(RawChain, EveryConvertedCaseReadsOnWithoutAMessage) {
    int withPoints = 0;
    for (const std::string& name : test::WholeRunCaseNames("fielddata/raw")) {
        const std::string folder = kRawData + "/" + name;
        const std::map<std::string, std::string> c = test::CaseValues(folder + "/case.txt");
        if (c.contains("stop_line")) continue;
        SCOPED_TRACE(name);
        test::TempDir dir;
        const std::string input = c.at("input");
        const RawConversionPaths paths = CopiedDownload(dir, folder, input);
        const RawConversionOptions options = CaseOptions(c);
        test::ScriptedInteraction ui;
        const RawConversionStatus status = ConvertRawFile(CaseFormat(c), options, paths, ui);
        ASSERT_EQ(status.Outcome, RawConversionOutcome::Converted);

        // Side shots alone leave an observation file without a record, which the reader rightly
        // calls empty.
        if (status.Counts.AngleRecords + status.Counts.DistanceRecords > 0) {
            PointNameTable names;
            Observations obs;
            ExpectObservationsReadQuietly(paths.Observations, names, obs);
        }

        std::vector<std::string> points, known;
        if (!ReadAllLines(folder + "/points.txt", points)) continue;
        ++withPoints;
        if (!ReadAllLines(folder + "/known.txt", known)) known = {"S1,1000,2000,10", "B1,1100,2000,10"};
        ASSERT_TRUE(WriteAllLines(dir.File("goc.DTA"), known));
        for (const bool inHeight : {false, true}) {
            if (inHeight && !options.WithHeights) continue;
            SCOPED_TRACE(inHeight ? "F8" : "F7");
            std::string resultFile;
            ASSERT_NO_FATAL_FAILURE(ComputeConvertedDetails(dir, paths, inHeight, resultFile));
            ExpectPlaced(resultFile, points, inHeight);
        }
    }
    EXPECT_GE(withPoints, 14);
}

// One round on both faces, downloaded as GSI and as IDX (case folders gsi_round and idx_round):
// the books of both measure each direction from the backsight they name, B1 at 10 00 00: C1 (40 00 00)
// at 30 00 00 and C2 (100 00 00) at 90 00 00, and the two books are the same.
TEST(RawChain, RoundsOfGsiAndIdxGiveTheSameBooksFromTheNamedBacksight) {
    std::vector<FieldBooks> books;
    ForGsiAndIdx("gsi_round", "idx_round", [&books](const test::TempDir&, const RawConversionPaths& paths) {
        test::ScriptedInteraction ui;
        RawObservations raw;
        ComputationSettings settings;
        ASSERT_TRUE(ReadRawObservations(paths.Observations, settings, ui, raw));
        FieldBookOptions options;
        options.AngleSets = 1;
        test::ScriptedInteraction bookUi;
        FieldBookReducer reducer(raw, options, bookUi);
        ASSERT_TRUE(reducer.Run());
        EXPECT_EQ(bookUi.calls.size(), 0u);
        std::vector<std::string> angles;
        for (const std::string& line : reducer.Books().AdjustmentLines)
            if (std::count(line.begin(), line.end(), '\t') == 3) angles.push_back(line);
        EXPECT_EQ(angles, (std::vector<std::string>{"B1\tS1\tC1\t30.0000", "B1\tS1\tC2\t90.0000"}));
        books.push_back(reducer.Books());
    });
    ASSERT_EQ(books.size(), 2u);
    EXPECT_EQ(books[0].AngleBook, books[1].AngleBook);
    EXPECT_EQ(books[0].DistanceBook, books[1].DistanceBook);
    EXPECT_EQ(books[0].AdjustmentLines, books[1].AdjustmentLines);
}

}  // namespace
}  // namespace qef
