#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/SyntheticNetwork.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

namespace fs = std::filesystem;
using test::SyntheticNetwork;

constexpr int kGroups = 30;

// Connecting traverses side by side, each a group of its own, with a spur from its second point
// that ends as a hanging traverse: the groups and the hanging stage write the same files.
SyntheticNetwork GroupsWithSpurs() {
    SyntheticNetwork net;
    for (int c = 0; c < kGroups; ++c) {
        const std::string s = "_" + std::to_string(c);
        const double x = 2000.0 * c;
        for (const auto& [name, px, py, known] :
             {std::tuple{"M", 0.0, 0.0, true}, {"K", 200.0, 250.0, true}, {"L", 930.0, 1010.0, true},
              {"N", 1080.0, 1330.0, true}, {"Q1", 390.0, 330.0, false}, {"Q2", 560.0, 520.0, false},
              {"Q3", 760.0, 800.0, false}, {"H1", 520.0, 150.0, false}, {"H2", 700.0, 40.0, false}})
            net.AddPoint(name + s, x + px, py, known);
        net.AddBranch({"K" + s, "Q1" + s, "Q2" + s, "Q3" + s, "L" + s}, BranchKind::BothEnds, "M" + s, "N" + s);
        net.AddBranch({"Q2" + s, "H1" + s, "H2" + s}, BranchKind::StartOnly, "Q1" + s);
    }
    net.Observe(7, 2.0 / 3600.0, 0.002);
    return net;
}

// Watches the run's staging folder from the moment the run makes it: the first progress report
// after the set is opened. Counts, per file, the closes of a descriptor that was open for writing,
// which is one for every time the run opened the file to write it.
class WatchingProgress : public NullProgress {
public:
    explicit WatchingProgress(std::string folder) : folder_(std::move(folder)) {}
    ~WatchingProgress() override {
        if (fd_ >= 0) ::close(fd_);
    }
    void SetText(MonitorLabel, const std::string&) override { Watch(); }
    void SetPosition(int) override { Watch(); }

    std::map<std::string, int> WriteOpens() {
        std::map<std::string, int> opens;
        alignas(inotify_event) char buffer[1 << 16];
        for (ssize_t n; fd_ >= 0 && (n = ::read(fd_, buffer, sizeof buffer)) > 0;)
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0 && (event->mask & IN_CLOSE_WRITE) != 0) ++opens[event->name];
                EXPECT_EQ(event->mask & IN_Q_OVERFLOW, 0u);
                p += sizeof(inotify_event) + event->len;
            }
        return opens;
    }

private:
    void Watch() {
        if (fd_ >= 0) return;
        std::error_code ec;
        for (const auto& area : fs::directory_iterator(folder_, ec)) {
            if (area.path().filename().string().rfind(".~qef", 0) != 0) continue;
            for (const auto& run : fs::directory_iterator(area.path(), ec)) {
                const fs::path staged = run.path() / "n";
                if (!fs::is_directory(staged, ec)) continue;
                fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
                if (fd_ >= 0) ::inotify_add_watch(fd_, staged.c_str(), IN_CLOSE_WRITE);
                return;
            }
        }
    }

    std::string folder_;
    int fd_ = -1;
};

// A run of many groups opens each file it writes once, not once for every group, and every group's
// part is still there.
TEST(RunFiles, EachFileOfARunOfManyGroupsIsOpenedOnce) {
    const SyntheticNetwork net = GroupsWithSpurs();
    test::TempDir dir;
    const AdjustmentInput files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")};
    test::WriteFileBytes(files.KnownPointsFile, net.KnownText());
    test::WriteFileBytes(files.ObservationFile, net.ObservationText());
    ComputationSettings settings;
    settings.KeepAccents = false;
    settings.Modes.RigorousWanted = true;
    settings.WriteDhFile = true;
    settings.HeightReduction = true;
    settings.MeanAreaHeight = 20.0;
    test::ScriptedInteraction ui;
    WatchingProgress progress(dir.Path());
    RunRecord run;
    const RunStatus status = AdjustNetworkByOrder(files, settings, ui, progress, run);
    ASSERT_EQ(status.Outcome, RunOutcome::Completed);
    ASSERT_EQ(status.RigorousGroups, kGroups);
    ASSERT_EQ(run.GroupCounter, kGroups);

    const std::map<std::string, int> opens = progress.WriteOpens();
    // The result file, the main report, the side table, the four rigorous tables, the dh file,
    // the closure table and the log: every one written, every one opened once.
    for (const char* name : {"kq.dta", "kq.in", "kq.in1", "kq.in2", "kq.in3", "kq.in4", "kq.in5", "kq.dh", "kq.in6",
                             "kq.in7"}) {
        const auto it = opens.find(name);
        ASSERT_NE(it, opens.end()) << name;
        EXPECT_EQ(it->second, 1) << name;
    }

    // Every point once in the result file, the spurs' points too.
    int repeats = 0;
    const auto result = test::ReadResult(files.ResultFile, repeats);
    EXPECT_EQ(repeats, 0);
    EXPECT_EQ(result.size(), net.Points.size());
    // One table of two branches per group, then the hanging traverses' pages.
    const std::string report = test::ReadFileBytes(dir.File("kq.in"));
    std::size_t tables = 0;
    for (std::size_t at = report.find("Ket qua binh sai don gian"); at != std::string::npos;
         at = report.find("Ket qua binh sai don gian", at + 1))
        ++tables;
    EXPECT_EQ(tables, static_cast<std::size_t>(kGroups));
}

}  // namespace
}  // namespace qef
