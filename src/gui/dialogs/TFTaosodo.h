#pragma once
// Options of the field books: sets, decimals, distances and their tolerance, the header of the
// RTF distance book, and which books to make. Choosing the class of the network and of the
// instrument fills the sets and the two angle tolerances from the built-in tables. Nothing is
// stored until OK, and then every value at once.
#include "fielddata/books/FieldBookOptions.h"
#include "gui/dialogs/DialogSupport.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;

namespace qef {

class RadioGroupBox;

class TFTaosodo : public CheckedDialog {
    Q_OBJECT
public:
    explicit TFTaosodo(QWidget* parent = nullptr);

    // The values of the last OK.
    const FieldBookOptions& Options() const { return options_; }

    // OK (Button1Click) keeps the values; Cancel (Button2Click) and closing the window (FormClose)
    // keep the last OK's. The caller reads exec()'s result as the dialog's (BookDialogResult).
    void accept() override;

private:
    QGroupBox* BuildTolerances();
    QGroupBox* BuildBookHeader();
    // The class or the instrument chosen (RGcaphangClick, RGssmayClick) fills the tolerances.
    void OnClassChanged();
    // The distance mode (RG_CachlaycanhClick): forward and back count the sides in pairs.
    void OnDistanceModeChanged();

    FieldBookOptions options_;
    RadioGroupBox* RGcaphang_ = nullptr;
    RadioGroupBox* RGssmay_ = nullptr;
    RadioGroupBox* RG_Cachlaycanh_ = nullptr;
    QSpinBox* Ess2C_ = nullptr;
    QSpinBox* Ess2L_ = nullptr;
    QSpinBox* Ebiendong2C_ = nullptr;
    QSpinBox* Esolandogoc_ = nullptr;
    QSpinBox* Esolephangiay_ = nullptr;
    QSpinBox* Esolandocanh_ = nullptr;
    QSpinBox* Essacanh_ = nullptr;
    QLineEdit* Engdo_ = nullptr;
    QLineEdit* Engghi_ = nullptr;
    QLineEdit* Eloaimay_ = nullptr;
    QLineEdit* Esomay_ = nullptr;
    QLineEdit* Esodau_ = nullptr;
    QLineEdit* Esocuoi_ = nullptr;
    QCheckBox* cb_xlsl_ = nullptr;
    QCheckBox* cb_sdcanh_ = nullptr;
    QCheckBox* cb_sdgoc_ = nullptr;
};

}  // namespace qef
