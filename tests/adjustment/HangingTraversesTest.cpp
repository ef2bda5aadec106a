#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "adjustment/HangingReports.h"
#include "adjustment/HangingTraverses.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

const std::string kM(9, ' ');
const std::string kRule = kM + std::string(78, '-');

// A model of hanging branches made by hand, with its files in a temporary folder.
struct HangingCase {
    NetworkModel model;
    PointList known;
    AngleObservations angles;
    SideObservations sides;
    StartAzimuthAnswers answers;
    ComputationSettings settings;
    RunRecord run;
    test::ScriptedInteraction ui;
    test::TempDir dir;
    HangingTraverseTable table;

    int Id(const std::string& name) { return model.PointNames.Register(name); }
    void Known(const std::string& name, double x, double y) { known.Add(Id(name), x, y); }
    void Angle(const std::string& b, const std::string& s, const std::string& f, double value) {
        angles.BackIds.PushBack(Id(b));
        angles.StationIds.PushBack(Id(s));
        angles.ForeIds.PushBack(Id(f));
        angles.Values.PushBack(value);
    }
    void Side(const std::string& a, const std::string& b, double length) {
        sides.FromIds.PushBack(Id(a));
        sides.ToIds.PushBack(Id(b));
        sides.Lengths.PushBack(length);
    }
    void Branch(const std::vector<std::string>& points) { test::AddNamedBranch(model, points); }
    // Computes and, when computed, writes the table and the new points as the run does.
    HangingStatus Compute() {
        const HangingInputs in{model, model.Branches.BranchCount(), known, angles, sides, answers};
        HangingResult result = ComputeHangingTraverses(in, HangingContext{settings, run, ui});
        table = std::move(result.Table);
        if (result.Status != HangingStatus::Computed) return result.Status;
        EXPECT_TRUE(WriteHangingTable(run.Files, dir.File("kq.in"), run.MainReportFresh, table, model, settings));
        run.MainReportFresh = false;
        EXPECT_TRUE(AppendHangingPoints(run.Files, dir.File("kq.dta"), table, model.PointNames, settings.MetresFlag));
        return result.Status;
    }
    std::string Name(int id) const { return model.PointNames.Name(id); }
};

// TB -> B runs east; the traverse turns south at B (270 degrees) and east again at H1 (90).
void SquareTraverse(HangingCase& c) {
    c.Known("TB", 1000.0, 900.0);
    c.Known("B", 1000.0, 1000.0);
    c.Angle("TB", "B", "H1", 270.0);
    c.Angle("B", "H1", "H2", 90.0);
    c.Side("B", "H1", 100.0);
    c.Side("H1", "H2", 50.0);
}

TEST(HangingTraverses, ArrivalAtAPointWithCoordinatesKeepsThemAndReportsTheMisclosure) {
    HangingCase c;
    SquareTraverse(c);
    c.settings.KeepAccents = false;
    c.Known("K", 900.030, 1049.960);  // H2 is the known point K
    c.Angle("B", "H1", "K", 90.0);
    c.Side("H1", "K", 50.0);
    c.Branch({"B", "H1", "K"});
    c.Branch({"K", "H1", "B"});  // entered from its far end: turned, and nothing is given twice
    // Report 0 is created by this table when no other table was written yet.
    ASSERT_EQ(c.Compute(), HangingStatus::Computed);
    EXPECT_FALSE(c.run.MainReportFresh);
    ASSERT_EQ(c.table.NewPoints.Count(), 1);
    EXPECT_EQ(c.Name(c.table.NewPoints.Ids[1]), "H1");
    EXPECT_EQ(c.Name(c.model.Branches.FirstPoint(2)), "B");

    const std::string report = test::ReadFileBytes(c.dir.File("kq.in"));
    // fs = sqrt(0.03^2 + 0.04^2) = 0.05; fx = 900 - 900.03, fy = 1050 - 1049.96.
    const std::string misclosure =
        kM + "|           | Sai so khep fs, fx, fy    |   0.050 |      -0.030 |      0.040 |\r\n";
    EXPECT_NE(report.find(kM + "| K         |             |             |         |     900.030 |   1049.960 |\r\n" +
                          misclosure),
              std::string::npos)
        << report;
    EXPECT_EQ(report.rfind(Vn("Kết quả")), std::string::npos);  // accents stripped
    EXPECT_EQ(test::ReadFileBytes(c.dir.File("kq.dta")), "H1\t900.000\t1000.000\r\n");
}

TEST(HangingTraverses, IncompleteDataWritesNothing) {
    // No connecting angle at the start: Z measured no angle at all.
    HangingCase noAngle;
    SquareTraverse(noAngle);
    noAngle.Known("Z", 1100.0, 1100.0);
    noAngle.Side("Z", "Z1", 10.0);
    noAngle.Branch({"Z", "Z1"});
    EXPECT_EQ(noAngle.Compute(), HangingStatus::Incomplete);

    // A missing side.
    HangingCase noSide;
    SquareTraverse(noSide);
    noSide.Angle("H1", "H2", "H3", 90.0);
    noSide.Branch({"B", "H1", "H2", "H3"});
    EXPECT_EQ(noSide.Compute(), HangingStatus::Incomplete);

    for (HangingCase* c : {&noAngle, &noSide}) {
        const auto messages = c->ui.Messages();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back(), Vn("Số liệu chưa hoàn chỉnh, không tính được đường chuyền treo"));
        EXPECT_EQ(c->table.NewPoints.Count(), 0);
        EXPECT_FALSE(FileExists(c->dir.File("kq.in")));
        EXPECT_FALSE(FileExists(c->dir.File("kq.dta")));
        EXPECT_TRUE(c->run.MainReportFresh);
    }
}

TEST(HangingTraverses, PagesHoldFortyUnits) {
    // Branches of 9, 9, 9, 9 points take 10 units each: the fifth (3 points) begins page 2; the
    // sixth (45 points) alone is longer than a page and begins page 3.
    NetworkModel model;
    HangingTraverseTable t;
    const std::vector<int> counts{9, 9, 9, 9, 3, 45};
    int total = 0;
    for (int n : counts) {
        std::vector<std::string> points;
        while (static_cast<int>(points.size()) < n) points.push_back("P" + std::to_string(++total));
        test::AddNamedBranch(model, points);
    }
    t.BranchCount = static_cast<int>(counts.size());
    const int b = t.BranchCount + 2;
    const int p = total + 2;
    t.RefPoints = OneBased<int>(b, 1);
    t.RefX = t.RefY = t.StartAzimuths = OneBased<double>(b);
    t.PositionAngles = t.PositionSides = t.PositionAzimuths = t.PositionX = t.PositionY = OneBased<double>(p);
    t.HeldPoint = OneBased<std::uint8_t>(p);
    t.MisclosureX = t.MisclosureY = t.MisclosureS = OneBased<double>(p);

    const std::vector<std::string> lines = HangingTableLines(t, model, ComputationSettings{});
    std::vector<std::size_t> feeds;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == "\f") feeds.push_back(i);
    ASSERT_EQ(feeds.size(), 2u);
    // Page 1: header (5 lines) + 4 branches of 1 + 2 + 9 + 8 = 20 lines, then the footer.
    EXPECT_EQ(feeds[0], 5u + 4 * 20 + 1);
    // Page 2: header + one branch of 3 points (1 + 2 + 3 + 2 = 8 lines) + footer.
    EXPECT_EQ(feeds[1], feeds[0] + 5 + 8 + 1);
    // Page 3: header + 45 points (1 + 2 + 45 + 44 lines) + footer, and nothing after.
    EXPECT_EQ(lines.size(), feeds[1] + 5 + 92 + 1);
    EXPECT_EQ(lines[feeds[0] - 1], kRule);
    EXPECT_EQ(lines.back(), kRule);
    EXPECT_EQ(lines.front(), "");
}

}  // namespace
}  // namespace qef
