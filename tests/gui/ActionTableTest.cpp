#include <set>
#include <string>

#include "GuiTestSupport.h"
#include "gui/ActionTable.h"
#include "gui/Commands.h"
#include "gui/Workers.h"

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

TEST(ActionTable, ShortcutsAreUniqueAndOnlyBuiltCommandsAreEnabled) {
    test::ScriptedWindow s;
    std::set<QString> keys;
    for (const QAction* action : s.window.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QString key = action->shortcut().toString();
        EXPECT_TRUE(key.isEmpty() || keys.insert(key).second) << key.toStdString();
    }
    // Ctrl+N/O/S/X/C/V/Del, Alt+X, F1, F4 to F9, and the two hidden Shift+Ctrl ones: all on the window.
    EXPECT_EQ(keys.size(), 17u);
    EXPECT_EQ(s.Action("Binhsaimoi")->shortcut(), QKeySequence(Qt::Key_F4));
    // A command runs from wherever it is listed once its worker exists, and stays disabled before.
    int built = 0;
    for (const ActionRow& row : MainWindowActions()) {
        if (!row.Command) continue;
        const bool hasWorker = WorkerFor(FindComputationCommand(row.Command)->Worker) != nullptr;
        built += hasWorker;
        EXPECT_EQ(s.Action(row.Name)->isEnabled(), hasWorker) << row.Name;
        EXPECT_NE(s.window.CommandPending(s.Action(row.Name)), hasWorker) << row.Name;
    }
    EXPECT_GE(built, 2);  // F4 from the menu and from the toolbar
}

TEST(ActionTable, SettingSwitchesFollowTheirActionSetInCodeToo) {
    test::ScriptedWindow s;
    QAction* accents = s.Action("filekqcodau");
    QAction* dhFile = s.Action("Filedulieudohinh");
    const ComputationSettings& settings = s.window.Settings();
    EXPECT_TRUE(accents->isChecked() && settings.KeepAccents);
    EXPECT_FALSE(dhFile->isChecked() || settings.WriteDhFile);

    accents->setChecked(false);
    dhFile->setChecked(true);
    EXPECT_FALSE(settings.KeepAccents);
    EXPECT_TRUE(settings.WriteDhFile);
    ASSERT_EQ(s.ask.Messages().size(), 1u);  // what the side file is, said when it is switched on
    EXPECT_NE(s.ask.Messages()[0].find("(*.dh)"), std::string::npos);
    dhFile->setChecked(false);
    EXPECT_FALSE(settings.WriteDhFile);
    EXPECT_EQ(s.ask.Messages().size(), 1u);
}

}  // namespace
}  // namespace qef
