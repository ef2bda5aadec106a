#include "gui/dialogs/SplashWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace qef {

SplashWindow::SplashWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FSplash"));
    setWindowTitle(QStringLiteral("Giới thiệu QEF 2010"));
    setFixedSize(kWidth, kHeight);
}

QString SplashWindow::VersionText() { return QStringLiteral("Phiên bản ") + QString::fromLatin1(QEF_VERSION); }

void SplashWindow::CentreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kWidth / 2, kHeight / 2));
}

void SplashWindow::ShowAtStartUp() {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    CentreOnScreen();
    show();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void SplashWindow::BecomeAboutWindow() {
    hide();
    if (aboutWindow_) return;
    aboutWindow_ = true;
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    // Placed by QDialog from now on: centred on the main window at each showing.
    setAttribute(Qt::WA_Moved, false);
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    accept();
}

void SplashWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    accept();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(16, 58, 94));
    sky.setColorAt(1.0, QColor(6, 24, 44));
    p.fillRect(rect(), sky);

    // A small traverse: known points as triangles, new points as circles.
    const QPointF pts[] = {{60, 270}, {120, 190}, {200, 230}, {250, 140}, {180, 90}, {300, 70}};
    p.setPen(QPen(QColor(120, 200, 255), 2));
    for (std::size_t i = 0; i + 1 < std::size(pts); ++i) p.drawLine(pts[i], pts[i + 1]);
    p.setPen(QPen(QColor(120, 200, 255, 110), 1, Qt::DashLine));
    p.drawLine(pts[1], pts[4]);
    p.drawLine(pts[2], pts[3]);
    for (std::size_t i = 0; i < std::size(pts); ++i) {
        const bool known = i == 0 || i + 1 == std::size(pts);
        p.setPen(QPen(Qt::white, 1.5));
        if (known) {
            p.setBrush(QColor(230, 70, 60));
            const QPointF c = pts[i];
            const QPointF tri[] = {c + QPointF(0, -9), c + QPointF(8, 6), c + QPointF(-8, 6)};
            p.drawPolygon(tri, 3);
        } else {
            p.setBrush(QColor(255, 210, 80));
            p.drawEllipse(pts[i], 5, 5);
        }
    }

    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(64);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(330, 50, 350, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("QEF 2010"));

    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(16);
    p.setFont(body);
    p.setPen(QColor(200, 225, 245));
    p.drawText(QRect(334, 124, 350, 24), Qt::AlignLeft | Qt::AlignVCenter, VersionText());
    p.drawText(QRect(332, 160, 350, 120), Qt::AlignLeft | Qt::AlignTop,
               QStringLiteral("Bình sai lưới khống chế mặt bằng\n"
                              "và lưới độ cao, tính tọa độ điểm chi tiết,\n"
                              "xử lý số liệu đo toàn đạc điện tử."));

    body.setPixelSize(13);
    p.setFont(body);
    p.setPen(QColor(150, 180, 205));
    const QString foot = aboutWindow_ ? QStringLiteral("Nhấn một phím hoặc bấm chuột để đóng cửa sổ này.")
                                      : QStringLiteral("Đang khởi động ...");
    p.drawText(QRect(20, kHeight - 34, kWidth - 40, 24), Qt::AlignRight | Qt::AlignVCenter, foot);
}

}  // namespace qef
