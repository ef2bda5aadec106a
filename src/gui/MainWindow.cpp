#include "gui/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "core/text/Rtf.h"
#include "core/text/VnCodec.h"
#include "gui/ActionBars.h"
#include "gui/CommandRunner.h"
#include "gui/EditorSearch.h"
#include "gui/GridEditor.h"
#include "gui/FileChoices.h"
#include "gui/FileErrors.h"
#include "gui/GridModel.h"
#include "gui/GuiInteraction.h"
#include "gui/GuiText.h"
#include "gui/RichTextDocument.h"
#include "gui/ScreenFit.h"
#include "gui/BlockCommands.h"
#include "gui/ToolCommands.h"
#include "gui/Views.h"
#include "gui/WrittenFiles.h"
#include "gui/dialogs/HelpWindow.h"
#include "gui/dialogs/SplashWindow.h"
#include "gui/dialogs/TFListCanhXp.h"
#include "gui/dialogs/TFTaosodo.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/Tflapsdgc.h"
#include "gui/dialogs/TFVoiAutoCAD.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/ReplaceDialog.h"
#include "gui/dialogs/TForm2.h"
#include "gui/dialogs/TthaydoiBangnhap.h"
#include "gui/dialogs/Txlslt3.h"

namespace qef {

namespace {

const QString kProgramTitle = QStringLiteral("QEF 2010");

// Grid data files, both cases of each pattern.
const QString kDataFileFilter = QStringLiteral(
    "File du lieu (*.DTA *.dta);;File du lieu (*.DAT *.dat);;Tat ca cac loai file (*)");
const QString kTextFileFilter = QStringLiteral(
    "File dạng *.TXT, *.DAT, *.RTF, *.IN* (*.TXT *.txt *.DAT *.dat *.RTF *.rtf *.IN* *.in*);;"
    "Tất cả các file (*)");

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

// Passes everything on; "Đã tính xong" is said once the run's files are written, so the monitor
// reaches its end before the message stands over it.
class RunEndGate : public Interaction {
public:
    RunEndGate(Interaction*& target, std::function<void()> atDone) : target_(target), atDone_(std::move(atDone)) {}
    void Message(const std::string& text) override {
        if (text == Vn("Đã tính xong")) atDone_();
        target_->Message(text);
    }
    Answer AskYesNo(const std::string& text) override { return target_->AskYesNo(text); }
    Answer AskYesNoCancel(const std::string& text) override { return target_->AskYesNoCancel(text); }
    std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                       const std::string& defaultText) override {
        return target_->AskText(caption, prompt, defaultText);
    }

private:
    Interaction*& target_;
    std::function<void()> atDone_;
};

}  // namespace

QString ViewCaption(const QString& fileName, const QString& programTitle) {
    if (fileName.isEmpty()) return programTitle;
    return programTitle + QStringLiteral(" [") + fileName + QStringLiteral("]");
}

QString SavedAsCaption(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(" - ") + kProgramTitle;
}

QString GridStatusText(int row, int column, int dataRowCount) {
    return QStringLiteral(" Dòng: %1   Cột: %2   Số dòng: %3").arg(row).arg(column + 1).arg(dataRowCount);
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      guiInteraction_(std::make_unique<GuiInteraction>(this)),
      choices_(std::make_unique<FileChoices>()),
      runner_(std::make_unique<CommandRunner>(*this)) {
    interaction_ = guiInteraction_.get();
    gate_ = std::make_unique<RunEndGate>(interaction_, [this] {
        if (monitorWindow_) monitorWindow_->EndRun(true);
    });
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(kProgramTitle);

    BuildViews();
    ActionBars bars = BuildActionBars(*this);
    pending_ = std::move(bars.Pending);
    TB_StGrid_ = bars.Bars.at(BarId::Grid);
    TB_Editor_ = bars.Bars.at(BarId::Editor);
    TBPrint_ = findChild<QAction*>(QStringLiteral("TBPrint"));
    TBDBG_ = findChild<QAction*>(QStringLiteral("TBDBG"));
    TBRE_ = findChild<QAction*>(QStringLiteral("TBRE"));
    FontName_ = findChild<QFontComboBox*>(QStringLiteral("FontName"));
    FontSize_ = findChild<QSpinBox*>(QStringLiteral("FontSize"));
    CBkitungancach_ = findChild<QComboBox*>(QStringLiteral("CBkitungancach"));
    BuildStatusBar();
    BuildFileDialogs();
    BuildSearchDialogs();
    gridEditor_->SetPrefixBox(findChild<QComboBox*>(QStringLiteral("Ephandau")));
    SetPasteEnabled(false);

    // The grid starts empty on row 1, column 1.
    grid_->SetDataRowCount(0);
    StGrid_->setCurrentIndex(grid_->index(0, 0));
    WriteGridStatus();
    Editor_->document()->setModified(false);

    splash_ = new SplashWindow(this);
    help_ = new HelpWindow(this);
    QCoreApplication::instance()->installEventFilter(new DialogFit(this));
    FitToScreen(*this, QSize(1260, 780));
}

MainWindow::~MainWindow() = default;

void MainWindow::CreateDialogs() {
    if (!parametersDialog_) parametersDialog_ = new TFTsbs(settings_, this);
    if (!monitorWindow_) monitorWindow_ = new TForm2(this);
    if (!drawingOptionsDialog_) drawingOptionsDialog_ = new TFVoiAutoCAD(settings_, this);
    if (!fieldBookOptionsDialog_) fieldBookOptionsDialog_ = new TFTaosodo(this);
    if (!textBooksDialog_) textBooksDialog_ = new Tflapsdgc(this);
    parametersDialog_->SetDrawingOptionsDialog(drawingOptionsDialog_);
    if (!gridLayoutDialog_) {
        gridLayoutDialog_ = new TthaydoiBangnhap(this);
        gridLayoutDialog_->Confirm = [this](const GridLayoutChoice& choice) { return ConfirmGridLayout(choice.Columns); };
    }
    if (!stepDialog_) stepDialog_ = new TFListCanhXp(settings_, *this, this);
    stepDialog_->SetDrawingOptionsDialog(drawingOptionsDialog_);
    CreateToolDialogs(*this);
    CreateBlockDialogs(*this);
    if (!rawConversionDialog_)
        rawConversionDialog_ = new Txlslt3(*this, [this]() -> Interaction& { return Ask(); }, ConversionSettingsPath(), this);
}

void MainWindow::SetInteraction(Interaction* interaction) {
    interaction_ = interaction ? interaction : guiInteraction_.get();
}

void MainWindow::SetCommandEnabled(QAction* action, bool enabled) {
    action->setEnabled(enabled && !pending_.contains(action));
}

// Commands of the grid alone follow the view.
void MainWindow::EnableGridCommands(bool enabled) {
    for (const char* name : {"Chenfilevao1", "Ghikhoirafile", "Noikhoivaofile"})
        if (auto* action = findChild<QAction*>(QString::fromUtf8(name))) SetCommandEnabled(action, enabled);
}

void MainWindow::BuildViews() {
    grid_ = new GridModel(GridModel::kDefaultColumns, GridModel::kDefaultDataRows, this);
    StGrid_ = MakeGridView(grid_, this);
    gridEditor_ = new GridEditor(*this, *grid_, *StGrid_);
    connect(StGrid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { if (GridVisible()) WriteGridStatus(); });
    Editor_ = MakeEditor(this);
    connect(Editor_->document(), &QTextDocument::modificationChanged, this, &MainWindow::OnEditorModified);

    views_ = new QStackedWidget(this);
    views_->setObjectName(QStringLiteral("Views"));
    views_->addWidget(StGrid_);
    views_->addWidget(Editor_);
    views_->setCurrentWidget(StGrid_);
    setCentralWidget(views_);
}

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    const char* texts[] = {"",
                           "F1 : Hướng dẫn",
                           "F4 : BS Đơn giản",
                           "F5 : BS từng nhóm",
                           "F6 : BS Độ cao",
                           "F7 : Tính X, Y mia",
                           "F8 : Tính X,Y,Z theo chênh cao",
                           "F9 : Tính X,Y,Z theo góc TĐỉnh"};
    for (int i = 0; i < 8; ++i) {
        auto* panel = new QLabel(QString::fromUtf8(texts[i]), bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        // Room for the widest position of a large grid.
        if (i == 0) panel->setFixedWidth(panel->fontMetrics().horizontalAdvance(GridStatusText(99999, 98, 99999)) + 12);
        else panel->setContentsMargins(2, 0, 2, 0);
        bar->addWidget(panel);
        statusPanels_.push_back(panel);
    }
}

void MainWindow::BuildSearchDialogs() {
    editorReplace_ = std::make_unique<EditorReplace>();
    FindDialog1_ = new FindDialog(this);
    connect(FindDialog1_, &FindDialog::FindNext, this, [this](const QString& text) {
        const bool found = GridVisible() ? gridEditor_->FindNext(text) : FindInEditor(*Editor_, text);
        if (found) return;
        if (!GridVisible()) Ask().Message("Khong tim thay chuoi \"" + ToTcvn3(text) + "\" nua");
        FindDialog1_->close();
    });
    ReplaceDialog1_ = new ReplaceDialog(this);
    connect(ReplaceDialog1_, &ReplaceDialog::FindNext, this, [this](const QString& text) {
        if (!editorReplace_->FindNext(*Editor_, text))
            Ask().Message("Khong tim thay chuoi \"" + ToTcvn3(text) + "\" nua");
    });
    connect(ReplaceDialog1_, &ReplaceDialog::Replace, this, [this](const QString& text, const QString& replacement) {
        editorReplace_->Replace(*Editor_, text, replacement);
    });
    connect(ReplaceDialog1_, &ReplaceDialog::ReplaceAll, this,
            [this](const QString& text, const QString& replacement) {
                editorReplace_->ReplaceAll(*Editor_, text, replacement);
            });
}

void MainWindow::BuildFileDialogs() {
    OpenDialog1_ = MakeFileDialog(this, QStringLiteral("OpenDialog1"), QFileDialog::AcceptOpen);
    SaveDialog1_ = MakeFileDialog(this, QStringLiteral("SaveDialog1"), QFileDialog::AcceptSave);
}

// ---------------------------------------------------------------- views

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    FormShow();
}

void MainWindow::FormShow() {
    splash_->BecomeAboutWindow();
    const QFont editorFont = Editor_->document()->defaultFont();
    FontSize_->setValue(editorFont.pointSize());
    FontName_->setCurrentFont(editorFont);
    TB_Editor_->hide();
    CBkitungancach_->setCurrentIndex(static_cast<int>(settings_.OutputSeparatorMode));
    ShowGridView();
}

bool MainWindow::GridVisible() const { return views_->currentWidget() == StGrid_; }

void MainWindow::ShowGridView() {
    TBDBG_->setChecked(true);
    TB_Editor_->hide();
    TB_StGrid_->show();
    SetCommandEnabled(TBPrint_, false);
    EnableGridCommands(true);
    views_->setCurrentWidget(StGrid_);
    WriteGridStatus();
    setWindowTitle(ViewCaption(dataFileName_));
    StGrid_->setFocus();
}

void MainWindow::ShowEditorView() { ShowEditor(kProgramTitle); }

void MainWindow::ShowEditor(const QString& programTitle) {
    TBRE_->setChecked(true);
    TB_Editor_->show();
    SetCommandEnabled(TBPrint_, true);
    EnableGridCommands(false);
    TB_StGrid_->hide();
    views_->setCurrentWidget(Editor_);
    setWindowTitle(ViewCaption(textFileName_, programTitle));
    WriteStatus(QString());
    Editor_->setFocus();
}

void MainWindow::WriteStatus(const QString& text) { statusPanels_[0]->setText(text); }

void MainWindow::TellWritten(const WrittenFiles& files) {
    const QString text = WrittenText(files.Written());
    if (!text.isEmpty()) statusBar()->showMessage(text);
}

QString MainWindow::StatusText(int panel) const {
    if (panel < 0 || static_cast<std::size_t>(panel) >= statusPanels_.size()) return {};
    return statusPanels_[panel]->text();
}

void MainWindow::WriteGridStatus() {
    const QModelIndex current = StGrid_->currentIndex();
    const int row = current.isValid() ? GridModel::GridRow(current.row()) : 1;
    const int column = current.isValid() ? current.column() : 0;
    WriteStatus(GridStatusText(row, column, grid_->DataRowCount()));
}

void MainWindow::OnEditorModified(bool modified) {
    if (!GridVisible()) WriteStatus(modified ? QStringLiteral("Đã sửa") : QString());
}

void MainWindow::ShowHelp() { help_->ShowContents(); }

void MainWindow::ShowAbout() {
    splash_->BecomeAboutWindow();
    splash_->exec();
}

// ---------------------------------------------------------------- grid entry

void MainWindow::CommitGridEntry() { gridEditor_->CommitPending(); }

void MainWindow::StGridClear() { gridEditor_->StGridClear(); }

void MainWindow::SetPasteEnabled(bool enabled) {
    if (auto* paste = findChild<QAction*>(QStringLiteral("EditPaste"))) SetCommandEnabled(paste, enabled);
}

void MainWindow::CutCommand() {
    if (GridVisible()) gridEditor_->CutBlock();
    else Editor_->cut();
}

void MainWindow::CopyCommand() {
    if (GridVisible()) gridEditor_->CopyBlock();
    else Editor_->copy();
}

void MainWindow::PasteCommand() {
    if (GridVisible()) gridEditor_->PasteBlock();
    else Editor_->paste();
}

void MainWindow::DeleteCommand() {
    if (GridVisible()) gridEditor_->DeleteBlock();
}

void MainWindow::ShowFind() {
    gridEditor_->RestartFind();
    FindDialog1_->show();
    FindDialog1_->raise();
    FindDialog1_->activateWindow();
}

void MainWindow::ShowReplace() {
    editorReplace_->Restart();
    ReplaceDialog1_->show();
    ReplaceDialog1_->raise();
    ReplaceDialog1_->activateWindow();
}

bool MainWindow::ConfirmGridLayout(int columns) {
    const int used = grid_->Document().ColumnsInUse();
    if (columns >= used) return true;
    return Ask().AskYesNo(Vn("Số liệu ở các cột từ ") + std::to_string(columns + 1) + Vn(" đến ") +
                          std::to_string(used) + Vn(" sẽ bị xóa. Bạn có đồng ý không ?")) == Answer::Yes;
}

void MainWindow::ShowGridLayout() {
    CreateDialogs();
    CommitGridEntry();
    gridLayoutDialog_->SetDataRows(grid_->DataRowCount());
    if (gridLayoutDialog_->exec() != QDialog::Accepted) return;
    const GridLayoutChoice choice = gridLayoutDialog_->Choice();
    // The font code decides how the cells' bytes are shown; the screen font stays a Unicode one.
    gridEditor_->ApplyLayout(choice.Columns, choice.Rows, choice.ColumnWidth, choice.VniFont);
}

// ---------------------------------------------------------------- computations and their reports

bool MainWindow::Computing() const { return runner_->Computing(); }

bool MainWindow::OfferEditorSave() {
    if (!Editor_->document()->isModified()) return true;
    const Answer answer = Ask().AskYesNoCancel(EditorSaveQuestion(textFileName_));
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::No) return true;
    return SaveEditorText() == SaveResult::Saved;
}

void MainWindow::ForgetEditorText() {
    Editor_->clear();
    Editor_->document()->setModified(false);
    textFileName_.clear();
    // Clearing signals a change, and no signal of the unchanged state need follow: the panel
    // follows the state the document is left in.
    OnEditorModified(Editor_->document()->isModified());
}

void MainWindow::ShowReport(const QString& path, const QString& programTitle) {
    Editor_->setAcceptRichText(false);
    if (!LoadEditorFile(path)) return;
    textFileName_ = path;
    ShowEditor(programTitle);
}

bool MainWindow::LoadEditorFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Ask().Message(Vn("Không đọc được file ") + ToTcvn3(path) + " : " + ToTcvn3(ReadFailureText(path)));
        return false;
    }
    const std::string bytes = file.readAll().toStdString();
    editorRtf_ = IsRtf(bytes);
    if (editorRtf_) {
        editorUtf8_ = false;
        FillTextDocument(*Editor_->document(), ReadRtf(bytes));
    } else {
        EditorText text = EditorTextOf(bytes);
        editorUtf8_ = text.Utf8;
        Editor_->setPlainText(text.Text);
    }
    Editor_->document()->setModified(false);
    return true;
}

// ---------------------------------------------------------------- saving and closing

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
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
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
    dataFileName_ = name;
    dataSaved_ = true;
    if (GridVisible()) setWindowTitle(ViewCaption(dataFileName_));
    return SaveResult::Saved;
}

SaveResult MainWindow::SaveEditorText() {
    if (!textFileName_.isEmpty()) return WriteEditorText(textFileName_, false);
    return SaveEditorTextAs();
}

SaveResult MainWindow::SaveEditorTextAs() {
    return SaveUnderAskedName({QStringLiteral("Ghi file văn bản"), kTextFileFilter, QStringLiteral("txt")},
                              [this](const QString& name) { return WriteEditorText(name, true); });
}

SaveResult MainWindow::WriteEditorText(const QString& name, bool newName) {
    if (QFileInfo(name).fileName().toUpper().contains(QStringLiteral(".DTA"))) {
        Ask().Message(Vn("Bạn không được Save file <.DTA> ở đây"));
        return SaveResult::Failed;
    }
    const std::string bytes = editorRtf_ && RtfAllowedIn(name)
                                  ? WriteRtf(RichDocumentOf(*Editor_->document(), Editor_->document()->defaultFont()))
                                  : FileBytesOf(Editor_->toPlainText(), editorUtf8_);
    if (!WriteAtomically(name, bytes)) return SaveResult::Failed;
    textFileName_ = name;
    Editor_->document()->setModified(false);
    if (!GridVisible()) {
        WriteStatus(QString());
        if (newName) setWindowTitle(SavedAsCaption(name));
    }
    return SaveResult::Saved;
}

bool MainWindow::ConfirmClose() {
    CommitGridEntry();
    struct Document {
        bool modified;
        std::string question;
        SaveResult (MainWindow::*save)();
    };
    const Document editor{Editor_->document()->isModified(), EditorSaveQuestion(textFileName_),
                          &MainWindow::SaveEditorText};
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
    if (ConfirmClose()) {
        help_->close();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace qef
