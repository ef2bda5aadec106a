#include "adjustment/HangingTraverses.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/numeric/Geometry.h"
#include "adjustment/NetworkChecks.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

std::string Label(const char* utf8, const ComputationSettings& settings) {
    return StripAccents(Vn(utf8), settings.KeepAccents);
}

// Every per-branch and per-position list of the table, for n branches of `total` positions.
void SizeTable(HangingTraverseTable& t, int n, int total) {
    const int branches = n + 2;
    const int positions = total + 2;
    t.RefPoints = OneBased<int>(branches);
    for (auto* a : {&t.RefX, &t.RefY, &t.StartAzimuths}) *a = OneBased<double>(branches);
    for (auto* a : {&t.PositionAngles, &t.PositionSides, &t.PositionAzimuths, &t.PositionX, &t.PositionY,
                    &t.MisclosureX, &t.MisclosureY, &t.MisclosureS})
        *a = OneBased<double>(positions);
    t.HeldPoint = OneBased<std::uint8_t>(positions);
}

// Orients the branches and finds each one's start: reference point, start azimuth, connecting
// angle and first point's coordinates; then the angles and sides along it. False when the data
// are incomplete.
bool TakeBranchStarts(const HangingInputs& in, const HangingContext& context, const StationAngleIndex& index,
                      HangingTraverseTable& t) {
    NetworkModel& model = in.Model;
    const BranchModel& br = model.Branches;
    Interaction& ui = context.Ui;
    LogBuffer& log = context.Run.ProgressLog;
    const int n = in.BranchCount;
    const int branches = n + 2;
    bool groupError = false;
    const int knownCount = in.Known.Count();
    if (!FindStartDirections(model, in.Known, knownCount, MakeAngleTriples(in.Angles), groupError, ui)) return false;
    OrientHangingBranches(model, n);

    StartAzimuthData dirs;
    StartAzimuthsFromCoords(model, in.Known, knownCount, dirs);
    // A direction with a missing coordinate takes the azimuth typed earlier in the run (asked
    // now only if it never was); it is never computed from the missing value.
    if (!AskStartAzimuths(model, context.Settings, dirs, in.Answers, ui)) return false;

    const StartDirectionRefs refs{dirs.StationX, dirs.StationY, dirs.TargetX, dirs.TargetY, dirs.Azimuths};
    const OneBased<std::uint8_t> startFixed(branches, 1);
    const StartDirectionIndex byStation(model);
    const BranchEndRefs starts{startFixed, t.RefPoints, t.RefX, t.RefY, t.StartAzimuths};
    const ConnectingAngleSearch search{model, in.Angles, index, byStation, refs, t.PositionX, t.PositionY};
    if (!FindStartConnectingAngles(search, n, starts, groupError, ui, log))
        return false;
    for (int b = 1; b <= n; ++b) {
        const int first = br.First(b);
        if (IsMissing(t.PositionX[first]) || IsMissing(t.PositionY[first])) {
            log.Add(Label("Điểm gốc không có tọa độ : ", context.Settings) + model.PointNames.Name(br.FirstPoint(b)));
            return false;
        }
    }
    const OneBased<BranchKind> kinds(branches, BranchKind::StartOnly);
    const OneBased<int> noEndRefs(branches, 0);
    const SideLengthIndex lengths(in.Sides);
    return CollectBranchAngles(model, in.Angles, index, lengths, n, kinds, t.RefPoints, noEndRefs, t.PositionAngles,
                               t.PositionSides, groupError, ui, log);
}

// Carries every branch forward from its start azimuth. A point that already has coordinates keeps
// them (its misclosure goes to the table and the log); the others become new points.
void CarryTraverses(const HangingInputs& in, const HangingContext& context, int total, HangingTraverseTable& t) {
    const NetworkModel& model = in.Model;
    const BranchModel& br = model.Branches;
    LogBuffer& log = context.Run.ProgressLog;
    const int knownCount = in.Known.Count();
    // Points that have coordinates: a traverse never moves them nor gives them twice.
    std::unordered_map<int, std::pair<double, double>> held;
    held.reserve(knownCount + total);
    for (int k = 1; k <= knownCount; ++k)
        if (!IsMissing(in.Known.X[k]) && !IsMissing(in.Known.Y[k]))
            held[in.Known.Ids[k]] = {in.Known.X[k], in.Known.Y[k]};

    for (int b = 1; b <= in.BranchCount; ++b) {
        double azimuth = t.StartAzimuths[b];
        for (int p = br.First(b); p < br.Last(b); ++p) {
            azimuth = NormalizeAzimuth(NextAzimuth(azimuth, t.PositionAngles[p], 0.0));
            t.PositionAzimuths[p] = azimuth;
            const double x = PolarX(t.PositionX[p], t.PositionSides[p], azimuth, 0.0);
            const double y = PolarY(t.PositionY[p], t.PositionSides[p], azimuth, 0.0);
            const int id = br.PointAt(p + 1);
            auto it = held.find(id);
            if (it != held.end()) {
                const double fx = x - it->second.first;
                const double fy = y - it->second.second;
                t.HeldPoint[p + 1] = 1;
                t.MisclosureX[p + 1] = fx;
                t.MisclosureY[p + 1] = fy;
                t.MisclosureS[p + 1] = std::sqrt(fx * fx + fy * fy);
                t.PositionX[p + 1] = it->second.first;
                t.PositionY[p + 1] = it->second.second;
                log.Add(Label("     Đường treo đến điểm đã có tọa độ ", context.Settings) + model.PointNames.Name(id) +
                        " : fx = " + FormatFixed(fx, 0, 3) + " fy = " + FormatFixed(fy, 0, 3) +
                        " fs = " + FormatFixed(t.MisclosureS[p + 1], 0, 3));
                continue;
            }
            t.PositionX[p + 1] = x;
            t.PositionY[p + 1] = y;
            held[id] = {x, y};
            t.NewPoints.Add(id, x, y);
        }
    }
}

}  // namespace

void OrientHangingBranches(NetworkModel& model, int n) {
    const std::unordered_set<int> stations(model.StartStations.begin(), model.StartStations.end());
    BranchModel& br = model.Branches;
    for (int b = 1; b <= n; ++b)
        if (!stations.count(br.FirstPoint(b)) && stations.count(br.LastPoint(b))) br.ReverseBranch(b);
}

HangingResult ComputeHangingTraverses(const HangingInputs& in, const HangingContext& context) {
    HangingResult result;
    HangingTraverseTable& t = result.Table;
    const int n = in.BranchCount;
    t.BranchCount = n;
    if (n < 1) return result;

    BranchModel& br = in.Model.Branches;
    br.BuildBranchOffsets(n);
    const int total = br.SumBranchPoints(n);
    SizeTable(t, n, total);
    const StationAngleIndex index(in.Angles);
    if (!TakeBranchStarts(in, context, index, t)) {
        context.Ui.Message(Vn("Số liệu chưa hoàn chỉnh, không tính được đường chuyền treo"));
        t.NewPoints.Clear();
        result.Status = HangingStatus::Incomplete;
        return result;
    }
    CarryTraverses(in, context, total, t);
    return result;
}

}  // namespace qef
