// Every byte of the TCVN3 and VNI tables against the published tables, typed as data in
// tests/data/text/charsets/ (one line per byte; for VNI also one line per letter).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/text/VnCodec.h"

namespace qef {
namespace {

struct ByteLine {
    int Byte = 0;
    std::vector<char32_t> CodePoints;  // empty: the byte has no use in the table
    std::string Text;                  // the letter, or what the byte is
};

struct LetterLine {
    std::string Letter;  // UTF-8
    char32_t CodePoint = 0;
    std::string Bytes;
};

struct Table {
    std::vector<ByteLine> Bytes;
    std::vector<LetterLine> Letters;
};

char32_t CodePointOf(const std::string& word) { return static_cast<char32_t>(std::stoul(word.substr(2), nullptr, 16)); }

Table ReadTable(const std::string& name) {
    Table table;
    std::ifstream in(QEF_TEST_DATA "/text/charsets/" + name);
    bool letters = false;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#' || line == "[bytes]") continue;
        if (line == "[letters]") {
            letters = true;
            continue;
        }
        std::istringstream words(line);
        std::string first, word;
        words >> first;
        if (letters) {
            LetterLine l;
            l.Letter = first;
            words >> word;
            l.CodePoint = CodePointOf(word);
            while (words >> word) l.Bytes += static_cast<char>(std::stoi(word, nullptr, 16));
            table.Letters.push_back(l);
            continue;
        }
        ByteLine b;
        b.Byte = std::stoi(first, nullptr, 16);
        while (words >> word && word.starts_with("U+")) b.CodePoints.push_back(CodePointOf(word));
        std::getline(words, b.Text);
        b.Text = word + b.Text;
        table.Bytes.push_back(b);
    }
    return table;
}

char32_t FirstCodePoint(const std::string& utf8) {
    std::size_t pos = 0;
    return utf8.empty() ? 0 : NextUtf8(utf8, pos);
}

std::string Hex(int b) {
    char s[8];
    std::snprintf(s, sizeof s, "%02X", b);
    return s;
}

// Every Vietnamese letter but the plain ASCII ones, with its code point.
std::map<char32_t, std::string> VietnameseLetters() {
    std::map<char32_t, std::string> letters;
    for (const LetterLine& l : ReadTable("vni.txt").Letters) letters[l.CodePoint] = l.Letter;
    return letters;
}

TEST(VnTables, EveryTcvn3ByteIsThePublishedOne) {
    const Table table = ReadTable("tcvn3.txt");
    ASSERT_EQ(table.Bytes.size(), 256u);
    const std::map<char32_t, std::string> letters = VietnameseLetters();
    ASSERT_EQ(letters.size(), 134u);
    std::map<char32_t, int> byteOf;
    for (const ByteLine& b : table.Bytes) {
        if (!b.CodePoints.empty()) byteOf[b.CodePoints[0]] = b.Byte;
    }
    for (const ByteLine& b : table.Bytes) {
        ASSERT_EQ(b.Byte, &b - table.Bytes.data()) << "tcvn3.txt is not one line per byte in order";
        const auto byte = static_cast<unsigned char>(b.Byte);
        const char32_t got = Tcvn3Decode(byte);
        if (!b.CodePoints.empty()) {
            ASSERT_EQ(b.CodePoints.size(), 1u) << Hex(b.Byte);
            EXPECT_EQ(got, b.CodePoints[0]) << "byte " << Hex(b.Byte) << " should be " << b.Text;
            EXPECT_EQ(Tcvn3Encode(b.CodePoints[0]), b.Byte) << b.Text;
            if (b.Byte >= 0x80 && !b.Text.starts_with("(")) {
                EXPECT_EQ(Tcvn3ToUtf8(std::string(1, static_cast<char>(byte))), b.Text);
            }
        } else {
            // Undefined in VN3: its own code point, which is no letter and no other byte's, and back.
            EXPECT_EQ(letters.count(got), 0u) << "undefined byte " << Hex(b.Byte) << " reads as a letter";
            EXPECT_EQ(byteOf.count(got), 0u) << "undefined byte " << Hex(b.Byte);
            EXPECT_EQ(Tcvn3Encode(got), b.Byte) << Hex(b.Byte);
        }
    }
    // Every letter is written as its VN3 byte; a capital VN3 lacks as its small letter.
    for (const auto& [cp, letter] : letters) {
        const auto own = byteOf.find(cp);
        std::string want;
        if (own != byteOf.end()) {
            want = std::string(1, static_cast<char>(own->second));
        } else {
            const std::string small = Tcvn3ToUtf8(Utf8ToTcvn3(letter));
            ASSERT_TRUE(byteOf.count(FirstCodePoint(small))) << letter << " has no VN3 byte";
            want = Utf8ToTcvn3(small);
            EXPECT_EQ(UpperVietnamese(small), letter) << letter << " is written as " << small;
        }
        EXPECT_EQ(Utf8ToTcvn3(letter), want) << letter;
    }
}

TEST(VnTables, EveryVniByteAndLetterIsThePublishedOne) {
    const Table table = ReadTable("vni.txt");
    ASSERT_EQ(table.Bytes.size(), 256u);
    ASSERT_EQ(table.Letters.size(), 134u);
    const std::map<char32_t, std::string> letters = VietnameseLetters();
    for (const ByteLine& b : table.Bytes) {
        ASSERT_EQ(b.Byte, &b - table.Bytes.data()) << "vni.txt is not one line per byte in order";
        const auto byte = static_cast<unsigned char>(b.Byte);
        const char32_t got = VniDecode(byte);
        const bool mark = b.Text.find("mark") != std::string::npos;
        if (!b.CodePoints.empty() && !mark) {
            EXPECT_EQ(got, b.CodePoints[0]) << "byte " << Hex(b.Byte) << " should be " << b.Text;
            EXPECT_EQ(VniEncode(b.CodePoints[0]), b.Byte) << b.Text;
        } else if (b.Byte >= 0x80) {
            // A mark byte, or a byte of no use, alone: never a letter, and back to itself.
            EXPECT_EQ(letters.count(got), 0u) << "byte " << Hex(b.Byte) << " (" << b.Text << ") reads as a letter";
            EXPECT_EQ(VniEncode(got), b.Byte) << Hex(b.Byte);
        }
    }
    for (const LetterLine& l : table.Letters) {
        EXPECT_EQ(Utf8ToVni(l.Letter), l.Bytes) << l.Letter;
        EXPECT_EQ(VniToUtf8(l.Bytes), l.Letter) << l.Letter;
    }
}

}  // namespace
}  // namespace qef
