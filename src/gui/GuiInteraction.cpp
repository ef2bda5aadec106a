#include "gui/GuiInteraction.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>

#include "gui/GuiText.h"

namespace qef {

namespace {

QString Title() { return QApplication::applicationName(); }

Answer AnswerOf(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            return Answer::Ok;
    }
}

// A box stands over the dialog that is open, else over the main window; over a window of that
// dialog's own (a run's monitor) when that one has the keyboard, for a window manager raises a
// box's owner with it and would otherwise put the dialog over that window.
QWidget* Owner(QWidget* window) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) return window;
    QWidget* active = QApplication::activeWindow();
    if (active && active != modal && active->isVisible() && active->parentWidget() == modal) return active;
    return modal;
}

}  // namespace

void GuiInteraction::Message(const std::string& text) {
    QMessageBox box(QMessageBox::Information, Title(), FromTcvn3(text), QMessageBox::Ok, Owner(parent_));
    // A short text would leave the box too narrow for its title, which the title bar then cuts.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int titleRoom = box.fontMetrics().horizontalAdvance(Title()) * 2 + 140;
        grid->addItem(new QSpacerItem(titleRoom, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
}

Answer GuiInteraction::AskYesNo(const std::string& text) {
    const auto button = QMessageBox::question(Owner(parent_), Title(), FromTcvn3(text),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    // Closing the box by its frame counts as No.
    return button == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Answer GuiInteraction::AskYesNoCancel(const std::string& text) {
    const auto button = QMessageBox::question(
        Owner(parent_), Title(), FromTcvn3(text), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Yes);
    const Answer answer = AnswerOf(button);
    return answer == Answer::Ok ? Answer::Cancel : answer;
}

std::optional<std::string> GuiInteraction::AskText(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(Owner(parent_), FromTcvn3(caption), FromTcvn3(prompt),
                                               QLineEdit::Normal, FromTcvn3(defaultText), &ok);
    if (!ok) return std::nullopt;
    return ToTcvn3(text);
}

}  // namespace qef
