#include <gtest/gtest.h>

#include <deque>

#include "core/VnCodec.h"
#include "gui/Commands.h"
#include "gui/InputStep.h"
#include "support/Fakes.h"

namespace qef {
namespace {

// Answers the file questions from a script and records them; nullopt is Cancel.
struct ScriptedDialogs : FileDialogs {
    std::deque<std::optional<QString>> answers;
    std::vector<std::pair<char, FileQuestion>> asked;  // 'o' open, 's' save
    std::optional<QString> Next(char kind, const FileQuestion& q) {
        asked.emplace_back(kind, q);
        if (answers.empty()) return std::nullopt;
        auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> AskOpenName(const FileQuestion& q) override { return Next('o', q); }
    std::optional<QString> AskSaveName(const FileQuestion& q) override { return Next('s', q); }
};

QString Q(const std::string& s) { return QString::fromStdString(s); }

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
    bool Run() { return NhapSL(prompts, settings, dialogs, ask, files, error, errorFlag); }

    test::TempDir dir;
    std::string known = dir.File("luoi.DTA");
    std::string observations = dir.File("luoi.txt");
    InputPrompts prompts;
    ComputationSettings settings;
    ScriptedDialogs dialogs;
    test::ScriptedInteraction ask;
    InputFiles files;
    ReadErrorRecord error;
    bool errorFlag = false;
};

TEST_F(InputStepFixture, AsksInOrderCountsAndNamesTheReports) {
    settings.Modes.ModeTraverse = true;
    // A bare result name in a folder whose name holds a dot.
    const std::string folder = dir.File("w.x");
    dialogs.answers = {Q(known), Q(observations), Q(folder + "/net")};
    errorFlag = true;
    ASSERT_TRUE(Run());
    EXPECT_FALSE(errorFlag);
    ASSERT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(dialogs.asked[0].first, 'o');
    EXPECT_EQ(dialogs.asked[0].second.title, QStringLiteral("known?"));
    EXPECT_EQ(dialogs.asked[0].second.defaultSuffix, QStringLiteral("DTA"));
    EXPECT_TRUE(dialogs.asked[0].second.filter.contains(QStringLiteral("*.DTA *.dta")));
    EXPECT_TRUE(dialogs.asked[0].second.filter.contains(QStringLiteral("*.DAT *.dat")));
    EXPECT_EQ(dialogs.asked[1].second.title, QStringLiteral("obs?"));
    EXPECT_EQ(dialogs.asked[2].first, 's');
    EXPECT_EQ(dialogs.asked[2].second.title, QStringLiteral("result?"));
    EXPECT_EQ(dialogs.asked[2].second.defaultSuffix, QStringLiteral("dta"));
    EXPECT_EQ(dialogs.asked[2].second.filter, QStringLiteral("File ket qua dang *.DTA (*.DTA *.dta)"));

    EXPECT_EQ(files.KnownFileName, known);
    EXPECT_EQ(files.ObservationFileName, observations);
    EXPECT_EQ(files.HeightFileName, "");
    EXPECT_EQ(files.ResultFileName, folder + "/net.dta");
    EXPECT_EQ(files.FirstReportName, folder + "/net.in");
    EXPECT_EQ(files.SecondReportName, folder + "/net.in2");
    EXPECT_EQ(files.KnownFileLines, 4);
    EXPECT_EQ(files.ObservationFileLines, 6);
    EXPECT_EQ(files.AngleCount, 2);  // of the observation file only
    EXPECT_EQ(files.SideCount, 3);
    EXPECT_EQ(files.HeightLineCount, 0);  // heights are not read from the input files
    EXPECT_TRUE(ask.calls.empty());

    // A result with an extension keeps it; the reports replace it on the name part only.
    dialogs.asked.clear();
    dialogs.answers = {Q(known), Q(observations), Q(dir.File("kq.old.DTA"))};
    ASSERT_TRUE(Run());
    EXPECT_EQ(files.FirstReportName, dir.File("kq.old.in"));
    EXPECT_EQ(DerivedReportNames(dir.File("kq.DTA")),
              (std::vector<std::string>{dir.File("kq.in"), dir.File("kq.in1"), dir.File("kq.in3"),
                                        dir.File("kq.in4"), dir.File("kq.in5"), dir.File("kq.in6"),
                                        dir.File("kq.in2"), dir.File("kq.in7"), dir.File("kq.dh"),
                                        dir.File("kq.txt"), dir.File("kq.tb")}));
}

TEST_F(InputStepFixture, DetailResultsEndInDat) {
    settings.Modes.ModeDetailPoints = true;
    const std::pair<std::string, std::string> cases[] = {
        {"kq", "kq.dat"}, {"kq.txt", "kq.txt.DAT"}, {"kq.Dat", "kq.Dat"}, {"a.dat.b/kq", "a.dat.b/kq.dat"}};
    for (const auto& [typed, expected] : cases) {
        dialogs.asked.clear();
        dialogs.answers = {Q(known), Q(observations), Q(dir.File(typed))};
        ASSERT_TRUE(Run()) << typed;
        EXPECT_EQ(files.ResultFileName, dir.File(expected));
        EXPECT_EQ(dialogs.asked[2].second.defaultSuffix, QStringLiteral("dat"));
        EXPECT_EQ(dialogs.asked[2].second.filter, QStringLiteral("File ket qua dang *.DAT (*.DAT *.dat)"));
    }
}

TEST_F(InputStepFixture, HeightsFromTheirOwnFileOrFromTheInputFiles) {
    settings.HeightReduction = true;
    settings.HeightReductionMode = 1;
    settings.HeightsFromFile = true;
    const std::string heights = dir.File("h.txt");
    test::WriteFileBytes(heights, "A 10\r\n\r\nB 12\r\nC");  // every line counts: 4
    dialogs.answers = {Q(known), Q(observations), Q(heights), Q(dir.File("kq.dta"))};
    ASSERT_TRUE(Run());
    ASSERT_EQ(dialogs.asked.size(), 4u);
    EXPECT_EQ(dialogs.asked[2].second.title, QStringLiteral("heights?"));
    EXPECT_EQ(files.HeightFileName, heights);
    EXPECT_EQ(files.HeightLineCount, 4);

    // Heights in the observation file: the two-field lines of both files add up, no third question.
    settings.HeightsFromFile = false;
    dialogs.asked.clear();
    dialogs.answers = {Q(known), Q(observations), Q(dir.File("kq.dta"))};
    ASSERT_TRUE(Run());
    EXPECT_EQ(dialogs.asked.size(), 3u);
    EXPECT_EQ(files.HeightFileName, "");
    EXPECT_EQ(files.HeightLineCount, 2);

    // Mode 0 takes one mean height: no file.
    settings.HeightsFromFile = true;
    settings.HeightReductionMode = 0;
    dialogs.asked.clear();
    dialogs.answers = {Q(known), Q(observations), Q(dir.File("kq.dta"))};
    ASSERT_TRUE(Run());
    EXPECT_EQ(dialogs.asked.size(), 3u);
}

TEST_F(InputStepFixture, FailuresStopAtOnce) {
    // Cancel at each question: nothing more is asked and nothing is said.
    for (std::size_t answered = 0; answered < 3; ++answered) {
        dialogs.asked.clear();
        dialogs.answers = {Q(known), Q(observations), Q(dir.File("kq.dta"))};
        dialogs.answers.resize(answered);
        dialogs.answers.push_back(std::nullopt);
        errorFlag = false;
        EXPECT_FALSE(Run());
        EXPECT_TRUE(errorFlag);
        EXPECT_EQ(dialogs.asked.size(), answered + 1);
    }
    EXPECT_TRUE(ask.calls.empty());

    // A file that cannot be opened is named in a message and in the error record.
    const std::string missing = dir.File("none.DTA");
    dialogs.asked.clear();
    dialogs.answers = {Q(known), Q(missing)};
    errorFlag = false;
    EXPECT_FALSE(Run());
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(dialogs.asked.size(), 2u);
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
        dialogs.answers = {Q(known), Q(input), Q(result)};
        errorFlag = false;
        EXPECT_FALSE(Run()) << result;
        EXPECT_TRUE(errorFlag);
        ASSERT_EQ(ask.Messages().size(), 1u) << result;
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("luoi.in")), "A 1 2\r\n");
}

TEST(ComputationCommands, EveryFileCommandSetsAllItsFlags) {
    ComputationSettings settings;
    // Whatever ran before, a command leaves the flags of its own row.
    const char* names[] = {"TB_TinhXYZ2", "Khugoccanhcung", "BSDC", "Binhsaimoi", "TXYMia", "Bnhsaic1"};
    for (const char* name : names) {
        settings.Modes = {true, true, true, true, true};
        const ComputationCommand* c = FindComputationCommand(name);
        ASSERT_NE(c, nullptr) << name;
        PrepareSettings(*c, settings);
        const ComputationModeFlags& m = settings.Modes;
        const std::string n = name;
        EXPECT_FALSE(m.RigorousWanted) << n;
        EXPECT_EQ(m.ModeTraverse, n == "Binhsaimoi" || n == "Bnhsaic1" || n == "Khugoccanhcung") << n;
        EXPECT_EQ(m.ModeLevelling, n == "BSDC") << n;
        EXPECT_EQ(m.ModeDetailPoints, n == "TB_TinhXYZ2" || n == "TXYMia") << n;
        EXPECT_EQ(m.ModeWithHeights, n == "TB_TinhXYZ2") << n;
        EXPECT_NE(c->HeightPrompt, nullptr) << n;
    }
    PrepareSettings(*FindComputationCommand("Binhsaimoi"), settings);
    EXPECT_EQ(settings.ParamDialogTitle, Vn("Thông số tính toán Bình sai"));
    // The step-by-step command changes nothing: its dialog sets what it needs.
    settings.Modes = {false, true, false, true, false};
    PrepareSettings(*FindComputationCommand("KTtungnhom"), settings);
    EXPECT_TRUE(settings.Modes.RigorousWanted && settings.Modes.ModeDetailPoints);
    EXPECT_EQ(FindComputationCommand("ToolButton9"), nullptr);  // it runs the F4 row
}

}  // namespace
}  // namespace qef
