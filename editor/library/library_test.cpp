#include "editor/library/library.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace editor {
namespace {

TEST(Library, AcceptedKeysLineIsTheHelpLine) {
    EXPECT_EQ(accepted_keys_line(), "RrLlCcNKXGg#&/!%@>)(}{][QqMmWwJjAaEFHBYSs$PpOoTUDdZIV=-\\+0..9.*");
}

TEST(Library, EveryKindHasAUniqueKeyAndAValidShape) {
    std::set<char> keys;
    for (int i = 1; i <= library_size; ++i) {
        const ComponentKind& k = component_kind(i);
        SCOPED_TRACE(i);
        EXPECT_TRUE(keys.insert(k.key).second) << "duplicate key " << k.key;
        EXPECT_TRUE(k.terminals >= 2 && k.terminals <= 4);
        EXPECT_LE(k.description.size(), 200u);
        EXPECT_LE(k.defaults.size(), 200u);
        EXPECT_LE(k.drawing.size(), 200u);
        EXPECT_FALSE(k.drawing.empty());
        EXPECT_EQ(find_kind(k.key), i);
    }
    EXPECT_EQ(keys.size(), 69u);
}

TEST(Library, SelectedRowsAreExact) {
    struct Row {
        int index;
        char key;
        int terminals;
        const char* description;
        const char* defaults;
        const char* drawing;
    };
    const Row rows[] = {
        {5, 'C', 2, "Capacitance [IC=v(0)]", "1", "*JAJH*JJJQ#JBGGMG@GJ@MJ*GJMJ"},
        {29, 'W', 4, "NMOS L= W= K Vt0 Lambda Gamma Phi Ld", "NMOS L=1e-6 W=1e-6 1e-4 1 0.01 0.3 0.6 0.1e-6",
         "*DFNF*DHFH*HHJH*LHNH*IIIMKM*GKIIKK*BADCICIF*BQEQEH*RAPCPMOM*MHMQRQ"},
        {43, 'P', 3, "Phase(s)", "", "*FLFNHN*BACBDBDD*BQCPDPDN*RQOQOIKIFN"},
        {50, 'd', 2, "Is nVT or [Vd]", "1e-9 43.429445e-3", "*JGFKNKJG*FGNG*JAJG*JKJQ*GJMJ*HILI*IHKH"},
        {56, '\\', 3, "", "", "*BARQ"},
        {69, '.', 2, "Command", "", "*JHJIKIKHJH"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.index);
        const ComponentKind& k = component_kind(r.index);
        EXPECT_EQ(k.key, r.key);
        EXPECT_EQ(k.terminals, r.terminals);
        EXPECT_EQ(k.description, r.description);
        EXPECT_EQ(k.defaults, r.defaults);
        EXPECT_EQ(k.drawing, r.drawing);
    }
}

TEST(Library, TerminalCountsByIndex) {
    std::string counts;
    for (int i = 1; i <= library_size; ++i) counts += char('0' + component_kind(i).terminals);
    EXPECT_EQ(counts,
              "2222222424"      // R r L l C c N K X G
              "4444244233"      // g # & / ! % @ > ) (
              "3333333344"      // } { ] [ Q q M m W w
              "3334444442"      // J j A a E F H B Y S
              "2434343322"      // s $ P p O o T U D d
              "2222234"         // Z I V = - \\ +
              "222222222222");  // 0..9 * .
}

TEST(Library, IndexOutsideTheTableIsRefused) {
    EXPECT_THROW(component_kind(0), std::out_of_range);
    EXPECT_THROW(component_kind(70), std::out_of_range);
    EXPECT_FALSE(has_parameters(0));
    EXPECT_FALSE(placed_exchanged(70));
}

TEST(Library, TypedKeysAreCaseSwappedBeforeTheLookup) {
    struct Row {
        char typed;
        char key;  // 0: nothing placed
    };
    const Row rows[] = {{'r', 'R'},   {'R', 'r'}, {'e', 'E'}, {'E', 0}, {'#', '#'},
                        {'\\', '\\'}, {'9', '9'}, {'x', 'X'}, {'~', 0}, {' ', 0}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.typed);
        const int kind = kind_for_typed_key(r.typed);
        if (r.key == 0) {
            EXPECT_EQ(kind, 0);
        } else {
            ASSERT_NE(kind, 0);
            EXPECT_EQ(component_kind(kind).key, r.key);
        }
    }
    EXPECT_EQ(find_kind('E'), 35);
    EXPECT_EQ(find_kind('e'), 0);
}

TEST(Library, FixedRoles) {
    for (int i = 1; i <= library_size; ++i) {
        SCOPED_TRACE(i);
        const char key = component_kind(i).key;
        EXPECT_EQ(is_circuit_kind(i), i <= 53);
        EXPECT_EQ(is_label_kind(i), key >= '0' && key <= '9');
        EXPECT_EQ(is_connection_kind(i),
                  std::string_view("=-\\+0123456789").find(key) != std::string_view::npos);
        EXPECT_EQ(placed_exchanged(i),
                  std::string_view("0123456789=Z\\").find(key) != std::string_view::npos);
    }
    EXPECT_EQ(component_kind(kind_grounded_g).key, 'g');
    EXPECT_EQ(component_kind(kind_ground).key, '=');
    EXPECT_EQ(component_kind(kind_wire).key, '-');
    EXPECT_EQ(component_kind(kind_diagonal_wire).key, '\\');
    EXPECT_EQ(component_kind(kind_crossing).key, '+');
    EXPECT_EQ(component_kind(kind_comment).key, '*');
    EXPECT_EQ(component_kind(kind_command).key, '.');
    // Kinds without a description carry no parameter text.
    std::string without;
    for (int i = 1; i <= library_size; ++i)
        if (!has_parameters(i)) without += component_kind(i).key;
    EXPECT_EQ(without, "Oo=-\\+");
}

}  // namespace
}  // namespace editor
