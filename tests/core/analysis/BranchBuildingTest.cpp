#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/NetworkFixture.h"
#include "core/analysis/BranchBuilding.h"
#include "core/text/VnCodec.h"

namespace qef {
namespace {

using test::Lines;
using test::NetFixture;

TEST_F(NetFixture, DropAndSeparateObservations) {
    // A-B joins two fixed points; N is known by name only; (A, B, N) has three known points.
    Load("known A B N; side A B; side B N; angle A B N; angle A B 1");
    known.X[3] = known.Y[3] = kMissingValue;
    SideObservations sides;  // the read lists keep their values with their observations
    AngleObservations angles;
    sides.FromIds = Ids("A B");
    sides.ToIds = Ids("B N");
    sides.Lengths = test::List<double>({1, 2});
    DropFixedObservations(sides, angles, known, known.Count());
    EXPECT_EQ(test::Vec(sides.Lengths), std::vector<double>{2});
    DropFixedObservations(an.Sides, an.Angles, known, known.Count());
    EXPECT_EQ(Pairs(an.Sides), "B-N");
    EXPECT_EQ(Names(an.Angles.Station), "B");

    // Separation: 1-2 has no angle at 2 sighting 1; (P, Q, 9) at a non-start station has one leg;
    // Q-P is anchored by the side-only group at P and the angle at Q.
    Load("side B 1; side 1 2; side Q P; angle A B 1; angle B 1 2; angle 3 2 4; angle P Q 9");
    model.StartStations = Ids("B");
    OneBased<int> hard, sideOnly = Ids("P");
    SeparateFreeObservations(model, hard, sideOnly, an.Sides, an.Angles, an.FreeSides, an.FreeAngles);
    EXPECT_EQ(Pairs(an.Sides), "B-1, Q-P");
    EXPECT_EQ(Pairs(an.FreeSides), "1-2");
    ASSERT_EQ(an.FreeAngles.Count(), 3);  // (B, 1, 2) lost its leg 1-2; (3, 2, 4) has none
    EXPECT_EQ(Name(an.FreeAngles.Station[1]), "1");
    EXPECT_EQ(Name(an.Angles.Station[1]), "B");  // at a start station: stays

    // The single-pass variant: a node end must sight the side's other end.
    SidePairs moved;
    OneBased<double> values = test::List<double>({10, 20});
    ExtractUnangledNodeSides(an.Sides, &values, an.Angles, Ids("Q B"), moved);
    EXPECT_EQ(Pairs(an.Sides), "B-1");
    EXPECT_EQ(Pairs(moved), "Q-P");  // the angle at Q went to the free angles
    EXPECT_EQ(test::Vec(values), std::vector<double>{10});
}

// Known A, B at one end and C, D at the other. Carrying a + angle - 180 from the start azimuth,
// every angle worked out from the coordinates with atan2, must land on every true point and leave C
// towards D.
TEST_F(NetFixture, ConnectingTraverseReproducesItsCoordinates) {
    struct Point {
        double x, y;
    };
    const Point p[] = {{5123.456, 2210.789}, {5301.112, 2388.004}, {5522.870, 2301.655}, {5688.321, 2512.910},
                       {5640.007, 2790.446}, {5811.593, 2903.218}, {5702.260, 3110.875}};  // A B 1 2 3 C D
    Load("known A B C D; trav A B 1 2 3 C D");
    known.Clear();
    for (auto [name, i] : {std::pair{"A", 0}, {"B", 1}, {"C", 5}, {"D", 6}}) known.Add(Id(name), p[i].x, p[i].y);
    ASSERT_EQ(Analyse(), AnalysisStatus::Ok);
    EXPECT_EQ(Names(model.StartStations), "B C");
    EXPECT_EQ(Names(model.StartTargets), "A D");
    EXPECT_TRUE(model.NetworkNodes.Empty());
    ASSERT_EQ(Branches(), Lines{"B 1 2 3 C"});
    EXPECT_TRUE(an.FreeSides.Count() == 0 && an.FreeAngles.Count() == 0);
    EXPECT_EQ(progress.LastText(MonitorLabel::Stage), Vn("Nhánh số : 2"));
    auto azimuth = [&](int i, int j) {
        const double d = std::atan2(p[j].y - p[i].y, p[j].x - p[i].x) * 180 / std::numbers::pi;
        return d < 0 ? d + 360 : d;
    };
    double a = an.Directions.Azimuths[1], x = p[1].x, y = p[1].y;
    for (int i = 1; i <= 5; ++i) {
        const double angleAt = std::fmod(azimuth(i, i + 1) - azimuth(i, i - 1) + 360, 360);
        a = std::fmod(a + angleAt - 180 + 360, 360);
        if (i == 5) break;
        const double side = std::hypot(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y);
        x += side * std::cos(a * std::numbers::pi / 180);
        y += side * std::sin(a * std::numbers::pi / 180);
        EXPECT_NEAR(x, p[i + 1].x, 1e-6);
        EXPECT_NEAR(y, p[i + 1].y, 1e-6);
    }
    EXPECT_NEAR(a, std::fmod(an.Directions.Azimuths[2] + 180, 360), 1e-9);
}

TEST_F(NetFixture, SmallNetworksByHand) {
    struct Case {
        const char* script;
        Lines branches;
        const char* nodes;
        const char* freeSides;
        int groups;  // groups after the levels, with every level 0; -1: not looked at
    };
    const Case cases[] = {
        {"known A B C D; trav A B 1 2 C D", {"B 1 2 C"}, "", "", 0},
        // A closed loop from one start station: both angles at A give the same direction.
        {"known A B; trav B A 1 2 3 A B", {"A 1 2 3 A"}, "", "", 0},
        // One free node N with branches to three start stations: nothing joined, one group.
        {"known A B C D E F; trav A B 1 N 2 C D; trav N 3 E F; side N 3; angle 1 N 3",
         {"B 1 N", "N 2 C", "N 3 E"}, "N", "", 1},
        // A dead end N 3 4 (4 sights only Z): held back; N, left with two sides, is no node.
        {"known A B C D; trav A B 1 N 2 C D; side N 3; trav N 3 4 Z; angle 1 N 3", {"B 1 N 2 C"}, "", "N-3, 3-4",
         0},
        // A known station without a direction is a node.
        {"known A B C D K; trav A B 1 K 2 C D", {"B 1 K", "K 2 C"}, "K", "", -1},
        // A known point reached only by a side is a node.
        {"known A B P; trav A B 1 2 P; side 2 P", {"B 1 2 P"}, "P", "", -1},
        // Two sides leave B: the lower index is walked first; E is a start station, nothing is
        // queued and the group ends there.
        {"known A B C D E F; side B 3; trav A B 1 2 C D; trav B 3 4 E F; angle A B 3", {"B 3 4 E"}, "", "", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        Load(c.script);
        ASSERT_EQ(Analyse(), AnalysisStatus::Ok);
        EXPECT_EQ(Branches(), c.branches);
        EXPECT_EQ(Names(model.NetworkNodes), c.nodes);
        EXPECT_EQ(Pairs(an.FreeSides), c.freeSides);
        EXPECT_TRUE(Findings(an.KeptSides).empty());
        if (c.groups < 0) continue;
        if (c.branches == Lines{"A 1 2 3 A"}) {
            EXPECT_EQ(model.StartStations.Size(), 1u);
        }
        Levels();
        EXPECT_TRUE(Findings(an.KeptSides).empty());
        for (int b = 1; b <= model.Branches.BranchCount(); ++b) EXPECT_EQ(sets.BranchLevels[b], 0);
        OneBased<int> saved = model.NetworkNodes;
        const auto groups = FormBranchGroups(model, sets, saved, NodeCount());
        ASSERT_EQ(static_cast<int>(groups.size()), c.groups);
        if (c.groups == 1) {
            EXPECT_EQ(groups[0].BranchCount, 3);
            EXPECT_EQ(Names(groups[0].NodeIds), "N");
        }
    }
    // The last case: the next group starts from B again.
    const int next = FirstPointOnSides(model.StartStations, an.Sides);
    EXPECT_EQ(Name(next), "B");
    EXPECT_EQ(BuildGroupBranches(model, an, next, known, known.Count(), progress), 1);
    EXPECT_EQ(Branches(), Lines{"B 1 2 C"});
    EXPECT_EQ(FirstPointOnSides(model.StartStations, an.Sides), 0);
}

// A connecting traverse A-1-2-B with a spur 2-5-6 that ends nowhere, walked in one pass.
TEST_F(NetFixture, DeadEndHangsWhenWalkedInOnePass) {
    Load("known A0 A B B0; angle A0 A 1; angle A 1 2; angle 1 2 B; angle 1 2 5; angle 2 5 6; angle 2 B B0;"
         "side A 1; side 1 2; side 2 B; side 2 5; side 5 6");
    ASSERT_EQ(PrepareTraverseAnalysis(model, an, known, known.Count(), settings, answers, errorFlag, ui),
              AnalysisStatus::Ok);
    FindSideNodes(an.Sides, known.Ids, known.Count(), model.SideNodeCandidates);
    IntersectIdLists(model.AngleNodeCandidates, model.SideNodeCandidates, model.JunctionNodes);
    ConcatNodeLists(an.HardNodes, model.JunctionNodes, an.SideOnlyKnown, model.NetworkNodes);
    ConcatIdLists3(model.BranchStopPoints, model.StartStations, model.StartTargets, NodeCount(),
                   model.StartStations.Size(), model.NetworkNodes);
    EXPECT_EQ(Names(model.NetworkNodes), "2");
    const SidePairs sides = an.Sides;  // the walk consumes its copy
    const OneBased<int> stops = model.BranchStopPoints;
    LogBuffer log;
    ASSERT_TRUE(BuildSideBranches(model, an.Sides, nullptr, stops, stops, {}, log, ui, progress));
    EXPECT_EQ(Branches(), (Lines{"A 1 2", "B 2", "2 5 *"}));
    EXPECT_TRUE(Findings(sides).empty());

    // At 2 the spur is cut (level 1) and the two live branches join into A..B.
    Levels();
    EXPECT_EQ(Branches(), (Lines{"A 1 2 B", "2 5 *"}));
    EXPECT_TRUE(sets.NodeSets[1].Empty());
    EXPECT_EQ(sets.NodeSets[2], (NodeSet{0}));
    EXPECT_EQ(sets.BranchLevels[2], 1);
    EXPECT_EQ(model.NetworkNodes[1], 0);
    EXPECT_TRUE(Findings(sides).empty());

    // The checker does see a broken model: without its dead-end flag the spur ends away from a stop
    // point, and 2 inside A..B then ends three sides.
    model.Branches.BranchDeadEnd[2] = 0;
    EXPECT_EQ(Findings(sides).size(), 2u);
}

// Every branch of an order, as point sequences read in the smaller direction, and the held-back sides.
struct OrderResult {
    std::multiset<std::string> branches;
    std::multiset<std::string> freeSides;
};

OrderResult AnalyseOrder(NetFixture& f) {
    OrderResult r;
    EXPECT_EQ(PrepareTraverseAnalysis(f.model, f.an, f.known, f.known.Count(), f.settings, f.answers, f.errorFlag,
                                      f.ui),
              AnalysisStatus::Ok);
    for (int p; (p = FirstPointOnSides(f.model.StartStations, f.an.Sides)) != 0;) {
        BuildGroupBranches(f.model, f.an, p, f.known, f.known.Count(), f.progress);
        const BranchModel& br = f.model.Branches;
        for (int b = 1; b <= br.BranchCount(); ++b) {
            std::vector<std::string> seq;
            for (int q = br.First(b); q <= br.Last(b); ++q) seq.push_back(f.Name(br.PointAt(q)));
            std::vector<std::string> rev(seq.rbegin(), seq.rend());
            std::string s;
            for (const auto& n : std::min(seq, rev)) s += n + " ";
            r.branches.insert(s);
        }
    }
    for (int i = 1; i <= f.an.FreeSides.Count(); ++i) {
        std::string a = f.Name(f.an.FreeSides.EndsA[i]), b = f.Name(f.an.FreeSides.EndsB[i]);
        r.freeSides.insert(std::min(a, b) + "-" + std::max(a, b));
    }
    return r;
}

TEST_F(NetFixture, PermutedObservationsGiveTheSameBranches) {
    // Nodes N and M, three start stations, a loop at M and a dead end N 7 8.
    Load("known A B C D E F; trav A B 1 N 2 C D; trav N 3 M 4 E F; trav M 5 6 M 3; side N 3; side M 5;"
         "side N 7; trav N 7 8 Z; angle 1 N 3; angle 1 N 7; angle 3 M 5");
    const TraverseAnalysis original = an;
    const OrderResult expected{{"B 1 N ", "C 2 N ", "M 3 N ", "E 4 M ", "M 5 6 M "}, {"7-8", "7-N"}};
    auto check = [&](const OrderResult& r) {
        EXPECT_EQ(r.branches, expected.branches);
        EXPECT_EQ(r.freeSides, expected.freeSides);
    };
    check(AnalyseOrder(*this));
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        model.FreeIdLists();
        an = TraverseAnalysis{};
        std::vector<int> s(original.Sides.Count()), a(original.Angles.Count());
        std::iota(s.begin(), s.end(), 1);
        std::iota(a.begin(), a.end(), 1);
        std::shuffle(s.begin(), s.end(), random);
        std::shuffle(a.begin(), a.end(), random);
        for (int i : s) an.Sides.Add(original.Sides.EndsA[i], original.Sides.EndsB[i]);
        for (int i : a) an.Angles.Add(original.Angles.Back[i], original.Angles.Station[i], original.Angles.Fore[i]);
        check(AnalyseOrder(*this));
    }
}

// Every group of an order as its branches, then the held-back sides. With `fromScratch` the sides
// are compacted after each group, so that every group finds the order's index rebuilt from the
// sides left, as if it were the first: what the index keeps from group to group must not matter.
std::vector<std::string> OrderGroups(NetFixture& f, bool fromScratch) {
    EXPECT_EQ(PrepareTraverseAnalysis(f.model, f.an, f.known, f.known.Count(), f.settings, f.answers, f.errorFlag,
                                      f.ui),
              AnalysisStatus::Ok);
    std::vector<std::string> groups;
    for (int p; (p = NextGroupStart(f.model, f.an)) != 0;) {
        BuildGroupBranches(f.model, f.an, p, f.known, f.known.Count(), f.progress);
        std::string group = f.Name(p) + ":";
        for (const std::string& branch : f.Branches()) group += " [" + branch + "]";
        groups.push_back(group + " nodes " + f.Names(f.model.NetworkNodes));
        if (fromScratch) CompactIdPairs(f.an.Sides);
    }
    groups.push_back("held back " + f.Pairs(f.an.FreeSides));
    return groups;
}

TEST_F(NetFixture, GroupsDoNotDependOnWhatTheIndexKeeps) {
    // Stations shared by several groups (B, C, E), a node N with a dead end, a loop at M, a spur
    // from a point that is no node (6), and a traverse that ends at a known point without angle.
    Load("known A B C D E F G; trav A B 1 N 2 C D; trav N 3 M 4 E F; trav M 5 6 M 3; side N 3; side M 5;"
         "side N 7; trav N 7 8 Z; angle 1 N 3; angle 1 N 7; angle 3 M 5; trav A B 9 10 E F; trav D C 11 12 G;"
         "side 6 13; trav 5 6 13 14; trav D C 15 16 B A; side C 15; angle D C 15");
    const TraverseAnalysis original = an;
    std::mt19937 random(11);
    for (int round = 0; round < 20; ++round) {
        std::vector<int> order(original.Sides.Count());
        std::iota(order.begin(), order.end(), 1);
        if (round > 0) std::shuffle(order.begin(), order.end(), random);
        auto load = [&] {
            model.FreeIdLists();
            an = TraverseAnalysis{};
            for (int i : order) an.Sides.Add(original.Sides.EndsA[i], original.Sides.EndsB[i]);
            an.Angles = original.Angles;
        };
        load();
        const std::vector<std::string> kept = OrderGroups(*this, false);
        load();
        const std::vector<std::string> rebuilt = OrderGroups(*this, true);
        EXPECT_EQ(kept, rebuilt) << "round " << round;
        EXPECT_GE(kept.size(), 4u);
    }
}

TEST_F(NetFixture, SideBranchesLeftoverAndLog) {
    test::TempDir dir;
    Load("side S 1; side 1 T; side 2 S; side U V");  // U-V: reached from no start point
    OneBased<double> lengths = test::List<double>({10, 20, 30, 12.3456});
    const OneBased<int> starts = Ids("S"), stops = Ids("S T");
    LogBuffer log;
    log.Add("run");
    SideBranchFiles files{dir.File("left.dta"), dir.File("kq.dta"), {dir.File("obs.dta"), dir.File("kq.txt")}};
    EXPECT_TRUE(BuildSideBranches(model, an.Sides, &lengths, starts, stops, files, log, ui, progress));
    EXPECT_EQ(Branches(), (Lines{"S 1 T", "S 2 *"}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("left.dta")), "U\tV\t12.346\r\n//HetCanhTuDo\r\n");
    EXPECT_EQ(an.Sides.Count(), 3);  // the walked sides stay, zeroed, for CompactIdPairs
    EXPECT_EQ(lengths.Size(), 3u);
    // kq.txt is an input of the run: the log is not saved over it.
    EXPECT_TRUE(test::ReadFileBytes(dir.File("kq.txt")).empty());
    ASSERT_EQ(log.Lines().size(), 3u);
    EXPECT_EQ(log.Lines()[1], "");
    files = {"", dir.File("kq.dta"), {dir.File("obs.dta")}};
    EXPECT_TRUE(BuildSideBranches(model, an.Sides, &lengths, starts, stops, files, log, ui, progress));
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.txt")).substr(0, 5), "run\r\n");
}

// Candidates 5 7 9 (angles) and 9 5 (sides) share 5 and 9, in the angle list's order; the nodes
// are hard node 11, those two, then side-only 12; the stop list is stations, targets, nodes, and a
// longer list left from an earlier pass is cut to its 2 x 2 + 4 entries.
TEST(JoinNodesAndStopPoints, NodesFollowHardJunctionSideOnlyAndStopsAreSizedExactly) {
    NetworkModel model;
    model.AngleNodeCandidates = test::List<int>({5, 7, 9});
    model.SideNodeCandidates = test::List<int>({9, 5});
    model.StartStations = test::List<int>({1, 2});
    model.StartTargets = test::List<int>({3, 4});
    model.BranchStopPoints = OneBased<int>(20, -1);
    JoinNodesAndStopPoints(model, test::List<int>({11}), test::List<int>({12}));
    EXPECT_EQ(test::Vec(model.JunctionNodes), (std::vector<int>{5, 9}));
    EXPECT_EQ(test::Vec(model.NetworkNodes), (std::vector<int>{11, 5, 9, 12}));
    EXPECT_EQ(test::Vec(model.BranchStopPoints), (std::vector<int>{1, 2, 3, 4, 11, 5, 9, 12}));

    // No junction and no side-only point: the stops are the start pairs and the hard nodes.
    model.SideNodeCandidates = test::List<int>({8});
    JoinNodesAndStopPoints(model, test::List<int>({11}), OneBased<int>());
    EXPECT_EQ(test::Vec(model.NetworkNodes), (std::vector<int>{11}));
    EXPECT_EQ(test::Vec(model.BranchStopPoints), (std::vector<int>{1, 2, 3, 4, 11}));
}

}  // namespace
}  // namespace qef
