#pragma once
// The workers of the computation commands. Every worker has the same signature (Worker) and is
// named by its command's row of the action table.
#include <functional>
#include <optional>
#include <string>

#include "core/io/Readers.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "gui/Commands.h"
#include "gui/InputStep.h"

namespace qef {

class CommandRunner;

struct WorkerResult {
    bool StoppedOnError = false;
    bool Cancelled = false;
    std::optional<std::string> Report;  // the report this run wrote, when the worker says
    std::optional<ReadErrorRecord> ReadError;  // an input that could not be read, for the runner to name
};

// A computation that a dialog of its own starts: a step of F5, the raw conversion.
using ComputationStep = std::function<WorkerResult(Interaction& ui, Progress& monitor)>;

// Runs such a step as every command runs: the main window busy meanwhile, the monitor, the read
// error named and the end of the run given to the monitor. The command runner is the one.
class StepRunner {
public:
    virtual ~StepRunner() = default;
    // Cancelled, without running it, while another computation runs.
    virtual WorkerResult RunStep(const ComputationStep& step) = 0;
    // Where the dialog's own questions and messages go.
    virtual Interaction& Ask() = 0;
    // Said by a step whose files are in place before its closing message: the monitor shows its end.
    virtual void StepEnded() {}
};

// F4 and "Tìm sai số thô".
WorkerResult AdjustByOrderWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);
// The older single-pass adjustment.
WorkerResult AdjustClassicWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);
// F5: the group-by-group dialog, no input step.
WorkerResult ShowStepAdjustmentDialog(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);
// F6.
WorkerResult LevellingWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);
// F7, F8, F9: the command's detail mode.
WorkerResult DetailPointsWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);
// "Khử góc cạnh cứng".
WorkerResult RemoveFixedObservationsWorker(CommandRunner& runner, const ComputationCommand& command,
                                           const InputFiles& input);
// The raw-data conversion form, which asks its own files.
WorkerResult RawConversionWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);

}  // namespace qef
