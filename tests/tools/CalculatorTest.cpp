#include <gtest/gtest.h>

#include <string>

#include "tools/Calculator.h"

namespace qef {
namespace {

CalculatorResult Calc(CalculatorMethod m, CalculatorInput in) { return Calculate(m, in); }

TEST(Calculator, AzimuthAndPolarPointsAgainstHandValues) {
    using M = CalculatorMethod;
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "0", "100", "", ""}).First, "90 00 00.0");
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "0", "-100", "", ""}).First, "270 00 00.0");
    // tan(a) = 100 / 200: 26 degrees 33' 54.18".
    EXPECT_EQ(Calc(M::Azimuth, {"1000", "500", "1200", "600", "", ""}).First, "26 33 54.2");
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "-100", "-100", "", ""}).First, "225 00 00.0");
    // 1e-7 m west over 100 m north is 0.0002" short of a full turn: north, shown as 0.
    EXPECT_EQ(Calc(M::Azimuth, {"100", "0", "200", "-0.0000001", "", ""}).First, "0 00 00.0");

    CalculatorResult r = Calc(M::FromAzimuth, {"100", "200", "", "", "90.0000", "10"});
    EXPECT_EQ(r.First, "100.000");
    EXPECT_EQ(r.Second, "210.000");
    // Azimuth 0 to point 2, plus 30 30': cos 30.5 = 0.8616292, sin 30.5 = 0.5075384, side 100.
    r = Calc(M::FromTwoPoints, {"0", "0", "10", "0", "30.3000", "100"});
    EXPECT_EQ(r.First, "86.163");
    EXPECT_EQ(r.Second, "50.754");
    // Azimuth 45 plus 315: north again.
    r = Calc(M::FromTwoPoints, {"1000", "2000", "1100", "2100", "315.0000", "25"});
    EXPECT_EQ(r.First, "1025.000");
    EXPECT_EQ(r.Second, "2000.000");

    EXPECT_EQ(Calc(M::FromTwoPoints, {"0", "0", "10", "0", "30.3000", ""}).Outcome, CalculatorOutcome::Incomplete);
    EXPECT_EQ(Calc(M::Azimuth, {"5", "5", "5", "5", "", ""}).Outcome, CalculatorOutcome::CoincidentPoints);
    EXPECT_EQ(Calc(M::FromTwoPoints, {"5", "5", "5", "5", "1", "1"}).Outcome, CalculatorOutcome::CoincidentPoints);
    // Point 2 is not needed from an azimuth.
    EXPECT_EQ(Calc(M::FromAzimuth, {"5", "5", "", "", "1", "1"}).Outcome, CalculatorOutcome::Computed);
}

// Past the readers' 1e9 m a value is a slip: refused by name, while 1e9 itself still computes.
TEST(Calculator, ValuesPastTheReadersLimitAreRefused) {
    using M = CalculatorMethod;
    CalculatorResult r = Calc(M::FromAzimuth, {"100", "200", "", "", "90.0000", "1e308"});
    EXPECT_EQ(r.Outcome, CalculatorOutcome::OutOfRange);
    EXPECT_NE(r.Message.find("[1e308]"), std::string::npos) << r.Message;
    EXPECT_TRUE(r.First.empty());
    EXPECT_TRUE(r.Second.empty());
    EXPECT_EQ(Calc(M::Azimuth, {"0", "0", "1e308", "5", "", ""}).Outcome, CalculatorOutcome::OutOfRange);
    EXPECT_EQ(Calc(M::Azimuth, {"-1000000000.001", "0", "1", "5", "", ""}).Outcome, CalculatorOutcome::OutOfRange);
    EXPECT_EQ(Calc(M::FromTwoPoints, {"0", "0", "10", "-2e9", "1", "1"}).Outcome, CalculatorOutcome::OutOfRange);
    // Point 2 is not read from an azimuth, so it is not judged either.
    EXPECT_EQ(Calc(M::FromAzimuth, {"0", "0", "1e308", "", "0", "5"}).Outcome, CalculatorOutcome::Computed);
    r = Calc(M::FromAzimuth, {"0", "-1000000000", "", "", "0.0000", "1000000000"});
    EXPECT_EQ(r.Outcome, CalculatorOutcome::Computed);
    EXPECT_EQ(r.First, "1000000000.000");
    EXPECT_EQ(r.Second, "-1000000000.000");
}

}  // namespace
}  // namespace qef
