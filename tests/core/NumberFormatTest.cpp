#include <gtest/gtest.h>

#include "core/NumberFormat.h"

namespace qef {
namespace {

TEST(NumberFormat, FixedIsRightAlignedAndGrows) {
    EXPECT_EQ(FormatFixed(3.14159, 8, 3), "   3.142");
    EXPECT_EQ(FormatFixed(-12.5, 8, 2), "  -12.50");
    EXPECT_EQ(FormatFixed(123456.789, 5, 2), "123456.79");
    EXPECT_EQ(FormatFixed(12.7, 4, -1), "  13");
    EXPECT_EQ(FormatInt(-42, 5), "  -42");
    EXPECT_EQ(FormatInt(123456, 3), "123456");
}

TEST(NumberFormat, FixedRoundsTheTrueValueAtTheDecimals) {
    // 2.675 and 1.005 are stored just below the half.
    EXPECT_EQ(FormatFixed(2.675, 0, 2), "2.67");
    EXPECT_EQ(FormatFixed(1.005, 0, 2), "1.00");
    EXPECT_EQ(FormatFixed(9.9996, 0, 3), "10.000");
    // Exact halves go to the even neighbour.
    EXPECT_EQ(FormatFixed(0.125, 0, 2), "0.12");
    EXPECT_EQ(FormatFixed(0.375, 0, 2), "0.38");
    // A value that rounds to zero carries no sign.
    EXPECT_EQ(FormatFixed(-0.0004, 7, 3), "  0.000");
    EXPECT_EQ(FormatFixed(-0.4, 0, 0), "0");
    EXPECT_EQ(FormatFixed(-0.0, 0, 1), "0.0");
    EXPECT_EQ(FormatFixed(-0.0006, 0, 3), "-0.001");
}

TEST(NumberFormat, ShortestAndGeneral) {
    EXPECT_EQ(FormatShortest(0.1), "0.1");
    EXPECT_EQ(FormatShortest(100.0), "100");
    EXPECT_EQ(FormatShortest(-2.5), "-2.5");
    EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(FormatShortest(1.5e-7), "0.00000015");
    EXPECT_EQ(FormatShortest(1e21), "1000000000000000000000");
    EXPECT_EQ(FormatShortest(-0.0), "0");
    EXPECT_EQ(FormatGeneral(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatGeneral(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(1234.5678), "1234.5678");
    EXPECT_EQ(FormatGeneral(100.0), "100");
}

}  // namespace
}  // namespace qef
