#include "core/grid/ColumnSum.h"

#include <cmath>

#include "core/numeric/Numbers.h"
#include "core/text/NumberFormat.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"

namespace qef {

namespace {

// A column number of the dialog (from 1) as a grid column (from 0); -1 when it is none of the grid's.
int GridColumn(const std::string& text, const GridDocument& grid) {
    double value = 0.0;
    if (!TryParseReal(TrimBlanks(text), value) || value != std::floor(value)) return -1;
    if (value < 1 || value > grid.Columns()) return -1;
    return static_cast<int>(value) - 1;
}

}  // namespace

ColumnSumResult SumColumns(const GridDocument& grid, const ColumnSumRequest& request, int fixedFieldWidth) {
    ColumnSumResult result;
    FieldArray fields;
    const int count = SplitFields(request.Columns, fields, std::nullopt, false, fixedFieldWidth);
    if (count == 0) {
        result.Outcome = ColumnSumOutcome::NothingListed;
        return result;
    }
    std::vector<int> columns;
    for (int i = 1; i <= count; ++i) {
        const int column = GridColumn(fields[static_cast<std::size_t>(i)], grid);
        if (column < 0) {
            result.Outcome = ColumnSumOutcome::OutsideGrid;
            return result;
        }
        columns.push_back(column);
    }
    const int target = GridColumn(request.Target, grid);
    if (target < 0) {
        result.Outcome = ColumnSumOutcome::OutsideGrid;
        return result;
    }
    for (int row = 1; row <= grid.DataRowCount(); ++row) {
        std::string text;
        double sum = 0.0;
        for (int column : columns) {
            const std::string& cell = grid.Cell(row, column);
            if (request.Kind == ColumnSumKind::Text) {
                text += cell;
            } else {
                double value = 0.0;
                if (TryParseReal(TrimBlanks(cell), value)) sum += value;
            }
        }
        result.Edits.push_back({row, target, request.Kind == ColumnSumKind::Text ? text : FormatGeneral(sum)});
        if (!request.EmptySources) continue;
        for (int column : columns)
            if (column != target) result.Edits.push_back({row, column, std::string()});
    }
    return result;
}

}  // namespace qef
