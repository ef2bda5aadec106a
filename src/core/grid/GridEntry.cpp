#include "core/grid/GridEntry.h"

#include <algorithm>

namespace qef {

void GridEntryState::SetMode(EntryMode mode) {
    struct Columns {
        int entry;
        int pointNumbers;
    };
    static constexpr Columns kModes[] = {{3, 1}, {3, 2}, {4, 3}, {5, 3}, {3, -1}, {8, 0}};
    const Columns& c = kModes[static_cast<int>(mode)];
    GridEntryColumns = c.entry;
    PointNumberColumns = c.pointNumbers;
}

std::string CommittedText(const GridEntryState& state, int column, const std::string& editorText,
                          const std::string& cellText) {
    if (state.PrefixPointNumbers && column < state.PointNumberColumns && !editorText.empty() && cellText.empty())
        return state.Prefix + editorText;
    return editorText;
}

GridCell EnterMove(GridCell at, int entryColumns, int columns, int rows) {
    const int lastEntryColumn = std::min(entryColumns, columns) - 1;
    if (at.Column < lastEntryColumn) return {at.Row, at.Column + 1};
    if (at.Row < rows) return {at.Row + 1, 0};
    return at;
}

int PageUpRow(int row, int visibleRows) { return visibleRows >= row ? 1 : row - visibleRows + 1; }

// The grid's row count counts its header row too, hence the one more.
int PageDownRow(int row, int visibleRows, int rows) {
    return visibleRows >= rows + 1 - row ? rows : row + visibleRows - 1;
}

}  // namespace qef
