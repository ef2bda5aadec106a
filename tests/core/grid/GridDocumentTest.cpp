#include <gtest/gtest.h>

#include <string>

#include "core/grid/GridDocument.h"

namespace qef {
namespace {

// Column 0 of rows 1 .. Rows(), joined with "|" (blank cells as "."), to see a whole grid at once.
std::string FirstColumn(const GridDocument& doc) {
    std::string out;
    for (int row = 1; row <= doc.Rows(); ++row) {
        const std::string& cell = doc.Cell(row, 0);
        out += (cell.empty() ? "." : cell) + (row < doc.Rows() ? "|" : "");
    }
    return out;
}

TEST(GridDocument, RowsMoveWholeAndTheDataRowCountFollows) {
    GridDocument doc(3, 6);
    for (const char* name : {"A", "B", "C", "D"}) doc.SetCell(name[0] - 'A' + 1, 0, name);
    doc.SetCell(2, 2, "b2");
    doc.SetDataRowCount(4);

    doc.InsertRows(2, 2);
    EXPECT_EQ(FirstColumn(doc), "A|.|.|B|C|D");
    EXPECT_EQ(doc.Cell(4, 2), "b2");
    EXPECT_EQ(doc.DataRowCount(), 6);
    // Only two rows are left below row 5: C and D go off the end, the count stays at the grid's size.
    doc.InsertRows(5, 3);
    EXPECT_EQ(FirstColumn(doc), "A|.|.|B|.|.");
    EXPECT_EQ(doc.DataRowCount(), 6);

    doc.DeleteRows(1, 3);
    EXPECT_EQ(FirstColumn(doc), "B|.|.|.|.|.");
    EXPECT_EQ(doc.Cell(1, 2), "b2");
    EXPECT_EQ(doc.DataRowCount(), 3);
    doc.DeleteRows(5, 10);  // below the data
    EXPECT_EQ(doc.DataRowCount(), 3);
    doc.DeleteRows(2, 5);  // rows 2 and 3 of the data, then blank rows
    EXPECT_EQ(doc.DataRowCount(), 1);
    doc.InsertRows(2, 1);  // just after the data
    EXPECT_EQ(doc.DataRowCount(), 1);

    // A stored last row moves up, comes back, and falls off the end.
    doc.SetCell(6, 0, "Z");
    doc.DeleteRows(2, 1);
    EXPECT_EQ(FirstColumn(doc), "B|.|.|.|Z|.");
    doc.InsertRows(1, 1);
    EXPECT_EQ(FirstColumn(doc), ".|B|.|.|.|Z");
    doc.InsertRows(3, 1);
    EXPECT_EQ(FirstColumn(doc), ".|B|.|.|.|.");
    EXPECT_EQ(doc.DataRowCount(), 2);

    // Rows outside the grid and empty counts change nothing.
    for (int row : {0, 7})
        for (int count : {1, 0, -2}) {
            doc.InsertRows(row, count);
            doc.DeleteRows(row, count);
        }
    doc.InsertRows(2, 0);
    doc.DeleteRows(2, -1);
    EXPECT_EQ(FirstColumn(doc), ".|B|.|.|.|.");
    EXPECT_EQ(doc.DataRowCount(), 2);
}

TEST(GridDocument, CellsOutsideTheGridAndClear) {
    GridDocument doc;  // 60000 rows of 15 columns
    EXPECT_TRUE(doc.SetCell(60000, 14, "last"));
    EXPECT_FALSE(doc.SetCell(60001, 0, "x"));
    EXPECT_FALSE(doc.SetCell(1, 15, "x"));
    EXPECT_FALSE(doc.SetCell(0, 0, "x"));
    EXPECT_TRUE(doc.SetCell(30000, 3, ""));  // a blank far below the stored rows
    for (auto [row, column] : {std::pair{60001, 0}, {1, 15}, {0, 0}, {1, -1}, {30000, 3}, {59999, 14}})
        EXPECT_EQ(doc.Cell(row, column), "") << row << "," << column;
    EXPECT_EQ(doc.Cell(60000, 14), "last");

    doc.SetDataRowCount(60000);
    doc.KeepBlock({2, 5, 1, 3});
    doc.Clear();
    EXPECT_EQ(doc.Cell(60000, 14), "");
    EXPECT_EQ(doc.DataRowCount(), 0);
    ASSERT_TRUE(doc.KeptBlock().has_value());
    EXPECT_EQ(doc.KeptBlock()->LastRow, 5);
    doc.ClearKeptBlock();
    EXPECT_FALSE(doc.KeptBlock().has_value());
}

TEST(GridDocument, DataLinesTrimCellsAndDropTrailingBlanks) {
    GridDocument doc(6, 10);
    doc.SetCell(2, 0, " A1 ");
    doc.SetCell(2, 2, "12.5");
    doc.SetCell(2, 4, "   ");
    using M = SeparatorMode;
    const struct {
        SeparatorMode mode;
        const char* line;
    } separators[] = {{M::Blank, "A1  12.5"}, {M::Tab, "A1\t\t12.5"}, {M::Comma, "A1,,12.5"},
                      {M::Semicolon, "A1;;12.5"}, {M::Bar, "A1||12.5"},
                      // fixed: "A1" and "" padded to 6, each with a blank after
                      {M::FixedWidth, "A1            12.5"}};
    for (const auto& s : separators)
        EXPECT_EQ(doc.DataLine(2, 0, 5, s.mode, 6), s.line) << static_cast<int>(s.mode);

    // A field wider than the fixed width keeps its length and one blank.
    doc.SetCell(3, 0, "LONGNAME1");
    doc.SetCell(3, 1, "7");
    EXPECT_EQ(doc.DataLine(3, 0, 5, M::FixedWidth, 6), "LONGNAME1 7");

    // Column ranges, blank rows, rows outside the grid.
    EXPECT_EQ(doc.DataLine(2, 2, 5, M::Comma, 6), "12.5");
    EXPECT_EQ(doc.DataLine(2, 1, 1, M::Comma, 6), "");
    EXPECT_EQ(doc.DataLine(2, 1, 2, M::Comma, 6), ",12.5");
    EXPECT_EQ(doc.DataLine(1, 0, 5, M::Comma, 6), "");
    EXPECT_EQ(doc.DataLine(11, 0, 5, M::Comma, 6), "");

    // A cell longer than a line the computations read is kept whole, and never loses the
    // separator to its neighbour: 255 characters and a comma would pass the line limit.
    doc.SetCell(4, 1, std::string(300, 'x'));
    EXPECT_EQ(doc.DataLine(4, 0, 5, M::Comma, 6), "," + std::string(300, 'x'));
    doc.SetCell(4, 2, "n");
    EXPECT_EQ(doc.DataLine(4, 0, 5, M::Comma, 6), "," + std::string(300, 'x') + ",n");
    EXPECT_EQ(doc.DataLine(4, 1, 5, M::FixedWidth, 6), std::string(300, 'x') + " n");
    doc.SetCell(4, 1, std::string(255, 'y'));
    EXPECT_EQ(doc.DataLine(4, 1, 5, M::Tab, 6), std::string(255, 'y') + "\tn");
    doc.SetCell(4, 1, std::string(254, 'z'));
    EXPECT_EQ(doc.DataLine(4, 1, 5, M::Bar, 6), std::string(254, 'z') + "|n");
}

}  // namespace
}  // namespace qef
