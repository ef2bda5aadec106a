#include "gui/CommandRunner.h"

#include <QApplication>
#include <QCheckBox>
#include <QMenuBar>
#include <QToolBar>

#include "core/model/ReportNames.h"
#include "core/text/VnCodec.h"
#include "gui/GuiText.h"
#include "gui/MainWindow.h"
#include "gui/MainWindowTexts.h"
#include "gui/dialogs/TFTsbs.h"
#include "gui/dialogs/TForm2.h"

namespace qef {

namespace {

QString Utf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

}  // namespace

ComputationSettings& CommandRunner::Settings() { return window_.Settings(); }

Interaction& CommandRunner::Ask() { return window_.Ask(); }

Progress& CommandRunner::Monitor() {
    if (TForm2* monitor = window_.MonitorWindow()) return *monitor;
    return noMonitor_;
}

void CommandRunner::Run(const ComputationCommand& command) {
    if (computing_) return;
    window_.CommitGridEntry();
    window_.CreateDialogs();
    PrepareSettings(command, Settings());
    if (command.Parameters != ParametersDialog::NotShown && !AskParameters(command)) return;
    WorkerResult result;
    if (!command.InputStep()) {
        // The step-by-step dialog is modal and waits for the user: no busy cursor over it.
        CallWorker(command, result);
        return;
    }

    prompts_ = {Utf8(command.KnownPrompt), Utf8(command.ObservationPrompt), Utf8(command.ResultPrompt),
                Utf8(command.HeightPrompt)};
    input_ = InputFiles{};
    if (!NhapSL(prompts_, Settings(), window_, Ask(), input_, readError_, errorFlag_)) return;

    const bool opensReport = command.After != AfterRun::Nothing;
    if (opensReport && !window_.OfferEditorSave()) return;
    const std::string reportName = command.After == AfterRun::FirstReport ? input_.FirstReportName
                                                                          : ReportSetFor(input_.ResultFileName).Log;
    if (command.After == AfterRun::ProgressLog || command.After == AfterRun::ProgressLogClassic) {
        // The editor no longer shows its file: a later save must not write the empty text there.
        window_.ForgetEditorText();
    }

    bool ran = false;
    {
        const BusyScope busy(*this);
        ran = CallWorker(command, result);
    }
    if (ran && opensReport) {
        // The workers of these commands name the report they put in place.
        if (result.Report && !result.Report->empty()) ShowReport(command, *result.Report, result);
        else TellReportNotWritten(reportName, result);
    }
    if (TForm2* monitor = window_.MonitorWindow(); monitor && ran) monitor->TakeKeyboard();
}

bool CommandRunner::AskParameters(const ComputationCommand& command) {
    TFTsbs* dialog = window_.ParametersDialog();
    if (!dialog || dialog->exec() != QDialog::Accepted) return false;
    if (command.Parameters == ParametersDialog::ShownRigorousReadBack) {
        if (const auto* rigorous = dialog->findChild<QCheckBox*>(QStringLiteral("CB_BSCC")))
            Settings().Modes.RigorousWanted = rigorous->isChecked();
    }
    return true;
}

bool CommandRunner::CallWorker(const ComputationCommand& command, WorkerResult& result) {
    if (!command.Run) return false;
    result = command.Run(*this, command, input_);
    // The worker has written its files: only now is the run at its end.
    if (TForm2* monitor = window_.MonitorWindow()) monitor->EndRun(!result.StoppedOnError && !result.Cancelled);
    return true;
}

void CommandRunner::ReportReadError(const ReadErrorRecord& error) {
    readError_ = error;
    std::string text = Vn("Không đọc được file ") + ToTcvn3(NameOfNative(error.FailedFileName));
    if (error.ReadErrorField != ReadErrorKind::Open && error.ReadErrorField != ReadErrorKind::NoData)
        text += Vn(", lỗi ở dòng ") + std::to_string(error.ReadErrorLine);
    Ask().Message(text);
}

void CommandRunner::StepEnded() {
    if (TForm2* monitor = window_.MonitorWindow()) monitor->EndRun(true);
}

WorkerResult CommandRunner::RunStep(const ComputationStep& step) {
    WorkerResult result;
    if (computing_) {
        result.Cancelled = true;
        return result;
    }
    {
        const BusyScope busy(*this);
        result = step(Ask(), Monitor());
        if (TForm2* monitor = window_.MonitorWindow()) {
            monitor->EndRun(!result.StoppedOnError && !result.Cancelled);
            // The dialog that started the step keeps the monitor from its OK button: left up, it
            // would cover the dialog. Its end has been seen with the step's closing message.
            if (QApplication::activeModalWidget() != nullptr) monitor->hide();
        }
    }
    if (result.ReadError) ReportReadError(*result.ReadError);
    return result;
}

void CommandRunner::TellReportNotWritten(const std::string& reportName, const WorkerResult& result) {
    if (result.Cancelled) return;
    Ask().Message((result.StoppedOnError ? Vn("Tính toán dừng lại do có lỗi. ") : std::string()) +
                  Vn("Lần tính này không ghi file báo cáo ") + ToTcvn3(NameOfNative(reportName)));
}

void CommandRunner::ShowReport(const ComputationCommand& command, const std::string& reportName,
                               const WorkerResult& result) {
    const QString report = NameOfNative(reportName);
    if (result.StoppedOnError) {
        Ask().Message(Vn("Tính toán dừng lại do có lỗi; báo cáo ") + ToTcvn3(report) +
                      Vn(" chỉ ghi đến chỗ dừng."));
    }
    window_.ShowReport(report, command.After == AfterRun::ProgressLogClassic ? kClassicProgramTitle : kProgramTitle);
}

void CommandRunner::SetBusy(bool busy) {
    computing_ = busy;
    // Menus, toolbars and views only: the monitor and the questions of the run stay usable.
    window_.menuBar()->setEnabled(!busy);
    for (QToolBar* bar : window_.findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly))
        bar->setEnabled(!busy);
    window_.centralWidget()->setEnabled(!busy);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

}  // namespace qef
