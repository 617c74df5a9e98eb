// "Analisar", the variability editor, normalisation and parameters.
#include "analysis/engine/settings.h"

#include <gtest/gtest.h>

#include "analysis/engine/engine_testing.h"

namespace analysis::testing {
namespace {

// 3 nodes and one V element: variable_count 4, variable 4 has no column.
const char* const buffer = "3\nV1 1 0 1\nR1 1 2 1E3\nC1 2 0 1E-6\nA1 3 2 3 6.28E6 75\n";

TEST(StartAnalysis, ChecksTheNodesInOrder) {
    struct Case {
        int output, listed;
        const char* line;
        bool ok;
    };
    const Case cases[] = {
        {0, 1, "Nó de saída com tensão calculada sempre nula.", false},  // not the range message
        {4, 1, "Nó de saída com tensão calculada sempre nula.", false},  // V1's variable: no column
        {5, 1, "Nó inválido, fora da faixa 0-4.", false},
        {-1, 1, "Nó inválido, fora da faixa 0-4.", false},
        {2, 5, "Nó inválido, fora da faixa 0-4.", false},
        {2, -1, "Nó inválido, fora da faixa 0-4.", false},
        {1, 0, "Nó de saída: 1", true},
        {3, 4, "Nó de saída: 3", true},
    };
    for (const Case& k : cases) {
        Analysis a(buffer);
        a.c->segments = 401;
        const bool ok = start_analysis(*a.c, *a.e, *a.sw, a.s, k.output, k.listed, a.log);
        EXPECT_EQ(ok, k.ok) << k.output << " " << k.listed;
        ASSERT_FALSE(a.lines.empty());
        EXPECT_EQ(a.lines.front(), k.line);
        if (!ok) {
            EXPECT_EQ(a.lines.size(), 1u);
            EXPECT_EQ(a.c->output_node, 1);
            EXPECT_FALSE(a.sw->prepared);
            continue;
        }
        EXPECT_EQ(a.lines, (std::vector<std::string>{k.line, "Número de segmentos no gráfico ajustado para 400"}));
        EXPECT_EQ(a.c->output_node, k.output);
        EXPECT_EQ(a.c->output_column, a.c->column_map[k.output]);
        EXPECT_EQ(a.s.adjoint_listed_node, k.listed);
        EXPECT_EQ(a.e->observer_element, a.c->element_count);
        EXPECT_TRUE(a.sw->prepared);
        EXPECT_EQ(a.e->block_count, 402);
    }
}

TEST(StartAnalysis, NodeTiedToGroundAndTheCurrentOfAnFElement) {
    {
        Analysis a("2\nV1 1 0 1\nR1 1 2 1E3\nR2 2 0 1E3\n");  // V1 to ground joins node 1 to ground's row only
        EXPECT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, 1, 1, a.log));
    }
    {
        Analysis a("2\nV1 1 0 1\nR1 1 2 1E3\nH1 2 0 2 0 5\n");  // H shorts 2's input to ground
        EXPECT_FALSE(start_analysis(*a.c, *a.e, *a.sw, a.s, 2, 1, a.log));
        EXPECT_EQ(a.lines.back(), "Nó de saída com tensão calculada sempre nula.");
    }
    {
        // F1's variable 4 is the column of its controlling current.
        Analysis a("3\nV1 1 0 1\nR1 1 2 1E3\nF1 3 0 2 0 2\nR2 3 0 1E3\n");
        EXPECT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, 5, 1, a.log));
        ASSERT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
        EXPECT_NEAR(a.sw->points[0].t_re, 1e-3L, 1e-18L);  // 1 V through 1 kohm into the short
    }
}

TEST(StartAnalysis, RefusesAnAbsentOrEmptyCircuit) {
    {
        Analysis a;
        EXPECT_FALSE(start_analysis(*a.c, *a.e, *a.sw, a.s, 1, 1, a.log));
        EXPECT_EQ(a.lines, std::vector<std::string>{"* Nenhum circuito lido."});
    }
    {
        Analysis a("2\n* only a comment\n");
        EXPECT_FALSE(start_analysis(*a.c, *a.e, *a.sw, a.s, 1, 1, a.log));
        EXPECT_EQ(a.lines, std::vector<std::string>{"* Circuito sem elementos. A análise não pode ser feita."});
        EXPECT_FALSE(a.sw->prepared);
    }
}

TEST(Variabilities, ChangeAllKeepsIndependentSourcesAtZero) {
    Analysis a("3\nV1 1 0 1\nZ1 0 2 50 1\nI1 0 3 1E-3\nR1 1 3 1E3\nC1 2 3 1E-9\n");
    change_all_variabilities(*a.c, 0.01L);
    EXPECT_EQ(a.c->default_variability, 0.01L);
    for (int i = 1; i <= a.c->element_count; ++i) {
        const char k = a.c->elements[i].name[0];
        EXPECT_EQ(a.c->variability[i], (k == 'V' || k == 'v' || k == 'I') ? 0 : 0.01L) << a.c->elements[i].name;
    }
}

TEST(Variabilities, EditorStoresThenMovesWithinTheElements) {
    Analysis a("2\nR1 1 2 1E3\nC1 2 0 1E-6\nR2 1 0 10\n");
    a.s.variability_cursor = 1;
    variability_previous(*a.c, a.s, 0.2L);  // first element: stored, cursor stays
    EXPECT_EQ(a.s.variability_cursor, 1);
    EXPECT_EQ(a.c->variability[1], 0.2L);
    variability_next(*a.c, a.s, 0.25L);
    EXPECT_EQ(a.c->variability[1], 0.25L);
    EXPECT_EQ(a.s.variability_cursor, 2);
    variability_next(*a.c, a.s, 0.3L);
    variability_next(*a.c, a.s, 0.4L);  // last element: stored, cursor stays
    EXPECT_EQ(a.s.variability_cursor, 3);
    EXPECT_EQ(a.c->variability[2], 0.3L);
    EXPECT_EQ(a.c->variability[3], 0.4L);

    a.s.number_width = 12;
    a.s.number_decimals = 3;
    const VariabilityView view = paint_variabilities(*a.c, a.s, *a.sw);
    EXPECT_EQ(view.name, "R2");
    EXPECT_EQ(view.variability, 0.4L);
    EXPECT_EQ(view.lines, (std::vector<std::string>{"Elementos e variabilidades:", "R1        0.250",
                                                    "C1        0.300", "R2        0.400"}));
    EXPECT_TRUE(a.sw->deviations_stale);

    a.s.variability_cursor = 9;  // left over from a larger circuit
    variability_previous(*a.c, a.s, 0.5L);
    EXPECT_EQ(a.c->variability[3], 0.5L);
    EXPECT_EQ(a.s.variability_cursor, 2);
}

TEST(Parameters, LoadApplyAndTheListingFormat) {
    AnalysisSettings s;
    auto sw = std::make_unique<Sweep>();
    sw->pz_valid = true;
    ParameterFields f = load_parameters(s);
    EXPECT_EQ(f.tol_admittance, 1e-5L);
    EXPECT_EQ(f.pivot_tolerance, 1e-7L);
    EXPECT_EQ(f.number_width, 14);
    EXPECT_EQ(f.number_decimals, 9);
    EXPECT_EQ(listing_number(s, -3.0103L), "  -3.010300000");
    f = {1e-3L, 1e-9L, 8, 2};
    apply_parameters(s, *sw, f);
    EXPECT_EQ(s.pivot_tolerance, 1e-9L);
    EXPECT_EQ(s.tol_admittance, 1e-3L);
    EXPECT_FALSE(sw->pz_valid);
    EXPECT_EQ(listing_number(s, 1234.567L), " 1234.57");
}

}  // namespace
}  // namespace analysis::testing
