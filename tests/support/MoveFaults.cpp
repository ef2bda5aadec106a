#include "support/MoveFaults.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <cstdio>

#include "core/model/OutputSet.h"
#include "core/text/VnCodec.h"
#include "support/ChildRun.h"
#include "support/Fakes.h"

namespace {

struct Watch {
    bool On = false;
    std::vector<std::string> Folders;  // each with its trailing "/"
    qef::test::MoveFault Fault = qef::test::MoveFault::Count;
    int At = 0;
    int Error = EBUSY;
    int Seen = 0;
    std::string Refused;
};

Watch& State() {
    static Watch watch;
    return watch;
}

bool Watched(const char* path) {
    const std::string p(path);
    const std::size_t slash = p.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : p.substr(0, slash + 1);
    for (const std::string& f : State().Folders)
        if (folder == f) return true;
    return false;
}

}  // namespace

// Takes the place of the C library's rename in the test programs that use these helpers.
extern "C" int rename(const char* from, const char* to) {
    Watch& w = State();
    if (w.On && (Watched(from) || Watched(to))) {
        ++w.Seen;
        using qef::test::MoveFault;
        if (w.Fault == MoveFault::Slow) std::this_thread::sleep_for(std::chrono::milliseconds(w.At));
        if ((w.Seen == w.At && w.Fault == MoveFault::Kill) || (w.Seen == w.At + 1 && w.Fault == MoveFault::RefuseThenKill))
            ::kill(::getpid(), SIGKILL);
        if (w.Seen == w.At && (w.Fault == MoveFault::Refuse || w.Fault == MoveFault::RefuseThenKill)) {
            w.Refused = Watched(to) ? to : from;
            errno = w.Error;
            return -1;
        }
    }
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace qef::test {

void WatchMoves(const std::vector<std::string>& folders, MoveFault fault, int at, int error) {
    Watch& w = State();
    w = Watch{};
    for (std::string f : folders) {
        if (!f.empty() && f.back() != '/') f += '/';
        w.Folders.push_back(f);
    }
    w.On = true;
    w.Fault = fault;
    w.At = at;
    w.Error = error;
}

void StopWatchingMoves() { State().On = false; }
int MovesSeen() { return State().Seen; }
std::string RefusedMove() { return State().Refused; }

int ExpectRefusedMovesLeaveTheOldFiles(const RunFolder& folder, const std::vector<std::string>& folders,
                                       const RunWith& run, int completed, int writeFailed, const std::string& lead) {
    WatchMoves(folders);
    {
        SilentInteraction ui;
        EXPECT_EQ(run(ui), completed);
    }
    const int moves = MovesSeen();
    StopWatchingMoves();
    EXPECT_TRUE(folder.Now() == folder.After);
    folder.PutBackBefore();
    for (int at = 1; at <= moves; ++at) {
        SCOPED_TRACE("move " + std::to_string(at) + " of " + std::to_string(moves) + " refused");
        WatchMoves(folders, MoveFault::Refuse, at);
        ScriptedInteraction ui;
        EXPECT_EQ(run(ui), writeFailed);
        StopWatchingMoves();
        const Snapshot got = folder.Now();
        EXPECT_TRUE(got == folder.Before) << "differing:" << Differences(got, folder.Before);
        const std::vector<std::string> said = ui.Messages();
        EXPECT_FALSE(RefusedMove().empty());
        EXPECT_FALSE(said.empty());
        if (!said.empty()) {
            EXPECT_EQ(said.back(), Vn(lead) + RefusedMove() + Vn(" : file đang được dùng"));
        }
        folder.PutBackBefore();
    }
    return moves;
}

int ExpectKillsAtEachMoveLeaveOldOrNew(const RunFolder& folder, const std::vector<std::string>& folders,
                                       const RunWith& run, int moves, const std::string& resultFile) {
    for (int at = 1; at <= moves + 1; ++at) {
        SCOPED_TRACE("killed at move " + std::to_string(at));
        WaitChild(StartChild([&] {
            WatchMoves(folders, MoveFault::Kill, at);
            SilentInteraction ui;
            return run(ui);
        }));
        OutputSet::Recover(resultFile);
        const Snapshot got = folder.Now();
        EXPECT_TRUE(got == folder.Before || got == folder.After) << "differing:" << Differences(got, folder.After);
        folder.PutBackBefore();
    }
    return moves + 1;
}

void ExpectEachMoveRefusedOrKilledLeavesOldOrNew(const RunFolder& folder, const RunWith& run, int completed,
                                                 int writeFailed, const std::string& resultFile) {
    const int moves = ExpectRefusedMovesLeaveTheOldFiles(folder, {folder.Dir}, run, completed, writeFailed,
                                                         "Lỗi ghi file ");
    // Each file of the old set is set aside and its new one moved in.
    EXPECT_EQ(moves, 2 * static_cast<int>(folder.After.size()));
    ExpectKillsAtEachMoveLeaveOldOrNew(folder, {folder.Dir}, run, moves, resultFile);
}

void ExpectRefusedWhileAnotherHolds(const std::string& resultFile, const RunWith& run, int refused) {
    int held[2], release[2];
    ASSERT_EQ(::pipe(held), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = StartChild([&] {
        OutputSet set;
        if (!set.Begin(resultFile)) return 1;
        char c = 'x';
        if (::write(held[1], &c, 1) != 1 || ::read(release[0], &c, 1) != 1) return 2;
        return 0;
    });
    char c = 0;
    ASSERT_EQ(::read(held[0], &c, 1), 1);
    ScriptedInteraction ui;
    EXPECT_EQ(run(ui), refused);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{Vn("Kết quả ") + resultFile +
                                                      Vn(" đang được một lần tính khác ghi")});
    ASSERT_EQ(::write(release[1], &c, 1), 1);
    EXPECT_EQ(WaitChild(holder), 0);
    for (int fd : {held[0], held[1], release[0], release[1]}) ::close(fd);
}

void ExpectARunRefusedWhileAnotherHoldsItsResult(const RunFolder& folder, const std::string& resultFile,
                                                 const RunWith& run, int completed, int refused) {
    ASSERT_NO_FATAL_FAILURE(ExpectRefusedWhileAnotherHolds(resultFile, run, refused));
    EXPECT_TRUE(folder.Now() == folder.Before) << "differing:" << Differences(folder.Now(), folder.Before);
    SilentInteraction quiet;
    EXPECT_EQ(run(quiet), completed);
    EXPECT_TRUE(folder.Now() == folder.After) << "differing:" << Differences(folder.Now(), folder.After);
    folder.PutBackBefore();
}

void ExpectTwoRunsAtOnceNeverMix(const RunFolder& folder, const std::vector<std::string>& folders,
                                 const RunWith& run, const RunWith& other, const Snapshot& otherSet, int completed,
                                 int refused, int pairs, int slowMs) {
    EXPECT_TRUE(otherSet != folder.After);
    int refusals = 0;
    for (int pair = 0; pair < pairs; ++pair) {
        folder.PutBackBefore();
        const auto startSlow = [&](const RunWith& which) {
            return StartChild([&] {
                WatchMoves(folders, MoveFault::Slow, slowMs);
                SilentInteraction ui;
                return which(ui);
            });
        };
        const pid_t first = startSlow(run);
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * pair));
        const pid_t second = startSlow(other);
        for (int code : {WaitChild(first), WaitChild(second)}) {
            EXPECT_TRUE(code == completed || code == refused) << "pair " << pair << " ended " << code;
            refusals += code == refused;
        }
        const Snapshot got = folder.Now();
        EXPECT_TRUE(got == folder.After || got == otherSet)
            << "pair " << pair << ", differing from the first run's:" << Differences(got, folder.After)
            << "; from the second's:" << Differences(got, otherSet);
    }
    EXPECT_GT(refusals, 0) << "the runs never overlapped";
    folder.PutBackBefore();
}

}  // namespace qef::test
