#include <gtest/gtest.h>

#include "core/NetworkModel.h"

namespace qef {
namespace {

TEST(NetworkModel, RegisterIsCaseBlindFirstMatchAndCutTo15) {
    PointNameTable table;
    OneBased<std::string> names;
    for (const char* s : {"p1", "P1", "P2", "abcdefghijklmnoXY", "ABCDEFGHIJKLMNOZZ", "d\xB8", "D\xB8", "\xB8"})
        names.PushBack(s);
    OneBased<int> ids;
    RegisterPointNames(table, names, ids, 8);
    // Only the first 15 characters count; a..z fold, other bytes compare as they are.
    const int expected[] = {1, 1, 2, 3, 3, 4, 4, 5};
    for (int i = 1; i <= 8; ++i) EXPECT_EQ(ids[i], expected[i - 1]) << i;
    EXPECT_EQ(table.Name(1), "p1");  // the first spelling stays
    EXPECT_EQ(table.Name(3), "abcdefghijklmno");
    EXPECT_EQ(table.Find("ABCDEFGHIJKLMNO"), 3);
    EXPECT_EQ(table.Find("P3"), 0);
    EXPECT_EQ(FindPointName("P1", names, 8), 1);
    EXPECT_EQ(FindPointName("p2", names, 2), 0);  // only the first n entries are searched
}

TEST(NetworkModel, BranchOffsetsReverseAndLongBranches) {
    BranchModel br;
    for (int n : {5, 2, 300}) br.BranchPointCounts.PushBack(n);  // no upper bound per branch
    for (int i = 1; i <= 307; ++i) br.BranchPoints.PushBack(i);
    br.BuildBranchOffsets(3);
    EXPECT_EQ(br.BranchOffsets[2], 5);
    EXPECT_EQ(br.BranchOffsets[4], 307);
    EXPECT_EQ(br.SumBranchPoints(2), 7);
    EXPECT_EQ(br.SumBranchPoints(0), 0);
    br.ReverseBranch(1);
    for (int p = 1; p <= 5; ++p) EXPECT_EQ(br.PointAt(p), 6 - p);  // the middle point stays
    br.ReverseBranch(2);
    EXPECT_EQ(br.PointAt(6), 7);
    EXPECT_EQ(br.PointAt(7), 6);
}

TEST(NetworkModel, CollectResultPoints) {
    NetworkModel model;
    model.NetworkNodes.PushBack(10);
    model.NetworkNodes.PushBack(11);
    OneBased<double> nodeX(2, 1.0), nodeY(2, 2.0), bx, by;
    OneBased<std::uint8_t> done(2, 0);
    done[2] = 1;
    // No branches: only the nodes not done.
    PointList out;
    CollectResultPoints(model, out, nodeX, nodeY, 2, done, false, 0, bx, by);
    ASSERT_EQ(out.Count(), 1);
    EXPECT_EQ(out.Ids[1], 10);

    // Branches 20-21-22-23 and 30-31: interior points, or every point after the first.
    for (int n : {4, 2}) model.Branches.BranchPointCounts.PushBack(n);
    for (int id : {20, 21, 22, 23, 30, 31}) {
        model.Branches.BranchPoints.PushBack(id);
        bx.PushBack(id + 0.5);
        by.PushBack(-id);
    }
    model.Branches.BuildBranchOffsets(2);
    for (bool includeLast : {false, true}) {
        out.Clear();
        CollectResultPoints(model, out, nodeX, nodeY, 0, done, includeLast, 2, bx, by);
        const std::vector<int> expected = includeLast ? std::vector<int>{21, 22, 23, 31} : std::vector<int>{21, 22};
        ASSERT_EQ(out.Count(), static_cast<int>(expected.size()));
        for (int i = 1; i <= out.Count(); ++i) {
            EXPECT_EQ(out.Ids[i], expected[i - 1]);
            EXPECT_EQ(out.X[i], expected[i - 1] + 0.5);
        }
    }
}

}  // namespace
}  // namespace qef
