// The many-word replacement, the column sums and the books from observations, from their menu
// items; and the whole menu tree, where only the commands still being built may stay disabled.
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <set>

#include "GuiTestSupport.h"
#include "core/text/VnCodec.h"
#include "gui/GridEditor.h"
#include "gui/GridModel.h"
#include "gui/dialogs/TFTaosodo.h"
#include "gui/dialogs/TFTsbs.h"

namespace qef {
namespace {

using test::Find;

struct TextAndBooks : ::testing::Test, test::CommandWindow {
    std::string Written(const std::string& name) { return Tcvn3ToUtf8(test::ReadFileBytes(dir.File(name))); }
};

TEST_F(TextAndBooks, ReplacementFillsAsTheDialogSays) {
    files.names = {Input("tools/replace_words/pairs.txt", "p.txt"), Input("tools/replace_words/data.txt", "d.txt"),
                   dir.File("kq.txt")};
    test::OnNextModal([](QWidget& w) {
        auto* fill = Find<QCheckBox>(w, "TBcashthaythe");
        auto* side = Find<RadioGroupBox>(w, "RGCachchen");
        EXPECT_FALSE(side->isEnabled());
        fill->setChecked(true);
        EXPECT_TRUE(side->isEnabled());
        side->Item(0)->click();  // before
        Find<RadioGroupBox>(w, "RGKytuchen")->Item(1)->click();  // "0"
        EXPECT_FALSE(Find<QWidget>(w, "GBphanbiet")->isEnabled());
        Find<QPushButton>(w, "Button1")->click();
    });
    RunCommand("Thaythenhieuchuoi");
    ASSERT_EQ(files.asked.size(), 3u);
    EXPECT_EQ(files.asked[0].second.title, QStringLiteral("Tên file thống kê chuỗi cần thay thê"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.txt")), "00A 100\r\n0B 00A\r\n");
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("Đã ghi file ") + QString::fromStdString(dir.File("kq.txt")));
}

TEST_F(TextAndBooks, ColumnSumTakesTheCellBeingTypedAndRefusesColumnsOutsideTheGrid) {
    GridModel& grid = window.Grid();
    grid.SetCell(1, 1, "1.5");
    grid.SetDataRowCount(1);
    window.SetDataSaved(true);
    // The text still in the cell editor counts.
    QApplication::setActiveWindow(&window);
    window.GridView()->setFocus();
    window.GridEntry().MoveTo({1, 2});
    QTest::keyClicks(window.GridView(), QStringLiteral("2"));
    QTest::keyClicks(window.GridEntry().CellEditor(), QStringLiteral(".25"));
    const auto sum = [&](const char* columns, const char* target) {
        test::OnNextModal([=](QWidget& w) {
            Find<QLineEdit>(w, "Caccot")->setText(QString::fromUtf8(columns));
            Find<QLineEdit>(w, "Vaocot")->setText(QString::fromUtf8(target));
            Find<QRadioButton>(w, "Kso")->setChecked(true);
            Find<QPushButton>(w, "Button1")->click();
        });
        RunCommand("Congcot");
    };
    sum("2 3", "4");
    EXPECT_EQ(grid.Cell(1, 3), "3.75");
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_FALSE(window.DataSaved());
    // Columns 9 to 15 are inside the grid of 15 columns; 16 is not, and the message names the
    // grid's width in columns.
    grid.SetCell(1, 8, "2");
    grid.SetCell(1, 9, "0.5");
    sum("9 10", "11");
    EXPECT_EQ(grid.Cell(1, 10), "2.5");
    EXPECT_TRUE(ask.Messages().empty());
    sum("4 16", "1");
    ASSERT_EQ(ask.Messages().size(), 1u);
    EXPECT_EQ(ask.Messages()[0], Vn("Các bạn chỉ được sử dụng trong 15 cột"));
    EXPECT_EQ(grid.Cell(1, 3), "3.75");
}

TEST_F(TextAndBooks, BooksFromObservationsSayTheyAreSimulated) {
    // Listed in the tools menu with the other books.
    QMenu* tools = window.menuBar()->findChild<QMenu*>(QStringLiteral("MenuHotro"));
    ASSERT_NE(tools, nullptr);
    EXPECT_TRUE(tools->actions().contains(Action("sltosodo")));
    EXPECT_TRUE(tools->actions().contains(Action("sodochitiet")));

    const std::string obs = Input("fielddata/simulated/books_two_sets/obs.dta", "obs.dta");
    files.names = {obs, dir.File("goc.txt"), dir.File("canh.txt"), dir.File("gc.dta")};
    test::OnNextModal([](QWidget& w) {
        Find<QSpinBox>(w, "Esolandogoc")->setValue(3);
        Find<QPushButton>(w, "Button1")->click();
    });
    RunCommand("sltosodo");
    ASSERT_EQ(files.asked.size(), 4u);
    EXPECT_EQ(files.asked[3].second.title, QStringLiteral("Nhập tên file số liệu góc cạnh"));
    const std::string angles = Written("goc.txt");
    EXPECT_NE(angles.find("Số liệu mô phỏng"), std::string::npos);
    EXPECT_NE(angles.find("|  60 00 00 |"), std::string::npos);  // the second of three sets
    EXPECT_NE(Written("canh.txt").find("Số liệu mô phỏng"), std::string::npos);
    EXPECT_EQ(Written("gc.dta").rfind("// Số liệu mô phỏng", 0), 0u);

    files.asked.clear();
    files.names = {Input("fielddata/simulated/detail_book/obs.dta", "ct.dta"), dir.File("soct.txt")};
    RunCommand("sodochitiet");
    EXPECT_EQ(files.asked.size(), 2u);
    EXPECT_NE(Written("soct.txt").find("Khép góc"), std::string::npos);

    // The testing aid has no menu item: its shortcut reaches it.
    files.asked.clear();
    files.names = {obs, dir.File("moi.dta")};
    RunCommand("taotridomoi");
    EXPECT_EQ(files.asked.at(1).second.title, QStringLiteral("Nhập tên file kết quả đo đã xử lý"));
    EXPECT_EQ(Written("moi.dta").rfind("GPS02\tI1\t", 0), 0u);
}

// Every menu command is built: none stays disabled but for want of its data.
TEST_F(TextAndBooks, NoMenuCommandStaysDisabled) {
    // Paste waits for something copied.
    const std::set<QString> waiting = {"EditPaste"};
    window.ShowGridView();
    int listed = 0;
    for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || action->menu()) continue;
            ++listed;
            EXPECT_TRUE(action->isEnabled() || waiting.count(action->objectName()))
                << action->objectName().toStdString() << " in " << menu->objectName().toStdString();
        }
    }
    EXPECT_GT(listed, 40);
    for (const char* hidden : {"taotridomoi"}) EXPECT_TRUE(Action(hidden)->isEnabled());
}

}  // namespace
}  // namespace qef
