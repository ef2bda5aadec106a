#pragma once
// Rich text as the editor keeps it, read from and written to RTF. The reader covers what the
// writer writes and ordinary RTF: the font table with the fonts' encodings, bold, italic,
// underline, size, paragraphs with their alignment and tab stops, tables, page breaks, \'xx and
// \uN. Everything else (colours, styles, pictures, headers, footnotes) is passed over.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qef {

// How a font's 8-bit characters read: old Vietnamese fonts carry their own character set in
// their name. ".Vn..." fonts are TCVN3, and those ending in "H" draw every letter as a capital;
// "VNI-..." fonts are VNI. Any other font reads by its character set and the document's code
// page: Windows Western (1252) or Windows Vietnamese (1258).
enum class FontEncoding { Ansi, Tcvn3, Tcvn3Capitals, Vni, Windows1258 };
// By the name alone: Ansi for a font that is none of the old Vietnamese ones.
FontEncoding EncodingOfFont(std::string_view fontName);
// By the name, then the font table's \fcharset (-1 when absent) and \cpg (0 when absent), then
// the document's \ansicpg.
FontEncoding EncodingOfFont(std::string_view fontName, int charset, int fontCodePage, int documentCodePage);

enum class ParagraphAlignment { Left, Centre, Right, Justify };

struct RunFormat {
    std::string Font;     // face name
    int HalfPoints = 24;  // size in half points, as RTF counts it
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const RunFormat&) const = default;
};

// Text in UTF-8; "\t" a tab, U+2028 a line break inside the paragraph.
struct TextRun {
    std::string Text;
    RunFormat Format;
    bool operator==(const TextRun&) const = default;
};

struct RichParagraph {
    std::vector<TextRun> Runs;  // no empty run, no two neighbours of one format
    ParagraphAlignment Alignment = ParagraphAlignment::Left;
    bool PageBreakBefore = false;
    std::vector<int> TabStopsTwips;
    bool operator==(const RichParagraph&) const = default;
};

// A table cell holds at least one paragraph.
struct RichCell {
    std::vector<RichParagraph> Paragraphs;
    bool operator==(const RichCell&) const = default;
};

// One row of a table; neighbouring rows make one table.
struct RichRow {
    std::vector<RichCell> Cells;
    std::vector<int> CellRightsTwips;  // right edge of each cell from the row's left
    bool operator==(const RichRow&) const = default;
};

using RichBlock = std::variant<RichParagraph, RichRow>;

struct RichDocument {
    std::vector<RichBlock> Blocks;
    bool operator==(const RichDocument&) const = default;
};

// True when the bytes are RTF: they start with "{\rtf".
bool IsRtf(std::string_view bytes);
RichDocument ReadRtf(std::string_view rtf);
// Plain ASCII: characters outside it are written as \uN.
std::string WriteRtf(const RichDocument& doc);

// The text of the document: paragraphs and table rows on lines of their own, cells separated
// by a tab.
std::string PlainTextOf(const RichDocument& doc);

}  // namespace qef
