#pragma once
// Builds the actions of the action table, the menus of the menu bar and the toolbars.
#include <QSet>
#include <map>

#include "gui/ActionTable.h"

class QAction;
class QToolBar;

namespace qef {

class MainWindow;

struct ActionBars {
    std::map<BarId, QToolBar*> Bars;
    QSet<const QAction*> Pending;  // actions whose work is not built yet
};

ActionBars BuildActionBars(MainWindow& window);

}  // namespace qef
