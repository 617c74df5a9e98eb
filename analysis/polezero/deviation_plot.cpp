#include "analysis/polezero/deviation_plot.h"

#include <cmath>
#include <numbers>

#include "analysis/polezero/deviation_view.h"

namespace analysis {
namespace {

using suite::e_text;
using suite::plane_text;

const QColor kGrey(128, 128, 128);

void draw_entry(QPainter& p, const suite::PlaneMapping& m, const PoleZeroEntry& e, const DeviationScene& s) {
    const QPoint at = m.pixel(e.Re, e.Im);
    if (!m.in_square(at)) return;  // drawn whole or not at all
    if (s.set.poles)
        suite::draw_pole_marker(p, at, Qt::white);
    else
        suite::draw_zero_marker(p, at, Qt::white, QColor(Qt::black));
    if (!e.valid) return;
    if (s.rectangles) suite::draw_deviation_rectangle(p, m, e.Re, e.Im, e.VRe, e.VIm, Qt::yellow);
    if (s.ellipses)
        suite::draw_deviation_ellipse(p, m, e.Re, e.Im, e.Ra, e.Rb, e.Ang, suite::kAnalysisEllipseSteps,
                                      Qt::white);
}

}  // namespace

suite::PlaneWindow plot_window(const PoleZeroScales& s) { return {s.min_re, s.min_im, s.width}; }

suite::PlaneMapping deviation_mapping(int box_height, const PoleZeroScales& s) {
    return suite::PlaneMapping(box_height - 1, plot_window(s));
}

QString network_name(const std::string& netlist_base_name) {
    const std::size_t cut = netlist_base_name.find_last_of("\\/");
    return QString::fromStdString(cut == std::string::npos ? netlist_base_name
                                                           : netlist_base_name.substr(cut + 1));
}

QStringList deviation_column_texts(const DeviationScene& scene) {
    QStringList lines = suite::window_texts(plot_window(scene.set.scales), 12);
    lines << "Rede: " + network_name(scene.netlist_base_name);
    if (!scene.set.poles) lines << "Nó " + QString::number(scene.set.output_node);
    return lines;
}

std::vector<DeviationPanelLine> deviation_panel(const PoleZeroSet& set) {
    const PoleZeroEntry* e = current_plot_entry(set);
    if (!e) return {};
    const QColor yellow(Qt::yellow), white(Qt::white);
    const Real w = std::sqrt(e->Re * e->Re + e->Im * e->Im);
    std::vector<DeviationPanelLine> lines = {
        {QString(set.poles ? "Polo" : "Zero") + " " + QString::number(set.current_entry), yellow},
        {"Re:" + e_text(e->Re, 12), yellow},
        {"Im:" + e_text(e->Im, 12), yellow},
        {"w:" + e_text(w, 12), yellow},
        {"Q:" + suite::q_text(e->Re, e->Im, 12), yellow},
    };
    if (e->valid) {
        lines.push_back({"VRe:" + e_text(e->VRe, 12), white});
        lines.push_back({"VIm:" + e_text(e->VIm, 12), white});
        lines.push_back({"Ra:" + e_text(e->Ra, 12), white});
        lines.push_back({"Rb:" + e_text(e->Rb, 12), white});
        lines.push_back({"Ang:" + suite::f_text(e->Ang * 180 / std::numbers::pi_v<Real>, 9, 3), white});
    }
    return lines;
}

void draw_deviation_plot(QPainter& p, QSize box, const DeviationScene& scene, SelectionMarker& marker) {
    marker.drawn = false;
    p.setFont(suite::plane_font());
    p.fillRect(QRect(QPoint(0, 0), box), Qt::black);
    const suite::PlaneMapping m = deviation_mapping(box.height(), scene.set.scales);
    const int lh = suite::plane_line_height(p);
    const QStringList column = deviation_column_texts(scene);
    for (int n = 0; n < column.size(); ++n) plane_text(p, m.text_column(), n * lh, column[n], Qt::white);

    suite::draw_plane_axes(p, m, suite::AxisRule::always, suite::SquareEnd::at_side);
    suite::draw_plane_frame(p, m.side, Qt::white, suite::SquareEnd::at_side);
    for (int k = 1; k <= scene.set.entry_count; ++k)
        draw_entry(p, m, scene.set.entries[static_cast<std::size_t>(k)], scene);
    show_deviation_selection(p, box, scene, marker);
}

void show_deviation_selection(QPainter& p, QSize box, const DeviationScene& scene, SelectionMarker& marker) {
    const PoleZeroEntry* e = current_plot_entry(scene.set);
    if (!e) return;
    const suite::PlaneMapping m = deviation_mapping(box.height(), scene.set.scales);
    p.setFont(suite::plane_font());
    if (marker.drawn) suite::xor_selection_square(p, marker.at);
    const QPoint at = m.pixel(e->Re, e->Im);
    marker.drawn = m.in_square(at);  // an entry off the square is not drawn, nor marked
    marker.at = at;
    if (marker.drawn) suite::xor_selection_square(p, marker.at);

    const int col = m.text_column();
    const int lh = suite::plane_line_height(p);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::yellow, 0));
    p.setBrush(kGrey);
    p.drawRect(col - 2, 99, 101, 10 * lh + 2);  // (col - 2, 99) to (col + 100, 10 lh + 102), edges excluded
    p.restore();
    const std::vector<DeviationPanelLine> lines = deviation_panel(scene.set);
    for (std::size_t n = 0; n < lines.size(); ++n)
        plane_text(p, col, 100 + static_cast<int>(n) * lh, lines[n].text, lines[n].colour, kGrey);
}

}  // namespace analysis
