#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <fstream>
#include <unistd.h>
#include <vector>

#include "adjustment/Rigorous.h"
#include "adjustment/RigorousAccuracy.h"
#include "adjustment/ParametricReference.h"
#include "adjustment/RigorousFixture.h"
#include "adjustment/RigorousGroupState.h"
#include "adjustment/SimpleReports.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::kSecondsPerRadian;
using test::ParametricSolution;
using test::SolveParametric;
using test::SyntheticGroup;

// One connecting traverse between two known directions (A->B ... C->D).
SyntheticGroup ConnectingTraverse() {
    SyntheticGroup g;
    g.AddPoints({{"A", 2000, 1000, true}, {"B", 1500, 1000, true}, {"P1", 1420, 1310}, {"P2", 1530, 1650},
                 {"P3", 1390, 1980}, {"C", 1480, 2300, true}, {"D", 1900, 2500, true}});
    g.AddBranch({"B", "P1", "P2", "P3", "C"}, BranchKind::BothEnds, "A", "D");
    return g;
}

// The node network with a fourth branch from N to a side-only point Q: no angle condition there.
SyntheticGroup WithSideOnlyBranch(SyntheticGroup g) {
    g.AddPoints({{"4a", 1150, 1700}, {"4b", 800, 1800}, {"Q", 450, 1950, true}});
    g.AddBranch({"N", "4a", "4b", "Q"}, BranchKind::StartOnly, "1c", {}, true);
    return g;
}

// The node network's points without 1c, N defined by the branch that leaves it without an angle
// (angled at its end only, to a known direction, or at neither end, to a side-only point Q); the
// branches arriving at N carry connecting angles towards 3a, the first of them carrying N.
SyntheticGroup NodeDefinedByLeavingBranch(bool toSideOnlyPoint) {
    SyntheticGroup g;
    g.AddPoints({{"T1", 2900, 100, true}, {"S1", 2500, 200, true}, {"1a", 2300, 550}, {"1b", 2050, 900},
                 {"N", 1500, 1500}, {"T2", 300, 0, true}, {"S2", 600, 300, true}, {"2a", 900, 700},
                 {"2b", 1200, 1150}, {"3a", 1450, 1900}, {"3b", 1600, 2300}, {"3c", 1500, 2700}});
    g.AddBranch({"S1", "1a", "1b", "N"}, BranchKind::BothEnds, "T1", "3a");
    g.AddBranch({"S2", "2a", "2b", "N"}, BranchKind::BothEnds, "T2", "3a");
    if (toSideOnlyPoint) {
        g.AddPoint("Q", 1550, 3100, true);
        g.AddBranch({"N", "3a", "3b", "3c", "Q"}, BranchKind::Neither, {}, {}, true);
    } else {
        g.AddPoints({{"S3", 1550, 3100, true}, {"T3", 1900, 3400, true}});
        g.AddBranch({"N", "3a", "3b", "3c", "S3"}, BranchKind::EndOnly, {}, "T3");
    }
    g.AddNode("N", false, 1);
    return g;
}

struct RigorousRun : test::RigorousGroupState {

    RigorousStatus Adjust(const SyntheticGroup& g, double mbSeconds, double ms) {
        g.Build(model, ws, 0.05, mbSeconds / 3600.0, ms);
        RigorousGroupResult result = RigorousAdjustGroup(ws, model, Context());
        sol = std::move(result.Solution);
        return result.Status;
    }

    // X, Y, Mx, My of a point of the group (node or branch position).
    std::array<double, 4> Adjusted(const std::string& name) const {
        const int id = model.PointNames.Find(name);
        for (int k = 1; k <= ws.Nn; ++k)
            if (model.NetworkNodes[k] == id) return {ws.NodeX[k], ws.NodeY[k], sol.NodeMx[k], sol.NodeMy[k]};
        for (int p = 1; p <= ws.TotalPoints; ++p)
            if (model.Branches.PointAt(static_cast<int>(p)) == id)
                return {ws.PositionX[p], ws.PositionY[p], sol.PointMx[p], sol.PointMy[p]};
        ADD_FAILURE() << "no point " << name;
        return {};
    }
};

// Everything the rigorous stage computes, against the parametric solution of the same
// observations with the same weights.
void ExpectAgreement(const SyntheticGroup& g, const RigorousRun& r, const ParametricSolution& ref) {
    EXPECT_EQ(r.sol.Redundancy, ref.Redundancy);
    EXPECT_NEAR(r.sol.Pvv, ref.Pvv, 1e-4 * ref.Pvv);
    EXPECT_NEAR(r.sol.Mu, ref.Mu, 1e-4 * ref.Mu);
    EXPECT_NEAR(r.state.PvvTotal, ref.Pvv, 1e-4 * ref.Pvv);
    for (const auto& [name, c] : ref.Index) {
        const auto [x, y, mx, my] = r.Adjusted(name);
        EXPECT_NEAR(x, ref.X(name), 1e-4) << name;
        EXPECT_NEAR(y, ref.Y(name), 1e-4) << name;
        EXPECT_NEAR(mx, ref.SigmaOf(name, 0), 2e-5) << name;
        EXPECT_NEAR(my, ref.SigmaOf(name, 1), 2e-5) << name;
    }
    const BranchModel& br = r.model.Branches;
    for (std::size_t b = 0; b < g.Branches.size(); ++b) {
        const auto& points = g.Branches[b].Points;
        for (std::size_t j = 0; j + 1 < points.size(); ++j) {
            const int p = br.First(static_cast<int>(b) + 1) + static_cast<int>(j);
            SCOPED_TRACE(points[j] + "-" + points[j + 1]);
            // Lengths are kept to the millimetre.
            EXPECT_NEAR(r.sol.SideErrors[p], ref.SideSigma(points[j], points[j + 1]), 0.0005 + 1e-9);
            EXPECT_NEAR(r.sol.AzimuthErrors[p], ref.AzimuthSigma(points[j], points[j + 1]), 0.005);
            EXPECT_NEAR(r.ws.PositionSides[p] + r.sol.SideCorrections[p],
                        std::hypot(ref.X(points[j + 1]) - ref.X(points[j]), ref.Y(points[j + 1]) - ref.Y(points[j])),
                        1e-4);
        }
    }
}

double EstimatedMs(double) { return 0.012; }

// Four nodes in a row, each carried by the branch from the one before, with cross branches that
// skip one: the unknowns of a node are not numbered in node order.
SyntheticGroup NodeLadder() {
    SyntheticGroup g;
    g.AddPoints({{"T1", -300, -200, true}, {"S1", 0, 0, true}, {"a1", 300, 90}, {"N1", 600, 100},
                 {"a2", 900, 130}, {"N2", 1200, 50}, {"a3", 1500, 40}, {"N3", 1800, 150}, {"a4", 2100, 170},
                 {"N4", 2400, 100}, {"a5", 2700, 20}, {"S2", 3000, 0, true}, {"T2", 3300, 250, true},
                 {"c1", 1000, 450}, {"c2", 1450, 480}, {"d1", 1800, -300}, {"e1", 650, -350}});
    g.AddBranch({"S1", "a1", "N1"}, BranchKind::StartOnly, "T1");
    g.AddBranch({"N1", "a2", "N2"}, BranchKind::StartOnly, "a1");
    g.AddBranch({"N2", "a3", "N3"}, BranchKind::StartOnly, "a2");
    g.AddBranch({"N3", "a4", "N4"}, BranchKind::StartOnly, "a3");
    g.AddBranch({"N4", "a5", "S2"}, BranchKind::BothEnds, "a4", "T2");
    g.AddBranch({"N1", "c1", "c2", "N3"}, BranchKind::BothEnds, "a1", "a3");
    g.AddBranch({"N2", "d1", "N4"}, BranchKind::BothEnds, "a2", "a4");
    g.AddBranch({"S1", "e1", "N2"}, BranchKind::BothEnds, "T1", "a2");
    for (int k = 1; k <= 4; ++k) g.AddNode("N" + std::to_string(k), false, k);
    return g;
}

TEST(Rigorous, GroupsMatchParametricSolution) {
    SyntheticGroup loop = test::NodeNetwork();
    loop.AddPoints({{"5a", 1300, 1800}, {"5b", 1050, 1600}, {"5c", 1200, 1300}});
    loop.AddBranch({"N", "5a", "5b", "5c", "N"}, BranchKind::BothEnds, "1c", "1c");
    struct Case {
        const char* name;
        SyntheticGroup g;
        std::uint32_t seed;
        int redundancy;
    };
    const Case cases[] = {{"connecting traverse", ConnectingTraverse(), 7, 3},
                          {"unknown node", test::NodeNetwork(), 11, 6},
                          {"node with known coordinates: orientation only", test::NodeNetwork(true), 13, 8},
                          {"a branch to a side-only point", WithSideOnlyBranch(test::NodeNetwork()), 17, 8},
                          {"a loop from the node back to it", loop, 19, 9},
                          {"angled at the end only, to a known direction", NodeDefinedByLeavingBranch(false), 41, 6},
                          {"angled at neither end, to a side-only point", NodeDefinedByLeavingBranch(true), 43, 5},
                          {"nodes joined by cross branches", NodeLadder(), 47, 12}};
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        c.g.Observe(c.seed, 6.0, 0.012);
        RigorousRun r;
        ASSERT_EQ(r.Adjust(c.g, 6.0, 0.012), RigorousStatus::Adjusted);
        const ParametricSolution ref = SolveParametric(c.g, 6.0, EstimatedMs);
        EXPECT_EQ(ref.Redundancy, c.redundancy);
        ExpectAgreement(c.g, r, ref);
        // Branches close on their last point, which keeps its known or adjusted place.
        for (std::size_t b = 1; b <= c.g.Branches.size(); ++b) {
            const int p = r.model.Branches.Last(static_cast<int>(b)) - 1;
            const std::string& last = c.g.Branches[b - 1].Points.back();
            const double az = DegToRad(r.ws.PositionAzimuths[p]), s = r.ws.PositionSides[p] + r.sol.SideCorrections[p];
            const auto end = c.g.P(last).Known ? std::array<double, 4>{c.g.P(last).X, c.g.P(last).Y} : r.Adjusted(last);
            EXPECT_NEAR(r.ws.PositionX[p] + std::cos(az) * s, end[0], 1e-5) << b;
            EXPECT_NEAR(r.ws.PositionY[p] + std::sin(az) * s, end[1], 1e-5) << b;
        }
        for (const auto& node : c.g.Nodes)  // a known node keeps its coordinates
            EXPECT_TRUE(!node.Known || (r.Adjusted(node.Name)[0] == 1500.0 && r.Adjusted(node.Name)[1] == 1500.0));
        if (std::string(c.name) == "a branch to a side-only point") {
            EXPECT_EQ(r.sol.Solution[10], 0.0);  // the missing condition's correlate
        }
    }
}

// A long connecting traverse of 24 points zigzagging across 8 km: no node to correct, so only
// linearising the conditions again at the corrected values brings it to the least squares.
SyntheticGroup LongTraverse() {
    SyntheticGroup g;
    g.AddPoints({{"A", -400, -300, true}, {"B", 0, 0, true}});
    std::vector<std::string> names{"B"};
    for (int i = 1; i <= 22; ++i) {
        const std::string name = "L" + std::to_string(i);
        g.AddPoint(name, 120.0 * i + (i % 3 == 0 ? 90.0 : -60.0), 350.0 * i + (i % 2 == 0 ? 40.0 : -80.0));
        names.push_back(name);
    }
    g.AddPoints({{"C", 2900, 8100, true}, {"D", 3300, 8600, true}});
    names.push_back("C");
    g.AddBranch(names, BranchKind::BothEnds, "A", "D");
    return g;
}

// Observations at 10" and 10 mm, the noise of a careless but honest field day: the conditions are
// far enough from linear there that one solution misses the least squares by over 0.01 mm.
TEST(Rigorous, EqualsLeastSquaresAtTenSecondsAndTenMillimetres) {
    SyntheticGroup hanging = test::NodeNetwork();
    hanging = WithSideOnlyBranch(hanging);
    struct Case {
        const char* name;
        SyntheticGroup g;
        std::uint32_t seed;
    };
    const Case cases[] = {{"long connecting traverse", LongTraverse(), 3},
                          {"a network hanging on a side-only point", hanging, 5},
                          {"nodes joined by cross branches", NodeLadder(), 9},
                          {"grid of 265 points", test::GridNetwork(6, 7, 21, 10.0, 0.010), 0}};
    for (Case c : cases) {
        SCOPED_TRACE(c.name);
        if (c.seed != 0) c.g.Observe(c.seed, 10.0, 0.010);
        RigorousRun r;
        r.settings.WeightMode = WeightMode::Entered;
        r.settings.MbEnteredSeconds = 10.0;
        r.settings.MsConstant = 10.0;
        r.settings.MsPpm = 0.0;
        ASSERT_EQ(r.Adjust(c.g, 10.0, 0.010), RigorousStatus::Adjusted);
        const ParametricSolution ref = SolveParametric(c.g, 10.0, [](double) { return 0.010; });
        EXPECT_EQ(r.sol.Redundancy, ref.Redundancy);
        EXPECT_NEAR(r.sol.Pvv, ref.Pvv, 1e-6 * ref.Pvv);
        double worst = 0.0;
        for (const auto& [name, column] : ref.Index) {
            const auto [x, y, mx, my] = r.Adjusted(name);
            worst = std::max({worst, std::fabs(x - ref.X(name)), std::fabs(y - ref.Y(name))});
        }
        EXPECT_LT(worst, 1e-5);
    }
}

// The node part of the inverse where two nodes a branch joins have no coupling left after the
// reduction (a cancellation): it is still formed there, against Eigen's inverse.
TEST(Rigorous, NodeInverseBetweenNodesABranchJoins) {
    // Nodes 1-2 and 2-3 coupled, 1-3 not; the one branch runs from node 1 to node 3.
    std::mt19937 rng(31);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Eigen::MatrixXd nodes = 2.0 * Eigen::MatrixXd::Identity(9, 9);
    for (const int first : {0, 3})
        for (int s = 0; s < 6; ++s) {
            Eigen::VectorXd v = Eigen::VectorXd::Zero(9);
            for (int k = first; k < first + 6; ++k) v(k) = u(rng);
            nodes += v * v.transpose();
        }
    PackedNormalMatrix reduced(9);
    for (int i = 1; i <= 9; ++i)
        for (int j = i; j <= 9; ++j) reduced(i, j) = nodes(i - 1, j - 1);
    OneBased<double> unused;
    SolveNormalDense(unused, reduced, true, true);

    RigorousSolution sol;
    sol.B = 1;
    sol.M = 3;
    sol.BranchNodes = OneBased<int>(2);
    sol.BranchNodes[1] = 1;
    sol.BranchNodes[2] = 3;
    sol.Normals.Resize(12);
    for (int i = 1; i <= 3; ++i) sol.Normals(i, i) = 1.0;
    for (int i = 1; i <= 9; ++i)
        for (int j = i; j <= 9; ++j) sol.Normals(3 + i, 3 + j) = reduced(i, j);
    PrepareNodeInverse(sol);

    const Eigen::MatrixXd inverse = nodes.inverse();
    const double none[3] = {0.0, 0.0, 0.0};
    const NodeTerm y2[1] = {{sol.NodeColumn(2, 3), 1.0}};
    EXPECT_NEAR(FunctionReciprocalWeight(sol, 0, none, y2, 0.0), inverse(5, 5), 1e-12);
    const NodeTerm x1x3[2] = {{sol.NodeColumn(1, 2), 1.0}, {sol.NodeColumn(3, 2), -2.0}};
    EXPECT_NEAR(FunctionReciprocalWeight(sol, 0, none, x1x3, 0.0),
                inverse(1, 1) - 4.0 * inverse(1, 7) + 4.0 * inverse(7, 7), 1e-12);
}

TEST(Rigorous, EnteredWeightsAndDefaults) {
    SyntheticGroup g = WithSideOnlyBranch(test::NodeNetwork());
    g.Observe(23, 4.0, 0.008);
    RigorousRun r;
    r.settings.WeightMode = WeightMode::Entered;
    r.settings.MbEnteredSeconds = 3.0;
    r.settings.MsConstant = 3.0;
    r.settings.MsPpm = 5.0;
    ASSERT_EQ(r.Adjust(g, 6.0, 0.012), RigorousStatus::Adjusted);
    const ParametricSolution ref =
        SolveParametric(g, 3.0, [](double s) { return (3.0 + 5.0 * s / 1000.0) / 1000.0; });
    ExpectAgreement(g, r, ref);
    EXPECT_EQ(r.state.MbInUseSeconds, 3.0);

    // Weights from the simple adjustment: nothing estimated gives 5" and 5 mm.
    const GroupWorkingSet nothing;
    RigorousSolution sol;
    ChooseAprioriErrors(nothing, ComputationSettings{}, sol);
    EXPECT_EQ(sol.MbInUseSeconds, 5.0);
    EXPECT_EQ(sol.MsInUse, 0.005);
    r.settings.MbEnteredSeconds = 0.0;
    ChooseAprioriErrors(nothing, r.settings, sol);
    EXPECT_EQ(sol.MbInUseSeconds, 5.0);
}

TEST(Rigorous, NoRedundancy) {
    // One branch from a known direction to an unknown node: three conditions, three unknowns.
    SyntheticGroup g;
    g.AddPoints({{"T", 0, 0, true}, {"S", 100, 0, true}, {"a", 250, 120}, {"N", 420, 80}});
    g.AddBranch({"S", "a", "N"}, BranchKind::StartOnly, "T");
    g.AddNode("N", false, 1);
    g.Observe(5, 6.0, 0.012);
    RigorousRun r;
    ASSERT_EQ(r.Adjust(g, 6.0, 0.012), RigorousStatus::Adjusted);
    EXPECT_EQ(r.sol.Redundancy, 0);
    EXPECT_FALSE(r.sol.AccuracyEstimated);
    EXPECT_NEAR(r.sol.Pvv, 0.0, 1e-12);
    EXPECT_EQ(r.sol.PointMp[2], 0.0);
    EXPECT_EQ(r.sol.NodeMp[1], 0.0);
    // The node lands where the observations carry it.
    const double a1 = 0.0 + g.AngleAt[0][1] - 180.0;  // azimuth T->S is 0
    const double a2 = a1 + g.AngleAt[0][2] - 180.0;
    const double s1 = g.SideAt[0][1], s2 = g.SideAt[0][2];
    EXPECT_NEAR(r.ws.NodeX[1], 100 + s1 * std::cos(DegToRad(a1)) + s2 * std::cos(DegToRad(a2)), 1e-6);
    EXPECT_NEAR(r.ws.NodeY[1], s1 * std::sin(DegToRad(a1)) + s2 * std::sin(DegToRad(a2)), 1e-6);
}

TEST(Rigorous, RunExtremes) {
    SyntheticGroup g = ConnectingTraverse();
    g.Observe(1, 0.0, 0.0);
    NetworkModel model;
    GroupWorkingSet ws;
    g.Build(model, ws, 0.0, 0.0, 0.0);
    RigorousSolution sol;
    for (auto* a : {&sol.SideErrors, &sol.SideCorrections, &sol.AzimuthErrors, &sol.PointMp})
        *a = OneBased<double>(7);
    // Sides B-P1 .. P3-C: a side whose error rounds to nothing has no ratio; of equal ratios
    // (200/0.004 = 100/0.002 = 50/0.001) the last is the weakest.
    const double sides[4] = {100, 200, 100, 50};
    const double errors[4] = {0.0, 0.004, 0.002, 0.001};
    const double azimuths[4] = {1.234, 2.004, 2.001, 1.0};
    for (int j = 0; j < 4; ++j) {
        ws.PositionSides[j + 1] = sides[j];
        sol.SideErrors[j + 1] = errors[j];
        sol.AzimuthErrors[j + 1] = azimuths[j];
    }
    sol.PointMp[2] = 0.003;  // P1
    sol.PointMp[3] = 0.005;  // P2: of equal errors the first stays
    sol.PointMp[4] = 0.005;  // P3
    RigorousRunExtremes e;
    e.WeakestPointMp = 0.004;
    UpdateRunExtremes(ws, model, sol, e);
    EXPECT_EQ(e.WeakestPointName, "P2");
    EXPECT_EQ(e.WeakestPointMp, 0.005);
    EXPECT_EQ(e.WeakestSideFrom + ">" + e.WeakestSideTo, "P3>C");
    EXPECT_EQ(e.WeakestSideRatio, 50000.0);
    EXPECT_EQ(e.WeakestSideMs, 0.001);
    EXPECT_EQ(sol.SideRatios[1], 0.0);
    // Rounded to 0.01": 2.00 does not pass 2.00.
    EXPECT_EQ(e.LargestAzimuthFrom + ">" + e.LargestAzimuthTo, "P1>P2");
    EXPECT_EQ(e.LargestAzimuthError, 2.0);
}

// Memory the system gave the mapping that holds `data`: pages only read stay the shared zero page
// and are not counted.
std::size_t MappedBytesInUse(const void* data) {
    const auto address = reinterpret_cast<std::uintptr_t>(data);
    std::ifstream smaps("/proc/self/smaps");
    bool inside = false;
    for (std::string line; std::getline(smaps, line);) {
        std::uintptr_t from = 0;
        std::uintptr_t to = 0;
        char dash = 0;
        std::istringstream head(line);
        if (head >> std::hex >> from >> dash >> to && dash == '-') {
            inside = from <= address && address < to;
            continue;
        }
        if (inside && line.rfind("Anonymous:", 0) == 0) return std::stoull(line.substr(10)) * 1024;
    }
    return 0;
}

// The size limit follows the pages the solution writes, not the whole triangle: a 30 x 30 grid
// of nodes (7,914 unknowns, a triangle of 250 MB) touches a small part of it, and the estimate
// made before the solve covers what the system gave the store by the end of it.
TEST(Rigorous, MemoryFollowsThePagesTheSolutionWrites) {
    const SyntheticGroup grid = test::GridNetwork(30, 4);
    RigorousRun r;
    grid.Build(r.model, r.ws, 0.03, 5.0 / 3600.0, 0.005);
    const std::size_t estimate = NormalsMemoryEstimate(r.ws, r.model);
    const std::size_t triangle = PackedNormalMatrix::ElementCount(3 * (r.ws.Nb + r.ws.Nn)) * sizeof(double);
    EXPECT_LT(estimate, triangle / 3);
    r.state.MemoryLimitBytes = estimate;
    RigorousGroupResult result =
        RigorousAdjustGroup(r.ws, r.model, RigorousContext{r.settings, r.run, r.state, r.ui, r.monitor});
    ASSERT_EQ(result.Status, RigorousStatus::Adjusted);
    const std::size_t resident = MappedBytesInUse(result.Solution.Normals.Data().data());
    EXPECT_LE(resident, estimate);
    EXPECT_GT(resident, estimate / 2);

    // One byte less and the group keeps its simple adjustment, with the message.
    RigorousRun small;
    grid.Build(small.model, small.ws, 0.03, 5.0 / 3600.0, 0.005);
    small.state.MemoryLimitBytes = estimate - 1;
    const RigorousGroupResult refused = RigorousAdjustGroup(
        small.ws, small.model, RigorousContext{small.settings, small.run, small.state, small.ui, small.monitor});
    EXPECT_EQ(refused.Status, RigorousStatus::TooLarge);
    EXPECT_EQ(small.ui.Messages(), std::vector<std::string>{"Thieu bo nho"});
    EXPECT_TRUE(refused.Solution.Solution.Empty());
    // The working set keeps the simple values, which the driver writes as the group's points.
    test::TempDir dir;
    OpenFiles files;
    ASSERT_TRUE(AppendGroupResultPoints(files, dir.File("out.txt"), small.ws, small.model, true));
    const std::string written = test::ReadFileBytes(dir.File("out.txt"));
    // The simple values as handed over: the true place plus the 0.03 m offset.
    EXPECT_NE(written.find("N0_1\t" + test::SyntheticNetwork::Fixed(grid.P("N0_1").X + 0.03, 3) + "\t" +
                           test::SyntheticNetwork::Fixed(grid.P("N0_1").Y - 0.03, 3)),
              std::string::npos);
    EXPECT_FALSE(small.run.ProgressLog.Lines().empty());
}

}  // namespace
}  // namespace qef
