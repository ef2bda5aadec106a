// Saving the main window's two documents, the grid's data file and the editor's text, atomically
// and under a name asked again after a failure; and the questions before they are left unsaved.
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextEdit>

#include "core/text/AtomicFile.h"
#include "core/text/Rtf.h"
#include "core/text/VnCodec.h"
#include "gui/CommandRunner.h"
#include "gui/FileErrors.h"
#include "gui/GridModel.h"
#include "gui/GuiText.h"
#include "gui/MainWindow.h"
#include "gui/MainWindowTexts.h"
#include "gui/RichTextDocument.h"
#include "gui/Views.h"
#include "gui/dialogs/HelpWindow.h"

namespace qef {

namespace {

const QString kTextFileFilter = QStringLiteral(
    "File dạng *.TXT, *.DAT, *.RTF, *.IN* (*.TXT *.txt *.DAT *.dat *.RTF *.rtf *.IN* *.in*);;"
    "Tất cả các file (*)");

// The question before the editor's text is replaced or the program closes.
std::string EditorSaveQuestion(const QString& textFileName) {
    if (textFileName.isEmpty()) return Vn("Văn bản chưa có tên đã bị sửa. Bạn có ghi văn bản không ?");
    return Vn("Bạn có ghi văn bản ") + ToTcvn3(textFileName) + Vn(" không ?");
}

// Data files and reports stay plain text whatever the editor holds.
bool RtfAllowedIn(const QString& name) {
    const QString suffix = QFileInfo(name).suffix().toUpper();
    return suffix != QStringLiteral("DTA") && suffix != QStringLiteral("DAT") && suffix != QStringLiteral("TXT") &&
           !suffix.startsWith(QStringLiteral("IN"));
}

// A name ending in .rtf is written as RTF even for a text that came in plain: its formatting
// would otherwise be lost without a word.
bool NamedRtf(const QString& name) { return QFileInfo(name).suffix().toUpper() == QStringLiteral("RTF"); }

// The editor's lines. QTextDocument::toPlainText turns no-break spaces (TCVN3 byte 0xA0) into
// blanks; the raw text keeps them and only its block and frame marks become line ends.
QString EditorLines(const QTextDocument& document) {
    QString text = document.toRawText();
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xFDD0 || u == 0xFDD1) c = u'\n';
    }
    return text;
}

}  // namespace

bool MainWindow::OfferEditorSave() {
    if (!Editor_->document()->isModified()) return true;
    const Answer answer = Ask().AskYesNoCancel(EditorSaveQuestion(textFileName_));
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return TextFileSave() == SaveResult::Saved;
}

SaveResult MainWindow::SaveUnderAskedName(const FileQuestion& question,
                                          const std::function<SaveResult(const QString&)>& write) {
    for (;;) {
        const auto chosen = AskSaveName(question);
        if (!chosen) return SaveResult::Cancelled;
        const SaveResult result = write(*chosen);
        if (result != SaveResult::Failed) return result;
        // The failure was told; the question comes back where the user was, with the name typed.
        if (!SaveNameAsker) askAgain_ = lastSaveAnswer_;
    }
}

bool MainWindow::WriteAtomically(const QString& path, const std::string& bytes) {
    // Refused by its mode bits, as the computations refuse their results: a rename would
    // replace a read-only file, and root may write any file.
    bool ok = !IsReadOnlyFile(QFile::encodeName(path).toStdString());
    QSaveFile file(path);
    if (ok) ok = file.open(QIODevice::WriteOnly);
    if (ok) ok = file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                 static_cast<qint64>(bytes.size());
    if (ok) ok = file.commit();
    if (!ok) {
        Ask().Message(Vn("Không ghi được file ") + ToTcvn3(path) + " : " +
                      ToTcvn3(WriteFailureText(path, static_cast<qint64>(bytes.size()))));
    }
    return ok;
}

SaveResult MainWindow::SaveDataFile() {
    if (!dataFileName_.isEmpty()) return WriteDataFile(dataFileName_);
    return SaveDataFileAs();
}

SaveResult MainWindow::SaveDataFileAs() {
    return SaveUnderAskedName({QStringLiteral("Ghi file dữ liệu"), kDataFileFilter, QStringLiteral("DTA")},
                              [this](const QString& name) { return WriteDataFile(name); });
}

SaveResult MainWindow::WriteDataFile(const QString& name) {
    CommitGridEntry();
    const std::string bytes =
        GridFileText(grid_->Document(), settings_.OutputSeparatorMode, settings_.FixedFieldWidth);
    if (!WriteAtomically(name, bytes)) return SaveResult::Failed;
    TellWritten({NativeName(name)});
    TellLongCells(Ask(), CellsPastLineLimit(grid_->Document()));
    dataFileName_ = name;
    dataSaved_ = true;
    if (GridVisible()) setWindowTitle(ViewCaption(dataFileName_));
    return SaveResult::Saved;
}

SaveResult MainWindow::TextFileSave() {
    if (!textFileName_.isEmpty()) return WriteEditorText(textFileName_, TextName::Kept);
    return TextFileSaveAs();
}

SaveResult MainWindow::TextFileSaveAs() {
    return SaveUnderAskedName({QStringLiteral("Ghi file văn bản"), kTextFileFilter, QStringLiteral("txt")},
                              [this](const QString& name) { return WriteEditorText(name, TextName::New); });
}

SaveResult MainWindow::WriteEditorText(const QString& name, TextName textName) {
    if (QFileInfo(name).fileName().toUpper().contains(QStringLiteral(".DTA"))) {
        Ask().Message(Vn("Bạn không được Save file <.DTA> ở đây"));
        return SaveResult::Failed;
    }
    const bool asRtf = NamedRtf(name) || (editorRtf_ && RtfAllowedIn(name));
    const std::string bytes = asRtf
                                  ? WriteRtf(RichDocumentOf(*Editor_->document(), Editor_->document()->defaultFont()))
                                  : FileBytesOf(EditorLines(*Editor_->document()), editorUtf8_);
    if (!WriteAtomically(name, bytes)) return SaveResult::Failed;
    TellWritten({NativeName(name)});
    if (asRtf) editorRtf_ = true;
    textFileName_ = name;
    Editor_->document()->setModified(false);
    if (!GridVisible()) {
        WriteStatus(QString());
        if (textName == TextName::New) setWindowTitle(SavedAsCaption(name));
    }
    return SaveResult::Saved;
}

bool MainWindow::FormCloseQuery() {
    CommitGridEntry();
    struct Document {
        bool modified;
        std::string question;
        SaveResult (MainWindow::*save)();
    };
    const Document editor{Editor_->document()->isModified(), EditorSaveQuestion(textFileName_),
                          &MainWindow::TextFileSave};
    const Document grid{!dataSaved_, Vn("Bạn có Save dữ liệu không ?"), &MainWindow::SaveDataFile};
    // The visible view's document is asked about first.
    const Document order[] = {GridVisible() ? grid : editor, GridVisible() ? editor : grid};
    for (const Document& doc : order) {
        if (!doc.modified) continue;
        const Answer answer = Ask().AskYesNoCancel(doc.question);
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::No) continue;
        const SaveResult result = (this->*doc.save)();
        if (result == SaveResult::Cancelled) {
            Ask().Message(Vn("Chưa ghi file, chương trình chưa đóng."));
            return false;
        }
        if (result == SaveResult::Failed) return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (Computing()) {
        // The run holds the documents; the close comes when it ends, if the user still wants it.
        event->ignore();
        runner_->AskCloseAfterRun();
        return;
    }
    if (FormCloseQuery()) {
        help_->close();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace qef
