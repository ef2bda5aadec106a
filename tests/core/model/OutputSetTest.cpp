#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/model/OutputNames.h"
#include "core/model/OutputSet.h"
#include "core/text/TextFile.h"
#include "core/text/VnCodec.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/MoveFaults.h"

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

// A set of `result` whose run died at its first move, after its journal: the run folder it left.
std::string KilledAtTheFirstMove(const test::TempDir& dir, const std::string& result,
                                 const std::vector<std::pair<std::string, std::string>>& files) {
    test::WaitChild(test::StartChild([&] {
        OutputSet set;
        if (!set.Begin(result)) return 1;
        for (const auto& [name, bytes] : files) test::WriteFileBytes(set.Staged(dir.File(name)), bytes);
        test::WatchMoves({dir.Path()}, test::MoveFault::Kill, 1);
        set.Commit();
        return 2;
    }));
    for (const auto& area : fs::directory_iterator(dir.Path()))
        if (area.path().filename().string().rfind(".~qef", 0) == 0)
            for (const auto& run : fs::directory_iterator(area.path()))
                if (run.is_directory()) return run.path().string() + "/";
    return "";
}

// The journal of a killed run is finished by the next run; one that names an input of that run,
// a folder the set never made, an absolute name or a staged link is set aside untouched, then
// and later.
TEST(OutputSet, AJournalNamingAnInputAFolderElsewhereOrALinkIsNotActedOn) {
    const auto oldFolder = [](const test::TempDir& dir) {
        test::WriteFileBytes(dir.File("kq.dta"), "old result");
        test::WriteFileBytes(dir.File("do.txt"), "input");
        test::WriteFileBytes(dir.File("outside.txt"), "outside");
    };
    {  // untouched: finished
        test::TempDir dir;
        oldFolder(dir);
        ASSERT_FALSE(KilledAtTheFirstMove(dir, dir.File("kq.dta"), {{"kq.dta", "new result"}}).empty());
        EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "old result");
        OutputSet set;
        ASSERT_TRUE(set.Begin(dir.File("kq.dta"), {dir.File("do.txt")}));
        set.Discard();
        EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "new result");
        EXPECT_EQ(dir.EntryCount(), 3u);
    }
    const struct {
        const char* what;
        bool stagesInput;
        std::function<void(const test::TempDir&, const std::string& run)> plant;
    } cases[] = {
        {"the run's input", true, [](const test::TempDir&, const std::string&) {}},
        {"an absolute name", false,
         [](const test::TempDir& dir, const std::string& run) {
             std::string journal = test::ReadFileBytes(run + "~~set~~");
             journal += "E\t0\t1\t" + dir.File("outside.txt") + "\r\n";
             test::WriteFileBytes(run + "~~set~~", journal);
         }},
        {"a folder the set never made", false,
         [](const test::TempDir& dir, const std::string& run) {
             const std::string token = fs::path(run.substr(0, run.size() - 1)).filename().string().substr(1);
             fs::create_directories(dir.File("sub/.~qes" + token + "/n"));
             test::WriteFileBytes(dir.File("sub/.~qes" + token + "/n/outside.txt"), "planted");
             test::WriteFileBytes(dir.File("sub/outside.txt"), "outside");
             std::string journal = test::ReadFileBytes(run + "~~set~~");
             journal += "F\t" + dir.File("sub/") + "\r\nE\t1\t1\toutside.txt\r\n";
             test::WriteFileBytes(run + "~~set~~", journal);
         }},
        {"a staged link", false,
         [](const test::TempDir& dir, const std::string& run) {
             fs::remove(run + "n/kq.dta");
             fs::create_symlink(dir.File("outside.txt"), run + "n/kq.dta");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        oldFolder(dir);
        std::vector<std::pair<std::string, std::string>> staged{{"kq.dta", "new result"}};
        if (c.stagesInput) staged.emplace_back("do.txt", "planted");
        const std::string run = KilledAtTheFirstMove(dir, dir.File("kq.dta"), staged);
        ASSERT_FALSE(run.empty());
        c.plant(dir, run);
        OutputSet set;
        ASSERT_TRUE(set.Begin(dir.File("kq.dta"), {dir.File("do.txt")}));
        set.Discard();
        OutputSet::Recover(dir.File("kq.dta"));
        EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "old result");
        EXPECT_EQ(test::ReadFileBytes(dir.File("do.txt")), "input");
        EXPECT_EQ(test::ReadFileBytes(dir.File("outside.txt")), "outside");
        if (fs::exists(dir.File("sub"))) {
            EXPECT_EQ(test::ReadFileBytes(dir.File("sub/outside.txt")), "outside");
        }
        EXPECT_TRUE(fs::exists(run + "n/kq.dta") || fs::is_symlink(run + "n/kq.dta"));
    }
}

// A run writing another result into the folder finishes what a killed run left, and clears a run
// that died before its commit; nothing hidden stays.
TEST(OutputSet, ARunOfAnotherResultFinishesWhatAKilledRunLeftInTheFolder) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("kq.dta"), "old result");
    test::WriteFileBytes(dir.File("kq.in"), "old report");
    ASSERT_FALSE(
        KilledAtTheFirstMove(dir, dir.File("kq.dta"), {{"kq.dta", "new result"}, {"kq.in", "new report"}}).empty());
    test::WaitChild(test::StartChild([&] {
        OutputSet set;
        if (!set.Begin(dir.File("tam.dta"))) return 1;
        test::WriteFileBytes(set.Staged(dir.File("tam.dta")), "cut");
        _exit(0);  // dies before its commit
    }));
    std::string failure;
    ASSERT_TRUE(WriteSingleOutput(dir.File("sort.txt"), std::vector<std::string>{"a"}, failure)) << failure;
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "new result");
    EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in")), "new report");
    EXPECT_EQ(test::ReadFileBytes(dir.File("sort.txt")), "a\r\n");
    EXPECT_EQ(dir.EntryCount(), 3u);
}

// A refused move puts back what was moved; a run killed while putting back leaves that to the next
// run, which puts back the rest: the old files whole, at every point.
TEST(OutputSet, AFailedMovePutsBackWhatWasMovedEvenWhenKilledMeanwhile) {
    for (const test::MoveFault fault : {test::MoveFault::Refuse, test::MoveFault::RefuseThenKill}) {
        // Moves, in name order: a.txt in (it had no old file), kq.dta aside, kq.dta in, kq.in aside, kq.in in.
        for (int at = 1; at <= 5; ++at) {
            SCOPED_TRACE("move " + std::to_string(at) + (fault == test::MoveFault::Refuse ? " refused" : " refused, killed"));
            test::TempDir dir;
            test::WriteFileBytes(dir.File("kq.dta"), "old result");
            test::WriteFileBytes(dir.File("kq.in"), "old report");
            const int code = test::WaitChild(test::StartChild([&] {
                OutputSet set;
                if (!set.Begin(dir.File("kq.dta"))) return 1;
                test::WriteFileBytes(set.Staged(dir.File("kq.dta")), "new result");
                test::WriteFileBytes(set.Staged(dir.File("kq.in")), "new report");
                test::WriteFileBytes(set.Staged(dir.File("a.txt")), "new file");
                test::WatchMoves({dir.Path()}, fault, at);
                if (set.Commit()) return 2;
                return set.FailedFile() == test::RefusedMove() ? 3 : 4;
            }));
            // Killed only when an old file had been set aside before the refused move: a.txt, which
            // had none, is put back by removing it.
            EXPECT_EQ(code, fault == test::MoveFault::RefuseThenKill && at > 2 ? -1 : 3);
            OutputSet::Recover(dir.File("kq.dta"));
            EXPECT_EQ(test::ReadFileBytes(dir.File("kq.dta")), "old result");
            EXPECT_EQ(test::ReadFileBytes(dir.File("kq.in")), "old report");
            EXPECT_FALSE(fs::exists(dir.File("a.txt")));
            EXPECT_EQ(dir.EntryCount(), 2u);
        }
    }
}

// One set of a result at a time, within a process too; the refusal names the result.
TEST(OutputSet, ASecondSetOfAResultIsRefusedUntilTheFirstCloses) {
    test::TempDir dir;
    OutputSet first, second;
    ASSERT_TRUE(first.Begin(dir.File("kq.dta")));
    EXPECT_FALSE(second.Begin(dir.File("kq.dta")));
    EXPECT_TRUE(second.Busy());
    EXPECT_EQ(second.FailureMessage(), Vn("Kết quả " + dir.File("kq.dta") + " đang được một lần tính khác ghi"));
    OutputSet other;
    EXPECT_TRUE(other.Begin(dir.File("kq2.dta")));
    first.Discard();
    EXPECT_TRUE(second.Begin(dir.File("kq.dta")));
}

// A name the system refuses is told with its reason; staging names stay short whatever the name.
TEST(OutputSet, ANameTooLongIsToldWithTheReason) {
    test::TempDir dir;
    std::string failure;
    const std::string longest = dir.File(std::string(251, 'K') + ".DTA");  // 255 bytes
    EXPECT_TRUE(WriteSingleOutput(longest, std::vector<std::string>{"x"}, failure)) << failure;
    EXPECT_EQ(test::ReadFileBytes(longest), "x\r\n");
    const std::string tooLong = dir.File(std::string(252, 'K') + ".DTA");
    EXPECT_FALSE(WriteSingleOutput(tooLong, std::vector<std::string>{"x"}, failure));
    EXPECT_EQ(failure, Vn("Lỗi ghi file " + tooLong + " : tên file quá dài"));
    EXPECT_EQ(dir.EntryCount(), 1u);
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

// A report found unwritable during a run is named with what stands in its place.
TEST(OutputSet, AWriteFailureSaysWhatStandsAtTheName) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("kq.in7"));
    test::WriteFileBytes(dir.File("kq.in"), "kept");
    ::chmod(dir.File("kq.in").c_str(), 0444);
    EXPECT_EQ(WriteFailureText(dir.File("kq.in7")),
              Vn("Lỗi ghi file ") + dir.File("kq.in7") + Vn(" : đã có thư mục cùng tên"));
    EXPECT_EQ(WriteFailureText(dir.File("kq.in")), Vn("Lỗi ghi file ") + dir.File("kq.in") + Vn(" : file chỉ đọc"));
    EXPECT_EQ(WriteFailureText(dir.File("kq.dta")), Vn("Lỗi ghi file ") + dir.File("kq.dta"));
}

}  // namespace
}  // namespace qef
