// Commands and the command runner on a fake host: what they ask of the window, with no window.
#include <QAbstractButton>
#include <QRadioButton>

#include "gui/ActionTable.h"
#include "gui/BlockCommands.h"
#include "gui/FakeHost.h"
#include "gui/MainWindowTexts.h"
#include "gui/ToolCommands.h"
#include "gui/dialogs/TFloaifile.h"

namespace qef {
namespace {

void Fill(test::FakeHost& host, const std::vector<std::vector<std::string>>& rows) {
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            host.grid.SetCell(static_cast<int>(r) + 1, static_cast<int>(c), rows[r][c]);
    host.grid.SetDataRowCount(static_cast<int>(rows.size()));
}

// The data-kind dialog lives under the host's dialog parent; the conversion commits the pending
// entry, edits the host's grid from row 1, puts the cursor there and marks the data changed.
TEST(BlockCommandsOnAHost, ConversionsAndBlockValuesEditTheHostsGrid) {
    test::FakeHost host;
    CreateBlockDialogs(host);
    ASSERT_NE(host.parent.findChild<TFloaifile*>(QStringLiteral("Floaifile")), nullptr);
    Fill(host, {{"A", "B", "C", "90.0000", "2.5"}, {"C", "D", "0.075"}});
    test::OnNextModal([](QWidget& w) {
        test::Find<QRadioButton>(w, "Loaifile1")->click();  // control data
        test::Find<QAbstractButton>(w, "Button1")->click();
    });
    MetresToMillimetresCommand(host, false);
    EXPECT_EQ(host.grid.Cell(1, 4), "2500");
    EXPECT_EQ(host.grid.Cell(2, 2), "75");
    EXPECT_EQ(host.grid.Cell(1, 3), "90.0000");  // angles are no lengths
    EXPECT_EQ(host.commits, 1);
    EXPECT_EQ(host.cursorMoves, (std::vector<GridCell>{GridCell{1, 0}}));
    EXPECT_FALSE(host.dataSaved);

    // A block value goes into the block the host says is selected, and nowhere else.
    host.dataSaved = true;
    host.selected = {1, 2, 1, 1};
    host.ask.texts = {std::string("K")};
    FillBlockCommand(host, false);
    EXPECT_EQ(host.grid.Cell(1, 1), "K");
    EXPECT_EQ(host.grid.Cell(2, 1), "K");
    EXPECT_EQ(host.grid.Cell(1, 0), "A");
    EXPECT_EQ(host.grid.Cell(2, 2), "75");
    EXPECT_FALSE(host.dataSaved);

    // With the editor in sight a block command asks nothing.
    host.gridVisible = false;
    const std::size_t asked = host.ask.calls.size();
    FillBlockCommand(host, false);
    EXPECT_EQ(host.ask.calls.size(), asked);
}

// A file tool asks its files through the host and names the file it wrote on the host's status
// line; an input that cannot be read is named through the host's runner.
TEST(ToolCommandsOnAHost, SortAsksThroughTheHostAndTellsWhatItWrote) {
    test::FakeHost host;
    const std::string in = host.dir.File("coords.txt");
    test::WriteFileBytes(in, "B 200.000 300.000\r\nA 100.000 50.000\r\n");
    host.files.names = {in, host.dir.File("kq.dta")};
    host.ask.answers = {Answer::Yes};  // ascending
    SortXYCommand(host, false);
    ASSERT_EQ(host.files.asked.size(), 2u);
    EXPECT_EQ(host.files.asked[0].first, 'o');
    EXPECT_EQ(host.files.asked[1].first, 's');
    EXPECT_EQ(test::ReadFileBytes(host.dir.File("kq.dta")), "A\t100.000\t50.000\r\nB\t200.000\t300.000\r\n");
    EXPECT_EQ(host.written, std::vector<std::string>{host.dir.File("kq.dta")});
    EXPECT_TRUE(host.ask.Messages().empty());

    host.files.names = {host.dir.File("missing.txt"), host.dir.File("kq2.dta")};
    host.ask.answers = {Answer::Yes};
    SortXYCommand(host, false);
    // The tool says it cannot open the file; the runner then names the file that failed.
    ASSERT_EQ(host.ask.Messages().size(), 2u);
    EXPECT_EQ(host.ask.Messages()[1], Vn("Không đọc được file ") + host.dir.File("missing.txt"));
    EXPECT_EQ(host.written.back(), "");
}

// F6 through the runner: Cancel of the parameters asks no file; a run marks the host busy for its
// length, offers the editor's save once and shows the first report under the program's title.
TEST(RunnerOnAHost, F6AsksTheHostAndShowsItsReport) {
    test::FakeHost host;
    const ComputationCommand* f6 = FindComputationCommand("BSDC");
    ASSERT_NE(f6, nullptr);
    host.parametersOk = false;
    host.runner.Run(*f6);
    EXPECT_EQ(host.parametersAsked, 1);
    EXPECT_EQ(host.commits, 1);
    EXPECT_TRUE(host.files.asked.empty());
    EXPECT_TRUE(host.busy.empty());
    EXPECT_TRUE(host.settings.Modes.ModeLevelling);

    // Cancel of the first file question: nothing runs.
    host.parametersOk = true;
    host.runner.Run(*f6);
    ASSERT_EQ(host.files.asked.size(), 1u);
    EXPECT_EQ(host.files.asked[0].second.title, QStringLiteral("Nhập tên file cao độ gốc"));
    EXPECT_TRUE(host.busy.empty());
    EXPECT_EQ(host.editorSaveOffers, 0);

    // A line A-1-2-B of 100, 200 and 100 m between A = 10 m and B = 12 m with rises 0.500, 0.800
    // and 0.688 m: the 12 mm misclosure spread by length gives H1 = 10.503, H2 = 11.309.
    test::WriteFileBytes(host.dir.File("known.txt"), "A 10.000\r\nB 12.000\r\n");
    test::WriteFileBytes(host.dir.File("lines.txt"), "A 1 100 0.500\r\n1 2 200 0.800\r\n2 B 100 0.688\r\n");
    host.files.names = {host.dir.File("known.txt"), host.dir.File("lines.txt"), host.dir.File("kq.dta")};
    host.runner.Run(*f6);
    EXPECT_EQ(host.busy, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.editorSaveOffers, 1);
    EXPECT_EQ(host.editorForgotten, 0);  // the first report keeps the editor's file until it loads
    ASSERT_EQ(host.reports.size(), 1u);
    EXPECT_EQ(host.reports[0].first, QString::fromStdString(host.dir.File("kq.in")));
    EXPECT_EQ(host.reports[0].second, kProgramTitle);
    EXPECT_EQ(test::ReadFileBytes(host.dir.File("kq.dta")),
              "A\t10.000\r\nB\t12.000\r\n1\t10.503\r\n2\t11.309\r\n");
    EXPECT_FALSE(host.runner.Computing());
}

}  // namespace
}  // namespace qef
