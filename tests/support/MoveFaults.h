#pragma once
// Moves of files into and out of chosen folders, counted, refused or fatal: the moment a set of
// outputs is put in place, made to fail as a busy file on a network share does, or to die there.
#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "core/model/Interaction.h"
#include "support/InterruptedRuns.h"

namespace qef::test {

// RefuseThenKill refuses the move `at` and kills the process at the next one (putting back); Slow
// makes every move take `at` milliseconds more, as on a slow share.
enum class MoveFault { Count, Refuse, Kill, RefuseThenKill, Slow };

// From now on (and in children started later) every rename whose source or target lies directly in
// one of `folders` is counted; the one numbered `at` (from 1) is refused with `error` or kills the
// process before it happens.
void WatchMoves(const std::vector<std::string>& folders, MoveFault fault = MoveFault::Count, int at = 0,
                int error = EBUSY);
void StopWatchingMoves();
int MovesSeen();
// The path, in a watched folder, of the move that was refused.
std::string RefusedMove();

// A run of the command under test in this process, telling `ui`; returns its outcome.
using RunWith = std::function<int(Interaction& ui)>;

// Counts the moves of a whole run, then refuses each in turn: every such run must end with
// `writeFailed`, leave the old outputs and nothing else, and say last "<lead><file> : file đang được
// dùng" naming the file whose move was refused (`lead` UTF-8). Returns the count of moves.
int ExpectRefusedMovesLeaveTheOldFiles(const RunFolder& folder, const std::vector<std::string>& folders,
                                       const RunWith& run, int completed, int writeFailed, const std::string& lead);

// Kills a run in a child at each move in turn (and with no move left, after the last): the next
// run's recovery of `resultFile` leaves the old outputs or the new ones. Returns how many kills.
int ExpectKillsAtEachMoveLeaveOldOrNew(const RunFolder& folder, const std::vector<std::string>& folders,
                                       const RunWith& run, int moves, const std::string& resultFile);

// Both of the above for a run writing into folder.Dir alone, whose commit sets aside each old file
// and moves its new one in, its messages led by "Lỗi ghi file ".
void ExpectEachMoveRefusedOrKilledLeavesOldOrNew(const RunFolder& folder, const RunWith& run, int completed,
                                                 int writeFailed, const std::string& resultFile);

// While a child holds the set of `resultFile`, `run` must end with `refused` and say only that the
// result is being written by another run; the child then lets go.
void ExpectRefusedWhileAnotherHolds(const std::string& resultFile, const RunWith& run, int refused);

// As above, and the run leaves the old outputs; once the child has let go, the same run completes
// with the new ones.
void ExpectARunRefusedWhileAnotherHoldsItsResult(const RunFolder& folder, const std::string& resultFile,
                                                 const RunWith& run, int completed, int refused);

// `pairs` times, the run of folder.After and `other` (whose outputs are `otherSet`) start at once in
// two children with every move slowed by `slowMs`, the second a little later each pair: each ends
// `completed` or `refused`, and the folder ends with the set of one of them, never a mixture. At
// least one pair overlapped.
void ExpectTwoRunsAtOnceNeverMix(const RunFolder& folder, const std::vector<std::string>& folders,
                                 const RunWith& run, const RunWith& other, const Snapshot& otherSet, int completed,
                                 int refused, int pairs = 6, int slowMs = 5);

}  // namespace qef::test
