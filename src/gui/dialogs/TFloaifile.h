#pragma once
// What kind of data file the grid holds, asked before a unit or angle conversion: the columns to
// convert depend on it. A click is kept at once, so Cancel keeps the kind last clicked.
#include <QDialog>

#include "core/grid/BlockConversions.h"

class QRadioButton;

namespace qef {

class TFloaifile : public QDialog {
    Q_OBJECT
public:
    explicit TFloaifile(QWidget* parent = nullptr);

    DataFileKind Kind() const { return kind_; }
    void SetKind(DataFileKind kind);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRadioButton* items_[3] = {};
    DataFileKind kind_ = DataFileKind::None;
};

}  // namespace qef
