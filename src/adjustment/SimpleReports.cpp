#include "adjustment/SimpleReports.h"

#include "adjustment/ClosureChecks.h"
#include "core/text/NumberFormat.h"
#include "core/io/ResultWriters.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

const std::string kMargin(9, ' ');
const std::string kIndent(10, ' ');
const std::string kPageBreak(1, '\f');
constexpr char kSecondsSign = '"';

std::string Label(const char* utf8, const ComputationSettings& settings) {
    return StripAccents(Vn(utf8), settings.KeepAccents);
}

std::string AngleColumn(double degrees) { return PadLeft(FormatDms(1, " ", degrees), 12); }

// "| name      |   angle     |             |         |      X      |     Y      |"
std::string PointLine(const std::string& name, const double* angle, const double* x, const double* y) {
    std::string line = kMargin + "| " + PadTo10(name) + "|";
    line += angle ? AngleColumn(*angle) + " |" : std::string(13, ' ') + "|";
    line += std::string(13, ' ') + "|" + std::string(9, ' ') + "|";
    if (x && y && !IsMissing(*x) && !IsMissing(*y))
        line += FormatFixed(*x, 12, 3) + " |" + FormatFixed(*y, 11, 3) + " |";
    else
        line += std::string(13, ' ') + "|" + std::string(12, ' ') + "|";
    return line;
}

// The line between two points: azimuth of the side and, unless azimuth only, its length.
std::string SideLine(double azimuth, const double* side) {
    std::string line = kMargin + "|" + std::string(11, ' ') + "|" + std::string(13, ' ') + "|" + AngleColumn(azimuth) + " |";
    line += side ? FormatFixed(*side, 8, 3) + " |" : std::string(9, ' ') + "|";
    line += std::string(13, ' ') + "|" + std::string(12, ' ') + "|";
    return line;
}

bool StartsAtUnknownNode(const GroupWorkingSet& ws, int b) {
    return ws.StartNodeOf[b] != 0 && ws.StartUnknownNodeOf[b] != 0;
}
bool EndsAtUnknownNode(const GroupWorkingSet& ws, int b) {
    return ws.EndNodeOf[b] != 0 && ws.EndUnknownNodeOf[b] != 0;
}
// The end is a known start direction: its reference point is a known point.
bool StartsAtKnownDirection(const GroupWorkingSet& ws, int b) {
    return ws.StartNodeOf[b] == 0 && ws.StartUnknownNodeOf[b] == 0;
}
bool EndsAtKnownDirection(const GroupWorkingSet& ws, int b) {
    return ws.EndNodeOf[b] == 0 && ws.EndUnknownNodeOf[b] == 0;
}

// The name of a reference point; blank when the end has none.
std::string RefName(const PointNameTable& names, int id) {
    return id >= 1 && id <= names.Count() ? names.Name(id) : std::string();
}

bool WriteLines(OpenFiles& files, const std::string& path, bool append, const std::vector<std::string>& lines,
                Interaction& ui) {
    if (append ? files.AppendLines(path, lines) : files.RewriteLines(path, lines)) return true;
    ui.Message(Vn("Không ghi được tệp ") + path);
    return false;
}

}  // namespace

std::string WriteBranchFromLabel(const GroupWorkingSet& ws, const NetworkModel& model,
                                 const ComputationSettings& settings, int b) {
    return Label(StartsAtUnknownNode(ws, b) ? "Từ điểm nút " : "Từ điểm gốc ", settings) +
           model.PointNames.Name(model.Branches.FirstPoint(b));
}

std::string WriteBranchToLabel(const GroupWorkingSet& ws, const NetworkModel& model,
                               const ComputationSettings& settings, int b) {
    return Label(EndsAtUnknownNode(ws, b) ? " đến điểm nút " : " đến điểm gốc ", settings) +
           model.PointNames.Name(model.Branches.LastPoint(b));
}

void WriteBranchTableText(std::vector<std::string>& lines, const GroupWorkingSet& ws, const NetworkModel& model,
                          const ComputationSettings& settings, int b, int branchNumber, RunRecord& run,
                          Progress& progress) {
    const BranchModel& branches = model.Branches;
    const PointNameTable& names = model.PointNames;
    const std::string rule = kMargin + RepeatChar('-', 78);
    lines.push_back("");
    lines.push_back(Label("                                  Kết quả bình sai đơn giản", settings));
    lines.push_back("");
    lines.push_back(kIndent + WriteBranchFromLabel(ws, model, settings, b) + WriteBranchToLabel(ws, model, settings, b));
    lines.push_back(rule);
    lines.push_back(kMargin +
                    Label("|  SH  điểm |     Góc     |  Phương vị  |  Cạnh   |      X      |     Y      |", settings));
    lines.push_back(rule);

    run.ProgressLog.Add(Label("Nhánh số ", settings) + FormatInt(branchNumber) + " : ");

    const BranchKind kind = ws.BranchTypes[b];
    const int first = branches.First(b);
    const int last = branches.Last(b);
    std::string namesLine;
    auto point = [&](int p, bool withAngle) {
        const std::string& name = names.Name(branches.PointAt(p));
        lines.push_back(PointLine(name, withAngle ? &ws.PositionAngles[p] : nullptr, &ws.PositionX[p],
                                  &ws.PositionY[p]));
        namesLine += name + "  ";
    };

    if (HasStartAngle(kind)) {
        const bool known = StartsAtKnownDirection(ws, b);
        lines.push_back(PointLine(RefName(names, ws.StartRefPoints[b]), nullptr, known ? &ws.StartRefX[b] : nullptr,
                                  known ? &ws.StartRefY[b] : nullptr));
        lines.push_back(SideLine(ws.BranchStartAzimuths[b], nullptr));
    }
    point(first, HasStartAngle(kind));
    for (int p = first; p < last; ++p) {
        lines.push_back(SideLine(ws.PositionAzimuths[p], &ws.PositionSides[p]));
        point(p + 1, p + 1 < last || HasEndAngle(kind));
    }
    if (HasEndAngle(kind)) {
        const bool known = EndsAtKnownDirection(ws, b);
        lines.push_back(SideLine(ws.BranchEndAzimuths[b], nullptr));
        lines.push_back(PointLine(RefName(names, ws.EndRefPoints[b]), nullptr, known ? &ws.EndRefX[b] : nullptr,
                                  known ? &ws.EndRefY[b] : nullptr));
    }
    lines.push_back(rule);
    run.ProgressLog.Add(namesLine);
    progress.SetText(MonitorLabel::Accuracy, namesLine);

    const BranchClosureTexts c = FormatBranchClosure(ws, b);
    const std::string g(1, kSecondsSign);
    if (ws.NoAngleClosure[b]) {
        lines.push_back(kIndent + "[S]  = " + PadRight(c.LengthSum, 30) + "Fbcf = " + PadRight(c.Tolerance + g, 25) +
                        Label(",Fb   = Không tính", settings));
    } else {
        lines.push_back(kIndent + PadRight("[S]  = " + c.LengthSum, 30) + PadRight("Fbcf = " + c.Tolerance + g, 25) +
                        "Fb   = " + c.AngularClosure + g);
    }
    lines.push_back(kIndent + PadRight("Fx   = " + c.Fx, 30) + PadRight("Fy   = " + c.Fy, 25) +
                    (c.HasFs ? "Fs / [S] = 1 / " + c.Ratio : std::string("Fs = 0")));
    lines.push_back("");

    LogBuffer& log = run.ProgressLog;
    log.Add(PadRight(Label("     Chiều dài đường : ", settings), 25) + PadRight("[S] = " + c.LengthSum, 20) +
            Label("Số cạnh : ", settings) + FormatInt(ws.BranchSideCounts[b]));
    if (ws.NoAngleClosure[b])
        log.Add(PadRight(Label("     Khép phương vị : ", settings), 25) + Label("Không tính", settings));
    else
        log.Add(PadRight(Label("     Khép phương vị : ", settings), 25) + PadRight("Wb = " + c.AngularClosure + g, 20) +
                "Wgh = " + c.Tolerance + g);
    log.Add(PadRight(Label("     Khép tọa độ : ", settings), 25) + PadRight("Fx = " + c.Fx + "(m)", 20) + "Fy = " +
            c.Fy + "(m)");
    if (c.HasFs)
        log.Add(std::string(25, ' ') + PadRight("Fs = " + c.Fs + "(m)", 20) + "Fs/[S] = 1 / " + c.Ratio);
    else
        log.Add(std::string(25, ' ') + "Fs = 0");
    log.Add("");
}

std::string SideCorrectionRowText(const std::string& fromName, const std::string& toName,
                                  const SideReductionRow& row) {
    return kMargin + "| " + PadTo10(fromName) + " | " + PadTo10(toName) + " |" + FormatFixed(row.Side, 10, 3) + " |" +
           FormatFixed(row.Vh, 7, 3) + " |" + FormatFixed(row.Vp, 7, 3) + " |" + FormatFixed(row.Reduced, 11, 3) +
           " |";
}

std::vector<std::string> SideCorrectionHeading(const ComputationSettings& settings) {
    const std::string rule = kMargin + RepeatChar('-', 70);
    const std::string columns = settings.ProjectionIsUtm
                                    ? "|  Từ  điểm  |  Đến điểm  | Cạnh (m)  | Vs_mc  |Vs_Elip |  Cạnh + Vs |"
                                    : "|  Từ  điểm  |  Đến điểm  | Cạnh (m)  | Vs_mc  |Vs_Gauss|  Cạnh + Vs |";
    return {"",
            kMargin + StripAccents(Vn("                  Bảng số hiệu chỉnh cạnh"), settings.KeepAccents),
            "",
            rule,
            kMargin + StripAccents(Vn(columns), settings.KeepAccents),
            rule};
}

bool WriteSideCorrectionTable(const std::string& path, const std::vector<ReducedSide>& rows,
                              const PointNameTable& names, const ComputationSettings& settings, RunRecord& run,
                              Interaction& ui) {
    std::vector<std::string> lines;
    const bool fresh = run.SideReportFresh;
    if (fresh) lines = SideCorrectionHeading(settings);
    for (const ReducedSide& side : rows)
        lines.push_back(SideCorrectionRowText(names.Name(side.FromId), names.Name(side.ToId), side.Row));
    run.SideReportFresh = false;
    return WriteLines(run.Files, path, !fresh, lines, ui);
}

bool WriteSimpleResultsText(const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                            const ComputationSettings& settings, RunRecord& run, Progress& progress, Interaction& ui) {
    std::vector<std::string> lines;
    const bool fresh = run.MainReportFresh;
    if (fresh) lines.push_back("");
    run.MainReportFresh = false;
    int branchNumber = run.RunBranchTotal;
    for (const BranchPageStep& step : PairBranchesForPages(model.Branches, ws.Nb)) {
        WriteBranchTableText(lines, ws, model, settings, step.Head, ++branchNumber, run, progress);
        if (step.Tail != 0) WriteBranchTableText(lines, ws, model, settings, step.Tail, ++branchNumber, run, progress);
        if (step.PageBreakAfter) lines.push_back(kPageBreak);
    }
    lines.push_back(kPageBreak);
    return WriteLines(run.Files, path, !fresh, lines, ui);
}

std::string DhAngleText(double degrees) {
    double packed = 0.0;
    if (!TryParseReal(FormatDms(1, "", degrees), packed)) return FormatFixed(degrees, 1, 4);
    return FormatFixed(packed / 10000.0, 1, 4);
}

bool AppendDhAngles(OpenFiles& files, const std::string& path, const GroupWorkingSet& ws, const NetworkModel& model,
                    Interaction& ui) {
    const BranchModel& branches = model.Branches;
    const PointNameTable& names = model.PointNames;
    auto name = [&](int p) -> const std::string& { return names.Name(branches.PointAt(p)); };
    std::vector<std::string> lines;
    for (int b = 1; b <= ws.Nb; ++b) {
        const BranchKind kind = ws.BranchTypes[b];
        const int first = branches.First(b);
        const int last = branches.Last(b);
        if (HasStartAngle(kind) && last > first)
            lines.push_back(RefName(names, ws.StartRefPoints[b]) + "\t" + name(first) + "\t" + name(first + 1) + "\t" +
                            DhAngleText(ws.PositionAngles[first]));
        for (int p = first + 1; p < last; ++p)
            lines.push_back(name(p - 1) + "\t" + name(p) + "\t" + name(p + 1) + "\t" + DhAngleText(ws.PositionAngles[p]));
        if (HasEndAngle(kind) && last > first)
            lines.push_back(name(last - 1) + "\t" + name(last) + "\t" + RefName(names, ws.EndRefPoints[b]) + "\t" +
                            DhAngleText(ws.PositionAngles[last]));
        for (int p = first; p < last; ++p)
            lines.push_back(name(p) + "\t" + name(p + 1) + "\t" + FormatFixed(ws.PositionSides[p], 1, 3));
    }
    lines.push_back("");
    return WriteLines(files, path, true, lines, ui);
}

bool AppendGroupResultPoints(OpenFiles& files, const std::string& path, const GroupWorkingSet& ws,
                             const NetworkModel& model, bool metres) {
    TextFileWriter* out = files.Append(path);
    if (out == nullptr) return false;
    if (ws.Nn > 0) WriteNodeCoordinates(*out, model, ws.NodeX, ws.NodeY, true, ws.Nn, ws.KnownNodeFlags, metres);
    AppendBranchPointCoordinates(*out, model, false, ws.Nb, ws.PositionX, ws.PositionY, metres);
    return files.Flush(path);
}

}  // namespace qef
