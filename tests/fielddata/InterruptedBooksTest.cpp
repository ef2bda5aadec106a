// The books of one run are one set: a run that dies at any moment, or runs out of disk, leaves the
// books of the run before it whole or the new ones whole, never a mix, never a temporary, and never
// touches its input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <ostream>
#include <string>

#include "core/model/OutputSet.h"
#include "core/text/VnCodec.h"
#include "fielddata/books/FieldBookReduction.h"
#include "fielddata/books/ObservationBooks.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"
#include "support/InterruptedRuns.h"
#include "support/MoveFaults.h"

namespace qef {
namespace {

// How a run ended, as a child's exit code.
enum Ended { kCompleted = 0, kWriteFailed = 1, kOther = 2 };

struct BookCommand {
    const char* Name;
    // The input for run `variant` (0 the run before, 1 the run under test).
    std::string (*Input)(int variant);
    Ended (*Run)(const std::string& dir, Interaction& ui);
};
void PrintTo(const BookCommand& command, std::ostream* os) { *os << command.Name; }

// Sixty stations of two sets of two directions, and many sides, each forward and back: the
// distance book, written after the angle book, is the largest.
std::string RawInput(int variant) {
    std::string text;
    char line[128];
    for (int i = 1; i <= 3000; ++i) {
        const int b = (i * 7 + variant * 3) % 50;
        const int t = (i * 13 + variant) % 50;
        const auto angle = [&](const char* target, int deg, int sec) {
            std::snprintf(line, sizeof line, "B%d\tS%d\t%s%d\t%d.%04d\r\n", i, i, target, i, deg, sec);
            text += line;
        };
        if (i <= 60) {
            angle("B", 0, b);
            angle("T", 75, 2030 + t);
            angle("T", 255, 2036 + t);
            angle("B", 180, b + 4);
            angle("B", 90, b);
            angle("T", 165, 2030 + t);
            angle("T", 345, 2034 + t);
            angle("B", 270, b + 2);
        }
        std::snprintf(line, sizeof line, "S%d\tT%d\t%d.%03d\r\nT%d\tS%d\t%d.%03d\r\n", i, i, 100 + i, t, i, i, 100 + i,
                      t + 2);
        text += line;
    }
    return text;
}

Ended RunFieldBooks(const std::string& dir, Interaction& ui) {
    FieldBookOptions options;
    options.AngleSets = 2;
    options.DistanceCount = 2;
    options.DistanceTolerance = 5;
    switch (BuildFieldBooks({dir + "/in.dta", dir + "/goc.txt", dir + "/canh.txt", dir + "/bs.dta"}, options,
                            ComputationSettings{}, ui)) {
    case FieldBookOutcome::Completed: return kCompleted;
    case FieldBookOutcome::WriteFailed: return kWriteFailed;
    default: return kOther;
    }
}

// A long traverse whose angles were kept only at its first points: the distance book, written
// after the angle book, is the largest.
std::string ObservationInput(int variant) {
    std::string text;
    char line[128];
    for (int i = 1; i <= 3000; ++i) {
        if (i <= 30) {
            std::snprintf(line, sizeof line, "P%d\tP%d\tP%d\t%d.%02d%02d\r\n", i - 1, i, i + 1,
                          (i * 37 + variant) % 360, i % 60, (i * 7) % 60);
            text += line;
        }
        std::snprintf(line, sizeof line, "P%d\tP%d\t%d.%03d\r\n", i, i + 1, 100 + i, (i + variant) % 1000);
        text += line;
    }
    return text;
}

Ended RunObservationBooks(const std::string& dir, Interaction& ui) {
    FieldBookOptions options;
    options.AngleSets = 2;
    options.HalfSetTolerance = 8;
    options.TwoCVariation = 12;
    SeededRandom random(31);
    const ToolStatus status = WriteObservationBooks(
        {dir + "/in.dta", dir + "/goc.txt", dir + "/canh.txt", dir + "/bs.dta"}, options, ComputationSettings{}, random, ui);
    return status.Outcome == RunOutcome::Completed     ? kCompleted
           : status.Outcome == RunOutcome::WriteFailed ? kWriteFailed
                                                       : kOther;
}

class InterruptedBooks : public ::testing::TestWithParam<BookCommand> {
protected:
    test::TempDir dir;
    std::string input;  // the input of the run under test
    test::RunFolder folder{dir.Path(), {"in.dta"}, {}, {}};
    const test::StartRun start = [this](long long fileLimit) {
        return test::StartChild([this] { return RunHere(); }, fileLimit);
    };
    const test::RunWith runWith = [this](Interaction& ui) { return static_cast<int>(GetParam().Run(dir.Path(), ui)); };
    int RunHere() {
        SilentInteraction ui;
        return runWith(ui);
    }

    void SetUp() override {
        test::WriteFileBytes(dir.File("in.dta"), GetParam().Input(0));
        ASSERT_EQ(RunHere(), kCompleted);
        folder.Before = folder.Now();
        input = GetParam().Input(1);
        test::WriteFileBytes(dir.File("in.dta"), input);
        ASSERT_EQ(RunHere(), kCompleted);
        folder.After = folder.Now();
        ASSERT_EQ(folder.After.size(), 3u);
        for (const auto& [name, bytes] : folder.After) ASSERT_NE(folder.Before.at(name), bytes) << name;
        folder.PutBackBefore();
    }
};

TEST_P(InterruptedBooks, KilledAtAnyMomentLeavesTheOldBooksOrTheNewOnes) {
    std::chrono::nanoseconds runTime{};
    ASSERT_NO_FATAL_FAILURE(test::TimeWholeRuns(folder, start, 3, kCompleted, runTime));
    test::ExpectKilledRunsLeaveOldOrNew(folder, start, runTime, 33, 120, dir.File("goc.txt"), [&](int trial) {
        EXPECT_EQ(test::ReadFileBytes(dir.File("in.dta")), input) << "trial " << trial;
    });
}

TEST_P(InterruptedBooks, AFullDiskLeavesTheOldBooksAndNoStagedOnes) {
    const std::size_t largest = test::LargestFile(folder.After);
    // Room for the angle book but not for the distance book after it.
    ASSERT_EQ(folder.After.at("canh.txt").size(), largest);
    ASSERT_LT(folder.After.at("goc.txt").size(), largest / 2);
    test::ExpectFullDisksLeaveTheOldOutputs(
        folder, start,
        {0LL, 1LL, 100LL, 5000LL, static_cast<long long>(largest) / 2, static_cast<long long>(largest) - 1},
        kWriteFailed, [&] { EXPECT_EQ(test::ReadFileBytes(dir.File("in.dta")), input); });
    EXPECT_EQ(test::WaitChild(start(static_cast<long long>(largest))), kCompleted);
    EXPECT_TRUE(folder.Now() == folder.After);
}

// A move refused at any point of the commit leaves the old books whole and names the book.
TEST_P(InterruptedBooks, AMoveRefusedAtAnyPointLeavesTheOldBooksAndNamesTheBook) {
    const int moves = test::ExpectRefusedMovesLeaveTheOldFiles(folder, {dir.Path()}, runWith, kCompleted, kWriteFailed,
                                                               "Không ghi được file ");
    EXPECT_EQ(moves, 6);  // three books, each set aside and replaced
    EXPECT_EQ(test::ReadFileBytes(dir.File("in.dta")), input);
}

// While another run writes the same books the run is refused, and the books are as they were.
TEST_P(InterruptedBooks, ARunIsRefusedWhileAnotherWritesTheBooks) {
    // Refused before it reads: nothing else is said.
    ASSERT_NO_FATAL_FAILURE(test::ExpectRefusedWhileAnotherHolds(dir.File("goc.txt"), runWith, kWriteFailed));
    EXPECT_TRUE(folder.Now() == folder.Before);
}

INSTANTIATE_TEST_SUITE_P(Commands, InterruptedBooks,
                         ::testing::Values(BookCommand{"FieldBooks", &RawInput, &RunFieldBooks},
                                           BookCommand{"ObservationBooks", &ObservationInput, &RunObservationBooks}),
                         [](const auto& param) { return std::string(param.param.Name); });

}  // namespace
}  // namespace qef
