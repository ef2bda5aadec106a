// A levelling run that dies or runs out of disk leaves the files of the run before it whole.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "heights/LevellingAdjustment.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/InterruptedRuns.h"
#include "support/MoveFaults.h"

namespace qef {
namespace {

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

// One run on `in` with the default settings; its outcome as the run helpers take it.
int RunOn(const LevellingInput& in, Interaction& ui) {
    NullProgress progress;
    RunRecord record;
    return static_cast<int>(AdjustLevellingNetwork(in, ComputationSettings(), ui, progress, record).Outcome);
}

class InterruptedLevelling : public ::testing::Test {
protected:
    test::TempDir dir;
    LevellingInput files{dir.File("known.txt"), dir.File("lines.txt"), dir.File("kq.dta")};
    test::RunFolder folder{dir.Path(), {"known.txt", "lines.txt"}, {}, {}};
    const test::StartRun start = [this](long long fileLimit) {
        return test::StartChild([this] { return static_cast<int>(RunHere()); }, fileLimit);
    };

    void SetUp() override {
        test::WriteFileBytes(files.KnownHeightsFile, "A\t100.000\r\nB\t104.500\r\n");
        test::WriteFileBytes(files.LevellingFile, Lines(0.001));
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        folder.Before = folder.Now();
        test::WriteFileBytes(files.LevellingFile, Lines(0.002));
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        folder.After = folder.Now();
        ASSERT_TRUE(folder.Before != folder.After);
        ASSERT_TRUE(folder.After.count("kq.in") && folder.After.count("kq.txt") && folder.After.count("kq.mt"));
        folder.PutBackBefore();
    }
    RunOutcome RunHere() {
        SilentInteraction ui;
        return static_cast<RunOutcome>(runWith(ui));
    }
    const test::RunWith runWith = [this](Interaction& ui) { return RunOn(files, ui); };
};

TEST_F(InterruptedLevelling, KilledOrOutOfDiskItLeavesTheOldFilesOrTheNewOnes) {
    std::chrono::nanoseconds runTime{};
    ASSERT_NO_FATAL_FAILURE(test::TimeWholeRuns(folder, start, 1, static_cast<int>(RunOutcome::Completed), runTime));
    test::ExpectKilledRunsLeaveOldOrNew(folder, start, runTime, 6, 100, files.ResultFile);

    // The matrix file may fail alone without ending the run; any other file ends it.
    const std::size_t largest = test::LargestFile(folder.After);
    test::ExpectFullDisksLeaveTheOldOutputs(folder, start, {0LL, 50LL, 1000LL, static_cast<long long>(largest) - 1},
                                            static_cast<int>(RunOutcome::WriteFailed));
}

// A move refused at any point of the commit leaves the old files whole and names the file.
TEST_F(InterruptedLevelling, AMoveRefusedAtAnyPointLeavesTheOldFilesAndNamesTheFile) {
    test::ExpectEachMoveRefusedOrKilledLeavesOldOrNew(folder, runWith, static_cast<int>(RunOutcome::Completed),
                                                      static_cast<int>(RunOutcome::WriteFailed), files.ResultFile);
}

// A second run of the same result while the first writes is refused before it writes anything.
TEST_F(InterruptedLevelling, ASecondRunOfTheSameResultIsRefusedWhileTheFirstWrites) {
    test::ExpectARunRefusedWhileAnotherHoldsItsResult(folder, files.ResultFile, runWith,
                                                      static_cast<int>(RunOutcome::Completed),
                                                      static_cast<int>(RunOutcome::WriteFailed));
}

// Two windows adjusting other lines into the same result at once, the moves slowed as on a share:
// the one that comes second is refused, and the folder ends with the set of one run.
TEST_F(InterruptedLevelling, TwoRunsAtOnceNeverMixTheirSets) {
    const LevellingInput otherFiles{files.KnownHeightsFile, dir.File("lines2.txt"), files.ResultFile};
    folder.Inputs.insert("lines2.txt");
    test::WriteFileBytes(otherFiles.LevellingFile, Lines(0.003));
    const test::RunWith other = [&](Interaction& ui) { return RunOn(otherFiles, ui); };
    SilentInteraction ui;
    ASSERT_EQ(other(ui), static_cast<int>(RunOutcome::Completed));
    const test::Snapshot otherSet = folder.Now();
    ASSERT_TRUE(otherSet.count("kq.dta") && otherSet != folder.Before);
    test::ExpectTwoRunsAtOnceNeverMix(folder, {dir.Path()}, runWith, other, otherSet,
                                      static_cast<int>(RunOutcome::Completed),
                                      static_cast<int>(RunOutcome::WriteFailed));
}

}  // namespace
}  // namespace qef
