#include <gtest/gtest.h>

#include "core/io/Readers.h"
#include "core/text/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

using test::ScriptedInteraction;

std::string Data(const std::string& name) { return std::string(QEF_TEST_DATA) + "/readers/" + name; }

struct Readers : ::testing::Test {
    ComputationSettings settings;
    PointNameTable names;
    ReadErrorRecord error;
    ScriptedInteraction ui;
    test::TempDir dir;

    std::string File(const std::string& bytes) {
        test::WriteFileBytes(dir.File("in.txt"), bytes);
        return dir.File("in.txt");
    }
    std::string Angle(const Observations& o, int i) const {
        return names.Name(o.Angles.BackIds[i]) + " " + names.Name(o.Angles.StationIds[i]) + " " +
               names.Name(o.Angles.ForeIds[i]);
    }
    std::string Side(const Observations& o, int i) const {
        return names.Name(o.Sides.FromIds[i]) + "-" + names.Name(o.Sides.ToIds[i]);
    }
};

TEST_F(Readers, KnownPointsInEverySeparatorAndUnit) {
    for (const char* file : {"known_tab.txt", "known_comma.txt", "known_fixed.txt", "known_blank_crlf.txt",
                             "known_semicolon_mm.txt"}) {
        SCOPED_TRACE(file);
        settings.MetresFlag = std::string(file).find("_mm") == std::string::npos;
        NetworkModel model;
        PointList points;
        ASSERT_TRUE(ReadKnownPoints(Data(file), settings, model, points, error, ui));
        ASSERT_GE(points.Count(), 2);
        EXPECT_EQ(model.PointNames.Name(points.Ids[2]), "B");
        EXPECT_DOUBLE_EQ(points.X[1], 1000.0);
        EXPECT_DOUBLE_EQ(points.Y[1], 2000.0);
        EXPECT_DOUBLE_EQ(points.X[2], 1100.5);
        EXPECT_DOUBLE_EQ(points.Y[2], 2100.25);
        // known_comma.txt ends with a name alone: missing coordinates.
        EXPECT_EQ(model.MissingValuesFlag, points.Count() == 3);
        if (points.Count() == 3) {
            EXPECT_TRUE(IsMissing(points.X[3]) && IsMissing(points.Y[3]));
        }
    }
    EXPECT_TRUE(ui.calls.empty());

    settings.MetresFlag = true;
    NetworkModel model;
    PointList points;
    const std::string path = File("P1 1 2\n\nA 100\n");
    EXPECT_FALSE(ReadKnownPoints(path, settings, model, points, error, ui));
    EXPECT_EQ(points.Count(), 0);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"loi " + Vn(" (dòng 3)")});
    EXPECT_EQ(error.FailedFileName, path);

    // XYH form: the height is the fourth field, missing when the line has none.
    OneBased<std::string> pointNames;
    OneBased<double> x, y, h;
    bool missing = false;
    ASSERT_TRUE(ReadPointsXYH(File("P1 1 2 3.5\nP2 4 5\n"), settings, pointNames, x, y, h, missing, error, ui));
    EXPECT_DOUBLE_EQ(h[1], 3.5);
    EXPECT_TRUE(IsMissing(h[2]));
}

TEST_F(Readers, ObservationChainingAndRegistrationOrder) {
    Observations obs;
    ASSERT_TRUE(ReadObservations(Data("obs_chain.txt"), settings, names, obs, error, ui));
    EXPECT_TRUE(ui.calls.empty());
    // Side from-names, side to-names, then angle backs, stations, fores: B C D E F A.
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(names.Name(i), std::string(1, "BCDEFA"[i - 1]));
    ASSERT_EQ(obs.Angles.Count(), 2);
    ASSERT_EQ(obs.Sides.Count(), 3);
    // A,B,C,90.0000,125.346 then ,,D,45.3000 continuing from B and C.
    EXPECT_EQ(Angle(obs, 1), "A B C");
    EXPECT_EQ(Angle(obs, 2), "B C D");
    EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 90.0);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[2], 45.5);
    // ,E,100.5 starts at the previous station C; the blank line does not break the chain.
    EXPECT_EQ(Side(obs, 1), "B-C");
    EXPECT_EQ(Side(obs, 2), "C-E");
    EXPECT_EQ(Side(obs, 3), "D-F");
    EXPECT_DOUBLE_EQ(obs.Sides.Lengths[1], 125.346);

    ObservationCounts counts;
    ASSERT_TRUE(CountObservationLines(Data("obs_chain.txt"), settings, counts, error));
    EXPECT_EQ(counts.Lines, 5);
    EXPECT_EQ(counts.Angles, 2);
    EXPECT_EQ(counts.Sides, 3);

    // TAB, ";" and fixed width, in millimetres: sides scaled, angles not.
    settings.MetresFlag = false;
    for (const char* file : {"obs_tab.txt", "obs_semicolon.txt", "obs_fixed.txt"}) {
        SCOPED_TRACE(file);
        names.Clear();
        ASSERT_TRUE(ReadObservations(Data(file), settings, names, obs, error, ui));
        EXPECT_EQ(Angle(obs, 1), "A B C");
        EXPECT_EQ(Side(obs, 1), "B-C");
        EXPECT_DOUBLE_EQ(obs.Sides.Lengths[1], 0.125346);
        EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 90.0);
        if (obs.Angles.Count() == 2) {
            EXPECT_EQ(Angle(obs, 2), "B C D");
        }
    }
}

TEST_F(Readers, ObservationAngleRange) {
    Observations obs;
    ASSERT_TRUE(ReadObservations(File("A B C 360.0000\nA B D -10.0000\nA B E -360.0000\n"), settings, names, obs,
                                 error, ui));
    ASSERT_EQ(obs.Angles.Count(), 3);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 360.0);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[2], 350.0);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[3], 0.0);
    // Blank and comment lines count in the line number; the refused angle is not stored.
    for (const char* text : {"A B C 1.0000\n\n// x\nA B D 360.0001\n", "A B C 1\n\n// x\nA B D -360.0001\n"}) {
        ScriptedInteraction fresh;
        ASSERT_FALSE(ReadObservations(File(text), settings, names, obs, error, fresh));
        EXPECT_EQ(obs.Angles.Count(), 1);
        EXPECT_EQ(fresh.Messages(), std::vector<std::string>{"Goc o dong 4 qua 360"});
        EXPECT_EQ(error.ReadErrorLine, 4);
        EXPECT_EQ(error.ReadErrorField, ReadErrorKind::Angle);
        EXPECT_EQ(error.ReadErrorFlag, 1);
    }
}

TEST_F(Readers, ObservationErrorsNameTheirLine) {
    struct Case {
        const char* text;
        int line;
        ReadErrorKind field;
        const char* first;  // first message shown
        const char* last;   // last message shown
    };
    const Case cases[] = {
        // A comment line breaks the chaining.
        {"A,B,C,90.0000\r\n// turn\r\n,,D,45.0000\r\n", 3, ReadErrorKind::Angle,
         "Số liệu dòng 3 : [,,D,45.0000] không hợp lệ", "Góc   D  (dòng 3)"},
        {",B,10\n", 1, ReadErrorKind::Side, "Số liệu dòng 1 : [,B,10] không hợp lệ",
         "Số liệu dòng 1 : [,B,10] không hợp lệ"},
        {"A B 10\nA B x1\n", 2, ReadErrorKind::Side, "loi x1 (dòng 2)", "loi x1 (dòng 2)"},
        {"A B 5\nA B C 10.0000 1.5y\n", 2, ReadErrorKind::AngleSide, "loi 1.5y (dòng 2)", "loi 1.5y (dòng 2)"},
        {"A B C 12.30\n", 1, ReadErrorKind::Angle, "Góc 12.30 sai định dạng",
         "Góc A B C Góc 12.30 sai định dạng (dòng 1)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ScriptedInteraction fresh;
        Observations obs;
        const std::string path = File(c.text);
        ASSERT_FALSE(ReadObservations(path, settings, names, obs, error, fresh));
        ASSERT_FALSE(fresh.Messages().empty());
        EXPECT_EQ(fresh.Messages().front(), Vn(c.first));
        EXPECT_EQ(fresh.Messages().back(), Vn(c.last));
        EXPECT_EQ(error.ReadErrorLine, c.line);
        EXPECT_EQ(error.ReadErrorField, c.field);
        EXPECT_EQ(error.FailedFileName, path);
        EXPECT_EQ(obs.Angles.Count() + obs.Sides.Count(), c.line == 1 ? 0 : 1);
    }
    ObservationCounts counts;
    EXPECT_FALSE(CountObservationLines(dir.File("none.txt"), settings, counts, error));
    EXPECT_EQ(error.FailedFileName, dir.File("none.txt"));
    EXPECT_EQ(error.ReadErrorField, ReadErrorKind::Open);
}

TEST_F(Readers, HeightAndLevellingFiles) {
    OneBased<int> ids;
    OneBased<double> heights;
    ASSERT_TRUE(ReadHeightFile(File("P1\t10.5\r\n// c\r\n\r\n,3\r\np2 7\r\n"), settings, names, ids, heights, error, ui));
    ASSERT_EQ(ids.Size(), 2u);  // the line without a name is skipped
    EXPECT_EQ(names.Name(ids[2]), "p2");
    EXPECT_DOUBLE_EQ(heights[1], 10.5);
    // A name without a value is an error naming the line; no marker is stored.
    EXPECT_FALSE(ReadHeightFile(File("P1 1\nP2\n"), settings, names, ids, heights, error, ui));
    EXPECT_EQ(ui.Messages().back(), Vn("Số liệu dòng 2 : [P2] không hợp lệ"));

    LevellingLines lines;
    settings.MetresFlag = false;
    names.Clear();
    ASSERT_TRUE(ReadLevellingLines(File("A\tB\t1200\t1234\n// x\n\n\tC\t800\t-34\nskipped 1 2\n"), settings, names,
                                   lines, error, ui));
    ASSERT_EQ(lines.Count(), 2);
    // The empty from-name continues at the previous to-name; from-names register first.
    EXPECT_EQ(lines.FromIds[2], 2);
    EXPECT_EQ(lines.ToIds[2], 3);
    EXPECT_EQ(names.Name(3), "C");
    EXPECT_DOUBLE_EQ(lines.Lengths[1], 1.2);
    EXPECT_DOUBLE_EQ(lines.Dhs[2], -0.034);
    EXPECT_FALSE(ReadLevellingLines(File("\n,C,800,-34\n"), settings, names, lines, error, ui));
    EXPECT_EQ(ui.Messages().back(), Vn("Số liệu dòng 2 : [,C,800,-34] không hợp lệ"));
    EXPECT_FALSE(ReadLevellingLines(File("A B 1 2\nA B x 2\n"), settings, names, lines, error, ui));
    EXPECT_EQ(ui.Messages().back(), Vn("loi x (dòng 2)"));

    // Height lines of the observation file count only when heights reduce the sides.
    const std::string path = File("P1 12.5\nA B 10\n");
    Observations obs;
    ASSERT_TRUE(ReadObservations(path, settings, names, obs, error, ui));
    EXPECT_EQ(obs.Heights.Count(), 0);
    settings.HeightReduction = true;
    settings.HeightReductionMode = ReductionMode::SideMean;
    settings.HeightsFromFile = false;
    names.Clear();
    ASSERT_TRUE(ReadObservations(path, settings, names, obs, error, ui));
    ASSERT_EQ(obs.Heights.Count(), 1);
    EXPECT_EQ(obs.Heights.Ids[1], 3);  // registered after the side names A, B
    EXPECT_DOUBLE_EQ(obs.Heights.Heights[1], 0.0125);  // millimetres
}

TEST_F(Readers, ChosenStartSideMovesToTheFront) {
    for (const char* n : {"A", "B", "C"}) names.Register(n);
    OneBased<int> from, to;
    for (auto [f, t] : {std::pair{3, 1}, std::pair{1, 2}, std::pair{2, 1}}) from.PushBack(f), to.PushBack(t);
    EXPECT_EQ(StartFromChosenSide(" b , A ", names, from, to, 3), 2);
    // The first of A-B / B-A comes first, orientation kept.
    EXPECT_TRUE(from[1] == 1 && to[1] == 2 && from[2] == 3);
    EXPECT_EQ(StartFromChosenSide("X,A", names, from, to, 3), 0);
}

}  // namespace
}  // namespace qef
