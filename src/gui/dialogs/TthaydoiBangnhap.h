#pragma once
// The grid layout dialog: rows, columns, column width and the font code of the grid. The
// controls keep what was entered between showings; the main window applies them after OK.
#include <functional>

#include "gui/dialogs/DialogSupport.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace qef {

struct GridLayoutChoice {
    int Rows = 60000;
    int Columns = 8;
    int ColumnWidth = 95;
    bool VniFont = false;
};

class TthaydoiBangnhap : public CheckedDialog {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 1000000;

    explicit TthaydoiBangnhap(QWidget* parent = nullptr);

    GridLayoutChoice Choice() const;
    // The rows that hold data: the row count may not go below them.
    void SetDataRows(int rows) { dataRows_ = rows; }
    // Asked at OK once the numbers are good; false keeps the dialog open.
    std::function<bool(const GridLayoutChoice&)> Confirm;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool RowsGood(int& rows);

    QLineEdit* Esodong_ = nullptr;
    QSpinBox* Esocot_ = nullptr;
    QSpinBox* Erong_ = nullptr;
    QRadioButton* tcvn_ = nullptr;
    QRadioButton* vni_ = nullptr;
    int dataRows_ = 0;
};

}  // namespace qef
