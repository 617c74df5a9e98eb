// Noise: the output noise of the circuit at every point of the sweep,
// from the adjoint solution that each point's solve already has.
//
//   NoiseSettings n{.on = true, .opamps = {10e-9, 1e-12}};
//   prepare_noise(c, sw, n);                        // after start_analysis, before sweep
//   sweep(c, e, sw, settings, log);
//   sw.points[p].noise;                             // V/√Hz at the output
//   sw.noise_power[p * sw.noise_sources.size() + k]; // source k's share, V²/Hz
//
// Sources: the thermal noise of every resistor (R, and the series
// resistance of Z), a current of density 4kT/R across it; and of every
// op-amp (A, and the ideal O), an input voltage density en in series with
// its input and a current density in from each input to ground. The
// adjoint solution w (the response to a unit current injected between
// nodes a and b is Va(a, b) = w(a) − w(b)) gives each one's transfer to
// the output: Va(a, b) for a resistor between a and b, w(k) for a current
// into node k, y·Va(out) for the voltage at an A element's input (y its
// transconductance), and for an ideal op-amp's input voltage the weight of
// its input node (node_weight, elements.h): the voltage in series with the
// op-amp's input shifts only the op-amp's view of the node. Sources are
// uncorrelated: their powers add. Controlled sources, M and Q carry no
// noise (their small-signal models have no bias currents).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"

namespace analysis {

constexpr Real boltzmann = 1.380649e-23L;  // J/K
constexpr Real zero_celsius = 273.15L;

struct OpAmpNoise {
    Real en = 0;  // V/√Hz, in series with the input
    Real in = 0;  // A/√Hz, at each input
};

struct NoiseSettings {
    bool on = false;
    Real celsius = 27;
    OpAmpNoise opamps;                                      // every op-amp's, unless named
    std::vector<std::pair<std::string, OpAmpNoise>> named;  // by name (any case)
};

enum class NoiseKind { resistor, opamp_voltage, opamp_current_minus, opamp_current_plus };

struct NoiseSource {
    std::string name;  // the element's name
    NoiseKind kind = NoiseKind::resistor;
    int element = 0;            // in the element table (R, Z, A), or among the ideal op-amps
    bool ideal = false;         // an O element
    Real density = 0;           // its own power density: A²/Hz (currents) or V²/Hz (voltages)
    std::vector<int> attached;  // an ideal op-amp's input voltage: the elements at its input node
};

// The sources of the circuit with their densities at the settings'
// temperature, in table order (ideal op-amps after the elements); op-amp
// sources of zero density, and input currents into ground (which nothing
// sees), are left out.
std::vector<NoiseSource> noise_sources(const Circuit& c, const NoiseSettings& s);

// A name of `named` that no op-amp of the circuit carries, or "".
std::string unknown_noise_name(const Circuit& c, const NoiseSettings& s);

// At the point just solved: each source's power density at the output
// (V²/Hz) into out[0..sources − 1]; returns their sum.
Real noise_powers(const Circuit& c, const Engine& e, const std::vector<NoiseSource>& sources, Real* out);

}  // namespace analysis
