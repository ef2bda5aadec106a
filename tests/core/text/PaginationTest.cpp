#include <gtest/gtest.h>

#include "core/text/Pagination.h"

namespace qef {
namespace {

using Pages = std::vector<PageLines>;

TEST(Pagination, FullPagesAndFormFeeds) {
    // Lines, a form feed, lines: two pages, the form feed on neither.
    EXPECT_EQ(Paginate({"a", "b", "\f", "c"}, 60), (Pages{{0, 2}, {3, 1}}));
    // Seven lines on pages of three; a form feed right after a full page adds no blank page.
    EXPECT_EQ(Paginate({"1", "2", "3", "4", "5", "6", "7"}, 3), (Pages{{0, 3}, {3, 3}, {6, 1}}));
    EXPECT_EQ(Paginate({"1", "2", "3", "\f", "4"}, 3), (Pages{{0, 3}, {4, 1}}));
    // Form feeds at the start, twice in a row and at the end make no blank pages.
    EXPECT_EQ(Paginate({"\f", "a", "\f", "\f", "b", "\f"}, 10), (Pages{{1, 1}, {4, 1}}));
    // Only a line holding the form feed alone breaks; an empty line is a line.
    EXPECT_EQ(Paginate({"x\f", "", "y"}, 2), (Pages{{0, 2}, {2, 1}}));
    EXPECT_EQ(Paginate({}, 5), (Pages{{0, 0}}));
    EXPECT_EQ(Paginate({"a", "b"}, 0), (Pages{{0, 1}, {1, 1}}));
}

}  // namespace
}  // namespace qef
