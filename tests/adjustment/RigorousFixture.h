#pragma once
// Synthetic traverse groups for the rigorous adjustment: the working set as the node-method
// adjustment leaves it.
#include <deque>
#include <string>
#include <vector>

#include "SyntheticNetwork.h"
#include "adjustment/BranchArithmetic.h"
#include "adjustment/NetworkChecks.h"
#include "core/numeric/Geometry.h"

namespace qef::test {

class SyntheticGroup : public SyntheticNetwork {
public:
    // The model and working set as the node-method adjustment hands them over; unknown nodes
    // start `offset` metres off their true place. Ms in metres.
    void Build(NetworkModel& model, GroupWorkingSet& ws, double offset, double mbDegrees, double ms) const {
        for (const auto& [name, p] : Points) model.PointNames.Register(name);
        auto id = [&](const std::string& name) { return model.PointNames.Find(name); };
        BranchModel& br = model.Branches;
        for (const Branch& b : Branches) {
            br.BranchPointCounts.PushBack(static_cast<int>(b.Points.size()));
            for (const std::string& p : b.Points) br.BranchPoints.PushBack(id(p));
        }
        const int nb = static_cast<int>(Branches.size());
        const int nn = static_cast<int>(Nodes.size());
        br.BuildBranchOffsets(nb);
        for (const Node& n : Nodes) model.NetworkNodes.PushBack(id(n.Name));

        ws.Nb = nb;
        ws.Nn = nn;
        ws.TotalPoints = br.SumBranchPoints(nb);
        ws.AngularClosureFactor = 30;
        ws.MbDegrees = mbDegrees;
        ws.Ms = ms;
        ws.Allocate();

        // Incidence: for each node the branches that start or end at it.
        int count = 0;
        for (int k = 1; k <= nn; ++k) {
            ws.NodeStarts[k] = count;
            const int node = model.NetworkNodes[k];
            for (int b = 1; b <= nb; ++b) {
                const bool starts = br.FirstPoint(b) == node;
                const bool ends = br.LastPoint(b) == node;
                if (!starts && !ends) continue;
                model.NodeBranches.PushBack(b);
                ++count;
                if (starts) ws.StartNodeOf[b] = k;
                if (ends) ws.EndNodeOf[b] = k;
            }
            ws.KnownNodeFlags[k] = Nodes[k - 1].Known ? 1 : 0;
            ws.NodeCarrierBranch[k] = Nodes[k - 1].Carrier;
        }
        ws.NodeStarts[nn + 1] = count;

        for (int b = 1; b <= nb; ++b) {
            const Branch& def = Branches[b - 1];
            const int n = static_cast<int>(def.Points.size());
            ws.BranchTypes[b] = def.Kind;
            ws.NoAngleClosure[b] = def.NoAngleClosure ? 1 : 0;
            ws.StartRefPoints[b] = def.StartRef.empty() ? 0 : id(def.StartRef);
            ws.EndRefPoints[b] = def.EndRef.empty() ? 0 : id(def.EndRef);
            ws.StartUnknownNodeOf[b] = ws.StartNodeOf[b];
            ws.EndUnknownNodeOf[b] = ws.EndNodeOf[b];
            ws.BranchSideCounts[b] = n - 1;
            ws.BranchAngleCounts[b] = n - (HasStartAngle(def.Kind) ? 0 : 1) - (HasEndAngle(def.Kind) ? 0 : 1);
            const int first = br.First(b);
            for (int i = 1; i <= n; ++i) {
                const int p = first + i - 1;
                const double a = AngleAt[b - 1][i];
                ws.PositionAngles[p] = std::isnan(a) ? 0.0 : a;
                if (i < n) ws.PositionSides[p] = SideAt[b - 1][i];
                const Point& pt = P(def.Points[i - 1]);
                ws.PositionX[p] = pt.X;
                ws.PositionY[p] = pt.Y;
            }
            if (ws.StartNodeOf[b] == 0 && HasStartAngle(def.Kind))
                ws.BranchStartAzimuths[b] = Azimuth(def.StartRef, def.Points.front());  // arriving at the station
            if (ws.EndNodeOf[b] == 0 && HasEndAngle(def.Kind))
                ws.BranchEndAzimuths[b] = Azimuth(def.Points.back(), def.EndRef);
        }
        // Nodes in order: each carrier's start is oriented by the time its node is reached.
        for (int k = 1; k <= nn; ++k) {
            const int c = ws.NodeCarrierBranch[k];
            ws.NodeAzimuths[k] = PropagateBranchAzimuths(ws, br, c, ws.BranchStartAzimuths[c]);
            SpreadNodeAzimuth(ws, model, k);
            const Point& p = P(Nodes[k - 1].Name);
            const double d = Nodes[k - 1].Known ? 0.0 : offset;
            ws.NodeX[k] = p.X + d;
            ws.NodeY[k] = p.Y - d;
            SpreadNodeX(ws, model, k);
            SpreadNodeY(ws, model, k);
        }
    }
};

// Three branches meeting at node N: 1 carries N (no angle at N), 2 ends at N and 3 leaves N, both
// with connecting angles at N towards 1c. With `knownNode` N is a known point without direction.
inline SyntheticGroup NodeNetwork(bool knownNode = false) {
    SyntheticGroup g;
    g.AddPoints({{"T1", 2900, 100, true}, {"S1", 2500, 200, true}, {"1a", 2300, 550}, {"1b", 2050, 900},
                 {"1c", 1800, 1250}, {"N", 1500, 1500, knownNode}, {"T2", 300, 0, true}, {"S2", 600, 300, true},
                 {"2a", 900, 700}, {"2b", 1200, 1150}, {"3a", 1450, 1900}, {"3b", 1600, 2300}, {"3c", 1500, 2700},
                 {"S3", 1550, 3100, true}, {"T3", 1900, 3400, true}});
    g.AddBranch({"S1", "1a", "1b", "1c", "N"}, BranchKind::StartOnly, "T1");
    g.AddBranch({"S2", "2a", "2b", "N"}, BranchKind::BothEnds, "T2", "1c");
    g.AddBranch({"N", "3a", "3b", "3c", "S3"}, BranchKind::BothEnds, "1c", "T3");
    g.AddNode("N", knownNode, 1);
    return g;
}


inline std::string GridNodeName(int i, int j) { return "N" + std::to_string(i) + "_" + std::to_string(j); }

// Breadth first over the g x g grid from (0,0): the order grid points are reached, their level and
// the point each was reached from.
struct GridReach {
    std::vector<int> level, carrierFrom, order;
};

inline GridReach ReachFromCorner(int g) {
    GridReach r;
    r.level.assign(static_cast<std::size_t>(g * g), -1);
    r.carrierFrom.assign(static_cast<std::size_t>(g * g), -1);
    std::deque<int> queue{0};
    r.level[0] = 0;
    while (!queue.empty()) {
        const int c = queue.front();
        queue.pop_front();
        r.order.push_back(c);
        const int ci = c / g, cj = c % g;
        const int next[4][2] = {{ci + 1, cj}, {ci, cj + 1}, {ci - 1, cj}, {ci, cj - 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= g || n[1] >= g) continue;
            const int k = n[0] * g + n[1];
            if (r.level[k] >= 0) continue;
            r.level[k] = r.level[c] + 1;
            r.carrierFrom[k] = c;
            queue.push_back(k);
        }
    }
    return r;
}

// g x g grid points, every neighbouring pair joined by a branch of `interior` points; the corner
// points (0,0) and (g-1,g-1) are known stations with a sighted target, the others nodes. Nodes
// are listed breadth first from (0,0); each is carried by the branch that reached it first.
inline SyntheticGroup GridNetwork(int g, int interior, std::uint32_t seed = 2026, double angleErrorSeconds = 5.0,
                                  double sideErrorMetres = 0.005) {
    SyntheticGroup net;
    const double spacing = 150.0 * (interior + 1);
    auto isStation = [&](int i, int j) { return (i == 0 && j == 0) || (i == g - 1 && j == g - 1); };
    for (int i = 0; i < g; ++i)
        for (int j = 0; j < g; ++j) net.AddPoint(GridNodeName(i, j), i * spacing, j * spacing, isStation(i, j));
    net.AddPoint("T0", -300.0, -200.0, true);
    net.AddPoint("T1", (g - 1) * spacing + 300.0, (g - 1) * spacing + 250.0, true);
    auto target = [&](int i, int j) { return i == 0 && j == 0 ? std::string("T0") : std::string("T1"); };

    const GridReach reach = ReachFromCorner(g);
    const std::vector<int>& level = reach.level;
    const std::vector<int>& carrierFrom = reach.carrierFrom;
    const std::vector<int>& order = reach.order;
    // Branches run from the lower level to the higher; the interior points zigzag off the line.
    std::vector<std::string> lastButOne(static_cast<std::size_t>(g * g));
    struct Pending {
        int from, to;
    };
    std::vector<Pending> pending;
    for (int c : order) {
        const int ci = c / g, cj = c % g;
        if (ci + 1 < g) pending.push_back({c, c + g});
        if (cj + 1 < g) pending.push_back({c, c + 1});
    }
    std::vector<int> carrierBranch(static_cast<std::size_t>(g * g), 0);
    std::vector<std::vector<std::string>> points;
    std::vector<Pending> ends;
    for (Pending p : pending) {
        if (level[p.from] > level[p.to] ||
            (isStation(p.to / g, p.to % g) && p.to != 0))
            std::swap(p.from, p.to);
        const int fi = p.from / g, fj = p.from % g, ti = p.to / g, tj = p.to % g;
        std::vector<std::string> names{GridNodeName(fi, fj)};
        for (int k = 1; k <= interior; ++k) {
            const double t = static_cast<double>(k) / (interior + 1);
            const double side = (k % 2 == 0 ? 20.0 : -20.0);
            const std::string name = GridNodeName(fi, fj) + "-" + GridNodeName(ti, tj) + "/" + std::to_string(k);
            net.AddPoint(name, (fi + (ti - fi) * t) * spacing + (fj != tj ? side : 0.0),
                         (fj + (tj - fj) * t) * spacing + (fi != ti ? side : 0.0));
            names.push_back(name);
        }
        names.push_back(GridNodeName(ti, tj));
        if (carrierFrom[p.to] == p.from && !isStation(ti, tj)) {
            carrierBranch[p.to] = static_cast<int>(points.size()) + 1;
            lastButOne[p.to] = names[names.size() - 2];
        }
        points.push_back(names);
        ends.push_back(p);
    }
    for (std::size_t b = 0; b < points.size(); ++b) {
        const int from = ends[b].from, to = ends[b].to;
        const std::string startRef =
            isStation(from / g, from % g) ? target(from / g, from % g) : lastButOne[from];
        const bool carrier = carrierBranch[to] == static_cast<int>(b) + 1;
        if (carrier) {
            net.AddBranch(points[b], qef::BranchKind::StartOnly, startRef);
        } else {
            const std::string endRef =
                isStation(to / g, to % g) ? target(to / g, to % g) : lastButOne[to];
            net.AddBranch(points[b], qef::BranchKind::BothEnds, startRef, endRef);
        }
    }
    for (int c : order)
        if (!isStation(c / g, c % g)) net.AddNode(GridNodeName(c / g, c % g), false, carrierBranch[c]);
    net.Observe(seed, angleErrorSeconds, sideErrorMetres);
    return net;
}

}  // namespace qef::test
