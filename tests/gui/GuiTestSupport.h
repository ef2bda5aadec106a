#pragma once
// What every GUI test needs: one application object and widgets found by their names.
#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QToolBar>

#include "core/text/VnCodec.h"
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

}  // namespace qef::test
