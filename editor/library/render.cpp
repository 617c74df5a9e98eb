#include "editor/library/render.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <cmath>
#include <numbers>

#include "editor/library/bitmaps.h"
#include "editor/library/drawing.h"
#include "editor/library/library.h"

namespace editor {
namespace {

QPoint to_qt(ScreenPoint s) { return {s.x, s.y}; }

// Qt's angle (1/16 degree, counter-clockwise on the screen) of the point of
// the ellipse (centre c, radii rx, ry) where the ray towards p meets it.
double arc_angle(QPointF c, double rx, double ry, QPointF p) {
    return std::atan2(-(p.y() - c.y()) * rx, (p.x() - c.x()) * ry) * 180.0 / std::numbers::pi * 16.0;
}

// Counter-clockwise from the direction of `from` to that of `to`.
void draw_arc(QPainter& p, const QRectF& box, QPointF from, QPointF to, bool full) {
    if (box.width() <= 0 || box.height() <= 0) return;
    if (full) {
        p.drawEllipse(box);
        return;
    }
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    const double start = arc_angle(c, rx, ry, from);
    double span = arc_angle(c, rx, ry, to) - start;
    while (span <= 0) span += 360 * 16;
    p.drawArc(box, static_cast<int>(std::lround(start)), static_cast<int>(std::lround(span)));
}

void draw_bitmap(QPainter& p, const ElementFrame& f, const Bitmap& bitmap, const QColor& colour) {
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 16; ++column)
            if (bitmap_bit(bitmap, row, column)) {
                const ScreenRect s = bitmap_square(f, row, column);
                p.fillRect(QRect(s.left, s.top, s.size, s.size), colour);
            }
}

}  // namespace

void draw_drawing(QPainter& p, const ElementFrame& f, std::string_view drawing, const QColor& colour,
                  int pen_width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(colour, pen_width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const bool mirrored = frame_mirrors(f);
    auto at = [&](const DrawPoint& d) { return to_qt(frame_point(f, d.dx, d.dy)); };
    for (const DrawCommand& c : decode_drawing(drawing)) {
        const auto& pts = c.points;
        switch (c.op) {
            case DrawOp::polyline: {
                if (pts.size() < 2) break;  // a single pair only moves the pen
                QPolygon line;
                for (const DrawPoint& d : pts) line << at(d);
                p.drawPolyline(line);
                break;
            }
            case DrawOp::circle_arc: {
                const double r = c.radius * f.zoom;
                const QPointF centre = at(pts[0]);
                const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
                QPointF from = at(pts[1]), to = at(pts[2]);
                if (mirrored) std::swap(from, to);
                draw_arc(p, box, from, to, is_full_turn(c));
                break;
            }
            case DrawOp::ellipse_arc: {
                const QRectF box = QRectF(QPointF(at(pts[0])), QPointF(at(pts[1]))).normalized();
                QPointF from = at(pts[2]), to = at(pts[3]);
                if (mirrored) std::swap(from, to);
                draw_arc(p, box, from, to, is_full_turn(c));
                break;
            }
            case DrawOp::dot:
                if (f.zoom < 5) {
                    const QPoint d = at(pts[0]);
                    p.fillRect(QRect(d.x() - pen_width / 2, d.y() - pen_width / 2, pen_width, pen_width),
                               colour);
                }
                break;
        }
    }
    p.restore();
}

QColor mode_colour(const LayoutLook& look, int colour_mode) {
    switch (colour_mode) {
        case colour_erase:
            return look.background;
        case colour_highlight:
            return QColor(0, 255, 0);
        default:
            return look.element;
    }
}

QFont layout_font(const LayoutLook& look, int zoom) {
    QFont font(look.font_family);
    font.setPointSize(8 * zoom);
    // Text is erased by writing it again in the background colour, which only
    // works when every pixel is fully one colour or the other.
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

bool uses_bitmap(const LayoutLook& look, int zoom) { return !look.vector_drawings || zoom <= 1; }

void draw_symbol(QPainter& p, const ViewGeometry& view, const LayoutLook& look, int kind,
                 const PackedPoints& points, int colour_mode) {
    if (kind < 1 || kind > library_size || !element_visible(view, points)) return;
    const ComponentKind& k = component_kind(kind);
    const ElementFrame f = element_frame(view, k.terminals, points);
    const QColor colour = mode_colour(look, colour_mode);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (uses_bitmap(look, view.zoom))
        draw_bitmap(p, f, kind_bitmap(kind), colour);
    else
        draw_drawing(p, f, k.drawing, colour, look.thin_lines ? 2 : view.zoom);
    p.restore();
}

QPoint element_text_origin(const ViewGeometry& view, const PackedPoints& points) {
    const int z = view.zoom;
    const int x1 = unzoomed_x(view, points[0]), x2 = unzoomed_x(view, points[1]);
    const int y1 = unzoomed_y(view, points[0]), y2 = unzoomed_y(view, points[1]);
    return {z * ((x1 + x2) / 2 + 10), z * ((y1 + y2) / 2 - 6)};
}

QRect element_text_frame(const QPoint& origin, const QSize& text_size) {
    return QRect(origin.x() - 2, origin.y() - 1, text_size.width() + 4, text_size.height() + 2);
}

void draw_element_text(QPainter& p, const ViewGeometry& view, const LayoutLook& look,
                       const PackedPoints& points, std::string_view text, int colour_mode, bool framed) {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    p.save();
    p.setFont(layout_font(look, view.zoom));
    const QFontMetrics metrics(p.font());
    const QPoint origin = element_text_origin(view, points);
    const QColor colour = colour_mode == colour_erase ? look.background : look.text;
    if (framed) {
        const QRect box = element_text_frame(origin, {metrics.horizontalAdvance(s), metrics.height()});
        p.fillRect(box, look.background);
        p.setPen(QPen(colour, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(box.adjusted(0, 0, -1, -1));
    }
    p.setPen(colour);
    p.drawText(origin + QPoint(0, metrics.ascent()), s);
    p.restore();
}

void draw_element(QPainter& p, const ViewGeometry& view, const LayoutLook& look, const ElementShape& element,
                  int colour_mode) {
    draw_symbol(p, view, look, element.kind, element.points, colour_mode);
    if ((element.kind == kind_comment || element.kind == kind_command) &&
        element_visible(view, element.points))
        draw_element_text(p, view, look, element.points, element.text, colour_mode);
}

}  // namespace editor
