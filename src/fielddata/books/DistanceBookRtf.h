#pragma once
// The printable distance book as RTF: a page per side (forward/back) or half a page (free), with
// the observer's header, the readings, the blank height-difference table, and after each run of
// pages a table of the sides with their means and pages.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/model/Interaction.h"
#include "fielddata/books/FieldBookOptions.h"

namespace qef {

// Text for an RTF file: "\", "{" and "}" escaped, bytes from 0x80 as \'xx.
std::string RtfEscaped(std::string_view tcvn3);
// Only the bytes from 0x80 escaped: for text that holds control words.
std::string HighBytesEscaped(std::string_view tcvn3);

// The book has a side line (from and to both given).
bool HasSideLines(const std::vector<std::string>& distanceBook);

// The distance book of the reduction (TCVN3 lines) as RTF lines, for the mode of the options:
// forward and back (WriteDistanceBookRtf) or free (WriteDistanceBookRtfFree); the field-book
// worker asks the RTF file's name and writes the lines.
// nullopt, after the message "Dữ liệu của bạn không có cạnh", when the book has no side.
std::optional<std::vector<std::string>> DistanceBookRtf(const std::vector<std::string>& distanceBook,
                                                        const FieldBookOptions& options, Interaction& ui);

}  // namespace qef
