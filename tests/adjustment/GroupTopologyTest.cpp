#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adjustment/GroupTopology.h"
#include "adjustment/SyntheticNetwork.h"
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

    int Id(const char* name) { return model.PointNames.Register(name); }
    void Branch(const std::vector<std::string>& points) { test::AddNamedBranch(model, points); }
    std::vector<int> List(const OneBased<int>& list, int n) {
        std::vector<int> out;
        for (int i = 1; i <= n; ++i) out.push_back(list[i]);
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
};

TEST_F(TopologyFixture, LevelsOrientationIncidenceAndCarriers) {
    // Levels, orientation, incidence as the group adjustment runs them.
    GroupWorkingSet ws;
    ws.Nb = 5;
    ws.Nn = 2;
    ws.Ns = 2;
    ws.TotalPoints = model.Branches.SumBranchPoints(5);
    ws.Allocate();
    const StartDirectionIndex starts(model);
    ASSERT_TRUE(OrderNodesByLevel(ws, model, starts, ui));
    OrientBranchesFromKnown(model, starts, 2, 5);
    BuildNodeBranchLinks(ws, model);

    // N1 touches A and B; N2 is one branch beyond N1.
    EXPECT_EQ(ws.NodeLevelCount, 2);
    EXPECT_EQ(List(model.NetworkNodes, 2), (std::vector<int>{Id("N1"), Id("N2")}));
    EXPECT_EQ(List(ws.NodeLevelStarts, 3), (std::vector<int>{0, 1, 2}));

    // Every branch runs from a start station or from the lower-level node.
    std::vector<std::string> walked;
    for (int b = 1; b <= 5; ++b)
        for (int p = model.Branches.First(b); p <= model.Branches.Last(b); ++p)
            walked.push_back(model.PointNames.Name(model.Branches.PointAt(p)));
    EXPECT_EQ(walked, (std::vector<std::string>{"A", "p1", "N1", "N1", "q2", "q1", "N2", "B", "r1", "N1", "N1", "s1",
                                                "N2", "N2", "t1", "t2", "t3", "N2"}));

    // The loop is listed once under N2, with both of its ends there.
    EXPECT_EQ(List(model.NodeBranches, 7), (std::vector<int>{1, 2, 3, 4, 2, 4, 5}));
    EXPECT_EQ(List(ws.NodeStarts, 3), (std::vector<int>{0, 4, 7}));
    EXPECT_EQ(List(ws.StartNodeOf, 5), (std::vector<int>{0, 1, 0, 1, 2}));
    EXPECT_EQ(List(ws.EndNodeOf, 5), (std::vector<int>{1, 2, 1, 2, 2}));

    // Shortest branch back to the previous level; of the two equal ones to N1 the first listed.
    ChooseNodeBranches(ws, model, starts);
    EXPECT_EQ(List(ws.NodeCarrierBranch, 2), (std::vector<int>{1, 4}));

    // N2 a hard node of the order.
    OneBased<int> hard;
    hard.PushBack(Id("N2"));
    OrderIndex order;
    order.Build(model, SidePairs(), hard, OneBased<int>(), PointList(), 0);
    ws.KnownNodeFlags.Clear();
    MarkKnownPoints(ws, model, order);
    EXPECT_EQ(ws.KnownNodeFlags[1], 0);
    EXPECT_EQ(ws.KnownNodeFlags[2], 1);
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(TopologyFixture, UnreachableNodeStopsTheOrdering) {
    Branch({"N3", "u1", "N4"});
    model.NetworkNodes.PushBack(Id("N3"));
    GroupWorkingSet ws;
    ws.Nb = 6;
    ws.Nn = 3;
    EXPECT_FALSE(OrderNodesByLevel(ws, model, StartDirectionIndex(model), ui));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "Thieu DK BS");
    EXPECT_EQ(List(model.NetworkNodes, 3), (std::vector<int>{Id("N2"), Id("N1"), Id("N3")}));
}

}  // namespace
}  // namespace qef
