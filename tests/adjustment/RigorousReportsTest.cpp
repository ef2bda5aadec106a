#include <gtest/gtest.h>

#include <string>

#include "adjustment/Rigorous.h"
#include "adjustment/RigorousFixture.h"
#include "adjustment/RigorousAccuracy.h"
#include "adjustment/RigorousReports.h"
#include "adjustment/SimpleReports.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::SyntheticGroup;

std::string Expected(const std::string& name) { return test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/rigorous/" + name); }

// The two groups whose tables tests/data/rigorous/make_expected.py works out independently.
SyntheticGroup FirstGroup() {
    SyntheticGroup g;
    g.AddPoints({{"A", 2000, 1000, true}, {"B", 1500, 1000, true}, {"P1", 1420, 1310}, {"P2", 1530, 1650},
                 {"C", 1480, 2000, true}, {"D", 1900, 2200, true}});
    g.AddBranch({"B", "P1", "P2", "C"}, BranchKind::BothEnds, "A", "D");
    g.Observe(31, 6.0, 0.012);
    return g;
}

SyntheticGroup SecondGroup() {
    SyntheticGroup g = test::NodeNetwork();
    g.Observe(39, 6.0, 0.012);
    return g;
}

TEST(RigorousReports, TwoGroupsMatchIndependentTables) {
    test::TempDir dir;
    ComputationSettings settings;
    settings.KeepAccents = false;
    settings.WeightMode = WeightMode::Estimated;
    RunRecord run;
    RigorousRunState state;
    test::ScriptedInteraction ui;
    test::RecordingProgress monitor;
    const RigorousContext context{settings, run, state, ui, monitor};
    ReportSet reports;
    reports.Rigorous1 = dir.File("r.in1");
    reports.Rigorous3 = dir.File("r.in3");
    reports.Rigorous4 = dir.File("r.in4");
    reports.Rigorous5 = dir.File("r.in5");
    const std::string resultFile = dir.File("r.txt");
    int group = 0;
    for (const SyntheticGroup& g : {FirstGroup(), SecondGroup()}) {
        NetworkModel model;
        GroupWorkingSet ws;
        g.Build(model, ws, 0.04, 6.0 / 3600.0, 0.012);
        // Known points of the run; one without Y is left out of the table.
        PointList known;
        if (++group == 1) {
            for (const char* p : {"A", "B", "C", "D"}) known.Add(model.PointNames.Find(p), g.P(p).X, g.P(p).Y);
            known.Add(model.PointNames.Register("E"), 100.0, kMissingValue);
        }
        const RigorousGroupResult adjusted = RigorousAdjustGroup(ws, model, context);
        ASSERT_EQ(adjusted.Status, RigorousStatus::Adjusted) << "group " << group;
        // Each group's output, as the run writes it.
        const RigorousSolution& sol = adjusted.Solution;
        ASSERT_TRUE(WriteRigorousCoordTable(reports, ws, model, known, sol, settings, state.ReportFresh, run.Files));
        ASSERT_TRUE(WriteRigorousSideTable(reports.Rigorous5, ws, model, sol, run.Files));
        WriteRigorousSummary(run.ProgressLog, settings, sol);
        ASSERT_TRUE(AppendGroupResultPoints(run.Files, resultFile, ws, model, settings.MetresFlag));
        ASSERT_TRUE(WriteRigorousDistanceTable(reports.Rigorous4, ws, model, sol, run.Files));
        ASSERT_TRUE(WriteRigorousAngleTable(reports.Rigorous3, ws, model, sol, run.Files));
    }
    ASSERT_EQ(run.Files.Close(), nullptr);
    EXPECT_EQ(test::ReadFileBytes(reports.Rigorous1), Expected("coords.txt"));
    EXPECT_EQ(test::ReadFileBytes(reports.Rigorous3), Expected("angles.txt"));
    EXPECT_EQ(test::ReadFileBytes(reports.Rigorous4), Expected("distances.txt"));
    EXPECT_EQ(test::ReadFileBytes(reports.Rigorous5), Expected("sides.txt"));

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
    const std::string result = test::ReadFileBytes(resultFile);
    EXPECT_EQ(result.substr(0, 25), "P1\t1419.998\t1309.989\r\nP2\t");
    EXPECT_NE(result.find("\r\nN\t1500.013\t1500.002\r\n1a\t2300.007\t550.001\r\n"), std::string::npos);

    // The summary of the second group closes the log, with the passes it took.
    const auto& log = run.ProgressLog.Lines();
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ(log[log.size() - 7], "     sstp do canh chon truoc binh sai Ms = 0.012");
    EXPECT_EQ(log[log.size() - 6], "     sstptsdv truoc binh sai = 6");
    EXPECT_EQ(log[log.size() - 5], "     sstptsdv sau binh sai = 1.94");
    EXPECT_EQ(log[log.size() - 3].rfind("     so lan lap = ", 0), 0u);
    EXPECT_EQ(log[log.size() - 2], std::string(66, '-'));
}

TEST(RigorousReports, SmallCorrectionsPrintAsZeroNotMinusZero) {
    // Zero only where the printed value would be zero.
    EXPECT_EQ(ZeroIfTiny(2, 0.004), 0.0);
    EXPECT_EQ(ZeroIfTiny(2, -0.004), 0.0);
    EXPECT_EQ(ZeroIfTiny(2, 0.04), 0.04);
    EXPECT_EQ(ZeroIfTiny(3, 0.0004), 0.0);
    EXPECT_EQ(FormatFixed(ZeroIfTiny(2, -0.004), 6, 2), "  0.00");
}

}  // namespace
}  // namespace qef
