// The variance shares and the tolerance search: the limiting point's line
// with its chance of failing against the normal tails, the listing on both
// sides of its tenth of a percent, every assignment of two parts
// enumerated with the closed-form yield, refusals, and a multi-point mask
// on the Sallen-Key example.
#include "analysis/tolerance/tightening.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "analysis/engine/engine_testing.h"
#include "analysis/tolerance/tolerance_testing.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis::testing {
namespace {

using Swept = SweptCircuit;

// Two parts with module coefficients aR and aC at a one-point window
// [M0 − l, M0 + u]: an assignment (tR, tC) has σ = √((aR·tR)² + (aC·tC)²) and
// yield Φ(u/σ) − Φ(−l/σ). The search must find the least cost that any of
// the 36 assignments reaching the target has.
TEST(Tightening, TwoPartsAgainstEveryAssignmentEnumerated) {
    struct Case {
        const char* netlist;
        int output;
        long double ar, ac;  // Re S at x = 2, per unit relative change
    };
    const Case cases[] = {{"2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, -0.8L, -0.8L},
                          {"1\nI1 0 1 1\nR1 1 0 1\nC1 1 0 1\n", 1, 0.2L, -0.8L}};
    const long long samples = 200000;
    int checked = 0;
    for (const Case& k : cases) {
        Swept s(k.netlist, k.output, 1, 4, 2);
        const Real m0 = s.a.sw->points[1].module;
        for (auto [below, above] : {std::pair{0.3L, 0.5L}, {0.05L, 0.08L}, {1.0L, 0.02L}}) {
            const LinearModel m =
                linear_model(*s.a.c, *s.a.e, *s.a.sw, {{1, MaskQuantity::module, m0 - below, m0 + above, 1}});
            auto exact = [&](int r, int c) {
                const long double sigma =
                    db * std::hypot(k.ar * standard_tolerances[r], k.ac * standard_tolerances[c]);
                return phi(above / sigma) - phi(-below / sigma);
            };
            for (long double target : {0.5L, 0.8L, 0.9L, 0.95L, 0.99L, 0.999L}) {
                int least = -1;
                bool marginal = false;
                for (int r = 0; r <= 5; ++r)
                    for (int c = 0; c <= 5; ++c) {
                        const long double y = exact(r, c);
                        if (std::fabs(y - target) < 5 * std::sqrt(target * (1 - target) / samples))
                            marginal = true;
                        if (y >= target && (least < 0 || r + c < least)) least = r + c;
                    }
                if (marginal) continue;  // an assignment too close to the target for the samples to tell
                SCOPED_TRACE(::testing::Message() << k.netlist << " window " << (double)below << " "
                                                  << (double)above << " target " << (double)target);
                const ToleranceAssignment t = tighten_tolerances(*s.a.c, m, target, samples, 7);
                ++checked;
                if (least < 0) {
                    EXPECT_FALSE(t.reached);
                    EXPECT_EQ(t.refusal.rfind(
                                  "* Tolerâncias: nenhuma combinação das tolerâncias padrão alcança ", 0),
                              0u);
                    continue;
                }
                ASSERT_TRUE(t.reached) << t.refusal;
                ASSERT_EQ(t.elements, (std::vector<int>{2, 3}));
                EXPECT_EQ(t.cost, least);
                EXPECT_EQ(t.cost, t.steps[0] + t.steps[1]);
                EXPECT_GE(exact(t.steps[0], t.steps[1]), target);
                EXPECT_GE(t.first_order.fraction, target);
                const ElementReals v = assigned_variabilities(*s.a.c, t);
                EXPECT_EQ(v[2], standard_tolerances[static_cast<std::size_t>(t.steps[0])]);
                EXPECT_EQ(v[1], 0);  // the source stays ideal
            }
        }
    }
    EXPECT_GT(checked, 25);
}

// Shares at the limiting point: (a_i·v_i)²/σ²; for the current into R ∥ C
// at x = 2 with equal variabilities, 0.2² : 0.8², 5.88 % and 94.12 %.
TEST(Tightening, SharesAtTheLimitingPointAreRankedWithTheirClosedForm) {
    Swept s("2\nI1 0 1 1\nR1 1 0 1\nC1 1 0 1\nR2 1 2 1\nR3 2 0 1E9\n", 1, 1, 4, 2);
    change_all_variabilities(*s.a.c, 0.05L);
    s.a.c->variability[s.a.element_named("R3")] = 0;
    std::vector<MaskConstraint> k;
    for (int p = 0; p <= 2; ++p) {
        const Real m = s.a.sw->points[p].module;
        k.push_back({p, MaskQuantity::module, m - (p == 1 ? 0.3L : 3), m + 3, 4 + p});
    }
    const LinearModel m = linear_model(*s.a.c, *s.a.e, *s.a.sw, k);
    const LimitingConstraint l = limiting_constraint(m, s.a.c->variability);
    ASSERT_EQ(l.constraint, 1);
    EXPECT_FALSE(l.upper);
    EXPECT_NEAR(l.margin, 0.3L, 1e-15L);
    const std::vector<VarianceShare> shares = variance_shares(m, 1, s.a.c->variability);
    ASSERT_EQ(shares.size(), 3u);  // R2 carries a little current into the 1E9 ohm
    EXPECT_EQ(shares[0].element, s.a.element_named("C1"));
    EXPECT_EQ(shares[1].element, s.a.element_named("R1"));
    EXPECT_NEAR(shares[0].share, 0.64L / 0.68L, 1e-8L);
    EXPECT_NEAR(shares[1].share, 0.04L / 0.68L, 1e-8L);
    EXPECT_LT(shares[2].share, 1e-12L);
    const std::vector<std::string> lines = ranking_lines(*s.a.c, *s.a.sw, m, s.a.c->variability);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(
        lines[0].rfind("Ponto limitante: módulo em 2 rad/s (limite inferior, linha 5): margem 0.3 dB = ", 0),
        0u)
        << lines[0];
    EXPECT_EQ(lines[1], "Parcelas da variância nesse ponto:");
    EXPECT_EQ(lines[2], "  C1     94.12 %");
    EXPECT_EQ(lines[3], "  R1      5.88 %");
    EXPECT_EQ(lines[4], "  outros 1 elementos: 0.00 %");
}

// The limiting point's line: its margin in deviations and the first-order
// chance of crossing either limit there, Φ(−l) + Φ(−u) for limits l and u
// deviations away. The RC low-pass at x = 2 has the module deviation
// 20/ln 10·0.8·√(vR² + vC²) and, R and C acting alike, the shares vR² : vC².
TEST(Tightening, TheLimitingLineGivesTheChanceOfCrossingEitherLimit) {
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 1, 4, 2);  // x = 1, 2, 4
    change_all_variabilities(*s.a.c, 0);
    s.vary("R1", 0.05L);
    s.vary("C1", 0.03L);
    constexpr long double none = std::numeric_limits<long double>::infinity();
    struct Case {
        MaskQuantity quantity;
        long double l, u;  // the limits, in deviations from the nominal value
        const char* head;  // up to the margin
    };
    const Case cases[] = {
        {MaskQuantity::module, 1.0L, 1.5L, "Ponto limitante: módulo em 2 rad/s (limite inferior, linha 7): "},
        {MaskQuantity::module, 2.0L, 0.7L, "Ponto limitante: módulo em 2 rad/s (limite superior, linha 7): "},
        {MaskQuantity::module, none, 2.4L, "Ponto limitante: módulo em 2 rad/s (limite superior, linha 7): "},
        {MaskQuantity::delay, 0.4L, none, "Ponto limitante: atraso em 2 rad/s (limite inferior, linha 7): "},
    };
    const long double module_sigma = db * 0.8L * std::hypot(0.05L, 0.03L);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.head);
        const bool module = k.quantity == MaskQuantity::module;
        const Real nominal = module ? s.a.sw->points[1].module : s.a.sw->points[1].delay;
        const LinearModel wide =
            linear_model(*s.a.c, *s.a.e, *s.a.sw, {{1, k.quantity, nominal - 1, nominal + 1, 7}});
        const long double sigma = module ? module_sigma : constraint_sigmas(wide, s.a.c->variability)[0];
        const LinearModel m = linear_model(
            *s.a.c, *s.a.e, *s.a.sw, {{1, k.quantity, nominal - k.l * sigma, nominal + k.u * sigma, 7}});
        const long double near = std::min(k.l, k.u);
        const std::vector<std::string> lines = ranking_lines(*s.a.c, *s.a.sw, m, s.a.c->variability);
        EXPECT_EQ(lines,
                  (std::vector<std::string>{
                      k.head + std::string("margem ") + short_text(near * sigma) + (module ? " dB" : " s") +
                          " = " + short_text(near) + " desvios padrão; falha ali em " +
                          suite::format_fixed(100 * (phi(-k.l) + phi(-k.u)), 0, 2) + " % dos circuitos",
                      "Parcelas da variância nesse ponto:", "  R1     73.53 %", "  C1     26.47 %"}));
    }
}

// Elements whose share is a tenth of a percent or more are listed, the
// others summed on one line. The shares are set through the model's
// coefficients: (a·v)² of 900, 83.27, 13.14, 1.27, 1 (exactly 0.1 % of the
// total, 1000), 0.77 and 0.56.
TEST(Tightening, SharesFromATenthOfAPercentAreListedAndSmallerOnesSummed) {
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nR2 1 2 2\nR3 2 0 1\nR4 2 0 2\nC1 2 0 1\nC2 2 0 2\nC3 2 0 3\n", 2, 1, 4,
            2);
    ASSERT_EQ(s.a.c->element_count, 8);
    const Real m0 = s.a.sw->points[1].module;
    LinearModel m = linear_model(*s.a.c, *s.a.e, *s.a.sw, {{1, MaskQuantity::module, m0 - 40, m0 + 60, 3}});
    const std::pair<const char*, long double> parts[] = {
        {"R4", 0.875L}, {"C3", 30}, {"R1", 1}, {"C1", 3.625L}, {"R2", 0.75L}, {"R3", 1.125L}, {"C2", 9.125L}};
    ElementReals v{};
    for (auto [name, x] : parts) {
        const int i = s.a.element_named(name);
        v[i] = 0.5L;
        m.coefficients[static_cast<std::size_t>(i - 1)] = 2 * x;
    }
    const std::vector<std::string> lines = ranking_lines(*s.a.c, *s.a.sw, m, v);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"Parcelas da variância nesse ponto:", "  C3     90.00 %",
                                        "  C2      8.33 %", "  C1      1.31 %", "  R3      0.13 %",
                                        "  R1      0.10 %", "  outros 2 elementos: 0.13 %"}));
}

TEST(Tightening, RefusesWhenTheNominalResponseFailsTheMask) {
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 1, 4, 2);
    const Real m0 = s.a.sw->points[1].module;
    const LinearModel m =
        linear_model(*s.a.c, *s.a.e, *s.a.sw, {{1, MaskQuantity::module, m0 + 0.1L, m0 + 1, 3}});
    const ToleranceAssignment t = tighten_tolerances(*s.a.c, m, 0.9L, 10000, 1);
    EXPECT_FALSE(t.reached);
    EXPECT_EQ(t.refusal,
              "* Tolerâncias: a resposta nominal não atende à máscara; nenhuma tolerância alcança 90 %.");
    EXPECT_EQ(assignment_lines(*s.a.c, t, 0.9L), std::vector<std::string>{t.refusal});
    // The yield itself is still what it is: below one half, the window lying above the nominal module.
    const YieldEstimate y = first_order_yield(m, s.a.c->variability, 1000, 1);
    EXPECT_GT(y.passed, 0);
    EXPECT_LT(y.passed, 500);
}

// The Sallen-Key example against a pass band and a stop band: the
// assignment reaches the target, and no single step of it can be undone
// without falling short, by the same first-order yield.
TEST(Tightening, SallenKeyPassAndStopBand) {
    const std::string netlist =
        suite::read_text(std::string(SUITE_SOURCE_DIR) + "/examples/sallen-key-lowpass.net");
    Swept s(netlist, 4, 100, 10000, 40, true);
    const MaskReading r =
        parse_mask({"unidade Hz", "modulo 100 700 -1.5 0.3", "modulo 3000 10000 - -17"}, "sk");
    ASSERT_TRUE(r.refusals.empty());
    const LinearModel m = linear_model(*s.a.c, *s.a.e, *s.a.sw, mask_constraints(r.mask, *s.a.sw, 40));
    const long long samples = 50000;
    const ToleranceAssignment t = tighten_tolerances(*s.a.c, m, 0.99L, samples, 3);
    ASSERT_TRUE(t.reached) << t.refusal;
    EXPECT_EQ(t.elements.size(), 6u);
    EXPECT_GT(t.cost, 0);
    EXPECT_GE(t.first_order.fraction, 0.99L);
    for (std::size_t j = 0; j < t.steps.size(); ++j) {
        if (t.steps[j] == 0) continue;
        ToleranceAssignment looser = t;
        --looser.steps[j];
        const YieldEstimate y = first_order_yield(m, assigned_variabilities(*s.a.c, looser), samples, 3);
        EXPECT_LT(y.fraction, 0.99L) << s.a.c->elements[t.elements[j]].name;
    }
    const std::vector<std::string> lines = assignment_lines(*s.a.c, t, 0.99L);
    EXPECT_EQ(lines[0], "Tolerâncias padrão para rendimento de 99 %: custo " + std::to_string(t.cost) +
                            " (cada degrau de 10 % para 5, 2, 1, 0.5 e 0.1 % custa 1)");
    ASSERT_GE(lines.size(), 2u);
    std::size_t listed = 0;  // every element once, under its tolerance
    for (std::size_t i = 1; i < lines.size(); ++i)
        for (std::size_t at = lines[i].find(':') + 1; at < lines[i].size(); ++at)
            listed += lines[i][at] == ' ' && at + 1 < lines[i].size() && lines[i][at + 1] != ' ' ? 1 : 0;
    EXPECT_EQ(listed, t.elements.size());
}

}  // namespace
}  // namespace analysis::testing
