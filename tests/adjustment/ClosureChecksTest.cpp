#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adjustment/ClosureChecks.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// Branches given by their point names; every closure starts at 0.
struct ClosureGroup {
    NetworkModel model;
    GroupWorkingSet ws;

    explicit ClosureGroup(const std::vector<std::vector<std::string>>& branches) {
        int total = 0;
        for (const auto& points : branches) {
            model.Branches.BranchPointCounts.PushBack(static_cast<int>(points.size()));
            for (const auto& p : points) model.Branches.BranchPoints.PushBack(model.PointNames.Register(p));
            total += static_cast<int>(points.size());
        }
        ws.Nb = static_cast<int>(branches.size());
        ws.TotalPoints = total;
        model.Branches.BuildBranchOffsets(ws.Nb);
        ws.Allocate();
        ws.AngularClosureFactor = 30;
        ws.LinearClosureDenominator = 4000;
        for (int b = 1; b <= ws.Nb; ++b) {
            ws.BranchAngleCounts[static_cast<std::size_t>(b)] = 4;
            ws.BranchLengthSums[static_cast<std::size_t>(b)] = 1000.0;
        }
    }
};

TEST(ClosureChecks, TolerancesAreKRootNSecondsAndOneInT) {
    ClosureGroup g({{"A", "B", "C", "D"}});
    // k = 30, 4 angles: 60 seconds allowed.
    g.ws.ClosureFb[1] = 60.0 / 3600.0;
    EXPECT_FALSE(BranchExceedsTolerance(g.ws, 1.0, 1, true));
    g.ws.ClosureFb[1] = -60.1 / 3600.0;
    EXPECT_TRUE(BranchExceedsTolerance(g.ws, 1.0, 1, true));
    EXPECT_FALSE(BranchExceedsTolerance(g.ws, 2.0, 1, true));
    g.ws.NoAngleClosure[1] = 1;
    EXPECT_FALSE(BranchExceedsTolerance(g.ws, 1.0, 1, true));

    // T = 4000 over 1000 m: 0.25 m allowed.
    g.ws.ClosureFs[1] = 0.25;
    EXPECT_FALSE(BranchExceedsTolerance(g.ws, 1.0, 1, false));
    g.ws.ClosureFs[1] = 0.251;
    EXPECT_TRUE(BranchExceedsTolerance(g.ws, 1.0, 1, false));
    // A closure on a branch of no length is never within tolerance.
    g.ws.BranchLengthSums[1] = 0.0;
    EXPECT_TRUE(BranchExceedsTolerance(g.ws, 1.0, 1, false));
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
        const ClosureCheckResult result = CheckBranchClosures(g.ws, g.model, false, "Canh cua nhanh", run, ui);
        EXPECT_EQ(result, answer == Answer::Yes ? ClosureCheckResult::GoOn : ClosureCheckResult::Stop);
        const std::vector<std::string> lines = {"Canh cua nhanh A B .. D sai", "Canh cua nhanh E .. F sai"};
        EXPECT_EQ(run.ProgressLog.Lines(), lines);
        ASSERT_EQ(ui.calls.size(), 3u);
        EXPECT_EQ(ui.Messages(), lines);
        EXPECT_EQ(ui.calls[2].kind, "yesno");
        EXPECT_EQ(ui.calls[2].text, "Co tinh nua khong");
    }

    // Nothing fails: nothing logged, nothing asked.
    ClosureGroup g({{"A", "B", "C", "D"}});
    g.ws.ClosureFs[1] = 0.1;
    g.ws.ClosureFb[1] = 200.0 / 3600.0;  // the angular check is not asked for
    RunRecord run;
    test::ScriptedInteraction ui;
    EXPECT_EQ(CheckBranchClosures(g.ws, g.model, false, "Canh cua nhanh", run, ui), ClosureCheckResult::Within);
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_TRUE(run.ProgressLog.Lines().empty());
    // The angular check of the same branch fails.
    EXPECT_EQ(CheckBranchClosures(g.ws, g.model, true, "Goc cua nhanh", run, ui), ClosureCheckResult::GoOn);
    EXPECT_EQ(run.ProgressLog.Lines().back(), "Goc cua nhanh A B .. D sai");
}

TEST(ClosureChecks, BranchesArePairedLargestWithSmallest) {
    using Steps = std::vector<std::vector<int>>;  // head, tail, page break after
    auto steps = [](const std::vector<std::vector<std::string>>& branches) {
        ClosureGroup g(branches);
        Steps out;
        for (const BranchPageStep& s : PairBranchesForPages(g.model.Branches, g.ws.Nb))
            out.push_back({s.Head, s.Tail, s.PageBreakAfter ? 1 : 0});
        return out;
    };
    auto points = [](int n) { return std::vector<std::string>(static_cast<std::size_t>(n), "P"); };

    EXPECT_EQ(steps({points(6), points(4)}), (Steps{{1, 2, 0}}));
    EXPECT_EQ(steps({points(7), points(4)}), (Steps{{1, 0, 1}, {2, 0, 0}}));
    EXPECT_EQ(steps({points(3)}), (Steps{{1, 0, 0}}));
    // Counts 5, 8, 3, 2, 6: 8 with 2, then 6 with 3, then 5 alone.
    EXPECT_EQ(steps({points(5), points(8), points(3), points(2), points(6)}),
              (Steps{{2, 4, 1}, {5, 3, 1}, {1, 0, 0}}));
    // Equal counts keep the lower number first.
    EXPECT_EQ(steps({points(4), points(4), points(4)}), (Steps{{1, 3, 1}, {2, 0, 0}}));
}

}  // namespace
}  // namespace qef
