#include "core/grid/GridFile.h"

#include <algorithm>

#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"

namespace qef {

namespace {

void AddField(GridFileRow& row, std::string_view field, int columns) {
    if (static_cast<int>(row.size()) < columns) row.emplace_back(field);
}

// Fields of `width` characters, each followed by one separator column. A field the writer could
// not fit runs on past its column up to the next blank. The padding is not part of a cell.
void SplitFixed(std::string_view line, int width, int columns, GridFileRow& row) {
    const std::size_t w = width < 1 ? 1 : static_cast<std::size_t>(width);
    std::size_t at = 0;
    while (at < line.size() && static_cast<int>(row.size()) < columns) {
        std::size_t end = std::min(line.size(), at + w);
        if (end < line.size() && line[end] != ' ') end = std::min(line.size(), line.find(' ', end));
        std::string_view piece = line.substr(at, end - at);
        while (!piece.empty() && piece.back() == ' ') piece.remove_suffix(1);
        AddField(row, piece, columns);
        at = end + 1;
    }
}

}  // namespace

GridFileRow SplitGridLine(std::string_view line, const GridFileFormat& format) {
    GridFileRow row;
    while (!line.empty() && line.back() == '\t') line.remove_suffix(1);
    const std::string collapsed = CollapseBlanks(line);
    if (collapsed.empty()) return row;
    const SeparatorMode mode = format.Separator ? *format.Separator : DetectSeparator(line, format.FixedFieldWidth);
    if (mode == SeparatorMode::FixedWidth) {
        SplitFixed(line, format.FixedFieldWidth, format.Columns, row);
        // A line of padding only would leave one blank field: the row is blank.
        if (std::all_of(row.begin(), row.end(), [](const std::string& f) { return f.empty(); })) row.clear();
        return row;
    }
    const char separator = SeparatorChar(mode);
    std::string_view text = collapsed;
    for (;;) {
        const std::size_t p = text.find(separator);
        AddField(row, text.substr(0, p), format.Columns);
        if (p == std::string_view::npos) break;
        text.remove_prefix(p + 1);
    }
    return row;
}

GridFileRead ReadGridFile(const std::string& path, const GridFileFormat& format) {
    GridFileRead read;
    LineReader reader(path);
    read.Opened = reader.IsOpen();
    std::string line;
    while (reader.Next(line)) {
        // Editors of other systems put a byte-order mark before UTF-8 text; it is no part of a cell.
        if (reader.LineNumber() == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
        // A CR left inside the line ends a line too (CR CR LF is two line ends, as in the editor).
        std::string_view rest = line;
        for (std::size_t cr = rest.find('\r'); cr != std::string_view::npos; cr = rest.find('\r')) {
            read.Rows.push_back(SplitGridLine(rest.substr(0, cr), format));
            rest.remove_prefix(cr + 1);
        }
        read.Rows.push_back(SplitGridLine(rest, format));
    }
    return read;
}

long long RoomForRows(const GridDocument& doc, int row) {
    const long long below = std::max<long long>(doc.DataRowCount(), static_cast<long long>(row) - 1);
    return std::max<long long>(0, doc.Rows() - below);
}

void LoadGridRows(GridDocument& doc, const std::vector<GridFileRow>& rows) {
    doc.Clear();
    InsertGridRows(doc, 1, rows);
}

void InsertGridRows(GridDocument& doc, int row, const std::vector<GridFileRow>& rows) {
    if (rows.empty()) return;
    const int count = static_cast<int>(rows.size());
    doc.InsertRows(row, count);
    for (int i = 0; i < count; ++i) {
        const GridFileRow& fields = rows[static_cast<std::size_t>(i)];
        for (std::size_t c = 0; c < fields.size(); ++c) doc.SetCell(row + i, static_cast<int>(c), fields[c]);
    }
    doc.SetDataRowCount(std::max(doc.DataRowCount(), std::min(row + count - 1, doc.Rows())));
}

std::string GridFileText(const GridDocument& doc, const GridBlock& block, SeparatorMode separator,
                         int fixedFieldWidth) {
    std::string text;
    for (int row = block.FirstRow; row <= block.LastRow; ++row) {
        text += doc.DataLine(row, block.FirstColumn, block.LastColumn, separator, fixedFieldWidth);
        text += "\r\n";
    }
    return text;
}

std::string GridFileText(const GridDocument& doc, SeparatorMode separator, int fixedFieldWidth) {
    return GridFileText(doc, GridBlock{1, doc.DataRowCount(), 0, doc.Columns() - 1}, separator, fixedFieldWidth);
}

LongCells CellsPastLineLimit(const GridDocument& doc, const GridBlock& block) {
    LongCells found;
    for (int row = block.FirstRow; row <= block.LastRow; ++row)
        for (int column = block.FirstColumn; column <= block.LastColumn; ++column) {
            const std::string& cell = doc.Cell(row, column);
            if (cell.size() <= kShortStringMax) continue;
            const std::size_t length = TrimBlanks(cell).size();
            if (length <= kShortStringMax) continue;
            if (found.Count++ == 0) {
                found.First = {row, column};
                found.Length = length;
            }
        }
    return found;
}

LongCells CellsPastLineLimit(const GridDocument& doc) {
    return CellsPastLineLimit(doc, GridBlock{1, doc.DataRowCount(), 0, doc.Columns() - 1});
}

}  // namespace qef
