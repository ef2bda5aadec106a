#include "adjustment/HangingTraverses.h"

#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "core/numeric/Geometry.h"
#include "core/analysis/NetworkChecks.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/io/ResultWriters.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"
#include "drawing/DrawingExport.h"

namespace qef {

namespace {

const std::string kMargin(9, ' ');
constexpr int kPageUnits = 40;

std::string Label(const char* utf8, const ComputationSettings& settings) {
    return StripAccents(Vn(utf8), settings.KeepAccents);
}

std::string AngleColumn(double degrees) { return PadLeft(FormatDms(1, " ", degrees), 12); }

std::string CoordinateColumns(double x, double y) {
    if (IsMissing(x) || IsMissing(y)) return std::string(13, ' ') + "|" + std::string(12, ' ') + "|";
    return FormatFixed(x, 12, 3) + " |" + FormatFixed(y, 11, 3) + " |";
}

// "| name      |   angle     |             |         |      X      |     Y      |"
std::string PointLine(const std::string& name, const double* angle, double x, double y) {
    std::string line = kMargin + "| " + PadTo10(name) + "|";
    line += angle != nullptr ? AngleColumn(*angle) + " |" : std::string(13, ' ') + "|";
    line += std::string(13, ' ') + "|" + std::string(9, ' ') + "|";
    return line + CoordinateColumns(x, y);
}

// The line between two points: the side's azimuth and, when given, its length.
std::string SideLine(double azimuth, const double* side) {
    std::string line = kMargin + "|" + std::string(11, ' ') + "|" + std::string(13, ' ') + "|" + AngleColumn(azimuth) + " |";
    line += side != nullptr ? FormatFixed(*side, 8, 3) + " |" : std::string(9, ' ') + "|";
    return line + std::string(13, ' ') + "|" + std::string(12, ' ') + "|";
}

// Arrival at a point that already had coordinates: fs, fx, fy (computed minus held).
std::string MisclosureLine(double fx, double fy, const ComputationSettings& settings) {
    const double fs = std::sqrt(fx * fx + fy * fy);
    return kMargin + "|" + std::string(11, ' ') + "|" + PadRight(Label(" Sai số khép fs, fx, fy", settings), 27) + "|" +
           FormatFixed(fs, 8, 3) + " |" + FormatFixed(fx, 12, 3) + " |" + FormatFixed(fy, 11, 3) + " |";
}

void AddHeader(std::vector<std::string>& lines, bool afterPageBreak, const ComputationSettings& settings) {
    // The form feed stands alone on the header's first, otherwise empty, line.
    lines.push_back(afterPageBreak ? std::string(1, '\f') : std::string());
    lines.push_back(Label("                                    Kết quả tính đường treo", settings));
    lines.push_back("");
    lines.push_back(kMargin + RepeatChar('-', 78));
    lines.push_back(kMargin +
                    Label("| Tên  điểm |     Góc     |  Phương vị  |  Cạnh   |      X      |     Y      |", settings));
}

int HeldPointsOf(const HangingTraverseTable& table, const BranchModel& br, int b) {
    int count = 0;
    for (int p = br.First(b) + 1; p <= br.Last(b); ++p)
        if (table.HeldPoint[p] != 0) ++count;
    return count;
}

void AddBranchRows(std::vector<std::string>& lines, const HangingTraverseTable& t, const NetworkModel& model, int b,
                   const ComputationSettings& settings) {
    const BranchModel& br = model.Branches;
    const PointNameTable& names = model.PointNames;
    lines.push_back(kMargin + RepeatChar('-', 78));
    const int ref = t.RefPoints[b];
    lines.push_back(PointLine(ref >= 1 && ref <= names.Count() ? names.Name(ref) : std::string(), nullptr,
                              t.RefX[b], t.RefY[b]));
    lines.push_back(SideLine(t.StartAzimuths[b], nullptr));
    const int first = br.First(b);
    const int last = br.Last(b);
    for (int p = first; p <= last; ++p) {
        const std::string& name = names.Name(br.PointAt(p));
        lines.push_back(PointLine(name, p < last ? &t.PositionAngles[p] : nullptr, t.PositionX[p],
                                  t.PositionY[p]));
        if (p > first && t.HeldPoint[p] != 0)
            lines.push_back(MisclosureLine(t.MisclosureX[p], t.MisclosureY[p], settings));
        if (p < last) lines.push_back(SideLine(t.PositionAzimuths[p], &t.PositionSides[p]));
    }
}

bool WriteLines(const std::string& path, bool append, const std::vector<std::string>& lines) {
    TextFileWriter out(path, append);
    if (!out.IsOpen()) return false;
    for (const std::string& line : lines) out.WriteLine(line);
    return out.Close();
}

}  // namespace

void OrientHangingBranches(NetworkModel& model, int n) {
    const std::unordered_set<int> stations(model.StartStations.begin(), model.StartStations.end());
    BranchModel& br = model.Branches;
    for (int b = 1; b <= n; ++b)
        if (!stations.count(br.FirstPoint(b)) && stations.count(br.LastPoint(b))) br.ReverseBranch(b);
}

std::vector<std::string> HangingTableLines(const HangingTraverseTable& table, const NetworkModel& model,
                                           const ComputationSettings& settings) {
    const BranchModel& br = model.Branches;
    std::vector<std::string> lines;
    AddHeader(lines, false, settings);
    int units = 0;
    for (int b = 1; b <= table.BranchCount; ++b) {
        const int need = br.BranchPointCounts[b] + 1 + HeldPointsOf(table, br, b);
        // A page always takes its first branch, however long.
        if (units > 0 && units + need > kPageUnits) {
            lines.push_back(kMargin + RepeatChar('-', 78));
            AddHeader(lines, true, settings);
            units = 0;
        }
        AddBranchRows(lines, table, model, b, settings);
        units += need;
    }
    lines.push_back(kMargin + RepeatChar('-', 78));
    return lines;
}

HangingStatus ComputeHangingTraverses(const HangingInputs& in, const HangingContext& context,
                                      HangingTraverseTable& t) {
    NetworkModel& model = in.Model;
    BranchModel& br = model.Branches;
    const ComputationSettings& settings = context.Settings;
    Interaction& ui = context.Ui;
    LogBuffer& log = context.Run.ProgressLog;
    const int n = in.BranchCount;

    t = HangingTraverseTable{};
    t.BranchCount = n;
    auto incomplete = [&] {
        ui.Message(Vn("Số liệu chưa hoàn chỉnh, không tính được đường chuyền treo"));
        t.NewPoints.Clear();
        return HangingStatus::Incomplete;
    };
    if (n < 1) return HangingStatus::Computed;

    br.BuildBranchOffsets(n);
    const int total = br.SumBranchPoints(n);
    const auto branches = n + 2;
    const auto positions = total + 2;
    t.RefPoints = OneBased<int>(branches);
    for (auto* a : {&t.RefX, &t.RefY, &t.StartAzimuths}) *a = OneBased<double>(branches);
    for (auto* a : {&t.PositionAngles, &t.PositionSides, &t.PositionAzimuths, &t.PositionX, &t.PositionY,
                    &t.MisclosureX, &t.MisclosureY})
        *a = OneBased<double>(positions);
    t.HeldPoint = OneBased<std::uint8_t>(positions);

    bool groupError = false;
    const int knownCount = in.Known.Count();
    if (!FindStartDirections(model, in.Known, knownCount, MakeAngleTriples(in.Angles), groupError, ui))
        return incomplete();
    OrientHangingBranches(model, n);

    StartAzimuthData dirs;
    StartAzimuthsFromCoords(model, in.Known, knownCount, dirs);
    // A direction with a missing coordinate takes the azimuth typed earlier in the run (asked
    // now only if it never was); it is never computed from the missing value.
    if (!AskStartAzimuths(model, settings, dirs, in.Answers, ui)) return incomplete();

    const StationAngleIndex index(in.Angles);
    const StartDirectionRefs refs{dirs.StationX, dirs.StationY, dirs.TargetX, dirs.TargetY, dirs.Azimuths};
    const OneBased<std::uint8_t> startFixed(branches, 1);
    const int ns = model.StartStations.Size();
    const BranchEndRefs starts{startFixed, t.RefPoints, t.RefX, t.RefY, t.StartAzimuths};
    if (!FindStartConnectingAngles(model, in.Angles, index, ns, refs, n, starts, t.PositionX, t.PositionY, groupError,
                                   ui, log))
        return incomplete();
    for (int b = 1; b <= n; ++b) {
        const int first = br.First(b);
        if (IsMissing(t.PositionX[first]) || IsMissing(t.PositionY[first])) {
            log.Add(Label("Điểm gốc không có tọa độ : ", settings) + model.PointNames.Name(br.FirstPoint(b)));
            return incomplete();
        }
    }
    const OneBased<int> types(branches, 2);  // connecting angle at the start only
    const OneBased<int> noEndRefs(branches, 0);
    if (!CollectBranchAngles(model, in.Angles, index, in.Sides, n, types, t.RefPoints, noEndRefs, t.PositionAngles,
                             t.PositionSides, groupError, ui, log))
        return incomplete();

    // Points that have coordinates: a traverse never moves them nor gives them twice.
    std::unordered_map<int, std::pair<double, double>> held;
    held.reserve(knownCount + total);
    for (int k = 1; k <= knownCount; ++k)
        if (!IsMissing(in.Known.X[k]) && !IsMissing(in.Known.Y[k]))
            held[in.Known.Ids[k]] = {in.Known.X[k], in.Known.Y[k]};

    for (int b = 1; b <= n; ++b) {
        double azimuth = t.StartAzimuths[b];
        for (int p = br.First(b); p < br.Last(b); ++p) {
            azimuth = NormalizeAzimuth(NextAzimuth(azimuth, t.PositionAngles[p], 0.0));
            t.PositionAzimuths[p] = azimuth;
            const double x = PolarX(t.PositionX[p], t.PositionSides[p], azimuth, 0.0);
            const double y = PolarY(t.PositionY[p], t.PositionSides[p], azimuth, 0.0);
            const int id = br.PointAt(p + 1);
            auto it = held.find(id);
            if (it != held.end()) {
                t.HeldPoint[(p + 1)] = 1;
                t.MisclosureX[(p + 1)] = x - it->second.first;
                t.MisclosureY[(p + 1)] = y - it->second.second;
                t.PositionX[(p + 1)] = it->second.first;
                t.PositionY[(p + 1)] = it->second.second;
                const double fx = t.MisclosureX[(p + 1)];
                const double fy = t.MisclosureY[(p + 1)];
                log.Add(Label("     Đường treo đến điểm đã có tọa độ ", settings) + model.PointNames.Name(id) +
                        " : fx = " + FormatFixed(fx, 0, 3) + " fy = " + FormatFixed(fy, 0, 3) +
                        " fs = " + FormatFixed(std::sqrt(fx * fx + fy * fy), 0, 3));
                continue;
            }
            t.PositionX[(p + 1)] = x;
            t.PositionY[(p + 1)] = y;
            held[id] = {x, y};
            t.NewPoints.Add(id, x, y);
        }
    }

    if (settings.AcadUploadAdjustedPoints && context.Drawing != nullptr) {
        const DrawingExportContext drawing{settings, *context.Drawing, context.Monitor, ui};
        AcadExportTraverse(drawing, model, n, t.PositionX, t.PositionY);
    }

    if (!context.MainReportName.empty()) {
        if (!WriteLines(context.MainReportName, !context.Run.MainReportFresh, HangingTableLines(t, model, settings))) {
            ui.Message(Vn("Lỗi ghi file ") + context.MainReportName);
            return HangingStatus::WriteFailed;
        }
        context.Run.MainReportFresh = false;
    }
    if (!context.ResultFileName.empty() && t.NewPoints.Count() > 0) {
        std::vector<std::string> lines;
        lines.reserve(t.NewPoints.Count());
        for (int k = 1; k <= t.NewPoints.Count(); ++k)
            lines.push_back(ResultLine(model.PointNames.Name(t.NewPoints.Ids[k]), t.NewPoints.X[k],
                                       t.NewPoints.Y[k], settings.MetresFlag));
        if (!WriteLines(context.ResultFileName, true, lines)) {
            ui.Message(Vn("Lỗi ghi file ") + context.ResultFileName);
            return HangingStatus::WriteFailed;
        }
    }
    context.Monitor.SetText(MonitorLabel::Stage, Vn("Kết thúc"));
    return HangingStatus::Computed;
}

}  // namespace qef
