#pragma once
// Synthetic traverse groups for the rigorous adjustment: the working set as the node-method
// adjustment leaves it.
#include "SyntheticNetwork.h"
#include "core/analysis/NetworkChecks.h"
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
            ws.NodeAzimuths[k] =
                PropagateBranchAzimuths(br, c, ws.BranchTypes, ws.PositionAngles, ws.BranchStartAzimuths[c]);
            SpreadNodeAzimuth(model, ws.NodeStarts, ws.NodeCarrierBranch, k, ws.BranchTypes, ws.BranchStartAzimuths,
                              ws.BranchEndAzimuths, ws.NodeAzimuths);
            const Point& p = P(Nodes[k - 1].Name);
            const double d = Nodes[k - 1].Known ? 0.0 : offset;
            ws.NodeX[k] = p.X + d;
            ws.NodeY[k] = p.Y - d;
            SpreadNodeX(model, ws.NodeStarts, ws.NodeCarrierBranch, ws.NodeX, k, ws.PositionX);
            SpreadNodeY(model, ws.NodeStarts, ws.NodeCarrierBranch, ws.NodeY, k, ws.PositionY);
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

}  // namespace qef::test
