#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableWidget>
#include <filesystem>

#include "GuiTestSupport.h"
#include "gui/GridModel.h"
#include "gui/dialogs/Fphantoado.h"
#include "support/Lists.h"

namespace qef {
namespace {

const std::string kTools = QEF_TEST_DATA "/tools/";

struct ToolCommands : ::testing::Test, test::CommandWindow {
    QString Title(std::size_t i) const { return files.asked.at(i).second.title; }
};

// Every file tool of the menus, from its menu item to the file it writes: the questions in
// order and the result's first line, as tests/data/tools/menu_commands.txt lists them; none
// ends without a word: the status bar names the file written.
TEST_F(ToolCommands, EachFileToolAsksItsFilesAndWritesItsResult) {
    struct Step {
        std::string Action, Result, FirstLine;
        std::vector<std::string> Names;
        std::vector<QString> Titles;
        Answer Reply = Answer::Yes;  // to a question of the tool
    };
    std::vector<Step> steps;
    for (const std::string& line : test::ReadLines(kTools + "menu_commands.txt")) {
        const auto space = line.find(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
        const std::string key = line.substr(0, space), value = line.substr(space + 1);
        if (key == "command") {
            steps.push_back({value, {}, {}, {}, {}});
            continue;
        }
        ASSERT_FALSE(steps.empty()) << line;
        Step& step = steps.back();
        if (key == "input")
            step.Names.push_back(Input("tools/" + value.substr(0, value.find(' ')), value.substr(value.find(' ') + 1)));
        else if (key == "answer") step.Names.push_back(dir.File(value));
        else if (key == "title") step.Titles.push_back(QString::fromStdString(value));
        else if (key == "result") step.Result = value;
        else if (key == "reply") step.Reply = value == "No" ? Answer::No : Answer::Yes;
        else if (key == "first") {
            for (std::size_t i = 0; i < value.size(); ++i) {
                const bool tab = value.compare(i, 2, "\\t") == 0;  // "\t" stands for a TAB
                step.FirstLine += tab ? '\t' : value[i];
                i += tab ? 1 : 0;
            }
        } else ADD_FAILURE() << "unknown line: " << line;
    }
    ASSERT_EQ(steps.size(), 10u);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.Action);
        files.asked.clear();
        files.names.assign(step.Names.begin(), step.Names.end());
        ask.answers = {step.Reply};
        ask.texts = {std::string("5")};
        window.statusBar()->clearMessage();
        RunCommand(step.Action.c_str());
        EXPECT_EQ(window.statusBar()->currentMessage(),
                  QStringLiteral("Đã ghi file ") + QString::fromStdString(dir.File(step.Result)));
        ASSERT_EQ(files.asked.size(), step.Titles.size());
        for (std::size_t i = 0; i < step.Titles.size(); ++i) EXPECT_EQ(Title(i), step.Titles[i]);
        const std::string written = test::ReadFileBytes(dir.File(step.Result));
        EXPECT_EQ(written.substr(0, written.find("\r\n")), step.FirstLine);
    }
    // Cancel at the first question ends the tool.
    files.asked.clear();
    files.names.clear();
    RunCommand("Chenhcaolg");
    EXPECT_EQ(files.asked.size(), 1u);
}

TEST_F(ToolCommands, ZeroOrientationRewritesTheDirectionsInTheGrid) {
    GridModel& grid = window.Grid();
    grid.SetCell(1, 0, "(10.0000)");
    grid.SetCell(1, 1, "GPS03");
    grid.SetCell(1, 2, "GPS04");
    grid.SetCell(2, 0, "1");
    grid.SetCell(2, 1, "5.0000");
    grid.SetDataRowCount(2);
    window.SetDataSaved(true);
    RunCommand("Gocdinhhuong0");
    EXPECT_EQ(grid.Cell(1, 0), "");
    EXPECT_EQ(grid.Cell(2, 1), "355.0000");
    EXPECT_FALSE(window.DataSaved());
}

// The calculator reads D.MMSS whatever the settings say, and leaves them as they were.
TEST_F(ToolCommands, CalculatorComputesWithItsOwnAngleNotation) {
    window.Settings().AngleTextWithPoint = false;
    const std::string table = dir.File("pts.dta");
    test::WriteFileBytes(table, "A 0 0\r\nB 0 100\r\n\r\n");
    files.names = {table};
    QString azimuth, x, y;
    test::OnNextModal([&](QWidget& w) {
        auto* calc = qobject_cast<Fphantoado*>(&w);
        ASSERT_NE(calc, nullptr);
        test::Find<QPushButton>(w, "Bfile")->click();
        auto* sg1 = test::Find<QTableWidget>(w, "SG1");
        EXPECT_EQ(sg1->rowCount(), 3);
        // Point 1 from the table's first row, then point 2 from its second.
        emit sg1->cellClicked(0, 0);
        test::Find<QCheckBox>(w, "CBd2")->setChecked(true);
        EXPECT_FALSE(test::Find<QCheckBox>(w, "CBd1")->isChecked());
        emit sg1->cellClicked(1, 0);
        azimuth = test::Find<QLineEdit>(w, "kq1")->text();
        EXPECT_TRUE(test::Find<QLineEdit>(w, "kq2")->isHidden());
        // With neither box on, a click fills nothing but still computes what the edits hold.
        test::Find<QCheckBox>(w, "CBd2")->setChecked(false);
        test::Find<QLineEdit>(w, "EYd2")->setText(QStringLiteral("-100"));
        emit sg1->cellClicked(1, 0);
        EXPECT_EQ(test::Find<QLineEdit>(w, "Ed2")->text(), QStringLiteral("B"));
        EXPECT_EQ(test::Find<QLineEdit>(w, "kq1")->text(), QStringLiteral("270 00 00.0"));

        calc->SetMethod(CalculatorMethod::FromAzimuth);
        EXPECT_FALSE(test::Find<QLineEdit>(w, "EXd2")->isEnabled());
        test::Find<QLineEdit>(w, "EXd1")->setText(QStringLiteral("100"));
        test::Find<QLineEdit>(w, "EYd1")->setText(QStringLiteral("200"));
        test::Find<QLineEdit>(w, "Egoc")->setText(QStringLiteral("90.0000"));
        test::Find<QLineEdit>(w, "Ecanh")->setText(QStringLiteral("10"));
        test::Find<QPushButton>(w, "Btinh")->click();
        x = test::Find<QLineEdit>(w, "kq1")->text();
        y = test::Find<QLineEdit>(w, "kq2")->text();
        // A refused side leaves no result of the values typed before.
        test::Find<QLineEdit>(w, "Ecanh")->setText(QStringLiteral("1e308"));
        test::Find<QPushButton>(w, "Btinh")->click();
        EXPECT_TRUE(test::Find<QLineEdit>(w, "kq1")->text().isEmpty());
        EXPECT_TRUE(test::Find<QLineEdit>(w, "kq2")->text().isEmpty());
        test::Find<QPushButton>(w, "Button2")->click();
    });
    RunCommand("Phantoado");
    EXPECT_EQ(azimuth, QStringLiteral("90 00 00.0"));
    EXPECT_EQ(x, QStringLiteral("100.000"));
    EXPECT_EQ(y, QStringLiteral("210.000"));
    EXPECT_FALSE(window.Settings().AngleTextWithPoint);
    // Kept between showings.
    EXPECT_EQ(window.findChildren<Fphantoado*>().size(), 1);
}

// The upload borrows the detail and height modes for the options dialog and gives them back; its
// drawing lies beside the coordinate file.
TEST_F(ToolCommands, UploadDrawsBesideTheCoordinateFileAndRestoresTheFlags) {
    const std::string coords = Input("tools/comma_form/coords.txt", "td.dta");
    files.names = {coords};
    bool modesShown = false;
    test::OnNextModal([&](QWidget& w) {
        modesShown = window.Settings().Modes.ModeDetailPoints && window.Settings().AcadFileUploadMode;
        qobject_cast<QDialog*>(&w)->accept();
    });
    RunCommand("TailenAutoCAD");
    EXPECT_TRUE(modesShown);
    EXPECT_TRUE(std::filesystem::exists(dir.File("td.dxf")));
    EXPECT_EQ(window.statusBar()->currentMessage(),
              QStringLiteral("Đã ghi file ") + QString::fromStdString(dir.File("td.dxf")));
    EXPECT_FALSE(window.Settings().Modes.ModeDetailPoints);
    EXPECT_FALSE(window.Settings().AcadFileUploadMode);
    EXPECT_FALSE(window.Settings().AcadUploadEnabled);
}

}  // namespace
}  // namespace qef
