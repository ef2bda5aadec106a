#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <string>
#include <vector>

#include "adjustment/SideReduction.h"
#include "adjustment/SimpleReports.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// The reduction written out again from its definition, to check the code against.
double Round3(double x) { return std::nearbyint(x * 1000.0) / 1000.0; }  // ties to even in the default mode

struct Expected {
    double vh, vp, reduced;
};

Expected HandReduce(bool byHeight, bool byProjection, bool utm, double scale, double s, double meanHeight, double y1,
                    double y2) {
    const double r = 6371000.0;
    const double vh = byHeight ? Round3(-meanHeight * s / r) : 0.0;
    if (!byProjection) return {vh, 0.0, byHeight ? Round3(s + vh) : s};
    const double e1 = utm ? (y1 - 500000.0) / scale : y1 - 500000.0;
    const double e2 = utm ? (y2 - 500000.0) / scale : y2 - 500000.0;
    const double ym = (e1 + e2) / 2.0;
    double vp = Round3(s * (ym / r) * (ym / r) / 2.0);
    if (scale == 1.0) return {vh, vp, Round3(s + vp + vh)};
    const double reduced = Round3((s + vp + vh) * scale);
    vp = Round3(reduced - s - vh);
    return {vh, vp, reduced};
}

TEST(SideReduction, ReducedSidesFollowTheFormulas) {
    // The published checks: 1000 m at 637.1 m loses 0.100 m; 63710 m off the axis adds 0.050 m.
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

    // Every mode and projection against the definition, over sides far from the axis and near it.
    const double sides[] = {87.654, 512.3, 1234.567};
    const double ys[][2] = {{512345.6, 513001.2}, {431000.0, 430250.5}, {622222.2, 621000.0}};
    for (const ReductionMode mode :
         {ReductionMode::AreaMean, ReductionMode::SideMean, ReductionMode::AboveProjectionPlane})
        for (int projection = 0; projection <= 3; ++projection)  // none, Gauss, UTM 3 and 6 degrees
            for (int i = 0; i < 3; ++i) {
                ComputationSettings c;
                c.HeightReduction = true;
                c.HeightReductionMode = mode;
                c.MeanAreaHeight = 845.2;
                c.ProjectionPlaneHeight = 120.0;
                c.ProjectionReduction = projection != 0;
                c.ProjectionIsUtm = projection >= 2;
                c.ProjectionScale = projection == 3 ? 0.9996 : projection == 2 ? 0.9999 : 1.0;
                const double sideMean = 1500.0 + 250.0 * i;
                const double meanHeight = mode == ReductionMode::AreaMean   ? 845.2
                                          : mode == ReductionMode::SideMean ? sideMean
                                                                            : sideMean - 120.0;
                const Expected e = HandReduce(true, c.ProjectionReduction, c.ProjectionIsUtm, c.ProjectionScale,
                                              sides[i], meanHeight, ys[i][0], ys[i][1]);
                const SideReductionRow got =
                    ReduceSide(c, sides[i], HeightCorrection(c, sides[i], sideMean), ys[i][0], ys[i][1]);
                SCOPED_TRACE(testing::Message() << "mode " << static_cast<int>(mode) << " projection " << projection
                                                << " side " << i);
                EXPECT_NEAR(got.Vh, e.vh, 1e-9);
                EXPECT_NEAR(got.Vp, e.vp, 1e-9);
                EXPECT_NEAR(got.Reduced, e.reduced, 1e-9);
            }
}

TEST(SideReduction, SideWithAnEndWithoutHeightIsNotCorrected) {
    NetworkModel model;
    for (const char* n : {"T1", "T2", "T3", "T4", "T5"}) model.PointNames.Register(n);
    model.Branches.BranchPointCounts.PushBack(3);
    model.Branches.BranchPointCounts.PushBack(3);
    for (int id : {1, 2, 3, 3, 4, 5}) model.Branches.BranchPoints.PushBack(id);
    model.Branches.BuildBranchOffsets(2);
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
        NetworkModel model;
        GroupWorkingSet ws;
        model.Branches.BranchPointCounts.PushBack(static_cast<int>(points.size()));
        for (const auto& p : points) model.Branches.BranchPoints.PushBack(model.PointNames.Register(p));
        model.Branches.BuildBranchOffsets(1);
        for (const auto& [name, h] : heights) {
            model.HeightPointIds.PushBack(model.PointNames.Register(name));
            model.PointHeights.PushBack(h);
        }
        ws.Nb = 1;
        ws.TotalPoints = static_cast<int>(points.size());
        ws.Allocate();
        for (int i = 0; i < static_cast<int>(points.size()); ++i) {
            ws.PositionY[i + 1] = ys[i];
            if (i < static_cast<int>(sides.size())) ws.PositionSides[i + 1] = sides[i];
        }
        const std::vector<ReducedSide> rows = ReduceGroupSides(ws, model, s, run.ProgressLog);
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
