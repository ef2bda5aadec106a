#include "gui/dialogs/TthaydoiBangnhap.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>
#include <charconv>

namespace qef {

TthaydoiBangnhap::TthaydoiBangnhap(QWidget* parent) : CheckedDialog(parent) {
    setObjectName(QStringLiteral("thaydoiBangnhap"));
    setWindowTitle(QStringLiteral("Thay đổi bảng nhập số liệu"));
    Esodong_ = new QLineEdit(QStringLiteral("60000"), this);
    Esodong_->setObjectName(QStringLiteral("Esodong"));
    Esocot_ = new QSpinBox(this);
    Esocot_->setObjectName(QStringLiteral("Esocot"));
    Esocot_->setRange(1, 15);
    Esocot_->setValue(8);
    Erong_ = new QSpinBox(this);
    Erong_->setObjectName(QStringLiteral("Erong"));
    Erong_->setRange(50, 150);
    Erong_->setSingleStep(5);
    Erong_->setValue(95);

    auto* font = new QGroupBox(QStringLiteral("Mã font chữ"), this);
    font->setObjectName(QStringLiteral("RGMafont"));
    tcvn_ = new QRadioButton(QStringLiteral("Mã TCVN"), font);
    vni_ = new QRadioButton(QStringLiteral("Mã VNI"), font);
    tcvn_->setChecked(true);
    auto* fontRows = new QVBoxLayout(font);
    fontRows->addWidget(tcvn_);
    fontRows->addWidget(vni_);

    auto* form = new QFormLayout;
    auto* rows = new QVBoxLayout;
    rows->addWidget(Esodong_);
    rows->addWidget(new QLabel(QStringLiteral("(số dòng không quá 1,000,000)"), this));
    form->addRow(QStringLiteral("Số dòng của bảng nhập số liệu :"), rows);
    form->addRow(QStringLiteral("Số cột của bảng nhập số liệu (<15) :"), Esocot_);
    form->addRow(QStringLiteral("Độ rộng của mỗi cột (<150) :"), Erong_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(font);
    layout->addLayout(OkCancelRow());
}

GridLayoutChoice TthaydoiBangnhap::Choice() const {
    GridLayoutChoice choice;
    const std::string text = Esodong_->text().trimmed().toStdString();
    std::from_chars(text.data(), text.data() + text.size(), choice.Rows);
    choice.Columns = Esocot_->value();
    choice.ColumnWidth = Erong_->value();
    choice.VniFont = vni_->isChecked();
    return choice;
}

bool TthaydoiBangnhap::RowsGood(int& rows) {
    const std::string text = Esodong_->text().trimmed().toStdString();
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, rows);
    if (text.empty() || ec == std::errc::invalid_argument || ptr != end || rows < 1)
        return RefuseAtOk(Esodong_, Esodong_, QStringLiteral("Bạn chỉ nhập chữ số"));
    if (ec == std::errc::result_out_of_range || rows > kMaxRows)
        return RefuseAtOk(Esodong_, Esodong_, QStringLiteral("Số dòng không được quá 1,000,000"));
    if (rows < dataRows_)
        return RefuseAtOk(Esodong_, Esodong_,
                          QStringLiteral("Số dòng không được nhỏ hơn số dòng đang có số liệu (%1)").arg(dataRows_));
    return true;
}

void TthaydoiBangnhap::showEvent(QShowEvent* event) {
    ResetChecks();
    CheckedDialog::showEvent(event);
}

void TthaydoiBangnhap::accept() {
    int rows = 0;
    if (!RowsGood(rows)) return;
    if (Confirm && !Confirm(Choice())) return;
    AcceptNow();
}

}  // namespace qef
