#include <QAbstractButton>
#include <QDialog>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QTableView>

#include "gui/GridModel.h"
#include "gui/GuiTestSupport.h"

namespace qef {
namespace {

struct BlockCommands : ::testing::Test, test::ScriptedWindow {
    BlockCommands() {
        window.CreateDialogs();
        window.show();
    }
    void Fill(const std::vector<std::vector<std::string>>& rows) {
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                window.Grid().SetCell(static_cast<int>(r) + 1, static_cast<int>(c), rows[r][c]);
        window.Grid().SetDataRowCount(static_cast<int>(rows.size()));
        window.SetDataSaved(true);
    }
    // Runs a conversion, answering the data-kind dialog with item `kind` (-1: Cancel).
    void Convert(const char* action, int kind) {
        test::OnNextModal([kind](QWidget& w) {
            auto& dialog = static_cast<QDialog&>(w);
            if (kind < 0) return dialog.reject();
            test::Find<QRadioButton>(w, ("Loaifile" + std::to_string(kind)).c_str())->click();
            test::Find<QAbstractButton>(w, "Button1")->click();
        });
        Action(action)->trigger();
    }
    void Select(int firstRow, int lastRow, int firstColumn, int lastColumn) {
        QTableView* view = window.GridView();
        const QModelIndex a = view->model()->index(firstRow - 1, firstColumn);
        const QModelIndex b = view->model()->index(lastRow - 1, lastColumn);
        view->selectionModel()->setCurrentIndex(a, QItemSelectionModel::NoUpdate);
        view->selectionModel()->select(QItemSelection(a, b), QItemSelectionModel::ClearAndSelect);
    }
    const std::string& Cell(int row, int column) { return window.Grid().Cell(row, column); }
};

// The kind chosen is kept between showings, also through Cancel; a detail grid asks what its
// fifth column holds; bad angles are counted in a message.
TEST_F(BlockCommands, ConversionsAskTheKindAndConvertItsColumns) {
    Fill({{"A", "B", "C", "90.0000", "100.000"}, {"C", "D", "50.25"}, {"B", "C", "D", "12.6000"}});
    Convert("Conversion1", 1);
    EXPECT_EQ(Cell(1, 4), "100000");
    EXPECT_EQ(Cell(2, 2), "50250");
    EXPECT_FALSE(window.DataSaved());

    // Cancel converts nothing; the next showing still has "control" chosen.
    Convert("Conversion2", -1);
    EXPECT_EQ(Cell(1, 4), "100000");
    test::OnNextModal([](QWidget& w) {
        EXPECT_TRUE(test::Find<QRadioButton>(w, "Loaifile1")->isChecked());
        test::Find<QAbstractButton>(w, "Button1")->click();
    });
    Action("Conversion3")->trigger();
    EXPECT_EQ(Cell(1, 3), "900000");
    EXPECT_EQ(Cell(3, 3), "12.6000");
    ASSERT_EQ(ask.Messages().size(), 1u);
    EXPECT_EQ(ask.Messages()[0], Vn("Có 1 ô không phải là góc đúng định dạng, các ô này được giữ nguyên."));

    // Detail: answering "height difference" scales the fifth column with the lengths.
    Fill({{"", "S1", "S2", "1.452"}, {"5", "10.2030", "25.5", "1.5", "0.123"}});
    ask.answers = {Answer::Yes};
    Convert("Conversion1", 2);
    EXPECT_EQ(ask.calls.back().kind, "yesno");
    EXPECT_EQ(Cell(1, 3), "1452");
    EXPECT_EQ(Cell(2, 4), "123");
    EXPECT_EQ(Cell(2, 1), "10.2030");

    // The text forms of angles leave a detail grid alone and ask nothing about it.
    const std::size_t asked = ask.calls.size();
    Convert("Conversion5", 2);
    EXPECT_EQ(ask.calls.size(), asked);
    EXPECT_EQ(Cell(2, 4), "123");
}

// Control rows whose fifth column holds a side keep it: they are told apart from angles that
// cannot be read, one message for each reason, with the count of each.
TEST_F(BlockCommands, SpacedAnglesTellSidesKeptApartFromBadAngles) {
    Fill({{"A", "B", "C", "90.0000", "100.000"}, {"B", "C", "D", "180.0101", "95.5"},
          {"C", "D", "E", "270.3000", "80.25"}, {"D", "E", "F", "45.1530", "60"},
          {"E", "F", "G", "12.6000"}, {"F", "G", "H", "10.2030"}});
    Convert("Conversion5", 1);
    EXPECT_EQ(Cell(6, 4), "10 20 30.0");
    EXPECT_EQ(Cell(2, 4), "95.5");
    EXPECT_EQ(ask.Messages(),
              (std::vector<std::string>{
                  Vn("Có 1 ô không phải là góc đúng định dạng, các ô này được giữ nguyên."),
                  Vn("Có 4 dòng đã có cạnh ở cột 5, góc của các dòng này không được chuyển.")}));
}

TEST_F(BlockCommands, BlockOperationsActOnTheSelection) {
    Fill({{"P", "a", "b"}, {"Q", "c", "d"}, {"R", "e", "f"}});
    Select(1, 3, 1, 2);
    ask.texts = {std::string("7")};
    Action("BlockOperation2")->trigger();
    EXPECT_EQ(Cell(1, 1) + Cell(1, 2) + "|" + Cell(3, 1) + Cell(3, 2), "78|1112");

    ask.texts = {std::string("x")};
    Action("BlockOperation2")->trigger();
    EXPECT_EQ(ask.Messages().back(), Vn("Bạn chỉ được vào dữ liệu dạng chữ số"));
    // A start no cell can hold is told, and the block keeps its numbers.
    ask.texts = {std::string("1e20")};
    Action("BlockOperation2")->trigger();
    EXPECT_EQ(ask.Messages().back(),
              Vn("Số vượt quá 999999999999999 (15 chữ số), một ô không giữ được: khối không được điền."));
    EXPECT_EQ(Cell(1, 1) + Cell(1, 2) + "|" + Cell(3, 1) + Cell(3, 2), "78|1112");

    // Renumbering asks nothing for a block that does not start in the point column.
    const std::size_t asked = ask.calls.size();
    Action("BlockOperation6")->trigger();
    EXPECT_EQ(ask.calls.size(), asked);
    Select(1, 3, 0, 0);
    ask.texts = {std::string("T")};
    Action("BlockOperation4")->trigger();
    EXPECT_EQ(Cell(1, 0) + Cell(2, 0) + Cell(3, 0), "TPTQTR");
}

}  // namespace
}  // namespace qef
