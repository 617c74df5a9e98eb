// The linear worst case against closed forms, and its vertex check: equal
// to the bound where the response is linear in the part, departing as the
// second-order terms predict on a resonant circuit with 10 % parts.
#include "analysis/tolerance/worst_case.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "analysis/engine/engine_testing.h"
#include "common/numtext.h"

namespace analysis::testing {
namespace {

constexpr long double db = 8.68588963806502L;  // dB per neper
constexpr long double degrees = 57.29577951308232L;

// The netlist read, the variabilities set, swept over fmin..fmax (rad/s).
struct Swept {
    Analysis a;
    Swept(const std::string& netlist, int output, Real fmin, Real fmax, int segments,
          std::initializer_list<std::pair<const char*, Real>> variabilities)
        : a(netlist) {
        change_all_variabilities(*a.c, 0);
        for (const auto& [name, v] : variabilities) a.c->variability[a.element_named(name)] = v;
        a.c->segments = segments;
        a.sw->scale_min[q_frequency] = fmin;
        a.sw->scale_max[q_frequency] = fmax;
        EXPECT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, output, 1, a.log));
        EXPECT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    }
    WorstCaseResult run() const { return worst_case(*a.c, *a.e, *a.sw, a.s); }
};

// T = 1/(1 + jx), x = ωRC: S_R = S_C = −jx/(1 + jx), so
// WM = 20/ln 10·(vR + vC)·x²/(1 + x²) and WF = 180/π·(vR + vC)·x/(1 + x²);
// the vertices are x·(1 ∓ vR)(1 ∓ vC), whose module and phase are known.
TEST(WorstCase, RcLowPassAgainstItsClosedForms) {
    const Real vr = 0.05L, vc = 0.02L;
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 0.1L, 10, 4, {{"R1", vr}, {"C1", vc}});
    const WorstCaseResult r = s.run();
    ASSERT_EQ(r.linear.size(), 5u);
    EXPECT_EQ(r.unsolved, 0);
    for (int p = 0; p <= 4; ++p) {
        const long double x = s.a.sw->points[p].frequency;
        SCOPED_TRACE(::testing::Message() << "x = " << static_cast<double>(x));
        const long double k = x * x / (1 + x * x);
        EXPECT_NEAR(r.linear[p].module, db * (vr + vc) * k, 1e-15L);
        EXPECT_NEAR(r.linear[p].phase, degrees * (vr + vc) * x / (1 + x * x), 1e-14L);
        const long double up = x * (1 - vr) * (1 - vc), down = x * (1 + vr) * (1 + vc);
        EXPECT_NEAR(r.vertex[p].module_up, 10 * std::log10((1 + x * x) / (1 + up * up)), 1e-13L);
        EXPECT_NEAR(r.vertex[p].module_down, 10 * std::log10((1 + down * down) / (1 + x * x)), 1e-13L);
        EXPECT_NEAR(r.vertex[p].phase_up, degrees * (std::atan(x) - std::atan(up)), 1e-12L);
        EXPECT_NEAR(r.vertex[p].phase_down, degrees * (std::atan(down) - std::atan(x)), 1e-12L);
    }
}

// Where T (a current into a resistor) or 1/T (a divider whose upper
// resistor varies) is linear in the element, the vertex's relative change
// of that quantity equals the bound exactly, in both directions.
TEST(WorstCase, TheVertexEqualsTheBoundWhereTheResponseIsLinearInThePart) {
    struct Case {
        const char* netlist;
        int output;
        const char* element;
        bool inverse;  // 1/T is the linear quantity
    };
    const Case cases[] = {{"1\nI1 0 1 1E-3\nR1 1 0 1000\n", 1, "R1", false},
                          {"2\nV1 1 0 1\nR1 1 2 1000\nR2 2 0 3000\n", 2, "R1", true},
                          {"2\nV1 1 0 1\nR1 1 2 3000\nR2 2 0 1000\n", 2, "R1", true}};
    for (const Case& k : cases) {
        for (Real v : {0.01L, 0.1L, 0.3L}) {
            SCOPED_TRACE(::testing::Message() << k.netlist << " v = " << static_cast<double>(v));
            Swept s(k.netlist, k.output, 1, 10, 2, {{k.element, v}});
            const WorstCaseResult r = s.run();
            for (int p = 0; p <= 2; ++p) {
                const long double bound = r.linear[p].module / db;  // relative change, first order
                const long double up = std::pow(10.0L, r.vertex[p].module_up / 20);
                const long double down = std::pow(10.0L, -r.vertex[p].module_down / 20);
                if (k.inverse) {
                    EXPECT_NEAR(1 / up, 1 - bound, 1e-15L);
                    EXPECT_NEAR(1 / down, 1 + bound, 1e-15L);
                } else {
                    EXPECT_NEAR(up, 1 + bound, 1e-15L);
                    EXPECT_NEAR(down, 1 - bound, 1e-15L);
                }
                EXPECT_GT(bound, 0.9L * v / 4);  // the divider's S is −1/4 or −3/4
                EXPECT_EQ(r.linear[p].phase, 0);
            }
        }
    }
}

// Series R, L, C, output across C: T = 1/D, D = 1 − a(1+δL)(1+δC) + jb(1+δR)(1+δC)
// with a = ω²LC, b = ωRC. The module in nepers is −Re ln D; its second-order
// term is q(δ) = −½ Re Σ (D_ij/D − D_i·D_j/D²) δ_i δ_j, the only non-zero
// second derivatives being D_LC = −a and D_RC = jb. At the vertex of the
// signs, δ+ = ±v, the upper deviation is the bound plus q and the lower one
// the bound minus q (to third order): their half difference is q to
// fourth order, their mean the bound to third.
TEST(WorstCase, AtTenPercentTheVerticesDepartAsTheSecondOrderTermsPredict) {
    for (const Real v : {0.02L, 0.1L}) {
        SCOPED_TRACE(::testing::Message() << "v = " << static_cast<double>(v));
        Swept s("3\nV1 1 0 1\nR1 1 3 1\nL1 3 2 1\nC1 2 0 1\n", 2, 0.5L, 2, 8,
                {{"R1", v}, {"L1", v}, {"C1", v}});
        const WorstCaseResult r = s.run();
        using Z = std::complex<long double>;
        // The terms left out grow as v²: the fourth-order ones against q (up
        // to 12 % of it at 10 %), the third-order ones against the bound (up
        // to 1.5 % of it).
        const long double square = (v / 0.1L) * (v / 0.1L), fourth = 0.15L * square, third = 0.02L * square;
        int departed = 0;
        for (int p = 0; p <= 8; ++p) {
            const long double w = s.a.sw->points[p].frequency;
            SCOPED_TRACE(::testing::Message() << "w = " << static_cast<double>(w));
            const long double a = w * w, b = w;
            const Z d(1 - a, b);
            const Z di[3] = {Z(0, b), Z(-a, 0), Z(-a, b)};  // R, L, C
            Z dij[3][3] = {};
            dij[1][2] = dij[2][1] = Z(-a, 0);
            dij[0][2] = dij[2][0] = Z(0, b);
            long double delta[3], first = 0;
            for (int i = 0; i < 3; ++i) {
                const long double re_s = -(di[i] / d).real();  // Re S_i
                delta[i] = re_s < 0 ? -v : v;
                first += std::fabs(v * re_s);
            }
            Z second = 0;
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    second += (dij[i][j] / d - di[i] * di[j] / (d * d)) * delta[i] * delta[j];
            const long double q = -db * second.real() / 2;
            EXPECT_NEAR(r.linear[p].module, db * first, 1e-13L);
            const long double half_difference = (r.vertex[p].module_up - r.vertex[p].module_down) / 2;
            const long double mean = (r.vertex[p].module_up + r.vertex[p].module_down) / 2;
            EXPECT_NEAR(half_difference, q, fourth * std::fabs(q) + 1e-12L);
            EXPECT_NEAR(mean, r.linear[p].module, third * r.linear[p].module);
            if (std::fabs(q) > 0.01L) ++departed;
        }
        if (v == 0.1L) {
            EXPECT_GE(departed, 6);  // the vertices are clearly off the bound at most points
        }
    }
}

TEST(WorstCase, TableAndSummaryLines) {
    Swept s("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, 0.1L, 10, 4, {{"R1", 0.05L}, {"C1", 0.05L}});
    s.a.s.number_width = 12;
    s.a.s.number_decimals = 6;
    const WorstCaseResult r = s.run();
    const std::vector<std::string> lines = worst_case_table_lines(*s.a.c, *s.a.sw, s.a.s, r);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0],
              "# Pior caso (rad/s):Saida 2; limite linear e vértices (Frq, PcM, VM+, VM-, PcF, VF+, VF-)");
    EXPECT_EQ(lines[1].size(), 7 * 12 + 6u);
    EXPECT_EQ(lines.back(), "");
    const std::vector<std::string> summary = worst_case_summary(*s.a.sw, r);
    ASSERT_EQ(summary.size(), 2u);
    // The bound grows towards x = 10: 0.1·x²/(1 + x²) nepers, 0.8601 dB; the phase's
    // is largest at x = 1: 0.1/2 rad, 2.865 degrees.
    EXPECT_EQ(summary[0],
              "Pior caso linear: módulo até ±0.86 dB (em 10 rad/s), fase até ±2.865 gr (em 1 rad/s)");
    EXPECT_EQ(summary[1].rfind("Vértices: o módulo se afasta do limite linear em até ", 0), 0u);
}

}  // namespace
}  // namespace analysis::testing
