#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/text/AtomicFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The old text stays under the name until the new one is whole; a dropped file leaves nothing.
TEST(AtomicFile, ReplacesOnlyOnCommitAndLeavesNothingBehind) {
    test::TempDir dir;
    const std::string path = dir.File("kq.txt");
    test::WriteFileBytes(path, "old");
    {
        AtomicFile file(path);
        ASSERT_TRUE(file.IsOpen());
        file.Writer().WriteLine("cut");
        EXPECT_EQ(test::ReadFileBytes(path), "old");
    }
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"kq.txt"});
    EXPECT_EQ(test::ReadFileBytes(path), "old");

    AtomicFile file(path);
    ASSERT_TRUE(file.IsOpen());
    file.Writer().Write("A 1");
    file.Writer().WriteLine();
    file.Writer().WriteLine("B 2");
    EXPECT_EQ(test::ReadFileBytes(path), "old");
    EXPECT_TRUE(file.Commit());
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(test::ReadFileBytes(path), "A 1\r\nB 2\r\n");
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"kq.txt"});
}

// A folder that is missing, a name a folder takes, or a file the user made read-only (which the
// rename would replace, and root could write): false, and no stray file.
TEST(AtomicFile, AFileThatCannotBeWrittenLeavesTheFolderAsItWas) {
    test::TempDir dir;
    EXPECT_FALSE(WriteLinesAtomically(dir.File("gone/kq.txt"), {"x"}));
    fs::create_directory(dir.File("kq.txt"));
    EXPECT_FALSE(WriteLinesAtomically(dir.File("kq.txt"), {"x"}));
    EXPECT_TRUE(fs::is_directory(dir.File("kq.txt")));
    test::WriteFileBytes(dir.File("kept.txt"), "old");
    ::chmod(dir.File("kept.txt").c_str(), 0444);
    EXPECT_TRUE(IsReadOnlyFile(dir.File("kept.txt")));
    EXPECT_FALSE(WriteLinesAtomically(dir.File("kept.txt"), {"x"}));
    EXPECT_EQ(test::ReadFileBytes(dir.File("kept.txt")), "old");
    EXPECT_EQ(Entries(dir.Path()), (std::vector<std::string>{"kept.txt", "kq.txt"}));
    // Not read-only: a file someone may write, a folder, a name that is not there.
    ::chmod(dir.File("kept.txt").c_str(), 0644);
    EXPECT_FALSE(IsReadOnlyFile(dir.File("kept.txt")) || IsReadOnlyFile(dir.File("kq.txt")) ||
                 IsReadOnlyFile(dir.File("none.txt")));
}

// The result gets the rights any new file of the user gets, not those of a private scratch file.
TEST(AtomicFile, TheResultHasTheUsualRights) {
    test::TempDir dir;
    const mode_t old = ::umask(022);
    const bool written = WriteLinesAtomically(dir.File("kq.txt"), {"x"});
    ::umask(old);
    ASSERT_TRUE(written);
    EXPECT_EQ(fs::status(dir.File("kq.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.txt")), "x\r\n");
}

}  // namespace
}  // namespace qef
