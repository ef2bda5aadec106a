#pragma once
// What a command, a worker or the command runner may ask of the window it runs in: questions and
// file questions, the settings, the runner, the grid and the editor, the status line, the busy
// switch and the lasting dialogs. The main window implements it; tests use a fake, so that a
// command is tested without building a window.
#include <QString>
#include <string>
#include <vector>

#include "core/grid/GridDocument.h"
#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "gui/InputStep.h"

class QWidget;

namespace qef {

class CommandRunner;
class GridModel;
class TFListCanhXp;
class TFTaosodo;
class TFVoiAutoCAD;
class TForm2;
class Tflapsdgc;
class Txlslt3;

class CommandHost : public FileDialogs {
public:
    virtual Interaction& Ask() = 0;
    virtual ComputationSettings& Settings() = 0;
    virtual CommandRunner& Runner() = 0;

    // The grid document. A command that reads it commits the cell editor's pending text first.
    virtual GridModel& Grid() = 0;
    virtual void CommitGridEntry() = 0;
    virtual bool GridVisible() const = 0;
    // The selected rectangle; the current cell when nothing is selected.
    virtual GridBlock SelectedBlock() const = 0;
    virtual void MoveGridCursor(GridCell cell) = 0;
    virtual void SetDataSaved(bool saved) = 0;

    // The editor: whether its changes may be dropped (false on Cancel), forgetting its file, and
    // a run's report shown in it, captioned with `programTitle`.
    virtual bool OfferEditorSave() = 0;
    virtual void ForgetEditorText() = 0;
    virtual void ShowReport(const QString& path, const QString& programTitle) = 0;

    // The closing line of a command that ends without a message: the files its run put in place,
    // those that are there; an empty line when there are none.
    virtual void TellWritten(const std::vector<std::string>& writtenFiles) = 0;
    // During a run the menus, toolbars and views take no input; the monitor and questions do.
    virtual void SetBusy(bool busy) = 0;

    // The lasting dialogs, made once; nullptr before CreateDialogs.
    virtual void CreateDialogs() = 0;
    // The parameters dialog, modal; false on Cancel or when there is none. It writes the settings
    // as its controls change, the rigorous switch included.
    virtual bool AskParameters() = 0;
    virtual TForm2* MonitorWindow() const = 0;
    virtual TFVoiAutoCAD* DrawingOptionsDialog() const = 0;
    virtual TFListCanhXp* StepDialog() const = 0;
    virtual TFTaosodo* FieldBookOptionsDialog() const = 0;
    virtual Tflapsdgc* TextBooksDialog() const = 0;
    virtual Txlslt3* RawConversionDialog() const = 0;
    // The window itself: parent of the commands' own dialogs (found again by their names), the
    // one a run keeps from the user's input, and the one a close asked during a run closes.
    virtual QWidget* Widget() = 0;
};

}  // namespace qef
