#include <gtest/gtest.h>

#include "core/ResultWriters.h"
#include "support/Fakes.h"

namespace qef {
namespace {

struct WritersFixture : ::testing::Test {
    NetworkModel model;
    test::TempDir dir;
    OneBased<double> x, y;
    OneBased<std::uint8_t> done;

    void SetUp() override {
        for (const char* n : {"P12", "N2", "B1", "B2", "B3", "C1", "C2"}) model.PointNames.Register(n);
        model.NetworkNodes.PushBack(1);
        model.NetworkNodes.PushBack(2);
        x.Resize(2);
        y.Resize(2);
        done.Resize(2, 0);
        x[1] = 2345678.123;
        y[1] = 567890.456;
        x[2] = kMissingValue;
        y[2] = 10.0;
    }
};

TEST_F(WritersFixture, NodesInMetresAndMillimetres) {
    const std::string path = dir.File("r.kq");
    ASSERT_TRUE(WriteNodeCoordinates(path, model, x, y, false, 2, done, true));
    // The node without X is left out when the file is rewritten.
    EXPECT_EQ(test::ReadFileBytes(path), "P12\t2345678.123\t567890.456\r\n");

    // Appending writes every node not done, missing values included.
    done[1] = 1;
    ASSERT_TRUE(WriteNodeCoordinates(path, model, x, y, true, 2, done, true));
    EXPECT_EQ(test::ReadFileBytes(path), "P12\t2345678.123\t567890.456\r\nN2\t-9478106.253\t10.000\r\n");

    // Millimetres: the value times 1000 without decimals.
    x[1] = 1234.5674;
    y[1] = -0.0004;
    ASSERT_TRUE(WriteNodeCoordinates(path, model, x, y, false, 1, done, false));
    EXPECT_EQ(test::ReadFileBytes(path), "P12\t1234567\t0\r\n");

    OneBased<int> ids;
    ids.PushBack(2);
    EXPECT_TRUE(WritePointCoordinates(path, model.PointNames, ids, x, y, true, 1, nullptr, true));
    // Entry i of a caller's list takes x[i], y[i]; -0.0004 m shows no sign at 3 decimals.
    EXPECT_EQ(test::ReadFileBytes(path), "P12\t1234567\t0\r\nN2\t1234.567\t0.000\r\n");

    EXPECT_FALSE(WriteNodeCoordinates(dir.File("no/such/dir.kq"), model, x, y, false, 1, done, true));
}

TEST_F(WritersFixture, BranchPoints) {
    BranchModel& br = model.Branches;
    br.BranchPointCounts.PushBack(4);  // N2 B1 B2 B3
    br.BranchPointCounts.PushBack(2);  // C1 C2
    for (int id : {2, 3, 4, 5, 6, 7}) br.BranchPoints.PushBack(id);
    br.BuildBranchOffsets(2);
    OneBased<double> bx(6), by(6);
    for (int p = 1; p <= 6; ++p) bx[p] = p + 0.5, by[p] = -p;
    const std::string path = dir.File("r.kq");
    test::WriteFileBytes(path, "X\t1\t2\r\n");
    ASSERT_TRUE(AppendBranchPointCoordinates(path, model, false, 2, bx, by, true));
    EXPECT_EQ(test::ReadFileBytes(path), "X\t1\t2\r\nB1\t2.500\t-2.000\r\nB2\t3.500\t-3.000\r\n");
    test::WriteFileBytes(path, "");
    ASSERT_TRUE(AppendBranchPointCoordinates(path, model, true, 2, bx, by, false));
    EXPECT_EQ(test::ReadFileBytes(path), "B1\t2500\t-2000\r\nB2\t3500\t-3000\r\nB3\t4500\t-4000\r\nC2\t6500\t-6000\r\n");
}

}  // namespace
}  // namespace qef
