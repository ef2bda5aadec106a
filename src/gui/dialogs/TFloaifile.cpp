#include "gui/dialogs/TFloaifile.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qef {

TFloaifile::TFloaifile(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Floaifile"));
    setWindowTitle(QStringLiteral("Đổi đơn vị"));
    auto* group = new QGroupBox(QStringLiteral(" Loại file dữ liệu "), this);
    group->setObjectName(QStringLiteral("RGLoaifile"));
    auto* rows = new QVBoxLayout(group);
    const QString texts[] = {QStringLiteral("File số liệu tọa độ tọa độ"),
                             QStringLiteral("File số liệu góc cạnh khống chế"),
                             QStringLiteral("File số liệu góc cạnh chi tiết")};
    for (int i = 0; i < 3; ++i) {
        items_[i] = new QRadioButton(texts[i], group);
        items_[i]->setObjectName(QStringLiteral("Loaifile%1").arg(i));
        rows->addWidget(items_[i]);
        connect(items_[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) kind_ = static_cast<DataFileKind>(i);
        });
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Đồng ý"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    buttons->addButton(QStringLiteral("Hủy bỏ"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("Button2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void TFloaifile::SetKind(DataFileKind kind) {
    kind_ = kind;
    const int i = static_cast<int>(kind);
    if (i >= 0 && i < 3) items_[i]->setChecked(true);
}

void TFloaifile::showEvent(QShowEvent* event) {
    SetKind(kind_);
    QDialog::showEvent(event);
}

}  // namespace qef
