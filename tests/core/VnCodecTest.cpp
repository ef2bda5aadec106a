#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/VnCodec.h"

namespace qef {
namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
    return s;
}

// Every Vietnamese letter, lower and upper case, with đ and Đ.
const char* const kAllLetters =
    "aàảãáạ ăằẳẵắặ âầẩẫấậ eèẻẽéẹ êềểễếệ iìỉĩíị oòỏõóọ ôồổỗốộ ơờởỡớợ uùủũúụ ưừửữứự yỳỷỹýỵ đ "
    "AÀẢÃÁẠ ĂẰẲẴẮẶ ÂẦẨẪẤẬ EÈẺẼÉẸ ÊỀỂỄẾỆ IÌỈĨÍỊ OÒỎÕÓỌ ÔỒỔỖỐỘ ƠỜỞỠỚỢ UÙỦŨÚỤ ƯỪỬỮỨỰ YỲỶỸÝỴ Đ";

TEST(VnCodec, Tcvn3IsLosslessOnEveryByte) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        char32_t c = Tcvn3Decode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its code point";
        EXPECT_EQ(Tcvn3Encode(c), b);
        if (b < 0x80) {
            EXPECT_EQ(c, static_cast<char32_t>(b));
        }
    }
    EXPECT_EQ(Utf8ToTcvn3(Tcvn3ToUtf8(AllBytes())), AllBytes());
}

TEST(VnCodec, Tcvn3BytesWorkedOutFromTheTable) {
    // Đ A7, ã B7, í DD.
    EXPECT_EQ(Vn("Đã tính xong"), "\xA7\xB7 t\xDDnh xong");
    // đ AE, ư AD, ờ EA; ệ D6; capitals without tone mark A1..A6.
    EXPECT_EQ(Vn("đường Việt"), "\xAE\xAD\xEAng Vi\xD6t");
    EXPECT_EQ(Vn("ĂÂÊÔƠƯ"), "\xA1\xA2\xA3\xA4\xA5\xA6");
    EXPECT_EQ(Tcvn3ToUtf8("\xA7\xAD\xEAng"), "Đường");
    // A capital with a tone mark is written as its lower-case letter: ấ CA, ờ EA, ỵ FE.
    EXPECT_EQ(Vn("Ấ Ờ Ỵ Á"), "\xCA \xEA \xFE \xB8");
    // Decomposed input: a + circumflex + acute, and e + dot below + circumflex (canonical order).
    EXPECT_EQ(Utf8ToTcvn3("a\u0302\u0301 e\u0323\u0302 \u00E2\u0300"), "\xCA \xD6 \xC7");
    // No VN3 form: "?", also for a malformed byte and a lone combining mark.
    EXPECT_EQ(Utf8ToTcvn3("\u20AC\u00B0x\xFF\u0301"), "??x??");
}

TEST(VnCodec, Tcvn3UndefinedBytesUseTheirOwnCodePoints) {
    // The capitals with tone marks and the combining accents of the larger VN1 set are not VN3.
    EXPECT_EQ(Tcvn3Decode(0x80), U'\u0080');
    EXPECT_EQ(Tcvn3Decode(0x9F), U'\u009F');
    EXPECT_EQ(Tcvn3Decode(0xB0), U'\uF7B0');
    EXPECT_EQ(Tcvn3Decode(0xC4), U'\uF7C4');
    EXPECT_EQ(Tcvn3Decode(0xFF), U'\uF7FF');
    EXPECT_EQ(Tcvn3Encode(U'\u0301'), -1);
    EXPECT_EQ(Tcvn3Encode(U'Ấ'), -1);
}

TEST(VnCodec, VniWritesLettersAsBasePlusMark) {
    EXPECT_EQ(Utf8ToVni("Việt Nam"), "Vie\xE4t Nam");
    EXPECT_EQ(Utf8ToVni("Đường"), "\xD1\xF6\xF4\xF8ng");
    EXPECT_EQ(Utf8ToVni("Hồ Chí Minh"), "Ho\xE0 Ch\xED Minh");
    EXPECT_EQ(Utf8ToVni("Đà Nẵng, văn học"), "\xD1" "a\xF8 Na\xFCng, va\xEAn ho\xEF" "c");
    EXPECT_EQ(Utf8ToVni("Tỉnh Vĩnh Lịch Mỹ ỵ"), "T\xE6nh V\xF3nh L\xF2" "ch My\xF5 \xEE");
    EXPECT_EQ(Utf8ToVni("VIỆT ẮNG"), "VIE\xC4T A\xC9NG");
    EXPECT_EQ(VniToUtf8("Tie\xE1ng Vie\xE4t"), "Tiếng Việt");
    // Upper-case base with a lower-case mark is not a letter: each byte stays itself.
    EXPECT_EQ(Utf8ToVni(VniToUtf8("A\xF9")), "A\xF9");
}

TEST(VnCodec, VniRoundTrips) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        char32_t c = VniDecode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(c).second) << "byte " << b << " shares its code point";
        EXPECT_EQ(VniEncode(c), b);
    }
    EXPECT_EQ(Utf8ToVni(VniToUtf8(AllBytes())), AllBytes());
    // Every pair of bytes, since pairs are where letters are composed.
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) {
            std::string pair{static_cast<char>(a), static_cast<char>(b)};
            ASSERT_EQ(Utf8ToVni(VniToUtf8(pair)), pair) << a << " " << b;
        }
    EXPECT_EQ(VniToUtf8(Utf8ToVni(kAllLetters)), kAllLetters);
    const std::string text = "Bảng tọa độ điểm khống chế ĐƯỜNG CHUYỀN cấp 2, Nguyễn Thị Ưởng";
    EXPECT_EQ(VniToUtf8(Utf8ToVni(text)), text);
}

TEST(VnCodec, LooksLikeUtf8) {
    EXPECT_TRUE(LooksLikeUtf8("Đường"));
    EXPECT_TRUE(LooksLikeUtf8("abc \xC3\xA9"));
    EXPECT_FALSE(LooksLikeUtf8(""));
    EXPECT_FALSE(LooksLikeUtf8("plain ASCII"));
    EXPECT_FALSE(LooksLikeUtf8("\xA7\xAD\xEAng"));     // TCVN3
    EXPECT_FALSE(LooksLikeUtf8("ab\xC0\xAF"));         // overlong "/"
    EXPECT_FALSE(LooksLikeUtf8("\xC3\xA9 \xC3"));      // cut sequence at the end
    EXPECT_FALSE(LooksLikeUtf8("\xED\xA0\x80"));       // surrogate
    EXPECT_FALSE(LooksLikeUtf8("\xF4\x90\x80\x80"));   // above U+10FFFF
}

}  // namespace
}  // namespace qef
