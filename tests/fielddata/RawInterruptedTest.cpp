// A conversion that dies or runs out of disk leaves the files of the conversion before it whole:
// all as they were, or all the new ones, never a mixture and never a temporary; the download stays
// as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <set>
#include <string>

#include "core/model/OutputSet.h"
#include "fielddata/raw/RawConversion.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/OutputSnapshot.h"

namespace qef {
namespace {

const std::set<std::string> kInputs{"raw.txt"};

// A Nikon download of many stations, each with control points and side shots; `seed` varies the
// readings so that two downloads give different files.
std::string Download(int seed) {
    std::string text = "CO,Nikon RAW data\r\n";
    for (int s = 1; s <= 400; ++s) {
        const std::string station = "T" + std::to_string(s), backsight = "T" + std::to_string(s + 1);
        text += "ST," + station + ",," + backsight + ",,1.5" + std::to_string(s % 10) + "\r\n";
        text += "CP," + backsight + ",,1.600,120.0" + std::to_string(seed) + "0,0.0000,90.1000,10:00:00\r\n";
        text += "CP,K" + std::to_string(s) + ",,1.600,80.0" + std::to_string(seed) + "0,45.3000,89.5000,10:00:00\r\n";
        for (int d = 1; d <= 40; ++d)
            text += "SS," + std::to_string(d) + ",1.500," + std::to_string(10 + d) + "." + std::to_string(seed) +
                    "00," + std::to_string(d * 7 % 360) + ".1020,9" + std::to_string(d % 10) + ".0000,10:00:00\r\n";
    }
    return text;
}

class RawInterrupted : public ::testing::Test {
protected:
    test::TempDir dir;
    RawConversionPaths paths{dir.File("raw.txt"), dir.File("obs.DTA"), dir.File("mia.DTA"), dir.File("dh.DTA"),
                             dir.File("micao.DTA")};
    RawConversionOptions options;
    test::Snapshot before, after;
    std::string download;

    void SetUp() override {
        options.WithHeights = true;
        options.ControlFromNumber = 5000;
        test::WriteFileBytes(paths.Input, Download(1));
        ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
        before = test::Outputs(dir.Path(), kInputs);
        download = Download(2);
        test::WriteFileBytes(paths.Input, download);
        ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
        after = test::Outputs(dir.Path(), kInputs);
        ASSERT_EQ(after.size(), 5u);
        ASSERT_TRUE(before != after);
        test::Restore(dir.Path(), before, kInputs);
    }

    RawConversionOutcome RunHere() {
        SilentInteraction ui;
        return ConvertRawFile(RawFormat::Nikon, options, paths, ui).Outcome;
    }

    // The conversion in a child process; a file may grow to fileLimit bytes at most (-1: no limit).
    pid_t Start(long long fileLimit = -1) {
        return test::StartChild([this] { return static_cast<int>(RunHere()); }, fileLimit);
    }
};

TEST_F(RawInterrupted, KilledAtAnyMomentLeavesTheOldFilesOrTheNewOnes) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(test::WaitChild(Start()), static_cast<int>(RawConversionOutcome::Converted));
        ASSERT_TRUE(test::Outputs(dir.Path(), kInputs) == after);
        test::Restore(dir.Path(), before, kInputs);
    }
    const auto runTime = (std::chrono::steady_clock::now() - t0) / 3;
    std::mt19937 random(33);
    std::uniform_int_distribution<long long> moment(0, std::chrono::nanoseconds(runTime).count() * 6 / 5);
    int old = 0, fresh = 0;
    for (int trial = 0; trial < 150; ++trial) {
        test::KillChildAfter(Start(), std::chrono::nanoseconds(moment(random)));
        // The next conversion to the same files finishes a set that was committed and clears the rest.
        OutputSet::Recover(paths.Observations);
        const test::Snapshot got = test::Outputs(dir.Path(), kInputs);
        if (got == before) {
            ++old;
        } else if (got == after) {
            ++fresh;
        } else {
            ADD_FAILURE() << "trial " << trial << ": neither set, differing:" << test::Differences(got, before);
        }
        EXPECT_EQ(test::ReadFileBytes(paths.Input), download);
        test::Restore(dir.Path(), before, kInputs);
    }
    EXPECT_GT(old, 0);
    EXPECT_GT(fresh, 0);
}

TEST_F(RawInterrupted, AFullDiskLeavesTheOldFilesAndNoStagedOnes) {
    std::size_t largest = 0;
    for (const auto& [name, bytes] : after) largest = std::max(largest, bytes.size());
    const auto runWithRoomFor = [&](long long limit) { return test::WaitChild(Start(limit)); };
    for (long long limit : {0LL, 1LL, 100LL, 1000LL, static_cast<long long>(largest) / 2,
                            static_cast<long long>(largest) - 1}) {
        SCOPED_TRACE("files stop at " + std::to_string(limit) + " bytes");
        EXPECT_EQ(runWithRoomFor(limit), static_cast<int>(RawConversionOutcome::WriteFailed));
        const test::Snapshot got = test::Outputs(dir.Path(), kInputs);
        EXPECT_TRUE(got == before) << "differing:" << test::Differences(got, before);
        test::Restore(dir.Path(), before, kInputs);
    }
    EXPECT_EQ(runWithRoomFor(static_cast<long long>(largest)), static_cast<int>(RawConversionOutcome::Converted));
    EXPECT_TRUE(test::Outputs(dir.Path(), kInputs) == after);
}

// A link named like the old work file is never followed: nothing in the user's folder is written
// but the outputs.
TEST_F(RawInterrupted, WritesNoWorkFileBesideTheOutputs) {
    const std::string target = dir.File("target.txt");
    test::WriteFileBytes(target, "keep");
    ASSERT_EQ(::symlink(target.c_str(), dir.File("obs.$$$").c_str()), 0);
    ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
    EXPECT_EQ(test::ReadFileBytes(target), "keep");
    test::Snapshot expected = after;
    expected["target.txt"] = "keep";
    expected["obs.$$$"] = "keep";
    EXPECT_TRUE(test::Outputs(dir.Path(), kInputs) == expected)
        << test::Differences(test::Outputs(dir.Path(), kInputs), expected);
}

}  // namespace
}  // namespace qef
