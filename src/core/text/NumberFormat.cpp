#include "core/text/NumberFormat.h"

#include <charconv>
#include <cmath>

#include <fmt/format.h>

namespace qef {

namespace {
std::string PadLeftTo(std::string text, int width) {
    if (width > 0 && static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
    return text;
}
}  // namespace

std::string FormatFixed(double value, int width, int decimals) {
    if (decimals < 0) decimals = 0;
    if (!std::isfinite(value)) return PadLeftTo(std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf"), width);
    std::string text = fmt::format("{:.{}f}", value, decimals);
    // "-0.000" reads as a sign the value does not have at these decimals.
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return PadLeftTo(std::move(text), width);
}

std::string FormatInt(long long value, int width) { return PadLeftTo(std::to_string(value), width); }

std::string FormatShortest(double value) {
    if (value == 0.0) return "0";
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (ec != std::errc()) return fmt::format("{}", value);
    return std::string(buf, end);
}

std::string FormatGeneral(double value) {
    if (value == 0.0) return "0";
    return fmt::format("{:.15g}", value);
}

}  // namespace qef
