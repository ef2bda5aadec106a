#include "gui/MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontComboBox>
#include <QMenuBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>

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
#include "gui/MainWindowTexts.h"
#include "gui/RichTextDocument.h"
#include "gui/ScreenFit.h"
#include "gui/StepEndGate.h"
#include "gui/BlockCommands.h"
#include "gui/ToolCommands.h"
#include "gui/Views.h"
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

QString ViewCaption(const QString& fileName, const QString& programTitle) {
    if (fileName.isEmpty()) return programTitle;
    return programTitle + QStringLiteral(" [") + fileName + QStringLiteral("]");
}

QString SavedAsCaption(const QString& path) {
    return QFileInfo(path).fileName() + QStringLiteral(" - ") + kProgramTitle;
}

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      guiInteraction_(std::make_unique<GuiInteraction>(this)),
      choices_(std::make_unique<FileChoices>()),
      runner_(std::make_unique<CommandRunner>(*this)) {
    SetInteraction(nullptr);
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
    // "Đã tính xong" is said once the run's files are written.
    gate_ = std::make_unique<StepEndGate>(interaction ? *interaction : *guiInteraction_, Vn("Đã tính xong"), [this] {
        if (monitorWindow_) monitorWindow_->EndRun(true);
    });
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
    connect(Editor_->document(), &QTextDocument::modificationChanged, this, &MainWindow::EditorChange);

    views_ = new QStackedWidget(this);
    views_->setObjectName(QStringLiteral("Views"));
    views_->addWidget(StGrid_);
    views_->addWidget(Editor_);
    views_->setCurrentWidget(StGrid_);
    setCentralWidget(views_);
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
    // The text may still be modified from before the grid was shown.
    EditorChange(Editor_->document()->isModified());
    Editor_->setFocus();
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

void MainWindow::SetBusy(bool busy) {
    // Menus, toolbars and views only: the monitor and the questions of the run stay usable.
    menuBar()->setEnabled(!busy);
    for (QToolBar* bar : findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) bar->setEnabled(!busy);
    centralWidget()->setEnabled(!busy);
}

bool MainWindow::AskParameters() { return parametersDialog_ && parametersDialog_->exec() == QDialog::Accepted; }

GridBlock MainWindow::SelectedBlock() const { return gridEditor_->SelectedBlock(); }

void MainWindow::MoveGridCursor(GridCell cell) { gridEditor_->MoveTo(cell); }

void MainWindow::ForgetEditorText() {
    Editor_->clear();
    Editor_->document()->setModified(false);
    textFileName_.clear();
    // Clearing signals a change, and no signal of the unchanged state need follow: the panel
    // follows the state the document is left in.
    EditorChange(Editor_->document()->isModified());
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

}  // namespace qef
