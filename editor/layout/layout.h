// Layout screen operations: the view onto the 128 by 128 grid, the cursor,
// placing and editing elements, blocks, sorting, centring and zooming.
//
// Plain procedures on the circuit array and one ViewState; the window
// (TForm3) only turns keys and mouse events into these calls and repaints.
//
//   ViewState v;
//   fit_view(v, width, height);          // columns, rows, origin clamped
//   cursor_from_mouse(v, mx, my);        // the grid segment at the mouse
//   place_element(circuit, v, 'r', say); // a resistor on that segment
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/files/messages.h"
#include "editor/layout/circuit_access.h"

namespace editor {

// Colours as 0xRRGGBB.
struct LayoutColours {
    std::uint32_t background = 0x000000;
    std::uint32_t element = 0xFFFFFF;
    std::uint32_t text = 0xFFFF00;
};

struct LayoutOptions {
    bool vector_drawings = true;
    bool grid_always = true;
    bool thin_lines = false;
    bool comments_in_netlist = false;
};

// A unit grid segment: first point at the left or lower end.
struct Cursor {
    std::int32_t first = 0;
    std::int32_t second = 1;
    bool vertical = false;
    int gx = 8, gy = 0;  // its midpoint in unzoomed pixels
};

struct Block {
    int state = 0;  // 0 none, 1 being marked, 2 marked
    std::int32_t start = 0, end = 0;
};

struct ViewState {
    int zoom = 1;
    int x0 = 0, y0 = 0;
    int columns = 0, rows = 0;
    Cursor cursor;
    int mouse_x = 0, mouse_y = 0;
    Block block;
    int editing = 0;          // element shown highlighted, 0 for none
    bool show_nodes = false;  // the next paint draws node numbers
    LayoutColours colours;
    LayoutOptions options;
};

// Columns and rows for a paint box of this size, origin clamped.
void fit_view(ViewState& v, int width, int height);
// Unzoomed pixel coordinates of a grid point.
int unzoomed_x(const ViewState& v, std::int32_t p);
int unzoomed_y(const ViewState& v, std::int32_t p);
bool point_visible(const ViewState& v, std::int32_t p);

// Moves the cursor to the grid segment nearest to the mouse (screen pixels).
void cursor_from_mouse(ViewState& v, int mx, int my);

// Elements whose P1 and P2 are the cursor's points, in array order.
std::vector<int> elements_under_cursor(const Circuit& c, const Cursor& cur);
// The one at the highest array position, 0 if none.
int topmost_under_cursor(const Circuit& c, const Cursor& cur);

enum class PlaceResult { no_kind, full, exists, refused, placed };
// Places the element of the typed key on the cursor segment.
PlaceResult place_element(Circuit& c, const ViewState& v, char typed, const MessageSink& say);

// Space: mirrors the side terminals; false when nothing changed.
bool invert_element(Circuit& c, const ViewState& v, int i);
// Backspace: exchanges the ends.
void reflect_element(Circuit& c, int i);
// Delete.
void delete_element(Circuit& c, int i);

// "Apply" of the Parameters dialog. False (after the message) when the
// name is refused, or the text holds something other than a number where
// the analysis program reads one (value_not_a_number). Sets the changed
// flag when the name or text changes.
//   apply_parameters(c, i, "R1", "47k", say)
//   -> false, "Invalid parameters. Not a number: 47K (no unit letters: 1E3, 2.2E-9)"
bool apply_parameters(Circuit& c, int i, const std::string& name, const std::string& parameters,
                      const MessageSink& say);
// Whether an element of this kind opens the Parameters dialog.
bool editable(const Element& e);

// True when every terminal of e lies in the rectangle a (lower left) .. b.
bool element_inside(const Element& e, std::int32_t a, std::int32_t b);

// Ctrl-B: none -> being marked -> marked -> none.
void block_key(ViewState& v);
// While marking: the end follows the cursor.
void block_follow(ViewState& v);
// Ctrl-C and Ctrl-V. False (after the message) when nothing was done.
bool copy_move_block(Circuit& c, ViewState& v, bool move, const MessageSink& say);
// Ctrl-Y after the confirmation: the number of elements removed.
int delete_block(Circuit& c, const ViewState& v);

// Whether some element has a terminal in the visible grid window.
bool any_element_visible(const Circuit& c, const ViewState& v);

// Ctrl-A.
void centre_circuit(const Circuit& c, ViewState& v);
// Right mouse button at (mx, my).
void centre_on_mouse(ViewState& v, int mx, int my);
// Ctrl-S: 1, 2, 3, 4, 5, 1...
void cycle_zoom(ViewState& v);
// The mouse wheel; keeps the point under the last mouse position nearly
// fixed. False when the zoom is already at its end.
bool wheel_zoom(ViewState& v, bool up, int height);
// Ctrl-I.
void invert_colours(ViewState& v);

// Ctrl-W: dotted lines between labels of the same name.
struct ConnectionLine {
    std::int32_t from = 0, to = 0;  // P2 points
    std::uint32_t colour = 0;       // 0xRRGGBB
};
std::vector<ConnectionLine> connection_lines(const Circuit& c, int random0to254);

// The help lines of the layout keys, in the order the help text gives them.
const std::vector<std::string>& layout_key_help();

}  // namespace editor
