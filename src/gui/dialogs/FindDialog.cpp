#include "gui/dialogs/FindDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qef {

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Tìm kiếm"));
    setModal(false);
    FindEdit_ = new QLineEdit(this);
    FindEdit_->setObjectName(QStringLiteral("FindText"));
    FindEdit_->setMinimumWidth(220);
    FindNextButton_ = new QPushButton(QStringLiteral("Tìm tiếp"), this);
    FindNextButton_->setObjectName(QStringLiteral("FindNextButton"));
    FindNextButton_->setDefault(true);
    FindNextButton_->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Đóng"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tìm:"), this), 0, 0);
    layout->addWidget(FindEdit_, 0, 1);
    layout->addWidget(FindNextButton_, 0, 2);
    layout->addWidget(close, 1, 2);

    connect(FindEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { FindNextButton_->setEnabled(!text.isEmpty()); });
    connect(FindNextButton_, &QPushButton::clicked, this, [this] { emit FindNext(FindEdit_->text()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

QString FindDialog::FindText() const { return FindEdit_->text(); }

void FindDialog::SetFindText(const QString& text) { FindEdit_->setText(text); }

}  // namespace qef
