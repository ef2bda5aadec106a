#pragma once
// Which grid columns to join or sum, into which column, as text or as numbers, and whether the
// joined columns are emptied.
#include "core/grid/ColumnSum.h"
#include "gui/dialogs/DialogSupport.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace qef {

class TFcongcot : public CheckedDialog {
    Q_OBJECT
public:
    explicit TFcongcot(QWidget* parent = nullptr);

    ColumnSumRequest Request() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* Caccot_ = nullptr;
    QLineEdit* Vaocot_ = nullptr;
    QRadioButton* Ktext_ = nullptr;
    QRadioButton* Kso_ = nullptr;
    QCheckBox* Bocot_ = nullptr;
};

}  // namespace qef
