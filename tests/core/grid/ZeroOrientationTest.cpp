#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/grid/ZeroOrientation.h"

namespace qef {
namespace {

TEST(ZeroOrientation, EveryStationRowSetsTheOrientation) {
    GridDocument grid;
    const std::vector<std::vector<std::string>> rows = {
        {"(10.0000)", "GPS03", "GPS04"}, {"1", "5.0000"}, {"2", "15.3030"}, {"", "GPS02", "GPS01"},
        {"3", "5.0000"},                 {"(0.3000)", "A", "B"}, {"4", "0.15155"}, {"(x)", "C", "D"}, {"5", "1.0000"},
        {"(10.00001)", "E", "F"},        {"6", "10.0000"}};
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) grid.SetCell(r + 1, c, rows[r][c]);
    grid.SetDataRowCount(static_cast<int>(rows.size()));

    const ZeroOrientationResult result = ReduceToZeroOrientation(grid, true, true);
    std::vector<std::string> edits;
    for (const CellEdit& e : result.Edits)
        edits.push_back(std::to_string(e.Row) + "," + std::to_string(e.Column) + "=" + e.Text);
    // 5 - 10 + 360 = 355; 15 30' 30" - 10 = 5 30' 30"; after the plain station row nothing
    // changes; 0 15' 15.5" - 0 30' = 359 45' 15.5". A bad orientation resets and is reported.
    // 10 00' 00" - 10 00' 00.1" is 359 59' 59.9", a full turn to whole seconds: 0.
    EXPECT_EQ(edits, (std::vector<std::string>{"1,0=", "2,1=355.0000", "3,1=5.3030", "6,0=", "7,1=359.45155",
                                                   "10,0=", "11,1=0.0000"}));
    EXPECT_EQ(result.BadRows, std::vector<int>{8});
}

}  // namespace
}  // namespace qef
