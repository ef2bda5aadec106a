#include <set>
#include <string>

#include "GuiTestSupport.h"
#include "gui/ActionTable.h"
#include "gui/Commands.h"
#include "gui/FieldBookWorkers.h"
#include "gui/Workers.h"

namespace qef {
namespace {

TEST(ActionTable, EveryRowIsReachableAndNamesWhatExists) {
    std::set<std::string> names;
    for (const ActionRow& row : MainWindowActions()) {
        EXPECT_TRUE(names.insert(row.Name).second) << "objectName used twice: " << row.Name;
        if (row.Widget) {
            EXPECT_NE(row.Bar, BarId::None) << row.Name;
            continue;
        }
        EXPECT_TRUE(row.Menu != MenuId::None || row.Bar != BarId::None) << "nowhere to be found: " << row.Name;
        EXPECT_TRUE(row.Text && *row.Text) << row.Name;
        // A row runs its own command or another row's, never both.
        EXPECT_FALSE(row.Command.Run && row.SameCommandAs) << row.Name;
        if (row.SameCommandAs) {
            const ComputationCommand* command = FindComputationCommand(row.SameCommandAs);
            ASSERT_NE(command, nullptr) << row.Name << " runs " << row.SameCommandAs;
            EXPECT_EQ(FindComputationCommand(row.Name), command) << row.Name;
        }
        // A command that asks the input step asks every question under a title of its own.
        if (row.Command.InputStep()) {
            EXPECT_TRUE(row.Command.ObservationPrompt && row.Command.ResultPrompt && row.Command.HeightPrompt)
                << row.Name;
        }
    }
    // The toolbar's "Tìm sai số thô" is F4; the field-book button is the menu's command.
    EXPECT_EQ(FindComputationCommand("ToolButton9"), FindComputationCommand("Binhsaimoi"));
    EXPECT_EQ(FindComputationCommand("TBXulysodo"), FindComputationCommand("Taosodogoccanh"));
    EXPECT_EQ(FindComputationCommand("Binhsaimoi")->Run, &AdjustByOrderWorker);
    EXPECT_EQ(FindComputationCommand("TBXulysodo")->Run, &FieldBooksWorker);
    EXPECT_EQ(FindComputationCommand("TBNew"), nullptr);
}

TEST(ActionTable, ShortcutsAreUniqueAndOnlyBuiltCommandsAreEnabled) {
    test::ScriptedWindow s;
    std::set<QString> keys;
    for (const QAction* action : s.window.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) {
        const QString key = action->shortcut().toString();
        EXPECT_TRUE(key.isEmpty() || keys.insert(key).second) << key.toStdString();
    }
    // Ctrl+N/O/S/P/X/C/V/Del, Alt+X, F1, F4 to F9, and the two hidden Shift+Ctrl ones: all on the window.
    EXPECT_EQ(keys.size(), 18u);
    EXPECT_EQ(s.Action("Binhsaimoi")->shortcut(), QKeySequence(Qt::Key_F4));
    // A command runs from wherever it is listed once its worker exists, and stays disabled before.
    int built = 0;
    for (const ActionRow& row : MainWindowActions()) {
        if (row.Widget) continue;
        const bool runsCommand = FindComputationCommand(row.Name) != nullptr;
        const bool doesSomething = row.Handler || row.Setting || runsCommand;
        built += runsCommand;
        // Paste and Print wait for their moment; a command is enabled at once.
        if (runsCommand || !doesSomething) {
            EXPECT_EQ(s.Action(row.Name)->isEnabled(), runsCommand) << row.Name;
        }
        EXPECT_NE(s.window.CommandPending(s.Action(row.Name)), doesSomething) << row.Name;
    }
    // F4 to F9 and "Tìm sai số thô", the 2003 adjustment, the raw form, the two field-book actions,
    // the text books and the fixed-observation tool.
    EXPECT_EQ(built, 13);
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
