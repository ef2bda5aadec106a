// The main window's status bar: the grid position or the editor's state in the first panel, the
// function keys in the others, and the files a command wrote.
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QTableView>

#include "core/text/TextFile.h"
#include "gui/GridModel.h"
#include "gui/MainWindow.h"
#include "gui/InputStep.h"

namespace qef {

QString GridStatusText(int row, int column, int dataRowCount) {
    return QStringLiteral(" Dòng: %1   Cột: %2   Số dòng: %3").arg(row).arg(column + 1).arg(dataRowCount);
}

namespace {

// A panel that gives up width on a narrow screen, its text cut with "…" rather than running
// under the next panel.
class StatusPanel : public QLabel {
public:
    StatusPanel(const QString& text, int wantedWidth, QWidget* parent) : QLabel(text, parent), wanted_(wantedWidth) {}
    QSize sizeHint() const override {
        const QSize hint = QLabel::sizeHint();
        return {std::max(hint.width(), wanted_), hint.height()};
    }
    QSize minimumSizeHint() const override {
        return {fontMetrics().horizontalAdvance(QStringLiteral("F1…")) + 8, QLabel::minimumSizeHint().height()};
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QFrame::paintEvent(event);
        QPainter painter(this);
        const QRect room = contentsRect();
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(text(), Qt::ElideRight, room.width()));
    }

private:
    int wanted_ = 0;
};

}  // namespace

void MainWindow::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    const char* texts[] = {"",
                           "F1 : Hướng dẫn",
                           "F4 : BS Đơn giản",
                           "F5 : BS từng nhóm",
                           "F6 : BS Độ cao",
                           "F7 : Tính X, Y mia",
                           "F8 : Tính X,Y,Z theo chênh cao",
                           "F9 : Tính X,Y,Z theo góc TĐỉnh"};
    for (int i = 0; i < 8; ++i) {
        // Room for the widest position of a large grid, where the screen has it.
        const int wanted = i == 0 ? bar->fontMetrics().horizontalAdvance(GridStatusText(99999, 98, 99999)) + 12 : 0;
        auto* panel = new StatusPanel(QString::fromUtf8(texts[i]), wanted, bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        bar->addWidget(panel);
        statusPanels_.push_back(panel);
    }
}

void MainWindow::WriteStatus(const QString& text) { statusPanels_[0]->setText(text); }

void MainWindow::TellWritten(const std::vector<std::string>& writtenFiles) {
    QStringList names;
    for (const std::string& file : writtenFiles)
        if (!file.empty() && FileExists(file)) names << NameOfNative(file);
    if (names.isEmpty()) statusBar()->clearMessage();
    else statusBar()->showMessage(QStringLiteral("Đã ghi file ") + names.join(QStringLiteral(", ")));
}

QString MainWindow::StatusText(int panel) const {
    if (panel < 0 || static_cast<std::size_t>(panel) >= statusPanels_.size()) return {};
    return statusPanels_[panel]->text();
}

void MainWindow::WriteGridStatus() {
    const QModelIndex current = StGrid_->currentIndex();
    const int row = current.isValid() ? GridModel::GridRow(current.row()) : 1;
    const int column = current.isValid() ? current.column() : 0;
    WriteStatus(GridStatusText(row, column, grid_->DataRowCount()));
}

void MainWindow::EditorChange(bool modified) {
    if (!GridVisible()) WriteStatus(modified ? QStringLiteral("Đã sửa") : QString());
}

}  // namespace qef
