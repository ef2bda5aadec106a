#pragma once
// The computation commands of the main window: what each one sets before it asks its files, and
// which worker it calls.
#include <string_view>
#include <vector>

#include "core/model/ComputationSettings.h"
#include "core/model/DetailMode.h"

namespace qef {

enum class CommandWorker {
    AdjustByOrder,            // F4 and "Tìm sai số thô"
    AdjustClassic,            // the older single-pass adjustment
    StepByStep,               // F5: the group-by-group dialog, no input step
    Levelling,                // F6
    DetailPoints,             // F7, F8, F9
    RemoveFixedObservations,  // "Khử góc cạnh cứng"
    FieldBooks,               // the field books from a raw file; the options dialog, no input step
    TextBooks,                // the ruled text books from the field books
    RawConversion,            // the raw-data conversion form, which asks its own files
};

// What the command shows in the editor after its worker.
enum class AfterRun {
    Nothing,
    ProgressLog,         // report 6, caption "QEF 2010 [...]"
    ProgressLogClassic,  // report 6, caption "QEF 2003 [...]"
    FirstReport,         // report "in"; caption and editor file name stay
};

struct ComputationCommand {
    const char* Name;  // of the command's menu item
    CommandWorker Worker;
    const char* DialogTitle;  // UTF-8; nullptr: the title is not changed
    bool ShowDialog;          // the parameters dialog is shown before the files are asked
    bool SetsModes;           // every command that asks files sets all flags, so none is inherited
    ComputationModeFlags Modes;
    bool RigorousFromDialog;  // the rigorous switch is read back after OK
    bool InputStep;
    // Titles of the file questions (UTF-8).
    const char* KnownPrompt;
    const char* ObservationPrompt;
    const char* ResultPrompt;
    const char* HeightPrompt;
    qef::DetailMode DetailMode;
    AfterRun After;
};

const std::vector<ComputationCommand>& ComputationCommands();
// nullptr when there is no computation command of that name.
const ComputationCommand* FindComputationCommand(std::string_view name);

// Sets the flags and the dialog title of a command, as it does before its parameters dialog.
void PrepareSettings(const ComputationCommand& command, ComputationSettings& settings);

}  // namespace qef
