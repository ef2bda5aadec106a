#include <gtest/gtest.h>

#include <vector>

#include "core/NetworkFixture.h"
#include "core/analysis/Duplicates.h"
#include "core/text/VnCodec.h"

namespace qef {
namespace {

struct DuplicatesFixture : test::ObservedFixture {
    void SetUp() override {
        for (const char* n : {"A", "B", "S", "C"}) Id(n);  // ids 1..4
    }
};

TEST_F(DuplicatesFixture, RepeatedSidesAveragedToTheMillimetre) {
    Observe("A B 100.002; S C 50.0; B A 100.004; S A 70.001; A S 70.002; S A 70.006");
    FindDuplicateObservations(obs, model.PointNames, log, ui);
    // (70.001 + 70.002 + 70.006) / 3 for S-A; each kept side keeps its first direction.
    EXPECT_EQ(test::Vec(obs.Sides.FromIds), (std::vector<int>{1, 3, 3}));
    EXPECT_EQ(test::Vec(obs.Sides.ToIds), (std::vector<int>{2, 4, 1}));
    const double lengths[] = {100.003, 50.0, 70.003};
    for (int i = 1; i <= 3; ++i) EXPECT_DOUBLE_EQ(obs.Sides.Lengths[i], lengths[i - 1]);
    const std::vector<std::string> lines = {Vn("Cạnh trùng A -> B"), Vn("Cạnh trùng S -> A"), Vn("Cạnh trùng S -> A")};
    EXPECT_EQ(log.Lines(), lines);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"Du lieu cua ban co CANH trung nhau, CT tam tinh trung binh nhung ban can xem lai"});
}

TEST_F(DuplicatesFixture, RepeatedAnglesAveragedAcrossZero) {
    // At S the same angle read the other way round; at C a reading across 0 (mean 0.001, not
    // 180.001); at A a reverse reading 360 - 0, the same direction as 0; B is another station.
    Observe("A S B 45.0; B S A 315.0; A C B 359.999; A C B 0.003; B A C 0.0; C A B 0.0; A B S 10.0");
    FindDuplicateObservations(obs, model.PointNames, log, ui);
    ASSERT_EQ(obs.Angles.Count(), 4);
    const double values[] = {45.0, 0.001, 0.0, 10.0};
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(obs.Angles.Values[i], values[i - 1], 1e-9);
    EXPECT_EQ(log.Lines().front(), Vn("Góc trùng A <- S -> B"));
    EXPECT_EQ(log.Lines().size(), 3u);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"Du lieu cua ban co GOC trung nhau, CT tam tinh trung binh nhung ban can xem lai"});

    // Both kinds; then none at all.
    Observe("A B 1.0; B A 1.0; A S B 45.0");
    test::ScriptedInteraction both;
    FindDuplicateObservations(obs, model.PointNames, log, both);
    EXPECT_EQ(both.Messages(), std::vector<std::string>{
                                   "Du lieu cua ban co GOC - CANH trung nhau, CT tam tinh trung binh nhung ban can xem lai"});
    test::ScriptedInteraction none;
    FindDuplicateObservations(obs, model.PointNames, log, none);
    EXPECT_TRUE(none.calls.empty());
}

}  // namespace
}  // namespace qef
