#include "gui/MainWindow.h"

namespace qef {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("QEF 2010"));
    resize(1000, 700);
}

}  // namespace qef
