#pragma once
// The main window: the data grid and the text editor as two views, the menus and toolbars that
// start every command, the status bar, and the questions asked before the program closes.
#include <QMainWindow>
#include <QSet>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/io/Readers.h"
#include "gui/Commands.h"
#include "gui/InputStep.h"

class QActionGroup;
class QComboBox;
class QFileDialog;
class QFontComboBox;
class QLabel;
class QSpinBox;
class QStackedWidget;
class QTableView;
class QTextEdit;
class QToolBar;

namespace qef {

class GridModel;
class GuiInteraction;
class HelpWindow;
class SplashWindow;
class TFTsbs;
class TFVoiAutoCAD;
class TForm2;

// "QEF 2010 [file]": the caption for the file of the visible view; the bare title without a file.
QString ViewCaption(const QString& fileName, const QString& programTitle = QStringLiteral("QEF 2010"));
// After the editor was saved under a new name: the name without its folder, " - ", the title.
QString SavedAsCaption(const QString& path);
// Status panel 0 in the grid view; `column` is 0-based and shown from 1.
QString GridStatusText(int row, int column, int dataRowCount);

enum class SaveResult { Saved, Cancelled, Failed };

class MainWindow : public QMainWindow, public FileDialogs {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The dialogs that live from start-up to the end (after the splash is on the screen).
    void CreateDialogs();

    ComputationSettings& Settings() { return settings_; }
    SplashWindow* Splash() const { return splash_; }
    HelpWindow* Help() const { return help_; }
    TFTsbs* ParametersDialog() const { return parametersDialog_; }
    TFVoiAutoCAD* DrawingOptionsDialog() const { return drawingOptionsDialog_; }
    TForm2* MonitorWindow() const { return monitorWindow_; }

    // Where questions and messages go; nullptr restores the message boxes.
    void SetInteraction(Interaction* interaction);
    Interaction& Ask() { return *interaction_; }
    // Ask file names; unset means the open and save dialogs. Tests answer instead.
    std::function<std::optional<QString>(const FileQuestion&)> SaveNameAsker;
    std::function<std::optional<QString>(const FileQuestion&)> OpenNameAsker;
    std::optional<QString> AskOpenName(const FileQuestion& question) override;
    std::optional<QString> AskSaveName(const FileQuestion& question) override;

    // Computations. A command sets its flags and title, shows the parameters dialog, asks its
    // files, runs its worker and shows its report; the window is disabled meanwhile.
    void RunCommand(const ComputationCommand& command);
    bool Computing() const { return computing_; }
    const InputPrompts& Prompts() const { return prompts_; }
    const InputFiles& LastInput() const { return input_; }
    const ReadErrorRecord& ReadError() const { return readError_; }
    // Loads a text file into the editor as plain text (UTF-8 or TCVN3, as it comes); false with a
    // message when it cannot be read.
    bool LoadEditorFile(const QString& path);

    // Views.
    bool GridVisible() const;
    void ShowGridView();
    void ShowEditorView();

    // Documents.
    GridModel& Grid() { return *grid_; }
    QTableView* GridView() const { return StGrid_; }
    QTextEdit* Editor() const { return Editor_; }
    bool DataSaved() const { return dataSaved_; }
    void SetDataSaved(bool saved) { dataSaved_ = saved; }
    const QString& DataFileName() const { return dataFileName_; }
    void SetDataFileName(const QString& name) { dataFileName_ = name; }
    const QString& TextFileName() const { return textFileName_; }
    void SetTextFileName(const QString& name) { textFileName_ = name; }
    // The editor's text came from a UTF-8 file and is saved back as UTF-8 (TCVN3 otherwise).
    bool EditorUtf8() const { return editorUtf8_; }
    void SetEditorUtf8(bool utf8) { editorUtf8_ = utf8; }

    // Writes the grid data file (asking a name when there is none); a failure is reported.
    SaveResult SaveDataFile();
    // Writes the editor text to its file (asking a name when there is none); a failure is reported.
    SaveResult SaveEditorText();

    // Status bar: panel 0 is the program's, 1 to 7 hold the function-key texts.
    QString StatusText(int panel) const;
    void WriteGridStatus();

    void ShowHelp();
    void ShowAbout();

    // The closing questions; true when the window may close.
    bool ConfirmClose();

    // A command whose work is not built yet stays disabled whatever the view asks.
    bool CommandPending(const QAction* action) const { return pending_.contains(action); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QAction* MakeAction(const QString& name, const QString& text, const QKeySequence& key = {},
                        const QString& hint = {});
    QAction* Pending(QAction* action);
    void SetCommandEnabled(QAction* action, bool enabled);
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildGridToolBar();
    void BuildEditorToolBar();
    void BuildStatusBar();
    void BuildViews();
    void FormShow();
    void WriteStatus(const QString& text);
    void OnEditorModified(bool modified);
    bool OfferEditorSave();
    void SetBusy(bool busy);
    // The window is disabled for the life of a run, however the run ends.
    struct BusyScope {
        explicit BusyScope(MainWindow& w) : window(w) { window.SetBusy(true); }
        ~BusyScope() { window.SetBusy(false); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        MainWindow& window;
    };
    struct WorkerResult {
        bool StoppedOnError = false;
        bool Cancelled = false;
        std::optional<std::string> Report;  // the report this run wrote, when the worker says
    };
    bool RunWorker(const ComputationCommand& command, WorkerResult& result);
    void ReportReadError(const ReadErrorRecord& error);
    void ShowRunReport(const ComputationCommand& command, const std::string& reportName, bool writtenByRun,
                       const WorkerResult& result);
    std::string EditorBytes() const;
    bool WriteAtomically(const QString& path, const std::string& bytes);

    ComputationSettings settings_;
    std::unique_ptr<GuiInteraction> guiInteraction_;
    Interaction* interaction_ = nullptr;

    bool dataSaved_ = true;
    QString dataFileName_;
    QString textFileName_;
    bool editorUtf8_ = false;
    bool shownOnce_ = false;
    QSet<const QAction*> pending_;
    bool computing_ = false;
    InputPrompts prompts_;
    InputFiles input_;
    ReadErrorRecord readError_;
    bool errorFlag_ = false;

    GridModel* grid_ = nullptr;
    QStackedWidget* views_ = nullptr;
    QTableView* StGrid_ = nullptr;
    QTextEdit* Editor_ = nullptr;
    std::vector<QLabel*> statusPanels_;
    QFileDialog* OpenDialog1_ = nullptr;
    QFileDialog* SaveDialog1_ = nullptr;

    SplashWindow* splash_ = nullptr;
    HelpWindow* help_ = nullptr;
    TFTsbs* parametersDialog_ = nullptr;
    TFVoiAutoCAD* drawingOptionsDialog_ = nullptr;
    TForm2* monitorWindow_ = nullptr;

    QToolBar* ToolBar1_ = nullptr;
    QToolBar* TB_StGrid_ = nullptr;
    QToolBar* TB_Editor_ = nullptr;
    QFontComboBox* FontName_ = nullptr;
    QSpinBox* FontSize_ = nullptr;
    QComboBox* CBkitungancach_ = nullptr;
    QComboBox* Ephandau_ = nullptr;

    // Commands of the menus and toolbars.
    QAction* TBNew_ = nullptr;
    QAction* TBOpen_ = nullptr;
    QAction* TBSave_ = nullptr;
    QAction* TBSaveas_ = nullptr;
    QAction* TBPrint_ = nullptr;
    QAction* fileExit_ = nullptr;
    QAction* cut_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* paste_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* Chenfilevao1_ = nullptr;
    QAction* writeBlock_ = nullptr;
    QAction* appendBlock_ = nullptr;
    std::vector<QAction*> conversions_;
    std::vector<QAction*> blockOperations_;
    QAction* taotridomoi_ = nullptr;
    QAction* Binhsaimoi_ = nullptr;
    QAction* ToolButton9_ = nullptr;
    QAction* KTtungnhom_ = nullptr;
    QAction* BSDC_ = nullptr;
    QAction* TXYMia_ = nullptr;
    QAction* TB_Tinhxyz1_ = nullptr;
    QAction* TB_TinhXYZ2_ = nullptr;
    QAction* Bnhsaic1_ = nullptr;
    QAction* rawData_ = nullptr;
    QAction* trigToGeometric_ = nullptr;
    QAction* levellingMeans_ = nullptr;
    QAction* calculator_ = nullptr;
    std::vector<QAction*> tools_;
    QAction* Taosodogoccanh_ = nullptr;
    QAction* TBXulysodo_ = nullptr;
    QAction* sltosodo_ = nullptr;
    QAction* filekqcodau_ = nullptr;
    QAction* Filedulieudohinh_ = nullptr;
    QAction* gridLayout_ = nullptr;
    QAction* about_ = nullptr;
    QAction* help1_ = nullptr;
    QAction* exit_ = nullptr;
    QAction* TBExit_ = nullptr;
    QAction* TBDBG_ = nullptr;
    QAction* TBRE_ = nullptr;
    QAction* find_ = nullptr;
    QAction* replace_ = nullptr;
};

}  // namespace qef
