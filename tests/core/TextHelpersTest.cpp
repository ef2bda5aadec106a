#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/TextHelpers.h"
#include "core/VnCodec.h"

namespace qef {
namespace {

TEST(TextHelpers, Padding) {
    EXPECT_EQ(PadRight("ABC", 2), "ABC");
    EXPECT_EQ(PadLeft("AB", 4), "  AB");
    EXPECT_EQ(PadLeftWith("7", 3, '0'), "007");
    EXPECT_EQ(PadTo10("P1"), "P1        ");
    EXPECT_EQ(RepeatChar('=', 3), "===");
    EXPECT_EQ(RepeatChar('=', 0), "");
    EXPECT_EQ(RepeatChar('=', -2), "");
    // Padding stops at the short-string length, but never shortens what it was given.
    EXPECT_EQ(PadRight("x", 1000).size(), 255u);
    EXPECT_EQ(PadLeft(std::string(300, 'y'), 400), std::string(300, 'y'));
}

TEST(TextHelpers, TrimmingAndCollapsingTouchOnlyBlanks) {
    EXPECT_EQ(CollapseBlanks("  a   b  c "), "a b c");
    EXPECT_EQ(CollapseBlanks("\ta  b\t"), "\ta b\t");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimLeftBlanks(" \tx "), "\tx ");
    EXPECT_EQ(TrimRightBlanks(" x\t "), " x\t");
    EXPECT_EQ(StripLeadingZeros("000"), "");
    EXPECT_EQ(StripLeadingZeros("0070"), "70");
    EXPECT_EQ(RemoveCharToName(" A 1 "), "A1");
    EXPECT_EQ(RemoveCharToName("GPS 123 456 789 0123 45"), "GPS123456789012");
    // Only a..z change case; TCVN3 letters (đ is 0xAE) stay as they are.
    EXPECT_EQ(UpperShort("ab1z\xAE"), "AB1Z\xAE");
}

TEST(TextHelpers, FileNamesActOnTheFileNamePartOnly) {
    EXPECT_EQ(FileNameWithoutExt("/data.old/net"), "/data.old/net");
    EXPECT_EQ(FileNameWithoutExt("C:\\data.old\\net"), "C:\\data.old\\net");
    EXPECT_EQ(FileNameWithoutExt("/data.old/net.dta"), "/data.old/net");
    EXPECT_EQ(ReplaceFileExt("/data.old/net", "kq"), "/data.old/net.kq");
    EXPECT_EQ(ReplaceFileExt("C:\\data.old\\net", "kq"), "C:\\data.old\\net.kq");
    EXPECT_EQ(ReplaceFileExt("a.b.txt", "kq"), "a.b.kq");
    EXPECT_EQ(SwapExtAtFirstDot("a.b.txt", ".kq"), "a.kq");
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
    const std::string text = Vn("Đã tính xong");
    EXPECT_EQ(StripAccents(text, true), text);
}

// The line, the replacement as left afterwards, and whether a replacement was made.
struct Replaced {
    std::string line;
    std::string replacement;
    bool found;
    bool operator==(const Replaced&) const = default;
};

Replaced Replace(std::string line, std::string_view find, std::string replacement, char fill, int align) {
    bool found = ReplaceInLine(line, find, replacement, fill, align);
    return {line, replacement, found};
}

TEST(TextHelpers, ReplaceInLineKeepsColumns) {
    EXPECT_EQ(Replace("P12 100", "P12", "A", ' ', 1), (Replaced{"A   100", "A  ", true}));
    EXPECT_EQ(Replace("P12 100 P12", "P12", "7", '0', 0), (Replaced{"007 100 P12", "007", true}));
    EXPECT_EQ(Replace("P12 100", "P12", "A", ' ', 2), (Replaced{"A 100", "A", true}));
    EXPECT_EQ(Replace("P12 100", "P12", "LONGNAME", ' ', 1), (Replaced{"LONGNAME 100", "LONGNAME", true}));
    // A long data line keeps its end.
    EXPECT_EQ(Replace(std::string(300, 'x') + "P1", "P1", "Q22", ' ', 1),
              (Replaced{std::string(300, 'x') + "Q22", "Q22", true}));
    EXPECT_EQ(Replace("P12 100", "P13", "A", ' ', 1), (Replaced{"P12 100", "A", false}));
    EXPECT_EQ(Replace("P12 100", "", "A", ' ', 1), (Replaced{"P12 100", "A", false}));
}

}  // namespace
}  // namespace qef
