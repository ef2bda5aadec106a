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

}  // namespace qef
