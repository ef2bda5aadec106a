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

// a..z folded to A..Z, as the program compares names.
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameTextCaseBlind(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

std::string_view ShortView(std::string_view s) { return s.substr(0, std::min(s.size(), kShortStringMax)); }

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

bool GridDocument::EnterText(int row, int column, std::string text) {
    if (Cell(row, column) == text) return false;
    const bool filled = !text.empty();
    if (!SetCell(row, column, std::move(text))) return false;
    if (filled && row > dataRowCount_) dataRowCount_ = row;
    return true;
}

RowInsertResult GridDocument::InsertDataRows(int row, int count) {
    if (row < 1 || row > dataRowCount_ || count <= 0) return RowInsertResult::BeyondData;
    if (std::int64_t{dataRowCount_} + count > rows_) return RowInsertResult::GridFull;
    InsertRows(row, count);
    return RowInsertResult::Inserted;
}

bool GridDocument::DeleteDataRow(int row) {
    if (row < 1 || row > dataRowCount_) return false;
    DeleteRows(row, 1);
    return true;
}

void GridDocument::InsertColumn(int column) {
    if (column < 0 || column >= columns_) return;
    const auto last = std::min(cells_.size(), static_cast<std::size_t>(std::max(dataRowCount_, 0)));
    const auto at = static_cast<std::size_t>(column);
    for (std::size_t r = 0; r < last; ++r) {
        CellRow& cells = cells_[r];
        if (cells.size() <= at) continue;
        cells.insert(cells.begin() + static_cast<std::ptrdiff_t>(at), std::string());
        if (cells.size() > static_cast<std::size_t>(columns_)) cells.resize(static_cast<std::size_t>(columns_));
    }
}

void GridDocument::DeleteColumn(int column) {
    if (column < 0 || column >= columns_) return;
    const auto last = std::min(cells_.size(), static_cast<std::size_t>(std::max(dataRowCount_, 0)));
    const auto at = static_cast<std::size_t>(column);
    for (std::size_t r = 0; r < last; ++r) {
        CellRow& cells = cells_[r];
        if (cells.size() > at) cells.erase(cells.begin() + static_cast<std::ptrdiff_t>(at));
    }
    DropBlankTail();
}

bool GridDocument::LastColumnHoldsData() const {
    for (int row = 1; row <= dataRowCount_; ++row)
        if (!Cell(row, columns_ - 1).empty()) return true;
    return false;
}

int GridDocument::ColumnsInUse() const {
    std::size_t used = 0;
    for (const CellRow& cells : cells_)
        for (std::size_t c = cells.size(); c > used; --c)
            if (!cells[c - 1].empty()) {
                used = c;
                break;
            }
    return static_cast<int>(used);
}

void GridDocument::Resize(int columns, int rows) {
    columns_ = std::max(columns, 1);
    rows_ = std::max(rows, 1);
    if (cells_.size() > static_cast<std::size_t>(rows_)) cells_.resize(static_cast<std::size_t>(rows_));
    for (CellRow& cells : cells_)
        if (cells.size() > static_cast<std::size_t>(columns_)) cells.resize(static_cast<std::size_t>(columns_));
    DropBlankTail();
    dataRowCount_ = std::min(dataRowCount_, rows_);
    if (keptBlock_ && (keptBlock_->LastRow > rows_ || keptBlock_->LastColumn >= columns_)) {
        keptBlock_.reset();
        blockCut_ = false;
    }
}

std::optional<GridBlock> GridDocument::ClipBlock(const GridBlock& block) const {
    GridBlock b{std::min(block.FirstRow, block.LastRow), std::max(block.FirstRow, block.LastRow),
                std::min(block.FirstColumn, block.LastColumn), std::max(block.FirstColumn, block.LastColumn)};
    b.FirstRow = std::max(b.FirstRow, 1);
    b.LastRow = std::min(b.LastRow, rows_);
    b.FirstColumn = std::max(b.FirstColumn, 0);
    b.LastColumn = std::min(b.LastColumn, columns_ - 1);
    if (b.FirstRow > b.LastRow || b.FirstColumn > b.LastColumn) return std::nullopt;
    return b;
}

void GridDocument::CopyBlock(const GridBlock& block) {
    keptBlock_ = ClipBlock(block);
    blockCut_ = false;
}

void GridDocument::CutBlock(const GridBlock& block) {
    keptBlock_ = ClipBlock(block);
    blockCut_ = keptBlock_.has_value();
}

PasteResult GridDocument::PasteBlock(int row, int column) {
    if (!keptBlock_) return PasteResult::NoBlock;
    const GridBlock b = *keptBlock_;
    const int width = b.LastColumn - b.FirstColumn;
    const int height = b.LastRow - b.FirstRow;
    const bool overlap = column <= b.LastColumn && column + width >= b.FirstColumn && row <= b.LastRow &&
                         row + height >= b.FirstRow;
    if (overlap) return PasteResult::Overlap;
    if (row < 1 || column < 0 || std::int64_t{row} + height > rows_ || std::int64_t{column} + width >= columns_)
        return PasteResult::PastGridEdge;
    for (int j = 0; j <= height; ++j)
        for (int i = 0; i <= width; ++i) {
            std::string text = Cell(b.FirstRow + j, b.FirstColumn + i);
            SetCell(row + j, column + i, std::move(text));
            if (blockCut_) SetCell(b.FirstRow + j, b.FirstColumn + i, std::string());
        }
    dataRowCount_ = std::max(dataRowCount_, row + height);
    if (blockCut_) keptBlock_.reset();
    blockCut_ = false;
    return PasteResult::Pasted;
}

void GridDocument::EmptyBlock(const GridBlock& block) {
    const auto b = ClipBlock(block);
    if (!b) return;
    const auto lastStored = std::min(b->LastRow, static_cast<int>(cells_.size()));
    for (int row = b->FirstRow; row <= lastStored; ++row)
        for (int column = b->FirstColumn; column <= b->LastColumn; ++column) SetCell(row, column, std::string());
    DropBlankTail();
}

std::optional<GridCell> GridDocument::FindCell(std::string_view text, GridCell from) const {
    text = ShortView(text);
    if (text.empty()) return std::nullopt;
    const int lastRow = std::min(dataRowCount_, static_cast<int>(cells_.size()));
    for (int row = std::max(from.Row, 1); row <= lastRow; ++row) {
        const CellRow& cells = cells_[static_cast<std::size_t>(row) - 1];
        const int stored = std::min(static_cast<int>(cells.size()), columns_);
        for (int column = row == from.Row ? std::max(from.Column, 0) : 0; column < stored; ++column)
            if (SameTextCaseBlind(ShortView(cells[static_cast<std::size_t>(column)]), text)) return GridCell{row, column};
    }
    return std::nullopt;
}

GridCell GridDocument::CellAfter(GridCell cell) const {
    if (cell.Column + 1 < columns_) return {cell.Row, cell.Column + 1};
    return {cell.Row + 1, 0};
}

// Deleting rows or pushing them off the grid can leave blank rows at the end; they need no storage.
void GridDocument::DropBlankTail() {
    while (!cells_.empty() && IsBlank(cells_.back())) cells_.pop_back();
}

}  // namespace qef
