// Map operations and variabilities of the circuit model.
#include "analysis/circuit/circuit.h"

#include <algorithm>

#include "common/errors.h"

namespace analysis {

void reset_variabilities(Circuit& c) {
    for (int i = 1; i <= c.element_count; ++i) {
        const bool source = element_kind_of(element_kind(c, i)).independent_source;
        c.variability[i] = source ? 0 : c.default_variability;
    }
}

int add_variable(Circuit& c, NodeMap& merged, NodeMap& other, int a, int b) {
    c.variable_count += 1;
    if (c.variable_count > max_variables)
        throw suite::FatalError("Número máximo de variáveis (120) excedido.");
    const int v = c.variable_count;
    const int x = merged[a];
    const int y = merged[b];
    if (x == y) throw suite::FatalError("Circuito proibido");
    const int hi = std::max(x, y);
    const int lo = std::min(x, y);
    for (int k = 1; k <= v; ++k)
        if (merged[k] == hi) merged[k] = static_cast<std::uint8_t>(lo);
    merged[v] = static_cast<std::uint8_t>(hi);
    other[v] = 0;
    return v;
}

void merge_nodes(Circuit& c, NodeMap& map, int a, int b) {
    const int x = map[a];
    const int y = map[b];
    if (x == y) throw suite::FatalError("Circuito proibido");
    const int hi = std::max(x, y);
    const int lo = std::min(x, y);
    for (int k = 1; k <= c.variable_count; ++k) {
        if (map[k] == hi) map[k] = static_cast<std::uint8_t>(lo);
        if (map[k] > hi) map[k] -= 1;
    }
}

}  // namespace analysis
