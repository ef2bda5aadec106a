#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adjustment/SideReduction.h"
#include "adjustment/SimpleReports.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

TEST(SideReduction, ReducedSidesMatchThePublishedChecks) {
    // 1000 m at 637.1 m loses 0.100 m; 63710 m off the axis adds 0.050 m.
    ComputationSettings s;
    s.HeightReduction = true;
    s.MeanAreaHeight = 637.1;
    SideReductionRow row = ReduceSide(s, 1000.0, HeightCorrection(s, 1000.0, 0.0), 0.0, 0.0);
    EXPECT_DOUBLE_EQ(row.Vh, -0.1);
    EXPECT_DOUBLE_EQ(row.Vp, 0.0);
    EXPECT_DOUBLE_EQ(row.Reduced, 999.9);

    s.HeightReduction = false;
    s.ProjectionReduction = true;
    s.ProjectionIsUtm = false;
    s.ProjectionScale = 1.0;
    row = ReduceSide(s, 1000.0, 0.0, 563710.0, 563710.0);
    EXPECT_DOUBLE_EQ(row.Vp, 0.05);
    EXPECT_DOUBLE_EQ(row.Reduced, 1000.05);
}

TEST(SideReduction, SideWithAnEndWithoutHeightIsNotCorrected) {
    NetworkModel model;
    test::AddNamedBranch(model, {"T1", "T2", "T3"});
    test::AddNamedBranch(model, {"T3", "T4", "T5"});
    // T2 is listed twice: the first height counts. T3 and T5 have none.
    for (auto [id, h] : {std::pair{1, 10.0}, {2, 30.0}, {2, 99.0}, {4, 50.0}}) {
        model.HeightPointIds.PushBack(id);
        model.PointHeights.PushBack(h);
    }
    const PointHeightIndex index(model.HeightPointIds, model.PointHeights);
    OneBased<double> means;
    const std::vector<int> missing = ComputeSideMeanHeights(model.Branches, index, means, 2);
    EXPECT_EQ(missing, (std::vector<int>{3, 5}));
    EXPECT_DOUBLE_EQ(means[1], 20.0);
    EXPECT_TRUE(IsMissing(means[2]));  // T2-T3: not T2's height again
    EXPECT_TRUE(IsMissing(means[4]));  // T3-T4: not a height left from the other branch
    EXPECT_TRUE(IsMissing(means[5]));

    ComputationSettings s;
    s.HeightReduction = true;
    s.HeightReductionMode = ReductionMode::AboveProjectionPlane;
    s.ProjectionPlaneHeight = 5.0;
    EXPECT_DOUBLE_EQ(HeightCorrection(s, 637.1, means[1]), -0.0015);
    EXPECT_DOUBLE_EQ(HeightCorrection(s, 637.1, means[2]), 0.0);
}

TEST(SideReduction, TableOfTwoGroupsMatchesHandLayout) {
    test::TempDir dir;
    test::ScriptedInteraction ui;
    RunRecord run;
    ComputationSettings s;
    s.HeightReduction = true;
    s.HeightReductionMode = ReductionMode::SideMean;
    s.ProjectionReduction = true;  // UTM 3 degrees, scale 0.9999 by default
    const std::string report = dir.File("kq.in2");
    test::WriteFileBytes(report, "left from an earlier run\r\n");

    auto runGroup = [&](const std::vector<std::string>& points, const std::vector<double>& sides,
                        const std::vector<double>& ys, const std::vector<std::pair<std::string, double>>& heights) {
        test::HandGroup g({points});
        NetworkModel& model = g.model;
        GroupWorkingSet& ws = g.ws;
        for (const auto& [name, h] : heights) {
            model.HeightPointIds.PushBack(g.Id(name));
            model.PointHeights.PushBack(h);
        }
        for (int i = 0; i < static_cast<int>(points.size()); ++i) {
            ws.PositionY[i + 1] = ys[i];
            if (i < static_cast<int>(sides.size())) ws.PositionSides[i + 1] = sides[i];
        }
        const PointHeightIndex index(model.HeightPointIds, model.PointHeights);
        const std::vector<ReducedSide> rows = ReduceGroupSides(ws, model, index, s, run.ProgressLog);
        EXPECT_TRUE(WriteSideCorrectionTable(report, rows, model.PointNames, s, run, ui));
        return ws;
    };

    const GroupWorkingSet first = runGroup({"T1", "T2", "T3", "T4"}, {1000.0, 500.0, 800.0},
                                           {563000.0, 563800.0, 564200.0, 564900.0},
                                           {{"T1", 100.0}, {"T2", 120.0}, {"T4", 300.0}});
    EXPECT_DOUBLE_EQ(first.PositionSides[1], 999.933);
    EXPECT_DOUBLE_EQ(first.PositionSides[2], 499.975);
    EXPECT_DOUBLE_EQ(first.PositionSides[3], 799.961);
    ASSERT_EQ(run.ProgressLog.Lines().size(), 1u);
    EXPECT_EQ(run.ProgressLog.Lines()[0], Vn("     Không có độ cao, cạnh không hiệu chỉnh độ cao : T3"));

    runGroup({"T4", "T5"}, {250.0}, {564900.0, 565000.0}, {{"T4", 300.0}, {"T5", 310.0}});
    EXPECT_EQ(run.ProgressLog.Lines().size(), 1u);

    EXPECT_EQ(test::ReadFileBytes(report),
              test::ReadFileBytes(std::string(QEF_TEST_DATA) + "/simple_reports/side_corrections.in2"));
    EXPECT_TRUE(ui.calls.empty());
}

}  // namespace
}  // namespace qef
