#pragma once
// How typing moves through the grid: the entry modes, the prefix of point numbers, and where
// Enter, Page Up and Page Down take the cursor.
#include <string>

#include "core/grid/GridDocument.h"

namespace qef {

// The entry modes of the grid's toolbar, in its order.
enum class EntryMode { Coordinates, Sides, Angles, AnglesSides, Staff, Free };

struct GridEntryState {
    // Enter wraps to the next row after this many columns.
    int GridEntryColumns = GridDocument::kDefaultColumns;
    // Leading columns that hold point numbers; 0 or less: none.
    int PointNumberColumns = 0;
    bool PrefixPointNumbers = false;
    std::string Prefix;  // TCVN3

    void SetMode(EntryMode mode);
};

// What a cell receives from the cell editor when the cursor leaves it: the prefix goes before a
// typed point number that lands in an empty cell, while prefixing is on.
std::string CommittedText(const GridEntryState& state, int column, const std::string& editorText,
                          const std::string& cellText);

// Enter: the next column up to the entry columns (and the grid's last), else column 0 of the next
// row; the last row of the grid keeps the cursor where it is.
GridCell EnterMove(GridCell at, int entryColumns, int columns, int rows);
// Page Up and Page Down by the rows that the view shows.
int PageUpRow(int row, int visibleRows);
int PageDownRow(int row, int visibleRows, int rows);

}  // namespace qef
