// A levelling run that dies or runs out of disk leaves the files of the run before it whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <string>

#include "core/model/OutputSet.h"
#include "heights/LevellingAdjustment.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/OutputSnapshot.h"

namespace qef {
namespace {

const std::set<std::string> kInputs{"known.txt", "lines.txt"};

// Two known heights, a node N reached by three long lines and an open line hanging from B; the
// height differences carry `wobble` metres on every other line, so two runs write other files.
std::string Lines(double wobble) {
    std::string text;
    // from, prefix1 .. prefixN, then `to` unless it is empty (an open line).
    const auto chain = [&](const std::string& from, const std::string& prefix, int count, const std::string& to) {
        std::string previous = from;
        const int steps = to.empty() ? count : count + 1;
        for (int i = 1; i <= steps; ++i) {
            const std::string next = i <= count ? prefix + std::to_string(i) : to;
            text += previous + "\t" + next + "\t120.0\t" + std::to_string(0.010 + (i % 2) * wobble) + "\r\n";
            previous = next;
        }
    };
    chain("A", "P", 150, "N");
    chain("N", "Q", 60, "B");
    chain("A", "S", 90, "N");
    chain("B", "R", 80, "");
    return text;
}

class InterruptedLevelling : public ::testing::Test {
protected:
    test::TempDir dir;
    LevellingInput files{dir.File("known.txt"), dir.File("lines.txt"), dir.File("kq.dta")};
    test::Snapshot before, after;

    void SetUp() override {
        test::WriteFileBytes(files.KnownHeightsFile, "A\t100.000\r\nB\t104.500\r\n");
        test::WriteFileBytes(files.LevellingFile, Lines(0.001));
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        before = test::Outputs(dir.Path(), kInputs);
        test::WriteFileBytes(files.LevellingFile, Lines(0.002));
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        after = test::Outputs(dir.Path(), kInputs);
        ASSERT_TRUE(before != after);
        ASSERT_TRUE(after.count("kq.in") && after.count("kq.txt") && after.count("kq.mt"));
        test::Restore(dir.Path(), before, kInputs);
    }
    RunOutcome RunHere() {
        SilentInteraction ui;
        NullProgress progress;
        RunRecord record;
        return AdjustLevellingNetwork(files, ComputationSettings(), ui, progress, record).Outcome;
    }
    // The run in a child process; files may grow to fileLimit bytes (-1: no limit). Its exit code.
    int RunInChild(long long fileLimit, std::chrono::nanoseconds killAfter = std::chrono::nanoseconds(-1)) {
        const pid_t pid = test::StartChild([this] { return static_cast<int>(RunHere()); }, fileLimit);
        if (killAfter.count() < 0) return test::WaitChild(pid);
        test::KillChildAfter(pid, killAfter);
        return -1;
    }
};

TEST_F(InterruptedLevelling, KilledOrOutOfDiskItLeavesTheOldFilesOrTheNewOnes) {
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(RunInChild(-1), static_cast<int>(RunOutcome::Completed));
    const auto runTime = std::chrono::steady_clock::now() - t0;
    ASSERT_TRUE(test::Outputs(dir.Path(), kInputs) == after);
    test::Restore(dir.Path(), before, kInputs);

    std::mt19937 random(6);
    std::uniform_int_distribution<long long> moment(0, std::chrono::nanoseconds(runTime).count() * 6 / 5);
    int old = 0, fresh = 0;
    for (int trial = 0; trial < 100; ++trial) {
        RunInChild(-1, std::chrono::nanoseconds(moment(random)));
        OutputSet::Recover(files.ResultFile);
        const test::Snapshot got = test::Outputs(dir.Path(), kInputs);
        if (got == before) {
            ++old;
        } else if (got == after) {
            ++fresh;
        } else {
            ADD_FAILURE() << "trial " << trial << ": neither set, differing:" << test::Differences(got, before);
        }
        test::Restore(dir.Path(), before, kInputs);
    }
    EXPECT_GT(old, 0);
    EXPECT_GT(fresh, 0);

    // The matrix file may fail alone without ending the run; any other file ends it.
    std::size_t largest = 0;
    for (const auto& [name, bytes] : after) largest = std::max(largest, bytes.size());
    for (long long limit : {0LL, 50LL, 1000LL, static_cast<long long>(largest) - 1}) {
        SCOPED_TRACE("files stop at " + std::to_string(limit) + " bytes");
        EXPECT_EQ(RunInChild(limit), static_cast<int>(RunOutcome::WriteFailed));
        const test::Snapshot got = test::Outputs(dir.Path(), kInputs);
        EXPECT_TRUE(got == before) << "differing:" << test::Differences(got, before);
        test::Restore(dir.Path(), before, kInputs);
    }
}

}  // namespace
}  // namespace qef
