// Books made from observations: hand-worked cases with listed draws (tests/data/fielddata/simulated),
// and properties of the books with a fixed seed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "HandWrittenCase.h"
#include "core/io/Readers.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/ObservationBooks.h"
#include "support/BookTables.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

namespace fs = std::filesystem;
const fs::path kCases = fs::path(QEF_TEST_DATA) / "fielddata" / "simulated";

// Gives the listed draws in order, each checked against its bound.
struct ListedDraws : RandomSource {
    std::deque<int> draws;
    int Below(int n) override {
        if (draws.empty()) {
            ADD_FAILURE() << "no draw left for Below(" << n << ")";
            return 0;
        }
        const int d = draws.front();
        draws.pop_front();
        EXPECT_LT(d, std::max(n, 1)) << "draw out of range";
        return d;
    }
};

class SimulatedCase : public testing::TestWithParam<std::string> {};

TEST_P(SimulatedCase, WritesTheBooksWorkedByHand) {
    const fs::path folder = kCases / GetParam();
    std::string command;
    FieldBookOptions options;
    ListedDraws random;
    RunOutcome outcome = RunOutcome::Completed;
    std::vector<std::string> outputs;  // the names the command writes, where the case gives them
    std::ifstream in(folder / "case.txt");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const auto eq = line.find(" = ");
        ASSERT_NE(eq, std::string::npos) << line;
        const std::string name = line.substr(0, eq);
        std::istringstream value(line.substr(eq + 3));
        if (name == "command") value >> command;
        else if (name == "AngleSets") value >> options.AngleSets;
        else if (name == "HalfSetTolerance") value >> options.HalfSetTolerance;
        else if (name == "TwoCVariation") value >> options.TwoCVariation;
        else if (name == "draws") for (int d; value >> d;) random.draws.push_back(d);
        else if (name == "outputs") for (std::string o; value >> o;) outputs.push_back(o);
        else if (name == "outcome") {
            const std::string o = value.str();
            outcome = o == "ReadFailed" ? RunOutcome::ReadFailed
                      : o == "NameCollision" ? RunOutcome::NameCollision
                                             : RunOutcome::Completed;
        }
        else ADD_FAILURE() << "unknown line in case.txt: " << line;
    }
    test::TempDir dir;
    fs::copy_file(folder / "obs.dta", dir.File("obs.dta"));
    test::PutEarlierFiles(folder, dir);
    const auto out = [&](std::size_t i, const char* name) { return dir.File(i < outputs.size() ? outputs[i] : name); };
    test::ScriptedInteraction ui;
    ToolStatus status;
    if (command == "Books")
        status = WriteObservationBooks({dir.File("obs.dta"), out(0, "goc.txt"), out(1, "canh.txt"),
                                        out(2, "goccanh.dta")},
                                       options, ComputationSettings{}, random, ui);
    else if (command == "DetailBook")
        status = WriteDetailBook(dir.File("obs.dta"), out(0, "sochitiet.txt"), ComputationSettings{}, ui);
    else if (command == "RandomErrors")
        status = AddRandomErrors(dir.File("obs.dta"), out(0, "moi.dta"), ComputationSettings{}, random, ui);
    else
        FAIL() << "unknown command " << command;
    EXPECT_EQ(status.Outcome, outcome);
    const fs::path dialogue = folder / "expected" / "dialogue.txt";
    EXPECT_EQ(test::Dialogue(ui.calls, dir.Path()),
              fs::exists(dialogue) ? test::ReadFileBytes(dialogue.string()) : std::string());
    EXPECT_TRUE(random.draws.empty()) << "draws left over";
    test::ExpectWrittenAsExpected(folder, dir);
}

INSTANTIATE_TEST_SUITE_P(Cases, SimulatedCase, testing::ValuesIn(test::WholeRunCaseNames("fielddata/simulated")),
                         [](const testing::TestParamInfo<std::string>& param) { return param.param; });

TEST(SimulatedReadings, CircleSettingsOffsetsAndPerSetValues) {
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(CircleSettingForSet(i, 4), 45.0 * i);
    ListedDraws random;
    EXPECT_EQ(RandomSignedOffset(0, random), 0);
    EXPECT_EQ(RandomSignedOffset(1, random), 0);  // neither draws
    random.draws = {7, 3, 8, 2};
    EXPECT_EQ(RandomSignedOffset(4, random), -3);
    EXPECT_EQ(RandomSignedOffset(4, random), 2);
    // Offsets +3" and +3" (sum 6"): the first loses round(6 x 1/2) = 3", the last makes the mean.
    random.draws = {0, 3, 2, 3};
    const std::vector<double> v = SplitMeanIntoReadings(2, 8, 10.0, random);
    ASSERT_EQ(v.size(), 2u);
    EXPECT_NEAR(v[0] * 3600, 36000.0, 1e-6);
    EXPECT_NEAR(v[1] * 3600, 36000.0, 1e-6);
    // A tolerance below 3" spreads nothing.
    random.draws.clear();
    for (double x : SplitMeanIntoReadings(3, 2, 45.5, random)) EXPECT_DOUBLE_EQ(x, 45.5);
}

TEST(DetailBook, NumbersNoSurveyGivesAreRefusedNamingFileAndLine) {
    test::TempDir dir;
    const std::string in = dir.File("ct.dta"), out = dir.File("so.txt");
    // (angle, distance) on line 2, after the station line; the message quotes the bad one.
    struct Row {
        const char* Angle;
        const char* Distance;
        const char* Quoted;  // nullptr: the row is written
    };
    for (const Row& row : {Row{"45.3015", "nan", "nan"}, Row{"45.3015", "inf", "inf"}, Row{"-inf", "25.5", "-inf"},
                           Row{"45.3015", "1e308", "1e308"}, Row{"1e300", "25.5", "1e300"},
                           Row{"45.3015", "-0.5", "-0.5"}, Row{"45.3015", "1000000.001", "1000000.001"},
                           Row{"45.3015", "1000000", nullptr}, Row{"45.3015", "0", nullptr},
                           Row{"abc", "x", nullptr}}) {
        SCOPED_TRACE(std::string(row.Angle) + " " + row.Distance);
        test::WriteFileBytes(in, std::string(",S1,S2,1.5\r\n1,") + row.Angle + "," + row.Distance + ",1.5\r\n");
        std::remove(out.c_str());
        test::ScriptedInteraction ui;
        const ToolStatus status = WriteDetailBook(in, out, ComputationSettings{}, ui);
        if (row.Quoted == nullptr) {
            EXPECT_EQ(status.Outcome, RunOutcome::Completed);
            EXPECT_TRUE(ui.calls.empty());
            continue;
        }
        EXPECT_EQ(status.Outcome, RunOutcome::ReadFailed);
        ASSERT_EQ(ui.calls.size(), 1u);
        EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text), "File " + in + ", dòng 2 : giá trị [" + row.Quoted + "] không hợp lệ");
        EXPECT_FALSE(fs::exists(out));
    }
    // A staff point above every station, and a file of CR-only line ends, are no detail records.
    for (const auto& [text, said] :
         {std::pair{"1,45.3015,25.5,1.5\r\n,S1,S2,1.5\r\n", ", dòng 1 : điểm mia đứng trước mọi dòng trạm máy"},
          std::pair{",S1,S2,1.5\r1,45.3015,25.5,1.5\r", ", dòng 1 : có dấu xuống dòng CR lẻ, không tách được dòng"}}) {
        test::WriteFileBytes(in, text);
        std::remove(out.c_str());
        test::ScriptedInteraction ui;
        EXPECT_EQ(WriteDetailBook(in, out, ComputationSettings{}, ui).Outcome, RunOutcome::ReadFailed);
        ASSERT_EQ(ui.calls.size(), 1u);
        EXPECT_EQ(Tcvn3ToUtf8(ui.calls[0].text), "File " + in + said);
        EXPECT_FALSE(fs::exists(out));
    }
    // In millimetres the limit is a million metres all the same.
    ComputationSettings mm;
    mm.MetresFlag = false;
    test::WriteFileBytes(in, ",S1,S2,1.5\r\n1,45.3015,2000000,1.5\r\n2,45.3015,1000000001,1.5\r\n");
    test::ScriptedInteraction ui;
    EXPECT_EQ(WriteDetailBook(in, out, mm, ui).Outcome, RunOutcome::ReadFailed);
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_NE(Tcvn3ToUtf8(ui.calls[0].text).find("dòng 3 "), std::string::npos);
}

// A NUL in a station's, a back-sight's or a staff point's name is a damaged line: refused with the
// file and the line, and the earlier book stays.
TEST(DetailBook, ANameHoldingANulIsRefusedNamingFileAndLine) {
    test::TempDir dir;
    const std::string in = dir.File("ct.dta"), out = dir.File("so.txt");
    using namespace std::string_literals;
    for (const auto& [text, line] : {std::pair{",S1,S2,1.5\r\n1,45.3015,25.5,1.5\r\n,S\0003,S1,1.5\r\n"s, 3},
                                     std::pair{"(90.0000),S1,S\0002,1.5\r\n"s, 1},
                                     std::pair{",S1,S2,1.5\r\n1,45.3015,25.5,1.5\r\nP\0002,90.0000,12.5,1.5\r\n"s, 3}}) {
        SCOPED_TRACE(line);
        test::WriteFileBytes(in, text);
        test::WriteFileBytes(out, "earlier book");
        test::ScriptedInteraction ui;
        EXPECT_EQ(WriteDetailBook(in, out, ComputationSettings{}, ui).Outcome, RunOutcome::ReadFailed);
        EXPECT_EQ(ui.Messages(), std::vector<std::string>{Vn("File ") + in + Vn(", dòng ") + std::to_string(line) +
                                                          Vn(" : tên điểm có ký tự NUL")});
        EXPECT_EQ(test::ReadFileBytes(out), "earlier book");
    }
}

using test::Cells;
using test::Seconds;
using test::WrappedDiff;

// Angles of whole seconds round the circle, 0 and 359 59 50 among them, and sides.
std::string ObservationText(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const long s = i == 0 ? 0 : i == 1 ? 1295990 : (i * 104729L) % 1296000;
        char line[160];
        std::snprintf(line, sizeof line, "P%d\tS%d\tF%d\t%ld.%02ld%02ld\r\nS%d\tF%d\t%d.%03d\r\n", i, i, i, s / 3600,
                      s % 3600 / 60, s % 60, i, i, 50 + i * 7, (i * 37) % 1000);
        text += line;
    }
    return text;
}

TEST(SimulatedBooks, EverySetAveragesToTheObservedAngleAndReadsConsistently) {
    test::TempDir dir;
    const int count = 40;
    test::WriteFileBytes(dir.File("obs.dta"), ObservationText(count));
    FieldBookOptions options;
    options.AngleSets = 4;
    options.HalfSetTolerance = 12;
    options.TwoCVariation = 20;
    SeededRandom random(20240611);
    test::ScriptedInteraction ui;
    ASSERT_EQ(WriteObservationBooks({dir.File("obs.dta"), dir.File("g.txt"), dir.File("c.txt"), dir.File("l.dta")},
                                    options, ComputationSettings{}, random, ui)
                  .Outcome,
              RunOutcome::Completed);
    PointNameTable names;
    Observations obs;
    ReadErrorRecord error;
    ASSERT_TRUE(ReadObservations(dir.File("obs.dta"), ComputationSettings{}, names, obs, error, ui));

    const std::vector<std::string> book = test::BookLines(dir.File("g.txt"));
    // A book that was not written fails here rather than reading past the end.
    ASSERT_GT(book.size(), 6u) << "angle book g.txt";
    EXPECT_NE(book[6].find("Số liệu mô phỏng"), std::string::npos);
    int angle = 0;
    double setSum = 0;
    int set = 0;
    double back = 0;
    for (std::size_t i = 0; i + 1 < book.size(); ++i) {
        const std::vector<std::string> b = Cells(book[i]);
        if (!test::OpensReading(b)) continue;
        const std::vector<std::string> f = Cells(book[i + 1]);
        ASSERT_EQ(f.size(), 9u) << book[i + 1];
        if (set == 0) ++angle;
        ASSERT_LE(angle, obs.Angles.Count()) << book[i];
        const double observed = obs.Angles.Values[angle] * 3600;
        ++set;
        // Circle settings 0, 45, 90, 135; face right 180 from face left but for the 2C; the half-set
        // value between them.
        EXPECT_EQ(Seconds(b[2]), (set - 1) * 45 * 3600.0) << book[i];
        for (const auto* row : {&b, &f}) {
            const double left = Seconds((*row)[2]);
            const double right = Seconds((*row)[3]);
            const double twoC = WrappedDiff(left, right + 648000);
            EXPECT_DOUBLE_EQ(std::stod((*row)[4]), twoC);
            EXPECT_NEAR(WrappedDiff(Seconds((*row)[5]), left), -twoC / 2, 1e-6);
        }
        back = Seconds(b[5]);
        const double setAngle = Seconds(f[6]);
        EXPECT_NEAR(WrappedDiff(setAngle, Seconds(f[5]) - back), 0, 1e-6);
        EXPECT_LE(std::fabs(WrappedDiff(setAngle, observed)), 11.0) << book[i + 1];
        setSum += WrappedDiff(setAngle, observed);
        if (set == options.AngleSets) {
            EXPECT_LE(std::fabs(setSum / set), 0.5) << "angle " << angle;
            EXPECT_LE(std::fabs(WrappedDiff(Seconds(f[7]), observed)), 0.55) << book[i + 1];
            set = 0;
            setSum = 0;
        }
        ++i;
    }
    EXPECT_EQ(angle, count);

    std::istringstream canh(test::ReadFileBytes(dir.File("c.txt")));
    int side = 0;
    for (std::string line; std::getline(canh, line);) {
        const std::vector<std::string> c = Cells(line.substr(line.find('|') == std::string::npos ? 0 : line.find('|')));
        if (c.size() != 7 || c[0].find("STT") != std::string::npos) continue;
        ASSERT_LT(side, obs.Sides.Count()) << line;
        const double d = obs.Sides.Lengths[++side];
        const double m1 = std::stod(c[3]), m2 = std::stod(c[4]);
        EXPECT_LE(std::fabs(m1 - d), 0.0020001);
        EXPECT_LE(std::fabs(m1 + m2 - 2 * d), 0.0010001);
        EXPECT_NEAR(std::stod(c[5]), m1 - m2, 1e-9);
        EXPECT_LE(std::fabs(std::stod(c[6]) - d), 0.0010001);  // half a millimetre rounds either way
    }
    EXPECT_EQ(side, count);
}

TEST(SimulatedBooks, RandomErrorsStayWithinTenMillimetresAndThirtySeconds) {
    test::TempDir dir;
    const int count = 200;
    test::WriteFileBytes(dir.File("obs.dta"), ObservationText(count));
    SeededRandom random(7);
    test::ScriptedInteraction ui;
    ASSERT_EQ(AddRandomErrors(dir.File("obs.dta"), dir.File("moi.dta"), ComputationSettings{}, random, ui).Outcome,
              RunOutcome::Completed);
    PointNameTable names;
    Observations before, after;
    ReadErrorRecord error;
    ASSERT_TRUE(ReadObservations(dir.File("obs.dta"), ComputationSettings{}, names, before, error, ui));
    ASSERT_TRUE(ReadObservations(dir.File("moi.dta"), ComputationSettings{}, names, after, error, ui));
    ASSERT_EQ(after.Sides.Count(), count);
    ASSERT_EQ(after.Angles.Count(), count);
    double largestSide = 0, largestAngle = 0;
    for (int i = 1; i <= count; ++i) {
        EXPECT_EQ(after.Sides.FromIds[i], before.Sides.FromIds[i]);
        const double ds = std::fabs(after.Sides.Lengths[i] - before.Sides.Lengths[i]);
        EXPECT_LE(ds, 0.0100001);
        largestSide = std::max(largestSide, ds);
        EXPECT_TRUE(after.Angles.Values[i] >= 0 && after.Angles.Values[i] < 360) << after.Angles.Values[i];
        const double da = std::fabs(WrappedDiff(after.Angles.Values[i] * 3600, before.Angles.Values[i] * 3600));
        EXPECT_LE(da, 30.0 + 1e-6);
        largestAngle = std::max(largestAngle, da);
    }
    // The draws reach the ends of their ranges.
    EXPECT_GT(largestSide, 0.0089);
    EXPECT_GT(largestAngle, 26.9);
}

}  // namespace
}  // namespace qef
