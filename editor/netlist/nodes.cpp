#include <algorithm>
#include <unordered_map>

#include "editor/library/library.h"
#include "editor/netlist/netlist.h"

namespace editor {
namespace {

int terminals_of(const Element& e) { return component_kind(e.kind).terminals; }

// Every terminal node of elements 1..upto holding `a` becomes `b`. Ground
// stays ground: when `a` is 0 the other value joins ground instead.
void merge(Circuit& c, int upto, std::int32_t a, std::int32_t b) {
    if (a == b) return;
    if (a == 0) std::swap(a, b);
    for (int i = 1; i <= upto; ++i) {
        Element& e = c.element[i];
        const int t = terminals_of(e);
        for (int k = 1; k <= t; ++k)
            if (e.N[k] == a) e.N[k] = b;
    }
}

// The node value of a label: its name's first two character codes.
std::int32_t label_value(const std::string& name) {
    const int c1 = name.empty() ? 0 : static_cast<unsigned char>(name[0]);
    const int c2 = name.size() < 2 ? 0 : static_cast<unsigned char>(name[1]);
    return -(c1 + 256 * c2);
}

void join_connection(Circuit& c, int i) {
    const Element& e = c.element[i];
    switch (e.kind) {
        case kind_ground:
            merge(c, i, e.N[2], 0);
            break;
        case kind_wire:
            merge(c, i, e.N[2], e.N[1]);
            break;
        case kind_diagonal_wire:
            merge(c, i, e.N[3], e.N[2]);
            break;
        case kind_crossing:
            merge(c, i, e.N[4], e.N[1]);
            merge(c, i, c.element[i].N[3], c.element[i].N[2]);
            break;
        default:
            if (is_label_kind(e.kind)) merge(c, i, e.N[2], label_value(e.name));
            break;
    }
}

bool all_digits(const std::string& s, std::size_t from) {
    for (std::size_t i = from; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

void name_automatically(Element& e) {
    const bool bare = e.name.size() == 1;
    const bool numbered = e.name.size() == 5 && all_digits(e.name, 1);
    if (bare || numbered)
        e.name = component_kind(e.kind).key + two_digit_text(e.N[1]) + two_digit_text(e.N[2]);
}

}  // namespace

std::string two_digit_text(int n) {
    std::string s = std::to_string(n);
    if (s.size() == 1) return "0" + s;
    return s.substr(s.size() - 2);
}

void sort_elements(Circuit& circuit, const MessageSink& print) {
    print("Sorting...");
    const auto first = circuit.element.begin() + 1;
    std::stable_sort(first, first + circuit.count, [](const Element& a, const Element& b) {
        if (a.kind != b.kind) return a.kind < b.kind;
        return a.P[1] + a.P[2] < b.P[1] + b.P[2];
    });
}

bool determine_nodes(Circuit& c, NetlistState& state, const MessageSink& print) {
    print("Eliminating short-circuits...");
    for (int i = 1; i <= c.count; ++i) {
        Element& e = c.element[i];
        for (int k = 1; k <= 4; ++k) e.N[k] = e.P[k];
        if (e.kind == kind_grounded_g) e.N[1] = 0;
    }
    int n = 0;
    while (n < c.count && is_circuit_kind(c.element[n + 1].kind)) ++n;
    state.circuit_elements = n;
    for (int i = c.count; i > n; --i)
        if (is_connection_kind(c.element[i].kind)) join_connection(c, i);

    print("Renumbering nodes...");
    std::unordered_map<std::int32_t, int> number;
    for (int i = 1; i <= n; ++i) {
        Element& e = c.element[i];
        const int t = terminals_of(e);
        for (int k = 1; k <= t; ++k) {
            if (e.N[k] == 0) continue;
            auto [it, added] = number.try_emplace(e.N[k], static_cast<int>(number.size()) + 1);
            if (added && it->second > max_nodes) {
                print("Too many nodes.");
                return false;
            }
        }
    }
    for (int i = 1; i <= n; ++i) {
        Element& e = c.element[i];
        const int t = terminals_of(e);
        for (int k = 1; k <= t; ++k)
            if (e.N[k] != 0) e.N[k] = number[e.N[k]];
        name_automatically(e);
    }
    state.node_count = static_cast<int>(number.size());
    return true;
}

bool prepare_netlist(Circuit& circuit, NetlistState& state, const MessageSink& print) {
    if (circuit.count == 0) {
        print("No circuit");
        return false;
    }
    sort_elements(circuit, print);
    return determine_nodes(circuit, state, print);
}

}  // namespace editor
