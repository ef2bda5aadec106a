#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "adjustment/StepByStep.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

using test::SyntheticNetwork;

// Three free nodes in a triangle, each tied to a known direction by a branch of its own, and
// joined to each other by three more branches.
SyntheticNetwork ThreeNodes() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 5000.0, 1000.0, true}, {"A", 4000.0, 1000.0, true}, {"TB", 5000.0, 4000.0, true},
                   {"B", 4000.0, 4000.0, true}, {"TC", 500.0, 2500.0, true}, {"C", 1500.0, 2500.0, true},
                   {"a1", 3700.0, 1400.0}, {"N1", 3300.0, 1800.0}, {"b1", 3700.0, 3600.0}, {"N2", 3300.0, 3200.0},
                   {"c1", 1900.0, 2450.0}, {"N3", 2400.0, 2500.0}, {"m1", 3350.0, 2500.0}, {"p1", 2900.0, 2100.0},
                   {"q1", 2900.0, 2900.0}});
    net.AddBranch({"A", "a1", "N1"}, BranchKind::StartOnly, "TA");
    net.AddBranch({"B", "b1", "N2"}, BranchKind::StartOnly, "TB");
    net.AddBranch({"C", "c1", "N3"}, BranchKind::StartOnly, "TC");
    net.AddBranch({"N1", "m1", "N2"}, BranchKind::BothEnds, "a1", "b1");
    net.AddBranch({"N1", "p1", "N3"}, BranchKind::BothEnds, "a1", "c1");
    net.AddBranch({"N2", "q1", "N3"}, BranchKind::BothEnds, "b1", "c1");
    net.AddNode("N1", false, 1);
    net.AddNode("N2", false, 2);
    net.AddNode("N3", false, 3);
    return net;
}

struct Session {
    test::TempDir dir;
    StepByStepSession session;
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;

    explicit Session(const SyntheticNetwork& net) {
        test::WriteFileBytes(dir.File("goc.DTA"), net.KnownText());
        test::WriteFileBytes(dir.File("do.DTA"), net.ObservationText());
        session.SetKnownFile(dir.File("goc.DTA"));
        session.SetObservationFile(dir.File("do.DTA"));
    }
    // Analyses, builds the group from the first start side and adjusts or computes it.
    test::PointMap Run(bool adjust, const std::string& result) {
        EXPECT_EQ(session.Start(settings, "", ui, progress), StepStatus::Done);
        EXPECT_FALSE(session.Lists().StartSides.empty());
        const std::string side = StartSideText(session.Lists().StartSides.front());
        EXPECT_EQ(session.BuildGroup(GroupBasis::StartSide, side, {}, settings, ui), StepStatus::Done);
        const std::string file = dir.File(result);
        const StepStatus status = adjust ? session.AdjustGroup(settings, file, ui, progress)
                                         : session.ComputeCoordinates(settings, file, ui, progress);
        EXPECT_EQ(status, StepStatus::Done);
        int repeats = 0;
        auto points = test::ReadResult(file, repeats);
        EXPECT_EQ(repeats, 0);
        return points;
    }
};

void ExpectTrue(const SyntheticNetwork& net, const test::PointMap& points, double tolerance) {
    EXPECT_EQ(points.size(), net.Points.size());
    test::ExpectPointsNear(points, net.Truth(), tolerance);
}

TEST(StepByStep, ChosenStartSideComesFirst) {
    PointNameTable names;
    for (const char* n : {"A", "B", "C"}) names.Register(n);
    OneBased<int> from, to;
    for (auto [f, t] : {std::pair{3, 1}, std::pair{1, 2}, std::pair{2, 1}}) from.PushBack(f), to.PushBack(t);
    EXPECT_EQ(StartFromChosenSide(" b , A ", names, from, to, 3), 2);
    // The first of A-B / B-A comes first, orientation kept.
    EXPECT_TRUE(from[1] == 1 && to[1] == 2 && from[2] == 3);
    EXPECT_EQ(StartFromChosenSide("X,A", names, from, to, 3), 0);
}

TEST(StepByStep, ComputedCoordinatesOfErrorFreeNetworksAreTheTrueOnes) {
    for (const SyntheticNetwork& planned : {test::ConnectingTraverse(), ThreeNodes()}) {
        SyntheticNetwork net = planned;
        net.Observe(1, 0.0, 0.0);
        SCOPED_TRACE(net.Branches.front().Points.front());
        Session s(net);
        ExpectTrue(net, s.Run(false, "kq.DTA"), 0.0006);
        ASSERT_EQ(s.session.Misclosures().size(), net.Branches.size());
        for (const BranchMisclosure& m : s.session.Misclosures()) {
            EXPECT_NEAR(m.Fs, 0.0, 1e-4) << m.From << " " << m.To;
            EXPECT_NEAR(m.FbSeconds, 0.0, 0.01) << m.From << " " << m.To;
        }
        // The misclosures are shown, then the end.
        const auto messages = s.ui.Messages();
        ASSERT_GE(messages.size(), 2u);
        EXPECT_NE(messages[messages.size() - 2].find(Vn("Sai số khép")), std::string::npos);
        EXPECT_EQ(messages.back(), Vn("Kết thúc"));
    }
}

// Error-free, the node method and the computation along the defining branches give the same
// node values: the true ones.
TEST(StepByStep, NodeValuesOfThreeNodesEqualTheNodeMethods) {
    SyntheticNetwork net = ThreeNodes();
    net.Observe(1, 0.0, 0.0);
    Session computed(net);
    Session adjusted(net);
    const auto c = computed.Run(false, "tinh.DTA");
    const auto a = adjusted.Run(true, "bs.DTA");
    ExpectTrue(net, a, 0.0006);
    for (const char* node : {"N1", "N2", "N3"}) {
        ASSERT_TRUE(c.count(node) && a.count(node)) << node;
        EXPECT_NEAR(c.at(node).first, a.at(node).first, 0.0006) << node;
        EXPECT_NEAR(c.at(node).second, a.at(node).second, 0.0006) << node;
    }
    // The adjustment writes its report beside the result.
    EXPECT_TRUE(FileExists(adjusted.dir.File("bs.in")));
}

// With errors the traverse is carried from A as measured, and its misclosure at B is spread in
// proportion to the sides: worked out here along the branch.
TEST(StepByStep, TraverseCarriesItsMisclosureInProportionToTheSides) {
    SyntheticNetwork net = test::ConnectingTraverse();
    net.Observe(7, 12.0, 0.03);
    Session s(net);
    const auto points = s.Run(false, "kq.DTA");

    const std::vector<std::string>& names = net.Branches[0].Points;
    const int n = static_cast<int>(names.size());
    std::vector<double> x(n), y(n), cumulative(n);
    double az = net.Azimuth("TA", "A");
    x[0] = net.P("A").X;
    y[0] = net.P("A").Y;
    for (int i = 1; i < n; ++i) {
        az = std::fmod(az + net.AngleAt[0][i] + 180.0, 360.0);
        const double side = net.SideAt[0][i];
        x[i] = x[i - 1] + side * std::cos(az * test::kPi / 180.0);
        y[i] = y[i - 1] + side * std::sin(az * test::kPi / 180.0);
        cumulative[i] = cumulative[i - 1] + side;
    }
    const double fx = x[n - 1] - net.P("B").X;
    const double fy = y[n - 1] - net.P("B").Y;
    // Large enough that spreading it any other way would show.
    ASSERT_GT(std::hypot(fx, fy), 0.02);
    for (int i = 1; i < n; ++i) {
        const double share = cumulative[i] / cumulative[n - 1];
        SCOPED_TRACE(names[i]);
        EXPECT_NEAR(points.at(names[i]).first, x[i] - fx * share, 0.0006);
        EXPECT_NEAR(points.at(names[i]).second, y[i] - fy * share, 0.0006);
    }
    ASSERT_EQ(s.session.Misclosures().size(), 1u);
    EXPECT_NEAR(s.session.Misclosures()[0].Fx, fx, 1e-4);
    EXPECT_NEAR(s.session.Misclosures()[0].Fy, fy, 1e-4);
}

// A target listed without coordinates: its azimuth is asked once, at the first analysis, and the
// answer serves the later analyses of the group steps.
TEST(StepByStep, StartAzimuthAskedOnceServesTheLaterSteps) {
    SyntheticNetwork net = test::ConnectingTraverse();
    net.Observe(1, 0.0, 0.0);
    Session s(net);
    std::string known = net.KnownText();
    const std::size_t ta = known.find("TA\t");
    known.replace(ta, known.find("\r\n", ta) - ta, "TA");
    test::WriteFileBytes(s.dir.File("goc.DTA"), known);
    s.ui.texts = {SyntheticNetwork::DmsText(net.Azimuth("TA", "A"))};

    ASSERT_EQ(s.session.Start(s.settings, "", s.ui, s.progress), StepStatus::Done);
    ASSERT_EQ(s.ui.calls.size(), 1u);
    EXPECT_EQ(s.ui.calls[0].text, "Nhap so lieu|Nhap Phuong Vi TA -> A");
    // Each group step analyses again: the answer is not asked for twice.
    ASSERT_EQ(s.session.BuildGroup(GroupBasis::StartSide, "A,1", {}, s.settings, s.ui), StepStatus::Done);
    ASSERT_EQ(s.session.BuildGroup(GroupBasis::StartSide, "A,1", {}, s.settings, s.ui), StepStatus::Done);
    ASSERT_EQ(s.session.ComputeCoordinates(s.settings, s.dir.File("kq.DTA"), s.ui, s.progress),
              StepStatus::Done);
    EXPECT_EQ(std::count_if(s.ui.calls.begin(), s.ui.calls.end(), [](const auto& c) { return c.kind == "text"; }), 1);
    int repeats = 0;
    const auto points = test::ReadResult(s.dir.File("kq.DTA"), repeats);
    for (const char* name : {"1", "2", "3"}) {
        ASSERT_TRUE(points.count(name)) << name;
        EXPECT_NEAR(points.at(name).first, net.P(name).X, 0.0006) << name;
        EXPECT_NEAR(points.at(name).second, net.P(name).Y, 0.0006) << name;
    }
}

// The step's drawing takes the result's name with ".dxf": an input of that name is refused before
// anything is written, as any other output is, and kept.
TEST(StepByStep, TheDrawingNeverReplacesAnInput) {
    SyntheticNetwork net = ThreeNodes();
    net.Observe(1, 0.0, 0.0);
    Session s(net);
    const std::string observations = s.dir.File("kq.dxf");
    test::WriteFileBytes(observations, net.ObservationText());
    s.session.SetObservationFile(observations);
    s.settings.AcadUploadEnabled = true;
    ASSERT_EQ(s.session.Start(s.settings, "", s.ui, s.progress), StepStatus::Done);
    ASSERT_EQ(s.session.BuildGroup(GroupBasis::StartSide, StartSideText(s.session.Lists().StartSides.front()), {},
                                   s.settings, s.ui),
              StepStatus::Done);
    s.ui.calls.clear();
    EXPECT_EQ(s.session.ComputeCoordinates(s.settings, s.dir.File("kq.dta"), s.ui, s.progress),
              StepStatus::Failed);
    EXPECT_EQ(s.ui.Messages(), std::vector<std::string>{Vn("File kết quả trùng tên file số liệu : ") + observations});
    EXPECT_EQ(test::ReadFileBytes(observations), net.ObservationText());
    EXPECT_FALSE(std::filesystem::exists(s.dir.File("kq.dta")));
}

TEST(StepByStep, StepsRunOnlyAfterTheStepsTheyNeed) {
    SyntheticNetwork net = ThreeNodes();
    net.Observe(1, 0.0, 0.0);
    Session s(net);
    const ComputationSettings& settings = s.settings;
    EXPECT_EQ(s.session.BuildGroup(GroupBasis::StartSide, "A,a1", {}, settings, s.ui), StepStatus::NotReady);
    EXPECT_EQ(s.session.AdjustGroup(settings, "", s.ui, s.progress), StepStatus::NotReady);
    EXPECT_TRUE(s.ui.calls.empty());

    ASSERT_EQ(s.session.Start(settings, "", s.ui, s.progress), StepStatus::Done);
    const StepLists& lists = s.session.Lists();
    EXPECT_EQ(lists.Directions.size(), 3u);
    EXPECT_EQ(lists.Directions.front(), "[TA] [A]");
    EXPECT_EQ(lists.SoftNodes.size(), 3u);
    EXPECT_TRUE(lists.HardNodes.empty());
    // Six branches and the empty line that ends the group.
    ASSERT_EQ(lists.Branches.size(), 7u);
    EXPECT_TRUE(lists.Branches.back().empty());
    EXPECT_EQ(lists.StartSides.front(), "[A],a1");

    // Two selected lines give their own sides only: the hanging piece C .. N3 alone is no group.
    EXPECT_EQ(s.session.BuildGroup(GroupBasis::ChosenBranches, "", {"[C], c1, N3, "}, settings, s.ui),
              StepStatus::NoGroup);
    EXPECT_EQ(s.ui.Messages().back(), Vn("Đường chuyền có thể là treo nên không xét"));
    EXPECT_FALSE(s.session.HasGroup());
    EXPECT_EQ(s.session.BuildGroup(GroupBasis::ChosenBranches, "", {"[A], a1, N1, m1, N2, b1, [B], "}, settings,
                                   s.ui),
              StepStatus::Done);
    EXPECT_TRUE(s.session.HasGroup());
    // A group is used up by its computation; opening a file again starts afresh.
    EXPECT_EQ(s.session.ComputeCoordinates(settings, "", s.ui, s.progress), StepStatus::Done);
    EXPECT_FALSE(s.session.HasGroup());
    s.session.SetKnownFile(s.dir.File("goc.DTA"));
    EXPECT_FALSE(s.session.Started());
}

// A network of one group: once it is adjusted, no angle sights a point still to compute. Analysing
// again says that every group is computed, and nothing about the names of the known points; the
// group step has nothing to build from.
TEST(StepByStep, AnalysisAfterTheLastGroupSaysEveryGroupIsComputed) {
    SyntheticNetwork net = test::ConnectingTraverse();
    net.Observe(1, 0.0, 0.0);
    Session s(net);
    s.Run(true, "kq.DTA");
    s.ui.calls.clear();
    EXPECT_EQ(s.session.Start(s.settings, "", s.ui, s.progress), StepStatus::NoGroup);
    EXPECT_EQ(s.ui.Messages(), std::vector<std::string>{Vn("Đã tính hết các nhóm của lưới")});
    EXPECT_FALSE(s.session.Started());
    // Opening the files again starts the walk afresh, with its group.
    s.session.SetKnownFile(s.dir.File("goc.DTA"));
    EXPECT_EQ(s.session.Start(s.settings, "", s.ui, s.progress), StepStatus::Done);
    EXPECT_FALSE(s.session.Lists().StartSides.empty());
}

}  // namespace
}  // namespace qef
