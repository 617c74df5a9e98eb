// The linear worst case and its vertex check.
#include "analysis/tolerance/worst_case.h"

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <stdexcept>

#include "analysis/engine/montecarlo.h"
#include "analysis/tolerance/mask.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

constexpr Real two_pi = 6.283185307179586L;
constexpr Real nepers_to_db = 8.68588963806502L;
constexpr Real radians_to_degrees = 57.29577951308232L;
constexpr Real not_solved = std::numeric_limits<Real>::quiet_NaN();

// T of the circuit at s = j·omega, or false when it cannot be had.
bool response_at(Circuit& c, Engine& e, Real omega, Real pivot_tolerance, Complex& t) {
    e.sigma = 0;
    e.omega = omega;
    if (try_build_and_solve(c, e, pivot_tolerance) != SolveOutcome::solved) return false;
    t = {e.system.normal_re[c.output_column], e.system.normal_im[c.output_column]};
    return (t.re != 0 || t.im != 0) && std::isfinite(t.re) && std::isfinite(t.im);
}

// The vertex of point p in one direction: every element at
// value·(1 + direction·v_i·sign) with the sign of the real (module) or the
// imaginary (phase) part of its sensitivity.
void vertex_factors(const Circuit& c, const Engine& e, int p, bool imaginary, int direction,
                    ElementReals& factor) {
    factor.fill(1);
    for (int i = 1; i <= c.element_count; ++i) {
        const Complex s = sensitivity(e, p, i);
        const Real part = imaginary ? s.im : s.re;
        factor[i] = 1 + direction * c.variability[i] * (part < 0 ? -1 : 1);
    }
}

}  // namespace

WorstCasePoint linear_worst_case(const Circuit& c, const Engine& e, int p) {
    Real m = 0, f = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const Complex s = sensitivity(e, p, i);
        m += std::fabs(c.variability[i] * s.re);
        f += std::fabs(c.variability[i] * s.im);
    }
    return {nepers_to_db * m, radians_to_degrees * f};
}

WorstCaseResult worst_case(const Circuit& c, const Engine& e, const Sweep& sw, const AnalysisSettings& s) {
    if (!sw.response_valid) throw std::logic_error("worst_case: no finished sweep");
    WorstCaseResult r;
    auto sample = std::make_unique<Circuit>(c);
    auto se = std::make_unique<Engine>();
    allocate_sensitivity_blocks(*se, c.element_count, 1);
    se->point_index = 0;
    se->response_only = true;
    ElementReals factor;
    for (int p = 0; p <= sw.last_point; ++p) {
        r.linear.push_back(linear_worst_case(c, e, p));
        const PointRecord& pt = sw.points[p];
        const Real omega = sw.hertz_units ? two_pi * pt.frequency : pt.frequency;
        const Complex nominal{pt.t_re, pt.t_im};
        Real change[2][2];  // [module, phase][up, down]
        for (int part = 0; part < 2; ++part)
            for (int side = 0; side < 2; ++side) {
                vertex_factors(c, e, p, part == 1, side == 0 ? 1 : -1, factor);
                scale_circuit(c, *sample, factor);
                Complex t;
                if (!response_at(*sample, *se, omega, s.pivot_tolerance, t)) {
                    ++r.unsolved;
                    change[part][side] = not_solved;
                    continue;
                }
                const Complex q = complex_divide(t, nominal);
                const Real value = part == 0 ? 10 * std::log10(q.re * q.re + q.im * q.im)
                                             : std::atan2(q.im, q.re) * radians_to_degrees;
                change[part][side] = side == 0 ? value : -value;
            }
        r.vertex.push_back({change[0][0], change[0][1], change[1][0], change[1][1]});
    }
    return r;
}

std::vector<std::string> worst_case_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s,
                                                const WorstCaseResult& r) {
    std::vector<std::string> lines;
    lines.push_back("# Pior caso (" + frequency_unit_name(sw) + "):Saida " +
                    suite::format_int(c.output_node) +
                    "; limite linear e vértices (Frq, PcM, VM+, VM-, PcF, VF+, VF-)");
    for (std::size_t p = 0; p < r.linear.size(); ++p) {
        const WorstCasePoint& w = r.linear[p];
        const VertexPoint& v = r.vertex[p];
        const Real columns[] = {
            sw.points[p].frequency, w.module, v.module_up, v.module_down, w.phase, v.phase_up, v.phase_down};
        lines.push_back(listing_row(s, columns));
    }
    lines.push_back("");
    return lines;
}

void save_worst_case_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                           const AnalysisSettings& s, const WorstCaseResult& r, const Log& log) {
    suite::write_text_file(file_name, worst_case_table_lines(c, sw, s, r));
    log("Tabela de pior caso salva no arquivo " + file_name);
}

std::vector<std::string> worst_case_summary(const Sweep& sw, const WorstCaseResult& r) {
    int module_at = 0, phase_at = 0, module_off_at = 0, phase_off_at = 0;
    Real module_off = 0, phase_off = 0;
    for (std::size_t p = 0; p < r.linear.size(); ++p) {
        const int i = static_cast<int>(p);
        if (r.linear[p].module > r.linear[static_cast<std::size_t>(module_at)].module) module_at = i;
        if (r.linear[p].phase > r.linear[static_cast<std::size_t>(phase_at)].phase) phase_at = i;
        const VertexPoint& v = r.vertex[p];
        for (Real x : {v.module_up, v.module_down})
            if (std::fabs(x - r.linear[p].module) > module_off) {
                module_off = std::fabs(x - r.linear[p].module);
                module_off_at = i;
            }
        for (Real x : {v.phase_up, v.phase_down})
            if (std::fabs(x - r.linear[p].phase) > phase_off) {
                phase_off = std::fabs(x - r.linear[p].phase);
                phase_off_at = i;
            }
    }
    std::vector<std::string> lines;
    if (r.linear.empty()) return lines;
    lines.push_back("Pior caso linear: módulo até ±" +
                    short_text(r.linear[static_cast<std::size_t>(module_at)].module) + " dB (em " +
                    point_frequency_text(sw, module_at) + "), fase até ±" +
                    short_text(r.linear[static_cast<std::size_t>(phase_at)].phase) + " gr (em " +
                    point_frequency_text(sw, phase_at) + ")");
    lines.push_back("Vértices: o módulo se afasta do limite linear em até " + short_text(module_off) +
                    " dB (em " + point_frequency_text(sw, module_off_at) + "), a fase em até " +
                    short_text(phase_off) + " gr (em " + point_frequency_text(sw, phase_off_at) + ")");
    if (r.unsolved > 0)
        lines.push_back("* Pior caso: " + suite::format_int(r.unsolved) +
                        " circuitos de vértice insolúveis (sistema singular ou saída nula)");
    return lines;
}

}  // namespace analysis
