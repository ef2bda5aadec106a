#pragma once
// Options of the many-words replacement: whether a shorter replacement is filled to the length
// of the word it replaces, on which side and with which character. The word separators are shown
// but fixed.
#include "tools/WordReplacement.h"
#include "gui/dialogs/DialogSupport.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;

namespace qef {

class RadioGroupBox;

class TFthaythechuoi : public CheckedDialog {
    Q_OBJECT
public:
    explicit TFthaythechuoi(QWidget* parent = nullptr);

    // What the controls say now; without filling, a blank and no insertion.
    WordReplacementOptions Options() const;

private:
    void OnFillToggled(bool on);

    QCheckBox* TBcashthaythe_ = nullptr;
    RadioGroupBox* RGCachchen_ = nullptr;
    RadioGroupBox* RGKytuchen_ = nullptr;
    QLineEdit* Ekytuchen_ = nullptr;
    QGroupBox* separatorsGroup_ = nullptr;
    QCheckBox* separatorBoxes_[5] = {};
    QCheckBox* otherSeparators_ = nullptr;
    QLineEdit* otherSeparatorText_ = nullptr;
};

}  // namespace qef
