#include "tools/Calculator.h"

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/SplitLines.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

bool Read(const std::string& text, double& value) { return TryParseReal(TrimBlanks(text), value); }

// The readers' limit on lengths and coordinates: past it a result has hundreds of digits.
bool Refuse(const std::string& text, double value, CalculatorResult& result) {
    if (WithinLargestMetres(value, true)) return false;
    result.Outcome = CalculatorOutcome::OutOfRange;
    result.Message = Vn("Giá trị [") + TrimBlanks(text) + Vn("] vượt quá 1000000000 m, không tính được");
    return true;
}

// An azimuth a hair below 360 degrees rounds to the shown tenth of a second as 0, not as 360.
double ShownAzimuth(double degrees) { return degrees >= 360.0 - SecondsToDegrees(0.05) ? 0.0 : degrees; }

}  // namespace

CalculatorResult Calculate(CalculatorMethod method, const CalculatorInput& input, const CalculatorAngles& angles) {
    CalculatorResult result;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0, side = 0.0;
    if (!Read(input.X1, x1) || !Read(input.Y1, y1)) return result;
    const bool usesPoint2 = method != CalculatorMethod::FromAzimuth;
    if (usesPoint2 && (!Read(input.X2, x2) || !Read(input.Y2, y2))) return result;
    double angle = 0.0;
    if (method != CalculatorMethod::Azimuth) {
        const std::string angleText = TrimBlanks(input.Angle);
        const ParsedAngle parsed = ParseDms(angleText, angles.InDegrees, angles.TextWithPoint);
        if (angleText.empty() || !parsed.Ok() || !Read(input.Side, side)) return result;
        angle = parsed.Degrees;
    }
    const bool usesSide = method != CalculatorMethod::Azimuth;
    if (Refuse(input.X1, x1, result) || Refuse(input.Y1, y1, result) ||
        (usesPoint2 && (Refuse(input.X2, x2, result) || Refuse(input.Y2, y2, result))) ||
        (usesSide && Refuse(input.Side, side, result)))
        return result;
    if (usesPoint2 && x1 == x2 && y1 == y2) {
        result.Outcome = CalculatorOutcome::CoincidentPoints;
        return result;
    }
    result.Outcome = CalculatorOutcome::Computed;
    if (method == CalculatorMethod::Azimuth) {
        result.First = TrimBlanks(FormatDms(1, " ", ShownAzimuth(AzimuthOf(x1, y1, x2, y2))));
        return result;
    }
    const double azimuth = NormalizeAzimuth(
        method == CalculatorMethod::FromTwoPoints ? AzimuthOf(x1, y1, x2, y2) + angle : angle);
    result.First = FormatFixed(PolarX(x1, side, azimuth, 0.0), 0, 3);
    result.Second = FormatFixed(PolarY(y1, side, azimuth, 0.0), 0, 3);
    return result;
}

bool ReadCalculatorTable(const std::string& fileName, int fixedFieldWidth, CalculatorTable& table) {
    table = CalculatorTable{};
    SplitLines lines(fileName, fixedFieldWidth);
    if (!lines.IsOpen()) return false;
    const FieldArray& f = lines.Fields();
    while (lines.Next()) {
        table.Lines = lines.LineNumber();
        if (lines.Count() == 0) continue;
        table.Rows.push_back({TrimBlanks(f[1]), TrimBlanks(f[2]), TrimBlanks(f[3])});
    }
    return true;
}

}  // namespace qef
