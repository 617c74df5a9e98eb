// The analysis engine on a designed circuit: a netlist in memory read
// into a circuit, swept over a band, and what the design asks of it (the
// deviation of a section over the pass band, the poles of a section with
// its op-amps, the filter against its mask and its op-amp levels).
//
//   Analysed a = analyse_lines(netlist_lines(n, {}), n.output_node, {f1, f2, true, 400}, 0.01, 0.05);
//   a.sweep->points[p].module ...
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/design/cascade.h"
#include "analysis/design/topology.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/tolerance/mask.h"

namespace analysis::design {

struct Band {
    Real f1 = 0, f2 = 0;
    bool hertz = false;
    int segments = 400;
};

struct Analysed {
    std::unique_ptr<Circuit> circuit = std::make_unique<Circuit>();
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
    std::unique_ptr<Sweep> sweep = std::make_unique<Sweep>();
    AnalysisSettings settings;
    bool swept = false;    // every point solved
    SweepFailure failure;  // else where it stopped
};

// Reads the lines, gives resistors and capacitors their tolerances as
// variabilities (everything else 0) and sweeps the band at `output`; a
// singular point or a null output ends the sweep (swept false, and where).
// The pivot tolerance is the analysis program's own unless given.
Analysed analyse_lines(const std::vector<std::string>& lines, int output, const Band& band,
                       Real resistor_tolerance, Real capacitor_tolerance,
                       std::optional<Real> pivot_tolerance = {});

// The pivot tolerance taken when the analysis program's own (1E-7) refuses
// a designed circuit as singular: the admittances of high-Q sections
// (hundreds of kilohms beside nanofarads) leave pivots below it.
constexpr Real design_pivot_tolerance = 1e-20L;

// The largest statistical deviation of the module (dB) of one section,
// alone, over the bands; +infinity when a band cannot be solved.
Real section_deviation(const SectionCircuit& s, const OpAmpModel& opamp, const std::vector<Band>& bands,
                       Real resistor_tolerance, Real capacitor_tolerance);

// ω0 and Q of a section with its op-amp model, from its poles as the
// engine finds them: the pole pair (or the pole, first order) nearest to
// the section's own ω0. Gain and ωz from the ideal closed forms.
SectionMeasure measure_with_opamps(const SectionCircuit& s, const OpAmpModel& opamp);

// The filter against its mask over the mask's span, and the rule of the
// op-amp levels: no op-amp output other than the filter's output above
// the output's own peak.
struct OpAmpLevel {
    std::string name;
    int node = 0;
    Real peak = 0;  // |V| over the sweep, V per V of input
};
struct FilterCheck {
    bool meets = false;  // the nominal response keeps the mask
    bool levels_ok = false;
    MaskCheck nominal;
    std::vector<std::string> lines;  // the mask check as the analysis logs it
    Real output_peak = 0;
    std::vector<OpAmpLevel> levels;  // every op-amp output but the filter's own
    bool small_pivots = false;       // solved with design_pivot_tolerance
};
FilterCheck check_filter(const CascadeNetlist& n, const ResponseMask& mask, int segments);

}  // namespace analysis::design
