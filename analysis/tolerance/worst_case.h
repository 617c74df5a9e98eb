// The linear worst case of a finished sweep, and its check at the
// vertices.
//
//   sweep(c, e, sw, settings, log);
//   WorstCasePoint w = linear_worst_case(c, e, p);          // from the stored sensitivities
//   WorstCaseResult r = worst_case(c, e, sw, settings);     // every point, with the vertex solves
//   save_worst_case_table("f.wct", c, sw, settings, r, log);
//
// With each element's variability v_i taken as its tolerance limit, the
// largest first-order change of the module and of the phase at a point is
//   WM = 20/ln 10 · Σ |v_i·Re S_i|  (dB),   WF = 180/π · Σ |v_i·Im S_i|  (degrees),
// from the sensitivities that the sweep stored (no solve). It is the change
// at the point's own frequency: unlike the statistical deviations it is
// never normalised by the slope.
//
// The check solves the circuit at the vertices that the signs point to:
// every element at value·(1 + v_i·sign Re S_i) for the upper module, at
// value·(1 − v_i·sign Re S_i) for the lower one, and the same with Im S_i
// for the phase; dependent values follow as in the Monte Carlo drawing
// (GB and hfe kept under Ro and hie, Vs under Rs). Where the response is
// linear in the parts the vertex deviations equal the bound; elsewhere
// they show by how much it errs.
#pragma once

#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis {

struct WorstCasePoint {
    Real module = 0;  // dB
    Real phase = 0;   // degrees
};

// The linear bound at point p from the sensitivity blocks of `e`.
WorstCasePoint linear_worst_case(const Circuit& c, const Engine& e, int p);

// Deviations found at the vertices of one point, each as a change in the
// direction of the bound: up = value at the upper vertex − nominal,
// down = nominal − value at the lower vertex (both ≈ the bound when the
// response is linear). NaN when that vertex circuit could not be solved.
struct VertexPoint {
    Real module_up = 0, module_down = 0;  // dB
    Real phase_up = 0, phase_down = 0;    // degrees (phase of T_vertex / T_nominal)
};

struct WorstCaseResult {
    std::vector<WorstCasePoint> linear;  // points 0..N
    std::vector<VertexPoint> vertex;
    int unsolved = 0;  // vertex circuits singular or with a zero output
};

// Every point of the finished sweep (std::logic_error without one).
WorstCaseResult worst_case(const Circuit& c, const Engine& e, const Sweep& sw, const AnalysisSettings& s);

// The table: a header, one line per point (frequency, then for the module
// the bound and the two vertex deviations, then the same for the phase)
// in the listing format, and an empty line.
std::vector<std::string> worst_case_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s,
                                                const WorstCaseResult& r);

// Writes the table (CP1252, CR LF, atomically) and logs "Tabela de pior
// caso salva no arquivo " + name; suite::IoError when it cannot be written.
void save_worst_case_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                           const AnalysisSettings& s, const WorstCaseResult& r, const Log& log);

// The log lines: the largest bounds and where, and how far the vertices
// depart from them.
std::vector<std::string> worst_case_summary(const Sweep& sw, const WorstCaseResult& r);

}  // namespace analysis
