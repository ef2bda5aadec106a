#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
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
    EXPECT_EQ(dir.EntryCount(), 2u);
    EXPECT_EQ(test::ReadFileBytes(result), "old");

    OutputSet set;
    ASSERT_TRUE(set.Begin(result));
    ASSERT_TRUE(WriteAllLines(set.Staged(result), {"new"}));
    ASSERT_TRUE(WriteAllLines(set.Staged(dir.File("kq.in6")), {"log"}));
    EXPECT_TRUE(set.Commit());
    EXPECT_EQ(test::ReadFileBytes(result), "new\r\n");
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in6")), "log\r\n");
    EXPECT_TRUE(fs::is_directory(dir.File("kq.in1")));
    EXPECT_EQ(dir.EntryCount(), 3u);
}

// The journal holds names only. A planted journal whose entries lead out of its folders ("../x",
// "..", the journal itself) moves none of them; its own files move, and the folder goes. A
// staging folder that is a link to another folder is no set of this result: nothing comes from it.
TEST(OutputSet, AJournalMovesNothingOutsideItsFolders) {
    test::TempDir dir;
    const std::string sub = dir.File("sub");
    fs::create_directory(sub);
    test::WriteFileBytes(sub + "/notes.txt", "notes");
    const std::string planted = sub + "/.kq.dta.~1-aa";
    fs::create_directory(planted);
    test::WriteFileBytes(planted + "/kq.dta", "new result");
    test::WriteFileBytes(planted + "/~~set~~", "../notes.txt\r\n~~set~~\r\n..\r\nkq.dta\r\n");
    const std::string elsewhere = dir.File("elsewhere");
    fs::create_directory(elsewhere);
    test::WriteFileBytes(elsewhere + "/~~set~~", "kq.dta\r\n");
    test::WriteFileBytes(elsewhere + "/kq.dta", "foreign");
    fs::create_directory_symlink(elsewhere, sub + "/.kq.dta.~1-bb");

    OutputSet::Recover(sub + "/kq.dta");
    EXPECT_EQ(test::ReadFileBytes(sub + "/kq.dta"), "new result");
    EXPECT_EQ(test::ReadFileBytes(sub + "/notes.txt"), "notes");
    EXPECT_FALSE(fs::exists(dir.File("notes.txt")));
    EXPECT_FALSE(fs::exists(sub + "/~~set~~"));
    EXPECT_FALSE(fs::exists(planted));
    EXPECT_EQ(test::ReadFileBytes(elsewhere + "/kq.dta"), "foreign");
    EXPECT_TRUE(fs::is_directory(sub));
}

// A read-only file of the set stays unwritable when staged; a staged file named like the journal
// fails the commit before anything moves.
TEST(OutputSet, AReadOnlyFileOrOneNamedLikeTheJournalIsNotReplaced) {
    test::TempDir dir;
    const std::string result = dir.File("kq.dta");
    test::WriteFileBytes(result, "old");
    test::WriteFileBytes(dir.File("kq.in"), "kept");
    ::chmod(dir.File("kq.in").c_str(), 0444);
    test::WriteFileBytes(dir.File("~~set~~"), "mine");
    OutputSet set;
    ASSERT_TRUE(set.Begin(result));
    EXPECT_FALSE(WriteAllLines(set.Staged(dir.File("kq.in")), {"new"}));
    ASSERT_TRUE(WriteAllLines(set.Staged(result), {"new"}));
    ASSERT_TRUE(WriteAllLines(set.Staged(dir.File("~~set~~")), {"new"}));
    EXPECT_FALSE(set.Commit());
    EXPECT_EQ(test::ReadFileBytes(result), "old");
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in")), "kept");
    EXPECT_EQ(test::ReadFileBytes(dir.File("~~set~~")), "mine");
    EXPECT_EQ(dir.EntryCount(), 3u);
}

// What every command asks before it writes: an output is no input (through a link too), no
// other output, not named like the set's journal and not read-only; each refusal names the file.
TEST(OutputNameCheck, RefusesEachKindOfCollisionNamingTheFile) {
    test::TempDir dir;
    const std::string in = dir.File("do.txt");
    test::WriteFileBytes(in, "A B 10\r\n");
    fs::create_symlink("do.txt", dir.File("link.txt"));
    test::WriteFileBytes(dir.File("old.dta"), "old");
    ::chmod(dir.File("old.dta").c_str(), 0444);
    const struct {
        std::vector<std::string> outputs;
        std::string said;  // empty: allowed
    } cases[] = {
        {{dir.File("kq.dta"), dir.File("kq.in")}, ""},
        {{dir.File("kq.dta"), dir.File("link.txt")}, "File kết quả trùng tên file số liệu : " + dir.File("link.txt")},
        {{dir.File("kq.dta"), dir.File("./kq.dta")}, "Hai file kết quả trùng tên : " + dir.File("./kq.dta")},
        {{dir.File("kq.dta"), dir.File("~~set~~")},
         "File kết quả trùng tên file nhật ký của chương trình : " + dir.File("~~set~~")},
        {{dir.File("kq.dta"), dir.File("old.dta")}, "Không ghi được file " + dir.File("old.dta") + " : file chỉ đọc"},
    };
    for (const auto& c : cases) {
        test::ScriptedInteraction ui;
        EXPECT_EQ(CheckOutputNames({in}, c.outputs, ui), c.said.empty()) << c.said;
        const std::vector<std::string> said = c.said.empty() ? std::vector<std::string>{} : std::vector{Vn(c.said)};
        EXPECT_EQ(ui.Messages(), said);
    }
}

}  // namespace
}  // namespace qef
