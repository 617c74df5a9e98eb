#include "editor/library/render.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "editor/library/bitmaps.h"
#include "editor/library/drawing.h"
#include "editor/library/library.h"

namespace editor {
namespace {

const QColor black(0, 0, 0), white(255, 255, 255), yellow(255, 255, 0), green(0, 255, 0);

ViewGeometry view_at(int z) { return {.zoom = z, .x0 = 60, .y0 = 60, .columns = 12, .rows = 10}; }

QImage blank(const ViewGeometry& v) {
    QImage img((v.columns + 1) * 16 * v.zoom, (v.rows + 1) * 16 * v.zoom, QImage::Format_RGB32);
    img.fill(black);
    return img;
}

QImage render(const ViewGeometry& v, const LayoutLook& look, const ElementShape& e, int mode = 1) {
    QImage img = blank(v);
    QPainter p(&img);
    draw_element(p, v, look, e, mode);
    return img;
}

bool lit(const QImage& img, int x, int y) {
    return img.rect().contains(x, y) && img.pixelColor(x, y) != black;
}

// Some pixel within `r` of (x, y) is lit.
bool lit_near(const QImage& img, ScreenPoint s, int r) {
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (lit(img, s.x + dx, s.y + dy)) return true;
    return false;
}

// Visits every lit pixel of an RGB32 image on black.
template <class F>
void for_each_lit(const QImage& img, F f) {
    for (int y = 0; y < img.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if ((line[x] & 0xffffff) != 0) f(x, y);
    }
}

int lit_count(const QImage& img) {
    int n = 0;
    for_each_lit(img, [&](int, int) { ++n; });
    return n;
}

const int32_t p6564 = pack_point(65, 64), p6565 = pack_point(65, 65), p6664 = pack_point(66, 64),
              p6665 = pack_point(66, 65);

// Points around (65,65) in orientation o: bit 0 vertical, bit 1 inverted,
// bit 2 reflected.
PackedPoints placed(int terminals, int o) {
    int32_t p1 = pack_point(65, 65), p2 = (o & 1) ? p1 + 256 : p1 + 1;
    if (o & 2) std::swap(p1, p2);
    const int32_t side = terminals == 2 ? 0 : ((o & 1) ? 1 : 256) * ((o & 4) ? -1 : 1);
    return {p1, p2, p1 + side, p2 + side};  // for 3 terminals P4 = P3 + P2 - P1 too
}

const ElementShape resistor{kind_resistor, {p6564, p6565, p6564, p6565}, "1"};

// At zoom 1 the bitmap is drawn even with vector drawings on: exactly the
// set bits, row i at y = 96 - i, column n at x = 72 + n.
TEST(Renderer, ZoomOneDrawsTheBitmapExactly) {
    const QImage img = render(view_at(1), LayoutLook{}, resistor);
    const Bitmap& b = kind_bitmap(kind_resistor);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int row = 96 - y, col = x - 72;
            const bool bit = row >= 0 && row < 16 && col >= 0 && col < 16 && bitmap_bit(b, row, col);
            ASSERT_EQ(lit(img, x, y), bit) << x << ',' << y;
            if (bit) {
                ASSERT_EQ(img.pixelColor(x, y), white);
            }
        }
}

// With vector drawings off, zoom 3 draws 3 by 3 squares.
TEST(Renderer, BitmapModeDrawsZoomSizedSquares) {
    LayoutLook look;
    look.vector_drawings = false;
    const QImage img = render(view_at(3), look, resistor);
    EXPECT_EQ(lit_count(img), 9 * 19);  // 19 bits set in the resistor's picture
    // Row 1, column 8: left 3*(72+8), top 3*(96-1).
    for (int y = 285; y < 288; ++y)
        for (int x = 240; x < 243; ++x) EXPECT_TRUE(lit(img, x, y));
    EXPECT_FALSE(lit(img, 240, 288));  // row 0 is empty
}

// Backspace (ends exchanged) shows the picture turned end for end: in
// bitmap mode the inverted four-terminal element is the exact mirror image.
TEST(Renderer, InvertedElementIsTheMirrorImage) {
    LayoutLook look;
    look.vector_drawings = false;
    const int kind = find_kind('G');
    const QImage a = render(view_at(3), look, {kind, {p6564, p6565, p6664, p6665}, ""});
    const QImage b = render(view_at(3), look, {kind, {p6565, p6564, p6665, p6664}, ""});
    ASSERT_GT(lit_count(a), 50);
    for (int y = 0; y <= 530; ++y)
        for (int x = 0; x < a.width(); ++x) ASSERT_EQ(lit(b, x, y), lit(a, x, 530 - y)) << x << ',' << y;
}

// Space mirrors the side terminals: the picture turns side for side.
TEST(Renderer, ReflectedElementIsTheSideMirrorImage) {
    LayoutLook look;
    look.vector_drawings = false;
    const int kind = find_kind('Q');
    const int32_t p6464 = pack_point(64, 64), p6465 = pack_point(64, 65);
    const QImage a = render(view_at(3), look, {kind, {p6564, p6565, p6664, p6665}, ""});
    const QImage b = render(view_at(3), look, {kind, {p6564, p6565, p6464, p6465}, ""});
    ASSERT_GT(lit_count(a), 50);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x <= 482; ++x) ASSERT_EQ(lit(b, x, y), lit(a, 482 - x, y)) << x << ',' << y;
}

TEST(Renderer, SinglePairPolylineDrawsNothing) {
    const ViewGeometry v = view_at(3);
    QImage img = blank(v);
    {
        QPainter p(&img);
        draw_drawing(p, element_frame(v, 2, resistor.points), "*JA*KB", white, 3);
    }
    EXPECT_EQ(lit_count(img), 0);
}

TEST(Renderer, VectorResistorFollowsItsDrawing) {
    const ViewGeometry v = view_at(2);
    const QImage img = render(v, LayoutLook{}, resistor);
    const ElementFrame f = element_frame(v, 2, resistor.points);
    // Lead from the P2 end at (161,161), zigzag corner (11,5), lead to P1.
    EXPECT_EQ(frame_point(f, 9, 0), (ScreenPoint{161, 161}));
    for (int y = 161; y <= 169; ++y) EXPECT_TRUE(lit(img, 161, y)) << y;
    EXPECT_TRUE(lit_near(img, frame_point(f, 11, 5), 1));
    EXPECT_TRUE(lit(img, 161, 193));
    EXPECT_FALSE(lit_near(img, frame_point(f, 14, 8), 2));
    EXPECT_FALSE(lit_near(img, frame_point(f, 4, 8), 2));
    EXPECT_FALSE(lit_near(img, frame_point(f, 9, 20), 2));

    // Horizontal at zoom 3, P1 (65,64) and P2 (66,64): the lead runs from the
    // P2 end at (289,289) leftwards to drawing row 4 at x = 277.
    const ElementShape across{kind_resistor, {p6564, p6664, p6564, p6664}, ""};
    const QImage h = render(view_at(3), LayoutLook{}, across);
    for (int x = 277; x <= 289; ++x) EXPECT_TRUE(lit(h, x, 289)) << x;
    EXPECT_TRUE(lit(h, 241, 289));                             // the P1 end
    EXPECT_FALSE(lit_near(h, ScreenPoint{265, 289 - 30}, 3));  // well off the zigzag
}

TEST(Renderer, PenWidthIsTheZoomOrTwoWithThinLines) {
    const ViewGeometry v = view_at(4);
    const ElementFrame f = element_frame(v, 2, resistor.points);
    const ScreenPoint lead = frame_point(f, 9, 2);
    for (const bool thin : {false, true}) {
        LayoutLook look;
        look.thin_lines = thin;
        const QImage img = render(v, look, resistor);
        int width = 0;
        for (int x = lead.x - 8; x <= lead.x + 8; ++x) width += lit(img, x, lead.y);
        EXPECT_EQ(width, thin ? 2 : 4);
    }
}

TEST(Renderer, DotsVanishAtZoomFive) {
    for (int z = 2; z <= 5; ++z) {
        const ViewGeometry v = view_at(z);
        QImage img = blank(v);
        {
            QPainter p(&img);
            draw_drawing(p, element_frame(v, 2, resistor.points), "@JI", white, z);
        }
        EXPECT_EQ(lit_count(img), z < 5 ? z * z : 0) << z;
    }
}

// Arcs keep their bulge: the capacitor's curved plate passes (9,7), towards
// the straight plate, and never the far side of its circle, in every
// orientation; the OR gate's back (an elliptical arc) bulges into the gate.
TEST(Renderer, ArcsBulgeTheSameWayInEveryOrientation) {
    struct Case {
        char key;
        DrawPoint bulge;
        std::vector<DrawPoint> never;
    };
    const Case cases[] = {
        {'C', {9, 7}, {{9, -5}, {3, 1}, {15, 1}}},
        {'}', {5, 8}, {{1, 8}}},
    };
    for (const Case& c : cases) {
        const int kind = find_kind(c.key);
        const int terminals = component_kind(kind).terminals;
        for (int z = 2; z <= 5; ++z)
            for (int o = 0; o < 8; ++o) {
                if (terminals == 2 && (o & 4)) continue;
                const PackedPoints pts = placed(terminals, o);
                const ViewGeometry v = view_at(z);
                const QImage img = render(v, LayoutLook{}, {kind, pts, ""});
                const ElementFrame f = element_frame(v, terminals, pts);
                SCOPED_TRACE(testing::Message() << c.key << " z=" << z << " o=" << o);
                EXPECT_TRUE(lit_near(img, frame_point(f, c.bulge.dx, c.bulge.dy), 1));
                for (const DrawPoint& n : c.never) {
                    EXPECT_FALSE(lit_near(img, frame_point(f, n.dx, n.dy), z / 2)) << n.dx << ',' << n.dy;
                }
            }
    }
}

TEST(Renderer, ColourModes) {
    const ViewGeometry v = view_at(2);
    EXPECT_EQ(render(v, LayoutLook{}, resistor, colour_normal).pixelColor(161, 163), white);
    EXPECT_EQ(render(v, LayoutLook{}, resistor, colour_highlight).pixelColor(161, 163), green);
}

// Drawing in mode 0 removes everything mode 1 drew, text included, at every
// zoom and in both picture modes.
TEST(Renderer, EraseModeRemovesTheElementCompletely) {
    const ElementShape comment{kind_comment, {p6564, p6565, p6564, p6565}, "Filter 1: Q=0.7"};
    const ElementShape capacitor{find_kind('C'), {p6565, p6564, p6565, p6564}, "1"};
    for (int z = 1; z <= 5; ++z)
        for (const bool vector : {true, false})
            for (const ElementShape& e : {comment, capacitor, resistor}) {
                LayoutLook look;
                look.vector_drawings = vector;
                const ViewGeometry v = view_at(z);
                QImage img = blank(v);
                QPainter p(&img);
                draw_element(p, v, look, e, colour_normal);
                p.end();
                ASSERT_GT(lit_count(img), 0);
                p.begin(&img);
                draw_element(p, v, look, e, colour_erase);
                p.end();
                EXPECT_EQ(lit_count(img), 0) << "z=" << z << " vector=" << vector << " kind=" << e.kind;
            }
}

TEST(Renderer, ElementsOutsideTheWindowAreNotDrawn) {
    const ViewGeometry v = view_at(2);
    const int32_t a = pack_point(72, 64), b = pack_point(73, 64);  // P4 beyond x0 + columns
    EXPECT_EQ(lit_count(render(v, LayoutLook{}, {find_kind('-'), {a, b, a, b}, ""})), 0);
    const int32_t c = pack_point(71, 64), d = pack_point(72, 64);  // on the bound: drawn
    EXPECT_GT(lit_count(render(v, LayoutLook{}, {find_kind('-'), {c, d, c, d}, ""})), 0);
    const ElementShape hidden_comment{kind_comment, {pack_point(59, 64), pack_point(59, 65), 0, 0}, "x"};
    EXPECT_EQ(lit_count(render(v, LayoutLook{}, hidden_comment)), 0);
}

// The text of a comment starts at z*((X1+X2)/2 + 10), z*((Y1+Y2)/2 - 6).
TEST(Renderer, CommentTextPositionAndFrame) {
    const ViewGeometry v = view_at(2);
    const PackedPoints pts{p6564, p6565, p6564, p6565};
    const QPoint origin = element_text_origin(v, pts);
    EXPECT_EQ(origin, QPoint(180, 164));
    EXPECT_EQ(element_text_frame(origin, {30, 12}), QRect(178, 163, 34, 14));

    LayoutLook look;
    QImage img = blank(v);
    {
        QPainter p(&img);
        draw_element_text(p, v, look, pts, "MMM", colour_normal);
    }
    int min_x = img.width(), min_y = img.height(), yellow_pixels = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (lit(img, x, y)) {
                min_x = std::min(min_x, x);
                min_y = std::min(min_y, y);
                yellow_pixels += img.pixelColor(x, y) == yellow;
            }
    EXPECT_GT(yellow_pixels, 0);
    EXPECT_GE(min_x, 180);
    EXPECT_LE(min_x, 184);
    EXPECT_GE(min_y, 164);
    EXPECT_LE(min_y, 164 + 16);

    // Framed over a lit area: the frame in the text colour, filled with the background.
    QImage framed = blank(v);
    framed.fill(white);
    {
        QPainter p(&framed);
        draw_element_text(p, v, look, pts, "MMM", colour_highlight, true);
    }
    EXPECT_EQ(framed.pixelColor(178, 163), yellow);
    EXPECT_EQ(framed.pixelColor(179, 164), black);
    EXPECT_EQ(framed.pixelColor(177, 163), white);
    EXPECT_EQ(framed.pixelColor(178, 162), white);
}

// Every kind, in every orientation and zoom, stays inside its own frame
// (drawing units -1..18 across, -1..17 along, plus the pen): an arc taken
// the wrong way round or a misplaced frame would leave it.
TEST(Renderer, EveryKindStaysInsideItsFrame) {
    for (int kind = 1; kind <= library_size; ++kind) {
        const int terminals = component_kind(kind).terminals;
        for (int z = 1; z <= 5; ++z)
            for (int o = 0; o < 8; ++o) {
                if (terminals == 2 && (o & 4)) continue;
                const PackedPoints pts = placed(terminals, o);
                const ViewGeometry v{.zoom = z, .x0 = 61, .y0 = 61, .columns = 7, .rows = 7};
                const QImage img = render(v, LayoutLook{}, {kind, pts, ""});
                const ElementFrame f = element_frame(v, terminals, pts);
                const ScreenPoint a = frame_point(f, -1, -1), b = frame_point(f, 18, 17);
                const QRect box =
                    QRect(QPoint(a.x, a.y), QPoint(b.x, b.y)).normalized().adjusted(-z, -z, z, z);
                int lit_pixels = 0, outside = 0;
                for_each_lit(img, [&](int x, int y) {
                    ++lit_pixels;
                    outside += !box.contains(x, y);
                });
                ASSERT_GT(lit_pixels, 0) << kind << " z=" << z << " o=" << o;
                ASSERT_EQ(outside, 0) << component_kind(kind).key << " z=" << z << " o=" << o;
            }
    }
}

}  // namespace
}  // namespace editor
