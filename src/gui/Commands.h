#pragma once
// The computation commands of the main window: what each one sets before it asks its files, and
// the worker it calls. A command's settings sit in its action's row of the action table.
#include "core/model/ComputationSettings.h"
#include "core/model/DetailMode.h"

namespace qef {

class CommandRunner;
struct ComputationCommand;
struct InputFiles;
struct WorkerResult;

// `input` holds the files of the input step; a command without that step asks its own. The runner
// gives the settings, the questions and the monitor, and takes read errors to report.
using Worker = WorkerResult (*)(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);

// What the command shows in the editor after its worker.
enum class AfterRun {
    Nothing,
    ProgressLog,         // report 6, caption "QEF 2010 [...]"
    ProgressLogClassic,  // report 6, caption "QEF 2003 [...]"
    FirstReport,         // report "in"; caption and editor file name stay
};

// What the parameters dialog is for this command.
// The dialog itself writes the settings, the rigorous switch included, as its controls change.
enum class ParametersDialog {
    NotShown,
    Shown,
};

// Titles of the file questions (UTF-8) that every command with the input step shares.
inline constexpr const char* kResultPrompt = "Nhập tên file kết quả";
// Asked only when the sides are reduced by heights taken from a file of their own; every command
// names it, so that the question never shows another command's title.
inline constexpr const char* kHeightPrompt = "Nhập tên file độ cao điểm";

// The mode flags each kind of computation sets; every command with the input step sets all of
// them, so that none is inherited from the command before.
inline constexpr ComputationModeFlags kTraverseModes{.ModeTraverse = true};
inline constexpr ComputationModeFlags kLevellingModes{.ModeLevelling = true};
inline constexpr ComputationModeFlags kDetailModes{.ModeDetailPoints = true};
inline constexpr ComputationModeFlags kDetailWithHeightsModes{.ModeDetailPoints = true, .ModeWithHeights = true};

// A command without the input step (no KnownPrompt) asks its own files and sets its own flags.
struct ComputationCommand {
    Worker Run = nullptr;
    const char* DialogTitle = nullptr;  // UTF-8; nullptr: the title is not changed
    ParametersDialog Parameters = ParametersDialog::NotShown;
    ComputationModeFlags Modes = {};
    // Titles of the file questions (UTF-8); the known-point one also says the input step is asked.
    const char* KnownPrompt = nullptr;
    const char* ObservationPrompt = nullptr;
    const char* ResultPrompt = kResultPrompt;
    const char* HeightPrompt = kHeightPrompt;
    qef::DetailMode DetailMode = DetailMode::Plan;
    AfterRun After = AfterRun::Nothing;

    bool InputStep() const { return KnownPrompt != nullptr; }
};

// Sets the flags and the dialog title of a command, as it does before its parameters dialog.
void PrepareSettings(const ComputationCommand& command, ComputationSettings& settings);

}  // namespace qef
