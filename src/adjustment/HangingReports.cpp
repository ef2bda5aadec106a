#include "adjustment/HangingReports.h"

#include "core/io/ResultWriters.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

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
std::string MisclosureLine(double fs, double fx, double fy, const ComputationSettings& settings) {
    return kMargin + "|" + std::string(11, ' ') + "|" + PadRight(Label(" Sai số khép fs, fx, fy", settings), 27) + "|" +
           FormatFixed(fs, 8, 3) + " |" + FormatFixed(fx, 12, 3) + " |" + FormatFixed(fy, 11, 3) + " |";
}

void WriteHangingHeader(std::vector<std::string>& lines, bool afterPageBreak, const ComputationSettings& settings) {
    // The form feed stands alone on the header's first, otherwise empty, line.
    lines.push_back(afterPageBreak ? std::string(1, '\f') : std::string());
    lines.push_back(Label("                                    Kết quả tính đường treo", settings));
    lines.push_back("");
    lines.push_back(kMargin + RepeatChar('-', 78));
    lines.push_back(kMargin +
                    Label("| Tên  điểm |     Góc     |  Phương vị  |  Cạnh   |      X      |     Y      |", settings));
}

// The rule that closes a page of the table and the table itself.
void WriteHangingFooter(std::vector<std::string>& lines) { lines.push_back(kMargin + RepeatChar('-', 78)); }

int HeldPointsOf(const HangingTraverseTable& table, const BranchModel& br, int b) {
    int count = 0;
    for (int p = br.First(b) + 1; p <= br.Last(b); ++p)
        if (table.HeldPoint[p] != 0) ++count;
    return count;
}

void WriteHangingRows(std::vector<std::string>& lines, const HangingTraverseTable& t, const NetworkModel& model, int b,
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
            lines.push_back(MisclosureLine(t.MisclosureS[p], t.MisclosureX[p], t.MisclosureY[p], settings));
        if (p < last) lines.push_back(SideLine(t.PositionAzimuths[p], &t.PositionSides[p]));
    }
}

}  // namespace

std::vector<std::string> HangingTableLines(const HangingTraverseTable& table, const NetworkModel& model,
                                           const ComputationSettings& settings) {
    const BranchModel& br = model.Branches;
    std::vector<std::string> lines;
    WriteHangingHeader(lines, false, settings);
    int units = 0;
    for (int b = 1; b <= table.BranchCount; ++b) {
        const int need = br.BranchPointCounts[b] + 1 + HeldPointsOf(table, br, b);
        // A page always takes its first branch, however long.
        if (units > 0 && units + need > kPageUnits) {
            WriteHangingFooter(lines);
            WriteHangingHeader(lines, true, settings);
            units = 0;
        }
        WriteHangingRows(lines, table, model, b, settings);
        units += need;
    }
    WriteHangingFooter(lines);
    return lines;
}

bool WriteHangingTable(OpenFiles& files, const std::string& path, bool fresh, const HangingTraverseTable& table,
                       const NetworkModel& model, const ComputationSettings& settings) {
    const std::vector<std::string> lines = HangingTableLines(table, model, settings);
    return fresh ? files.RewriteLines(path, lines) : files.AppendLines(path, lines);
}

bool AppendHangingPoints(OpenFiles& files, const std::string& path, const HangingTraverseTable& table,
                         const PointNameTable& names, bool metres) {
    const PointList& points = table.NewPoints;
    if (points.Count() == 0) return true;
    std::vector<std::string> lines;
    lines.reserve(points.Count());
    for (int k = 1; k <= points.Count(); ++k)
        lines.push_back(ResultLine(names.Name(points.Ids[k]), points.X[k], points.Y[k], metres));
    return files.AppendLines(path, lines);
}

}  // namespace qef
