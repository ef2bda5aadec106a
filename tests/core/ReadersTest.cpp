#include <gtest/gtest.h>

#include "core/Readers.h"
#include "core/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::ScriptedInteraction;
using test::TempDir;
using test::WriteFileBytes;

std::string Data(const std::string& name) { return std::string(QEF_TEST_DATA) + "/readers/" + name; }

struct ReaderFixture : ::testing::Test {
    ComputationSettings settings;
    NetworkModel model;
    ReadErrorRecord error;
    ScriptedInteraction ui;
    TempDir dir;

    std::string File(const std::string& bytes) {
        std::string path = dir.File("in.txt");
        WriteFileBytes(path, bytes);
        return path;
    }
    std::string Name(int id) const { return model.PointNames.Name(id); }
};

using KnownPoints = ReaderFixture;

TEST_F(KnownPoints, EverySeparatorGivesTheSamePoints) {
    for (const char* file : {"known_tab.txt", "known_comma.txt", "known_fixed.txt", "known_blank_crlf.txt"}) {
        SCOPED_TRACE(file);
        NetworkModel m;
        PointList points;
        ASSERT_TRUE(ReadKnownPoints(Data(file), settings, m, points, error, ui));
        ASSERT_GE(points.Count(), 2);
        EXPECT_EQ(m.PointNames.Name(points.Ids[1]), "A");
        EXPECT_EQ(m.PointNames.Name(points.Ids[2]), "B");
        EXPECT_DOUBLE_EQ(points.X[1], 1000.0);
        EXPECT_DOUBLE_EQ(points.Y[1], 2000.0);
        EXPECT_DOUBLE_EQ(points.X[2], 1100.5);
        EXPECT_DOUBLE_EQ(points.Y[2], 2100.25);
    }
    EXPECT_TRUE(ui.calls.empty());

    // Millimetres: values divided by 1000; a last line without a line end is read.
    settings.MetresFlag = false;
    PointList points;
    ASSERT_TRUE(ReadKnownPoints(Data("known_semicolon_mm.txt"), settings, model, points, error, ui));
    ASSERT_EQ(points.Count(), 2);
    EXPECT_DOUBLE_EQ(points.X[2], 1100.5);
    EXPECT_DOUBLE_EQ(points.Y[2], 2100.25);
}

TEST_F(KnownPoints, NameOnlyIsMissingAndAMissingYStops) {
    PointList points;
    ASSERT_TRUE(ReadKnownPoints(Data("known_comma.txt"), settings, model, points, error, ui));
    ASSERT_EQ(points.Count(), 3);
    EXPECT_TRUE(IsMissing(points.X[3]));
    EXPECT_TRUE(IsMissing(points.Y[3]));
    EXPECT_TRUE(model.MissingValuesFlag);

    points.Clear();
    std::string path = File("P1 1 2\n\nA 100\n");
    EXPECT_FALSE(ReadKnownPoints(path, settings, model, points, error, ui));
    EXPECT_EQ(points.Count(), 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "loi " + Vn(" (dòng 3)"));
    EXPECT_EQ(error.FailedFileName, path);
    EXPECT_EQ(error.ReadErrorLine, 3);

    // XYH form: the height is the fourth field, missing when the line has none.
    OneBased<std::string> names;
    OneBased<double> x, y, h;
    bool missing = false;
    ASSERT_TRUE(ReadPointsXYH(File("P1 1 2 3.5\nP2 4 5\n"), settings, names, x, y, h, missing, error, ui));
    EXPECT_DOUBLE_EQ(h[1], 3.5);
    EXPECT_TRUE(IsMissing(h[2]));
    EXPECT_FALSE(missing);
}

using ObservationFile = ReaderFixture;

// B C D E F A get ids 1..6: side from-names, side to-names, then angle backs, stations, fores.
TEST_F(ObservationFile, ChainingAndRegistrationOrder) {
    Observations obs;
    ASSERT_TRUE(ReadObservations(Data("obs_chain.txt"), settings, model.PointNames, obs, error, ui));
    EXPECT_TRUE(ui.calls.empty());
    ASSERT_EQ(obs.Angles.Count(), 2);
    ASSERT_EQ(obs.Sides.Count(), 3);
    const char* order[] = {"B", "C", "D", "E", "F", "A"};
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(Name(i), order[i - 1]);
    // A,B,C,90.0000,125.346: angle A-B-C and side B-C.
    EXPECT_EQ(obs.Angles.BackIds[1], 6);
    EXPECT_EQ(obs.Angles.StationIds[1], 1);
    EXPECT_EQ(obs.Angles.ForeIds[1], 2);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 90.0);
    // ,,D,45.3000 continues: B-C-D of 45.5 degrees.
    EXPECT_EQ(obs.Angles.BackIds[2], 1);
    EXPECT_EQ(obs.Angles.StationIds[2], 2);
    EXPECT_EQ(obs.Angles.ForeIds[2], 3);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[2], 45.5);
    EXPECT_EQ(obs.Sides.FromIds[1], 1);
    EXPECT_EQ(obs.Sides.ToIds[1], 2);
    EXPECT_DOUBLE_EQ(obs.Sides.Lengths[1], 125.346);
    // ,E,100.5 starts at the previous line's station C; the blank line does not break the chain.
    EXPECT_EQ(obs.Sides.FromIds[2], 2);
    EXPECT_EQ(obs.Sides.ToIds[2], 4);
    EXPECT_EQ(obs.Sides.FromIds[3], 3);
    EXPECT_EQ(obs.Sides.ToIds[3], 5);
    EXPECT_DOUBLE_EQ(obs.Sides.Lengths[3], 30.2);

    ObservationCounts counts;
    ASSERT_TRUE(CountObservationLines(Data("obs_chain.txt"), settings, counts, error));
    EXPECT_EQ(counts.Lines, 5);
    EXPECT_EQ(counts.Angles, 2);
    EXPECT_EQ(counts.Sides, 3);
}

TEST_F(ObservationFile, OtherSeparatorsAndMillimetres) {
    settings.MetresFlag = false;
    for (const char* file : {"obs_tab.txt", "obs_semicolon.txt", "obs_fixed.txt"}) {
        SCOPED_TRACE(file);
        PointNameTable names;
        Observations obs;
        ASSERT_TRUE(ReadObservations(Data(file), settings, names, obs, error, ui));
        ASSERT_GE(obs.Angles.Count(), 1);
        ASSERT_EQ(obs.Sides.Count(), 1);
        EXPECT_EQ(names.Name(obs.Angles.BackIds[1]), "A");
        EXPECT_EQ(names.Name(obs.Sides.FromIds[1]), "B");
        EXPECT_EQ(names.Name(obs.Sides.ToIds[1]), "C");
        EXPECT_DOUBLE_EQ(obs.Sides.Lengths[1], 0.125346);  // 125.346 mm
        EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 90.0);      // angles are never scaled
        if (obs.Angles.Count() == 2) {
            EXPECT_EQ(names.Name(obs.Angles.BackIds[2]), "B");
            EXPECT_EQ(names.Name(obs.Angles.StationIds[2]), "C");
            EXPECT_EQ(names.Name(obs.Angles.ForeIds[2]), "D");
        }
    }
}

TEST_F(ObservationFile, AngleRange) {
    Observations obs;
    ASSERT_TRUE(ReadObservations(File("A B C 360.0000\nA B D -10.0000\nA B E -360.0000\n"), settings,
                                 model.PointNames, obs, error, ui));
    ASSERT_EQ(obs.Angles.Count(), 3);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 360.0);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[2], 350.0);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[3], 0.0);

    // Blank and comment lines count in the line number; the refused angle is not stored.
    for (const char* text : {"A B C 1.0000\n\n// x\nA B D 360.0001\n", "A B C 1.0000\n\n// x\nA B D -360.0001\n"}) {
        ScriptedInteraction fresh;
        ASSERT_FALSE(ReadObservations(File(text), settings, model.PointNames, obs, error, fresh));
        EXPECT_EQ(obs.Angles.Count(), 1);
        ASSERT_EQ(fresh.Messages().size(), 1u);
        EXPECT_EQ(fresh.Messages()[0], "Goc o dong 4 qua 360");
        EXPECT_EQ(error.ReadErrorLine, 4);
        EXPECT_EQ(error.ReadErrorField, 4);
        EXPECT_EQ(error.ReadErrorFlag, 1);
    }
}

TEST_F(ObservationFile, ErrorsNameTheirLine) {
    Observations obs;
    // A comment line breaks the chaining.
    std::string path = File("A,B,C,90.0000\r\n// turn\r\n,,D,45.0000\r\n");
    ASSERT_FALSE(ReadObservations(path, settings, model.PointNames, obs, error, ui));
    ASSERT_FALSE(ui.Messages().empty());
    EXPECT_EQ(ui.Messages()[0], Vn("Số liệu dòng 3 : [,,D,45.0000] không hợp lệ"));
    EXPECT_EQ(error.ReadErrorLine, 3);
    EXPECT_EQ(error.ReadErrorField, 4);
    EXPECT_EQ(error.FailedFileName, path);
    EXPECT_EQ(obs.Angles.Count(), 1);

    struct Case {
        const char* text;
        int line;
        int field;
        const char* message;  // last message shown
    };
    const Case cases[] = {
        {"A B 10\nA B x1\n", 2, 3, "loi x1 (dòng 2)"},
        {"\nA B C 10.0000 1.5y\n", 2, 5, "loi 1.5y (dòng 2)"},
        {",B,10\n", 1, 3, "Số liệu dòng 1 : [,B,10] không hợp lệ"},
        {"A B C 12.30\n", 1, 4, "Góc A B C Góc 12.30 sai định dạng"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedInteraction fresh;
        ASSERT_FALSE(ReadObservations(File(c.text), settings, model.PointNames, obs, error, fresh));
        ASSERT_FALSE(fresh.Messages().empty());
        EXPECT_EQ(fresh.Messages().back(), Vn(c.message));
        EXPECT_EQ(error.ReadErrorLine, c.line);
        EXPECT_EQ(error.ReadErrorField, c.field);
    }

    // A file that cannot be opened.
    ObservationCounts counts;
    EXPECT_FALSE(CountObservationLines(dir.File("none.txt"), settings, counts, error));
    EXPECT_EQ(error.FailedFileName, dir.File("none.txt"));
    EXPECT_EQ(error.ReadErrorLine, 1);
    EXPECT_EQ(error.ReadErrorField, 1);
}

TEST_F(ObservationFile, HeightLinesOnlyWhenHeightsComeFromIt) {
    std::string path = File("P1 12.5\nA B 10\n");
    Observations obs;
    ASSERT_TRUE(ReadObservations(path, settings, model.PointNames, obs, error, ui));
    EXPECT_EQ(obs.Heights.Count(), 0);

    settings.HeightReduction = true;
    settings.HeightReductionMode = 1;
    settings.HeightsFromFile = false;
    settings.MetresFlag = false;
    PointNameTable names;
    ASSERT_TRUE(ReadObservations(path, settings, names, obs, error, ui));
    ASSERT_EQ(obs.Heights.Count(), 1);
    EXPECT_EQ(obs.Heights.Ids[1], 3);  // registered after the side names A, B
    EXPECT_DOUBLE_EQ(obs.Heights.Heights[1], 0.0125);
    ObservationCounts counts;
    ASSERT_TRUE(CountObservationLines(path, settings, counts, error));
    EXPECT_EQ(counts.Heights, 1);
}

using OtherFiles = ReaderFixture;

TEST_F(OtherFiles, HeightFile) {
    OneBased<int> ids;
    OneBased<double> heights;
    ASSERT_TRUE(ReadHeightFile(File("P1\t10.5\r\n// c\r\n\r\n,3\r\np2 7\r\n"), settings, model.PointNames, ids,
                               heights, error, ui));
    ASSERT_EQ(ids.Size(), 2u);  // the line without a name is skipped
    EXPECT_EQ(Name(ids[2]), "p2");
    EXPECT_DOUBLE_EQ(heights[1], 10.5);

    // A name without a value is an error naming the line; no marker is stored.
    EXPECT_FALSE(ReadHeightFile(File("P1 1\nP2\n"), settings, model.PointNames, ids, heights, error, ui));
    EXPECT_EQ(ui.Messages().back(), Vn("Số liệu dòng 2 : [P2] không hợp lệ"));
    EXPECT_EQ(error.ReadErrorLine, 2);
}

TEST_F(OtherFiles, LevellingFile) {
    LevellingLines lines;
    settings.MetresFlag = false;
    ASSERT_TRUE(ReadLevellingLines(File("A\tB\t1200\t1234\n// x\n\n\tC\t800\t-34\nignored 1 2\n"), settings,
                                   model.PointNames, lines, error, ui));
    ASSERT_EQ(lines.Count(), 2);
    // The empty from-name continues at the previous to-name; from-names register first.
    EXPECT_EQ(Name(lines.FromIds[2]), "B");
    EXPECT_EQ(Name(lines.ToIds[2]), "C");
    EXPECT_EQ(lines.FromIds[1], 1);
    EXPECT_EQ(lines.FromIds[2], 2);
    EXPECT_EQ(lines.ToIds[2], 3);
    EXPECT_DOUBLE_EQ(lines.Lengths[1], 1.2);
    EXPECT_DOUBLE_EQ(lines.Dhs[2], -0.034);

    EXPECT_FALSE(ReadLevellingLines(File("\n,C,800,-34\n"), settings, model.PointNames, lines, error, ui));
    EXPECT_EQ(ui.Messages().back(), Vn("Số liệu dòng 2 : [,C,800,-34] không hợp lệ"));
    EXPECT_FALSE(ReadLevellingLines(File("A B 1 2\nA B x 2\n"), settings, model.PointNames, lines, error, ui));
    EXPECT_EQ(ui.Messages().back(), Vn("loi x (dòng 2)"));
}

TEST(StartSide, ChosenSideMovesToTheFront) {
    PointNameTable table;
    for (const char* n : {"A", "B", "C"}) table.Register(n);
    OneBased<int> from, to;
    for (auto [f, t] : {std::pair{3, 1}, std::pair{1, 2}, std::pair{2, 1}}) {
        from.PushBack(f);
        to.PushBack(t);
    }
    EXPECT_EQ(StartFromChosenSide(" b , A ", table, from, to, 3), 2);
    EXPECT_EQ(from[1], 1);  // the first of A-B / B-A, orientation kept
    EXPECT_EQ(to[1], 2);
    EXPECT_EQ(from[2], 3);
    EXPECT_EQ(to[2], 1);
    EXPECT_EQ(StartFromChosenSide("X,A", table, from, to, 3), 0);
    EXPECT_EQ(from[1], 1);
}

}  // namespace
}  // namespace qef
