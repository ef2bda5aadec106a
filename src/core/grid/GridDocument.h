#pragma once
// The grid document: a table of TCVN3 cells. Row 0 of the grid is its header ("1", "2" ...);
// data rows are numbered from 1, columns from 0. Only rows that were written hold storage, so a
// grid of tens of thousands of rows costs nothing until it is filled.
#include <optional>
#include <string>
#include <vector>

#include "core/text/SeparatorMode.h"

namespace qef {

// A rectangle of grid rows and columns, bounds included.
struct GridBlock {
    int FirstRow = 1;
    int LastRow = 1;
    int FirstColumn = 0;
    int LastColumn = 0;
};

class GridDocument {
public:
    static constexpr int kDefaultColumns = 15;
    static constexpr int kDefaultRows = 60000;

    explicit GridDocument(int columns = kDefaultColumns, int rows = kDefaultRows);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }

    // Outside the grid a cell reads "" and a write is ignored (SetCell returns false).
    const std::string& Cell(int row, int column) const;
    bool SetCell(int row, int column, std::string text);

    // Number of data rows in use (rows 1 to DataRowCount).
    int DataRowCount() const { return dataRowCount_; }
    void SetDataRowCount(int count) { dataRowCount_ = count; }

    // A row as a data-file line: the cells from firstColumn to the last non-blank one up to
    // lastColumn, each trimmed, joined by the separator of `separatorMode`; "" for a blank row.
    std::string DataLine(int row, int firstColumn, int lastColumn, SeparatorMode separatorMode,
                         int fixedFieldWidth) const;

    // Empties every cell; DataRowCount becomes 0. The kept block stays as it was.
    void Clear();

    // Inserts `count` blank rows before `row`; the rows below move down and those pushed past
    // the last row are lost. Rows inserted among the data rows add to DataRowCount.
    void InsertRows(int row, int count);
    // Deletes rows row .. row + count - 1; the rows below move up and blank rows fill the end.
    // Deleted data rows leave DataRowCount.
    void DeleteRows(int row, int count);

    // The block that block commands act on, when one is kept.
    const std::optional<GridBlock>& KeptBlock() const { return keptBlock_; }
    void KeepBlock(const GridBlock& block) { keptBlock_ = block; }
    void ClearKeptBlock() { keptBlock_.reset(); }

private:
    using CellRow = std::vector<std::string>;

    void DropBlankTail();

    int columns_;
    int rows_;
    int dataRowCount_ = 0;
    std::vector<CellRow> cells_;  // cells_[r - 1]: cells of grid row r, up to its last written one
    std::optional<GridBlock> keptBlock_;
};

}  // namespace qef
