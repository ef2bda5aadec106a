#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AnalysisInvariants.h"
#include "core/BranchBuilding.h"
#include "core/BranchLevels.h"
#include "core/NetworkChecks.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// Small traverse networks taken from observations through the analysis, with the branches, levels
// and groups expected from working each network through by hand.
struct NetworkFixture : ::testing::Test {
    NetworkModel model;
    PointList known;
    TraverseAnalysis analysis;
    ComputationSettings settings;
    StartAzimuthAnswers answers;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    LogBuffer log;
    bool errorFlag = false;
    BranchSets sets;
    int pass = 0;

    int Id(const std::string& name) { return model.PointNames.Register(name); }
    void Known(const char* name, double x, double y) { known.Add(Id(name), x, y); }
    void Side(const char* a, const char* b) { analysis.Sides.Add(Id(a), Id(b)); }
    void Angle(const char* back, const char* station, const char* fore) {
        analysis.Angles.Add(Id(back), Id(station), Id(fore));
    }

    std::string Names(const std::vector<int>& ids) const {
        std::string out;
        for (int id : ids) out += (id ? model.PointNames.Name(id) : std::string("0")) + " ";
        return out;
    }
    std::vector<std::string> Branches() const {
        std::vector<std::string> out;
        const BranchModel& br = model.Branches;
        for (int b = 1; b <= br.BranchCount(); ++b) {
            std::vector<int> ids(br.BranchPoints.begin() + (br.First(b) - 1),
                                 br.BranchPoints.begin() + br.Last(b));
            out.push_back(Names(ids));
        }
        return out;
    }
    std::string NodeText() const { return Names({model.NetworkNodes.begin(), model.NetworkNodes.end()}); }
    int NodeCount() const { return static_cast<int>(model.NetworkNodes.Size()); }

    // Levels on the branches as walked, with the known points as the known list.
    void Levels() {
        OneBased<int> knownList = known.Ids;
        int knownCount = known.Count();
        OneBased<int> newStarts;
        int newStartCount = 0;
        BuildBranchAdjacency(model, NodeCount(), sets);
        AssignBranchLevels(model, pass, NodeCount(), {knownList, knownCount, newStarts, newStartCount}, sets,
                           static_cast<int>(model.StartStations.Size()), settings);
    }
    // Invariants of the branches against the given sides; stop points are the start directions and
    // the nodes not resolved.
    std::vector<std::string> Findings(const SidePairs& sides) const {
        OneBased<int> stops;
        for (int id : model.StartStations) stops.PushBack(id);
        for (int id : model.StartTargets) stops.PushBack(id);
        for (int id : model.NetworkNodes)
            if (id != 0) stops.PushBack(id);
        return CheckBranchInvariants(model.Branches, sides.EndsA, sides.EndsB, sides.Count(), stops,
                                     static_cast<int>(stops.Size()));
    }
    // The whole analysis: walk, levels, groups, with the invariants checked after the walk and
    // after the levels.
    std::vector<BranchGroup> AnalyseAll() {
        EXPECT_EQ(AnalyseTraverseNetwork(model, analysis, known, known.Count(), settings, answers, errorFlag, ui,
                                         progress),
                  AnalysisStatus::Ok);
        walked = Branches();
        walkedNodes = NodeText();
        EXPECT_TRUE(Findings(analysis.KeptSides).empty());
        Levels();
        EXPECT_TRUE(Findings(analysis.KeptSides).empty());
        OneBased<int> saved = model.NetworkNodes;
        return FormBranchGroups(model, sets, saved, NodeCount());
    }
    std::vector<std::string> walked;
    std::string walkedNodes;
};

TEST_F(NetworkFixture, ConnectingTraverseAndClosedLoopAreFittedBranches) {
    Known("A0", 1000, 1000);
    Known("A", 1100, 1000);
    Known("B", 1100, 1300);
    Known("B0", 1000, 1300);
    Angle("A0", "A", "1");
    Angle("A", "1", "2");
    Angle("1", "2", "B");
    Angle("2", "B", "B0");
    Side("A", "1");
    Side("1", "2");
    Side("2", "B");
    EXPECT_TRUE(AnalyseAll().empty());
    EXPECT_EQ(walked, (std::vector<std::string>{"A 1 2 B "}));
    EXPECT_EQ(walkedNodes, "");
    EXPECT_TRUE(sets.NodeSets[1].Empty());
    EXPECT_EQ(sets.BranchLevels[1], 0);

    // A loop A-1-2-3-A closed on the one start direction at A.
    model = NetworkModel{};
    known.Clear();
    analysis = TraverseAnalysis{};
    Known("A0", 1000, 1000);
    Known("A", 1100, 1000);
    Angle("A0", "A", "1");
    Angle("A", "1", "2");
    Angle("1", "2", "3");
    Angle("2", "3", "A");
    Angle("3", "A", "A0");
    Side("A", "1");
    Side("1", "2");
    Side("2", "3");
    Side("3", "A");
    EXPECT_TRUE(AnalyseAll().empty());
    EXPECT_EQ(model.StartStations.Size(), 1u);  // both angles at A give the same direction
    EXPECT_EQ(walked, (std::vector<std::string>{"A 1 2 3 A "}));
    EXPECT_TRUE(sets.NodeSets[1].Empty());
}

TEST_F(NetworkFixture, FreeNodeWithThreeBranches) {
    Known("A0", 1000, 1000);
    Known("A", 1100, 1000);
    Known("B0", 1500, 1600);
    Known("B", 1400, 1500);
    Known("C0", 900, 1700);
    Known("C", 1000, 1600);
    Angle("A0", "A", "1");
    Angle("A", "1", "N");
    Angle("1", "N", "2");
    Angle("1", "N", "3");
    Angle("B0", "B", "2");
    Angle("B", "2", "N");
    Angle("C0", "C", "3");
    Angle("C", "3", "N");
    Side("A", "1");
    Side("1", "N");
    Side("B", "2");
    Side("2", "N");
    Side("C", "3");
    Side("3", "N");
    auto groups = AnalyseAll();
    EXPECT_EQ(walked, (std::vector<std::string>{"A 1 N ", "N 2 B ", "N 3 C "}));
    EXPECT_EQ(walkedNodes, "N ");
    // Three live branches at N: nothing joined, all in the core, one group.
    for (int b = 1; b <= 3; ++b) EXPECT_EQ(sets.BranchLevels[b], 0);
    ASSERT_EQ(groups.size(), 1u);
    EXPECT_EQ(groups[0].BranchCount, 3);
    EXPECT_EQ(Names(groups[0].NodeIds), "N ");
    EXPECT_TRUE(CheckGroupTied(model, static_cast<int>(model.StartStations.Size()), 3, errorFlag, ui));
}

// A connecting traverse A-1-2-B with a spur 2-5-6 that ends nowhere.
struct DeadEndFixture : NetworkFixture {
    void SetUp() override {
        Known("A0", 1000, 1000);
        Known("A", 1100, 1000);
        Known("B", 1100, 1300);
        Known("B0", 1000, 1300);
        Angle("A0", "A", "1");
        Angle("A", "1", "2");
        Angle("1", "2", "B");
        Angle("1", "2", "5");
        Angle("2", "5", "6");
        Angle("2", "B", "B0");
        Side("A", "1");
        Side("1", "2");
        Side("2", "B");
        Side("2", "5");
        Side("5", "6");
    }
};

TEST_F(DeadEndFixture, HeldBackByTheGroupWalk) {
    // 5-6 has no angle at 6 and is set aside; the spur 2-5 dead-ends and is held back, after which
    // 2 is no node and the traverse is walked through it.
    EXPECT_TRUE(AnalyseAll().empty());
    EXPECT_EQ(walked, (std::vector<std::string>{"A 1 2 B "}));
    EXPECT_EQ(analysis.KeptSides.Count(), 3);
    EXPECT_EQ(analysis.FreeSides.Count(), 2);
}

TEST_F(DeadEndFixture, HangingWhenWalkedInOnePass) {
    ASSERT_EQ(PrepareTraverseAnalysis(model, analysis, known, known.Count(), settings, answers, errorFlag, ui),
              AnalysisStatus::Ok);
    FindSideNodes(analysis.Sides, known.Ids, known.Count(), model.SideNodeCandidates);
    IntersectIdLists(model.AngleNodeCandidates, model.SideNodeCandidates, model.JunctionNodes);
    ConcatNodeLists(analysis.HardNodes, model.JunctionNodes, analysis.SideOnlyKnown, model.NetworkNodes);
    ConcatIdLists3(model.BranchStopPoints, model.StartStations, model.StartTargets, NodeCount(),
                   static_cast<int>(model.StartStations.Size()), model.NetworkNodes);
    EXPECT_EQ(NodeText(), "2 ");
    const SidePairs sides = analysis.Sides;  // the walk consumes its copy
    const OneBased<int> stops = model.BranchStopPoints;
    ASSERT_TRUE(BuildSideBranches(model, analysis.Sides, nullptr, stops, stops, {}, log, ui, progress));
    EXPECT_EQ(Branches(), (std::vector<std::string>{"A 1 2 ", "B 2 ", "2 5 "}));
    EXPECT_EQ(model.Branches.BranchDeadEnd[3], 1);
    EXPECT_TRUE(Findings(sides).empty());

    // At 2 the spur is cut (level 1) and the two live branches join into A..B.
    Levels();
    EXPECT_EQ(Branches(), (std::vector<std::string>{"A 1 2 B ", "2 5 "}));
    EXPECT_TRUE(sets.NodeSets[1].Empty());
    EXPECT_EQ(sets.NodeSets[2], (NodeSet{0}));
    EXPECT_EQ(sets.BranchLevels[2], 1);
    EXPECT_EQ(NodeText(), "0 ");
    EXPECT_TRUE(Findings(sides).empty());

    // The checker does see a broken model: without its dead-end flag the spur ends away from a stop
    // point, and 2 inside A..B then ends three sides.
    model.Branches.BranchDeadEnd[2] = 0;
    EXPECT_EQ(Findings(sides).size(), 2u);
}

}  // namespace
}  // namespace qef
