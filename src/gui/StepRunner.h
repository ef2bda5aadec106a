#pragma once
// How a dialog of its own runs a computation: as every command runs, through the command runner.
// Kept apart from the workers so that a dialog needs neither them nor the window.
#include <functional>
#include <optional>
#include <string>

#include "core/io/Readers.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"

namespace qef {

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

}  // namespace qef
