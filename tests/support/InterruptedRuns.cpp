#include "support/InterruptedRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/model/OutputSet.h"
#include "support/ChildRun.h"

namespace qef::test {

void TimeWholeRuns(const RunFolder& folder, const StartRun& start, int runs, int completed,
                   std::chrono::nanoseconds& runTime) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) {
        ASSERT_EQ(WaitChild(start(-1)), completed);
        ASSERT_TRUE(folder.Now() == folder.After);
        folder.PutBackBefore();
    }
    runTime = (std::chrono::steady_clock::now() - t0) / runs;
}

void ExpectKilledRunsLeaveOldOrNew(const RunFolder& folder, const StartRun& start, std::chrono::nanoseconds runTime,
                                   unsigned seed, int trials, const std::string& resultFile,
                                   const std::function<void(int trial)>& check) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> moment(0, runTime.count() * 6 / 5);
    int old = 0, fresh = 0;
    for (int trial = 0; trial < trials; ++trial) {
        KillChildAfter(start(-1), std::chrono::nanoseconds(moment(random)));
        // The next run of the same result finishes a set that was committed and clears the rest.
        OutputSet::Recover(resultFile);
        const Snapshot got = folder.Now();
        if (got == folder.Before) {
            ++old;
        } else if (got == folder.After) {
            ++fresh;
        } else {
            ADD_FAILURE() << "trial " << trial << ": neither set, differing:" << Differences(got, folder.Before);
        }
        if (check) check(trial);
        folder.PutBackBefore();
    }
    // The kills fell both before and after the end of the run.
    EXPECT_GT(old, 0);
    EXPECT_GT(fresh, 0);
}

void ExpectFullDisksLeaveTheOldOutputs(const RunFolder& folder, const StartRun& start,
                                       const std::vector<long long>& limits, int writeFailed,
                                       const std::function<void()>& check) {
    for (long long limit : limits) {
        SCOPED_TRACE("files stop at " + std::to_string(limit) + " bytes");
        EXPECT_EQ(WaitChild(start(limit)), writeFailed);
        const Snapshot got = folder.Now();
        EXPECT_TRUE(got == folder.Before) << "differing:" << Differences(got, folder.Before);
        if (check) check();
        folder.PutBackBefore();
    }
}

std::size_t LargestFile(const Snapshot& files) {
    std::size_t largest = 0;
    for (const auto& [name, bytes] : files) largest = std::max(largest, bytes.size());
    return largest;
}

}  // namespace qef::test
