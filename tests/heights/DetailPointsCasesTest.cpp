// Whole detail-point runs kept as case folders (tests/data/heights/<case>, commands F7, F8, F9).
// A drawing the run writes is read back by an independent reader (ezdxf) into "<drawing>.txt",
// which expected/ then holds as text (worked out by tests/data/heights/detail_expected.py).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "core/text/VnCodec.h"
#include "heights/DetailPoints.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"

namespace qef {
namespace {

const std::map<std::string, DetailMode> kModes = {{"F7", DetailMode::Plan},
                                                  {"F8", DetailMode::HeightsFromDifferences},
                                                  {"F9", DetailMode::HeightsFromZenithAngles}};

// Only drawings the run wrote: a case may give an input a drawing's name.
void ReadBackDrawings(const test::WholeRunCase& runCase, const std::string& dir) {
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".dxf") continue;
        bool input = false;
        for (const auto& [role, name] : runCase.Files) input = input || (role != "result" && name == entry.path().filename());
        if (input) continue;
        const std::string drawing = entry.path().string();
        const std::string command = std::string("\"") + QEF_DXF_PYTHON + "\" \"" + QEF_DXF_CHECK + "\" \"" +
                                    drawing + "\" > \"" + drawing + ".txt\"";
        EXPECT_EQ(std::system(command.c_str()), 0) << "check_dxf.py failed on " << drawing;
        // expected/ holds text, compared with the program's CR LF line ends.
        std::string listing;
        for (char c : test::ReadFileBytes(drawing + ".txt")) listing += c == '\n' ? std::string("\r\n") : std::string(1, c);
        test::WriteFileBytes(drawing + ".txt", listing);
    }
}

class DetailPointCases : public testing::TestWithParam<std::string> {};

TEST_P(DetailPointCases, WriteTheExpectedFiles) {
    const test::WholeRunCase runCase = test::ReadWholeRunCase("heights", GetParam());
    for (const std::string& problem : runCase.Problems) ADD_FAILURE() << "case.txt: " << problem;
    ASSERT_TRUE(runCase.Problems.empty());
    ComputationSettings settings = runCase.Settings;
    settings.Modes.ModeDetailPoints = true;

    test::RunTwiceAndCompare(runCase, [&](const std::string& dir, test::ScriptedInteraction& ui) {
        test::RecordingProgress progress;
        const DetailInput files{runCase.File("known", dir), runCase.File("observations", dir),
                                runCase.File("result", dir)};
        const DetailRunStatus status =
            ComputeDetailPoints(kModes.at(runCase.Command), files, settings, ui, progress);
        EXPECT_EQ(status.Outcome, runCase.Outcome);
        if (status.Outcome == RunOutcome::Completed || status.Outcome == RunOutcome::StoppedAtLine) {
            EXPECT_EQ(progress.LastText(MonitorLabel::Stage), Vn("Kết thúc"));
        }
        ReadBackDrawings(runCase, dir);
    });
}

std::string CaseName(const testing::TestParamInfo<std::string>& param) { return test::WholeRunTestName(param.param); }

INSTANTIATE_TEST_SUITE_P(DetailPoints, DetailPointCases,
                         testing::ValuesIn(test::WholeRunCaseNames("heights", {"F7", "F8", "F9"})), CaseName);

}  // namespace
}  // namespace qef
