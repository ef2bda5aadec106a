// A conversion that dies or runs out of disk leaves the files of the conversion before it whole:
// all as they were, or all the new ones, never a mixture and never a temporary; the download stays
// as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "core/model/OutputSet.h"
#include "core/text/VnCodec.h"
#include "fielddata/raw/RawConversion.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/InterruptedRuns.h"
#include "support/MoveFaults.h"

namespace qef {
namespace {

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
    test::RunFolder folder{dir.Path(), {"raw.txt"}, {}, {}};
    std::string download;
    // The conversion in a child process.
    const test::StartRun start = [this](long long fileLimit) {
        return test::StartChild([this] { return static_cast<int>(RunHere()); }, fileLimit);
    };

    void SetUp() override {
        options.WithHeights = true;
        options.ControlFromNumber = 5000;
        test::WriteFileBytes(paths.Input, Download(1));
        ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
        folder.Before = folder.Now();
        download = Download(2);
        test::WriteFileBytes(paths.Input, download);
        ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
        folder.After = folder.Now();
        ASSERT_EQ(folder.After.size(), 5u);
        ASSERT_TRUE(folder.Before != folder.After);
        folder.PutBackBefore();
    }

    RawConversionOutcome RunHere() {
        SilentInteraction ui;
        return static_cast<RawConversionOutcome>(runWith(ui));
    }
    const test::RunWith runWith = [this](Interaction& ui) {
        return static_cast<int>(ConvertRawFile(RawFormat::Nikon, options, paths, ui).Outcome);
    };
};

TEST_F(RawInterrupted, AMoveRefusedAtAnyPointLeavesTheOldFilesAndNamesTheFile) {
    const int moves = test::ExpectRefusedMovesLeaveTheOldFiles(
        folder, {dir.Path()}, runWith, static_cast<int>(RawConversionOutcome::Converted),
        static_cast<int>(RawConversionOutcome::WriteFailed), "Không ghi được file ");
    EXPECT_EQ(moves, 10);  // five outputs, each set aside and replaced
    EXPECT_EQ(test::ReadFileBytes(paths.Input), download);
}

// The detail files in a second folder belong to the same set: killed at any move, or with any move
// refused, both folders end old, or both new.
TEST_F(RawInterrupted, OutputsInTwoFoldersAreOneSet) {
    const std::string sub = dir.File("sub");
    std::filesystem::create_directory(sub);
    paths.Detail = sub + "/mia.DTA";
    paths.DetailHeights = sub + "/micao.DTA";
    test::RunFolder main{dir.Path(), {"raw.txt", "sub"}, {}, {}};
    test::RunFolder second{sub, {}, {}, {}};
    test::Restore(dir.Path(), {}, main.Inputs);
    test::WriteFileBytes(paths.Input, Download(1));
    ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
    main.Before = main.Now();
    second.Before = second.Now();
    test::WriteFileBytes(paths.Input, download);
    ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
    main.After = main.Now();
    second.After = second.Now();
    ASSERT_EQ(main.After.size(), 3u);
    ASSERT_EQ(second.After.size(), 2u);
    const auto putBack = [&] {
        main.PutBackBefore();
        second.PutBackBefore();
    };
    const auto whole = [&] {
        return (main.Now() == main.Before && second.Now() == second.Before) ||
               (main.Now() == main.After && second.Now() == second.After);
    };
    putBack();
    test::WatchMoves({dir.Path(), sub});
    ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
    const int moves = test::MovesSeen();
    test::StopWatchingMoves();
    EXPECT_EQ(moves, 10);
    int fresh = 0;
    for (int at = 1; at <= moves + 1; ++at) {
        putBack();
        test::WaitChild(test::StartChild([&] {
            test::WatchMoves({dir.Path(), sub}, test::MoveFault::Kill, at);
            return static_cast<int>(RunHere());
        }));
        OutputSet::Recover(paths.Observations);
        EXPECT_TRUE(whole()) << "killed at move " << at;
        fresh += main.Now() == main.After;
    }
    EXPECT_EQ(fresh, moves + 1);  // every kill fell after the journal: the set is finished
    for (int at = 1; at <= moves; ++at) {
        putBack();
        test::WatchMoves({dir.Path(), sub}, test::MoveFault::Refuse, at);
        test::ScriptedInteraction ui;
        EXPECT_EQ(runWith(ui), static_cast<int>(RawConversionOutcome::WriteFailed));
        test::StopWatchingMoves();
        EXPECT_TRUE(main.Now() == main.Before && second.Now() == second.Before) << "refused move " << at;
        ASSERT_FALSE(ui.Messages().empty());
        EXPECT_EQ(ui.Messages().back(),
                  Vn("Không ghi được file ") + test::RefusedMove() + Vn(" : file đang được dùng"));
    }
}

TEST_F(RawInterrupted, KilledAtAnyMomentLeavesTheOldFilesOrTheNewOnes) {
    std::chrono::nanoseconds runTime{};
    ASSERT_NO_FATAL_FAILURE(
        test::TimeWholeRuns(folder, start, 3, static_cast<int>(RawConversionOutcome::Converted), runTime));
    test::ExpectKilledRunsLeaveOldOrNew(folder, start, runTime, 33, 150, paths.Observations, [&](int trial) {
        EXPECT_EQ(test::ReadFileBytes(paths.Input), download) << "trial " << trial;
    });
}

TEST_F(RawInterrupted, AFullDiskLeavesTheOldFilesAndNoStagedOnes) {
    const std::size_t largest = test::LargestFile(folder.After);
    test::ExpectFullDisksLeaveTheOldOutputs(
        folder, start,
        {0LL, 1LL, 100LL, 1000LL, static_cast<long long>(largest) / 2, static_cast<long long>(largest) - 1},
        static_cast<int>(RawConversionOutcome::WriteFailed));
    EXPECT_EQ(test::WaitChild(start(static_cast<long long>(largest))),
              static_cast<int>(RawConversionOutcome::Converted));
    EXPECT_TRUE(folder.Now() == folder.After);
}

// A link named like the old work file is never followed: nothing in the user's folder is written
// but the outputs.
TEST_F(RawInterrupted, WritesNoWorkFileBesideTheOutputs) {
    const std::string target = dir.File("target.txt");
    test::WriteFileBytes(target, "keep");
    ASSERT_EQ(::symlink(target.c_str(), dir.File("obs.$$$").c_str()), 0);
    ASSERT_EQ(RunHere(), RawConversionOutcome::Converted);
    EXPECT_EQ(test::ReadFileBytes(target), "keep");
    test::Snapshot expected = folder.After;
    expected["target.txt"] = "keep";
    expected["obs.$$$"] = "keep";
    EXPECT_TRUE(folder.Now() == expected) << test::Differences(folder.Now(), expected);
}

// Two conversions of other downloads into the same files at once, the moves slowed: the second
// is refused, and the folder ends with the files of one download; a conversion started while
// another holds the files is refused before it writes.
TEST_F(RawInterrupted, TwoConversionsAtOnceNeverMixTheirFiles) {
    test::ExpectARunRefusedWhileAnotherHoldsItsResult(folder, paths.Observations, runWith,
                                                      static_cast<int>(RawConversionOutcome::Converted),
                                                      static_cast<int>(RawConversionOutcome::WriteFailed));
    RawConversionPaths otherPaths = paths;
    otherPaths.Input = dir.File("raw2.txt");
    folder.Inputs.insert("raw2.txt");
    test::WriteFileBytes(otherPaths.Input, Download(3));
    const test::RunWith other = [&](Interaction& ui) {
        return static_cast<int>(ConvertRawFile(RawFormat::Nikon, options, otherPaths, ui).Outcome);
    };
    SilentInteraction ui;
    ASSERT_EQ(other(ui), static_cast<int>(RawConversionOutcome::Converted));
    const test::Snapshot otherSet = folder.Now();
    ASSERT_EQ(otherSet.size(), 5u);
    test::ExpectTwoRunsAtOnceNeverMix(folder, {dir.Path()}, runWith, other, otherSet,
                                      static_cast<int>(RawConversionOutcome::Converted),
                                      static_cast<int>(RawConversionOutcome::WriteFailed));
    EXPECT_EQ(test::ReadFileBytes(paths.Input), download);
}

}  // namespace
}  // namespace qef
