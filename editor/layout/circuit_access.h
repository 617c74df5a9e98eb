// What the layout screen uses of the circuit records and the library, and
// the few array operations it adds (appending and removing elements).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/library/frame.h"
#include "editor/library/library.h"

namespace editor {

// -- interim copy of the circuit records of editor/files/circuit.h --
inline constexpr int max_elements = 4000;
inline constexpr int grid_size = 128;
struct Element {
    std::uint8_t kind = 0;
    std::int32_t P[5] = {};
    std::int32_t N[5] = {};
    std::string name;
    std::string parameters;
};
struct Circuit {
    std::vector<Element> element = std::vector<Element>(max_elements + 1);
    int count = 0;
    std::string name;
    bool changed = false;
};
// -- end of the interim copy --

inline int terminals_of(const Element& e) { return component_kind(e.kind).terminals; }

// Appends a copy of `e` (the caller checks the limit).
inline void append_element(Circuit& c, const Element& e) {
    Element copy = e;
    c.element[static_cast<std::size_t>(++c.count)] = std::move(copy);
}

// Removes element i; the later ones move down one position.
inline void remove_element(Circuit& c, int i) {
    for (int j = i; j < c.count; ++j) c.element[j] = std::move(c.element[j + 1]);
    c.element[c.count] = Element{};
    --c.count;
}

}  // namespace editor
