#include <gtest/gtest.h>

#include "core/NetworkChecks.h"
#include "core/VnCodec.h"
#include "support/Fakes.h"

namespace qef {
namespace {

struct ChecksFixture : ::testing::Test {
    NetworkModel model;
    AngleObservations angles;
    SideObservations sides;
    LogBuffer log;
    test::ScriptedInteraction ui;
    bool errorFlag = false;

    int Id(const char* name) { return model.PointNames.Register(name); }
    void Branch(std::initializer_list<const char*> points) {
        model.Branches.BranchPointCounts.PushBack(static_cast<int>(points.size()));
        for (const char* p : points) model.Branches.BranchPoints.PushBack(Id(p));
        model.Branches.BuildBranchOffsets(model.Branches.BranchCount());
    }
    void Angle(const char* back, const char* station, const char* fore, double value) {
        angles.BackIds.PushBack(Id(back));
        angles.StationIds.PushBack(Id(station));
        angles.ForeIds.PushBack(Id(fore));
        angles.Values.PushBack(value);
    }
    void Side(const char* a, const char* b, double length) {
        sides.FromIds.PushBack(Id(a));
        sides.ToIds.PushBack(Id(b));
        sides.Lengths.PushBack(length);
    }
    double Lookup(const char* a, const char* s, const char* c, bool* declined = nullptr) {
        StationAngleIndex index(angles);
        return LookupBranchAngle(angles, index, Id(a), Id(s), Id(c), model.PointNames, errorFlag, ui, log, declined);
    }
    double Derive(const char* a, const char* s, const char* c) {
        StationAngleIndex index(angles);
        return DeriveStationAngle(angles, index, Id(a), Id(s), Id(c));
    }
};

TEST_F(ChecksFixture, GroupTiedToAStartStation) {
    Branch({"S", "P", "Q", "E"});
    model.StartStations.PushBack(Id("T"));
    EXPECT_FALSE(CheckGroupTied(model, 1, 1, errorFlag, ui));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(ui.Messages().back(), " Nhom co S , P , E khong duoc noi voi toa do goc");
    Branch({"E", "F"});
    EXPECT_FALSE(CheckGroupTied(model, 1, 2, errorFlag, ui));
    EXPECT_EQ(ui.Messages().back(), " Nhom co S , P , E ... khong duoc noi voi toa do goc");
    model.StartStations.PushBack(Id("F"));  // the last point of branch 2
    EXPECT_TRUE(CheckGroupTied(model, 2, 2, errorFlag, ui));
}

TEST_F(ChecksFixture, ConnectingAnglesAtBothEnds) {
    Branch({"S", "P", "Q", "E"});
    Branch({"P", "X"});
    model.StartStations.PushBack(Id("S"));
    model.StartTargets.PushBack(Id("T"));
    model.StartStations.PushBack(Id("E"));
    model.StartTargets.PushBack(Id("U"));
    Angle("T", "S", "P", 30.0);  // known target to branch point
    Angle("Q", "E", "U", 80.0);  // branch point to known target
    OneBased<double> sx(2), sy(2), tx(2), ty(2), az(2);
    sx[1] = 100, sy[1] = 200, tx[1] = 300, ty[1] = 400, az[1] = 45;
    sx[2] = 500, sy[2] = 600, tx[2] = 700, ty[2] = 800, az[2] = 10;
    StartDirectionRefs dirs{sx, sy, tx, ty, az};
    OneBased<std::uint8_t> fixStart(2, 1), fixEnd(2, 1);
    fixEnd[2] = 2;
    OneBased<int> refStart(2, 0), refEnd(2, 0);
    OneBased<double> rsx(2), rsy(2), azStart(2), rex(2), rey(2), azEnd(2), px(6), py(6);
    StationAngleIndex index(angles);

    ASSERT_TRUE(FindEndConnectingAngles(model, angles, index, 2, dirs, 2, {fixEnd, refEnd, rex, rey, azEnd}, nullptr,
                                        px, py, errorFlag, ui, log));
    EXPECT_EQ(refEnd[1], Id("U"));
    EXPECT_EQ(rex[1], 700);
    EXPECT_EQ(azEnd[1], 190);  // the branch arrives at E: reversed
    EXPECT_EQ(px[4], 500);
    EXPECT_EQ(py[4], 600);

    // Branch 2 (P X) starts where no angle to a known direction was measured.
    EXPECT_FALSE(FindStartConnectingAngles(model, angles, index, 2, dirs, 2, {fixStart, refStart, rsx, rsy, azStart},
                                           px, py, errorFlag, ui, log));
    EXPECT_EQ(refStart[1], Id("T"));
    EXPECT_EQ(rsy[1], 400);
    EXPECT_EQ(azStart[1], 45);
    EXPECT_EQ(px[1], 100);
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(ui.Messages().back(), Vn("Nhánh P X Thiếu góc đo nối phương vị đầu"));
    EXPECT_EQ(log.Lines().back(), ui.Messages().back());
}

TEST_F(ChecksFixture, AnglesThroughAThirdDirection) {
    // At S only A-P and C-P were measured: A to C is their difference.
    Angle("A", "S", "P", 100.0);
    Angle("C", "S", "P", 30.0);
    EXPECT_DOUBLE_EQ(Lookup("A", "S", "C"), 70.0);
    EXPECT_DOUBLE_EQ(Lookup("C", "S", "A"), 290.0);
    // A direct measurement is found, either way round.
    Angle("A", "S2", "C", 123.0);
    EXPECT_DOUBLE_EQ(Lookup("A", "S2", "C"), 123.0);
    EXPECT_DOUBLE_EQ(Lookup("C", "S2", "A"), 237.0);
    // A chain R-A, A-B, B-C at V: R to C is 40 + 50 + 60, A to C is 50 + 60.
    Angle("R", "V", "A", 40.0);
    Angle("A", "V", "B", 50.0);
    Angle("B", "V", "C", 60.0);
    EXPECT_DOUBLE_EQ(Derive("R", "V", "C"), 150.0);
    EXPECT_DOUBLE_EQ(Derive("A", "V", "C"), 110.0);
    // Two angles to the same fore point: R to B is 100 - 30, within one turn.
    Angle("R", "W", "F", 100.0);
    Angle("B", "W", "F", 30.0);
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

TEST_F(ChecksFixture, CollectAnglesAndSidesByBranchType) {
    Branch({"S", "P", "Q", "E"});
    Angle("T", "S", "P", 30.0);
    Angle("S", "P", "Q", 200.0);
    Angle("P", "Q", "E", 170.0);
    Angle("Q", "E", "U", 80.0);
    Side("S", "P", 10.0);
    Side("Q", "P", 20.0);
    Side("Q", "E", 30.0);
    OneBased<int> types(1, 1), startRefs(1, Id("T")), endRefs(1, Id("U"));
    OneBased<double> pa(4, -1.0), ps(4, -1.0);
    StationAngleIndex index(angles);
    ASSERT_TRUE(CollectBranchAngles(model, angles, index, sides, 1, types, startRefs, endRefs, pa, ps, errorFlag, ui, log));
    const double expected[] = {30, 200, 170, 80};
    for (int p = 1; p <= 4; ++p) EXPECT_DOUBLE_EQ(pa[p], expected[p - 1]);
    for (int p = 1; p <= 3; ++p) EXPECT_DOUBLE_EQ(ps[p], 10.0 * p);  // Q-P measured the other way round

    // A missing angle answered with No stops the collection: the next missing one is not asked.
    AngleObservations none;
    StationAngleIndex noIndex(none);
    ui.answers.push_back(Answer::No);
    EXPECT_FALSE(CollectBranchAngles(model, none, noIndex, sides, 1, types, startRefs, endRefs, pa, ps, errorFlag, ui, log));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(ui.calls.size(), 1u);

    // A side that was never measured.
    errorFlag = false;
    sides.Lengths.Resize(2);  // Q-E dropped
    sides.FromIds.Resize(2);
    sides.ToIds.Resize(2);
    test::ScriptedInteraction fresh;
    EXPECT_FALSE(CollectBranchAngles(model, angles, index, sides, 1, types, startRefs, endRefs, pa, ps, errorFlag, fresh, log));
    EXPECT_TRUE(errorFlag);
    EXPECT_EQ(fresh.Messages(), std::vector<std::string>{Vn("Thiếu cạnh : Q   E")});
}

TEST_F(ChecksFixture, SpreadNodeValues) {
    Branch({"S", "N"});       // 1: the defining branch, ends at N
    Branch({"N", "Z"});       // 2: starts at N
    Branch({"Y", "N"});       // 3: ends at N
    Branch({"N", "K", "N"});  // 4: closed at N
    model.NetworkNodes.PushBack(Id("N"));
    for (int b : {1, 2, 3, 4}) model.NodeBranches.PushBack(b);
    OneBased<int> nodeStarts(2, 0), defining(1, 1);
    nodeStarts[2] = 4;
    OneBased<double> nodeAz(1, 30.0);

    OneBased<int> types(4);
    OneBased<double> start(4, -1.0), end(4, -1.0);
    types[1] = 1, types[2] = 1, types[3] = 4, types[4] = 3;
    SpreadNodeAzimuth(model, nodeStarts, defining, 1, types, start, end, nodeAz);
    EXPECT_EQ(end[1], 30);
    EXPECT_EQ(start[2], 210);  // defining branch arrives with an angle: reversed
    EXPECT_EQ(end[2], -1);
    EXPECT_EQ(end[3], 210);
    EXPECT_EQ(start[3], -1);
    EXPECT_EQ(start[4], 30);
    EXPECT_EQ(end[4], 30);

    types[1] = 2, types[2] = 2, types[3] = 2, types[4] = 1;
    start = OneBased<double>(4, -1.0);
    end = OneBased<double>(4, -1.0);
    SpreadNodeAzimuth(model, nodeStarts, defining, 1, types, start, end, nodeAz);
    EXPECT_EQ(start[2], 30);
    EXPECT_EQ(start[3], 30);  // a type 2 branch ending at the node takes the start azimuth
    EXPECT_EQ(end[3], -1);
    EXPECT_EQ(start[4], 30);
    EXPECT_EQ(end[4], 210);

    OneBased<double> values(1, 7.0), bx(9, 0.0);
    SpreadNodeX(model, nodeStarts, defining, values, 1, bx);
    const double expected[] = {0, 7, 7, 0, 0, 7, 7, 0, 7};
    for (int p = 1; p <= 9; ++p) EXPECT_EQ(bx[p], expected[p - 1]) << p;

    OneBased<int> out;
    EXPECT_EQ(ConcatIdLists3(out, model.NetworkNodes, nodeStarts, 2, 1, model.NodeBranches), 4);
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(out[4], 2);
}

}  // namespace
}  // namespace qef
