#pragma once
// Joining or summing grid columns into one column, row by row over the data rows.
#include <string>
#include <vector>

#include "core/grid/GridDocument.h"
#include "core/grid/ZeroOrientation.h"

namespace qef {

enum class ColumnSumKind { Text, Number };

struct ColumnSumRequest {
    std::string Columns;  // column numbers from 1, separated as in any data line
    std::string Target;   // one column number from 1
    ColumnSumKind Kind = ColumnSumKind::Text;
    bool EmptySources = true;  // the summed columns other than the target are emptied
};

enum class ColumnSumOutcome { Done, NothingListed, OutsideGrid };

struct ColumnSumResult {
    ColumnSumOutcome Outcome = ColumnSumOutcome::Done;
    std::vector<CellEdit> Edits;  // in row order; grid columns from 0
};

// Text: the listed cells joined in list order with nothing between. Number: their sum, a cell
// that is no number counting 0, in the general number form. Columns are checked against the grid
// before anything is computed.
ColumnSumResult SumColumns(const GridDocument& grid, const ColumnSumRequest& request, int fixedFieldWidth);

}  // namespace qef
