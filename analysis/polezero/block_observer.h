// Which observer element sees a pole: the checks of the pole/zero run on
// one point, and the automatic observer with its multiple-root check.
//
// An observer sees a pole when taking it out of the circuit leaves a
// solvable system whose loop residual vanishes at the pole. In a cascade
// of buffered sections no element sees every pole, and at a pole that two
// identical sections share no element sees it in the whole matrix (the
// other section's block stays singular). Inside the block whose
// determinant vanishes there, the block solved alone, an observer of that
// block sees it, and the sensitivities so found are the pole's own.
//
//   if (passes_pole_zero_checks(c, e, s, true, observer, p)) ...;   // one observer
//   SystemBlocks b = find_system_blocks(c);                          // or one per pole:
//   BlockChoice k = block_for_copy(c, e, s, b, p, copy, e.observer_element);
//   // copy: earlier entries at p; then solve with e.restriction = &b.restrictions[k.block]
#pragma once

#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/polezero/system_blocks.h"

namespace analysis {

// Whether element i can observe: a kind the table of element kinds marks
// as an observer (R, L, C, Z).
bool is_observer_element(const Circuit& c, int i);

// After a solve at a point: the loop residual of the observer's mesh
// (poles) or the output voltage (zeros); both vanish at a true point.
Complex point_residual(const Circuit& c, const Engine& e, bool poles);
bool within_tolerance(Complex r, const AnalysisSettings& s);

// The checks of a run on one point p, without listing anything: the point
// is not at zero frequency, the system is not singular there, the loop
// residual of the observer's mesh (poles, observer element `observer`) or
// the output voltage (zeros) is within tol_admittance in both parts, and
// the function depends on the frequency there. Solves with `e` (its
// observer fields, s and the blocks of its point_index are overwritten).
bool passes_pole_zero_checks(Circuit& c, Engine& e, const AnalysisSettings& s, bool poles, int observer,
                             Complex p);

// Whether a block whose determinant has a root near p (a Newton step from
// p shorter than 1e-2·|p|) has an observer that sees p, the block solved
// alone. Solves with `e` at its point_index (its restriction is left
// cleared), as block_for_copy does.
bool seen_in_a_block(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& b, Complex p,
                     int preferred);

// The automatic observer's multiple-root check, its only one: whether p
// is a multiple root of block k's determinant, which then winds more than
// once around the circle |s - p| = 1e-6·|p| (roots_near). No observer sees
// such a root alone while its other copies stay in the block (the two
// copies of a double pole of two identical sections lie in two blocks, one
// each), and it has no first-order deviations. Roots farther apart than
// the circle's radius are simple roots, however near.
bool multiple_in_block(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p);

// Which block takes copy `copy` (0-based) of a pole listed several times,
// and its observer. The blocks with a root near p are taken nearest root
// first: one where p is a multiple root (multiple_in_block) takes every
// copy left, as a multiple pole; one with an observer that sees p takes
// one copy: `preferred` when it sees p, else the first R, L, C or Z
// element of the block that does. No owner when the copies outnumber them.
struct BlockChoice {
    int block = -1;         // the owner, -1 when none
    int observer = 0;       // its observer that sees p
    bool multiple = false;  // no owner: p is a multiple root of a block near it
    bool seen = false;      // no owner otherwise: some block near p has an observer that sees it
};
BlockChoice block_for_copy(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& b, Complex p,
                           int copy, int preferred);

}  // namespace analysis
