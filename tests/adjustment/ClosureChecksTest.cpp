#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adjustment/ClosureChecks.h"
#include "adjustment/SyntheticNetwork.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// Branches given by their point names: 4 angles and 1000 m each, every closure 0, k = 30, T = 4000.
struct ClosureGroup : test::HandGroup {
    explicit ClosureGroup(const std::vector<std::vector<std::string>>& branches) : HandGroup(branches) {
        for (int b = 1; b <= ws.Nb; ++b) {
            ws.BranchAngleCounts[b] = 4;
            ws.BranchLengthSums[b] = 1000.0;
        }
    }
};

TEST(ClosureChecks, TolerancesAreKRootNSecondsAndOneInT) {
    // 30" x sqrt(4) = 60" allowed (times the factor); 1000 m / 4000 = 0.25 m.
    struct Case {
        double fbSeconds, fs, factor, length;
        bool noAngleClosure;
        ClosureKind kind;
        bool exceeds;
    };
    constexpr ClosureKind angular = ClosureKind::Angular;
    constexpr ClosureKind linear = ClosureKind::Linear;
    const Case cases[] = {{60.0, 0, 1, 1000, false, angular, false},  {-60.1, 0, 1, 1000, false, angular, true},
                          {-60.1, 0, 2, 1000, false, angular, false}, {-60.1, 0, 1, 1000, true, angular, false},
                          {0, 0.25, 1, 1000, false, linear, false},   {0, 0.251, 1, 1000, false, linear, true},
                          {0, 0.25, 1, 0.0, false, linear, true}};  // a branch of no length is never within
    for (const Case& c : cases) {
        ClosureGroup g({{"A", "B", "C", "D"}});
        g.ws.ClosureFb[1] = c.fbSeconds / 3600.0;
        g.ws.ClosureFs[1] = c.fs;
        g.ws.BranchLengthSums[1] = c.length;
        g.ws.NoAngleClosure[1] = c.noAngleClosure ? 1 : 0;
        EXPECT_EQ(BranchExceedsTolerance(g.ws, c.factor, 1, c.kind), c.exceeds) << c.fbSeconds << " " << c.fs;
    }
}

TEST(ClosureChecks, FailingLinearClosureIsNamedShownAndAskedOnce) {
    for (Answer answer : {Answer::Yes, Answer::No}) {
        ClosureGroup g({{"A", "B", "C", "D"}, {"E", "F"}, {"G", "H", "I"}});
        g.ws.ClosureFs[1] = 0.3;  // 1/3333: fails
        g.ws.ClosureFs[2] = 0.4;  // fails
        g.ws.ClosureFs[3] = 0.1;  // within
        RunRecord run;
        test::ScriptedInteraction ui;
        ui.answers.push_back(answer);
        const ClosureCheckResult result =
            CheckBranchClosures(g.ws, g.model, ClosureKind::Linear, "Canh cua nhanh", run, ui);
        EXPECT_EQ(result, answer == Answer::Yes ? ClosureCheckResult::GoOn : ClosureCheckResult::Stop);
        const std::vector<std::string> lines = {"Canh cua nhanh A B .. D sai", "Canh cua nhanh E .. F sai"};
        EXPECT_EQ(run.ProgressLog.Lines(), lines);
        ASSERT_EQ(ui.calls.size(), 3u);
        EXPECT_EQ(ui.Messages(), lines);
        EXPECT_EQ(ui.calls[2].kind + ":" + ui.calls[2].text, "yesno:Co tinh nua khong");
    }
}

TEST(ClosureChecks, BranchesArePairedLargestWithSmallest) {
    using Steps = std::vector<std::vector<int>>;  // head, tail, page break after
    auto steps = [](const std::vector<int>& counts) {
        std::vector<std::vector<std::string>> branches;
        for (int n : counts) branches.emplace_back(static_cast<std::size_t>(n), "P");
        ClosureGroup g(branches);
        Steps out;
        for (const BranchPageStep& s : PairBranchesForPages(g.model.Branches, g.ws.Nb))
            out.push_back({s.Head, s.Tail, s.PageBreakAfter ? 1 : 0});
        return out;
    };
    EXPECT_EQ(steps({6, 4}), (Steps{{1, 2, 0}}));
    EXPECT_EQ(steps({7, 4}), (Steps{{1, 0, 1}, {2, 0, 0}}));
    EXPECT_EQ(steps({3}), (Steps{{1, 0, 0}}));
    // 8 with 2, then 6 with 3, then 5 alone; equal counts keep the lower number first.
    EXPECT_EQ(steps({5, 8, 3, 2, 6}), (Steps{{2, 4, 1}, {5, 3, 1}, {1, 0, 0}}));
    EXPECT_EQ(steps({4, 4, 4}), (Steps{{1, 3, 1}, {2, 0, 0}}));
}

}  // namespace
}  // namespace qef
