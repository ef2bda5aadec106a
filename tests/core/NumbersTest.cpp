#include <gtest/gtest.h>

#include <cmath>

#include "core/Numbers.h"
#include "core/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

double Dms(double d, double m, double s) { return d + m / 60.0 + s / 3600.0; }
std::string AngleMessage(const std::string& text) { return Vn("Góc ") + text + Vn(" sai định dạng"); }

TEST(Numbers, ParsingRealNumbers) {
    double v = -1;
    for (auto [text, want] : {std::pair{" 12", 12.0}, {"1.5E3", 1500.0}, {"+7", 7.0}, {".5", 0.5}, {"5.", 5.0},
                              {"-2e-3", -0.002}}) {
        EXPECT_TRUE(TryParseReal(text, v) && v == want) << text;
    }
    for (const char* bad : {"e5", "1,5", "12 ", "", ".", "-", "1e", "inf", "nan", "0x10", "--1", "\t12", "1e400"})
        EXPECT_FALSE(TryParseReal(bad, v) || IsNumber(bad)) << '"' << bad << '"';
    EXPECT_EQ(ParseRealOrDefault("x1", 7.5), 7.5);

    test::ScriptedInteraction ui;
    bool error = false;
    EXPECT_EQ(ParseRealField("2.5", error, ui), 2.5);
    EXPECT_FALSE(error);
    ParseRealField("2,5", error, ui);
    EXPECT_TRUE(error);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"loi 2,5"});
}

TEST(Numbers, ParseDmsGoodAndBadAngles) {
    test::ScriptedInteraction ui;
    std::string err;
    bool bad = true;
    auto parse = [&](const char* text, bool withPoint = true, bool inDegrees = true) {
        return ParseDms(text, inDegrees, withPoint, err, bad, &ui);
    };
    EXPECT_DOUBLE_EQ(parse("-0.3000"), -0.5);
    EXPECT_NEAR(parse("359.5959"), 359.999722, 1e-6);
    EXPECT_DOUBLE_EQ(parse("12.30455"), Dms(12, 30, 45.5));
    EXPECT_DOUBLE_EQ(parse("12.301"), Dms(12, 30, 1));
    EXPECT_DOUBLE_EQ(parse("  -12.3045"), -12.5125);
    EXPECT_DOUBLE_EQ(parse("1800000", false), 180);
    EXPECT_DOUBLE_EQ(parse("1234530.5", false), Dms(123, 45, 30.5));
    EXPECT_DOUBLE_EQ(parse("-50", true, false), -45);  // grads
    EXPECT_DOUBLE_EQ(PackedDmsToDegrees(true, false, 1234530.5), Dms(123, 45, 30.5));
    EXPECT_TRUE(!bad && err.empty() && ui.calls.empty());

    // The parts read still make the value; the message shows the text without its sign.
    EXPECT_DOUBLE_EQ(parse("-12.30"), -12.5);
    EXPECT_TRUE(bad);
    EXPECT_EQ(err, AngleMessage("12.30"));
    // A sign inside would otherwise give a plausible wrong angle.
    for (const char* text : {"12.5", "--12.3045", "12.-3045", ".3045", "12.3045 ", ""}) {
        parse(text);
        EXPECT_TRUE(bad) << text;
    }
    parse("--1800000", false);
    EXPECT_TRUE(bad);
    parse("18x0000", false);
    EXPECT_EQ(err, AngleMessage("18x0000"));
    parse("1e2", true, false);
    EXPECT_EQ(err, AngleMessage("1e2"));
    EXPECT_EQ(ui.Messages().size(), 10u);
    EXPECT_EQ(ui.Messages()[0], AngleMessage("12.30"));
    ParseDms("12.30", true, true, err, bad, nullptr);  // nothing shown, flag still set
    EXPECT_TRUE(bad);
}

TEST(Numbers, FormatDmsLayoutAndCarry) {
    EXPECT_EQ(FormatDms(2, ".", Dms(123, 45, 7.25)), "123.450725");
    EXPECT_EQ(FormatDms(2, " ", Dms(123, 45, 7.25)), "123 45 07.25");
    EXPECT_EQ(FormatDms(0, ".", Dms(5, 3, 0)), "  5.0300");
    EXPECT_EQ(FormatDms(1, " ", -0.5), "-0 30 00.0");
    EXPECT_EQ(FormatDms(3, ".", 0), "  0.0000000");
    EXPECT_EQ(FormatDms(1, "", Dms(123, 45, 30.12)), "1234530.1");
    // Seconds that would print as 60 carry into minutes and degrees.
    EXPECT_EQ(FormatDms(0, ".", 10.999999), " 11.0000");
    EXPECT_EQ(FormatDms(0, ".", 10.9999999999), " 11.0000");
    EXPECT_EQ(FormatDms(0, ".", Dms(10, 59, 59.4)), " 10.5959");
    EXPECT_EQ(FormatDms(1, " ", Dms(10, 29, 59.96)), " 10 30 00.0");
    EXPECT_EQ(FormatDms(3, ".", Dms(359, 59, 59.9996)), "360.0000000");
    EXPECT_EQ(FormatDms(4, ".", Dms(359, 59, 59.9996)), "359.59599996");
}

TEST(Numbers, RoundingHalfEven) {
    for (auto [dec, x, want] : {std::tuple{0, 0.5, 0.0}, {0, 1.5, 2.0}, {0, -2.5, -2.0}, {0, 3.5, 4.0},
                                {2, 0.125, 0.12}, {2, 0.375, 0.38}, {1, 2.26, 2.3}, {0, 3000000000.5, 3e9},
                                {0, 3000000001.5, 3000000002.0}, {3, -3595959.9994, -3595959.999}, {2, 1e17, 1e17}})
        EXPECT_EQ(RoundHalfEven(dec, x), want) << dec << " " << x;
    EXPECT_FALSE(std::signbit(RoundHalfEven(0, -0.4)));

    const double tol = 1e-10;  // well under 0.001" (2.8e-7 degrees)
    EXPECT_NEAR(RoundDms(3, Dms(359, 59, 59.9996)), 360.0, tol);
    EXPECT_NEAR(RoundDms(3, Dms(359, 59, 59.9994)), Dms(359, 59, 59.999), tol);
    EXPECT_NEAR(RoundDms(0, Dms(10, 59, 59.5)), 11.0, tol);
    EXPECT_NEAR(RoundDms(3, 0.0006 / 3600), 0.001 / 3600, tol);
    EXPECT_NEAR(RoundDms(3, -0.0006 / 3600), -0.001 / 3600, tol);
    EXPECT_EQ(RoundDms(3, 0.0004 / 3600), 0.0);
    EXPECT_EQ(RoundDms(3, -0.0004 / 3600), 0.0);
    EXPECT_NEAR(RoundDms(0, Dms(10, 0, 0.5)), 10.0, tol);
    EXPECT_NEAR(RoundDms(0, Dms(10, 0, 1.5)), Dms(10, 0, 2), tol);
    EXPECT_NEAR(RoundDms(1, -Dms(12, 30, 45.25)), -Dms(12, 30, 45.2), tol);
    EXPECT_NEAR(RoundDms(2, Dms(123, 45, 30.123)), Dms(123, 45, 30.12), tol);
}

TEST(Numbers, FormatNumberTextKeepsPrecision) {
    for (auto [text, factor, want] : {std::tuple{"1.2345", 1000.0, "1234.5"}, {"12.5", 1000.0, "12500"},
                                      {"1234", 0.001, "1.234"}, {"1234.5", 0.001, "1.2345"},
                                      {"12.345", 100.0, "1234.5"}, {"P12", 1000.0, "P12"}, {"12.5", 0.0, "0.0"}})
        EXPECT_EQ(FormatNumberText(text, factor), want) << text << " x " << factor;
}

TEST(Numbers, MessagesInputBoxAndFiles) {
    test::ScriptedInteraction ui;
    ui.texts = {std::string("12.5"), std::string("abc"), std::string(""), std::nullopt};
    EXPECT_EQ(AskNumber(ui, "Do cao", "0.0"), "12.5");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(AskNumber(ui, "Do cao", "0.0"), "0");
    EXPECT_EQ(ui.calls[0].text, "Nhap so lieu|Do cao");
    bool error = false;
    ShowError(ui, error, "stop");
    ShowDoneMessage(ui);
    EXPECT_TRUE(error);
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"stop", Vn("Đã tính xong")}));

    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.txt"), "one\r\ntwo\nthree");
    test::WriteFileBytes(dir.File("z.txt"), "one\r\n\x1a");
    EXPECT_TRUE(FileExistsIO(dir.File("a.txt")));
    EXPECT_FALSE(FileExistsIO(dir.File("missing.txt")) || FileExistsIO(dir.Path()));
    EXPECT_EQ(CountFileLines(dir.File("a.txt")), 3);
    EXPECT_EQ(CountFileLines(dir.File("z.txt")), 1);
    EXPECT_EQ(CountFileLines(dir.File("missing.txt")), -1);
    EXPECT_EQ(CountFileLines(dir.Path()), -1);
}

}  // namespace
}  // namespace qef
