#include "gui/ScreenFit.h"

#include <QDialog>
#include <QEvent>
#include <QMargins>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QWindow>

namespace qef {

namespace {

// The window manager's frame is known only once the window is on the screen; before that, leave
// room for a title bar and thin borders.
QMargins FrameOf(const QWidget& window) {
    if (const QWindow* handle = window.windowHandle()) {
        const QMargins known = handle->frameMargins();
        if (!known.isNull()) return known;
    }
    const int border = window.style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int title = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return {border, title + border, border, border};
}

// The room for the window's own area on its screen; empty without a screen.
QSize Room(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return {};
    return screen->availableGeometry().marginsRemoved(FrameOf(window)).size();
}

bool Fits(QSize size, QSize room) { return size.width() <= room.width() && size.height() <= room.height(); }

}  // namespace

void FitToScreen(QWidget& window, QSize wanted) {
    const QSize room = Room(window);
    if (room.isEmpty() || Fits(wanted, room)) {
        window.resize(wanted);
        return;
    }
    window.resize(wanted.boundedTo(room));
    // A window's position is that of its frame.
    window.move(window.screen()->availableGeometry().topLeft());
}

bool DialogFit::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes before the dialog's own showEvent centres it, so it centres the fitted size.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow()) {
            const QSize room = Room(*dialog);
            if (!room.isEmpty() && !Fits(dialog->size(), room)) dialog->resize(dialog->size().boundedTo(room));
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qef
