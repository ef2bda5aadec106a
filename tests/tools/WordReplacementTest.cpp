#include <gtest/gtest.h>

#include <string>

#include "tools/WordReplacement.h"

namespace qef {
namespace {

std::string Replaced(std::string line, const WordPair& pair, const WordReplacementOptions& options = {}) {
    ReplaceWholeWords(line, pair, options);
    return line;
}

// The files' cases hold the rest: blanks after, no fill, P1 beside P12, the list file.
TEST(WordReplacement, WholeWordsEveryOccurrenceFilledAsAsked) {
    EXPECT_EQ(Replaced("P12 100", {"P12", "A"}, {.Fill = '0', .Side = FillSide::Before}), "00A 100");
    EXPECT_EQ(Replaced("P1\tP1|P1;P1,P1", {"P1", "Q"}), "Q\tQ|Q;Q,Q");
    EXPECT_EQ(Replaced("AP1 P1A P1.5", {"P1", "Q"}), "AP1 P1A P1.5");
    // A replacement holding its own word is not searched again.
    EXPECT_EQ(Replaced("A A", {"A", "A A"}), "A A A A");
    EXPECT_EQ(Replaced("x", {"", "y"}), "x");
}

}  // namespace
}  // namespace qef
