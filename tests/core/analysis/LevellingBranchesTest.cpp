#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/NetworkFixture.h"
#include "core/analysis/LevellingBranches.h"
#include "core/text/VnCodec.h"

namespace qef {
namespace {

struct LevellingFixture : test::NetFixture {
    LevellingLines lines;
    LogBuffer log;
    test::TempDir dir;
    bool unjoined = false;

    void Line(const char* from, const char* to, double length, double dh = 0.0) {
        lines.FromIds.PushBack(Id(from));
        lines.ToIds.PushBack(Id(to));
        lines.Lengths.PushBack(length);
        lines.Dhs.PushBack(dh);
        lines.LineNumbers.PushBack(lines.Count());
    }
    void Stops(std::initializer_list<const char*> names) {
        for (const char* n : names) model.BranchStopPoints.PushBack(Id(n));
    }
    LevellingBranchOutcome Build(const std::string& leftover = "", const std::string& logName = "",
                                 const std::vector<std::string>& inputs = {}) {
        return BuildBranches(model, lines, model.BranchStopPoints.Size(), leftover, logName,
                             inputs, unjoined, log, ui, progress);
    }
    std::vector<std::string> Findings() const {
        return CheckBranchInvariants(model.Branches, lines.FromIds, lines.ToIds, lines.Count(),
                                     model.BranchStopPoints,
                                     model.BranchStopPoints.Size());
    }
};

TEST_F(LevellingFixture, WalksAgainstTheLineDirectionAndTakesLowestLineFirst) {
    // Stops A, B, node N. From A: line 2 (A->1) is lower than line 3 (A->5).
    Stops({"A", "B", "N"});
    Line("N", "2", 10);   // 1
    Line("1", "A", 10);   // 2: walked from its to-end
    Line("A", "5", 10);   // 3
    Line("N", "1", 10);   // 4
    Line("5", "N", 10);   // 5
    Line("2", "B", 10);   // 6
    Line("B", "7", 10);   // 7: runs out at 7
    auto outcome = Build();
    ASSERT_EQ(model.Branches.BranchCount(), 4);
    EXPECT_EQ(Branches(), (test::Lines{"A 1 N", "A 5 N", "B 2 N", "B 7 *"}));
    EXPECT_EQ(model.Branches.BranchOffsets[4], 9);
    EXPECT_EQ(outcome.UnjoinedLines, 0);
    EXPECT_EQ(progress.LastText(MonitorLabel::Stage), Vn("Nhánh số : 5"));
    EXPECT_TRUE(Findings().empty());
}

TEST_F(LevellingFixture, UnjoinedLinesAreListedAndMovedToTheLeftoverFile) {
    Stops({"A", "B"});
    Line("A", "1", 50.0, 0.1);
    Line("X", "Y", 75.5, 0.2);  // reachable from no stop point
    Line("1", "B", 60.0, 0.3);
    const std::string leftover = dir.File("left.dta");
    test::WriteFileBytes(leftover, "P\tQ\t1.000\r\n");
    auto outcome = Build(leftover);

    ASSERT_EQ(model.Branches.BranchCount(), 1);
    EXPECT_EQ(BranchText(1), "A 1 B");
    EXPECT_EQ(outcome.UnjoinedLines, 1);
    EXPECT_TRUE(unjoined);
    const std::string heading = Vn("Các cạnh không liên kết được vào lưới :");
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{heading + "\nX -> Y\n"});
    EXPECT_EQ(std::vector<std::string>(log.Lines().begin(), log.Lines().begin() + 2),
              (std::vector<std::string>{heading, "X -> Y"}));

    EXPECT_EQ(test::ReadFileBytes(leftover), "P\tQ\t1.000\r\nX\tY\t75.500\r\n//HetCanhTuDo\r\n");
    // The lists keep the walked lines, values still beside their ids.
    ASSERT_EQ(lines.Count(), 2);
    EXPECT_TRUE(lines.ToIds[2] == Id("B") && lines.Lengths[2] == 60.0 && lines.Dhs[2] == 0.3);
    EXPECT_EQ(lines.Dhs.Size(), 2u);
}

TEST_F(LevellingFixture, LongUnjoinedListIsCutInTheMessage) {
    Stops({"A"});
    for (int i = 0; i < 40; ++i) Line(("P" + std::to_string(i)).c_str(), ("Q" + std::to_string(i)).c_str(), 1.0);
    auto outcome = Build();
    EXPECT_EQ(outcome.UnjoinedLines, 40);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].size(), 255u);
    EXPECT_EQ(log.Lines().size(), 1u + 40u + 1u);  // heading, every line, the empty line
    EXPECT_EQ(lines.Count(), 40);                   // no leftover file: nothing removed
    EXPECT_EQ(Findings().size(), 40u);              // each line in no branch
}

TEST_F(LevellingFixture, BranchLogIsSavedBesideTheResultAsTxt) {
    Stops({"A", "B"});
    Line("A", "1", 10);
    Line("1", "B", 10);
    Line("B", "A", 10);
    const std::string result = dir.File("heights.kq");
    auto outcome = Build("", result, {dir.File("known.txh"), dir.File("lines.dat")});
    EXPECT_TRUE(outcome.LogSaved);
    EXPECT_EQ(outcome.LogFile, dir.File("heights.txt"));
    EXPECT_EQ(test::ReadFileBytes(dir.File("heights.txt")),
              "Nhanh thu 1 : \r\nA, 1, B, \r\nNhanh thu 2 : \r\nA, B, \r\n\r\n");

    // A log name that falls on an input file is refused; the input stays as it was.
    const std::string input = dir.File("net.txt");
    test::WriteFileBytes(input, "A B 10 0.5\r\n");
    log.Clear();
    outcome = Build("", dir.File("net.kq"), {input});
    EXPECT_FALSE(outcome.LogSaved);
    EXPECT_EQ(test::ReadFileBytes(input), "A B 10 0.5\r\n");
    EXPECT_EQ(log.Lines().back(), Vn("Không ghi nhật ký vào ") + input + Vn(": trùng tên file số liệu"));
    // The same file reached through another spelling of its path.
    outcome = Build("", dir.Path() + "/./net.kq", {input});
    EXPECT_FALSE(outcome.LogSaved);
}

}  // namespace
}  // namespace qef
