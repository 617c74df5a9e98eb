#include "viewer/viewerplot.h"

#include <QFontMetrics>
#include <cmath>
#include <numbers>

namespace viewer {
namespace {

using suite::e_text;
using suite::f_text;
using suite::plane_text;

// Width of the panel's numbers: 7 significant digits, enough to read a
// pole of a real filter.
constexpr int kPanelWidth = 15;

suite::PlaneWindow window_of(const DisplayState& d) { return {d.re_min, d.im_min, d.width}; }

void draw_entry(QPainter& p, const suite::PlaneMapping& m, const Entry& e, bool zero, const QColor& colour,
                const DisplayState& d) {
    const QPoint at = m.pixel(e.Re, e.Im);
    if (!m.in_square(at)) return;  // drawn whole or not at all
    const suite::Real k = d.magnification;
    if (e.VRe != 0 || e.VIm != 0) {
        if (d.rectangles) suite::draw_deviation_rectangle(p, m, e.Re, e.Im, k * e.VRe, k * e.VIm, colour);
        if (d.ellipses)
            suite::draw_deviation_ellipse(p, m, e.Re, e.Im, k * e.Ra, k * e.Rb,
                                          e.Ang * std::numbers::pi_v<suite::Real> / 180,
                                          suite::kViewerEllipseSteps, colour);
    }
    if (zero)
        suite::draw_zero_marker(p, at, colour);
    else
        suite::draw_pole_marker(p, at, colour);
}

}  // namespace

QColor qt_colour(const Rgb& c) { return QColor(c.r, c.g, c.b); }

suite::PlaneMapping viewer_mapping(int box_height, const DisplayState& d) {
    return suite::PlaneMapping(box_height - 1, window_of(d));
}

void draw_viewer_plot(QPainter& p, QSize box, const TableStore& store, const DisplayState& d) {
    p.setFont(suite::plane_font());
    p.fillRect(QRect(QPoint(0, 0), box), Qt::black);
    const suite::PlaneMapping m = viewer_mapping(box.height(), d);
    const int col = m.text_column();
    const QStringList window = suite::window_texts(window_of(d), 10);
    for (int i = 0; i < window.size(); ++i) plane_text(p, col, 12 * i, window[i], Qt::white);
    plane_text(p, col, 48, "Ampl: " + f_text(d.magnification, 7, 3), Qt::white);

    suite::draw_plane_axes(p, m, suite::AxisRule::when_left_of_side, suite::SquareEnd::at_side);
    suite::draw_plane_frame(p, m.side, Qt::yellow, suite::SquareEnd::at_side);
    for (int n = 1; n <= static_cast<int>(store.slot_list.size()); ++n) {
        const TableSlot& t = store.slot(n);
        if (!t.in_use()) continue;
        const QColor colour = qt_colour(table_colour(store, n));
        for (int k = 1; k <= t.count; ++k) draw_entry(p, m, t.entry(k), t.is_zero, colour, d);
    }
    draw_legend(p, box, store);
}

std::vector<PanelLine> selection_panel(const TableStore& store, const DisplayState& d) {
    const TableSlot* t = store.current();
    const Entry* e = store.current_entry_ptr();
    if (!t || !e) return {};
    const suite::Real k = d.magnification;
    const suite::Real w = std::sqrt(suite::Real(e->Re) * e->Re + suite::Real(e->Im) * e->Im);
    const QColor white(Qt::white), yellow(Qt::yellow);
    return {
        {76, QString::fromStdString(t->name), white},
        {88, "Tabela " + QString::number(store.current_table), white},
        {100, (t->is_zero ? "Zero " : "Pólo ") + QString::number(store.current_entry), yellow},
        {112, "Re:" + e_text(e->Re, kPanelWidth), yellow},
        {124, "Im:" + e_text(e->Im, kPanelWidth), yellow},
        {136, "w: " + e_text(w, kPanelWidth), yellow},
        {148, "Q: " + suite::q_text(e->Re, e->Im, kPanelWidth), yellow},
        {160, "VR:" + e_text(k * e->VRe, kPanelWidth), white},
        {172, "VI:" + e_text(k * e->VIm, kPanelWidth), white},
        {184, "Ra:" + e_text(k * e->Ra, kPanelWidth), white},
        {196, "Rb:" + e_text(k * e->Rb, kPanelWidth), white},
        {208, "Ang:" + f_text(e->Ang, 9, 3), white},
    };
}

std::vector<LegendLine> legend_lines(const TableStore& store, int box_height) {
    const std::vector<LegendItem> items = legend(store);
    const int rows = (box_height - kLegendTop) / 12 - 1;  // below the heading
    if (items.empty() || rows < 1) return {};
    std::vector<LegendLine> lines = {{kLegendTop, QStringLiteral("Arquivos:"), QColor(Qt::white)}};
    const int n = static_cast<int>(items.size());
    const int shown = n <= rows ? n : rows - 1;
    for (int i = 0; i < shown; ++i) {
        const LegendItem& item = items[static_cast<std::size_t>(i)];
        lines.push_back({kLegendTop + 12 * (i + 1), QString::fromStdString(item.name), qt_colour(item.colour),
                         item.poles, item.zeros});
    }
    if (shown < n)
        lines.push_back(
            {kLegendTop + 12 * (shown + 1), "(mais " + QString::number(n - shown) + ")", QColor(Qt::white)});
    return lines;
}

void draw_legend(QPainter& p, QSize box, const TableStore& store) {
    p.setFont(suite::plane_font());
    const int col = viewer_mapping(box.height(), DisplayState{}).text_column();
    const QFontMetrics fm(p.font());
    for (const LegendLine& line : legend_lines(store, box.height())) {
        const bool item = line.poles || line.zeros;
        const int x = item ? col + 14 : col;
        plane_text(p, x, line.y, fm.elidedText(line.text, Qt::ElideRight, box.width() - x), line.colour);
        const QPoint at(col + 5, line.y + 6);
        if (line.poles) suite::draw_pole_marker(p, at, line.colour);
        if (line.zeros) suite::draw_zero_marker(p, at, line.colour);
    }
}

QPoint cursor_target(const suite::PlaneMapping& m, const TableStore& store, const DisplayState& d) {
    const Entry* e = store.current_entry_ptr();
    if (!e || !d.cursor) return suite::kNoCursor;
    const QPoint at = m.pixel(e->Re, e->Im);
    if (at.x() >= 0 && at.x() <= m.side && at.y() > 0 && at.y() <= m.side) return at;
    return suite::kNoCursor;
}

void move_cursor(QPainter& p, QPoint& cursor, QPoint to) {
    suite::xor_cursor_arrow(p, cursor);
    cursor = to;
    suite::xor_cursor_arrow(p, cursor);
}

void show_selection(QPainter& p, QSize box, const TableStore& store, const DisplayState& d, QPoint& cursor) {
    if (!store.current_entry_ptr()) return;
    const suite::PlaneMapping m = viewer_mapping(box.height(), d);
    // The old cursor goes before the panel is cleared and the new one comes
    // after, so that an arrow reaching into the text column is never cut.
    suite::xor_cursor_arrow(p, cursor);
    cursor = suite::kNoCursor;
    const int col = m.text_column();
    p.fillRect(QRect(QPoint(col, 76), QPoint(box.width() - 1, box.height() - 1)), Qt::black);
    p.setFont(suite::plane_font());
    for (const PanelLine& line : selection_panel(store, d))
        plane_text(p, col, line.y, line.text, line.colour);
    draw_legend(p, box, store);
    move_cursor(p, cursor, cursor_target(m, store, d));
}

QStringList values_box_lines(const Entry& e, Real48 k) {
    QStringList lines = {"Re:" + e_text(e.Re, 12), "Im:" + e_text(e.Im, 12)};
    if (e.VRe != 0 || e.VIm != 0)
        lines << "VR:" + e_text(k * e.VRe, 12) << "VI:" + e_text(k * e.VIm, 12)
              << "Ra:" + e_text(k * e.Ra, 12) << "Rb:" + e_text(k * e.Rb, 12)
              << "Ang:" + f_text(e.Ang, 12, 3);
    return lines;
}

void draw_values_box(QPainter& p, const suite::PlaneMapping& m, const Entry& e, Real48 k, bool below) {
    const suite::Real kk = k;
    const int x = m.x_pixel(e.Re + kk * e.VRe) + 5;
    const int y = below ? m.y_pixel(e.Im - kk * e.VIm) - 84 : m.y_pixel(e.Im + kk * e.VIm) - 2;
    p.setFont(suite::plane_font());
    const QStringList lines = values_box_lines(e, k);
    for (int i = 0; i < lines.size(); ++i) plane_text(p, x, y + 12 * i, lines[i], Qt::yellow);
}

}  // namespace viewer
