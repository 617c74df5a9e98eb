// The view: centring, zoom, colours, connection lines and the key help.
#include "editor/layout/layout.h"

namespace editor {

bool any_element_visible(const Circuit& c, const ViewState& v) {
    for (int i = 1; i <= c.count; ++i)
        for (int t = 1; t <= terminals_of(c.element[i]); ++t)
            if (point_visible(v, c.element[i].P[t])) return true;
    return false;
}

void centre_circuit(const Circuit& c, ViewState& v) {
    int min_x = 50000, max_x = -50000, min_y = 50000, max_y = -50000;
    for (int i = 1; i <= c.count; ++i) {
        const Element& e = c.element[i];
        for (int t = 1; t <= terminals_of(e); ++t) {
            const int x = unzoomed_x(v, e.P[t]), y = unzoomed_y(v, e.P[t]);
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
            max_y = std::max(max_y, y);
        }
    }
    const int z = v.zoom;
    v.x0 = (z * ((min_x + max_x) / 2) + 16 * z * v.x0 - 8 * z * v.columns) / (16 * z);
    v.y0 = (z * (16 * v.rows - (min_y + max_y) / 2) + 16 * z * v.y0 - 8 * z * v.rows) / (16 * z);
}

void centre_on_mouse(ViewState& v, int mx, int my) {
    cursor_from_mouse(v, mx, my);
    v.x0 = point_x(v.cursor.first) - v.columns / 2;
    v.y0 = point_y(v.cursor.first) - v.rows / 2;
}

void cycle_zoom(ViewState& v) { v.zoom = v.zoom % 5 + 1; }

bool wheel_zoom(ViewState& v, bool up, int height) {
    const int z = v.zoom;
    const int z2 = up ? z + 1 : z - 1;
    if (z2 < 1 || z2 > 5) return false;
    const int d = z2 - z;
    v.x0 += ((v.mouse_x / 16) + 1) * d / (z * z2);
    v.y0 += d * (((height - v.mouse_y) / 16) + 1) / (z * z2);
    v.zoom = z2;
    return true;
}

void invert_colours(ViewState& v) {
    if (v.colours.background != 0x000000)
        v.colours = LayoutColours{0x000000, 0xFFFFFF, 0xFFFF00};
    else
        v.colours = LayoutColours{0xFFFFFF, 0x000000, 0x0000FF};
}

std::vector<ConnectionLine> connection_lines(const Circuit& c, int random0to254) {
    std::vector<ConnectionLine> lines;
    const auto first_two = [](const std::string& s) { return s.substr(0, 2); };
    for (int k = 1; k <= c.count; ++k) {
        const Element& label = c.element[k];
        if (label.name.empty() || label.name[0] < '0' || label.name[0] > '9') continue;
        for (int j = k - 1; j >= 1; --j) {
            const Element& other = c.element[j];
            if (first_two(other.name) != first_two(label.name)) continue;
            const int c1 = static_cast<unsigned char>(label.name[0]);
            const int c2 = label.name.size() > 1 ? static_cast<unsigned char>(label.name[1]) : 0;
            const int e = random0to254 + c1 + c2;
            const std::uint32_t r = e % 255, g = (33 * e) % 255, b = (77 * e) % 255;
            lines.push_back({label.P[2], other.P[2], (r << 16) | (g << 8) | b});
            break;
        }
    }
    return lines;
}

const std::vector<std::string>& layout_key_help() {
    static const std::vector<std::string> lines = {
        "Left mouse/Enter: Edit parameters of element under cursor.",
        "Right mouse: Center cursor.",
        "Space: Invert component under cursor.",
        "Bs:    Reflect component under cursor.",
        "Del:   Delete component under cursor.",
        "F1: Show control frame.",
        "Esc: List parameters of element under cursor.",
        "Ctrl-A: Center drawing",
        "Ctrl-B: Start/End/Remove block.",
        "Ctrl-C: Copy block.",
        "Ctrl-I: Invert colors.",
        "Ctrl-K: Redraw.",
        "Ctrl-L: Delete all.",
        "Ctrl-O: Sort components.",
        "Ctrl-P: Show nodes.",
        "Ctrl-Q: Generate netlist.",
        "Ctrl-S: Change zoom. The mouse wheel can be used too.",
        "Ctrl-V: Move block.",
        "Ctrl-Y: Delete block.",
        "Ctrl-W: Show connections.",
        "Ctrl-Z: List components.",
        "Ctrl-E: Undo the last edit (up to 100 edits back).",
        "Ctrl-R: Redo the edit undone last.",
    };
    return lines;
}

}  // namespace editor
