#pragma once
// The grid document: a table of TCVN3 cells. Row 0 of the grid is its header ("1", "2" ...);
// data rows are numbered from 1 and shown as model rows 0, 1, ... Only rows that were written
// hold storage, so a grid of tens of thousands of rows costs nothing until it is filled.
#include <QAbstractTableModel>
#include <string>
#include <vector>

namespace qef {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kDefaultColumns = 15;
    static constexpr int kDefaultDataRows = 60000;

    explicit GridModel(int columns = kDefaultColumns, int dataRows = kDefaultDataRows,
                       QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int Columns() const { return columns_; }
    int DataRows() const { return dataRows_; }

    // Cells by grid row (1-based) and column (0-based); outside the grid reads "".
    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);

    // Number of data rows in use (rows 1 to DataRowCount).
    int DataRowCount() const { return dataRowCount_; }
    void SetDataRowCount(int count) { dataRowCount_ = count; }

    // A row as a data-file line: the cells from firstColumn to the last non-blank one up to
    // lastColumn, each trimmed, joined by the separator of `separatorMode`; "" for a blank row.
    std::string DataLine(int row, int firstColumn, int lastColumn, int separatorMode,
                         int fixedFieldWidth) const;

    // Empties every cell; DataRowCount becomes 0.
    void Clear();

    // Grid row of a model row and back.
    static int GridRow(int modelRow) { return modelRow + 1; }
    static int ModelRow(int gridRow) { return gridRow - 1; }

private:
    int columns_;
    int dataRows_;
    int dataRowCount_ = 0;
    std::vector<std::vector<std::string>> rows_;  // rows_[r - 1]: cells of grid row r
};

}  // namespace qef
