#include "core/text/Rtf.h"

#include <array>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "core/text/VnCodec.h"

namespace qef {

namespace {

constexpr char32_t kLineBreak = 0x2028;

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

// Windows code page 1252: Latin-1 with printable characters in 0x80..0x9F.
char32_t Cp1252(unsigned char b) {
    static constexpr std::array<char32_t, 32> kHigh = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    return b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b;
}

// Windows code page 1258: 1252 with the Vietnamese capitals and small letters Ă Đ Ơ Ư ă đ ơ ư,
// the dong sign and five combining tone marks in place of some Latin-1 letters.
char32_t Cp1258(unsigned char b) {
    static constexpr std::pair<unsigned char, char32_t> kVietnamese[] = {
        {0xC3, 0x0102}, {0xCC, 0x0300 /* grave */}, {0xD0, 0x0110}, {0xD2, 0x0309 /* hook above */},
        {0xD5, 0x01A0}, {0xDD, 0x01AF}, {0xDE, 0x0303 /* tilde */}, {0xE3, 0x0103},
        {0xEC, 0x0301 /* acute */}, {0xF0, 0x0111}, {0xF2, 0x0323 /* dot below */}, {0xF5, 0x01A1},
        {0xFD, 0x01B0}, {0xFE, 0x20AB}};
    if (b == 0x8A || b == 0x8E || b == 0x9A || b == 0x9E) return b;  // undefined in 1258
    for (const auto& [byte, letter] : kVietnamese)
        if (byte == b) return letter;
    return Cp1252(b);
}

// A byte that TCVN3 leaves undefined is drawn by the .Vn fonts with its Windows glyph: the
// field books write "t \'ba" for the temperature's "tº".
std::string Tcvn3FontText(std::string_view bytes) {
    std::string out;
    for (char b : bytes) {
        const std::string letter = Tcvn3ToUtf8(std::string_view(&b, 1));
        std::size_t pos = 0;
        const char32_t c = NextUtf8(letter, pos);
        if (c >= 0xE000 && c <= 0xF8FF)
            AppendUtf8(out, Cp1252(static_cast<unsigned char>(b)));
        else
            out += letter;
    }
    return out;
}

std::string ByTable(std::string_view bytes, char32_t (*table)(unsigned char)) {
    std::string out;
    for (char b : bytes) AppendUtf8(out, table(static_cast<unsigned char>(b)));
    return out;
}

std::string DecodeBytes(std::string_view bytes, FontEncoding encoding) {
    switch (encoding) {
        case FontEncoding::Tcvn3: return Tcvn3FontText(bytes);
        case FontEncoding::Tcvn3Capitals: return UpperVietnamese(Tcvn3FontText(bytes));
        case FontEncoding::Vni: return VniToUtf8(bytes);
        // Letters and their tone marks come as separate bytes; the editor shows them as one.
        case FontEncoding::Windows1258: return ComposeVietnamese(ByTable(bytes, Cp1258));
        case FontEncoding::Ansi: break;
    }
    return ByTable(bytes, Cp1252);
}

// \uN takes a signed 16-bit number; anything else is not a character.
char32_t UnicodeUnit(int value) {
    if (value < -32768 || value > 65535) return 0xFFFD;
    return static_cast<char32_t>(value < 0 ? value + 65536 : value);
}

void AppendRun(RichParagraph& paragraph, const RunFormat& format, std::string text) {
    if (text.empty()) return;
    if (!paragraph.Runs.empty() && paragraph.Runs.back().Format == format)
        paragraph.Runs.back().Text += text;
    else
        paragraph.Runs.push_back(TextRun{std::move(text), format});
}

// Groups whose content is not text of the document.
bool IsSkippedDestination(std::string_view word) {
    static const std::set<std::string_view> kSkipped = {
        "colortbl", "stylesheet", "info", "pict", "header", "headerl", "headerr", "headerf", "footer",
        "footerl", "footerr", "footerf", "footnote", "object", "filetbl", "revtbl", "listtable",
        "listoverridetable", "themedata", "colorschememapping", "latentstyles", "datastore", "xmlnstbl",
        "rsidtbl", "generator", "userprops", "docvar", "nonshppict", "fldinst"};
    return kSkipped.count(word) > 0;
}

// Control words that stand for one character.
std::optional<char32_t> SpecialCharacter(std::string_view word) {
    static constexpr std::pair<std::string_view, char32_t> kCharacters[] = {
        {"tab", U'\t'},       {"line", kLineBreak},    {"lquote", 0x2018},
        {"rquote", 0x2019},  {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"bullet", 0x2022},  {"endash", 0x2013},    {"emdash", 0x2014}};
    for (const auto& [name, c] : kCharacters)
        if (name == word) return c;
    return std::nullopt;
}

std::optional<ParagraphAlignment> AlignmentWord(std::string_view word) {
    static constexpr std::pair<std::string_view, ParagraphAlignment> kAlignments[] = {
        {"ql", ParagraphAlignment::Left},
        {"qc", ParagraphAlignment::Centre},
        {"qr", ParagraphAlignment::Right},
        {"qj", ParagraphAlignment::Justify}};
    for (const auto& [name, alignment] : kAlignments)
        if (name == word) return alignment;
    return std::nullopt;
}

enum class Destination { Body, FontTable, Skipped };

// What a group sets; a closing brace restores the state of the enclosing group.
struct GroupState {
    Destination Dest = Destination::Body;
    int Font = -1;  // -1: the document's default font
    int HalfPoints = 24;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int UnicodeSkip = 1;
    ParagraphAlignment Alignment = ParagraphAlignment::Left;
    std::vector<int> Tabs;
    bool InTable = false;
    bool PageBreakBefore = false;
};

class RtfReader {
public:
    explicit RtfReader(std::string_view rtf) : in_(rtf) {}

    RichDocument Read() {
        while (pos_ < in_.size()) {
            const char c = in_[pos_++];
            if (c == '{') {
                Flush();
                stack_.push_back(state_);
                fallbackLeft_ = 0;
            } else if (c == '}') {
                Flush();
                EndFontName(false);
                if (stack_.empty()) break;  // the end of the document
                state_ = stack_.back();
                stack_.pop_back();
                fallbackLeft_ = 0;
            } else if (c == '\\') {
                ControlWord();
            } else if (c == '\r' || c == '\n') {
                continue;
            } else if (c == '\t') {
                Code(U'\t');
            } else {
                Byte(static_cast<unsigned char>(c));
            }
        }
        Flush();
        if (!paragraph_.Runs.empty()) EndParagraph(state_.InTable);
        if (!cell_.Paragraphs.empty()) row_.Cells.push_back(std::move(cell_));
        if (!row_.Cells.empty()) EndRow();
        return std::move(doc_);
    }

private:
    // ------------------------------------------------------------------ text

    // The character format by font number: cheap to compare for every byte.
    struct CharKey {
        int Font = 0;
        int HalfPoints = 24;
        bool Bold = false;
        bool Italic = false;
        bool Underline = false;
        bool operator==(const CharKey&) const = default;
    };
    CharKey CurrentKey() const {
        return {state_.Font < 0 ? defaultFont_ : state_.Font, state_.HalfPoints, state_.Bold, state_.Italic,
                state_.Underline};
    }
    RunFormat FormatOf(const CharKey& key) const {
        return RunFormat{FontName(key.Font), key.HalfPoints, key.Bold, key.Italic, key.Underline};
    }
    RunFormat CurrentFormat() const { return FormatOf(CurrentKey()); }
    std::string FontName(int number) const {
        const auto it = fonts_.find(number);
        return it == fonts_.end() ? std::string() : it->second.Name;
    }
    FontEncoding EncodingOfNumber(int number) const {
        const auto it = fonts_.find(number);
        if (it == fonts_.end()) return EncodingOfFont(std::string_view(), -1, 0, codePage_);
        return EncodingOfFont(it->second.Name, it->second.Charset, it->second.CodePage, codePage_);
    }

    // A byte in the current font's encoding; bytes are decoded together so that VNI's letter and
    // mark bytes meet.
    void Byte(unsigned char b) {
        if (fallbackLeft_ > 0) {
            --fallbackLeft_;
            return;
        }
        if (state_.Dest == Destination::FontTable) {
            if (b == ';')
                EndFontName(true);
            else
                AppendUtf8(fontName_, Cp1252(b));
            return;
        }
        if (state_.Dest != Destination::Body) return;
        const CharKey key = CurrentKey();
        if (!pending_.empty() && !(key == pendingKey_)) Flush();
        pendingKey_ = key;
        pending_ += static_cast<char>(b);
    }

    void Code(char32_t c) {
        if (state_.Dest != Destination::Body) return;
        Flush();
        std::string text;
        AppendUtf8(text, c);
        const RunFormat format = CurrentFormat();
        if (EncodingOfFont(format.Font) == FontEncoding::Tcvn3Capitals) text = UpperVietnamese(text);
        AppendRun(paragraph_, format, std::move(text));
    }

    void Flush() {
        if (pending_.empty()) return;
        const RunFormat format = FormatOf(pendingKey_);
        AppendRun(paragraph_, format, DecodeBytes(pending_, EncodingOfNumber(pendingKey_.Font)));
        pending_.clear();
    }

    void EndFontName(bool complete) {
        if (state_.Dest != Destination::FontTable || fontEntry_ < 0) return;
        std::string_view name = fontName_;
        while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
        if (complete || !name.empty()) fonts_[fontEntry_].Name = std::string(name);
        fontName_.clear();
        if (complete) fontEntry_ = -1;
    }

    // ------------------------------------------------------------------ structure

    void EndParagraph(bool inTable) {
        Flush();
        paragraph_.Alignment = state_.Alignment;
        paragraph_.TabStopsTwips = state_.Tabs;
        paragraph_.PageBreakBefore = state_.PageBreakBefore || pageBreakNext_;
        pageBreakNext_ = false;
        if (inTable) {
            cell_.Paragraphs.push_back(std::move(paragraph_));
        } else {
            if (!row_.Cells.empty()) EndRow();
            doc_.Blocks.emplace_back(std::move(paragraph_));
        }
        paragraph_ = RichParagraph{};
    }

    void EndRow() {
        row_.CellRightsTwips = rowRights_;
        doc_.Blocks.emplace_back(std::move(row_));
        row_ = RichRow{};
    }

    // ------------------------------------------------------------------ control words

    void ControlWord() {
        if (pos_ >= in_.size()) return;
        const char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            Symbol(c);
            return;
        }
        const std::size_t start = pos_;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_]))) ++pos_;
        const std::string_view word = in_.substr(start, pos_ - start);
        bool hasValue = false;
        int value = 0;
        if (pos_ < in_.size() && (in_[pos_] == '-' || std::isdigit(static_cast<unsigned char>(in_[pos_])))) {
            const char* first = in_.data() + pos_;
            const auto [end, ec] = std::from_chars(first, in_.data() + in_.size(), value);
            hasValue = ec == std::errc();
            // Skip the digits even when the number is out of range.
            std::size_t p = pos_ + 1;
            while (p < in_.size() && std::isdigit(static_cast<unsigned char>(in_[p]))) ++p;
            pos_ = hasValue ? static_cast<std::size_t>(end - in_.data()) : p;
        }
        if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
        Word(word, hasValue, value);
    }

    void Symbol(char c) {
        switch (c) {
            case '\'': {
                if (pos_ + 2 > in_.size()) {
                    pos_ = in_.size();  // cut off at the end
                    return;
                }
                unsigned int b = 0;
                const auto [end, ec] = std::from_chars(in_.data() + pos_, in_.data() + pos_ + 2, b, 16);
                if (ec != std::errc() || end != in_.data() + pos_ + 2) return;
                pos_ += 2;
                Byte(static_cast<unsigned char>(b));
                return;
            }
            case '\\':
            case '{':
            case '}': Byte(static_cast<unsigned char>(c)); return;
            case '~': Code(0x00A0); return;
            case '_': Code(0x2011); return;
            case '*': state_.Dest = Destination::Skipped; return;
            case '\r':
            case '\n': Word("par", false, 0); return;
            default: return;  // optional hyphen, index entries
        }
    }

    void Word(std::string_view word, bool hasValue, int value) {
        if (word == "bin") {
            pos_ = std::min(in_.size(), pos_ + static_cast<std::size_t>(std::max(0, value)));
            return;
        }
        if (state_.Dest == Destination::Skipped) return;
        if (word == "fonttbl") {
            state_.Dest = Destination::FontTable;
            return;
        }
        if (IsSkippedDestination(word)) {
            state_.Dest = Destination::Skipped;
            return;
        }
        if (state_.Dest == Destination::FontTable) {
            FontTableWord(word, hasValue, value);
            return;
        }
        if (fallbackLeft_ > 0 && word != "u") fallbackLeft_ = 0;
        if (const std::optional<char32_t> c = SpecialCharacter(word)) {
            Code(*c);
            return;
        }
        if (const std::optional<ParagraphAlignment> alignment = AlignmentWord(word)) {
            state_.Alignment = *alignment;
            return;
        }
        if (CharacterWord(word, hasValue, value)) return;
        if (ParagraphWord(word, hasValue, value)) return;
        TableWord(word, hasValue, value);
    }

    // Inside the font table only a font's number and the Unicode letters of its name count.
    void FontTableWord(std::string_view word, bool hasValue, int value) {
        if (word == "f" && hasValue) {
            fontEntry_ = value;
            fontName_.clear();
            fonts_[fontEntry_] = FontEntry{};
        } else if (word == "fcharset" && hasValue && fontEntry_ >= 0) {
            fonts_[fontEntry_].Charset = value;
        } else if (word == "cpg" && hasValue && fontEntry_ >= 0) {
            fonts_[fontEntry_].CodePage = value;
        } else if (word == "u" && hasValue) {
            const char32_t unit = UnicodeUnit(value);
            AppendUtf8(fontName_, unit >= 0xD800 && unit <= 0xDFFF ? 0xFFFD : unit);
            fallbackLeft_ = state_.UnicodeSkip;
        }
    }

    // Fonts, sizes, styles and the Unicode letters; false for any other word.
    bool CharacterWord(std::string_view word, bool hasValue, int value) {
        const bool on = !hasValue || value != 0;
        if (word == "u" && hasValue) {
            Unicode(value);
        } else if (word == "uc" && hasValue) {
            state_.UnicodeSkip = std::max(0, value);
        } else if (word == "ansicpg" && hasValue) {
            codePage_ = value;
        } else if (word == "deff" && hasValue) {
            defaultFont_ = value;
        } else if (word == "f" && hasValue) {
            state_.Font = value;
        } else if (word == "fs" && hasValue) {
            state_.HalfPoints = value;
        } else if (word == "b") {
            state_.Bold = on;
        } else if (word == "i") {
            state_.Italic = on;
        } else if (word == "ul") {
            state_.Underline = on;
        } else if (word == "ulnone") {
            state_.Underline = false;
        } else if (word == "plain") {
            state_.Font = defaultFont_;
            state_.HalfPoints = 24;
            state_.Bold = state_.Italic = state_.Underline = false;
        } else {
            return false;
        }
        return true;
    }

    // False for a word that is no paragraph word.
    bool ParagraphWord(std::string_view word, bool hasValue, int value) {
        if (word == "pard") {
            state_.Alignment = ParagraphAlignment::Left;
            state_.Tabs.clear();
            state_.InTable = false;
            state_.PageBreakBefore = false;
        } else if (word == "tx" && hasValue) {
            state_.Tabs.push_back(value);
        } else if (word == "intbl") {
            state_.InTable = true;
        } else if (word == "pagebb") {
            state_.PageBreakBefore = !hasValue || value != 0;
        } else if (word == "par") {
            EndParagraph(state_.InTable);
        } else if (word == "page") {
            Flush();
            if (!paragraph_.Runs.empty()) EndParagraph(state_.InTable);
            pageBreakNext_ = true;
        } else {
            return false;
        }
        return true;
    }

    void TableWord(std::string_view word, bool hasValue, int value) {
        if (word == "cell") {
            EndParagraph(true);
            row_.Cells.push_back(std::move(cell_));
            cell_ = RichCell{};
        } else if (word == "row") {
            if (!cell_.Paragraphs.empty()) {
                row_.Cells.push_back(std::move(cell_));
                cell_ = RichCell{};
            }
            EndRow();
        } else if (word == "trowd") {
            rowRights_.clear();
        } else if (word == "cellx" && hasValue) {
            rowRights_.push_back(value);
        }
    }

    void Unicode(int value) {
        const char32_t unit = UnicodeUnit(value);
        fallbackLeft_ = 0;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            highSurrogate_ = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (highSurrogate_ != 0) Code(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
            highSurrogate_ = 0;
        } else {
            highSurrogate_ = 0;
            Code(unit);
        }
        fallbackLeft_ = state_.UnicodeSkip;
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    GroupState state_;
    std::vector<GroupState> stack_;
    struct FontEntry {
        std::string Name;
        int Charset = -1;
        int CodePage = 0;
    };
    std::map<int, FontEntry> fonts_;
    int codePage_ = 1252;
    int defaultFont_ = 0;
    int fontEntry_ = -1;
    std::string fontName_;

    RichDocument doc_;
    RichParagraph paragraph_;
    RichCell cell_;
    RichRow row_;
    std::vector<int> rowRights_;
    bool pageBreakNext_ = false;
    std::string pending_;
    CharKey pendingKey_;
    int fallbackLeft_ = 0;
    char32_t highSurrogate_ = 0;
};

// ---------------------------------------------------------------------- writing

void WriteUnicodeUnit(std::string& out, char32_t unit) {
    out += "\\u" + std::to_string(unit >= 0x8000 ? static_cast<int>(unit) - 65536 : static_cast<int>(unit)) + "?";
}

void WriteText(std::string& out, std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = NextUtf8(utf8, pos);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == kLineBreak) {
            out += "\\line ";
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {
            WriteUnicodeUnit(out, 0xD800 + ((c - 0x10000) >> 10));
            WriteUnicodeUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            WriteUnicodeUnit(out, c);
        }
    }
}

class RtfWriter {
public:
    std::string Write(const RichDocument& doc) {
        for (const RichBlock& block : doc.Blocks) {
            if (const auto* p = std::get_if<RichParagraph>(&block)) {
                Paragraph(*p, false, "\\par");
            } else {
                const auto& row = std::get<RichRow>(block);
                body_ += "\\trowd";
                for (int right : row.CellRightsTwips) body_ += "\\cellx" + std::to_string(right);
                body_ += "\n";
                for (const RichCell& cell : row.Cells)
                    for (std::size_t i = 0; i < cell.Paragraphs.size(); ++i)
                        Paragraph(cell.Paragraphs[i], true, i + 1 == cell.Paragraphs.size() ? "\\cell" : "\\par");
                body_ += "\\row\n";
            }
        }
        std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
            WriteText(out, fonts_[i]);
            out += ";}";
        }
        out += "}\n" + body_ + "}\n";
        return out;
    }

private:
    int FontNumber(const std::string& name) {
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i] == name) return static_cast<int>(i);
        fonts_.push_back(name);
        return static_cast<int>(fonts_.size()) - 1;
    }

    void Paragraph(const RichParagraph& p, bool inTable, const char* end) {
        if (p.PageBreakBefore) body_ += "\\page\n";
        body_ += "\\pard\\plain";
        if (inTable) body_ += "\\intbl";
        switch (p.Alignment) {
            case ParagraphAlignment::Left: break;
            case ParagraphAlignment::Centre: body_ += "\\qc"; break;
            case ParagraphAlignment::Right: body_ += "\\qr"; break;
            case ParagraphAlignment::Justify: body_ += "\\qj"; break;
        }
        for (int tab : p.TabStopsTwips) body_ += "\\tx" + std::to_string(tab);
        body_ += ' ';
        for (const TextRun& run : p.Runs) {
            if (run.Text.empty()) continue;
            body_ += "{\\f" + std::to_string(FontNumber(run.Format.Font)) + "\\fs" +
                     std::to_string(run.Format.HalfPoints);
            if (run.Format.Bold) body_ += "\\b";
            if (run.Format.Italic) body_ += "\\i";
            if (run.Format.Underline) body_ += "\\ul";
            body_ += ' ';
            WriteText(body_, run.Text);
            body_ += '}';
        }
        body_ += end;
        body_ += '\n';
    }

    std::vector<std::string> fonts_;
    std::string body_;
};

std::string ParagraphText(const RichParagraph& p) {
    std::string text;
    for (const TextRun& run : p.Runs) text += run.Text;
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t c = NextUtf8(text, pos);
        AppendUtf8(out, c == kLineBreak ? U'\n' : c);
    }
    return out;
}

}  // namespace

FontEncoding EncodingOfFont(std::string_view fontName) {
    if (StartsWithNoCase(fontName, ".Vn")) {
        return !fontName.empty() && fontName.back() == 'H' ? FontEncoding::Tcvn3Capitals
                                                                                       : FontEncoding::Tcvn3;
    }
    if (StartsWithNoCase(fontName, "VNI-")) return FontEncoding::Vni;
    return FontEncoding::Ansi;
}

FontEncoding EncodingOfFont(std::string_view fontName, int charset, int fontCodePage, int documentCodePage) {
    const FontEncoding byName = EncodingOfFont(fontName);
    if (byName != FontEncoding::Ansi) return byName;
    if (fontCodePage == 1258) return FontEncoding::Windows1258;
    if (fontCodePage != 0) return FontEncoding::Ansi;
    // 163 is Vietnamese, 1 "the default": the document's code page; every other set reads as
    // Western, the only other table here.
    if (charset == 163) return FontEncoding::Windows1258;
    if (charset == -1 || charset == 1)
        return documentCodePage == 1258 ? FontEncoding::Windows1258 : FontEncoding::Ansi;
    return FontEncoding::Ansi;
}

bool IsRtf(std::string_view bytes) { return bytes.substr(0, 5) == "{\\rtf"; }

RichDocument ReadRtf(std::string_view rtf) {
    // The document is the first group; what precedes it is not RTF.
    const std::size_t start = rtf.find('{');
    if (start == std::string_view::npos) return {};
    return RtfReader(rtf.substr(start + 1)).Read();
}

std::string WriteRtf(const RichDocument& doc) { return RtfWriter().Write(doc); }

std::string PlainTextOf(const RichDocument& doc) {
    std::string out;
    for (const RichBlock& block : doc.Blocks) {
        if (const auto* p = std::get_if<RichParagraph>(&block)) {
            out += ParagraphText(*p);
        } else {
            const auto& row = std::get<RichRow>(block);
            for (std::size_t c = 0; c < row.Cells.size(); ++c) {
                if (c > 0) out += '\t';
                for (std::size_t i = 0; i < row.Cells[c].Paragraphs.size(); ++i) {
                    if (i > 0) out += ' ';
                    out += ParagraphText(row.Cells[c].Paragraphs[i]);
                }
            }
        }
        out += '\n';
    }
    return out;
}

}  // namespace qef
