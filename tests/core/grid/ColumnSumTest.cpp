#include <gtest/gtest.h>

#include <utility>

#include "core/grid/ColumnSum.h"

namespace qef {
namespace {

struct ColumnGrid : testing::Test {
    GridDocument grid;
    ColumnSumResult Sum(const char* columns, const char* target, ColumnSumKind kind, bool empty = true) {
        return SumColumns(grid, {columns, target, kind, empty}, 10);
    }
    void Apply(const ColumnSumResult& r) {
        for (const CellEdit& e : r.Edits) grid.SetCell(e.Row, e.Column, e.Text);
    }
};

TEST_F(ColumnGrid, NumbersSumTextsJoinAndSourcesEmpty) {
    grid.SetCell(1, 1, "1.5");
    grid.SetCell(1, 2, "abc");
    grid.SetCell(2, 1, "0.1");
    grid.SetCell(2, 2, "0.2");
    grid.SetDataRowCount(2);
    Apply(Sum("2 3", "4", ColumnSumKind::Number));
    EXPECT_EQ(grid.Cell(1, 3), "1.5");
    EXPECT_EQ(grid.Cell(2, 3), "0.3");
    EXPECT_EQ(grid.Cell(1, 1) + grid.Cell(1, 2) + grid.Cell(2, 1) + grid.Cell(2, 2), "");

    // Text in list order; the target among the sources keeps its new text.
    grid.SetCell(1, 0, "P");
    grid.SetCell(1, 1, "12");
    Apply(Sum("2,1", "1", ColumnSumKind::Text));
    EXPECT_EQ(grid.Cell(1, 0), "12P");
    EXPECT_EQ(grid.Cell(1, 1), "");
    grid.SetCell(1, 1, "x");
    Apply(Sum("1;2", "3", ColumnSumKind::Text, false));
    EXPECT_EQ(grid.Cell(1, 2), "12Px");
    EXPECT_EQ(grid.Cell(1, 1), "x");
}

TEST_F(ColumnGrid, ColumnsOutsideTheGridAreRefusedBeforeAnyChange) {
    grid.SetCell(1, 0, "1");
    grid.SetDataRowCount(1);
    for (auto [columns, target] : {std::pair{"0", "1"}, {"16", "1"}, {"1 2.5", "3"}, {"1", "16"}, {"1", ""}, {"a", "1"}}) {
        const ColumnSumResult r = Sum(columns, target, ColumnSumKind::Number);
        EXPECT_EQ(r.Outcome, ColumnSumOutcome::OutsideGrid) << columns << " -> " << target;
        EXPECT_TRUE(r.Edits.empty());
    }
    EXPECT_EQ(Sum("15", "1", ColumnSumKind::Number).Outcome, ColumnSumOutcome::Done);
    EXPECT_EQ(Sum("  ", "1", ColumnSumKind::Number).Outcome, ColumnSumOutcome::NothingListed);
}

}  // namespace
}  // namespace qef
