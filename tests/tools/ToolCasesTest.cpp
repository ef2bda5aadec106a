#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>

#include "core/analysis/BranchBuilding.h"
#include "core/io/Readers.h"
#include "support/Fakes.h"
#include "support/WholeRunCase.h"
#include "tools/CoordinateTools.h"
#include "tools/CoordinateUpload.h"
#include "tools/FileTools.h"
#include "tools/HeightFileTools.h"
#include "tools/ObservationTools.h"
#include "tools/WordReplacement.h"

namespace qef {
namespace {

using Tool = std::function<ToolStatus(const test::WholeRunCase&, const std::string& dir, Interaction&)>;

std::string In(const test::WholeRunCase& c, const char* role, const std::string& dir) { return c.File(role, dir); }

const std::map<std::string, Tool>& Tools() {
    static const std::map<std::string, Tool> tools = {
        {"TrigToGeometricHeights",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return TrigToGeometricHeights(In(c, "first", dir), In(c, "result", dir), c.Settings, ui);
         }},
        {"CoordinatesToCommaForm",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return CoordinatesToCommaForm(In(c, "first", dir), In(c, "result", dir), c.Settings, ui);
         }},
        {"ListStations",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return ListStations(In(c, "first", dir), In(c, "result", dir), c.Settings, ui);
         }},
        {"SortXYAscending",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return SortPointsXY(In(c, "first", dir), In(c, "result", dir), SortOrder::Ascending, c.Settings, ui);
         }},
        {"SortXYHDescending",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return SortPointsXYZ(In(c, "first", dir), In(c, "result", dir), SortOrder::Descending, c.Settings,
                                  ui);
         }},
        {"WriteObservations",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return WriteObservations(In(c, "known", dir), In(c, "observations", dir), In(c, "result", dir),
                                      c.Settings, ui);
         }},
        {"CompareObservations",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return CompareObservationFiles(In(c, "first", dir), In(c, "second", dir), In(c, "result", dir),
                                            c.Settings, ui);
         }},
        {"CompareObservationsSelf",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return CompareObservationFiles(In(c, "first", dir), In(c, "first", dir), In(c, "result", dir),
                                            c.Settings, ui);
         }},
        {"AverageTwoWayLevelling",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return AverageTwoWayLevelling(In(c, "first", dir), In(c, "result", dir), c.Settings, ui);
         }},
        {"MergeHeightsIntoCoords",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return MergeHeightsIntoCoords(In(c, "heights", dir), In(c, "known", dir), In(c, "result", dir),
                                           c.Settings, ui);
         }},
        {"ReplaceWords",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return ReplaceWordsInFile(In(c, "first", dir), In(c, "second", dir), In(c, "result", dir), {},
                                       c.Settings, ui);
         }},
        {"ReplaceWordsFillAfter",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return ReplaceWordsInFile(In(c, "first", dir), In(c, "second", dir), In(c, "result", dir),
                                       {.Fill = ' ', .Side = FillSide::After}, c.Settings, ui);
         }},
        {"UploadCoordinateFile",
         [](const auto& c, const auto& dir, Interaction& ui) {
             // The drawing lies beside the file; the case names it as its result.
             test::RecordingProgress monitor;
             ComputationSettings settings = c.Settings;
             settings.AcadUploadEnabled = true;
             const ToolStatus status = UploadCoordinateFile(In(c, "first", dir), settings, monitor, ui);
             if (status.Outcome == RunOutcome::Completed) {
                 EXPECT_EQ(status.WrittenFile, In(c, "result", dir));
             }
             return status;
         }},
        {"CompareSameNamedPoints",
         [](const auto& c, const auto& dir, Interaction& ui) {
             return CompareSameNamedPoints(In(c, "first", dir), In(c, "second", dir), In(c, "result", dir),
                                           c.Settings, ui);
         }},
    };
    return tools;
}

// The observations of a file that a cleaned file must give back: those not joining known points only.
struct Remaining {
    std::vector<std::string> Angles, Sides;
};
Remaining ReadRemaining(const std::string& known, const std::string& obsFile, const ComputationSettings& settings) {
    NetworkModel model;
    PointList points;
    Observations obs;
    ReadErrorRecord error;
    SilentInteraction ui;
    if (!known.empty()) {
        EXPECT_TRUE(ReadKnownPoints(known, settings, model, points, error, ui));
    }
    EXPECT_TRUE(ReadObservations(obsFile, settings, model.PointNames, obs, error, ui));
    DropFixedObservations(obs.Sides, obs.Angles, points, points.Count());
    Remaining r;
    const PointNameTable& t = model.PointNames;
    for (int i = 1; i <= obs.Angles.Count(); ++i)
        r.Angles.push_back(t.Name(obs.Angles.BackIds[i]) + t.Name(obs.Angles.StationIds[i]) +
                           t.Name(obs.Angles.ForeIds[i]) + std::to_string(obs.Angles.Values[i]));
    for (int i = 1; i <= obs.Sides.Count(); ++i)
        r.Sides.push_back(t.Name(obs.Sides.FromIds[i]) + t.Name(obs.Sides.ToIds[i]) +
                          std::to_string(obs.Sides.Lengths[i]));
    return r;
}

class ToolCases : public testing::TestWithParam<std::string> {};

TEST_P(ToolCases, WriteTheExpectedFiles) {
    const test::WholeRunCase runCase = test::ReadWholeRunCase("tools", GetParam());
    for (const std::string& problem : runCase.Problems) ADD_FAILURE() << "case.txt: " << problem;
    ASSERT_TRUE(runCase.Problems.empty());
    const auto tool = Tools().find(runCase.Command);
    ASSERT_NE(tool, Tools().end()) << "no tool " << runCase.Command;

    test::RunTwiceAndCompare(runCase, [&](const std::string& dir, test::ScriptedInteraction& ui) {
        const ToolStatus status = tool->second(runCase, dir, ui);
        EXPECT_EQ(status.Outcome, runCase.Outcome);
        if (runCase.Command != "WriteObservations" || status.Outcome != RunOutcome::Completed) return;
        // The cleaned file reads back as the original does, less what joins known points only.
        const Remaining want = ReadRemaining(runCase.File("known", dir), runCase.File("observations", dir),
                                             runCase.Settings);
        const Remaining got = ReadRemaining("", runCase.File("result", dir), runCase.Settings);
        EXPECT_EQ(got.Angles, want.Angles);
        EXPECT_EQ(got.Sides, want.Sides);
    });
}

// Editors of other systems start UTF-8 files with a byte-order mark: every input of a case given
// with one gives the same result file and says the same.
TEST_P(ToolCases, AByteOrderMarkChangesNothing) {
    const test::WholeRunCase runCase = test::ReadWholeRunCase("tools", GetParam());
    ASSERT_TRUE(runCase.Problems.empty());
    const auto tool = Tools().find(runCase.Command);
    ASSERT_NE(tool, Tools().end());
    struct Run {
        std::string Result;
        std::vector<std::string> Said;
        RunOutcome Outcome = RunOutcome::Completed;
    };
    const auto run = [&](bool mark) {
        test::TempDir dir;
        for (const char* role : {"known", "observations", "heights", "first", "second"}) {
            const std::string from = runCase.File(role, runCase.Folder);
            if (from.empty() || !std::filesystem::is_regular_file(from)) continue;
            const std::string bytes = test::ReadFileBytes(from);
            test::WriteFileBytes(runCase.File(role, dir.Path()), (mark ? "\xEF\xBB\xBF" : "") + bytes);
        }
        test::ScriptedInteraction ui;
        ui.answers = runCase.Answers;
        ui.texts = runCase.Texts;
        Run r;
        r.Outcome = tool->second(runCase, dir.Path(), ui).Outcome;
        r.Result = test::ReadFileBytes(runCase.File("result", dir.Path()));
        for (const auto& call : ui.calls) r.Said.push_back(call.kind + ": " + call.text.substr(call.text.rfind('/') + 1));
        return r;
    };
    const Run plain = run(false);
    const Run marked = run(true);
    EXPECT_EQ(marked.Outcome, plain.Outcome);
    EXPECT_EQ(marked.Result, plain.Result);
    EXPECT_EQ(marked.Said, plain.Said);
}

std::string CaseName(const testing::TestParamInfo<std::string>& param) { return test::WholeRunTestName(param.param); }

INSTANTIATE_TEST_SUITE_P(Tools, ToolCases, testing::ValuesIn(test::WholeRunCaseNames("tools")), CaseName);

}  // namespace
}  // namespace qef
