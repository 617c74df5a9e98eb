// Finding the poles and the zeros of the analysed circuit with its own
// engine, so that the pole/zero run needs no tool outside the program.
//
// The poles are the roots of the nodal determinant D(s), the product of
// the pivots of the factorisation signed by its row exchanges; the zeros
// at the output node are the roots of N(s) = x_out(s)·D(s), the output
// voltage times the determinant. Capacitors multiply their stamps by s,
// inductors, gain-bandwidth op-amps and couplings divide by it, and every
// element enters D once (twice for a coupling), so D and N are
// polynomials in s once multiplied by a power of s. The search:
//   1. samples D and N at points on a circle |s| = ω0 around the frequency
//      scale (first from the element values, then from the roots found)
//      and recovers their coefficients by a discrete Fourier transform;
//   2. keeps the coefficients that stand out of the rounding noise (those
//      that do not give the roots at the origin and at infinity) and finds
//      the roots as eigenvalues of the companion matrix (Eigen);
//   3. polishes every root against the engine itself, in long double, by
//      Ehrlich-Aberth steps on D or N, in s/ω0 so that the precision is
//      relative at any frequency;
//   3b. when circles far inside and far outside every root found show
//      more roots than the first circle resolved (roots spread over more
//      decades than one circle holds), samples D or N divided by the roots
//      found, on the circle through their middle and on circles stepped a
//      decade at a time below and above them, and finds and polishes the
//      roots that stand out there beside the ones found;
//   4. pairs the roots common to D and N (cancelled: neither a pole nor a
//      zero of the response), counts the poles and zeros of the response
//      at the origin and at infinity, and keeps the roots that pass the
//      checks of the pole/zero run (for a pole, with at least one observer).
//
//   PoleZeroSearch r = find_poles_zeros(circuit, settings, /*poles=*/true);
//   write_pole_zero_file("filtro.r", r.found);          // polezero_file.h
//   find_and_save_poles_zeros(x, true, "filtro.r", log);  // the same, logged
#pragma once

#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/solver.h"
#include "analysis/polezero/determinant.h"
#include "analysis/polezero/polezero_file.h"
#include "analysis/polezero/polezero_run.h"

namespace analysis {

struct PoleZeroSearch {
    bool poles = true;
    Real frequency_scale = 0;                  // ω0, rad/s: the radius of the sampling circle
    std::vector<PoleZeroPoint> found;          // passed the run's checks; by modulus, +j first
    std::vector<PoleZeroPoint> cancelled;      // roots of both D and N, one per pair
    std::vector<PoleZeroPoint> unconfirmed;    // roots that did not converge or failed the checks
    std::vector<PoleZeroPoint> pivot_limited;  // of those, the ones a smaller pivot tolerance confirms
    int at_origin = 0;                         // of the response N/D, at s = 0
    int at_infinity = 0;
    int unresolved = 0;         // roots no circle could resolve (too many decades away)
    bool null_output = false;   // N vanishes at every frequency
    long long evaluations = 0;  // solves of the engine
};

// Finds the poles (or the zeros at the output node) of the circuit.
// Uses an engine of its own: the program's engine and stored results are
// left alone (the circuit's recorded stamps are overwritten, as by any
// solve). Throws suite::FatalError "Circuito insolúvel (determinante muito
// pequeno)." when the determinant vanishes at every frequency.
PoleZeroSearch find_poles_zeros(Circuit& c, const AnalysisSettings& s, bool poles);

// Whether the run accepts every pole with `observer`.
bool observer_sees_poles(Circuit& c, const AnalysisSettings& s, int observer,
                         const std::vector<PoleZeroPoint>& poles);
// The observer with which the run accepts every pole: `preferred` when it
// does, else the first R, L, C or Z element that does; 0 when none does.
int observer_for_poles(Circuit& c, const AnalysisSettings& s, const std::vector<PoleZeroPoint>& poles,
                       int preferred);

// morat --find-poles FILE / --find-zeros FILE: searches, logs what was
// found and the frequency scale, and writes FILE in the pole/zero file
// format (a root of multiplicity m m times). Refused, with the reason
// logged, when the circuit has not been analysed; incomplete, with what
// was left out and why logged, when roots could not be confirmed or
// reached. File errors throw suite::IoError.
enum class FinderResult { refused, complete, incomplete };
FinderResult find_and_save_poles_zeros(PoleZeroContext& x, bool poles, const std::string& file,
                                       const Log& log);

// "Calcular pólos e zeros": the same into the file the run's dialog would
// propose (the netlist's stem with ".r", or ".z" and the output node),
// then the run on that file without a dialog, in pole mode with the
// automatic observer (x.auto_observer is set). True when the run
// completed.
bool find_and_compute_poles_zeros(PoleZeroContext& x, bool poles, const Log& memo);

}  // namespace analysis
