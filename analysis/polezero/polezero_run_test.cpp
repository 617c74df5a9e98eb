// The pole/zero run on real circuits: poles and zeros with closed forms,
// sensitivities against finite differences, the checks and their messages,
// the storage rules shared with the sweep.
#include "analysis/polezero/polezero_run.h"

#include <gtest/gtest.h>

#include <complex>
#include <functional>

#include "analysis/polezero/polezero_testing.h"
#include "common/errors.h"

namespace analysis {
namespace {

using testing::PoleZeroBench;
using CReal = std::complex<Real>;

// x·∂p/∂x by a central difference of a closed form p(λ) of the element
// scaled by λ.
CReal relative_derivative(const std::function<CReal(Real)>& p) {
    const Real h = 1e-6L;
    return (p(1 + h) - p(1 - h)) / (2 * h);
}

void expect_sensitivity(const PoleZeroBench& b, int k, const std::string& name, CReal expected) {
    const Complex s = b.s(k, name);
    EXPECT_NEAR(s.re, expected.real(), 1e-9) << "entry " << k << " " << name;
    EXPECT_NEAR(s.im, expected.imag(), 1e-9) << "entry " << k << " " << name;
}

// Root of a·s² + b·s + c with the sign of its imaginary part chosen.
CReal quadratic_root(Real a, Real b, Real c, int sign) {
    const CReal d = std::sqrt(CReal(b * b - 4 * a * c, 0));
    return (-b + Real(sign) * d) / (2 * a);
}

// A series loop: source resistance (Z1), R2, L1 and C1; poles of
// L·C·s² + (Rs + R2)·C·s + 1, here -1 ± j√3.
const char* const loop_netlist = "3\nZ1 0 1 1 1\nR2 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n";
const char* const loop_poles = "2\n-1 1.7320508075688772935\n-1 -1.7320508075688772935\n";

CReal loop_pole(Real rs, Real r2, Real l, Real c, int sign) {
    return quadratic_root(l * c, (rs + r2) * c, 1, sign);
}

TEST(PoleRun, LoopPolesMatchTheClosedFormWhateverTheObserver) {
    for (const char* observer : {"Z1", "R2", "L1", "C1"}) {
        PoleZeroBench b(loop_netlist, 3);
        b.settings.tol_admittance = 1e-12L;  // the residual is near zero, not just small
        b.engine->observer_element = b.element(observer);
        ASSERT_TRUE(b.run(true, loop_poles)) << observer;
        for (int k = 1; k <= 2; ++k) {
            SCOPED_TRACE(std::string("observer ") + observer);
            ASSERT_TRUE(b.set->entries[k].valid);
            const int sign = k == 1 ? 1 : -1;
            expect_sensitivity(b, k, "Z1",
                               relative_derivative([&](Real x) { return loop_pole(x, 1, 1, 0.25, sign); }));
            expect_sensitivity(b, k, "R2",
                               relative_derivative([&](Real x) { return loop_pole(1, x, 1, 0.25, sign); }));
            expect_sensitivity(b, k, "L1",
                               relative_derivative([&](Real x) { return loop_pole(1, 1, x, 0.25, sign); }));
            expect_sensitivity(
                b, k, "C1", relative_derivative([&](Real x) { return loop_pole(1, 1, 1, 0.25 * x, sign); }));
            expect_sensitivity(b, k, "v1", 0);
        }
    }
}

// Unity-gain Sallen-Key low-pass with a voltage-controlled source as the
// buffer: R1·R2·C1·C2·s² + ((R1 + R2)·C2 + R1·C1·(1 − K))·s + 1, here
// s² + s + 1.
const char* const sallen_key = "4\nV1 1 0 1\nR1 1 2 1\nR2 2 3 1\nC1 2 4 2\nC2 3 0 0.5\nE1 4 0 3 0 1\n";

CReal sallen_key_pole(Real r1, Real r2, Real c1, Real c2, Real k, int sign) {
    return quadratic_root(r1 * r2 * c1 * c2, (r1 + r2) * c2 + r1 * c1 * (1 - k), 1, sign);
}

TEST(PoleRun, SallenKeyPolesMatchTheClosedFormWhateverTheObserver) {
    for (const char* observer : {"R1", "R2", "C1", "C2"}) {
        PoleZeroBench b(sallen_key, 4);
        b.settings.tol_admittance = 1e-12L;
        b.engine->observer_element = b.element(observer);
        ASSERT_TRUE(b.run(true, "2\n-0.5 0.86602540378443864676\n-0.5 -0.86602540378443864676\n"));
        for (int k = 1; k <= 2; ++k) {
            SCOPED_TRACE(std::string("observer ") + observer);
            ASSERT_TRUE(b.set->entries[k].valid);
            const int sg = k == 1 ? 1 : -1;
            expect_sensitivity(b, k, "R1", relative_derivative([&](Real x) {
                                   return sallen_key_pole(x, 1, 2, 0.5, 1, sg);
                               }));
            expect_sensitivity(b, k, "R2", relative_derivative([&](Real x) {
                                   return sallen_key_pole(1, x, 2, 0.5, 1, sg);
                               }));
            expect_sensitivity(b, k, "C1", relative_derivative([&](Real x) {
                                   return sallen_key_pole(1, 1, 2 * x, 0.5, 1, sg);
                               }));
            expect_sensitivity(b, k, "C2", relative_derivative([&](Real x) {
                                   return sallen_key_pole(1, 1, 2, 0.5 * x, 1, sg);
                               }));
            expect_sensitivity(b, k, "E1", relative_derivative([&](Real x) {
                                   return sallen_key_pole(1, 1, 2, 0.5, x, sg);
                               }));
            expect_sensitivity(b, k, "V1", 0);
        }
    }
}

TEST(PoleRun, ARealPoleIsAnalysedAndAWrongOneRefused) {
    PoleZeroBench b("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2);
    ASSERT_TRUE(b.run(true, "3\n-1 0\n-2 0.5\n1e-8 -1e-8\n"));
    EXPECT_TRUE(b.set->entries[1].valid);
    expect_sensitivity(b, 1, "R1", 1);  // p = -1/(R·C): x·dp/dx = +1 for R and C
    expect_sensitivity(b, 1, "C1", 1);
    EXPECT_FALSE(b.set->entries[2].valid);
    EXPECT_FALSE(b.set->entries[3].valid);
    // The residual at s = -2 + 0.5j with C1 out: V1 − V2 − 1/(s·C) =
    // −(R + 1/(s·C)), and 1/s = (-2 − 0.5j)/4.25.
    const std::vector<std::string> expected{
        "Polos no arquivo: ",
        "Polo 1   -1.000000000    0.000000000j",
        "Polo 2   -2.000000000    0.500000000j",
        "* Impedância vista por C1 muito alta: " + listing_number(b.settings, -(1 + (-2 / 4.25L))) + " " +
            listing_number(b.settings, -(-0.5L / 4.25L)) + "j",
        "  Polo cancelado ou incorreto.",
        "Polo 3    0.000000010   -0.000000010j",
        "* Não é permitida análise em CC.",
        "Calculando desvios...",
    };
    ASSERT_GE(b.memo.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(b.memo.begin(), b.memo.begin() + 8), expected);
    EXPECT_TRUE(b.has_line("Sensibilidades do Polo 2 em   -2.000000000    0.500000000j"));
    EXPECT_TRUE(b.has_line("Não calculáveis."));
}

TEST(PoleRun, AWrongRealPoleIsRefusedThoughItsResidualIsReal) {
    // On the real axis the residual's imaginary part is exactly 0: only its
    // real part tells -3 from the pole at -1, with either observer.
    for (const char* observer : {"R1", "C1"}) {
        PoleZeroBench b("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, std::string("real") + observer);
        b.engine->observer_element = b.element(observer);
        ASSERT_TRUE(b.run(true, "2\n-1 0\n-3 0\n"));
        EXPECT_TRUE(b.set->entries[1].valid) << observer;
        EXPECT_FALSE(b.set->entries[2].valid) << observer;
        EXPECT_TRUE(b.has_line("  Polo cancelado ou incorreto.")) << observer;
    }
}

TEST(PoleRun, AFileThatCannotBeReadIsAnnouncedBeforeTheError) {
    PoleZeroBench b("2\nV1 1 0 1\nR1 1 2 1\nC1 2 0 1\n", 2, "unreadable");
    EXPECT_THROW(b.run(true, "2\n-1 0\n-2 x\n"), suite::IoError);
    EXPECT_EQ(b.memo, (std::vector<std::string>{"Polos no arquivo: "}));
    EXPECT_FALSE(b.sweep->pz_valid);
}

// A damped notch: V2 = V1·Zb/(R1 + Zb) with Zb = R2 + s·L + 1/(s·C); zeros
// of L·C·s² + R2·C·s + 1, here -0.25 ± j·1.984313483298443.
const char* const notch = "4\nV1 1 0 1\nR1 1 2 1\nR2 2 3 0.5\nL1 3 4 1\nC1 4 0 0.25\n";

CReal notch_zero(Real r2, Real l, Real c, int sign) { return quadratic_root(l * c, r2 * c, 1, sign); }

TEST(ZeroRun, NotchZerosMatchTheClosedForm) {
    PoleZeroBench b(notch, 2);
    b.settings.tol_admittance = 1e-12L;
    ASSERT_TRUE(b.run(false, "2\n-0.25 1.9843134832984429429\n-0.25 -1.9843134832984429429\n"));
    for (int k = 1; k <= 2; ++k) {
        ASSERT_TRUE(b.set->entries[k].valid);
        const int sg = k == 1 ? 1 : -1;
        expect_sensitivity(b, k, "R2",
                           relative_derivative([&](Real x) { return notch_zero(0.5 * x, 1, 0.25, sg); }));
        expect_sensitivity(b, k, "L1",
                           relative_derivative([&](Real x) { return notch_zero(0.5, x, 0.25, sg); }));
        expect_sensitivity(b, k, "C1",
                           relative_derivative([&](Real x) { return notch_zero(0.5, 1, 0.25 * x, sg); }));
        expect_sensitivity(b, k, "R1", 0);
        expect_sensitivity(b, k, "V1", 0);
    }
    EXPECT_EQ(b.memo[0], "Zeros no arquivo: ");
    EXPECT_TRUE(b.has_line("Nó de saída: 2"));
}

TEST(ZeroRun, AWrongZeroIsRefusedListedAndLeftOutOfTheTable) {
    PoleZeroBench b(notch, 2);
    ASSERT_TRUE(b.run(false,
                      "5\n-0.25 1.98431348329844\n1 1\n-0.25 -1.98431348329844\n0 0\n"
                      "-0.25 1.98431348329844\n"));
    const CReal s(1, 1);
    const CReal zb = CReal(0.5) + s + CReal(1) / (s * CReal(0.25));
    const CReal v2 = zb / (CReal(1) + zb);
    const auto wrong = std::find(b.memo.begin(), b.memo.end(), "Zero 2    1.000000000    1.000000000j");
    ASSERT_NE(wrong, b.memo.end());
    EXPECT_EQ(*(wrong + 1), "* Tensão de saída muito alta: " + listing_number(b.settings, v2.real()) + " " +
                                listing_number(b.settings, v2.imag()) + "j");
    EXPECT_EQ(*(wrong + 2), "  Zero cancelado ou incorreto.");
    int valid = 0;
    for (int k = 1; k <= 5; ++k) valid += b.set->entries[k].valid;
    EXPECT_EQ(valid, 3);

    b.answer = (b.dir / "notch.tsz").string();
    PoleZeroContext x = b.context();
    ASSERT_TRUE(save_pole_zero_deviations(x, false, b.chooser(), b.chooser(), b.to_memo()));
    EXPECT_EQ(b.requests.back().proposed_name, (b.dir / "net").string() + ".tsz");
    EXPECT_EQ(b.requests.back().filter_index, 2);
    EXPECT_EQ(b.memo.back(), "Desvios salvos no arquivo " + *b.answer);
    const auto lines = suite::read_text_lines(*b.answer);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "Desvios estat. dos Zeros; Saída 2 (Re, Im, VRe, VIm, Ra, Rb, Ang)");
    EXPECT_EQ(lines[1].substr(0, 30), "  -0.250000000    1.984313483 ");
    EXPECT_EQ(lines[2].substr(0, 30), "  -0.250000000   -1.984313483 ");
    EXPECT_EQ(lines[4], "");
}

}  // namespace
}  // namespace analysis
