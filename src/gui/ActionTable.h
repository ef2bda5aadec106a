#pragma once
// The menu and toolbar actions of the main window as data: one row per action, saying how it
// looks, where it appears and what it does; a computation command's row holds its settings and its
// worker too. The menus and toolbars are built by walking it.
#include <QKeyCombination>
#include <QStyle>
#include <optional>
#include <span>
#include <string_view>

#include "core/model/ComputationSettings.h"
#include "gui/Commands.h"

class QToolBar;
class QWidget;

namespace qef {

class CommandHost;
class MainWindow;

// Where an action is listed: one of the menus, the menu bar itself, or nowhere in sight (Hidden:
// reachable by its shortcut only).
enum class MenuId { None, File, Edit, Data, Compute, Tools, Options, Help, MenuBar, Hidden };
// The toolbars: the main one, and the grid's and the editor's, of which one shows at a time.
enum class BarId { None, Main, Grid, Editor };
// Checkable actions that exclude each other.
enum class GroupId { None, Views, EntryModes, Alignment };
// Colours of the program's own toolbar tiles.
enum class Tone { File, Edit, View, Adjust, Detail, Tool, Grid };

// A standard picture of the style, or a short label on a coloured tile; neither when both unset.
struct ActionIcon {
    std::optional<QStyle::StandardPixmap> Standard;
    const char* Tile = nullptr;
    Tone TileTone = Tone::File;
};
constexpr ActionIcon StandardIcon(QStyle::StandardPixmap pixmap) { return {pixmap, nullptr, Tone::File}; }
constexpr ActionIcon TileIcon(const char* label, Tone tone) { return {std::nullopt, label, tone}; }

// Whether the action is checkable, and its state at start-up.
enum class Check { None, Off, On };

using ActionHandler = void (*)(MainWindow& window, bool checked);
// A command of the menus that needs only what a command host offers.
using HostHandler = void (*)(CommandHost& host, bool checked);
using BarWidgetMaker = QWidget* (*)(MainWindow& window, QToolBar* bar);

// An action does something when it has a handler, a setting or a command with its worker; every
// other action is a command whose work is not built yet, and stays disabled.
struct ActionRow {
    const char* Name;  // the objectName; a row with a Widget names the widget
    const char* Text = nullptr;  // UTF-8
    QKeyCombination Key = {};    // Qt::Key_unknown: no shortcut
    const char* Hint = nullptr;  // the tooltip, when it is not the text
    ActionIcon Icon = {};
    MenuId Menu = MenuId::None;
    bool MenuGap = false;  // a separator before it in its menu
    BarId Bar = BarId::None;
    bool BarGap = false;  // a separator before it in its toolbar
    Check Checked = Check::None;
    GroupId Group = GroupId::None;
    // A switch of the settings: checkable, shows the setting and sets it when toggled, in code
    // too; the handler then runs on toggled.
    bool ComputationSettings::*Setting = nullptr;
    ComputationCommand Command = {};     // run when triggered, when it has a worker
    const char* SameCommandAs = nullptr;  // runs the command of the action of that name
    ActionHandler Handler = nullptr;  // runs on triggered
    HostHandler HostCommand = nullptr;  // runs on triggered, with the window as its host
    BarWidgetMaker Widget = nullptr;  // a control of the toolbar instead of an action
};

std::span<const ActionRow> MainWindowActions();
// The computation command that the action (of that name) runs; nullptr when it runs none.
const ComputationCommand* CommandOf(const ActionRow& row);
const ComputationCommand* FindComputationCommand(std::string_view actionName);

struct MenuRow {
    MenuId Id;
    const char* Name;   // objectName
    const char* Title;  // UTF-8
};
std::span<const MenuRow> MainWindowMenus();

struct BarRow {
    BarId Id;
    const char* Name;  // objectName and title
    bool OnNewRow;     // starts a new row of toolbars
};
std::span<const BarRow> MainWindowBars();

}  // namespace qef
