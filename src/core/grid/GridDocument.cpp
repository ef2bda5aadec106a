#include "core/grid/GridDocument.h"

#include <algorithm>
#include <cstdint>

#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"

namespace qef {

namespace {

const std::string kEmptyCell;

bool IsBlank(const std::vector<std::string>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](const std::string& cell) { return cell.empty(); });
}

// Rows row .. row + count - 1 clipped to the grid's rows; 0 when nothing is left.
int RowsInGrid(int row, int count, int rows) {
    if (row < 1 || row > rows || count <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(count, std::int64_t{rows} - row + 1));
}

}  // namespace

GridDocument::GridDocument(int columns, int rows) : columns_(columns), rows_(rows) {}

const std::string& GridDocument::Cell(int row, int column) const {
    if (row < 1 || column < 0 || static_cast<std::size_t>(row) > cells_.size()) return kEmptyCell;
    const CellRow& cells = cells_[static_cast<std::size_t>(row) - 1];
    if (static_cast<std::size_t>(column) >= cells.size()) return kEmptyCell;
    return cells[static_cast<std::size_t>(column)];
}

bool GridDocument::SetCell(int row, int column, std::string text) {
    if (row < 1 || row > rows_ || column < 0 || column >= columns_) return false;
    const auto r = static_cast<std::size_t>(row) - 1;
    const auto c = static_cast<std::size_t>(column);
    // A blank written past the stored cells changes nothing and must not allocate.
    if (r >= cells_.size()) {
        if (text.empty()) return true;
        cells_.resize(r + 1);
    }
    CellRow& cells = cells_[r];
    if (c >= cells.size()) {
        if (text.empty()) return true;
        cells.resize(c + 1);
    }
    cells[c] = std::move(text);
    return true;
}

std::string GridDocument::DataLine(int row, int firstColumn, int lastColumn, SeparatorMode separatorMode,
                                   int fixedFieldWidth) const {
    std::vector<std::string> cells;
    int last = -1;
    for (int c = firstColumn; c <= lastColumn; ++c) {
        std::string cell = TrimBlanks(Cell(row, c));
        if (cell.size() > kShortStringMax) cell.resize(kShortStringMax);
        if (!cell.empty()) last = c - firstColumn;
        cells.push_back(std::move(cell));
    }
    std::string line;
    for (int i = 0; i <= last; ++i) line += JoinFields(cells[i], i == last, separatorMode, fixedFieldWidth);
    return line;
}

void GridDocument::Clear() {
    cells_.clear();
    dataRowCount_ = 0;
}

void GridDocument::InsertRows(int row, int count) {
    count = RowsInGrid(row, count, rows_);
    if (count == 0) return;
    if (row <= dataRowCount_)
        dataRowCount_ = static_cast<int>(std::min<std::int64_t>(std::int64_t{dataRowCount_} + count, rows_));
    const auto at = static_cast<std::size_t>(row) - 1;
    if (at >= cells_.size()) return;  // nothing stored from there on
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::size_t>(count), CellRow{});
    if (cells_.size() > static_cast<std::size_t>(rows_)) cells_.resize(static_cast<std::size_t>(rows_));
    DropBlankTail();
}

void GridDocument::DeleteRows(int row, int count) {
    count = RowsInGrid(row, count, rows_);
    if (count == 0) return;
    if (row <= dataRowCount_) dataRowCount_ -= std::min(count, dataRowCount_ - row + 1);
    const auto from = static_cast<std::size_t>(row) - 1;
    if (from >= cells_.size()) return;
    const auto to = std::min(cells_.size(), from + static_cast<std::size_t>(count));
    cells_.erase(cells_.begin() + static_cast<std::ptrdiff_t>(from), cells_.begin() + static_cast<std::ptrdiff_t>(to));
    DropBlankTail();
}

// Deleting rows or pushing them off the grid can leave blank rows at the end; they need no storage.
void GridDocument::DropBlankTail() {
    while (!cells_.empty() && IsBlank(cells_.back())) cells_.pop_back();
}

}  // namespace qef
