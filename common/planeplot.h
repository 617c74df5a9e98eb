// Complex-plane plot drawing shared by the pole/zero viewer and the
// analysis program's deviation plot.
//
// A plot is a square of side x side pixels at the left of its paint box,
// showing the window re_min .. re_min + width by im_min .. im_min + width
// (equal scales), with a text column at side + 4. Everything is drawn with
// a QPainter without antialiasing:
//
//   PlaneMapping m(side, window);                 // scale factors
//   draw_plane_axes(p, m, AxisRule::when_left_of_side);
//   draw_plane_frame(p, side, Qt::yellow);
//   QPoint at = m.pixel(re, im);
//   if (m.in_square(at)) { draw_deviation_ellipse(p, m, re, im, a, b, theta,
//                                                 kViewerEllipseSteps, colour);
//                          draw_pole_marker(p, at, colour); }
//   plane_text(p, m.text_column(), 0, "Re:" + e_text(window.re_min, 10), Qt::white);
//
// The exclusive-or figures (cursor arrow, selection square, rubber band)
// undo themselves: drawing the same figure twice at the same place gives
// back the picture as it was.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QPolygon>
#include <QString>
#include <QStringList>
#include <optional>

#include "common/real.h"

class QPainter;

namespace suite {

// The part of the complex plane shown in the square.
struct PlaneWindow {
    Real re_min = -2;
    Real im_min = -2;
    Real width = 4;
};

// Ellipse steps on each side of the centre: the viewer draws each half of an
// ellipse with 80 segments, the analysis program with 32.
constexpr int kViewerEllipseSteps = 40;
constexpr int kAnalysisEllipseSteps = 16;

// Pixel coordinates are kept within this bound, so that a far-away point
// of a deep zoom still gives a drawable (off-square) pixel.
constexpr int kPixelLimit = 1 << 24;

// The position that stands for "no cursor on the screen".
inline constexpr QPoint kNoCursor{-100, -100};

// Scale factors of a square of `side` pixels:
// ax = side/width, bx = -ax*re_min, ay = -side/width, by = side - ay*im_min.
struct PlaneMapping {
    int side = 0;
    Real ax = 0, bx = 0, ay = 0, by = 0;

    PlaneMapping() = default;
    PlaneMapping(int side, const PlaneWindow& window);

    // Pixel of a point, each coordinate taken to the nearest integer.
    QPoint pixel(Real re, Real im) const;
    int x_pixel(Real re) const;
    int y_pixel(Real im) const;
    // 0 <= x <= side and 0 <= y <= side.
    bool in_square(QPoint p) const;
    int text_column() const { return side + 4; }
    // Plane coordinates of a pixel.
    Real re_at(int x) const { return (x - bx) / ax; }
    Real im_at(int y) const { return (y - by) / ay; }
};

// The window selected by dragging from `start` to `end`: only a drag from
// top-left to bottom-right selects one. Its lower-left corner is the
// rectangle's, and its width is the larger of the rectangle's real and
// imaginary extents (the imaginary one when they are equal).
std::optional<PlaneWindow> zoom_from_drag(const PlaneMapping& m, QPoint start, QPoint end);

// --- Texts -----------------------------------------------------------------

// The font of the plot texts (fixed pitch, about 12 pixels a line).
QFont plane_font();
// Height of the text "X" in the painter's current font: the height of a
// line of text (ascent and descent), the step between lines of the column.
int plane_line_height(const QPainter& p);
// Writes `text` with its top-left corner at (x, y) on an opaque background.
void plane_text(QPainter& p, int x, int y, const QString& text, const QColor& ink,
                const QColor& background = Qt::black);

// E(v, w): scientific format of width w. F(v, w, d): fixed format.
QString e_text(Real v, int width);
QString f_text(Real v, int width, int decimals);
// The quality factor -w/(2 re) of a pole at (re, im) as E(q, width), or
// " infinito" when re is 0.
QString q_text(Real re, Real im, int width);
// The window lines of the text column: "Re:" E(re_min), "   " E(re_min +
// width), "Im:" E(im_min), "   " E(im_min + width).
QStringList window_texts(const PlaneWindow& window, int width);

// --- Axes, frame, entries --------------------------------------------------

enum class AxisRule {
    when_left_of_side,  // the vertical axis only when its pixel is left of side
    always,
};
// Where the axes and the frame end: at the pixels of side itself (the
// viewer's square, whose right and bottom edges are x = side and y = side),
// or one pixel short of them.
enum class SquareEnd { short_of_side, at_side };
// Dotted grey axes: vertical at the pixel of re 0 from y 0 to side,
// horizontal at the pixel of im 0 from x 0 to side.
void draw_plane_axes(QPainter& p, const PlaneMapping& m, AxisRule rule,
                     SquareEnd end = SquareEnd::short_of_side);
// The outline of the square from (0, 0) to (side, side).
void draw_plane_frame(QPainter& p, int side, const QColor& colour, SquareEnd end = SquareEnd::short_of_side);

// A pole: a cross of two diagonal strokes of 5 pixels centred on `at`.
void draw_pole_marker(QPainter& p, QPoint at, const QColor& colour);
// A zero: the circle inscribed in the square from at - (4, 4) to at + (4, 4),
// filled when `fill` is given.
void draw_zero_marker(QPainter& p, QPoint at, const QColor& outline,
                      std::optional<QColor> fill = std::nullopt);
// The rectangle with corners at (re - dre, im - dim) and (re + dre, im + dim).
void draw_deviation_rectangle(QPainter& p, const PlaneMapping& m, Real re, Real im, Real dre, Real dim,
                              const QColor& colour);

// The two halves of the ellipse centred on (re, im) with semi-axes a and b,
// its principal axis at `theta` radians: with h = a/steps, q = b/a,
// u_i = i*h and v_i = q*sqrt(|a^2 - u_i^2|) for i = -steps..steps, the
// points (u_i, +-v_i) of the ellipse's frame placed at the pixels of
// (re + u*cos - v*sin, im + u*sin + v*cos). Empty when a is 0.
struct EllipsePolylines {
    QPolygon upper;  // 2*steps + 1 points, 2*steps segments
    QPolygon lower;
};
EllipsePolylines ellipse_polylines(const PlaneMapping& m, Real re, Real im, Real a, Real b, Real theta,
                                   int steps);
void draw_deviation_ellipse(QPainter& p, const PlaneMapping& m, Real re, Real im, Real a, Real b, Real theta,
                            int steps, const QColor& colour);

// --- Exclusive-or figures --------------------------------------------------

// The viewer's cursor: an arrow with its tip at `tip` pointing up and left,
// the polygon (0,0) (12,0) (9,3) (12,6) (6,12) (3,9) (0,12), outlined in
// yellow and filled with red, combined by exclusive-or. Nothing is drawn
// at kNoCursor.
void xor_cursor_arrow(QPainter& p, QPoint tip);
// The outline of the square of half-side `half` around `centre`, red.
void xor_selection_square(QPainter& p, QPoint centre, int half = 6);
// The outline of the rectangle between two corners, dotted red.
void xor_rubber_band(QPainter& p, QPoint a, QPoint b);

}  // namespace suite
