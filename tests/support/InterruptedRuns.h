#pragma once
// Runs killed at a random moment or stopped by a full disk, and what they leave in their folder:
// the outputs of the run before them, or their own, whole.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "support/OutputSnapshot.h"

namespace qef::test {

// The folder of a run: its inputs, the outputs of an earlier run and those of the run under test
// run to its end.
struct RunFolder {
    std::string Dir;
    std::set<std::string> Inputs;
    Snapshot Before, After;

    Snapshot Now() const { return Outputs(Dir, Inputs); }
    // Puts the earlier run's outputs back.
    void PutBackBefore() const { Restore(Dir, Before, Inputs); }
};

// Starts the run under test in a child process; its files may grow to fileLimit bytes (-1: no limit).
using StartRun = std::function<pid_t(long long fileLimit)>;

// The mean time of `runs` whole runs in a child, each of which must exit with `completed` and leave
// the new outputs; the old ones are put back after each.
void TimeWholeRuns(const RunFolder& folder, const StartRun& start, int runs, int completed,
                   std::chrono::nanoseconds& runTime);

// Kills `trials` runs at moments drawn with `seed` over 6/5 of runTime. After each kill, the next
// run's recovery of `resultFile` must leave the old outputs or the new ones, and both must occur.
// `check(trial)` checks more after each trial.
void ExpectKilledRunsLeaveOldOrNew(const RunFolder& folder, const StartRun& start, std::chrono::nanoseconds runTime,
                                   unsigned seed, int trials, const std::string& resultFile,
                                   const std::function<void(int trial)>& check = {});

// With files stopping at each of `limits` bytes, the run exits with `writeFailed` and leaves the
// old outputs; `check()` checks more after each.
void ExpectFullDisksLeaveTheOldOutputs(const RunFolder& folder, const StartRun& start,
                                       const std::vector<long long>& limits, int writeFailed,
                                       const std::function<void()>& check = {});

// The size of the largest file of a snapshot.
std::size_t LargestFile(const Snapshot& files);

}  // namespace qef::test
