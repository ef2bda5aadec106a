#include "core/numeric/Geometry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>


namespace qef {
namespace {

constexpr double kTight = 1e-9;

TEST(GeometryTest, DirectionsInEveryQuadrant) {
    for (auto [dx, dy, want] : {std::tuple{10, 10, 45}, {-10, 10, 135}, {-10, -10, 225}, {10, -10, 315},
                                {10, 0, 0}, {-10, 0, 180}, {0, 5, 90}, {0, -5, 270}, {0, 0, 270}})
        EXPECT_NEAR(AzimuthOf(3, 4, 3 + dx, 4 + dy), want, kTight) << dx << " " << dy;
    // 30 degrees from (100, 200): dx = cos 30, dy = sin 30.
    EXPECT_NEAR(AzimuthOf(100, 200, 100 + 0.8660254037844386, 200.5), 30.0, kTight);
    // A hair west of north stays below 360.
    EXPECT_LT(AzimuthOf(0, 0, 1e6, -1e-11), 360.0);

    // One subtraction of a full turn only.
    EXPECT_EQ(std::vector<double>({NormalizeAzimuth(725.0), NormalizeAzimuth(360.0), NormalizeAzimuth(-10.0),
                                   ReverseAzimuth(180.0), ReverseAzimuth(10.0)}),
              (std::vector<double>{365, 0, 350, 0, 190}));

    // 10 against the reverse of 190.001 (10.001): -3.6" rounds to -4".
    EXPECT_EQ(AngleDiffSeconds(10.0, 190.001), -4.0);
    // 350 against the reverse of 169.99 (349.99): 36".
    EXPECT_EQ(AngleDiffSeconds(350.0, 169.99), 36.0);
    // Mean of 10 and 10.001 is 10 deg 0' 1.8", to whole seconds 10 deg 0' 2".
    EXPECT_NEAR(MeanDirection(0, 10.0, 190.001), 10.0 + 2.0 / 3600.0, 1e-12);
}

TEST(GeometryTest, AngleDifferencesStayWithinHalfATurn) {
    EXPECT_NEAR(AngleDifference(180.0), 180.0, kTight);
    EXPECT_NEAR(AngleDifference(-180.0), 180.0, kTight);
    EXPECT_NEAR(AngleDifference(-359.99), 0.01, kTight);
    EXPECT_NEAR(AngleDifference(719.5), -0.5, kTight);
    // Differences of two directions either side of north.
    EXPECT_NEAR(AngleDifference(0.0 - 359.9), 0.1, kTight);
    EXPECT_NEAR(AngleDifference(359.9 - 0.0), -0.1, kTight);
    EXPECT_DOUBLE_EQ(AngleDifference(190.0 - 10.0), 180.0);
    EXPECT_DOUBLE_EQ(AngleDifference(10.0 - 190.0), 180.0);
}

}  // namespace
}  // namespace qef
