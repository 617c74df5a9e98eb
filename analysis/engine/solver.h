// Complex linear solver of the nodal system, normal and adjoint.
//
// Recipe:
//   1. build:  clear_system(sys, n), then add_to_matrix / the right-hand
//      sides normal_re (the circuit's sources) and adjoint_re (a unit
//      source at the output), all through the circuit's row and column maps;
//   2. factor and solve: factor_and_solve(sys, n, row_map, variables, tol)
//      factors M once (partial pivoting, P·M = L·U) and solves M·x = b
//      and Mᵀ·w = c from the same factors;
//   3. read: x in normal_re/normal_im, indexed by column (node k at
//      column_map[k]); w in adjoint_re/adjoint_im, indexed by the permuted
//      row (node k at row_map[k], the map having been permuted along).
//
// Indices run 1..n; index 0 stands for ground and is never touched by the
// solver. The matrix is stored densely, two planes of extended reals, but
// each row remembers the span of columns that may hold non-zero entries, so
// that clearing, elimination and substitution skip what is known to be
// zero. The skipping never changes a result: every sum is still formed in
// the same order from the same non-zero terms.
#pragma once

#include <array>
#include <cmath>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/complex.h"

namespace analysis {

constexpr int matrix_dim = max_equations + 1;  // indices 0..100

using MatrixPlane = std::array<std::array<Real, matrix_dim>, matrix_dim>;
using SystemVector = std::array<Real, matrix_dim>;

struct NodalSystem {
    MatrixPlane matrix_re{};  // [row][column]
    MatrixPlane matrix_im{};
    SystemVector normal_re{};  // b, then x
    SystemVector normal_im{};
    SystemVector adjoint_re{};  // c, then w
    SystemVector adjoint_im{};
    // Per row, the columns row_first..row_last may be non-zero, and per
    // column the rows col_first..col_last; every entry outside these spans
    // is exactly zero. A span is empty when its first exceeds its last.
    std::array<int, matrix_dim> row_first = empty_spans_first();
    std::array<int, matrix_dim> row_last{};
    std::array<int, matrix_dim> col_first = empty_spans_first();
    std::array<int, matrix_dim> col_last{};
    // re² + im² of each pivot, set while factoring.
    SystemVector pivot_norm{};
    // Row exchanges of the last factorisation: the determinant of M is
    // (-1)^row_exchanges times the product of the pivots left on the diagonal.
    int row_exchanges = 0;
    // The spans already cover every entry the stamps will write (set by the
    // sweep's shortcut, cleared by clear_system): stamps skip widening them.
    bool spans_cover_stamps = false;

    static std::array<int, matrix_dim> empty_spans_first() {
        std::array<int, matrix_dim> a{};
        a.fill(matrix_dim);
        return a;
    }
};

// Zeroes every matrix entry that may be non-zero and entries 0..n of the
// four vectors.
void clear_system(NodalSystem& sys, int n);

// Widens the spans to cover (row, column).
inline void touch(NodalSystem& sys, int row, int column) {
    if (column < sys.row_first[row]) sys.row_first[row] = column;
    if (column > sys.row_last[row]) sys.row_last[row] = column;
    if (row < sys.col_first[column]) sys.col_first[column] = row;
    if (row > sys.col_last[column]) sys.col_last[column] = row;
}

// Adds re + j·im at (row, column). Row 0 and column 0 (ground) are dropped;
// a zero part is not applied.
inline void add_to_matrix(NodalSystem& sys, int row, int column, Real re, Real im) {
    if (row == 0 || column == 0) return;
    if (re != 0) sys.matrix_re[row][column] += re;
    if (im != 0) sys.matrix_im[row][column] += im;
    if (!sys.spans_cover_stamps) touch(sys, row, column);
}

// Adds v at (r1, c1) and (r2, c2) and subtracts it at (r1, c2) and (r2, c1),
// in that order: the pattern of an admittance (r = c = the two nodes) and
// of a transconductance. Row 0 and column 0 are dropped; zero parts are
// not applied.
inline void add_pattern(NodalSystem& sys, int r1, int c1, int r2, int c2, Real re, Real im) {
    const bool a = r1 != 0 && c1 != 0, b = r2 != 0 && c2 != 0;
    const bool ab = r1 != 0 && c2 != 0, ba = r2 != 0 && c1 != 0;
    if (re != 0) {
        if (a) sys.matrix_re[r1][c1] += re;
        if (b) sys.matrix_re[r2][c2] += re;
        if (ab) sys.matrix_re[r1][c2] -= re;
        if (ba) sys.matrix_re[r2][c1] -= re;
    }
    if (im != 0) {
        if (a) sys.matrix_im[r1][c1] += im;
        if (b) sys.matrix_im[r2][c2] += im;
        if (ab) sys.matrix_im[r1][c2] -= im;
        if (ba) sys.matrix_im[r2][c1] -= im;
    }
    if (sys.spans_cover_stamps) return;
    if (a) touch(sys, r1, c1);
    if (b) touch(sys, r2, c2);
    if (ab) touch(sys, r1, c2);
    if (ba) touch(sys, r2, c1);
}

// Size of a complex number for pivoting: |re| + |im|.
inline Real pivot_size(Real re, Real im) { return std::fabs(re) + std::fabs(im); }

// Factors the n×n system in place and solves the normal and the adjoint
// right-hand sides. Rows exchanged during pivoting are exchanged in
// row_map too (entries 1..variable_count). Returns false when a pivot's
// size is below pivot_tolerance (a singular system); the system is then
// left half factored. With adjoint false only M·x = b is solved, and the
// adjoint vectors are left as they were.
[[nodiscard]] bool factor_and_solve(NodalSystem& sys, int n, NodeMap& row_map, int variable_count,
                                    Real pivot_tolerance, bool adjoint = true);

}  // namespace analysis
