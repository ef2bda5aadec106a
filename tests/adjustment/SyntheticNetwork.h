#pragma once
// Traverse networks made from true coordinates: points, branches and nodes, the observations made
// from them with fixed pseudo-random errors, and the known-point and observation files of a run.
// Angles and lengths are computed here, independently of the program. Groups and working sets laid
// out by hand share the branch helpers at the end.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "adjustment/GroupWorkingSet.h"
#include "core/model/BranchKind.h"
#include "core/model/NetworkModel.h"

namespace qef::test {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kSecondsPerRadian = 180.0 * 3600.0 / kPi;

// Degrees clockwise from north (X).
inline double Azimuth(double x1, double y1, double x2, double y2) {
    double a = std::atan2(y2 - y1, x2 - x1) * 180.0 / kPi;
    return a < 0 ? a + 360.0 : a;
}

class SyntheticNetwork {
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
        int Carrier = 0;  // the branch that reaches it without an angle there
    };
    struct AngleObs {
        std::string Back, Station, Fore;
        double Value = 0;  // degrees
    };
    struct SideObs {
        std::string From, To;
        double Value = 0;
    };

    std::vector<std::pair<std::string, Point>> Points;  // known points in the order of their file
    std::vector<Branch> Branches;
    std::vector<Node> Nodes;
    // Per branch, per point / side, in walking order: the observations.
    std::vector<std::vector<double>> AngleAt;  // [branch][point 1..n], NaN where none
    std::vector<std::vector<double>> SideAt;   // [branch][side 1..n-1]
    // The same observations as listed in a file.
    std::vector<AngleObs> Angles;
    std::vector<SideObs> Sides;

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
    // name -> (X, Y) of every point: what a result must come back to.
    std::map<std::string, std::pair<double, double>> Truth() const {
        std::map<std::string, std::pair<double, double>> truth;
        for (const auto& [name, p] : Points) truth[name] = {p.X, p.Y};
        return truth;
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
    // Where `name` is in Nodes; -1 when it is no node.
    int NodeIndex(const std::string& name) const {
        for (std::size_t k = 0; k < Nodes.size(); ++k)
            if (Nodes[k].Name == name) return static_cast<int>(k);
        return -1;
    }

    double Azimuth(const std::string& from, const std::string& to) const {
        return test::Azimuth(P(from).X, P(from).Y, P(to).X, P(to).Y);
    }
    double Distance(const std::string& a, const std::string& b) const {
        return std::hypot(P(b).X - P(a).X, P(b).Y - P(a).Y);
    }
    // The angle at `station` from `back` clockwise to `fore`, true value.
    double TrueAngle(const std::string& back, const std::string& station, const std::string& fore) const {
        const double a = Azimuth(station, fore) - Azimuth(station, back);
        return a < 0 ? a + 360.0 : a;
    }

    // Observations with errors drawn evenly from +-angleError seconds and +-sideError metres.
    // An angle closing a branch at a node is listed as read from the node's reference, so that the
    // program has to turn it round.
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
                const std::string& back = i == 1 ? br.StartRef : br.Points[i - 2];
                const std::string& fore = i == n ? br.EndRef : br.Points[i];
                if ((i == 1 && !HasStartAngle(br.Kind)) || (i == n && !HasEndAngle(br.Kind))) continue;
                const std::string& station = br.Points[i - 1];
                angles[i] = TrueAngle(back, station, fore) + next() * angleError / 3600.0;
                if (i == n && NodeIndex(station) >= 0) {
                    Angles.push_back({fore, station, back, 360.0 - angles[i]});
                } else {
                    Angles.push_back({back, station, fore, angles[i]});
                }
            }
            for (int j = 1; j < n; ++j) {
                sides[j] = Distance(br.Points[j - 1], br.Points[j]) + next() * sideError;
                Sides.push_back({br.Points[j - 1], br.Points[j], sides[j]});
            }
            AngleAt.push_back(angles);
            SideAt.push_back(sides);
        }
    }

    static std::string Fixed(double value, int decimals) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }
    // D.MMSSsss: degrees, minutes, seconds and thousandths of a second.
    static std::string DmsText(double degrees) {
        long long ms = std::llround(degrees * 3600000.0);
        const long long d = ms / 3600000;
        ms -= d * 3600000;
        const long long m = ms / 60000;
        ms -= m * 60000;
        char text[40];
        std::snprintf(text, sizeof text, "%lld.%02lld%05lld", d, m, ms);
        return text;
    }
    std::string KnownText() const {
        std::string text;
        for (const auto& [name, p] : Points)
            if (p.Known) text += name + "\t" + Fixed(p.X, 4) + "\t" + Fixed(p.Y, 4) + "\r\n";
        return text;
    }
    std::string ObservationText() const {
        std::string text;
        for (const AngleObs& a : Angles)
            text += a.Back + "\t" + a.Station + "\t" + a.Fore + "\t" + DmsText(a.Value) + "\r\n";
        for (const SideObs& s : Sides) text += s.From + "\t" + s.To + "\t" + Fixed(s.Value, 5) + "\r\n";
        return text;
    }

private:
    std::unordered_map<std::string, std::size_t> index_;
};

// A connecting traverse A .. B between the known directions TA-A and B-TB, three points between.
inline SyntheticNetwork ConnectingTraverse() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 2301000.000, 501000.000, true}, {"A", 2300500.000, 500800.000, true},
                   {"1", 2300390.120, 501110.330}, {"2", 2300450.870, 501420.160}, {"3", 2300280.540, 501690.720},
                   {"B", 2300320.310, 501980.450, true}, {"TB", 2299900.000, 502300.000, true}});
    net.AddBranch({"A", "1", "2", "3", "B"}, BranchKind::BothEnds, "TA", "TB");
    return net;
}

// Two nodes on two levels: N1 reached from A and B, N2 from N1 by three branches. The branch
// through p1..p3 carries both nodes; the others close on them with angles towards p1 and p3.
inline SyntheticNetwork TwoLevelNetwork() {
    SyntheticNetwork net;
    net.AddPoints({{"TA", 1000.0, 0.0, true}, {"A", 1000.0, 500.0, true}, {"TB", 2300.0, 600.0, true},
                   {"B", 2000.0, 700.0, true}, {"a1", 1200.0, 800.0}, {"N1", 1350.0, 1100.0}, {"b1", 1800.0, 850.0},
                   {"b2", 1600.0, 1000.0}, {"p1", 1400.0, 1400.0}, {"p2", 1500.0, 1700.0}, {"p3", 1550.0, 2000.0},
                   {"N2", 1700.0, 2250.0}, {"q1", 1650.0, 1600.0}, {"r1", 1100.0, 1500.0}, {"r2", 1300.0, 1950.0}});
    net.AddBranch({"A", "a1", "N1"}, BranchKind::BothEnds, "TA", "p1");
    net.AddBranch({"B", "b1", "b2", "N1"}, BranchKind::BothEnds, "TB", "p1");
    net.AddBranch({"N1", "p1", "p2", "p3", "N2"}, BranchKind::Neither);
    net.AddBranch({"N1", "q1", "N2"}, BranchKind::BothEnds, "p1", "p3");
    net.AddBranch({"N1", "r1", "r2", "N2"}, BranchKind::BothEnds, "p1", "p3");
    net.AddNode("N1", false, 3);
    net.AddNode("N2", false, 3);
    return net;
}

// Appends a branch given by its point names, registered as they come.
inline void AddNamedBranch(NetworkModel& model, const std::vector<std::string>& points) {
    BranchModel& br = model.Branches;
    br.BranchPointCounts.PushBack(static_cast<int>(points.size()));
    for (const std::string& p : points) br.BranchPoints.PushBack(model.PointNames.Register(p));
    br.BuildBranchOffsets(br.BranchCount());
}

// A group laid out by hand: its branches by point names and a working set sized for them, with
// k = 30" and T = 4000.
struct HandGroup {
    NetworkModel model;
    GroupWorkingSet ws;

    explicit HandGroup(const std::vector<std::vector<std::string>>& branches, int nodes = 0) {
        for (const auto& points : branches) AddNamedBranch(model, points);
        ws.Nb = static_cast<int>(branches.size());
        ws.Nn = nodes;
        ws.TotalPoints = model.Branches.SumBranchPoints(ws.Nb);
        ws.Allocate();
        ws.AngularClosureFactor = 30;
        ws.LinearClosureDenominator = 4000;
    }
    int Id(const std::string& name) { return model.PointNames.Register(name); }
};

}  // namespace qef::test
