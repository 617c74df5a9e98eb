// The engine against closed forms: responses of RC, RLC, Sallen-Key and
// gyrator circuits, and properties of the sensitivities.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/engine/engine_testing.h"
#include "common/errors.h"

namespace analysis::testing {
namespace {

const C j(0, 1);

TEST(EngineResponse, RcLowPass) {
    Analysis a("2\nV1 1 0 1\nR1 1 2 1E3\nC1 2 0 1E-6\n", 2);
    for (long double w : {1.0L, 100.0L, 1000.0L, 12345.0L, 1e6L}) {
        const C want = 1.0L / (1.0L + j * w * 1e3L * 1e-6L);
        EXPECT_TRUE(near(a.solve(w), want, 1e-15L)) << w;
    }
}

TEST(EngineResponse, SeriesRlcAcrossTheCapacitor) {
    // A Z source (Vs = 2 behind Rs = 10, V(1) - V(0) = Vs open) feeds L then C.
    Analysis a("2\nZ1 0 1 10 2\nL1 1 2 1E-3\nC1 2 0 1E-6\n", 2);
    for (long double w : {100.0L, 3e4L, 31622.0L, 1e5L}) {
        const C zc = 1.0L / (j * w * 1e-6L), zl = j * w * 1e-3L;
        EXPECT_TRUE(near(a.solve(w), 2.0L * zc / (10.0L + zl + zc), 1e-15L)) << w;
    }
}

TEST(EngineResponse, SallenKeyWithGainBandwidthOpAmp) {
    // Unity-gain Sallen-Key low-pass. The op-amp is a source A(s)·(V+ - V-),
    // A = GB/s, behind Ro; with V2 = m·V3 (m = 1 + s·R2·C2) the output is
    // V4 = k4·V3, k4 = (A + s·C1·Ro·m)/(1 + A + s·C1·Ro), and node 2 gives V3.
    const long double R1 = 1e4L, R2 = 2e4L, C1 = 2e-8L, C2 = 1e-8L, GB = 6.28e6L, Ro = 75;
    Analysis a("4\nV1 1 0 1\nR1 1 2 1E4\nR2 2 3 2E4\nC1 2 4 2E-8\nC2 3 0 1E-8\nA1 4 3 4 6.28E6 75\n", 4);
    for (long double w : {10.0L, 3000.0L, 5000.0L, 20000.0L, 1e6L}) {
        const C s = j * w, A = GB / s, m = 1.0L + s * R2 * C2;
        const C k4 = (A + s * C1 * Ro * m) / (1.0L + A + s * C1 * Ro);
        const C v3 = (1.0L / R1) / (m * (1.0L / R1 + 1.0L / R2 + s * C1) - 1.0L / R2 - s * C1 * k4);
        EXPECT_TRUE(near(a.solve(w), k4 * v3, 1e-15L)) << w;
    }
}

TEST(EngineResponse, GyratorLoadedByACapacitorIsAnInductor) {
    // Port 2 loaded by C: port 1 sees L = rg²·C.
    Analysis a("3\nV1 1 0 1\nR1 1 2 100\nY1 2 0 3 0 1E3\nC1 3 0 1E-8\n", 2);
    const long double L = 1e3L * 1e3L * 1e-8L;
    for (long double w : {10.0L, 1e4L, 1e5L}) {
        const C want = j * w * L / (100.0L + j * w * L);
        EXPECT_TRUE(near(a.solve(w), want, 1e-15L)) << w;
    }
}

TEST(EngineResponse, ComplexFrequencyOfAParallelTank) {
    // Driven by 1 A into node 1: V = 1/(1/R + 1/(sL) + sC) at a general s.
    Analysis a("1\nI1 0 1 1\nR1 1 0 50\nL1 1 0 1E-3\nC1 1 0 1E-6\n", 1);
    const C s(-2000, 31000);
    const C want = 1.0L / (1.0L / 50 + 1.0L / (s * 1e-3L) + s * 1e-6L);
    EXPECT_TRUE(near(a.solve(s.imag(), true, 0, s.real()), want, 1e-15L));
}

TEST(EngineResponse, SingularAndNullOutputAreFatal) {
    {
        Analysis a("3\nV1 1 0 1\nR1 1 2 1E3\nC1 3 0 1E-6\n", 2);  // node 3 floats at s = 0
        try {
            a.solve(0);
            ADD_FAILURE();
        } catch (const suite::FatalError& e) {
            EXPECT_STREQ(e.what(), "Circuito insolúvel (determinante muito pequeno).");
        }
    }
    {
        Analysis a("2\nV1 1 0 1\nR1 1 0 1E3\nR2 2 0 1E3\n", 2);  // nothing drives node 2
        try {
            a.solve(1);
            ADD_FAILURE();
        } catch (const suite::FatalError& e) {
            EXPECT_STREQ(e.what(), "Saída nula. A análise não pode ser feita.");
        }
        EXPECT_NO_THROW(a.solve(1, false)) << "raw sensitivities do not need a non-null output";
    }
}

TEST(EngineResponse, PivotToleranceDecidesNearlySingularCircuits) {
    // Node 2 hangs on two 1E9 ohm resistors: its last pivot is about 2E-9.
    Analysis a("2\nI1 0 1 1\nR1 1 0 1\nR2 2 0 1E9\nR3 1 2 1E9\n", 1);
    EXPECT_THROW(a.solve(1), suite::FatalError) << "default tolerance 1e-7";
    a.s.pivot_tolerance = 1e-10L;
    EXPECT_TRUE(near(a.solve(1), C(1.0L / (1 + 1 / 2e9L), 0), 1e-15L));
    a.s.pivot_tolerance = 1.5L;  // now even the 1 ohm node is refused
    EXPECT_THROW(a.solve(1), suite::FatalError);
}

TEST(EngineSensitivity, ResistiveDividerSensitivitiesAreEqualAndOpposite) {
    Analysis a("2\nV1 1 0 1\nR1 1 2 1E3\nR2 2 0 3E3\n", 2);
    a.solve(1);
    const C s1 = a.S(0, 2), s2 = a.S(0, 3);
    EXPECT_TRUE(near(s1, -s2, 1e-17L));
    EXPECT_TRUE(near(s1, C(-0.25L, 0), 1e-17L));  // R1/(R1 + R2) with a minus sign
    EXPECT_TRUE(near(a.S(0, 1), C(1, 0), 1e-17L));  // T is proportional to V1
}

TEST(EngineSensitivity, SumEqualsTheOnlyCapacitorsSensitivity) {
    Analysis a("3\nV1 1 0 1\nR1 1 2 1E3\nC1 2 3 1E-6\nR2 3 0 2E3\nR3 2 0 5E3\n", 3);
    for (long double w : {10.0L, 400.0L, 1e5L}) {
        a.solve(w);
        const C sum = to_std(sum_frequency_sensitivity(*a.c, *a.e, 0));
        EXPECT_TRUE(near(sum, a.S(0, 3), 1e-18L)) << w;
        EXPECT_EQ(a.e->sens_sum_re, sum.real());
        EXPECT_EQ(a.e->sens_sum_im, sum.imag());
    }
}

TEST(EngineSensitivity, SumIsTheLogarithmicDerivativeInFrequency) {
    // Σ = s·T'/T: its real part is d ln|T| / d ln ω, its imaginary part dφ/d ln ω.
    Analysis a("4\nV1 1 0 1\nR1 1 2 1E4\nR2 2 3 2E4\nC1 2 4 2E-8\nC2 3 0 1E-8\nA1 4 3 4 6.28E6 75\n", 4);
    for (long double w : {1000.0L, 4000.0L, 30000.0L}) {
        const long double h = 1e-6L;
        const C up = a.solve(w * (1 + h)), down = a.solve(w * (1 - h));
        const C fd = (std::log(up) - std::log(down)) / (2 * h);
        a.solve(w);
        const C sum = to_std(sum_frequency_sensitivity(*a.c, *a.e, 0));
        EXPECT_TRUE(near(sum, fd, 1e-8L)) << w;
    }
}

}  // namespace
}  // namespace analysis::testing
