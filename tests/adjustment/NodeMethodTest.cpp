#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/NodeMethod.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::SyntheticNetwork;
using Branch = SyntheticNetwork::Branch;

double Wrap360(double a) {
    a = std::fmod(a, 360.0);
    return a < 0.0 ? a + 360.0 : a;
}
double Wrap180(double a) {
    a = Wrap360(a);
    return a >= 180.0 ? a - 360.0 : a;
}

// The node equations solved on their own: orientations of the nodes from the angular closures
// (weight 1/angles), then node coordinates from the coordinate closures (weight 1/sides), each
// branch's remaining closure shared equally over its angles and over its sides by length.
struct Solution {
    std::vector<std::vector<double>> azimuths;                   // per branch, per side
    std::vector<std::vector<std::pair<double, double>>> points;  // per branch, per point: X, Y
    std::vector<double> closures;                                // per branch: angular closure left, seconds
    double mbSeconds = 0.0;
};

// The node corrections d that minimise sum w (l + A d)^2.
Eigen::VectorXd SolveNodes(const Eigen::MatrixXd& a, const Eigen::VectorXd& l, const Eigen::VectorXd& w) {
    const Eigen::MatrixXd n = a.transpose() * w.asDiagonal() * a;
    return n.ldlt().solve(-(a.transpose() * w.asDiagonal() * l));
}

Solution SolveIndependently(const SyntheticNetwork& net) {
    const int nb = static_cast<int>(net.Branches.size());
    const int nn = static_cast<int>(net.Nodes.size());
    // A node is oriented along its carrier, towards its neighbour there.
    std::vector<double> theta(static_cast<std::size_t>(nn));
    for (int k = 0; k < nn; ++k) {
        const std::string& node = net.Nodes[k].Name;
        const std::vector<std::string>& carrier = net.Branches[net.Nodes[k].Carrier - 1].Points;
        theta[k] = net.Azimuth(node, carrier.front() == node ? carrier[1] : carrier[carrier.size() - 2]);
    }
    auto startDir = [&](const Branch& br) {
        const int k = net.NodeIndex(br.Points.front());
        if (k < 0) return net.Azimuth(br.StartRef, br.Points.front());
        return theta[k] + (HasStartAngle(br.Kind) ? 180.0 : 0.0);
    };
    auto endDir = [&](const Branch& br) {
        const int k = net.NodeIndex(br.Points.back());
        if (k < 0) return net.Azimuth(br.Points.back(), br.EndRef);
        return theta[k] + (HasEndAngle(br.Kind) ? 0.0 : 180.0);
    };

    // Branch-node incidence, the same for the angular and the coordinate closures.
    Eigen::MatrixXd a = Eigen::MatrixXd::Zero(nb, nn);
    Eigen::VectorXd l(nb), w(nb);
    std::vector<std::vector<double>> beta(static_cast<std::size_t>(nb));  // the angles a branch uses
    for (int b = 0; b < nb; ++b) {
        const Branch& br = net.Branches[b];
        if (const int k = net.NodeIndex(br.Points.front()); k >= 0) a(b, k) += 1.0;
        if (const int k = net.NodeIndex(br.Points.back()); k >= 0) a(b, k) -= 1.0;
        for (double angle : net.AngleAt[b])
            if (!std::isnan(angle)) beta[b].push_back(angle);
        double carried = startDir(br);
        for (double angle : beta[b]) carried += angle - 180.0;
        l[b] = Wrap180(carried - endDir(br));
        w[b] = 1.0 / static_cast<double>(beta[b].size());
    }
    const Eigen::VectorXd delta = SolveNodes(a, l, w);
    const Eigen::VectorXd v = l + a * delta;
    for (int k = 0; k < nn; ++k) theta[k] += delta[k];

    Solution sol;
    double mb = 0.0;
    for (int b = 0; b < nb; ++b) {
        const Branch& br = net.Branches[b];
        const double share = -v[b] / static_cast<double>(beta[b].size());
        mb += v[b] * v[b] / static_cast<double>(beta[b].size());
        sol.closures.push_back(v[b] * 3600.0);
        std::vector<double> az;
        double dir = startDir(br);
        std::size_t i = 0;
        if (HasStartAngle(br.Kind)) dir += beta[b][i++] + share - 180.0;
        az.push_back(Wrap360(dir));
        for (std::size_t s = 2; s < br.Points.size(); ++s) {
            dir += beta[b][i++] + share - 180.0;
            az.push_back(Wrap360(dir));
        }
        sol.azimuths.push_back(az);
    }
    if (nb - nn >= 1) sol.mbSeconds = 3600.0 * std::sqrt(mb / (nb - nn));

    // Coordinates, one axis at a time: closures, node corrections, then the walk.
    for (int b = 0; b < nb; ++b) sol.points.emplace_back(net.Branches[b].Points.size());
    for (int axis = 0; axis < 2; ++axis) {
        auto coord = [&](const std::string& name) { return axis == 0 ? net.P(name).X : net.P(name).Y; };
        auto set = [&](std::pair<double, double>& xy, double value) { (axis == 0 ? xy.first : xy.second) = value; };
        auto step = [&](int b, std::size_t s) {
            const double r = sol.azimuths[b][s] * test::kPi / 180.0;
            return net.SideAt[b][s + 1] * (axis == 0 ? std::cos(r) : std::sin(r));
        };
        for (int b = 0; b < nb; ++b) {
            const std::vector<std::string>& points = net.Branches[b].Points;
            double sum = coord(points.front());
            for (std::size_t s = 0; s + 1 < points.size(); ++s) sum += step(b, s);
            l[b] = sum - coord(points.back());
            w[b] = 1.0 / static_cast<double>(points.size() - 1);
        }
        const Eigen::VectorXd d = SolveNodes(a, l, w);
        const Eigen::VectorXd u = l + a * d;
        auto adjusted = [&](const std::string& name) {
            const int k = net.NodeIndex(name);
            return coord(name) + (k >= 0 ? d[k] : 0.0);
        };
        for (int b = 0; b < nb; ++b) {
            const std::vector<std::string>& points = net.Branches[b].Points;
            const double f = std::round(u[b] * 1000.0) / 1000.0;  // closures are kept in whole mm
            double total = 0.0;
            for (std::size_t s = 1; s < points.size(); ++s) total += net.SideAt[b][s];
            double run = adjusted(points.front());
            for (std::size_t s = 0; s + 1 < points.size(); ++s) {
                set(sol.points[b][s], run);
                run += step(b, s) - f * net.SideAt[b][s + 1] / total;
            }
            set(sol.points[b].back(), adjusted(points.back()));  // the end keeps its known or adjusted value
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
    bool tied = true;                // false: no start direction
    int passLimit = kMaxNodePasses;

    int Id(const std::string& name) { return model.PointNames.Register(name); }

    GroupStatus Adjust(const SyntheticNetwork& net) {
        auto x = [&](const std::string& name) { return withoutCoordinates == name ? kMissingValue : net.P(name).X; };
        auto y = [&](const std::string& name) { return withoutCoordinates == name ? kMissingValue : net.P(name).Y; };
        model.MissingValuesFlag = !withoutCoordinates.empty();
        for (const auto& [name, p] : net.Points)
            if (p.Known) known.Add(Id(name), x(name), y(name));
        // A start direction: a known branch end with its connecting angle, towards the point it sights.
        auto start = [&](const std::string& station, const std::string& target) {
            model.StartStations.PushBack(Id(station));
            model.StartTargets.PushBack(Id(target));
            starts.Azimuths.PushBack(net.Azimuth(target, station));  // typed in when a point has no coordinates
            starts.StationX.PushBack(x(station));
            starts.StationY.PushBack(y(station));
            starts.TargetX.PushBack(net.P(target).X);
            starts.TargetY.PushBack(net.P(target).Y);
        };
        for (const Branch& br : net.Branches) {
            if (!tied) break;
            if (HasStartAngle(br.Kind) && net.P(br.Points.front()).Known) start(br.Points.front(), br.StartRef);
            if (HasEndAngle(br.Kind) && net.P(br.Points.back()).Known) start(br.Points.back(), br.EndRef);
        }
        for (const auto& node : net.Nodes) model.NetworkNodes.PushBack(Id(node.Name));
        for (const Branch& br : net.Branches) test::AddNamedBranch(model, br.Points);
        for (const auto& a : net.Angles) {
            angles.BackIds.PushBack(Id(a.Back));
            angles.StationIds.PushBack(Id(a.Station));
            angles.ForeIds.PushBack(Id(a.Fore));
            angles.Values.PushBack(a.Value);
        }
        for (const auto& s : net.Sides) {
            sides.FromIds.PushBack(Id(s.From));
            sides.ToIds.PushBack(Id(s.To));
            sides.Lengths.PushBack(s.Value);
        }
        const StationAngleIndex index(angles);
        const SideLengthIndex lengths(sides);
        KnownPointIndex knownIndex(known);
        OrderIndex order;
        order.Build(model, SidePairs(), none, none, known, known.Count());
        const PointHeightIndex heights(model.HeightPointIds, model.PointHeights);
        const GroupInputs in{model, angles, index, lengths, knownIndex, order, starts, heights};
        ws.Nb = static_cast<int>(net.Branches.size());
        ws.Nn = static_cast<int>(net.Nodes.size());
        ws.Ns = model.StartStations.Size();
        const GroupContext context{settings, run, ui, monitor, passLimit};
        const GroupStatus status = AdjustGroupSimple(ws, in, context).Status;
        if (status == GroupStatus::Adjusted) RecordCompletedGroup(ws, model, context);
        return status;
    }

    // The adjusted results against the independent solution.
    void Compare(const SyntheticNetwork& net, const Solution& sol, double tolerance) {
        const BranchModel& br = model.Branches;
        for (int b = 1; b <= ws.Nb; ++b) {
            const std::vector<std::string>& planned = net.Branches[b - 1].Points;
            ASSERT_EQ(br.BranchPointCounts[b], static_cast<int>(planned.size()));
            for (int i = 0; i < static_cast<int>(planned.size()); ++i) {
                const int p = br.First(b) + i;
                SCOPED_TRACE(planned[i]);
                ASSERT_EQ(model.PointNames.Name(br.PointAt(p)), planned[i]);
                EXPECT_NEAR(ws.PositionX[p], sol.points[b - 1][i].first, tolerance);
                EXPECT_NEAR(ws.PositionY[p], sol.points[b - 1][i].second, tolerance);
                if (i + 1 < static_cast<int>(planned.size())) {
                    EXPECT_NEAR(Wrap180(ws.PositionAzimuths[p] - sol.azimuths[b - 1][i]) * 3600.0, 0.0, 1e-4);
                }
            }
        }
    }
};

// Three traverses from three known directions meeting at one node N; the longest reaches N
// without an angle and carries it.
SyntheticNetwork ThreeBranches() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 5000.0, 1000.0, true}, {"A", 4000.0, 1000.0, true}, {"TB", 3400.0, 3600.0, true},
                   {"B", 3400.0, 2600.0, true}, {"TC", 1800.0, 1000.0, true}, {"C", 2400.0, 1200.0, true},
                   {"a1", 3800.0, 1300.0}, {"a2", 3650.0, 1620.0}, {"N", 3400.0, 1900.0}, {"b1", 3300.0, 2250.0},
                   {"c1", 2650.0, 1350.0}, {"c2", 2800.0, 1600.0}, {"c3", 3100.0, 1780.0}});
    net.AddBranch({"A", "a1", "a2", "N"}, BranchKind::BothEnds, "TA", "c3");
    net.AddBranch({"B", "b1", "N"}, BranchKind::BothEnds, "TB", "c3");
    net.AddBranch({"C", "c1", "c2", "c3", "N"}, BranchKind::StartOnly, "TC");
    net.AddNode("N", false, 3);
    return net;
}

// The same node reached by three branches of equal length: the first one both carries the node
// and reaches it without an angle.
SyntheticNetwork EqualBranches() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 5000.0, 1000.0, true}, {"A", 4000.0, 1000.0, true}, {"TB", 3400.0, 3600.0, true},
                   {"B", 3400.0, 2600.0, true}, {"TC", 1800.0, 1000.0, true}, {"C", 2400.0, 1200.0, true},
                   {"a1", 3800.0, 1300.0}, {"a2", 3650.0, 1620.0}, {"N", 3400.0, 1900.0}, {"b1", 3300.0, 2250.0},
                   {"b2", 3350.0, 2100.0}, {"c1", 2650.0, 1350.0}, {"c2", 2950.0, 1700.0}});
    net.AddBranch({"A", "a1", "a2", "N"}, BranchKind::StartOnly, "TA");
    net.AddBranch({"B", "b1", "b2", "N"}, BranchKind::BothEnds, "TB", "a2");
    net.AddBranch({"C", "c1", "c2", "N"}, BranchKind::BothEnds, "TC", "a2");
    net.AddNode("N", false, 1);
    return net;
}

// Adjusts the network and checks it against the independent solution. Without nodes the two agree
// exactly; with nodes closures are carried in whole millimetres, so the coordinates agree to about
// 1 mm and the angular closures to the tenth of a second that ends the iteration.
void ExpectNodeEquationsSolved(const SyntheticNetwork& net, bool asksNothing) {
    GroupRun g;
    // Large errors fail the closure limits; the scripted answer goes on.
    ASSERT_EQ(g.Adjust(net), GroupStatus::Adjusted);
    EXPECT_TRUE(!asksNothing || g.ui.calls.empty());
    const Solution sol = SolveIndependently(net);
    const bool exact = net.Nodes.empty();
    g.Compare(net, sol, exact ? 1e-6 : 1e-3);
    EXPECT_NEAR(g.ws.MbDegrees * 3600.0, sol.mbSeconds, 1e-6);
    for (int b = 1; b <= g.ws.Nb; ++b) EXPECT_NEAR(g.ws.ClosureFb[b] * 3600.0, sol.closures[b - 1], exact ? 1e-6 : 0.1);
    for (int k = 0; k < static_cast<int>(net.Nodes.size()); ++k)
        EXPECT_EQ(g.model.PointNames.Name(g.model.NetworkNodes[k + 1]), net.Nodes[k].Name);
}

// Closures in whole millimetres make late corrections swing by the rounding; noisy data must
// still settle instead of running out of passes.
TEST(NodeMethod, NetworksMatchAnIndependentSolutionOfTheNodeEquations) {
    for (SyntheticNetwork net :
         {test::ConnectingTraverse(), ThreeBranches(), EqualBranches(), test::TwoLevelNetwork()}) {
        SCOPED_TRACE(net.Branches.front().Points.front() + " .. " + net.Branches.back().Points.back());
        // Errors large enough that other weights would move the points by centimetres.
        net.Observe(3, 6.0, 0.04);
        ExpectNodeEquationsSolved(net, true);
        for (std::uint32_t i = 1; i <= 12; ++i) {
            SCOPED_TRACE(i);
            net.Observe(i, 1.5 * i, 0.0035 * i);
            ExpectNodeEquationsSolved(net, false);
        }
    }
}

TEST(NodeMethod, StationWithoutCoordinatesIsCarriedFromItsTarget) {
    SyntheticNetwork net = test::ConnectingTraverse();
    net.Observe(1, 0.0, 0.0);
    net.Sides.push_back({"B", "TB", net.Distance("B", "TB")});
    GroupRun g;
    g.withoutCoordinates = "B";
    ASSERT_EQ(g.Adjust(net), GroupStatus::Adjusted);
    EXPECT_TRUE(g.ui.calls.empty());

    // The branch now ends at TB along the measured side, with the typed azimuth B -> TB as its last.
    const BranchModel& br = g.model.Branches;
    ASSERT_EQ(br.BranchPointCounts[1], 6);
    EXPECT_EQ(g.model.PointNames.Name(br.LastPoint(1)), "TB");
    EXPECT_EQ(g.ws.BranchTypes[1], BranchKind::StartOnly);
    EXPECT_EQ(g.ws.BranchAngleCounts[1], 5);
    EXPECT_EQ(g.ws.TotalPoints, 6);
    const int b = br.Last(1) - 1;
    EXPECT_NEAR(g.ws.PositionX[b], net.P("B").X, 0.0005);
    EXPECT_NEAR(g.ws.PositionY[b], net.P("B").Y, 0.0005);
    EXPECT_NEAR(g.ws.ClosureFb[1] * 3600.0, 0.0, 1e-3);
    EXPECT_EQ(g.run.RunUnknownPointTotal, 4);
}

TEST(NodeMethod, GroupsThatCannotBeAdjustedFailWithAMessage) {
    {
        // A single side N1-N2, listed first at both nodes, leaves both of them without an angle.
        SyntheticNetwork net;
        net.AddPoints({{"TA", 0.0, 0.0, true}, {"A", 0.0, 300.0, true}, {"TB", 900.0, 300.0, true},
                       {"B", 700.0, 500.0, true}, {"N1", 200.0, 500.0}, {"N2", 400.0, 600.0}});
        net.AddBranch({"N1", "N2"}, BranchKind::Neither);
        net.AddBranch({"A", "N1"}, BranchKind::BothEnds, "TA", "N2");
        net.AddBranch({"B", "N2"}, BranchKind::BothEnds, "TB", "N1");
        net.AddNode("N1", false, 1);
        net.AddNode("N2", false, 1);
        net.Observe(1, 0.0, 0.0);
        GroupRun g;
        EXPECT_EQ(g.Adjust(net), GroupStatus::Failed);
        EXPECT_EQ(g.ui.Messages(), std::vector<std::string>{Vn("Nhánh N1 .. N2 không có góc đo")});
        EXPECT_EQ(g.run.ProgressLog.Lines().back(), "");
    }
    {
        // A group touching no start station.
        SyntheticNetwork net = test::ConnectingTraverse();
        net.Observe(1, 0.0, 0.0);
        GroupRun g;
        g.tied = false;
        EXPECT_EQ(g.Adjust(net), GroupStatus::NotTied);
        ASSERT_EQ(g.ui.Messages().size(), 1u);
        EXPECT_NE(g.ui.Messages()[0].find("khong duoc noi voi toa do goc"), std::string::npos);
    }
    {
        // Node azimuths that never settle (here: one pass, which only ever proposes): the group is
        // not trusted, says why, and leaves nothing to write or to adjust rigorously.
        SyntheticNetwork net = ThreeBranches();
        net.Observe(5, 6.0, 0.01);
        GroupRun g;
        g.passLimit = 1;
        g.settings.KeepAccents = false;
        EXPECT_EQ(g.Adjust(net), GroupStatus::Failed);
        const std::string text = "Nhom 1 (A ... N): phuong vi nut chua on dinh sau 1 lan lap, nhom khong tinh duoc";
        EXPECT_EQ(g.ui.Messages(), std::vector<std::string>{text});
        const auto& log = g.run.ProgressLog.Lines();
        EXPECT_NE(std::find(log.begin(), log.end(), text), log.end());
        EXPECT_EQ(log.back(), "");
        EXPECT_EQ(g.run.RunUnknownPointTotal, 0);
        EXPECT_EQ(g.ws.PositionX.Size(), 0);
    }
}

}  // namespace
}  // namespace qef
