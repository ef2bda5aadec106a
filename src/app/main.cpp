#include <QApplication>

#include "gui/MainWindow.h"
#include "gui/VietnameseQtTexts.h"
#include "gui/dialogs/SplashWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEF 2010"));
    // Before any window: Qt makes its texts as the widgets are made.
    qef::SpeakVietnamese();

    // The main window first; the splash stays on top while the other windows are made and is
    // hidden when the main window shows.
    qef::MainWindow window;
    window.Splash()->ShowAtStartUp();
    window.CreateDialogs();
    window.show();
    return QApplication::exec();
}
