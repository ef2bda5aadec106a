#include "gui/CommandRunner.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

#include "core/model/ReportNames.h"
#include "core/text/VnCodec.h"
#include "gui/GuiText.h"
#include "gui/MainWindowTexts.h"
#include "gui/dialogs/TForm2.h"

namespace qef {

namespace {

QString Utf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

// While a run holds the GUI thread, the monitor lets the window system's events through so that a
// close is heard at once; the user's input reaches only the monitor and the run's questions.
class RunInputGate : public QObject {
public:
    RunInputGate(QWidget* monitor, QWidget* main) : QObject(main), monitor_(monitor), main_(main) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A shortcut of the main window's commands.
        if (event->type() == QEvent::Shortcut && !watched->isWidgetType()) return true;
        const bool close = event->type() == QEvent::Close;
        if (!close && !IsInput(event->type())) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || Allowed(widget->window())) return false;
        // The main window's own close is answered by the window.
        if (close) {
            if (widget->window() == main_) return false;
            event->ignore();
            return true;
        }
        // Claimed as a plain key, so that no shortcut takes it, and then dropped.
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        return true;
    }

private:
    static bool IsInput(QEvent::Type type) {
        switch (type) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::Shortcut:
            case QEvent::Wheel:
                return true;
            default:
                return false;
        }
    }
    bool Allowed(const QWidget* window) const {
        return window == monitor_ || qobject_cast<const QMessageBox*>(window) ||
               qobject_cast<const QInputDialog*>(window) || qobject_cast<const QFileDialog*>(window);
    }
    QWidget* monitor_;
    QWidget* main_;
};

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
    if (command.Parameters != ParametersDialog::NotShown && !window_.AskParameters()) return;
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
        // The monitor of a step stands in front of the dialog that started it, and goes back after.
        TForm2* monitor = window_.MonitorWindow();
        QWidget* dialog = QApplication::activeModalWidget();
        if (monitor && dialog && dialog != monitor) monitor->setParent(dialog, monitor->windowFlags());
        const BusyScope busy(*this);
        result = step(Ask(), Monitor());
        if (monitor) {
            monitor->EndRun(!result.StoppedOnError && !result.Cancelled);
            // The dialog that started the step keeps the monitor from its OK button: left up, it
            // would cover the dialog. Its end has been seen with the step's closing message.
            if (dialog) {
                monitor->hide();
                monitor->setParent(window_.Widget(), monitor->windowFlags());
            }
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

void CommandRunner::AskCloseAfterRun() {
    // A second close while the question is up is the same close.
    if (askingClose_) return;
    askingClose_ = true;
    const std::string question = Vn("Chương trình sẽ đóng khi tính xong. Bạn vẫn muốn đóng chương trình ?");
    closeAfterRun_ = Ask().AskYesNo(question) == Answer::Yes;
    askingClose_ = false;
}

void CommandRunner::SetBusy(bool busy) {
    computing_ = busy;
    TForm2* monitor = window_.MonitorWindow();
    if (busy && !inputGate_) {
        inputGate_ = new RunInputGate(monitor, window_.Widget());
        QApplication::instance()->installEventFilter(inputGate_);
        closeAfterRun_ = false;
    } else if (!busy && inputGate_) {
        QApplication::instance()->removeEventFilter(inputGate_);
        inputGate_->deleteLater();
        inputGate_ = nullptr;
    }
    if (monitor) monitor->CloseDuringRun = busy ? std::function<void()>([this] { AskCloseAfterRun(); }) : nullptr;
    // The close the user asked for during the run, with the usual questions about saving.
    if (!busy && closeAfterRun_) {
        closeAfterRun_ = false;
        QTimer::singleShot(0, window_.Widget(), &QWidget::close);
    }
    window_.SetBusy(busy);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

}  // namespace qef
