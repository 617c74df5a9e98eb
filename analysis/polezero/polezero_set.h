// The pole/zero set of the analysis program and its deviations.
//
// A pole/zero run reads a list of complex frequencies (poles in pole mode,
// zeros in zero mode), checks each one against the circuit and keeps, per
// entry, the element sensitivities of the point in the sweep's sensitivity
// blocks of the same index (so a run overwrites the stored response) and
// the statistical deviations computed from them here.
//
//   PoleZeroSet& set = ...;                  // one per program (or test)
//   set.entries[k].Re, set.entries[k].valid  // k = 1..set.entry_count
#pragma once

#include <array>

#include "common/real.h"

namespace analysis {

using suite::Real;

// Entries share the sweep's point slots 1..1000.
constexpr int max_pole_zero_entries = 1000;

struct PoleZeroEntry {
    Real Re = 0;         // real part, as read (the complex frequency s)
    Real Im = 0;         // imaginary part
    Real VRe = 0;        // standard deviation of the real part
    Real VIm = 0;        // standard deviation of the imaginary part
    Real Ang = 0;        // principal direction, radians from the positive real axis
    Real Ra = 0;         // standard deviation along the principal direction
    Real Rb = 0;         // standard deviation perpendicular to it
    bool valid = false;  // checked as a pole or zero, deviations computed
    int observer = 0;    // poles: the observer element its sensitivities come from
};

// The square of the complex plane the deviation plot opens with.
struct PoleZeroScales {
    Real min_re = -1;
    Real min_im = -1;
    Real width = 2;
};

struct PoleZeroSet {
    std::array<PoleZeroEntry, max_pole_zero_entries + 1> entries{};  // 1-based
    int entry_count = 0;
    // Whether the set is complete is the sweep's pz_valid: the set shares
    // the sweep's storage, and every new sweep clears it.
    // Kind of the stored set (true: poles) and where it was observed: the
    // observer element of the last pole computation (0 when every pole
    // had an observer of its own chosen, the automatic observer), the
    // output node of the last computation.
    bool poles = true;
    int last_observer = 0;
    int output_node = 0;
    // The deviation plot's starting square and its selected entry.
    PoleZeroScales scales{};
    int current_entry = 1;
};

}  // namespace analysis
