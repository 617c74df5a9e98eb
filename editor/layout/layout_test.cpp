#include "editor/layout/layout.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

struct Said {
    std::vector<std::string> lines;
    MessageSink sink() {
        return [this](const std::string& s) { lines.push_back(s); };
    }
};

// A view of 20 by 15 cells at zoom 1 with its origin at (60, 60).
ViewState view_at(int x0 = 60, int y0 = 60, int zoom = 1) {
    ViewState v;
    v.zoom = zoom;
    v.x0 = x0;
    v.y0 = y0;
    fit_view(v, 20 * 16 * zoom + 5, 15 * 16 * zoom + 3);
    return v;
}

// The screen position of the midpoint of a grid segment.
void aim(ViewState& v, int x, int y, bool vertical) {
    const int z = v.zoom;
    int sx = (x - v.x0) * 16 * z, sy = (16 * v.rows - (y - v.y0) * 16) * z;
    if (vertical)
        sy -= 8 * z;
    else
        sx += 8 * z;
    cursor_from_mouse(v, sx, sy);
}

TEST(LayoutView, FitClampsTheOrigin) {
    ViewState v;
    v.x0 = 120;
    v.y0 = -3;
    fit_view(v, 20 * 16, 10 * 16 + 15);
    EXPECT_EQ(v.columns, 20);
    EXPECT_EQ(v.rows, 10);
    EXPECT_EQ(v.x0, 108);
    EXPECT_EQ(v.y0, 0);
    v.zoom = 2;
    fit_view(v, 2000, 2000);
    EXPECT_EQ(v.columns, 62);
    EXPECT_EQ(v.y0, 0);
}

TEST(LayoutView, CursorTakesTheNearestSegment) {
    ViewState v = view_at();
    // Just right of grid point (3 cells, 5 cells up): a horizontal segment.
    cursor_from_mouse(v, 3 * 16 + 6, (15 - 5) * 16 + 1);
    EXPECT_FALSE(v.cursor.vertical);
    EXPECT_EQ(v.cursor.first, pack_point(63, 65));
    EXPECT_EQ(v.cursor.second, pack_point(64, 65));
    // Just below it: the vertical segment under the point.
    cursor_from_mouse(v, 3 * 16 + 1, (15 - 5) * 16 + 6);
    EXPECT_TRUE(v.cursor.vertical);
    EXPECT_EQ(v.cursor.first, pack_point(63, 64));
    EXPECT_EQ(v.cursor.second, pack_point(63, 65));
    // Left of the point and at zoom 3.
    ViewState w = view_at(60, 60, 3);
    cursor_from_mouse(w, 3 * 48 - 10, (15 - 5) * 48 + 2);
    EXPECT_EQ(w.cursor.first, pack_point(62, 65));
    EXPECT_EQ(w.cursor.second, pack_point(63, 65));
    // Outside the grid window the cursor stays.
    const Cursor before = w.cursor;
    cursor_from_mouse(w, 5, 16 * 15 * 3 + 20);
    EXPECT_EQ(w.cursor.first, before.first);
}

TEST(LayoutPlace, ExchangedKindsAndSideSteps) {
    ViewState v = view_at();
    Circuit c;
    Said said;
    aim(v, 62, 61, false);  // horizontal (62,61)-(63,61)
    place_element(c, v, '=', said.sink());
    EXPECT_EQ(c.element[1].P[1], pack_point(62, 61));
    EXPECT_EQ(c.element[1].P[2], pack_point(63, 61));
    place_element(c, v, '-', said.sink());
    EXPECT_EQ(c.element[2].P[1], pack_point(63, 61));
    // A transistor: three terminals, side step down from a horizontal cursor.
    place_element(c, v, 'q', said.sink());
    const Element& q = c.element[3];
    EXPECT_EQ(q.P[3], pack_point(63, 60));
    EXPECT_EQ(q.P[4], pack_point(62, 60));
    // And right of a vertical cursor.
    aim(v, 70, 70, true);
    place_element(c, v, 'a', said.sink());
    EXPECT_EQ(c.element[4].P[3], pack_point(71, 71));
    EXPECT_EQ(c.element[4].P[4], pack_point(71, 70));
}

TEST(LayoutPlace, ThreeTerminalsRefusedAtTheRightAndBottomEdges) {
    ViewState v = view_at();
    Circuit c;
    Said said;
    aim(v, 80, 64, true);  // rightmost column (x0 + columns)
    EXPECT_EQ(place_element(c, v, 'q', said.sink()), PlaceResult::refused);
    EXPECT_EQ(place_element(c, v, 'r', said.sink()), PlaceResult::placed);
    aim(v, 79, 64, true);
    EXPECT_EQ(place_element(c, v, 'q', said.sink()), PlaceResult::placed);
    aim(v, 65, 60, false);  // bottom row
    EXPECT_EQ(place_element(c, v, 'a', said.sink()), PlaceResult::refused);
    aim(v, 65, 61, false);
    EXPECT_EQ(place_element(c, v, 'a', said.sink()), PlaceResult::placed);
}

TEST(LayoutEdit, NamesAndParameters) {
    ViewState v = view_at();
    Circuit c;
    Said said;
    aim(v, 65, 64, true);
    place_element(c, v, 'r', said.sink());
    aim(v, 66, 64, true);
    place_element(c, v, '*', said.sink());
    c.changed = false;
    const std::string letters = "Invalid name. Wrong first letter or more than 5 letters";
    const std::string blanks = "Invalid name. Blanks are not allowed in a name";
    struct Row {
        const char* name;
        std::string refusal;  // empty: accepted
    };
    const Row rows[] = {{"X1", letters},  {"R12345", letters},       {"", letters},    {"r1", letters},
                        {" R1", letters}, {"R 1", blanks},           {"R1\t", blanks}, {"R 12345", letters},
                        {"R1234", ""},    {"R\xc2\xb5\xc2\xb5", ""}, {"R", ""}};
    for (const Row& r : rows) {
        said.lines.clear();
        EXPECT_EQ(apply_parameters(c, 1, r.name, "1e3", said.sink()), r.refusal.empty()) << r.name;
        EXPECT_EQ(said.lines, r.refusal.empty() ? std::vector<std::string>{} : std::vector{r.refusal})
            << r.name;
    }
    EXPECT_EQ(c.element[1].name, "R");
    EXPECT_EQ(c.element[1].parameters, "1E3");
    EXPECT_TRUE(c.changed);  // an applied change is a change
    c.changed = false;
    apply_parameters(c, 1, "R", "1e3", said.sink());  // the same again
    EXPECT_FALSE(c.changed);
    apply_parameters(c, 2, "*", "Filter (f=1e3)", said.sink());
    EXPECT_EQ(c.element[2].parameters, "Filter (f=1e3)");
    EXPECT_TRUE(c.changed);
}

TEST(LayoutView, ZoomCyclesAndTheWheelKeepsThePointUnderTheMouse) {
    ViewState v = view_at(40, 50);
    int seen[6];
    for (int i = 0; i < 6; ++i) {
        seen[i] = v.zoom;
        cycle_zoom(v);
    }
    EXPECT_EQ(std::vector<int>(seen, seen + 6), (std::vector<int>{1, 2, 3, 4, 5, 1}));
    v.zoom = 1;

    // Zoom 1 -> 2 with the mouse 200 pixels right and 100 up from the bottom.
    v.mouse_x = 200;
    v.mouse_y = 300 - 100;
    EXPECT_TRUE(wheel_zoom(v, true, 300));
    EXPECT_EQ(v.zoom, 2);
    EXPECT_EQ(v.x0, 40 + (200 / 16 + 1) * 1 / 2);    // 46
    EXPECT_EQ(v.y0, 50 + 1 * ((100 / 16) + 1) / 2);  // 53
    // The grid point under the mouse stays within a cell.
    EXPECT_NEAR(v.x0 + 200.0 / 32, 40 + 200.0 / 16, 1.0);
    EXPECT_TRUE(wheel_zoom(v, false, 300));  // and back: truncation towards zero
    EXPECT_EQ(v.zoom, 1);
    EXPECT_EQ(v.x0, 46 + (13 * -1) / 2);  // 40
    EXPECT_EQ(v.y0, 53 + (-1 * 7) / 2);   // 50
    EXPECT_FALSE(wheel_zoom(v, false, 300));
    v.zoom = 5;
    EXPECT_FALSE(wheel_zoom(v, true, 300));
}

TEST(LayoutView, CentreUsesTheDocumentedArithmetic) {
    ViewState v = view_at(0, 0);  // 20 x 15
    Circuit c;
    Element e;
    e.kind = 1;
    e.P[1] = pack_point(100, 101);
    e.P[2] = pack_point(100, 100);
    append_element(c, e);
    e.P[1] = pack_point(110, 91);
    e.P[2] = pack_point(110, 90);
    append_element(c, e);
    centre_circuit(c, v);
    // X from 1600 to 1760, Y from 240 - 1616 to 240 - 1440.
    EXPECT_EQ(v.x0, ((1600 + 1760) / 2 - 8 * 20) / 16);              // 95
    EXPECT_EQ(v.y0, (16 * 15 - (-1376 + -1200) / 2 - 8 * 15) / 16);  // 88
    // Empty circuit: the sentinels cancel out.
    ViewState w = view_at(30, 30);
    centre_circuit(Circuit{}, w);
    EXPECT_EQ(w.x0, (16 * 30 - 8 * 20) / 16);
    EXPECT_EQ(w.y0, (16 * 15 + 16 * 30 - 8 * 15) / 16);
}

TEST(LayoutView, RightButtonCentresTheCursor) {
    ViewState v = view_at(60, 60);
    centre_on_mouse(v, 3 * 16 + 6, 10 * 16 + 1);  // segment from (63,65)
    EXPECT_EQ(v.x0, 63 - 10);
    EXPECT_EQ(v.y0, 65 - 7);
}

TEST(LayoutView, InvertColoursTwiceRestores) {
    ViewState v;
    invert_colours(v);
    EXPECT_EQ(v.colours.background, 0xFFFFFFu);
    EXPECT_EQ(v.colours.element, 0x000000u);
    EXPECT_EQ(v.colours.text, 0x0000FFu);
    invert_colours(v);
    EXPECT_EQ(v.colours.background, 0x000000u);
    EXPECT_EQ(v.colours.element, 0xFFFFFFu);
    EXPECT_EQ(v.colours.text, 0xFFFF00u);
}

TEST(LayoutView, ConnectionsJoinLabelsByTheirFirstTwoCharacters) {
    Circuit c;
    const auto label = [&](const char* name, int p2) {
        Element e;
        e.kind = 59;
        e.name = name;
        e.P[2] = p2;
        append_element(c, e);
    };
    label("1", 10);
    label("1A", 20);
    label("1", 30);
    label("1AB", 40);
    label("2", 50);
    const auto lines = connection_lines(c, 7);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].from, 30);
    EXPECT_EQ(lines[0].to, 10);
    const int e = 7 + '1';
    EXPECT_EQ(lines[0].colour, (std::uint32_t(e % 255) << 16) | ((33 * e % 255) << 8) | (77 * e % 255));
    EXPECT_EQ(lines[1].from, 40);
    EXPECT_EQ(lines[1].to, 20);
}

}  // namespace
}  // namespace editor
