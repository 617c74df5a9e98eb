// The section circuits: which topology realises which shape, the part
// values that give a section's ω0, Q and gain, the ω0, Q and gain that
// given part values give (closed forms for ideal op-amps), and the
// rounding of the resistors to a standard series with a search among
// their neighbours.
//
//   RealiseOptions o{.impedance = 10e3, .capacitors = Series::e12};
//   if (!realisable(Topology::mfb, goal)) ...;
//   SectionCircuit s = realise(Topology::mfb, goal, o);          // capacitors standard, resistors exact
//   Rounding r = round_resistors(s, Series::e96);                   // neighbour search
//   SectionMeasure m = measure(r.searched);                         // ω0, Q, K, ωz
//
// Local nodes (0 ground, 1 input, 2 output) and parts of each topology;
// "[ ]" marks a part that is left out when not needed:
//
//   sallen_key_unity, lowpass:  R1(1,3) R2(3,4) C1(3,2) C2(4,0) [R3(3,0)]       op −2 +4 →2
//     R3 with R1 divides the input when K < 1 (R1‖R3 is the Sallen-Key
//     resistor, K = R3/(R1+R3)).
//   sallen_key_unity, highpass: C1(1,3) C2(3,4) R1(3,2) R2(4,0)                 op −2 +4 →2   (K = 1)
//   sallen_key_equal, lowpass:  R1(1,3) R2(3,4) C1(3,2) C2(4,0) R3(2,5) R4(5,0) [R5(3,0)]
//                                                                               op −5 +4 →2
//     C1 = C2, amplifier gain A = 1 + R3/R4: A = K when K ≥ 3 − 1/Q,
//     else A = 3 − 1/Q with R1‖R5 = R2 and R5 dividing the input as R3 does above.
//   sallen_key_equal, highpass: C1(1,3) C2(3,4) R1(3,2) R2(4,0) R3(2,5) R4(5,0) op −5 +4 →2   (K = A ≥ 1.05)
//   mfb, lowpass:   R1(1,3) R2(3,2) R3(3,4) C1(3,0) C2(4,2)                     op −4 +0 →2
//   mfb, highpass:  C1(1,3) C2(3,2) C3(3,4) R1(3,0) R2(4,2)                     op −4 +0 →2   (K = C1/C2)
//   mfb, bandpass:  R1(1,3) [R2(3,0)] C1(3,4) C2(3,2) R3(4,2)                   op −4 +0 →2
//   biquad (Tow-Thomas): lossy integrator 1 (input 3, output 4), integrator 2
//     (input 5, output 6), inverter 3 (input 7, output 8), summer 4 (input 9):
//       C1(3,4) R3(3,4) R1(8,3) R6(1,3) R2(4,5) C2(5,6) R4(6,7) R5(7,8)
//       op1 −3 +0 →4   op2 −5 +0 →6   op3 −7 +0 →8
//     lowpass:  output at integrator 2 (node 6 is node 2)
//     bandpass: output at integrator 1 (node 4 is node 2)
//     highpass, notch: summer R7(1,9) R8(4,9) R9(6 or 8,9) R10(9,2)   op4 −9 +0 →2
//       (R9 from node 6 for a notch with ωz > ω0, from node 8 otherwise)
//   follower_rc, lowpass1:  R1(1,3) C1(3,0) [R2(3,0)]                           op −2 +3 →2
//   follower_rc, highpass1: C1(1,3) R1(3,0)                                     op −2 +3 →2   (K = 1)
//   inverting, lowpass1:    R1(1,3) R2(3,2) C1(3,2)                             op −3 +0 →2
//   inverting, highpass1:   C1(1,4) R1(4,3) R2(3,2)                             op −3 +0 →2
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/design/section.h"
#include "analysis/design/series.h"

namespace analysis::design {

// Whether the topology realises the shape at all (gains aside).
bool realisable(Topology t, Shape shape);
// Op-amps of the topology for that shape (1, 3 or 4).
int opamp_count(Topology t, Shape shape);
// "sallen-key", "mfb", "biquad" ...: the topology's name in the log and on the command line.
std::string topology_name(Topology t);
// The name with its form, for the log: "sallen-key (ganho unitário)",
// "sallen-key (capacitores iguais)", "biquad (Tow-Thomas)" ...
std::string topology_form_name(Topology t);

// The gains K that resistors set exactly: [low, high] (high may be
// infinite). A topology whose gain is fixed by its form (Sallen-Key
// unity highpass, K = 1) or by a ratio of standard capacitors (mfb
// highpass: C1 = C3 the standard value nearest 1/(ω0·impedance), C2 the
// one nearest C1/goal.gain) has exact = false and low = high = the gain it
// gives. A range with low > high is empty: a shape the topology does not
// realise, the equal-capacitor Sallen-Key lowpass with Q ≤ 0.5 (its
// amplifier would need a gain below 1). The equal-capacitor highpass takes
// gains from 1.05 up (R3 at least a twentieth of R4).
struct GainRange {
    Real low = 0, high = 0;
    bool exact = true;
};
GainRange gain_range(Topology t, const SectionGoal& goal, const struct RealiseOptions& o);

// The peak over frequency of the signal that reaches a node of the
// section: given the transfer h(jω) from the section's input to the node,
// the largest |H_before(jω)·h(jω)|, H_before the sections in front of it.
// The biquad scales its internal op-amp outputs (nodes 4, 6, 8) with it,
// each to `level` (the filter's pass-band peak), by resistor ratios that
// leave the section's response as it is.
using PeakFunction = std::function<Real(const std::function<ComplexReal(Real w)>& h)>;

struct RealiseOptions {
    Real impedance = 10e3;  // ohms: the resistors' level
    Series capacitors = Series::e12;
    PeakFunction peak;  // none: internal nodes not scaled
    Real level = 1;
    // Capacitors by role ("C1", "C2") taken as they are instead of chosen:
    // the same capacitors while ω0 and Q are corrected (the fixed gain of
    // an mfb highpass is then theirs).
    std::vector<std::pair<std::string, Real>> capacitors_kept;
};

// The circuit, with capacitors from `o.capacitors` near 1/(ω0·impedance)
// (their ratio chosen so that every resistor is real and positive) and
// exact resistors. std::invalid_argument when the topology does not
// realise the shape, ω0, Q or ωz is not usable, or the gain lies outside
// gain_range (by more than a relative 1e-9; a fixed gain must be the one
// gain_range gives; the mfb highpass also takes C1 at the other standard
// neighbour of C0 when that gives the gain, so that a gain taken from
// gain_range stays realisable when ω0 is then moved a little). A gain within 1e-9 of 1 (of 3 − 1/Q or
// more for the equal-capacitor lowpass) leaves the divider out, the mfb bandpass at
// K = 2Q² (within 1e-9, taken as 2Q²) leaves R2 out, and a notch with
// ωz = ω0 leaves R9 out.
// Capacitors: the Sallen-Key unity lowpass takes C2 nearest C0/(2Q) and C1
// the smallest value ≥ 4Q²·C2, the mfb lowpass C2 nearest C0/(2Q·√(1+K))
// and C1 the smallest value ≥ 4Q²(1+K)·C2 (C0 = 1/(ω0·impedance)); every
// other section has its capacitors equal (mfb highpass: C1 = C3) and
// nearest C0.
// The biquad's capacitors are equal; without o.peak R1 = R2 = 1/(ω0·C),
// R4 = R5 = impedance, and R6 sets the gain (lowpass R6 = R1/K, bandpass
// R6 = R3/K) or equals R1 (highpass, notch: R7 = R10/K, R10 = impedance).
// `inverting` is set for mfb, inverting, and the biquad's bandpass,
// highpass and notch (its lowpass output is not inverted).
SectionCircuit realise(Topology t, const SectionGoal& goal, const RealiseOptions& o);

// What the parts of a section give with ideal op-amps (closed forms, any
// part values; q is 0 for first-order shapes, wz 0 but for notches, where
// it is ω0 without R9). std::invalid_argument when a part is missing.
struct SectionMeasure {
    Real w0 = 0, q = 0, gain = 0, wz = 0;
};
SectionMeasure measure(const SectionCircuit& s);
using MeasureFunction = std::function<SectionMeasure(const SectionCircuit&)>;

// Every resistor taken to the series: plainly (each to its nearest value),
// and after a search among the neighbouring standard values (each
// resistor at its value below or above) for the set whose ω0 and Q, as
// `m` measures them, lie nearest the section's goal (gain next), among
// the sets no farther than plain rounding in either.
// "Nearest" is the least sum of the squared relative errors of ω0, Q, ωz
// (notches) and K; ωz is held to plain rounding as ω0 and Q are. Plain
// rounding is one of the sets, so the search is never worse in ω0, Q and
// ωz. Capacitors stay as they are.
struct Rounding {
    SectionCircuit plain;
    SectionCircuit searched;
};
Rounding round_resistors(const SectionCircuit& exact, Series resistors, const MeasureFunction& m = measure);

}  // namespace analysis::design
