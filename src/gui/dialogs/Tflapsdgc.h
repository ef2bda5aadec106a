#pragma once
// The header of the ruled text books (date, weather, times, observer, recorder, instrument) and
// which of the two books to lay out. The files are asked after OK.
#include "fielddata/books/TextBooks.h"
#include "gui/dialogs/DialogSupport.h"

class QCheckBox;
class QLineEdit;

namespace qef {

struct TextBookRequest {
    TextBookHeader Header;
    bool AngleBook = false;
    bool DistanceBook = false;
};

class Tflapsdgc : public CheckedDialog {
    Q_OBJECT
public:
    explicit Tflapsdgc(QWidget* parent = nullptr);

    TextBookRequest Request() const;

private:
    QLineEdit* Engaydo_ = nullptr;
    QLineEdit* Ethoitiet_ = nullptr;
    QLineEdit* Ebatdau_ = nullptr;
    QLineEdit* Eketthuc_ = nullptr;
    QLineEdit* Enguoido_ = nullptr;
    QLineEdit* Enguoighi_ = nullptr;
    QLineEdit* Eloaimay_ = nullptr;
    QLineEdit* Esomay_ = nullptr;
    QCheckBox* cb_lapsdg_ = nullptr;
    QCheckBox* cb_lapsdc_ = nullptr;
    QCheckBox* cb_cotieude_ = nullptr;
};

}  // namespace qef
