#include "tools/FileTools.h"

#include <cmath>
#include <initializer_list>
#include <limits>
#include <unordered_set>
#include <vector>

#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/SplitLines.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

bool Number(const std::string& field, double& value) { return TryParseReal(TrimBlanks(field), value); }

// A number a survey can give; 1e308 would be written out as hundreds of digits.
bool Value(const std::string& field, const ComputationSettings& settings, double& value) {
    return Number(field, value) && PlausibleValue(value, settings);
}

// Opens the input after the name check; false with the status set when either fails.
bool Start(const std::string& inName, const std::string& outName, SplitLines& lines, Interaction& ui,
           ToolStatus& status) {
    if (!ResultNameUsable({inName}, outName, ui, status)) return false;
    if (!lines.IsOpen()) {
        ReportUnreadable(inName, ui, status);
        return false;
    }
    return true;
}

// No line is left out unsaid.
void ReportSkippedLines(const ToolStatus& status, Interaction& ui) {
    if (status.Skipped > 0)
        ui.Message(Vn("Có ") + std::to_string(status.Skipped) + Vn(" dòng số liệu không phù hợp, không ghi vào file kết quả"));
}

}  // namespace

bool NamesWithoutNul(const SplitLines& lines, std::initializer_list<std::size_t> fields, const std::string& inName,
                     Interaction& ui, ToolStatus& status) {
    for (std::size_t i : fields)
        if (lines.Fields().Whole(i).find('\0') != std::string::npos) {
            ui.Message(Vn("File ") + inName + Vn(", dòng ") + std::to_string(lines.LineNumber()) +
                       Vn(" : tên điểm có ký tự NUL"));
            status.ReadError = {inName, lines.LineNumber(), ReadErrorKind::Line, 1};
            status.Outcome = RunOutcome::ReadFailed;
            return false;
        }
    return true;
}

ToolStatus TrigToGeometricHeights(const std::string& inName, const std::string& outName,
                                  const ComputationSettings& settings, Interaction& ui) {
    ToolStatus status;
    SplitLines lines(inName, settings.FixedFieldWidth);
    if (!Start(inName, outName, lines, ui, status)) return status;
    const FieldArray& f = lines.Fields();
    std::vector<std::string> out;
    NameCutter names;
    while (lines.Next()) {
        if (lines.Count() == 0) continue;  // blank or a comment
        if (!NamesWithoutNul(lines, {1, 2}, inName, ui, status)) return status;
        double slope = 0.0, instrument = 0.0, target = 0.0;
        if (lines.Count() != 6 || !Value(f.Whole(4), settings, slope) || !Value(f.Whole(5), settings, instrument) ||
            !Value(f.Whole(6), settings, target)) {
            ++status.Skipped;
            continue;
        }
        out.push_back(names.Take(f.Whole(1)) + "\t" + names.Take(f.Whole(2)) + "\t" + TrimBlanks(f.Whole(3)) + "\t" +
                      FormatFixed(slope + instrument - target, 5, 3));
    }
    if (out.empty()) {
        ReportNoData(inName, ui, status);
        return status;
    }
    names.Report(inName, ui);
    ReportSkippedLines(status, ui);
    WriteToolResult(outName, out, ui, status);
    return status;
}

long long StartNumberOf(const std::string& text) {
    double value = 0.0;
    if (!TryParseReal(TrimBlanks(text), value) || !(std::fabs(value) < 1e15)) return 0;
    return static_cast<long long>(RoundHalfEven(0, value));
}

ToolStatus CoordinatesToCommaForm(const std::string& inName, const std::string& outName,
                                  const ComputationSettings& settings, Interaction& ui) {
    ToolStatus status;
    SplitLines lines(inName, settings.FixedFieldWidth);
    if (!Start(inName, outName, lines, ui, status)) return status;
    const FieldArray& f = lines.Fields();
    std::vector<std::string> points;  // ",X,Y,0.0,name": the number goes before
    NameCutter names;
    double x = 0.0, y = 0.0;
    while (lines.Next()) {
        if (TrimBlanks(lines.Line()).empty()) continue;
        if (lines.Count() > 0 && !NamesWithoutNul(lines, {1}, inName, ui, status)) return status;
        // A line of three fields is a point; a 3-D file gives its first three.
        if (lines.Count() < 3 || !Value(f.Whole(2), settings, x) || !Value(f.Whole(3), settings, y)) {
            ++status.Skipped;
            continue;
        }
        points.push_back("," + TrimBlanks(f.Whole(2)) + "," + TrimBlanks(f.Whole(3)) + ",0.0," + names.Take(f.Whole(1)));
    }
    // Refused before the start number is asked: there is nothing to number.
    if (points.empty()) {
        ReportNoData(inName, ui, status);
        return status;
    }
    const std::optional<std::string> typed = ui.AskText(Vn("Vào dữ liệu"), Vn("Giá trị bắt đầu"), "0");
    if (!typed) {
        status.Outcome = RunOutcome::Cancelled;
        return status;
    }
    names.Report(inName, ui);
    long long number = StartNumberOf(*typed);
    std::vector<std::string> out;
    out.reserve(points.size());
    for (const std::string& point : points) out.push_back(std::to_string(number++) + point);
    ReportSkippedLines(status, ui);
    WriteToolResult(outName, out, ui, status);
    return status;
}

ToolStatus ListStations(const std::string& inName, const std::string& outName, const ComputationSettings& settings,
                        Interaction& ui) {
    ToolStatus status;
    SplitLines lines(inName, settings.FixedFieldWidth);
    if (!Start(inName, outName, lines, ui, status)) return status;
    const FieldArray& f = lines.Fields();
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    NameCutter names;
    std::vector<long long> skipped;
    while (lines.Next()) {
        // A spreadsheet's empty row would pass for a station without names: it is named instead.
        if (lines.Count() > 0 && SeparatorsOnly(f, lines.Count())) {
            skipped.push_back(lines.LineNumber());
            continue;
        }
        if (lines.Count() < 2) continue;
        const std::string first = TrimBlanks(f[1]);
        if (!first.empty() && first[0] != '(') continue;
        if (!NamesWithoutNul(lines, {2, 3}, inName, ui, status)) return status;
        for (std::size_t i : {2, 3}) {
            std::string name = names.Take(f.Whole(i));
            if (!name.empty() && seen.insert(name).second) out.push_back(std::move(name));
        }
    }
    if (out.empty()) {
        ReportNoData(inName, ui, status);
        return status;
    }
    ReportSkippedRows(inName, skipped, ui);
    names.Report(inName, ui);
    WriteToolResult(outName, out, ui, status);
    return status;
}

}  // namespace qef
