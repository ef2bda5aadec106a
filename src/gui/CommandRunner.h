#pragma once
// Runs the computation commands of the main window: sets the command's flags and title, shows the
// parameters dialog, asks its files, runs its worker with the window disabled and the monitor up,
// and shows its report afterwards. It knows the window only as a command host.
#include <string>

#include "core/model/ComputationSettings.h"
#include "core/model/Interaction.h"
#include "core/model/Progress.h"
#include "core/io/Readers.h"
#include "gui/CommandHost.h"
#include "gui/Commands.h"
#include "gui/InputStep.h"
#include "gui/StepRunner.h"

class QObject;

namespace qef {

class CommandRunner : public StepRunner {
public:
    explicit CommandRunner(CommandHost& window) : window_(window) {}
    CommandRunner(const CommandRunner&) = delete;
    CommandRunner& operator=(const CommandRunner&) = delete;

    void Run(const ComputationCommand& command);
    bool Computing() const { return computing_; }
    const InputPrompts& Prompts() const { return prompts_; }
    const InputFiles& LastInput() const { return input_; }
    const ReadErrorRecord& ReadError() const { return readError_; }

    // What a worker uses.
    CommandHost& Host() { return window_; }
    ComputationSettings& Settings();
    Interaction& Ask() override;
    // The monitor window; nothing before the dialogs are made.
    Progress& Monitor();
    // Keeps the error of the run and names the file and line in a message.
    void ReportReadError(const ReadErrorRecord& error);
    WorkerResult RunStep(const ComputationStep& step) override;
    void StepEnded() override;

    // A close of the program asked while a run is under way: says at once that the program closes
    // when the run ends, and lets the user take the close back.
    void AskCloseAfterRun();
    bool ClosesAfterRun() const { return closeAfterRun_; }

private:
    // The window is disabled for the life of a run, however the run ends.
    class BusyScope {
    public:
        explicit BusyScope(CommandRunner& runner) : runner_(runner) { runner_.SetBusy(true); }
        ~BusyScope() { runner_.SetBusy(false); }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        CommandRunner& runner_;
    };

    // False when the worker is not built yet.
    bool CallWorker(const ComputationCommand& command, WorkerResult& result);
    // The report the run wrote, opened in the editor.
    void ShowReport(const ComputationCommand& command, const std::string& reportName, const WorkerResult& result);
    // A run that wrote no report says so, unless it was cancelled.
    void TellReportNotWritten(const std::string& reportName, const WorkerResult& result);
    void SetBusy(bool busy);

    CommandHost& window_;
    NullProgress noMonitor_;
    bool computing_ = false;
    InputPrompts prompts_;
    InputFiles input_;
    ReadErrorRecord readError_;
    bool errorFlag_ = false;
    bool closeAfterRun_ = false;
    bool askingClose_ = false;
    QObject* inputGate_ = nullptr;
};

}  // namespace qef
