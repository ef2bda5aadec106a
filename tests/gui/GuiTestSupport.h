#pragma once
// GUI tests of the main window: a window whose questions and file names come from the test.
#include <QAction>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>
#include <string>
#include <vector>

#include "gui/GuiTestBasics.h"
#include "gui/MainWindow.h"
#include "gui/dialogs/TForm2.h"

// Failures show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace qef::test {

// The main window, asking the test instead of the user.
struct ScriptedWindow {
    ScriptedWindow() {
        window.SetInteraction(&ask);
        window.OpenNameAsker = [this](const FileQuestion& q) { return files.AskOpenName(q); };
        window.SaveNameAsker = [this](const FileQuestion& q) { return files.AskSaveName(q); };
    }
    QAction* Action(const char* name) { return Find<QAction>(window, name); }

    bool appReady = (EnsureApp(), true);  // before any widget
    ScriptedInteraction ask;
    ScriptedFileDialogs files;
    TempDir dir;
    MainWindow window;
};

// The main window with its dialogs made and shown, driven through its menu commands.
struct CommandWindow : ScriptedWindow {
    CommandWindow() {
        window.CreateDialogs();
        window.show();
    }
    // A copy of tests/data/<dataFile> in the test's folder, named `name`.
    std::string Input(const std::string& dataFile, const std::string& name) {
        WriteFileBytes(dir.File(name), ReadFileBytes(QEF_TEST_DATA "/" + dataFile));
        return dir.File(name);
    }
    // Triggers a menu command, which must be enabled.
    void RunCommand(const char* action) {
        QAction* a = Action(action);
        ASSERT_TRUE(a->isEnabled()) << action;
        a->trigger();
    }
};

// A computation's messages, each with whether the main window was busy and the monitor up when it
// came, and how full the monitor's bar was.
struct WatchedInteraction : ScriptedInteraction {
    MainWindow* window = nullptr;
    std::vector<bool> busy;
    std::vector<QString> bars;  // the monitor's bar as each message came
    void Message(const std::string& text) override {
        busy.push_back(window->Computing() && !window->menuBar()->isEnabled() &&
                       window->MonitorWindow()->isVisible());
        bars.push_back(window->MonitorWindow()->findChild<QProgressBar*>(QStringLiteral("PB1"))->text());
        ScriptedInteraction::Message(text);
    }
};

}  // namespace qef::test
