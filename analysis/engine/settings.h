// The settings that the analysis reads, and the procedures of the dialogs
// that change them: the output node ("Analisar"), normalisation by the
// slope, element variabilities, tolerances and the number format of
// listings. The dialogs read their controls and call these; the command
// line twin calls them with its options.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/noise.h"

namespace analysis {

struct Sweep;

struct AnalysisSettings {
    int adjoint_listed_node = 1;      // its adjoint voltage is kept per point
    bool normalise_by_slope = false;  // deviations and listed sensitivities
    int variability_cursor = 1;       // element shown in the variability editor
    Real tol_admittance = 1e-5L;      // residual checks of poles and zeros
    Real pivot_tolerance = 1e-7L;     // smallest acceptable pivot
    int number_width = 14;            // fixed format of every listing
    int number_decimals = 9;
    NoiseSettings noise;  // off: the sweep computes no noise
};

// x in the listings' fixed format (number_decimals decimals, right-aligned
// in at least number_width characters).
std::string listing_number(const AnalysisSettings& s, Real x);

// A table row: the values in the listings' format, one blank apart.
std::string listing_row(const AnalysisSettings& s, std::span<const Real> values);

// "Analisar" of the output-node dialog with the two typed node numbers.
// Logs the reason and returns false when the analysis cannot start (no
// circuit read, a circuit without elements, a node out of 0..variable_count,
// an output always at zero); otherwise sets the output, logs
// "Nó de saída: N", prepares the sweep (reset_sweep), marks the pole/zero
// results out of date, makes the last element the observer, and returns
// true: the caller then shows the response.
bool start_analysis(Circuit& c, Engine& e, Sweep& sw, AnalysisSettings& s, int output_node, int listed_node,
                    const Log& log);

// "Aplicar" of the normalisation dialog.
void apply_normalisation(AnalysisSettings& s, Sweep& sw, bool normalise);

// Painting of the variability editor: the name of the current element,
// its variability, and the memo lines. Marks the deviations stale.
struct VariabilityView {
    std::string name;
    Real variability = 0;
    std::vector<std::string> lines;
};
VariabilityView paint_variabilities(const Circuit& c, const AnalysisSettings& s, Sweep& sw);

// "<" and ">": store the typed value into the current element, then move
// (not past the first or the last element).
void variability_previous(Circuit& c, AnalysisSettings& s, Real typed);
void variability_next(Circuit& c, AnalysisSettings& s, Real typed);
// "Mudar todas": the typed value becomes the default and every element's
// variability is reset from it (0 for independent sources).
void change_all_variabilities(Circuit& c, Real typed);

// The four fields of the parameters dialog.
struct ParameterFields {
    Real tol_admittance = 0;
    Real pivot_tolerance = 0;
    int number_width = 0;
    int number_decimals = 0;
};
ParameterFields load_parameters(const AnalysisSettings& s);
// "Aplicar": stores the fields as typed and marks the pole/zero results out of date.
void apply_parameters(AnalysisSettings& s, Sweep& sw, const ParameterFields& f);

}  // namespace analysis
