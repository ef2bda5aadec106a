#include "core/numeric/NormalMatrix.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sys/mman.h>

namespace qef {

namespace {
// Blocks from this size on are mapped; smaller ones come from the heap.
constexpr std::size_t kMappedBytes = std::size_t{1} << 24;
}  // namespace

void* AllocateZeroedBytes(std::size_t bytes) {
    if (bytes >= kMappedBytes) {
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        return p;
    }
    void* p = std::calloc(bytes > 0 ? bytes : 1, 1);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void FreeZeroedBytes(void* p, std::size_t bytes) {
    if (p == nullptr) return;
    if (bytes >= kMappedBytes)
        ::munmap(p, bytes);
    else
        std::free(p);
}

namespace {

// y[c] -= f * x[c] for c = from..to; the two rows never overlap. Unrolled so that the compiler
// packs the updates into vector instructions at its default optimisation level.
inline void SubtractScaled(double* __restrict y, const double* __restrict x, double f, int from,
                           int to) {
    int c = from;
    for (; c + 3 <= to; c += 4) {
        y[c] -= f * x[c];
        y[c + 1] -= f * x[c + 1];
        y[c + 2] -= f * x[c + 2];
        y[c + 3] -= f * x[c + 3];
    }
    for (; c <= to; ++c) y[c] -= f * x[c];
}

// Block layout of the correlate equations: unknowns 1..limit are in blocks of three.
struct BlockPattern {
    int limit = 0;
    int n = 0;
    BlockPattern(int m, int unknowns)
        : limit(static_cast<int>(std::clamp<std::int64_t>(3 * std::int64_t{m}, 0, unknowns))),
          n(unknowns) {}
    bool InBlocks(int k) const { return k <= limit; }
    int BlockEnd(int k) const { return std::min((k + 2) / 3 * 3, limit); }
    // Calls visit(j) for every row j = i+1..last that row i couples with.
    template <typename Visit>
    void ForEachLaterRow(int i, int last, Visit&& visit) const {
        int j = i + 1;
        if (InBlocks(i)) {
            for (const int end = std::min(BlockEnd(i), last); j <= end; ++j) visit(j);
            j = limit + 1;
        }
        for (; j <= last; ++j) visit(j);
    }
};

// Elimination stops each update at the pivot row's reach: the last column (constant column
// excluded) where it may hold a value other than 0, the diagonal when none follows it. The reach of
// an updated row grows to the pivot row's.
void Widen(std::vector<int>& reach, int row, int to) {
    int& r = reach[row];
    r = std::max(r, to);
}

// Decides whether pivot i counts as zero, storing an exact 0 when it does.
bool TreatAsZero(double& pivot, double rowMagnitude) {
    if (pivot != 0.0 && !(std::fabs(pivot) <= kPivotTolerance * rowMagnitude)) return false;
    pivot = 0.0;
    return true;
}

// Two adjacent columns at once (a GCC/Clang vector extension; loads and stores need no alignment).
using ColumnPair = double __attribute__((vector_size(16)));

inline ColumnPair LoadPair(const double* p) {
    ColumnPair v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void StorePair(double* p, ColumnPair v) { std::memcpy(p, &v, sizeof v); }

// y[c] -= sum of f[k] * x[k][c] over k < K, for c = from..to. Several pivot rows applied in one
// pass read and write the long trailing row once instead of K times.
template <int K>
void SubtractCombination(double* __restrict y, const double* const* x, const double* f, int from,
                         int to) {
    // Local copies: stores to y must not force the rows and factors to be reloaded.
    const double* rows[K];
    ColumnPair factors[K];
    for (int k = 0; k < K; ++k) {
        rows[k] = x[k];
        factors[k] = ColumnPair{f[k], f[k]};
    }
    int c = from;
    for (; c + 1 <= to; c += 2) {
        ColumnPair sum = factors[0] * LoadPair(rows[0] + c);
        for (int k = 1; k < K; ++k) sum += factors[k] * LoadPair(rows[k] + c);
        StorePair(y + c, LoadPair(y + c) - sum);
    }
    if (c == to) {
        double sum = 0.0;
        for (int k = 0; k < K; ++k) sum += f[k] * rows[k][c];
        y[c] -= sum;
    }
}

// SubtractCombination at the single column c.
void SubtractCombinationAt(double* y, const double* const* x, const double* f, int count, int c) {
    double sum = f[0] * x[0][c];
    for (int k = 1; k < count; ++k) sum += f[k] * x[k][c];
    y[c] -= sum;
}

// Larger of a and v in each column, as std::max(a, v) picks: a NaN never replaces a.
inline ColumnPair Larger(ColumnPair a, ColumnPair v) { return a < v ? v : a; }

// Over columns from..to of `row`: largest[c] grows to |row[c]|. Returns the largest |row[c]|.
double ScanColumns(const double* row, double* largest, int from, int to) {
    const ColumnPair zero = {0.0, 0.0};
    ColumnPair own = zero;
    int c = from;
    for (; c + 1 <= to; c += 2) {
        const ColumnPair x = LoadPair(row + c);
        const ColumnPair v = x < zero ? -x : x;
        StorePair(largest + c, Larger(LoadPair(largest + c), v));
        own = Larger(own, v);
    }
    double result = std::max(own[0], own[1]);
    if (c == to) {
        const double v = std::fabs(row[c]);
        largest[c] = std::max(largest[c], v);
        result = std::max(result, v);
    }
    return result;
}

// The last of columns from..to holding a value other than 0; from - 1 when none does.
int LastNonzero(const double* row, int from, int to) {
    int j = to;
    while (j >= from && row[j] == 0.0) --j;
    return j;
}

// The first of columns from..to holding a value other than 0; to + 1 when none does (from <= to).
int FirstNonzero(const double* row, int from, int to) {
    int j = from;
    while (j <= to && row[j] == 0.0) ++j;
    return j;
}

struct RowScan {
    // The largest coefficient (constant column excluded) of each full symmetric row.
    std::vector<double> Magnitudes;
    std::vector<int> Reach;
    // Rows in blocks: the first tail column that may hold a value other than 0 (n+1: none). The
    // tail of such a row changes only by the rows of its own block, so it stays within
    // TailBegin..Reach of the block.
    std::vector<int> TailBegin;
};

// One pass over the columns of each row that `pattern` holds and, when given, `profile` bounds.
RowScan ScanRows(const PackedNormalMatrix& matrix, const BlockPattern& pattern, const RowProfile* profile) {
    const int n = matrix.N();
    RowScan scan;
    scan.Magnitudes.assign(static_cast<std::size_t>(n) + 1, 0.0);
    scan.Reach.assign(static_cast<std::size_t>(n) + 1, 0);
    scan.TailBegin.assign(static_cast<std::size_t>(n) + 1, n + 1);
    double* largest = scan.Magnitudes.data();
    for (int i = 1; i <= n; ++i) {
        const double* row = matrix.Row(i);
        double own = 0.0;
        int reach = i;
        int tail = i;
        int last = n;
        if (profile != nullptr) {
            const int from = profile->From[static_cast<std::size_t>(i)];
            const int to = profile->To[static_cast<std::size_t>(i)];
            last = from <= to ? to : i;
            if (pattern.InBlocks(i)) tail = from <= to ? from : n + 1;
        }
        if (pattern.InBlocks(i)) {
            const int end = pattern.BlockEnd(i);
            own = ScanColumns(row, largest, i, end);
            reach = std::max(reach, LastNonzero(row, i + 1, end));
            tail = std::max(tail, pattern.limit + 1);
        }
        if (tail <= last) {
            own = std::max(own, ScanColumns(row, largest, tail, last));
            const int from = std::max(tail, i + 1);
            if (const int found = LastNonzero(row, from, last); found >= from) {
                reach = found;
                if (pattern.InBlocks(i)) scan.TailBegin[i] = FirstNonzero(row, from, found);
            }
        }
        double& mine = largest[i];
        mine = std::max(mine, own);
        scan.Reach[i] = reach;
    }
    return scan;
}

// x[1..n] from the last row up, x[n+1] = 0; rowSum(i, row, x) is the sum of x[j] * row[j] over
// the columns after i that row i may hold. A zero pivot leaves its unknown 0.
template <class RowSum>
void BackSubstituteRows(const PackedNormalMatrix& matrix, OneBased<double>& result, RowSum rowSum) {
    const int n = matrix.N();
    result.Resize(n + 1);
    std::fill(result.begin(), result.end(), 0.0);
    for (int i = n; i >= 1; --i) {
        const double* row = matrix.Row(i);
        if (row[i] == 0.0) continue;
        result[i] = -(rowSum(i, row, result) + row[n + 1]) / row[i];
    }
}

// Back substitution reading each row only over the columns `pattern` holds and up to its reach; the
// columns left out hold 0 and add nothing to the sums.
void BackSubstituteWithin(const PackedNormalMatrix& matrix, const BlockPattern& pattern, const Reduction& reduction,
                          OneBased<double>& result) {
    const std::vector<int>& reach = reduction.Reach;
    BackSubstituteRows(matrix, result, [&](int i, const double* row, const OneBased<double>& x) {
        const int to = reach[i];
        double s = 0.0;
        int j = i + 1;
        if (pattern.InBlocks(i)) {
            for (const int end = std::min(pattern.BlockEnd(i), to); j <= end; ++j) s += x[j] * row[j];
            j = std::max(pattern.limit + 1, reduction.TailBegin[i]);
        }
        for (; j <= to; ++j) s += x[j] * row[j];
        return s;
    });
}

// Pivot rows taken together: at most this many.
constexpr int kPanel = 4;

void SubtractCombination(double* y, const double* const* x, const double* f, int count, int from,
                         int to) {
    switch (count) {
    case 1: SubtractScaled(y, x[0], f[0], from, to); break;
    case 2: SubtractCombination<2>(y, x, f, from, to); break;
    case 3: SubtractCombination<3>(y, x, f, from, to); break;
    case 4: SubtractCombination<4>(y, x, f, from, to); break;
    default: break;
    }
}

// Applies the already reduced pivot rows r0..r1 (at most kPanel) to every row t = first..n over
// columns t..n+1. Each row t only needs the final pivot rows, so their order does not matter.
// Rows and columns past the pivot rows' reach hold nothing to apply, nor do rows before `first`.
void ReduceTrailingRows(PackedNormalMatrix& matrix, int r0, int r1, int first, std::vector<int>& reach) {
    const int n = matrix.N();
    const double* rows[kPanel];
    double factors[kPanel];
    int last = 0;
    for (int r = r0; r <= r1; ++r)
        if (matrix.Row(r)[r] != 0.0) last = std::max(last, reach[r]);
    for (int t = first; t <= last; ++t) {
        int count = 0;
        for (int r = r0; r <= r1; ++r) {
            const double* pivotRow = matrix.Row(r);
            const double coupling = pivotRow[t];
            if (pivotRow[r] == 0.0 || coupling == 0.0) continue;
            rows[count] = pivotRow;
            factors[count] = coupling / pivotRow[r];
            ++count;
        }
        if (count == 0) continue;
        double* row = matrix.Row(t);
        SubtractCombination(row, rows, factors, count, t, last);
        SubtractCombinationAt(row, rows, factors, count, n + 1);
        Widen(reach, t, last);
    }
}

// Pivots r0..r1 in turn eliminate the rows of their own panel up to r1; update(row, pivotRow,
// factor, j, to) applies one pivot to row j over the columns that row holds up to `to`, the pivot
// row's reach, and to the constant column; r is the pivot.
template <typename Update>
void ReducePanel(PackedNormalMatrix& matrix, int r0, int r1, const std::vector<double>& magnitudes,
                 std::vector<int>& reach, int& zeroPivots, Update update) {
    for (int r = r0; r <= r1; ++r) {
        double* pivotRow = matrix.Row(r);
        if (TreatAsZero(pivotRow[r], magnitudes[r])) {
            ++zeroPivots;
            continue;
        }
        for (int j = r + 1; j <= r1; ++j) {
            const double coupling = pivotRow[j];
            if (coupling == 0.0) continue;
            const int to = reach[r];
            update(matrix.Row(j), pivotRow, coupling / pivotRow[r], j, to, r);
            Widen(reach, j, to);
        }
    }
}

// Full elimination of pivots first..n, each coupling with every later row.
void EliminateFrom(PackedNormalMatrix& matrix, int first, const std::vector<double>& magnitudes,
                   std::vector<int>& reach, int& zeroPivots) {
    const int n = matrix.N();
    for (int r0 = first; r0 <= n; r0 += kPanel) {
        const int r1 = std::min(r0 + kPanel - 1, n);
        ReducePanel(matrix, r0, r1, magnitudes, reach, zeroPivots,
                    [n](double* row, const double* pivotRow, double factor, int j, int to, int) {
                        SubtractScaled(row, pivotRow, factor, j, to);
                        row[n + 1] -= factor * pivotRow[n + 1];
                    });
        ReduceTrailingRows(matrix, r0, r1, r1 + 1, reach);
    }
}

}  // namespace

std::int64_t TriangularNumber(std::int64_t k) { return (k - 1) * k / 2; }

void PackedNormalMatrix::Reset(int n) {
    if (n != n_ || n_ == 0 || reach_.empty()) {
        Resize(n);
        return;
    }
    // Rows in blocks hold nothing between their block and their tail: those pages stay untouched.
    const int limit = std::min(3 * blocks_, n_);
    const bool tails = tail_.size() == reach_.size();
    for (int i = 1; i <= n_; ++i) {
        double* row = Row(i);
        const int reach = reach_[static_cast<std::size_t>(i)];
        if (i <= limit && tails) {
            const int blockEnd = std::min((i + 2) / 3 * 3, limit);
            std::fill(row + i, row + std::min(blockEnd, reach) + 1, 0.0);
            const int tail = std::max(tail_[static_cast<std::size_t>(i)], limit + 1);
            if (tail <= reach) std::fill(row + tail, row + reach + 1, 0.0);
        } else {
            std::fill(row + i, row + reach + 1, 0.0);
        }
        row[n_ + 1] = 0.0;
    }
    reach_.clear();
    tail_.clear();
    blocks_ = 0;
}

void PackedRowStart(OneBased<std::size_t>& starts, int n) {
    if (n <= 0) return;
    if (starts.Size() < n) starts.Resize(n);
    for (int i = 1; i <= n; ++i) starts[i] = PackedNormalMatrix::RowStart(n, i);
}

Reduction Reduce(PackedNormalMatrix& matrix, int blocks, const RowProfile* profile) {
    const int n = matrix.N();
    const BlockPattern pattern(blocks, n);
    RowScan scan = ScanRows(matrix, pattern, profile);
    const std::vector<double>& magnitudes = scan.Magnitudes;
    std::vector<int>& reach = scan.Reach;
    std::vector<int>& tailBegin = scan.TailBegin;
    int zeroPivots = 0;
    // Each block is one panel: its rows reach to the block's end, then on from the tail; the tail
    // rows take the whole block in one pass.
    for (int b0 = 1; b0 <= pattern.limit; b0 += 3) {
        const int b1 = pattern.BlockEnd(b0);
        ReducePanel(matrix, b0, b1, magnitudes, reach, zeroPivots,
                    [&](double* row, const double* pivotRow, double factor, int j, int to, int r) {
                        SubtractScaled(row, pivotRow, factor, j, std::min(b1, to));
                        const int begin = tailBegin[r];
                        SubtractScaled(row, pivotRow, factor, std::max(pattern.limit + 1, begin), to);
                        row[n + 1] -= factor * pivotRow[n + 1];
                        int& own = tailBegin[j];
                        own = std::min(own, begin);
                    });
        int begin = n + 1;
        for (int r = b0; r <= b1; ++r) begin = std::min(begin, tailBegin[r]);
        ReduceTrailingRows(matrix, b0, b1, std::max(pattern.limit + 1, begin), reach);
    }
    EliminateFrom(matrix, pattern.limit + 1, magnitudes, reach, zeroPivots);
    Reduction reduction;
    reduction.ZeroPivots = zeroPivots;
    reduction.Blocks = blocks;
    matrix.Reach() = reach;
    matrix.Tail() = tailBegin;
    matrix.Blocks() = blocks;
    reduction.Reach = std::move(reach);
    reduction.TailBegin = std::move(tailBegin);
    return reduction;
}

void ReduceConstants(PackedNormalMatrix& matrix) {
    const int n = matrix.N();
    for (int r = 1; r <= n; ++r) {
        const double* pivotRow = matrix.Row(r);
        if (pivotRow[r] == 0.0) continue;
        const double share = pivotRow[n + 1] / pivotRow[r];
        if (share == 0.0) continue;
        for (int t = r + 1, last = matrix.RowEnd(r); t <= last; ++t)
            if (pivotRow[t] != 0.0) matrix.Row(t)[n + 1] -= pivotRow[t] * share;
    }
}

void ReduceRightHandSide(PackedNormalMatrix& matrix, int m) {
    const int n = matrix.N();
    const BlockPattern pattern(m, n);
    for (int i = 1; i < n; ++i) {
        const double* pivotRow = matrix.Row(i);
        const double pivot = pivotRow[i];
        const double constant = pivotRow[n + 1];
        if (pivot == 0.0 || constant == 0.0) continue;
        const double share = constant / pivot;
        const int last = matrix.RowEnd(i);
        pattern.ForEachLaterRow(i, last, [&](int j) {
            const double coupling = pivotRow[j];
            if (coupling != 0.0) matrix.Row(j)[n + 1] -= coupling * share;
        });
    }
}

void BackSubstitute(const PackedNormalMatrix& matrix, OneBased<double>& result) {
    BackSubstituteRows(matrix, result, [&](int i, const double* row, const OneBased<double>& x) {
        double s = 0.0;
        for (int j = i + 1, last = matrix.RowEnd(i); j <= last; ++j) s += x[j] * row[j];
        return s;
    });
}

void BackSubstitute(const PackedNormalMatrix& matrix, const Reduction& reduction, OneBased<double>& result) {
    BackSubstituteWithin(matrix, BlockPattern(reduction.Blocks, matrix.N()), reduction, result);
}

int ZeroPivotCount(const PackedNormalMatrix& matrix) {
    int count = 0;
    for (int i = 1; i <= matrix.N(); ++i)
        if (matrix(i, i) == 0.0) ++count;
    return count;
}

int SolveNormalDense(OneBased<double>& result, PackedNormalMatrix& matrix, bool stopAfterReduction,
                     bool fullElimination, const RowProfile* profile) {
    if (!fullElimination) {
        ReduceConstants(matrix);
        if (!stopAfterReduction) BackSubstitute(matrix, result);
        return ZeroPivotCount(matrix);
    }
    return SolveCorrelateNormals(result, matrix, stopAfterReduction, 0, profile);
}

int SolveNormals(OneBased<double>& result, PackedNormalMatrix& matrix, bool stopAfterReduction,
                 bool fullElimination, const RowProfile* profile) {
    return SolveNormalDense(result, matrix, stopAfterReduction, fullElimination, profile);
}

int SolveCorrelateNormals(OneBased<double>& result, PackedNormalMatrix& matrix,
                          bool stopAfterReduction, int m, const RowProfile* profile) {
    const Reduction reduction = Reduce(matrix, m, profile);
    if (!stopAfterReduction) BackSubstitute(matrix, reduction, result);
    return reduction.ZeroPivots;
}

}  // namespace qef
