#include "gui/ScreenFit.h"
#include "gui/dialogs/DialogSupport.h"

#include <algorithm>

#include <QDialog>
#include <QEvent>
#include <QMainWindow>
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

void KeepOnScreen(QWidget& window) {
    const QSize room = Room(window);
    if (room.isEmpty()) return;
    // Shown at its own size, a window is kept by Qt to two thirds of the screen, which cuts a tall
    // dialog short on a low screen that has the room.
    const QSize wanted =
        window.testAttribute(Qt::WA_Resized) ? window.size() : window.sizeHint().expandedTo(window.size());
    if (wanted != window.size() || !Fits(wanted, room)) {
        QSize size = wanted.boundedTo(room);
        // A body that now scrolls up and down needs its scroll bar beside it.
        if (size.height() < wanted.height()) {
            const int bar = window.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
            size.setWidth(std::min(room.width(), size.width() + bar));
        }
        window.resize(size);
    }
    // A dialog centres itself on its parent within the screen; the main window's frame is moved in.
    if (qobject_cast<QDialog*>(&window)) return;
    const QRect screen = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    if (!screen.contains(frame)) {
        const QSize outer = frame.size();
        const int right = std::max(screen.left(), screen.right() + 1 - outer.width());
        const int bottom = std::max(screen.top(), screen.bottom() + 1 - outer.height());
        window.move(std::clamp(frame.x(), screen.left(), right), std::clamp(frame.y(), screen.top(), bottom));
    }
}

bool DialogFit::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes before the dialog's own showEvent centres it, so it centres the fitted
    // size. By now the window system knows the frame, where it has one.
    if (event->type() == QEvent::Show && !event->spontaneous()) {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && window->isWindow() && (qobject_cast<QDialog*>(window) || qobject_cast<QMainWindow*>(window)))
            KeepOnScreen(*window);
        // Every dialog can be walked by Tab, its tables and lists included.
        if (window && window->isWindow() && qobject_cast<QDialog*>(window)) LetTabLeaveViews(*window);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qef
