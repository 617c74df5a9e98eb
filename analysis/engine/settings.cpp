// Procedures of the settings dialogs that the analysis reads.
#include "analysis/engine/settings.h"

#include "analysis/engine/sweep.h"
#include "common/numtext.h"

namespace analysis {

std::string listing_number(const AnalysisSettings& s, Real x) {
    return suite::format_fixed(x, s.number_width, s.number_decimals);
}

std::string listing_row(const AnalysisSettings& s, std::span<const Real> values) {
    std::string line;
    for (Real v : values) {
        if (!line.empty()) line += ' ';
        line += listing_number(s, v);
    }
    return line;
}

bool start_analysis(Circuit& c, Engine& e, Sweep& sw, AnalysisSettings& s, int output_node, int listed_node,
                    const Log& log) {
    if (!c.present) {
        log("* Nenhum circuito lido.");
        return false;
    }
    if (c.element_count < 1) {
        log("* Circuito sem elementos. A análise não pode ser feita.");
        return false;
    }
    const int v = c.variable_count;
    if (output_node < 0 || output_node > v || listed_node < 0 || listed_node > v) {
        log("Nó inválido, fora da faixa 0-" + suite::format_int(v) + ".");
        return false;
    }
    if (c.column_map[output_node] == 0) {
        log("Nó de saída com tensão calculada sempre nula.");
        return false;
    }
    c.output_node = output_node;
    s.adjoint_listed_node = listed_node;
    c.output_column = c.column_map[output_node];
    log("Nó de saída: " + suite::format_int(output_node));
    reset_sweep(c, e, sw, log);
    sw.pz_valid = false;
    e.observer_element = c.element_count;
    return true;
}

void apply_normalisation(AnalysisSettings& s, Sweep& sw, bool normalise) {
    if (normalise == s.normalise_by_slope) return;
    s.normalise_by_slope = normalise;
    sw.deviations_stale = true;
}

namespace {

bool cursor_valid(const Circuit& c, const AnalysisSettings& s) {
    return s.variability_cursor >= 1 && s.variability_cursor <= c.element_count;
}

void store_typed(Circuit& c, AnalysisSettings& s, Real typed) {
    if (s.variability_cursor > c.element_count) s.variability_cursor = c.element_count;
    if (s.variability_cursor < 1) s.variability_cursor = 1;
    if (cursor_valid(c, s)) c.variability[s.variability_cursor] = typed;
}

}  // namespace

VariabilityView paint_variabilities(const Circuit& c, const AnalysisSettings& s, Sweep& sw) {
    VariabilityView view;
    if (cursor_valid(c, s)) {
        view.name = c.elements[s.variability_cursor].name;
        view.variability = c.variability[s.variability_cursor];
    }
    view.lines.push_back("Elementos e variabilidades:");
    for (int i = 1; i <= c.element_count; ++i)
        view.lines.push_back(c.elements[i].name + " " + listing_number(s, c.variability[i]));
    sw.deviations_stale = true;
    return view;
}

void variability_previous(Circuit& c, AnalysisSettings& s, Real typed) {
    store_typed(c, s, typed);
    if (s.variability_cursor > 1) s.variability_cursor -= 1;
}

void variability_next(Circuit& c, AnalysisSettings& s, Real typed) {
    store_typed(c, s, typed);
    if (s.variability_cursor < c.element_count) s.variability_cursor += 1;
}

void change_all_variabilities(Circuit& c, Real typed) {
    c.default_variability = typed;
    reset_variabilities(c);
}

ParameterFields load_parameters(const AnalysisSettings& s) {
    return {s.tol_admittance, s.pivot_tolerance, s.number_width, s.number_decimals};
}

void apply_parameters(AnalysisSettings& s, Sweep& sw, const ParameterFields& f) {
    s.tol_admittance = f.tol_admittance;
    s.pivot_tolerance = f.pivot_tolerance;
    s.number_width = f.number_width;
    s.number_decimals = f.number_decimals;
    sw.pz_valid = false;
}

}  // namespace analysis
