#include <gtest/gtest.h>

#include "tools/ObservationTools.h"

namespace qef {
namespace {

TEST(AngleDifference, WrapsIntoHalfOpenHalfTurn) {
    EXPECT_NEAR(WrappedAngleDifference(0.0, 359.9), 0.1, 1e-9);
    EXPECT_NEAR(WrappedAngleDifference(359.9, 0.0), -0.1, 1e-9);
    EXPECT_DOUBLE_EQ(WrappedAngleDifference(190.0, 10.0), 180.0);
    EXPECT_DOUBLE_EQ(WrappedAngleDifference(10.0, 190.0), 180.0);
}

}  // namespace
}  // namespace qef
