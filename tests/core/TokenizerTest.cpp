#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/Tokenizer.h"

namespace qef {
namespace {

// Count followed by the stored fields up to `shown` (default: the count).
std::vector<std::string> Split(std::string_view line, int mode, bool keep = false, int width = 10, int shown = 0) {
    static auto fields = std::make_unique<FieldArray>();
    const int n = SplitFields(line, *fields, mode, keep, width);
    std::vector<std::string> out{std::to_string(n)};
    for (int i = 1; i <= (shown ? shown : n); ++i) out.push_back((*fields)[i]);
    return out;
}
using V = std::vector<std::string>;

TEST(Tokenizer, CommentsAndSeparators) {
    EXPECT_EQ(Split("//Goc", -1), V{"0"});
    EXPECT_EQ(Split("//Goc", -1, true), (V{"1", "//Goc"}));
    EXPECT_EQ(Split("A B //x", -1), (V{"2", "A", "B"}));
    EXPECT_EQ(Split("A B C 90.3045//kt", -1), (V{"4", "A", "B", "C", "90.3045"}));
    EXPECT_EQ(Split("a,b,//x", kSepComma), (V{"2", "a", "b"}));
    EXPECT_EQ(Split("  12   34.5  6 ", kSepBlank), (V{"3", "12", "34.5", "6"}));
    EXPECT_EQ(Split("a,,b,", kSepComma), (V{"4", "a", "", "b", ""}));
    EXPECT_EQ(Split("a, b", kSepComma), (V{"2", "a", " b"}));
    EXPECT_EQ(Split("x;y", kSepSemicolon), (V{"2", "x", "y"}));
    EXPECT_EQ(Split("P1|100", kSepBar), (V{"2", "P1", "100"}));
    EXPECT_EQ(Split("P1\t100\t200\t\t", kSepTab), (V{"3", "P1", "100", "200"}));
    EXPECT_EQ(Split("\t\t\t", -1), (V{"1", ""}));
    EXPECT_EQ(Split("1,5 2", -1), (V{"2", "1,5", "2"}));
    EXPECT_EQ(Split("     ", kSepComma), V{"0"});
    EXPECT_EQ(Split("a b", 6, false, 10, 1), (V{"0", ""}));
}

TEST(Tokenizer, LimitsOnFieldsAndLength) {
    std::string words;
    for (int i = 1; i <= 20; ++i) words += "w" + std::to_string(i) + " ";
    Split(std::string(60, 'x'), kSepFixed, false, 1);  // fills cells 1..31
    const V twenty = Split(words, kSepBlank, false, 10, 21);
    EXPECT_EQ(twenty[0], "20");
    EXPECT_EQ(twenty[16], "w16");
    EXPECT_EQ(V(twenty.begin() + 17, twenty.end()), V(5, ""));
    EXPECT_EQ(Split("ABCDEFGHIJKLMNOPQRST 1", -1), (V{"2", "ABCDEFGHIJKLMNO", "1"}));
    EXPECT_EQ(Split(std::string(253, 'x') + " YZ", kSepBlank)[2], "Y");  // first 255 characters only
    EXPECT_EQ(Split(std::string(300, ','), kSepComma, false, 10, 1)[0], "256");
}

TEST(Tokenizer, FixedWidthAndDetection) {
    EXPECT_EQ(Split("PT1        1234.56789", -1), (V{"2", "PT1       ", "1234.56789"}));
    EXPECT_EQ(Split("PT1        1234.56789 ", kSepFixed), (V{"3", "PT1       ", "1234.56789", ""}));
    EXPECT_EQ(Split(std::string(300, 'a'), kSepFixed)[24], "aa");  // cut at 255, not wrapped
    EXPECT_EQ(Split("a b c", kSepFixed, false, 0), (V{"3", "a", "b", "c"}));
    EXPECT_EQ(Split("a b c", kSepFixed, false, -5)[0], "3");

    const std::string line = JoinFields("P1", false, kSepFixed, 10) + JoinFields("100.5", false, kSepFixed, 10) +
                             JoinFields("200.25", true, kSepFixed, 10);
    EXPECT_EQ(Split(line, -1), (V{"3", "P1        ", "100.5     ", "200.25"}));
    // Blank columns alone do not make a plain blank-separated line fixed width.
    EXPECT_EQ(DetectSeparator("P1 100.000 200.000", 10), kSepBlank);
    EXPECT_EQ(DetectSeparator("a\tb,c", 10), kSepTab);
    EXPECT_EQ(DetectSeparator("a;b,c", 10), kSepComma);
    EXPECT_EQ(DetectSeparator("a;b|c", 10), kSepSemicolon);
    EXPECT_EQ(DetectSeparator("a|b", 10), kSepBar);
    EXPECT_EQ(DetectSeparator("abc", 10), kSepBlank);
}

TEST(Tokenizer, SplitFieldsToLongCells) {
    LongFieldArray f;
    f[1] = "keep";
    EXPECT_EQ(SplitFieldsTo("   ", f, -1, 10), 0);
    EXPECT_EQ(f[1], "keep");
    std::string line(200, 'q');
    for (int i = 2; i <= 12; ++i) line += "," + std::to_string(i);
    EXPECT_EQ(SplitFieldsTo(line, f, -1, 10), 12);
    EXPECT_EQ(f[1], std::string(200, 'q'));
    EXPECT_EQ(f[11] + "|" + f[12], "11|");
    EXPECT_EQ(SplitFieldsTo("a //b", f, kSepBlank, 10), 2);
    EXPECT_EQ(f[2], "//b");
    EXPECT_EQ(SplitFieldsTo("a|b", f, kSepBar, 10), 0);
    std::string digits;
    for (int i = 0; i < 255; ++i) digits += static_cast<char>('0' + i % 10);
    EXPECT_EQ(SplitFieldsTo(digits, f, kSepFixed, 1), 128);  // counted, 16 stored
    EXPECT_EQ(f[16], "0");
}

TEST(Tokenizer, JoinFields) {
    EXPECT_EQ(JoinFields("AB", false, kSepFixed, 6), "AB     ");
    EXPECT_EQ(JoinFields("AB", true, kSepFixed, 6), "AB");
    EXPECT_EQ(JoinFields("ABCDEFGH", false, kSepFixed, 6), "ABCDEFGH ");
    std::string all;
    for (int mode : {0, 1, 2, 3, 5, 9}) all += JoinFields("A", false, mode, 6);
    EXPECT_EQ(all, "A A\tA,A;A|A ");  // an unknown mode still separates
    EXPECT_EQ(JoinFields(std::string(300, 'z'), false, kSepComma, 6), std::string(255, 'z'));
}

}  // namespace
}  // namespace qef
