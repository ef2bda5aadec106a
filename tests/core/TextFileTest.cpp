#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/TextFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

// Lines of a file with the physical number of each.
std::vector<std::pair<long long, std::string>> ReadNumbered(const std::string& path) {
    std::vector<std::pair<long long, std::string>> out;
    LineReader reader(path);
    EXPECT_TRUE(reader.IsOpen());
    std::string line;
    while (reader.Next(line)) out.emplace_back(reader.LineNumber(), line);
    EXPECT_FALSE(reader.Next(line));  // stays at the end
    return out;
}

using Lines = std::vector<std::pair<long long, std::string>>;

TEST(TextFile, LineEndsAndEndOfFile) {
    TempDir dir;
    const std::string path = dir.File("a.txt");

    WriteFileBytes(path, "a\r\nb\nc");
    EXPECT_EQ(ReadNumbered(path), (Lines{{1, "a"}, {2, "b"}, {3, "c"}}));

    WriteFileBytes(path, "\n \r\n\r\nx\r\n");
    EXPECT_EQ(ReadNumbered(path), (Lines{{1, ""}, {2, " "}, {3, ""}, {4, "x"}}));

    WriteFileBytes(path, "x\r\ny\r\n\x1A");
    EXPECT_EQ(ReadNumbered(path), (Lines{{1, "x"}, {2, "y"}}));

    WriteFileBytes(path, "x\r\ny\x1A");
    EXPECT_EQ(ReadNumbered(path), (Lines{{1, "x"}, {2, "y"}}));

    // A Ctrl-Z inside the text is data.
    WriteFileBytes(path, "a\x1A" "b\r\n");
    EXPECT_EQ(ReadNumbered(path), (Lines{{1, "a\x1A" "b"}}));

    WriteFileBytes(path, "");
    EXPECT_TRUE(ReadNumbered(path).empty());

    LineReader missing(dir.File("none.txt"));
    std::string line;
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Next(line));
}

TEST(TextFile, LinesLongerThanTheReadChunk) {
    TempDir dir;
    const std::string path = dir.File("long.txt");
    const std::string longLine(200000, 'q');
    // The CR of the first line is the last byte of the first 64 KiB chunk, its LF the first of the next.
    const std::string edge = std::string(65535, 'e');
    WriteFileBytes(path, edge + "\r\n" + longLine + "\r\nend");
    EXPECT_EQ(ReadNumbered(path), (Lines{{1, edge}, {2, longLine}, {3, "end"}}));

    // Many short lines across chunk borders.
    std::string bytes;
    std::vector<std::string> expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back("P" + std::to_string(i) + " 1000.000 2000.000");
        bytes += expected.back() + (i % 2 ? "\n" : "\r\n");
    }
    WriteFileBytes(path, bytes);
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadAllLines(path, lines));
    EXPECT_EQ(lines, expected);
}

TEST(TextFile, WriterUsesCrLfAndAppends) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    {
        TextFileWriter writer(path);
        ASSERT_TRUE(writer.IsOpen());
        writer.Write("ab");
        writer.WriteLine("c");
        writer.WriteLine();
        EXPECT_TRUE(writer.Close());
    }
    EXPECT_EQ(ReadFileBytes(path), "abc\r\n\r\n");
    {
        TextFileWriter writer(path, true);
        writer.WriteLine("d");
    }  // closed by the destructor
    EXPECT_EQ(ReadFileBytes(path), "abc\r\n\r\nd\r\n");

    ASSERT_TRUE(WriteAllLines(path, {"x", "y"}));
    EXPECT_EQ(ReadFileBytes(path), "x\r\ny\r\n");

    TextFileWriter bad(dir.File("no/such/folder.txt"));
    EXPECT_FALSE(bad.IsOpen());
    EXPECT_FALSE(bad.Close());
    EXPECT_FALSE(WriteAllLines(dir.File("no/such/folder.txt"), {"x"}));
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(dir.Path()));  // a folder is not a file
}

}  // namespace
}  // namespace qef
