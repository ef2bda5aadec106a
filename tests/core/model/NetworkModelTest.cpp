#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "core/model/NetworkModel.h"
#include "core/io/ResultWriters.h"
#include "support/Lists.h"

namespace qef {
namespace {

TEST(NetworkModel, RegisterIsCaseBlindFirstMatchAndCutTo15) {
    PointNameTable table;
    const OneBased<std::string> names =
        test::List<std::string>({"p1", "P1", "P2", "abcdefghijklmnoXY", "ABCDEFGHIJKLMNOZZ", "d\xB8", "D\xB8", "\xB8"});
    OneBased<int> ids;
    RegisterPointNames(table, names, ids, 8);
    // Only the first 15 characters count; a..z fold, other bytes compare as they are.
    EXPECT_EQ(test::Vec(ids), (std::vector<int>{1, 1, 2, 3, 3, 4, 4, 5}));
    EXPECT_EQ(table.Name(1), "p1");  // the first spelling stays
    EXPECT_EQ(table.Find("ABCDEFGHIJKLMNO"), 3);
    EXPECT_EQ(FindPointName("p2", names, 2), 0);  // only the first n entries are searched

    BranchModel br;
    br.BranchPointCounts = test::List<int>({5, 2, 300});  // no upper bound per branch
    for (int i = 1; i <= 307; ++i) br.BranchPoints.PushBack(i);
    br.BuildBranchOffsets(3);
    EXPECT_EQ(br.BranchOffsets[4], 307);
    br.ReverseBranch(1);
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(br.PointAt(p), 6 - p);  // the middle point stays
}

// A table of many names grows many times over; each name keeps the id of its first spelling.
TEST(NetworkModel, ManyNamesKeepTheirIds) {
    PointNameTable table;
    OneBased<std::string> names;
    std::map<std::string, int> expected;  // key (upper-cased, 15 characters) -> id
    std::vector<int> expectedIds;
    auto add = [&](const std::string& name) {
        std::string key = name.substr(0, 15);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        expectedIds.push_back(expected.try_emplace(key, static_cast<int>(expected.size()) + 1).first->second);
        names.PushBack(name);
    };
    for (int i = 0; i < 40000; ++i) {
        add("st" + std::to_string(i * 7919 % 40000));
        if (i % 3 == 0) add("ST" + std::to_string(i * 7919 % 40000));    // again, in capitals
        if (i % 5 == 0) add("long-name-" + std::to_string(i % 100000) + "-tail" + std::to_string(i));
    }
    OneBased<int> ids;
    RegisterPointNames(table, names, ids, names.Size());
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.end()), expectedIds);
    EXPECT_EQ(table.Count(), static_cast<int>(expected.size()));
    EXPECT_EQ(table.Find("St123"), expected.at("ST123"));
    EXPECT_EQ(table.Name(expected.at("ST123")), "st123");
    EXPECT_EQ(table.Find("long-name-10000-and-more"), expected.at("LONG-NAME-10000"));
    EXPECT_EQ(table.Find("nowhere"), 0);
    EXPECT_EQ(table.Count(), static_cast<int>(expected.size()));
}

// Nodes P12 (done in the second write) and N2 (no X); branches N2 B1 B2 B3 and C1 C2.
struct ResultsFixture : ::testing::Test {
    NetworkModel model;
    test::TempDir dir;
    const std::string path = dir.File("r.kq");
    OneBased<double> x{2, 0.0}, y{2, 0.0};
    OneBased<std::uint8_t> done{2, 0};

    void SetUp() override {
        for (const char* n : {"P12", "N2", "B1", "B2", "B3", "C1", "C2"}) model.PointNames.Register(n);
        model.NetworkNodes = test::List<int>({1, 2});
        x[1] = 2345678.123, y[1] = 567890.456, x[2] = kMissingValue, y[2] = 10.0;
        model.Branches.BranchPointCounts = test::List<int>({4, 2});
        model.Branches.BranchPoints = test::List<int>({2, 3, 4, 5, 6, 7});
        model.Branches.BuildBranchOffsets(2);
    }
};

TEST_F(ResultsFixture, NodesAndBranchPointsInMetresAndMillimetres) {
    // The node without X is left out when the file is rewritten; appending writes every node not
    // done, missing values included.
    ASSERT_TRUE(WriteNodeCoordinates(path, model, x, y, false, 2, done, true));
    done[1] = 1;
    ASSERT_TRUE(WriteNodeCoordinates(path, model, x, y, true, 2, done, true));
    EXPECT_EQ(test::ReadFileBytes(path), "P12\t2345678.123\t567890.456\r\nN2\t-9478106.253\t10.000\r\n");

    // Millimetres: the value times 1000 without decimals. Entry i of a caller's list takes x[i],
    // y[i]; -0.0004 m shows no sign at 3 decimals.
    x[1] = 1234.5674;
    y[1] = -0.0004;
    ASSERT_TRUE(WriteNodeCoordinates(path, model, x, y, false, 1, done, false));
    OneBased<int> ids(1, 2);
    EXPECT_TRUE(WritePointCoordinates(path, model.PointNames, ids, x, y, true, 1, nullptr, true));
    EXPECT_EQ(test::ReadFileBytes(path), "P12\t1234567\t0\r\nN2\t1234.567\t0.000\r\n");
    EXPECT_FALSE(WriteNodeCoordinates(dir.File("no/such/dir.kq"), model, x, y, false, 1, done, true));

    // Branch points: interior ones, or every one after the first.
    OneBased<double> bx(6), by(6);
    for (int p = 1; p <= 6; ++p) bx[p] = p + 0.5, by[p] = -p;
    test::WriteFileBytes(path, "X\t1\t2\r\n");
    ASSERT_TRUE(AppendBranchPointCoordinates(path, model, false, 2, bx, by, true));
    EXPECT_EQ(test::ReadFileBytes(path), "X\t1\t2\r\nB1\t2.500\t-2.000\r\nB2\t3.500\t-3.000\r\n");
    test::WriteFileBytes(path, "");
    ASSERT_TRUE(AppendBranchPointCoordinates(path, model, true, 2, bx, by, false));
    EXPECT_EQ(test::ReadFileBytes(path), "B1\t2500\t-2000\r\nB2\t3500\t-3000\r\nB3\t4500\t-4000\r\nC2\t6500\t-6000\r\n");

    // The same selection collected in memory; only the nodes not done without branches.
    PointList out;
    CollectResultPoints(model, out, x, y, 2, done, false, 0, bx, by);
    EXPECT_EQ(test::Vec(out.Ids), std::vector<int>{2});
    for (bool includeLast : {false, true}) {
        out.Clear();
        CollectResultPoints(model, out, x, y, 0, done, includeLast, 2, bx, by);
        EXPECT_EQ(test::Vec(out.Ids), (includeLast ? std::vector<int>{3, 4, 5, 7} : std::vector<int>{3, 4}));
        EXPECT_EQ(out.X[2], 3.5);
    }
}

}  // namespace
}  // namespace qef
