#include "editor/library/frame.h"

namespace editor {

int unzoomed_x(const ViewGeometry& view, int32_t packed) { return (point_x(packed) - view.x0) * 16; }

int unzoomed_y(const ViewGeometry& view, int32_t packed) {
    return 16 * view.rows - (point_y(packed) - view.y0) * 16;
}

bool element_visible(const ViewGeometry& view, const PackedPoints& points) {
    for (const int32_t p : {points[0], points[3]}) {
        const int x = point_x(p);
        const int y = point_y(p);
        if (x < view.x0 || x > view.x0 + view.columns || y < view.y0 || y > view.y0 + view.rows) return false;
    }
    return true;
}

ElementFrame element_frame(const ViewGeometry& view, int terminals, const PackedPoints& points) {
    ElementFrame f;
    const int z = view.zoom;
    f.zoom = z;
    f.vertical = point_x(points[0]) == point_x(points[1]);
    f.inverted = points[1] < points[0];
    f.reflected = points[2] < points[0];
    f.sy = f.inverted ? -1 : 1;
    f.sx = f.reflected ? -1 : 1;
    f.base_x = unzoomed_x(view, points[0]);
    f.base_y = unzoomed_y(view, points[0]);
    if (terminals == 2) {
        // Two-terminal pictures are centred on their axis.
        if (f.vertical)
            f.base_x -= 8;
        else
            f.base_y += 8;
    }
    const int X = f.base_x;
    const int Y = f.base_y;
    if (f.vertical) {
        f.ox = z * X - (z + 1) / 2 + (f.reflected ? 2 * z : 0);
        f.oy = (f.inverted ? z * (Y + 16) : z * (Y - 16)) + z / 2;
    } else {
        f.ox = (f.inverted ? z * (X - 16) : z * (X + 16)) + z / 2;
        f.oy = z * (Y + 1) + z / 2 - (f.reflected ? 2 * z : 0);
    }
    return f;
}

ScreenPoint frame_point(const ElementFrame& f, int dx, int dy) {
    const int z = f.zoom;
    if (f.vertical) return {f.ox + z * f.sx * dx, f.oy + z * f.sy * dy};
    return {f.ox - z * f.sy * dy, f.oy - z * f.sx * dx};
}

bool frame_mirrors(const ElementFrame& f) {
    return f.vertical ? f.inverted != f.reflected : f.inverted == f.reflected;
}

ScreenRect bitmap_square(const ElementFrame& f, int row, int column) {
    const int z = f.zoom;
    if (f.vertical) return {z * (f.base_x + f.sx * column), z * (f.base_y - f.sy * row), z};
    return {z * (f.base_x + f.sy * row), z * (f.base_y - f.sx * column), z};
}

}  // namespace editor
