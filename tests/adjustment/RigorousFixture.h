#pragma once
// Synthetic traverse groups for the rigorous adjustment: true coordinates, observations made from
// them with fixed pseudo-random errors, the working set as the node-method adjustment leaves it,
// and an independent parametric least-squares solution (Eigen) of the same observations.
#include <Eigen/Dense>

#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/Geometry.h"
#include "core/NetworkChecks.h"
#include "core/NetworkModel.h"

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
        int Kind = 1;
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
        Points.push_back({name, {x, y, known}});
    }
    const Point& P(const std::string& name) const {
        for (const auto& [n, p] : Points)
            if (n == name) return p;
        throw std::runtime_error("no point " + name);
    }
    void AddBranch(std::vector<std::string> points, int kind, std::string startRef = {}, std::string endRef = {},
                   bool noAngleClosure = false) {
        Branches.push_back({std::move(points), kind, std::move(startRef), std::move(endRef), noAngleClosure});
    }
    void AddNode(const std::string& name, bool known, int carrier) { Nodes.push_back({name, known, carrier}); }

    static bool HasStartAngle(int kind) { return kind == 1 || kind == 2; }
    static bool HasEndAngle(int kind) { return kind == 1 || kind == 3; }

    // The angle at `station` from `back` clockwise to `fore`, true value.
    double TrueAngle(const std::string& back, const std::string& station, const std::string& fore) const {
        const Point& s = P(station);
        double a = Azimuth(s.X, s.Y, P(fore).X, P(fore).Y) - Azimuth(s.X, s.Y, P(back).X, P(back).Y);
        return a < 0 ? a + 360.0 : a;
    }

    // Observations with errors drawn evenly from +-angleError seconds and +-sideError metres.
    void Observe(std::uint32_t seed, double angleError, double sideError) {
        auto next = [&seed]() {
            seed = seed * 1664525u + 1013904223u;
            return (static_cast<double>(seed >> 8) / 16777216.0) * 2.0 - 1.0;
        };
        AngleAt.clear();
        SideAt.clear();
        for (const Branch& br : Branches) {
            const int n = static_cast<int>(br.Points.size());
            std::vector<double> angles(static_cast<std::size_t>(n) + 1, std::nan(""));
            std::vector<double> sides(static_cast<std::size_t>(n), 0.0);
            for (int i = 1; i <= n; ++i) {
                const std::string back = i == 1 ? br.StartRef : br.Points[static_cast<std::size_t>(i - 2)];
                const std::string fore = i == n ? br.EndRef : br.Points[static_cast<std::size_t>(i)];
                if ((i == 1 && !HasStartAngle(br.Kind)) || (i == n && !HasEndAngle(br.Kind))) continue;
                angles[static_cast<std::size_t>(i)] =
                    TrueAngle(back, br.Points[static_cast<std::size_t>(i - 1)], fore) + next() * angleError / 3600.0;
            }
            for (int j = 1; j < n; ++j) {
                const Point& a = P(br.Points[static_cast<std::size_t>(j - 1)]);
                const Point& b = P(br.Points[static_cast<std::size_t>(j)]);
                sides[static_cast<std::size_t>(j)] = std::hypot(b.X - a.X, b.Y - a.Y) + next() * sideError;
            }
            AngleAt.push_back(angles);
            SideAt.push_back(sides);
        }
    }

    std::vector<AngleObs> Angles() const {
        std::vector<AngleObs> out;
        for (std::size_t b = 0; b < Branches.size(); ++b) {
            const Branch& br = Branches[b];
            const int n = static_cast<int>(br.Points.size());
            for (int i = 1; i <= n; ++i) {
                const double v = AngleAt[b][static_cast<std::size_t>(i)];
                if (std::isnan(v)) continue;
                out.push_back({i == 1 ? br.StartRef : br.Points[static_cast<std::size_t>(i - 2)],
                               br.Points[static_cast<std::size_t>(i - 1)],
                               i == n ? br.EndRef : br.Points[static_cast<std::size_t>(i)], v});
            }
        }
        return out;
    }
    std::vector<SideObs> Sides() const {
        std::vector<SideObs> out;
        for (std::size_t b = 0; b < Branches.size(); ++b) {
            const Branch& br = Branches[b];
            for (std::size_t j = 1; j < br.Points.size(); ++j) out.push_back({br.Points[j - 1], br.Points[j], SideAt[b][j]});
        }
        return out;
    }

    // The model and working set as the node-method adjustment hands them over; unknown nodes
    // start `offset` metres off their true place. Mb in degrees, Ms in metres.
    void Build(NetworkModel& model, GroupWorkingSet& ws, double offset, double mb, double ms) const {
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
        ws.Mb = mb;
        ws.Ms = ms;
        ws.Allocate();

        // Incidence: for each node the branches that start or end at it.
        int count = 0;
        for (int k = 1; k <= nn; ++k) {
            const std::size_t ki = static_cast<std::size_t>(k);
            ws.NodeStarts[ki] = count;
            const int node = model.NetworkNodes[ki];
            for (int b = 1; b <= nb; ++b) {
                const std::size_t bi = static_cast<std::size_t>(b);
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
            const std::size_t bi = static_cast<std::size_t>(b);
            const Branch& def = Branches[bi - 1];
            const int n = static_cast<int>(def.Points.size());
            ws.BranchTypes[bi] = def.Kind;
            ws.NoAngleClosure[bi] = def.NoAngleClosure ? 1 : 0;
            ws.StartRefPoints[bi] = def.StartRef.empty() ? 0 : id(def.StartRef);
            ws.EndRefPoints[bi] = def.EndRef.empty() ? 0 : id(def.EndRef);
            ws.StartUnknownNodeOf[bi] = ws.StartNodeOf[bi];
            ws.EndUnknownNodeOf[bi] = ws.EndNodeOf[bi];
            ws.BranchSideCounts[bi] = n - 1;
            ws.BranchAngleCounts[bi] = def.Kind == 1 ? n : def.Kind == 4 ? n - 2 : n - 1;
            const int first = br.First(b);
            for (int i = 1; i <= n; ++i) {
                const std::size_t p = static_cast<std::size_t>(first + i - 1);
                const double a = AngleAt[bi - 1][static_cast<std::size_t>(i)];
                ws.PositionAngles[p] = std::isnan(a) ? 0.0 : a;
                if (i < n) ws.PositionSides[p] = SideAt[bi - 1][static_cast<std::size_t>(i)];
                const Point& pt = P(def.Points[static_cast<std::size_t>(i - 1)]);
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
        const OneBased<double> none;
        for (int k = 1; k <= nn; ++k) {
            const std::size_t ki = static_cast<std::size_t>(k);
            const int c = ws.NodeCarrierBranch[ki];
            ws.NodeAzimuths[ki] = PropagateBranchAzimuths(br, c, ws.BranchTypes, ws.PositionAngles, false, none,
                                                          ws.BranchStartAzimuths[static_cast<std::size_t>(c)]);
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
};

// Parametric least squares over the coordinates of every point that is not known.
struct ParametricSolution {
    std::map<std::string, int> Index;  // unknown point -> its X column (Y the next)
    std::map<std::string, Eigen::Vector2d> Coords;
    Eigen::MatrixXd Qxx;
    double Pvv = 0;
    int Redundancy = 0;
    double Mu = 0;
    std::vector<double> AngleV;  // seconds, in the order of SyntheticGroup::Angles()
    std::vector<double> SideV;   // metres, in the order of Sides()

    double X(const std::string& p) const { return Coords.at(p)(0); }
    double Y(const std::string& p) const { return Coords.at(p)(1); }

    // Gradient of a function of two points' coordinates over the unknowns.
    Eigen::VectorXd Gradient(const std::string& a, const std::string& b, double da_x, double da_y, double db_x,
                             double db_y) const {
        Eigen::VectorXd g = Eigen::VectorXd::Zero(Qxx.rows());
        if (auto it = Index.find(a); it != Index.end()) {
            g(it->second) += da_x;
            g(it->second + 1) += da_y;
        }
        if (auto it = Index.find(b); it != Index.end()) {
            g(it->second) += db_x;
            g(it->second + 1) += db_y;
        }
        return g;
    }
    double Sigma(const Eigen::VectorXd& g) const { return Mu * std::sqrt(g.dot(Qxx * g)); }
    double SigmaX(const std::string& p) const { return Index.count(p) ? Mu * std::sqrt(Qxx(Index.at(p), Index.at(p))) : 0; }
    double SigmaY(const std::string& p) const {
        return Index.count(p) ? Mu * std::sqrt(Qxx(Index.at(p) + 1, Index.at(p) + 1)) : 0;
    }
    double SideSigma(const std::string& a, const std::string& b) const {
        const double dx = X(b) - X(a), dy = Y(b) - Y(a), s = std::hypot(dx, dy);
        return Sigma(Gradient(a, b, -dx / s, -dy / s, dx / s, dy / s));
    }
    // Seconds.
    double AzimuthSigma(const std::string& a, const std::string& b) const {
        const double dx = X(b) - X(a), dy = Y(b) - Y(a), s2 = dx * dx + dy * dy;
        const double k = kSecondsPerRadian / s2;
        return Sigma(Gradient(a, b, dy * k, -dx * k, -dy * k, dx * k));
    }
};

// mb: unit-weight error in seconds (an angle's); sideMs(S): a side's error in metres.
inline ParametricSolution SolveParametric(const SyntheticGroup& g, double mb, const std::function<double(double)>& sideMs) {
    ParametricSolution sol;
    int columns = 0;
    for (const auto& [name, p] : g.Points)
        if (!p.Known) {
            sol.Index[name] = columns;
            columns += 2;
        }
    for (const auto& [name, p] : g.Points) sol.Coords[name] = Eigen::Vector2d(p.X, p.Y);
    const auto angles = g.Angles();
    const auto sides = g.Sides();
    const int rows = static_cast<int>(angles.size() + sides.size());
    Eigen::MatrixXd jac(rows, columns);
    Eigen::VectorXd misfit(rows), weight(rows);
    for (int iteration = 0; iteration < 8; ++iteration) {
        jac.setZero();
        int r = 0;
        auto add = [&](const std::string& p, double dx, double dy) {
            if (auto it = sol.Index.find(p); it != sol.Index.end()) {
                jac(r, it->second) += dx;
                jac(r, it->second + 1) += dy;
            }
        };
        for (const auto& a : angles) {
            const Eigen::Vector2d s = sol.Coords[a.Station], b = sol.Coords[a.Back], f = sol.Coords[a.Fore];
            double computed = Azimuth(s(0), s(1), f(0), f(1)) - Azimuth(s(0), s(1), b(0), b(1));
            double d = (computed - a.Value) * 3600.0;
            while (d > 648000.0) d -= 1296000.0;
            while (d < -648000.0) d += 1296000.0;
            misfit(r) = d;
            weight(r) = 1.0;
            // d(azimuth s->p) / d(p) = (-dy, dx) / s^2, in seconds.
            const Eigen::Vector2d df = f - s, db = b - s;
            const double kf = kSecondsPerRadian / df.squaredNorm(), kb = kSecondsPerRadian / db.squaredNorm();
            add(a.Fore, -df(1) * kf, df(0) * kf);
            add(a.Station, df(1) * kf, -df(0) * kf);
            add(a.Back, db(1) * kb, -db(0) * kb);
            add(a.Station, -db(1) * kb, db(0) * kb);
            ++r;
        }
        for (const auto& s : sides) {
            const Eigen::Vector2d d = sol.Coords[s.To] - sol.Coords[s.From];
            const double len = d.norm();
            misfit(r) = len - s.Value;
            const double m = sideMs(s.Value);
            weight(r) = (mb / m) * (mb / m);
            add(s.To, d(0) / len, d(1) / len);
            add(s.From, -d(0) / len, -d(1) / len);
            ++r;
        }
        const Eigen::MatrixXd n = jac.transpose() * weight.asDiagonal() * jac;
        const Eigen::VectorXd step = n.ldlt().solve(-(jac.transpose() * weight.asDiagonal() * misfit));
        for (const auto& [name, c] : sol.Index) sol.Coords[name] += Eigen::Vector2d(step(c), step(c + 1));
        sol.Qxx = n.inverse();
    }
    sol.Pvv = misfit.dot(weight.asDiagonal() * misfit);
    sol.Redundancy = rows - columns;
    sol.Mu = std::sqrt(sol.Pvv / sol.Redundancy);
    for (std::size_t i = 0; i < angles.size(); ++i) sol.AngleV.push_back(misfit(static_cast<int>(i)));
    for (std::size_t i = 0; i < sides.size(); ++i) sol.SideV.push_back(misfit(static_cast<int>(angles.size() + i)));
    return sol;
}

}  // namespace qef::test
