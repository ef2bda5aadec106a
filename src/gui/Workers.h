#pragma once
// The workers of the computation commands. Every worker has the same signature (Worker) and is
// named by its command's row of the action table.
#include "gui/Commands.h"
#include "gui/InputStep.h"
#include "gui/StepRunner.h"

namespace qef {

class CommandRunner;

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
