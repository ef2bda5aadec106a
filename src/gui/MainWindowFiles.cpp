// The main window's file commands: new, open, save, save as and print of the visible view's
// document, and the grid's data files read in at a row or written from a block.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QPrintDialog>
#include <QPrinter>
#include <QTableView>
#include <QTextEdit>

#include "core/text/VnCodec.h"
#include "gui/EditorPrinting.h"
#include "gui/FileErrors.h"
#include "gui/GridModel.h"
#include "gui/GuiText.h"
#include "gui/MainWindow.h"
#include "gui/MainWindowTexts.h"

namespace qef {

namespace {

const QString kOpenDataFilter =
    QStringLiteral("File dữ liệu *.DTA (*.DTA *.dta);;File dạng *.DAT (*.DAT *.dat);;All File (*)");
const QString kOpenTextFilter = QStringLiteral(
    "File dạng *.TXT, *.DAT, *.RTF, *.IN* (*.TXT *.txt *.RTF *.rtf *.DAT *.dat *.IN* *.in*);;All File (*)");
const QString kInsertFilter = QStringLiteral("File dạng *.DTA (*.DTA *.dta)");
const QString kBlockFilter =
    QStringLiteral("File dữ liệu *.DTA (*.DTA *.dta);;File dạng *.DAT (*.DAT *.dat);;All File (*)");

std::string Quoted(const QString& path) { return ToTcvn3(path); }

}  // namespace

// ---------------------------------------------------------------- the grid's document

bool MainWindow::OfferDataSave() {
    CommitGridEntry();
    if (dataSaved_) return true;
    const Answer answer = Ask().AskYesNoCancel(Vn("Bạn có save dữ liệu không ?"));
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return SaveDataFile() == SaveResult::Saved;
}

// The whole file, or nothing when it cannot be read or would push data rows off the grid's end.
std::optional<GridFileRead> MainWindow::ReadDataFile(const QString& path, bool detectSeparators, long long room) {
    GridFileFormat format;
    if (!detectSeparators) format.Separator = settings_.OutputSeparatorMode;
    format.FixedFieldWidth = settings_.FixedFieldWidth;
    format.Columns = grid_->Columns();
    GridFileRead read = ReadGridFile(path.toStdString(), format);
    if (!read.Opened) {
        Ask().Message(Vn("Không đọc được file ") + Quoted(path));
        return std::nullopt;
    }
    if (static_cast<long long>(read.Rows.size()) > room) {
        Ask().Message(Vn("File ") + Quoted(path) + Vn(" có ") + std::to_string(read.Rows.size()) +
                      Vn(" dòng, bảng chỉ còn chỗ cho ") + std::to_string(room) +
                      Vn(" dòng. File không được đọc vào."));
        return std::nullopt;
    }
    return read;
}

// ---------------------------------------------------------------- the commands

void MainWindow::NewDocument() {
    if (GridVisible()) {
        if (!OfferDataSave()) return;
        StGridClear();
        dataFileName_.clear();
        dataSaved_ = true;
        WriteGridStatus();
    } else {
        if (!OfferEditorSave()) return;
        ForgetEditorText();
        editorRtf_ = false;
        editorUtf8_ = false;
        WriteStatus(QString());
    }
    setWindowTitle(kProgramTitle);
}

void MainWindow::OpenDocument() {
    if (GridVisible()) OpenDataFile();
    else OpenTextFile();
}

void MainWindow::OpenDataFile() {
    if (!OfferDataSave()) return;
    const auto name = AskOpenName({QStringLiteral("Mở file dữ liệu"), kOpenDataFilter, QStringLiteral("DTA")});
    if (!name) return;
    // With "Bắt buộc đọc file theo ký tự ngăn cách" up, each line shows its own separator.
    const QAction* forced = findChild<QAction*>(QStringLiteral("TBtudongnhandang"));
    const auto read = ReadDataFile(*name, forced && !forced->isChecked(), grid_->DataRows());
    if (!read) return;
    StGridClear();  // the cursor starts again on the first cell, which the editor then shows
    grid_->Edit([&read](GridDocument& doc) { LoadGridRows(doc, read->Rows); });
    dataFileName_ = *name;
    dataSaved_ = true;
    setWindowTitle(ViewCaption(dataFileName_));
    WriteGridStatus();
}

void MainWindow::OpenTextFile() {
    if (!OfferEditorSave()) return;
    const auto name = AskOpenName({QStringLiteral("Mở file text"), kOpenTextFilter, QStringLiteral("DTA")});
    if (!name || !LoadEditorFile(*name)) return;
    textFileName_ = *name;
    setWindowTitle(ViewCaption(textFileName_));
    WriteStatus(QString());
}

void MainWindow::SaveDocument() {
    if (GridVisible())
        SaveDataFile();
    else
        TextFileSave();
}

void MainWindow::SaveDocumentAs() {
    if (GridVisible())
        SaveDataFileAs();
    else
        TextFileSaveAs();
}

void MainWindow::PrintEditor() {
    if (GridVisible()) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(textFileName_.isEmpty() ? kProgramTitle : QFileInfo(textFileName_).fileName());
    if (PrintSetup) {
        if (!PrintSetup(printer)) return;
    } else {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("In văn bản"));
        if (dialog.exec() != QDialog::Accepted) return;
    }
    if (PrintLines(printer, Editor_->toPlainText().split(QLatin1Char('\n')), Editor_->document()->defaultFont(),
                   TabsOf(*Editor_)) == 0) {
        Ask().Message(Vn("Không in được văn bản."));
        return;
    }
    // Printed to a file, the page is a file written like any other.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        TellWritten({NativeName(printer.outputFileName())});
}

void MainWindow::ReadFileIntoGrid() {
    if (!GridVisible()) return;
    CommitGridEntry();
    const auto name = AskOpenName({QStringLiteral("File dữ liệu chèn vào"), kInsertFilter, QStringLiteral("DTA")});
    if (!name) return;
    const QModelIndex current = StGrid_->currentIndex();
    const int row = current.isValid() ? GridModel::GridRow(current.row()) : 1;
    const auto read = ReadDataFile(*name, true, RoomForRows(grid_->Document(), row));
    if (!read) return;
    grid_->Edit([&read, row](GridDocument& doc) { InsertGridRows(doc, row, read->Rows); });
    StGrid_->setCurrentIndex(grid_->index(GridModel::ModelRow(row), current.isValid() ? current.column() : 0));
    dataSaved_ = false;
    WriteGridStatus();
}

void MainWindow::WriteBlockToFile(BlockWrite how) {
    if (!GridVisible()) return;
    CommitGridEntry();
    // The selected rectangle; the current cell when nothing is selected.
    GridBlock block;
    const QItemSelection selection = StGrid_->selectionModel()->selection();
    if (!selection.isEmpty()) {
        int top = selection.front().top(), bottom = selection.front().bottom();
        int left = selection.front().left(), right = selection.front().right();
        for (const QItemSelectionRange& range : selection) {
            top = std::min(top, range.top());
            bottom = std::max(bottom, range.bottom());
            left = std::min(left, range.left());
            right = std::max(right, range.right());
        }
        block = {GridModel::GridRow(top), GridModel::GridRow(bottom), left, right};
    } else if (const QModelIndex current = StGrid_->currentIndex(); current.isValid()) {
        const int row = GridModel::GridRow(current.row());
        block = {row, row, current.column(), current.column()};
    }
    const bool append = how == BlockWrite::Append;
    FileQuestion question{append ? QStringLiteral("Nối khối vào file") : QStringLiteral("Ghi khối ra file"),
                          kBlockFilter, QStringLiteral("DTA")};
    question.confirmOverwrite = !append;
    // A refused name may be followed by a cancel: only a block in place is named.
    std::string written;
    SaveUnderAskedName(question, [&](const QString& name) {
        std::string bytes;
        if (append && QFileInfo::exists(name)) {
            QFile old(name);
            if (!old.open(QIODevice::ReadOnly)) {
                Ask().Message(Vn("Không đọc được file ") + Quoted(name) + " : " + ToTcvn3(ReadFailureText(name)));
                return SaveResult::Failed;
            }
            bytes = old.readAll().toStdString();
            // The block starts on a line of its own, before any end-of-text mark.
            if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
            if (!bytes.empty() && bytes.back() != '\n') bytes += "\r\n";
        }
        bytes += GridFileText(grid_->Document(), block, settings_.OutputSeparatorMode, settings_.FixedFieldWidth);
        if (!WriteAtomically(name, bytes)) return SaveResult::Failed;
        written = NativeName(name);
        TellLongCells(Ask(), CellsPastLineLimit(grid_->Document(), block));
        return SaveResult::Saved;
    });
    TellWritten({written});
}

}  // namespace qef
