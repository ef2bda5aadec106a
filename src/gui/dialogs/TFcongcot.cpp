#include "gui/dialogs/TFcongcot.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/GuiText.h"

namespace qef {

TFcongcot::TFcongcot(QWidget* parent) : CheckedDialog(parent) {
    setObjectName(QStringLiteral("TFcongcot"));
    setWindowTitle(QStringLiteral("Cộng cột"));
    Caccot_ = Named(new QLineEdit(this), "Caccot");
    Vaocot_ = Named(new QLineEdit(this), "Vaocot");
    Ktext_ = Named(new QRadioButton(QStringLiteral("Cộng kiểu chữ"), this), "Ktext");
    Kso_ = Named(new QRadioButton(QStringLiteral("Cộng kiểu số"), this), "Kso");
    Bocot_ = Named(new QCheckBox(QStringLiteral("Bỏ các cột đã cộng"), this), "Bocot");
    Ktext_->setChecked(true);
    Bocot_->setChecked(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Cộng các cột"), Caccot_);
    form->addRow(QStringLiteral("Vào cột"), Vaocot_);
    auto* kinds = new QHBoxLayout;
    kinds->addWidget(Ktext_);
    kinds->addWidget(Kso_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(kinds);
    layout->addWidget(Bocot_);
    layout->addLayout(OkCancelRow());
    // Enter in the list goes on to the target rather than closing the dialog.
    Caccot_->installEventFilter(this);
}

bool TFcongcot::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Caccot_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Vaocot_->setFocus();
            return true;
        }
    }
    return CheckedDialog::eventFilter(watched, event);
}

ColumnSumRequest TFcongcot::Request() const {
    ColumnSumRequest request;
    request.Columns = ToTcvn3(Caccot_->text());
    request.Target = ToTcvn3(Vaocot_->text());
    request.Kind = Kso_->isChecked() ? ColumnSumKind::Number : ColumnSumKind::Text;
    request.EmptySources = Bocot_->isChecked();
    return request;
}

}  // namespace qef
