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

std::optional<std::string> AngleOffCircle(const std::optional<double>& degrees, AngleKind kind, long long lineNumber,
                                          std::string_view line) {
    if (!degrees || (*degrees >= 0.0 && *degrees < 360.0)) return std::nullopt;
    return RawLineMessage(lineNumber, line,
                          Vn(kind == AngleKind::Horizontal ? "góc bằng " : "góc thiên đỉnh ") +
                              TrimBlanks(FormatDms(0, ".", *degrees)) + Vn(" nằm ngoài vòng tròn 0 - 360 độ"));
}

std::string NoOrientationText(std::string_view station, std::string_view backsight) {
    return Vn("trạm ") + std::string(station) + Vn(" không có hướng định hướng (chưa đo điểm định hướng ") +
           std::string(backsight) + Vn(" trước điểm chi tiết)");
}

std::string BeforeStationText() { return Vn("điểm đo nằm trước mọi trạm máy"); }

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
