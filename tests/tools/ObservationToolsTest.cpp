#include <gtest/gtest.h>

#include "core/numeric/Geometry.h"

namespace qef {
namespace {

TEST(AngleDifference, WrapsIntoHalfOpenHalfTurn) {
    EXPECT_NEAR(AngleDifference(0.0 - 359.9), 0.1, 1e-9);
    EXPECT_NEAR(AngleDifference(359.9 - 0.0), -0.1, 1e-9);
    EXPECT_DOUBLE_EQ(AngleDifference(190.0 - 10.0), 180.0);
    EXPECT_DOUBLE_EQ(AngleDifference(10.0 - 190.0), 180.0);
}

}  // namespace
}  // namespace qef
