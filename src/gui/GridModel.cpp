#include "gui/GridModel.h"

#include "gui/GuiText.h"

namespace qef {

GridModel::GridModel(int columns, int dataRows, QObject* parent)
    : QAbstractTableModel(parent), document_(columns, dataRows) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : document_.Rows();
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : document_.Columns();
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const std::string& text = document_.Cell(GridRow(index.row()), index.column());
    if (text.empty()) return QString();
    return FromTcvn3(text);
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    // The header row holds the column numbers; rows are shown by their grid number.
    return QString::number(section + 1);
}

void GridModel::SetCell(int row, int column, std::string text) {
    if (!document_.SetCell(row, column, std::move(text))) return;
    const QModelIndex at = index(ModelRow(row), column);
    emit dataChanged(at, at);
}

void GridModel::Clear() {
    beginResetModel();
    document_.Clear();
    endResetModel();
}

}  // namespace qef
