#pragma once
// Numbers and the surveyors' D.MMSS angle notation; rounding half to even. Parsing only parses:
// showing what went wrong is up to the caller.
#include <string>
#include <string_view>

namespace qef {

// Whole text is a number ("." decimal point, optional leading blanks, sign, fraction, exponent;
// nothing may follow) and does not start with "e"/"E".
bool TryParseReal(std::string_view text, double& value);
bool IsNumber(std::string_view text);
double ParseRealOrDefault(std::string_view text, double defaultValue);

enum class AngleError { None, BadFormat };

struct ParsedAngle {
    // Decimal degrees; from a bad text, what its readable parts make.
    double Degrees = 0;
    AngleError Error = AngleError::None;
    // The text as read: blanks before it and its sign removed, the packed form with its point.
    std::string Text;

    bool Ok() const { return Error == AngleError::None; }
};

// Parses an angle text into decimal degrees. With inDegrees clear the text is decimal grads.
// withPoint clear: packed integer form ("1800000" is 180 degrees).
ParsedAngle ParseDms(std::string_view text, bool inDegrees, bool withPoint);
// "Góc <text> sai định dạng": what the user is told about a bad angle.
std::string AngleFormatMessage(const ParsedAngle& angle);

// Degrees as "DDD.MMSS[s...]" (separator ".") or "DDD<sep>MM<sep>SS[.s]".
std::string FormatDms(int decimals, std::string_view separator, double degrees);

// Arc seconds and degrees (DegreesToSeconds is SecondsOf). The way back divides rather than
// multiplies by 1/3600, which would round differently.
constexpr double DegreesToSeconds(double degrees) { return degrees * 3600.0; }
constexpr double SecondsToDegrees(double seconds) { return seconds / 3600.0; }

double PackedDmsToDegrees(bool inDegrees, bool withPoint, double value);
double DegreesToGrads(double degrees);
double GradsToDegrees(double grads);
constexpr double MillimetresToMetres(double millimetres) { return millimetres / 1000.0; }

// The largest coordinate, length or height a reader takes, in metres: nothing surveyed comes near
// it, and a larger value is a typing slip that would swamp an adjustment (1e308 turns into
// infinities on the first product). The limit holds after the unit conversion: a national-grid
// coordinate in millimetres has ten digits.
constexpr double kLargestMetres = 1e9;
// A value in the data's unit (millimetres when metresFlag is clear) that is within kLargestMetres
// once in metres; false for NaN and the infinities.
bool WithinLargestMetres(double value, bool metresFlag);
// A length, height or coordinate field (no blanks around it) in metres: divided by 1000 when the
// data are in millimetres (metresFlag clear). False for a text that is no number or a value
// beyond kLargestMetres.
bool TryParseMetres(std::string_view text, bool metresFlag, double& metres);
double PowerOfTen(int n);
bool IsEven(long long n);

// Rounds to `decimals` decimals, exact halves to the even neighbour.
double RoundHalfEven(int decimals, double x);
// Rounds an angle to `decimals` decimals of an arc second, halves to even.
double RoundDms(int decimals, double degrees);

// Rescales a number held as text by `factor`, keeping its precision (mm <-> m columns).
std::string FormatNumberText(std::string_view text, double factor);

bool FileExistsIO(const std::string& name);
// Number of lines (a last line without line end counts); -1 when the file cannot be read.
long long CountFileLines(const std::string& name);

}  // namespace qef
