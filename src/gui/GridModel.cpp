#include "gui/GridModel.h"

#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "gui/GuiText.h"

namespace qef {

namespace {
const std::string kEmptyCell;
}

GridModel::GridModel(int columns, int dataRows, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns), dataRows_(dataRows) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataRows_;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const std::string& text = Cell(GridRow(index.row()), index.column());
    if (text.empty()) return QString();
    return FromTcvn3(text);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    // The header row holds the column numbers; rows are shown by their grid number.
    return QString::number(section + 1);
}

const std::string& GridModel::Cell(int row, int column) const {
    if (row < 1 || column < 0 || static_cast<std::size_t>(row) > rows_.size()) return kEmptyCell;
    const auto& cells = rows_[static_cast<std::size_t>(row) - 1];
    if (static_cast<std::size_t>(column) >= cells.size()) return kEmptyCell;
    return cells[column];
}

void GridModel::SetCell(int row, int column, std::string text) {
    if (row < 1 || row > dataRows_ || column < 0 || column >= columns_) return;
    const auto r = static_cast<std::size_t>(row) - 1;
    const auto c = static_cast<std::size_t>(column);
    if (r >= rows_.size()) {
        if (text.empty()) return;
        rows_.resize(r + 1);
    }
    auto& cells = rows_[r];
    if (c >= cells.size()) {
        if (text.empty()) return;
        cells.resize(c + 1);
    }
    cells[c] = std::move(text);
    const QModelIndex at = index(ModelRow(row), column);
    emit dataChanged(at, at);
}

std::string GridModel::DataLine(int row, int firstColumn, int lastColumn, int separatorMode,
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
    for (int i = 0; i <= last; ++i) {
        line += JoinFields(cells[i], i == last, separatorMode,
                           fixedFieldWidth);
    }
    return line;
}

void GridModel::Clear() {
    beginResetModel();
    rows_.clear();
    dataRowCount_ = 0;
    endResetModel();
}

}  // namespace qef
