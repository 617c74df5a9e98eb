// The drawing of a cascade, proved by the editor itself: its node
// determination and netlist lines, fed with the drawing's value list, give
// the designed netlist element for element, up to a renumbering of the
// nodes; the written files read back to the same netlist; and no symbol
// lies on another or off the grid.
#include "analysis/design/drawing.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <stdexcept>

#include "common/errors.h"
#include "common/numtext.h"
#include "common/scratch_dir.h"
#include "common/textfile.h"
#include "editor/files/circuitfile.h"
#include "editor/files/valuelist.h"
#include "editor/library/library.h"
#include "editor/netlist/netlist.h"

namespace analysis::design {
namespace {

using ::testing::StartsWith;

// Sections as topology.h's table numbers them, with values that differ
// from part to part, so that two parts exchanged show.
Part P(const char* role, int a, int b) {
    const int n = std::stoi(role + 1);
    return {role, role[0], a, b, role[0] == 'R' ? 1000.0L + 100 * n : 1e-9L * n};
}

SectionCircuit sallen_key(bool equal, Shape shape, bool divider) {
    std::vector<Part> p = shape == Shape::lowpass
                              ? std::vector<Part>{P("R1", 1, 3), P("R2", 3, 4), P("C1", 3, 2), P("C2", 4, 0)}
                              : std::vector<Part>{P("C1", 1, 3), P("C2", 3, 4), P("R1", 3, 2), P("R2", 4, 0)};
    if (equal) p.insert(p.end(), {P("R3", 2, 5), P("R4", 5, 0)});
    if (divider) p.push_back(P(equal ? "R5" : "R3", 3, 0));
    return {equal ? Topology::sallen_key_equal : Topology::sallen_key_unity,
            {.shape = shape},
            false,
            p,
            {{"", equal ? 5 : 2, 4, 2}}};
}

SectionCircuit mfb(Shape shape, bool r2 = true) {
    std::vector<Part> p = {P("R1", 1, 3), P("C1", 3, 4), P("C2", 3, 2), P("R3", 4, 2)};  // band-pass
    if (shape == Shape::lowpass)
        p = {P("R1", 1, 3), P("R2", 3, 2), P("R3", 3, 4), P("C1", 3, 0), P("C2", 4, 2)};
    if (shape == Shape::highpass)
        p = {P("C1", 1, 3), P("C2", 3, 2), P("C3", 3, 4), P("R1", 3, 0), P("R2", 4, 2)};
    if (shape == Shape::bandpass && r2) p.push_back(P("R2", 3, 0));
    return {Topology::mfb, {.shape = shape}, true, p, {{"", 4, 0, 2}}};
}

// Low-pass: node 6 is the output; band-pass: node 4; otherwise the summer
// with R9 from node `r9` (none: 0).
SectionCircuit biquad(Shape shape, int r9 = 8) {
    const int n4 = shape == Shape::bandpass ? 2 : 4, n6 = shape == Shape::lowpass ? 2 : 6;
    std::vector<Part> p = {P("C1", 3, n4), P("R3", 3, n4), P("R1", 8, 3),  P("R6", 1, 3),
                           P("R2", n4, 5), P("C2", 5, n6), P("R4", n6, 7), P("R5", 7, 8)};
    std::vector<OpAmp> o = {{"1", 3, 0, n4}, {"2", 5, 0, n6}, {"3", 7, 0, 8}};
    if (n4 == 4 && n6 == 6) {
        p.insert(p.end(), {P("R7", 1, 9), P("R8", 4, 9), P("R10", 9, 2)});
        if (r9 != 0) p.push_back(P("R9", r9, 9));
        o.push_back({"4", 9, 0, 2});
    }
    return {Topology::biquad, {.shape = shape}, false, p, o};
}

SectionCircuit follower_rc(Shape shape, bool r2 = false) {
    std::vector<Part> p = shape == Shape::lowpass1 ? std::vector<Part>{P("R1", 1, 3), P("C1", 3, 0)}
                                                   : std::vector<Part>{P("C1", 1, 3), P("R1", 3, 0)};
    if (r2) p.push_back(P("R2", 3, 0));
    return {Topology::follower_rc, {.shape = shape}, false, p, {{"", 2, 3, 2}}};
}

SectionCircuit inverting(Shape shape) {
    std::vector<Part> p = shape == Shape::lowpass1
                              ? std::vector<Part>{P("R1", 1, 3), P("R2", 3, 2), P("C1", 3, 2)}
                              : std::vector<Part>{P("C1", 1, 4), P("R1", 4, 3), P("R2", 3, 2)};
    return {Topology::inverting, {.shape = shape}, true, p, {{"", 3, 0, 2}}};
}

// The same section with every part's ends given the other way round.
SectionCircuit reversed(SectionCircuit s) {
    for (Part& p : s.parts) std::swap(p.a, p.b);
    return s;
}

const OpAmpModel ideal{};
const OpAmpModel gain_bandwidth{false, 2 * 3.14159265358979L * 1e6L, 75};

struct Case {
    const char* what;
    Cascade f;
};

// Every topology and variant of the table, in cascades of both op-amp
// models; the last one is long enough to wrap into further bands.
std::vector<Case> cascades() {
    using enum Shape;
    std::vector<Case> c;
    c.push_back({"Sallen-Key",
                 {{sallen_key(false, lowpass, true), sallen_key(false, lowpass, false),
                   sallen_key(false, highpass, false), sallen_key(true, lowpass, true),
                   sallen_key(true, lowpass, false), sallen_key(true, highpass, false)},
                  ideal}});
    c.push_back(
        {"multiple feedback and first order",
         {{mfb(lowpass), mfb(highpass), mfb(bandpass), mfb(bandpass, false), follower_rc(lowpass1, true),
           follower_rc(lowpass1), follower_rc(highpass1), inverting(lowpass1), inverting(highpass1)},
          gain_bandwidth}});
    c.push_back({"biquads",
                 {{biquad(lowpass), biquad(bandpass), biquad(highpass), biquad(notch, 6)}, gain_bandwidth}});
    c.push_back({"no R9, parts end for end",
                 {{biquad(notch, 0), reversed(mfb(lowpass)), reversed(biquad(highpass))}, gain_bandwidth}});
    Cascade wrapped{{}, ideal};
    for (int i = 0; i < 20; ++i)
        wrapped.sections.push_back(i % 3 == 0   ? biquad(notch, 6)
                                   : i % 3 == 1 ? mfb(bandpass)
                                                : sallen_key(true, highpass, false));
    c.push_back({"wrapped", wrapped});
    // 200 values, in nine bands: more than fit below y = 64.
    c.push_back({"tall", {std::vector<SectionCircuit>(25, biquad(lowpass)), ideal}});
    return c;
}

// One element line of the editor's netlist.
struct Line {
    char kind = 0;
    std::vector<int> nodes;
    std::vector<Real> values;
};

struct EditorNetlist {
    int node_count = 0;
    std::map<std::string, Line> lines;
    std::string trouble;  // a message of the editor, or a line it wrote that does not read
};

// The editor's netlist of a circuit with the value list `values`.
EditorNetlist editor_netlist(editor::Circuit c, const std::vector<std::pair<std::string, double>>& values) {
    EditorNetlist r;
    editor::ValueList list;
    for (const auto& [name, value] : values)
        list.entry[static_cast<std::size_t>(++list.count)] = {name, value};
    std::vector<std::string> messages;
    editor::FormulaErrorDialog dialog;
    editor::FormulaState formulas{list, editor::collect_into(messages), dialog};
    editor::NetlistState state;
    if (!editor::prepare_netlist(c, state, formulas.print)) return {0, {}, messages.back()};
    messages.clear();
    const std::vector<std::string> text = editor::netlist_lines(c, state, formulas, false);
    if (!messages.empty()) return {0, {}, messages.front()};
    r.node_count = std::stoi(text.at(0));
    for (int i = 1; i <= state.circuit_elements; ++i) {
        const editor::Element& e = c.element[static_cast<std::size_t>(i)];
        const int terminals = editor::component_kind(e.kind).terminals;
        Line line{editor::component_kind(e.kind).key, {e.N + 1, e.N + 1 + terminals}, {}};
        std::vector<std::string> tokens;
        for (std::size_t p = 0, q; p < text[i].size(); p = q + 1) {
            q = std::min(text[i].find(' ', p), text[i].size());
            tokens.push_back(text[i].substr(p, q - p));
        }
        for (std::size_t t = 1 + terminals; t < tokens.size(); ++t)
            if (!tokens[t].empty() && !suite::parse_real(tokens[t], line.values.emplace_back()))
                r.trouble = "unreadable line " + text[i];
        r.lines[e.name] = line;
    }
    return r;
}

// The first way in which the editor's netlist differs from the designed
// one: names, kinds, values (relatively 1e-12), and the nodes under one
// consistent one-to-one renumbering that keeps ground; "" when none.
std::string first_difference(const EditorNetlist& drawn, const CascadeNetlist& n) {
    if (!drawn.trouble.empty()) return drawn.trouble;
    std::map<int, int> to_drawn{{0, 0}}, to_designed{{0, 0}};
    for (const NetElement& e : n.elements) {
        auto it = drawn.lines.find(e.name);
        if (it == drawn.lines.end()) return e.name + " is not drawn";
        const Line& d = it->second;
        if (d.kind != e.kind) return e.name + " is drawn as kind " + d.kind;
        if (d.values.size() != e.values.size()) return e.name + " has another number of values";
        for (std::size_t i = 0; i < e.values.size(); ++i)
            if (std::fabs(d.values[i] - e.values[i]) > 1e-12L * std::fabs(e.values[i]))
                return e.name + " has the value " + netlist_value(d.values[i]);
        if (d.nodes.size() != e.nodes.size()) return e.name + " has another number of terminals";
        for (std::size_t i = 0; i < e.nodes.size(); ++i) {
            const auto [a, new_a] = to_drawn.emplace(e.nodes[i], d.nodes[i]);
            const auto [b, new_b] = to_designed.emplace(d.nodes[i], e.nodes[i]);
            if (a->second != d.nodes[i] || b->second != e.nodes[i])
                return e.name + " terminal " + std::to_string(i + 1) + ": node " +
                       std::to_string(e.nodes[i]) + " drawn as node " + std::to_string(d.nodes[i]);
        }
    }
    if (drawn.lines.size() != n.elements.size()) return "the drawing has elements the netlist lacks";
    if (drawn.node_count != n.node_count)
        return "the drawing has " + std::to_string(drawn.node_count) + " nodes";
    return "";
}

std::string difference_of(const Cascade& f) {
    const CascadeNetlist n = cascade_netlist(f);
    const FilterDrawing d = draw_cascade(f, n, {"a comment"});
    return first_difference(editor_netlist(d.circuit, d.values), n);
}

TEST(FilterDrawing, TheEditorsNetlistIsTheDesignedOne) {
    for (const Case& c : cascades()) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(difference_of(c.f), "");
    }
}

// The comparison itself: each kind of slip a drawing could make shows.
TEST(FilterDrawing, ComparisonFindsAWrongDrawing) {
    Cascade f{{sallen_key(true, Shape::lowpass, true), mfb(Shape::lowpass)}, gain_bandwidth};
    const CascadeNetlist n = cascade_netlist(f);
    const FilterDrawing d = draw_cascade(f, n, {});
    auto element = [&](editor::Circuit& c, const std::string& name) -> editor::Element& {
        for (int i = 1; i <= c.count; ++i)
            if (c.element[static_cast<std::size_t>(i)].name == name)
                return c.element[static_cast<std::size_t>(i)];
        throw std::logic_error(name);
    };
    auto difference = [&](const editor::Circuit& c,
                          const std::vector<std::pair<std::string, double>>& values) {
        return first_difference(editor_netlist(c, values), n);
    };
    ASSERT_EQ(difference(d.circuit, d.values), "");

    editor::Circuit c = d.circuit;  // the ground of the op-amp's + input removed
    for (int i = 1; i <= c.count; ++i)
        if (c.element[i].kind == editor::kind_ground && c.element[i].P[2] == element(c, "AB").P[2])
            c.element[i] = c.element[c.count--];
    EXPECT_THAT(difference(c, d.values), StartsWith("AB terminal 2: node 0 drawn as node"));

    c = d.circuit;  // the op-amp's inputs exchanged (its output where it was)
    editor::Element& a = element(c, "AB");
    std::swap(a.P[1], a.P[2]);
    a.P[3] = a.P[2] + 1;
    a.P[4] = a.P[3] + a.P[2] - a.P[1];
    EXPECT_THAT(difference(c, d.values), StartsWith("AB terminal 1:"));

    c = d.circuit;  // a part turned end for end, and a part's end moved to another node
    std::swap(element(c, "R2B").P[1], element(c, "R2B").P[2]);
    EXPECT_THAT(difference(c, d.values), StartsWith("R2B terminal 1:"));
    c = d.circuit;
    element(c, "R4A").P[2] += 256;
    EXPECT_THAT(difference(c, d.values), StartsWith("R4A terminal 2: node 0"));

    auto values = d.values;  // a value, and a formula without its entry
    values[2].second *= 1 + 1e-10;
    EXPECT_EQ(difference(d.circuit, values), "C1A has the value " + netlist_value(values[2].second));
    values.pop_back();
    EXPECT_EQ(difference(d.circuit, values), "Unknown operand: [RO]");
}

TEST(FilterDrawing, WrittenFilesReadBackToTheSameNetlist) {
    suite::testing::ScratchDir dir;
    const Cascade f = cascades()[2].f;
    const CascadeNetlist n = cascade_netlist(f);
    const FilterDrawing d = draw_cascade(f, n, {"Biquads", "order 8"});
    write_drawing(dir.path("bq.cir"), dir.path("bq.val"), d);
    EXPECT_EQ(suite::read_file_bytes(dir.path("bq.val")).substr(0, 21), "C1A 1e-09\r\nR3A 1300\r\n");

    std::vector<std::string> messages;
    editor::Circuit c;
    ASSERT_EQ(editor::read_circuit(dir.path("bq.cir"), c, editor::collect_into(messages)),
              editor::CircuitRead::read);
    editor::ValueList list;
    ASSERT_TRUE(editor::read_value_list(dir.path("bq.val"), list, editor::collect_into(messages)));
    std::vector<std::pair<std::string, double>> values;
    for (int i = 1; i <= list.count; ++i) values.emplace_back(list.entry[i].name, list.entry[i].value);
    EXPECT_EQ(values, d.values);
    EXPECT_EQ(first_difference(editor_netlist(c, values), n), "");
    EXPECT_EQ(c.element[c.count].parameters, "order 8");

    EXPECT_THROW(write_drawing(dir.path("none/bq.cir"), dir.path("bq2.val"), d), suite::IoError);
}

// Every symbol's points, as the editor places them.
struct Segment {
    std::int32_t a, b;
    auto operator<=>(const Segment&) const = default;
};
Segment segment(std::int32_t p, std::int32_t q) { return {std::min(p, q), std::max(p, q)}; }

// What is wrong with the drawing's geometry, or "": a point off the grid,
// two symbols on one segment, a symbol on an op-amp's outline, anything
// touching a point that joins nothing (a ground's or a label's far end, an
// op-amp's fourth corner, a comment), or a wire end touching nothing but
// the output's lead.
std::string geometry_fault(const editor::Circuit& c) {
    std::set<Segment> taken;
    std::map<std::int32_t, int> touches;  // point -> symbols with a point there
    std::set<std::int32_t> dead;
    for (int i = 1; i <= c.count; ++i) {
        const editor::Element& e = c.element[static_cast<std::size_t>(i)];
        for (int k = 1; k <= 4; ++k)
            if (!editor::is_grid_point(e.P[k]) || editor::point_x(e.P[k]) > 126)
                return e.name + " is off the grid";
        std::vector<Segment> own = {segment(e.P[1], e.P[2])};
        if (editor::component_kind(e.kind).terminals > 2) {
            own.insert(own.end(),
                       {segment(e.P[3], e.P[4]), segment(e.P[1], e.P[3]), segment(e.P[2], e.P[4])});
            dead.insert(e.P[4]);
        }
        if (e.kind == editor::kind_comment) dead.insert({e.P[1], e.P[2]});
        if (e.kind == editor::kind_ground || editor::is_label_kind(e.kind)) dead.insert(e.P[1]);
        for (const Segment& s : own)
            if (!taken.insert(s).second) return e.name + " lies on another symbol";
        for (std::int32_t p : std::set<std::int32_t>{e.P[1], e.P[2], e.P[3], e.P[4]}) ++touches[p];
    }
    for (std::int32_t p : dead)
        if (touches[p] > 1) return "a symbol touches a point that joins nothing";
    int free_wire_ends = 0;
    for (int i = 1; i <= c.count; ++i) {
        const editor::Element& e = c.element[static_cast<std::size_t>(i)];
        if (e.kind == editor::kind_wire) free_wire_ends += (touches[e.P[1]] == 1) + (touches[e.P[2]] == 1);
    }
    return free_wire_ends == 1 ? "" : std::to_string(free_wire_ends) + " free wire ends";
}

TEST(FilterDrawing, SymbolsKeepApartOnTheGridFromTheEditorsView) {
    for (const Case& c : cascades()) {
        SCOPED_TRACE(c.what);
        const FilterDrawing d = draw_cascade(c.f, cascade_netlist(c.f), {"first", "second"});
        EXPECT_EQ(geometry_fault(d.circuit), "");
        // The source at the view's left edge, its ground above y = 64; the
        // comments above everything else, the first on top.
        int source[2] = {}, comment_y[2] = {}, top = 0;
        for (int i = 1; i <= d.circuit.count; ++i) {
            const editor::Element& e = d.circuit.element[static_cast<std::size_t>(i)];
            if (e.name == "VIN") source[0] = editor::point_x(e.P[1]), source[1] = editor::point_y(e.P[1]);
            if (e.kind == editor::kind_comment) comment_y[e.parameters == "second"] = editor::point_y(e.P[1]);
            if (e.kind != editor::kind_comment) top = std::max(top, editor::point_y(e.P[1]));
        }
        EXPECT_EQ(source[0], 65);
        EXPECT_GE(source[1] - 2, 64);
        EXPECT_EQ(comment_y[0], comment_y[1] + 1);
        EXPECT_GT(comment_y[1], top);
    }
}

TEST(FilterDrawing, RefusesWhatItCannotDraw) {
    auto refused = [](std::vector<SectionCircuit> sections, std::size_t comments = 0) {
        const Cascade f{sections, ideal};
        try {
            draw_cascade(f, cascade_netlist(f), std::vector<std::string>(comments, "line"));
        } catch (const std::invalid_argument& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    EXPECT_EQ(refused(std::vector<SectionCircuit>(26, follower_rc(Shape::lowpass1))), "");
    EXPECT_NE(refused(std::vector<SectionCircuit>(27, follower_rc(Shape::lowpass1))), "");
    EXPECT_NE(refused(std::vector<SectionCircuit>(17, biquad(Shape::notch))), "");  // 204 values
    EXPECT_NE(refused({follower_rc(Shape::lowpass1)}, 130), "");                    // no room
    SectionCircuit s = sallen_key(false, Shape::lowpass, false);
    s.parts[3].b = 2;  // C2 to the output
    EXPECT_EQ(refused({mfb(Shape::lowpass), s}), "section B: C2 joins nodes 4 and 2, drawn between 4 and 0");
    s = mfb(Shape::highpass);
    s.parts.push_back(P("R9", 3, 0));
    EXPECT_EQ(refused({s}), "section A: R9 has no place in the drawing");
    s = biquad(Shape::bandpass);
    s.opamps[1].plus = 4;
    EXPECT_EQ(refused({s}), "section A: op-amp \"2\" has its nodes other than drawn");
}

}  // namespace
}  // namespace analysis::design
