// Where an element's picture lands on the layout screen.
//
// Grid points are packed as x + 256*y. A grid point has unzoomed pixel
// coordinates X = (x - x0)*16, Y = 16*rows - (y - y0)*16 (grid y grows
// upwards, screen y downwards); screen pixels are those times the zoom.
//
// The orientation comes from the points: vertical when P1 and P2 share x,
// inverted when P2 < P1, reflected when P3 < P1 (packed comparison).
//
//   ViewGeometry view{.zoom = 2, .x0 = 64, .y0 = 64, .columns = 40, .rows = 30};
//   ElementFrame f = element_frame(view, 2, points);
//   ScreenPoint a = frame_point(f, 9, 0);       // the P2 end of a two-terminal kind
//   ScreenRect  s = bitmap_square(f, 0, 8);     // bitmap row 0, column 8
#pragma once

#include <array>
#include <cstdint>

namespace editor {

using PackedPoints = std::array<int32_t, 4>;  // P1..P4

inline constexpr int32_t pack_point(int x, int y) { return x + 256 * y; }
inline constexpr int point_x(int32_t packed) { return packed & 255; }
inline constexpr int point_y(int32_t packed) { return packed >> 8; }

// The visible part of the grid.
struct ViewGeometry {
    int zoom = 1;  // 1..5
    int x0 = 64;   // grid point at the lower-left corner
    int y0 = 64;
    int columns = 0;  // whole grid cells that fit across
    int rows = 0;     // whole grid cells that fit down
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

struct ScreenRect {
    int left = 0;
    int top = 0;
    int size = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

int unzoomed_x(const ViewGeometry& view, int32_t packed);
int unzoomed_y(const ViewGeometry& view, int32_t packed);

// Both P1 and P4 inside the visible grid window, bounds included.
bool element_visible(const ViewGeometry& view, const PackedPoints& points);

struct ElementFrame {
    int zoom = 1;
    bool vertical = false;
    bool inverted = false;
    bool reflected = false;
    int sx = 1;      // -1 when reflected
    int sy = 1;      // -1 when inverted
    int base_x = 0;  // unzoomed base point
    int base_y = 0;
    int ox = 0;  // frame origin of the vector drawing, screen pixels
    int oy = 0;
};

ElementFrame element_frame(const ViewGeometry& view, int terminals, const PackedPoints& points);

// The screen point of drawing coordinates (dx, dy).
ScreenPoint frame_point(const ElementFrame& frame, int dx, int dy);

// True when the frame mirrors the reference frame (vertical, not inverted,
// not reflected); arcs then exchange their start and end.
bool frame_mirrors(const ElementFrame& frame);

// The zoom-by-zoom square of bitmap row `row` (along the element from P1
// towards P2) and column `column` (across it).
ScreenRect bitmap_square(const ElementFrame& frame, int row, int column);

}  // namespace editor
