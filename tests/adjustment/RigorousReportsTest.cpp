#include <gtest/gtest.h>

#include <array>
#include <string>

#include "adjustment/Rigorous.h"
#include "adjustment/RigorousFixture.h"
#include "adjustment/RigorousReports.h"
#include "core/NumberFormat.h"
#include "core/Numbers.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::SyntheticGroup;

std::string Expected(const std::string& name) { return test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/rigorous/" + name); }

// The two groups whose tables tests/data/rigorous/make_expected.py works out independently.
SyntheticGroup FirstGroup() {
    SyntheticGroup g;
    g.AddPoint("A", 2000, 1000, true);
    g.AddPoint("B", 1500, 1000, true);
    g.AddPoint("P1", 1420, 1310);
    g.AddPoint("P2", 1530, 1650);
    g.AddPoint("C", 1480, 2000, true);
    g.AddPoint("D", 1900, 2200, true);
    g.AddBranch({"B", "P1", "P2", "C"}, 1, "A", "D");
    g.Observe(31, 6.0, 0.012);
    return g;
}

SyntheticGroup SecondGroup() {
    SyntheticGroup g;
    g.AddPoint("T1", 2900, 100, true);
    g.AddPoint("S1", 2500, 200, true);
    g.AddPoint("1a", 2300, 550);
    g.AddPoint("1b", 2050, 900);
    g.AddPoint("1c", 1800, 1250);
    g.AddPoint("N", 1500, 1500);
    g.AddPoint("T2", 300, 0, true);
    g.AddPoint("S2", 600, 300, true);
    g.AddPoint("2a", 900, 700);
    g.AddPoint("2b", 1200, 1150);
    g.AddPoint("3a", 1450, 1900);
    g.AddPoint("3b", 1600, 2300);
    g.AddPoint("3c", 1500, 2700);
    g.AddPoint("S3", 1550, 3100, true);
    g.AddPoint("T3", 1900, 3400, true);
    g.AddBranch({"S1", "1a", "1b", "1c", "N"}, 2, "T1");
    g.AddBranch({"S2", "2a", "2b", "N"}, 1, "T2", "1c");
    g.AddBranch({"N", "3a", "3b", "3c", "S3"}, 1, "1c", "T3");
    g.AddNode("N", false, 1);
    g.Observe(39, 6.0, 0.012);
    return g;
}

TEST(RigorousReports, TwoGroupsMatchIndependentTables) {
    test::TempDir dir;
    ComputationSettings settings;
    settings.KeepAccents = false;
    settings.WeightMode = 0;
    RunRecord run;
    RigorousRunState state;
    test::ScriptedInteraction ui;
    test::RecordingProgress monitor;
    const RigorousContext context{settings, run, state, ui, monitor, nullptr};
    const std::array<std::string, 4> names = {dir.File("r.in1"), dir.File("r.in3"), dir.File("r.in4"),
                                              dir.File("r.in5")};
    int group = 0;
    for (const SyntheticGroup& g : {FirstGroup(), SecondGroup()}) {
        NetworkModel model;
        GroupWorkingSet ws;
        g.Build(model, ws, 0.04, 6.0 / 3600.0, 0.012);
        ws.RigorousReportNames = names;
        ws.ResultFileName = dir.File("r.txt");
        // Known points of the run; one without Y is left out of the table.
        PointList known;
        if (++group == 1) {
            for (const char* p : {"A", "B", "C", "D"}) known.Add(model.PointNames.Find(p), g.P(p).X, g.P(p).Y);
            known.Add(model.PointNames.Register("E"), 100.0, kMissingValue);
        }
        ASSERT_EQ(RigorousAdjustGroup(ws, model, known, context), RigorousStatus::Adjusted) << "group " << group;
    }
    EXPECT_EQ(test::ReadFileBytes(names[0]), Expected("coords.txt"));
    EXPECT_EQ(test::ReadFileBytes(names[1]), Expected("angles.txt"));
    EXPECT_EQ(test::ReadFileBytes(names[2]), Expected("distances.txt"));
    EXPECT_EQ(test::ReadFileBytes(names[3]), Expected("sides.txt"));

    // The run's extremes over both groups (values of the independent tables).
    const RigorousRunExtremes& e = state.Extremes;
    EXPECT_EQ(e.WeakestPointName, "P2");
    EXPECT_NEAR(e.WeakestPointMp, 0.0080281, 1e-6);
    EXPECT_EQ(e.WeakestSideRatio, 45735.0);
    EXPECT_EQ(e.WeakestSideMs, 0.007);
    EXPECT_EQ(e.WeakestSideFrom + ">" + e.WeakestSideTo, "B>P1");
    EXPECT_EQ(e.LargestAzimuthError, 2.49);
    EXPECT_EQ(e.LargestAzimuthFrom + ">" + e.LargestAzimuthTo, "B>P1");

    // Result file: interior points of group 1, then node N and the interior points of group 2.
    const std::string result = test::ReadFileBytes(dir.File("r.txt"));
    EXPECT_EQ(result.substr(0, 25), "P1\t1419.998\t1309.989\r\nP2\t");
    EXPECT_NE(result.find("\r\nN\t1500.013\t1500.002\r\n1a\t2300.007\t550.001\r\n"), std::string::npos);

    // The summary of the second group closes the log.
    const auto& log = run.ProgressLog.Lines();
    ASSERT_GE(log.size(), 6u);
    EXPECT_EQ(log[log.size() - 6], "     sstp do canh chon truoc binh sai Ms = 0.012");
    EXPECT_EQ(log[log.size() - 5], "     sstptsdv truoc binh sai = 6");
    EXPECT_EQ(log[log.size() - 4], "     sstptsdv sau binh sai = 1.94");
    EXPECT_EQ(log[log.size() - 2], std::string(66, '-'));
}

TEST(RigorousReports, SmallCorrectionsAndBranchEnds) {
    // Zero only where the printed value would be zero: no "-0.00".
    EXPECT_EQ(ZeroIfTiny(2, 0.004), 0.0);
    EXPECT_EQ(ZeroIfTiny(2, -0.004), 0.0);
    EXPECT_EQ(ZeroIfTiny(2, 0.04), 0.04);
    EXPECT_EQ(ZeroIfTiny(3, 0.0004), 0.0);
    EXPECT_EQ(FormatFixed(ZeroIfTiny(2, -0.004), 6, 2), "  0.00");

    // A branch between two nodes without connecting angles (kind 4) lists its interior angles only.
    test::TempDir dir;
    SyntheticGroup g;
    g.AddPoint("K1", 0, 0, true);
    g.AddPoint("u", 100, 50);
    g.AddPoint("v", 200, 0);
    g.AddPoint("K2", 300, 40, true);
    g.AddBranch({"K1", "u", "v", "K2"}, 4);
    g.Observe(3, 0.0, 0.0);
    NetworkModel model;
    GroupWorkingSet ws;
    g.Build(model, ws, 0.0, 0.0, 0.0);
    ws.RigorousReportNames[1] = dir.File("a");
    RigorousSolution sol;
    sol.AngleCorrections = OneBased<double>(6);
    sol.AngleCorrections[2] = -0.004;
    sol.AngleCorrections[3] = -1.25;
    ASSERT_TRUE(WriteRigorousAngleTable(ws, model, sol));
    const std::string text = test::ReadFileBytes(dir.File("a"));
    const std::string u = FormatDms(1, " ", g.TrueAngle("K1", "u", "v"));
    EXPECT_EQ(text, "         | K1         | u          | v          | " + u + " |   0.00 | " +
                        FormatDms(2, " ", g.TrueAngle("K1", "u", "v") - 0.004 / 3600.0) + " |\r\n" +
                        "         | u          | v          | K2         | " + FormatDms(1, " ", g.TrueAngle("u", "v", "K2")) +
                        " |  -1.25 | " + FormatDms(2, " ", g.TrueAngle("u", "v", "K2") - 1.25 / 3600.0) + " |\r\n");
}

}  // namespace
}  // namespace qef
