#pragma once
// The workers of the computation commands. Every worker has the same signature and is found by
// the command's CommandWorker; a kind without a worker is a command whose work is not built yet.
#include <optional>
#include <string>

#include "gui/Commands.h"
#include "gui/InputStep.h"

namespace qef {

class CommandRunner;

struct WorkerResult {
    bool StoppedOnError = false;
    bool Cancelled = false;
    std::optional<std::string> Report;  // the report this run wrote, when the worker says
};

// `input` holds the files of the input step; a command without that step asks its own. The runner
// gives the settings, the questions and the monitor, and takes read errors to report.
using Worker = WorkerResult (*)(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input);

// nullptr when the kind has no worker yet.
Worker WorkerFor(CommandWorker kind);

}  // namespace qef
