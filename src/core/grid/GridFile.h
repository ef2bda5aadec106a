#pragma once
// Grid data files: a line of the file is a row of the grid, its fields the row's cells from the
// left. One reader serves opening a file and reading one into the grid at a row; the writer
// builds the lines of the grid or of a block of it.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/grid/GridDocument.h"
#include "core/text/SeparatorMode.h"

namespace qef {

using GridFileRow = std::vector<std::string>;

// How lines are cut into fields: by one separator, or by the separator each line shows.
struct GridFileFormat {
    std::optional<SeparatorMode> Separator;  // unset: detected line by line
    int FixedFieldWidth = 10;
    int Columns = GridDocument::kDefaultColumns;  // fields past the last column are dropped
};

// A line's fields, not cut to any length. Delimited lines are trimmed and their runs of blanks
// made one first; fixed-width fields lose the padding on their right. A blank line has none.
GridFileRow SplitGridLine(std::string_view line, const GridFileFormat& format);

struct GridFileRead {
    bool Opened = false;
    std::vector<GridFileRow> Rows;  // one per line, blank lines included
};
// Reads a whole data file (LF, CR LF or a lone CR, as the editor breaks lines; a last line
// without its end, a trailing Ctrl-Z).
GridFileRead ReadGridFile(const std::string& path, const GridFileFormat& format);

// How many rows inserted at `row` the grid can take without pushing data rows off its end.
long long RoomForRows(const GridDocument& doc, int row);

// Empties the grid and fills it with the rows; DataRowCount becomes their number. The caller has
// made sure they fit.
void LoadGridRows(GridDocument& doc, const std::vector<GridFileRow>& rows);
// Inserts the rows before `row`, the rows below moving down; DataRowCount grows to cover them.
void InsertGridRows(GridDocument& doc, int row, const std::vector<GridFileRow>& rows);

// The file text of rows firstRow..lastRow, columns of `block` only, each line ended by CR LF.
std::string GridFileText(const GridDocument& doc, const GridBlock& block, SeparatorMode separator,
                         int fixedFieldWidth);
// The whole data of the grid: rows 1 .. DataRowCount, every column.
std::string GridFileText(const GridDocument& doc, SeparatorMode separator, int fixedFieldWidth);

// Cells longer than the lines the computations read (255 characters): they are written whole,
// and the user is told. Count is 0 when there is none; First is the first row by row.
struct LongCells {
    int Count = 0;
    GridCell First;
    std::size_t Length = 0;  // of the first
};
LongCells CellsPastLineLimit(const GridDocument& doc, const GridBlock& block);
LongCells CellsPastLineLimit(const GridDocument& doc);

}  // namespace qef
