#include <gtest/gtest.h>

#include "core/NetworkModel.h"

namespace qef {
namespace {

OneBased<std::string> Names(std::initializer_list<const char*> list) {
    OneBased<std::string> out;
    for (const char* s : list) out.PushBack(s);
    return out;
}

TEST(NetworkModel, RegisterIsCaseBlindFirstMatchAndCutTo15) {
    PointNameTable table;
    OneBased<int> ids;
    auto names = Names({"p1", "P1", "P2", "abcdefghijklmnoXY", "ABCDEFGHIJKLMNOZZ", "d\xB8", "D\xB8"});
    RegisterPointNames(table, names, ids, 7);
    ASSERT_EQ(ids.Size(), 7u);
    EXPECT_EQ(ids[1], 1);
    EXPECT_EQ(ids[2], 1);
    EXPECT_EQ(ids[3], 2);
    // Only the first 15 characters count.
    EXPECT_EQ(ids[4], 3);
    EXPECT_EQ(ids[5], 3);
    // a..z fold; other bytes are compared as they are.
    EXPECT_EQ(ids[6], 4);
    EXPECT_EQ(ids[7], 4);
    EXPECT_EQ(table.Count(), 4);
    EXPECT_EQ(table.Name(1), "p1");  // the first spelling stays
    EXPECT_EQ(table.Find("ABCDEFGHIJKLMNO"), 3);
    EXPECT_EQ(table.Find("P3"), 0);

    auto list = Names({"x", "P1", "p1"});
    EXPECT_EQ(FindPointName("p1", list, 3), 2);
    EXPECT_EQ(FindPointName("p1", list, 1), 0);  // only the first n entries are searched
}

TEST(NetworkModel, BranchOffsetsReverseAndLongBranches) {
    BranchModel br;
    // Branch 1: 5 points, branch 2: 2 points, branch 3: 300 points (no upper bound per branch).
    for (int n : {5, 2, 300}) br.BranchPointCounts.PushBack(n);
    for (int i = 1; i <= 307; ++i) br.BranchPoints.PushBack(i);
    br.BuildBranchOffsets(3);
    EXPECT_EQ(br.BranchOffsets[1], 0);
    EXPECT_EQ(br.BranchOffsets[2], 5);
    EXPECT_EQ(br.BranchOffsets[3], 7);
    EXPECT_EQ(br.BranchOffsets[4], 307);
    EXPECT_EQ(br.SumBranchPoints(2), 7);
    EXPECT_EQ(br.SumBranchPoints(0), 0);
    EXPECT_EQ(br.LastPoint(3), 307);

    br.ReverseBranch(1);
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(br.PointAt(p), 6 - p);  // the middle point stays
    br.ReverseBranch(2);
    EXPECT_EQ(br.PointAt(6), 7);
    EXPECT_EQ(br.PointAt(7), 6);
}

TEST(NetworkModel, CollectResultPoints) {
    NetworkModel model;
    for (int id : {10, 11}) model.NetworkNodes.PushBack(id);
    OneBased<double> nodeX(2), nodeY(2);
    nodeX[1] = 1;
    nodeY[1] = 2;
    nodeX[2] = 3;
    nodeY[2] = 4;
    OneBased<std::uint8_t> done(2, 0);
    done[2] = 1;
    OneBased<double> bx, by;

    // No branches: only the nodes not done.
    PointList out;
    CollectResultPoints(model, out, nodeX, nodeY, 2, done, false, 0, bx, by);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out.Ids[1], 10);
    EXPECT_EQ(out.Y[1], 2);

    // Branches 20-21-22-23 and 30-31: interior points, or every point after the first.
    BranchModel& br = model.Branches;
    for (int n : {4, 2}) br.BranchPointCounts.PushBack(n);
    for (int id : {20, 21, 22, 23, 30, 31}) br.BranchPoints.PushBack(id);
    br.BuildBranchOffsets(2);
    bx.Resize(6);
    by.Resize(6);
    for (int p = 1; p <= 6; ++p) bx[p] = 100 + p, by[p] = 200 + p;
    out.Clear();
    CollectResultPoints(model, out, nodeX, nodeY, 0, done, false, 2, bx, by);
    ASSERT_EQ(out.Count(), 2);
    EXPECT_EQ(out.Ids[1], 21);
    EXPECT_EQ(out.Ids[2], 22);
    EXPECT_EQ(out.X[2], 103);
    out.Clear();
    CollectResultPoints(model, out, nodeX, nodeY, 0, done, true, 2, bx, by);
    ASSERT_EQ(out.Count(), 4);
    EXPECT_EQ(out.Ids[3], 23);
    EXPECT_EQ(out.Ids[4], 31);
    EXPECT_EQ(out.Y[4], 206);
}

TEST(NetworkModel, AccumulateDistinctPoints) {
    NetworkModel model;
    OneBased<int> list;
    OneBased<int> a, b, c;
    for (int id : {1, 2}) a.PushBack(id);
    for (int id : {3, 1}) b.PushBack(id);
    for (int id : {4, 3, 5}) c.PushBack(id);
    AccumulateDistinctPoints(model, list, a, b, 3, 2, c);
    EXPECT_EQ(model.DistinctPointCount, 5);
    const int expected[] = {1, 2, 3, 4, 5};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(list[i], expected[i - 1]);
    // A second call adds only what is new.
    AccumulateDistinctPoints(model, list, c, c, 0, 3, a);
    EXPECT_EQ(model.DistinctPointCount, 5);
}

}  // namespace
}  // namespace qef
