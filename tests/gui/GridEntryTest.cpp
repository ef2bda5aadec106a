#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTextEdit>

#include "GuiTestSupport.h"
#include "gui/GridEditor.h"
#include "gui/GridModel.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/ReplaceDialog.h"
#include "gui/dialogs/TthaydoiBangnhap.h"

namespace qef {
namespace {

// A shown main window in the grid view, typed into as a user does.
struct Typist : test::ScriptedWindow {
    Typist() {
        window.show();
        QApplication::setActiveWindow(&window);
        window.GridView()->setFocus();
    }
    QTableView& Grid() { return *window.GridView(); }
    QLineEdit& MEdit() { return *window.GridEntry().CellEditor(); }
    GridCell At() { return window.GridEntry().Current(); }
    const std::string& Cell(int row, int column) { return window.Grid().Cell(row, column); }
    // Keys typed on the grid; the first character moves the typing into the cell editor.
    void Type(const char* text) {
        QTest::keyClicks(&Grid(), QString::fromUtf8(text).left(1));
        QTest::keyClicks(&MEdit(), QString::fromUtf8(text).mid(1));
    }
    void EditorKey(Qt::Key key) { QTest::keyClick(&MEdit(), key); }
};

TEST(GridEntryKeys, EnterWrapsAtTheEntryColumnsAndThePrefixGoesOnPointNumbers) {
    Typist t;
    t.Action("TBNhapgoc")->trigger();  // four columns, three point numbers
    t.Action("TBCopyphandau")->trigger();
    auto* prefix = test::Find<QComboBox>(t.window, "Ephandau");
    prefix->setCurrentText(QStringLiteral("T"));
    t.window.GridView()->setFocus();

    for (const char* typed : {"5", "4", "6", "1805959"}) {
        t.Type(typed);
        t.EditorKey(Qt::Key_Return);
    }
    EXPECT_EQ(t.At(), (GridCell{2, 0}));
    EXPECT_EQ(t.Cell(1, 0), "T5");
    EXPECT_EQ(t.Cell(1, 2), "T6");
    EXPECT_EQ(t.Cell(1, 3), "1805959");
    EXPECT_EQ(t.window.Grid().DataRowCount(), 1);
    EXPECT_FALSE(t.window.DataSaved());
    EXPECT_EQ(t.window.StatusText(0), QStringLiteral(" Dòng: 2   Cột: 1   Số dòng: 1"));
    // Enter on the grid moves without typing; a cell that held text takes no prefix.
    QTest::keyClick(&t.Grid(), Qt::Key_Return);
    EXPECT_EQ(t.At(), (GridCell{2, 1}));
    t.window.GridEntry().MoveTo({1, 0});
    t.Type("7");
    t.EditorKey(Qt::Key_Return);
    EXPECT_EQ(t.Cell(1, 0), "7");

    // Free entry wraps after eight columns.
    t.Action("TBNhaptudo")->trigger();
    t.window.GridEntry().MoveTo({3, 7});
    QTest::keyClick(&t.Grid(), Qt::Key_Return);
    EXPECT_EQ(t.At(), (GridCell{4, 0}));
}

TEST(GridEntryKeys, EscArrowsAndPages) {
    Typist t;
    t.window.Grid().SetCell(2, 1, "A12");
    t.window.Grid().SetDataRowCount(2);
    t.window.GridEntry().MoveTo({2, 1});
    EXPECT_EQ(t.MEdit().text(), QStringLiteral("A12"));

    // Esc takes back the typing over the cell's text.
    t.Type("99");
    EXPECT_EQ(t.MEdit().text(), QStringLiteral("99"));
    t.EditorKey(Qt::Key_Escape);
    EXPECT_EQ(t.MEdit().text(), QStringLiteral("A12"));
    EXPECT_EQ(t.MEdit().cursorPosition(), 3);

    // Arrows leave the cell only from the caret's ends.
    t.EditorKey(Qt::Key_Left);
    EXPECT_EQ(t.At(), (GridCell{2, 1}));
    EXPECT_EQ(t.MEdit().cursorPosition(), 2);
    t.MEdit().setCursorPosition(0);
    t.EditorKey(Qt::Key_Left);
    EXPECT_EQ(t.At(), (GridCell{2, 0}));
    t.MEdit().setCursorPosition(0);
    t.EditorKey(Qt::Key_Left);  // column 0: nowhere to go
    EXPECT_EQ(t.At(), (GridCell{2, 0}));
    t.EditorKey(Qt::Key_Right);  // an empty text: the caret is at its end
    EXPECT_EQ(t.At(), (GridCell{2, 1}));
    EXPECT_EQ(t.MEdit().text(), QStringLiteral("A12"));
    t.MEdit().setCursorPosition(1);
    t.EditorKey(Qt::Key_Right);
    EXPECT_EQ(t.At(), (GridCell{2, 1}));
    t.EditorKey(Qt::Key_Up);
    t.EditorKey(Qt::Key_Up);
    EXPECT_EQ(t.At(), (GridCell{1, 1}));
    t.EditorKey(Qt::Key_End);
    EXPECT_EQ(t.At(), (GridCell{1, 14}));
    t.EditorKey(Qt::Key_Home);
    EXPECT_EQ(t.At(), (GridCell{1, 0}));

    // A page is the rows the view shows, the current row counted in it.
    const int shown = t.Grid().viewport()->height() / 20;
    ASSERT_GT(shown, 5);
    t.EditorKey(Qt::Key_PageDown);
    EXPECT_EQ(t.At().Row, shown);
    t.EditorKey(Qt::Key_PageDown);
    EXPECT_EQ(t.At().Row, 2 * shown - 1);
    t.EditorKey(Qt::Key_PageUp);
    EXPECT_EQ(t.At().Row, shown);
    t.EditorKey(Qt::Key_PageUp);
    EXPECT_EQ(t.At().Row, 1);
    t.window.GridEntry().MoveTo({59998, 0});
    t.EditorKey(Qt::Key_PageDown);
    EXPECT_EQ(t.At().Row, 60000);
    t.EditorKey(Qt::Key_Down);
    EXPECT_EQ(t.At().Row, 60000);
    EXPECT_EQ(t.Cell(2, 1), "A12");  // looking never changes a cell

    // A command that writes the current cell shows its text in the cell editor.
    t.window.Grid().SetCell(60000, 0, "END");
    EXPECT_EQ(t.MEdit().text(), QStringLiteral("END"));
}

TEST(GridEntryCommands, RowsBlocksAndTheTextStillBeingTyped) {
    Typist t;
    GridModel& g = t.window.Grid();
    for (int row = 1; row <= 3; ++row) g.SetCell(row, 0, "P" + std::to_string(row));
    g.SetDataRowCount(3);

    t.window.GridEntry().MoveTo({2, 0});
    t.Action("Chen1dong")->trigger();
    EXPECT_EQ(g.Cell(3, 0), "P2");
    EXPECT_EQ(g.DataRowCount(), 4);
    t.ask.answers = {Answer::No, Answer::Yes};
    t.Action("Xoa1dong")->trigger();
    EXPECT_EQ(g.DataRowCount(), 4);
    t.Action("Xoa1dong")->trigger();
    EXPECT_EQ(g.Cell(2, 0), "P2");
    EXPECT_EQ(g.DataRowCount(), 3);
    EXPECT_EQ(t.ask.calls.back().text, "Ban muon xoa 1 dong?");

    // Cut rows 1-2 and paste at row 10; Paste is off again afterwards.
    QAction* paste = t.Action("EditPaste");
    EXPECT_FALSE(paste->isEnabled());
    t.Grid().setCurrentIndex(g.index(0, 0));
    t.Grid().selectionModel()->select(QItemSelection(g.index(0, 0), g.index(1, 1)), QItemSelectionModel::Select);
    t.Action("EditCut")->trigger();
    EXPECT_TRUE(paste->isEnabled());
    t.window.GridEntry().MoveTo({10, 0});
    t.Action("EditPaste")->trigger();
    EXPECT_EQ(g.Cell(1, 0), "");
    EXPECT_EQ(g.Cell(11, 0), "P2");
    EXPECT_EQ(g.DataRowCount(), 11);
    EXPECT_FALSE(paste->isEnabled());

    // A copied block past the last column is refused with a message.
    t.window.GridEntry().MoveTo({10, 0});
    t.Grid().selectionModel()->select(QItemSelection(g.index(9, 0), g.index(9, 2)), QItemSelectionModel::Select);
    t.Action("EditCopy")->trigger();
    t.window.GridEntry().MoveTo({20, 13});
    t.Action("EditPaste")->trigger();
    EXPECT_EQ(g.Cell(20, 13), "");
    EXPECT_EQ(t.ask.Messages().back(), Vn("Khối dán vượt ra ngoài bảng nhập số liệu, không dán được."));
    EXPECT_TRUE(paste->isEnabled());

    // Typed text reaches its cell before the grid is saved, without leaving the cell.
    t.window.GridEntry().MoveTo({4, 1});
    t.Type("X7");
    t.files.names = {t.dir.File("typed.DTA")};
    t.window.Settings().OutputSeparatorMode = SeparatorMode::Comma;
    EXPECT_EQ(t.window.SaveDataFile(), SaveResult::Saved);
    EXPECT_EQ(test::ReadFileBytes(t.dir.File("typed.DTA")).substr(0, 13), "\r\n\r\nP3\r\n,X7\r\n");

    // Inserting a column asks first when the last column holds data.
    g.SetCell(3, 14, "Z");
    t.window.GridEntry().MoveTo({3, 0});
    t.ask.answers = {Answer::No, Answer::Yes};
    t.Action("Chen1cot")->trigger();
    EXPECT_EQ(g.Cell(3, 0), "P3");
    t.Action("Chen1cot")->trigger();
    EXPECT_EQ(g.Cell(3, 1), "P3");
    EXPECT_EQ(g.Cell(3, 14), "");
    EXPECT_EQ(t.MEdit().text(), QString());
}

TEST(GridEntryCommands, MovingCommandsCountTheRowStillBeingTyped) {
    Typist t;
    t.Type("P1");
    t.Action("Them1dong")->trigger();
    EXPECT_EQ(t.Cell(1, 0), "P1");
    EXPECT_EQ(t.At(), (GridCell{2, 0}));
    t.Type("P2");
    t.Action("Lendongdau")->trigger();
    t.Action("Xuongdongcuoi")->trigger();
    EXPECT_EQ(t.At(), (GridCell{2, 0}));
    EXPECT_EQ(t.window.Grid().DataRowCount(), 2);
}

TEST(GridEntryFind, WholeCellsInTheGridAndCaseBlindReplaceInTheEditor) {
    Typist t;
    GridModel& g = t.window.Grid();
    g.SetCell(1, 1, "A123");
    g.SetCell(2, 3, "A12");
    g.SetDataRowCount(2);
    t.Action("Timkiem")->trigger();
    FindDialog& find = *t.window.FindDialog1();
    ASSERT_TRUE(find.isVisible());
    find.SetFindText(QStringLiteral("a12"));
    auto* next = test::Find<QPushButton>(find, "FindNextButton");
    next->click();
    EXPECT_EQ(t.At(), (GridCell{2, 3}));
    EXPECT_EQ(t.MEdit().selectedText(), QStringLiteral("A12"));
    next->click();
    ASSERT_EQ(t.ask.Messages().size(), 1u);
    EXPECT_EQ(t.ask.Messages()[0], "Khong tim thay chuoi \"a12\" nua");
    EXPECT_FALSE(find.isVisible());

    // The editor: Find Next selects, Replace acts while the selection stands, Replace All on all.
    t.Action("TBRE")->trigger();
    QTextEdit& editor = *t.window.Editor();
    editor.setPlainText(QStringLiteral("GPS01 gps01 I1\nx Gps01"));
    t.Action("Thaythe")->trigger();
    ReplaceDialog& replace = *t.window.ReplaceDialog1();
    replace.SetTexts(QStringLiteral("gps01"), QStringLiteral("M1"));
    test::Find<QPushButton>(replace, "FindNextButton")->click();
    EXPECT_EQ(editor.textCursor().selectionStart(), 0);
    QTextCursor moved = editor.textCursor();
    moved.setPosition(3);
    editor.setTextCursor(moved);  // the selection is gone: Replace leaves the text alone
    test::Find<QPushButton>(replace, "ReplaceButton")->click();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("GPS01 gps01 I1\nx Gps01"));
    test::Find<QPushButton>(replace, "ReplaceButton")->click();  // no match held: the first one
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("M1 gps01 I1\nx Gps01"));
    test::Find<QPushButton>(replace, "ReplaceAllButton")->click();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("M1 M1 I1\nx M1"));
    EXPECT_TRUE(replace.isVisible());
}

TEST(GridEntryLayout, RowsNotBelowTheDataAndColumnsDroppedOnlyWhenAllowed) {
    Typist t;
    t.window.CreateDialogs();
    GridModel& g = t.window.Grid();
    g.SetCell(5, 4, "E5");
    g.SetDataRowCount(5);
    TthaydoiBangnhap& dialog = *t.window.GridLayoutDialog();
    std::vector<QString> refusals;
    dialog.MessageHook = [&refusals](const QString& text) { refusals.push_back(text); };
    auto* rows = test::Find<QLineEdit>(dialog, "Esodong");
    auto* columns = test::Find<QSpinBox>(dialog, "Esocot");
    EXPECT_EQ(columns->value(), 8);

    const auto tryOk = [&](const char* rowText, int columnCount, std::vector<Answer> answers) {
        rows->setText(QString::fromUtf8(rowText));
        columns->setValue(columnCount);
        t.ask.answers = {answers.begin(), answers.end()};
        test::OnNextModal([](QWidget& w) {
            test::Find<QPushButton>(w, "Button1")->click();
            if (w.isVisible()) w.close();  // refused: the test closes it as Cancel would
        });
        t.Action("Thaydoibangnhap")->trigger();
    };
    tryOk("4", 8, {});
    tryOk("12a", 8, {});
    tryOk("1000001", 8, {});
    EXPECT_EQ(refusals.size(), 3u);
    EXPECT_EQ(g.DataRows(), 60000);
    tryOk("100", 3, {Answer::No});  // column 4 holds data: asked, refused
    EXPECT_EQ(g.Columns(), 15);
    tryOk("100", 5, {});
    EXPECT_EQ(g.Columns(), 5);
    EXPECT_EQ(g.DataRows(), 100);
    EXPECT_EQ(g.Cell(5, 4), "E5");
    EXPECT_EQ(t.window.GridEntry().Entry().GridEntryColumns, 5);
}

}  // namespace
}  // namespace qef
