// The editor's circuit: a 1-based array of placed elements with its state.
//
// Grid points (x, y), each 0..127 with y growing upwards, are stored packed
// into one integer x + 256*y; comparisons between points compare the packed
// values.
//
//   Circuit c;                                   // empty, name ""
//   Element& r = c.element[++c.count];
//   r.kind = 1; r.name = "R1"; r.P[1] = pack_point(65, 65); ...
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editor/library/frame.h"

namespace editor {

inline constexpr int max_elements = 4000;
inline constexpr int max_name_length = 5;
inline constexpr int max_parameter_length = 200;
inline constexpr int grid_size = 128;  // points 0..127 on each axis

// pack_point, point_x and point_y come with the library's element frames.
// A packed value names a grid point when both coordinates are 0..127.
inline constexpr bool is_grid_point(std::int64_t p) {
    return p >= 0 && p % 256 < grid_size && p / 256 < grid_size;
}

// One placed symbol. P[1..4] and N[1..4] are 1-based (index 0 unused).
struct Element {
    std::uint8_t kind = 0;   // library index 1..69
    std::int32_t P[5] = {};  // terminal points, packed
    std::int32_t N[5] = {};  // node numbers (filled by node determination)
    std::string name;        // at most 5 characters; first = the kind's key
    std::string parameters;  // at most 200 characters; formulas allowed
};

struct Circuit {
    std::vector<Element> element = std::vector<Element>(max_elements + 1);  // 1..count
    int count = 0;
    std::string name;      // file name with its folder, up to the extension's "."
    bool changed = false;  // set by layout edits, cleared by reading and saving
};

// Length of a UTF-8 text in characters (not bytes).
std::size_t text_length(const std::string& text);
// The first `n` characters of a UTF-8 text.
std::string text_prefix(const std::string& text, std::size_t n);

}  // namespace editor
