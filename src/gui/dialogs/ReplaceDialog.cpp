#include "gui/dialogs/ReplaceDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace qef {

ReplaceDialog::ReplaceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ReplaceDialog1"));
    setWindowTitle(QStringLiteral("Thay thế"));
    setModal(false);
    FindEdit_ = new QLineEdit(this);
    FindEdit_->setObjectName(QStringLiteral("FindText"));
    FindEdit_->setMinimumWidth(220);
    ReplaceEdit_ = new QLineEdit(this);
    ReplaceEdit_->setObjectName(QStringLiteral("ReplaceText"));

    auto button = [this](const char* text, const char* name) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* findNext = button("Tìm tiếp", "FindNextButton");
    QPushButton* replace = button("Thay thế", "ReplaceButton");
    QPushButton* replaceAll = button("Thay tất cả", "ReplaceAllButton");
    QPushButton* close = button("Đóng", "CloseButton");
    findNext->setDefault(true);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Tìm:"), this), 0, 0);
    layout->addWidget(FindEdit_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("Thay bằng:"), this), 1, 0);
    layout->addWidget(ReplaceEdit_, 1, 1);
    layout->addWidget(findNext, 0, 2);
    layout->addWidget(replace, 1, 2);
    layout->addWidget(replaceAll, 2, 2);
    layout->addWidget(close, 3, 2);

    const auto enable = [=](const QString& text) {
        for (QPushButton* b : {findNext, replace, replaceAll}) b->setEnabled(!text.isEmpty());
    };
    enable(QString());
    connect(FindEdit_, &QLineEdit::textChanged, this, enable);
    connect(findNext, &QPushButton::clicked, this, [this] { emit FindNext(FindText()); });
    connect(replace, &QPushButton::clicked, this, [this] { emit Replace(FindText(), ReplaceText()); });
    connect(replaceAll, &QPushButton::clicked, this, [this] { emit ReplaceAll(FindText(), ReplaceText()); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

QString ReplaceDialog::FindText() const { return FindEdit_->text(); }
QString ReplaceDialog::ReplaceText() const { return ReplaceEdit_->text(); }

void ReplaceDialog::SetTexts(const QString& find, const QString& replacement) {
    FindEdit_->setText(find);
    ReplaceEdit_->setText(replacement);
}

}  // namespace qef
