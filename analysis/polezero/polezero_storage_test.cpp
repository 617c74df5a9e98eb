// The run's rules around the data it shares: reuse of stored
// sensitivities, capacity, short and unreadable files, the sweep's slots,
// the file dialog's proposals and the observer navigation.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/polezero/polezero_run.h"
#include "analysis/polezero/polezero_testing.h"
#include "common/errors.h"

namespace analysis {
namespace {

using testing::PoleZeroBench;

const char* const loop_netlist = "3\nV1 1 0 1\nR2 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n";
const char* const loop_poles = "2\n-0.5 1.9364916731037084426\n-0.5 -1.9364916731037084426\n";

TEST(PoleZeroStorage, ACountOfZeroListsNothingAndOpensTheSmallestSquare) {
    for (const char* text : {"0\n", "-2\n"}) {
        PoleZeroBench b(loop_netlist, 3);
        ASSERT_TRUE(b.run(true, text));
        EXPECT_EQ(b.memo, (std::vector<std::string>{"Polos no arquivo: ", "Calculando desvios..."}));
        EXPECT_TRUE(b.sweep->pz_valid);
        EXPECT_EQ(b.set->entry_count, 0);
        EXPECT_EQ(b.set->scales.min_re, -0.25);
        EXPECT_EQ(b.set->scales.min_im, -0.25);
        EXPECT_EQ(b.set->scales.width, 0.5);
    }
}

TEST(PoleZeroStorage, ChangedVariabilitiesReuseTheSensitivitiesWithoutADialog) {
    PoleZeroBench b(loop_netlist, 3);
    ASSERT_TRUE(b.run(true, loop_poles));
    ASSERT_EQ(b.requests.size(), 1u);
    const Real vre = b.set->entries[1].VRe;
    b.circuit->variability[b.element("R2")] = 0.3;
    ASSERT_TRUE(b.run_again(true));
    EXPECT_EQ(b.requests.size(), 1u);
    EXPECT_EQ(b.memo.front(), "Calculando desvios...");
    EXPECT_GT(b.set->entries[1].VRe, vre);
    // The real part of the pole is -R/(2L): only R2 and L1 move it.
    const Real a_r = b.s(1, "R2").re, a_l = b.s(1, "L1").re;
    EXPECT_NEAR(b.set->entries[1].VRe, std::sqrt(std::pow(a_r * 0.3L, 2) + std::pow(a_l * 0.05L, 2)), 1e-15);

    // Another observer in pole mode reads the file again.
    b.engine->observer_element = b.element("L1");
    ASSERT_TRUE(b.run_again(true));
    EXPECT_EQ(b.requests.size(), 2u);
    EXPECT_EQ(b.memo.front(), "Polos no arquivo: ");
    // And so does a change to zero mode.
    b.answer = b.write("net.z3", "0\n");
    ASSERT_TRUE(b.run_again(false));
    EXPECT_EQ(b.requests.size(), 3u);
}

TEST(PoleZeroStorage, AnObserverThatIsNotRlcStopsTheRunAndKeepsTheSet) {
    PoleZeroBench b(loop_netlist, 3);
    ASSERT_TRUE(b.run(true, loop_poles));
    b.engine->observer_element = b.element("V1");
    EXPECT_FALSE(b.run_again(true));
    EXPECT_EQ(b.memo, std::vector<std::string>{"O elemento observador deve ser RLC"});
    EXPECT_TRUE(b.sweep->pz_valid);
    EXPECT_EQ(b.requests.size(), 1u);
    // Zero mode needs no observer.
    b.answer = b.write("net.z3", "0\n");
    EXPECT_TRUE(b.run_again(false));
}

TEST(PoleZeroStorage, ARunOverwritesTheResponseSlotsItUses) {
    PoleZeroBench b(loop_netlist, 3);
    ASSERT_TRUE(b.run_sweep());
    ASSERT_TRUE(b.sweep->response_valid);
    ASSERT_TRUE(b.run(true, loop_poles));
    EXPECT_FALSE(b.sweep->response_valid);
    EXPECT_TRUE(b.sweep->points[0].computed);
    EXPECT_FALSE(b.sweep->points[1].computed);
    EXPECT_FALSE(b.sweep->points[2].computed);
    EXPECT_TRUE(b.sweep->points[3].computed);
    // A new sweep recomputes those points and makes the set stale.
    const long long solves = b.engine->solve_count;
    ASSERT_TRUE(b.run_sweep());
    EXPECT_EQ(b.engine->solve_count, solves + 2);
    EXPECT_TRUE(b.sweep->response_valid);
    EXPECT_FALSE(b.sweep->pz_valid);
    ASSERT_TRUE(b.run_again(true));
    EXPECT_EQ(b.requests.size(), 2u);
}

TEST(PoleZeroStorage, FilesThatCannotBeUsedChangeNothing) {
    PoleZeroBench b(loop_netlist, 3);
    b.circuit->segments = 2;  // storage for 3 entries
    b.analyse(3);
    ASSERT_TRUE(b.run_sweep());
    const std::string name = (b.dir / "net.r").string();
    struct Row {
        const char* text;
        std::vector<std::string> memo;
    };
    const std::vector<Row> rows{
        {"4\n-1 1\n-1 1\n-1 1\n-1 1\n", {"Polos no arquivo: ", "* 4 pólos no arquivo; o limite é 3."}},
        {"3\n-0.5 1.9\n-0.5 -1.9\n",
         {"Polos no arquivo: ", "* Arquivo " + name + " incompleto: 2 de 3 pólos."}},
        {"2\n-0.5 1.9\n-0.5\n", {"Polos no arquivo: ", "* Arquivo " + name + " incompleto: 1 de 2 pólos."}},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(b.run(true, row.text)) << row.text;
        EXPECT_EQ(b.memo, row.memo);
        EXPECT_FALSE(b.sweep->pz_valid);
        EXPECT_TRUE(b.sweep->response_valid);
        EXPECT_TRUE(b.sweep->points[1].computed);
        EXPECT_EQ(b.set->entry_count, 0);
    }
    EXPECT_THROW(b.run(true, "2\n-0.5 1.9\n-0.5 x\n"), suite::IoError);
    EXPECT_TRUE(b.sweep->response_valid);
    EXPECT_TRUE(b.run(true, "3\n-1 1\n-1 1\n-1 1\n"));  // exactly the capacity
}

TEST(PoleZeroStorage, CancelledMissingAndUnpreparedRunsSayWhatHappened) {
    PoleZeroBench b(loop_netlist, 3);
    b.answer.reset();
    EXPECT_FALSE(b.run_again(true));
    EXPECT_TRUE(b.memo.empty());
    b.answer = (b.dir / "nada.r").string();
    EXPECT_FALSE(b.run_again(true));
    EXPECT_EQ(b.memo, std::vector<std::string>{"* Arquivo " + *b.answer + " inexistente."});
    EXPECT_FALSE(b.sweep->pz_valid);
    // Another netlist read, not yet analysed: the storage is not its own.
    suite::TextScanner in("2\nR1 1 0 1\nC1 1 2 1\nR2 2 0 1\n");
    read_netlist(*b.circuit, in, [](const std::string&) {});
    forget_response(*b.sweep);
    EXPECT_FALSE(b.run(true, loop_poles));
    EXPECT_EQ(b.memo, std::vector<std::string>{"* Circuito não analisado: use \"Analisar\" antes."});
}

TEST(PoleZeroStorage, TheDialogProposesTheStemWithTheDefaultExtension) {
    std::string ladder = "12\nV1 1 0 1\n";
    for (int n = 1; n < 12; ++n)
        ladder += "R" + std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n + 1) + " 1\n";
    ladder += "C1 12 0 1\n";
    PoleZeroBench b(ladder, 12);
    b.answer.reset();
    b.run_again(false);
    b.run_again(true);
    ASSERT_EQ(b.requests.size(), 2u);
    const std::string stem = (b.dir / "net").string();
    EXPECT_EQ(b.requests[0].proposed_name, stem + ".z12");
    EXPECT_EQ(b.requests[0].filter_index, 2);
    EXPECT_EQ(b.requests[1].proposed_name, stem + ".r");
    EXPECT_EQ(b.requests[1].filter_index, 1);
}

TEST(PoleZeroStorage, APointWhereNothingDependsOnFrequencyIsRefused) {
    // A resistor facing a negative one: every s passes the loop check, but
    // no element scales with the frequency.
    PoleZeroBench b("1\nR1 1 0 1\nR2 1 0 -1\nC1 1 0 0\n", 1);
    b.engine->observer_element = b.element("R1");
    ASSERT_TRUE(b.run(true, "1\n-1 1\n"));
    EXPECT_FALSE(b.set->entries[1].valid);
    EXPECT_EQ(b.memo[2], "* Função independente da frequência neste ponto.");
    EXPECT_EQ(b.memo[3], "  Polo cancelado ou incorreto.");
}

TEST(PoleZeroStorage, ListingMarksTheObserverAndListsEveryElement) {
    PoleZeroBench b(loop_netlist, 3);
    b.engine->observer_element = b.element("L1");
    ASSERT_TRUE(b.run(true, loop_poles));
    int observed = 0, sensitivities = 0;
    for (const auto& line : b.memo) {
        if (line.rfind("S'(s,", 0) == 0) ++sensitivities;
        if (line.size() > 13 && line.substr(line.size() - 13) == " (observador)") {
            ++observed;
            EXPECT_EQ(line.substr(0, 9), "S'(s,L1):");
        }
    }
    EXPECT_EQ(observed, 2);
    EXPECT_EQ(sensitivities, 2 * b.circuit->element_count);
    EXPECT_EQ(b.memo[1], "Polo 1   -0.500000000    1.936491673j");
    EXPECT_EQ(b.memo[4], "Sensibilidades do Polo 1 em   -0.500000000    1.936491673j");
    EXPECT_EQ(b.memo[5].substr(0, 13), "Desvio Real: ");
    EXPECT_EQ(b.memo[6].substr(0, 13), "Raio maior : ");
    EXPECT_EQ(b.memo[7].substr(0, 23), "Ângulo do raio maior: ");
}

TEST(ObserverNavigation, StepsOverElementsThatCannotObserveAndStopsAtTheEnds) {
    PoleZeroBench b("3\nV1 1 0 1\nR1 1 2 1\nE1 3 0 2 0 2\nC1 2 0 1\nG1 3 0 1 0 1\n", 3);
    const Circuit& c = *b.circuit;
    const int v1 = b.element("V1"), r1 = b.element("R1"), c1 = b.element("C1"), g1 = b.element("G1");
    EXPECT_EQ(next_observer(c, v1), r1);
    EXPECT_EQ(next_observer(c, r1), c1);  // over E1
    EXPECT_EQ(next_observer(c, c1), c1);  // only G1 after it
    EXPECT_EQ(next_observer(c, g1), g1);  // at the last element
    EXPECT_EQ(previous_observer(c, g1), c1);
    EXPECT_EQ(previous_observer(c, r1), r1);  // only V1 before it
    EXPECT_EQ(previous_observer(c, 1), 1);
}

}  // namespace
}  // namespace analysis
