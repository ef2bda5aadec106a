#include "gui/ActionBars.h"

#include <functional>

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>

#include "gui/CommandRunner.h"
#include "gui/MainWindow.h"

namespace qef {

namespace {

QColor ColourOf(Tone tone) {
    switch (tone) {
        case Tone::File: return {70, 103, 133};
        case Tone::Edit: return {96, 125, 139};
        case Tone::View: return {0, 121, 107};
        case Tone::Adjust: return {21, 101, 192};
        case Tone::Detail: return {123, 31, 162};
        case Tone::Tool: return {191, 97, 0};
        case Tone::Grid: return {85, 110, 60};
    }
    return {};
}

// A toolbar picture of the program's own: a short label on a coloured tile.
QIcon Tile(const QString& label, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(colour.darker(140));
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 6, 6);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    int size = 17;
    for (; size > 8; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(label) <= 27) break;
    }
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, label);
    return QIcon(pixmap);
}

QIcon IconOf(const QWidget& window, const ActionIcon& icon) {
    if (icon.Standard) return window.style()->standardIcon(*icon.Standard);
    if (icon.Tile) return Tile(QString::fromUtf8(icon.Tile), ColourOf(icon.TileTone));
    return {};
}

// Connects the action to what it does; false when it does nothing yet.
bool Connect(MainWindow& window, const ActionRow& row, QAction* action) {
    if (row.Setting) {
        action->setCheckable(true);
        action->setChecked(window.Settings().*row.Setting);
        QObject::connect(action, &QAction::toggled, &window,
                         [&window, setting = row.Setting, handler = row.Handler](bool on) {
                             window.Settings().*setting = on;
                             if (handler) handler(window, on);
                         });
        return true;
    }
    std::function<void(bool)> run;
    if (const ComputationCommand* command = CommandOf(row)) run = [&window, command](bool) { window.Runner().Run(*command); };
    else if (row.Handler) run = [&window, handler = row.Handler](bool checked) { handler(window, checked); };
    else if (row.HostCommand) run = [&window, command = row.HostCommand](bool checked) { command(window, checked); };
    if (!run) return false;
    QObject::connect(action, &QAction::triggered, &window, [&window, run](bool checked) {
        // The status line speaks of the last command only.
        window.statusBar()->clearMessage();
        run(checked);
    });
    return true;
}

QAction* MakeAction(MainWindow& window, const ActionRow& row) {
    auto* action = new QAction(QString::fromUtf8(row.Text), &window);
    action->setObjectName(QString::fromUtf8(row.Name));
    if (row.Key.key() != Qt::Key_unknown) action->setShortcut(row.Key);
    if (row.Hint) action->setToolTip(QString::fromUtf8(row.Hint));
    const QIcon icon = IconOf(window, row.Icon);
    if (!icon.isNull()) action->setIcon(icon);
    if (row.Checked != Check::None) {
        action->setCheckable(true);
        action->setChecked(row.Checked == Check::On);
    }
    return action;
}

// Menus and toolbars in the order of their tables.
std::map<MenuId, QMenu*> BuildMenusAndBars(MainWindow& window, ActionBars& made) {
    std::map<MenuId, QMenu*> menus;
    for (const MenuRow& m : MainWindowMenus()) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(m.Title));
        menu->setObjectName(QString::fromUtf8(m.Name));
        menus[m.Id] = menu;
    }
    for (const BarRow& b : MainWindowBars()) {
        if (b.OnNewRow) window.addToolBarBreak();
        QToolBar* bar = window.addToolBar(QString::fromUtf8(b.Name));
        bar->setObjectName(QString::fromUtf8(b.Name));
        bar->setIconSize(QSize(24, 24));
        made.Bars[b.Id] = bar;
    }
    return menus;
}

void PlaceInMenu(MainWindow& window, const ActionRow& row, QAction* action, const std::map<MenuId, QMenu*>& menus) {
    switch (row.Menu) {
        case MenuId::None: return;
        case MenuId::MenuBar: window.menuBar()->addAction(action); return;
        case MenuId::Hidden: window.addAction(action); return;
        default: {
            QMenu* menu = menus.at(row.Menu);
            if (row.MenuGap) menu->addSeparator();
            menu->addAction(action);
        }
    }
}

}  // namespace

ActionBars BuildActionBars(MainWindow& window) {
    ActionBars made;
    const std::map<MenuId, QMenu*> menus = BuildMenusAndBars(window, made);
    std::map<GroupId, QActionGroup*> groups;
    for (const ActionRow& row : MainWindowActions()) {
        QToolBar* bar = row.Bar == BarId::None ? nullptr : made.Bars.at(row.Bar);
        if (bar && row.BarGap) bar->addSeparator();
        if (row.Widget) {
            QWidget* widget = row.Widget(window, bar);
            widget->setObjectName(QString::fromUtf8(row.Name));
            bar->addWidget(widget);
            continue;
        }
        QAction* action = MakeAction(window, row);
        if (!Connect(window, row, action)) {
            made.Pending.insert(action);
            action->setEnabled(false);
        }
        if (row.Group != GroupId::None) {
            QActionGroup*& group = groups[row.Group];
            if (!group) group = new QActionGroup(&window);
            group->addAction(action);
        }
        PlaceInMenu(window, row, action, menus);
        if (bar) bar->addAction(action);
    }
    return made;
}

}  // namespace qef
