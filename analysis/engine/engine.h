// The nodal engine: one complex frequency, one solve, every sensitivity.
//
// Recipe:
//   analysis::Engine e;                      // one per program (large: keep it on the heap)
//   allocate_sensitivity_blocks(e, c.element_count, 2);
//   e.sigma = 0; e.omega = 1000;             // s = sigma + j·omega
//   e.normalised_sensitivities = true;  e.point_index = 0;
//   build_and_solve(c, e, pivot_tolerance);  // suite::FatalError on a singular system
//   T  = node_voltage(c, e, c.output_node);  // the response
//   S5 = sensitivity(e, 0, 5);               // S of element 5 at point 0
//
// build_and_solve stamps every element of the circuit model into the
// system through the row and column maps, sets the normal excitation (the
// circuit's sources) and the adjoint one (-1 at the output column), solves
// both with one factorisation (solver.h) and stores one sensitivity per
// element in the blocks of point `point_index`:
//   Q_i = x_i·∂T/∂x_i  (x_i the element's value), S_i = Q_i / T when
//   normalised_sensitivities is on, S_i = Q_i otherwise.
// In observer mode one R, L, C or Z element is taken out of the matrix and
// replaced by a unit current source in its place (the pole computation).
#pragma once

#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/complex.h"
#include "analysis/engine/solver.h"

namespace analysis {

// Zeroed storage of the sensitivity blocks, mapped straight from the
// system: fresh pages are zero, and a large area is asked for in huge pages,
// so that writing the blocks of a sweep does not fault once per 4 kB page.
struct FreeBlocks {
    std::size_t bytes = 0;
    void operator()(Real* p) const;
};
using SensitivityBlocks = std::unique_ptr<Real[], FreeBlocks>;

// A solve restricted to one diagonal block of a block-triangular system
// (the pole/zero side finds the blocks): the rows and the columns outside
// the block are cleared, each outside row paired with an outside column by
// a unit entry, and the right-hand sides there are cleared too. The
// solution is then the block's own (zero outside it), and the determinant
// is the block's, up to its sign.
struct BlockRestriction {
    std::vector<char> in_row, in_col;             // by matrix index 0..n
    std::vector<std::pair<int, int>> unit_pairs;  // (row, column), both outside
};

struct Engine {
    NodalSystem system;
    Real sigma = 0;  // s = sigma + j·omega, omega in rad/s
    Real omega = 0;
    bool observer_mode = false;
    int observer_element = 0;
    bool normalised_sensitivities = false;
    // Only the response: the normal solution, without the adjoint solution
    // and the sensitivity pass (the Monte Carlo samples). Normal mode only.
    bool response_only = false;
    int point_index = 0;  // the point whose sensitivity blocks receive the results
    // When set, build_and_solve solves only that block of the system.
    const BlockRestriction* restriction = nullptr;

    // Sensitivity blocks, one per point 0..block_count-1, each holding the
    // S_i of elements 1..block_size: element i of point p sits at
    // [p·block_size + i - 1].
    SensitivityBlocks sens_re;
    SensitivityBlocks sens_im;
    int block_size = 0;
    int block_count = 0;

    // The frequency-sensitivity sum Σ of the point last summed (build_and_solve
    // leaves that of the point it solved).
    Real sens_sum_re = 0;
    Real sens_sum_im = 0;

    long long solve_count = 0;  // build_and_solve calls so far

    // The sweep's shortcut. At sigma = 0 in normal mode the real plane and
    // the normal right-hand side hold only the stamps of elements that do
    // not vary with s, and the imaginary plane only those of C, L, A and K:
    // the first part is stamped once per sweep (prepare_fixed_part) and
    // copied at each point, then C, L, A and K are stamped. Each plane
    // still receives the same terms in the same order.
    struct FixedPart {
        MatrixPlane matrix_re{};
        SystemVector normal_re{};
        std::array<int, matrix_dim> row_first = NodalSystem::empty_spans_first();
        std::array<int, matrix_dim> row_last{};
        std::array<int, matrix_dim> col_first = NodalSystem::empty_spans_first();
        std::array<int, matrix_dim> col_last{};
        std::vector<int> varying;  // the C, L, A and K elements, in table order
    } fixed;
    bool use_fixed_part = false;
};

// Stamps the elements that do not vary with s into e.fixed. Valid until
// the circuit's values or maps change; build_and_solve uses it while
// use_fixed_part is on, for sigma = 0 in normal mode.
void prepare_fixed_part(Circuit& c, Engine& e);

// Releases the previous blocks and allocates `blocks` zeroed blocks of
// `elements` values each, for the real and for the imaginary parts.
void allocate_sensitivity_blocks(Engine& e, int elements, int blocks);

inline Complex sensitivity(const Engine& e, int point, int element) {
    const auto at = static_cast<std::size_t>(point) * static_cast<std::size_t>(e.block_size) +
                    static_cast<std::size_t>(element - 1);
    return {e.sens_re[at], e.sens_im[at]};
}

// Records y as element i's stamp and adds it as an admittance between
// nodes a and b (rows through row_map, columns through column_map).
inline void stamp_admittance(Circuit& c, Engine& e, int i, int a, int b, Complex y) {
    c.stamp_re[i] = y.re;
    c.stamp_im[i] = y.im;
    add_pattern(e.system, c.row_map[a], c.column_map[a], c.row_map[b], c.column_map[b], y.re, y.im);
}

// Records g as element i's stamp and adds a current g·(V(cn) − V(dn))
// leaving node a and entering node b.
inline void stamp_transconductance(Circuit& c, Engine& e, int i, int a, int b, int cn, int dn, Complex g) {
    c.stamp_re[i] = g.re;
    c.stamp_im[i] = g.im;
    add_pattern(e.system, c.row_map[a], c.column_map[cn], c.row_map[b], c.column_map[dn], g.re, g.im);
}

// What a solve came to: the fatal conditions of the analysis are values
// here; build_and_solve turns them into suite::FatalError.
enum class SolveOutcome { solved, singular, null_output };
// "Circuito insolúvel (determinante muito pequeno)." and "Saída nula. A
// análise não pode ser feita.", the messages of the failures.
const char* solve_failure_message(SolveOutcome o);

// As build_and_solve, with a failure as its outcome instead of an
// exception: for the numeric code to which a singular circuit is an
// ordinary answer (a Monte Carlo circuit, a vertex of the worst case, a
// pole that an observer does not see). After a failure the system and the
// blocks of the point are not results.
[[nodiscard]] SolveOutcome try_build_and_solve(Circuit& c, Engine& e, Real pivot_tolerance);

// The smallest pivot of the system at the engine's s, factored without a
// tolerance (the pivots left on the diagonal; 0 for a null or NaN one):
// how far below the pivot tolerance a singular point fell.
Real smallest_pivot(Circuit& c, Engine& e);

// Builds the system at s = sigma + j·omega, solves it and runs the
// sensitivity pass (with response_only: solves for the normal solution
// only; the adjoint vectors and the blocks are then not results). Throws suite::FatalError for a singular
// system and, with normalised sensitivities, "Saída nula. A análise não pode ser feita." when T is exactly
// zero. Needs blocks for point_index and element_count (std::logic_error otherwise).
void build_and_solve(Circuit& c, Engine& e, Real pivot_tolerance);

// The system at s = sigma + j·omega, as build_and_solve stamps it in normal
// mode, without solving it (for its pattern); with `only` > 0, the stamps
// of that element alone.
void build_system(Circuit& c, Engine& e, int only = 0);

// Solved voltage of node (or extra variable) k: x at column_map[k]; 0 for ground.
Complex node_voltage(const Circuit& c, const Engine& e, int k);
// Solved adjoint voltage of node (or extra variable) k: w at row_map[k].
Complex adjoint_voltage(const Circuit& c, const Engine& e, int k);

// Σ of point p: the sum of S_i over C and L elements minus the sum over A
// and K elements, into sens_sum_re / sens_sum_im (and returned). With
// normalised sensitivities Σ = s·T′(s)/T(s).
Complex sum_frequency_sensitivity(const Circuit& c, Engine& e, int p);

// Four-quadrant angle of re + j·im in (−π, π]: a zero im counts as 1e-10
// and then a zero re as |im·1e-10|, so a negative real number reads +π.
Real phase_angle(Real im, Real re);

}  // namespace analysis
