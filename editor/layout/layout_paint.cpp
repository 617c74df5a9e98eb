#include "editor/layout/layout_paint.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>

namespace editor {

// Calibri where installed, else its metric twin, else the sans-serif face
// the machine has.
QString default_layout_family() {
    const QStringList families = QFontDatabase::families();
    for (const char* f : {"Calibri", "Carlito"})
        if (families.contains(f)) return f;
    QFont sans;
    sans.setStyleHint(QFont::SansSerif);
    sans.setFamily("Sans Serif");
    return QFontInfo(sans).family();
}

QColor rgb_colour(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 255), static_cast<int>((rgb >> 8) & 255),
                  static_cast<int>(rgb & 255));
}

ViewGeometry view_geometry(const ViewState& v) {
    ViewGeometry g;
    g.zoom = v.zoom;
    g.x0 = v.x0;
    g.y0 = v.y0;
    g.columns = v.columns;
    g.rows = v.rows;
    return g;
}

LayoutLook layout_look(const ViewState& v, const QString& font_family) {
    LayoutLook look;
    look.vector_drawings = v.options.vector_drawings;
    look.thin_lines = v.options.thin_lines;
    look.background = rgb_colour(v.colours.background);
    look.element = rgb_colour(v.colours.element);
    look.text = rgb_colour(v.colours.text);
    look.font_family = font_family;
    return look;
}

QPoint screen_point(const ViewState& v, std::int32_t p) {
    return {v.zoom * unzoomed_x(v, p), v.zoom * unzoomed_y(v, p)};
}

namespace {

PackedPoints points_of(const Element& e) { return {e.P[1], e.P[2], e.P[3], e.P[4]}; }

void paint_grid(QPainter& p, const ViewState& v) {
    const int z = v.zoom;
    if (!(v.options.grid_always || !v.options.vector_drawings || z == 1)) return;
    const QColor silver(192, 192, 192);
    for (int i = 0; i <= v.columns; ++i)
        for (int j = 0; j <= v.rows; ++j) p.fillRect(16 * z * i, 16 * z * j, z, z, silver);
}

}  // namespace

void paint_element(QPainter& p, const Circuit& c, int i, const ViewState& v, const QString& font_family,
                   int colour_mode) {
    const Element& e = c.element[i];
    draw_element(p, view_geometry(v), layout_look(v, font_family), {e.kind, points_of(e), e.parameters},
                 colour_mode);
}

void paint_layout(QPainter& p, QSize size, const Circuit& c, ViewState& v, const QString& font_family) {
    fit_view(v, size.width(), size.height());
    p.fillRect(QRect(QPoint(0, 0), size), rgb_colour(v.colours.background));
    paint_grid(p, v);
    if (v.block.state != 0) paint_block_rectangle(p, v);
    for (int i = 1; i <= c.count; ++i) {
        if (i != v.editing) {
            paint_element(p, c, i, v, font_family, colour_normal);
            continue;
        }
        // The element being edited is highlighted; a comment's or command's
        // text is left out while it is edited.
        const Element& e = c.element[i];
        draw_symbol(p, view_geometry(v), layout_look(v, font_family), e.kind, points_of(e), colour_highlight);
    }
    if (v.show_nodes) {
        paint_node_numbers(p, c, v, font_family);
        v.show_nodes = false;
    }
}

void paint_block_rectangle(QPainter& p, const ViewState& v) {
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(screen_point(v, v.block.start), screen_point(v, v.block.end)).normalized());
    p.restore();
}

void paint_node_numbers(QPainter& p, const Circuit& c, const ViewState& v, const QString& font_family) {
    const LayoutLook look = layout_look(v, font_family);
    const ViewGeometry g = view_geometry(v);
    p.save();
    p.setFont(layout_font(look, v.zoom));
    const int ascent = QFontMetrics(p.font()).ascent();
    for (int i = 1; i <= c.count; ++i) {
        const Element& e = c.element[i];
        if (!is_circuit_kind(e.kind) || !element_visible(g, points_of(e))) continue;
        for (int t = 1; t <= terminals_of(e); ++t) {
            if (e.N[t] <= 0) continue;
            p.setPen(point_x(e.P[t]) % 2 == 1 ? QColor(255, 0, 0) : look.text);
            const int x = (unzoomed_x(v, e.P[t]) + 2) * v.zoom;
            const int y = (unzoomed_y(v, e.P[t]) - 13) * v.zoom;
            p.drawText(QPoint(x, y + ascent), QString::number(e.N[t]));
        }
    }
    p.restore();
}

void paint_connections(QPainter& p, const ViewState& v, const std::vector<ConnectionLine>& lines) {
    p.save();
    for (const ConnectionLine& l : lines) {
        p.setPen(QPen(rgb_colour(l.colour), 1, Qt::DotLine));
        p.drawLine(screen_point(v, l.from), screen_point(v, l.to));
    }
    p.restore();
}

void paint_framed_text(QPainter& p, const Circuit& c, int i, const ViewState& v, const QString& font_family) {
    const Element& e = c.element[i];
    const LayoutLook look = layout_look(v, font_family);
    draw_symbol(p, view_geometry(v), look, e.kind, points_of(e), colour_highlight);
    draw_element_text(p, view_geometry(v), look, points_of(e), e.parameters, colour_highlight, true);
}

}  // namespace editor
