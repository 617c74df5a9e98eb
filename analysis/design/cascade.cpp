// The netlist of a cascade of sections.
#include "analysis/design/cascade.h"

#include <algorithm>
#include <charconv>

namespace analysis::design {

char section_letter(int index) { return static_cast<char>('A' + index); }

std::string part_name(const Part& p, int index) { return p.role + section_letter(index); }

std::string opamp_name(const OpAmp& o, int index, bool gain_bandwidth) {
    return std::string(1, gain_bandwidth ? 'A' : 'O') + o.role + section_letter(index);
}

ComplexReal section_response(const SectionGoal& goal, ComplexReal s) {
    const Real w0 = goal.w0;
    if (first_order(goal.shape)) {
        const ComplexReal n = goal.shape == Shape::lowpass1 ? ComplexReal(w0) : s;
        return goal.gain * n / (s + w0);
    }
    const ComplexReal d = s * s + (w0 / goal.q) * s + w0 * w0;
    ComplexReal n;
    switch (goal.shape) {
        case Shape::lowpass:
            n = w0 * w0;
            break;
        case Shape::highpass:
            n = s * s;
            break;
        case Shape::bandpass:
            n = (w0 / goal.q) * s;
            break;
        default:
            n = s * s + goal.wz * goal.wz;
            break;
    }
    return goal.gain * n / d;
}

CascadeNetlist cascade_netlist(const Cascade& f) {
    CascadeNetlist n;
    n.node_count = 1;
    n.elements.push_back({"VIN", 'V', {1, 0}, {1}, -1});
    int input = 1;
    for (int i = 0; i < static_cast<int>(f.sections.size()); ++i) {
        const SectionCircuit& s = f.sections[static_cast<std::size_t>(i)];
        int highest = 2;
        for (const Part& p : s.parts) highest = std::max({highest, p.a, p.b});
        for (const OpAmp& o : s.opamps) highest = std::max({highest, o.minus, o.plus, o.out});
        std::vector<int> map(static_cast<std::size_t>(highest + 1), -1);
        map[0] = 0;
        map[1] = input;
        auto node = [&](int local) {
            int& g = map[static_cast<std::size_t>(local)];
            if (g < 0) g = ++n.node_count;
            return g;
        };
        for (const Part& p : s.parts)
            n.elements.push_back({part_name(p, i), p.kind, {node(p.a), node(p.b)}, {p.value}, i});
        for (const OpAmp& o : s.opamps) {
            NetElement e{opamp_name(o, i, !f.opamp.ideal),
                         f.opamp.ideal ? 'O' : 'A',
                         {node(o.minus), node(o.plus), node(o.out)},
                         {},
                         i};
            if (!f.opamp.ideal) e.values = {f.opamp.gb, f.opamp.ro};
            n.opamp_outputs.push_back(e.nodes[2]);
            n.elements.push_back(e);
        }
        input = node(2);
        n.section_nodes.push_back(map);
    }
    n.output_node = input;
    return n;
}

std::string netlist_value(Real x) {
    // The shortest text that reads back to the same double, "." always.
    char text[40];
    const auto r = std::to_chars(text, text + sizeof text, static_cast<double>(x));
    return std::string(text, r.ptr);
}

std::vector<std::string> netlist_lines(const CascadeNetlist& n, const std::vector<std::string>& comments) {
    std::vector<std::string> lines{std::to_string(n.node_count)};
    for (const std::string& c : comments) lines.push_back("*" + (c.empty() ? "" : " " + c));
    for (const NetElement& e : n.elements) {
        std::string line = e.name;
        for (int node : e.nodes) line += " " + std::to_string(node);
        for (Real v : e.values) line += " " + netlist_value(v);
        lines.push_back(line);
    }
    return lines;
}

}  // namespace analysis::design
