// Tests: whether two netlists of the designer's element kinds (V, R, C,
// O, A) are the same circuit up to the numbering of their nodes: the same
// element names, kinds and values (to a relative 1e-12), and one
// consistent one-to-one map of the nodes with ground kept as ground.
#pragma once

#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace analysis::design::testing {

struct ParsedElement {
    std::vector<int> nodes;
    std::vector<double> values;
};

inline std::map<std::string, ParsedElement> parse_netlist(const std::vector<std::string>& lines) {
    std::map<std::string, ParsedElement> out;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.empty() || l[0] == '*' || l[0] == '.') continue;
        std::istringstream in(l);
        std::string name;
        in >> name;
        const int nodes = (name[0] == 'O' || name[0] == 'A') ? 3 : 2;
        ParsedElement e;
        for (int k = 0; k < nodes; ++k) {
            int n = -1;
            in >> n;
            e.nodes.push_back(n);
        }
        std::string v;
        while (in >> v) e.values.push_back(std::stod(v));
        out[name] = e;
    }
    return out;
}

// The empty string, or the first difference found.
inline std::string same_circuit(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const auto x = parse_netlist(a), y = parse_netlist(b);
    if (x.size() != y.size())
        return "element counts differ: " + std::to_string(x.size()) + " and " + std::to_string(y.size());
    std::map<int, int> forward{{0, 0}}, backward{{0, 0}};
    for (const auto& [name, e] : x) {
        const auto f = y.find(name);
        if (f == y.end()) return "no element " + name + " in the second netlist";
        const ParsedElement& g = f->second;
        if (e.nodes.size() != g.nodes.size() || e.values.size() != g.values.size())
            return name + ": different fields";
        for (std::size_t k = 0; k < e.values.size(); ++k)
            if (std::fabs(e.values[k] - g.values[k]) > 1e-12 * std::fabs(e.values[k]))
                return name + ": values " + std::to_string(e.values[k]) + " and " +
                       std::to_string(g.values[k]);
        for (std::size_t k = 0; k < e.nodes.size(); ++k) {
            const int p = e.nodes[k], q = g.nodes[k];
            const auto [i, new_p] = forward.emplace(p, q);
            const auto [j, new_q] = backward.emplace(q, p);
            if (i->second != q || j->second != p)
                return name + ": node " + std::to_string(k + 1) + " is " + std::to_string(p) + " and " +
                       std::to_string(q) + ", joined differently elsewhere";
        }
    }
    return {};
}

}  // namespace analysis::design::testing
