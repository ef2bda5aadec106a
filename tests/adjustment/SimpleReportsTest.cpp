#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adjustment/ClosureChecks.h"
#include "adjustment/SimpleReports.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

std::string Golden(const std::string& name) {
    return test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/simple_reports/" + name);
}

// The values that the adjustment would leave in a group laid out by hand.
struct FilledGroup : test::HandGroup {
    using HandGroup::HandGroup;

    // Angle (or -1 for none), azimuth and side of the side leaving it, X, Y at position p.
    void Position(int p, double angle, double azimuth, double side, double x, double y) {
        ws.PositionAngles[p] = angle < 0 ? 0.0 : angle;
        ws.PositionAzimuths[p] = azimuth;
        ws.PositionSides[p] = side;
        ws.PositionX[p] = x;
        ws.PositionY[p] = y;
    }
    void Closure(int b, int angles, int sides, double fbSeconds, double fx, double fy, double fs, double length) {
        ws.BranchAngleCounts[b] = angles;
        ws.BranchSideCounts[b] = sides;
        ws.ClosureFb[b] = fbSeconds / 3600.0;
        ws.ClosureFx[b] = fx;
        ws.ClosureFy[b] = fy;
        ws.ClosureFs[b] = fs;
        ws.BranchLengthSums[b] = length;
    }
};

// Two branches of 6 and 4 points that share a page: a fitted one between two known directions
// and one from an unknown node to a known direction.
FilledGroup FirstGroup() {
    FilledGroup g({{"A", "P1", "P2", "P3", "P4", "B"}, {"N1", "Q1", "Q2", "C"}}, 1);
    GroupWorkingSet& ws = g.ws;
    ws.BranchTypes[1] = BranchKind::BothEnds;
    ws.StartRefPoints[1] = g.Id("K1");
    ws.StartRefX[1] = 1000.0;
    ws.StartRefY[1] = 2000.0;
    ws.EndRefPoints[1] = g.Id("K2");
    ws.EndRefX[1] = 1500.5;
    ws.EndRefY[1] = 2600.25;
    ws.BranchStartAzimuths[1] = 45.5;
    ws.BranchEndAzimuths[1] = 120.25;
    g.Position(1, 180.0, 45.5, 100.123, 1100.0, 2100.0);
    g.Position(2, 175.5125, 41.0125, 85.5, 1170.789, 2171.456);
    g.Position(3, 90.0, 311.0125, 120.0, 1235.321, 2227.654);
    g.Position(4, 270.25, 41.2625, 95.432, 1314.5, 2137.25);
    g.Position(5, 185.0, 46.2625, 110.001, 1386.123, 2200.1);
    g.Position(6, 10.125, 0.0, 0.0, 1462.456, 2279.999);
    g.Closure(1, 6, 5, 12.5, 0.012, -0.034, 0.036, 511.056);

    ws.BranchTypes[2] = BranchKind::EndOnly;
    ws.StartNodeOf[2] = 1;
    ws.StartUnknownNodeOf[2] = 1;
    ws.EndRefPoints[2] = g.Id("K3");
    ws.EndRefX[2] = 900.0;
    ws.EndRefY[2] = 2500.0;
    ws.BranchEndAzimuths[2] = 200.0;
    g.Position(7, -1, 130.0, 50.25, 1235.0, 2300.0);
    g.Position(8, 160.0, 110.0, 60.0, 1202.7, 2338.49);
    g.Position(9, 200.5, 130.5, 70.125, 1182.179, 2394.871);
    g.Position(10, 100.75, 0.0, 0.0, 1136.635, 2448.193);
    g.Closure(2, 3, 3, -3.2, 0.0003, 0.0002, 0.0004, 180.375);
    return g;
}

// One branch of two points ending at a known side-only point: no angular closure.
FilledGroup SecondGroup() {
    FilledGroup g({std::vector<std::string>{"D", "E"}});
    GroupWorkingSet& ws = g.ws;
    ws.BranchTypes[1] = BranchKind::StartOnly;
    ws.NoAngleClosure[1] = 1;
    ws.StartRefPoints[1] = g.Id("K1");
    ws.StartRefX[1] = 1000.0;
    ws.StartRefY[1] = 2000.0;
    ws.BranchStartAzimuths[1] = 225.5;
    g.Position(1, 75.0, 120.5, 250.5, 1100.0, 2100.0);
    g.Position(2, -1, 0.0, 0.0, 972.881, 2315.848);
    g.Closure(1, 1, 1, 0.0, 0.015, 0.02, 0.025, 250.5);
    return g;
}

TEST(SimpleReports, ReportDhFileAndClosureRowsOfTwoGroupsMatchHandLayout) {
    test::TempDir dir;
    ComputationSettings settings;
    settings.KeepAccents = false;
    RunRecord run;
    test::RecordingProgress progress;
    test::ScriptedInteraction ui;

    // Each group's report, dh angles and closure rows, as the adjustment writes them.
    FilledGroup first = FirstGroup();
    FilledGroup second = SecondGroup();
    test::WriteFileBytes(dir.File("kq.in"), "left from an earlier run\r\n");
    for (FilledGroup* g : {&first, &second}) {
        ComputeClosureFigures(g->ws);
        ASSERT_TRUE(WriteSimpleResultsText(dir.File("kq.in"), g->ws, g->model, settings, run, progress, ui));
        ASSERT_TRUE(AppendDhAngles(run.Files, dir.File("kq.dh"), g->ws, g->model, ui));
        WriteClosureSummary(g->ws, g->model, run);
        run.RunBranchTotal += g->ws.Nb;  // as the adjustment counts them
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dh")), Golden("network.dh"));
    ASSERT_TRUE(run.ClosureTable.SaveTo(dir.File("kq.in7")));
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in7")), Golden("closure_rows.in7"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in")), Golden("report.in"));
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_FALSE(run.MainReportFresh);

    // The log repeats each branch's closures in a layout of its own (5 lines and a blank each): a
    // closure ratio, closures below a millimetre, a branch without angular closure.
    const std::vector<std::string>& log = run.ProgressLog.Lines();
    ASSERT_EQ(log.size(), 21u);
    EXPECT_EQ(log[0], "Nhanh so 1 : ");
    EXPECT_EQ(log[5], "                         Fs = 0.036(m)       Fs/[S] = 1 / 14196");
    EXPECT_EQ(log[11], "     Khep toa do :       Fx = 0.000(m)       Fy = 0.000(m)");
    EXPECT_EQ(log[12], "                         Fs = 0");
    EXPECT_EQ(log[17], "     Khep phuong vi :    Khong tinh");
    EXPECT_EQ(progress.LastText(MonitorLabel::Accuracy), "D  E  ");
}

TEST(SimpleReports, DhAngleIsPackedDegreesMinutesSeconds) {
    EXPECT_EQ(DhAngleText(123.0 + 45.0 / 60.0 + 6.7 / 3600.0), "123.4507");
    EXPECT_EQ(DhAngleText(7.0 / 3600.0), "0.0007");
    EXPECT_EQ(DhAngleText(359.0 + 59.0 / 60.0 + 59.96 / 3600.0), "360.0000");
}

TEST(SimpleReports, UnwritableReportIsReportedNotIgnored) {
    test::TempDir dir;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord run;
    FilledGroup g = SecondGroup();
    const ComputationSettings settings;
    EXPECT_FALSE(WriteSimpleResultsText(dir.File("missing-folder/kq.in"), g.ws, g.model, settings, run, progress, ui));
    EXPECT_EQ(ui.Messages().size(), 1u);
}

}  // namespace
}  // namespace qef
