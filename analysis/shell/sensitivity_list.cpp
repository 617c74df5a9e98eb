#include "analysis/shell/sensitivity_list.h"

#include <cmath>

namespace analysis {

namespace {

struct QuantityLabel {
    const char* label;
    const char* unit;
};

constexpr QuantityLabel quantity_labels[] = {
    {"Modl", "dB"}, {"Fase", "gr"}, {"AtGr", "s"}, {"VeMo", "dB"}, {"VeFa", "gr"}};

Real quantity(const PointRecord& r, int k) {
    switch (k) {
        case q_module:
            return r.module;
        case q_phase:
            return r.phase;
        case q_delay:
            return r.delay;
        case q_module_dev:
            return r.module_dev;
        default:
            return r.phase_dev;
    }
}

}  // namespace

std::vector<std::string> sensitivity_list(const Circuit& c, Engine& e, const Sweep& sw,
                                          const AnalysisSettings& s) {
    const int p = sw.cursor;
    const PointRecord& r = sw.points[p];
    auto fmt = [&s](Real x) { return listing_number(s, x); };
    std::vector<std::string> lines;
    lines.push_back("Nó " + std::to_string(c.output_node) + "; Sensibilidades de T(s) em " +
                    fmt(r.frequency) + " " + frequency_unit_name(sw) + " " +
                    (s.normalise_by_slope ? "normalizadas" : ""));
    e.point_index = p;
    const Complex sum = sum_frequency_sensitivity(c, e, p);
    Real nm = 1, nf = 1;
    if (s.normalise_by_slope) {
        nm = std::sqrt(sum.re * sum.re + 1);
        nf = std::sqrt(sum.im * sum.im + 1);
    }
    lines.push_back("S(T,s): " + fmt(sum.re) + " " + fmt(sum.im) + "j");
    for (int i = 1; i <= c.element_count; ++i) {
        const Complex si = sensitivity(e, p, i);
        lines.push_back("S(T," + c.elements[i].name + "): " + fmt(si.re / nm) + " " + fmt(si.im / nf) + "j");
    }
    for (int k = q_module; k <= q_phase_dev; ++k) {
        const QuantityLabel& q = quantity_labels[k - 1];
        lines.push_back(q.label + fmt(quantity(r, k)) + " " + q.unit);
    }
    lines.push_back("E(" + std::to_string(c.output_node) + ") normal : " + fmt(r.t_re) + " " + fmt(r.t_im) +
                    "j");
    lines.push_back("E(" + std::to_string(s.adjoint_listed_node) + ") adjunta: " + fmt(r.adj_re) + " " +
                    fmt(r.adj_im) + "j");
    return lines;
}

}  // namespace analysis
