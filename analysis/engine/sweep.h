// The frequency sweep and what it stores per point.
//
//   analysis::Sweep sw;                                   // one per program (heap)
//   start_analysis(c, e, sw, settings, 1, 1, log);        // settings.h: reset_sweep inside
//   sweep(c, e, sw, settings, log, [&](int p) { draw segment p-1 -> p; });
//   sw.points[p].module, .phase, .delay, .module_dev, .phase_dev ...
//
// Points 0..N (N = c.segments) are spaced logarithmically or linearly from
// the frequency minimum to the maximum. A point once computed is kept until
// reset_sweep or a pan/zoom move vacates it; every sweep computes only the
// points not yet computed, recomputes deviations when they went stale, and
// calls back once per segment so that a window can draw while it runs.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/noise.h"
#include "analysis/engine/settings.h"

namespace analysis {

constexpr int max_segments = 1000;
constexpr int point_slots = max_segments + 2;  // points and pole/zero entries 0..1001

// Plotted quantities (curve numbers); 0 is the frequency. The output noise
// density (dBV/√Hz) is a curve only while the sweep has noise sources.
enum Quantity {
    q_frequency = 0,
    q_module = 1,
    q_phase = 2,
    q_delay = 3,
    q_module_dev = 4,
    q_phase_dev = 5,
    q_noise = 6
};

struct PointRecord {
    bool computed = false;
    Real frequency = 0;   // in the current unit
    Real module = 0;      // 20·log10 |T|, dB
    Real phase = 0;       // arg T, degrees, (−180, 180]
    Real delay = 0;       // group delay, s
    Real module_dev = 0;  // dB
    Real phase_dev = 0;   // degrees
    Real t_re = 0;        // T itself
    Real t_im = 0;
    Real adj_re = 0;  // adjoint voltage of the listed node
    Real adj_im = 0;
    Real noise = 0;  // output noise density, V/√Hz (with noise sources prepared)
};

struct Sweep {
    bool log_scale = true;
    bool hertz_units = false;
    // Scale limits: 0 frequency, then the curves 1..6 (see Quantity).
    std::array<Real, 7> scale_min{0.2L, -60, -180, 0, 0, 0, -180};
    std::array<Real, 7> scale_max{5, 10, 180, 15, 7, 15, -100};
    bool deviations_stale = false;

    std::array<PointRecord, point_slots> points{};
    std::array<Real, max_variables + 1> node_max{};  // nodes 1..node_count, |V| over the points
    std::array<Real, max_variables + 1> node_min{};
    // While sweeping the extremes are kept as squared moduli (no square
    // root per node and point); node_max and node_min follow at its end.
    std::array<Real, max_variables + 1> node_max_sq{};
    std::array<Real, max_variables + 1> node_min_sq{};
    int last_point = 0;  // highest point computed so far
    int cursor = 0;      // the plot's cursor point

    // Noise (noise.h): the sources prepare_noise found, and per point 0..N+1
    // each source's power density at the output (V²/Hz), point-major.
    std::vector<NoiseSource> noise_sources;
    std::vector<Real> noise_power;

    bool prepared = false;        // reset_sweep ran for the circuit now read
    bool response_valid = false;  // a sweep has finished over the stored points
    bool pz_valid = false;        // the pole/zero results in the same storage are complete
};

// Called once per segment p-1 -> p (p = 1..N) as soon as point p is ready.
using SegmentCallback = std::function<void(int p)>;

// Prepares a new sweep: adjusts N (c.segments) to the memory budget, to
// 2..1000 and to an even number, logging "Número de segmentos no gráfico
// ajustado para N" when it changed; marks every point not computed; resets
// the node extremes, the cursor and response_valid; marks the deviations
// stale; allocates N + 2 sensitivity blocks.
void reset_sweep(Circuit& c, Engine& e, Sweep& sw, const Log& log);

// A new netlist was read: the stored results no longer belong to it.
void forget_response(Sweep& sw);

// Noise at the points of the next sweep (after start_analysis): finds the
// sources for the settings (none when they are off) and marks every point
// not computed, so that the sweep computes each point's noise with it.
void prepare_noise(const Circuit& c, Sweep& sw, const NoiseSettings& n);

// Runs the sweep (see the header comment). Returns true when every point is
// computed; then response_valid is set and pz_valid cleared. Returns false
// without computing when the sweep was not prepared, and logs the reason
// and returns false when the frequency range cannot be swept (a
// logarithmic scale needs positive limits; a point at frequency 0 cannot
// be evaluated). Singular systems and a null output throw
// suite::FatalError; the points computed before stay. With `failure`
// given, they end the sweep instead: it returns false with the outcome,
// the point and its frequency there (code to which a singular circuit is
// an answer, not the end of the analysis).
struct SweepFailure {
    SolveOutcome outcome = SolveOutcome::solved;
    int point = 0;
    Real frequency = 0;
};
bool sweep(Circuit& c, Engine& e, Sweep& sw, const AnalysisSettings& s, const Log& log,
           const SegmentCallback& on_segment = {}, SweepFailure* failure = nullptr);

// Pan and zoom of the frequency axis (the plot's keys). Each changes the
// limits, keeps the points that stay valid (with their sensitivity
// blocks) at their new places, marks the vacated ones not computed and
// moves the cursor along; false (and nothing changed) when refused.
bool pan_frequency_down(Circuit& c, Engine& e, Sweep& sw);  // Left: needs fmin > 1e-12
bool pan_frequency_up(Circuit& c, Engine& e, Sweep& sw);    // Right: needs fmax < 1e12
bool zoom_frequency_in(Circuit& c, Engine& e, Sweep& sw);   // A
bool zoom_frequency_out(Circuit& c, Engine& e, Sweep& sw);  // R: needs fmax < 1e12

// "Hz" or "rad/s".
std::string frequency_unit_name(const Sweep& sw);

}  // namespace analysis
