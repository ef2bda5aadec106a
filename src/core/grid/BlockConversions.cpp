#include "core/grid/BlockConversions.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>
#include <vector>

#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"

namespace qef {

namespace {

enum class Role { Length, Angle };

bool IsBlankCell(const std::string& cell) { return TrimBlanks(cell).empty(); }

bool IsNumericCell(const std::string& cell) {
    double v = 0;
    return TryParseReal(TrimBlanks(cell), v);
}

// A cell to convert: its column, and for a station's opening circle reading "(90.0000)" the
// angle inside the parentheses.
struct Target {
    int Column = 0;
    Role What = Role::Length;
    bool InParentheses = false;
};

bool IsCircleReading(const std::string& cell) {
    const std::string t = TrimBlanks(cell);
    return t.size() >= 2 && t.front() == '(' && t.back() == ')';
}

void DetailTargets(const GridDocument& doc, int row, DetailFifthColumn fifth, std::vector<Target>& out) {
    const std::string& first = doc.Cell(row, 0);
    if (!IsBlankCell(first) && IsNumericCell(first)) {
        if (IsNumericCell(doc.Cell(row, 1))) out.push_back({1, Role::Angle});
        if (IsNumericCell(doc.Cell(row, 2))) out.push_back({2, Role::Length});
        // What the detail computation reads as lengths goes with the distance: the staff height,
        // and the fifth column when it is a height difference.
        out.push_back({3, Role::Length});
        if (fifth == DetailFifthColumn::HeightDifference) out.push_back({4, Role::Length});
        if (fifth == DetailFifthColumn::ZenithAngle) out.push_back({4, Role::Angle});
        return;
    }
    // A station line: the instrument height, and the opening circle reading when there is one.
    if (!IsBlankCell(first) && !IsCircleReading(first)) return;
    out.push_back({3, Role::Length});  // instrument height
    if (IsCircleReading(first)) out.push_back({0, Role::Angle, true});
}

std::vector<Target> TargetsOfRow(const GridDocument& doc, int row, GridDataKind kind) {
    std::vector<Target> out;
    switch (kind.Kind) {
    case DataFileKind::Coordinates:
        out.push_back({1, Role::Length});
        out.push_back({2, Role::Length});
        break;
    case DataFileKind::Control:
        if (!IsBlankCell(doc.Cell(row, 4)))
            out.push_back({4, Role::Length});
        else if (IsBlankCell(doc.Cell(row, 3)) && !IsBlankCell(doc.Cell(row, 2)))
            out.push_back({2, Role::Length});
        out.push_back({3, Role::Angle});
        break;
    case DataFileKind::Detail:
        DetailTargets(doc, row, kind.Fifth, out);
        break;
    case DataFileKind::None:
        break;
    }
    return out;
}

// Outcome of converting one cell's text: the new text, or nothing to do, or a bad angle.
struct CellChange {
    enum class Kind { Leave, Write, Skip } What = Kind::Leave;
    std::string Text;
};
using CellConversion = std::function<CellChange(const std::string&)>;

// Applies `convert` to the cells of `role` in rows 1 .. DataRowCount.
ConversionResult ConvertRows(GridDocument& doc, GridDataKind kind, Role role, const CellConversion& convert) {
    ConversionResult result;
    for (int row = 1; row <= doc.DataRowCount(); ++row) {
        for (const Target& target : TargetsOfRow(doc, row, kind)) {
            if (target.What != role) continue;
            std::string text = TrimBlanks(doc.Cell(row, target.Column));
            if (target.InParentheses) text = TrimBlanks(text.substr(1, text.size() - 2));
            if (text.empty()) continue;
            CellChange change = convert(text);
            if (change.What == CellChange::Kind::Skip) ++result.Skipped;
            if (change.What != CellChange::Kind::Write) continue;
            if (target.InParentheses) change.Text = "(" + change.Text + ")";
            doc.SetCell(row, target.Column, std::move(change.Text));
            ++result.Changed;
        }
    }
    return result;
}

CellChange Write(std::string text) { return {CellChange::Kind::Write, std::move(text)}; }
CellChange Skip() { return {CellChange::Kind::Skip, {}}; }
CellChange Leave() { return {}; }

bool IsValidAngle(const std::string& text, bool inDegrees, bool withPoint) {
    double v = 0;
    return TryParseReal(text, v) && ParseDms(text, inDegrees, withPoint).Ok();
}

void RowsIntoCount(GridDocument& doc, int lastRow) {
    doc.SetDataRowCount(std::max(doc.DataRowCount(), lastRow));
}

enum class Whole { Ok, NotANumber, TooLarge };

// The typed start of a numbered fill, rounded; the fill's last number must fit a cell too.
Whole ParseWhole(const std::string& text, long long numbersUsed, long long& n) {
    double v = 0;
    if (!TryParseReal(TrimBlanks(text), v)) return Whole::NotANumber;
    const double rounded = RoundHalfEven(0, v);
    if (!(std::fabs(rounded) <= static_cast<double>(kLargestWholeCell))) return Whole::TooLarge;
    n = static_cast<long long>(rounded);
    if (numbersUsed > 0 && n + (numbersUsed - 1) > kLargestWholeCell) return Whole::TooLarge;
    return Whole::Ok;
}

ConversionResult Refused(Whole whole) {
    return {whole == Whole::TooLarge ? BlockStatus::PastCellNumbers : BlockStatus::NotANumber};
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whole degrees (a sign allowed), whole minutes, seconds of digits with at most one point.
bool IsPlainSpacedAngle(const std::vector<std::string>& parts) {
    std::string_view degrees = parts[0];
    if (!degrees.empty() && (degrees.front() == '-' || degrees.front() == '+')) degrees.remove_prefix(1);
    const std::string_view seconds = parts[2];
    const std::size_t point = seconds.find('.');
    const std::string_view whole = seconds.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : seconds.substr(point + 1);
    const bool secondsOk = (whole.empty() || AllDigits(whole)) && (fraction.empty() || AllDigits(fraction)) &&
                           !(whole.empty() && fraction.empty());
    return AllDigits(degrees) && AllDigits(parts[1]) && secondsOk;
}

std::vector<std::string> SplitAtBlanks(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) parts.push_back(text.substr(start, i - start));
    }
    return parts;
}

// Visits the block's cells row by row, left to right.
template <typename Visit>
void ForEachCell(const GridBlock& block, Visit visit) {
    for (int row = block.FirstRow; row <= block.LastRow; ++row)
        for (int column = block.FirstColumn; column <= block.LastColumn; ++column) visit(row, column);
}

ConversionResult RewriteNonBlank(GridDocument& doc, const GridBlock& block,
                                 const std::function<std::string(const std::string&)>& rewrite) {
    ConversionResult result;
    ForEachCell(block, [&](int row, int column) {
        const std::string cell = TrimBlanks(doc.Cell(row, column));
        if (cell.empty()) return;
        if (doc.SetCell(row, column, rewrite(cell))) ++result.Changed;
    });
    RowsIntoCount(doc, block.LastRow);
    return result;
}

}  // namespace

ConversionResult ScaleLengths(GridDocument& doc, GridDataKind kind, double factor) {
    return ConvertRows(doc, kind, Role::Length, [factor](const std::string& text) {
        return IsNumericCell(text) ? Write(FormatNumberText(text, factor)) : Leave();
    });
}

ConversionResult ScaleAngles(GridDocument& doc, GridDataKind kind, double factor) {
    // The text is read in the form it is converted from.
    const bool fromPointForm = factor >= 1;
    return ConvertRows(doc, kind, Role::Angle, [factor, fromPointForm](const std::string& text) {
        if (!IsValidAngle(text, true, fromPointForm)) return Skip();
        return Write(FormatNumberText(text, factor));
    });
}

std::string SpacedAngleText(const std::string& dmsText) {
    const std::string text = TrimBlanks(dmsText);
    if (!IsValidAngle(text, true, true)) return {};
    // Cut as the angle reader cuts it: two digits of minutes, then two of seconds.
    const std::size_t point = std::min(text.find('.'), text.size());
    const std::string fraction = point < text.size() ? text.substr(point + 1) : std::string();
    const auto part = [&](std::size_t from, std::size_t count) {
        return from < fraction.size() ? fraction.substr(from, count) : std::string();
    };
    return PadLeftWith(text.substr(0, point), 1, '0') + " " + PadLeftWith(part(0, 2), 2, '0') + " " +
           PadLeftWith(part(2, 2), 2, '0') + "." + PadLeftWith(part(4, std::string::npos), 1, '0');
}

std::string PackedAngleText(const std::string& spacedText) {
    const std::vector<std::string> parts = SplitAtBlanks(spacedText);
    if (parts.size() != 3 || !IsPlainSpacedAngle(parts)) return {};
    double d = 0;
    double m = 0;
    double s = 0;
    if (!TryParseReal(parts[0], d) || !TryParseReal(parts[1], m) || !TryParseReal(parts[2], s)) return {};
    if (m >= 60 || s >= 60) return {};
    const std::string degrees = PadLeftWith(parts[0], 1, '0');
    const std::string minutes = PadLeftWith(parts[1], 2, '0');
    const std::size_t point = parts[2].find('.');
    if (point == std::string::npos) return degrees + "." + minutes + PadLeftWith(parts[2], 2, '0');
    const std::string whole = PadLeftWith(parts[2].substr(0, point), 2, '0');
    return degrees + "." + minutes + whole + parts[2].substr(point + 1);
}

namespace {

// Column 3 of control rows into column 4 through `form`; column 4 is never overwritten.
ConversionResult ConvertAngleForm(GridDocument& doc, DataFileKind kind,
                                  const std::function<std::string(const std::string&)>& form) {
    ConversionResult result;
    if (kind != DataFileKind::Control) return result;
    for (int row = 1; row <= doc.DataRowCount(); ++row) {
        const std::string text = TrimBlanks(doc.Cell(row, 3));
        if (text.empty()) continue;
        if (!IsBlankCell(doc.Cell(row, 4))) {
            ++result.SideKept;
            continue;
        }
        std::string converted = form(text);
        if (converted.empty()) {
            ++result.Skipped;
            continue;
        }
        doc.SetCell(row, 4, std::move(converted));
        ++result.Changed;
    }
    return result;
}

}  // namespace

ConversionResult AnglesToSpacedText(GridDocument& doc, DataFileKind kind) {
    return ConvertAngleForm(doc, kind, SpacedAngleText);
}

ConversionResult AnglesFromSpacedText(GridDocument& doc, DataFileKind kind) {
    return ConvertAngleForm(doc, kind, PackedAngleText);
}

ConversionResult DegreesToGrads(GridDocument& doc, GridDataKind kind) {
    return ConvertRows(doc, kind, Role::Angle, [](const std::string& text) {
        if (!IsValidAngle(text, true, true)) return Skip();
        return Write(FormatFixed(DegreesToGrads(ParseDms(text, true, true).Degrees), 0, 4));
    });
}

ConversionResult GradsToDegrees(GridDocument& doc, GridDataKind kind) {
    return ConvertRows(doc, kind, Role::Angle, [](const std::string& text) {
        if (!IsValidAngle(text, false, true)) return Skip();
        return Write(TrimBlanks(FormatDms(0, ".", ParseDms(text, false, true).Degrees)));
    });
}

ConversionResult FillBlock(GridDocument& doc, const GridBlock& block, const std::string& text) {
    ConversionResult result;
    if (text.empty()) return result;
    ForEachCell(block, [&](int row, int column) {
        if (doc.SetCell(row, column, text)) ++result.Changed;
    });
    RowsIntoCount(doc, block.LastRow);
    return result;
}

ConversionResult FillIncreasing(GridDocument& doc, const GridBlock& block, const std::string& start) {
    ConversionResult result;
    long long n = 0;
    const long long cells = (static_cast<long long>(block.LastRow) - block.FirstRow + 1) *
                            (static_cast<long long>(block.LastColumn) - block.FirstColumn + 1);
    if (const Whole whole = ParseWhole(start, cells, n); whole != Whole::Ok) return Refused(whole);
    ForEachCell(block, [&](int row, int column) {
        if (doc.SetCell(row, column, FormatInt(n++))) ++result.Changed;
    });
    RowsIntoCount(doc, block.LastRow);
    return result;
}

ConversionResult AddToBlock(GridDocument& doc, const GridBlock& block, const std::string& value) {
    double add = 0;
    if (!TryParseReal(TrimBlanks(value), add)) return {BlockStatus::NotANumber};
    ConversionResult result;
    ForEachCell(block, [&](int row, int column) {
        double v = 0;
        if (!TryParseReal(TrimBlanks(doc.Cell(row, column)), v)) return;
        if (doc.SetCell(row, column, FormatGeneral(v + add))) ++result.Changed;
    });
    RowsIntoCount(doc, block.LastRow);
    return result;
}

ConversionResult PrefixBlock(GridDocument& doc, const GridBlock& block, const std::string& text) {
    const std::string prefix = TrimBlanks(text);
    return RewriteNonBlank(doc, block, [&](const std::string& cell) { return prefix + cell; });
}

ConversionResult SuffixBlock(GridDocument& doc, const GridBlock& block, const std::string& text) {
    const std::string suffix = TrimBlanks(text);
    return RewriteNonBlank(doc, block, [&](const std::string& cell) { return cell + suffix; });
}

ConversionResult RenumberDetailPoints(GridDocument& doc, const GridBlock& block, const std::string& start) {
    if (block.FirstColumn != 0) return {BlockStatus::NotInFirstColumn};
    std::vector<int> numbered;
    for (int row = block.FirstRow; row <= block.LastRow; ++row) {
        const std::string& cell = doc.Cell(row, 0);
        if (!IsBlankCell(cell) && IsNumericCell(cell)) numbered.push_back(row);
    }
    long long n = 0;
    const auto count = static_cast<long long>(numbered.size());
    if (const Whole whole = ParseWhole(start, count, n); whole != Whole::Ok) return Refused(whole);
    ConversionResult result;
    for (const int row : numbered)
        if (doc.SetCell(row, 0, FormatInt(n++))) ++result.Changed;
    RowsIntoCount(doc, block.LastRow);
    return result;
}

}  // namespace qef
