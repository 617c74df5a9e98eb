// What the reader does with each kind of element line: fields read in file
// order, checks, the stored record and the elements it expands into (right
// after it, in this order), the map and counter changes, and the
// description line.
#include <cmath>
#include <initializer_list>

#include "analysis/circuit/reader_line.h"
#include "common/numtext.h"

namespace analysis {
namespace {

std::string E(Real x) { return suite::format_scientific(x, 11); }
std::string F(Real x) { return suite::format_fixed(x, 9, 6); }
std::string N(int n) { return std::to_string(n); }

// Checks the line's reads, then its node fields.
struct Nodes {
    int a = 0, b = 0, c = 0, d = 0;
};

Nodes checked(const LineReader& line, std::initializer_list<long long> raw) {
    line.check_read();
    int out[4] = {0, 0, 0, 0};
    int i = 0;
    for (long long n : raw) out[i++] = line.checked_node(n);
    return {out[0], out[1], out[2], out[3]};
}

void set_nodes(Element& e, int n1, int n2, int n3 = 0, int n4 = 0) {
    e.node1 = static_cast<std::uint8_t>(n1);
    e.node2 = static_cast<std::uint8_t>(n2);
    e.node3 = static_cast<std::uint8_t>(n3);
    e.node4 = static_cast<std::uint8_t>(n4);
}

// Generated name: a prefix and the element's name from character `from`
// (0-based) on.
std::string derived(const LineReader& line, const char* prefix, int from) {
    return std::string(prefix) + drop_chars(line.name, from);
}

void comment(LineReader& line) {
    line.log(line.name + line.in.rest_of_line());
    line.in.readln();
    line.c.element_count -= 1;
}

// R, C, L, I and V.
void two_terminal(LineReader& line, char kind) {
    const long long ra = line.node(), rb = line.node();
    const Real value = line.real();
    line.in.readln();
    const Nodes n = checked(line, {ra, rb});
    if (kind == 'R' || kind == 'L') line.check_nonzero(value, std::string(1, kind));
    Element& e = line.element_of_line();
    set_nodes(e, n.a, n.b);
    e.value = value;
    if (kind == 'V')
        e.extra_var =
            static_cast<std::uint8_t>(add_variable(line.c, line.c.row_map, line.c.column_map, n.a, n.b));
    line.log(line.label + E(value) + " de " + N(n.a) + " para " + N(n.b));
}

void source_with_resistance(LineReader& line) {
    const long long ra = line.node(), rb = line.node();
    const Real rs = line.real(), vs = line.real();
    line.in.readln();
    const Nodes n = checked(line, {ra, rb});
    line.check_nonzero(rs, "Rs");
    Element& e = line.element_of_line();
    set_nodes(e, n.a, n.b);
    e.value = rs;
    Element& norton = line.add_generated(derived(line, "v", 1));
    set_nodes(norton, n.a, n.b);
    norton.value = vs / rs;
    line.log(line.label + "Rs:" + E(rs) + " Vs:" + E(vs) + " de " + N(n.a) + " para " + N(n.b));
}

// E, F and H: four nodes and a gain.
void controlled_source(LineReader& line, char kind) {
    const long long ra = line.node(), rb = line.node(), rc = line.node(), rd = line.node();
    const Real gain = line.real();
    line.in.readln();
    const Nodes n = checked(line, {ra, rb, rc, rd});
    if (kind == 'H') line.check_nonzero(gain, "Rm");
    Circuit& c = line.c;
    Element& e = line.element_of_line();
    set_nodes(e, n.a, n.b, n.c, n.d);
    e.value = gain;
    const std::string between = " entre " + N(n.c);
    if (kind == 'E') {
        c.stamp_re[c.element_count] = gain;
        c.stamp_im[c.element_count] = 0;
        e.extra_var = static_cast<std::uint8_t>(add_variable(c, c.row_map, c.column_map, n.a, n.b));
        line.log(line.label + "Av:" + E(gain) + between + " (vi+), " + N(n.d) + " (vi-), " + N(n.a) +
                 " (vo+) e " + N(n.b) + " (vo-)");
    } else if (kind == 'F') {
        c.stamp_re[c.element_count] = gain;
        c.stamp_im[c.element_count] = 0;
        e.extra_var = static_cast<std::uint8_t>(add_variable(c, c.column_map, c.row_map, n.c, n.d));
        line.log(line.label + "Ai:" + E(gain) + between + " (ii+), " + N(n.d) + " (ii-), " + N(n.a) +
                 " (io+) e " + N(n.b) + " (io-)");
    } else {
        merge_nodes(c, c.column_map, n.c, n.d);
        merge_nodes(c, c.row_map, n.a, n.b);
        c.equation_count -= 1;
        line.log(line.label + "Rm:" + E(gain) + between + " (ii+), " + N(n.d) + " (ii-), " + N(n.a) +
                 " (vo+) e " + N(n.b) + " (vo-)");
    }
}

void ideal_opamp(LineReader& line) {
    const long long ra = line.node(), rb = line.node(), rc = line.node();
    const bool four = line.in.line_has_field();
    const long long rd = four ? line.node() : 0;
    line.in.readln();
    const Nodes n = checked(line, {ra, rb, rc, rd});
    // With three nodes the output (third node) is referred to ground.
    const Nodes o = four ? n : Nodes{n.c, 0, n.a, n.b};
    Circuit& c = line.c;
    merge_nodes(c, c.column_map, o.c, o.d);
    merge_nodes(c, c.row_map, o.a, o.b);
    c.equation_count -= 1;
    c.element_count -= 1;
    if (c.ideal_opamp_count < max_ideal_opamps) {
        IdealOpAmp& op = c.ideal_opamps[static_cast<std::size_t>(++c.ideal_opamp_count)];
        op.name = line.name;
        op.out_plus = static_cast<std::uint8_t>(o.a);
        op.out_minus = static_cast<std::uint8_t>(o.b);
        op.in_minus = static_cast<std::uint8_t>(o.c);
        op.in_plus = static_cast<std::uint8_t>(o.d);
    }
    line.log(line.label + "Saída entre " + N(o.a) + " e " + N(o.b) + ", entradas em " + N(o.c) + " e " +
             N(o.d));
}

// A: two reals after the third node; a further field means that the first
// of them was the fourth node.
void gain_bandwidth_opamp(LineReader& line) {
    const long long ra = line.node(), rb = line.node(), rc = line.node();
    const Real first = line.real(), second = line.real();
    const bool four = line.in.line_has_field();
    const Real ro_read = four ? line.real() : 0;
    line.in.readln();
    const Real clamped = std::fmax(-1e9L, std::fmin(1e9L, first));
    const long long rd = four ? std::llround(clamped) : 0;
    const Real gb = four ? second : first;
    const Real ro = four ? ro_read : second;
    const Nodes n = checked(line, {ra, rb, rc, rd});
    line.check_nonzero(ro, "Ro");
    const Nodes o = four ? n : Nodes{n.c, 0, n.a, n.b};
    Element& e = line.element_of_line();
    set_nodes(e, o.a, o.b, o.c, o.d);
    e.value = gb / ro;
    Element& out = line.add_generated(derived(line, "a", 1));
    set_nodes(out, o.a, o.b);
    out.value = ro;
    line.log(line.label + "GB:" + E(gb) + ", Ro:" + E(ro) + " Saída entre " + N(o.a) + "(+) e " + N(o.b) +
             "(-), entradas entre " + N(o.d) + "(+) e " + N(o.c) + "(-)");
}

// M and Q: three nodes, two values and an optional pair of capacitances.
void transistor(LineReader& line, char kind) {
    const bool mos = kind == 'M';
    const long long r1 = line.node(), r2 = line.node(), r3 = line.node();
    const Real gain = line.real(), second = line.real();
    const bool caps = line.in.line_has_field();
    const Real cap1 = caps ? line.real() : 0;
    const Real cap2 = caps ? line.real() : 0;
    line.in.readln();
    const Nodes n = checked(line, {r1, r2, r3});
    // M: drain, gate, source; Q: collector, base, emitter.
    const int out = n.a, ctl = n.b, com = n.c;
    if (!mos) line.check_nonzero(second, "hie");
    Element& e = line.element_of_line();
    set_nodes(e, out, com, ctl, com);
    e.value = mos ? gain : gain / second;
    if (!mos || second != 0) {
        Element& r = line.add_generated(derived(line, mos ? "m" : "q", 1));
        set_nodes(r, mos ? out : ctl, com);
        r.value = mos ? 1 / second : second;
    }
    const char* cap_names[2] = {mos ? "Cgs" : "Cbe", mos ? "Cgd" : "Cbc"};
    if (caps) {
        Element& c1 = line.add_generated(cap_names[0]);
        set_nodes(c1, ctl, com);
        c1.value = cap1;
        Element& c2 = line.add_generated(cap_names[1]);
        set_nodes(c2, ctl, out);
        c2.value = cap2;
    }
    const std::string t = mos ? "Gm: " : "hfe: ";
    const std::string s = mos ? ", Gds: " : ", hie: ";
    const std::string p = mos ? " (d), " : " (c), ";
    const std::string q = mos ? " (g) e " : " (b) e ";
    const std::string r = mos ? " (s)" : " (e)";
    line.log(line.label + t + E(gain) + s + E(second) + " entre " + N(out) + p + N(ctl) + q + N(com) + r);
    if (caps) {
        line.log(std::string(cap_names[0]) + ": " + E(cap1) + " entre " + N(ctl) + " e " + N(com));
        line.log(std::string(cap_names[1]) + ": " + E(cap2) + " entre " + N(ctl) + " e " + N(out));
    }
}

void transconductance(LineReader& line) {
    const long long ra = line.node(), rb = line.node(), rc = line.node(), rd = line.node();
    const Real gm = line.real();
    const bool common_mode = line.in.line_has_field();
    const Real gc = common_mode ? line.real() : 0;
    line.in.readln();
    const Nodes n = checked(line, {ra, rb, rc, rd});
    Element& e = line.element_of_line();
    set_nodes(e, n.a, n.b, n.c, n.d);
    e.value = gm;
    if (common_mode) {
        Element& g = line.add_generated(derived(line, "g", 1));
        set_nodes(g, n.a, n.b, n.c, n.d);
        g.value = gc;
    }
    line.log(line.label + "Gm:" + E(gm) + " entre " + N(n.c) + " (v+), " + N(n.d) + " (v-), " + N(n.a) +
             " (i+) e " + N(n.b) + " (i-)");
    if (common_mode)
        line.log(line.label + "Gc:" + E(gc) + " entre " + N(n.c) + " (+v/2), " + N(n.d) + " (+v/2), " +
                 N(n.a) + " (i-) e " + N(n.b) + " (i-)");
}

void gyrator(LineReader& line) {
    const long long ra = line.node(), rb = line.node(), rc = line.node(), rd = line.node();
    const Real rg = line.real();
    line.in.readln();
    const Nodes n = checked(line, {ra, rb, rc, rd});
    line.check_nonzero(rg, "rg");
    Element& e = line.element_of_line();
    set_nodes(e, n.a, n.b, n.c, n.d);
    e.value = rg;
    line.log(line.label + "rg:" + E(rg) + " entre " + N(n.a) + " (1+), " + N(n.b) + " (1-), " + N(n.c) +
             " (2+) e " + N(n.d) + " (2-)");
}

// K: two self inductances become La and Lb (diagonal of the inverse
// inductance matrix); the K element keeps the off-diagonal term.
void coupled_inductors(LineReader& line) {
    const long long ra = line.node(), rb = line.node(), rc = line.node(), rd = line.node();
    const Real l1 = line.real(), l2 = line.real(), k = line.real();
    line.in.readln();
    const Nodes n = checked(line, {ra, rb, rc, rd});
    line.check_nonzero(l1, "L1");
    line.check_nonzero(l2, "L2");
    if ((l1 < 0) != (l2 < 0)) line.fail("L1 e L2 devem ter o mesmo sinal.");
    if (!(std::fabs(k) < 1)) line.fail("k deve ter módulo menor que 1.");
    const Real d = l1 * l2 * (1 - k * k);
    Element& e = line.element_of_line();
    set_nodes(e, n.a, n.b, n.c, n.d);
    e.value = -k * std::sqrt(l1 * l2) / d;
    Element& la = line.add_generated(derived(line, "La", 2));
    set_nodes(la, n.a, n.b);
    la.value = d / l2;
    Element& lb = line.add_generated(derived(line, "Lb", 2));
    set_nodes(lb, n.c, n.d);
    lb.value = d / l1;
    line.log(line.label + "L1=" + E(l1) + " entre " + N(n.a) + " e " + N(n.b) + ", L2=" + E(l2) + " entre " +
             N(n.c) + " e " + N(n.d) + ", k=" + F(k));
}

}  // namespace

void read_element_line(LineReader& line) {
    const char kind = line.name.empty() ? '\0' : line.name[0];
    switch (kind) {
        case '*':
        case '.':
            comment(line);
            break;
        case 'R':
        case 'C':
        case 'L':
        case 'I':
        case 'V':
            two_terminal(line, kind);
            break;
        case 'Z':
            source_with_resistance(line);
            break;
        case 'E':
        case 'F':
        case 'H':
            controlled_source(line, kind);
            break;
        case 'O':
            ideal_opamp(line);
            break;
        case 'A':
            gain_bandwidth_opamp(line);
            break;
        case 'M':
        case 'Q':
            transistor(line, kind);
            break;
        case 'G':
            transconductance(line);
            break;
        case 'Y':
            gyrator(line);
            break;
        case 'K':
            coupled_inductors(line);
            break;
        default:
            line.fail("Elemento desconhecido");
    }
}

}  // namespace analysis
