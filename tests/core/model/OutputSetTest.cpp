#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "support/Fakes.h"

namespace qef {
namespace {

namespace fs = std::filesystem;

// A run that died while moving a committed set: the next run of the same result moves the rest.
// A run that died before committing leaves a folder that the next run clears.
TEST(OutputSet, TheNextRunFinishesACommittedSetAndClearsAnUncommittedOne) {
    test::TempDir dir;
    const std::string result = dir.File("kq.dta");
    test::WriteFileBytes(result, "old result");
    test::WriteFileBytes(dir.File("kq.in6"), "old log");
    test::WriteFileBytes(dir.File("kq.in"), "old report");

    // Committed: the journal names three files; kq.in was moved before the crash.
    const std::string committed = dir.File(".kq.dta.~1-aa");
    fs::create_directory(committed);
    test::WriteFileBytes(committed + "/kq.dta", "new result");
    test::WriteFileBytes(committed + "/kq.in6", "new log");
    test::WriteFileBytes(dir.File("kq.in"), "new report");
    test::WriteFileBytes(committed + "/~~set~~", "kq.dta\r\nkq.in6\r\nkq.in\r\n");
    // Not committed, by a process that is gone.
    const pid_t gone = ::fork();
    if (gone == 0) _exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::string dead = dir.File(".kq.dta.~" + std::to_string(gone) + "-bb");
    fs::create_directory(dead);
    test::WriteFileBytes(dead + "/kq.dta", "cut");
    // Another result's staging folder is not this run's business.
    const std::string other = dir.File(".kq2.dta.~1-cc");
    fs::create_directory(other);

    OutputSet::Recover(result);
    EXPECT_EQ(test::ReadFileBytes(result), "new result");
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in6")), "new log");
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in")), "new report");
    EXPECT_FALSE(fs::exists(committed));
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(other));
}

// Staged names keep their file names; messages name the final files; a discarded set leaves the
// old files and nothing else; a name a folder takes stays unwritable.
TEST(OutputSet, StagesDiscardsAndCommits) {
    test::TempDir dir;
    const std::string result = dir.File("kq.dta");
    test::WriteFileBytes(result, "old");
    fs::create_directory(dir.File("kq.in1"));
    {
        OutputSet set;
        ASSERT_TRUE(set.Begin(result));
        const std::string staged = set.Staged(result);
        EXPECT_NE(staged, result);
        EXPECT_EQ(fs::path(staged).filename(), "kq.dta");
        EXPECT_EQ(set.Unstaged("Lỗi ghi file " + staged), "Lỗi ghi file " + result);
        EXPECT_TRUE(WriteAllLines(staged, {"new"}));
        EXPECT_FALSE(WriteAllLines(set.Staged(dir.File("kq.in1")), {"x"}));
        EXPECT_EQ(test::ReadFileBytes(result), "old");
    }  // not committed
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 2u);
    EXPECT_EQ(test::ReadFileBytes(result), "old");

    OutputSet set;
    ASSERT_TRUE(set.Begin(result));
    ASSERT_TRUE(WriteAllLines(set.Staged(result), {"new"}));
    ASSERT_TRUE(WriteAllLines(set.Staged(dir.File("kq.in6")), {"log"}));
    EXPECT_TRUE(set.Commit());
    EXPECT_EQ(test::ReadFileBytes(result), "new\r\n");
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in6")), "log\r\n");
    EXPECT_TRUE(fs::is_directory(dir.File("kq.in1")));
    entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 3u);
}

}  // namespace
}  // namespace qef
