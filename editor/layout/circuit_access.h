// What the layout screen uses of the circuit records and the library, and
// the few array operations it adds (appending and removing elements).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/files/circuit.h"
#include "editor/library/library.h"

namespace editor {

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
