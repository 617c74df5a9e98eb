// Monte Carlo check of the deviations: drawing circuits, solving them over
// the sweep's points, and the table.
#include "analysis/engine/montecarlo.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <stdexcept>

#include "common/errors.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

constexpr Real two_pi = 6.283185307179586L;  // as the sweep turns Hz into rad/s
constexpr Real radians_to_degrees = 180 / std::numbers::pi_v<Real>;

char kind_of(const Circuit& c, int i) { return element_kind(c, i); }

// The points of the sweep: where to solve and the nominal T there.
struct Points {
    std::vector<Real> omega;
    std::vector<Complex> nominal;
};

Points points_of(const Sweep& sw) {
    Points x;
    for (int p = 0; p <= sw.last_point; ++p) {
        const PointRecord& pt = sw.points[p];
        x.omega.push_back(sw.hertz_units ? two_pi * pt.frequency : pt.frequency);
        x.nominal.push_back({pt.t_re, pt.t_im});
    }
    return x;
}

// Solves one drawn circuit at every point: module (dB) and phase (degrees)
// of T/T_nominal into dm and df. False when the circuit is rejected.
bool solve_sample(Circuit& c, Engine& e, Real pivot_tolerance, const Points& x, std::vector<Real>& dm,
                  std::vector<Real>& df) {
    prepare_fixed_part(c, e);
    e.use_fixed_part = true;
    for (std::size_t p = 0; p < x.omega.size(); ++p) {
        e.omega = x.omega[p];
        if (try_build_and_solve(c, e, pivot_tolerance) != SolveOutcome::solved)
            return false;  // singular here
        const Complex t{e.system.normal_re[c.output_column], e.system.normal_im[c.output_column]};
        if (t.re == 0 && t.im == 0) return false;
        const Complex q = complex_divide(t, x.nominal[p]);
        dm[p] = 10 * std::log10(q.re * q.re + q.im * q.im);
        df[p] = std::atan2(q.im, q.re) * radians_to_degrees;
        if (!std::isfinite(dm[p]) || !std::isfinite(df[p])) return false;
    }
    return true;
}

// Running mean and sum of squared differences from it (Welford), per point.
struct Moments {
    std::vector<Real> mean, m2;
    explicit Moments(std::size_t points) : mean(points), m2(points) {}
    void add(const std::vector<Real>& v, int count) {
        for (std::size_t p = 0; p < v.size(); ++p) {
            const Real d = v[p] - mean[p];
            mean[p] += d / count;
            m2[p] += d * (v[p] - mean[p]);
        }
    }
    std::vector<Real> standard_deviation(int count) const {
        std::vector<Real> sd(m2.size());
        for (std::size_t p = 0; p < m2.size(); ++p) sd[p] = std::sqrt(m2[p] / (count - 1));
        return sd;
    }
};

}  // namespace

double NormalDraws::next() {
    if (have_spare_) {
        have_spare_ = false;
        return spare_;
    }
    for (;;) {
        const double u = 2 * (static_cast<double>(generator_() >> 11) * 0x1p-53) - 1;
        const double v = 2 * (static_cast<double>(generator_() >> 11) * 0x1p-53) - 1;
        const double r = u * u + v * v;
        if (r >= 1 || r == 0) continue;
        const double k = std::sqrt(-2 * std::log(r) / r);
        spare_ = v * k;
        have_spare_ = true;
        return u * k;
    }
}

std::string monte_carlo_refusal(const Circuit& c) {
    for (int i = 1; i <= c.element_count; ++i)
        if (!(std::fabs(c.variability[i]) <= monte_carlo_variability_limit))
            return "* Monte Carlo: variabilidade acima de " +
                   suite::format_general(monte_carlo_variability_limit) + " em " + c.elements[i].name + ".";
    return "";
}

void draw_circuit(const Circuit& c, Circuit& sample, NormalDraws& draws, long long& redrawn) {
    ElementReals factor;
    factor.fill(1);
    for (int i = 1; i <= c.element_count; ++i) {
        const Real v = c.variability[i];
        if (v == 0) continue;
        for (;;) {
            factor[i] = 1 + v * static_cast<Real>(draws.next());
            if (factor[i] > 0) break;
            ++redrawn;
        }
    }
    scale_circuit(c, sample, factor);
}

void scale_circuit(const Circuit& c, Circuit& sample, const ElementReals& factor) {
    for (int i = 1; i <= c.element_count; ++i) sample.elements[i].value = c.elements[i].value * factor[i];
    for (int i = 1; i <= c.element_count; ++i) {
        const char kind = kind_of(c, i);
        // Ro and hie with GB and hfe kept: the element before stamps GB/Ro, hfe/hie.
        if (i > 1 && ((kind == 'a' && kind_of(c, i - 1) == 'A') || (kind == 'q' && kind_of(c, i - 1) == 'Q')))
            sample.elements[i - 1].value /= factor[i];
        // Rs with Vs kept: the v element after it is the Norton current Vs/Rs.
        if (kind == 'Z' && i < c.element_count && kind_of(c, i + 1) == 'v')
            sample.elements[i + 1].value /= factor[i];
        // The engine reads the gain of E and F from where the reader put it.
        if (kind == 'E' || kind == 'F') {
            sample.stamp_re[i] = sample.elements[i].value;
            sample.stamp_im[i] = 0;
        }
    }
}

MonteCarloResult monte_carlo(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                             int samples, std::uint64_t seed, const MonteCarloSample& on_sample) {
    if (!sw.response_valid) throw std::logic_error("monte_carlo: no finished sweep");
    MonteCarloResult r;
    r.samples = samples;
    r.seed = seed;
    r.normalised = s.normalise_by_slope;
    const Points x = points_of(sw);
    const std::size_t n = x.omega.size();

    auto sample = std::make_unique<Circuit>(c);
    auto se = std::make_unique<Engine>();
    allocate_sensitivity_blocks(*se, c.element_count, 1);
    se->point_index = 0;
    se->sigma = 0;
    se->response_only = true;  // no sensitivities: a zero output is a rejection, not a fatal error
    NormalDraws draws(seed);
    std::vector<Real> dm(n), df(n);
    Moments module(n), phase(n);
    for (int k = 0; k < samples; ++k) {
        draw_circuit(c, *sample, draws, r.redrawn);
        if (!solve_sample(*sample, *se, s.pivot_tolerance, x, dm, df)) {
            ++r.rejected;
            continue;
        }
        ++r.accepted;
        if (on_sample) on_sample(dm, df);
        module.add(dm, r.accepted);
        phase.add(df, r.accepted);
    }
    if (r.accepted < 2) return r;
    r.module_sd = module.standard_deviation(r.accepted);
    r.phase_sd = phase.standard_deviation(r.accepted);
    if (r.normalised)
        for (std::size_t p = 0; p < n; ++p) {
            const Complex sum = sum_frequency_sensitivity(c, e, static_cast<int>(p));
            r.module_sd[p] /= std::sqrt(sum.re * sum.re + 1);
            r.phase_sd[p] /= std::sqrt(sum.im * sum.im + 1);
        }
    return r;
}

std::vector<std::string> monte_carlo_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s,
                                                 const MonteCarloResult& r) {
    std::vector<std::string> lines;
    lines.push_back("# Monte Carlo (" + frequency_unit_name(sw) + "):Saida " +
                    suite::format_int(c.output_node) + "; Dsv. " +
                    (r.normalised ? "norm. p/incl." : "normais") + "; Circuitos " +
                    suite::format_int(r.accepted) + " de " + suite::format_int(r.samples) + ", semente " +
                    std::to_string(r.seed) + " (Frq, VeM, VeF, DpM, DpF)");
    for (std::size_t p = 0; p < r.module_sd.size(); ++p) {
        const PointRecord& pt = sw.points[p];
        const Real columns[] = {pt.frequency, pt.module_dev, pt.phase_dev, r.module_sd[p], r.phase_sd[p]};
        lines.push_back(listing_row(s, columns));
    }
    lines.push_back("");
    return lines;
}

void save_monte_carlo_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                            const AnalysisSettings& s, const MonteCarloResult& r, const Log& log) {
    suite::write_text_file(file_name, monte_carlo_table_lines(c, sw, s, r));
    log("Tabela de Monte Carlo salva no arquivo " + file_name);
}

std::string monte_carlo_summary(const MonteCarloResult& r) {
    return "Monte Carlo: " + suite::format_int(r.samples) + " circuitos, semente " + std::to_string(r.seed) +
           "; rejeitados (sistema insolúvel ou saída nula): " + suite::format_int(r.rejected) +
           "; sorteios repetidos (valor nulo ou de sinal trocado): " + suite::format_int(r.redrawn);
}

}  // namespace analysis
