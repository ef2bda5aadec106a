#pragma once
// What every GUI test needs: one application object, widgets found by their names, and a main
// window whose questions and file names come from the test.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/text/VnCodec.h"
#include "gui/MainWindow.h"
#include "gui/VietnameseQtTexts.h"
#include "gui/dialogs/TForm2.h"
#include "support/Fakes.h"

// Failures show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace qef::test {

// The application, as main() makes it, on a 1366×768 laptop screen when offscreen. Settings,
// the program's and Qt's, go to a folder of the test run, never to the user's.
inline void EnsureApp() {
    if (!QApplication::instance()) {
        static TempDir home;
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(home.Path()));
        static std::string screen = home.File("screen.json");
        // A test run as a child may ask for a smaller screen, e.g. QEF_TEST_SCREEN=1024x600.
        const QList<QByteArray> size = qgetenv("QEF_TEST_SCREEN").split('x');
        const std::string width = size.size() == 2 ? size[0].toStdString() : "1366";
        const std::string height = size.size() == 2 ? size[1].toStdString() : "768";
        WriteFileBytes(screen, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": )" + width +
                                   R"(, "height": )" + height + R"(, "logicalDpiX": 96, "logicalDpiY": 96}]})");
        static std::string platform = "offscreen:configfile=" + screen;
        static char name[] = "gui_tests";
        static char option[] = "-platform";
        static std::vector<char*> argv = {name};
        if (qgetenv("QT_QPA_PLATFORM") == "offscreen") argv.insert(argv.end(), {option, platform.data()});
        argv.push_back(nullptr);
        static int argc = static_cast<int>(argv.size()) - 1;
        new QApplication(argc, argv.data());
    }
    QApplication::setApplicationName(QStringLiteral("QEF 2010"));
    SpeakVietnamese();
}

template <typename W>
W* Find(const QObject& parent, const char* name) {
    W* w = parent.findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Runs `act` on the modal window that the caller opens next, once it is up.
inline void OnNextModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        act(*modal);
    });
}

// Answers file questions with the names given, then Cancel, and records every question.
struct ScriptedFileDialogs : FileDialogs {
    std::deque<std::string> names;
    std::vector<std::pair<char, FileQuestion>> asked;  // 'o' open, 's' save

    std::optional<QString> AskOpenName(const FileQuestion& q) override { return Next('o', q); }
    std::optional<QString> AskSaveName(const FileQuestion& q) override { return Next('s', q); }
    std::optional<QString> Next(char kind, const FileQuestion& q) {
        asked.emplace_back(kind, q);
        if (names.empty()) return std::nullopt;
        const QString name = QString::fromStdString(names.front());
        names.pop_front();
        return name;
    }
};

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
