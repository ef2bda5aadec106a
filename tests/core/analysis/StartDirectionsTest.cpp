#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/NetworkFixture.h"
#include "core/analysis/StartDirections.h"

namespace qef {
namespace {

using test::NetFixture;

TEST_F(NetFixture, StartDirectionsAndKnownGroups) {
    // At B both sighted points are known: targets in known-list order, A before D; (B, A) once.
    // K is a known station sighting nothing known. P and Q end sides only; A is a start target.
    Load("known A B D K P Q; angle D B A; angle A B C; angle 1 K 2; angle K 2 3; side 3 P; side K 2; side Q P;"
         "side A 9");
    ASSERT_TRUE(FindStartDirections(model, known, known.Count(), an.Angles, errorFlag, ui));
    EXPECT_EQ(Names(model.StartStations), "B B");
    EXPECT_EQ(Names(model.StartTargets), "A D");

    OneBased<int> hard, sideOnly;
    KnownStationsWithoutDirection(model, known, known.Count(), an.Angles, hard);
    EXPECT_EQ(Names(hard), "K");
    KnownSideOnlyPoints(model, known, known.Count(), an.Sides, hard, sideOnly);
    EXPECT_EQ(Names(sideOnly), "P Q");
    // Only the first knownCount entries are known.
    KnownSideOnlyPoints(model, known, 5, an.Sides, hard, sideOnly);
    EXPECT_EQ(Names(sideOnly), "P");

    EXPECT_FALSE(FindStartDirections(model, known, 0, an.Angles, errorFlag, ui));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{"!Ten diem toa do goc khong phu hop"});
}

TEST_F(NetFixture, MissingCoordinatesAskedOncePerLine) {
    Load("known B A C; angle A B 1; angle B A C");  // (B, A); (A, B) and (A, C)
    known.X[1] = 1000, known.Y[1] = 1100, known.X[3] = 1200, known.Y[3] = 1100;
    known.X[2] = known.Y[2] = kMissingValue;  // A is known by name only
    ASSERT_TRUE(FindStartDirections(model, known, known.Count(), an.Angles, errorFlag, ui));
    ASSERT_EQ(Names(model.StartStations), "B A A");
    ASSERT_EQ(Names(model.StartTargets), "A B C");
    StartAzimuthData data;
    StartAzimuthsFromCoords(model, known, known.Count(), data);

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

TEST_F(NetFixture, NodeCandidatesAndJunctions) {
    // J: two angles and three sides; T: two angles, two sides; K: known; S: one angle, three
    // sides; U: its second angle both shares a leg and crosses, so it does not count.
    Load("known K; angle 1 J 2; angle T S 1; angle 1 J 3; angle J T 4; angle J T 5; angle 1 K 2; angle 3 K 4;"
         "angle 1 U 2; angle 2 U 2; side J 1; side T J; side 3 J; side T 4; side K 1; side K 2; side 3 K;"
         "side S 1; side S 2; side 3 S");
    OneBased<int> angleNodes, sideNodes, junctions;
    FindAngleNodes(an.Angles, known.Ids, known.Count(), angleNodes);
    EXPECT_EQ(Names(angleNodes), "J T");
    FindSideNodes(an.Sides, known.Ids, known.Count(), sideNodes);
    EXPECT_EQ(Names(sideNodes), "J 1 3 S");
    IntersectIdLists(angleNodes, sideNodes, junctions);
    EXPECT_EQ(Names(junctions), "J");
    FindAngleNodes(an.Angles, known.Ids, 0, angleNodes);  // K is no longer known
    EXPECT_EQ(Names(angleNodes), "J T K");

    // Each match uses one entry of each list.
    OneBased<int> out;
    IntersectIdLists(test::List<int>({5, 0, 5, 7}), test::List<int>({7, 5, 0}), out);
    EXPECT_EQ(test::Vec(out), (std::vector<int>{5, 7}));

    an.Sides = SidePairs{};
    for (auto [e1, e2] : {std::pair{1, 2}, {0, 0}, {3, 0}, {4, 5}, {0, 6}}) an.Sides.Add(e1, e2);
    CompactIdPairs(an.Sides);
    EXPECT_EQ(Pairs(an.Sides), Name(1) + "-" + Name(2) + ", " + Name(4) + "-" + Name(5));
}

}  // namespace
}  // namespace qef
