#include "core/text/SplitLines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Fakes.h"

namespace qef {
namespace {

// "<line number>:<line>:<count>" followed by "|<field>" for each field.
std::vector<std::string> ReadSplit(const std::string& path, int width) {
    std::vector<std::string> out;
    SplitLines lines(path, width);
    EXPECT_TRUE(lines.IsOpen());
    while (lines.Next()) {
        std::string entry = std::to_string(lines.LineNumber()) + ":" + lines.Line() + ":" +
                            std::to_string(lines.Count());
        for (int i = 1; i <= lines.Count(); ++i) entry += "|" + lines.Fields()[i];
        out.push_back(entry);
    }
    return out;
}

TEST(SplitLines, PhysicalLineNumbersAndFieldsOfEachLine) {
    test::TempDir dir;
    const std::string path = dir.File("in.txt");
    // Blank and comment lines keep their numbers; each line finds its own separator; the
    // trailing Ctrl-Z after a last line without a line end is no line of its own.
    test::WriteFileBytes(path, "A B 1  \r\n\r\n// note\r\nP1,2.5,3 //x\r\n   \r\nPT1        1234.5\nC\t4\x1A");
    const std::vector<std::string> expected = {
        "1:A B 1:3|A|B|1",
        "2::0",
        "3:// note:0",
        "4:P1,2.5,3 //x:3|P1|2.5|3",
        "5::0",
        "6:PT1        1234.5:2|PT1       |1234.5",
        "7:C\t4:2|C|4",
    };
    EXPECT_EQ(ReadSplit(path, 10), expected);

    SplitLines missing(dir.File("none.txt"), 10);
    EXPECT_FALSE(missing.IsOpen() || missing.Next());
}

}  // namespace
}  // namespace qef
