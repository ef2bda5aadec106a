#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/CoordinateTools.h"

namespace qef {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> names, SortOrder order) {
    PointRecords p;
    for (const std::string& n : names) {
        p.Names.PushBack(n);
        p.X.PushBack(0.0);
        p.Y.PushBack(0.0);
    }
    SortPointsByName(p, order);
    std::vector<std::string> out;
    for (int i = 1; i <= p.Count(); ++i) out.push_back(p.Names[i]);
    return out;
}

TEST(PointNameOrder, NumbersByValueThenTextsCaseBlind) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Sorted({"10", "9", "A", "2"}, SortOrder::Ascending), (V{"2", "9", "10", "A"}));
    EXPECT_EQ(Sorted({"10", "9", "A", "2"}, SortOrder::Descending), (V{"A", "10", "9", "2"}));
    // Equal names case-blind keep the file's order.
    EXPECT_EQ(Sorted({"B", "a", "A", "P10", "P9"}, SortOrder::Ascending), (V{"a", "A", "B", "P10", "P9"}));
    EXPECT_EQ(ComparePointNames("10", "10.0"), 0);
    EXPECT_EQ(ComparePointNames("1e3", "999"), 1);
}

}  // namespace
}  // namespace qef
