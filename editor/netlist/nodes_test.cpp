#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "editor/netlist/netlist.h"
#include "editor/netlist/testcircuit.h"

namespace editor {
namespace {

using ::testing::ElementsAre;
using testing::place;

struct Nodes {
    Circuit c;
    NetlistState state;
    std::vector<std::string> lines;

    bool determine() {
        lines.clear();
        return prepare_netlist(c, state, collect_into(lines));
    }
    // The element named `name` after node determination.
    const Element& named(const std::string& name) const {
        for (int i = 1; i <= c.count; ++i)
            if (c.element[i].name == name) return c.element[i];
        ADD_FAILURE() << "no element " << name;
        return c.element[0];
    }
};

TEST(Nodes, SortsByKindThenPositionKeepingEqualOnesInOrder) {
    Circuit c;
    place(c, 'C', "C1", {{5, 5}, {5, 6}});
    place(c, 'R', "R1", {{9, 9}, {10, 9}});
    place(c, 'R', "R2", {{1, 1}, {2, 1}});
    place(c, 'R', "R3", {{2, 1}, {1, 1}});  // same sum as R2
    place(c, '-', "-", {{0, 0}, {1, 0}});
    std::vector<std::string> lines;
    sort_elements(c, collect_into(lines));
    EXPECT_THAT(lines, ElementsAre("Sorting..."));
    std::vector<std::string> order;
    for (int i = 1; i <= c.count; ++i) order.push_back(c.element[i].name);
    EXPECT_THAT(order, ElementsAre("R2", "R3", "R1", "C1", "-"));
}

TEST(Nodes, WiresGroundAndNumberingInFirstMetOrder) {
    Nodes n;
    place(n.c, 'V', "V", {{10, 10}, {10, 9}}, "1");
    place(n.c, 'R', "R", {{10, 10}, {11, 10}}, "1E3");
    place(n.c, 'C', "C", {{12, 10}, {12, 9}}, "1E-6");
    place(n.c, '-', "-", {{11, 10}, {12, 10}});
    place(n.c, '=', "=", {{10, 8}, {10, 9}});
    place(n.c, '=', "=", {{12, 8}, {12, 9}});
    ASSERT_TRUE(n.determine());
    EXPECT_THAT(n.lines, ElementsAre("Sorting...", "Eliminating short-circuits...", "Renumbering nodes..."));
    EXPECT_EQ(n.state.circuit_elements, 3);
    EXPECT_EQ(n.state.node_count, 2);
    EXPECT_EQ(n.named("R0102").N[1], 1);
    EXPECT_EQ(n.named("C0200").N[1], 2);
    EXPECT_EQ(n.named("V0100").N[2], 0);
}

TEST(Nodes, WithoutGroundSymbolThereIsNoNodeZeroButPointZeroIsGround) {
    Nodes n;
    place(n.c, 'R', "R", {{3, 3}, {4, 3}});
    place(n.c, 'R', "R", {{0, 0}, {1, 0}});
    ASSERT_TRUE(n.determine());
    EXPECT_EQ(n.state.node_count, 3);
    EXPECT_EQ(n.c.element[1].name, "R0001");  // (0,0) sorts first and is ground
    EXPECT_EQ(n.named("R0203").N[1], 2);
}

TEST(Nodes, LabelsJoinByTheirFirstTwoCharacters) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"1", "1", true}, {"1", "1A", false}, {"1AB", "1AC", true}, {"2", "1", false}, {"3X", "3X", true}};
    for (const auto& row : rows) {
        Nodes n;
        place(n.c, 'R', "Ra", {{10, 10}, {11, 10}});
        place(n.c, 'R', "Rb", {{20, 20}, {21, 20}});
        place(n.c, row.a[0], row.a, {{12, 10}, {11, 10}});
        place(n.c, row.b[0], row.b, {{22, 20}, {21, 20}});
        ASSERT_TRUE(n.determine());
        EXPECT_EQ(n.named("Ra").N[2] == n.named("Rb").N[2], row.same) << row.a << " " << row.b;
        EXPECT_EQ(n.state.node_count, row.same ? 3 : 4);
    }
}

TEST(Nodes, LabelOnAGroundedPointGroundsEveryLabelOfItsName) {
    Nodes n;
    place(n.c, 'R', "Ra", {{10, 10}, {11, 10}});
    place(n.c, 'R', "Rb", {{20, 20}, {21, 20}});
    place(n.c, '5', "5", {{12, 10}, {11, 10}});
    place(n.c, '5', "5", {{22, 20}, {21, 20}});
    place(n.c, '=', "=", {{11, 9}, {11, 10}});
    ASSERT_TRUE(n.determine());
    EXPECT_EQ(n.named("Ra").N[2], 0);
    EXPECT_EQ(n.named("Rb").N[2], 0);
}

TEST(Nodes, AWireToNowhereAddsNoNodeAndAnUntouchedTerminalGetsItsOwn) {
    Nodes n;
    place(n.c, 'R', "Ra", {{10, 10}, {11, 10}});
    place(n.c, '-', "-", {{11, 10}, {12, 10}});
    place(n.c, '-', "-", {{12, 10}, {12, 11}});
    ASSERT_TRUE(n.determine());
    EXPECT_EQ(n.state.node_count, 2);
}

TEST(Nodes, CrossingJoinsEachDiagonalButNotTheTwo) {
    Nodes n;
    place(n.c, '+', "+", {{10, 10}, {10, 11}, {11, 10}, {11, 11}});
    place(n.c, 'R', "R1", {{9, 10}, {10, 10}});   // at P1
    place(n.c, 'R', "R4", {{11, 11}, {12, 11}});  // at P4
    place(n.c, 'R', "R2", {{9, 11}, {10, 11}});   // at P2
    place(n.c, 'R', "R3", {{11, 10}, {12, 10}});  // at P3
    place(n.c, '\\', "\\", {{30, 30}, {30, 31}, {31, 30}});
    place(n.c, 'R', "R5", {{29, 31}, {30, 31}});  // at the diagonal's P2
    place(n.c, 'R', "R6", {{31, 30}, {32, 30}});  // at its P3
    ASSERT_TRUE(n.determine());
    EXPECT_EQ(n.named("R1").N[2], n.named("R4").N[1]);
    EXPECT_EQ(n.named("R2").N[2], n.named("R3").N[1]);
    EXPECT_NE(n.named("R1").N[2], n.named("R2").N[2]);
    EXPECT_EQ(n.named("R5").N[2], n.named("R6").N[1]);
}

TEST(Nodes, GroundedGHasItsFirstTerminalAtGround) {
    Nodes n;
    place(n.c, 'g', "g", {{10, 10}, {10, 11}, {11, 10}, {11, 11}});
    place(n.c, 'R', "R1", {{9, 10}, {10, 10}});
    ASSERT_TRUE(n.determine());
    EXPECT_EQ(n.named("R1").N[2], 2);  // the point is not joined to ground
    EXPECT_EQ(n.c.element[2].N[1], 0);
    EXPECT_EQ(n.c.element[2].name, "g0003");
}

TEST(Nodes, AutomaticNamesOnlyForBareKeysAndKeyWithFourDigits) {
    const struct {
        const char* name;
        const char* after;
    } rows[] = {{"R", "R0102"},     {"R12", "R12"},     {"R1234", "R0102"}, {"R123", "R123"},
                {"Rload", "Rload"}, {"R12a4", "R12a4"}, {"R0000", "R0102"}, {"Rx123", "Rx123"},
                {"R1x23", "R1x23"}, {"R123x", "R123x"}, {"R 123", "R 123"}};
    for (const auto& row : rows) {
        Nodes n;
        place(n.c, 'R', row.name, {{10, 10}, {11, 10}});
        ASSERT_TRUE(n.determine());
        EXPECT_EQ(n.c.element[1].name, row.after) << row.name;
    }
    EXPECT_EQ(two_digit_text(0), "00");
    EXPECT_EQ(two_digit_text(7), "07");
    EXPECT_EQ(two_digit_text(42), "42");
    EXPECT_EQ(two_digit_text(123), "23");
}

TEST(Nodes, MoreThanAThousandNodesFail) {
    for (int resistors : {500, 501}) {
        Nodes n;
        for (int k = 0; k < resistors; ++k)
            place(n.c, 'R', "R", {{k % 40 * 3, k / 40 * 2}, {k % 40 * 3 + 1, k / 40 * 2}});
        n.c.element[1].P[1] = pack_point(0, 127);  // keep (0,0) off ground
        const bool ok = n.determine();
        EXPECT_EQ(ok, resistors == 500);
        EXPECT_EQ(n.lines.back(), ok ? "Renumbering nodes..." : "Too many nodes.");
        if (ok) {
            EXPECT_EQ(n.state.node_count, 1000);
        }
    }
}

TEST(Nodes, EmptyCircuitIsNoCircuit) {
    Nodes n;
    EXPECT_FALSE(n.determine());
    EXPECT_THAT(n.lines, ElementsAre("No circuit"));
}

}  // namespace
}  // namespace editor
