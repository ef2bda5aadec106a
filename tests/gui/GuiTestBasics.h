#pragma once
// What every GUI test needs, with or without a main window: one application object, widgets found
// by their names, modal windows answered, and file questions answered from a script.
#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/text/VnCodec.h"
#include "gui/InputStep.h"
#include "gui/VietnameseQtTexts.h"
#include "support/Fakes.h"

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

// Runs `act` on the modal window that the caller opens next, once it is up. A window that `act`
// leaves open (a failed ASSERT returns early) is closed and fails the test: left up, it would
// wait for the test's time limit.
inline void OnNextModal(std::function<void(QWidget&)> act) {
    QTimer::singleShot(0, [act = std::move(act)] {
        const QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal window";
            return;
        }
        act(*modal);
        if (!modal || !modal->isVisible()) return;
        ADD_FAILURE() << "the modal window " << modal->objectName().toStdString() << " was left open by the test";
        if (auto* dialog = qobject_cast<QDialog*>(modal.data())) dialog->done(QDialog::Rejected);
        else modal->close();
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

}  // namespace qef::test
