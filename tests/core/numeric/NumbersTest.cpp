#include "core/numeric/Numbers.h"

#include <gtest/gtest.h>

namespace qef {
namespace {

// A right angle is 100 grads; a millimetre figure is a thousandth of a metre, and a field in
// metres is taken as it stands.
TEST(Numbers, GradsAndMillimetresConvertEachWay) {
    EXPECT_DOUBLE_EQ(DegreesToGrads(90.0), 100.0);
    EXPECT_DOUBLE_EQ(GradsToDegrees(100.0), 90.0);
    EXPECT_DOUBLE_EQ(GradsToDegrees(400.0), 360.0);
    EXPECT_NEAR(GradsToDegrees(DegreesToGrads(123.456)), 123.456, 1e-12);
    EXPECT_DOUBLE_EQ(MillimetresToMetres(1234.5), 1.2345);

    double metres = 0.0;
    ASSERT_TRUE(TryParseMetres("1500", false, metres));
    EXPECT_DOUBLE_EQ(metres, 1.5);
    ASSERT_TRUE(TryParseMetres("1500", true, metres));
    EXPECT_DOUBLE_EQ(metres, 1500.0);
    // The limit holds after the conversion: 2e12 mm is 2e9 m, beyond it.
    EXPECT_FALSE(TryParseMetres("2e12", false, metres));
    EXPECT_TRUE(TryParseMetres("2e11", false, metres));
}

}  // namespace
}  // namespace qef
