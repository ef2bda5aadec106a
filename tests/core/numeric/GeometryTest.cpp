#include "core/numeric/Geometry.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <tuple>
#include <utility>
#include <vector>

#include "support/Lists.h"

namespace qef {
namespace {

using test::List;

constexpr double kTight = 1e-9;

// Branches given by their point counts; the ids are just the positions.
BranchModel MakeBranches(std::initializer_list<int> counts) {
    BranchModel model;
    for (int count : counts) {
        for (int k = 0; k < count; ++k) model.BranchPoints.PushBack(model.BranchPoints.Size() + 1);
        model.BranchPointCounts.PushBack(count);
    }
    model.BuildBranchOffsets(static_cast<int>(counts.size()));
    return model;
}

// values[i] near each (i, value) given.
void ExpectAt(const OneBased<double>& values, std::initializer_list<std::pair<int, double>> expected) {
    for (auto [i, want] : expected) EXPECT_NEAR(values[i], want, kTight) << "at " << i;
}

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

// One branch of four points P1..P4 with angles 90, 270, 90, 200 and start azimuth 0.
// Worked by hand: P1: 0+90-180 = 270; P2: 270+270-180 = 360 -> 0; P3: 0+90-180 -> 270;
// P4: 270+200-180 = 290.
TEST(GeometryTest, AzimuthsAreCarriedOverTheAnglesTheBranchKindMeasures) {
    const BranchModel model = MakeBranches({4});
    const OneBased<double> angles = List<double>({90, 270, 90, 200});
    const std::pair<BranchKind, double> expected[] = {
        {BranchKind::BothEnds, 290.0}, {BranchKind::StartOnly, 270.0}, {BranchKind::EndOnly, 20.0},
        {BranchKind::Neither, 0.0}};
    for (const auto& [kind, azimuth] : expected)
        EXPECT_NEAR(PropagateBranchAzimuths(model, 1, List({kind}), angles, 0.0), azimuth, kTight)
            << "kind " << static_cast<int>(kind);
    // End only, from 0: P2: 0+270-180 = 90; P3: 90+90-180 = 0; P4: 0+200-180 = 20.
    // Corrections of 36" an angle add 0.01 degree for every angle used.
    const OneBased<double> corrections = List<double>({36, 36, 36, 36});
    EXPECT_NEAR(PropagateBranchAzimuths(model, 1, List({BranchKind::BothEnds}), angles, corrections, 0.0), 290.04,
                kTight);
    EXPECT_NEAR(PropagateBranchAzimuths(model, 1, List({BranchKind::Neither}), angles, corrections, 0.0), 0.02,
                kTight);
}

TEST(GeometryTest, AngularMisclosureIsAlwaysWithinHalfATurn) {
    // Four branches of three points without connecting angles: the one interior angle is the only angle.
    const BranchModel model = MakeBranches({3, 3, 3, 3});
    const OneBased<double> angles = List<double>({0, 179.999, 0, 0, 180.0005, 0, 0, 181, 0, 0, 181, 0});
    const OneBased<BranchKind> kinds(4, BranchKind::Neither);
    const OneBased<std::uint8_t> skip = List<std::uint8_t>({0, 0, 0, 1});
    // Branch 1: 0 -> 359.999 against 0: 359.999 -> -0.001.
    // Branch 2: 0 -> 0.0005 against 359.9995: -359.999 -> +0.001.
    // Branch 3: 0 -> 1 against 0: one degree, left as it is.
    const OneBased<double> start = List<double>({0, 0, 0, 0});
    const OneBased<double> end = List<double>({0, 359.9995, 0, 0});
    OneBased<double> f;
    CheckAngularMisclosure(model, f, start, end, skip, kinds, 4, angles);
    ASSERT_EQ(f.Size(), 4u);
    ExpectAt(f, {{1, -0.0010}, {2, 0.0010}, {3, 1.0}});
    EXPECT_EQ(f[4], 0.0);
    // However far a closure lies outside any tolerance, it stays within half a turn: 0 carried over
    // an angle of 10 is 0 + 10 - 180 = 190; against 9.5 that is 180.5, which is -179.5.
    const OneBased<double> far = List<double>({0, 10, 0});
    CheckAngularMisclosure(MakeBranches({3}), f, List<double>({0.0}), List<double>({9.5}), List<std::uint8_t>({0}),
                           List({BranchKind::Neither}), 1, far);
    EXPECT_NEAR(f[1], -179.5, kTight);
    EXPECT_NEAR(AngleDifference(180.0), 180.0, kTight);
    EXPECT_NEAR(AngleDifference(-180.0), 180.0, kTight);
    EXPECT_NEAR(AngleDifference(-359.99), 0.01, kTight);
}

TEST(GeometryTest, SideAzimuthsShareTheMisclosureEqually) {
    // Branch 1: both ends angled, angles 90, 270, 90, 200, misclosure 0.004 over 4 angles: -0.001 each.
    // Branch 2: end only, start azimuth 10 is the first side's; one interior angle 180.
    // Branch 3: like branch 1 but skipped, so nothing is shared.
    const BranchModel model = MakeBranches({4, 3, 4});
    const OneBased<double> angles = List<double>({90, 270, 90, 200, 0, 180, 0, 90, 270, 90, 200});
    const OneBased<BranchKind> kinds = List({BranchKind::BothEnds, BranchKind::EndOnly, BranchKind::BothEnds});
    const OneBased<int> counts = List<int>({4, 2, 4});
    const OneBased<std::uint8_t> skip = List<std::uint8_t>({0, 0, 1});
    const OneBased<double> misclosures = List<double>({0.004, 0.002, 0.004});
    const OneBased<double> start = List<double>({0, 10, 0});
    OneBased<double> az;
    PropagateAllAzimuths(model, az, angles, {}, Carry::ShareClosure, 3, skip, kinds, counts, misclosures, start);
    ASSERT_GE(az.Size(), 10u);
    ExpectAt(az, {{1, 269.999}, {2, 359.998}, {3, 269.997}, {5, 10.0}, {6, 9.999}, {8, 270.0}, {9, 0.0}, {10, 270.0}});

    // Per-angle corrections replace the equal share: -7.2" and +3.6" on branch 1.
    const OneBased<double> corrections = List<double>({-7.2, 3.6, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    PropagateAllAzimuths(model, az, angles, corrections, Carry::WithCorrections, 1, skip, kinds, counts, misclosures,
                         start);
    ExpectAt(az, {{1, 269.998}, {2, 359.999}, {3, 269.999}});
}

// A traverse A-P2-P3-B with sides 100 east, 200 north, 100 east from A (1000, 2000); carried, B
// comes to (1200, 2200), known B is (1200.040, 2199.980).
TEST(GeometryTest, CoordinateMisclosureIsSharedInProportionToLength) {
    const BranchModel model = MakeBranches({4, 2});
    const OneBased<double> sides = List<double>({100, 200, 100, 0, 50, 0});
    const OneBased<double> azimuths = List<double>({90, 0, 90, 0, 45, 0});
    OneBased<double> x = List<double>({1000, 0, 0, 1200.040, 7, 8});
    OneBased<double> y = List<double>({2000, 0, 0, 2199.980, 9, 10});

    OneBased<double> fX;
    OneBased<double> fY;
    BranchMisclosureX(model, fX, x, sides, 1, azimuths);
    BranchMisclosureY(model, fY, y, sides, 1, azimuths);
    EXPECT_NEAR(fX[1], -0.040, 1e-12);
    EXPECT_NEAR(fY[1], 0.020, 1e-12);
    // Misclosures are whole millimetres: 0.0004 m more on the known end is dropped.
    x[4] = 1200.0404;
    BranchMisclosureX(model, fX, x, sides, 1, azimuths);
    EXPECT_NEAR(fX[1], -0.040, 1e-12);
    x[4] = 1200.040;
    // Side corrections of 1 cm lengthen each side.
    const OneBased<double> sideCorrections = List<double>({0.01, 0.01, 0.01, 0, 0, 0});
    EXPECT_NEAR(BranchEndY(model, 1, sides, azimuths, sideCorrections, 2000), 2200.02, kTight);

    // At P2 100/400 of the misclosure, at P3 300/400, with opposite sign.
    const OneBased<double> sumSides = List<double>({400, 50});
    const OneBased<double> fX2 = List<double>({-0.040, 5});
    const OneBased<double> fY2 = List<double>({0.020, 5});
    DistributeClosure(model, x, y, sides, Carry::ShareClosure, 2, sumSides, fX2, fY2, {}, azimuths);
    ExpectAt(x, {{2, 1000.010}, {3, 1200.030}});
    ExpectAt(y, {{2, 2099.995}, {3, 2099.985}});
    // End points and the one-side branch stay as they were.
    EXPECT_TRUE(x[1] == 1000.0 && x[4] == 1200.040 && y[4] == 2199.980 && x[5] == 7.0 && x[6] == 8.0 &&
                y[6] == 10.0);

    // Without distribution the points are carried; with side corrections those replace the share.
    DistributeClosure(model, x, y, sides, Carry::AsMeasured, 1, sumSides, fX2, fY2, {}, azimuths);
    ExpectAt(x, {{3, 1200.0}});
    ExpectAt(y, {{3, 2100.0}});
    DistributeClosure(model, x, y, sides, Carry::WithCorrections, 1, sumSides, fX2, fY2, sideCorrections, azimuths);
    ExpectAt(x, {{3, 1200.01}});
    ExpectAt(y, {{2, 2100.01}});

    // The Y-only form works out the length itself.
    DistributeClosureY(model, y, sides, azimuths, 2, fY2);
    ExpectAt(y, {{2, 2099.995}, {3, 2099.985}, {6, 10.0}});
}

}  // namespace
}  // namespace qef
