// Gaussian elimination with partial pivoting on the two matrix planes.
//
// After step k the pivot stays at (k, k), the rest of row k holds U's row
// divided by the pivot (U has a unit diagonal), and column k below the
// pivot keeps the unscaled multipliers: P·M = L·U with the pivots on L's
// diagonal. The normal solution runs L then U; the adjoint solution runs
// Uᵀ then Lᵀ on the same factors.
#include "analysis/engine/solver.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace analysis {
namespace {

// Whether the pivot at (k, k) is usable; records its norm.
inline bool check_pivot(NodalSystem& sys, int k, Real tolerance) {
    const Real re = sys.matrix_re[k][k], im = sys.matrix_im[k][k];
    if (pivot_size(re, im) < tolerance) return false;
    sys.pivot_norm[k] = re * re + im * im;
    return true;
}

// Where the rows went: exchanges are recorded here, one step each, and
// row_map is renamed once at the end (or when factoring stops) - the same
// renaming as exchanging its entries at every step.
struct RowOrder {
    std::array<int, matrix_dim> position;  // original row -> current position (rows 0..n)
    std::array<int, matrix_dim> at;        // position -> original row
    NodeMap& row_map;
    int n, variable_count;
    bool exchanged = false;

    RowOrder(NodeMap& map, int rows, int variables) : row_map(map), n(rows), variable_count(variables) {
        for (int r = 0; r <= n; ++r) position[r] = at[r] = r;
    }
    void exchange(int k, int p) {
        std::swap(position[at[k]], position[at[p]]);
        std::swap(at[k], at[p]);
        exchanged = true;
    }
    ~RowOrder() {
        if (!exchanged) return;
        for (int v = 1; v <= variable_count; ++v)
            if (row_map[v] <= n) row_map[v] = static_cast<std::uint8_t>(position[row_map[v]]);
    }
};

// Exchanges two values as raw bytes: exact, and far cheaper than moving
// them through the x87 unit (80-bit loads and stores are slow).
inline void swap_bytes(Real& a, Real& b) {
    unsigned char t[sizeof(Real)];
    std::memcpy(t, &a, sizeof(Real));
    std::memcpy(&a, &b, sizeof(Real));
    std::memcpy(&b, t, sizeof(Real));
}

// Row k gets the largest |re| + |im| in column k from rows k..n; ties keep
// the upper row.
void choose_pivot(NodalSystem& sys, int k, int n, RowOrder& order) {
    int best = k;
    Real best_size = pivot_size(sys.matrix_re[k][k], sys.matrix_im[k][k]);
    const int below = std::min(sys.col_last[k], n);
    for (int r = k + 1; r <= below; ++r) {
        if (k < sys.row_first[r] || k > sys.row_last[r]) continue;
        const Real size = pivot_size(sys.matrix_re[r][k], sys.matrix_im[r][k]);
        if (size > best_size) {
            best = r;
            best_size = size;
        }
    }
    if (best == k) return;
    // Outside both rows' spans every entry is zero: only the spans move.
    // Entries of row best move up to k, those of row k down to best.
    for (int j = sys.row_first[best]; j <= sys.row_last[best]; ++j)
        if (k < sys.col_first[j]) sys.col_first[j] = k;
    for (int j = sys.row_first[k]; j <= sys.row_last[k]; ++j)
        if (best > sys.col_last[j]) sys.col_last[j] = best;
    const int first = std::min(sys.row_first[k], sys.row_first[best]);
    const int last = std::max(sys.row_last[k], sys.row_last[best]);
    for (int j = first; j <= last; ++j) {
        swap_bytes(sys.matrix_re[k][j], sys.matrix_re[best][j]);
        swap_bytes(sys.matrix_im[k][j], sys.matrix_im[best][j]);
    }
    std::swap(sys.row_first[k], sys.row_first[best]);
    std::swap(sys.row_last[k], sys.row_last[best]);
    swap_bytes(sys.normal_re[k], sys.normal_re[best]);
    swap_bytes(sys.normal_im[k], sys.normal_im[best]);
    order.exchange(k, best);
    ++sys.row_exchanges;
}

void eliminate(NodalSystem& sys, int k, int n) {
    auto& re = sys.matrix_re;
    auto& im = sys.matrix_im;
    const Complex pivot{re[k][k], im[k][k]};
    const Real norm = sys.pivot_norm[k];
    const int last = std::min(sys.row_last[k], n);
    for (int j = k + 1; j <= last; ++j) {
        const Complex q = complex_divide({re[k][j], im[k][j]}, pivot, norm);
        re[k][j] = q.re;
        im[k][j] = q.im;
    }
    const int below = std::min(sys.col_last[k], n);
    for (int r = k + 1; r <= below; ++r) {
        if (k < sys.row_first[r] || k > sys.row_last[r]) continue;
        const Complex m{re[r][k], im[r][k]};
        if (m.re == 0 && m.im == 0) continue;
        for (int j = k + 1; j <= last; ++j) {
            const Complex p = complex_multiply(m, {re[k][j], im[k][j]});
            re[r][j] -= p.re;
            im[r][j] -= p.im;
            if (r > sys.col_last[j]) sys.col_last[j] = r;
        }
        if (last > sys.row_last[r]) sys.row_last[r] = last;
    }
}

// Forward: y = L⁻¹·b (row sums), z = U⁻ᵀ·c (sums down the columns of U).
void forward(NodalSystem& sys, int n, bool adjoint) {
    const auto& re = sys.matrix_re;
    const auto& im = sys.matrix_im;
    for (int i = 1; i <= n; ++i) {
        Complex sum;
        for (int j = std::max(sys.row_first[i], 1); j < i; ++j)
            sum = sum + complex_multiply({re[i][j], im[i][j]}, {sys.normal_re[j], sys.normal_im[j]});
        const Complex y = complex_divide({sys.normal_re[i] - sum.re, sys.normal_im[i] - sum.im},
                                         {re[i][i], im[i][i]}, sys.pivot_norm[i]);
        sys.normal_re[i] = y.re;
        sys.normal_im[i] = y.im;

        if (!adjoint) continue;
        Complex sum_t;
        for (int j = std::max(sys.col_first[i], 1); j < i; ++j) {
            if (i > sys.row_last[j]) continue;
            sum_t = sum_t + complex_multiply({re[j][i], im[j][i]}, {sys.adjoint_re[j], sys.adjoint_im[j]});
        }
        sys.adjoint_re[i] -= sum_t.re;
        sys.adjoint_im[i] -= sum_t.im;
    }
}

// Backward: x = U⁻¹·y, v = L⁻ᵀ·z.
void backward(NodalSystem& sys, int n, bool adjoint) {
    const auto& re = sys.matrix_re;
    const auto& im = sys.matrix_im;
    if (adjoint) {
        const Complex vn =
            complex_divide({sys.adjoint_re[n], sys.adjoint_im[n]}, {re[n][n], im[n][n]}, sys.pivot_norm[n]);
        sys.adjoint_re[n] = vn.re;
        sys.adjoint_im[n] = vn.im;
    }
    for (int i = n - 1; i >= 1; --i) {
        Complex sum;
        const int last = std::min(sys.row_last[i], n);
        for (int j = i + 1; j <= last; ++j)
            sum = sum + complex_multiply({re[i][j], im[i][j]}, {sys.normal_re[j], sys.normal_im[j]});
        sys.normal_re[i] -= sum.re;
        sys.normal_im[i] -= sum.im;

        if (!adjoint) continue;
        Complex sum_t;
        const int below = std::min(sys.col_last[i], n);
        for (int j = i + 1; j <= below; ++j) {
            if (i < sys.row_first[j]) continue;
            sum_t = sum_t + complex_multiply({re[j][i], im[j][i]}, {sys.adjoint_re[j], sys.adjoint_im[j]});
        }
        const Complex v = complex_divide({sys.adjoint_re[i] - sum_t.re, sys.adjoint_im[i] - sum_t.im},
                                         {re[i][i], im[i][i]}, sys.pivot_norm[i]);
        sys.adjoint_re[i] = v.re;
        sys.adjoint_im[i] = v.im;
    }
}

}  // namespace

// Zeroes count entries with byte stores: the compiler would otherwise
// store 0 through the x87 unit and reload it from the entry just written,
// and such an 80-bit reload waits for the store to reach the cache. All
// bytes zero is +0 (padding included). The spans are a few entries wide:
// plain stores, not a library call per row (the
// vectors, whole, go to memset).
[[gnu::always_inline, gnu::optimize("no-tree-loop-distribute-patterns")]] inline void zero_entries(
    Real* p, int count) {
    static constexpr unsigned char zeros[sizeof(Real)] = {};
    for (int j = 0; j < count; ++j) std::memcpy(p + j, zeros, sizeof(Real));
}

[[gnu::optimize("no-tree-loop-distribute-patterns")]] void clear_system(NodalSystem& sys, int n) {
    for (int r = 0; r < matrix_dim; ++r) {
        const int first = sys.row_first[r], count = sys.row_last[r] - first + 1;
        if (count > 0) {
            zero_entries(&sys.matrix_re[r][first], count);
            zero_entries(&sys.matrix_im[r][first], count);
        }
        sys.row_first[r] = matrix_dim;
        sys.row_last[r] = 0;
        sys.col_first[r] = matrix_dim;
        sys.col_last[r] = 0;
    }
    sys.spans_cover_stamps = false;
    const std::size_t bytes = static_cast<std::size_t>(n + 1) * sizeof(Real);
    std::memset(sys.normal_re.data(), 0, bytes);
    std::memset(sys.normal_im.data(), 0, bytes);
    std::memset(sys.adjoint_re.data(), 0, bytes);
    std::memset(sys.adjoint_im.data(), 0, bytes);
}

bool factor_and_solve(NodalSystem& sys, int n, NodeMap& row_map, int variable_count, Real pivot_tolerance,
                      bool adjoint) {
    sys.row_exchanges = 0;
    {
        RowOrder order(row_map, n, variable_count);
        for (int k = 1; k <= n - 1; ++k) {
            choose_pivot(sys, k, n, order);
            if (!check_pivot(sys, k, pivot_tolerance)) return false;
            eliminate(sys, k, n);
        }
    }
    if (!check_pivot(sys, n, pivot_tolerance)) return false;
    forward(sys, n, adjoint);
    backward(sys, n, adjoint);
    return true;
}

}  // namespace analysis
