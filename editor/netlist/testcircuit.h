// Building circuits in tests: points as grid (x, y) pairs.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "editor/files/circuit.h"
#include "editor/library/library.h"

namespace editor::testing {

using XY = std::pair<int, int>;

// Appends an element of the kind with key `key`; the points beyond the
// given ones are derived as in the circuit file.
inline Element& place(Circuit& c, char key, const std::string& name, std::vector<XY> points,
                      const std::string& parameters = "") {
    Element& e = c.element[++c.count];
    e = Element{};
    e.kind = static_cast<std::uint8_t>(find_kind(key));
    e.name = name;
    e.parameters = parameters;
    for (std::size_t i = 0; i < points.size(); ++i)
        e.P[i + 1] = pack_point(points[i].first, points[i].second);
    const int t = component_kind(e.kind).terminals;
    if (t == 2) {
        e.P[3] = e.P[1];
        e.P[4] = e.P[2];
    } else if (t == 3) {
        e.P[4] = e.P[3] + e.P[2] - e.P[1];
    }
    return e;
}

}  // namespace editor::testing
