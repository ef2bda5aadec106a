#include "fielddata/books/BookNumbers.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "core/numeric/Numbers.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/BookFiles.h"

namespace qef {

namespace {

constexpr int kGuardDecimals = 4;

// "nan", "inf" and the like: no text a surveyor types, and TryParseReal does not take them.
bool IsSpecialNumber(const std::string& text) {
    std::string_view t = text;
    if (t.starts_with('+')) t.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    return error == std::errc() && end == t.data() + t.size() && !std::isfinite(value);
}

}  // namespace

double RoundHalfEvenDecimal(int decimals, double x) {
    const double scaled = std::fabs(x) * PowerOfTen(decimals + kGuardDecimals);
    // Too large (or not finite) to hold the guard digits: the binary rounding is all there is.
    if (!(scaled < 9e15)) return RoundHalfEven(decimals, x);
    const long long fine = std::llround(scaled);
    const auto step = static_cast<long long>(PowerOfTen(kGuardDecimals));
    long long whole = fine / step;
    const long long rest = fine % step;
    if (rest * 2 > step || (rest * 2 == step && !IsEven(whole))) ++whole;
    if (whole == 0) return 0.0;
    const double value = static_cast<double>(whole) / PowerOfTen(decimals);
    return x < 0 ? -value : value;
}

double RoundFourThenThree(double x) { return RoundHalfEvenDecimal(3, RoundHalfEvenDecimal(4, x)); }

std::optional<std::string> RefusedBookLine(const std::string& fileName, const std::vector<std::string>& lines) {
    LongFieldArray fields;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto lineNumber = static_cast<long long>(i + 1);
        if (auto bad = BareCarriageReturn(fileName, lineNumber, lines[i])) return bad;
        const int count = SplitFieldsTo(lines[i], fields, SeparatorMode::Tab, 0);
        for (int k = 3; k <= count; ++k) {
            const std::string text = TrimBlanks(fields[static_cast<std::size_t>(k)]);
            double value = 0.0;
            const bool number = TryParseReal(text, value);
            if ((number && !(std::fabs(value) <= kLongestBookDistanceMetres)) || (!number && IsSpecialNumber(text)))
                return Vn("File ") + fileName + Vn(", dòng ") + std::to_string(lineNumber) + Vn(" : giá trị [") +
                       QuotedText(text) + Vn("] không hợp lệ");
        }
    }
    return std::nullopt;
}

}  // namespace qef
