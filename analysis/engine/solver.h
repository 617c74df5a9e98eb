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
    // Per row, the columns row_first..row_last may be non-zero; every entry
    // outside that span is exactly zero. Empty when row_first > row_last.
    std::array<int, matrix_dim> row_first = empty_spans_first();
    std::array<int, matrix_dim> row_last{};

    static std::array<int, matrix_dim> empty_spans_first() {
        std::array<int, matrix_dim> a{};
        a.fill(matrix_dim);
        return a;
    }
};

// Zeroes every matrix entry that may be non-zero and entries 0..n of the
// four vectors.
void clear_system(NodalSystem& sys, int n);

// Adds re + j·im at (row, column). Row 0 and column 0 (ground) are dropped;
// a zero part is not applied.
inline void add_to_matrix(NodalSystem& sys, int row, int column, Real re, Real im) {
    if (row == 0 || column == 0) return;
    if (re != 0) sys.matrix_re[row][column] += re;
    if (im != 0) sys.matrix_im[row][column] += im;
    if (column < sys.row_first[row]) sys.row_first[row] = column;
    if (column > sys.row_last[row]) sys.row_last[row] = column;
}

// Size of a complex number for pivoting: |re| + |im|.
inline Real pivot_size(Real re, Real im) { return (re < 0 ? -re : re) + (im < 0 ? -im : im); }

// Factors the n×n system in place and solves the normal and the adjoint
// right-hand sides. Rows exchanged during pivoting are exchanged in
// row_map too (entries 1..variable_count). Throws suite::FatalError
// "Circuito insolúvel (determinante muito pequeno)." when a pivot's size
// is below pivot_tolerance; the system is then left half factored.
void factor_and_solve(NodalSystem& sys, int n, NodeMap& row_map, int variable_count, Real pivot_tolerance);

}  // namespace analysis
