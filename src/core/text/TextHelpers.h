#pragma once
// Short-string and file-name helpers. Strings hold TCVN3 bytes, one byte a character.
#include <string>
#include <string_view>

namespace qef {

// Longest short string; longer results are cut.
inline constexpr std::size_t kShortStringMax = 255;
// Longest point name.
inline constexpr std::size_t kPointNameMax = 15;

std::string PadRight(std::string_view s, int n);
std::string PadLeft(std::string_view s, int n);
std::string PadRightWith(std::string_view s, int n, char c);
std::string PadLeftWith(std::string_view s, int n, char c);
std::string PadTo10(std::string_view s);
std::string RepeatChar(char c, int n);
std::string TrimLeftBlanks(std::string_view s);   // blanks only; TABs stay
std::string TrimRightBlanks(std::string_view s);
std::string TrimBlanks(std::string_view s);
std::string CollapseBlanks(std::string_view s);   // trim, then runs of blanks -> one blank
std::string StripLeadingZeros(std::string_view s);
std::string RemoveCharToName(std::string_view s);  // no blanks, cut to 15
std::string UpperShort(std::string_view s);        // a..z -> A..Z only
// Input text shown in a message: a stray binary or run-together line must not flood the box.
std::string QuotedText(std::string_view s);        // cut to 80

// File names: "/" and "\" both separate folders; extension rules act on the file-name part.
std::string FileNameWithoutExt(std::string_view name);
std::string ReplaceFileExt(std::string_view name, std::string_view ext);      // ext without point
std::string SwapExtAtFirstDot(std::string_view name, std::string_view ext);  // ext with its point

// Replaces accented TCVN3 letters by plain ones unless keepAccents is set.
std::string StripAccents(std::string_view text, bool keepAccents);

// Replaces the first `find` in `line`, filling `replacement` to the length of `find` with `fill`
// on the right (align 1) or the left (align 0) first; the filled text is stored back.
bool ReplaceInLine(std::string& line, std::string_view find, std::string& replacement, char fill,
                   int align);

}  // namespace qef
