#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "core/grid/GridFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

namespace fs = std::filesystem;

// The grid as the expected files write it: a line per data row, each cell in brackets up to the
// last one that holds text.
std::string GridPicture(const GridDocument& doc) {
    std::string out;
    for (int row = 1; row <= doc.DataRowCount(); ++row) {
        int last = -1;
        for (int c = 0; c < doc.Columns(); ++c)
            if (!doc.Cell(row, c).empty()) last = c;
        for (int c = 0; c <= last; ++c) out += "[" + doc.Cell(row, c) + "]";
        out += "\n";
    }
    return out;
}

std::optional<SeparatorMode> ModeNamed(const std::string& name) {
    static const std::map<std::string, SeparatorMode> modes = {
        {"blank", SeparatorMode::Blank}, {"tab", SeparatorMode::Tab},           {"comma", SeparatorMode::Comma},
        {"semicolon", SeparatorMode::Semicolon}, {"fixed", SeparatorMode::FixedWidth}, {"bar", SeparatorMode::Bar}};
    const auto it = modes.find(name);
    if (it == modes.end()) return std::nullopt;
    return it->second;
}

// Each case folder: input.DTA is read (into the grid, or at `insert_at` into the grid that
// before.DTA filled), the grid must be expected/grid.txt, and writing it back with `write` (the
// reading separator by default) must give expected/output.DTA byte for byte.
TEST(GridFile, CaseFoldersReadAndWriteBack) {
    const fs::path root = fs::path(QEF_TEST_DATA) / "grid";
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        const fs::path dir = entry.path();
        SCOPED_TRACE(dir.filename().string());
        auto values = test::CaseValues((dir / "case.txt").string());
        GridFileFormat format;
        format.Separator = ModeNamed(values["separator"]);
        if (values.count("fixed_width")) format.FixedFieldWidth = std::stoi(values["fixed_width"]);
        const std::string write = values.count("write") ? values["write"] : values["separator"];
        ASSERT_TRUE(ModeNamed(write));

        GridDocument doc;
        const GridFileRead input = ReadGridFile((dir / "input.DTA").string(), format);
        ASSERT_TRUE(input.Opened);
        if (values.count("insert_at")) {
            const GridFileRead before = ReadGridFile((dir / values["before"]).string(), format);
            LoadGridRows(doc, before.Rows);
            InsertGridRows(doc, std::stoi(values["insert_at"]), input.Rows);
        } else {
            LoadGridRows(doc, input.Rows);
        }
        EXPECT_EQ(GridPicture(doc), test::ReadFileBytes((dir / "expected/grid.txt").string()));
        const std::string written = GridFileText(doc, *ModeNamed(write), format.FixedFieldWidth);
        EXPECT_EQ(written, test::ReadFileBytes((dir / "expected/output.DTA").string()));

        // What was written reads back into the same grid.
        test::TempDir tmp;
        test::WriteFileBytes(tmp.File("again.DTA"), written);
        GridDocument again;
        GridFileFormat back = format;
        back.Separator = ModeNamed(write);
        LoadGridRows(again, ReadGridFile(tmp.File("again.DTA"), back).Rows);
        EXPECT_EQ(GridPicture(again), GridPicture(doc));
        ++cases;
    }
    EXPECT_GE(cases, 12);
}

TEST(GridFile, LinesFieldsAndRoom) {
    GridFileFormat tab{SeparatorMode::Tab, 10, 3};
    // Fields past the last column are dropped; trailing TABs make no fields; blank lines none.
    EXPECT_EQ(SplitGridLine("a\tb\tc\td\te", tab), (GridFileRow{"a", "b", "c"}));
    EXPECT_EQ(SplitGridLine("a\t\tb\t\t", tab), (GridFileRow{"a", "", "b"}));
    EXPECT_TRUE(SplitGridLine("   ", tab).empty());
    EXPECT_TRUE(SplitGridLine("", tab).empty());
    // A forced separator is used even where detection would say otherwise; "//" is data.
    EXPECT_EQ(SplitGridLine("x y,z //c", GridFileFormat{SeparatorMode::Comma, 10, 15}),
              (GridFileRow{"x y", "z //c"}));
    // Fixed width: a leading blank kept, blank fields, and fields longer than the width (the
    // writer puts one blank after them) kept whole.
    const GridFileFormat fixed5{SeparatorMode::FixedWidth, 5, 15};
    EXPECT_EQ(SplitGridLine(std::string(" 5    x") + std::string(17, ' ') + "LONGER-THAN-TEN", fixed5),
              (GridFileRow{" 5", "x", "", "", "LONGER-THAN-TEN"}));
    EXPECT_EQ(SplitGridLine("ABCDEFGH 5     7", fixed5), (GridFileRow{"ABCDEFGH", "5", "7"}));

    // Room: 10 data rows in a grid of 12 take 2 more rows anywhere among them; below the data
    // the rows from there to the end.
    GridDocument doc(3, 12);
    doc.SetDataRowCount(10);
    EXPECT_EQ(RoomForRows(doc, 5), 2);
    EXPECT_EQ(RoomForRows(doc, 11), 2);
    EXPECT_EQ(RoomForRows(doc, 12), 1);
    doc.SetDataRowCount(0);
    EXPECT_EQ(RoomForRows(doc, 1), 12);

    // Inserting below the data extends the data down to the last row read.
    InsertGridRows(doc, 4, {{"a"}, {}});
    EXPECT_EQ(doc.DataRowCount(), 5);
    EXPECT_EQ(doc.Cell(4, 0), "a");
    // A block: its columns only, trailing blank cells left out, a blank row an empty line.
    doc.SetCell(4, 2, "c");
    doc.SetCell(6, 1, "b");
    EXPECT_EQ(GridFileText(doc, GridBlock{4, 6, 1, 2}, SeparatorMode::Comma, 10), ",c\r\n\r\nb\r\n");
}

// The save names the cells it writes past the 255 characters of a line: the first row by row
// (its length trimmed), and how many; blanks around a cell do not count.
TEST(GridFile, CellsPastTheLineLimitAreFoundForTheMessage) {
    GridDocument doc(4, 20);
    EXPECT_EQ(CellsPastLineLimit(doc).Count, 0);
    doc.SetCell(2, 3, std::string(256, 'a'));
    doc.SetCell(5, 0, std::string(300, 'b'));
    doc.SetCell(1, 1, "  " + std::string(255, 'c') + "  ");  // 255 once trimmed: fits
    doc.SetCell(9, 2, std::string(400, 'd'));                 // past the data rows
    doc.SetDataRowCount(6);
    const LongCells found = CellsPastLineLimit(doc);
    EXPECT_EQ(found.Count, 2);
    EXPECT_EQ(found.First, (GridCell{2, 3}));
    EXPECT_EQ(found.Length, 256u);
    const LongCells inBlock = CellsPastLineLimit(doc, GridBlock{3, 9, 0, 2});
    EXPECT_EQ(inBlock.Count, 2);
    EXPECT_EQ(inBlock.First, (GridCell{5, 0}));
    EXPECT_EQ(inBlock.Length, 300u);
}

}  // namespace
}  // namespace qef
