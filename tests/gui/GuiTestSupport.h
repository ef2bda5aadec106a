#pragma once
// What every GUI test needs: one application object, widgets found by their names, and a main
// window whose questions and file names come from the test.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QToolBar>
#include <deque>

#include "core/text/VnCodec.h"
#include "gui/MainWindow.h"
#include "support/Fakes.h"

namespace qef::test {

inline void EnsureApp() {
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEF 2010"));
}

template <typename W>
W* Find(const QObject& parent, const char* name) {
    W* w = parent.findChild<W*>(QString::fromUtf8(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
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

}  // namespace qef::test
