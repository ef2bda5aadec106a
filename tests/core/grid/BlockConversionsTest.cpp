#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "core/grid/BlockConversions.h"
#include "core/grid/GridFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

namespace fs = std::filesystem;

GridDataKind KindOf(std::map<std::string, std::string>& values) {
    static const std::map<std::string, DataFileKind> kinds = {{"none", DataFileKind::None},
                                                              {"coordinates", DataFileKind::Coordinates},
                                                              {"control", DataFileKind::Control},
                                                              {"detail", DataFileKind::Detail}};
    static const std::map<std::string, DetailFifthColumn> fifths = {
        {"", DetailFifthColumn::Absent},
        {"zenith", DetailFifthColumn::ZenithAngle},
        {"height_difference", DetailFifthColumn::HeightDifference}};
    return {kinds.at(values["kind"]), fifths.at(values["fifth"])};
}

// "first_row last_row first_column last_column", columns numbered from 1 as the grid shows them.
GridBlock BlockOf(const std::string& text) {
    std::istringstream in(text);
    GridBlock block;
    in >> block.FirstRow >> block.LastRow >> block.FirstColumn >> block.LastColumn;
    --block.FirstColumn;
    --block.LastColumn;
    return block;
}

ConversionResult RunCommand(GridDocument& doc, std::map<std::string, std::string>& values) {
    using Rows = std::function<ConversionResult(GridDocument&, GridDataKind)>;
    using Block = std::function<ConversionResult(GridDocument&, const GridBlock&, const std::string&)>;
    static const std::map<std::string, Rows> rows = {
        {"m_to_mm", [](GridDocument& d, GridDataKind k) { return ScaleLengths(d, k, 1000); }},
        {"mm_to_m", [](GridDocument& d, GridDataKind k) { return ScaleLengths(d, k, 0.001); }},
        {"to_packed", [](GridDocument& d, GridDataKind k) { return ScaleAngles(d, k, 10000); }},
        {"from_packed", [](GridDocument& d, GridDataKind k) { return ScaleAngles(d, k, 0.0001); }},
        {"to_spaced", [](GridDocument& d, GridDataKind k) { return AnglesToSpacedText(d, k.Kind); }},
        {"from_spaced", [](GridDocument& d, GridDataKind k) { return AnglesFromSpacedText(d, k.Kind); }},
        {"to_grads", DegreesToGrads},
        {"to_degrees", GradsToDegrees}};
    static const std::map<std::string, Block> blocks = {
        {"fill", FillBlock},     {"increasing", FillIncreasing}, {"add", AddToBlock},
        {"prefix", PrefixBlock}, {"suffix", SuffixBlock},        {"renumber", RenumberDetailPoints}};
    const std::string& command = values["command"];
    if (rows.count(command)) return rows.at(command)(doc, KindOf(values));
    return blocks.at(command)(doc, BlockOf(values["block"]), values["value"]);
}

// Each folder under grid_conversions: input.DTA is loaded into the grid, the command of case.txt
// runs on it, and the grid written back must be expected/output.DTA; `skipped` cells (default 0)
// must have been left alone as bad angles and `side_kept` rows for the side in their fifth
// column, each counted apart; `data_rows` is the data row count afterwards; `status` a refusal.
TEST(BlockConversions, CaseFoldersFromFileToFile) {
    const fs::path root = fs::path(QEF_TEST_DATA) / "grid_conversions";
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(root)) {
        const fs::path dir = entry.path();
        SCOPED_TRACE(dir.filename().string());
        auto values = test::CaseValues((dir / "case.txt").string());
        GridDocument doc(8, 40);
        GridFileFormat format{SeparatorMode::Comma, 10, doc.Columns()};
        const GridFileRead input = ReadGridFile((dir / "input.DTA").string(), format);
        ASSERT_TRUE(input.Opened);
        LoadGridRows(doc, input.Rows);

        const ConversionResult result = RunCommand(doc, values);
        EXPECT_EQ(GridFileText(doc, SeparatorMode::Comma, 10),
                  test::ReadFileBytes((dir / "expected/output.DTA").string()));
        EXPECT_EQ(result.Skipped, values.count("skipped") ? std::stoi(values["skipped"]) : 0);
        EXPECT_EQ(result.SideKept, values.count("side_kept") ? std::stoi(values["side_kept"]) : 0);
        static const std::map<std::string, BlockStatus> statuses = {
            {"", BlockStatus::Done},
            {"not_a_number", BlockStatus::NotANumber},
            {"past_cell_numbers", BlockStatus::PastCellNumbers}};
        EXPECT_EQ(result.Status, statuses.at(values["status"]));
        if (values.count("data_rows")) {
            EXPECT_EQ(doc.DataRowCount(), std::stoi(values["data_rows"]));
        }
        ++cases;
    }
    EXPECT_GE(cases, 20);
}

TEST(BlockConversions, NoKindChangesNothingAndRenumberingNeedsThePointColumn) {
    GridDocument doc(5, 10);
    doc.SetCell(1, 0, "P");
    doc.SetCell(1, 1, "12.5");
    doc.SetDataRowCount(1);
    EXPECT_EQ(ScaleLengths(doc, {DataFileKind::None}, 1000).Changed, 0);
    EXPECT_EQ(doc.Cell(1, 1), "12.5");
    EXPECT_EQ(RenumberDetailPoints(doc, {1, 1, 1, 1}, "5").Status, BlockStatus::NotInFirstColumn);
    EXPECT_EQ(doc.Cell(1, 1), "12.5");
}

}  // namespace
}  // namespace qef
