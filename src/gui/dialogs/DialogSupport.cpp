#include "gui/dialogs/DialogSupport.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace qef {

namespace {

// Wants the whole of its body; a scroll area would otherwise ask for a fixed fraction of it.
class BodyArea : public QScrollArea {
public:
    using QScrollArea::QScrollArea;
    QSize sizeHint() const override {
        const int frame = 2 * frameWidth();
        return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
    }
    QSize minimumSizeHint() const override {
        const QSize body = widget() ? widget()->minimumSizeHint() : QSize();
        return {std::min(body.width(), 240), std::min(body.height(), 120)};
    }
};

bool TakesTab(const QWidget* widget) { return (widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy(); }

void InStandingOrder(QWidget* widget, QList<QWidget*>& controls);

// The items of a layout as they stand: a grid or a form row by row, left to right; a box in its own
// order. Items are kept in the order they were added, which is not where a grid puts them.
QList<QLayoutItem*> StandingItems(const QLayout* layout) {
    struct Placed {
        int row, column;
        QLayoutItem* item;
    };
    QList<Placed> placed;
    const auto* grid = qobject_cast<const QGridLayout*>(layout);
    const auto* form = qobject_cast<const QFormLayout*>(layout);
    for (int i = 0; i < layout->count(); ++i) {
        int row = 0, column = i, span = 0;
        if (grid) {
            grid->getItemPosition(i, &row, &column, &span, &span);
        } else if (form) {
            QFormLayout::ItemRole role{};
            form->getItemPosition(i, &row, &role);
            column = static_cast<int>(role);
        }
        placed.push_back({row, column, layout->itemAt(i)});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.row != b.row ? a.row < b.row : a.column < b.column;
    });
    QList<QLayoutItem*> items;
    for (const Placed& p : placed) items << p.item;
    return items;
}

void InLayoutOrder(const QLayout* layout, QList<QWidget*>& controls) {
    for (QLayoutItem* item : StandingItems(layout)) {
        if (QWidget* widget = item->widget()) InStandingOrder(widget, controls);
        else if (const QLayout* inner = item->layout()) InLayoutOrder(inner, controls);
    }
}

// A control, then the controls inside a widget as its layout places them, then any it holds
// outside its layout (the parts of a compound control) in the order they were made.
void InStandingOrder(QWidget* widget, QList<QWidget*>& controls) {
    if (TakesTab(widget) && !controls.contains(widget)) controls << widget;
    if (widget->layout()) InLayoutOrder(widget->layout(), controls);
    // Not the popups of its combo boxes, which are windows of their own.
    for (QWidget* inner : widget->findChildren<QWidget*>())
        if (TakesTab(inner) && inner->window() == widget->window() && !controls.contains(inner)) controls << inner;
}

// Each showing starts at the top of the body, on its first control.
class OpenAtTop : public QObject {
public:
    OpenAtTop(QScrollArea* area, QWidget* first, QObject* parent) : QObject(parent), area_(area), first_(first) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            area_->verticalScrollBar()->setValue(0);
            area_->horizontalScrollBar()->setValue(0);
            if (first_) first_->setFocus();
        }
        return false;
    }

private:
    QScrollArea* area_;
    QWidget* first_;
};

}  // namespace

void TabChain(const QList<QWidget*>& controls) {
    for (qsizetype i = 0; i + 1 < controls.size(); ++i) QWidget::setTabOrder(controls[i], controls[i + 1]);
}

void ScrollingBody(QDialog& dialog, QWidget* body, QLayout* buttons) {
    auto* area = new BodyArea(&dialog);
    area->setObjectName(QStringLiteral("Body"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    // Tab goes from control to control; the area itself is no stop.
    area->setFocusPolicy(Qt::NoFocus);
    area->setWidget(body);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(area, 1);
    layout->addLayout(buttons);
    // Tab goes down the controls as they stand, whenever they were made, and then to the buttons.
    QList<QWidget*> chain;
    if (body->layout()) InLayoutOrder(body->layout(), chain);
    InLayoutOrder(buttons, chain);
    TabChain(chain);
    dialog.installEventFilter(new OpenAtTop(area, chain.isEmpty() ? nullptr : chain.front(), &dialog));
}

void TabInStandingOrder(QWidget& dialog) {
    QList<QWidget*> chain;
    InStandingOrder(&dialog, chain);
    chain.removeAll(&dialog);
    TabChain(chain);
}

void LetTabLeaveViews(QWidget& dialog) {
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>()) view->setTabKeyNavigation(false);
}

QHBoxLayout* CheckedDialog::OkCancelRow() {
    auto* ok = new QPushButton(QStringLiteral("Đồng ý"), this);
    auto* cancel = new QPushButton(QStringLiteral("Hủy bỏ"), this);
    ok->setObjectName(QStringLiteral("Button1"));
    cancel->setObjectName(QStringLiteral("Button2"));
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CheckedDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CheckedDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void CheckedDialog::ShowMessage(const QString& text) {
    if (MessageHook) {
        MessageHook(text);
        return;
    }
    QMessageBox::warning(this, QStringLiteral("QEF 2010"), text);
}

void CheckedDialog::ResetChecks() {
    closing_ = false;
    lastRefused_ = nullptr;
}

void CheckedDialog::ForgetRefusal(const QLineEdit* edit) {
    if (lastRefused_ == edit) lastRefused_ = nullptr;
}

bool CheckedDialog::CheckingExits() const { return !closing_ && isVisible(); }

void CheckedDialog::Refuse(QWidget* focusTarget, QLineEdit* edit, const QString& text) {
    lastRefused_ = edit;
    lastRefusedText_ = edit->text();
    ShowMessage(text);
    focusTarget->setFocus();
    edit->selectAll();
}

bool CheckedDialog::RefuseAtOk(QWidget* focusTarget, QLineEdit* edit, const QString& text) {
    if (edit == lastRefused_ && edit->text() == lastRefusedText_) {
        focusTarget->setFocus();
        edit->selectAll();
    } else {
        Refuse(focusTarget, edit, text);
    }
    return false;
}

void CheckedDialog::AcceptNow() {
    closing_ = true;
    QDialog::accept();
}

void CheckedDialog::reject() {
    closing_ = true;
    QDialog::reject();
}

}  // namespace qef
