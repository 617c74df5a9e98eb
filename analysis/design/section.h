// The records of a filter design: the sections of a cascade, what each
// must do (its transfer function) and the circuit that does it.
//
//   SectionGoal goal{.shape = Shape::lowpass, .w0 = 6283.2, .q = 0.7071, .gain = 1};
//   SectionCircuit s = realise(Topology::sallen_key_unity, goal, options);   // topology.h
//   for (const Part& p : s.parts) use(p.role, p.kind, p.a, p.b, p.value);
//
// A section's transfer function is H(s) = ±K·N(s)/D(s) with
// D(s) = s² + (ω0/Q)·s + ω0² for second-order shapes and s + ω0 for
// first-order ones; the sign is − for inverting topologies.
//
//   shape       N(s)           K is
//   lowpass     ω0²            H(0)
//   highpass    s²             H(∞)
//   bandpass    (ω0/Q)·s       H(jω0)
//   notch       s² + ωz²       H(∞)   (H(0) = K·ωz²/ω0²; ωz on either side of ω0)
//   lowpass1    ω0             H(0)
//   highpass1   s              H(∞)
#pragma once

#include <complex>
#include <string>
#include <vector>

#include "common/real.h"

namespace analysis::design {

using suite::Real;
using ComplexReal = std::complex<Real>;

enum class FilterType { lowpass, highpass, bandpass, bandstop };

enum class Shape { lowpass, highpass, bandpass, notch, lowpass1, highpass1 };

inline bool first_order(Shape s) { return s == Shape::lowpass1 || s == Shape::highpass1; }

struct SectionGoal {
    Shape shape = Shape::lowpass;
    Real w0 = 1;    // rad/s
    Real q = 0.5;   // second-order shapes only
    Real wz = 0;    // notch only, rad/s
    Real gain = 1;  // K > 0
};

// The section's own H(s) (without the sign of an inverting topology).
ComplexReal section_response(const SectionGoal& goal, ComplexReal s);

// The circuits that realise sections. Every one is a single-ended stage
// driven by a voltage source at its input and loaded by nothing (the next
// stage's input or the filter's output), built from resistors, capacitors
// and op-amps (ideal or with a gain-bandwidth product).
enum class Topology {
    sallen_key_unity,  // Sallen-Key, op-amp as a follower (lowpass, highpass)
    sallen_key_equal,  // Sallen-Key, equal capacitors and equal resistors, gain 3 − 1/Q (lowpass, highpass)
    mfb,               // multiple feedback, inverting (lowpass, highpass, bandpass)
    biquad,            // Tow-Thomas two-integrator loop, with a summing output for highpass and notch
    follower_rc,       // first order: RC and a follower (lowpass1, highpass1)
    inverting,         // first order: inverting amplifier with an RC (lowpass1, highpass1)
};

// One resistor ('R') or capacitor ('C') between local nodes a and b.
struct Part {
    std::string role;  // "R1", "C2", "R10": the element's name without its section letter
    char kind = 'R';
    int a = 0, b = 0;
    Real value = 0;  // ohms or farads
};

// One op-amp: inverting input, non-inverting input, output (local nodes).
struct OpAmp {
    std::string role;  // "" for the op-amp of a one-op-amp section, "1".."4" in the biquad
    int minus = 0, plus = 0, out = 0;
};

// Local nodes: 0 ground, 1 the section's input, 2 its output, 3 and up
// internal (see topology.h for each topology's numbering; a number may be
// unused in a variant).
struct SectionCircuit {
    Topology topology = Topology::sallen_key_unity;
    SectionGoal goal;
    bool inverting = false;
    std::vector<Part> parts;
    std::vector<OpAmp> opamps;
};

// The element name of a part or an op-amp in section `index` (0-based):
// role followed by the section letter A, B, ... ("R1A", "C2B"); op-amps are
// "O" or "A" (for a gain-bandwidth model) followed by the role and the
// letter ("OA", "O2C", "AB").
char section_letter(int index);
std::string part_name(const Part& p, int index);
std::string opamp_name(const OpAmp& o, int index, bool gain_bandwidth);

}  // namespace analysis::design
