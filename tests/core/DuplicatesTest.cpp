#include <gtest/gtest.h>

#include "core/Duplicates.h"
#include "core/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

struct DuplicatesFixture : ::testing::Test {
    PointNameTable names;
    Observations obs;
    LogBuffer log;
    test::ScriptedInteraction ui;

    void SetUp() override {
        for (const char* n : {"A", "B", "S", "C"}) names.Register(n);  // ids 1..4
    }
    void Side(int a, int b, double length) {
        obs.Sides.FromIds.PushBack(a);
        obs.Sides.ToIds.PushBack(b);
        obs.Sides.Lengths.PushBack(length);
    }
    void Angle(int back, int station, int fore, double value) {
        obs.Angles.BackIds.PushBack(back);
        obs.Angles.StationIds.PushBack(station);
        obs.Angles.ForeIds.PushBack(fore);
        obs.Angles.Values.PushBack(value);
    }
};

TEST_F(DuplicatesFixture, RepeatedSidesAveragedToTheMillimetre) {
    Side(1, 2, 100.002);
    Side(3, 4, 50.0);
    Side(2, 1, 100.004);
    Side(3, 1, 70.001);
    Side(1, 3, 70.002);
    Side(3, 1, 70.006);
    FindDuplicateObservations(obs, names, log, ui);
    ASSERT_EQ(obs.Sides.Count(), 3);
    EXPECT_EQ(obs.Sides.FromIds[1], 1);
    EXPECT_EQ(obs.Sides.ToIds[1], 2);
    EXPECT_DOUBLE_EQ(obs.Sides.Lengths[1], 100.003);
    EXPECT_DOUBLE_EQ(obs.Sides.Lengths[2], 50.0);
    EXPECT_EQ(obs.Sides.FromIds[3], 3);
    EXPECT_DOUBLE_EQ(obs.Sides.Lengths[3], 70.003);  // (70.001 + 70.002 + 70.006) / 3
    const std::vector<std::string> lines = {Vn("Cạnh trùng A -> B"), Vn("Cạnh trùng S -> A"), Vn("Cạnh trùng S -> A")};
    EXPECT_EQ(log.Lines(), lines);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"Du lieu cua ban co CANH trung nhau, CT tam tinh trung binh nhung ban can xem lai"});
}

TEST_F(DuplicatesFixture, RepeatedAnglesAveragedAcrossZero) {
    Angle(1, 3, 2, 45.0);
    Angle(2, 3, 1, 315.0);  // the same angle read the other way round
    Angle(1, 4, 2, 359.999);
    Angle(1, 4, 2, 0.003);  // a reading across 0: mean 0.001, not 180.001
    Angle(2, 1, 4, 0.0);
    Angle(4, 1, 2, 0.0);    // reverse reading 360 - 0 is the same direction as 0
    Angle(1, 2, 3, 10.0);   // another station: not a repeat
    FindDuplicateObservations(obs, names, log, ui);
    ASSERT_EQ(obs.Angles.Count(), 4);
    EXPECT_DOUBLE_EQ(obs.Angles.Values[1], 45.0);
    EXPECT_NEAR(obs.Angles.Values[2], 0.001, 1e-9);
    EXPECT_NEAR(obs.Angles.Values[3], 0.0, 1e-9);
    EXPECT_EQ(obs.Angles.StationIds[4], 2);
    EXPECT_EQ(log.Lines().front(), Vn("Góc trùng A <- S -> B"));
    EXPECT_EQ(log.Lines().size(), 3u);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"Du lieu cua ban co GOC trung nhau, CT tam tinh trung binh nhung ban can xem lai"});

    // Both kinds; then none at all.
    Side(1, 2, 1.0);
    Side(2, 1, 1.0);
    Angle(1, 3, 2, 45.0);
    test::ScriptedInteraction both;
    FindDuplicateObservations(obs, names, log, both);
    EXPECT_EQ(both.Messages(), std::vector<std::string>{
                                   "Du lieu cua ban co GOC - CANH trung nhau, CT tam tinh trung binh nhung ban can xem lai"});
    test::ScriptedInteraction none;
    FindDuplicateObservations(obs, names, log, none);
    EXPECT_TRUE(none.calls.empty());
}

}  // namespace
}  // namespace qef
