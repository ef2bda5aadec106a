#include <QApplication>

#include "gui/MainWindow.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QEF 2010"));
    qef::MainWindow window;
    window.show();
    return QApplication::exec();
}
