#include "gui/Workers.h"

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "gui/CommandRunner.h"
#include "heights/DetailPoints.h"
#include "heights/LevellingAdjustment.h"

namespace qef {

namespace {

using TraverseDriver = RunStatus (*)(const AdjustmentInput&, const ComputationSettings&, Interaction&, Progress&,
                                     RunRecord&, DrawingTarget*);

WorkerResult RunTraverseDriver(TraverseDriver driver, CommandRunner& runner, const InputFiles& input) {
    const AdjustmentInput files{input.KnownFileName, input.ObservationFileName, input.HeightFileName,
                                input.ResultFileName};
    RunRecord run;
    const RunStatus status = driver(files, runner.Settings(), runner.Ask(), runner.Monitor(), run, nullptr);
    WorkerResult result;
    result.Report = status.Report6;
    result.Cancelled = status.Outcome == RunOutcome::Cancelled;
    result.StoppedOnError = status.Outcome != RunOutcome::Completed && !result.Cancelled;
    if (status.Outcome == RunOutcome::ReadFailed) runner.ReportReadError(status.ReadError);
    return result;
}

WorkerResult AdjustByOrderWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles& input) {
    return RunTraverseDriver(AdjustNetworkByOrder, runner, input);
}

WorkerResult AdjustClassicWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles& input) {
    return RunTraverseDriver(AdjustNetworkClassic, runner, input);
}

WorkerResult LevellingWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles& input) {
    const LevellingInput files{input.KnownFileName, input.ObservationFileName, input.ResultFileName};
    RunRecord run;
    const LevellingStatus status = AdjustLevellingNetwork(files, runner.Settings(), runner.Ask(), runner.Monitor(), run);
    WorkerResult result;
    result.Report = status.Report;
    result.StoppedOnError = status.Outcome != RunOutcome::Completed;
    if (status.Outcome == RunOutcome::ReadFailed) runner.ReportReadError(status.ReadError);
    return result;
}

// The result file is all a detail run writes: the view stays as it is.
WorkerResult DetailPointsWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input) {
    const DetailInput files{input.KnownFileName, input.ObservationFileName, input.ResultFileName};
    const DetailRunStatus status =
        ComputeDetailPoints(command.DetailMode, files, runner.Settings(), runner.Ask(), runner.Monitor());
    WorkerResult result;
    result.StoppedOnError = status.Outcome != RunOutcome::Completed;
    if (status.Outcome == RunOutcome::ReadFailed) runner.ReportReadError(status.ReadError);
    return result;
}

struct WorkerRow {
    CommandWorker Kind;
    Worker Run;
};

const WorkerRow kWorkers[] = {
    {CommandWorker::AdjustByOrder, AdjustByOrderWorker},
    {CommandWorker::AdjustClassic, AdjustClassicWorker},
    {CommandWorker::Levelling, LevellingWorker},
    {CommandWorker::DetailPoints, DetailPointsWorker},
};

}  // namespace

Worker WorkerFor(CommandWorker kind) {
    for (const WorkerRow& row : kWorkers) {
        if (row.Kind == kind) return row.Run;
    }
    return nullptr;
}

}  // namespace qef
