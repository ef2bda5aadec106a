#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <string>
#include <vector>

#include "adjustment/ClosureChecks.h"
#include "adjustment/NodeMethod.h"
#include "adjustment/SimpleReports.h"
#include "adjustment/SyntheticTraverse.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

constexpr double kPi = 3.14159265358979323846;

double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0.0 ? a + 360.0 : a;
}
double Wrap180(double a) {
    a = Wrap360(a);
    return a >= 180.0 ? a - 360.0 : a;
}

struct Xy {
    double x = 0.0;
    double y = 0.0;
};

// How a branch end meets the network: a known station sighting `target`, or node k whose
// reference direction (towards refs[k]) the end either measures an angle to, or is itself.
struct BranchEnd {
    enum Kind { Station, NodeAngle, NodeFree } kind = Station;
    std::string target;
    int node = 0;
};
struct PlannedBranch {
    std::vector<std::string> points;
    BranchEnd start;
    BranchEnd end;
};

// A traverse network built from true coordinates; observations carry chosen errors.
struct SyntheticNetwork : test::SyntheticTraverse {
    std::vector<std::pair<std::string, std::string>> directions;  // station, target
    std::vector<std::string> nodes;
    std::vector<std::string> refs;  // per node: the neighbour its orientation points to
    std::vector<PlannedBranch> branches;

    double X(const std::string& name) const { return Truth.at(name).first; }
    double Y(const std::string& name) const { return Truth.at(name).second; }
    double TrueAngle(const std::string& back, const std::string& s, const std::string& fore) const {
        return AngleValue({back, s, fore});
    }
};

// Deterministic errors in [-1, 1].
double Noise(int i) { return std::sin(12.9898 * i + 4.1414); }

struct Observed {
    struct Angle {
        std::string back, station, fore;
        double value;
    };
    std::vector<Angle> angles;
    std::vector<std::pair<std::pair<std::string, std::string>, double>> sides;
    std::vector<std::vector<double>> branchAngles;  // the angles each branch uses, in walking order
    std::vector<std::vector<double>> branchSides;
};

Observed Observe(const SyntheticNetwork& net, double angleError, double sideError) {
    Observed obs;
    int counter = 0;
    auto angle = [&](const std::string& b, const std::string& s, const std::string& f) {
        const double v = Wrap360(net.TrueAngle(b, s, f) + angleError / 3600.0 * Noise(++counter));
        obs.angles.push_back({b, s, f, v});
        return v;
    };
    for (const PlannedBranch& br : net.branches) {
        const auto& p = br.points;
        const int n = static_cast<int>(p.size());
        std::vector<double> used;
        if (br.start.kind == BranchEnd::Station) used.push_back(angle(br.start.target, p[0], p[1]));
        if (br.start.kind == BranchEnd::NodeAngle) used.push_back(angle(net.refs[br.start.node], p[0], p[1]));
        for (int i = 1; i + 1 < n; ++i) used.push_back(angle(p[i - 1], p[i], p[i + 1]));
        if (br.end.kind == BranchEnd::Station) used.push_back(angle(p[n - 2], p[n - 1], br.end.target));
        // Measured from the reference: the branch uses the explement.
        if (br.end.kind == BranchEnd::NodeAngle)
            used.push_back(360.0 - angle(net.refs[br.end.node], p[n - 1], p[n - 2]));
        std::vector<double> lengths;
        for (int i = 0; i + 1 < n; ++i) {
            const double s = net.Distance(p[i], p[i + 1]) + sideError * Noise(++counter);
            obs.sides.push_back({{p[i], p[i + 1]}, s});
            lengths.push_back(s);
        }
        obs.branchAngles.push_back(used);
        obs.branchSides.push_back(lengths);
    }
    return obs;
}

// The node equations solved on their own: orientations of the nodes from the angular closures
// (weight 1/angles), then node coordinates from the coordinate closures (weight 1/sides), each
// branch's remaining closure shared equally over its angles and over its sides by length.
struct Solution {
    std::vector<std::vector<double>> azimuths;  // per branch, per side
    std::vector<std::vector<Xy>> points;        // per branch, per point
    double mbSeconds = 0.0;
};

// The node corrections d that minimise sum w (l + A d)^2.
Eigen::VectorXd SolveNodes(const Eigen::MatrixXd& a, const Eigen::VectorXd& l, const Eigen::VectorXd& w) {
    const Eigen::MatrixXd n = a.transpose() * w.asDiagonal() * a;
    return n.ldlt().solve(-(a.transpose() * w.asDiagonal() * l));
}

Solution SolveIndependently(const SyntheticNetwork& net, const Observed& obs) {
    const int nb = static_cast<int>(net.branches.size());
    const int nn = static_cast<int>(net.nodes.size());
    std::vector<double> theta(static_cast<std::size_t>(nn));
    for (int k = 0; k < nn; ++k) theta[k] = net.Azimuth(net.nodes[k], net.refs[k]);
    auto startDir = [&](const PlannedBranch& br) {
        if (br.start.kind == BranchEnd::Station) return net.Azimuth(br.start.target, br.points[0]);
        return theta[br.start.node] + (br.start.kind == BranchEnd::NodeAngle ? 180.0 : 0.0);
    };
    auto endDir = [&](const PlannedBranch& br) {
        if (br.end.kind == BranchEnd::Station) return net.Azimuth(br.points.back(), br.end.target);
        return theta[br.end.node] + (br.end.kind == BranchEnd::NodeFree ? 180.0 : 0.0);
    };

    // Branch-node incidence, the same for the angular and the coordinate closures.
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(nb, nn);
    Eigen::VectorXd l(nb), w(nb);
    for (int b = 0; b < nb; ++b) {
        const PlannedBranch& br = net.branches[b];
        if (br.start.kind != BranchEnd::Station) a(b, br.start.node) += 1.0;
        if (br.end.kind != BranchEnd::Station) a(b, br.end.node) -= 1.0;
        double carried = startDir(br);
        for (double beta : obs.branchAngles[b]) carried += beta - 180.0;
        l[b] = Wrap180(carried - endDir(br));
        w[b] = 1.0 / static_cast<double>(obs.branchAngles[b].size());
    }
    const Eigen::VectorXd delta = SolveNodes(a, l, w);
    const Eigen::VectorXd v = l + a * delta;
    for (int k = 0; k < nn; ++k) theta[k] += delta[k];

    Solution sol;
    double mb = 0.0;
    for (int b = 0; b < nb; ++b) {
        const PlannedBranch& br = net.branches[b];
        const std::vector<double>& beta = obs.branchAngles[b];
        const double share = -v[b] / static_cast<double>(beta.size());
        mb += v[b] * v[b] / static_cast<double>(beta.size());
        std::vector<double> az;
        double dir = startDir(br);
        std::size_t i = 0;
        if (br.start.kind != BranchEnd::NodeFree) dir += beta[i++] + share - 180.0;
        az.push_back(Wrap360(dir));
        for (std::size_t s = 1; s < obs.branchSides[b].size(); ++s) {
            dir += beta[i++] + share - 180.0;
            az.push_back(Wrap360(dir));
        }
        sol.azimuths.push_back(az);
    }
    if (nb - nn >= 1) sol.mbSeconds = 3600.0 * std::sqrt(mb / (nb - nn));

    // Coordinates, one axis at a time: closures, node corrections, then the walk.
    for (int b = 0; b < nb; ++b) sol.points.emplace_back(net.branches[b].points.size());
    for (int axis = 0; axis < 2; ++axis) {
        auto coord = [&](const std::string& name) { return axis == 0 ? net.X(name) : net.Y(name); };
        auto step = [&](int b, std::size_t s) {
            const double r = sol.azimuths[b][s] * kPi / 180.0;
            return obs.branchSides[b][s] * (axis == 0 ? std::cos(r) : std::sin(r));
        };
        for (int b = 0; b < nb; ++b) {
            double sum = coord(net.branches[b].points.front());
            for (std::size_t s = 0; s < obs.branchSides[b].size(); ++s) sum += step(b, s);
            l[b] = sum - coord(net.branches[b].points.back());
            w[b] = 1.0 / static_cast<double>(obs.branchSides[b].size());
        }
        const Eigen::VectorXd d = SolveNodes(a, l, w);
        const Eigen::VectorXd u = l + a * d;
        for (int b = 0; b < nb; ++b) {
            const PlannedBranch& br = net.branches[b];
            const double f = std::round(u[b] * 1000.0) / 1000.0;  // closures are kept in whole mm
            double total = 0.0;
            for (double s : obs.branchSides[b]) total += s;
            double run = coord(br.points.front()) + (br.start.kind != BranchEnd::Station ? d[br.start.node] : 0.0);
            for (std::size_t s = 0; s <= obs.branchSides[b].size(); ++s) {
                (axis == 0 ? sol.points[b][s].x : sol.points[b][s].y) = run;
                if (s < obs.branchSides[b].size()) run += step(b, s) - f * obs.branchSides[b][s] / total;
            }
            // The end keeps its known or adjusted value.
            (axis == 0 ? sol.points[b].back().x : sol.points[b].back().y) =
                coord(br.points.back()) + (br.end.kind != BranchEnd::Station ? d[br.end.node] : 0.0);
        }
    }
    return sol;
}

// Builds the model of one group straight from the network (branches already in walking order)
// and runs the group adjustment on it.
struct GroupRun {
    NetworkModel model;
    AngleObservations angles;
    SideObservations sides;
    PointList known;
    OneBased<int> none;
    StartAzimuthData starts;
    GroupWorkingSet ws;
    RunRecord run;
    ComputationSettings settings;
    test::ScriptedInteraction ui;
    test::RecordingProgress monitor;
    std::string withoutCoordinates;  // a known station listed without coordinates
    std::string report;              // the main report, written when named

    int Id(const std::string& name) { return model.PointNames.Register(name); }

    GroupStatus Adjust(const SyntheticNetwork& net, const Observed& obs) {
        auto x = [&](const std::string& name) { return withoutCoordinates == name ? kMissingValue : net.X(name); };
        auto y = [&](const std::string& name) { return withoutCoordinates == name ? kMissingValue : net.Y(name); };
        model.MissingValuesFlag = !withoutCoordinates.empty();
        for (const std::string& k : net.Known) known.Add(Id(k), x(k), y(k));
        for (const auto& [s, t] : net.directions) {
            model.StartStations.PushBack(Id(s));
            model.StartTargets.PushBack(Id(t));
            starts.Azimuths.PushBack(net.Azimuth(t, s));  // typed in when a point has no coordinates
            starts.StationX.PushBack(x(s));
            starts.StationY.PushBack(y(s));
            starts.TargetX.PushBack(net.X(t));
            starts.TargetY.PushBack(net.Y(t));
        }
        for (const std::string& n : net.nodes) model.NetworkNodes.PushBack(Id(n));
        for (const PlannedBranch& br : net.branches) {
            model.Branches.BranchPointCounts.PushBack(static_cast<int>(br.points.size()));
            model.Branches.BranchDeadEnd.PushBack(0);
            for (const std::string& p : br.points) model.Branches.BranchPoints.PushBack(Id(p));
        }
        model.Branches.BuildBranchOffsets(model.Branches.BranchCount());
        for (const auto& a : obs.angles) {
            angles.BackIds.PushBack(Id(a.back));
            angles.StationIds.PushBack(Id(a.station));
            angles.ForeIds.PushBack(Id(a.fore));
            angles.Values.PushBack(a.value);
        }
        for (const auto& [ends, length] : obs.sides) {
            sides.FromIds.PushBack(Id(ends.first));
            sides.ToIds.PushBack(Id(ends.second));
            sides.Lengths.PushBack(length);
        }
        const StationAngleIndex index(angles);
        const GroupInputs in{model, angles, index, sides, known, none, none, starts};
        ws.Nb = static_cast<int>(net.branches.size());
        ws.Nn = static_cast<int>(net.nodes.size());
        ws.Ns = static_cast<int>(net.directions.size());
        const GroupContext context{settings, run, ui, monitor};
        const GroupStatus status = AdjustGroupSimple(ws, in, context).Status;
        if (status != GroupStatus::Adjusted) return status;
        // The group's output as the run writes it; then the group completes.
        if (!report.empty()) {
            EXPECT_TRUE(WriteSimpleResultsText(report, ws, model, settings, run, monitor, ui));
        }
        WriteClosureSummary(ws, model, run);
        RecordCompletedGroup(ws, model, context);
        return status;
    }

    // The adjusted results against the independent solution.
    void Compare(const SyntheticNetwork& net, const Solution& sol, double tolerance) {
        const BranchModel& br = model.Branches;
        for (int b = 1; b <= ws.Nb; ++b) {
            const auto& planned = net.branches[b - 1];
            ASSERT_EQ(br.BranchPointCounts[b], static_cast<int>(planned.points.size()));
            for (int i = 0; i < static_cast<int>(planned.points.size()); ++i) {
                const int p = br.First(b) + i;
                SCOPED_TRACE(planned.points[i]);
                ASSERT_EQ(model.PointNames.Name(br.PointAt(static_cast<int>(p))), planned.points[i]);
                const Xy expected = sol.points[b - 1][i];
                EXPECT_NEAR(ws.PositionX[p], expected.x, tolerance);
                EXPECT_NEAR(ws.PositionY[p], expected.y, tolerance);
                if (i + 1 < static_cast<int>(planned.points.size())) {
                    const double az = sol.azimuths[b - 1][i];
                    EXPECT_NEAR(Wrap180(ws.PositionAzimuths[p] - az) * 3600.0, 0.0, 1e-4);
                }
            }
        }
    }
};

SyntheticNetwork Traverse() {
    SyntheticNetwork net;
    net.Truth = {{"TA", {2301000.000, 501000.000}}, {"A", {2300500.000, 500800.000}},
                 {"1", {2300390.120, 501110.330}}, {"2", {2300450.870, 501420.160}},
                 {"3", {2300280.540, 501690.720}}, {"B", {2300320.310, 501980.450}},
                 {"TB", {2299900.000, 502300.000}}};
    net.Known = {"TA", "A", "B", "TB"};
    net.directions = {{"A", "TA"}, {"B", "TB"}};
    net.branches = {{{"A", "1", "2", "3", "B"}, {BranchEnd::Station, "TA", 0}, {BranchEnd::Station, "TB", 0}}};
    return net;
}

TEST(NodeMethod, ConnectingTraverseGivesTheClassicResult) {
    const SyntheticNetwork net = Traverse();
    const Observed obs = Observe(net, 8.0, 0.03);
    GroupRun g;
    test::TempDir dir;
    g.report = dir.File("report.in");
    ASSERT_EQ(g.Adjust(net, obs), GroupStatus::Adjusted);
    EXPECT_TRUE(g.ui.calls.empty());

    const Solution sol = SolveIndependently(net, obs);
    g.Compare(net, sol, 1e-6);

    // Five angles share the angular misclosure; its size is what the branch reports.
    double carried = net.Azimuth("TA", "A");
    for (double beta : obs.branchAngles[0]) carried += beta - 180.0;
    const double closure = Wrap180(carried - net.Azimuth("B", "TB")) * 3600.0;
    EXPECT_NEAR(g.ws.ClosureFb[1] * 3600.0, closure, 1e-6);
    EXPECT_EQ(g.ws.BranchAngleCounts[1], 5);
    EXPECT_EQ(g.ws.BranchSideCounts[1], 4);
    EXPECT_NEAR(g.ws.MbDegrees * 3600.0, std::fabs(closure) / std::sqrt(5.0), 1e-6);
    EXPECT_EQ(g.run.GroupCounter, 1);
    EXPECT_EQ(g.run.RunBranchTotal, 1);
    EXPECT_EQ(g.run.RunUnknownPointTotal, 3);
    EXPECT_EQ(g.run.RunAngleTotal, 5);
    EXPECT_EQ(g.run.RunSideTotal, 4);

    // Its row in the closure table, its report.
    EXPECT_EQ(g.run.ClosureTable.Lines().size(), 1u);
    EXPECT_NE(test::ReadFileBytes(dir.File("report.in")).find(Vn("Kết quả bình sai đơn giản")), std::string::npos);
}

// Three traverses from three known directions meeting at one node N.
SyntheticNetwork ThreeBranches() {
    SyntheticNetwork net;
    net.Truth = {{"TA", {5000.0, 1000.0}}, {"A", {4000.0, 1000.0}}, {"a1", {3800.0, 1300.0}},
                 {"a2", {3650.0, 1620.0}}, {"N", {3400.0, 1900.0}},
                 {"TB", {3400.0, 3600.0}}, {"B", {3400.0, 2600.0}}, {"b1", {3300.0, 2250.0}},
                 {"TC", {1800.0, 1000.0}}, {"C", {2400.0, 1200.0}}, {"c1", {2650.0, 1350.0}},
                 {"c2", {2800.0, 1600.0}}, {"c3", {3100.0, 1780.0}}};
    net.Known = {"TA", "A", "TB", "B", "TC", "C"};
    net.directions = {{"A", "TA"}, {"B", "TB"}, {"C", "TC"}};
    net.nodes = {"N"};
    net.refs = {"c3"};  // the longest branch reaches N without an angle
    net.branches = {
        {{"A", "a1", "a2", "N"}, {BranchEnd::Station, "TA", 0}, {BranchEnd::NodeAngle, "", 0}},
        {{"B", "b1", "N"}, {BranchEnd::Station, "TB", 0}, {BranchEnd::NodeAngle, "", 0}},
        {{"C", "c1", "c2", "c3", "N"}, {BranchEnd::Station, "TC", 0}, {BranchEnd::NodeFree, "", 0}},
    };
    return net;
}

// The same node reached by three branches of equal length: the first one both carries the node
// and reaches it without an angle.
SyntheticNetwork EqualBranches() {
    SyntheticNetwork net = ThreeBranches();
    net.Truth.erase("c3");
    net.Truth["c2"] = {2950.0, 1700.0};
    net.Truth["b2"] = {3350.0, 2100.0};
    net.refs = {"a2"};
    net.branches = {
        {{"A", "a1", "a2", "N"}, {BranchEnd::Station, "TA", 0}, {BranchEnd::NodeFree, "", 0}},
        {{"B", "b1", "b2", "N"}, {BranchEnd::Station, "TB", 0}, {BranchEnd::NodeAngle, "", 0}},
        {{"C", "c1", "c2", "N"}, {BranchEnd::Station, "TC", 0}, {BranchEnd::NodeAngle, "", 0}},
    };
    return net;
}

// Two nodes on two levels: N1 reached from A and B, N2 from N1 by three branches.
SyntheticNetwork TwoLevels() {
    SyntheticNetwork net;
    net.Truth = {{"TA", {1000.0, 0.0}}, {"A", {1000.0, 500.0}}, {"a1", {1200.0, 800.0}},
                 {"N1", {1350.0, 1100.0}}, {"TB", {2300.0, 600.0}}, {"B", {2000.0, 700.0}},
                 {"b1", {1800.0, 850.0}}, {"b2", {1600.0, 1000.0}}, {"p1", {1400.0, 1400.0}},
                 {"p2", {1500.0, 1700.0}}, {"p3", {1550.0, 2000.0}}, {"N2", {1700.0, 2250.0}},
                 {"q1", {1650.0, 1600.0}}, {"r1", {1100.0, 1500.0}}, {"r2", {1300.0, 1950.0}}};
    net.Known = {"TA", "A", "TB", "B"};
    net.directions = {{"A", "TA"}, {"B", "TB"}};
    net.nodes = {"N1", "N2"};
    net.refs = {"p1", "p3"};  // the branch through p1..p3 is the longest at both nodes
    net.branches = {
        {{"A", "a1", "N1"}, {BranchEnd::Station, "TA", 0}, {BranchEnd::NodeAngle, "", 0}},
        {{"B", "b1", "b2", "N1"}, {BranchEnd::Station, "TB", 0}, {BranchEnd::NodeAngle, "", 0}},
        {{"N1", "p1", "p2", "p3", "N2"}, {BranchEnd::NodeFree, "", 0}, {BranchEnd::NodeFree, "", 1}},
        {{"N1", "q1", "N2"}, {BranchEnd::NodeAngle, "", 0}, {BranchEnd::NodeAngle, "", 1}},
        {{"N1", "r1", "r2", "N2"}, {BranchEnd::NodeAngle, "", 0}, {BranchEnd::NodeAngle, "", 1}},
    };
    return net;
}

// Adjusts the network and checks it against the independent solution; closures are carried in
// whole millimetres, so the coordinates agree to about 1 mm.
void ExpectNodeEquationsSolved(const SyntheticNetwork& net, const Observed& obs, bool asksNothing) {
    GroupRun g;
    // Large errors fail the closure limits; the scripted answer goes on.
    ASSERT_EQ(g.Adjust(net, obs), GroupStatus::Adjusted);
    EXPECT_TRUE(!asksNothing || g.ui.calls.empty());
    const Solution sol = SolveIndependently(net, obs);
    g.Compare(net, sol, 1.0e-3);
    EXPECT_NEAR(g.ws.MbDegrees * 3600.0, sol.mbSeconds, 1e-6);
    for (int k = 0; k < static_cast<int>(net.nodes.size()); ++k)
        EXPECT_EQ(g.model.PointNames.Name(g.model.NetworkNodes[k + 1]), net.nodes[k]);
}

TEST(NodeMethod, NodeNetworksMatchAnIndependentSolutionOfTheNodeEquations) {
    // Errors large enough that other weights would move the points by centimetres.
    for (const SyntheticNetwork& net : {ThreeBranches(), EqualBranches(), TwoLevels()})
        ExpectNodeEquationsSolved(net, Observe(net, 6.0, 0.04), true);
}

TEST(NodeMethod, ErrorFreeFilesReadAnalysedAndAdjustedGiveTheTrueCoordinates) {
    for (const SyntheticNetwork& net : {ThreeBranches(), TwoLevels()}) {
        test::SyntheticTraverse files = net;
        const Observed observed = Observe(net, 0.0, 0.0);
        for (const auto& a : observed.angles) files.AddAngle(a.back, a.station, a.fore);
        for (const auto& [ends, length] : observed.sides) files.AddSide(ends.first, ends.second);
        test::ByOrderCase run(files);
        EXPECT_EQ(run.Go(ComputationSettings{}).Orders, 1);
        EXPECT_EQ(run.record.GroupCounter, 1);
        EXPECT_EQ(run.record.RunNodeTotal, static_cast<int>(net.nodes.size()));
        EXPECT_TRUE(run.ui.calls.empty());
        run.ExpectTrueCoordinates(net, 0.0005);
    }
}

TEST(NodeMethod, StationWithoutCoordinatesIsCarriedFromItsTarget) {
    const SyntheticNetwork net = Traverse();
    Observed obs = Observe(net, 0.0, 0.0);
    obs.sides.push_back({{"B", "TB"}, net.Distance("B", "TB")});
    GroupRun g;
    g.withoutCoordinates = "B";
    ASSERT_EQ(g.Adjust(net, obs), GroupStatus::Adjusted);
    EXPECT_TRUE(g.ui.calls.empty());

    // The branch now ends at TB along the measured side, with the typed azimuth B -> TB as its last.
    const BranchModel& br = g.model.Branches;
    ASSERT_EQ(br.BranchPointCounts[1], 6);
    EXPECT_EQ(g.model.PointNames.Name(br.LastPoint(1)), "TB");
    EXPECT_EQ(g.ws.BranchTypes[1], BranchKind::StartOnly);
    EXPECT_EQ(g.ws.BranchAngleCounts[1], 5);
    EXPECT_EQ(g.ws.TotalPoints, 6);
    const int b = br.Last(1) - 1;
    EXPECT_NEAR(g.ws.PositionX[b], net.X("B"), 0.0005);
    EXPECT_NEAR(g.ws.PositionY[b], net.Y("B"), 0.0005);
    EXPECT_NEAR(g.ws.ClosureFb[1] * 3600.0, 0.0, 1e-3);
    EXPECT_EQ(g.run.RunUnknownPointTotal, 4);
}

TEST(NodeMethod, GroupsThatCannotBeAdjustedFailWithAMessage) {
    {
        // A single side N1-N2, listed first at both nodes, leaves both of them without an angle.
        SyntheticNetwork net;
        net.Truth = {{"TA", {0.0, 0.0}}, {"A", {0.0, 300.0}}, {"N1", {200.0, 500.0}},
                     {"N2", {400.0, 600.0}}, {"B", {700.0, 500.0}}, {"TB", {900.0, 300.0}}};
        net.Known = {"TA", "A", "TB", "B"};
        net.directions = {{"A", "TA"}, {"B", "TB"}};
        net.nodes = {"N1", "N2"};
        net.refs = {"N2", "N1"};
        net.branches = {{{"N1", "N2"}, {BranchEnd::NodeFree, "", 0}, {BranchEnd::NodeFree, "", 1}},
                        {{"A", "N1"}, {BranchEnd::Station, "TA", 0}, {BranchEnd::NodeAngle, "", 0}},
                        {{"B", "N2"}, {BranchEnd::Station, "TB", 0}, {BranchEnd::NodeAngle, "", 1}}};
        GroupRun g;
        EXPECT_EQ(g.Adjust(net, Observe(net, 0.0, 0.0)), GroupStatus::Failed);
        ASSERT_EQ(g.ui.Messages().size(), 1u);
        EXPECT_EQ(g.ui.Messages()[0], Vn("Nhánh N1 .. N2 không có góc đo"));
        EXPECT_EQ(g.run.GroupCounter, 0);
        EXPECT_EQ(g.run.ProgressLog.Lines().back(), "");
    }
    {
        // Out of tolerance: the angular check is asked in both passes of the azimuth stage and
        // going on is accepted; No after the linear check drops the group.
        const SyntheticNetwork net = Traverse();
        Observed obs = Observe(net, 0.0, 0.0);
        obs.angles[2].value += 100.0 / 3600.0;
        obs.sides[1].second += 1.0;
        GroupRun g;
        g.ui.answers = {Answer::Yes, Answer::Yes, Answer::No};
        EXPECT_EQ(g.Adjust(net, obs), GroupStatus::Rejected);
        std::vector<std::string> asked;
        for (const auto& call : g.ui.calls) asked.push_back(call.kind + ":" + call.text.substr(0, 14));
        EXPECT_EQ(asked, (std::vector<std::string>{"message:Goc cua nhanh ", "yesno:Co tinh nua kh",
                                                   "message:Goc cua nhanh ", "yesno:Co tinh nua kh",
                                                   "message:Canh cua nhanh", "yesno:Co tinh nua kh"}));
        EXPECT_EQ(g.run.GroupCounter, 0);
        EXPECT_EQ(g.run.RunBranchTotal, 0);
        EXPECT_TRUE(g.run.ClosureTable.Lines().empty());
    }
    {
        // A group touching no start station.
        SyntheticNetwork net = Traverse();
        GroupRun g;
        const Observed obs = Observe(net, 0.0, 0.0);
        net.directions.clear();
        EXPECT_EQ(g.Adjust(net, obs), GroupStatus::NotTied);
        ASSERT_EQ(g.ui.Messages().size(), 1u);
        EXPECT_NE(g.ui.Messages()[0].find("khong duoc noi voi toa do goc"), std::string::npos);
        EXPECT_EQ(g.run.RunBranchTotal, 0);
    }
}

// Closures in whole millimetres make late corrections swing by the rounding; noisy data must
// still settle instead of running out of passes.
TEST(NodeMethod, NoisyNodeNetworksSettle) {
    for (const SyntheticNetwork& net : {ThreeBranches(), EqualBranches(), TwoLevels()})
        for (int i = 1; i <= 12; ++i) {
            SCOPED_TRACE(i);
            ExpectNodeEquationsSolved(net, Observe(net, 1.5 * i, 0.0035 * i), false);
        }
}

}  // namespace
}  // namespace qef
