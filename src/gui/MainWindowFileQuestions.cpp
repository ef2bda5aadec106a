// The main window's file-name questions: Qt's own open and save dialogs, set up afresh for each
// question, starting where the same question was last answered.
#include <QCompleter>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLineEdit>
#include <QLocale>
#include <QTimer>
#include <QTreeView>

#include "gui/FileChoices.h"
#include "gui/MainWindow.h"
#include "gui/MainWindowTexts.h"

namespace qef {

namespace {

// The dialog lists its folder in the background; a listing that arrives after the question has
// closed must not bring the list of names back over the main window.
class NameListGuard : public QObject {
public:
    explicit NameListGuard(QFileDialog* dialog) : QObject(dialog), dialog_(dialog) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !dialog_->isVisible())
            QTimer::singleShot(0, static_cast<QWidget*>(watched), &QWidget::hide);
        return false;
    }

private:
    QFileDialog* dialog_;
};

// File sizes as a Vietnamese reader writes them ("36 byte", "2,00 kB"): the dialog's own column
// follows the system's locale, which is English on most machines.
class VietnameseSizes : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::DisplayRole && index.column() == 1) {
            if (auto* files = qobject_cast<QFileSystemModel*>(sourceModel())) {
                const QModelIndex source = mapToSource(index);
                if (!files->isDir(source))
                    return QLocale(QLocale::Vietnamese, QLocale::Vietnam)
                        .formattedDataSize(files->size(source), 2, QLocale::DataSizeTraditionalFormat);
            }
        }
        return QIdentityProxyModel::data(index, role);
    }
};

// Qt's own dialog, not the desktop's: its labels can be set, and tests can drive it.
QFileDialog* MakeFileDialog(QWidget* parent, const QString& name, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(name);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilter(kDataFileFilter);
    dialog->setProxyModel(new VietnameseSizes(dialog));
    dialog->resize(760, 460);
    if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); edit && edit->completer())
        edit->completer()->popup()->installEventFilter(new NameListGuard(dialog));
    // Sizes, kinds and dates in full: the dialog's own column widths cut them.
    if (auto* files = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = files->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    return dialog;
}

// What a question is remembered by: the same title asks for different files in the two result kinds.
QString QuestionKey(const FileQuestion& question) {
    if (!question.rememberAs.isEmpty()) return question.rememberAs;
    return question.title + QStringLiteral(" (") + question.defaultSuffix + QLatin1Char(')');
}

void SetLabels(QFileDialog& dialog, QFileDialog::AcceptMode mode) {
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Tìm trong:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Tên file:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Kiểu file:"));
    const bool open = mode == QFileDialog::AcceptOpen;
    dialog.setLabelText(QFileDialog::Accept, open ? QStringLiteral("Mở") : QStringLiteral("Ghi"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Hủy bỏ"));
}

// The question's last name, selected so that typing replaces it; an empty field when it has none.
void OfferName(QFileDialog& dialog, const QString& name) {
    dialog.selectFile(name);
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit) return;
    edit->setText(name);
    edit->selectAll();
    edit->setFocus();
}

// The list of matching names belongs to the question: it goes when the question goes, however
// the question was closed, and never stays on the window to take the next key.
void CloseNameList(QFileDialog& dialog) {
    for (QCompleter* completer : dialog.findChildren<QCompleter*>()) {
        if (completer->popup()) completer->popup()->hide();
    }
}

// The dialog is set up completely at each use: nothing is inherited from the question before.
// `again`: the question comes back after its file could not be written, where the user was and
// with what the user typed.
std::optional<QString> AskFileName(QFileDialog& dialog, const FileQuestion& question, QFileDialog::AcceptMode mode,
                                   FileChoices& choices, const std::optional<FileAnswer>& again,
                                   FileAnswer& answered) {
    const QString key = QuestionKey(question);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave) dialog.setOption(QFileDialog::DontConfirmOverwrite, !question.confirmOverwrite);
    dialog.setWindowTitle(question.title);
    dialog.setNameFilter(question.filter);
    dialog.setDefaultSuffix(question.defaultSuffix);
    SetLabels(dialog, mode);
    dialog.setDirectory(again ? again->Folder : choices.StartFolder(key));
    OfferName(dialog, again ? again->Typed : choices.LastName(key));
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    // Where the user stood and what was typed, as the question was accepted.
    QString folder;
    QString typed;
    const QMetaObject::Connection keep = QObject::connect(&dialog, &QFileDialog::accepted, &dialog, [&] {
        folder = dialog.directory().absolutePath();
        typed = edit ? edit->text() : QString();
    });
    const int result = dialog.exec();
    QObject::disconnect(keep);
    CloseNameList(dialog);
    if (result != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    answered = {folder.isEmpty() ? dialog.directory().absolutePath() : folder, typed};
    // A name in a folder that does not exist is not where the user works: the folder the dialog
    // stood in is.
    const QFileInfo chosen(files.front());
    choices.Remember(key, QFileInfo(chosen.absolutePath()).isDir()
                              ? files.front()
                              : QDir(answered.Folder).filePath(chosen.fileName()));
    return files.front();
}

}  // namespace

void MainWindow::BuildFileDialogs() {
    OpenDialog1_ = MakeFileDialog(this, QStringLiteral("OpenDialog1"), QFileDialog::AcceptOpen);
    SaveDialog1_ = MakeFileDialog(this, QStringLiteral("SaveDialog1"), QFileDialog::AcceptSave);
}

std::optional<QString> MainWindow::AskOpenName(const FileQuestion& question) {
    if (OpenNameAsker) return OpenNameAsker(question);
    FileAnswer answered;
    return AskFileName(*OpenDialog1_, question, QFileDialog::AcceptOpen, *choices_, std::nullopt, answered);
}

std::optional<QString> MainWindow::AskSaveName(const FileQuestion& question) {
    std::optional<FileAnswer> again;
    std::swap(again, askAgain_);
    if (SaveNameAsker) return SaveNameAsker(question);
    return AskFileName(*SaveDialog1_, question, QFileDialog::AcceptSave, *choices_, again, lastSaveAnswer_);
}

}  // namespace qef
