#include "GuiTestSupport.h"
#include "gui/ActionTable.h"
#include "gui/Commands.h"
#include "gui/InputStep.h"
#include "core/model/ReportNames.h"

namespace qef {
namespace {

struct InputStepFixture : ::testing::Test {
    InputStepFixture() {
        // 4 lines: two points, a point with one value (a two-field line) and a blank line.
        test::WriteFileBytes(known, "A\t1000.000\t2000.000\r\nB 1100 2100\r\nQ 5.0\r\n\r\n");
        // 6 lines: angle+side, angle, side, comment, height line, last line without a line end.
        test::WriteFileBytes(observations,
                             "A B C 90.0000 125.346\r\nB C D 180.0000\r\nC D 100.5\r\n// x\r\nP 12.3\r\nD E 50");
        prompts = {QStringLiteral("known?"), QStringLiteral("obs?"), QStringLiteral("result?"),
                   QStringLiteral("heights?")};
    }
    // Runs the step with these answers to its file questions (Cancel after the last).
    bool Run(const std::vector<std::string>& names) {
        dialogs.asked.clear();
        dialogs.names.assign(names.begin(), names.end());
        errorFlag = false;
        return NhapSL(prompts, settings, dialogs, ask, files, error, errorFlag);
    }
    bool RunWithResult(const std::string& result) { return Run({known, observations, result}); }

    test::TempDir dir;
    std::string known = dir.File("luoi.DTA");
    std::string observations = dir.File("luoi.txt");
    InputPrompts prompts;
    ComputationSettings settings;
    test::ScriptedFileDialogs dialogs;
    test::ScriptedInteraction ask;
    InputFiles files;
    ReadErrorRecord error;
    bool errorFlag = false;
};

TEST_F(InputStepFixture, AsksInOrderCountsAndNamesTheReports) {
    // A bare result name in a folder whose name holds a dot.
    const std::string folder = dir.File("w.x");
    ASSERT_TRUE(RunWithResult(folder + "/net"));
    EXPECT_FALSE(errorFlag);
    ASSERT_EQ(dialogs.asked.size(), 3u);
    const FileQuestion& first = dialogs.asked[0].second;
    EXPECT_EQ(first.title + first.defaultSuffix, QStringLiteral("known?DTA"));
    EXPECT_TRUE(first.filter.contains(QStringLiteral("*.DTA *.dta")) && first.filter.contains(QStringLiteral("*.DAT *.dat")));
    EXPECT_EQ(dialogs.asked[1].second.title, QStringLiteral("obs?"));
    const FileQuestion& save = dialogs.asked[2].second;
    EXPECT_EQ(dialogs.asked[2].first, 's');
    EXPECT_EQ(save.title + save.defaultSuffix, QStringLiteral("result?dta"));
    EXPECT_EQ(save.filter, QStringLiteral("File ket qua dang *.DTA (*.DTA *.dta)"));

    EXPECT_EQ(files.KnownFileName + "|" + files.ObservationFileName + "|" + files.HeightFileName,
              known + "|" + observations + "|");
    EXPECT_EQ(files.ResultFileName, folder + "/net.dta");
    EXPECT_EQ(files.FirstReportName, folder + "/net.in");
    EXPECT_EQ(ReportSetFor(files.ResultFileName).Side, folder + "/net.in2");
    // Lines of both files; angles and sides of the observation file only; no heights read.
    EXPECT_EQ(std::tuple(files.KnownFileLines, files.ObservationFileLines, files.AngleCount, files.SideCount,
                         files.HeightLineCount),
              std::tuple(4, 6, 2, 3, 0));
    EXPECT_TRUE(ask.calls.empty());

    // Detail results end in ".DAT" once, whatever the case; the dialog's default is "dat".
    settings.Modes.ModeDetailPoints = true;
    const std::pair<std::string, std::string> cases[] = {
        {"kq", "kq.dat"}, {"kq.txt", "kq.txt.DAT"}, {"kq.Dat", "kq.Dat"}, {"a.dat.b/kq", "a.dat.b/kq.dat"}};
    for (const auto& [typed, expected] : cases) {
        ASSERT_TRUE(RunWithResult(dir.File(typed))) << typed;
        EXPECT_EQ(files.ResultFileName, dir.File(expected));
        EXPECT_EQ(dialogs.asked[2].second.filter, QStringLiteral("File ket qua dang *.DAT (*.DAT *.dat)"));
    }
}

TEST_F(InputStepFixture, HeightsFromTheirOwnFileOrFromTheInputFiles) {
    settings.HeightReduction = true;
    settings.HeightReductionMode = ReductionMode::SideMean;
    settings.HeightsFromFile = true;
    const std::string heights = dir.File("h.txt");
    test::WriteFileBytes(heights, "A 10\r\n\r\nB 12\r\nC");  // every line counts: 4
    ASSERT_TRUE(Run({known, observations, heights, dir.File("kq.dta")}));
    ASSERT_EQ(dialogs.asked.size(), 4u);
    EXPECT_EQ(dialogs.asked[2].second.title, QStringLiteral("heights?"));
    EXPECT_EQ(std::pair(files.HeightFileName, files.HeightLineCount), std::pair(heights, 4));

    // Heights in the observation file: the two-field lines of both files add up, no third question.
    settings.HeightsFromFile = false;
    ASSERT_TRUE(RunWithResult(dir.File("kq.dta")) && dialogs.asked.size() == 3u);
    EXPECT_EQ(std::pair(files.HeightFileName, files.HeightLineCount), std::pair(std::string(), 2));

    // Mode 0 takes one mean height: no file.
    settings.HeightsFromFile = true;
    settings.HeightReductionMode = ReductionMode::AreaMean;
    EXPECT_TRUE(RunWithResult(dir.File("kq.dta")) && dialogs.asked.size() == 3u);
}

TEST_F(InputStepFixture, FailuresStopAtOnce) {
    // Cancel at each question: nothing more is asked and nothing is said.
    const std::vector<std::string> all = {known, observations, dir.File("kq.dta")};
    for (std::size_t answered = 0; answered < 3; ++answered) {
        EXPECT_FALSE(Run({all.begin(), all.begin() + static_cast<std::ptrdiff_t>(answered)}));
        EXPECT_TRUE(errorFlag && dialogs.asked.size() == answered + 1) << answered;
    }
    EXPECT_TRUE(ask.calls.empty());

    // A file that cannot be opened is named in a message and in the error record.
    const std::string missing = dir.File("none.DTA");
    EXPECT_FALSE(Run({known, missing, dir.File("kq.dta")}));
    EXPECT_TRUE(errorFlag && dialogs.asked.size() == 2u);
    EXPECT_EQ(error.FailedFileName, missing);
    ASSERT_EQ(ask.Messages().size(), 1u);
    EXPECT_NE(ask.Messages()[0].find(missing), std::string::npos);

    // The result, or a report derived from it, would replace an input file: the result itself,
    // the progress-log copy "luoi.txt", the report "luoi.in".
    test::WriteFileBytes(dir.File("luoi.in"), "A 1 2\r\n");
    const std::pair<std::string, std::string> clashes[] = {
        {observations, observations}, {observations, dir.File("luoi.dta")}, {dir.File("luoi.in"), dir.File("luoi.dta")}};
    for (const auto& [input, result] : clashes) {
        ask.calls.clear();
        EXPECT_TRUE(!Run({known, input, result}) && errorFlag) << result;
        ASSERT_EQ(ask.Messages().size(), 1u) << result;
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("luoi.in")), "A 1 2\r\n");
}

TEST(ComputationCommands, NoFlagIsInheritedFromTheCommandBefore) {
    ComputationSettings settings;
    PrepareSettings(*FindComputationCommand("TB_TinhXYZ2"), settings);
    EXPECT_TRUE(settings.Modes.ModeDetailPoints && settings.Modes.ModeWithHeights);
    settings.Modes.RigorousWanted = true;  // as the dialog of a traverse command may leave it
    // The fixed-observation tool shows no dialog, yet its result question must be an adjustment's.
    PrepareSettings(*FindComputationCommand("Khugoccanhcung"), settings);
    EXPECT_FALSE(settings.Modes.ModeDetailPoints || settings.Modes.ModeWithHeights || settings.Modes.RigorousWanted);
    PrepareSettings(*FindComputationCommand("BSDC"), settings);
    EXPECT_TRUE(settings.Modes.ModeLevelling && !settings.Modes.ModeTraverse);
    PrepareSettings(*FindComputationCommand("Binhsaimoi"), settings);
    EXPECT_TRUE(settings.Modes.ModeTraverse && !settings.Modes.ModeLevelling);
    EXPECT_EQ(settings.ParamDialogTitle, Vn("Thông số tính toán Bình sai"));
}

}  // namespace
}  // namespace qef
