#include "core/text/TextHelpers.h"

#include <algorithm>
#include <array>

#include "core/text/VnCodec.h"

namespace qef {

namespace {

// Padding never makes a string longer than a short string; a longer input stays as it is.
std::size_t PadTarget(int n) { return n <= 0 ? 0 : std::min(static_cast<std::size_t>(n), kShortStringMax); }

// Position just after the last folder separator: where the file-name part starts.
std::size_t FileNameStart(std::string_view name) {
    std::size_t sep = name.find_last_of("/\\");
    return sep == std::string_view::npos ? 0 : sep + 1;
}

// Position of the last "." of the file-name part, or npos.
std::size_t LastDotInFileName(std::string_view name) {
    std::size_t dot = name.rfind('.');
    return (dot == std::string_view::npos || dot < FileNameStart(name)) ? std::string_view::npos : dot;
}

}  // namespace

std::string PadRight(std::string_view s, int n) { return PadRightWith(s, n, ' '); }

std::string PadLeft(std::string_view s, int n) { return PadLeftWith(s, n, ' '); }

std::string PadRightWith(std::string_view s, int n, char c) {
    std::string out(s);
    std::size_t target = PadTarget(n);
    if (out.size() < target) out.append(target - out.size(), c);
    return out;
}

std::string PadLeftWith(std::string_view s, int n, char c) {
    std::string out(s);
    std::size_t target = PadTarget(n);
    if (out.size() < target) out.insert(0, target - out.size(), c);
    return out;
}

std::string PadTo10(std::string_view s) { return PadRight(s, 10); }

std::string RepeatChar(char c, int n) { return std::string(PadTarget(n), c); }

std::string TrimLeftBlanks(std::string_view s) {
    std::size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string TrimRightBlanks(std::string_view s) {
    std::size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string QuotedText(std::string_view s) { return std::string(s.substr(0, 80)); }

std::string TrimBlanks(std::string_view s) {
    std::size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    std::size_t last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

std::string CollapseBlanks(std::string_view s) {
    std::string trimmed = TrimBlanks(s);
    std::string out;
    out.reserve(trimmed.size());
    for (char c : trimmed)
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

std::string StripLeadingZeros(std::string_view s) {
    std::size_t first = s.find_first_not_of('0');
    return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string RemoveCharToName(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (out.size() == kPointNameMax) break;
        if (c != ' ') out += c;
    }
    return out;
}

std::string UpperShort(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string FileNameWithoutExt(std::string_view name) {
    std::size_t dot = LastDotInFileName(name);
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string ReplaceFileExt(std::string_view name, std::string_view ext) {
    std::string out = FileNameWithoutExt(name);
    out += '.';
    out += ext;
    return out;
}

std::string SwapExtAtFirstDot(std::string_view name, std::string_view ext) {
    // Only the file-name part counts: a point in a folder name must not cut the path, and a name
    // without a point keeps its name rather than becoming the bare extension.
    std::size_t start = FileNameStart(name);
    std::size_t dot = name.find('.', start);
    std::string out(dot == std::string_view::npos ? name : name.substr(0, dot));
    out += ext;
    return out;
}

std::string StripAccents(std::string_view text, bool keepAccents) {
    if (keepAccents) return std::string(text);
    static const std::array<char, 256> plain = [] {
        std::array<char, 256> table{};
        for (int b = 0; b < 256; ++b) table[b] = static_cast<char>(b);
        const std::string accented =
            Vn("ăâáắấàằầạặậảẳẩãẵẫêéếèềẹệẻểẽễôơóốớòồờọộợỏổởõỗỡíìịỉĩýỳỵỷỹưúứùừụựủửũữđĐ");
        const std::string_view letters = "aaaaaaaaaaaaaaaaaeeeeeeeeeeeoooooooooooooooooiiiiiyyyyyuuuuuuuuuuudD";
        for (std::size_t i = 0; i < accented.size() && i < letters.size(); ++i)
            table[static_cast<unsigned char>(accented[i])] = letters[i];
        return table;
    }();
    std::string out(text);
    for (char& c : out) c = plain[static_cast<unsigned char>(c)];
    return out;
}

bool ReplaceInLine(std::string& line, std::string_view find, std::string& replacement, char fill, int align) {
    if (find.empty()) return false;
    std::size_t pos = line.find(find);
    if (pos == std::string::npos) return false;
    int width = static_cast<int>(find.size());
    if (align == 1)
        replacement = PadRightWith(replacement, width, fill);
    else if (align == 0)
        replacement = PadLeftWith(replacement, width, fill);
    // The line is not cut afterwards: it may be a data line of any length, and cutting it would
    // lose its end.
    line.replace(pos, find.size(), replacement);
    return true;
}

}  // namespace qef
