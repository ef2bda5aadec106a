#include "gui/dialogs/TFthaythechuoi.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/GuiText.h"
#include "gui/dialogs/TFTsbs.h"

namespace qef {

TFthaythechuoi::TFthaythechuoi(QWidget* parent) : CheckedDialog(parent) {
    setObjectName(QStringLiteral("TFthaythechuoi"));
    setWindowTitle(QStringLiteral("Thay thế nhiều từ trong chuỗi ký tự"));

    TBcashthaythe_ = new QCheckBox(QStringLiteral("Thay thế từ và không thay đổi chiều dài chuổi ký tự"), this);
    TBcashthaythe_->setObjectName(QStringLiteral("TBcashthaythe"));
    RGCachchen_ = new RadioGroupBox(QStringLiteral("RGCachchen"), QStringLiteral(" Chọn cách chèn ký tự lấp đầy "),
                                    {QStringLiteral("Chèn phía trước"), QStringLiteral("Chèn phía sau"),
                                     QStringLiteral("Không chèn")},
                                    this);
    RGCachchen_->SetItemIndex(static_cast<int>(FillSide::None));
    RGKytuchen_ = new RadioGroupBox(QStringLiteral("RGKytuchen"),
                                    QStringLiteral(" Ký tự cần chèn để lấp đầy khoảng trống "),
                                    {QStringLiteral("\" \""), QStringLiteral("\"0\""), QStringLiteral("Ký tự khác")}, this);
    RGKytuchen_->SetItemIndex(0);
    Ekytuchen_ = new QLineEdit(RGKytuchen_);
    Ekytuchen_->setObjectName(QStringLiteral("Ekytuchen"));
    Ekytuchen_->setMaxLength(1);
    Ekytuchen_->setMaximumWidth(40);
    RGKytuchen_->Grid()->addWidget(Ekytuchen_, 2, 1);
    connect(RGKytuchen_, &RadioGroupBox::ItemChosen, this, [this](int item) {
        if (item == 2) Ekytuchen_->setFocus();
    });

    separatorsGroup_ = new QGroupBox(QStringLiteral(" Ký tự phân biệt từ "), this);
    separatorsGroup_->setObjectName(QStringLiteral("GBphanbiet"));
    auto* separators = new QGridLayout(separatorsGroup_);
    const char* const names[] = {"Khoảng trắng", "Dấu chấm phẩy \";\"", "Dấu phẩy \",\"", "Ký tự Tab",
                                 "Ký tự gạch đứng \"|\""};
    for (int i = 0; i < 5; ++i) {
        separatorBoxes_[i] = new QCheckBox(QString::fromUtf8(names[i]), separatorsGroup_);
        separatorBoxes_[i]->setChecked(true);
        separators->addWidget(separatorBoxes_[i], i % 3, i / 3);
    }
    otherSeparators_ = new QCheckBox(QStringLiteral("Các ký tự khác"), separatorsGroup_);
    otherSeparatorText_ = new QLineEdit(separatorsGroup_);
    separators->addWidget(otherSeparators_, 2, 1);
    separators->addWidget(otherSeparatorText_, 2, 2);
    separatorsGroup_->setEnabled(false);

    auto* fill = new QHBoxLayout;
    fill->addWidget(RGCachchen_);
    fill->addWidget(RGKytuchen_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TBcashthaythe_);
    layout->addLayout(fill);
    layout->addWidget(separatorsGroup_);
    layout->addLayout(OkCancelRow());

    connect(TBcashthaythe_, &QCheckBox::toggled, this, &TFthaythechuoi::OnFillToggled);
    OnFillToggled(false);
}

void TFthaythechuoi::OnFillToggled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{RGCachchen_, RGKytuchen_, Ekytuchen_}) w->setEnabled(on);
}

WordReplacementOptions TFthaythechuoi::Options() const {
    WordReplacementOptions options;
    // Blank, semicolon, Tab, bar, comma, then the others.
    static const char kChars[] = {' ', ';', ',', '\t', '|'};
    options.Separators.clear();
    for (int i : {0, 1, 3, 4, 2})
        if (separatorBoxes_[i]->isChecked()) options.Separators += kChars[i];
    if (otherSeparators_->isChecked()) options.Separators += ToTcvn3(otherSeparatorText_->text());
    if (!TBcashthaythe_->isChecked()) return options;
    switch (RGKytuchen_->ItemIndex()) {
        case 1: options.Fill = '0'; break;
        case 2: {
            const std::string typed = ToTcvn3(Ekytuchen_->text());
            options.Fill = typed.empty() ? ' ' : typed[0];
            break;
        }
        default: options.Fill = ' '; break;
    }
    const int side = RGCachchen_->ItemIndex();
    options.Side = side >= 0 && side <= 2 ? static_cast<FillSide>(side) : FillSide::None;
    return options;
}

}  // namespace qef
