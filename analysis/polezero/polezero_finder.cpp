#include "analysis/polezero/polezero_finder.h"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>

#include "analysis/engine/engine.h"
#include "analysis/polezero/block_observer.h"
#include "analysis/polezero/deviations.h"
#include "analysis/polezero/system_blocks.h"
#include "common/errors.h"
#include "common/numtext.h"

namespace analysis {

namespace {

constexpr Real eps = LDBL_EPSILON;
// The finder factors with every nonzero pivot: it reads D wherever the
// system is not exactly singular, whatever the pivot tolerance of the run.
constexpr Real any_pivot = std::numeric_limits<Real>::min();

Real modulus(Complex a) { return std::hypot(a.re, a.im); }

// ---- the engine as a function of s ---------------------------------------

// D(s) and N(s) = x_out(s)·D(s) from solves on an engine of its own.
class CircuitFunction {
public:
    explicit CircuitFunction(Circuit& c) : c_(c), e_(std::make_unique<Engine>()) {
        allocate_sensitivity_blocks(*e_, c.element_count, 1);
    }
    // False when the system is exactly singular at s (D(s) = 0).
    bool at(Complex s, ScaledComplex& d, ScaledComplex& n) {
        Engine& e = *e_;
        e.observer_mode = false;
        e.normalised_sensitivities = false;
        e.point_index = 0;
        e.sigma = s.re;
        e.omega = s.im;
        if (try_build_and_solve(c_, e, any_pivot) != SolveOutcome::solved) {
            d = {};
            n = {};
            return false;
        }
        d = system_determinant(e.system, c_.equation_count);
        const int col = c_.output_column;
        n = col == 0 ? ScaledComplex{}
                     : times(d, normalised({e.system.normal_re[col], e.system.normal_im[col]}, 0));
        return true;
    }
    Engine& engine() { return *e_; }

private:
    Circuit& c_;
    std::unique_ptr<Engine> e_;
};

// ---- coefficients from a circle ------------------------------------------

// Coefficients beyond the powers D and N can hold are sampled too (at
// least this many on each side, and half as many as the powers held):
// they are rounding noise, and they measure it.
constexpr int least_guard = 4;
// A coefficient is held when it stands this far above that noise (the
// noise of the largest outside coefficient only estimates the rest's).
constexpr Real noise_margin = 1000;
// A circle that falls exactly on a root: the next radius, a sixteenth
// larger, tried this many times in all.
constexpr int radius_attempts = 4;
constexpr Real radius_growth = 1.0625L;
// Roots whose middle lies this many times away from the first radius
// (either way) are sampled again on the circle through their middle.
constexpr Real recentre_ratio = 4;
// Circles this far inside and outside every root found: the roots found
// look like roots at the origin and at infinity from there, and what D
// and N hold beyond them shows as their lowest and highest powers.
constexpr Real far_view = 1e6L;

// Laurent coefficients of D and N, indices lo..hi (powers of u = s/ω0).
struct Expansion {
    Real scale = 1;  // ω0
    int lo = 0, hi = 0;
    std::vector<Real> d, n;  // real parts, [k - lo]
    Real d_noise = 0, n_noise = 0;
};

struct Bounds {
    int lo = 0, hi = 0;  // powers of s that D and N can hold
};

// The table of element kinds says how a stamp enters Σ = s·dD/ds, not
// which power of s it holds: C holds s, L and A hold 1/s, K 1/s twice.
Bounds degree_bounds(const Circuit& c) {
    Bounds b;
    for (int i = 1; i <= c.element_count; ++i) {
        const char k = element_kind(c, i);
        if (k == 'C') ++b.hi;
        if (k == 'L' || k == 'A') --b.lo;
        if (k == 'K') b.lo -= 2;  // the inverse-inductance term enters twice
    }
    return b;
}

// Coefficients c_k = (1/n)·Σ_j f(u_j)·u_j^-k at the points u_j = e^{jπ(2j+1)/n}.
void transform(const std::vector<ScaledComplex>& f, int lo, int hi, int guard, std::vector<Real>& out,
               Real& noise) {
    const int count = static_cast<int>(f.size());
    long unit = std::numeric_limits<long>::min();
    for (const ScaledComplex& v : f)
        if (!is_zero(v)) unit = std::max(unit, v.e);
    out.assign(static_cast<std::size_t>(hi - lo + 1), 0);
    noise = 0;
    if (unit == std::numeric_limits<long>::min()) return;
    std::vector<Complex> values(f.size());
    for (std::size_t j = 0; j < f.size(); ++j) values[j] = in_units(f[j], unit);
    std::vector<Complex> twiddle(static_cast<std::size_t>(2 * count));  // e^{-jπt/n}
    for (int t = 0; t < 2 * count; ++t) {
        const Real a = -std::numbers::pi_v<Real> * t / count;
        twiddle[static_cast<std::size_t>(t)] = {std::cos(a), std::sin(a)};
    }
    Real largest = 0;
    for (const Complex& v : values) largest = std::max(largest, modulus(v));
    noise = eps * largest;
    for (int k = lo - guard; k <= hi + guard; ++k) {
        Complex sum;
        for (int j = 0; j < count; ++j) {
            const long long t = (static_cast<long long>(2 * j + 1) * k) % (2 * count);
            sum = sum + complex_multiply(values[static_cast<std::size_t>(j)],
                                         twiddle[static_cast<std::size_t>(t < 0 ? t + 2 * count : t)]);
        }
        sum = scale(sum, Real(1) / count);
        // A real circuit has real coefficients: the imaginary parts, and
        // the coefficients outside the bounds, are rounding noise.
        noise = std::max(noise, std::fabs(sum.im));
        if (k < lo || k > hi)
            noise = std::max(noise, std::fabs(sum.re));
        else
            out[static_cast<std::size_t>(k - lo)] = sum.re;
    }
}

struct Root {
    Complex z;  // s
    bool converged = false;
    Real step = 0;         // the last step of its polishing: tiny once it converged on its own
    int multiplicity = 1;  // a multiple root, confirmed by the winding around it, is kept this many times
};

// Samples D and N on the circle of radius w0 and transforms them. False
// when the system is exactly singular at one of the points. With `known`
// roots of D (or N, `zeros`), that function is sampled divided by
// Π (s - r)/w0 over them: only its other roots remain, and the bounds
// drop by their count.
bool expand(CircuitFunction& f, Bounds b, Real w0, Expansion& x, const std::vector<Root>& known = {},
            bool zeros = false) {
    b.hi -= static_cast<int>(known.size());
    const int terms = b.hi - b.lo + 1;
    const int guard = std::max(least_guard, terms / 2);
    int count = terms + 2 * guard;
    count += count % 2;
    std::vector<ScaledComplex> d(static_cast<std::size_t>(count)), n(static_cast<std::size_t>(count));
    for (int j = 0; j < count; ++j) {
        const Real a = std::numbers::pi_v<Real> * (2 * j + 1) / count;
        if (!f.at({w0 * std::cos(a), w0 * std::sin(a)}, d[static_cast<std::size_t>(j)],
                  n[static_cast<std::size_t>(j)]))
            return false;
        if (known.empty()) continue;
        const Complex s{w0 * std::cos(a), w0 * std::sin(a)};
        ScaledComplex product{{1, 0}, 0};
        for (const Root& r : known) product = times(product, normalised(scale(s - r.z, 1 / w0), 0));
        if (is_zero(product)) return false;
        ScaledComplex& v = zeros ? n[static_cast<std::size_t>(j)] : d[static_cast<std::size_t>(j)];
        v = normalised(complex_divide(v.m, product.m), v.e - product.e);
    }
    x.scale = w0;
    x.lo = b.lo;
    x.hi = b.hi;
    transform(d, b.lo, b.hi, guard, x.d, x.d_noise);
    transform(n, b.lo, b.hi, guard, x.n, x.n_noise);
    return true;
}

// The coefficients that stand out of the noise: the lowest and highest
// powers held (lowest > highest when none is).
struct Span {
    int low = 1, high = 0;
    bool empty() const { return low > high; }
};

Span significant(const std::vector<Real>& c, int lo, Real noise) {
    const Real threshold = noise_margin * noise;
    Span s;
    for (int k = 0; k < static_cast<int>(c.size()); ++k)
        if (std::fabs(c[static_cast<std::size_t>(k)]) > threshold) {
            if (s.empty()) s.low = k + lo;
            s.high = k + lo;
        }
    return s;
}

// The powers held by D (zeros = false) or N.
Span held(const Expansion& x, bool zeros) {
    return zeros ? significant(x.n, x.lo, x.n_noise) : significant(x.d, x.lo, x.d_noise);
}

// Geometric mean of the moduli of the roots: |c_low / c_high|^(1/degree).
Real root_scale(const std::vector<Real>& c, int lo, Span s) {
    if (s.empty() || s.high == s.low) return 1;
    const Real a = std::fabs(c[static_cast<std::size_t>(s.low - lo)]);
    const Real b = std::fabs(c[static_cast<std::size_t>(s.high - lo)]);
    return std::pow(a / b, Real(1) / (s.high - s.low));
}

// Roots (in u) of c_low + c_{low+1}·u + ... + c_high·u^(high-low):
// eigenvalues of the companion matrix.
std::vector<Complex> polynomial_roots(const std::vector<Real>& c, int lo, Span s) {
    std::vector<Complex> roots;
    if (s.empty()) return roots;
    const int degree = s.high - s.low;
    if (degree == 0) return roots;
    using Matrix = Eigen::Matrix<Real, Eigen::Dynamic, Eigen::Dynamic>;
    Matrix m = Matrix::Zero(degree, degree);
    const Real lead = c[static_cast<std::size_t>(s.high - lo)];
    for (int i = 0; i < degree; ++i) m(0, i) = -c[static_cast<std::size_t>(s.high - 1 - i - lo)] / lead;
    for (int i = 1; i < degree; ++i) m(i, i - 1) = 1;
    Eigen::EigenSolver<Matrix> solver(m, false);
    for (const auto& v : solver.eigenvalues()) roots.push_back({v.real(), v.imag()});
    return roots;
}

// ---- polishing against the engine ----------------------------------------

// Ehrlich-Aberth converges in a handful of steps from the eigenvalues; a
// root still moving after this many does not converge.
constexpr int polish_iterations = 60;
// N is not at hand where D is exactly singular: the estimate moves by
// this much of its size (times the attempt), up to this many times.
constexpr Real nudge = 1e-15L;
constexpr int nudge_attempts = 3;
// A step within the last bits of the root: converged.
constexpr Real settled_step = 16 * eps;
// A step that stops shrinking once below this much of the root: the
// root is down to the rounding noise of the function.
constexpr Real noise_step = 1e-12L;
// After the last iteration, a last step below this much of the root
// still counts as converged.
constexpr Real converged_step = 1e-9L;
// A conjugate pair that did not converge, closer to the real axis than
// this much of its size, is retried as two real roots, this many times.
constexpr Real split_pair = 0.1L;
constexpr int split_attempts = 8;
// A real part below this much of the imaginary part is rounding noise: the
// root is on the imaginary axis.
constexpr Real on_imaginary_axis = 1e-16L;

// f(z)/f'(z) of D (zeros = false) or N (true) at z.
enum class Ratio { ok, singular, failed };

Ratio newton_ratio(CircuitFunction& f, bool zeros, Complex z, Complex& ratio) {
    ScaledComplex d0, n0, d1, n1, d2, n2;
    if (!f.at(z, d0, n0)) {
        if (zeros) return Ratio::singular;  // N(z) is not at hand there
        ratio = {};                         // exactly singular: z is a root of D
        return Ratio::ok;
    }
    const Real h = newton_difference(z);
    if (!f.at({z.re + h, z.im}, d1, n1) || !f.at({z.re - h, z.im}, d2, n2)) return Ratio::failed;
    const std::optional<Complex> step = zeros ? newton_step(n0, n1, n2, h) : newton_step(d0, d1, d2, h);
    if (!step) return Ratio::failed;
    ratio = *step;
    return Ratio::ok;
}

// Ehrlich-Aberth iteration on the engine's D or N from the estimates.
// The estimates come as the eigenvalues do: real ones, and conjugate
// pairs; one member of each pair is iterated and the other mirrors it,
// so real roots stay real and pairs stay exact conjugates. The `fixed`
// roots, found before, stay where they are and only repel the others.
std::vector<Root> polish(CircuitFunction& f, bool zeros, const std::vector<Complex>& estimates,
                         const std::vector<Root>& fixed) {
    std::vector<Root> roots;
    for (const Complex& z : estimates)
        if (z.im >= 0) roots.push_back({z, false});
    std::vector<Real> last_step(roots.size(), std::numeric_limits<Real>::infinity());
    std::vector<bool> active(roots.size(), true);
    for (int iteration = 0; iteration < polish_iterations; ++iteration) {
        bool any = false;
        for (std::size_t i = 0; i < roots.size(); ++i) {
            if (!active[i]) continue;
            Root& r = roots[i];
            Complex ratio;
            Ratio got = newton_ratio(f, zeros, r.z, ratio);
            // A zero of N exactly on a root of D (a cancelled pair): N is
            // taken a hair away from it.
            for (int attempt = 1; got == Ratio::singular && attempt <= nudge_attempts; ++attempt) {
                r.z.re += modulus(r.z) * nudge * attempt;
                got = newton_ratio(f, zeros, r.z, ratio);
            }
            if (got != Ratio::ok) {
                active[i] = false;
                continue;
            }
            // Σ 1/(z - w) over the other roots, conjugates included.
            Complex sum;
            auto add = [&](Complex w) {
                const Complex d = r.z - w;
                if (d.re != 0 || d.im != 0) sum = sum + complex_divide({1, 0}, d);
            };
            for (std::size_t j = 0; j < roots.size(); ++j) {
                const Complex w = roots[j].z;
                if (j != i) add(w);
                if (w.im != 0) add({w.re, -w.im});
            }
            for (const Root& w : fixed) add(w.z);
            const Complex den = Complex{1, 0} - complex_multiply(ratio, sum);
            Complex step = (den.re == 0 && den.im == 0) ? ratio : complex_divide(ratio, den);
            if (r.z.im == 0) step.im = 0;
            const Real size = modulus(step), at = modulus(r.z);
            if (!std::isfinite(size)) {
                active[i] = false;
                continue;
            }
            r.z = r.z - step;
            if (r.z.im < 0 && r.z.im != 0) r.z.im = -r.z.im;  // keep the upper member
            any = true;
            if (size <= settled_step * at || (size >= last_step[i] && last_step[i] <= noise_step * at)) {
                active[i] = false;  // converged, or down to the rounding noise
                r.converged = true;
            }
            last_step[i] = size;
        }
        if (!any) break;
    }
    for (std::size_t i = 0; i < roots.size(); ++i)
        if (!roots[i].converged) roots[i].converged = last_step[i] <= converged_step * modulus(roots[i].z);
    std::vector<Root> out;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        Root r = roots[i];
        r.step = std::isfinite(last_step[i]) ? last_step[i] : modulus(r.z);
        out.push_back(r);
        if (r.z.im != 0) out.push_back({{r.z.re, -r.z.im}, r.converged, r.step, 1});
    }
    return out;
}

// ---- multiple roots ----------------------------------------------------

// The function sampled around a circle, for its winding and its mean root.
constexpr int winding_points = 64;
// Estimates are gathered when closer than this much of their size, and
// then only when their polishing steps stay within this many times their
// distance (a simple root's shrink far below it)...
constexpr Real gather_distance = 1e-4L;
constexpr Real gather_over_step = 1e4L;
// ...or when closer than this, whatever their steps say (a polished
// estimate can land where the function rounds to 0); roots this close
// are one root everywhere in the search.
constexpr Real same_root = 1e-8L;
// The circle around gathered estimates: this many times their spread,
// at least this much of their size, at most a third of the way to the
// nearest other root, and at least this many times their spread for the
// winding to hold them all.
constexpr Real circle_over_spread = 100;
constexpr Real least_circle = 1e-12L;
constexpr Real clear_of_others = 3;
constexpr Real least_circle_over_spread = 4;
// A mean root whose imaginary part is below this much of its size is
// real: the imaginary part is the rounding noise of the circle.
constexpr Real on_real_axis = 1e-18L;

bool close_roots(Complex a, Complex b) {
    return modulus(a - b) <= same_root * std::max(modulus(a), modulus(b));
}

// The roots of D or N (`zeros`) inside the circle |s - c| = r: their
// number (the winding of the function around the circle; -1 when it
// cannot be told) and their mean. On the circle, log f(c + r·e^jθ) less
// the winding m·(log r + jθ) holds the roots inside as the e^-jθ term
// -Σδ/r (δ each root's offset from c), while the roots outside only add
// terms in e^+jθ: the mean is c + Σδ/m, from the first Fourier
// coefficient, exact to the rounding noise of the function on the circle.
int roots_inside(CircuitFunction& f, bool zeros, Complex c, Real r, Complex& mean) {
    constexpr int points = winding_points;
    constexpr Real pi = std::numbers::pi_v<Real>;
    std::vector<Real> log_size(points), phase(points);
    Real unwrapped = 0, last = 0;
    for (int t = 0; t <= points; ++t) {
        const Real a = 2 * pi * t / points;
        ScaledComplex d, n;
        if (!f.at({c.re + r * std::cos(a), c.im + r * std::sin(a)}, d, n)) return -1;
        const ScaledComplex& v = zeros ? n : d;
        if (is_zero(v)) return -1;
        const Real arg = std::atan2(v.m.im, v.m.re);
        unwrapped = t == 0 ? arg : unwrapped + angle_step(last, arg);
        last = arg;
        if (t < points) {
            log_size[t] = std::log(modulus(v.m)) + static_cast<Real>(v.e) * std::numbers::ln2_v<Real>;
            phase[t] = unwrapped;
        }
    }
    const int m = static_cast<int>(std::lround((unwrapped - phase[0]) / (2 * pi)));
    if (m <= 0) return m;
    Complex coefficient;  // of e^-jθ: the mean of g(θ)·e^jθ
    for (int t = 0; t < points; ++t) {
        const Real a = 2 * pi * t / points;
        const Complex g{log_size[t], phase[t] - m * a};
        coefficient = coefficient + complex_multiply(g, {std::cos(a), std::sin(a)});
    }
    coefficient = scale(coefficient, Real(1) / points);
    mean = c - scale(coefficient, r / m);
    return m;
}

// A multiple root leaves as many estimates around it as its multiplicity,
// spread by the rounding noise of the function (by about 1e-10 of their
// size for a double root, 1e-8 for a fourfold one) and none converging
// on its own: their polishing steps stay as large as their spread, where
// a simple root's shrink to the last digit. Estimates that close are
// gathered; when the function winds around a circle that holds them, and
// no other root, once per estimate, they are one root of that
// multiplicity, and its value is their mean, far more accurate than any
// of them.
void merge_multiple_roots(CircuitFunction& f, bool zeros, std::vector<Root>& roots) {
    const std::size_t count = roots.size();
    if (count < 2) return;
    std::vector<std::size_t> group(count);
    for (std::size_t i = 0; i < count; ++i) group[i] = i;
    auto find = [&](std::size_t i) {
        while (group[i] != i) i = group[i] = group[group[i]];
        return i;
    };
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t j = i + 1; j < count; ++j) {
            const Real d = modulus(roots[i].z - roots[j].z);
            const Real size = std::max(modulus(roots[i].z), modulus(roots[j].z));
            if (d <= gather_distance * size &&
                (d <= gather_over_step * std::max(roots[i].step, roots[j].step) || d <= same_root * size))
                group[find(i)] = find(j);
        }
    std::vector<Root> merged;
    std::vector<bool> done(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        if (done[i]) continue;
        std::vector<std::size_t> members;
        for (std::size_t j = i; j < count; ++j)
            if (!done[j] && find(j) == find(i)) members.push_back(j);
        for (const std::size_t j : members) done[j] = true;
        const int m = static_cast<int>(members.size());
        Complex centre;
        for (const std::size_t j : members) centre = centre + roots[j].z;
        centre = scale(centre, Real(1) / m);
        Real spread = 0;
        for (const std::size_t j : members) spread = std::max(spread, modulus(roots[j].z - centre));
        // A circle well clear of the members, and of every other root.
        Real nearest = std::numeric_limits<Real>::infinity();
        for (std::size_t j = 0; j < count; ++j)
            if (find(j) != find(i)) nearest = std::min(nearest, modulus(roots[j].z - centre));
        const Real r = std::min(std::max(circle_over_spread * spread, least_circle * modulus(centre)),
                                nearest / clear_of_others);
        Complex mean;
        if (m > 1 && r > least_circle_over_spread * spread && roots_inside(f, zeros, centre, r, mean) == m) {
            centre = mean;
            if (centre.im != 0 && std::fabs(centre.im) <= on_real_axis * modulus(centre)) centre.im = 0;
            for (int k = 0; k < m; ++k) merged.push_back({centre, true, 0, m});
        } else {
            for (const std::size_t j : members) merged.push_back(roots[j]);
        }
    }
    roots = std::move(merged);
}

// Roots of D or N, polished, in s, beside the `fixed` ones.
std::vector<Root> find_roots(CircuitFunction& f, bool zeros, const Expansion& x, Span s,
                             const std::vector<Root>& fixed = {}) {
    const std::vector<Real>& c = zeros ? x.n : x.d;
    std::vector<Complex> estimates = polynomial_roots(c, x.lo, s);
    for (Complex& z : estimates) z = scale(z, x.scale);
    std::vector<Root> roots = polish(f, zeros, estimates, fixed);
    // A pair left off the real axis, close to it, may be two real roots.
    auto split = [](const Root& r) {
        return !r.converged && r.z.im != 0 && std::fabs(r.z.im) < split_pair * modulus(r.z);
    };
    for (int attempt = 0; attempt < split_attempts && std::any_of(roots.begin(), roots.end(), split);
         ++attempt) {
        std::vector<Complex> retry;
        for (const Root& r : roots) {
            if (!split(r))
                retry.push_back(r.z);
            else if (r.z.im > 0)
                retry.insert(retry.end(), {{r.z.re - r.z.im, 0}, {r.z.re + r.z.im, 0}});
        }
        roots = polish(f, zeros, retry, fixed);
    }
    merge_multiple_roots(f, zeros, roots);
    for (Root& r : roots)
        if (r.z.im != 0 && std::fabs(r.z.re) <= on_imaginary_axis * std::fabs(r.z.im)) r.z.re = 0;
    return roots;
}

// ---- roots beyond the first circle -------------------------------------

// The circles stepped from the roots found: this many at most in all,
// a decade apart...
constexpr int far_passes = 48;
constexpr Real decade = 10;
// ...and no further than this from the roots found: a decade beyond the
// far views that counted the roots sought.
constexpr Real far_reach = 1e7L;

// Roots of D or N (`zeros`) the first circle left out: `own` spans the
// powers held, so own.high - own.low finite nonzero roots, of which
// `roots` are at hand. The function divided by the roots found (the
// converged ones) holds only the others; it is sampled on the circle
// through the middle of the roots found, then on circles stepped a decade
// at a time below the smallest root found or above the largest, and the
// roots that stand out there are polished against the engine beside the
// ones found (which repel them). Estimates that did not converge are kept
// only when no root found replaces them.
void find_far_roots(CircuitFunction& f, bool zeros, Bounds b, Span own, Real w0, std::vector<Root>& roots) {
    const int count = own.high - own.low;
    std::vector<Root> loose;
    for (const Root& q : roots)
        if (!q.converged) loose.push_back(q);
    std::erase_if(roots, [](const Root& q) { return !q.converged; });
    Real below = 0, above = 0;  // the last radii sampled on each side
    bool middle_tried = false;
    for (int pass = 0; pass < far_passes && static_cast<int>(roots.size()) < count; ++pass) {
        Real smallest = std::numeric_limits<Real>::infinity(), largest = 0;
        for (const Root& q : roots) {
            smallest = std::min(smallest, modulus(q.z));
            largest = std::max(largest, modulus(q.z));
        }
        if (roots.empty()) smallest = largest = w0;
        // Seen from the middle, the missing roots far away drown as roots
        // at the origin or at infinity: that tells the side.
        Expansion x;
        if (!expand(f, b, std::sqrt(smallest * largest), x, roots, zeros)) break;
        Span s = held(x, zeros);
        if (s.empty()) break;
        if (s.high > s.low && !middle_tried) {
            middle_tried = true;
        } else {
            Real w;
            if (s.low > own.low) {
                w = (below == 0 ? smallest : std::min(below, smallest)) / decade;
                below = w;
            } else {
                w = (above == 0 ? largest : std::max(above, largest)) * decade;
                above = w;
            }
            if (w < smallest * (1 / far_reach) || w > largest * far_reach) break;
            if (!expand(f, b, w, x, roots, zeros)) continue;
            s = held(x, zeros);
            if (s.empty() || s.high == s.low) continue;
        }
        const std::size_t before = roots.size();
        for (const Root& q : find_roots(f, zeros, x, s, roots))
            if (q.converged && static_cast<int>(roots.size()) < count &&
                std::none_of(roots.begin(), roots.end(),
                             [&](const Root& k) { return close_roots(k.z, q.z); }))
                roots.push_back(q);
        if (roots.size() > before)
            below = above = 0, middle_tried = false;  // look again from the roots found
    }
    for (const Root& q : loose)
        if (static_cast<int>(roots.size()) < count &&
            std::none_of(roots.begin(), roots.end(), [&](const Root& k) { return close_roots(k.z, q.z); }))
            roots.push_back(q);
}

// ---- the search, step by step --------------------------------------------

// The first circle: around the circuit's frequency scale, then through the
// middle of the roots it shows. Throws suite::FatalError when D vanishes
// on every circle tried.
Expansion sample_first_circle(CircuitFunction& f, Bounds bounds, Real w0, bool poles) {
    const std::string singular = solve_failure_message(SolveOutcome::singular);
    Expansion x;
    bool sampled = false;
    for (int attempt = 0; attempt < radius_attempts && !sampled; ++attempt, w0 *= radius_growth)
        sampled = expand(f, bounds, w0, x);
    if (!sampled) throw suite::FatalError(singular);
    const Real middle = root_scale(poles ? x.d : x.n, x.lo, held(x, !poles));
    if (middle < 1 / recentre_ratio || middle > recentre_ratio) {
        Expansion y;
        if (expand(f, bounds, x.scale * middle, y)) x = std::move(y);
    }
    if (held(x, false).empty()) throw suite::FatalError(singular);
    return x;
}

// The lowest and the highest power held by D and N, seen from circles far
// inside and far outside every root found: on the first circle, roots many
// decades away drown in the rounding noise as roots at the origin or at
// infinity.
struct Extent {
    Span d, n;
};

Extent powers_held(CircuitFunction& f, Bounds bounds, const Expansion& x, const std::vector<Root>& d_roots,
                   const std::vector<Root>& n_roots, bool null_output) {
    Real smallest = x.scale, largest = x.scale;
    for (const auto* roots : {&d_roots, &n_roots})
        for (const Root& q : *roots) {
            smallest = std::min(smallest, modulus(q.z));
            largest = std::max(largest, modulus(q.z));
        }
    Extent held_by{held(x, false), held(x, true)};
    Expansion y;
    if (expand(f, bounds, smallest * (1 / far_view), y)) {
        held_by.d.low = held(y, false).low;
        if (!null_output) held_by.n.low = held(y, true).low;
    }
    if (expand(f, bounds, largest * far_view, y)) {
        held_by.d.high = held(y, false).high;
        if (!null_output) held_by.n.high = held(y, true).high;
    }
    return held_by;
}

// Seeks the roots out of reach of the first circle; the count still
// missing after that.
int complete_roots(CircuitFunction& f, bool zeros, Bounds bounds, Span own, Real w0,
                   std::vector<Root>& roots) {
    if (own.empty() || static_cast<int>(roots.size()) >= own.high - own.low) return 0;
    find_far_roots(f, zeros, bounds, own, w0, roots);
    return std::max(0, own.high - own.low - static_cast<int>(roots.size()));
}

// The poles or zeros of the response N/D at the origin and at infinity:
// the powers one of D and N holds beyond the other.
void count_origin_and_infinity(const Extent& held_by, PoleZeroSearch& r) {
    if (r.null_output || held_by.d.empty() || held_by.n.empty()) return;
    const Span &d = held_by.d, &n = held_by.n;
    r.at_origin = std::max(0, r.poles ? d.low - n.low : n.low - d.low);
    r.at_infinity = std::max(0, r.poles ? n.high - d.high : d.high - n.high);
}

PoleZeroPoint point(Complex z) { return {z.re, z.im}; }

// Roots of both D and N cancel in the response: each converged root of D
// pairs with the first unpaired converged root of N at it. Logs the pairs
// into r.cancelled; the roots of the function sought (D for poles) that no
// pair took.
std::vector<Root> without_cancelled(const std::vector<Root>& d_roots, const std::vector<Root>& n_roots,
                                    PoleZeroSearch& r) {
    std::vector<bool> n_used(n_roots.size(), false), d_cancelled(d_roots.size(), false);
    for (std::size_t i = 0; i < d_roots.size(); ++i) {
        if (!d_roots[i].converged) continue;
        for (std::size_t j = 0; j < n_roots.size(); ++j)
            if (!n_used[j] && n_roots[j].converged && close_roots(d_roots[i].z, n_roots[j].z)) {
                n_used[j] = true;
                d_cancelled[i] = true;
                r.cancelled.push_back(point(d_roots[i].z));
                break;
            }
    }
    const std::vector<Root>& own = r.poles ? d_roots : n_roots;
    const std::vector<bool>& taken = r.poles ? d_cancelled : n_used;
    std::vector<Root> left;
    for (std::size_t i = 0; i < own.size(); ++i)
        if (!taken[i]) left.push_back(own[i]);
    return left;
}

// A pole is accepted when an observer sees it: the preferred one in the
// whole matrix, or one inside a block of the matrix whose determinant
// vanishes there (the only way to see a pole that identical buffered
// sections share).
bool accepted_pole(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& blocks, Complex p,
                   int preferred) {
    return passes_pole_zero_checks(c, e, s, true, preferred, p) ||
           seen_in_a_block(c, e, s, blocks, p, preferred);
}

// Sorts the roots into found and unconfirmed: a root is found when it
// converged and the run's checks accept it (a pole with the observer that
// saw the one before, or another). A multiple root counted by the winding
// around it is found without them: no observer can see it alone while its
// other copies remain. Its copies, alike to the last bit, are judged once.
void confirm_roots(Circuit& c, const AnalysisSettings& s, Engine& e, const std::vector<Root>& roots,
                   PoleZeroSearch& r) {
    const bool poles = r.poles;
    const SystemBlocks blocks = poles ? find_system_blocks(c) : SystemBlocks{};
    auto accepted = [&](Complex z, const AnalysisSettings& with) {
        return poles ? accepted_pole(c, e, with, blocks, z, e.observer_element)
                     : passes_pole_zero_checks(c, e, with, false, 0, z);
    };
    std::optional<std::pair<Complex, bool>> last;
    for (const Root& root : roots) {
        bool ok = false;
        if (last && last->first.re == root.z.re && last->first.im == root.z.im) {
            ok = last->second;
        } else {
            ok = root.converged && (root.multiplicity > 1 || accepted(root.z, s));
            last = {root.z, ok};
            if (!ok && root.converged) {
                AnalysisSettings tiny = s;  // singular only by the pivot tolerance?
                tiny.pivot_tolerance = any_pivot;
                if (accepted(root.z, tiny)) r.pivot_limited.push_back(point(root.z));
            }
        }
        (ok ? r.found : r.unconfirmed).push_back(point(root.z));
    }
}

bool by_frequency(const PoleZeroPoint& a, const PoleZeroPoint& b) {
    const Real ma = std::hypot(a.re, a.im), mb = std::hypot(b.re, b.im);
    if (ma != mb) return ma < mb;
    return a.im > b.im;
}

}  // namespace

PoleZeroSearch find_poles_zeros(Circuit& c, const AnalysisSettings& s, bool poles) {
    PoleZeroSearch r;
    r.poles = poles;
    CircuitFunction f(c);
    const Bounds bounds = degree_bounds(c);
    const Expansion x = sample_first_circle(f, bounds, element_frequency_scale(c), poles);
    r.frequency_scale = x.scale;
    r.null_output = held(x, true).empty();
    std::vector<Root> d_roots = find_roots(f, false, x, held(x, false));
    std::vector<Root> n_roots = r.null_output ? std::vector<Root>{} : find_roots(f, true, x, held(x, true));
    const Extent held_by = powers_held(f, bounds, x, d_roots, n_roots, r.null_output);
    const int d_left = complete_roots(f, false, bounds, held_by.d, x.scale, d_roots);
    const int n_left = r.null_output ? 0 : complete_roots(f, true, bounds, held_by.n, x.scale, n_roots);
    r.unresolved = poles ? d_left : n_left;
    count_origin_and_infinity(held_by, r);
    confirm_roots(c, s, f.engine(), without_cancelled(d_roots, n_roots, r), r);
    std::sort(r.found.begin(), r.found.end(), by_frequency);
    std::sort(r.cancelled.begin(), r.cancelled.end(), by_frequency);
    std::sort(r.unconfirmed.begin(), r.unconfirmed.end(), by_frequency);
    r.evaluations = f.engine().solve_count;
    return r;
}

bool observer_sees_poles(Circuit& c, const AnalysisSettings& s, int observer,
                         const std::vector<PoleZeroPoint>& poles) {
    auto e = std::make_unique<Engine>();
    allocate_sensitivity_blocks(*e, c.element_count, 1);
    for (const PoleZeroPoint& p : poles)
        if (!passes_pole_zero_checks(c, *e, s, true, observer, {p.re, p.im})) return false;
    return true;
}

int observer_for_poles(Circuit& c, const AnalysisSettings& s, const std::vector<PoleZeroPoint>& poles,
                       int preferred) {
    if (is_observer_element(c, preferred) && observer_sees_poles(c, s, preferred, poles)) return preferred;
    for (int k = 1; k <= c.element_count; ++k)
        if (k != preferred && is_observer_element(c, k) && observer_sees_poles(c, s, k, poles)) return k;
    return 0;
}

namespace {

std::string complex_text(const AnalysisSettings& s, const PoleZeroPoint& p) {
    return listing_number(s, p.re) + " " + listing_number(s, p.im) + "j";
}

// "* Pólo na origem." or "* 3 pólos na origem."
std::string count_line(int n, bool poles, const std::string& where) {
    if (n == 1) return std::string("* ") + (poles ? "Pólo " : "Zero ") + where + ".";
    return "* " + std::to_string(n) + (poles ? " pólos " : " zeros ") + where + ".";
}

void log_search(const PoleZeroSearch& r, const Circuit& c, const AnalysisSettings& s, const Log& log) {
    const bool poles = r.poles;
    const std::string one = poles ? "Pólo" : "Zero", many = poles ? "Pólos" : "Zeros";
    if (!poles) log("Nó de saída: " + std::to_string(c.output_node));
    log("Escala de frequência: " + listing_number(s, r.frequency_scale) + " rad/s");
    if (r.null_output) log("* Saída nula em todas as frequências.");
    for (const PoleZeroPoint& p : r.cancelled) log("* Pólo e zero cancelados em " + complex_text(s, p));
    if (r.at_origin > 0) log(count_line(r.at_origin, poles, "na origem"));
    if (r.at_infinity > 0) log(count_line(r.at_infinity, poles, "no infinito"));
    for (const PoleZeroPoint& p : r.unconfirmed) {
        log("* " + one + " não confirmado em " + complex_text(s, p));
        const auto same = [&](const PoleZeroPoint& q) { return q.re == p.re && q.im == p.im; };
        if (std::any_of(r.pivot_limited.begin(), r.pivot_limited.end(), same))
            log("  confirmado com uma tolerância de pivô menor que " +
                suite::format_general(s.pivot_tolerance) + " (Tolerâncias e parâmetros, --tol-pivot).");
    }
    if (r.unresolved > 0)
        log("* " + std::to_string(r.unresolved) + (poles ? " pólos" : " zeros") +
            " muito afastados da escala de frequência não calculados.");
    // A root found m times is one root of multiplicity m.
    for (std::size_t k = 0; k < r.found.size();) {
        std::size_t m = 1;
        while (k + m < r.found.size() && r.found[k + m].re == r.found[k].re &&
               r.found[k + m].im == r.found[k].im)
            ++m;
        if (m > 1)
            log(one + " de multiplicidade " + std::to_string(m) + " em " + complex_text(s, r.found[k]));
        k += m;
    }
    log(many + " encontrados: " + std::to_string(r.found.size()));
    for (std::size_t k = 0; k < r.found.size(); ++k)
        log(one + " " + std::to_string(k + 1) + " " + complex_text(s, r.found[k]));
}

// After the file is written: what it lacks, and why.
bool log_left_out(const PoleZeroSearch& r, const Log& log) {
    const int unconfirmed = static_cast<int>(r.unconfirmed.size());
    const int left = unconfirmed + r.unresolved;
    if (left == 0) return true;
    const int written = static_cast<int>(r.found.size());
    log("* Arquivo incompleto: " + std::to_string(written) + " de " + std::to_string(written + left) +
        (r.poles ? " pólos" : " zeros") + " escritos; " + std::to_string(unconfirmed) +
        " não confirmados pela verificação do cálculo de desvios e " + std::to_string(r.unresolved) +
        " muito afastados da escala de frequência ficaram de fora.");
    return false;
}

bool analysed(PoleZeroContext& x, const Log& log) {
    if (x.circuit.present && x.sweep.prepared && x.circuit.output_column != 0) return true;
    log("* Circuito não analisado: use \"Analisar\" antes.");
    return false;
}

// Searches, logs and writes; the search, or nothing when refused.
std::optional<PoleZeroSearch> search_and_save(PoleZeroContext& x, bool poles, const std::string& file,
                                              const Log& log) {
    if (!analysed(x, log)) return std::nullopt;
    log(poles ? "Calculando pólos..." : "Calculando zeros...");
    PoleZeroSearch r = find_poles_zeros(x.circuit, x.settings, poles);
    log_search(r, x.circuit, x.settings, log);
    write_pole_zero_file(file, r.found);
    log(std::string(poles ? "Pólos" : "Zeros") + " salvos no arquivo " + file);
    return r;
}

}  // namespace

FinderResult find_and_save_poles_zeros(PoleZeroContext& x, bool poles, const std::string& file,
                                       const Log& log) {
    const auto r = search_and_save(x, poles, file, log);
    if (!r) return FinderResult::refused;
    const bool whole = log_left_out(*r, log);
    if (poles && !r->found.empty()) {
        const Circuit& c = x.circuit;
        const int current = x.engine.observer_element;
        const int k = observer_for_poles(x.circuit, x.settings, r->found, current);
        if (k == 0)
            log("* Nenhum elemento observador vê todos os pólos; o observador automático escolhe um "
                "elemento que vê cada polo.");
        else if (k != current && is_observer_element(c, current))
            log("* O elemento observador " + c.elements[current].name + " não vê todos os pólos; " +
                c.elements[k].name + " vê.");
    }
    return whole ? FinderResult::complete : FinderResult::incomplete;
}

bool find_and_compute_poles_zeros(PoleZeroContext& x, bool poles, const Log& memo) {
    const std::string file = x.netlist_base_name + default_pole_zero_extension(poles, x.circuit.output_node);
    const auto r = search_and_save(x, poles, file, memo);
    if (!r) return false;
    log_left_out(*r, memo);
    x.auto_observer = true;    // every pole with an observer that sees it
    x.sweep.pz_valid = false;  // the file is new: read it
    return run_pole_zero(
        x, poles, [&](const PoleZeroFileRequest&) { return std::optional<std::string>(file); }, memo);
}

}  // namespace analysis
