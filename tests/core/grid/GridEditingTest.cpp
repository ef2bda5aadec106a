#include <gtest/gtest.h>

#include <string>

#include "core/grid/GridDocument.h"
#include "core/grid/GridEntry.h"

namespace qef {
namespace {

// Rows 1 .. rows of the grid, each as its cells joined by ",", rows joined by "|"; "." for blank.
std::string Rows(const GridDocument& doc, int rows) {
    std::string out;
    for (int row = 1; row <= rows; ++row) {
        if (row > 1) out += '|';
        for (int column = 0; column < doc.Columns(); ++column) {
            const std::string& cell = doc.Cell(row, column);
            out += (column ? "," : "") + (cell.empty() ? std::string(".") : cell);
        }
    }
    return out;
}

// A grid whose cell (row, column) holds letter-of-row + column, e.g. "b2", on `dataRows` rows.
GridDocument Lettered(int columns, int rows, int dataRows, int filledColumns) {
    GridDocument doc(columns, rows);
    for (int row = 1; row <= dataRows; ++row)
        for (int column = 0; column < filledColumns; ++column)
            doc.EnterText(row, column, std::string(1, static_cast<char>('a' + row - 1)) + std::to_string(column));
    return doc;
}

TEST(GridEditing, RowsInsertedAndDeletedOnlyAmongTheData) {
    GridDocument doc = Lettered(3, 5, 3, 2);
    EXPECT_EQ(doc.DataRowCount(), 3);
    EXPECT_EQ(doc.InsertDataRows(4, 1), RowInsertResult::BeyondData);
    EXPECT_EQ(doc.InsertDataRows(2, 1), RowInsertResult::Inserted);
    EXPECT_EQ(Rows(doc, 5), "a0,a1,.|.,.,.|b0,b1,.|c0,c1,.|.,.,.");
    EXPECT_EQ(doc.DataRowCount(), 4);
    EXPECT_EQ(doc.InsertDataRows(1, 1), RowInsertResult::Inserted);
    EXPECT_EQ(doc.DataRowCount(), 5);
    // The data reach the last grid row: refused before anything moves.
    EXPECT_EQ(doc.InsertDataRows(1, 1), RowInsertResult::GridFull);
    EXPECT_EQ(Rows(doc, 5), ".,.,.|a0,a1,.|.,.,.|b0,b1,.|c0,c1,.");

    EXPECT_TRUE(doc.DeleteDataRow(3));
    EXPECT_TRUE(doc.DeleteDataRow(1));
    EXPECT_EQ(Rows(doc, 5), "a0,a1,.|b0,b1,.|c0,c1,.|.,.,.|.,.,.");
    EXPECT_EQ(doc.DataRowCount(), 3);
    EXPECT_FALSE(doc.DeleteDataRow(4));

    GridDocument empty(3, 5);
    EXPECT_FALSE(empty.DeleteDataRow(1));
    EXPECT_EQ(empty.DataRowCount(), 0);
}

TEST(GridEditing, ColumnsShiftInDataRowsOnly) {
    GridDocument doc = Lettered(4, 6, 2, 4);
    doc.SetCell(4, 1, "x");  // below the data: not a data row, never moved
    EXPECT_TRUE(doc.LastColumnHoldsData());
    doc.InsertColumn(1);
    EXPECT_EQ(Rows(doc, 4), "a0,.,a1,a2|b0,.,b1,b2|.,.,.,.|.,x,.,.");
    doc.DeleteColumn(0);
    EXPECT_EQ(Rows(doc, 2), ".,a1,a2,.|.,b1,b2,.");
    EXPECT_FALSE(doc.LastColumnHoldsData());
    doc.DeleteColumn(3);  // the last column: nothing moves
    doc.InsertColumn(3);
    EXPECT_EQ(Rows(doc, 2), ".,a1,a2,.|.,b1,b2,.");
    EXPECT_EQ(doc.ColumnsInUse(), 3);

    GridDocument blank(4, 6);
    blank.SetCell(3, 0, "z");
    blank.InsertColumn(0);  // no data rows
    EXPECT_EQ(blank.Cell(3, 0), "z");
}

TEST(GridEditing, CutRowsOneAndTwoPastedAtRowTen) {
    GridDocument doc = Lettered(3, 20, 3, 3);
    doc.CutBlock({2, 1, 2, 0});  // corners in any order
    ASSERT_TRUE(doc.KeptBlock() && doc.BlockCut());
    EXPECT_EQ(doc.PasteBlock(10, 0), PasteResult::Pasted);
    EXPECT_EQ(Rows(doc, 3), ".,.,.|.,.,.|c0,c1,c2");
    EXPECT_EQ(doc.Cell(10, 0), "a0");
    EXPECT_EQ(doc.Cell(11, 2), "b2");
    EXPECT_EQ(doc.DataRowCount(), 11);
    // A cut block goes with its paste.
    EXPECT_FALSE(doc.KeptBlock());
    EXPECT_EQ(doc.PasteBlock(15, 0), PasteResult::NoBlock);

    // A copied block pastes again and again and leaves its source.
    doc.CopyBlock({10, 11, 0, 0});
    EXPECT_EQ(doc.PasteBlock(1, 1), PasteResult::Pasted);
    EXPECT_EQ(doc.PasteBlock(14, 2), PasteResult::Pasted);
    EXPECT_EQ(Rows(doc, 2), ".,a0,.|.,b0,.");
    EXPECT_EQ(doc.Cell(15, 2), "b0");
    EXPECT_EQ(doc.Cell(10, 0), "a0");
    EXPECT_EQ(doc.DataRowCount(), 15);
    EXPECT_FALSE(doc.BlockCut());

    // Delete empties the cells and keeps the copied block.
    doc.EmptyBlock({10, 11, 0, 2});
    EXPECT_EQ(doc.Cell(10, 0), "");
    ASSERT_TRUE(doc.KeptBlock());
    EXPECT_EQ(doc.PasteBlock(5, 0), PasteResult::Pasted);
    EXPECT_EQ(doc.Cell(5, 0), "");
}

TEST(GridEditing, PasteRefusesOverlapsAndTargetsPastTheEdge) {
    // A two-column block, columns 2-3, rows 2-4, of a grid of 6 columns and 10 rows.
    GridDocument doc = Lettered(6, 10, 4, 6);
    const std::string before = Rows(doc, 10);
    doc.CopyBlock({2, 4, 2, 3});
    const struct {
        int row, column;
        PasteResult result;
    } targets[] = {
        {2, 3, PasteResult::Overlap},       // one column right
        {4, 1, PasteResult::Overlap},       // one left, last row shared
        {1, 2, PasteResult::Overlap},       // one up
        {5, 5, PasteResult::PastGridEdge},  // below it, but columns 5-6 of 0-5
        {9, 0, PasteResult::PastGridEdge},  // rows 9-11 of 10
        {0, 0, PasteResult::PastGridEdge},
    };
    for (const auto& t : targets) EXPECT_EQ(doc.PasteBlock(t.row, t.column), t.result) << t.row << "," << t.column;
    EXPECT_EQ(Rows(doc, 10), before);

    // Two columns right of it fits beside it while rows overlap; left of it too.
    EXPECT_EQ(doc.PasteBlock(3, 4), PasteResult::Pasted);
    EXPECT_EQ(doc.PasteBlock(3, 0), PasteResult::Pasted);
    EXPECT_EQ(Rows(doc, 5), "a0,a1,a2,a3,a4,a5|b0,b1,b2,b3,b4,b5|b2,b3,c2,c3,b2,b3|c2,c3,d2,d3,c2,c3|d2,d3,.,.,d2,d3");
    // In a grid of five columns two columns right runs past the last one.
    GridDocument narrow = Lettered(5, 10, 4, 5);
    narrow.CopyBlock({2, 4, 2, 3});
    EXPECT_EQ(narrow.PasteBlock(3, 4), PasteResult::PastGridEdge);
    EXPECT_EQ(narrow.PasteBlock(3, 1), PasteResult::Overlap);
}

TEST(GridEditing, FindComparesWholeCellsCaseBlind) {
    GridDocument doc(3, 10);
    doc.EnterText(1, 1, "A123");
    doc.EnterText(2, 2, "A12");
    doc.EnterText(3, 0, "a12");
    doc.SetCell(5, 0, "A12");  // below the data rows
    doc.SetDataRowCount(4);

    auto found = doc.FindCell("a12", {1, 0});
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (GridCell{2, 2}));
    found = doc.FindCell("a12", doc.CellAfter(*found));
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (GridCell{3, 0}));
    EXPECT_FALSE(doc.FindCell("a12", doc.CellAfter(*found)));
    EXPECT_FALSE(doc.FindCell("A1", {1, 0}));
    EXPECT_FALSE(doc.FindCell("", {1, 0}));
    // After the last cell of a row comes column 0 of the next.
    EXPECT_EQ(doc.CellAfter({2, 2}), (GridCell{3, 0}));

    // Only the first 255 characters count.
    doc.EnterText(4, 1, std::string(255, 'q') + "tail");
    found = doc.FindCell(std::string(255, 'Q') + "other", {1, 0});
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, (GridCell{4, 1}));
}

TEST(GridEditing, CommittedCellsGrowTheDataAndResizeKeepsWhatFits) {
    GridDocument doc(4, 10);
    EXPECT_TRUE(doc.EnterText(6, 1, "P6"));
    EXPECT_EQ(doc.DataRowCount(), 6);
    EXPECT_FALSE(doc.EnterText(6, 1, "P6"));
    EXPECT_FALSE(doc.EnterText(8, 0, ""));  // a blank past the data: nothing to grow
    EXPECT_EQ(doc.DataRowCount(), 6);
    EXPECT_TRUE(doc.EnterText(2, 3, "d"));
    EXPECT_EQ(doc.DataRowCount(), 6);
    EXPECT_EQ(doc.ColumnsInUse(), 4);

    doc.CopyBlock({6, 6, 1, 3});
    doc.Resize(2, 6);
    EXPECT_EQ(doc.Cell(2, 3), "");
    EXPECT_EQ(doc.Cell(6, 1), "P6");
    EXPECT_EQ(doc.ColumnsInUse(), 2);
    EXPECT_FALSE(doc.KeptBlock());  // it no longer fits
    doc.Resize(2, 4);
    EXPECT_EQ(doc.DataRowCount(), 4);
    EXPECT_EQ(doc.Cell(6, 1), "");
}

TEST(GridEntry, PrefixGoesOnlyBeforePointNumbersTypedIntoEmptyCells) {
    GridEntryState state;
    state.SetMode(EntryMode::Angles);  // four columns, three of them point numbers
    state.PrefixPointNumbers = true;
    state.Prefix = "T";
    EXPECT_EQ(CommittedText(state, 0, "5", ""), "T5");
    EXPECT_EQ(CommittedText(state, 2, "5", ""), "T5");
    EXPECT_EQ(CommittedText(state, 3, "5", ""), "5");
    EXPECT_EQ(CommittedText(state, 0, "5", "4"), "5");  // the cell held text
    EXPECT_EQ(CommittedText(state, 0, "", ""), "");
    state.SetMode(EntryMode::Sides);
    EXPECT_EQ(CommittedText(state, 1, "5", ""), "T5");
    EXPECT_EQ(CommittedText(state, 2, "5", ""), "5");
    for (EntryMode noNumbers : {EntryMode::Staff, EntryMode::Free}) {
        state.SetMode(noNumbers);
        EXPECT_EQ(CommittedText(state, 0, "5", ""), "5");
    }
    state.SetMode(EntryMode::Coordinates);
    state.PrefixPointNumbers = false;
    EXPECT_EQ(CommittedText(state, 0, "5", ""), "5");
}

TEST(GridEntry, EnterAndPageMoves) {
    // Angle entry: four columns, then the next row.
    EXPECT_EQ(EnterMove({7, 2}, 4, 15, 60000), (GridCell{7, 3}));
    EXPECT_EQ(EnterMove({7, 3}, 4, 15, 60000), (GridCell{8, 0}));
    EXPECT_EQ(EnterMove({60000, 3}, 4, 15, 60000), (GridCell{60000, 3}));
    // Free entry (eight columns) on a grid of five wraps at its last column.
    EXPECT_EQ(EnterMove({1, 4}, 8, 5, 100), (GridCell{2, 0}));
    EXPECT_EQ(EnterMove({1, 6}, 15, 15, 100), (GridCell{1, 7}));

    EXPECT_EQ(PageUpRow(20, 20), 1);
    EXPECT_EQ(PageUpRow(100, 20), 81);
    EXPECT_EQ(PageDownRow(10, 20, 60000), 29);
    EXPECT_EQ(PageDownRow(59981, 20, 60000), 60000);
    EXPECT_EQ(PageDownRow(59980, 20, 60000), 59999);
}

}  // namespace
}  // namespace qef
