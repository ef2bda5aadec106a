#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../drawing/RecordingDrawing.h"
#include "core/grid/ZeroOrientation.h"
#include "core/text/VnCodec.h"
#include "core/tools/Calculator.h"
#include "core/tools/CoordinateTools.h"
#include "core/tools/FileTools.h"
#include "core/tools/ObservationTools.h"
#include "drawing/CoordinateUpload.h"
#include "support/Fakes.h"

namespace qef {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> names, SortOrder order) {
    PointRecords p;
    for (const std::string& n : names) {
        p.Names.PushBack(n);
        p.X.PushBack(0.0);
        p.Y.PushBack(0.0);
    }
    SortPointsByName(p, order);
    std::vector<std::string> out;
    for (int i = 1; i <= p.Count(); ++i) out.push_back(p.Names[i]);
    return out;
}

TEST(PointNameOrder, NumbersByValueThenTextsCaseBlind) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Sorted({"10", "9", "A", "2"}, SortOrder::Ascending), (V{"2", "9", "10", "A"}));
    EXPECT_EQ(Sorted({"10", "9", "A", "2"}, SortOrder::Descending), (V{"A", "10", "9", "2"}));
    // Equal names case-blind keep the file's order.
    EXPECT_EQ(Sorted({"B", "a", "A", "P10", "P9"}, SortOrder::Ascending), (V{"a", "A", "B", "P10", "P9"}));
    EXPECT_EQ(ComparePointNames("10", "10.0"), 0);
    EXPECT_EQ(ComparePointNames("1e3", "999"), 1);
}

TEST(AngleDifference, WrapsIntoHalfOpenHalfTurn) {
    EXPECT_NEAR(WrappedAngleDifference(0.0, 359.9), 0.1, 1e-9);
    EXPECT_NEAR(WrappedAngleDifference(359.9, 0.0), -0.1, 1e-9);
    EXPECT_DOUBLE_EQ(WrappedAngleDifference(190.0, 10.0), 180.0);
    EXPECT_DOUBLE_EQ(WrappedAngleDifference(10.0, 190.0), 180.0);
}

CalculatorResult Calc(CalculatorMethod m, CalculatorInput in) { return Calculate(m, in); }

TEST(Calculator, AzimuthAndPolarPointsAgainstHandValues) {
    using M = CalculatorMethod;
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "0", "100", "", ""}).First, "90 00 00.0");
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "0", "-100", "", ""}).First, "270 00 00.0");
    // tan(a) = 100 / 200: 26 degrees 33' 54.18".
    EXPECT_EQ(Calc(M::Azimuth, {"1000", "500", "1200", "600", "", ""}).First, "26 33 54.2");
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "-100", "-100", "", ""}).First, "225 00 00.0");
    // 1e-7 m west over 100 m north is 0.0002" short of a full turn: north, shown as 0.
    EXPECT_EQ(Calc(M::Azimuth, {"100", "0", "200", "-0.0000001", "", ""}).First, "0 00 00.0");

    CalculatorResult r = Calc(M::FromAzimuth, {"100", "200", "", "", "90.0000", "10"});
    EXPECT_EQ(r.First, "100.000");
    EXPECT_EQ(r.Second, "210.000");
    // Azimuth 0 to point 2, plus 30 30': cos 30.5 = 0.8616292, sin 30.5 = 0.5075384, side 100.
    r = Calc(M::FromTwoPoints, {"0", "0", "10", "0", "30.3000", "100"});
    EXPECT_EQ(r.First, "86.163");
    EXPECT_EQ(r.Second, "50.754");
    // Azimuth 45 plus 315: north again.
    r = Calc(M::FromTwoPoints, {"1000", "2000", "1100", "2100", "315.0000", "25"});
    EXPECT_EQ(r.First, "1025.000");
    EXPECT_EQ(r.Second, "2000.000");

    EXPECT_EQ(Calc(M::FromTwoPoints, {"0", "0", "10", "0", "30.3000", ""}).Outcome, CalculatorOutcome::Incomplete);
    EXPECT_EQ(Calc(M::Azimuth, {"5", "5", "5", "5", "", ""}).Outcome, CalculatorOutcome::CoincidentPoints);
    EXPECT_EQ(Calc(M::FromTwoPoints, {"5", "5", "5", "5", "1", "1"}).Outcome, CalculatorOutcome::CoincidentPoints);
    // Point 2 is not needed from an azimuth.
    EXPECT_EQ(Calc(M::FromAzimuth, {"5", "5", "", "", "1", "1"}).Outcome, CalculatorOutcome::Computed);
}

TEST(ZeroOrientation, EveryStationRowSetsTheOrientation) {
    GridDocument grid;
    const std::vector<std::vector<std::string>> rows = {
        {"(10.0000)", "GPS03", "GPS04"}, {"1", "5.0000"}, {"2", "15.3030"}, {"", "GPS02", "GPS01"},
        {"3", "5.0000"},                 {"(0.3000)", "A", "B"}, {"4", "0.15155"}, {"(x)", "C", "D"}, {"5", "1.0000"},
        {"(10.00001)", "E", "F"},        {"6", "10.0000"}};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) grid.SetCell(r + 1, c, rows[r][c]);
    grid.SetDataRowCount(static_cast<int>(rows.size()));

    const ZeroOrientationResult result = ReduceToZeroOrientation(grid, true, true);
    std::vector<std::string> edits;
    for (const CellEdit& e : result.Edits)
        edits.push_back(std::to_string(e.Row) + "," + std::to_string(e.Column) + "=" + e.Text);
    // 5 - 10 + 360 = 355; 15 30' 30" - 10 = 5 30' 30"; after the plain station row nothing
    // changes; 0 15' 15.5" - 0 30' = 359 45' 15.5". A bad orientation resets and is reported.
    // 10 00' 00" - 10 00' 00.1" is 359 59' 59.9", a full turn to whole seconds: 0.
    EXPECT_EQ(edits, (std::vector<std::string>{"1,0=", "2,1=355.0000", "3,1=5.3030", "6,0=", "7,1=359.45155",
                                                   "10,0=", "11,1=0.0000"}));
    EXPECT_EQ(result.BadRows, std::vector<int>{8});
}

TEST(CoordinateUpload, DrawsOnlyThePointLinesRead) {
    const std::string dir = testing::TempDir() + "/upload";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/td.dta") << "P1 100 200\nheader\nP2,300,400,12.5\nP3 x 1\nLONGPOINTNAME017 5 6\nP4 1e308 1\n";
    ComputationSettings settings;
    settings.AcadUploadFlags = 1;
    test::RecordingDrawing drawing;
    test::RecordingProgress monitor;
    test::ScriptedInteraction ui;
    const ToolStatus status = UploadCoordinateFile(dir + "/td.dta", settings, monitor, ui, &drawing);
    EXPECT_EQ(status.Written, 3);
    EXPECT_EQ(status.Skipped, 3);
    // Drawing x is the survey Y.
    const auto points = std::count_if(drawing.calls.begin(), drawing.calls.end(),
                                      [](const std::string& c) { return c.rfind("point ", 0) == 0; });
    EXPECT_EQ(points, 3);
    // A name is cut to 15 characters, and the user hears of it; 1e308 is no
    // coordinate: its line is counted with the others left out.
    EXPECT_NE(std::find(drawing.calls.begin(), drawing.calls.end(), "text sohieudiem ' LONGPOINTNAME01' 6 5 0 h2"),
              drawing.calls.end());
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{
                                 "File " + dir + "/td.dta" + Vn(" : 1 tên điểm dài quá 15 ký tự bị cắt : ") +
                                     "LONGPOINTNAME017 -> LONGPOINTNAME01",
                                 Vn("Có 3 dòng số liệu không phù hợp, không đưa vào bản vẽ")}));
    EXPECT_NE(std::find(drawing.calls.begin(), drawing.calls.end(), "point toadodiem 400 300 0"), drawing.calls.end());
}

TEST(FileTools, NothingIsWrittenOverAnInputOrAfterAReadError) {
    const std::string dir = testing::TempDir() + "/guards";
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/in.txt") << "A B 1 2 3 4\n";
    std::ofstream(dir + "/bad.txt") << "P1 100 200\nP2 1x 2\n";
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    EXPECT_EQ(TrigToGeometricHeights(dir + "/in.txt", dir + "/./in.txt", settings, ui).Outcome,
              RunOutcome::NameCollision);
    EXPECT_EQ(SortPointFile(PointFileKind::XY, dir + "/bad.txt", dir + "/out.txt", SortOrder::Ascending, settings, ui)
                  .Outcome,
              RunOutcome::ReadFailed);
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.txt"));
    ui.texts.push_back(std::nullopt);
    EXPECT_EQ(CoordinatesToCommaForm(dir + "/bad.txt", dir + "/out.txt", settings, ui).Outcome, RunOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir + "/out.txt"));
    EXPECT_EQ(StartNumberOf(" 7.6"), 8);
    EXPECT_EQ(StartNumberOf("abc"), 0);
}

}  // namespace
}  // namespace qef
