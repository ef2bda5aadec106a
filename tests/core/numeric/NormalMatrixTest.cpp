#include "core/numeric/NormalMatrix.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <cmath>
#include <limits>
#include <random>
#include <tuple>
#include <vector>

namespace qef {
namespace {

PackedNormalMatrix Pack(const Eigen::MatrixXd& normals, const Eigen::VectorXd& constants) {
    const int n = static_cast<int>(normals.rows());
    PackedNormalMatrix packed(n);
    for (int i = 1; i <= n; ++i) {
        for (int j = i; j <= n; ++j) packed(i, j) = normals(i - 1, j - 1);
        packed.Constant(i) = constants(i - 1);
    }
    return packed;
}

// x = -N^-1 b, worked out by Eigen.
Eigen::VectorXd Reference(const Eigen::MatrixXd& normals, const Eigen::VectorXd& constants) {
    return -normals.ldlt().solve(constants);
}

void ExpectSolution(const OneBased<double>& result, const Eigen::VectorXd& expected) {
    const int n = static_cast<int>(expected.size());
    ASSERT_EQ(result.Size(), static_cast<std::size_t>(n) + 1);
    const double scale = std::max(1.0, expected.cwiseAbs().maxCoeff());
    for (int i = 1; i <= n; ++i) EXPECT_NEAR(result[i], expected(i - 1), 1e-9 * scale) << "unknown " << i;
    EXPECT_EQ(result[n + 1], 0.0);
}

Eigen::VectorXd RandomVector(int n, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-100.0, 100.0);
    return Eigen::VectorXd::NullaryExpr(n, [&] { return u(rng); });
}

// Positive definite normals of 3m + tail unknowns, as a network's: each block of three couples only
// with itself and the tail. A dense tail couples throughout (m = 0: a full random system); a sparse
// one only in short runs, far apart or not, so that most couplings are 0 and elimination fills
// some of them.
Eigen::MatrixXd Normals(int m, int tail, bool sparse, std::mt19937& rng) {
    const int n = 3 * m + tail;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::uniform_int_distribution<int> pick(3 * m, std::max(3 * m, n - 1));
    Eigen::MatrixXd normals = 0.5 * Eigen::MatrixXd::Identity(n, n);
    for (int block = 0; block <= m; ++block) {
        const int products = block < m || sparse ? 3 : tail + 3;
        for (int s = 0; s < products; ++s) {
            Eigen::VectorXd v = Eigen::VectorXd::Zero(n);
            if (block < m)
                for (int k = 0; k < (sparse ? 3 - s : 3); ++k) v(3 * block + k) = u(rng);
            for (int run = 0; run < (sparse ? 2 : 1); ++run) {
                const int at = sparse ? pick(rng) : 3 * m;
                for (int k = at; k < (sparse ? std::min(n, at + 3) : n); ++k) v(k) = u(rng);
            }
            normals += v * v.transpose();
        }
    }
    return normals;
}

TEST(NormalMatrixTest, PackedAddressing) {
    // n = 3: row 1 holds places 1..4, row 2 places 5..7, row 3 places 8..9.
    PackedNormalMatrix m(3);
    EXPECT_EQ(m.Data().size(), 10u);
    EXPECT_EQ(std::vector<std::size_t>({m.Index(1, 4), m.Index(2, 2), m.Index(3, 2), m.Index(3, 3), m.Index(3, 4)}),
              (std::vector<std::size_t>{4, 5, 6, 8, 9}));
    m(3, 1) = 7.5;
    EXPECT_TRUE(m(1, 3) == 7.5 && m.Data()[3] == 7.5);
    OneBased<std::size_t> starts;
    PackedRowStart(starts, 3);
    EXPECT_EQ(std::vector<std::size_t>(starts.begin(), starts.end()), (std::vector<std::size_t>{1, 5, 8}));
    // Sizes of large systems pass 32 bits.
    EXPECT_EQ(TriangularNumber(100000), 4999950000LL);
    EXPECT_EQ(PackedNormalMatrix::ElementCount(70000), 2450105000u);
    EXPECT_EQ(PackedNormalMatrix::RowStart(70000, 70000), 2450105000u - 1u);
}

TEST(NormalMatrixTest, DenseAndCorrelateSolvesMatchEigen) {
    std::mt19937 rng(12345);
    // Blocks of three, tail, sparse tail.
    for (auto [m, tail, sparse] : {std::tuple{0, 2, false}, {0, 7, false}, {0, 121, false}, {0, 200, false},
                                   {1, 0, false}, {4, 3, false}, {20, 11, false}, {50, 40, false},
                                   {0, 60, true}, {1, 60, true}, {6, 60, true}, {40, 60, true}}) {
        SCOPED_TRACE(testing::Message() << m << " blocks, tail " << tail << (sparse ? " sparse" : ""));
        const Eigen::MatrixXd normals = Normals(m, tail, sparse, rng);
        const Eigen::VectorXd constants = RandomVector(static_cast<int>(normals.rows()), rng);
        const Eigen::VectorXd expected = Reference(normals, constants);
        PackedNormalMatrix dense = Pack(normals, constants);
        OneBased<double> result;
        EXPECT_EQ(SolveNormals(result, dense, false, true), 0);
        ExpectSolution(result, expected);
        PackedNormalMatrix correlate = Pack(normals, constants);
        EXPECT_EQ(SolveCorrelateNormals(result, correlate, false, m), 0);
        ExpectSolution(result, expected);
    }
    // n = 1: x = -b / a.
    PackedNormalMatrix single(1);
    single(1, 1) = 4.0;
    single.Constant(1) = 2.0;
    OneBased<double> result;
    EXPECT_EQ(SolveNormalDense(result, single, false, true), 0);
    EXPECT_EQ(std::vector<double>(result.begin(), result.end()), (std::vector<double>{-0.5, 0.0}));
}

void SetConstants(PackedNormalMatrix& packed, const Eigen::VectorXd& constants) {
    for (int i = 1; i <= packed.N(); ++i) packed.Constant(i) = constants(i - 1);
}

TEST(NormalMatrixTest, ASecondConstantColumnOnTheReducedMatrix) {
    std::mt19937 rng(99);
    const Eigen::MatrixXd normals = Normals(10, 8, false, rng);
    const int n = static_cast<int>(normals.rows());
    const Eigen::VectorXd first = RandomVector(n, rng);
    Eigen::VectorXd second = RandomVector(n, rng);
    second(0) = 0.0;  // a zero constant must not end the reduction

    // Correlate: reduce once, then a new column by ReduceRightHandSide.
    PackedNormalMatrix packed = Pack(normals, first);
    OneBased<double> unused;
    SolveCorrelateNormals(unused, packed, true, 10);
    SetConstants(packed, second);
    ReduceRightHandSide(packed, 10);
    OneBased<double> result;
    BackSubstitute(packed, result);
    ExpectSolution(result, Reference(normals, second));

    // Dense: the constant-column pass on the reduced matrix.
    PackedNormalMatrix dense = Pack(normals, first);
    SolveNormalDense(unused, dense, true, true);
    SetConstants(dense, second);
    SolveNormalDense(result, dense, false, false);
    ExpectSolution(result, Reference(normals, second));

    // On an unreduced matrix that pass changes only the constant column.
    PackedNormalMatrix untouched = Pack(normals, first);
    SolveNormalDense(unused, untouched, true, false);
    for (int i = 1; i <= n; ++i)
        for (int j = i; j <= n; ++j) ASSERT_EQ(untouched(i, j), normals(i - 1, j - 1));
    EXPECT_NE(untouched.Constant(n), first(n - 1));
}

TEST(NormalMatrixTest, ZeroPivotLeavesItsUnknownZero) {
    std::mt19937 rng(4242);
    const int n = 12;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Eigen::MatrixXd a(n + 6, n);
    for (int r = 0; r < a.rows(); ++r)
        for (int c = 0; c < n; ++c) a(r, c) = u(rng);
    // Unknown 7 is a mix of unknowns 1 and 2: its pivot cancels down to rounding noise.
    a.col(6) = 0.3 * a.col(0) + 0.7 * a.col(1);
    // Unknown 10 takes no part at all.
    a.col(9).setZero();
    const Eigen::MatrixXd normals = a.transpose() * a;
    const Eigen::VectorXd constants = RandomVector(n, rng);

    // The rest of the system solved with unknowns 7 and 10 removed; those stay 0.
    const std::vector<int> kept = {0, 1, 2, 3, 4, 5, 7, 8, 10, 11};
    const auto expectedFor = [&](const Eigen::VectorXd& b) {
        Eigen::VectorXd x = Eigen::VectorXd::Zero(n);
        x(kept) = Reference(normals(kept, kept), b(kept));
        return x;
    };

    PackedNormalMatrix dense = Pack(normals, constants);
    OneBased<double> result;
    EXPECT_EQ(SolveNormalDense(result, dense, false, true), 2);
    ExpectSolution(result, expectedFor(constants));
    EXPECT_EQ(dense(7, 7), 0.0);
    EXPECT_EQ(ZeroPivotCount(dense), 2);

    PackedNormalMatrix correlate = Pack(normals, constants);
    EXPECT_EQ(SolveCorrelateNormals(result, correlate, false, 0), 2);
    ExpectSolution(result, expectedFor(constants));

    // A later constant column sees the same zero pivots.
    const Eigen::VectorXd second = RandomVector(n, rng);
    SetConstants(correlate, second);
    ReduceRightHandSide(correlate, 0);
    BackSubstitute(correlate, result);
    ExpectSolution(result, expectedFor(second));
}

// With the extents of its rows known, the solution reads no column past them: a NaN put there
// would spread through every unknown. The results must be those of the full reading, bit for bit.
// Past its own block (or diagonal), the first and last column of each row that is not 0.
RowProfile ProfileOf(const Eigen::MatrixXd& normals, int m) {
    const int n = static_cast<int>(normals.rows());
    RowProfile profile{std::vector<int>(n + 1, n + 1), std::vector<int>(n + 1, 0)};
    for (int i = 1; i <= n; ++i)
        for (int j = i < 3 * m + 1 ? 3 * m + 1 : i + 1; j <= n; ++j)
            if (normals(i - 1, j - 1) != 0.0) {
                profile.From[i] = std::min(profile.From[i], j);
                profile.To[i] = j;
            }
    return profile;
}

TEST(NormalMatrixTest, RowsAreReadOnlyWhereTheyMayHoldValues) {
    std::mt19937 rng(7);
    const int m = 8;
    const Eigen::MatrixXd normals = Normals(m, 40, true, rng);
    const int n = static_cast<int>(normals.rows());
    const Eigen::VectorXd first = RandomVector(n, rng);
    const Eigen::VectorXd second = RandomVector(n, rng);
    const RowProfile profile = ProfileOf(normals, m);

    PackedNormalMatrix full = Pack(normals, first);
    OneBased<double> expected;
    SolveCorrelateNormals(expected, full, false, m);
    ExpectSolution(expected, Reference(normals, first));

    // The reach Reduce leaves must hold every value of the reduced rows.
    const std::vector<int> reach = full.Reach();
    ASSERT_EQ(reach.size(), static_cast<std::size_t>(n) + 1);
    for (int i = 1; i <= n; ++i)
        for (int j = reach[i] + 1; j <= n; ++j) ASSERT_EQ(full(i, j), 0.0) << i << ", " << j;

    const double nan = std::numeric_limits<double>::quiet_NaN();
    PackedNormalMatrix poisoned = Pack(normals, first);
    for (int i = 1; i <= n; ++i)
        for (int j = reach[i] + 1; j <= n; ++j)
            if (i > 3 * m || j > 3 * m) poisoned(i, j) = nan;
    OneBased<double> result;
    SolveCorrelateNormals(result, poisoned, false, m, &profile);
    for (int i = 1; i <= n + 1; ++i) EXPECT_EQ(result[i], expected[i]) << i;
    for (int i = 1; i <= n; ++i)
        for (int j = i; j <= reach[i]; ++j) ASSERT_EQ(poisoned(i, j), full(i, j)) << i << ", " << j;

    // A second constant column on the reduced rows, and the dense pass, read no further either.
    SetConstants(full, second);
    SetConstants(poisoned, second);
    ReduceRightHandSide(full, m);
    ReduceRightHandSide(poisoned, m);
    BackSubstitute(full, expected);
    BackSubstitute(poisoned, result);
    ExpectSolution(expected, Reference(normals, second));
    for (int i = 1; i <= n + 1; ++i) EXPECT_EQ(result[i], expected[i]) << i;

    PackedNormalMatrix dense = Pack(normals, first);
    SolveNormalDense(result, dense, true, true);
    for (int i = 1; i <= n; ++i)
        for (int j = dense.Reach()[i] + 1; j <= n; ++j) dense(i, j) = nan;
    SetConstants(dense, second);
    SolveNormalDense(result, dense, false, false);
    ExpectSolution(result, Reference(normals, second));
}

// A store used again for the next pass of a solution: Reset clears what the last solution wrote
// and leaves the rest untouched (its pages stay unmapped), and the next solution is exact.
TEST(NormalMatrixTest, ResetClearsWhatTheSolutionWroteAndNothingElse) {
    std::mt19937 rng(11);
    const int m = 8;
    const Eigen::MatrixXd normals = Normals(m, 40, true, rng);
    const int n = static_cast<int>(normals.rows());
    const RowProfile profile = ProfileOf(normals, m);
    PackedNormalMatrix probe = Pack(normals, RandomVector(n, rng));
    OneBased<double> result;
    SolveCorrelateNormals(result, probe, false, m, &profile);
    const std::vector<int> reach = probe.Reach();
    const std::vector<int> tail = probe.Tail();
    // Past what a row's block or panel of rows reaches, and between a block and the first tail
    // column of its rows: never read or written.
    auto untouched = [&](int i, int j) {
        if (i > 3 * m) {
            // Rows past the blocks are eliminated four at a time, each read as far as the four reach.
            const int r0 = 3 * m + 1 + (i - 3 * m - 1) / 4 * 4;
            int panelReach = std::min(r0 + 3, n);
            for (int r = r0; r <= std::min(r0 + 3, n); ++r) panelReach = std::max(panelReach, reach[r]);
            return j > panelReach;
        }
        const int blockEnd = (i + 2) / 3 * 3;
        if (j <= blockEnd) return false;  // a block is read whole
        const int blockTail = std::min({tail[blockEnd - 2], tail[blockEnd - 1], tail[blockEnd]});
        const int blockReach = std::max({reach[blockEnd - 2], reach[blockEnd - 1], reach[blockEnd]});
        return j > blockReach || j < std::max(blockTail, 3 * m + 1);
    };

    const double nan = std::numeric_limits<double>::quiet_NaN();
    PackedNormalMatrix store(n);
    auto fill = [&](const Eigen::VectorXd& constants) {
        for (int i = 1; i <= n; ++i) {
            for (int j = i; j <= n; ++j)
                if (normals(i - 1, j - 1) != 0.0) store(i, j) = normals(i - 1, j - 1);
            store.Constant(i) = constants(i - 1);
        }
    };
    for (int i = 1; i <= n; ++i)
        for (int j = i; j <= n; ++j)
            if (untouched(i, j)) store(i, j) = nan;
    const Eigen::VectorXd first = RandomVector(n, rng);
    fill(first);
    SolveCorrelateNormals(result, store, false, m, &profile);
    ExpectSolution(result, Reference(normals, first));

    const double* data = store.Data().data();
    store.Reset(n);
    EXPECT_EQ(store.Data().data(), data);
    EXPECT_TRUE(store.Reach().empty());
    for (int i = 1; i <= n; ++i) {
        EXPECT_EQ(store.Constant(i), 0.0) << i;
        for (int j = i; j <= n; ++j) {
            if (untouched(i, j))
                ASSERT_TRUE(std::isnan(store(i, j))) << i << ", " << j;
            else
                ASSERT_EQ(store(i, j), 0.0) << i << ", " << j;
        }
    }
    const Eigen::VectorXd second = RandomVector(n, rng);
    fill(second);
    SolveCorrelateNormals(result, store, false, m, &profile);
    ExpectSolution(result, Reference(normals, second));

    // Another order: a new store, every element 0.
    store.Reset(n + 1);
    EXPECT_EQ(store.N(), n + 1);
    for (int i = 1; i <= n + 1; ++i)
        for (int j = i; j <= n + 2; ++j) ASSERT_EQ(store(i, j), 0.0);
}

}  // namespace
}  // namespace qef
