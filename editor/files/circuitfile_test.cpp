#include "editor/files/circuitfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/errors.h"
#include "editor/files/testdir.h"
#include "editor/library/library.h"

namespace editor {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

Element make(char key, const std::string& name, std::initializer_list<std::int32_t> points,
             const std::string& parameters = "") {
    Element e;
    e.kind = static_cast<std::uint8_t>(find_kind(key));
    e.name = name;
    int i = 1;
    for (std::int32_t p : points) e.P[i++] = p;
    e.parameters = parameters;
    return e;
}

void add(Circuit& c, const Element& e) { c.element[++c.count] = e; }

TEST(CircuitFile, TheResistorExampleBothWays) {
    testing::TestDir dir;
    Circuit c;
    add(c, make('R', "R1", {pack_point(65, 65), pack_point(65, 64)}, "1"));
    c.changed = true;
    std::vector<std::string> lines;
    ASSERT_TRUE(write_circuit_file(dir.path("r.cir"), c, collect_into(lines)));
    EXPECT_THAT(lines, ElementsAre("Saving circuit file " + dir.path("r.cir")));
    EXPECT_EQ(dir.read("r.cir"), "R1 16705 16449 1\r\n");
    EXPECT_FALSE(c.changed);
    EXPECT_EQ(c.name, dir.path("r"));

    Circuit back;
    lines.clear();
    EXPECT_EQ(read_circuit(dir.path("r"), back, collect_into(lines)), CircuitRead::read);
    EXPECT_THAT(lines, ElementsAre("Reading file " + dir.path("r.cir"), "1 elements read"));
    ASSERT_EQ(back.count, 1);
    const Element& r = back.element[1];
    EXPECT_EQ(r.kind, kind_resistor);
    EXPECT_EQ(r.name, "R1");
    EXPECT_EQ(r.P[1], 16705);
    EXPECT_EQ(r.P[2], 16449);
    EXPECT_EQ(r.P[3], 16705);  // derived for two terminals
    EXPECT_EQ(r.P[4], 16449);
    EXPECT_EQ(r.parameters, "1");
}

TEST(CircuitFile, RoundTripKeepsEveryKindOfLine) {
    testing::TestDir dir;
    Circuit c;
    add(c, make('A', "A1", {pack_point(10, 10), pack_point(10, 11), pack_point(11, 10)}, "1E6 0.01"));
    add(c, make('O', "O", {pack_point(20, 10), pack_point(20, 11), pack_point(21, 10)}));
    add(c, make('K', "K1", {1, 2, 3, 4}, "1E-3 2E-3 0.5"));
    add(c, make('-', "-", {pack_point(5, 5), pack_point(6, 5)}));
    add(c, make('*', "*", {pack_point(1, 1), pack_point(2, 1)}, "Sallen-Key  Low (fc=1E3)"));
    add(c, make('C', "C2", {pack_point(3, 3), pack_point(3, 4)}, ""));
    add(c, make('.', ".", {pack_point(0, 0), pack_point(1, 0)}, ".AC 1 1E4"));
    std::vector<std::string> lines;
    ASSERT_TRUE(write_circuit_file(dir.path("all.cir"), c, collect_into(lines)));
    EXPECT_EQ(dir.read("all.cir"),
              "A1 2570 2826 2571 1E6 0.01\r\nO 2580 2836 2581\r\nK1 1 2 3 4 1E-3 2E-3 0.5\r\n- 1285 1286\r\n"
              "* 257 258 Sallen-Key  Low (fc=1E3)\r\nC2 771 1027 \r\n. 0 1 .AC 1 1E4\r\n");

    Circuit back;
    read_circuit(dir.path("all.cir"), back, collect_into(lines));
    ASSERT_EQ(back.count, c.count);
    for (int i = 1; i <= c.count; ++i) {
        EXPECT_EQ(back.element[i].name, c.element[i].name);
        EXPECT_EQ(back.element[i].parameters, c.element[i].parameters);
        EXPECT_EQ(back.element[i].kind, c.element[i].kind);
    }
    EXPECT_EQ(back.element[1].P[4], pack_point(11, 11));  // derived for three terminals
    EXPECT_EQ(back.element[3].P[4], 4);
    EXPECT_EQ(circuit_line(back.element[5]), "* 257 258 Sallen-Key  Low (fc=1E3)");
}

TEST(CircuitFile, NamesAreCutAtFiveCharactersAndNameOnlyLinesSkipped) {
    testing::TestDir dir;
    const std::string file = dir.write("n.cir",
                                       "R12345 16705 16449 1\n"  // "5" is the first point
                                       "C1\n"                    // a name alone
                                       "\n"
                                       "  C2 1 2 3\r\n"
                                       "L1");  // a name alone at the end
    Circuit c;
    std::vector<std::string> lines;
    EXPECT_EQ(read_circuit(file, c, collect_into(lines)), CircuitRead::read);
    ASSERT_EQ(c.count, 2);
    EXPECT_EQ(c.element[1].name, "R1234");
    EXPECT_EQ(c.element[1].P[1], 5);
    EXPECT_EQ(c.element[1].P[2], 16705);
    EXPECT_EQ(c.element[1].parameters, "16449 1");
    EXPECT_EQ(c.element[2].name, "C2");
    EXPECT_EQ(c.element[2].parameters, "3");
    EXPECT_EQ(lines.back(), "2 elements read");
}

TEST(CircuitFile, UnknownKeyStopsAndKeepsEarlierElements) {
    testing::TestDir dir;
    const std::string file = dir.write("u.cir", "R1 1 2 1\r\nx7 1 2 3\r\nC1 1 2 3\r\n");
    Circuit c;
    std::vector<std::string> lines;
    EXPECT_EQ(read_circuit(file, c, collect_into(lines)), CircuitRead::invalid_element);
    EXPECT_THAT(lines, ElementsAre("Reading file " + file, "* Invalid element on line 2 : x7"));
    EXPECT_EQ(c.count, 1);
}

TEST(CircuitFile, MalformedNumberStopsWithFileAndLine) {
    testing::TestDir dir;
    const struct {
        const char* text;
        const char* what;
    } rows[] = {
        {"R1 1 2 1\r\nC1 1 2x 3\r\n", "Invalid number \"2x\""},
        {"R1 1 2 1\r\nC1 1 128 3\r\n", "Invalid point \"128\""},  // x beyond 127
        {"R1 1 2 1\r\nC1 1 -1 3\r\n", "Invalid point \"-1\""},
        {"R1 1 2 1\r\nC1 1 32768 3\r\n", "Invalid point \"32768\""},  // y beyond 127
    };
    for (const auto& row : rows) {
        const std::string file = dir.write("m.cir", row.text);
        Circuit c;
        std::vector<std::string> lines;
        try {
            read_circuit(file, c, collect_into(lines));
            ADD_FAILURE() << row.text;
        } catch (const suite::IoError& e) {
            EXPECT_THAT(e.what(), HasSubstr(row.what));
            EXPECT_THAT(e.what(), HasSubstr(file));
            EXPECT_THAT(e.what(), HasSubstr("on line 2"));
        }
        EXPECT_EQ(c.count, 1) << row.text;
    }
}

TEST(CircuitFile, MissingFileGivesAnEmptyNewCircuit) {
    testing::TestDir dir;
    Circuit c;
    c.count = 3;
    c.changed = true;
    std::vector<std::string> lines;
    EXPECT_EQ(read_circuit(dir.path("none"), c, collect_into(lines)), CircuitRead::new_file);
    EXPECT_THAT(lines, ElementsAre("New file"));
    EXPECT_EQ(c.count, 0);
    EXPECT_FALSE(c.changed);
    EXPECT_EQ(c.name, dir.path("none"));
}

TEST(CircuitFile, CircuitNameEndsAtTheFirstDotOfTheFileName) {
    EXPECT_EQ(circuit_name_of("filter.cir"), "filter");
    EXPECT_EQ(circuit_name_of("a.b/filter.x.cir"), "a.b/filter");
    EXPECT_EQ(circuit_name_of("./examples/sk.cir"), "./examples/sk");
    EXPECT_EQ(circuit_name_of("C:\\v1.2\\sk"), "C:\\v1.2\\sk");
    EXPECT_EQ(circuit_file_path("a.b/filter"), "a.b/filter.cir");
    EXPECT_EQ(circuit_file_path("filter.txt"), "filter.txt");

    testing::TestDir dir;
    dir.write("v1.0/sk.cir", "R1 1 2 1\n");
    Circuit c;
    std::vector<std::string> lines;
    read_circuit(dir.path("v1.0/sk"), c, collect_into(lines));
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(c.name, dir.path("v1.0/sk"));
}

TEST(CircuitFile, FailedWriteKeepsTheChangedFlagAndTheOldFile) {
    testing::TestDir dir;
    Circuit c;
    add(c, make('R', "R1", {1, 2}, "1"));
    c.changed = true;
    std::vector<std::string> lines;
    EXPECT_FALSE(write_circuit_file(dir.path("no/folder/x.cir"), c, collect_into(lines)));
    EXPECT_THAT(lines, ElementsAre("Saving circuit file " + dir.path("no/folder/x.cir"),
                                   "Impossible to write file."));
    EXPECT_TRUE(c.changed);
}

TEST(CircuitFile, LongParameterTextIsCutAndSizeLimitStopsReading) {
    testing::TestDir dir;
    std::string text = "R1 1 2 " + std::string(250, 'x') + "\n";
    for (int i = 0; i < max_elements; ++i) text += "- 1 2\n";
    Circuit c;
    std::vector<std::string> lines;
    EXPECT_EQ(read_circuit(dir.write("l.cir", text), c, collect_into(lines)), CircuitRead::size_limit);
    EXPECT_EQ(c.element[1].parameters.size(), 200u);
    EXPECT_EQ(c.count, max_elements);
    EXPECT_THAT(lines, ElementsAre(::testing::_, "Circuit size limit (4000 elements) reached.",
                                   "4000 elements read"));
}

}  // namespace
}  // namespace editor
