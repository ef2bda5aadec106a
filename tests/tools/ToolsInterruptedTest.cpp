// A file tool killed at any moment, or at any move of its result, leaves its old result or its new
// one; the next run writing into the folder clears what it left, so that the folder then holds the
// inputs and whole results only.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <random>
#include <string>

#include "core/model/ComputationSettings.h"
#include "core/model/OutputSet.h"
#include "core/model/Progress.h"
#include "core/text/VnCodec.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/MoveFaults.h"
#include "support/OutputSnapshot.h"
#include "tools/CoordinateTools.h"
#include "tools/CoordinateUpload.h"
#include "tools/WordReplacement.h"

namespace qef {
namespace {

struct Tool {
    const char* Name;
    const char* Output;  // in the folder
    std::function<RunOutcome(const std::string& dir)> Run;
};

std::vector<Tool> Tools() {
    return {
        {"sort", "sorted.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return SortPointsXY(dir + "/pts.txt", dir + "/sorted.txt", SortOrder::Descending, ComputationSettings{},
                                 ui)
                 .Outcome;
         }},
        {"word replacement", "words.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return ReplaceWordsInFile(dir + "/pairs.txt", dir + "/pts.txt", dir + "/words.txt",
                                       WordReplacementOptions{}, ComputationSettings{}, ui)
                 .Outcome;
         }},
        {"upload", "pts.dxf",
         [](const std::string& dir) {
             SilentInteraction ui;
             NullProgress progress;
             return UploadCoordinateFile(dir + "/pts.txt", ComputationSettings{}, progress, ui).Outcome;
         }},
    };
}

class ToolsInterrupted : public ::testing::Test {
protected:
    test::TempDir dir;
    const std::set<std::string> inputs{"pts.txt", "pairs.txt"};
    std::vector<Tool> tools = Tools();
    test::Snapshot results;  // every tool's result, each run alone to its end

    void SetUp() override {
        std::string points;
        for (int i = 1; i <= 6000; ++i)
            points += "P" + std::to_string(i) + "\t" + std::to_string(1000 + i * 7 % 911) + ".125\t" +
                      std::to_string(2000 + i * 13 % 577) + ".250\t" + std::to_string(10 + i % 50) + ".5\r\n";
        test::WriteFileBytes(dir.File("pts.txt"), points);
        test::WriteFileBytes(dir.File("pairs.txt"), "P1 Q1\r\nP2 Q2\r\n");
        for (const Tool& tool : tools) ASSERT_EQ(tool.Run(dir.Path()), RunOutcome::Completed) << tool.Name;
        results = test::Outputs(dir.Path(), inputs);
        ASSERT_EQ(results.size(), tools.size());
    }

    // Each tool's result as it was before the killed run.
    test::Snapshot OldResults() const {
        test::Snapshot old;
        for (const Tool& tool : tools) old[tool.Output] = std::string("old ") + tool.Output;
        return old;
    }

    // After a killed run of `killed`, every other tool runs: the folder then holds the inputs, the
    // others' results, and the killed tool's old result or its new one, nothing else.
    void ExpectTheNextRunsLeaveWholeResults(const Tool& killed, const std::string& trial) {
        for (const Tool& tool : tools) {
            if (&tool == &killed) continue;
            ASSERT_EQ(tool.Run(dir.Path()), RunOutcome::Completed) << trial;
        }
        test::Snapshot got = test::Outputs(dir.Path(), inputs);
        test::Snapshot expected = results;
        expected[killed.Output] = OldResults().at(killed.Output);
        if (got != expected) expected[killed.Output] = results.at(killed.Output);
        EXPECT_TRUE(got == expected) << trial << ", differing:" << test::Differences(got, expected);
        test::Restore(dir.Path(), OldResults(), inputs);
    }
};

TEST_F(ToolsInterrupted, KilledAtAnyMomentTheNextRunLeavesOnlyInputsAndWholeResults) {
    std::mt19937 random(17);
    for (const Tool& tool : tools) {
        test::Restore(dir.Path(), OldResults(), inputs);
        const auto t0 = std::chrono::steady_clock::now();
        ASSERT_EQ(test::WaitChild(test::StartChild([&] { return static_cast<int>(tool.Run(dir.Path())); })),
                  static_cast<int>(RunOutcome::Completed));
        const auto runTime = std::chrono::steady_clock::now() - t0;
        test::Restore(dir.Path(), OldResults(), inputs);
        std::uniform_int_distribution<long long> moment(0, runTime.count() * 6 / 5);
        for (int trial = 0; trial < 25; ++trial) {
            test::KillChildAfter(test::StartChild([&] { return static_cast<int>(tool.Run(dir.Path())); }),
                                 std::chrono::nanoseconds(moment(random)));
            ExpectTheNextRunsLeaveWholeResults(tool, std::string(tool.Name) + " trial " + std::to_string(trial));
        }
    }
}

TEST_F(ToolsInterrupted, KilledAtEachMoveTheNextRunFinishesTheResult) {
    for (const Tool& tool : tools) {
        // The old result is set aside and the new one moved in.
        for (int at = 1; at <= 3; ++at) {
            test::Restore(dir.Path(), OldResults(), inputs);
            test::WaitChild(test::StartChild([&] {
                test::WatchMoves({dir.Path()}, test::MoveFault::Kill, at);
                return static_cast<int>(tool.Run(dir.Path()));
            }));
            ExpectTheNextRunsLeaveWholeResults(tool, std::string(tool.Name) + " killed at move " + std::to_string(at));
            // Every kill fell after the journal: the new result is in place.
            test::Restore(dir.Path(), OldResults(), inputs);
        }
    }
}

// While another run writes a tool's result the tool is refused before it reads anything: its
// input is missing, and the message says the result is taken, not that.
TEST_F(ToolsInterrupted, ARunIsRefusedBeforeItComputesWhileAnotherWritesItsResult) {
    int held[2], release[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t first = test::StartChild([&] {
        OutputSet set;
        if (!set.Begin(dir.File("sorted.txt"))) return 1;
        char c = 'x';
        if (::write(held[1], &c, 1) != 1 || ::read(release[0], &c, 1) != 1) return 2;
        return 0;
    });
    char c = 0;
    ASSERT_EQ(::read(held[0], &c, 1), 1);
    test::ScriptedInteraction ui;
    const ToolStatus status =
        SortPointsXY(dir.File("missing.txt"), dir.File("sorted.txt"), SortOrder::Ascending, ComputationSettings{}, ui);
    EXPECT_EQ(status.Outcome, RunOutcome::WriteFailed);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{Vn("Kết quả ") + dir.File("sorted.txt") +
                                                      Vn(" đang được một lần tính khác ghi")});
    ASSERT_EQ(::write(release[1], &c, 1), 1);
    EXPECT_EQ(test::WaitChild(first), 0);
    for (int fd : {held[0], held[1], release[0], release[1]}) ::close(fd);
    EXPECT_EQ(test::Outputs(dir.Path(), inputs), results);
}

}  // namespace
}  // namespace qef
