#include "common/planeplot.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/numtext.h"

namespace suite {
namespace {

// Nearest integer, half away from zero, within +-kPixelLimit (a NaN goes to
// the negative limit, off every square).
int to_pixel(Real v) {
    if (std::isnan(v)) return -kPixelLimit;
    const Real limit = kPixelLimit;
    return static_cast<int>(std::lround(std::clamp(v, -limit, limit)));
}

const QColor kAxisGrey(128, 128, 128);

// Plain, aliased, one-pixel drawing in copy mode.
void plain_pen(QPainter& p, const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(colour, 0, style);
    pen.setCapStyle(Qt::SquareCap);  // both ends of a line drawn
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
}

const QPoint kArrow[] = {{0, 0}, {12, 0}, {9, 3}, {12, 6}, {6, 12}, {3, 9}, {0, 12}};

// The arrow shape on black, 13 by 13 pixels with its tip at (0, 0).
const QImage& arrow_image() {
    static const QImage image = [] {
        QImage im(13, 13, QImage::Format_RGB32);
        im.fill(Qt::black);
        QPainter q(&im);
        q.setRenderHint(QPainter::Antialiasing, false);
        q.setPen(QPen(Qt::yellow, 0));
        q.setBrush(Qt::red);
        q.drawPolygon(kArrow, 7);
        return im;
    }();
    return image;
}

}  // namespace

PlaneMapping::PlaneMapping(int side_, const PlaneWindow& w) : side(side_) {
    ax = side / w.width;
    bx = -ax * w.re_min;
    ay = -side / w.width;
    by = side - ay * w.im_min;
}

int PlaneMapping::x_pixel(Real re) const { return to_pixel(ax * re + bx); }
int PlaneMapping::y_pixel(Real im) const { return to_pixel(ay * im + by); }
QPoint PlaneMapping::pixel(Real re, Real im) const { return {x_pixel(re), y_pixel(im)}; }

bool PlaneMapping::in_square(QPoint p) const {
    return p.x() >= 0 && p.x() <= side && p.y() >= 0 && p.y() <= side;
}

std::optional<PlaneWindow> zoom_from_drag(const PlaneMapping& m, QPoint start, QPoint end) {
    if (!(start.x() < end.x() && start.y() < end.y())) return std::nullopt;
    PlaneWindow w;
    w.re_min = m.re_at(start.x());
    w.im_min = m.im_at(end.y());
    const Real re_extent = m.re_at(end.x()) - w.re_min;
    const Real im_extent = m.im_at(start.y()) - w.im_min;
    w.width = re_extent > im_extent ? re_extent : im_extent;
    return w;
}

QFont plane_font() {
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::TypeWriter);
    f.setPixelSize(10);
    return f;
}

int plane_line_height(const QPainter& p) { return QFontMetrics(p.font()).height(); }

void plane_text(QPainter& p, int x, int y, const QString& text, const QColor& ink, const QColor& background) {
    const QFontMetrics fm(p.font());
    p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), background);
    p.setPen(ink);
    if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster) {
        p.drawText(x, y + fm.ascent(), text);
        return;
    }
    // A vector picture (SVG) collapses runs of blanks: place each word.
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == ' ') {
            ++i;
            continue;
        }
        qsizetype end = text.indexOf(' ', i);
        if (end < 0) end = text.size();
        p.drawText(x + fm.horizontalAdvance(text.left(i)), y + fm.ascent(), text.mid(i, end - i));
        i = end;
    }
}

QString e_text(Real v, int width) { return QString::fromStdString(format_scientific(v, width)); }

QString f_text(Real v, int width, int decimals) {
    return QString::fromStdString(format_fixed(v, width, decimals));
}

QString q_text(Real re, Real im, int width) {
    if (re == 0) return QStringLiteral(" infinito");
    const Real w = std::sqrt(re * re + im * im);
    return e_text(-w / (2 * re), width);
}

QStringList window_texts(const PlaneWindow& w, int width) {
    return {"Re:" + e_text(w.re_min, width), "   " + e_text(w.re_min + w.width, width),
            "Im:" + e_text(w.im_min, width), "   " + e_text(w.im_min + w.width, width)};
}

void draw_plane_axes(QPainter& p, const PlaneMapping& m, AxisRule rule, SquareEnd end) {
    plain_pen(p, kAxisGrey, Qt::DotLine);
    const int x0 = m.x_pixel(0);
    const int y0 = m.y_pixel(0);
    const int last = end == SquareEnd::at_side ? m.side : m.side - 1;
    if (rule == AxisRule::always || x0 < m.side) p.drawLine(x0, 0, x0, last);
    p.drawLine(0, y0, last, y0);
}

void draw_plane_frame(QPainter& p, int side, const QColor& colour, SquareEnd end) {
    plain_pen(p, colour);
    const int last = end == SquareEnd::at_side ? side : side - 1;
    p.drawRect(0, 0, last, last);
}

void draw_pole_marker(QPainter& p, QPoint at, const QColor& colour) {
    plain_pen(p, colour);
    p.drawLine(at + QPoint(-2, -2), at + QPoint(2, 2));
    p.drawLine(at + QPoint(-2, 2), at + QPoint(2, -2));
}

void draw_zero_marker(QPainter& p, QPoint at, const QColor& outline, std::optional<QColor> fill) {
    plain_pen(p, outline);
    if (fill) p.setBrush(*fill);
    p.drawEllipse(QRect(at - QPoint(4, 4), QSize(8, 8)));
    p.setBrush(Qt::NoBrush);
}

void draw_deviation_rectangle(QPainter& p, const PlaneMapping& m, Real re, Real im, Real dre, Real dim,
                              const QColor& colour) {
    plain_pen(p, colour);
    const QPoint a = m.pixel(re - dre, im - dim);
    const QPoint b = m.pixel(re + dre, im + dim);
    const QPoint corners[] = {a, {b.x(), a.y()}, b, {a.x(), b.y()}, a};
    p.drawPolyline(corners, 5);
}

EllipsePolylines ellipse_polylines(const PlaneMapping& m, Real re, Real im, Real a, Real b, Real theta,
                                   int steps) {
    EllipsePolylines out;
    if (a == 0 || steps <= 0) return out;
    const Real c = std::cos(theta), s = std::sin(theta);
    const Real h = a / steps, q = b / a;
    for (int i = -steps; i <= steps; ++i) {
        const Real u = i * h;
        const Real v = q * std::sqrt(std::fabs(a * a - u * u));
        out.upper << m.pixel(re + u * c - v * s, im + u * s + v * c);
        out.lower << m.pixel(re + u * c + v * s, im + u * s - v * c);
    }
    return out;
}

void draw_deviation_ellipse(QPainter& p, const PlaneMapping& m, Real re, Real im, Real a, Real b, Real theta,
                            int steps, const QColor& colour) {
    const EllipsePolylines e = ellipse_polylines(m, re, im, a, b, theta, steps);
    if (e.upper.isEmpty()) return;
    plain_pen(p, colour);
    p.drawPolyline(e.upper);
    p.drawPolyline(e.lower);
}

void xor_cursor_arrow(QPainter& p, QPoint tip) {
    if (tip == kNoCursor) return;
    p.save();
    if (p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.drawImage(tip, arrow_image());
    } else {  // a vector picture (SVG) has no exclusive-or: the plain arrow
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::yellow, 0));
        p.setBrush(Qt::red);
        p.drawPolygon(QPolygon(QList<QPoint>(std::begin(kArrow), std::end(kArrow))).translated(tip));
    }
    p.restore();
}

void xor_selection_square(QPainter& p, QPoint centre, int half) {
    p.save();
    plain_pen(p, Qt::red);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.drawRect(QRect(centre - QPoint(half, half), QSize(2 * half, 2 * half)));
    p.restore();
}

void xor_rubber_band(QPainter& p, QPoint a, QPoint b) {
    p.save();
    plain_pen(p, Qt::red, Qt::DotLine);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const int left = std::min(a.x(), b.x()), top = std::min(a.y(), b.y());
    p.drawRect(left, top, std::abs(a.x() - b.x()), std::abs(a.y() - b.y()));
    p.restore();
}

}  // namespace suite
