#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/NetworkFixture.h"

namespace qef {
namespace {

using test::NetFixture;

// Branch models written by hand; expected results worked out on paper from the rules.
TEST_F(NetFixture, ChainedHangingBranchesGetLevelsOneAndTwo) {
    // The node order decides whether the inner branch is cut in the same pass or the next one;
    // the levels must not depend on it.
    for (bool innerFirst : {false, true}) {
        SCOPED_TRACE(innerFirst);
        model = NetworkModel{};
        Branch({"S1", "a", "N"});
        Branch({"S2", "b", "N"});
        Branch({"S3", "c", "N"});
        Branch({"N", "e", "M"});
        Branch({"M", "f", "x"}, true);
        Branch({"M", "g", "y"}, true);
        model.NetworkNodes = Ids(innerFirst ? "M N" : "N M");
        Levels();
        ASSERT_EQ(model.Branches.BranchCount(), 6);
        EXPECT_EQ(std::vector<int>(sets.BranchLevels.begin(), sets.BranchLevels.begin() + 6),
                  (std::vector<int>{0, 0, 0, 2, 1, 1}));
        EXPECT_EQ(sets.NodeSets[4], (NodeSet{0}));
        EXPECT_EQ(model.Branches.BranchDeadEnd[4], 1);
        EXPECT_EQ(Names(model.NetworkNodes), innerFirst ? "0 N" : "N 0");
    }
}

TEST_F(NetFixture, BranchLeftHangingFromAnEarlierNodeIsCutAndStaysOutOfGroups) {
    // N is reached only by the branch from M, and M comes first: the branch turns hanging at N
    // after M was passed, in a pass that cut nothing.
    Branch({"S1", "a", "M"});
    Branch({"S2", "b", "M"});
    Branch({"S3", "c", "M"});
    Branch({"M", "d", "N"});
    Branch({"S4", "e", "z"}, true);  // a hanging branch elsewhere
    model.NetworkNodes = Ids("M N");
    Levels();
    EXPECT_EQ(sets.NodeSets[4], (NodeSet{0}));
    EXPECT_EQ(sets.BranchLevels[4], 2);
    OneBased<int> saved = model.NetworkNodes;
    auto groups = FormBranchGroups(model, sets, saved, NodeCount());
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].BranchCount, 3);
}

TEST_F(NetFixture, JoinThroughFirstStartStationIsRefused) {
    Branch({"A", "1", "S"});
    Branch({"S", "2", "B"});
    model.NetworkNodes = Ids("S");
    model.StartStations = Ids("S");
    EXPECT_TRUE(CanJoinThrough(model, 0, Id("S")));
    EXPECT_FALSE(CanJoinThrough(model, 1, Id("S")));
    EXPECT_TRUE(CanJoinThrough(model, 1, Id("A")));

    Levels(1);
    EXPECT_EQ(model.Branches.BranchCount(), 2);
    EXPECT_EQ(BranchText(1), "A 1 S");
    EXPECT_EQ(Names(model.NetworkNodes), "S");  // not joined, so the node stays

    // Without start stations the same two branches join.
    Levels(0);
    ASSERT_EQ(model.Branches.BranchCount(), 1);
    EXPECT_EQ(BranchText(1), "A 1 S 2 B");
    EXPECT_EQ(Names(model.NetworkNodes), "0");
}

TEST_F(NetFixture, JoinOrientationCases) {
    // (b1, b2) as stored, and the joined branch expected.
    struct Case {
        std::vector<const char*> b1, b2;
        const char* joined;
    };
    const std::vector<Case> cases = {
        {{"A", "1", "P"}, {"P", "2", "B"}, "A 1 P 2 B"},  // already in order
        {{"P", "1", "A"}, {"B", "2", "P"}, "A 1 P 2 B"},  // both reversed
        {{"P", "1", "A"}, {"P", "2", "B"}, "A 1 P 2 B"},  // first points equal
        {{"A", "1", "P"}, {"B", "2", "P"}, "A 1 P 2 B"},  // last points equal
    };
    for (const Case& c : cases) {
        model = NetworkModel{};
        Branch({c.b1[0], c.b1[1], c.b1[2]});
        Branch({"X", "9", "Y"});  // a branch in between moves behind the joined one
        Branch({c.b2[0], c.b2[1], c.b2[2]});
        model.NetworkNodes = Ids("P");
        BuildBranchAdjacency(model, 1, sets);
        sets.BranchLevels[2] = 7;
        ASSERT_TRUE(JoinBranchesAtNode(model, sets, 1, 3, 1, 0));
        ASSERT_EQ(model.Branches.BranchCount(), 2);
        EXPECT_EQ(BranchText(1), c.joined);
        EXPECT_EQ(BranchText(2), "X 9 Y");
        EXPECT_EQ(sets.BranchLevels[2], 7);
        EXPECT_EQ(model.Branches.BranchPoints.Size(), 8u);
        EXPECT_TRUE(sets.NodeSets[1].Empty());
    }
    // Not meeting at the node: nothing changes.
    EXPECT_FALSE(JoinBranchesAtNode(model, sets, 1, 2, 1, 0));
    EXPECT_EQ(model.Branches.BranchCount(), 2);
}

TEST_F(NetFixture, KnownNodeWithOneBranchBecomesStartPoint) {
    // K is a known point reached only by the branch from N; N keeps three branches.
    for (bool levelling : {false, true}) {
        SCOPED_TRACE(levelling);
        model = NetworkModel{};
        known.Clear();
        newStarts.Clear();
        newStartCount = 0;
        settings.Modes.ModeLevelling = levelling;
        Branch({"S1", "a", "N"});
        Branch({"S2", "b", "N"});
        Branch({"S3", "c", "N"});
        Branch({"N", "d", "K"});
        model.NetworkNodes = Ids("N K");
        for (const char* name : {"S1", "K", "S2"}) known.Add(Id(name), 0, 0);
        Levels();
        EXPECT_EQ(Names(model.NetworkNodes), "N 0");
        if (!levelling) {
            ASSERT_EQ(newStartCount, 1);
            EXPECT_EQ(newStarts[1], Id("K"));
            EXPECT_EQ(knownCount, 2);
            EXPECT_EQ(Names(std::vector<int>{knownList[1], knownList[2]}), "S1 S2");
            EXPECT_EQ(sets.NodeSets[4], (NodeSet{1}));  // still in N's group
            EXPECT_EQ(sets.BranchLevels[4], 0);
        } else {
            // Levelling looks no node up: K is a free end and the branch hangs from N.
            EXPECT_EQ(newStartCount, 0);
            EXPECT_EQ(knownCount, 3);
            EXPECT_EQ(sets.NodeSets[4], (NodeSet{0}));
            EXPECT_EQ(sets.BranchLevels[4], 2);
        }
    }
}

TEST_F(NetFixture, GroupsFollowTheScanOrder) {
    Branch({"N2", "p", "N3"});  // met only once N2 has joined: in the second scan
    Branch({"N1", "q", "N2"});
    Branch({"N1", "r", "S1"});
    Branch({"N3", "s", "S2"});  // behind the N2-N3 branch: joins in that same second scan
    Branch({"N4", "t", "S3"});
    Branch({"S4", "u", "N4"});
    model.NetworkNodes = Ids("N1 N2 N3 N4");
    BuildBranchAdjacency(model, 4, sets);
    OneBased<int> saved = model.NetworkNodes;

    std::vector<std::string> seen;
    auto groups = FormBranchGroups(model, sets, saved, 4, [&](const BranchGroup& g) {
        std::string text = Names(model.NetworkNodes) + "|";
        for (int b = 1; b <= g.BranchCount; ++b) text += BranchText(b) + "|";
        seen.push_back(text);
        // An adjustment reorders and clears its own node entries; the next group must not see it.
        for (int n = 1; n <= static_cast<int>(g.NodeIds.size()); ++n) model.NetworkNodes[n] = 0;
        return true;
    });
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(seen[0], "N1 N2 N3 N4|N1 q N2|N1 r S1|N2 p N3|N3 s S2|");
    EXPECT_EQ(seen[1], "N4 N2 N3 N1|N4 t S3|S4 u N4|");
    EXPECT_EQ(Names(groups[1].NodeIds), "N4");
    ASSERT_EQ(groups[0].Points.size(), 4u);
    EXPECT_EQ(Names(groups[0].Points[2]), "N2 p N3");
    // The first group's branches follow the second's; every set was emptied.
    EXPECT_EQ(BranchText(3), "N1 q N2");
    for (int b = 1; b <= 6; ++b) EXPECT_TRUE(sets.NodeSets[b].Empty());

    // A visitor that stops ends the grouping after the first group.
    model = NetworkModel{};
    Branch({"N1", "a", "S1"});
    Branch({"N2", "b", "S2"});
    model.NetworkNodes = Ids("N1 N2");
    BuildBranchAdjacency(model, 2, sets);
    saved = model.NetworkNodes;
    EXPECT_EQ(FormBranchGroups(model, sets, saved, 2, [](const BranchGroup&) { return false; }).size(), 1u);
}

}  // namespace
}  // namespace qef
