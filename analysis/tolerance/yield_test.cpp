// The first-order yield against closed forms (limits near and far, up to
// the 8 deviations beyond which a constraint is left out) and against a
// plain sampling of the element space, the Monte Carlo yield against a
// second-order model made from finite differences of full solves and, with
// module and delay limits together, against the closed form that the sign
// of its delay change decides, and the intervals.
#include "analysis/tolerance/yield.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "analysis/engine/engine_testing.h"
#include "analysis/engine/montecarlo.h"
#include "analysis/tolerance/tolerance_testing.h"
#include "common/textfile.h"

namespace analysis::testing {
namespace {

struct Swept : SweptCircuit {
    using SweptCircuit::SweptCircuit;
    // One module constraint at point p, `below` dB under and `above` dB over the nominal.
    LinearModel one_point(int p, Real below, Real above) const {
        const Real m = a.sw->points[p].module;
        return linear_model(*a.c, *a.e, *a.sw, {{p, MaskQuantity::module, m - below, m + above, 1}});
    }
};

// To first order the module at a point is M0 + aR·δR + aC·δC with δ normal
// of deviations vR, vC: Gaussian of deviation √((aR·vR)² + (aC·vC)²), so the
// yield of a window [M0 − l, M0 + u] is Φ(u/σ) − Φ(−l/σ).
TEST(FirstOrderYield, OnePointMaskAgainstTheClosedForm) {
    struct Case {
        const char* netlist;
        long double r_coefficient, c_coefficient;  // Re S at x = 2
    };
    // RC low-pass: S_R = S_C = −jx/(1+jx); current into R ∥ C: S_R = 1/(1+jx), S_C = −jx/(1+jx).
    const Case cases[] = {{"2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", -0.8L, -0.8L},
                          {"1\nI1 0 1 1\nR1 1 0 1\nC1 1 0 1\n", 0.2L, -0.8L}};
    for (const Case& k : cases) {
        Swept s(k.netlist, k.netlist[0] == '2' ? 2 : 1, 1, 4, 2);  // x = 1, 2, 4
        change_all_variabilities(*s.a.c, 0);
        s.vary("R1", 0.05L);
        s.vary("C1", 0.03L);
        for (auto [below, above] : {std::pair{0.3L, 0.5L}, {0.05L, 2.0L}, {10.0L, 0.01L}}) {
            SCOPED_TRACE(::testing::Message()
                         << k.netlist << " window " << (double)below << " " << (double)above);
            const LinearModel m = s.one_point(1, below, above);
            EXPECT_NEAR(m.a(0, 2), db * k.r_coefficient, 1e-14L);
            EXPECT_NEAR(m.a(0, 3), db * k.c_coefficient, 1e-14L);
            const long double sigma = db * std::hypot(k.r_coefficient * 0.05L, k.c_coefficient * 0.03L);
            EXPECT_NEAR(constraint_sigmas(m, s.a.c->variability)[0], sigma, 1e-14L);
            const long double exact = phi(above / sigma) - phi(-below / sigma);
            const long long n = 200000;
            const YieldEstimate y = first_order_yield(m, s.a.c->variability, n, 5);
            EXPECT_EQ(y.trials, n);
            EXPECT_NEAR(y.fraction, exact, 4 * std::sqrt(exact * (1 - exact) / n) + 1e-12L);
            EXPECT_LE(y.low, y.fraction);
            EXPECT_GE(y.high, y.fraction);
            EXPECT_EQ(first_order_yield(m, s.a.c->variability, n, 5).passed,
                      y.passed);  // a seed, the same draws
        }
    }
}

// The delay coefficient comes from the sensitivities of the neighbouring
// points: for the RC low-pass τ = RC/(1 + x²), ∂τ/∂δR = ∂τ/∂δC = RC·(1 − x²)/(1 + x²)².
TEST(FirstOrderYield, TheDelayCoefficientIsTheFrequencyDerivativeOfThePhaseSensitivity) {
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 0.1L, 10, 400);
    std::vector<MaskConstraint> k;
    for (int p : {0, 57, 200, 263, 400}) k.push_back({p, MaskQuantity::delay, 0, 1, 1});
    const LinearModel m = linear_model(*s.a.c, *s.a.e, *s.a.sw, k);
    for (std::size_t i = 0; i < k.size(); ++i) {
        const long double x = s.a.sw->points[k[i].point].frequency;
        const long double exact = (1 - x * x) / ((1 + x * x) * (1 + x * x));
        SCOPED_TRACE(::testing::Message() << "x = " << static_cast<double>(x));
        const bool end = k[i].point == 0 || k[i].point == 400;  // a chord there, first order
        EXPECT_NEAR(m.a(i, 2), exact, end ? 2e-2L * std::fabs(exact) + 1e-4L : 1e-4L);
        EXPECT_NEAR(m.a(i, 2), m.a(i, 3), 1e-15L);
        EXPECT_NEAR(m.nominal[i], 1 / (1 + x * x), 1e-12L);
    }
}

// Thirty correlated points of a ladder: the estimate from the few
// directions of the covariance agrees with a plain sampling of every
// element's change; a point far from its limits changes nothing.
TEST(FirstOrderYield, TheReducedSamplingAgreesWithPlainSamplingOfTheElements) {
    std::string net = "6\nV1 1 0 1\n";
    for (int k = 1; k <= 5; ++k)
        net += "R" + std::to_string(k) + " " + std::to_string(k) + " " + std::to_string(k + 1) + " 1\nC" +
               std::to_string(k) + " " + std::to_string(k + 1) + " 0 1\n";
    Swept s(net, 6, 0.01L, 1, 29);
    change_all_variabilities(*s.a.c, 0.05L);
    std::vector<MaskConstraint> k;
    for (int p = 0; p <= 29; ++p) {
        const Real m = s.a.sw->points[p].module;
        k.push_back({p, MaskQuantity::module, m - 0.8L, m + 0.6L, 1});
    }
    k.push_back({3, MaskQuantity::module, -1000, 1000, 2});  // far away
    const LinearModel m = linear_model(*s.a.c, *s.a.e, *s.a.sw, k);
    const long long n = 100000;
    const YieldEstimate reduced = first_order_yield(m, s.a.c->variability, n, 3);

    std::mt19937_64 gen(99);
    std::normal_distribution<double> normal;
    long long passed = 0;
    std::vector<double> delta(static_cast<std::size_t>(m.element_count) + 1);
    for (long long t = 0; t < n; ++t) {
        for (int i = 1; i <= m.element_count; ++i)
            delta[static_cast<std::size_t>(i)] = static_cast<double>(s.a.c->variability[i]) * normal(gen);
        bool pass = true;
        for (std::size_t c = 0; c < k.size() && pass; ++c) {
            double y = static_cast<double>(m.nominal[c]);
            for (int i = 1; i <= m.element_count; ++i)
                y += static_cast<double>(m.a(c, i)) * delta[static_cast<std::size_t>(i)];
            pass = y >= k[c].lower && y <= k[c].upper;
        }
        passed += pass ? 1 : 0;
    }
    const YieldEstimate plain = yield_estimate(passed, n);
    EXPECT_GT(plain.fraction, 0.2L);
    EXPECT_LT(plain.fraction, 0.9L);
    EXPECT_TRUE(compare_yields(reduced, plain).agree)
        << static_cast<double>(reduced.fraction) << " " << static_cast<double>(plain.fraction);
}

// Independent constraints, each on an element of its own, have the yield
// Π (Φ(u_k) − Φ(−l_k)), l_k and u_k their limits in deviations. A limit
// up to 8 deviations away fails rarely but counts: a ladder from 3.2 to
// 7.9 deviations (deviations of tens of dB beside some of hundredths, a
// nearer limit beside a far one on the other side), and twelve pairs of
// limits 5 deviations away, whose chance of failing (5.7E-7 a pair) a
// long run sees about 30 times. A value whose nominal lies 10 deviations
// beyond its limit fails always.
TEST(FirstOrderYield, LimitsUpTo8DeviationsAwayCountInTheProductOfTheirChances) {
    constexpr Real none = std::numeric_limits<Real>::infinity();
    struct Case {
        std::vector<std::pair<Real, Real>> limits;  // (l, u) in deviations
        long long samples;
    };
    const Case cases[] = {
        {{{3.2L, none}, {none, 3.3L}, {3.5L, 40}, {3.6L, 3.9L}, {4.5L, 6}, {5, 5}, {7.9L, none}}, 1000000},
        {std::vector<std::pair<Real, Real>>(12, {5, 5}), 4000000},
        {{{1, 2}, {-10, 12}, {6, 6}}, 1000},
    };
    for (const Case& k : cases) {
        const int n = static_cast<int>(k.limits.size());
        SCOPED_TRACE(::testing::Message() << n << " constraints");
        LinearModel m;
        m.element_count = n;
        m.coefficients.assign(static_cast<std::size_t>(n * n), 0);
        ElementReals v{};
        long double exact = 1;
        for (int i = 0; i < n; ++i) {
            const Real a = i % 2 == 0 ? -400 : 0.5L, sigma = std::fabs(a) * (0.01L + 0.01L * i);
            v[i + 1] = 0.01L + 0.01L * i;
            m.coefficients[static_cast<std::size_t>(i * n + i)] = a;
            const Real nominal = -3 + i;
            const auto [l, u] = k.limits[static_cast<std::size_t>(i)];
            m.constraints.push_back(
                {i, MaskQuantity::module, nominal - l * sigma, nominal + u * sigma, i + 2});
            m.nominal.push_back(nominal);
            exact *= phi(u) - phi(-l);
        }
        const YieldEstimate y = first_order_yield(m, v, k.samples, 21);
        const long double failing = 1 - exact;
        if (exact < 1e-20L) {
            EXPECT_EQ(y.passed, 0);
            continue;
        }
        EXPECT_NEAR(1 - y.fraction, failing, 4 * std::sqrt(failing / k.samples))
            << static_cast<double>(failing) * k.samples << " failures expected, " << k.samples - y.passed
            << " found";
    }
}

// The RC low-pass varies only through RC = (1 + δR)(1 + δC): to first order
// module and delay follow u = δR + δC together, the module down with it
// and the delay up below x = 1, both down above. Lower limits a deviations
// under the nominal module and b under the nominal delay keep u within
// [−b, a] deviations below x = 1 (a yield of Φ(a) + Φ(b) − 1) and under
// min(a, b) above it (Φ(min(a, b))). The circuits reach these yields only
// when their delay changes against their phase's slope, as the group delay
// does.
TEST(MonteCarloYield, ModuleAndDelayLimitsTogetherSeeTheSignOfTheDelayChange) {
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 0.25L, 4, 16);  // x = 0.25·2^(p/4)
    change_all_variabilities(*s.a.c, 0);
    s.vary("R1", 0.01L);
    s.vary("C1", 0.01L);
    struct Case {
        int point;
        long double a, b, yield;
    };
    const Case cases[] = {{4, 0.2L, 0.2L, 2 * phi(0.2L) - 1},            // x = 0.5
                          {4, 1.0L, -0.5L, phi(1.0L) + phi(-0.5L) - 1},  // the delay's limit above nominal
                          {12, 0.2L, 0.6L, phi(0.2L)}};                  // x = 2
    std::uint64_t seed = 40;
    for (const Case& k : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "point " << k.point << " a " << (double)k.a << " b " << (double)k.b);
        const Real module = s.a.sw->points[k.point].module, delay = s.a.sw->points[k.point].delay;
        const LinearModel wide = linear_model(*s.a.c, *s.a.e, *s.a.sw,
                                              {{k.point, MaskQuantity::module, module - 1, module + 1, 1},
                                               {k.point, MaskQuantity::delay, delay - 1, delay + 1, 2}});
        const std::vector<Real> sigma = constraint_sigmas(wide, s.a.c->variability);
        const LinearModel m = linear_model(*s.a.c, *s.a.e, *s.a.sw,
                                           {{k.point, MaskQuantity::module, module - k.a * sigma[0], 100, 1},
                                            {k.point, MaskQuantity::delay, delay - k.b * sigma[1], 100, 2}});
        const YieldEstimate first = first_order_yield(m, s.a.c->variability, 100000, 1);
        EXPECT_NEAR(first.fraction, k.yield, 4 * std::sqrt(k.yield * (1 - k.yield) / 100000));
        const MonteCarloYield mc = monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, m, 4000, ++seed);
        ASSERT_EQ(mc.estimate.trials, 4000);
        EXPECT_NEAR(mc.estimate.fraction, k.yield, 4 * std::sqrt(k.yield * (1 - k.yield) / 4000));
    }
}

// The Sallen-Key example, one point of its stop band limited from above
// at 0.2 first-order deviations over the nominal module. The second-order
// model M0 + g·δ + ½·δᵀHδ, g and H by central differences of full solves,
// sampled on its own, predicts the Monte Carlo yield; the first-order yield
// agrees with it at 1 % and departs from it at 10 %, where Σ ln(1 + δ_i)
// lifts the mean of the stop-band module by about Σ v²/2 nepers.
TEST(MonteCarloYield, AgreesWithTheFirstOrderYieldAt1PercentAndDepartsAsPredictedAt10) {
    const std::string netlist =
        suite::read_text(std::string(SUITE_SOURCE_DIR) + "/examples/sallen-key-lowpass.net");
    for (Real v : {0.01L, 0.1L}) {
        SCOPED_TRACE(::testing::Message() << "v = " << static_cast<double>(v));
        Swept s(netlist, 4, 100, 10000, 20, true);
        change_all_variabilities(*s.a.c, v);
        const int p = 16;  // 3981 Hz
        const Real sigma = constraint_sigmas(s.one_point(p, 1000, 0), s.a.c->variability)[0];
        const LinearModel m = s.one_point(p, 1000, 0.2L * sigma);
        const YieldEstimate first = first_order_yield(m, s.a.c->variability, 200000, 1);
        EXPECT_NEAR(first.fraction, phi(0.2L), 0.004L);
        ASSERT_EQ(monte_carlo_refusal(*s.a.c), "");
        const MonteCarloYield mc = monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, m, 10000, 3);
        EXPECT_EQ(mc.rejected, 0);
        ASSERT_EQ(mc.estimate.trials, 10000);

        // The second-order model by finite differences.
        Circuit& c = *s.a.c;
        auto sample = std::make_unique<Circuit>(c);
        auto se = std::make_unique<Engine>();
        allocate_sensitivity_blocks(*se, c.element_count, 1);
        se->response_only = true;
        const Real omega = 6.283185307179586L * s.a.sw->points[p].frequency;
        auto module = [&](const std::vector<Real>& delta) {
            ElementReals f;
            f.fill(1);
            for (int i = 1; i <= c.element_count; ++i) f[i] = 1 + delta[static_cast<std::size_t>(i)];
            scale_circuit(c, *sample, f);
            se->omega = omega;
            build_and_solve(*sample, *se, s.a.s.pivot_tolerance);
            const Complex t = node_voltage(*sample, *se, c.output_node);
            return 10 * std::log10(t.re * t.re + t.im * t.im);
        };
        std::vector<int> varying;
        for (int i = 1; i <= c.element_count; ++i)
            if (c.variability[i] != 0) varying.push_back(i);
        const std::size_t n = varying.size();
        const Real h = 1e-3L;
        std::vector<Real> zero(static_cast<std::size_t>(c.element_count) + 1, 0);
        auto at = [&](std::size_t i, Real a, std::size_t j, Real b) {
            std::vector<Real> d = zero;
            d[static_cast<std::size_t>(varying[i])] += a;
            d[static_cast<std::size_t>(varying[j])] += b;
            return module(d);
        };
        std::vector<Real> g(n), hess(n * n);
        for (std::size_t i = 0; i < n; ++i) {
            g[i] = (at(i, h, i, 0) - at(i, -h, i, 0)) / (2 * h);
            EXPECT_NEAR(g[i], m.a(0, varying[i]), 1e-5L);  // the sensitivities, against finite differences
            for (std::size_t j = 0; j < n; ++j)
                hess[i * n + j] =
                    (at(i, h, j, h) - at(i, h, j, -h) - at(i, -h, j, h) + at(i, -h, j, -h)) / (4 * h * h);
        }
        std::mt19937_64 gen(17);
        std::normal_distribution<double> normal;
        const long long draws = 200000;
        long long passed = 0;
        std::vector<Real> delta(n);
        for (long long t = 0; t < draws; ++t) {
            for (std::size_t i = 0; i < n; ++i) delta[i] = v * normal(gen);
            Real change = 0;
            for (std::size_t i = 0; i < n; ++i) {
                change += g[i] * delta[i];
                for (std::size_t j = 0; j < n; ++j) change += hess[i * n + j] * delta[i] * delta[j] / 2;
            }
            passed += change <= 0.2L * sigma ? 1 : 0;
        }
        const YieldEstimate second = yield_estimate(passed, draws);
        EXPECT_TRUE(compare_yields(second, mc.estimate).agree)
            << static_cast<double>(second.fraction) << " " << static_cast<double>(mc.estimate.fraction);
        const YieldAgreement a = compare_yields(first, mc.estimate);
        if (v < 0.05L) {
            EXPECT_TRUE(a.agree) << static_cast<double>(a.difference);
        } else {
            EXPECT_FALSE(a.agree) << static_cast<double>(a.difference);
            EXPECT_LT(a.difference, 0);  // the lifted mean crosses the upper limit more often
            EXPECT_NEAR(mc.estimate.fraction - first.fraction, second.fraction - first.fraction, a.limit);
        }
    }
}

// The group delay of the Monte Carlo circuits (the nominal one minus the
// frequency derivative of their phase change) and of the first-order model
// (the derivative of Im S_i) are the same quantity to first order: at
// 0.2 % they agree, at either side of a limit put 0.2 deviations from the
// nominal delay. (The delay's second-order terms weigh more against its
// deviation than the module's: at the corner they shift its mean by 0.02
// deviations at 1 % and 0.06 at 3 %, which 4000 circuits begin to see.)
// Each case draws its own circuits, so that their sampling errors are
// independent.
TEST(MonteCarloYield, TheDelayOfTheCircuitsAgreesWithTheFirstOrderModelAtSmallVariabilities) {
    const std::string netlist =
        suite::read_text(std::string(SUITE_SOURCE_DIR) + "/examples/sallen-key-lowpass.net");
    Swept s(netlist, 4, 100, 10000, 40, true);
    change_all_variabilities(*s.a.c, 0.002L);
    std::uint64_t seed = 10;
    for (int p : {0, 14, 20, 27, 40}) {
        for (bool upper : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "point " << p << (upper ? " upper" : " lower"));
            const Real tau = s.a.sw->points[p].delay;
            const LinearModel wide =
                linear_model(*s.a.c, *s.a.e, *s.a.sw, {{p, MaskQuantity::delay, tau - 1, tau + 1, 1}});
            const Real sigma = constraint_sigmas(wide, s.a.c->variability)[0];
            ASSERT_GT(sigma, 0);
            const Real lower = upper ? tau - 1 : tau - 0.2L * sigma,
                       top = upper ? tau + 0.2L * sigma : tau + 1;
            const LinearModel m =
                linear_model(*s.a.c, *s.a.e, *s.a.sw, {{p, MaskQuantity::delay, lower, top, 1}});
            const YieldEstimate first = first_order_yield(m, s.a.c->variability, 100000, 1);
            EXPECT_NEAR(first.fraction, phi(0.2L), 0.005L);
            const MonteCarloYield mc = monte_carlo_yield(*s.a.c, *s.a.e, *s.a.sw, s.a.s, m, 4000, ++seed);
            const YieldAgreement a = compare_yields(first, mc.estimate);
            EXPECT_LE(std::fabs(a.difference), a.limit * 3 / 1.96L)  // three standard errors: ten cases
                << static_cast<double>(first.fraction) << " " << static_cast<double>(mc.estimate.fraction);
        }
    }
}

TEST(YieldEstimate, WilsonIntervalsAndTheLogLines) {
    struct Row {
        long long passed, trials;
        long double low, high;
    };
    const Row rows[] = {{50, 100, 0.403832L, 0.596168L}, {0, 100, 0, 0.0369935L}, {100, 100, 0.9630065L, 1}};
    for (const Row& r : rows) {
        const YieldEstimate y = yield_estimate(r.passed, r.trials);
        EXPECT_NEAR(y.low, r.low, 1e-6L);
        EXPECT_NEAR(y.high, r.high, 1e-6L);
    }
    const YieldEstimate none = yield_estimate(0, 0);
    EXPECT_EQ(none.low, 0);
    EXPECT_EQ(none.high, 1);

    MonteCarloYield mc;
    mc.estimate = yield_estimate(921, 1000);
    mc.circuits = 1000;
    mc.seed = 1;
    const std::vector<std::string> lines = yield_lines(yield_estimate(93410, 100000), 100000, 1, mc);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0],
              "Rendimento de 1ª ordem: 93.41 % (IC 95 %: 93.25 a 93.56 %); 100000 amostras do modelo "
              "linear, semente 1");
    EXPECT_EQ(lines[1],
              "Rendimento de Monte Carlo: 92.10 % (IC 95 %: 90.26 a 93.62 %); 1000 circuitos, semente 1; "
              "rejeitados (sistema insolúvel ou saída nula): 0; sorteios repetidos (valor nulo ou de sinal "
              "trocado): 0");
    EXPECT_EQ(lines[2],
              "Os dois rendimentos concordam: diferença de 1.31 pontos percentuais, dentro de 1.69 (1.96 "
              "erros padrão).");
    mc.estimate = yield_estimate(850, 1000);
    EXPECT_EQ(yield_lines(yield_estimate(93410, 100000), 100000, 1, mc, " com essas tolerâncias")[2].rfind(
                  "* Os dois rendimentos não concordam: diferença de 8.41 pontos percentuais, acima de ", 0),
              0u);
    mc.estimate = yield_estimate(0, 0);
    EXPECT_EQ(
        yield_lines(yield_estimate(1, 2), 2, 1, mc).back().rfind("* Rendimento de Monte Carlo: nenhum", 0),
        0u);
}

}  // namespace
}  // namespace analysis::testing
