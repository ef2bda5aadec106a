#pragma once
// Numbers and the surveyors' D.MMSS angle notation; rounding half to even; the standard messages.
#include <string>
#include <string_view>

#include "core/model/Interaction.h"

namespace qef {

// Whole text is a number ("." decimal point, optional leading blanks, sign, fraction, exponent;
// nothing may follow) and does not start with "e"/"E".
bool TryParseReal(std::string_view text, double& value);
bool IsNumber(std::string_view text);
double ParseRealOrDefault(std::string_view text, double defaultValue);
// Shows "loi <text>" and sets errorFlag when the text is not a number.
double ParseRealField(std::string_view text, bool& errorFlag, Interaction& ui);

// Parses an angle text into decimal degrees. With inDegrees clear the text is decimal grads.
// withPoint clear: packed integer form ("1800000" is 180 degrees).
// On a bad text sets errorFlag, fills errorText with the message and shows it through `ui`
// when given.
double ParseDms(std::string_view text, bool inDegrees, bool withPoint, std::string& errorText,
                bool& errorFlag, Interaction* ui);

// Degrees as "DDD.MMSS[s...]" (separator ".") or "DDD<sep>MM<sep>SS[.s]".
std::string FormatDms(int decimals, std::string_view separator, double degrees);

double PackedDmsToDegrees(bool inDegrees, bool withPoint, double value);
double DegreesGrads(bool toGrads, double value);
double SecondsOf(double degrees);
double MillimetresToMetres(bool metresFlag, double value);
double PowerOfTen(int n);
bool IsEven(long long n);

// Rounds to `decimals` decimals, exact halves to the even neighbour.
double RoundHalfEven(int decimals, double x);
// Rounds an angle to `decimals` decimals of an arc second, halves to even.
double RoundDms(int decimals, double degrees);

// Rescales a number held as text by `factor`, keeping its precision (mm <-> m columns).
std::string FormatNumberText(std::string_view text, double factor);

// Input box "Nhap so lieu"; an answer that is not a number gives "0".
std::string AskNumber(Interaction& ui, const std::string& prompt, const std::string& defaultText);
// Shows the message (OK), then sets the flag.
void ShowError(Interaction& ui, bool& errorFlag, const std::string& message);
// "Đã tính xong".
void ShowDoneMessage(Interaction& ui);

bool FileExistsIO(const std::string& name);
// Number of lines (a last line without line end counts); -1 when the file cannot be read.
long long CountFileLines(const std::string& name);

}  // namespace qef
