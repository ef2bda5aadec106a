#include "core/numeric/NormalMatrix.h"

#include <gtest/gtest.h>

#include <Eigen/Dense>
#include <random>
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

Eigen::MatrixXd RandomNormals(int n, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Eigen::MatrixXd a(n + 5, n);
    for (int r = 0; r < a.rows(); ++r)
        for (int c = 0; c < n; ++c) a(r, c) = u(rng);
    return a.transpose() * a + 0.1 * Eigen::MatrixXd::Identity(n, n);
}

Eigen::VectorXd RandomVector(int n, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(-100.0, 100.0);
    Eigen::VectorXd v(n);
    for (int i = 0; i < n; ++i) v(i) = u(rng);
    return v;
}

// Positive definite normals whose first 3m unknowns couple only within their block of three and
// with the tail: a sum of outer products of vectors supported on one block plus the tail.
Eigen::MatrixXd BlockNormals(int m, int tail, std::mt19937& rng) {
    const int n = 3 * m + tail;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    Eigen::MatrixXd normals = 0.5 * Eigen::MatrixXd::Identity(n, n);
    for (int block = 0; block <= m; ++block) {
        for (int s = 0; s < 4; ++s) {
            Eigen::VectorXd v = Eigen::VectorXd::Zero(n);
            if (block < m)
                for (int k = 0; k < 3; ++k) v(3 * block + k) = u(rng);
            for (int k = 3 * m; k < n; ++k) v(k) = u(rng);
            normals += v * v.transpose();
        }
    }
    return normals;
}

// As BlockNormals, but each block touches only a few tail unknowns, its rows not all the same ones,
// and the tail couples only in short runs, as a network's normals do: most couplings are 0 and
// elimination fills some of them.
Eigen::MatrixXd SparseBlockNormals(int m, int tail, std::mt19937& rng) {
    const int n = 3 * m + tail;
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::uniform_int_distribution<int> pick(3 * m, n - 1);
    Eigen::MatrixXd normals = 0.5 * Eigen::MatrixXd::Identity(n, n);
    for (int block = 0; block <= m; ++block) {
        for (int s = 0; s < 3; ++s) {
            Eigen::VectorXd v = Eigen::VectorXd::Zero(n);
            if (block < m)
                for (int k = 0; k < 3 - s; ++k) v(3 * block + k) = u(rng);
            // Two short runs of the tail, far apart or not.
            for (int run = 0; run < 2; ++run) {
                const int at = pick(rng);
                for (int k = at; k < std::min(n, at + 3); ++k) v(k) = u(rng);
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

TEST(NormalMatrixTest, DenseSolveMatchesEigen) {
    std::mt19937 rng(12345);
    for (int n : {2, 3, 7, 40, 121, 200}) {
        SCOPED_TRACE(n);
        const Eigen::MatrixXd normals = RandomNormals(n, rng);
        const Eigen::VectorXd constants = RandomVector(n, rng);
        PackedNormalMatrix packed = Pack(normals, constants);
        OneBased<double> result;
        EXPECT_EQ(SolveNormals(result, packed, false, true), 0);
        ExpectSolution(result, Reference(normals, constants));
    }
    // n = 1: x = -b / a.
    PackedNormalMatrix single(1);
    single(1, 1) = 4.0;
    single.Constant(1) = 2.0;
    OneBased<double> result;
    EXPECT_EQ(SolveNormalDense(result, single, false, true), 0);
    EXPECT_EQ(std::vector<double>(result.begin(), result.end()), (std::vector<double>{-0.5, 0.0}));
}

TEST(NormalMatrixTest, CorrelateSolveFollowsTheBlockPattern) {
    std::mt19937 rng(777);
    struct Shape {
        int m;
        int tail;
    };
    // m = 0 is plain elimination.
    for (Shape shape : {Shape{1, 0}, Shape{4, 3}, Shape{20, 11}, Shape{50, 40}, Shape{0, 30}}) {
        SCOPED_TRACE(shape.m);
        const Eigen::MatrixXd normals = BlockNormals(shape.m, shape.tail, rng);
        const Eigen::VectorXd constants = RandomVector(static_cast<int>(normals.rows()), rng);
        PackedNormalMatrix packed = Pack(normals, constants);
        OneBased<double> result;
        EXPECT_EQ(SolveCorrelateNormals(result, packed, false, shape.m), 0);
        ExpectSolution(result, Reference(normals, constants));
    }
}

TEST(NormalMatrixTest, SparseCouplingsAndTheirFill) {
    std::mt19937 rng(2468);
    for (int m : {0, 1, 6, 40}) {
        SCOPED_TRACE(m);
        const Eigen::MatrixXd normals = SparseBlockNormals(m, 60, rng);
        const Eigen::VectorXd constants = RandomVector(static_cast<int>(normals.rows()), rng);
        const Eigen::VectorXd expected = Reference(normals, constants);
        PackedNormalMatrix correlate = Pack(normals, constants);
        OneBased<double> result;
        EXPECT_EQ(SolveCorrelateNormals(result, correlate, false, m), 0);
        ExpectSolution(result, expected);
        PackedNormalMatrix dense = Pack(normals, constants);
        EXPECT_EQ(SolveNormalDense(result, dense, false, true), 0);
        ExpectSolution(result, expected);
    }
}

TEST(NormalMatrixTest, ASecondConstantColumnOnTheReducedMatrix) {
    std::mt19937 rng(99);
    const Eigen::MatrixXd normals = BlockNormals(10, 8, rng);
    const int n = static_cast<int>(normals.rows());
    const Eigen::VectorXd first = RandomVector(n, rng);
    Eigen::VectorXd second = RandomVector(n, rng);
    second(0) = 0.0;  // a zero constant must not end the reduction

    // Correlate: reduce once, then a new column by ReduceRightHandSide.
    PackedNormalMatrix packed = Pack(normals, first);
    OneBased<double> unused;
    SolveCorrelateNormals(unused, packed, true, 10);
    for (int i = 1; i <= n; ++i) packed.Constant(i) = second(i - 1);
    ReduceRightHandSide(packed, 10);
    OneBased<double> result;
    BackSubstitute(packed, result);
    ExpectSolution(result, Reference(normals, second));

    // Dense: the constant-column pass on the reduced matrix.
    PackedNormalMatrix dense = Pack(normals, first);
    SolveNormalDense(unused, dense, true, true);
    for (int i = 1; i <= n; ++i) dense.Constant(i) = second(i - 1);
    SolveNormalDense(result, dense, false, false);
    ExpectSolution(result, Reference(normals, second));

    // The same by the named steps: back substitution within the rows' reach, then over whole rows.
    PackedNormalMatrix stepped = Pack(normals, first);
    const Reduction reduction = Reduce(stepped);
    EXPECT_EQ(reduction.ZeroPivots, 0);
    BackSubstitute(stepped, reduction, result);
    ExpectSolution(result, Reference(normals, first));
    for (int i = 1; i <= n; ++i) stepped.Constant(i) = second(i - 1);
    ReduceConstants(stepped);
    BackSubstitute(stepped, result);
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

    // The rest of the system with unknowns 7 and 10 removed.
    std::vector<int> kept;
    for (int i = 0; i < n; ++i)
        if (i != 6 && i != 9) kept.push_back(i);
    const int k = static_cast<int>(kept.size());
    Eigen::MatrixXd reduced(k, k);
    Eigen::VectorXd reducedConstants(k);
    for (int r = 0; r < k; ++r) {
        reducedConstants(r) = constants(kept[r]);
        for (int c = 0; c < k; ++c) reduced(r, c) = normals(kept[r], kept[c]);
    }
    const Eigen::VectorXd rest = Reference(reduced, reducedConstants);
    Eigen::VectorXd expected = Eigen::VectorXd::Zero(n);
    for (int r = 0; r < k; ++r) expected(kept[r]) = rest(r);

    PackedNormalMatrix dense = Pack(normals, constants);
    OneBased<double> result;
    EXPECT_EQ(SolveNormalDense(result, dense, false, true), 2);
    ExpectSolution(result, expected);
    EXPECT_EQ(dense(7, 7), 0.0);
    EXPECT_EQ(ZeroPivotCount(dense), 2);

    PackedNormalMatrix correlate = Pack(normals, constants);
    EXPECT_EQ(SolveCorrelateNormals(result, correlate, false, 0), 2);
    ExpectSolution(result, expected);

    // A later constant column sees the same zero pivots.
    const Eigen::VectorXd second = RandomVector(n, rng);
    for (int r = 0; r < k; ++r) reducedConstants(r) = second(kept[r]);
    const Eigen::VectorXd rest2 = Reference(reduced, reducedConstants);
    for (int r = 0; r < k; ++r) expected(kept[r]) = rest2(r);
    for (int i = 1; i <= n; ++i) correlate.Constant(i) = second(i - 1);
    ReduceRightHandSide(correlate, 0);
    BackSubstitute(correlate, result);
    ExpectSolution(result, expected);
}

}  // namespace
}  // namespace qef
