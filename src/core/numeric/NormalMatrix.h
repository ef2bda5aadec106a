#pragma once
// Symmetric normal equations N x + b = 0, stored as the packed upper triangle with the constant
// column b appended as column n+1, and their solution x = -N^-1 b by elimination without pivot
// search.
//
// Row i holds columns i..n+1 and starts at s(i) = (i-1)(n+1) + i - (i-1)i/2, the place of the
// diagonal element; element (i, j), j >= i, is at s(i) + j - i. Places run 1..n(n+3)/2.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

#include "core/numeric/OneBased.h"

namespace qef {

// (k-1)k/2.
std::int64_t TriangularNumber(std::int64_t k);

// Zeroed bytes from the system, and their return. A large block is mapped without reserving
// swap for it: a packed matrix of a large group is mostly zeros that are never touched, so only
// the pages the solution writes take memory, and the address range alone must not be refused.
void* AllocateZeroedBytes(std::size_t bytes);
void FreeZeroedBytes(void* p, std::size_t bytes);

// Storage that comes from the system already 0 and is not written again on resizing: a large
// matrix is mostly zeros, and their pages then cost nothing until they are touched.
template <typename T>
struct ZeroedAllocator {
    using value_type = T;
    ZeroedAllocator() = default;
    template <typename U>
    ZeroedAllocator(const ZeroedAllocator<U>&) {}
    T* allocate(std::size_t count) { return static_cast<T*>(AllocateZeroedBytes(count * sizeof(T))); }
    void deallocate(T* p, std::size_t count) { FreeZeroedBytes(p, count * sizeof(T)); }
    // Elements made without a value keep the 0 they were handed out with.
    template <typename U>
    void construct(U*) {}
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const ZeroedAllocator<U>&) const { return true; }
};

class PackedNormalMatrix {
public:
    PackedNormalMatrix() = default;
    explicit PackedNormalMatrix(int n) { Resize(n); }

    // Places needed for n unknowns: n(n+3)/2.
    static std::size_t ElementCount(int n) {
        const auto k = static_cast<std::size_t>(n);
        return k * (k + 3) / 2;
    }
    static std::size_t RowStart(int n, int i) {
        const auto k = static_cast<std::size_t>(n);
        const auto r = static_cast<std::size_t>(i);
        return (r - 1) * (k + 1) + r - (r - 1) * r / 2;
    }

    using Storage = std::vector<double, ZeroedAllocator<double>>;

    // n unknowns, every element 0.
    void Resize(int n) {
        n_ = n > 0 ? n : 0;
        reach_.clear();
        tail_.clear();
        blocks_ = 0;
        Storage().swap(data_);  // the old store goes before the new one comes
        Storage fresh;
        fresh.resize(ElementCount(n_) + 1);
        data_ = std::move(fresh);
    }
    // n unknowns, every element 0, in the store already held when it is for n: only the rows'
    // columns up to their reach (and the constants) are cleared, which is all a solution writes.
    // Its pages are then not handed back and faulted in again.
    void Reset(int n);
    int N() const { return n_; }

    // Element (i, j) with 1 <= i, j <= n+1 and not both n+1; the triangle stands for both
    // halves, so (j, i) is the same element.
    double& operator()(int i, int j) { return data_[Index(i, j)]; }
    double operator()(int i, int j) const { return data_[Index(i, j)]; }
    // The constant term of equation i.
    double& Constant(int i) { return data_[Index(i, n_ + 1)]; }
    double Constant(int i) const { return data_[Index(i, n_ + 1)]; }

    // Place of (i, j) in the packed store.
    std::size_t Index(int i, int j) const {
        if (j < i) std::swap(i, j);
        return RowStart(n_, i) + static_cast<std::size_t>(j - i);
    }
    // Row(i)[j] is element (i, j) for j = i..n+1.
    double* Row(int i) { return data_.data() + (RowStart(n_, i) - static_cast<std::size_t>(i)); }
    const double* Row(int i) const {
        return data_.data() + (RowStart(n_, i) - static_cast<std::size_t>(i));
    }

    // The packed store, place 0 unused.
    Storage& Data() { return data_; }
    const Storage& Data() const { return data_; }

    // Per row (1..n), the last column, constant column aside, that may hold a value other than 0:
    // set by Reduce, so that the steps on the reduced matrix read no further than the elimination
    // wrote. Whoever writes past it must widen it. Empty: any column may.
    const std::vector<int>& Reach() const { return reach_; }
    std::vector<int>& Reach() { return reach_; }
    // Row i's last column that may hold a value other than 0.
    int RowEnd(int i) const { return reach_.empty() ? n_ : reach_[static_cast<std::size_t>(i)]; }
    // Set by Reduce with blocks: the first rows are in `blocks` blocks of three, and a row in a
    // block holds values other than 0 past its block only from Tail()[i] on, up to its reach.
    std::vector<int>& Tail() { return tail_; }
    int& Blocks() { return blocks_; }

private:
    int n_ = 0;
    int blocks_ = 0;
    std::vector<int> reach_;
    std::vector<int> tail_;
    Storage data_ = Storage(1, 0.0);
};

// starts[i] = s(i) for i = 1..n.
void PackedRowStart(OneBased<std::size_t>& starts, int n);

// A pivot smaller than this fraction of the largest coefficient of its row (before elimination)
// counts as zero: its row eliminates nothing and its unknown is left 0.
inline constexpr double kPivotTolerance = 1e-12;

// The solution in named steps, each in place:
//   Reduce            forward elimination of the coefficients and the constant column;
//   ReduceConstants   the constant column alone, on coefficients that Reduce left, for a new
//                     right-hand side (ReduceRightHandSide for correlate equations);
//   BackSubstitute    x[1..n] from the reduced matrix, and x[n+1] = 0;
//   ZeroPivotCount    how many pivots counted as zero.
// A pivot that counts as zero is stored as an exact 0, so that later reductions and back
// substitution treat it alike: its row eliminates nothing and its unknown is left 0.

// What Reduce knows of the reduced rows besides the matrix: back substitution then reads each row
// only over the columns that may hold a value other than 0.
struct Reduction {
    int ZeroPivots = 0;
    int Blocks = 0;
    // Per row: the last column (constant column excluded) that may hold a value other than 0.
    std::vector<int> Reach;
    // Rows in blocks: the first tail column that may hold a value other than 0 (n+1: none).
    std::vector<int> TailBegin;
};

// Where the writer of a sparse matrix has put values: past its own block (past the diagonal for a
// row in no block) row i holds values other than 0 only in columns From[i]..To[i], the constant
// column aside; none when From[i] > To[i]. Indexed 1..n. Reduce then never reads the rest of a
// row, which in a large group is most of the store.
struct RowProfile {
    std::vector<int> From;
    std::vector<int> To;
};

// With blocks = m > 0 the equations are correlate equations: the first 3m unknowns form blocks
// {1,2,3}, {4,5,6}, ... that couple only with themselves and with unknowns 3m+1..n; couplings
// elsewhere are taken as 0 and never read. Without a profile every column of a row is read.
Reduction Reduce(PackedNormalMatrix& matrix, int blocks = 0, const RowProfile* profile = nullptr);
void ReduceConstants(PackedNormalMatrix& matrix);
// ReduceConstants following the block pattern of the correlate equations (m = 0: every coupling).
void ReduceRightHandSide(PackedNormalMatrix& matrix, int m);
// Reads each row up to the matrix's Reach, every column when it has none.
void BackSubstitute(const PackedNormalMatrix& matrix, OneBased<double>& result);
// Reads each row as far as `reduction` says it reaches.
void BackSubstitute(const PackedNormalMatrix& matrix, const Reduction& reduction, OneBased<double>& result);
int ZeroPivotCount(const PackedNormalMatrix& matrix);

// Whole solutions composed of the steps. With stopAfterReduction the matrix is left reduced and
// `result` untouched. They return the zero-pivot count.

// Reduce (fullElimination) or only ReduceConstants, then BackSubstitute.
int SolveNormalDense(OneBased<double>& result, PackedNormalMatrix& matrix, bool stopAfterReduction,
                     bool fullElimination, const RowProfile* profile = nullptr);
// The solver of the node-method and levelling adjustments.
int SolveNormals(OneBased<double>& result, PackedNormalMatrix& matrix, bool stopAfterReduction,
                 bool fullElimination, const RowProfile* profile = nullptr);
// Reduce with m blocks, then BackSubstitute.
int SolveCorrelateNormals(OneBased<double>& result, PackedNormalMatrix& matrix,
                          bool stopAfterReduction, int m, const RowProfile* profile = nullptr);

}  // namespace qef
