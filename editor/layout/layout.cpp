#include "editor/layout/layout.h"

#include <cstdlib>

namespace editor {

void fit_view(ViewState& v, int width, int height) {
    const int cell = 16 * v.zoom;
    v.columns = width / cell;
    v.rows = height / cell;
    if (v.x0 + v.columns > grid_size) v.x0 = grid_size - v.columns;
    if (v.y0 + v.rows > grid_size) v.y0 = grid_size - v.rows;
    if (v.x0 < 0) v.x0 = 0;
    if (v.y0 < 0) v.y0 = 0;
}

int unzoomed_x(const ViewState& v, std::int32_t p) { return (grid_x(p) - v.x0) * 16; }
int unzoomed_y(const ViewState& v, std::int32_t p) { return 16 * v.rows - (grid_y(p) - v.y0) * 16; }

bool point_visible(const ViewState& v, std::int32_t p) {
    const int x = grid_x(p), y = grid_y(p);
    return x >= v.x0 && x <= v.x0 + v.columns && y >= v.y0 && y <= v.y0 + v.rows;
}

void cursor_from_mouse(ViewState& v, int mx, int my) {
    const int z = v.zoom;
    int gx = ((mx + 8 * z) / (16 * z)) * 16;
    int gy = ((my + 8 * z) / (16 * z)) * 16;
    const bool vertical = std::abs(mx - z * gx) < std::abs(my - z * gy);
    if (vertical)
        gy += my > z * gy ? 8 : -8;
    else
        gx += mx > z * gx ? 8 : -8;
    if (gx < 0 || gx > 16 * v.columns || gy < 0 || gy > 16 * v.rows) return;
    Cursor& c = v.cursor;
    c.vertical = vertical;
    c.gx = gx;
    c.gy = gy;
    c.first = pack(gx / 16 + v.x0, (16 * v.rows - gy) / 16 + v.y0);
    c.second = c.first + (vertical ? 256 : 1);
}

namespace {

bool on_cursor(const Element& e, const Cursor& cur) {
    return (e.P1 == cur.first && e.P2 == cur.second) || (e.P1 == cur.second && e.P2 == cur.first);
}

}  // namespace

std::vector<int> elements_under_cursor(const Circuit& c, const Cursor& cur) {
    std::vector<int> found;
    for (int i = 1; i <= element_count(c); ++i)
        if (on_cursor(element_at(c, i), cur)) found.push_back(i);
    return found;
}

int topmost_under_cursor(const Circuit& c, const Cursor& cur) {
    for (int i = element_count(c); i >= 1; --i)
        if (on_cursor(element_at(c, i), cur)) return i;
    return 0;
}

PlaceResult place_element(Circuit& c, const ViewState& v, char typed, const MessageSink& say) {
    const int kind = kind_for_typed(typed);
    if (kind == 0) return PlaceResult::no_kind;
    if (element_count(c) >= max_elements) {
        say("Circuit size limit (" + std::to_string(max_elements) + " elements) reached.");
        return PlaceResult::full;
    }
    std::int32_t first = v.cursor.first, second = v.cursor.second;
    if (kind_exchanged(kind)) std::swap(first, second);
    for (int i = 1; i <= element_count(c); ++i) {
        const Element& e = element_at(c, i);
        if (e.kind == kind && e.P1 == second && e.P2 == first) return PlaceResult::exists;
    }
    Element e;
    e.kind = static_cast<std::uint8_t>(kind);
    e.P2 = first;
    e.P1 = second;
    if (kind_terminals(kind) == 2) {
        e.P3 = e.P1;
        e.P4 = e.P2;
    } else {
        std::int32_t step;
        if (v.cursor.vertical) {
            if (v.cursor.gx >= 16 * v.columns) return PlaceResult::refused;
            step = 1;
        } else {
            if (v.cursor.gy >= 16 * v.rows) return PlaceResult::refused;
            step = -256;
        }
        e.P3 = e.P1 + step;
        e.P4 = e.P2 + step;
    }
    e.name = std::string(1, kind_key(kind));
    e.parameters = kind_defaults(kind);
    append_element(c, e);
    c.changed = true;
    return PlaceResult::placed;
}

bool invert_element(Circuit& c, const ViewState& v, int i) {
    Element& e = element_at(c, i);
    if (kind_terminals(e.kind) <= 2) return false;
    const bool vertical = grid_x(e.P1) == grid_x(e.P2);
    const bool inside = vertical ? (v.x0 < grid_x(e.P1) && grid_x(e.P1) < v.x0 + v.columns)
                                 : (v.y0 < grid_y(e.P1) && grid_y(e.P1) < v.y0 + v.rows);
    if (!inside) return false;
    const std::int32_t d = e.P3 - e.P1;
    e.P3 = e.P1 - d;
    e.P4 = e.P2 - d;
    c.changed = true;
    return true;
}

void reflect_element(Circuit& c, int i) {
    Element& e = element_at(c, i);
    std::swap(e.P1, e.P2);
    std::swap(e.P3, e.P4);
    c.changed = true;
}

void delete_element(Circuit& c, int i) {
    remove_element(c, i);
    c.changed = true;
}

bool editable(const Element& e) { return !kind_description(e.kind).empty(); }

namespace {

std::string upper_ascii(std::string s) {
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return s;
}

// A name is written to the circuit file up to its first space, so a blank
// inside it would split the line on reading.
bool name_valid(const std::string& name, int kind) {
    return !name.empty() && name.size() <= 5 && name[0] == kind_key(kind) &&
           name.find_first_of(" \t") == std::string::npos;
}

}  // namespace

bool apply_parameters(Circuit& c, int i, const std::string& name, const std::string& parameters,
                      const MessageSink& say) {
    Element& e = element_at(c, i);
    if (!name_valid(name, e.kind)) {
        say("Invalid name. Wrong first letter or more than 5 letters");
        return false;
    }
    const std::string text = e.kind == kind_comment_index ? parameters : upper_ascii(parameters);
    if (e.name != name || e.parameters != text) c.changed = true;
    e.name = name;
    e.parameters = text;
    return true;
}

void sort_elements(Circuit& c, const MessageSink& say) {
    say("Sorting...");
    const int n = element_count(c);
    bool exchanged = true;
    while (exchanged) {
        exchanged = false;
        for (int i = 1; i < n; ++i) {
            Element& a = element_at(c, i);
            Element& b = element_at(c, i + 1);
            if (b.kind < a.kind || (b.kind == a.kind && b.P1 + b.P2 < a.P1 + a.P2)) {
                std::swap(a, b);
                exchanged = true;
            }
        }
    }
}

}  // namespace editor
