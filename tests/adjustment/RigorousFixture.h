#pragma once
// Synthetic traverse groups for the rigorous adjustment: true coordinates, observations made from
// them with fixed pseudo-random errors, and the working set as the node-method adjustment leaves it.
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <unordered_map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/numeric/Geometry.h"
#include "core/analysis/NetworkChecks.h"
#include "core/model/NetworkModel.h"

namespace qef::test {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kSecondsPerRadian = 180.0 * 3600.0 / kPi;

inline double Azimuth(double x1, double y1, double x2, double y2) {
    double a = std::atan2(y2 - y1, x2 - x1) * 180.0 / kPi;
    return a < 0 ? a + 360.0 : a;
}

class SyntheticGroup {
public:
    struct Point {
        double X = 0, Y = 0;
        bool Known = false;
    };
    struct Branch {
        std::vector<std::string> Points;
        BranchKind Kind = BranchKind::BothEnds;
        std::string StartRef, EndRef;  // back point of the first angle, fore point of the last
        bool NoAngleClosure = false;
    };
    struct Node {
        std::string Name;
        bool Known = false;
        int Carrier = 0;
    };
    struct AngleObs {
        std::string Back, Station, Fore;
        double Value = 0;  // degrees
    };
    struct SideObs {
        std::string From, To;
        double Value = 0;
    };

    std::vector<std::pair<std::string, Point>> Points;
    std::vector<Branch> Branches;
    std::vector<Node> Nodes;
    // Per branch, per point / side: the observations.
    std::vector<std::vector<double>> AngleAt;  // [branch][point 1..n], NaN where none
    std::vector<std::vector<double>> SideAt;   // [branch][side 1..n-1]

    void AddPoint(const std::string& name, double x, double y, bool known = false) {
        index_[name] = Points.size();
        Points.push_back({name, {x, y, known}});
    }
    struct Named {
        const char* Name;
        double X, Y;
        bool Known = false;
    };
    void AddPoints(std::initializer_list<Named> points) {
        for (const Named& p : points) AddPoint(p.Name, p.X, p.Y, p.Known);
    }
    const Point& P(const std::string& name) const {
        const auto it = index_.find(name);
        if (it == index_.end()) throw std::runtime_error("no point " + name);
        return Points[it->second].second;
    }
    void AddBranch(std::vector<std::string> points, BranchKind kind, std::string startRef = {},
                   std::string endRef = {}, bool noAngleClosure = false) {
        Branches.push_back({std::move(points), kind, std::move(startRef), std::move(endRef), noAngleClosure});
    }
    void AddNode(const std::string& name, bool known, int carrier) { Nodes.push_back({name, known, carrier}); }

    // The angle at `station` from `back` clockwise to `fore`, true value.
    double TrueAngle(const std::string& back, const std::string& station, const std::string& fore) const {
        const Point& s = P(station);
        double a = Azimuth(s.X, s.Y, P(fore).X, P(fore).Y) - Azimuth(s.X, s.Y, P(back).X, P(back).Y);
        return a < 0 ? a + 360.0 : a;
    }

    // Observations with errors drawn evenly from +-angleError seconds and +-sideError metres, per
    // branch (NaN where no angle) and as lists in branch order.
    std::vector<AngleObs> Angles;
    std::vector<SideObs> Sides;
    void Observe(std::uint32_t seed, double angleError, double sideError) {
        auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return (static_cast<double>(seed >> 8) / 16777216.0) * 2.0 - 1.0;
        };
        AngleAt.clear();
        SideAt.clear();
        Angles.clear();
        Sides.clear();
        for (const Branch& br : Branches) {
            const int n = static_cast<int>(br.Points.size());
            std::vector<double> angles(n + 1, std::nan(""));
            std::vector<double> sides(n, 0.0);
            for (int i = 1; i <= n; ++i) {
                const std::string back = i == 1 ? br.StartRef : br.Points[i - 2];
                const std::string fore = i == n ? br.EndRef : br.Points[i];
                if ((i == 1 && !HasStartAngle(br.Kind)) || (i == n && !HasEndAngle(br.Kind))) continue;
                angles[i] = TrueAngle(back, br.Points[i - 1], fore) + next() * angleError / 3600.0;
                Angles.push_back({back, br.Points[i - 1], fore, angles[i]});
            }
            for (int j = 1; j < n; ++j) {
                const Point& a = P(br.Points[j - 1]);
                const Point& b = P(br.Points[j]);
                sides[j] = std::hypot(b.X - a.X, b.Y - a.Y) + next() * sideError;
                Sides.push_back({br.Points[j - 1], br.Points[j], sides[j]});
            }
            AngleAt.push_back(angles);
            SideAt.push_back(sides);
        }
    }

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
            const int ki = static_cast<std::size_t>(k);
            ws.NodeStarts[ki] = count;
            const int node = model.NetworkNodes[ki];
            for (int b = 1; b <= nb; ++b) {
                const int bi = static_cast<std::size_t>(b);
                const bool starts = br.FirstPoint(b) == node;
                const bool ends = br.LastPoint(b) == node;
                if (!starts && !ends) continue;
                model.NodeBranches.PushBack(b);
                ++count;
                if (starts) ws.StartNodeOf[bi] = k;
                if (ends) ws.EndNodeOf[bi] = k;
            }
            ws.KnownNodeFlags[ki] = Nodes[ki - 1].Known ? 1 : 0;
            ws.NodeCarrierBranch[ki] = Nodes[ki - 1].Carrier;
        }
        ws.NodeStarts[static_cast<std::size_t>(nn) + 1] = count;

        for (int b = 1; b <= nb; ++b) {
            const int bi = static_cast<std::size_t>(b);
            const Branch& def = Branches[bi - 1];
            const int n = static_cast<int>(def.Points.size());
            ws.BranchTypes[bi] = def.Kind;
            ws.NoAngleClosure[bi] = def.NoAngleClosure ? 1 : 0;
            ws.StartRefPoints[bi] = def.StartRef.empty() ? 0 : id(def.StartRef);
            ws.EndRefPoints[bi] = def.EndRef.empty() ? 0 : id(def.EndRef);
            ws.StartUnknownNodeOf[bi] = ws.StartNodeOf[bi];
            ws.EndUnknownNodeOf[bi] = ws.EndNodeOf[bi];
            ws.BranchSideCounts[bi] = n - 1;
            ws.BranchAngleCounts[bi] = n - (HasStartAngle(def.Kind) ? 0 : 1) - (HasEndAngle(def.Kind) ? 0 : 1);
            const int first = br.First(b);
            for (int i = 1; i <= n; ++i) {
                const int p = static_cast<std::size_t>(first + i - 1);
                const double a = AngleAt[bi - 1][i];
                ws.PositionAngles[p] = std::isnan(a) ? 0.0 : a;
                if (i < n) ws.PositionSides[p] = SideAt[bi - 1][i];
                const Point& pt = P(def.Points[i - 1]);
                ws.PositionX[p] = pt.X;
                ws.PositionY[p] = pt.Y;
            }
            const Point& f = P(def.Points.front());
            const Point& l = P(def.Points.back());
            if (ws.StartNodeOf[bi] == 0 && HasStartAngle(def.Kind)) {
                const Point& r = P(def.StartRef);
                ws.BranchStartAzimuths[bi] = Azimuth(r.X, r.Y, f.X, f.Y);  // arriving at the station
            }
            if (ws.EndNodeOf[bi] == 0 && HasEndAngle(def.Kind)) {
                const Point& r = P(def.EndRef);
                ws.BranchEndAzimuths[bi] = Azimuth(l.X, l.Y, r.X, r.Y);
            }
        }
        // Nodes in order: each carrier's start is oriented by the time its node is reached.
        for (int k = 1; k <= nn; ++k) {
            const int ki = static_cast<std::size_t>(k);
            const int c = ws.NodeCarrierBranch[ki];
            ws.NodeAzimuths[ki] =
                PropagateBranchAzimuths(br, c, ws.BranchTypes, ws.PositionAngles, ws.BranchStartAzimuths[c]);
            SpreadNodeAzimuth(model, ws.NodeStarts, ws.NodeCarrierBranch, k, ws.BranchTypes, ws.BranchStartAzimuths,
                              ws.BranchEndAzimuths, ws.NodeAzimuths);
            const Point& p = P(Nodes[ki - 1].Name);
            const double d = Nodes[ki - 1].Known ? 0.0 : offset;
            ws.NodeX[ki] = p.X + d;
            ws.NodeY[ki] = p.Y - d;
            SpreadNodeX(model, ws.NodeStarts, ws.NodeCarrierBranch, ws.NodeX, k, ws.PositionX);
            SpreadNodeY(model, ws.NodeStarts, ws.NodeCarrierBranch, ws.NodeY, k, ws.PositionY);
        }
    }

private:
    std::unordered_map<std::string, std::size_t> index_;
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
