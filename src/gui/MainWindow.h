#pragma once
// The main window: the data grid and the text editor as two views, the menus and toolbars built
// from the action table, the status bar, and the questions about its documents (saving, closing).
// Computations run through its command runner.
#include <QMainWindow>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/grid/GridFile.h"
#include "core/model/Interaction.h"
#include "gui/CommandHost.h"
#include "gui/InputStep.h"
#include "gui/MainWindowTexts.h"

class QAction;
class QComboBox;
class QFileDialog;
class QFontComboBox;
class QLabel;
class QPrinter;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QTextEdit;
class QToolBar;

namespace qef {

class CommandRunner;
class EditorReplace;
class FileChoices;
class FindDialog;
class GridEditor;
class ReplaceDialog;
class TthaydoiBangnhap;
class GridModel;
class GuiInteraction;
class HelpWindow;
class SplashWindow;
class TFTaosodo;
class TFTsbs;
class TFListCanhXp;
class Tflapsdgc;
class TFVoiAutoCAD;
class TForm2;
class Txlslt3;

// "QEF 2010 [file]": the caption for the file of the visible view; the bare title without a file.
QString ViewCaption(const QString& fileName, const QString& programTitle = kProgramTitle);
// After the editor was saved under a new name: the name without its folder, " - ", the title.
QString SavedAsCaption(const QString& path);
// Status panel 0 in the grid view; `column` is 0-based and shown from 1.
QString GridStatusText(int row, int column, int dataRowCount);

enum class SaveResult { Saved, Cancelled, Failed };

// Where a file question was left: the folder the dialog stood in and the text typed as the name.
struct FileAnswer {
    QString Folder;
    QString Typed;
};

class MainWindow : public QMainWindow, public CommandHost {
    Q_OBJECT
public:
    // Builds the window, its actions and views, and its lasting dialogs (FormCreate).
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The dialogs that live from start-up to the end (after the splash is on the screen).
    void CreateDialogs() override;

    ComputationSettings& Settings() override { return settings_; }
    SplashWindow* Splash() const { return splash_; }
    HelpWindow* Help() const { return help_; }
    TFTsbs* ParametersDialog() const { return parametersDialog_; }
    TFVoiAutoCAD* DrawingOptionsDialog() const override { return drawingOptionsDialog_; }
    TForm2* MonitorWindow() const override { return monitorWindow_; }
    TthaydoiBangnhap* GridLayoutDialog() const { return gridLayoutDialog_; }
    FindDialog* FindDialog1() const { return FindDialog1_; }
    ReplaceDialog* ReplaceDialog1() const { return ReplaceDialog1_; }
    TFListCanhXp* StepDialog() const override { return stepDialog_; }
    TFTaosodo* FieldBookOptionsDialog() const override { return fieldBookOptionsDialog_; }
    Tflapsdgc* TextBooksDialog() const override { return textBooksDialog_; }
    Txlslt3* RawConversionDialog() const override { return rawConversionDialog_; }
    bool AskParameters() override;
    QWidget* Widget() override { return this; }

    // Where questions and messages go; nullptr restores the message boxes.
    void SetInteraction(Interaction* interaction);
    // The questions and messages of the window and its runs; a run's closing message first
    // brings the monitor to its end.
    Interaction& Ask() override { return *gate_; }
    // Ask file names; unset means the open and save dialogs, which start at the file last chosen
    // for the same question (kept in the user's settings). Tests answer instead.
    std::function<std::optional<QString>(const FileQuestion&)> SaveNameAsker;
    std::function<std::optional<QString>(const FileQuestion&)> OpenNameAsker;
    std::optional<QString> AskOpenName(const FileQuestion& question) override;
    std::optional<QString> AskSaveName(const FileQuestion& question) override;

    CommandRunner& Runner() override { return *runner_; }
    // A command is running; menus, toolbars and views are disabled meanwhile.
    bool Computing() const;
    void SetBusy(bool busy) override;
    // Loads a text file into the editor as plain text (UTF-8 or TCVN3, as it comes); false with a
    // message when it cannot be read.
    bool LoadEditorFile(const QString& path);

    // Views.
    bool GridVisible() const override;
    void ShowGridView();
    void ShowEditorView();
    // Opens a report of a run in the editor view, captioned with `programTitle`; nothing changes
    // when it cannot be read.
    void ShowReport(const QString& path, const QString& programTitle) override;

    // Documents.
    GridModel& Grid() override { return *grid_; }
    // Typing, moving, rows, columns, blocks and find in the grid.
    GridEditor& GridEntry() { return *gridEditor_; }
    // The text still pending in the cell editor goes into its cell. Every command that reads the
    // grid calls this first.
    void CommitGridEntry() override;
    GridBlock SelectedBlock() const override;
    void MoveGridCursor(GridCell cell) override;
    // Empties the grid (new, open): no data rows, the cursor on row 1, column 0.
    void StGridClear();
    void SetPasteEnabled(bool enabled);
    // Cut, copy, paste and delete act on the visible view.
    void CutCommand();
    void CopyCommand();
    void PasteCommand();
    void DeleteCommand();
    // Find in the visible view; replace in the editor; the grid's layout.
    void ShowFind();
    void ShowReplace();
    void ShowGridLayout();
    QTableView* GridView() const { return StGrid_; }
    QTextEdit* Editor() const { return Editor_; }
    bool DataSaved() const { return dataSaved_; }
    void SetDataSaved(bool saved) override { dataSaved_ = saved; }
    const QString& DataFileName() const { return dataFileName_; }
    void SetDataFileName(const QString& name) { dataFileName_ = name; }
    const QString& TextFileName() const { return textFileName_; }
    void SetTextFileName(const QString& name) { textFileName_ = name; }
    // The editor's text came from a UTF-8 file and is saved back as UTF-8 (TCVN3 otherwise).
    bool EditorUtf8() const { return editorUtf8_; }
    void SetEditorUtf8(bool utf8) { editorUtf8_ = utf8; }
    // The editor's text came from an RTF file and is saved back as RTF (where the name allows).
    bool EditorRtf() const { return editorRtf_; }
    void SetEditorRtf(bool rtf) { editorRtf_ = rtf; }

    // The file commands; each acts on the visible view's document: "New" (FileNew1Execute),
    // "Open" (FileOpen1Execute: OpenDataFile or OpenTextFile), "Save" (FileSave1Execute),
    // "Save As" (TBSaveasClick).
    void NewDocument();
    void OpenDocument();
    void SaveDocument();
    void SaveDocumentAs();
    // Prints the editor's lines after the print dialog (or PrintSetup) chose the printer
    // (TBPrintClick).
    void PrintEditor();
    // Grid only: a data file read in at the current row (Chenfilevao1Click); the selected block
    // written to a file or appended to one (ghikhoirafile).
    void ReadFileIntoGrid();
    enum class BlockWrite { Create, Append };
    void WriteBlockToFile(BlockWrite how);
    // Sets up the printer instead of the print dialog (tests); false is Cancel.
    std::function<bool(QPrinter&)> PrintSetup;

    // Writes the grid data file (asking a name when there is none); a failure is reported.
    SaveResult SaveDataFile();
    // Writes the grid data under a name asked first; Cancel keeps the old name.
    SaveResult SaveDataFileAs();
    // Writes the editor text to its file (asking a name when there is none; Savefiletext); a failure
    // is reported.
    SaveResult TextFileSave();
    SaveResult TextFileSaveAs();
    // Before the editor gets other text: asks whether its changes are saved. False on Cancel or
    // when the save did not happen.
    bool OfferEditorSave() override;
    // Empties the editor and forgets its file.
    void ForgetEditorText() override;

    // Status bar: panel 0 is the program's, 1 to 7 hold the function-key texts.
    QString StatusText(int panel) const;
    void WriteGridStatus();
    void WriteStatus(const QString& text);
    // The closing line of a command that ends without a message: the files its run put in place,
    // those that are there; an empty line when there are none.
    void TellWritten(const std::vector<std::string>& writtenFiles) override;

    void ShowHelp();
    void ShowAbout();

    // The closing questions; true when the window may close.
    bool FormCloseQuery();

    // A command whose work is not built yet stays disabled whatever the view asks.
    bool CommandPending(const QAction* action) const { return pending_.contains(action); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildViews();
    void BuildStatusBar();
    void BuildFileDialogs();
    void BuildSearchDialogs();
    bool ConfirmGridLayout(int columns);
    void FormShow();
    void ShowEditor(const QString& programTitle);
    void SetCommandEnabled(QAction* action, bool enabled);
    void EnableGridCommands(bool enabled);
    // Status panel 0 follows whether the editor is modified.
    void EditorChange(bool modified);
    bool WriteAtomically(const QString& path, const std::string& bytes);
    SaveResult WriteDataFile(const QString& name);
    // A text saved under a new name captions the editor with that name.
    enum class TextName { Kept, New };
    SaveResult WriteEditorText(const QString& name, TextName textName);
    // Before the grid gets other data: asks whether its changes are saved; false on Cancel or
    // when the save did not happen.
    bool OfferDataSave();
    // "Open" of each view.
    void OpenDataFile();
    void OpenTextFile();
    std::optional<GridFileRead> ReadDataFile(const QString& path, bool detectSeparators, long long room);
    // Asks a name and writes under it; a write that fails asks again until it succeeds or the
    // user cancels.
    SaveResult SaveUnderAskedName(const FileQuestion& question, const std::function<SaveResult(const QString&)>& write);

    ComputationSettings settings_;
    std::unique_ptr<GuiInteraction> guiInteraction_;
    std::unique_ptr<FileChoices> choices_;
    std::unique_ptr<Interaction> gate_;

    bool dataSaved_ = true;
    QString dataFileName_;
    QString textFileName_;
    bool editorUtf8_ = false;
    bool editorRtf_ = false;
    bool shownOnce_ = false;
    QSet<const QAction*> pending_;

    GridModel* grid_ = nullptr;
    QStackedWidget* views_ = nullptr;
    QTableView* StGrid_ = nullptr;
    QTextEdit* Editor_ = nullptr;
    std::vector<QLabel*> statusPanels_;
    QFileDialog* OpenDialog1_ = nullptr;
    QFileDialog* SaveDialog1_ = nullptr;
    FileAnswer lastSaveAnswer_;
    std::optional<FileAnswer> askAgain_;

    SplashWindow* splash_ = nullptr;
    HelpWindow* help_ = nullptr;
    TFTsbs* parametersDialog_ = nullptr;
    TFVoiAutoCAD* drawingOptionsDialog_ = nullptr;
    TForm2* monitorWindow_ = nullptr;
    TthaydoiBangnhap* gridLayoutDialog_ = nullptr;
    FindDialog* FindDialog1_ = nullptr;
    ReplaceDialog* ReplaceDialog1_ = nullptr;
    std::unique_ptr<EditorReplace> editorReplace_;
    GridEditor* gridEditor_ = nullptr;
    TFListCanhXp* stepDialog_ = nullptr;
    TFTaosodo* fieldBookOptionsDialog_ = nullptr;
    Tflapsdgc* textBooksDialog_ = nullptr;
    Txlslt3* rawConversionDialog_ = nullptr;

    QToolBar* TB_StGrid_ = nullptr;
    QToolBar* TB_Editor_ = nullptr;
    QFontComboBox* FontName_ = nullptr;
    QSpinBox* FontSize_ = nullptr;
    QComboBox* CBkitungancach_ = nullptr;
    QAction* TBPrint_ = nullptr;
    QAction* TBDBG_ = nullptr;
    QAction* TBRE_ = nullptr;

    std::unique_ptr<CommandRunner> runner_;
};

}  // namespace qef
