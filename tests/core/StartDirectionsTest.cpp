#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "core/StartDirections.h"
#include "support/Fakes.h"

namespace qef {
namespace {

struct StartFixture : ::testing::Test {
    NetworkModel model;
    PointList known;
    SidePairs sides;
    AngleTriples angles;
    test::ScriptedInteraction ui;
    bool errorFlag = false;

    int Id(const char* name) { return model.PointNames.Register(name); }
    void Known(const char* name, double x = 0, double y = 0) { known.Add(Id(name), x, y); }
    // "A B C, D B A": angles (back station fore); "J 1, T J": sides.
    void Add(const std::string& list) {
        std::istringstream items(list);
        for (std::string item; std::getline(items, item, ',');) {
            std::istringstream words(item);
            std::string a, b, c;
            words >> a >> b;
            if (words >> c)
                angles.Add(Id(a.c_str()), Id(b.c_str()), Id(c.c_str()));
            else
                sides.Add(Id(a.c_str()), Id(b.c_str()));
        }
    }
    std::string Names(const OneBased<int>& ids) {
        std::string out;
        for (int id : ids) out += (out.empty() ? "" : " ") + model.PointNames.Name(id);
        return out;
    }
};

TEST_F(StartFixture, StartDirectionsAndKnownGroups) {
    for (const char* name : {"A", "B", "D", "K", "P", "Q"}) Known(name);
    // At B both sighted points are known: targets in known-list order, A before D; (B, A) once.
    // K is a known station sighting nothing known. P and Q end sides only; A is a start target.
    Add("D B A, A B C, 1 K 2, K 2 3, 3 P, K 2, Q P, A 9");
    ASSERT_TRUE(FindStartDirections(model, known, known.Count(), angles, errorFlag, ui));
    EXPECT_EQ(Names(model.StartStations), "B B");
    EXPECT_EQ(Names(model.StartTargets), "A D");

    OneBased<int> hard, sideOnly;
    KnownStationsWithoutDirection(model, known, known.Count(), angles, hard);
    EXPECT_EQ(Names(hard), "K");
    KnownSideOnlyPoints(model, known, known.Count(), sides, hard, sideOnly);
    EXPECT_EQ(Names(sideOnly), "P Q");

    // Only the first knownCount entries are known.
    KnownSideOnlyPoints(model, known, 5, sides, hard, sideOnly);
    EXPECT_EQ(Names(sideOnly), "P");

    EXPECT_FALSE(FindStartDirections(model, known, 0, angles, errorFlag, ui));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"!Ten diem toa do goc khong phu hop"});
}

TEST_F(StartFixture, AzimuthsRunFromTargetToStation) {
    // A -> B runs due east (90); D -> B is a 3-4-5 line: atan(40 / 30) = 53.130102354 degrees.
    Known("A", 1000, 1000);
    Known("B", 1000, 1100);
    Known("D", 970, 1060);
    Add("A B 1, 1 B D");
    ASSERT_TRUE(FindStartDirections(model, known, known.Count(), angles, errorFlag, ui));
    StartAzimuthData data;
    StartAzimuthsFromCoords(model, known, known.Count(), data);
    ASSERT_EQ(data.Azimuths.Size(), 2u);
    EXPECT_NEAR(data.Azimuths[1], 90.0, 1e-9);
    EXPECT_NEAR(data.Azimuths[2], 53.130102354, 1e-8);
    EXPECT_EQ(data.StationX[2], 1000);
    EXPECT_EQ(data.StationY[2], 1100);
    EXPECT_EQ(data.TargetX[2], 970);
    EXPECT_EQ(data.TargetY[2], 1060);
}

TEST_F(StartFixture, MissingCoordinatesAskedOncePerLine) {
    Known("B", 1000, 1100);
    Known("A", kMissingValue, kMissingValue);  // known by name only
    Known("C", 1200, 1100);
    Add("A B 1, B A C");  // (B, A); (A, B) and (A, C)
    ASSERT_TRUE(FindStartDirections(model, known, known.Count(), angles, errorFlag, ui));
    ASSERT_EQ(Names(model.StartStations), "B A A");
    ASSERT_EQ(Names(model.StartTargets), "A B C");
    StartAzimuthData data;
    StartAzimuthsFromCoords(model, known, known.Count(), data);
    StartAzimuthAnswers answers;
    ComputationSettings settings;

    ui.texts = {std::string("abc"), std::string("45.3000"), std::nullopt};
    EXPECT_FALSE(AskStartAzimuths(model, settings, data, answers, ui));  // cancelled at A -> C
    ASSERT_EQ(ui.calls.size(), 4u);
    EXPECT_EQ(ui.calls[0].text, "Nhap so lieu|Nhap Phuong Vi A -> B");
    EXPECT_EQ(ui.calls[1].kind, "message");  // the bad text, then asked again
    EXPECT_EQ(ui.calls[2].text, "Nhap so lieu|Nhap Phuong Vi A -> B");
    EXPECT_EQ(ui.calls[3].text, "Nhap so lieu|Nhap Phuong Vi C -> A");
    EXPECT_NEAR(data.Azimuths[1], 45.5, 1e-12);
    EXPECT_NEAR(data.Azimuths[2], 225.5, 1e-12);  // A sighting B: the same line reversed

    // A second pass of the run asks only what is still unanswered.
    ui.calls.clear();
    ui.texts = {std::string("350")};
    EXPECT_TRUE(AskStartAzimuths(model, settings, data, answers, ui));
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].text, "Nhap so lieu|Nhap Phuong Vi C -> A");
    EXPECT_NEAR(data.Azimuths[1], 45.5, 1e-12);
    EXPECT_NEAR(data.Azimuths[3], 350.0, 1e-12);
}

TEST_F(StartFixture, NodeCandidatesAndJunctions) {
    Known("K");
    // J: two angles and three sides; T: two angles, two sides; K: known; S: one angle, three
    // sides; U: its second angle both shares a leg and crosses, so it does not count.
    Add("1 J 2, T S 1, 1 J 3, J T 4, J T 5, 1 K 2, 3 K 4, 1 U 2, 2 U 2");
    Add("J 1, T J, 3 J, T 4, K 1, K 2, 3 K, S 1, S 2, 3 S");
    OneBased<int> angleNodes, sideNodes, junctions;
    FindAngleNodes(angles, known.Ids, known.Count(), angleNodes);
    EXPECT_EQ(Names(angleNodes), "J T");
    FindSideNodes(sides, known.Ids, known.Count(), sideNodes);
    EXPECT_EQ(Names(sideNodes), "J 1 3 S");
    IntersectIdLists(angleNodes, sideNodes, junctions);
    EXPECT_EQ(Names(junctions), "J");

    AngleTriples one;
    one.Add(Id("1"), Id("J"), Id("2"));
    FindAngleNodes(one, known.Ids, 0, angleNodes);
    EXPECT_TRUE(angleNodes.Empty());

    // Each match uses one entry of each list.
    OneBased<int> a, b, out;
    for (int x : {5, 0, 5, 7}) a.PushBack(x);
    for (int x : {7, 5, 0}) b.PushBack(x);
    IntersectIdLists(a, b, out);
    EXPECT_EQ(std::vector<int>(out.begin(), out.end()), (std::vector<int>{5, 7}));

    ConcatNodeLists(a, b, one.Station, out);
    EXPECT_EQ(std::vector<int>(out.begin(), out.end()), (std::vector<int>{5, 0, 5, 7, 7, 5, 0, Id("J")}));
}

TEST(CompactIdPairsTest, RemovesPairsWithAZero) {
    SidePairs s;
    s.Add(1, 2);
    s.Add(0, 0);
    s.Add(3, 0);
    s.Add(4, 5);
    s.Add(0, 6);
    CompactIdPairs(s);
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.EndsA[1], 1);
    EXPECT_EQ(s.EndsB[1], 2);
    EXPECT_EQ(s.EndsA[2], 4);
    EXPECT_EQ(s.EndsB[2], 5);
}

}  // namespace
}  // namespace qef
