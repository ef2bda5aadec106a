#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <tuple>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/model/Interaction.h"
#include "core/text/NumberFormat.h"
#include "core/numeric/Numbers.h"
#include "core/text/TextFile.h"
#include "core/text/TextHelpers.h"
#include "core/text/Tokenizer.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using V = std::vector<std::string>;
using Numbered = std::vector<std::pair<long long, std::string>>;

// Lines of a file with the physical number of each.
Numbered ReadNumbered(const std::string& path) {
    Numbered out;
    LineReader reader(path);
    EXPECT_TRUE(reader.IsOpen());
    std::string line;
    while (reader.Next(line)) out.emplace_back(reader.LineNumber(), line);
    EXPECT_FALSE(reader.Next(line));  // stays at the end
    return out;
}

TEST(TextFile, LineEndsAndEndOfFile) {
    test::TempDir dir;
    const std::string path = dir.File("a.txt");
    const std::pair<std::string, Numbered> cases[] = {
        {"a\r\nb\nc", {{1, "a"}, {2, "b"}, {3, "c"}}},
        {"\n \r\n\r\nx\r\n", {{1, ""}, {2, " "}, {3, ""}, {4, "x"}}},
        {"x\r\ny\r\n\x1A", {{1, "x"}, {2, "y"}}},
        {"x\r\ny\x1A", {{1, "x"}, {2, "y"}}},
        {"a\x1A" "b\r\n", {{1, "a\x1A" "b"}}},  // a Ctrl-Z inside the text is data
        {"", {}},
    };
    for (const auto& [bytes, lines] : cases) {
        test::WriteFileBytes(path, bytes);
        EXPECT_EQ(ReadNumbered(path), lines) << bytes;
    }
    LineReader missing(dir.File("none.txt"));
    std::string line;
    EXPECT_FALSE(missing.IsOpen() || missing.Next(line));

    // The CR of the first line is the last byte of the first 64 KiB chunk, its LF the first of the next.
    const std::string edge(65535, 'e'), longLine(200000, 'q');
    test::WriteFileBytes(path, edge + "\r\n" + longLine + "\r\nend");
    EXPECT_EQ(ReadNumbered(path), (Numbered{{1, edge}, {2, longLine}, {3, "end"}}));
    V lines;
    ASSERT_TRUE(ReadAllLines(path, lines));
    EXPECT_EQ(lines, (V{edge, longLine, "end"}));
}

TEST(TextFile, WriterUsesCrLfAndAppends) {
    test::TempDir dir;
    const std::string path = dir.File("out.txt");
    {
        TextFileWriter writer(path);
        writer.Write("ab");
        writer.WriteLine("c");
        writer.WriteLine();
        EXPECT_TRUE(writer.Close());
    }
    {
        TextFileWriter writer(path, true);
        writer.WriteLine("d");
    }  // closed by the destructor
    EXPECT_EQ(test::ReadFileBytes(path), "abc\r\n\r\nd\r\n");
    ASSERT_TRUE(WriteAllLines(path, {"x", "y"}));
    EXPECT_EQ(test::ReadFileBytes(path), "x\r\ny\r\n");

    TextFileWriter bad(dir.File("no/such/folder.txt"));
    EXPECT_FALSE(bad.IsOpen() || bad.Close() || WriteAllLines(dir.File("no/such/folder.txt"), {"x"}));
    EXPECT_FALSE(FileExists(dir.Path()));  // a folder is not a file
}

TEST(TextHelpers, PaddingTrimmingAndFileNames) {
    // Padding stops at the short-string length, but never shortens what it was given.
    EXPECT_EQ(PadRight("x", 1000).size(), 255u);
    EXPECT_EQ(PadLeft(std::string(300, 'y'), 400), std::string(300, 'y'));
    EXPECT_EQ(PadLeftWith("7", 3, '0') + PadTo10("P1") + RepeatChar('=', -2), "007P1        ");
    // Only blanks are touched, never TABs.
    EXPECT_EQ(CollapseBlanks("\ta  b\t"), "\ta b\t");
    EXPECT_EQ(TrimLeftBlanks(" \tx ") + "|" + TrimRightBlanks(" x\t "), "\tx | x\t");
    EXPECT_EQ(StripLeadingZeros("000") + "|" + StripLeadingZeros("0070"), "|70");
    EXPECT_EQ(RemoveCharToName("GPS 123 456 789 0123 45"), "GPS123456789012");
    // Only a..z change case; TCVN3 letters (đ is 0xAE) stay as they are.
    EXPECT_EQ(UpperShort("ab1z\xAE"), "AB1Z\xAE");

    // A dot in a folder name is no extension.
    EXPECT_EQ(FileNameWithoutExt("/data.old/net"), "/data.old/net");
    EXPECT_EQ(FileNameWithoutExt("C:\\data.old\\net.dta"), "C:\\data.old\\net");
    EXPECT_EQ(ReplaceFileExt("/data.old/net", "kq"), "/data.old/net.kq");
    EXPECT_EQ(ReplaceFileExt("a.b.txt", "kq"), "a.b.kq");
    EXPECT_EQ(SwapExtAtFirstDot("/data.old/net.x.kq", ".tb"), "/data.old/net.tb");
    EXPECT_EQ(SwapExtAtFirstDot("/data.old/net", ".tb"), "/data.old/net.tb");
}

TEST(TextHelpers, StripAccentsOnTcvn3Text) {
    EXPECT_EQ(StripAccents(Vn("Đường"), false), "Duong");
    EXPECT_EQ(StripAccents(Vn("Tọa độ điểm ĐƯỜNG"), false), "Toa do diem D\xA6oNG");
    // The capitals Ă Â Ê Ô Ơ Ư are not in the table.
    EXPECT_EQ(StripAccents("\xA1\xA2\xA3\xA4\xA5\xA6", false), "\xA1\xA2\xA3\xA4\xA5\xA6");
    EXPECT_EQ(StripAccents(Vn("ăâáắấàằầạặậảẳẩãẵẫ êéếèềẹệẻểẽễ ôơóốớòồờọộợỏổởõỗỡ íìịỉĩ ýỳỵỷỹ ưúứùừụựủửũữ"), false),
              "aaaaaaaaaaaaaaaaa eeeeeeeeeee ooooooooooooooooo iiiii yyyyy uuuuuuuuuuu");
    EXPECT_EQ(StripAccents(Vn("Đã tính xong"), true), Vn("Đã tính xong"));
}

TEST(TextHelpers, ReplaceInLineKeepsColumns) {
    // Line and replacement as left afterwards, then whether a replacement was made.
    auto replace = [](std::string line, std::string_view find, std::string replacement, char fill, int align) {
        const bool found = ReplaceInLine(line, find, replacement, fill, align);
        return line + "|" + replacement + (found ? "|found" : "");
    };
    EXPECT_EQ(replace("P12 100", "P12", "A", ' ', 1), "A   100|A  |found");
    EXPECT_EQ(replace("P12 100 P12", "P12", "7", '0', 0), "007 100 P12|007|found");
    EXPECT_EQ(replace("P12 100", "P12", "A", ' ', 2), "A 100|A|found");
    EXPECT_EQ(replace("P12 100", "P12", "LONGNAME", ' ', 1), "LONGNAME 100|LONGNAME|found");
    // A long data line keeps its end.
    EXPECT_EQ(replace(std::string(300, 'x') + "P1", "P1", "Q22", ' ', 1), std::string(300, 'x') + "Q22|Q22|found");
    EXPECT_EQ(replace("P12 100", "P13", "A", ' ', 1), "P12 100|A");
    EXPECT_EQ(replace("P12 100", "", "A", ' ', 1), "P12 100|A");
}

// No separator mode: the tokenizer detects it.
constexpr std::nullopt_t kDetect = std::nullopt;

// Count followed by the stored fields up to `shown` (default: the count).
V Split(std::string_view line, std::optional<SeparatorMode> mode, bool keep = false, int width = 10, int shown = 0) {
    static auto fields = std::make_unique<FieldArray>();
    const int n = SplitFields(line, *fields, mode, keep, width);
    V out{std::to_string(n)};
    for (int i = 1; i <= (shown ? shown : n); ++i) out.push_back((*fields)[i]);
    return out;
}

TEST(Tokenizer, CommentsAndSeparators) {
    EXPECT_EQ(Split("//Goc", kDetect), V{"0"});
    EXPECT_EQ(Split("//Goc", kDetect, true), (V{"1", "//Goc"}));
    EXPECT_EQ(Split("A B //x", kDetect), (V{"2", "A", "B"}));
    EXPECT_EQ(Split("A B C 90.3045//kt", kDetect), (V{"4", "A", "B", "C", "90.3045"}));
    EXPECT_EQ(Split("a,b,//x", SeparatorMode::Comma), (V{"2", "a", "b"}));
    EXPECT_EQ(Split("  12   34.5  6 ", SeparatorMode::Blank), (V{"3", "12", "34.5", "6"}));
    EXPECT_EQ(Split("a,,b,", SeparatorMode::Comma), (V{"4", "a", "", "b", ""}));
    EXPECT_EQ(Split("a, b", SeparatorMode::Comma), (V{"2", "a", " b"}));
    EXPECT_EQ(Split("x;y", SeparatorMode::Semicolon), (V{"2", "x", "y"}));
    EXPECT_EQ(Split("P1|100", SeparatorMode::Bar), (V{"2", "P1", "100"}));
    EXPECT_EQ(Split("P1\t100\t200\t\t", SeparatorMode::Tab), (V{"3", "P1", "100", "200"}));
    EXPECT_EQ(Split("\t\t\t", kDetect), (V{"1", ""}));
    EXPECT_EQ(Split("1,5 2", kDetect), (V{"2", "1,5", "2"}));
    EXPECT_EQ(Split("     ", SeparatorMode::Comma), V{"0"});
    EXPECT_EQ(Split("a b", static_cast<SeparatorMode>(6), false, 10, 1), (V{"0", ""}));
}

TEST(Tokenizer, LimitsOnFieldsAndLength) {
    std::string words;
    for (int i = 1; i <= 20; ++i) words += "w" + std::to_string(i) + " ";
    Split(std::string(60, 'x'), SeparatorMode::FixedWidth, false, 1);  // fills cells 1..31
    const V twenty = Split(words, SeparatorMode::Blank, false, 10, 21);
    EXPECT_EQ(twenty[0], "20");
    EXPECT_EQ(twenty[16], "w16");
    EXPECT_EQ(V(twenty.begin() + 17, twenty.end()), V(5, ""));
    EXPECT_EQ(Split("ABCDEFGHIJKLMNOPQRST 1", kDetect), (V{"2", "ABCDEFGHIJKLMNO", "1"}));
    EXPECT_EQ(Split(std::string(253, 'x') + " YZ", SeparatorMode::Blank)[2], "Y");  // first 255 characters only
    EXPECT_EQ(Split(std::string(300, ','), SeparatorMode::Comma, false, 10, 1)[0], "256");

    // Long cells keep a 200-character field whole.
    LongFieldArray f;
    std::string line(200, 'q');
    for (int i = 2; i <= 12; ++i) line += "," + std::to_string(i);
    EXPECT_EQ(SplitFieldsTo(line, f, kDetect, 10), 12);
    EXPECT_EQ(f[1] + "|" + f[11] + "|" + f[12], std::string(200, 'q') + "|11|");
    std::string digits;
    for (int i = 0; i < 255; ++i) digits += static_cast<char>('0' + i % 10);
    EXPECT_EQ(SplitFieldsTo(digits, f, SeparatorMode::FixedWidth, 1), 128);  // counted, 16 stored
    EXPECT_EQ(f[16], "0");
}

TEST(Tokenizer, FixedWidthJoinAndDetection) {
    const SeparatorMode fixed = SeparatorMode::FixedWidth;
    EXPECT_EQ(Split("PT1        1234.56789", kDetect), (V{"2", "PT1       ", "1234.56789"}));
    EXPECT_EQ(Split("PT1        1234.56789 ", fixed), (V{"3", "PT1       ", "1234.56789", ""}));
    EXPECT_EQ(Split(std::string(300, 'a'), fixed)[24], "aa");  // cut at 255, not wrapped
    EXPECT_EQ(Split("a b c", fixed, false, 0), (V{"3", "a", "b", "c"}));

    const std::string line = JoinFields("P1", false, fixed, 10) + JoinFields("100.5", false, fixed, 10) +
                             JoinFields("200.25", true, fixed, 10);
    EXPECT_EQ(Split(line, kDetect), (V{"3", "P1        ", "100.5     ", "200.25"}));
    EXPECT_EQ(JoinFields("ABCDEFGH", false, fixed, 6), "ABCDEFGH ");
    std::string all;
    for (int mode : {0, 1, 2, 3, 5, 9}) all += JoinFields("A", false, static_cast<SeparatorMode>(mode), 6);
    EXPECT_EQ(all, "A A\tA,A;A|A ");  // an unknown mode still separates
    // Blank columns alone do not make a plain blank-separated line fixed width.
    EXPECT_EQ(DetectSeparator("P1 100.000 200.000", 10), SeparatorMode::Blank);
    EXPECT_EQ(DetectSeparator("a\tb,c", 10), SeparatorMode::Tab);
    EXPECT_EQ(DetectSeparator("a;b,c", 10), SeparatorMode::Comma);
    EXPECT_EQ(DetectSeparator("a;b|c", 10), SeparatorMode::Semicolon);
    EXPECT_EQ(DetectSeparator("a|b", 10), SeparatorMode::Bar);
}

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

TEST(VnCodec, Tcvn3AndVniAreLosslessOnEveryByte) {
    std::set<char32_t> seen, seenVni;
    for (int b = 0; b < 256; ++b) {
        const char32_t c = Tcvn3Decode(static_cast<unsigned char>(b)), v = VniDecode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second && seenVni.insert(v).second) << "byte " << b << " shares its code point";
        EXPECT_EQ(Tcvn3Encode(c), b);
        EXPECT_EQ(VniEncode(v), b);
        if (b < 0x80) {
            EXPECT_EQ(c, static_cast<char32_t>(b));
        }
    }
    EXPECT_EQ(Utf8ToTcvn3(Tcvn3ToUtf8(AllBytes())), AllBytes());
    EXPECT_EQ(Utf8ToVni(VniToUtf8(AllBytes())), AllBytes());
    // Every pair of VNI bytes, since pairs are where letters are composed.
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            std::string pair{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(Utf8ToVni(VniToUtf8(pair)), pair) << a << " " << b;
        }
    const std::string letters =
        "aàảãáạ ăằẳẵắặ âầẩẫấậ eèẻẽéẹ êềểễếệ iìỉĩíị oòỏõóọ ôồổỗốộ ơờởỡớợ uùủũúụ ưừửữứự yỳỷỹýỵ đ "
        "AÀẢÃÁẠ ĂẰẲẴẮẶ ÂẦẨẪẤẬ EÈẺẼÉẸ ÊỀỂỄẾỆ IÌỈĨÍỊ OÒỎÕÓỌ ÔỒỔỖỐỘ ƠỜỞỠỚỢ UÙỦŨÚỤ ƯỪỬỮỨỰ YỲỶỸÝỴ Đ";
    EXPECT_EQ(VniToUtf8(Utf8ToVni(letters)), letters);
}

TEST(VnCodec, BytesWorkedOutFromTheTables) {
    // Đ A7, ã B7, í DD.
    EXPECT_EQ(Vn("Đã tính xong"), "\xA7\xB7 t\xDDnh xong");
    // đ AE, ư AD, ờ EA; ệ D6; capitals without tone mark A1..A6.
    EXPECT_EQ(Vn("đường Việt"), "\xAE\xAD\xEAng Vi\xD6t");
    EXPECT_EQ(Vn("ĂÂÊÔƠƯ"), "\xA1\xA2\xA3\xA4\xA5\xA6");
    // A capital with a tone mark is written as its lower-case letter: ấ CA, ờ EA, ỵ FE.
    EXPECT_EQ(Vn("Ấ Ờ Ỵ Á"), "\xCA \xEA \xFE \xB8");
    // Decomposed input: a + circumflex + acute, and e + dot below + circumflex (canonical order).
    EXPECT_EQ(Utf8ToTcvn3("a\u0302\u0301 e\u0323\u0302 \u00E2\u0300"), "\xCA \xD6 \xC7");
    // No VN3 form: "?", also for a malformed byte and a lone combining mark.
    EXPECT_EQ(Utf8ToTcvn3("\u20AC\u00B0x\xFF\u0301"), "??x??");
    EXPECT_EQ(Tcvn3Decode(0xC4), U'\uF7C4');  // undefined in VN3: a private code point of its own

    EXPECT_EQ(Utf8ToVni("Đường"), "\xD1\xF6\xF4\xF8ng");
    EXPECT_EQ(Utf8ToVni("Đà Nẵng, văn học"), "\xD1" "a\xF8 Na\xFCng, va\xEAn ho\xEF" "c");
    EXPECT_EQ(Utf8ToVni("VIỆT ẮNG"), "VIE\xC4T A\xC9NG");
    EXPECT_EQ(VniToUtf8("Tie\xE1ng Vie\xE4t"), "Tiếng Việt");
    // Upper-case base with a lower-case mark is not a letter: each byte stays itself.
    EXPECT_EQ(Utf8ToVni(VniToUtf8("A\xF9")), "A\xF9");

    EXPECT_TRUE(LooksLikeUtf8("Đường"));
    for (const char* notUtf8 : {"", "plain ASCII", "\xA7\xAD\xEAng", "ab\xC0\xAF", "\xC3\xA9 \xC3", "\xED\xA0\x80",
                                "\xF4\x90\x80\x80"})  // TCVN3, overlong, cut, surrogate, above U+10FFFF
        EXPECT_FALSE(LooksLikeUtf8(notUtf8)) << notUtf8;
}

TEST(NumberFormat, FixedRoundsTheTrueValueAtTheDecimals) {
    EXPECT_EQ(FormatFixed(-12.5, 8, 2), "  -12.50");
    EXPECT_EQ(FormatFixed(123456.789, 5, 2), "123456.79");  // grows past the width
    EXPECT_EQ(FormatFixed(12.7, 4, -1), "  13");
    EXPECT_EQ(FormatInt(-42, 5) + FormatInt(123456, 3), "  -42123456");
    // 2.675 and 1.005 are stored just below the half; exact halves go to the even neighbour.
    EXPECT_EQ(FormatFixed(2.675, 0, 2), "2.67");
    EXPECT_EQ(FormatFixed(1.005, 0, 2), "1.00");
    EXPECT_EQ(FormatFixed(9.9996, 0, 3), "10.000");
    EXPECT_EQ(FormatFixed(0.125, 0, 2) + " " + FormatFixed(0.375, 0, 2), "0.12 0.38");
    // A value that rounds to zero carries no sign.
    EXPECT_EQ(FormatFixed(-0.0004, 7, 3), "  0.000");
    EXPECT_EQ(FormatFixed(-0.0, 0, 1), "0.0");
    EXPECT_EQ(FormatFixed(-0.0006, 0, 3), "-0.001");

    EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(FormatShortest(1.5e-7), "0.00000015");
    EXPECT_EQ(FormatShortest(1e21), "1000000000000000000000");
    EXPECT_EQ(FormatShortest(-0.0) + " " + FormatShortest(100.0), "0 100");
    EXPECT_EQ(FormatGeneral(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(FormatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatGeneral(1234.5678) + " " + FormatGeneral(100.0), "1234.5678 100");
}

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
    ParsedAngle last;
    int badCount = 0;
    auto parse = [&](const char* text, bool withPoint = true, bool inDegrees = true) {
        last = ParseDms(text, inDegrees, withPoint);
        if (!last.Ok()) ++badCount;
        return last.Degrees;
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
    EXPECT_TRUE(last.Ok() && last.Error == AngleError::None && badCount == 0);

    // The parts read still make the value; the message shows the text without its sign.
    EXPECT_DOUBLE_EQ(parse("-12.30"), -12.5);
    EXPECT_EQ(last.Error, AngleError::BadFormat);
    EXPECT_EQ(AngleFormatMessage(last), AngleMessage("12.30"));
    // A sign inside would otherwise give a plausible wrong angle.
    for (const char* text : {"12.5", "--12.3045", "12.-3045", ".3045", "12.3045 ", ""}) {
        parse(text);
        EXPECT_FALSE(last.Ok()) << text;
    }
    parse("--1800000", false);
    EXPECT_FALSE(last.Ok());
    parse("18x0000", false);
    EXPECT_EQ(AngleFormatMessage(last), AngleMessage("18x0000"));
    parse("1e2", true, false);
    EXPECT_EQ(AngleFormatMessage(last), AngleMessage("1e2"));
    EXPECT_EQ(badCount, 10);
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
    ui.texts = {std::string("12.5"), std::string("abc"), std::nullopt};
    EXPECT_EQ(AskNumber(ui, "Do cao", "0.0"), "12.5");
    EXPECT_EQ(AskNumber(ui, "Do cao", "0.0") + AskNumber(ui, "Do cao", "0.0"), "00");  // bad text, cancel
    EXPECT_EQ(ui.calls[0].text, "Nhap so lieu|Do cao");
    bool error = false;
    ShowError(ui, error, "stop");
    ShowDoneMessage(ui);
    EXPECT_TRUE(error);
    EXPECT_EQ(ui.Messages(), (std::vector<std::string>{"stop", Vn("Đã tính xong")}));

    test::TempDir dir;
    test::WriteFileBytes(dir.File("a.txt"), "one\r\ntwo\nthree");
    test::WriteFileBytes(dir.File("z.txt"), "one\r\n\x1a");
    EXPECT_FALSE(FileExistsIO(dir.File("missing.txt")) || FileExistsIO(dir.Path()));
    EXPECT_EQ(CountFileLines(dir.File("a.txt")), 3);
    EXPECT_EQ(CountFileLines(dir.File("z.txt")), 1);
    EXPECT_EQ(CountFileLines(dir.Path()), -1);
}

}  // namespace
}  // namespace qef
