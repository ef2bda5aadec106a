#include "adjustment/BranchArithmetic.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

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

// One branch of four points P1..P4 with angles 90, 270, 90, 200 and start azimuth 0.
// Worked by hand: P1: 0+90-180 = 270; P2: 270+270-180 = 360 -> 0; P3: 0+90-180 -> 270;
// P4: 270+200-180 = 290.
TEST(BranchArithmetic, AzimuthsAreCarriedOverTheAnglesTheBranchKindMeasures) {
    const BranchModel model = MakeBranches({4});
    GroupWorkingSet ws;
    ws.Nb = 1;
    ws.PositionAngles = List<double>({90, 270, 90, 200});
    const std::pair<BranchKind, double> expected[] = {
        {BranchKind::BothEnds, 290.0}, {BranchKind::StartOnly, 270.0}, {BranchKind::EndOnly, 20.0},
        {BranchKind::Neither, 0.0}};
    for (const auto& [kind, azimuth] : expected) {
        ws.BranchTypes = List({kind});
        EXPECT_NEAR(PropagateBranchAzimuths(ws, model, 1, 0.0), azimuth, kTight) << "kind " << static_cast<int>(kind);
    }
    // End only, from 0: P2: 0+270-180 = 90; P3: 90+90-180 = 0; P4: 0+200-180 = 20.
    // Corrections of 36" an angle add 0.01 degree for every angle used.
    const OneBased<double> corrections = List<double>({36, 36, 36, 36});
    ws.BranchTypes = List({BranchKind::BothEnds});
    EXPECT_NEAR(PropagateBranchAzimuths(ws, model, 1, corrections, 0.0), 290.04, kTight);
    ws.BranchTypes = List({BranchKind::Neither});
    EXPECT_NEAR(PropagateBranchAzimuths(ws, model, 1, corrections, 0.0), 0.02, kTight);
}

TEST(BranchArithmetic, AngularMisclosureIsAlwaysWithinHalfATurn) {
    // Four branches of three points without connecting angles: the one interior angle is the only angle.
    const BranchModel model = MakeBranches({3, 3, 3, 3});
    GroupWorkingSet ws;
    ws.Nb = 4;
    ws.PositionAngles = List<double>({0, 179.999, 0, 0, 180.0005, 0, 0, 181, 0, 0, 181, 0});
    ws.BranchTypes = OneBased<BranchKind>(4, BranchKind::Neither);
    ws.NoAngleClosure = List<std::uint8_t>({0, 0, 0, 1});
    // Branch 1: 0 -> 359.999 against 0: 359.999 -> -0.001.
    // Branch 2: 0 -> 0.0005 against 359.9995: -359.999 -> +0.001.
    // Branch 3: 0 -> 1 against 0: one degree, left as it is.
    ws.BranchStartAzimuths = List<double>({0, 0, 0, 0});
    ws.BranchEndAzimuths = List<double>({0, 359.9995, 0, 0});
    OneBased<double> f;
    CheckAngularMisclosure(ws, model, f);
    ASSERT_EQ(f.Size(), 4u);
    ExpectAt(f, {{1, -0.0010}, {2, 0.0010}, {3, 1.0}});
    EXPECT_EQ(f[4], 0.0);
    // However far a closure lies outside any tolerance, it stays within half a turn: 0 carried over
    // an angle of 10 is 0 + 10 - 180 = 190; against 9.5 that is 180.5, which is -179.5.
    GroupWorkingSet far;
    far.Nb = 1;
    far.PositionAngles = List<double>({0, 10, 0});
    far.BranchTypes = List({BranchKind::Neither});
    far.NoAngleClosure = List<std::uint8_t>({0});
    far.BranchStartAzimuths = List<double>({0.0});
    far.BranchEndAzimuths = List<double>({9.5});
    CheckAngularMisclosure(far, MakeBranches({3}), f);
    EXPECT_NEAR(f[1], -179.5, kTight);
}

TEST(BranchArithmetic, SideAzimuthsShareTheMisclosureEqually) {
    // Branch 1: both ends angled, angles 90, 270, 90, 200, misclosure 0.004 over 4 angles: -0.001 each.
    // Branch 2: end only, start azimuth 10 is the first side's; one interior angle 180.
    // Branch 3: like branch 1 but without angular closure, so nothing is shared.
    const BranchModel model = MakeBranches({4, 3, 4});
    GroupWorkingSet ws;
    ws.Nb = 3;
    ws.PositionAngles = List<double>({90, 270, 90, 200, 0, 180, 0, 90, 270, 90, 200});
    ws.BranchTypes = List({BranchKind::BothEnds, BranchKind::EndOnly, BranchKind::BothEnds});
    ws.BranchAngleCounts = List<int>({4, 2, 4});
    ws.NoAngleClosure = List<std::uint8_t>({0, 0, 1});
    ws.ClosureFb = List<double>({0.004, 0.002, 0.004});
    ws.BranchStartAzimuths = List<double>({0, 10, 0});
    PropagateAllAzimuths(ws, model, Carry::ShareClosure);
    ASSERT_GE(ws.PositionAzimuths.Size(), 10u);
    ExpectAt(ws.PositionAzimuths,
             {{1, 269.999}, {2, 359.998}, {3, 269.997}, {5, 10.0}, {6, 9.999}, {8, 270.0}, {9, 0.0}, {10, 270.0}});

    // Per-angle corrections replace the equal share: -7.2" and +3.6" on branch 1.
    ws.Nb = 1;
    PropagateAllAzimuths(ws, model, Carry::WithCorrections, List<double>({-7.2, 3.6, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    ExpectAt(ws.PositionAzimuths, {{1, 269.998}, {2, 359.999}, {3, 269.999}});
}

// A traverse A-P2-P3-B with sides 100 east, 200 north, 100 east from A (1000, 2000); carried, B
// comes to (1200, 2200), known B is (1200.040, 2199.980).
TEST(BranchArithmetic, CoordinateMisclosureIsSharedInProportionToLength) {
    const BranchModel model = MakeBranches({4, 2});
    GroupWorkingSet ws;
    ws.Nb = 1;
    ws.PositionSides = List<double>({100, 200, 100, 0, 50, 0});
    ws.PositionAzimuths = List<double>({90, 0, 90, 0, 45, 0});
    ws.PositionX = List<double>({1000, 0, 0, 1200.040, 7, 8});
    ws.PositionY = List<double>({2000, 0, 0, 2199.980, 9, 10});
    OneBased<double>& x = ws.PositionX;
    OneBased<double>& y = ws.PositionY;

    BranchMisclosureX(ws, model);
    BranchMisclosureY(ws, model);
    EXPECT_NEAR(ws.ClosureFx[1], -0.040, 1e-12);
    EXPECT_NEAR(ws.ClosureFy[1], 0.020, 1e-12);
    // Misclosures are whole millimetres: 0.0004 m more on the known end is dropped.
    x[4] = 1200.0404;
    BranchMisclosureX(ws, model);
    EXPECT_NEAR(ws.ClosureFx[1], -0.040, 1e-12);
    x[4] = 1200.040;
    // Side corrections of 1 cm lengthen each side.
    const OneBased<double> sideCorrections = List<double>({0.01, 0.01, 0.01, 0, 0, 0});
    EXPECT_NEAR(BranchEndY(ws, model, 1, sideCorrections), 2200.02, kTight);

    // At P2 100/400 of the misclosure, at P3 300/400, with opposite sign.
    ws.Nb = 2;
    ws.BranchLengthSums = List<double>({400, 50});
    const OneBased<double> fX2 = List<double>({-0.040, 5});
    const OneBased<double> fY2 = List<double>({0.020, 5});
    DistributeClosure(ws, model, Carry::ShareClosure, fX2, fY2);
    ExpectAt(x, {{2, 1000.010}, {3, 1200.030}});
    ExpectAt(y, {{2, 2099.995}, {3, 2099.985}});
    // End points and the one-side branch stay as they were.
    EXPECT_TRUE(x[1] == 1000.0 && x[4] == 1200.040 && y[4] == 2199.980 && x[5] == 7.0 && x[6] == 8.0 &&
                y[6] == 10.0);

    // Without distribution the points are carried; with side corrections those replace the share.
    ws.Nb = 1;
    DistributeClosure(ws, model, Carry::AsMeasured, fX2, fY2);
    ExpectAt(x, {{3, 1200.0}});
    ExpectAt(y, {{3, 2100.0}});
    DistributeClosure(ws, model, Carry::WithCorrections, fX2, fY2, sideCorrections);
    ExpectAt(x, {{3, 1200.01}});
    ExpectAt(y, {{2, 2100.01}});

    // The Y-only form works out the length itself and shares ClosureFy.
    ws.Nb = 2;
    ws.ClosureFy = fY2;
    DistributeClosureY(ws, model);
    ExpectAt(y, {{2, 2099.995}, {3, 2099.985}, {6, 10.0}});
}

}  // namespace
}  // namespace qef
