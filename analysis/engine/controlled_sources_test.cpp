// The current-controlled voltage source H and the transconductance G with
// its common-mode part against closed forms: the sign of every term shows.
#include <gtest/gtest.h>

#include "analysis/engine/engine_testing.h"

namespace analysis::testing {
namespace {

const C j(0, 1);

// V1 drives 1 A / kΩ through R1 into the input short of H (node 2 to
// ground): I = V1/R1 counted from ii+ to ii-, and V(vo+) - V(vo-) = Rm·I.
TEST(ControlledSources, CurrentControlledVoltageSource) {
    struct Row {
        const char* netlist;
        int output;
        C want;
    };
    const Row rows[] = {
        {"3\nV1 1 0 1\nR1 1 2 1E3\nH1 3 0 2 0 500\nR2 3 0 1E3\n", 3, 0.5L},
        // The input short the other way round: the current counts negative.
        {"3\nV1 1 0 1\nR1 1 2 1E3\nH1 3 0 0 2 500\nR2 3 0 1E3\n", 3, -0.5L},
        // A floating output loaded equally on both sides: ±Rm·I/2.
        {"4\nV1 1 0 1\nR1 1 2 1E3\nH1 3 4 2 0 500\nR2 3 0 1E3\nR3 4 0 1E3\n", 3, 0.25L},
        {"4\nV1 1 0 1\nR1 1 2 1E3\nH1 3 4 2 0 500\nR2 3 0 1E3\nR3 4 0 1E3\n", 4, -0.25L},
        // The controlling current taken from node 2 on its way through R1:
        // the short holds node 2 at ground, so R2 beside it carries nothing.
        {"3\nV1 1 0 2\nR1 1 2 1E3\nR2 2 0 1E2\nH1 3 0 2 0 -250\n", 3, -0.5L},
    };
    for (const Row& r : rows) {
        Analysis a(r.netlist, r.output);
        for (long double w : {1.0L, 1e3L, 1e6L})
            EXPECT_TRUE(near(a.solve(w), r.want, 1e-15L)) << r.netlist << w;
    }
    // A capacitor in the controlling branch: V3 = Rm·s·C·V1.
    Analysis a("3\nV1 1 0 1\nC1 1 2 1E-6\nH1 3 0 2 0 500\nR2 3 0 1E3\n", 3);
    for (long double w : {10.0L, 1e3L, 1e5L})
        EXPECT_TRUE(near(a.solve(w), j * w * 1e-6L * 500.0L, 1e-15L)) << w;
}

// G1 i+ i- v+ v- Gm Gc: a current Gm·(V(v+) - V(v-)) leaves i+ and enters
// i- through the element, and Gc·(V(v+) + V(v-))/2 enters each of i+ and
// i- from ground. With v+ = 1 V and v- = 0.5 V (difference 0.5, mean 0.75)
// and R2, R3 from i+ and i- to ground:
//   V(i+) = -R2·(Gm·0.5 - Gc·0.75),  V(i-) = R3·(Gm·0.5 + Gc·0.75).
TEST(ControlledSources, TransconductanceWithCommonModePart) {
    const long double Gm = 2e-3L, Gc = 4e-4L, R2 = 1e3L, R3 = 2e3L;
    const char* netlist = "4\nV1 1 0 1\nV2 4 0 0.5\nG1 2 3 1 4 2E-3 4E-4\nR2 2 0 1E3\nR3 3 0 2E3\n";
    Analysis plus(netlist, 2);
    Analysis minus(netlist, 3);
    for (long double w : {1.0L, 1e4L}) {
        EXPECT_TRUE(near(plus.solve(w), -R2 * (Gm * 0.5L - Gc * 0.75L), 1e-15L)) << w;
        EXPECT_TRUE(near(minus.solve(w), R3 * (Gm * 0.5L + Gc * 0.75L), 1e-15L)) << w;
    }
    // Without Gc only the difference counts; with equal inputs only Gc.
    Analysis plain("4\nV1 1 0 1\nV2 4 0 0.5\nG1 2 3 1 4 2E-3\nR2 2 0 1E3\nR3 3 0 2E3\n", 3);
    EXPECT_TRUE(near(plain.solve(1), R3 * Gm * 0.5L, 1e-15L));
    Analysis common("4\nV1 1 0 1\nV2 4 0 1\nG1 2 3 1 4 2E-3 4E-4\nR2 2 0 1E3\nR3 3 0 2E3\n", 2);
    EXPECT_TRUE(near(common.solve(1), R2 * Gc, 1e-15L));
    // The companion element carries Gc and stamps it as a real transconductance.
    const int g = common.element_named("G1") + 1;
    EXPECT_EQ(common.c->elements[g].name[0], 'g');
    EXPECT_EQ(common.c->elements[g].value, Gc);
}

}  // namespace
}  // namespace analysis::testing
