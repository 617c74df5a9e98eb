// The drawing of a cascade. Each section is sketched in its own
// coordinates (its input at (0, 0) on the signal row, its output at
// (width, 0), y upwards) by a function of its topology, which names the
// nodes it joins at every point; the sketch checks them against the
// section's parts. The sketches are then set side by side in bands on the
// editor's grid.
//
// Every symbol of the editor is one grid step long, and two symbols join
// wherever their points meet, so a sketch never lets a wire pass through
// a point of another node: feedback runs above the signal row, grounds
// hang below it, and the biquad's taps to its summer or output run in rows
// below the grounds.
#include "analysis/design/drawing.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <stdexcept>

#include "common/textfile.h"
#include "editor/files/circuitfile.h"
#include "editor/files/valuelist.h"
#include "editor/library/library.h"

namespace analysis::design {
namespace {

struct At {
    int x = 0;
    int y = 0;
};

At operator+(At a, At b) { return {a.x + b.x, a.y + b.y}; }

// A symbol as a sketch places it: P1, P2 and, for an op-amp, P3.
struct Symbol {
    char key = '-';
    std::string name;
    At p1, p2, p3;
    std::string parameters;
};

struct Block {
    std::vector<Symbol> symbols;
    int width = 0;
    int top = 0, bottom = 0;  // the highest and lowest y of any point
};

std::string node_pair(int a, int b) { return std::to_string(a) + " and " + std::to_string(b); }

class Sketch {
public:
    Sketch(const SectionCircuit& s, int index, const OpAmpModel& model)
        : s_(s), index_(index), model_(model), parts_drawn_(s.parts.size()), opamps_drawn_(s.opamps.size()) {}

    // A node that the section numbers differently from the topology's
    // table (the biquad's output at an integrator).
    void alias(int table_node, int node) { alias_[table_node] = node; }

    // Whether the part `role` is there and touches the table's node.
    bool joins(const std::string& role, int table_node) const {
        const int i = find_part(role);
        if (i < 0) return false;
        const Part& p = s_.parts[static_cast<std::size_t>(i)];
        return p.a == node(table_node) || p.b == node(table_node);
    }

    // The part `role` from the point of node a to that of node b (the
    // table's numbers; either way round).
    void part(const std::string& role, int a, At pa, int b, At pb) {
        if (!optional_part(role, a, pa, b, pb)) refuse(role + " is missing");
    }
    bool optional_part(const std::string& role, int a, At pa, int b, At pb) {
        const int i = find_part(role);
        if (i < 0) return false;
        const Part& p = s_.parts[static_cast<std::size_t>(i)];
        if (p.kind != role[0]) refuse(role + " is not of kind " + role.substr(0, 1));
        if (p.a == node(b) && p.b == node(a))
            std::swap(pa, pb);
        else if (p.a != node(a) || p.b != node(b))
            refuse(role + " joins nodes " + node_pair(p.a, p.b) + ", drawn between " +
                   node_pair(node(a), node(b)));
        block_.symbols.push_back(
            {p.kind, part_name(p, index_), pa, pb, pa, "(" + part_name(p, index_) + ")"});
        parts_drawn_[static_cast<std::size_t>(i)] = true;
        return true;
    }

    // An op-amp with its − input at `minus`, the + input one step above
    // (or below, when the − input is on top) and the output one step right.
    void opamp(const std::string& role, int minus, int plus, int out, At at, bool minus_on_top) {
        auto it =
            std::find_if(s_.opamps.begin(), s_.opamps.end(), [&](const OpAmp& o) { return o.role == role; });
        if (it == s_.opamps.end()) refuse("op-amp \"" + role + "\" is missing");
        if (it->minus != node(minus) || it->plus != node(plus) || it->out != node(out))
            refuse("op-amp \"" + role + "\" has its nodes other than drawn");
        opamps_drawn_[static_cast<std::size_t>(it - s_.opamps.begin())] = true;
        const At plus_at = at + At{0, minus_on_top ? -1 : 1};
        block_.symbols.push_back({model_.ideal ? 'O' : 'A', opamp_name(*it, index_, !model_.ideal), at,
                                  plus_at, at + At{1, 0}, model_.ideal ? "" : "(GB) (RO)"});
    }

    // Wires along a path of horizontal and vertical legs, one step each.
    void wire(std::initializer_list<At> path) {
        for (auto p = path.begin(); p + 1 < path.end(); ++p) {
            At a = *p;
            const At b = *(p + 1);
            if (a.x != b.x && a.y != b.y) throw std::logic_error("diagonal wire leg");
            const At step{(b.x > a.x) - (b.x < a.x), (b.y > a.y) - (b.y < a.y)};
            for (; a.x != b.x || a.y != b.y; a = a + step)
                block_.symbols.push_back({'-', "-", a, a + step, a, ""});
        }
    }

    // A ground symbol hanging from `at`.
    void ground(At at) { block_.symbols.push_back({'=', "=", at + At{0, -1}, at, at, ""}); }

    // The finished block; every part and op-amp of the section must be drawn.
    Block finish(int width) {
        for (std::size_t i = 0; i < parts_drawn_.size(); ++i)
            if (!parts_drawn_[i]) refuse(s_.parts[i].role + " has no place in the drawing");
        if (std::find(opamps_drawn_.begin(), opamps_drawn_.end(), false) != opamps_drawn_.end())
            refuse("an op-amp has no place in the drawing");
        block_.width = width;
        for (const Symbol& s : block_.symbols)
            for (At p : {s.p1, s.p2, s.p3}) {
                block_.top = std::max(block_.top, p.y);
                block_.bottom = std::min(block_.bottom, p.y);
            }
        return block_;
    }

private:
    int node(int table_node) const {
        auto it = alias_.find(table_node);
        return it == alias_.end() ? table_node : it->second;
    }
    int find_part(const std::string& role) const {
        for (std::size_t i = 0; i < s_.parts.size(); ++i)
            if (s_.parts[i].role == role) return static_cast<int>(i);
        return -1;
    }
    [[noreturn]] void refuse(const std::string& what) const {
        throw std::invalid_argument(std::string("section ") + section_letter(index_) + ": " + what);
    }

    const SectionCircuit& s_;
    int index_;
    const OpAmpModel& model_;
    std::map<int, int> alias_;
    std::vector<bool> parts_drawn_, opamps_drawn_;
    Block block_;
};

// The parts of a two-path section by their places in the drawing.
struct Places {
    std::string series1, series2, feedback, inner, shunt, divider;
};

// Sallen-Key: two series parts on the signal row, the feedback part above
// to the output, the shunt part to ground, the op-amp's + input on the
// signal row; a follower, or an amplifier with R3 (output to − input) and
// R4 (− input to ground) below the op-amp.
Block sallen_key(Sketch& k, bool equal, bool lowpass) {
    const Places r = lowpass ? Places{"R1", "R2", "C1", "", "C2", equal ? "R5" : "R3"}
                             : Places{"C1", "C2", "R1", "", "R2", ""};
    k.part(r.series1, 1, {0, 0}, 3, {1, 0});
    if (!r.divider.empty() && k.optional_part(r.divider, 3, {1, 0}, 0, {1, -1})) k.ground({1, -1});
    k.wire({{1, 0}, {2, 0}});
    k.part(r.series2, 3, {2, 0}, 4, {3, 0});
    k.wire({{3, 0}, {6, 0}});
    if (k.optional_part(r.shunt, 4, {4, 0}, 0, {4, -1})) k.ground({4, -1});
    k.opamp("", equal ? 5 : 2, 4, 2, {6, -1}, false);
    if (equal) {
        k.wire({{6, -1}, {6, -2}});
        k.part("R3", 2, {7, -2}, 5, {6, -2});
        k.wire({{7, -2}, {7, -1}});
        k.part("R4", 5, {6, -2}, 0, {6, -3});
        k.ground({6, -3});
    } else {
        k.wire({{6, -1}, {6, -2}, {7, -2}, {7, -1}});
    }
    k.wire({{7, -1}, {8, -1}, {8, 1}});
    k.wire({{2, 0}, {2, 1}, {4, 1}});
    k.part(r.feedback, 3, {4, 1}, 2, {5, 1});
    k.wire({{5, 1}, {8, 1}});
    return k.finish(8);
}

// Multiple feedback: the op-amp with its − input on top, the inner
// feedback part over it from node 4, the outer one above from node 3.
Block mfb(Sketch& k, Shape shape) {
    const Places r = shape == Shape::lowpass    ? Places{"R1", "R3", "R2", "C2", "C1", ""}
                     : shape == Shape::highpass ? Places{"C1", "C3", "C2", "R2", "R1", ""}
                                                : Places{"R1", "C1", "C2", "R3", "R2", ""};
    k.part(r.series1, 1, {0, 0}, 3, {1, 0});
    if (k.optional_part(r.shunt, 3, {1, 0}, 0, {1, -1})) k.ground({1, -1});
    k.wire({{1, 0}, {2, 0}});
    k.part(r.series2, 3, {2, 0}, 4, {3, 0});
    k.wire({{3, 0}, {5, 0}});
    k.opamp("", 4, 0, 2, {5, 0}, true);
    k.ground({5, -1});
    k.wire({{6, 0}, {7, 0}, {7, 2}});
    k.wire({{4, 0}, {4, 1}, {5, 1}});
    k.part(r.inner, 4, {5, 1}, 2, {6, 1});
    k.wire({{6, 1}, {7, 1}});
    k.wire({{2, 0}, {2, 2}, {4, 2}});
    k.part(r.feedback, 3, {4, 2}, 2, {5, 2});
    k.wire({{5, 2}, {7, 2}});
    return k.finish(7);
}

// An inverting stage whose input part ends at x = r: the op-amp's − input
// at (r + 1, 0), its + input grounded, its output riser at x = r + 3 and
// the feedback parts on rows 1, 2, ... between the two risers.
void inverting_stage(Sketch& k, int r, const std::string& opamp, int in, int out,
                     std::initializer_list<const char*> feedback) {
    k.wire({{r, 0}, {r + 1, 0}});
    k.opamp(opamp, in, 0, out, {r + 1, 0}, true);
    k.ground({r + 1, -1});
    k.wire({{r + 2, 0}, {r + 3, 0}});
    int row = 0;
    for (const char* role : feedback) {
        ++row;
        k.wire({{r, row - 1}, {r, row}, {r + 1, row}});
        k.part(role, in, {r + 1, row}, out, {r + 2, row});
        k.wire({{r + 2, row}, {r + 3, row}, {r + 3, row - 1}});
    }
}

// A wire from `from` down to row `row`, along it to x = to_x, with the
// part `role` (from node a to node b) placed on the row at x = at_x.
void tap(Sketch& k, At from, int row, int to_x, const std::string& role, int a, int b, int at_x) {
    k.wire({from, {from.x, row}, {at_x, row}});
    k.part(role, a, {at_x, row}, b, {at_x + 1, row});
    k.wire({{at_x + 1, row}, {to_x, row}});
}

// Tow-Thomas: the lossy integrator, the integrator and the inverter in a
// row with the loop resistor R1 above them all; the low-pass or band-pass
// output taken below the grounds to the block's right edge, or the summer
// fed below the grounds from the input, node 4 and node 6 (R9 from node 8
// lies on the signal row).
Block biquad(Sketch& k, Shape shape) {
    if (shape == Shape::lowpass) k.alias(6, 2);
    if (shape == Shape::bandpass) k.alias(4, 2);
    k.part("R6", 1, {0, 0}, 3, {1, 0});
    inverting_stage(k, 1, "1", 3, 4, {"R3", "C1"});
    k.part("R2", 4, {4, 0}, 5, {5, 0});
    inverting_stage(k, 5, "2", 5, 6, {"C2"});
    k.part("R4", 6, {8, 0}, 7, {9, 0});
    inverting_stage(k, 9, "3", 7, 8, {"R5"});
    k.wire({{1, 2}, {1, 3}, {6, 3}});
    k.part("R1", 8, {7, 3}, 3, {6, 3});
    k.wire({{7, 3}, {12, 3}, {12, 1}});
    if (shape == Shape::lowpass || shape == Shape::bandpass) {
        const int x = shape == Shape::lowpass ? 8 : 4;
        k.wire({{x, 0}, {x, -3}, {14, -3}, {14, 0}});
        return k.finish(14);
    }
    // The summer: node 9 at x = 14, its riser down to the taps' rows.
    // The summing resistors stand in one column, x = 12..13.
    // R9 is left out for a notch at ω0 itself.
    if (k.joins("R9", 8)) {
        k.part("R9", 8, {12, 0}, 9, {13, 0});
        k.wire({{13, 0}, {14, 0}});
    }
    int row = -3;
    if (k.joins("R9", 6)) tap(k, {8, 0}, row--, 14, "R9", 6, 9, 12);
    tap(k, {4, 0}, row--, 14, "R8", 4, 9, 12);
    tap(k, {0, 0}, row, 14, "R7", 1, 9, 12);
    k.wire({{14, 0}, {14, row}});
    inverting_stage(k, 14, "4", 9, 2, {"R10"});
    return k.finish(17);
}

// First order with a follower: the series part, the optional divider and
// the shunt part to ground, the op-amp's + input on the signal row.
Block follower_rc(Sketch& k, Shape shape) {
    const bool lowpass = shape == Shape::lowpass1;
    k.part(lowpass ? "R1" : "C1", 1, {0, 0}, 3, {1, 0});
    if (lowpass && k.optional_part("R2", 3, {1, 0}, 0, {1, -1})) k.ground({1, -1});
    k.wire({{1, 0}, {5, 0}});
    k.part(lowpass ? "C1" : "R1", 3, {3, 0}, 0, {3, -1});
    k.ground({3, -1});
    k.opamp("", 2, 3, 2, {5, -1}, false);
    k.wire({{5, -1}, {5, -2}, {6, -2}, {6, -1}, {7, -1}, {7, 0}});
    return k.finish(7);
}

// First order, inverting: R2 and C1 (low-pass) or R2 alone (high-pass,
// after C1 and R1 in series) over the op-amp.
Block inverting(Sketch& k, Shape shape) {
    if (shape == Shape::lowpass1) {
        k.part("R1", 1, {0, 0}, 3, {1, 0});
        inverting_stage(k, 1, "", 3, 2, {"R2", "C1"});
        return k.finish(4);
    }
    k.part("C1", 1, {0, 0}, 4, {1, 0});
    k.part("R1", 4, {1, 0}, 3, {2, 0});
    inverting_stage(k, 2, "", 3, 2, {"R2"});
    return k.finish(5);
}

Block sketch_section(const SectionCircuit& s, int index, const OpAmpModel& model) {
    Sketch k(s, index, model);
    const Shape shape = s.goal.shape;
    switch (s.topology) {
        case Topology::sallen_key_unity:
            return sallen_key(k, false, shape == Shape::lowpass);
        case Topology::sallen_key_equal:
            return sallen_key(k, true, shape == Shape::lowpass);
        case Topology::mfb:
            return mfb(k, shape);
        case Topology::biquad:
            return biquad(k, shape);
        case Topology::follower_rc:
            return follower_rc(k, shape);
        case Topology::inverting:
            return inverting(k, shape);
    }
    throw std::invalid_argument("unknown topology");
}

// The grid: the editor opens a circuit with (64, 64) at the lower left of
// its view; the bands start there, the first one above y = 64.
constexpr int left_x = 65;        // the source and the bands' labels
constexpr int right_x = 126;      // the last column a band may use
constexpr int view_y = 64;        // the first band's lowest point lies above it
constexpr int band_gap = 2;       // empty rows between bands
constexpr int max_sections = 26;  // section letters A..Z

struct Band {
    std::vector<int> sections;
    std::vector<int> x;        // each section's input column
    int top = 1, bottom = -2;  // the source's and labels' extent at least
    int y = 0;                 // the signal row
};

std::vector<Band> arrange(const std::vector<Block>& blocks) {
    std::vector<Band> bands(1);
    int x = left_x + 2;
    for (int i = 0; i < static_cast<int>(blocks.size()); ++i) {
        const Block& b = blocks[static_cast<std::size_t>(i)];
        // The output's lead (or the wire to a label) needs one column more.
        if (x + b.width + 1 > right_x && !bands.back().sections.empty()) {
            bands.emplace_back();
            x = left_x + 2;
        }
        if (x + b.width + 1 > right_x)
            throw std::invalid_argument("a section is wider than the editor's grid");
        Band& band = bands.back();
        band.sections.push_back(i);
        band.x.push_back(x);
        band.top = std::max(band.top, b.top);
        band.bottom = std::min(band.bottom, b.bottom);
        x += b.width + 2;
    }
    if (bands.size() > 10) throw std::invalid_argument("the drawing needs more bands than there are labels");
    return bands;
}

// Signal rows for the bands and the comment lines above the first one,
// moved up or down as a whole when they would leave the grid.
int place_rows(std::vector<Band>& bands, int comment_lines) {
    bands[0].y = view_y + 1 - bands[0].bottom;
    for (std::size_t i = 1; i < bands.size(); ++i)
        bands[i].y = bands[i - 1].y + bands[i - 1].bottom - band_gap - 1 - bands[i].top;
    const int first_comment = bands[0].y + bands[0].top + 2;
    const int highest = first_comment + comment_lines - 1;
    const int lowest = bands.back().y + bands.back().bottom;
    int shift = 0;
    if (lowest < 1) shift = 1 - lowest;  // a row to spare below, where there is room
    if (highest + shift > editor::grid_size - 1) shift = editor::grid_size - 1 - highest;
    if (lowest + shift < 0) throw std::invalid_argument("the drawing does not fit the editor's grid");
    for (Band& b : bands) b.y += shift;
    return first_comment + shift;
}

void add(editor::Circuit& c, const Symbol& s, At origin) {
    if (c.count == editor::max_elements) throw std::invalid_argument("the drawing has too many elements");
    editor::Element& e = c.element[static_cast<std::size_t>(++c.count)];
    e = editor::Element{};
    e.kind = static_cast<std::uint8_t>(editor::find_kind(s.key));
    e.name = s.name;
    e.parameters = s.parameters;
    const At p1 = s.p1 + origin, p2 = s.p2 + origin, p3 = s.p3 + origin;
    e.P[1] = editor::pack_point(p1.x, p1.y);
    e.P[2] = editor::pack_point(p2.x, p2.y);
    if (editor::component_kind(e.kind).terminals == 3) {
        e.P[3] = editor::pack_point(p3.x, p3.y);
        e.P[4] = e.P[3] + e.P[2] - e.P[1];
    } else {
        e.P[3] = e.P[1];
        e.P[4] = e.P[2];
    }
}

// Comment text as one line of at most 200 characters.
std::string comment_text(const std::string& line) {
    std::string t = line;
    for (char& ch : t)
        if (static_cast<unsigned char>(ch) < ' ') ch = ' ';
    return editor::text_prefix(t, editor::max_parameter_length);
}

std::vector<std::pair<std::string, double>> value_entries(const Cascade& f) {
    std::vector<std::pair<std::string, double>> values;
    for (std::size_t i = 0; i < f.sections.size(); ++i)
        for (const Part& p : f.sections[i].parts)
            values.emplace_back(part_name(p, static_cast<int>(i)), static_cast<double>(p.value));
    if (!f.opamp.ideal) {
        values.emplace_back("GB", static_cast<double>(f.opamp.gb));
        values.emplace_back("RO", static_cast<double>(f.opamp.ro));
    }
    if (values.size() > static_cast<std::size_t>(editor::max_values))
        throw std::invalid_argument("the filter has more than " + std::to_string(editor::max_values) +
                                    " part values, more than the editor's value list holds");
    for (const auto& [name, value] : values)
        if (name.size() > static_cast<std::size_t>(editor::max_name_length))
            throw std::invalid_argument("the name " + name + " is longer than the editor's names");
    return values;
}

// The label that joins the end of band `wrap` − 1 to the start of band
// `wrap`, hanging from its point `at`.
void add_label(editor::Circuit& c, std::size_t wrap, At at) {
    const std::string name(1, static_cast<char>('0' + wrap));
    add(c, {name[0], name, at + At{0, -1}, at, {}, ""}, {});
}

// A band's sections, the wires between them and its labels; the last band
// ends in the output's lead.
void draw_band(editor::Circuit& c, const std::vector<Band>& bands, std::size_t b,
               const std::vector<Block>& blocks) {
    const Band& band = bands[b];
    const At start{band.x.front(), band.y};
    if (b > 0) add_label(c, b, start + At{-1, 0});
    add(c, {'-', "-", start + At{-1, 0}, start, {}, ""}, {});
    for (std::size_t j = 0; j < band.sections.size(); ++j) {
        const Block& k = blocks[static_cast<std::size_t>(band.sections[j])];
        const At origin{band.x[j], band.y};
        for (const Symbol& s : k.symbols) add(c, s, origin);
        const At out = origin + At{k.width, 0};
        add(c, {'-', "-", out, out + At{1, 0}, {}, ""}, {});
        if (j + 1 < band.sections.size())
            add(c, {'-', "-", out + At{1, 0}, out + At{2, 0}, {}, ""}, {});
        else if (b + 1 < bands.size())
            add_label(c, b + 1, out + At{1, 0});
    }
}

}  // namespace

FilterDrawing draw_cascade(const Cascade& f, const CascadeNetlist& n,
                           const std::vector<std::string>& comments) {
    if (f.sections.empty()) throw std::invalid_argument("the filter has no sections");
    if (f.sections.size() > max_sections)
        throw std::invalid_argument("the filter has more than " + std::to_string(max_sections) + " sections");
    if (n.section_nodes.size() != f.sections.size() || n.elements.empty() || n.elements.front().name != "VIN")
        throw std::invalid_argument("the netlist is not the filter's");
    FilterDrawing d;
    d.values = value_entries(f);
    std::vector<Block> blocks;
    for (std::size_t i = 0; i < f.sections.size(); ++i)
        blocks.push_back(sketch_section(f.sections[i], static_cast<int>(i), f.opamp));
    std::vector<Band> bands = arrange(blocks);
    const int first_comment = place_rows(bands, static_cast<int>(comments.size()));

    editor::Circuit& c = d.circuit;
    const int y0 = bands[0].y;
    add(c, {'V', "VIN", {left_x, y0}, {left_x, y0 - 1}, {}, "1"}, {});
    add(c, {'=', "=", {left_x, y0 - 2}, {left_x, y0 - 1}, {}, ""}, {});
    add(c, {'-', "-", {left_x, y0}, {left_x + 1, y0}, {}, ""}, {});
    for (std::size_t b = 0; b < bands.size(); ++b) draw_band(c, bands, b, blocks);
    for (std::size_t i = 0; i < comments.size(); ++i) {
        const int y = first_comment + static_cast<int>(comments.size() - 1 - i);
        add(c, {'*', "*", {left_x, y}, {left_x + 1, y}, {}, comment_text(comments[i])}, {});
    }
    return d;
}

void write_drawing(const std::string& circuit_path, const std::string& values_path, const FilterDrawing& d) {
    std::vector<std::string> lines;
    for (int i = 1; i <= d.circuit.count; ++i)
        lines.push_back(editor::circuit_line(d.circuit.element[static_cast<std::size_t>(i)]));
    suite::write_text_file(circuit_path, lines);
    lines.clear();
    for (const auto& [name, value] : d.values) {
        char text[40];
        const auto r = std::to_chars(text, text + sizeof text, value);
        lines.push_back(name + " " + std::string(text, r.ptr));
    }
    suite::write_text_file(values_path, lines);
}

}  // namespace analysis::design
