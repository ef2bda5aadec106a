// The rigorous stage where the angles of a branch are not measured as they stand but derived from
// the angles measured at the station (read from a spur, or as a chain): it must still be the least
// squares of the measured angles, against an independent parametric adjustment of those angles.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/NetworkChecks.h"
#include "adjustment/ParametricReference.h"
#include "adjustment/Rigorous.h"
#include "adjustment/RigorousAccuracy.h"
#include "adjustment/RigorousFixture.h"
#include "adjustment/RigorousGroupState.h"
#include "adjustment/RigorousReports.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::ParametricSolution;
using test::SolveParametric;
using test::SyntheticGroup;

// Errors drawn evenly from -1..1, reproducibly.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : seed_(seed) {}
    double Next() {
        seed_ = seed_ * 1664525u + 1013904223u;
        return (static_cast<double>(seed_ >> 8) / 16777216.0) * 2.0 - 1.0;
    }

private:
    std::uint32_t seed_;
};

// The directions sighted at `station` by the angles measured there (in the order first met), and
// those angles taken out of the list.
std::vector<std::string> TakeOutStationAngles(test::SyntheticNetwork& g, const std::string& station) {
    std::vector<std::string> directions;
    auto note = [&](const std::string& p) {
        if (std::find(directions.begin(), directions.end(), p) == directions.end()) directions.push_back(p);
    };
    std::vector<test::SyntheticNetwork::AngleObs> kept;
    for (const auto& a : g.Angles) {
        if (a.Station != station) {
            kept.push_back(a);
            continue;
        }
        note(a.Back);
        note(a.Fore);
    }
    g.Angles = kept;
    return directions;
}

// Every angle at `station` read from the first point of a two-point spur leaving it; the spur's
// sides and its angle are measured too (they fix the spur and nothing else).
void ReadFromSpur(SyntheticGroup& g, const std::string& station, double dx, double dy, Noise& noise,
                  double angleError, double sideError) {
    const std::string r1 = station + "s1";
    const std::string r2 = station + "s2";
    const SyntheticGroup::Point& s = g.P(station);
    g.AddPoint(r1, s.X + dx, s.Y + dy);
    g.AddPoint(r2, s.X + 2.1 * dx - 0.4 * dy, s.Y + 2.1 * dy + 0.4 * dx);
    for (const std::string& d : TakeOutStationAngles(g, station))
        g.Angles.push_back({r1, station, d, g.TrueAngle(r1, station, d) + noise.Next() * angleError / 3600.0});
    g.Angles.push_back({station, r1, r2, g.TrueAngle(station, r1, r2) + noise.Next() * angleError / 3600.0});
    g.Sides.push_back({station, r1, g.Distance(station, r1) + noise.Next() * sideError});
    g.Sides.push_back({r1, r2, g.Distance(r1, r2) + noise.Next() * sideError});
}

// Every angle at `station` measured in a chain round its directions: d1-d2, d2-d3, d3-d4, ...
void ReadAsChain(SyntheticGroup& g, const std::string& station, Noise& noise, double angleError) {
    const std::vector<std::string> directions = TakeOutStationAngles(g, station);
    for (std::size_t k = 0; k + 1 < directions.size(); ++k)
        g.Angles.push_back({directions[k], station, directions[k + 1],
                            g.TrueAngle(directions[k], station, directions[k + 1]) +
                                noise.Next() * angleError / 3600.0});
}

// The one angle at interior point `station` measured through two sighted points between its back
// and fore point: three measured angles in a chain; the distances to the two points fix them.
void ReadThroughTwoPoints(SyntheticGroup& g, const std::string& station, Noise& noise, double angleError,
                          double sideError) {
    const std::vector<std::string> d = TakeOutStationAngles(g, station);
    ASSERT_EQ(d.size(), 2u);
    const SyntheticGroup::Point& s = g.P(station);
    const std::string x1 = station + "x1";
    const std::string x2 = station + "x2";
    // Between back and fore, turning the way the measured angle turns.
    const double a0 = g.Azimuth(station, d[0]) * test::kPi / 180.0;
    const double turn = g.TrueAngle(d[0], station, d[1]) * test::kPi / 180.0;
    g.AddPoint(x1, s.X + 120.0 * std::cos(a0 + turn / 3), s.Y + 120.0 * std::sin(a0 + turn / 3));
    g.AddPoint(x2, s.X + 90.0 * std::cos(a0 + 2 * turn / 3), s.Y + 90.0 * std::sin(a0 + 2 * turn / 3));
    for (const auto& [back, fore] : {std::pair{d[0], x1}, std::pair{x1, x2}, std::pair{x2, d[1]}})
        g.Angles.push_back(
            {back, station, fore, g.TrueAngle(back, station, fore) + noise.Next() * angleError / 3600.0});
    for (const std::string& x : {x1, x2})
        g.Sides.push_back({station, x, g.Distance(station, x) + noise.Next() * sideError});
}

struct DerivedRun : test::RigorousGroupState {

    // The group built as the node method leaves it, its angles and sides then read from the
    // network's lists as the node method reads them.
    void Prepare(const SyntheticGroup& g, double errorSeconds) {
        g.Build(model, ws, 0.05, errorSeconds / 3600.0, errorSeconds / 1000.0);
        AngleObservations angles;
        for (const auto& a : g.Angles) {
            angles.BackIds.PushBack(model.PointNames.Find(a.Back));
            angles.StationIds.PushBack(model.PointNames.Find(a.Station));
            angles.ForeIds.PushBack(model.PointNames.Find(a.Fore));
            angles.Values.PushBack(a.Value);
        }
        SideObservations sides;
        for (const auto& s : g.Sides) {
            sides.FromIds.PushBack(model.PointNames.Find(s.From));
            sides.ToIds.PushBack(model.PointNames.Find(s.To));
            sides.Lengths.PushBack(s.Value);
        }
        const StationAngleIndex index(angles);
        const SideLengthIndex lengths(sides);
        bool missing = false;
        LogBuffer log;
        const AngleSourceLists sources{ws.AngleSourceFirst, ws.AngleSourceCount, ws.AngleSources};
        ASSERT_TRUE(CollectBranchAngles(model, angles, index, lengths, ws.Nb, ws.BranchTypes, ws.StartRefPoints,
                                        ws.EndRefPoints, ws.PositionAngles, ws.PositionSides, missing, ui, log,
                                        &sources));
        settings.WeightMode = WeightMode::Entered;
        settings.MbEnteredSeconds = errorSeconds;
        settings.MsConstant = errorSeconds;  // millimetres
        settings.MsPpm = 0.0;
        settings.KeepAccents = false;
    }
    RigorousStatus Adjust() {
        RigorousGroupResult result = RigorousAdjustGroup(ws, model, Context());
        sol = std::move(result.Solution);
        return result.Status;
    }
    // X, Y, Mx, My, Mp of a point of the group; false when it is not in the group.
    bool Adjusted(const std::string& name, std::array<double, 5>& out) const {
        const int id = model.PointNames.Find(name);
        for (int k = 1; k <= ws.Nn; ++k)
            if (model.NetworkNodes[k] == id) {
                out = {ws.NodeX[k], ws.NodeY[k], sol.NodeMx[k], sol.NodeMy[k], sol.NodeMp[k]};
                return true;
            }
        const BranchModel& br = model.Branches;
        for (int b = 1; b <= ws.Nb; ++b)
            for (int p = br.First(b) + 1; p < br.Last(b); ++p)
                if (br.PointAt(p) == id) {
                    out = {ws.PositionX[p], ws.PositionY[p], sol.PointMx[p], sol.PointMy[p], sol.PointMp[p]};
                    return true;
                }
        return false;
    }
};

// How far a rigorous solution is from the least squares.
struct Misfit {
    double Coordinates = 0.0;  // metres
    double Accuracy = 0.0;     // metres, Mx, My and Mp
    double PvvRatio = 0.0;     // |[pvv] / [pvv]ls - 1|
    int Compared = 0;
};

Misfit Compare(const DerivedRun& r, const ParametricSolution& ref) {
    Misfit m;
    m.PvvRatio = std::fabs(r.sol.Pvv / ref.Pvv - 1.0);
    for (const auto& [name, column] : ref.Index) {
        std::array<double, 5> a{};
        if (!r.Adjusted(name, a)) continue;  // a spur or sighted point: not of the group
        ++m.Compared;
        const double sx = ref.SigmaOf(name, 0);
        const double sy = ref.SigmaOf(name, 1);
        m.Coordinates = std::max({m.Coordinates, std::fabs(a[0] - ref.X(name)), std::fabs(a[1] - ref.Y(name))});
        m.Accuracy = std::max(
            {m.Accuracy, std::fabs(a[2] - sx), std::fabs(a[3] - sy), std::fabs(a[4] - std::hypot(sx, sy))});
    }
    return m;
}

struct Layout {
    const char* Name;
    SyntheticGroup (*Make)(std::uint32_t seed, double seconds, double metres);
};

// A connecting traverse whose every angle, at both known ends and at one point between, is read
// from a spur.
SyntheticGroup SpurConnectingTraverse(std::uint32_t seed, double seconds, double metres) {
    SyntheticGroup g;
    g.AddPoints({{"A", 2000, 1000, true}, {"B", 1500, 1000, true}, {"P1", 1420, 1310}, {"P2", 1530, 1650},
                 {"P3", 1390, 1980}, {"C", 1480, 2300, true}, {"D", 1900, 2500, true}});
    g.AddBranch({"B", "P1", "P2", "P3", "C"}, BranchKind::BothEnds, "A", "D");
    g.Observe(seed, seconds, metres);
    Noise noise(seed + 1);
    ReadFromSpur(g, "B", -60, -45, noise, seconds, metres);
    ReadFromSpur(g, "P2", 70, 20, noise, seconds, metres);
    ReadFromSpur(g, "C", 55, -40, noise, seconds, metres);
    return g;
}

// The 4 x 4 grid of nodes with every angle at one node read from a two-point spur.
SyntheticGroup GridOneSpur(std::uint32_t seed, double seconds, double metres) {
    SyntheticGroup g = test::GridNetwork(4, 2, seed, seconds, metres);
    Noise noise(seed + 1);
    ReadFromSpur(g, test::GridNodeName(1, 2), 80, 110, noise, seconds, metres);
    return g;
}

// The same grid with two spur nodes, one of them on the grid's edge.
SyntheticGroup GridTwoSpurs(std::uint32_t seed, double seconds, double metres) {
    SyntheticGroup g = test::GridNetwork(4, 2, seed, seconds, metres);
    Noise noise(seed + 1);
    ReadFromSpur(g, test::GridNodeName(2, 1), -90, 70, noise, seconds, metres);
    ReadFromSpur(g, test::GridNodeName(0, 2), -120, 30, noise, seconds, metres);
    return g;
}

// A grid node whose four angles are a chain round it, and an interior point whose angle is a chain
// of three measured angles through two sighted points.
SyntheticGroup GridChains(std::uint32_t seed, double seconds, double metres) {
    SyntheticGroup g = test::GridNetwork(4, 2, seed, seconds, metres);
    Noise noise(seed + 1);
    ReadAsChain(g, test::GridNodeName(2, 2), noise, seconds);
    ReadThroughTwoPoints(g, test::GridNodeName(1, 1) + "-" + test::GridNodeName(2, 1) + "/1", noise, seconds, metres);
    return g;
}

const Layout kLayouts[] = {{"grid, one spur node", GridOneSpur},
                           {"grid, two spur nodes", GridTwoSpurs},
                           {"connecting traverse read from spurs", SpurConnectingTraverse},
                           {"chains of measured angles", GridChains}};

// At 3"/3 mm, 10"/10 mm and 20"/20 mm: coordinates within 0.01 mm of the least squares of the
// measured angles, [pvv] to 1e-6, Mx, My and Mp to 0.01 mm. The same group with each derived angle
// taken as one measured angle (how the stage took it before) misses by far more: the layouts do
// tell the two apart.
TEST(RigorousDerivedAngles, EqualLeastSquaresOfTheMeasuredAngles) {
    for (const Layout& layout : kLayouts)
        for (const double e : {3.0, 10.0, 20.0}) {
            SCOPED_TRACE(std::string(layout.Name) + " at " + std::to_string(static_cast<int>(e)));
            const SyntheticGroup g = layout.Make(29, e, e / 1000.0);
            const ParametricSolution ref = SolveParametric(g, e, [e](double) { return e / 1000.0; });

            DerivedRun r;
            r.Prepare(g, e);
            ASSERT_EQ(r.Adjust(), RigorousStatus::Adjusted);
            EXPECT_EQ(r.sol.Redundancy, ref.Redundancy);
            const Misfit m = Compare(r, ref);
            EXPECT_GE(m.Compared, 3);
            EXPECT_LT(m.Coordinates, 1e-5);
            EXPECT_LT(m.PvvRatio, 1e-6);
            EXPECT_LT(m.Accuracy, 1e-5);
            EXPECT_TRUE(r.sol.Settled);

            DerivedRun old;
            old.Prepare(g, e);
            old.ws.AngleSourceCount.Clear();
            ASSERT_EQ(old.Adjust(), RigorousStatus::Adjusted);
            const Misfit before = Compare(old, ref);
            EXPECT_GT(std::max({before.Coordinates, before.Accuracy}), 5e-5);
        }
}

// A shared angle is kept with its node: it makes no unknown of the network, adds nothing to the
// redundancy, and its correction is where the least squares puts the spur direction.
TEST(RigorousDerivedAngles, SharedAngleIsOneMeasurementOfItsNode) {
    const SyntheticGroup g = GridOneSpur(31, 10.0, 0.010);
    DerivedRun r;
    r.Prepare(g, 10.0);
    ASSERT_EQ(r.Adjust(), RigorousStatus::Adjusted);
    // The spur direction is the one measured angle four branch angles share.
    ASSERT_EQ(r.sol.SharedCount, 1);
    const int node = [&] {
        for (int k = 1; k <= r.ws.Nn; ++k)
            if (r.model.NetworkNodes[k] == r.model.PointNames.Find(test::GridNodeName(1, 2))) return k;
        return 0;
    }();
    ASSERT_GT(node, 0);
    EXPECT_GT(r.sol.SharedColumn[1], r.sol.NodeColumn(node, 3));
    EXPECT_EQ(r.sol.SharedColumn[1], r.sol.NodeLastColumn(node));
    EXPECT_EQ(r.sol.Unknowns, 3 * (r.ws.Nb + r.ws.Nn) + 1);

    // The adjusted angle from the spur to the reference direction: the measured one corrected by
    // the shared angle's correction, against the least squares' directions.
    const ParametricSolution ref = SolveParametric(g, 10.0, [](double) { return 0.010; });
    const int angle = r.sol.SharedAngle[1];
    const auto& a = g.Angles[static_cast<std::size_t>(angle - 1)];
    auto azimuth = [&](const std::string& from, const std::string& to) {
        return test::Azimuth(ref.X(from), ref.Y(from), ref.X(to), ref.Y(to));
    };
    double lsAngle = azimuth(a.Station, a.Fore) - azimuth(a.Station, a.Back);
    if (lsAngle < 0) lsAngle += 360.0;
    EXPECT_NEAR((a.Value - lsAngle) * 3600.0 + r.sol.SharedCorrection(1), 0.0, 0.002);
}

// Without derived angles nothing changes: every term one measured angle, no shared unknown.
TEST(RigorousDerivedAngles, DirectAnglesMakeNoSharedUnknown) {
    const SyntheticGroup g = test::GridNetwork(4, 2, 37, 5.0, 0.005);
    DerivedRun r;
    r.Prepare(g, 5.0);
    ASSERT_EQ(r.Adjust(), RigorousStatus::Adjusted);
    EXPECT_EQ(r.sol.SharedCount, 0);
    EXPECT_EQ(r.sol.Unknowns, 3 * (r.ws.Nb + r.ws.Nn));
    for (int i = 1; i <= r.sol.TermStart[r.ws.Nb + 1]; ++i) EXPECT_TRUE(r.sol.SharesOf(i).empty());
}

// The passes a group took are in the log; a group stopped at the pass limit says so in a message,
// in the log and at the head of its rows in each of the four tables.
TEST(RigorousDerivedAngles, PassesAreLoggedAndAnUnsettledGroupSaysSo) {
    const SyntheticGroup g = GridOneSpur(41, 20.0, 0.020);
    {
        DerivedRun r;
        r.Prepare(g, 20.0);
        ASSERT_EQ(r.Adjust(), RigorousStatus::Adjusted);
        EXPECT_TRUE(r.sol.Settled);
        EXPECT_GE(r.sol.Passes, 2);
        EXPECT_LE(r.sol.Passes, 6);
        WriteRigorousSummary(r.run.ProgressLog, r.settings, r.sol);
        const auto& log = r.run.ProgressLog.Lines();
        EXPECT_NE(std::find(log.begin(), log.end(), "     so lan lap = " + std::to_string(r.sol.Passes)), log.end());
        EXPECT_TRUE(r.ui.calls.empty());
    }
    DerivedRun r;
    r.Prepare(g, 20.0);
    r.state.PassLimit = 1;
    ASSERT_EQ(r.Adjust(), RigorousStatus::Adjusted);
    EXPECT_FALSE(r.sol.Settled);
    EXPECT_EQ(r.sol.Passes, 1);
    const std::string said = "Binh sai chat che chua on dinh sau 1 lan lap: cac bang ghi lan lap cuoi";
    ASSERT_EQ(r.ui.calls.size(), 1u);
    EXPECT_EQ(StripAccents(r.ui.calls[0].text, false), said);
    const auto& log = r.run.ProgressLog.Lines();
    EXPECT_NE(std::find(log.begin(), log.end(), "     " + said), log.end());

    test::TempDir dir;
    ReportSet reports;
    reports.Rigorous1 = dir.File("t1.txt");
    reports.Rigorous3 = dir.File("t3.txt");
    reports.Rigorous4 = dir.File("t4.txt");
    reports.Rigorous5 = dir.File("t5.txt");
    bool fresh = true;
    const PointList known;
    OpenFiles files;
    ASSERT_TRUE(WriteRigorousCoordTable(reports, r.ws, r.model, known, r.sol, r.settings, fresh, files));
    ASSERT_TRUE(WriteRigorousSideTable(reports.Rigorous5, r.ws, r.model, r.sol, files));
    ASSERT_TRUE(WriteRigorousDistanceTable(reports.Rigorous4, r.ws, r.model, r.sol, files));
    ASSERT_TRUE(WriteRigorousAngleTable(reports.Rigorous3, r.ws, r.model, r.sol, files));
    ASSERT_EQ(files.Close(), nullptr);
    const std::string note = "         (Chua on dinh sau 1 lan lap: bang ghi lan lap cuoi)\r\n";
    for (const std::string& file : {reports.Rigorous1, reports.Rigorous3, reports.Rigorous4, reports.Rigorous5}) {
        const std::string text = test::ReadFileBytes(file);
        // Right after the header's closing rule, before the first row.
        const std::size_t at = text.find(note);
        ASSERT_NE(at, std::string::npos) << file;
        EXPECT_EQ(text.find("|", at), at + note.size() + 9) << file;
        EXPECT_EQ(text.find(note, at + 1), std::string::npos) << file;
    }
}

// A whole by-order run at 20"/20 mm of three branches meeting at a node whose every angle is read
// from the spur hanging from it: the group and the spur come out where the least squares of the
// measured angles puts them (the result file holds millimetres), the spur starting from the
// adjusted angle it was read with.
TEST(RigorousDerivedAngles, WholeRunPutsTheSpurWhereTheLeastSquaresDoes) {
    test::SyntheticNetwork net;
    net.AddPoints({{"TA", 1000.0, 1000.0, true}, {"A", 1150.0, 1320.0, true}, {"TB", 2150.0, 900.0, true},
                   {"B", 1980.0, 1210.0, true}, {"TC", 1400.0, 2900.0, true}, {"C", 1550.0, 2500.0, true},
                   {"a1", 1305.2, 1502.7}, {"a2", 1480.9, 1655.1}, {"N", 1602.4, 1801.3}, {"b1", 1801.5, 1540.8},
                   {"c1", 1590.3, 2260.6}, {"c2", 1655.0, 2030.2}, {"R1", 1750.6, 1905.4}, {"R2", 1901.2, 2101.9}});
    net.AddBranch({"A", "a1", "a2", "N"}, BranchKind::StartOnly, "TA");
    net.AddBranch({"B", "b1", "N"}, BranchKind::BothEnds, "TB", "a2");
    net.AddBranch({"C", "c1", "c2", "N"}, BranchKind::BothEnds, "TC", "b1");
    net.AddBranch({"N", "R1", "R2"}, BranchKind::StartOnly, "a2");
    net.Observe(53, 20.0, 0.020);
    Noise noise(54);
    for (const std::string& d : TakeOutStationAngles(net, "N"))
        if (d != "R1") net.Angles.push_back({"R1", "N", d, net.TrueAngle("R1", "N", d) + noise.Next() * 20.0 / 3600.0});
    const ParametricSolution ref = SolveParametric(net, 20.0, [](double) { return 0.020; });

    test::TempDir dir;
    const AdjustmentInput files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")};
    test::WriteFileBytes(files.KnownPointsFile, net.KnownText());
    test::WriteFileBytes(files.ObservationFile, net.ObservationText());
    ComputationSettings settings;
    settings.Modes.RigorousWanted = true;
    settings.WeightMode = WeightMode::Entered;
    settings.MbEnteredSeconds = 20.0;
    settings.MsConstant = 20.0;
    settings.MsPpm = 0.0;
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord record;
    const RunStatus status = AdjustNetworkByOrder(files, settings, ui, progress, record);
    ASSERT_EQ(status.Outcome, RunOutcome::Completed);
    ASSERT_EQ(status.RigorousGroups, 1);

    std::map<std::string, std::pair<double, double>> result;
    std::istringstream lines(test::ReadFileBytes(files.ResultFile));
    std::string name;
    double x = 0.0;
    double y = 0.0;
    while (lines >> name >> x >> y) result[name] = {x, y};
    for (const std::string p : {"a1", "a2", "N", "b1", "c1", "c2", "R1", "R2"}) {
        ASSERT_EQ(result.count(p), 1u) << p;
        EXPECT_NEAR(result[p].first, ref.X(p), 0.0006) << p;
        EXPECT_NEAR(result[p].second, ref.Y(p), 0.0006) << p;
    }
}

}  // namespace
}  // namespace qef
