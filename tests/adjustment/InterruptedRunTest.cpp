// A run that dies or runs out of disk must leave the files of the run before it whole: they are
// either all as they were or all the new run's, never cut.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "adjustment/SyntheticNetwork.h"
#include "core/model/OutputSet.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/OutputSnapshot.h"

namespace qef {
namespace {

namespace fs = std::filesystem;
using Driver = RunStatus (*)(const AdjustmentInput&, const ComputationSettings&, Interaction&, Progress&,
                             RunRecord&, DrawingTarget*);

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

const std::set<std::string> kInputs{"known.txt", "obs.txt"};

test::Snapshot Outputs(const std::string& dir) { return test::Outputs(dir, kInputs); }
void Restore(const std::string& dir, const test::Snapshot& files) { test::Restore(dir, files, kInputs); }
using test::Differences;
using test::Snapshot;

class InterruptedRun : public ::testing::TestWithParam<Driver> {
protected:
    test::TempDir dir;
    AdjustmentInput files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")};
    ComputationSettings settings;
    Snapshot before;  // the files of an earlier run
    Snapshot after;   // the files of the run under test, run to its end

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
        before = Outputs(dir.Path());
        // The run under test adjusts other observations of the same network.
        net.Observe(8, 3.0, 0.004);
        test::WriteFileBytes(files.ObservationFile, net.ObservationText());
        ASSERT_EQ(RunHere(), RunOutcome::Completed);
        after = Outputs(dir.Path());
        ASSERT_TRUE(before != after);
        ASSERT_TRUE(before.count("kq.in6") && before.count("kq.in1") && before.count("kq.dxf"));
        Restore(dir.Path(), before);
    }

    RunOutcome RunHere() {
        SilentInteraction ui;
        test::RecordingProgress progress;
        RunRecord record;
        return GetParam()(files, settings, ui, progress, record, nullptr).Outcome;
    }

    // The run in a child process; a file may grow to fileLimit bytes at most (-1: no limit).
    pid_t Start(long long fileLimit = -1) {
        return test::StartChild([this] { return static_cast<int>(RunHere()); }, fileLimit);
    }
};

TEST_P(InterruptedRun, KilledAtAnyMomentLeavesTheOldFilesOrTheNewOnes) {
    // How long a whole run takes in a child, so that the kills fall all over it.
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(test::WaitChild(Start()), static_cast<int>(RunOutcome::Completed));
        ASSERT_TRUE(Outputs(dir.Path()) == after);
        Restore(dir.Path(), before);
    }
    const auto runTime = (std::chrono::steady_clock::now() - t0) / 3;
    std::mt19937 random(14);
    std::uniform_int_distribution<long long> moment(0, std::chrono::nanoseconds(runTime).count() * 6 / 5);
    int old = 0, fresh = 0;
    for (int trial = 0; trial < 150; ++trial) {
        test::KillChildAfter(Start(), std::chrono::nanoseconds(moment(random)));
        // The next run of the same result finishes a set that was committed and clears the rest.
        OutputSet::Recover(files.ResultFile);
        const Snapshot got = Outputs(dir.Path());
        if (got == before) {
            ++old;
        } else if (got == after) {
            ++fresh;
        } else {
            ADD_FAILURE() << "trial " << trial << ": neither set, differing:" << Differences(got, before);
        }
        Restore(dir.Path(), before);
    }
    // The kills fell both before and after the end of the run.
    EXPECT_GT(old, 0);
    EXPECT_GT(fresh, 0);
}

TEST_P(InterruptedRun, AFullDiskLeavesTheOldFilesAndNoStagedOnes) {
    // The drawing is the largest file; a drawing that cannot be written never ends a run.
    std::size_t largest = 0;
    for (const auto& [name, bytes] : after)
        if (name != "kq.dxf") largest = std::max(largest, bytes.size());
    ASSERT_GT(after.at("kq.dxf").size(), largest);
    const auto runWithRoomFor = [&](long long limit) { return test::WaitChild(Start(limit)); };
    for (long long limit : {0LL, 1LL, 100LL, 1000LL, 5000LL, static_cast<long long>(largest) / 2,
                            static_cast<long long>(largest) - 1}) {
        SCOPED_TRACE("files stop at " + std::to_string(limit) + " bytes");
        EXPECT_EQ(runWithRoomFor(limit), static_cast<int>(RunOutcome::WriteFailed));
        const Snapshot got = Outputs(dir.Path());
        EXPECT_TRUE(got == before) << "differing:" << Differences(got, before);
        Restore(dir.Path(), before);
    }
    // With room for every file but the drawing the run goes through and the old drawing stays.
    EXPECT_EQ(runWithRoomFor(static_cast<long long>(largest)), static_cast<int>(RunOutcome::Completed));
    Snapshot expected = after;
    expected["kq.dxf"] = before.at("kq.dxf");
    const Snapshot got = Outputs(dir.Path());
    EXPECT_TRUE(got == expected) << "differing:" << Differences(got, expected);
}

INSTANTIATE_TEST_SUITE_P(Drivers, InterruptedRun, ::testing::Values(&AdjustNetworkByOrder, &AdjustNetworkClassic),
                         [](const auto& param) { return param.index == 0 ? "ByOrder" : "Classic"; });

}  // namespace
}  // namespace qef
