// The analysis engine on a designed circuit.
#include "analysis/design/engine_check.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/polezero/polezero_finder.h"
#include "common/errors.h"
#include "common/textscan.h"

namespace analysis::design {
namespace {

const Log quiet = [](const std::string&) {};

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

void read_into(Circuit& c, const std::vector<std::string>& lines) {
    suite::TextScanner in(joined(lines));
    read_netlist(c, in, quiet);
}

}  // namespace

Analysed analyse_lines(const std::vector<std::string>& lines, int output, const Band& band,
                       Real resistor_tolerance, Real capacitor_tolerance,
                       std::optional<Real> pivot_tolerance) {
    Analysed a;
    if (pivot_tolerance) a.settings.pivot_tolerance = *pivot_tolerance;
    Circuit& c = *a.circuit;
    read_into(c, lines);
    for (int i = 1; i <= c.element_count; ++i) {
        const char k = element_kind(c, i);
        c.variability[i] = k == 'R' ? resistor_tolerance : k == 'C' ? capacitor_tolerance : 0;
    }
    Sweep& sw = *a.sweep;
    sw.log_scale = true;
    sw.hertz_units = band.hertz;
    sw.scale_min[q_frequency] = band.f1;
    sw.scale_max[q_frequency] = band.f2;
    c.segments = band.segments;
    if (!start_analysis(c, *a.engine, sw, a.settings, output, 1, quiet))
        throw std::logic_error("a designed circuit that cannot be analysed");
    a.swept = sweep(c, *a.engine, sw, a.settings, quiet, {}, &a.failure);
    return a;
}

Real section_deviation(const SectionCircuit& s, const OpAmpModel& opamp, const std::vector<Band>& bands,
                       Real resistor_tolerance, Real capacitor_tolerance) {
    const CascadeNetlist n = cascade_netlist({{s}, opamp});
    const std::vector<std::string> lines = netlist_lines(n, {});
    Real worst = 0;
    for (const Band& b : bands) {
        const Analysed a = analyse_lines(lines, n.output_node, b, resistor_tolerance, capacitor_tolerance,
                                         design_pivot_tolerance);
        if (!a.swept) return std::numeric_limits<Real>::infinity();
        for (int p = 0; p <= a.circuit->segments; ++p) worst = std::max(worst, a.sweep->points[p].module_dev);
    }
    return worst;
}

SectionMeasure measure_with_opamps(const SectionCircuit& s, const OpAmpModel& opamp) {
    SectionMeasure m = measure(s);
    if (opamp.ideal) return m;
    const CascadeNetlist n = cascade_netlist({{s}, opamp});
    auto c = std::make_unique<Circuit>();
    read_into(*c, netlist_lines(n, {}));
    c->output_node = n.output_node;
    c->output_column = c->column_map[n.output_node];
    AnalysisSettings settings;
    settings.pivot_tolerance = 1e-20L;
    const PoleZeroSearch r = find_poles_zeros(*c, settings, true);
    std::vector<ComplexReal> poles;
    for (const auto* list : {&r.found, &r.unconfirmed, &r.pivot_limited})
        for (const PoleZeroPoint& p : *list) poles.emplace_back(p.re, p.im);
    const Real w0 = s.goal.w0;
    auto distance = [&](const ComplexReal& p) { return std::fabs(std::log(std::abs(p) / w0)); };
    std::sort(poles.begin(), poles.end(), [&](auto& a, auto& b) { return distance(a) < distance(b); });
    if (first_order(s.goal.shape)) {
        if (!poles.empty()) m.w0 = std::abs(poles.front());
        return m;
    }
    for (const ComplexReal& p : poles)
        if (p.imag() > 0) {
            if (distance(p) > std::log(Real(4))) break;
            m.w0 = std::abs(p);
            m.q = std::abs(p) / (-2 * p.real());
            return m;
        }
    // Real poles: the two nearest.
    std::vector<Real> real;
    for (const ComplexReal& p : poles)
        if (std::fabs(p.imag()) <= 1e-9L * std::abs(p)) real.push_back(-p.real());
    if (real.size() >= 2) {
        m.w0 = std::sqrt(real[0] * real[1]);
        m.q = m.w0 / (real[0] + real[1]);
    }
    return m;
}

FilterCheck check_filter(const CascadeNetlist& n, const ResponseMask& mask, int segments) {
    FilterCheck f;
    Real lo = std::numeric_limits<Real>::infinity(), hi = 0;
    for (const MaskRange& r : mask.ranges) {
        lo = std::min(lo, r.f1);
        hi = std::max(hi, r.f2);
    }
    if (!(hi > lo)) hi = lo * 10, lo /= 10;
    const std::vector<std::string> lines = netlist_lines(n, {});
    const Band band{lo, hi, mask.hertz, segments};
    Analysed a = analyse_lines(lines, n.output_node, band, 0, 0);
    if (!a.swept) {
        a = analyse_lines(lines, n.output_node, band, 0, 0, design_pivot_tolerance);
        f.small_pivots = true;
    }
    if (!a.swept) {
        f.lines.push_back(std::string("* O circuito projetado não pôde ser analisado: ") +
                          solve_failure_message(a.failure.outcome));
        return f;
    }
    const Circuit& c = *a.circuit;
    const Sweep& sw = *a.sweep;
    const std::vector<MaskConstraint> k = mask_constraints(mask, sw, c.segments);
    f.nominal = check_mask(k, constraint_values(k, sw), {});
    f.meets = f.nominal.meets;
    f.lines = mask_check_lines("Resposta nominal", f.nominal, k, sw);
    f.output_peak = sw.node_max[n.output_node];
    f.levels_ok = true;
    std::size_t opamp = 0;
    for (const NetElement& e : n.elements) {
        if (e.kind != 'O' && e.kind != 'A') continue;
        const int node = n.opamp_outputs[opamp++];
        if (node == n.output_node) continue;
        const Real peak = sw.node_max[node];
        f.levels.push_back({e.name, node, peak});
        if (peak > f.output_peak * (1 + 1e-9L)) f.levels_ok = false;
    }
    return f;
}

}  // namespace analysis::design
