#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "GuiTestSupport.h"
#include "core/text/TextFile.h"
#include "gui/GridModel.h"

namespace qef {
namespace {

// Answers as scripted; at the run's closing message it does what the user does at that moment,
// and notes whether each question came while the run was still under way.
struct CloseDuringRun : test::ScriptedInteraction {
    MainWindow* window = nullptr;
    std::function<void()> atMessage;
    std::vector<bool> busy;
    void Message(const std::string& text) override {
        if (auto act = std::exchange(atMessage, nullptr)) act();
        test::ScriptedInteraction::Message(text);
    }
    Answer AskYesNo(const std::string& text) override {
        busy.push_back(window->Computing());
        return test::ScriptedInteraction::AskYesNo(text);
    }
    Answer AskYesNoCancel(const std::string& text) override {
        busy.push_back(window->Computing());
        return test::ScriptedInteraction::AskYesNoCancel(text);
    }
};

// F7 on a detail-point case, with unsaved grid data in the window.
struct CloseFixture : ::testing::Test, test::CommandWindow {
    CloseFixture() {
        ui.window = &window;
        window.SetInteraction(&ui);
        window.Grid().SetCell(1, 0, "A");
        window.Grid().SetDataRowCount(1);
        window.SetDataSaved(false);
    }
    void RunF7() {
        files.names = {Input("heights/detail_plan/known.txt", "goc.DTA"), Input("heights/detail_plan/obs.txt", "ct.DTA"),
                       dir.File("kq.dat")};
        test::OnNextModal([](QWidget& dialog) { qobject_cast<QDialog*>(&dialog)->accept(); });
        RunCommand("TXYMia");
        QApplication::processEvents();  // what was left for after the run
    }
    std::vector<std::string> Questions() const {
        std::vector<std::string> asked;
        for (const auto& call : ui.calls)
            if (call.kind != "message") asked.push_back(call.text);
        return asked;
    }
    CloseDuringRun ui;
    const std::string closeQuestion = Vn("Chương trình sẽ đóng khi tính xong. Bạn vẫn muốn đóng chương trình ?");
    const std::string saveQuestion = Vn("Bạn có Save dữ liệu không ?");
};

// The title-bar close (or Alt+F4) during a run: asked at once, while the run goes on. "Không"
// takes it back; "Có" closes the program when the run ends, after the usual question of saving.
TEST_F(CloseFixture, ClosingTheWindowDuringARunAsksAtOnceAndCanBeTakenBack) {
    ui.atMessage = [this] { window.windowHandle()->close(); };
    ui.answers = {Answer::No};
    RunF7();
    EXPECT_EQ(Questions(), std::vector<std::string>{closeQuestion});
    EXPECT_EQ(ui.busy, std::vector<bool>{true});
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(FileExists(dir.File("kq.dat")));

    ui.calls.clear();
    ui.busy.clear();
    ui.atMessage = [this] { window.windowHandle()->close(); };
    ui.answers = {Answer::Yes, Answer::No};
    RunF7();
    EXPECT_EQ(Questions(), (std::vector<std::string>{closeQuestion, saveQuestion}));
    EXPECT_EQ(ui.busy, (std::vector<bool>{true, false}));
    EXPECT_FALSE(window.isVisible());
}

// The monitor's OK during the run is a close of the program too; the monitor stays up.
TEST_F(CloseFixture, MonitorOkDuringARunClosesTheProgramWhenTheRunEnds) {
    TForm2* monitor = window.MonitorWindow();
    ui.atMessage = [monitor] { test::Find<QPushButton>(*monitor, "Button1")->click(); };
    ui.answers = {Answer::Yes, Answer::No};
    RunF7();
    EXPECT_EQ(Questions(), (std::vector<std::string>{closeQuestion, saveQuestion}));
    EXPECT_EQ(ui.busy, (std::vector<bool>{true, false}));
    EXPECT_FALSE(window.isVisible());
}

// So is the monitor's own close box; the monitor refuses to go while the run is under way.
TEST_F(CloseFixture, MonitorCloseBoxDuringARunClosesTheProgramWhenTheRunEnds) {
    TForm2* monitor = window.MonitorWindow();
    bool monitorStayed = false;
    ui.atMessage = [monitor, &monitorStayed] {
        monitor->close();
        monitorStayed = monitor->isVisible();
    };
    ui.answers = {Answer::Yes, Answer::No};
    RunF7();
    EXPECT_TRUE(monitorStayed);
    EXPECT_EQ(Questions(), (std::vector<std::string>{closeQuestion, saveQuestion}));
    EXPECT_EQ(ui.busy, (std::vector<bool>{true, false}));
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace qef
