#include "core/numeric/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "core/text/NumberFormat.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/VnCodec.h"

namespace qef {

namespace {

constexpr std::size_t kShortText = 255;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i])) ++i;
    return i;
}

// Strict syntax check first: from_chars alone would take "inf", "nan" and stop early on junk.
bool ParseStrict(std::string_view text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t j = SkipDigits(text, i);
    std::size_t digits = j - i;
    i = j;
    if (i < text.size() && text[i] == '.') {
        j = SkipDigits(text, i + 1);
        digits += j - i - 1;
        i = j;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        j = SkipDigits(text, i);
        if (j == i) return false;
        i = j;
    }
    if (i != text.size()) return false;
    double v = 0;
    auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), v,
                                     std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = negative ? -v : v;
    return true;
}

// One part of a D.MMSS text: a plain unsigned number. A sign or exponent inside a part would
// turn a garbled angle into a plausible wrong one.
bool ParseAnglePart(std::string_view part, double& value) {
    if (part.find_first_of("+-eE") != std::string_view::npos) return false;
    return ParseStrict(part, value);
}

std::string BlanksToZeros(std::string text) {
    for (char& c : text)
        if (c == ' ') c = '0';
    return text;
}

}  // namespace

bool TryParseReal(std::string_view text, double& value) {
    if (!text.empty() && (text[0] == 'e' || text[0] == 'E')) {
        value = 0;
        return false;
    }
    if (!ParseStrict(text, value)) {
        value = 0;
        return false;
    }
    return true;
}

bool IsNumber(std::string_view text) {
    double v = 0;
    return ParseStrict(text, v);
}

double ParseRealOrDefault(std::string_view text, double defaultValue) {
    double v = 0;
    return TryParseReal(text, v) ? v : defaultValue;
}

ParsedAngle ParseDms(std::string_view text, bool inDegrees, bool withPoint) {
    ParsedAngle result;
    std::string& work = result.Text;
    work = text.substr(0, std::min(text.size(), kShortText));
    // A field cut from a fixed-width column may carry blanks before the sign.
    const std::size_t firstNonBlank = work.find_first_not_of(' ');
    work.erase(0, firstNonBlank == std::string::npos ? work.size() : firstNonBlank);
    double sign = 1;
    if (!work.empty() && (work[0] == '-' || work[0] == '+')) {
        if (work[0] == '-') sign = -1;
        work.erase(0, 1);
    }

    double degrees = 0;
    double minutes = 0;
    double seconds = 0;
    bool bad = false;

    if (!inDegrees) {
        // Grads: a plain decimal number.
        double g = 0;
        if (ParseAnglePart(work, g))
            degrees = GradsToDegrees(g);
        else
            bad = true;
    } else {
        if (!withPoint) {
            // Packed integer form: 1800000 -> 180.0000, 1234530.5 -> 123.45305.
            const std::size_t p = work.find('.');
            const int decimals = p == std::string::npos ? 4 : static_cast<int>(work.size() - p - 1) + 4;
            double packed = 0;
            if (TryParseReal(work, packed)) work = FormatFixed(packed / 10000.0, 1, decimals);
        }
        const std::size_t p = work.find('.');
        if (p != std::string::npos) {
            const std::string_view all(work);
            if (!ParseAnglePart(all.substr(0, p), degrees)) bad = true;
            const std::string_view minuteText = all.substr(p + 1, 2);
            double m = 0;
            if (ParseAnglePart(minuteText, m))
                minutes = m / 60.0;
            else
                bad = true;
            // "12.6000" is no 13 degrees: a field book never carries 60 minutes.
            if (m >= 60) bad = true;
            std::string secondText(all.substr(std::min(all.size(), p + 3)));
            if (secondText.size() > 2) secondText.insert(2, 1, '.');
            double s = 0;
            if (ParseAnglePart(secondText, s))
                seconds = SecondsToDegrees(s);
            else
                bad = true;
            if (s >= 60) bad = true;
        } else if (!ParseAnglePart(work, degrees)) {
            bad = true;
        }
    }

    if (bad) result.Error = AngleError::BadFormat;
    result.Degrees = sign * (degrees + minutes + seconds);
    return result;
}

std::string AngleFormatMessage(const ParsedAngle& angle) {
    return Vn("Góc ") + QuotedText(angle.Text) + Vn(" sai định dạng");
}

std::string FormatDms(int decimals, std::string_view separator, double degrees) {
    if (decimals < 0) decimals = 0;
    if (!std::isfinite(degrees)) return FormatFixed(degrees, 0, 0);
    const double ax = std::fabs(degrees);
    double d = std::trunc(ax);
    const double minutesExact = (ax - d) * 60.0;
    double m = std::trunc(minutesExact);
    const double s = (minutesExact - m) * 60.0;
    if (m >= 60) {  // a fraction just below 1 can round up to 60 minutes
        m -= 60;
        d += 1;
    }
    // Carry by what will be printed, so 59.6 seconds never shows as "60".
    double shownSeconds = RoundHalfEven(decimals, s);
    if (shownSeconds >= 60) {
        shownSeconds = 0;
        m += 1;
        if (m >= 60) {
            m = 0;
            d += 1;
        }
    }

    const std::string dText = degrees < 0 ? "-" + FormatFixed(d, 0, 0) : FormatFixed(d, 3, 0);
    const std::string mText = BlanksToZeros(FormatFixed(m, 2, 0));
    std::string sText = BlanksToZeros(FormatFixed(shownSeconds, decimals == 0 ? 2 : decimals + 3, decimals));
    if (separator == ".") {
        if (decimals > 0) {
            const std::size_t point = sText.find('.');
            if (point != std::string::npos) sText.erase(point, 1);
        }
        return dText + "." + mText + sText;
    }
    std::string out = dText;
    out += separator;
    out += mText;
    out += separator;
    out += sText;
    return out;
}

double PackedDmsToDegrees(bool inDegrees, bool withPoint, double value) {
    return ParseDms(FormatShortest(value), inDegrees, withPoint).Degrees;
}

double DegreesToGrads(double degrees) { return degrees * 400.0 / 360.0; }

double GradsToDegrees(double grads) { return grads * 360.0 / 400.0; }

bool WithinLargestMetres(double value, bool metresFlag) {
    return std::fabs(metresFlag ? value : MillimetresToMetres(value)) <= kLargestMetres;
}

bool TryParseMetres(std::string_view text, bool metresFlag, double& metres) {
    double value = 0;
    if (!TryParseReal(text, value) || !WithinLargestMetres(value, metresFlag)) return false;
    metres = metresFlag ? value : MillimetresToMetres(value);
    return true;
}

double PowerOfTen(int n) {
    double p = 1;
    // Past 400 the product is infinite anyway.
    for (int i = 0; i < n && i < 400; ++i) p *= 10.0;
    return p;
}

bool IsEven(long long n) { return n % 2 == 0; }

double RoundHalfEven(int decimals, double x) {
    if (!std::isfinite(x)) return x;
    const double scale = PowerOfTen(decimals);
    const double v = std::fabs(x) * scale;
    // From 2^53 on every double is whole: nothing to round.
    if (!std::isfinite(v) || v >= 9007199254740992.0) return x;
    const double whole = std::floor(v);
    const double fraction = v - whole;  // exact
    double rounded = whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) rounded = whole + 1.0;
    if (rounded == 0.0) return 0.0;
    return (x > 0 ? rounded : -rounded) / scale;
}

double RoundDms(int decimals, double degrees) {
    if (decimals < 0) decimals = 0;
    // Packed D MM SS.s with one decimal more, rounded as a decimal number; a carry to 60 seconds
    // is taken up when the packed text is read back.
    const std::string packed = FormatDms(decimals + 1, "", degrees);
    double y = 0;
    if (!TryParseReal(packed, y)) return degrees;
    y = RoundHalfEven(decimals, y);
    return ParseDms(FormatShortest(y), true, false).Degrees;
}

std::string FormatNumberText(std::string_view text, double factor) {
    double v = 0;
    if (!TryParseReal(text, v)) return std::string(text);
    const std::size_t point = text.find('.');
    const int k = point == std::string_view::npos ? 0 : static_cast<int>(text.size() - point - 1);
    int decimals = k;
    if (factor > 0 && std::isfinite(factor)) {
        const double l = std::log10(factor);
        if (l >= 0 && l >= k)
            decimals = 0;
        else
            decimals = k - static_cast<int>(RoundHalfEven(0, l));
    }
    return FormatFixed(v * factor, 0, decimals);
}

bool FileExistsIO(const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) return false;
    std::FILE* f = std::fopen(name.c_str(), "rb");
    if (f == nullptr) return false;
    std::fclose(f);
    return true;
}

long long CountFileLines(const std::string& name) {
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) return -1;
    LineReader reader(name);
    if (!reader.IsOpen()) return -1;
    long long count = 0;
    std::string line;
    while (reader.Next(line)) ++count;
    return count;
}

}  // namespace qef
