#pragma once
// The one place where numbers become text. Always "." as the decimal separator.
#include <string>

namespace qef {

// `value` with `decimals` decimals, right-aligned in `width` characters; the field grows when
// the number needs more room. decimals < 0 is taken as 0.
std::string FormatFixed(double value, int width, int decimals);
// An integer right-aligned in `width` characters (growing as needed).
std::string FormatInt(long long value, int width = 0);
// The shortest decimal text that reads back as the same double, never in exponent form.
std::string FormatShortest(double value);
// General form with up to 15 significant digits, trailing zeros dropped.
std::string FormatGeneral(double value);

}  // namespace qef
