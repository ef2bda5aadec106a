// A run that dies or runs out of disk must leave the files of the run before it whole: they are
// either all as they were or all the new run's, never cut.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ostream>
#include <thread>
#include <string>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/model/OutputSet.h"
#include "core/text/VnCodec.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/InterruptedRuns.h"
#include "support/MoveFaults.h"

namespace qef {
namespace {

using Driver = RunStatus (*)(const AdjustmentInput&, const ComputationSettings&, Interaction&, Progress&,
                             RunRecord&, DrawingTarget*);
// A driver by its name, so that the tests' names and listings carry no address.
struct NamedDriver {
    const char* Name;
    Driver Run;
};
void PrintTo(const NamedDriver& driver, std::ostream* out) { *out << driver.Name; }

// A long winding traverse between two known directions with an open traverse at its end.
test::SyntheticNetwork LongTraverse() {
    test::SyntheticNetwork net;
    net.AddPoints({{"TA", 1000.0, 900.0, true}, {"A", 1000.0, 1000.0, true}});
    std::vector<std::string> line{"A"};
    for (int i = 1; i <= 60; ++i) {
        const std::string name = "P" + std::to_string(i);
        net.AddPoint(name, 1000.0 + 150.0 * i, 1000.0 + (i % 2 == 0 ? 40.0 : -30.0) + 2.0 * i);
        line.push_back(name);
    }
    net.AddPoints({{"B", 1000.0 + 150.0 * 61, 1150.0, true}, {"TB", 1000.0 + 150.0 * 62, 1200.0, true}});
    line.push_back("B");
    net.AddBranch(line, BranchKind::BothEnds, "TA", "TB");
    net.AddPoints({{"H1", 10300.0, 1400.0}, {"H2", 10350.0, 1650.0}});
    net.AddBranch({"B", "H1", "H2"}, BranchKind::StartOnly, "TB");
    return net;
}

class InterruptedRun : public ::testing::TestWithParam<NamedDriver> {
protected:
    test::TempDir dir;
    AdjustmentInput files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")};
    ComputationSettings settings;
    test::RunFolder folder{dir.Path(), {"known.txt", "obs.txt"}, {}, {}};
    const test::StartRun start = [this](long long fileLimit) {
        return test::StartChild([this] { return static_cast<int>(RunHere()); }, fileLimit);
    };

    void SetUp() override {
        settings.Modes.RigorousWanted = true;
        settings.HeightReduction = true;
        settings.MeanAreaHeight = 15.0;
        settings.WriteDhFile = true;
        settings.AcadUploadEnabled = true;
        settings.AcadUploadKnownPoints = true;
        settings.AcadUploadAdjustedPoints = true;
        test::SyntheticNetwork net = LongTraverse();
        test::WriteFileBytes(files.KnownPointsFile, net.KnownText());
        net.Observe(7, 3.0, 0.004);
        test::WriteFileBytes(files.ObservationFile, net.ObservationText());
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        folder.Before = folder.Now();
        // The run under test adjusts other observations of the same network.
        net.Observe(8, 3.0, 0.004);
        test::WriteFileBytes(files.ObservationFile, net.ObservationText());
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        folder.After = folder.Now();
        ASSERT_TRUE(folder.Before != folder.After);
        ASSERT_TRUE(folder.Before.count("kq.in6") && folder.Before.count("kq.in1") && folder.Before.count("kq.dxf"));
        folder.PutBackBefore();
    }

    RunOutcome RunHere() {
        SilentInteraction ui;
        return static_cast<RunOutcome>(runWith(ui));
    }
    const test::RunWith runWith = [this](Interaction& ui) {
        test::RecordingProgress progress;
        RunRecord record;
        return static_cast<int>(GetParam().Run(files, settings, ui, progress, record, nullptr).Outcome);
    };
};

TEST_P(InterruptedRun, KilledAtAnyMomentLeavesTheOldFilesOrTheNewOnes) {
    // How long a whole run takes in a child, so that the kills fall all over it.
    std::chrono::nanoseconds runTime{};
    ASSERT_NO_FATAL_FAILURE(
        test::TimeWholeRuns(folder, start, 3, static_cast<int>(RunOutcome::Completed), runTime));
    test::ExpectKilledRunsLeaveOldOrNew(folder, start, runTime, 14, 150, files.ResultFile);
}

TEST_P(InterruptedRun, AFullDiskLeavesTheOldFilesAndNoStagedOnes) {
    // The drawing is the largest file; a drawing that cannot be written never ends a run.
    test::Snapshot withoutDrawing = folder.After;
    withoutDrawing.erase("kq.dxf");
    const std::size_t largest = test::LargestFile(withoutDrawing);
    ASSERT_GT(folder.After.at("kq.dxf").size(), largest);
    test::ExpectFullDisksLeaveTheOldOutputs(folder, start,
                                            {0LL, 1LL, 100LL, 1000LL, 5000LL, static_cast<long long>(largest) / 2,
                                             static_cast<long long>(largest) - 1},
                                            static_cast<int>(RunOutcome::WriteFailed));
    // With room for every file but the drawing the run goes through and the old drawing stays.
    EXPECT_EQ(test::WaitChild(start(static_cast<long long>(largest))), static_cast<int>(RunOutcome::Completed));
    test::Snapshot expected = folder.After;
    expected["kq.dxf"] = folder.Before.at("kq.dxf");
    const test::Snapshot got = folder.Now();
    EXPECT_TRUE(got == expected) << "differing:" << test::Differences(got, expected);
}

// A move the system refuses (a file held open on a share) puts back what was moved: the old set
// stays whole and the message names the file that could not be put in place.
TEST_P(InterruptedRun, AMoveRefusedAtAnyPointLeavesTheOldFilesAndNamesTheFile) {
    const int moves = test::ExpectRefusedMovesLeaveTheOldFiles(folder, {dir.Path()}, runWith,
                                                               static_cast<int>(RunOutcome::Completed),
                                                               static_cast<int>(RunOutcome::WriteFailed), "Lỗi ghi file ");
    // Each file of the old set is set aside and its new one moved in.
    EXPECT_EQ(moves, 2 * static_cast<int>(folder.After.size()));
}

TEST_P(InterruptedRun, KilledAtEachMoveLeavesTheOldFilesOrTheNewOnes) {
    test::ExpectKillsAtEachMoveLeaveOldOrNew(folder, {dir.Path()}, runWith, 2 * static_cast<int>(folder.After.size()),
                                             files.ResultFile);
}

// While another run writes the same result the run is refused before it reads anything, and the
// folder is as it was; once the other ends, the run goes through.
TEST_P(InterruptedRun, ASecondRunOfTheSameResultIsRefusedWhileTheFirstWrites) {
    test::ExpectARunRefusedWhileAnotherHoldsItsResult(folder, files.ResultFile, runWith,
                                                      static_cast<int>(RunOutcome::Completed),
                                                      static_cast<int>(RunOutcome::WriteFailed));
}

// Two windows writing the same result at once, with the moves slowed as on a share: the one that
// comes second is refused, and the folder ends with the set of one run, never a mixture.
TEST_P(InterruptedRun, TwoRunsAtOnceNeverMixTheirSets) {
    ComputationSettings other = settings;
    other.MeanAreaHeight = 250.0;
    const auto runWithSettings = [this](const ComputationSettings& s) {
        SilentInteraction ui;
        test::RecordingProgress progress;
        RunRecord record;
        return static_cast<int>(GetParam().Run(files, s, ui, progress, record, nullptr).Outcome);
    };
    ASSERT_EQ(runWithSettings(other), static_cast<int>(RunOutcome::Completed));
    const test::Snapshot otherSet = folder.Now();
    ASSERT_TRUE(otherSet != folder.After);
    int refused = 0;
    for (int pair = 0; pair < 6; ++pair) {
        folder.PutBackBefore();
        const auto startSlow = [&](const ComputationSettings& s) {
            return test::StartChild([&] {
                test::WatchMoves({dir.Path()}, test::MoveFault::Slow, 5);
                return runWithSettings(s);
            });
        };
        const pid_t first = startSlow(settings);
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * pair));
        const pid_t second = startSlow(other);
        const int a = test::WaitChild(first), b = test::WaitChild(second);
        for (int code : {a, b}) {
            EXPECT_TRUE(code == static_cast<int>(RunOutcome::Completed) ||
                        code == static_cast<int>(RunOutcome::WriteFailed));
            refused += code == static_cast<int>(RunOutcome::WriteFailed);
        }
        const test::Snapshot got = folder.Now();
        EXPECT_TRUE(got == folder.After || got == otherSet) << "pair " << pair << ", differing:" << test::Differences(got, folder.After);
    }
    // The runs overlapped at least once.
    EXPECT_GT(refused, 0);
}

// Staging names do not grow with the result's: the longest names a folder takes are written.
TEST_P(InterruptedRun, AResultNameOf250CharactersIsWritten) {
    const std::string stem(246, 'K');
    files.ResultFile = dir.File(stem + ".dta");
    SilentInteraction ui;
    ASSERT_EQ(runWith(ui), static_cast<int>(RunOutcome::Completed));
    const test::Snapshot got = folder.Now();
    for (const char* ext : {".dta", ".in", ".in1", ".in6", ".dxf"}) EXPECT_TRUE(got.count(stem + ext)) << ext;
    // Nothing staged is left beside them: the earlier run's files and the new ones only.
    for (const auto& [name, bytes] : got) EXPECT_TRUE(folder.Before.count(name) || name.rfind(stem, 0) == 0) << name;
}

INSTANTIATE_TEST_SUITE_P(Drivers, InterruptedRun,
                         ::testing::Values(NamedDriver{"ByOrder", &AdjustNetworkByOrder},
                                           NamedDriver{"Classic", &AdjustNetworkClassic}),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace qef
