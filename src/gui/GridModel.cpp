#include "gui/GridModel.h"

#include "core/text/VnCodec.h"
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
    return Shown(document_.Cell(GridRow(index.row()), index.column()));
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

namespace qef {

void GridModel::ShowAllCells() {
    if (document_.Rows() > 0 && document_.Columns() > 0)
        emit dataChanged(index(0, 0), index(document_.Rows() - 1, document_.Columns() - 1));
}

void GridModel::Resize(int columns, int dataRows) {
    beginResetModel();
    document_.Resize(columns, dataRows);
    endResetModel();
}

void GridModel::SetFontCode(GridFontCode code) {
    if (code == fontCode_) return;
    fontCode_ = code;
    ShowAllCells();
}

QString GridModel::Shown(const std::string& cell) const {
    if (cell.empty()) return QString();
    if (fontCode_ == GridFontCode::Vni) return QString::fromStdString(VniToUtf8(cell));
    return FromTcvn3(cell);
}

std::string GridModel::Stored(const QString& text) const {
    if (fontCode_ == GridFontCode::Vni) return Utf8ToVni(text.toStdString());
    return ToTcvn3(text);
}

}  // namespace qef
