#pragma once
// What the dialogs share: naming their widgets, and a dialog whose edits refuse bad text when
// the user leaves them and again at OK, without saying the same refusal twice.
#include <QDialog>
#include <QString>
#include <functional>

class QHBoxLayout;
class QLayout;
class QLineEdit;

namespace qef {

// Gives a new widget its objectName, which is how tests and the user's settings find it.
template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// Lays `dialog` out as its controls (`body`), in a part that scrolls where the screen is too low
// for them, above its closing buttons, which stay in sight. The dialog asks for the whole body.
void ScrollingBody(QDialog& dialog, QWidget* body, QLayout* buttons);

// Tab goes from each control to the next in `controls`.
void TabChain(const QList<QWidget*>& controls);

// Tab walks the dialog's controls as its layouts place them: top to bottom, a grid's rows left to
// right, the controls of a group together, whatever order they were made in.
void TabInStandingOrder(QWidget& dialog);

// Tables and lists of a dialog pass Tab on to the next control, as in every dialog with buttons;
// a cell being edited still takes Tab to the next cell.
void LetTabLeaveViews(QWidget& dialog);

class CheckedDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    // Where messages go; by default a message box. Tests replace it.
    std::function<void(const QString&)> MessageHook;

    void reject() override;

protected:
    // OK ("Button1", the default) and Cancel ("Button2") on the right.
    QHBoxLayout* OkCancelRow();
    void ShowMessage(const QString& text);
    // A fresh showing: no refusal stands, leaving an edit is checked again.
    void ResetChecks();
    // The edit's text changed, so its earlier refusal no longer stands.
    void ForgetRefusal(const QLineEdit* edit);
    // Leaving an edit is checked only while the dialog is shown and not closing.
    bool CheckingExits() const;
    void Refuse(QWidget* focusTarget, QLineEdit* edit, const QString& text);
    // At OK: refuses the edit, but only puts the focus back when this very text was just
    // refused on leaving it. Always false, so that OK stops.
    bool RefuseAtOk(QWidget* focusTarget, QLineEdit* edit, const QString& text);
    void AcceptNow();

private:
    bool closing_ = false;
    QLineEdit* lastRefused_ = nullptr;
    QString lastRefusedText_;
};

}  // namespace qef
