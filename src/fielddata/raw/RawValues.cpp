#include "fielddata/raw/RawValues.h"

#include "core/numeric/Geometry.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

bool ReadRawNumber(std::string_view text, std::optional<double>& value) {
    value.reset();
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty()) return true;
    double v = 0;
    if (!TryParseReal(trimmed, v)) return false;
    value = v;
    return true;
}

bool ReadRawAngle(std::string_view text, bool withPoint, std::optional<double>& value) {
    value.reset();
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty()) return true;
    const ParsedAngle angle = ParseDms(trimmed, true, withPoint);
    if (!angle.Ok()) return false;
    value = angle.Degrees;
    return true;
}

std::string BadRawLineMessage(long long lineNumber, std::string_view line) {
    return Vn("Số liệu dòng ") + std::to_string(lineNumber) + " : [" + QuotedText(line) + Vn("] không hợp lệ");
}

std::string RawLineMessage(long long lineNumber, std::string_view line, std::string_view what) {
    return Vn("Dòng ") + std::to_string(lineNumber) + ": " + std::string(what) + " : [" + QuotedText(line) + "]";
}

bool IsFaceRight(double zenithDegrees) { return zenithDegrees > 180.0; }

double FaceLeftReading(double hzDegrees, double zenithDegrees) {
    return IsFaceRight(zenithDegrees) ? ReverseAzimuth(hzDegrees) : hzDegrees;
}

}  // namespace qef
