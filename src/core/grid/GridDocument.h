#pragma once
// The grid document: a table of TCVN3 cells. Row 0 of the grid is its header ("1", "2" ...);
// data rows are numbered from 1, columns from 0. Only rows that were written hold storage, so a
// grid of tens of thousands of rows costs nothing until it is filled.
#include <optional>
#include <string>
#include <string_view>
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

// One cell of the grid: data row from 1, column from 0.
struct GridCell {
    int Row = 1;
    int Column = 0;
    bool operator==(const GridCell&) const = default;
};

enum class PasteResult { Pasted, NoBlock, Overlap, PastGridEdge };
enum class RowInsertResult { Inserted, BeyondData, GridFull };

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
    // lastColumn, each trimmed and kept whole, joined by the separator of `separatorMode`; ""
    // for a blank row.
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

    // A committed cell: the data row count takes in a non-empty cell below it. False when the
    // cell already held the text (or lies outside the grid).
    bool EnterText(int row, int column, std::string text);

    // Blank rows among the data only: nothing moves for a row past the data, nor when the last
    // data row would be pushed off the grid.
    RowInsertResult InsertDataRows(int row, int count);
    // One data row out; false past the data.
    bool DeleteDataRow(int row);

    // In every data row the cells from `column` move one right (the last column's are lost) or
    // the cells right of it one left.
    void InsertColumn(int column);
    void DeleteColumn(int column);
    // Whether a data row holds text in the last column (InsertColumn would lose it).
    bool LastColumnHoldsData() const;
    // One more than the rightmost column that holds text in any row; 0 for an empty grid.
    int ColumnsInUse() const;
    // New grid size; cells outside it are dropped, the data row count is cut to the rows.
    void Resize(int columns, int rows);

    // Copy and cut keep the block (clipped to the grid); Paste puts it with its top-left corner
    // at (row, column). A cut block is pasted once and then forgotten.
    void CopyBlock(const GridBlock& block);
    void CutBlock(const GridBlock& block);
    bool BlockCut() const { return blockCut_; }
    PasteResult PasteBlock(int row, int column);
    // Empties the block's cells; the kept block stays.
    void EmptyBlock(const GridBlock& block);
    // The block clipped to the grid, first and last put in order; nullopt when nothing is left.
    std::optional<GridBlock> ClipBlock(const GridBlock& block) const;

    // The first data cell from `from` on, along the row then down to the last data row, whose
    // whole text equals `text` case-blind (a..z). An empty text finds nothing.
    std::optional<GridCell> FindCell(std::string_view text, GridCell from) const;
    // The cell after `cell`: the next column, or column 0 of the next row.
    GridCell CellAfter(GridCell cell) const;

private:
    using CellRow = std::vector<std::string>;

    void DropBlankTail();

    int columns_;
    int rows_;
    int dataRowCount_ = 0;
    std::vector<CellRow> cells_;  // cells_[r - 1]: cells of grid row r, up to its last written one
    std::optional<GridBlock> keptBlock_;
    bool blockCut_ = false;
};

}  // namespace qef
