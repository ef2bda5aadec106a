#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/SyntheticNetwork.h"
#include "support/Fakes.h"
#include "support/Lists.h"

namespace qef {
namespace {

using test::SyntheticNetwork;

// Copies of one connecting traverse side by side, each with a short traverse hanging from a point
// in its middle: every copy is a group of the first order (its spur first walked, then held
// back), the spurs start groups of the second order and end as hanging traverses.
SyntheticNetwork TraversesSideBySide(int copies) {
    SyntheticNetwork net;
    for (int c = 0; c < copies; ++c) {
        const std::string s = "_" + std::to_string(c);
        const double x = 1000.0 * c;
        for (const auto& [name, px, py, known] :
             {std::tuple{"TA", 300.0, 4800.0, true}, {"A", 0.0, 5000.0, true}, {"B", 420.0, 5905.0, true},
              {"TB", 710.0, 6120.0, true}, {"P1", 105.3, 5180.4, false}, {"P2", 80.7, 5402.2, false},
              {"P3", 260.1, 5555.9, false}, {"P4", 301.6, 5760.3, false}, {"S1", -120.4, 5450.8, false},
              {"S2", -260.9, 5590.1, false}})
            net.AddPoint(name + s, x + px, py, known);
        net.AddBranch({"A" + s, "P1" + s, "P2" + s, "P3" + s, "P4" + s, "B" + s}, BranchKind::BothEnds, "TA" + s,
                      "TB" + s);
        net.AddBranch({"P2" + s, "S1" + s, "S2" + s}, BranchKind::StartOnly, "P1" + s);
    }
    net.Observe(1, 0.0, 0.0);
    return net;
}

long long AnalysisSteps(int copies) {
    const SyntheticNetwork net = TraversesSideBySide(copies);
    test::TempDir dir;
    const AdjustmentInput files{dir.File("known.txt"), dir.File("obs.txt"), "", dir.File("kq.dta")};
    test::WriteFileBytes(files.KnownPointsFile, net.KnownText());
    test::WriteFileBytes(files.ObservationFile, net.ObservationText());
    test::ScriptedInteraction ui;
    test::RecordingProgress progress;
    RunRecord run;
    const RunStatus status = AdjustNetworkByOrder(files, ComputationSettings{}, ui, progress, run);
    EXPECT_EQ(status.Outcome, RunOutcome::Completed);
    EXPECT_EQ(status.Orders, 2);
    EXPECT_EQ(run.GroupCounter, copies);
    int repeats = 0;
    const auto result = test::ReadResult(files.ResultFile, repeats);
    EXPECT_EQ(repeats, 0);
    EXPECT_EQ(result.size(), net.Points.size());  // the spurs too
    return run.AnalysisSteps;
}

// The analysis reads what each group needs through indexes kept over the order: ten times the
// groups is ten times the work. Scanning the network for every group would make it a hundred.
TEST(WorkGrowth, AnalysisWorkGrowsWithTheNumberOfGroups) {
    const long long small = AnalysisSteps(100);
    const long long large = AnalysisSteps(1000);
    ASSERT_GT(small, 0);
    EXPECT_LT(static_cast<double>(large) / static_cast<double>(small), 12.0) << small << " -> " << large;
}

}  // namespace
}  // namespace qef
