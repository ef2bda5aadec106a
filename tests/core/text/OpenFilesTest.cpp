#include <gtest/gtest.h>

#include <string>

#include "core/text/OpenFiles.h"
#include "core/text/TextFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// A file kept open is the same file a writer by name sees: what either adds lands after what is
// there, and a rewrite starts from the first byte, with no gap where the old text was.
TEST(OpenFiles, KeptOpenFileAgreesWithWritersByName) {
    test::TempDir dir;
    const std::string path = dir.File("kq.in");
    test::WriteFileBytes(path, "left from an earlier run\r\n");
    OpenFiles files;
    ASSERT_TRUE(files.RewriteLines(path, {"A"}));
    EXPECT_EQ(test::ReadFileBytes(path), "A\r\n");  // flushed: a reader finds it at once
    TextFileWriter* first = files.Append(path);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(files.Append(path), first);  // opened once, whatever the number of writes

    {
        TextFileWriter other(path, true);
        other.WriteLine("by name");
    }
    ASSERT_TRUE(files.AppendLines(path, {"B", "C"}));
    EXPECT_EQ(test::ReadFileBytes(path), "A\r\nby name\r\nB\r\nC\r\n");

    ASSERT_TRUE(files.RewriteLines(path, {"new"}));
    ASSERT_TRUE(files.AppendLines(path, {"more"}));
    EXPECT_EQ(test::ReadFileBytes(path), "new\r\nmore\r\n");
    EXPECT_EQ(files.Close(), nullptr);
    EXPECT_EQ(test::ReadFileBytes(path), "new\r\nmore\r\n");
}

// A write that fails is told at the flush that follows it, and the file is let go, so the next
// write opens it again; the close names the first file whose writing failed.
TEST(OpenFiles, FailedWritesAreToldAndFilesThatCannotOpenGiveNothing) {
    test::TempDir dir;
    OpenFiles files;
    EXPECT_EQ(files.Append(dir.File("no/such/folder/kq.in")), nullptr);
    EXPECT_FALSE(files.AppendLines(dir.File("no/such/folder/kq.in"), {"x"}));
    EXPECT_TRUE(files.Flush(dir.File("never-written")));  // nothing waits there

    const std::string good = dir.File("kq.dta");
    ASSERT_TRUE(files.AppendLines(good, {"P1\t1.000\t2.000"}));
    // A full disk: the device accepts the open and refuses every write.
    TextFileWriter* full = files.Append("/dev/full");
    ASSERT_NE(full, nullptr);
    full->WriteLine("rows");
    EXPECT_FALSE(files.Flush("/dev/full"));
    TextFileWriter* again = files.Append("/dev/full");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(files.Flush("/dev/full"));  // a fresh file, nothing written yet
    again->WriteLine(std::string(1 << 16, 'x'));  // more than the buffer holds: it reaches the device
    files.Append(good)->WriteLine("P2\t3.000\t4.000");
    const std::string* failed = files.Close();
    ASSERT_NE(failed, nullptr);
    EXPECT_EQ(*failed, "/dev/full");
    EXPECT_EQ(test::ReadFileBytes(good), "P1\t1.000\t2.000\r\nP2\t3.000\t4.000\r\n");
}

// A copy of a run's record opens its own files: both write and close without touching the other's.
TEST(OpenFiles, CopyOpensItsOwnFiles) {
    test::TempDir dir;
    const std::string path = dir.File("kq.in");
    OpenFiles files;
    ASSERT_TRUE(files.RewriteLines(path, {"1"}));
    OpenFiles copy = files;
    ASSERT_TRUE(copy.AppendLines(path, {"2"}));
    EXPECT_EQ(copy.Close(), nullptr);
    ASSERT_TRUE(files.AppendLines(path, {"3"}));
    files = copy;  // closes what it held
    EXPECT_EQ(files.Close(), nullptr);
    EXPECT_EQ(test::ReadFileBytes(path), "1\r\n2\r\n3\r\n");
}

}  // namespace
}  // namespace qef
