#include "core/grid/ZeroOrientation.h"

#include <cmath>

#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"

namespace qef {

namespace {

bool Blank(const std::string& text) { return text.find_first_not_of(' ') == std::string::npos; }

// Decimals of a second that the text carries beyond D.MMSS.
int SecondDecimals(const std::string& text) {
    const std::size_t point = text.find('.');
    if (point == std::string::npos) return 0;
    const int digits = static_cast<int>(text.size() - point - 1);
    return digits > 4 ? digits - 4 : 0;
}

}  // namespace

ZeroOrientationResult ReduceToZeroOrientation(const GridDocument& grid, bool anglesInDegrees, bool angleTextWithPoint) {
    ZeroOrientationResult result;
    double orientation = 0.0;
    for (int row = 1; row <= grid.DataRowCount(); ++row) {
        const std::string first = TrimBlanks(grid.Cell(row, 0));
        const bool station = (first.empty() || first[0] == '(') && !Blank(grid.Cell(row, 1)) && !Blank(grid.Cell(row, 2));
        if (station) {
            orientation = 0.0;
            if (first.empty()) continue;
            const std::size_t close = first.find(')');
            const std::string inside = TrimBlanks(first.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            if (!inside.empty()) {
                const ParsedAngle angle = ParseDms(inside, anglesInDegrees, angleTextWithPoint);
                if (!angle.Ok()) {
                    result.BadRows.push_back(row);
                    continue;
                }
                orientation = angle.Degrees;
            }
            result.Edits.push_back({row, 0, std::string()});
            continue;
        }
        if (first.empty() || orientation == 0.0) continue;
        const std::string text = TrimBlanks(grid.Cell(row, 1));
        if (text.empty()) continue;
        const ParsedAngle direction = ParseDms(text, anglesInDegrees, angleTextWithPoint);
        if (!direction.Ok()) {
            result.BadRows.push_back(row);
            continue;
        }
        double reduced = direction.Degrees - orientation;
        if (reduced < 0.0) reduced += 360.0;
        // A direction that rounds to a full turn at the shown decimals is the zero direction.
        if (reduced >= 360.0 - SecondsToDegrees(0.5 * std::pow(10.0, -SecondDecimals(text)))) reduced = 0.0;
        result.Edits.push_back({row, 1, TrimBlanks(FormatDms(SecondDecimals(text), ".", reduced))});
    }
    return result;
}

}  // namespace qef
