#include <QMenu>
#include <QMenuBar>
#include <set>
#include <string>

#include "GuiTestSupport.h"
#include "gui/ActionTable.h"
#include "gui/Commands.h"
#include "gui/MainWindow.h"

namespace qef {
namespace {

TEST(ActionTable, EveryRowIsReachableAndNamesWhatExists) {
    std::set<std::string> names;
    std::set<std::string> commandsWithAction;
    for (const ActionRow& row : MainWindowActions()) {
        EXPECT_TRUE(names.insert(row.Name).second) << "objectName used twice: " << row.Name;
        if (row.Widget) {
            EXPECT_NE(row.Bar, BarId::None) << row.Name;
            continue;
        }
        EXPECT_TRUE(row.Menu != MenuId::None || row.Bar != BarId::None) << "nowhere to be found: " << row.Name;
        EXPECT_TRUE(row.Text && *row.Text) << row.Name;
        if (row.Command) {
            EXPECT_NE(FindComputationCommand(row.Command), nullptr) << row.Name << " runs " << row.Command;
            commandsWithAction.insert(row.Command);
        }
    }
    for (const ComputationCommand& command : ComputationCommands())
        EXPECT_TRUE(commandsWithAction.count(command.Name)) << "no action runs " << command.Name;
}

struct BuiltWindow : ::testing::Test {
    BuiltWindow() { window.SetInteraction(&ask); }
    QAction* Action(const char* name) { return test::Find<QAction>(window, name); }

    bool appReady = (test::EnsureApp(), true);
    test::ScriptedInteraction ask;
    MainWindow window;
};

TEST_F(BuiltWindow, ShortcutsAreUniqueAndOnlyBuiltCommandsAreEnabled) {
    std::set<QString> keys;
    for (const QAction* action : window.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QString key = action->shortcut().toString();
        if (key.isEmpty()) continue;
        EXPECT_TRUE(keys.insert(key).second) << key.toStdString();
    }
    // Ctrl+N/O/S/X/C/V/Del, Alt+X, F1, F4 to F9, and the two hidden Shift+Ctrl ones.
    EXPECT_EQ(keys.size(), 17u);
    EXPECT_EQ(Action("Binhsaimoi")->shortcut(), QKeySequence(Qt::Key_F4));
    // The F4 command runs from the menu and the toolbar; the others have no worker yet.
    EXPECT_TRUE(Action("Binhsaimoi")->isEnabled() && Action("ToolButton9")->isEnabled());
    for (const char* name :
         {"KTtungnhom", "BSDC", "TXYMia", "TB_Tinhxyz1", "TB_TinhXYZ2", "Bnhsaic1", "Khugoccanhcung"}) {
        EXPECT_FALSE(Action(name)->isEnabled()) << name;
        EXPECT_TRUE(window.CommandPending(Action(name))) << name;
    }
    // The menus in their order, "Thoát" last on the bar.
    QStringList titles;
    for (const QAction* entry : window.menuBar()->actions()) titles << entry->text();
    EXPECT_EQ(titles, (QStringList{"File", "Soạn thảo", "Dữ liệu", "Tính toán", "Hỗ trợ", "Lựa chọn", " Hướng dẫn ",
                                   "Thoát"}));
}

TEST_F(BuiltWindow, SettingSwitchesFollowTheirActionSetInCodeToo) {
    QAction* accents = Action("filekqcodau");
    QAction* dhFile = Action("Filedulieudohinh");
    EXPECT_TRUE(accents->isChecked() && window.Settings().KeepAccents);
    EXPECT_FALSE(dhFile->isChecked() || window.Settings().WriteDhFile);

    accents->setChecked(false);
    dhFile->setChecked(true);
    EXPECT_FALSE(window.Settings().KeepAccents);
    EXPECT_TRUE(window.Settings().WriteDhFile);
    ASSERT_EQ(ask.Messages().size(), 1u);  // what the side file is, said when it is switched on
    EXPECT_NE(ask.Messages()[0].find("(*.dh)"), std::string::npos);
    dhFile->setChecked(false);
    EXPECT_FALSE(window.Settings().WriteDhFile);
    EXPECT_EQ(ask.Messages().size(), 1u);
}

}  // namespace
}  // namespace qef
