// The layout screen's view of the circuit array and of the library.
//
// Everything the layout operations need from the circuit records and the
// component kinds goes through these few functions, so the operations read
// the same whatever the records look like inside.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace editor {

// -- interim records (replaced by the circuit array of editor/files) --
struct Element {
    std::uint8_t kind = 0;
    std::int32_t P1 = 0, P2 = 0, P3 = 0, P4 = 0;
    std::int32_t N1 = 0, N2 = 0, N3 = 0, N4 = 0;
    std::string name;
    std::string parameters;
};

inline constexpr int max_elements = 4000;

struct Circuit {
    std::vector<Element> elements;  // 1-based: elements[i - 1]
    std::string name;
    bool changed = false;
};

inline int element_count(const Circuit& c) { return static_cast<int>(c.elements.size()); }
inline Element& element_at(Circuit& c, int i) { return c.elements[static_cast<std::size_t>(i - 1)]; }
inline const Element& element_at(const Circuit& c, int i) { return c.elements[static_cast<std::size_t>(i - 1)]; }
inline void append_element(Circuit& c, const Element& e) { c.elements.push_back(e); }
inline void remove_element(Circuit& c, int i) { c.elements.erase(c.elements.begin() + (i - 1)); }
inline void clear_elements(Circuit& c) { c.elements.clear(); }

// -- the library --
char kind_key(int kind);
int kind_terminals(int kind);
const std::string& kind_description(int kind);
const std::string& kind_defaults(int kind);
// The kind placed by a typed character (letters case-swapped), 0 if none.
int kind_for_typed(char c);
// Keys of kinds 1..57 in index order.
std::string element_keys_line();
// Labels, ground, Z and the diagonal wire are placed with the cursor's
// two points exchanged.
bool kind_exchanged(int kind);
inline constexpr int last_circuit_kind_index = 53;
inline constexpr int kind_comment_index = 68;
inline constexpr int kind_command_index = 69;

// Point i (1..4) of an element, node i likewise.
inline std::int32_t& point(Element& e, int i) {
    return i == 1 ? e.P1 : i == 2 ? e.P2 : i == 3 ? e.P3 : e.P4;
}
inline std::int32_t point(const Element& e, int i) {
    return i == 1 ? e.P1 : i == 2 ? e.P2 : i == 3 ? e.P3 : e.P4;
}
inline std::int32_t node(const Element& e, int i) {
    return i == 1 ? e.N1 : i == 2 ? e.N2 : i == 3 ? e.N3 : e.N4;
}

}  // namespace editor
