#include "gui/Workers.h"

#include <optional>
#include <string>
#include <utility>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "tools/ObservationTools.h"
#include "gui/CommandRunner.h"
#include "gui/CommandHost.h"
#include "gui/dialogs/TFListCanhXp.h"
#include "gui/dialogs/Txlslt3.h"
#include "heights/DetailPoints.h"
#include "heights/LevellingAdjustment.h"

namespace qef {

namespace {

// What every run tells the runner: a cancelled run is no error; a read error points at its file.
WorkerResult ResultOf(CommandRunner& runner, RunOutcome outcome, const ReadErrorRecord& readError,
                      std::optional<std::string> report) {
    WorkerResult result;
    result.Report = std::move(report);
    result.Cancelled = outcome == RunOutcome::Cancelled;
    result.StoppedOnError = outcome != RunOutcome::Completed && !result.Cancelled;
    if (outcome == RunOutcome::ReadFailed) runner.ReportReadError(readError);
    return result;
}

using TraverseDriver = RunStatus (*)(const AdjustmentInput&, const ComputationSettings&, Interaction&, Progress&,
                                     RunRecord&, DrawingTarget*);

WorkerResult RunTraverseDriver(TraverseDriver driver, CommandRunner& runner, const InputFiles& input) {
    const AdjustmentInput files{input.KnownFileName, input.ObservationFileName, input.HeightFileName,
                                input.ResultFileName};
    RunRecord run;
    const RunStatus status = driver(files, runner.Settings(), runner.Ask(), runner.Monitor(), run, nullptr);
    return ResultOf(runner, status.Outcome, status.ReadError, status.Report6);
}

}  // namespace

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
    return ResultOf(runner, status.Outcome, status.ReadError, status.Report);
}

// The result file is all a detail run writes: the view stays as it is.
WorkerResult DetailPointsWorker(CommandRunner& runner, const ComputationCommand& command, const InputFiles& input) {
    const DetailInput files{input.KnownFileName, input.ObservationFileName, input.ResultFileName};
    const DetailRunStatus status =
        ComputeDetailPoints(command.DetailMode, files, runner.Settings(), runner.Ask(), runner.Monitor());
    return ResultOf(runner, status.Outcome, status.ReadError, std::nullopt);
}

// F5: the dialog of its own, with its own files; the view stays as it is.
WorkerResult ShowStepAdjustmentDialog(CommandRunner& runner, const ComputationCommand&, const InputFiles&) {
    if (TFListCanhXp* dialog = runner.Host().StepDialog()) {
        dialog->SetRunner(&runner);
        dialog->exec();
    }
    return {};
}

// The kept observations are all it writes: the view stays as it is, and the status bar names them.
WorkerResult RemoveFixedObservationsWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles& input) {
    const ToolStatus status = WriteObservations(input.KnownFileName, input.ObservationFileName, input.ResultFileName,
                                                runner.Settings(), runner.Ask());
    runner.Host().TellWritten({status.WrittenFile});
    return ResultOf(runner, status.Outcome, status.ReadError, std::nullopt);
}

// The conversion form: its own options and files; it stays up until the user closes it, and each
// conversion runs through the runner.
WorkerResult RawConversionWorker(CommandRunner& runner, const ComputationCommand&, const InputFiles&) {
    if (Txlslt3* form = runner.Host().RawConversionDialog()) {
        form->SetRunner(&runner);
        form->exec();
    }
    return {};
}

}  // namespace qef
