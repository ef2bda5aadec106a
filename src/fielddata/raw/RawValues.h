#pragma once
// Reading the values of raw download lines, shared by the readers.
#include <optional>
#include <string>
#include <string_view>

namespace qef {

// A number (blanks around it allowed); an empty text is no value. False when the text is neither.
bool ReadRawNumber(std::string_view text, std::optional<double>& value);
// An angle in D.MMSS, written with its point (text formats) or packed as digits (GSI).
bool ReadRawAngle(std::string_view text, bool withPoint, std::optional<double>& value);

// "Số liệu dòng N : [line] không hợp lệ".
std::string BadRawLineMessage(long long lineNumber, std::string_view line);
// "Dòng N: <what> : [line]"; `what` in TCVN3.
std::string RawLineMessage(long long lineNumber, std::string_view line, std::string_view what);

// The face a zenith reading was taken on: over 180 degrees is face right.
bool IsFaceRight(double zenithDegrees);
// A horizontal reading as face left would give it.
double FaceLeftReading(double hzDegrees, double zenithDegrees);

}  // namespace qef
