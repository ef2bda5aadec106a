#include "gui/dialogs/Tflapsdgc.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/GuiText.h"

namespace qef {

Tflapsdgc::Tflapsdgc(QWidget* parent) : CheckedDialog(parent) {
    setObjectName(QStringLiteral("flapsdgc"));
    setWindowTitle(QStringLiteral("Lập sổ đo góc cạnh"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* grid = new QGridLayout;
    int row = 0;
    auto edit = [&](const char* name, const QString& label, int column) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setMinimumWidth(160);
        grid->addWidget(new QLabel(label, this), row, column * 2);
        grid->addWidget(e, row, column * 2 + 1);
        if (column == 1) ++row;
        return e;
    };
    Engaydo_ = edit("Engaydo", QStringLiteral("Ngày đo"), 0);
    Enguoido_ = edit("Enguoido", QStringLiteral("Người đo :"), 1);
    Ethoitiet_ = edit("Ethoitiet", QStringLiteral("Thời tiết"), 0);
    Enguoighi_ = edit("Enguoighi", QStringLiteral("Người ghi :"), 1);
    Ebatdau_ = edit("Ebatdau", QStringLiteral("Bắt đầu lúc"), 0);
    Eloaimay_ = edit("Eloaimay", QStringLiteral("Loại máy :"), 1);
    Eketthuc_ = edit("Eketthuc", QStringLiteral("Kết thúc "), 0);
    Esomay_ = edit("Esomay", QStringLiteral("Số máy"), 1);

    auto box = [&](const char* name, const QString& text) {
        auto* b = new QCheckBox(text, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    cb_lapsdg_ = box("cb_lapsdg", QStringLiteral("Lập sổ đo góc"));
    cb_lapsdc_ = box("cb_lapsdc", QStringLiteral("Lập sổ đo cạnh"));
    cb_cotieude_ = box("cb_cotieude", QStringLiteral("Viết tiêu đề về đơn vị, số hợp đồng ..."));

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(grid);
    layout->addWidget(cb_lapsdg_);
    layout->addWidget(cb_lapsdc_);
    layout->addWidget(cb_cotieude_);
    layout->addLayout(OkCancelRow());
}

TextBookRequest Tflapsdgc::Request() const {
    TextBookRequest r;
    r.Header.Date = ToTcvn3(Engaydo_->text());
    r.Header.Weather = ToTcvn3(Ethoitiet_->text());
    r.Header.Start = ToTcvn3(Ebatdau_->text());
    r.Header.End = ToTcvn3(Eketthuc_->text());
    r.Header.Observer = ToTcvn3(Enguoido_->text());
    r.Header.Recorder = ToTcvn3(Enguoighi_->text());
    r.Header.InstrumentType = ToTcvn3(Eloaimay_->text());
    r.Header.InstrumentNumber = ToTcvn3(Esomay_->text());
    r.Header.WithTitle = cb_cotieude_->isChecked();
    r.AngleBook = cb_lapsdg_->isChecked();
    r.DistanceBook = cb_lapsdc_->isChecked();
    return r;
}

}  // namespace qef
