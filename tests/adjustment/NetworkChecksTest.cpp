#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/NetworkFixture.h"
#include "adjustment/NetworkChecks.h"
#include "core/text/VnCodec.h"

namespace qef {
namespace {

struct ChecksFixture : test::ObservedFixture {
    double Lookup(const char* a, const char* s, const char* c, bool* declined = nullptr) {
        StationAngleIndex index(obs.Angles);
        return LookupBranchAngle(obs.Angles, index, Id(a), Id(s), Id(c), model.PointNames, errorFlag, ui, log, declined);
    }
    double Derive(const char* a, const char* s, const char* c) {
        StationAngleIndex index(obs.Angles);
        return DeriveStationAngle(obs.Angles, index, Id(a), Id(s), Id(c));
    }
    // The measured angles (place in the list, sign; in list order) the looked-up angle is made of;
    // the value must be their signed sum within whole turns.
    std::vector<std::pair<int, int>> Sources(const char* a, const char* s, const char* c) {
        StationAngleIndex index(obs.Angles);
        std::vector<AngleSource> sources;
        const double value = LookupBranchAngle(obs.Angles, index, Id(a), Id(s), Id(c), model.PointNames, errorFlag,
                                               ui, log, nullptr, &sources);
        std::vector<std::pair<int, int>> list;
        double sum = 0.0;
        for (const AngleSource& source : sources) {
            list.emplace_back(source.Angle, source.Sign);
            sum += source.Sign * obs.Angles.Values[source.Angle];
        }
        std::sort(list.begin(), list.end());
        if (!sources.empty()) {
            const double turns = (value - sum) / 360.0;
            EXPECT_NEAR(turns, std::round(turns), 1e-12) << a << " " << s << " " << c;
        }
        return list;
    }
};

TEST_F(ChecksFixture, GroupTiedToAStartStation) {
    Branch({"S", "P", "Q", "E"});
    model.StartStations.PushBack(Id("T"));
    EXPECT_FALSE(CheckGroupTied(model, StartDirectionIndex(model), 1, errorFlag, ui) || !errorFlag);
    EXPECT_EQ(ui.Messages().back(), " Nhom co S , P , E khong duoc noi voi toa do goc");
    Branch({"E", "F"});
    EXPECT_FALSE(CheckGroupTied(model, StartDirectionIndex(model), 2, errorFlag, ui));
    EXPECT_EQ(ui.Messages().back(), " Nhom co S , P , E ... khong duoc noi voi toa do goc");
    model.StartStations.PushBack(Id("F"));  // the last point of branch 2
    EXPECT_TRUE(CheckGroupTied(model, StartDirectionIndex(model), 2, errorFlag, ui));
}

TEST_F(ChecksFixture, ConnectingAnglesAtBothEnds) {
    Branch({"S", "P", "Q", "E"});
    Branch({"P", "X"});
    model.StartStations = Ids("S E");
    model.StartTargets = Ids("T U");
    Observe("T S P 30; Q E U 80");  // known target to branch point, branch point to known target
    using test::List;
    const OneBased<double> sx = List<double>({100, 500}), sy = List<double>({200, 600}),
                           tx = List<double>({300, 700}), ty = List<double>({400, 800}), az = List<double>({45, 10});
    StartDirectionRefs dirs{sx, sy, tx, ty, az};
    OneBased<std::uint8_t> fixStart(2, 1), fixEnd(2, 1);
    fixEnd[2] = 2;
    OneBased<int> refStart(2, 0), refEnd(2, 0);
    OneBased<double> rsx(2), rsy(2), azStart(2), rex(2), rey(2), azEnd(2), px(6), py(6);
    StationAngleIndex index(obs.Angles);
    const StartDirectionIndex starts(model);
    const ConnectingAngleSearch search{model, obs.Angles, index, starts, dirs, px, py};

    ASSERT_TRUE(FindEndConnectingAngles(search, 2, {fixEnd, refEnd, rex, rey, azEnd}, nullptr, errorFlag, ui, log));
    EXPECT_TRUE(refEnd[1] == Id("U") && rex[1] == 700 && px[4] == 500 && py[4] == 600);
    EXPECT_EQ(azEnd[1], 190);  // the branch arrives at E: reversed

    // Branch 2 (P X) starts where no angle to a known direction was measured.
    EXPECT_FALSE(FindStartConnectingAngles(search, 2, {fixStart, refStart, rsx, rsy, azStart}, errorFlag, ui, log));
    EXPECT_TRUE(refStart[1] == Id("T") && rsy[1] == 400 && azStart[1] == 45 && px[1] == 100 && errorFlag);
    EXPECT_EQ(ui.Messages().back(), Vn("Nhánh P X Thiếu góc đo nối phương vị đầu"));
    EXPECT_EQ(log.Lines().back(), ui.Messages().back());
}

TEST_F(ChecksFixture, AnglesThroughAThirdDirection) {
    // At S only A-P and C-P were measured: A to C is their difference.
    Observe("A S P 100; C S P 30");
    EXPECT_DOUBLE_EQ(Lookup("A", "S", "C"), 70.0);
    EXPECT_DOUBLE_EQ(Lookup("C", "S", "A"), 290.0);
    // A direct measurement is found, either way round.
    Observe("A S2 C 123");
    EXPECT_DOUBLE_EQ(Lookup("A", "S2", "C"), 123.0);
    EXPECT_DOUBLE_EQ(Lookup("C", "S2", "A"), 237.0);
    // A chain R-A, A-B, B-C at V: R to C is 40 + 50 + 60, A to C is 50 + 60.
    Observe("R V A 40; A V B 50; B V C 60");
    EXPECT_DOUBLE_EQ(Derive("R", "V", "C"), 150.0);
    EXPECT_DOUBLE_EQ(Derive("A", "V", "C"), 110.0);
    // Two obs.Angles to the same fore point: R to B is 100 - 30, within one turn.
    Observe("R W F 100; B W F 30");
    EXPECT_DOUBLE_EQ(Derive("R", "W", "B"), 70.0);
    EXPECT_DOUBLE_EQ(Derive("B", "W", "R"), 290.0);
    EXPECT_FALSE(errorFlag);
    EXPECT_TRUE(ui.calls.empty());

    bool declined = false;
    ui.answers.push_back(Answer::No);
    EXPECT_TRUE(IsMissing(Lookup("A", "S", "X", &declined)));
    EXPECT_TRUE(errorFlag);
    EXPECT_TRUE(declined);
    EXPECT_EQ(log.Lines().back(), Vn("Thiếu góc : A   S   X"));
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(ui.calls[0].kind, "yesno");
    EXPECT_EQ(ui.calls[0].text,
              "Khong tim thay goc : A   S   X\rBan xem lai so hieu canh tuong ung co hop ly chua ?\rTiep tuc nua khong ?");
}

// Each derived angle names the measured angles it is made of, with the sign each enters it by.
TEST_F(ChecksFixture, DerivedAnglesNameTheMeasuredAnglesTheyAreMadeOf) {
    using Pairs = std::vector<std::pair<int, int>>;
    // 1: read from a spur R at S; 2, 3 and 4: a chain at V; 5 and 6: two angles to one fore point.
    Observe("R S A 100; R S C 30; A V B 50; B V C 60; C V D 70; R W F 100; B W F 30; C W A 10");
    EXPECT_EQ(Sources("A", "S", "C"), (Pairs{{1, -1}, {2, 1}}));
    EXPECT_EQ(Sources("C", "S", "A"), (Pairs{{1, 1}, {2, -1}}));
    EXPECT_EQ(Sources("A", "V", "D"), (Pairs{{3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(Sources("D", "V", "B"), (Pairs{{4, -1}, {5, -1}}));
    EXPECT_EQ(Sources("A", "V", "B"), (Pairs{{3, 1}}));
    EXPECT_EQ(Sources("B", "V", "A"), (Pairs{{3, -1}}));
    EXPECT_EQ(Sources("R", "W", "B"), (Pairs{{6, 1}, {7, -1}}));
    EXPECT_EQ(Sources("A", "W", "C"), (Pairs{{8, -1}}));
    EXPECT_FALSE(errorFlag);
    // Missing: nothing named.
    ui.answers.push_back(Answer::Yes);
    EXPECT_TRUE(Sources("A", "S", "X").empty());
}

TEST_F(ChecksFixture, CollectAnglesAndSidesByBranchKind) {
    Branch({"S", "P", "Q", "E"});
    Observe("T S P 30; S P Q 200; P Q E 170; Q E U 80; S P 10; Q P 20; Q E 30");
    const OneBased<BranchKind> kinds(1, BranchKind::BothEnds);
    OneBased<int> startRefs(1, Id("T")), endRefs(1, Id("U"));
    OneBased<double> pa(4, -1.0), ps(4, -1.0);
    StationAngleIndex index(obs.Angles);
    ASSERT_TRUE(CollectBranchAngles(model, obs.Angles, index, SideLengthIndex(obs.Sides), 1, kinds, startRefs, endRefs,
                                    pa, ps, errorFlag, ui, log));
    const double expected[] = {30, 200, 170, 80};
    for (int p = 1; p <= 4; ++p) EXPECT_DOUBLE_EQ(pa[p], expected[p - 1]);
    for (int p = 1; p <= 3; ++p) EXPECT_DOUBLE_EQ(ps[p], 10.0 * p);  // Q-P measured the other way round

    // A missing angle answered with No stops the collection: the next missing one is not asked.
    AngleObservations none;
    StationAngleIndex noIndex(none);
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(CollectBranchAngles(model, none, noIndex, SideLengthIndex(obs.Sides), 1, kinds, startRefs, endRefs,
                                     pa, ps, errorFlag, ui, log));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(ui.calls.size(), 1u);

    // A side that was never measured.
    errorFlag = false;
    obs.Sides.Lengths.Resize(2);  // Q-E dropped
    obs.Sides.FromIds.Resize(2);
    obs.Sides.ToIds.Resize(2);
    test::ScriptedInteraction fresh;
    EXPECT_FALSE(CollectBranchAngles(model, obs.Angles, index, SideLengthIndex(obs.Sides), 1, kinds, startRefs, endRefs,
                                     pa, ps, errorFlag, fresh, log));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(fresh.Messages(), std::vector<std::string>{Vn("Thiếu cạnh : Q   E")});
}

}  // namespace
}  // namespace qef
