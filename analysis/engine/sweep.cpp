// The frequency sweep: points, node extremes, deviations, pan and zoom.
#include "analysis/engine/sweep.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "common/errors.h"
#include "common/numtext.h"

namespace analysis {
namespace {

constexpr Real two_pi = 6.283185307179586L;
constexpr Real ln_10 = 2.30258509299405L;
constexpr Real nepers_to_db = 8.68588963806502L;
constexpr Real radians_to_degrees = 57.29577951308232L;
constexpr long long memory_budget = 99999900;  // bytes of sensitivity blocks
constexpr int bytes_per_value = 10;            // as the budget counts an extended real

// node_max and node_min from the squared extremes: the square root is
// monotonic, so this is the largest and smallest modulus itself.
void publish_extremes(const Circuit& c, Sweep& sw) {
    for (int k = 1; k <= c.node_count; ++k) {
        sw.node_max[k] = std::sqrt(sw.node_max_sq[k]);
        sw.node_min[k] = std::isinf(sw.node_min_sq[k]) ? 1e37L : std::sqrt(sw.node_min_sq[k]);
    }
}

// At the end of a sweep, however it ends: publish the extremes and stop
// using the fixed part.
struct SweepEnd {
    const Circuit& c;
    Engine& e;
    Sweep& sw;
    ~SweepEnd() {
        publish_extremes(c, sw);
        e.use_fixed_part = false;
    }
};

// Solves point p at frequency f and stores its response.
// Solves point p; the outcome of a solve that failed.
SolveOutcome compute_point(Circuit& c, Engine& e, Sweep& sw, const AnalysisSettings& s, int p, Real f) {
    e.point_index = p;
    e.omega = sw.hertz_units ? two_pi * f : f;
    if (const SolveOutcome o = try_build_and_solve(c, e, s.pivot_tolerance); o != SolveOutcome::solved)
        return o;
    const NodalSystem& sys = e.system;
    for (int k = 1; k <= c.node_count; ++k) {
        const int col = c.column_map[k];  // node_voltage, inlined: 0 for ground
        const Real re = col == 0 ? 0 : sys.normal_re[col], im = col == 0 ? 0 : sys.normal_im[col];
        const Real v2 = re * re + im * im;
        if (v2 > sw.node_max_sq[k]) sw.node_max_sq[k] = v2;
        if (v2 < sw.node_min_sq[k]) sw.node_min_sq[k] = v2;
    }
    PointRecord& pt = sw.points[p];
    const Complex t{e.system.normal_re[c.output_column], e.system.normal_im[c.output_column]};
    pt.frequency = f;
    pt.t_re = t.re;
    pt.t_im = t.im;
    pt.module = 10 * std::log(t.re * t.re + t.im * t.im) / ln_10;
    pt.phase = phase_angle(t.im, t.re) * 180 / std::numbers::pi_v<Real>;
    const Complex adj = adjoint_voltage(c, e, s.adjoint_listed_node);
    pt.adj_re = adj.re;
    pt.adj_im = adj.im;
    pt.delay = -e.sens_sum_im / e.omega;  // Σ left by build_and_solve
    if (!sw.noise_sources.empty()) {
        Real* row = sw.noise_power.data() + static_cast<std::size_t>(p) * sw.noise_sources.size();
        pt.noise = std::sqrt(noise_powers(c, e, sw.noise_sources, row));
    }
    return SolveOutcome::solved;
}

// Statistical deviations of point p from its sensitivities and the
// elements' variabilities; Σ is recomputed unless the point is fresh.
void compute_deviations(const Circuit& c, Engine& e, Sweep& sw, const AnalysisSettings& s, int p,
                        bool fresh) {
    Real dm = 0, df = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const Complex si = sensitivity(e, p, i);
        const Real a = c.variability[i] * si.re;
        const Real b = c.variability[i] * si.im;
        dm += a * a;
        df += b * b;
    }
    if (s.normalise_by_slope) {
        const Complex sum =
            fresh ? Complex{e.sens_sum_re, e.sens_sum_im} : sum_frequency_sensitivity(c, e, p);
        dm /= sum.re * sum.re + 1;
        df /= sum.im * sum.im + 1;
    }
    sw.points[p].module_dev = nepers_to_db * std::sqrt(dm);
    sw.points[p].phase_dev = radians_to_degrees * std::sqrt(df);
}

// Point `from` (record and sensitivity blocks) goes to `to`.
void move_point(Engine& e, Sweep& sw, int from, int to) {
    sw.points[to] = sw.points[from];
    const std::size_t n = sw.noise_sources.size();
    std::copy_n(sw.noise_power.begin() + static_cast<std::ptrdiff_t>(from * n), n,
                sw.noise_power.begin() + static_cast<std::ptrdiff_t>(to * n));
    const auto size = static_cast<std::ptrdiff_t>(e.block_size);
    std::copy_n(e.sens_re.get() + from * size, size, e.sens_re.get() + to * size);
    std::copy_n(e.sens_im.get() + from * size, size, e.sens_im.get() + to * size);
}

bool can_move(const Circuit& c, const Engine& e, const Sweep& sw) {
    return sw.prepared && e.block_size == c.element_count && e.block_count == c.segments + 2;
}

}  // namespace

void reset_sweep(Circuit& c, Engine& e, Sweep& sw, const Log& log) {
    const int requested = c.segments;
    long long n = requested;
    const long long block = static_cast<long long>(c.element_count) * bytes_per_value;
    if (block > 0) n = std::min(n, memory_budget / (2 * block) - 2);  // no budget for an empty circuit
    n = std::min<long long>(std::max<long long>(n, 2), max_segments);
    if (n % 2 != 0) n -= 1;
    c.segments = static_cast<int>(n);
    if (c.segments != requested)
        log("Número de segmentos no gráfico ajustado para " + suite::format_int(c.segments));

    for (PointRecord& pt : sw.points) pt.computed = false;
    sw.node_max.fill(0);
    sw.node_min.fill(1e37L);
    sw.node_max_sq.fill(0);
    sw.node_min_sq.fill(std::numeric_limits<Real>::infinity());
    sw.last_point = 0;
    sw.cursor = 0;
    sw.response_valid = false;
    sw.pz_valid = false;  // the blocks that held them are released
    sw.deviations_stale = true;
    allocate_sensitivity_blocks(e, c.element_count, c.segments + 2);
    sw.noise_power.assign(static_cast<std::size_t>(c.segments + 2) * sw.noise_sources.size(), 0);
    sw.prepared = c.present && c.element_count > 0;
}

void prepare_noise(const Circuit& c, Sweep& sw, const NoiseSettings& n) {
    sw.noise_sources = n.on ? noise_sources(c, n) : std::vector<NoiseSource>{};
    sw.noise_power.assign(static_cast<std::size_t>(c.segments + 2) * sw.noise_sources.size(), 0);
    for (PointRecord& pt : sw.points) {
        pt.computed = false;
        pt.noise = 0;
    }
    sw.response_valid = false;
}

void forget_response(Sweep& sw) {
    sw.prepared = false;
    sw.noise_sources.clear();  // they name elements of the circuit read before
    sw.noise_power.clear();
    sw.response_valid = false;
    sw.pz_valid = false;
}

bool sweep(Circuit& c, Engine& e, Sweep& sw, const AnalysisSettings& s, const Log& log,
           const SegmentCallback& on_segment, SweepFailure* failure) {
    if (!can_move(c, e, sw)) return false;
    const int n = c.segments;
    const Real fmin = sw.scale_min[q_frequency];
    const Real fmax = sw.scale_max[q_frequency];
    if (sw.log_scale && !(fmin > 0 && fmax > 0)) {
        log("* A escala logarítmica exige frequências positivas.");
        return false;
    }
    if (!(fmin < fmax)) {
        log("* A frequência mínima deve ser menor que a máxima.");
        return false;
    }
    e.sigma = 0;
    e.normalised_sensitivities = true;
    e.observer_mode = false;
    const Real ratio = sw.log_scale ? std::pow(fmax / fmin, 1 / static_cast<Real>(n)) : 1;
    const Real step = sw.log_scale ? 0 : (fmax - fmin) / n;

    const SweepEnd end{c, e, sw};
    for (int p = 0; p <= n; ++p)
        if (!sw.points[p].computed) {
            prepare_fixed_part(c, e);
            e.use_fixed_part = true;
            break;
        }
    Real f = fmin;
    for (int p = 0; p <= n; ++p) {
        const bool fresh = !sw.points[p].computed;
        if (fresh) {
            if (f == 0) {  // L, A and K stamps divide by s, the group delay by omega
                log("* Frequência nula não pode ser analisada.");
                return false;
            }
            if (const SolveOutcome o = compute_point(c, e, sw, s, p, f); o != SolveOutcome::solved) {
                if (!failure) throw suite::FatalError(solve_failure_message(o));
                *failure = {o, p, f};
                return false;
            }
        }
        if (fresh || sw.deviations_stale) compute_deviations(c, e, sw, s, p, fresh);
        sw.points[p].computed = true;
        sw.last_point = p;
        if (p > 0 && on_segment) on_segment(p);
        f = sw.log_scale ? f * ratio : f + step;
    }
    sw.last_point = n;
    sw.deviations_stale = false;
    sw.response_valid = true;
    sw.pz_valid = false;
    return true;
}

bool pan_frequency_down(Circuit& c, Engine& e, Sweep& sw) {
    Real& fmin = sw.scale_min[q_frequency];
    Real& fmax = sw.scale_max[q_frequency];
    if (!can_move(c, e, sw) || !(fmin > 1e-12L)) return false;
    if (sw.log_scale) {
        const Real k = std::sqrt(fmax / fmin);
        fmin /= k;
        fmax /= k;
    } else {
        const Real half = (fmax - fmin) / 2;
        fmin -= half;
        fmax -= half;
    }
    const int n = c.segments, m = n / 2;
    for (int i = n - m; i >= 0; --i) move_point(e, sw, i, i + m);
    for (int i = 0; i < m; ++i) sw.points[i].computed = false;
    sw.cursor = std::min(sw.cursor + m, n);
    sw.response_valid = false;
    return true;
}

bool pan_frequency_up(Circuit& c, Engine& e, Sweep& sw) {
    Real& fmin = sw.scale_min[q_frequency];
    Real& fmax = sw.scale_max[q_frequency];
    if (!can_move(c, e, sw) || !(fmax < 1e12L)) return false;
    if (sw.log_scale) {
        const Real k = std::sqrt(fmax / fmin);
        fmin *= k;
        fmax *= k;
    } else {
        const Real half = (fmax - fmin) / 2;
        fmin += half;
        fmax += half;
    }
    const int n = c.segments, m = n / 2;
    for (int i = 0; i <= n - m; ++i) move_point(e, sw, m + i, i);
    for (int i = m + 1; i <= n; ++i) sw.points[i].computed = false;
    sw.cursor = std::max(sw.cursor - m, 0);
    sw.response_valid = false;
    return true;
}

bool zoom_frequency_in(Circuit& c, Engine& e, Sweep& sw) {
    Real& fmin = sw.scale_min[q_frequency];
    Real& fmax = sw.scale_max[q_frequency];
    if (!can_move(c, e, sw)) return false;
    fmax = sw.log_scale ? std::sqrt(fmax * fmin) : fmin + (fmax - fmin) / 2;
    const int n = c.segments, m = n / 2;
    for (int i = m; i >= 1; --i) move_point(e, sw, i, 2 * i);
    for (int i = 1; i <= n; i += 2) sw.points[i].computed = false;
    sw.cursor = sw.cursor > m ? n : 2 * sw.cursor;
    sw.response_valid = false;
    return true;
}

bool zoom_frequency_out(Circuit& c, Engine& e, Sweep& sw) {
    Real& fmin = sw.scale_min[q_frequency];
    Real& fmax = sw.scale_max[q_frequency];
    if (!can_move(c, e, sw) || !(fmax < 1e12L)) return false;
    fmax = sw.log_scale ? fmax * fmax / fmin : fmin + 2 * (fmax - fmin);
    const int n = c.segments, m = n / 2;
    for (int i = 1; i <= m; ++i) move_point(e, sw, 2 * i, i);
    for (int i = m + 1; i <= n; ++i) sw.points[i].computed = false;
    sw.cursor /= 2;
    sw.response_valid = false;
    return true;
}

std::string frequency_unit_name(const Sweep& sw) { return sw.hertz_units ? "Hz" : "rad/s"; }

}  // namespace analysis
