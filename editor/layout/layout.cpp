#include "editor/layout/layout.h"

#include <cstdlib>

#include "editor/formula/formula.h"

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

int unzoomed_x(const ViewState& v, std::int32_t p) { return (point_x(p) - v.x0) * 16; }
int unzoomed_y(const ViewState& v, std::int32_t p) { return 16 * v.rows - (point_y(p) - v.y0) * 16; }

bool point_visible(const ViewState& v, std::int32_t p) {
    const int x = point_x(p), y = point_y(p);
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
    c.first = pack_point(gx / 16 + v.x0, (16 * v.rows - gy) / 16 + v.y0);
    c.second = c.first + (vertical ? 256 : 1);
}

namespace {

bool on_cursor(const Element& e, const Cursor& cur) {
    return (e.P[1] == cur.first && e.P[2] == cur.second) || (e.P[1] == cur.second && e.P[2] == cur.first);
}

}  // namespace

std::vector<int> elements_under_cursor(const Circuit& c, const Cursor& cur) {
    std::vector<int> found;
    for (int i = 1; i <= c.count; ++i)
        if (on_cursor(c.element[i], cur)) found.push_back(i);
    return found;
}

int topmost_under_cursor(const Circuit& c, const Cursor& cur) {
    for (int i = c.count; i >= 1; --i)
        if (on_cursor(c.element[i], cur)) return i;
    return 0;
}

PlaceResult place_element(Circuit& c, const ViewState& v, char typed, const MessageSink& say) {
    const int kind = kind_for_typed_key(typed);
    if (kind == 0) return PlaceResult::no_kind;
    if (c.count >= max_elements) {
        say("Circuit size limit (" + std::to_string(max_elements) + " elements) reached.");
        return PlaceResult::full;
    }
    std::int32_t first = v.cursor.first, second = v.cursor.second;
    if (placed_exchanged(kind)) std::swap(first, second);
    for (int i = 1; i <= c.count; ++i) {
        const Element& e = c.element[i];
        if (e.kind == kind && e.P[1] == second && e.P[2] == first) return PlaceResult::exists;
    }
    Element e;
    e.kind = static_cast<std::uint8_t>(kind);
    e.P[2] = first;
    e.P[1] = second;
    if (component_kind(kind).terminals == 2) {
        e.P[3] = e.P[1];
        e.P[4] = e.P[2];
    } else {
        std::int32_t step;
        if (v.cursor.vertical) {
            if (v.cursor.gx >= 16 * v.columns) return PlaceResult::refused;
            step = 1;
        } else {
            if (v.cursor.gy >= 16 * v.rows) return PlaceResult::refused;
            step = -256;
        }
        e.P[3] = e.P[1] + step;
        e.P[4] = e.P[2] + step;
    }
    e.name = std::string(1, component_kind(kind).key);
    e.parameters = std::string(component_kind(kind).defaults);
    append_element(c, e);
    c.changed = true;
    return PlaceResult::placed;
}

bool invert_element(Circuit& c, const ViewState& v, int i) {
    Element& e = c.element[i];
    if (terminals_of(e) <= 2) return false;
    const bool vertical = point_x(e.P[1]) == point_x(e.P[2]);
    const bool inside = vertical ? (v.x0 < point_x(e.P[1]) && point_x(e.P[1]) < v.x0 + v.columns)
                                 : (v.y0 < point_y(e.P[1]) && point_y(e.P[1]) < v.y0 + v.rows);
    if (!inside) return false;
    const std::int32_t d = e.P[3] - e.P[1];
    e.P[3] = e.P[1] - d;
    e.P[4] = e.P[2] - d;
    c.changed = true;
    return true;
}

void reflect_element(Circuit& c, int i) {
    Element& e = c.element[i];
    std::swap(e.P[1], e.P[2]);
    std::swap(e.P[3], e.P[4]);
    c.changed = true;
}

void delete_element(Circuit& c, int i) {
    remove_element(c, i);
    c.changed = true;
}

bool editable(const Element& e) { return !component_kind(e.kind).description.empty(); }

namespace {

std::string upper_ascii(std::string s) {
    for (char& ch : s)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return s;
}

// Why a name is refused, or nothing when it is accepted. A name is written
// to the circuit file up to its first blank, so a blank inside it would
// split the line on reading.
const char* name_refusal(const std::string& name, int kind) {
    if (name.empty() || text_length(name) > max_name_length || name[0] != component_kind(kind).key)
        return "Invalid name. Wrong first letter or more than 5 letters";
    if (name.find_first_of(" \t") != std::string::npos)
        return "Invalid name. Blanks are not allowed in a name";
    return nullptr;
}

constexpr const char* not_a_number_hint = " (no unit letters: 1E3, 2.2E-9)";

}  // namespace

bool apply_parameters(Circuit& c, int i, const std::string& name, const std::string& parameters,
                      const MessageSink& say) {
    Element& e = c.element[i];
    if (const char* refusal = name_refusal(name, e.kind)) {
        say(refusal);
        return false;
    }
    const std::string text = e.kind == kind_comment ? parameters : upper_ascii(parameters);
    // The analysis program cannot read "47K" where it reads a number.
    if (const auto word = value_not_a_number(e.kind, text)) {
        say(word->empty() ? "Invalid parameters. A number is needed"
                          : "Invalid parameters. Not a number: " + *word + not_a_number_hint);
        return false;
    }
    if (e.name != name || e.parameters != text) c.changed = true;
    e.name = name;
    e.parameters = text;
    return true;
}

}  // namespace editor
