#pragma once
// The grid document shown in a table view: data rows 1, 2 ... of the document are model rows
// 0, 1 ...; the header row holds the column numbers. Cells cross to the view as Unicode.
#include <QAbstractTableModel>
#include <string>

#include "core/grid/GridDocument.h"

namespace qef {

// How the cells' bytes are shown: the grid's font code, TCVN3 or VNI.
enum class GridFontCode { Tcvn3, Vni };

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kDefaultColumns = GridDocument::kDefaultColumns;
    static constexpr int kDefaultDataRows = GridDocument::kDefaultRows;

    explicit GridModel(int columns = kDefaultColumns, int dataRows = kDefaultDataRows,
                       QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const GridDocument& Document() const { return document_; }

    int Columns() const { return document_.Columns(); }
    int DataRows() const { return document_.Rows(); }

    // Cells by grid row (1-based) and column (0-based); outside the grid reads "".
    const std::string& Cell(int row, int column) const { return document_.Cell(row, column); }
    void SetCell(int row, int column, std::string text);

    int DataRowCount() const { return document_.DataRowCount(); }
    void SetDataRowCount(int count) { document_.SetDataRowCount(count); }

    std::string DataLine(int row, int firstColumn, int lastColumn, int separatorMode,
                         int fixedFieldWidth) const {
        return document_.DataLine(row, firstColumn, lastColumn, static_cast<SeparatorMode>(separatorMode),
                                  fixedFieldWidth);
    }

    // Empties every cell; DataRowCount becomes 0.
    void Clear();

    // Runs an operation of the document and shows its outcome; the grid keeps its size.
    template <typename Operation>
    decltype(auto) Edit(Operation&& operation) {
        struct Shown {
            GridModel& model;
            ~Shown() { model.ShowAllCells(); }
        } shown{*this};
        return operation(document_);
    }
    // A new grid size; cells outside it are dropped.
    void Resize(int columns, int dataRows);

    GridFontCode FontCode() const { return fontCode_; }
    void SetFontCode(GridFontCode code);
    // A cell's bytes as the grid shows them, and typed text as the cell stores it.
    QString Shown(const std::string& cell) const;
    std::string Stored(const QString& text) const;

    // Grid row of a model row and back.
    static int GridRow(int modelRow) { return modelRow + 1; }
    static int ModelRow(int gridRow) { return gridRow - 1; }

private:
    void ShowAllCells();

    GridDocument document_;
    GridFontCode fontCode_ = GridFontCode::Tcvn3;
};

}  // namespace qef
