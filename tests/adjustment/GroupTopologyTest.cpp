#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "adjustment/GroupTopology.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// Start stations A (sighting TA) and B (sighting TB); nodes N1, N2.
//   1: N1 p1 A           walked from A
//   2: N2 q1 q2 N1       walked from N1 (level 1) to N2 (level 2)
//   3: B r1 N1
//   4: N1 s1 N2
//   5: N2 t1 t2 t3 N2    a loop at N2
struct TopologyFixture : ::testing::Test {
    NetworkModel model;
    test::ScriptedInteraction ui;
    RunRecord run;

    int Id(const char* name) { return model.PointNames.Register(name); }
    void Branch(std::initializer_list<const char*> points) {
        model.Branches.BranchPointCounts.PushBack(static_cast<int>(points.size()));
        for (const char* p : points) model.Branches.BranchPoints.PushBack(Id(p));
        model.Branches.BuildBranchOffsets(model.Branches.BranchCount());
    }
    std::vector<std::string> Points(int b) {
        std::vector<std::string> names;
        for (int p = model.Branches.First(b); p <= model.Branches.Last(b); ++p)
            names.push_back(model.PointNames.Name(model.Branches.PointAt(p)));
        return names;
    }
    std::vector<int> List(const OneBased<int>& list, int n) {
        std::vector<int> out;
        for (int i = 1; i <= n; ++i) out.push_back(list[static_cast<std::size_t>(i)]);
        return out;
    }

    void SetUp() override {
        Branch({"N1", "p1", "A"});
        Branch({"N2", "q1", "q2", "N1"});
        Branch({"B", "r1", "N1"});
        Branch({"N1", "s1", "N2"});
        Branch({"N2", "t1", "t2", "t3", "N2"});
        for (const char* s : {"A", "B"}) model.StartStations.PushBack(Id(s));
        for (const char* t : {"TA", "TB"}) model.StartTargets.PushBack(Id(t));
        for (const char* n : {"N2", "N1"}) model.NetworkNodes.PushBack(Id(n));
    }

    // Levels, orientation, incidence as the group adjustment runs them.
    void Prepare(GroupWorkingSet& ws) {
        ws.Nb = 5;
        ws.Nn = 2;
        ws.Ns = 2;
        ws.TotalPoints = model.Branches.SumBranchPoints(5);
        ws.Allocate();
        ASSERT_TRUE(OrderNodesByLevel(model, 2, 5, 2, ws.NodeLevelCount, ws.NodeLevelStarts, ui));
        ConcatIdLists(model.BranchStopPoints, model.StartStations, model.NetworkNodes, 2, 2);
        OrientBranchesFromKnown(model, 4, 5);
        BuildNodeBranchLinks(model, 5, 2, ws.StartNodeOf, ws.EndNodeOf, ws.NodeStarts);
    }
};

TEST_F(TopologyFixture, LevelsOrientationIncidenceAndCarriers) {
    GroupWorkingSet ws;
    Prepare(ws);

    // N1 touches A and B; N2 is one branch beyond N1.
    EXPECT_EQ(ws.NodeLevelCount, 2);
    EXPECT_EQ(List(model.NetworkNodes, 2), (std::vector<int>{Id("N1"), Id("N2")}));
    EXPECT_EQ(List(ws.NodeLevelStarts, 3), (std::vector<int>{0, 1, 2}));

    // Every branch runs from a start station or from the lower-level node.
    EXPECT_EQ(Points(1), (std::vector<std::string>{"A", "p1", "N1"}));
    EXPECT_EQ(Points(2), (std::vector<std::string>{"N1", "q2", "q1", "N2"}));
    EXPECT_EQ(Points(3), (std::vector<std::string>{"B", "r1", "N1"}));
    EXPECT_EQ(Points(4), (std::vector<std::string>{"N1", "s1", "N2"}));
    EXPECT_EQ(Points(5), (std::vector<std::string>{"N2", "t1", "t2", "t3", "N2"}));

    // The loop is listed once under N2, with both of its ends there.
    EXPECT_EQ(List(model.NodeBranches, 7), (std::vector<int>{1, 2, 3, 4, 2, 4, 5}));
    EXPECT_EQ(List(ws.NodeStarts, 3), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(List(ws.StartNodeOf, 5), (std::vector<int>{0, 1, 0, 1, 2}));
    EXPECT_EQ(List(ws.EndNodeOf, 5), (std::vector<int>{1, 2, 1, 2, 2}));

    // Shortest branch back to the previous level; of the two equal ones to N1 the first listed.
    ChooseNodeBranches(model, ws.NodeCarrierBranch, ws.NodeStarts, ws.NodeLevelCount, 2, ws.NodeLevelStarts);
    EXPECT_EQ(List(ws.NodeCarrierBranch, 2), (std::vector<int>{1, 4}));

    OneBased<std::uint8_t> flags;
    OneBased<int> listA;
    listA.PushBack(Id("N2"));
    MarkKnownPoints(flags, model.NetworkNodes, 2, listA, 1, OneBased<int>(), 0);
    EXPECT_EQ(flags[1], 0);
    EXPECT_EQ(flags[2], 1);
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(TopologyFixture, EndConditionsTypesAndCounts) {
    GroupWorkingSet ws;
    Prepare(ws);
    AngleObservations angles;
    auto angle = [&](const char* b, const char* s, const char* f, double v) {
        angles.BackIds.PushBack(Id(b));
        angles.StationIds.PushBack(Id(s));
        angles.ForeIds.PushBack(Id(f));
        angles.Values.PushBack(v);
    };
    angle("TA", "A", "p1", 100.0);
    angle("r1", "B", "TB", 200.0);  // measured the other way round
    StationAngleIndex index(angles);
    SideObservations sides;
    PointList known;
    known.Add(Id("A"), 1000.0, 2000.0);
    known.Add(Id("B"), 1500.0, 2500.0);
    known.Add(Id("TA"), 900.0, 2000.0);
    known.Add(Id("TB"), 1500.0, 2600.0);
    StartAzimuthData starts;
    for (auto* a : {&starts.Azimuths, &starts.StationX, &starts.StationY, &starts.TargetX, &starts.TargetY})
        a->Resize(2);
    starts.Azimuths[1] = 0.0;  // TA -> A, north
    starts.Azimuths[2] = 270.0;  // TB -> B, west
    starts.StationX[1] = 1000.0;
    starts.StationY[1] = 2000.0;
    starts.StationX[2] = 1500.0;
    starts.StationY[2] = 2500.0;
    OneBased<int> none;
    const GroupInputs in{model, angles, index, sides, known, none, none, starts};
    test::RecordingProgress monitor;
    ASSERT_TRUE(LinkBranchEndsToNodes(ws, in, ui, monitor, run.ProgressLog));

    // At N1 the longest branch (2) leaves without an angle and orients the others on q2; at N2
    // the loop (5) does so on t1, at both of its ends.
    const int q2 = Id("q2");
    const int t1 = Id("t1");
    EXPECT_EQ(List(ws.StartRefPoints, 5), (std::vector<int>{Id("TA"), 0, Id("TB"), q2, 0}));
    EXPECT_EQ(List(ws.EndRefPoints, 5), (std::vector<int>{q2, t1, q2, t1, t1}));
    EXPECT_EQ(List(ws.BranchTypes, 5), (std::vector<int>{1, 3, 1, 1, 3}));
    EXPECT_DOUBLE_EQ(ws.BranchStartAzimuths[1], 0.0);
    EXPECT_DOUBLE_EQ(ws.BranchStartAzimuths[3], 270.0);
    EXPECT_DOUBLE_EQ(ws.PositionX[static_cast<std::size_t>(model.Branches.First(3))], 1500.0);
    EXPECT_DOUBLE_EQ(ws.PositionY[static_cast<std::size_t>(model.Branches.First(1))], 2000.0);

    CountBranchAnglesSides(ws.BranchAngleCounts, ws.BranchSideCounts, 5, model.Branches.BranchPointCounts,
                           ws.BranchTypes, run);
    EXPECT_EQ(List(ws.BranchAngleCounts, 5), (std::vector<int>{3, 3, 3, 3, 4}));
    EXPECT_EQ(List(ws.BranchSideCounts, 5), (std::vector<int>{2, 3, 2, 2, 4}));
    EXPECT_EQ(run.GroupAngleTotal, 16);
    EXPECT_EQ(run.GroupSideTotal, 13);
    EXPECT_EQ(run.RunAngleTotal, 0);  // added when the group completes
}

TEST_F(TopologyFixture, UnreachableNodeStopsTheOrdering) {
    Branch({"N3", "u1", "N4"});
    model.NetworkNodes.PushBack(Id("N3"));
    int levels = 0;
    OneBased<int> starts;
    EXPECT_FALSE(OrderNodesByLevel(model, 2, 6, 3, levels, starts, ui));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "Thieu DK BS");
    EXPECT_EQ(List(model.NetworkNodes, 3), (std::vector<int>{Id("N2"), Id("N1"), Id("N3")}));
}

}  // namespace
}  // namespace qef
