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
        try {
            build_and_solve(c_, e, std::numeric_limits<Real>::min());
        } catch (const suite::FatalError&) {
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
    const int guard = std::max(4, terms / 2);
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
    const Real threshold = 1000 * noise;
    Span s;
    for (int k = 0; k < static_cast<int>(c.size()); ++k)
        if (std::fabs(c[static_cast<std::size_t>(k)]) > threshold) {
            if (s.empty()) s.low = k + lo;
            s.high = k + lo;
        }
    return s;
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

// f(z)/f'(z) of D (zeros = false) or N (true), f' by central differences.
enum class Ratio { ok, singular, failed };

Ratio newton_ratio(CircuitFunction& f, bool zeros, Complex z, Complex& ratio) {
    ScaledComplex d0, n0, d1, n1, d2, n2;
    if (!f.at(z, d0, n0)) {
        if (zeros) return Ratio::singular;  // N(z) is not at hand there
        ratio = {};                         // exactly singular: z is a root of D
        return Ratio::ok;
    }
    const Real h = modulus(z) * 1e-7L;
    if (!f.at({z.re + h, z.im}, d1, n1) || !f.at({z.re - h, z.im}, d2, n2)) return Ratio::failed;
    const ScaledComplex v0 = zeros ? n0 : d0, v1 = zeros ? n1 : d1, v2 = zeros ? n2 : d2;
    const long unit = std::max({v0.e, v1.e, v2.e});
    const Complex diff = in_units(v1, unit) - in_units(v2, unit);
    if (diff.re == 0 && diff.im == 0) return Ratio::failed;
    ratio = complex_divide(scale(in_units(v0, unit), 2 * h), diff);
    return std::isfinite(ratio.re) && std::isfinite(ratio.im) ? Ratio::ok : Ratio::failed;
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
    for (int iteration = 0; iteration < 60; ++iteration) {
        bool any = false;
        for (std::size_t i = 0; i < roots.size(); ++i) {
            if (!active[i]) continue;
            Root& r = roots[i];
            Complex ratio;
            Ratio got = newton_ratio(f, zeros, r.z, ratio);
            // A zero of N exactly on a root of D (a cancelled pair): N is
            // taken a hair away from it.
            for (int nudge = 1; got == Ratio::singular && nudge <= 3; ++nudge) {
                r.z.re += modulus(r.z) * 1e-15L * nudge;
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
            if (size <= 16 * eps * at || (size >= last_step[i] && last_step[i] <= 1e-12L * at)) {
                active[i] = false;  // converged, or down to the rounding noise
                r.converged = true;
            }
            last_step[i] = size;
        }
        if (!any) break;
    }
    for (std::size_t i = 0; i < roots.size(); ++i)
        if (!roots[i].converged) roots[i].converged = last_step[i] <= 1e-9L * modulus(roots[i].z);
    std::vector<Root> out;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        Root r = roots[i];
        r.step = std::isfinite(last_step[i]) ? last_step[i] : modulus(r.z);
        out.push_back(r);
        if (r.z.im != 0) out.push_back({{r.z.re, -r.z.im}, r.converged, r.step, 1});
    }
    return out;
}

// The roots of D or N (`zeros`) inside the circle |s - c| = r: their
// number (the winding of the function around the circle; -1 when it
// cannot be told) and their mean. On the circle, log f(c + r·e^jθ) less
// the winding m·(log r + jθ) holds the roots inside as the e^-jθ term
// -Σδ/r (δ each root's offset from c), while the roots outside only add
// terms in e^+jθ: the mean is c + Σδ/m, from the first Fourier
// coefficient, exact to the rounding noise of the function on the circle.
int roots_inside(CircuitFunction& f, bool zeros, Complex c, Real r, Complex& mean) {
    constexpr int points = 64;
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
            // Closer than 1e-8 of their size: one root whatever their steps say
            // (a polished estimate can land where the function rounds to 0).
            if (d <= 1e-4L * size &&
                (d <= 1e4L * std::max(roots[i].step, roots[j].step) || d <= 1e-8L * size))
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
        const Real r = std::min(std::max(100 * spread, 1e-12L * modulus(centre)), nearest / 3);
        Complex mean;
        if (m > 1 && r > 4 * spread && roots_inside(f, zeros, centre, r, mean) == m) {
            centre = mean;
            if (centre.im != 0 && std::fabs(centre.im) <= 1e-18L * modulus(centre)) centre.im = 0;
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
        return !r.converged && r.z.im != 0 && std::fabs(r.z.im) < 0.1L * modulus(r.z);
    };
    for (int attempt = 0; attempt < 8 && std::any_of(roots.begin(), roots.end(), split); ++attempt) {
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
    // On the imaginary axis within the rounding noise: on it.
    for (Root& r : roots)
        if (r.z.im != 0 && std::fabs(r.z.re) <= 1e-16L * std::fabs(r.z.im)) r.z.re = 0;
    return roots;
}

bool close_roots(Complex a, Complex b) { return modulus(a - b) <= 1e-8L * std::max(modulus(a), modulus(b)); }

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
    auto held = [&](const Expansion& x) {
        return significant(zeros ? x.n : x.d, x.lo, zeros ? x.n_noise : x.d_noise);
    };
    Real below = 0, above = 0;  // the last radii sampled on each side
    bool middle_tried = false;
    for (int pass = 0; pass < 48 && static_cast<int>(roots.size()) < count; ++pass) {
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
        Span s = held(x);
        if (s.empty()) break;
        if (s.high > s.low && !middle_tried) {
            middle_tried = true;
        } else {
            Real w;
            if (s.low > own.low) {
                w = (below == 0 ? smallest : std::min(below, smallest)) / 10;
                below = w;
            } else {
                w = (above == 0 ? largest : std::max(above, largest)) * 10;
                above = w;
            }
            if (w < smallest * 1e-7L || w > largest * 1e7L) break;  // beyond the circles that counted them
            if (!expand(f, b, w, x, roots, zeros)) continue;
            s = held(x);
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

bool by_frequency(const PoleZeroPoint& a, const PoleZeroPoint& b) {
    const Real ma = std::hypot(a.re, a.im), mb = std::hypot(b.re, b.im);
    if (ma != mb) return ma < mb;
    return a.im > b.im;
}

PoleZeroPoint point(Complex z) { return {z.re, z.im}; }

// A pole is accepted when an observer sees it: the preferred one in the
// whole matrix, or one inside a block of the matrix whose determinant
// vanishes there (the only way to see a pole that identical buffered
// sections share).
bool accepted_pole(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& blocks, Complex p,
                   int preferred) {
    if (passes_pole_zero_checks(c, e, s, true, preferred, p)) return true;
    return !observers_seeing(c, e, s, blocks, p, preferred).empty();
}

}  // namespace

Real element_frequency_scale(const Circuit& c) {
    auto kind = [&](int i) { return element_kind(c, i); };
    Real log_r = 0, log_l = 0, log_c = 0;
    int nr = 0, nl = 0, nc = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const Real v = std::fabs(c.elements[i].value);
        if (v == 0 || !std::isfinite(v)) continue;
        switch (kind(i)) {
            case 'R':
            case 'a':
            case 'm':
            case 'q':
            case 'Z':
                log_r += std::log(v), ++nr;
                break;
            case 'L':
                log_l += std::log(v), ++nl;
                break;
            case 'C':
                log_c += std::log(v), ++nc;
                break;
            default:
                break;
        }
    }
    Real log_r0 = 0;
    if (nr > 0)
        log_r0 = log_r / nr;
    else if (nl > 0 && nc > 0)
        log_r0 = (log_l / nl - log_c / nc) / 2;
    Real sum = 0;
    int count = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        const Real v = std::fabs(c.elements[i].value);
        if (v == 0 || !std::isfinite(v)) continue;
        if (kind(i) == 'C') sum += -log_r0 - std::log(v), ++count;
        if (kind(i) == 'L') sum += log_r0 - std::log(v), ++count;
        if (kind(i) == 'A' && i < c.element_count) {  // GB = (GB/Ro)·Ro, Ro the next element
            const Real gb = v * std::fabs(c.elements[i + 1].value);
            if (gb > 0 && std::isfinite(gb)) sum += std::log(gb), ++count;
        }
    }
    return count == 0 ? 1 : std::exp(sum / count);
}

PoleZeroSearch find_poles_zeros(Circuit& c, const AnalysisSettings& s, bool poles) {
    PoleZeroSearch r;
    r.poles = poles;
    CircuitFunction f(c);
    const Bounds bounds = degree_bounds(c);
    Expansion x;
    // A point exactly on a root makes the system singular: another radius.
    Real w0 = element_frequency_scale(c);
    bool sampled = false;
    for (int attempt = 0; attempt < 4 && !sampled; ++attempt, w0 *= 1.0625L)
        sampled = expand(f, bounds, w0, x);
    if (!sampled) throw suite::FatalError("Circuito insolúvel (determinante muito pequeno).");
    Span sd = significant(x.d, x.lo, x.d_noise);
    // Once more on the circle through the middle of the roots found.
    const Span first = poles ? sd : significant(x.n, x.lo, x.n_noise);
    const Real middle = root_scale(poles ? x.d : x.n, x.lo, first);
    if (middle < 0.25L || middle > 4) {
        Expansion y;
        if (expand(f, bounds, x.scale * middle, y)) {
            x = std::move(y);
            sd = significant(x.d, x.lo, x.d_noise);
        }
    }
    if (sd.empty()) throw suite::FatalError("Circuito insolúvel (determinante muito pequeno).");
    const Span sn = significant(x.n, x.lo, x.n_noise);
    r.frequency_scale = x.scale;
    r.null_output = sn.empty();

    std::vector<Root> d_roots = find_roots(f, false, x, sd);
    std::vector<Root> n_roots = r.null_output ? std::vector<Root>{} : find_roots(f, true, x, sn);
    // The lowest and the highest power held, seen from circles far inside
    // and far outside every root found: on the circle above, roots many
    // decades away drown in the rounding noise as roots at the origin or
    // at infinity.
    Real smallest = x.scale, largest = x.scale;
    for (const auto* roots : {&d_roots, &n_roots})
        for (const Root& q : *roots) {
            smallest = std::min(smallest, modulus(q.z));
            largest = std::max(largest, modulus(q.z));
        }
    Span ed = sd, en = sn;  // lowest from inside, highest from outside
    Expansion y;
    if (expand(f, bounds, smallest * 1e-6L, y)) {
        ed.low = significant(y.d, y.lo, y.d_noise).low;
        if (!r.null_output) en.low = significant(y.n, y.lo, y.n_noise).low;
    }
    if (expand(f, bounds, largest * 1e6L, y)) {
        ed.high = significant(y.d, y.lo, y.d_noise).high;
        if (!r.null_output) en.high = significant(y.n, y.lo, y.n_noise).high;
    }
    // Roots out of reach of the circle: the search goes on for them.
    auto complete = [&](bool zeros, Span own, std::vector<Root>& roots) {
        if (own.empty() || static_cast<int>(roots.size()) >= own.high - own.low) return 0;
        find_far_roots(f, zeros, bounds, own, x.scale, roots);
        return std::max(0, own.high - own.low - static_cast<int>(roots.size()));
    };
    const int d_left = complete(false, ed, d_roots);
    const int n_left = r.null_output ? 0 : complete(true, en, n_roots);
    r.unresolved = poles ? d_left : n_left;
    if (!r.null_output && !ed.empty() && !en.empty()) {
        r.at_origin = std::max(0, poles ? ed.low - en.low : en.low - ed.low);
        r.at_infinity = std::max(0, poles ? en.high - ed.high : ed.high - en.high);
    }
    // Roots of both D and N cancel in the response.
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
    Engine& e = f.engine();
    const SystemBlocks blocks = poles ? find_system_blocks(c) : SystemBlocks{};
    std::optional<std::pair<Complex, bool>> last;  // the copies of a multiple root are checked once
    for (std::size_t i = 0; i < (poles ? d_roots.size() : n_roots.size()); ++i) {
        if (poles ? d_cancelled[i] : n_used[i]) continue;
        const Root& root = poles ? d_roots[i] : n_roots[i];
        auto accepted = [&](const AnalysisSettings& with) {
            return poles ? accepted_pole(c, e, with, blocks, root.z, e.observer_element)
                         : passes_pole_zero_checks(c, e, with, false, 0, root.z);
        };
        bool ok = false;
        if (last && last->first.re == root.z.re && last->first.im == root.z.im) {
            ok = last->second;
        } else {
            // A multiple root counted by the winding around it is one: no
            // observer can see it alone while its other copies remain.
            ok = root.converged && (root.multiplicity > 1 || accepted(s));
            last = {root.z, ok};
            if (!ok && root.converged) {
                AnalysisSettings tiny = s;  // singular only by the pivot tolerance?
                tiny.pivot_tolerance = std::numeric_limits<Real>::min();
                if (accepted(tiny)) r.pivot_limited.push_back(point(root.z));
            }
        }
        (ok ? r.found : r.unconfirmed).push_back(point(root.z));
    }
    std::sort(r.found.begin(), r.found.end(), by_frequency);
    std::sort(r.cancelled.begin(), r.cancelled.end(), by_frequency);
    std::sort(r.unconfirmed.begin(), r.unconfirmed.end(), by_frequency);
    r.evaluations = e.solve_count;
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
