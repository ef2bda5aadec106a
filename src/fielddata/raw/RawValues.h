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

enum class AngleKind { Horizontal, Zenith };
// A message naming the line when a reading lies off the circle, [0, 360) degrees; none when it is
// on it or there is none.
std::optional<std::string> AngleOffCircle(const std::optional<double>& degrees, AngleKind kind, long long lineNumber,
                                          std::string_view line);

// Why a detail cannot be placed: its station has no reading on its backsight before it (TCVN3).
std::string NoOrientationText(std::string_view station, std::string_view backsight);
// A reading before any station record (TCVN3).
std::string BeforeStationText();

// "Số liệu dòng N : [line] không hợp lệ".
std::string BadRawLineMessage(long long lineNumber, std::string_view line);
// "Dòng N: <what> : [line]"; `what` in TCVN3.
std::string RawLineMessage(long long lineNumber, std::string_view line, std::string_view what);

// The face a zenith reading was taken on: over 180 degrees is face right.
bool IsFaceRight(double zenithDegrees);
// A horizontal reading as face left would give it.
double FaceLeftReading(double hzDegrees, double zenithDegrees);

}  // namespace qef
