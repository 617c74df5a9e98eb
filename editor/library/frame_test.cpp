#include "editor/library/frame.h"

#include <gtest/gtest.h>

namespace editor {
namespace {

const ViewGeometry view60{.zoom = 2, .x0 = 60, .y0 = 60, .columns = 20, .rows = 10};

ViewGeometry at_zoom(int z) {
    ViewGeometry v = view60;
    v.zoom = z;
    return v;
}

TEST(ElementFrame, UnzoomedCoordinates) {
    EXPECT_EQ(unzoomed_x(view60, pack_point(65, 64)), 80);
    EXPECT_EQ(unzoomed_y(view60, pack_point(65, 64)), 96);
    EXPECT_EQ(unzoomed_y(view60, pack_point(60, 60)), 160);
    EXPECT_EQ(point_x(16449), 65);
    EXPECT_EQ(point_y(16449), 64);
}

// Hand-computed frames: origin and the screen points of the terminal ends.
TEST(ElementFrame, HandComputedOriginsAndPoints) {
    struct Row {
        const char* what;
        int zoom, terminals;
        PackedPoints points;
        int ox, oy;
        int dx, dy;  // a drawing point ...
        int x, y;    // ... and where it lands
    };
    const int32_t a = pack_point(65, 64), b = pack_point(65, 65), c = pack_point(66, 64),
                  d = pack_point(66, 65), e = pack_point(64, 64), f = pack_point(64, 65),
                  g = pack_point(66, 63), h = pack_point(65, 63);
    const Row rows[] = {
        {"vertical", 2, 2, {a, b, a, b}, 143, 161, 9, 0, 161, 161},
        {"vertical P1 end", 2, 2, {a, b, a, b}, 143, 161, 9, 16, 161, 193},
        {"vertical inverted", 2, 2, {b, a, b, a}, 143, 193, 9, 0, 161, 193},
        {"horizontal", 3, 2, {a, c, a, c}, 289, 316, 9, 0, 289, 289},
        {"horizontal P1 end", 3, 2, {a, c, a, c}, 289, 316, 9, 16, 241, 289},
        {"four terminals", 2, 4, {a, b, c, d}, 159, 161, 17, 0, 193, 161},
        {"four reflected", 2, 4, {a, b, e, f}, 163, 161, 17, 0, 129, 161},
        {"four reflected P1", 2, 4, {a, b, e, f}, 163, 161, 1, 16, 161, 193},
        {"horizontal both", 2, 4, {c, a, g, h}, 161, 191, 1, 16, 193, 193},
        {"horizontal both P3", 2, 4, {c, a, g, h}, 161, 191, 17, 16, 193, 225},
        {"zoom 5", 5, 2, {a, b, a, b}, 357, 402, 9, 0, 402, 402},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const ElementFrame fr = element_frame(at_zoom(r.zoom), r.terminals, r.points);
        EXPECT_EQ(fr.ox, r.ox);
        EXPECT_EQ(fr.oy, r.oy);
        EXPECT_EQ(frame_point(fr, r.dx, r.dy), (ScreenPoint{r.x, r.y}));
    }
}

// The eight orientations of 2-, 3- and 4-terminal elements.
struct Placement {
    bool vertical, inverted, reflected;
};

PackedPoints place(int terminals, Placement o) {
    int32_t p1 = pack_point(66, 65);
    int32_t p2 = o.vertical ? p1 + 256 : p1 + 1;
    if (o.inverted) std::swap(p1, p2);
    if (terminals == 2) return {p1, p2, p1, p2};
    const int32_t side = (o.vertical ? 1 : 256) * (o.reflected ? -1 : 1);
    return {p1, p2, p1 + side, p2 + side};
}

std::vector<Placement> placements() {
    std::vector<Placement> all;
    for (int i = 0; i < 8; ++i) all.push_back({(i & 1) != 0, (i & 2) != 0, (i & 4) != 0});
    return all;
}

ScreenPoint pen_at(const ViewGeometry& v, int32_t p) {
    return {v.zoom * unzoomed_x(v, p) + v.zoom / 2, v.zoom * unzoomed_y(v, p) + v.zoom / 2};
}

// Leads meet the grid points: the drawing's terminal coordinates land on the
// centre of each terminal's zoomed pixel, in every orientation and zoom.
TEST(ElementFrame, TerminalCoordinatesMeetTheGridPoints) {
    for (int z = 1; z <= 5; ++z) {
        const ViewGeometry v = at_zoom(z);
        for (int terminals = 2; terminals <= 4; ++terminals) {
            for (const Placement o : placements()) {
                if (terminals == 2 && o.reflected) continue;
                SCOPED_TRACE(testing::Message() << "z=" << z << " t=" << terminals << " v=" << o.vertical
                                                << " i=" << o.inverted << " r=" << o.reflected);
                const PackedPoints p = place(terminals, o);
                const ElementFrame f = element_frame(v, terminals, p);
                EXPECT_EQ(f.vertical, o.vertical);
                EXPECT_EQ(f.inverted, o.inverted);
                EXPECT_EQ(f.reflected, o.reflected);
                const int axis = terminals == 2 ? 9 : 1;
                EXPECT_EQ(frame_point(f, axis, 16), pen_at(v, p[0]));
                EXPECT_EQ(frame_point(f, axis, 0), pen_at(v, p[1]));
                if (terminals > 2) {
                    EXPECT_EQ(frame_point(f, 17, 16), pen_at(v, p[2]));
                    EXPECT_EQ(frame_point(f, 17, 0), pen_at(v, p[3]));
                }
            }
        }
    }
}

// Bitmap column n, row i shows drawing point (n + 1, 16 - i): the vector
// pen passes through the middle of the same square in every orientation.
TEST(ElementFrame, BitmapSquaresMatchDrawingPoints) {
    for (int z = 1; z <= 5; ++z) {
        for (int terminals : {2, 4}) {
            for (const Placement o : placements()) {
                if (terminals == 2 && o.reflected) continue;
                const ElementFrame f = element_frame(at_zoom(z), terminals, place(terminals, o));
                for (int row = 0; row < 16; ++row)
                    for (int col = 0; col < 16; ++col) {
                        const ScreenRect s = bitmap_square(f, row, col);
                        ASSERT_EQ(s.size, z);
                        ASSERT_EQ(frame_point(f, col + 1, 16 - row),
                                  (ScreenPoint{s.left + z / 2, s.top + z / 2}))
                            << "z=" << z << " row=" << row << " col=" << col;
                    }
            }
        }
    }
    // Hand-computed: a vertical resistor at zoom 2, row 1, column 8.
    const ElementFrame r = element_frame(
        view60, 2, {pack_point(65, 64), pack_point(65, 65), pack_point(65, 64), pack_point(65, 65)});
    EXPECT_EQ(bitmap_square(r, 1, 8), (ScreenRect{160, 190, 2}));
    EXPECT_EQ(bitmap_square(r, 0, 8), (ScreenRect{160, 192, 2}));  // on P1
}

TEST(ElementFrame, VisibleOnlyWithP1AndP4InsideTheWindow) {
    struct Row {
        int x1, y1, x4, y4;
        bool visible;
    };
    const Row rows[] = {
        {60, 60, 61, 61, true},  {80, 70, 80, 70, true},  {59, 60, 60, 61, false}, {80, 70, 81, 70, false},
        {70, 65, 70, 71, false}, {70, 59, 70, 60, false}, {65, 65, 66, 66, true},
    };
    for (const Row& r : rows) {
        const PackedPoints p{pack_point(r.x1, r.y1), 0, 0, pack_point(r.x4, r.y4)};
        EXPECT_EQ(element_visible(view60, p), r.visible) << r.x1 << ',' << r.y1;
    }
}

}  // namespace
}  // namespace editor
