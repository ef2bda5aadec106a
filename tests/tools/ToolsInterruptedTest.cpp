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
#include "fielddata/books/ObservationBooks.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/MoveFaults.h"
#include "support/OutputSnapshot.h"
#include "tools/CoordinateTools.h"
#include "tools/CoordinateUpload.h"
#include "tools/HeightFileTools.h"
#include "tools/ObservationTools.h"
#include "tools/WordReplacement.h"

namespace qef {
namespace {

struct Tool {
    const char* Name;
    std::vector<std::string> Inputs;
    const char* Output;  // in the folder
    std::function<RunOutcome(const std::string& dir)> Run;
};

// The eight tools that write a single file, each from the inputs SetUp writes.
std::vector<Tool> Tools() {
    return {
        {"sort", {"pts.txt"}, "sorted.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return SortPointsXY(dir + "/pts.txt", dir + "/sorted.txt", SortOrder::Descending, ComputationSettings{},
                                 ui)
                 .Outcome;
         }},
        {"levelling average", {"lines.txt"}, "average.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return AverageTwoWayLevelling(dir + "/lines.txt", dir + "/average.txt", ComputationSettings{}, ui)
                 .Outcome;
         }},
        {"word replacement", {"pairs.txt", "pts.txt"}, "words.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return ReplaceWordsInFile(dir + "/pairs.txt", dir + "/pts.txt", dir + "/words.txt",
                                       WordReplacementOptions{}, ComputationSettings{}, ui)
                 .Outcome;
         }},
        {"merge heights", {"heights.txt", "pts.txt"}, "xyh.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return MergeHeightsIntoCoords(dir + "/heights.txt", dir + "/pts.txt", dir + "/xyh.txt",
                                           ComputationSettings{}, ui)
                 .Outcome;
         }},
        {"fixed observations removed", {"known.txt", "obs.txt"}, "clean.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return WriteObservations(dir + "/known.txt", dir + "/obs.txt", dir + "/clean.txt", ComputationSettings{},
                                      ui)
                 .Outcome;
         }},
        {"random errors", {"obs.txt"}, "errors.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             SeededRandom random(5);  // the same draws each run: one new result
             return AddRandomErrors(dir + "/obs.txt", dir + "/errors.txt", ComputationSettings{}, random, ui)
                 .Outcome;
         }},
        {"detail book", {"detail.txt"}, "detail-book.txt",
         [](const std::string& dir) {
             SilentInteraction ui;
             return WriteDetailBook(dir + "/detail.txt", dir + "/detail-book.txt", ComputationSettings{}, ui)
                 .Outcome;
         }},
        {"upload", {"pts.txt"}, "pts.dxf",
         [](const std::string& dir) {
             SilentInteraction ui;
             NullProgress progress;
             return UploadCoordinateFile(dir + "/pts.txt", ComputationSettings{}, progress, ui).Outcome;
         }},
    };
}

std::set<std::string> InputsOf(const std::vector<Tool>& tools) {
    std::set<std::string> inputs;
    for (const Tool& tool : tools) inputs.insert(tool.Inputs.begin(), tool.Inputs.end());
    return inputs;
}

class ToolsInterrupted : public ::testing::Test {
protected:
    test::TempDir dir;
    std::vector<Tool> tools = Tools();
    const std::set<std::string> inputs = InputsOf(tools);
    test::Snapshot results;  // every tool's result, each run alone to its end

    void SetUp() override {
        // Inputs of a few thousand lines: a run lasts long enough to be killed inside its write.
        std::string points, heights, lines, observations, detail;
        for (int i = 1; i <= 6000; ++i) {
            const std::string p = "P" + std::to_string(i), q = "P" + std::to_string(i + 1);
            points += p + "\t" + std::to_string(1000 + i * 7 % 911) + ".125\t" + std::to_string(2000 + i * 13 % 577) +
                      ".250\t" + std::to_string(10 + i % 50) + ".5\r\n";
            heights += p + " " + std::to_string(20 + i % 70) + ".25\r\n";
            lines += (i % 2 == 0 ? p + " " + q : q + " " + p) + " " + std::to_string(100 + i % 300) + " 0." +
                     std::to_string(100 + i % 800) + "\r\n";
            if (i <= 3000)
                observations += p + "\t" + q + "\tP" + std::to_string(i + 2) + "\t" + std::to_string(i % 360) +
                                ".1520\r\n" + p + "\t" + q + "\t" + std::to_string(50 + i % 400) + ".125\r\n";
            detail += i % 50 == 1 ? ",S" + std::to_string(i) + ",S" + std::to_string(i + 50) + ",1.45\r\n"
                                  : std::to_string(i % 50) + "," + std::to_string(i % 360) + ".3015," +
                                        std::to_string(5 + i % 90) + ".5,1.5\r\n";
        }
        test::WriteFileBytes(dir.File("pts.txt"), points);
        test::WriteFileBytes(dir.File("pairs.txt"), "P1 Q1\r\nP2 Q2\r\n");
        test::WriteFileBytes(dir.File("heights.txt"), heights);
        test::WriteFileBytes(dir.File("lines.txt"), lines);
        test::WriteFileBytes(dir.File("known.txt"), "P1 1000.000 2000.000\r\nP2 1100.000 2050.000\r\n");
        test::WriteFileBytes(dir.File("obs.txt"), observations);
        test::WriteFileBytes(dir.File("detail.txt"), detail);
        for (const Tool& tool : tools) ASSERT_EQ(tool.Run(dir.Path()), RunOutcome::Completed) << tool.Name;
        results = test::Outputs(dir.Path(), inputs);
        ASSERT_EQ(results.size(), tools.size());
        for (const Tool& tool : tools) EXPECT_GT(results[tool.Output].size(), 10000u) << tool.Name;
    }

    // The folder before a run of `tool`: the others' results new, its own old.
    test::Snapshot Before(const Tool& tool) const {
        test::Snapshot before = results;
        before[tool.Output] = std::string("old ") + tool.Output;
        return before;
    }

    // After a killed run of `killed`, the next tool in the table runs: the folder then holds the
    // inputs, the others' results, and the killed tool's old result or its new one, nothing else.
    // Counts which of the two it was.
    void ExpectTheNextRunLeavesWholeResults(const Tool& killed, const std::string& trial, int& old, int& fresh) {
        const Tool& next = tools[static_cast<std::size_t>(&killed - tools.data() + 1) % tools.size()];
        ASSERT_EQ(next.Run(dir.Path()), RunOutcome::Completed) << trial;
        const test::Snapshot got = test::Outputs(dir.Path(), inputs);
        if (got == Before(killed)) {
            ++old;
            return;
        }
        EXPECT_TRUE(got == results) << trial << ", differing:" << test::Differences(got, results);
        if (got == results) ++fresh;
    }
};

TEST_F(ToolsInterrupted, KilledAtAnyMomentTheNextRunLeavesOnlyInputsAndWholeResults) {
    std::mt19937 random(17);
    for (const Tool& tool : tools) {
        test::Restore(dir.Path(), Before(tool), inputs);
        const auto t0 = std::chrono::steady_clock::now();
        ASSERT_EQ(test::WaitChild(test::StartChild([&] { return static_cast<int>(tool.Run(dir.Path())); })),
                  static_cast<int>(RunOutcome::Completed));
        const auto runTime = std::chrono::steady_clock::now() - t0;
        std::uniform_int_distribution<long long> moment(0, runTime.count() * 6 / 5);
        int old = 0, fresh = 0;
        for (int trial = 0; trial < 25; ++trial) {
            test::Restore(dir.Path(), Before(tool), inputs);
            test::KillChildAfter(test::StartChild([&] { return static_cast<int>(tool.Run(dir.Path())); }),
                                 std::chrono::nanoseconds(moment(random)));
            ExpectTheNextRunLeavesWholeResults(tool, std::string(tool.Name) + " trial " + std::to_string(trial), old,
                                               fresh);
        }
        // Some kills fell before the set was complete.
        EXPECT_GT(old, 0) << tool.Name;
    }
}

TEST_F(ToolsInterrupted, KilledAtEachMoveTheNextRunFinishesTheResult) {
    for (const Tool& tool : tools) {
        // The old result is set aside (move 1) and the new one moved in (move 2), both after the
        // journal: the next run finishes the set.
        for (int at = 1; at <= 2; ++at) {
            const std::string trial = std::string(tool.Name) + " killed at move " + std::to_string(at);
            test::Restore(dir.Path(), Before(tool), inputs);
            test::WaitChild(test::StartChild([&] {
                test::WatchMoves({dir.Path()}, test::MoveFault::Kill, at);
                return static_cast<int>(tool.Run(dir.Path()));
            }));
            EXPECT_NE(test::Outputs(dir.Path(), inputs), results) << trial;
            const Tool& next = tools[static_cast<std::size_t>(&tool - tools.data() + 1) % tools.size()];
            ASSERT_EQ(next.Run(dir.Path()), RunOutcome::Completed) << trial;
            const test::Snapshot got = test::Outputs(dir.Path(), inputs);
            EXPECT_TRUE(got == results) << trial << ", differing:" << test::Differences(got, results);
        }
    }
}

// While another run writes a tool's result the tool is refused before it reads anything: its
// input is missing, and the message says the result is taken, not that.
TEST_F(ToolsInterrupted, ARunIsRefusedBeforeItComputesWhileAnotherWritesItsResult) {
    const test::RunWith sort = [&](Interaction& ui) {
        return static_cast<int>(
            SortPointsXY(dir.File("missing.txt"), dir.File("sorted.txt"), SortOrder::Ascending, ComputationSettings{}, ui)
                .Outcome);
    };
    ASSERT_NO_FATAL_FAILURE(
        test::ExpectRefusedWhileAnotherHolds(dir.File("sorted.txt"), sort, static_cast<int>(RunOutcome::WriteFailed)));
    EXPECT_EQ(test::Outputs(dir.Path(), inputs), results);
}

}  // namespace
}  // namespace qef
