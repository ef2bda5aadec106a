#include <gtest/gtest.h>

#include <map>
#include <string>

#include "adjustment/AdjustByOrder.h"
#include "adjustment/AdjustClassic.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

using CommandRun = void (*)(const test::WholeRunCase& runCase, const std::string& dir, RunRecord& record,
                            Interaction& ui);

void RunF4(const test::WholeRunCase& runCase, const std::string& dir, RunRecord& record, Interaction& ui) {
    const AdjustmentInput files{runCase.File("known", dir), runCase.File("observations", dir),
                                runCase.File("heights", dir), runCase.File("result", dir)};
    test::RecordingProgress progress;
    EXPECT_EQ(AdjustNetworkByOrder(files, runCase.Settings, ui, progress, record).Outcome, runCase.Outcome);
    if (runCase.Outcome == RunOutcome::Completed) {
        EXPECT_EQ(progress.LastText(MonitorLabel::Stage), Vn("Kết thúc"));
    }
}

// The older single-pass command of the menus.
void RunClassic(const test::WholeRunCase& runCase, const std::string& dir, RunRecord& record, Interaction& ui) {
    const AdjustmentInput files{runCase.File("known", dir), runCase.File("observations", dir),
                                runCase.File("heights", dir), runCase.File("result", dir)};
    test::RecordingProgress progress;
    EXPECT_EQ(AdjustNetworkClassic(files, runCase.Settings, ui, progress, record).Outcome, runCase.Outcome);
}

const std::map<std::string, CommandRun> kCommands = {{"F4", RunF4}, {"classic", RunClassic}};

class WholeRunCases : public testing::TestWithParam<std::string> {};

TEST_P(WholeRunCases, WriteTheExpectedFiles) {
    const test::WholeRunCase runCase = test::ReadWholeRunCase("adjustment", GetParam());
    for (const std::string& problem : runCase.Problems) ADD_FAILURE() << "case.txt: " << problem;
    ASSERT_TRUE(runCase.Problems.empty());
    const auto command = kCommands.find(runCase.Command);
    ASSERT_NE(command, kCommands.end()) << "unknown command " << runCase.Command;

    // One record for both runs: the second must start afresh.
    RunRecord record;
    test::RunTwiceAndCompare(runCase, [&](const std::string& dir, test::ScriptedInteraction& ui) {
        command->second(runCase, dir, record, ui);
    });
}

std::string CaseName(const testing::TestParamInfo<std::string>& param) { return test::WholeRunTestName(param.param); }

INSTANTIATE_TEST_SUITE_P(Adjustment, WholeRunCases, testing::ValuesIn(test::WholeRunCaseNames("adjustment")),
                         CaseName);

}  // namespace
}  // namespace qef
