#include "core/text/Tokenizer.h"

#include <algorithm>

namespace qef {

namespace {

constexpr std::size_t kLineMax = 255;
constexpr std::size_t kCellMax = 15;
constexpr std::size_t kClearedCells = 21;
constexpr std::size_t kDelimitedStored = 16;
constexpr std::size_t kLongDelimitedStored = 11;

std::size_t FieldWidth(int fixedFieldWidth) {
    return fixedFieldWidth < 1 ? 1 : static_cast<std::size_t>(fixedFieldWidth);
}

std::string_view Head(std::string_view line) { return line.substr(0, std::min(line.size(), kLineMax)); }

bool IsBlankOnly(std::string_view line) { return Head(line).find_first_not_of(' ') == std::string_view::npos; }

// "//" starts a comment; a separator right before it belongs to the comment too.
std::string_view WithoutComment(std::string_view line) {
    const std::size_t p = line.find("//");
    if (p == std::string_view::npos) return line;
    line = line.substr(0, p);
    if (!line.empty()) {
        const char c = line.back();
        if (c == ' ' || c == '\t' || c == ',' || c == ';' || c == '|') line.remove_suffix(1);
    }
    return line;
}

// The text without blanks at the ends and with each run of blanks made one, written to `out`
// (room for the whole text); its length.
std::size_t CollapseTo(std::string_view text, char* out) {
    std::size_t n = 0;
    bool pendingBlank = false;
    for (char c : text) {
        if (c == ' ') {
            pendingBlank = n > 0;
            continue;
        }
        if (pendingBlank) {
            out[n++] = ' ';
            pendingBlank = false;
        }
        out[n++] = c;
    }
    return n;
}

// The first 255 characters collapsed. The buffer lives on the caller's stack: no allocation per
// line.
std::string_view Collapse(std::string_view line, std::array<char, kLineMax>& buffer) {
    return {buffer.data(), CollapseTo(Head(line), buffer.data())};
}

template <class Cells>
void Store(Cells& fields, std::size_t index, std::string_view piece, std::size_t cut) {
    fields.Set(index, piece, cut);
}

// One field more than there are separators; only the first `maxStored` are kept.
template <class Cells>
int SplitDelimited(std::string_view text, char separator, Cells& fields, std::size_t maxStored,
                   std::size_t cut) {
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t p = text.find(separator, start);
        const std::size_t end = p == std::string_view::npos ? text.size() : p;
        if (count < maxStored) Store(fields, count + 1, text.substr(start, end - start), cut);
        ++count;
        if (p == std::string_view::npos) break;
        start = p + 1;
    }
    return static_cast<int>(count);
}

// Fields of `width` characters, each followed by one separator column; the rest of the line is
// the last field.
template <class Cells>
int SplitFixed(std::string_view line, int fixedFieldWidth, Cells& fields, std::size_t cut) {
    const std::size_t width = FieldWidth(fixedFieldWidth);
    const std::size_t step = width + 1;
    const std::size_t n = line.size() / step;
    for (std::size_t i = 0; i < n && i + 1 <= Cells::kCapacity; ++i)
        Store(fields, i + 1, line.substr(i * step, width), cut);
    if (n + 1 <= Cells::kCapacity) Store(fields, n + 1, line.substr(n * step), cut);
    return static_cast<int>(n + 1);
}

template <class Cells>
void ClearCells(Cells& fields, std::size_t upTo) {
    for (std::size_t i = 1; i <= std::min(upTo, Cells::kCapacity); ++i) fields.Clear(i);
}

}  // namespace

int SplitFields(std::string_view line, FieldArray& fields, std::optional<SeparatorMode> mode, bool keepComments,
                int fixedFieldWidth, SeparatorMode* used) {
    ClearCells(fields, kClearedCells);
    if (!keepComments) line = WithoutComment(line);
    // The whole line is split: a value past column 255 is still read.
    if (line.find_first_not_of(' ') == std::string_view::npos) return 0;
    while (!line.empty() && line.back() == '\t') line.remove_suffix(1);
    const SeparatorMode m = mode ? *mode : DetectSeparator(line, fixedFieldWidth);
    if (used != nullptr) *used = m;
    switch (m) {
        case SeparatorMode::FixedWidth: return SplitFixed(line, fixedFieldWidth, fields, kCellMax);
        case SeparatorMode::Blank:
        case SeparatorMode::Tab:
        case SeparatorMode::Comma:
        case SeparatorMode::Semicolon:
        case SeparatorMode::Bar: {
            const char separator = SeparatorChar(m);
            if (line.size() <= kLineMax) {
                std::array<char, kLineMax> buffer;
                return SplitDelimited(std::string_view(buffer.data(), CollapseTo(line, buffer.data())), separator,
                                      fields, kDelimitedStored, kCellMax);
            }
            std::string buffer(line.size(), ' ');
            return SplitDelimited(std::string_view(buffer.data(), CollapseTo(line, buffer.data())), separator, fields,
                                  kDelimitedStored, kCellMax);
        }
    }
    return 0;
}

int SplitFieldsTo(std::string_view line, LongFieldArray& fields, std::optional<SeparatorMode> mode,
                  int fixedFieldWidth) {
    if (IsBlankOnly(line)) return 0;
    const SeparatorMode m = mode ? *mode : DetectSeparator(Head(line), fixedFieldWidth);
    ClearCells(fields, LongFieldArray::kCapacity);
    switch (m) {
        case SeparatorMode::FixedWidth: return SplitFixed(Head(line), fixedFieldWidth, fields, kLineMax);
        case SeparatorMode::Blank:
        case SeparatorMode::Tab:
        case SeparatorMode::Comma:
        case SeparatorMode::Semicolon: {
            std::array<char, kLineMax> buffer;
            return SplitDelimited(Collapse(line, buffer), SeparatorChar(m), fields, kLongDelimitedStored,
                                  kLineMax);
        }
        case SeparatorMode::Bar: break;
    }
    return 0;
}

SeparatorMode DetectSeparator(std::string_view line, int fixedFieldWidth) {
    const std::size_t step = FieldWidth(fixedFieldWidth) + 1;
    const std::size_t n = line.size() / step;
    if (n > 0) {
        bool columnsBlank = true;
        for (std::size_t k = 1; k <= n && columnsBlank; ++k) columnsBlank = line[k * step - 1] == ' ';
        // Padded fields leave runs of blanks; a plain blank-separated line has none.
        if (columnsBlank && line.find("  ") != std::string_view::npos) return SeparatorMode::FixedWidth;
    }
    if (line.find(' ') != std::string_view::npos) return SeparatorMode::Blank;
    if (line.find('\t') != std::string_view::npos) return SeparatorMode::Tab;
    if (line.find(',') != std::string_view::npos) return SeparatorMode::Comma;
    if (line.find(';') != std::string_view::npos) return SeparatorMode::Semicolon;
    if (line.find('|') != std::string_view::npos) return SeparatorMode::Bar;
    return SeparatorMode::Blank;
}

SeparatorMode DetectDataSeparator(std::string_view line, int fixedFieldWidth) {
    const SeparatorMode mode = DetectSeparator(line, fixedFieldWidth);
    if (mode == SeparatorMode::Blank && line.find('\t') != std::string_view::npos) return SeparatorMode::Tab;
    return mode;
}

int SplitDataLine(std::string_view line, FieldArray& fields, int fixedFieldWidth, SeparatorMode* used) {
    const std::string_view body = WithoutComment(line);
    // Detected as SplitFields would: on the line without its comment and its trailing TABs.
    std::string_view values = body;
    while (!values.empty() && values.back() == '\t') values.remove_suffix(1);
    return SplitFields(body, fields, DetectDataSeparator(values, fixedFieldWidth), true, fixedFieldWidth, used);
}

char SeparatorChar(SeparatorMode mode) {
    switch (mode) {
        case SeparatorMode::Tab: return '\t';
        case SeparatorMode::Comma: return ',';
        case SeparatorMode::Semicolon: return ';';
        case SeparatorMode::Bar: return '|';
        default: return ' ';
    }
}

std::string JoinFields(std::string_view field, bool isLast, SeparatorMode outputMode, int fixedFieldWidth) {
    if (isLast) return std::string(field);
    std::string out(field);
    if (outputMode == SeparatorMode::FixedWidth) {
        const std::size_t width = FieldWidth(fixedFieldWidth);
        if (out.size() < width) out.append(width - out.size(), ' ');
        out += ' ';
    } else {
        // A mode outside the table would drop the separator and run fields together: use a blank.
        out += SeparatorChar(outputMode);
    }
    // Padding past a line is dropped; a long field is kept whole with its separator.
    if (out.size() > kLineMax) out.resize(std::max(kLineMax, field.size() + 1));
    return out;
}

}  // namespace qef
