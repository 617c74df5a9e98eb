// The picture of the deviation plot window "Desvios dos pólos ou zeros":
// the pole/zero set in the complex plane with the deviation rectangles
// (yellow) and ellipses (white), the text column and the panel of the
// selected entry, on the plane geometry of common/planeplot.h with the
// square side one less than the box height.
//
//   DeviationScene scene{set, netlist_base_name, /*rectangles=*/true, /*ellipses=*/true};
//   SelectionMarker marker;                          // nothing on the screen
//   draw_deviation_plot(p, box, scene, marker);      // repaint
//   show_deviation_selection(p, box, scene, marker); // after "." or ","
#pragma once

#include <QColor>
#include <QPainter>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "analysis/polezero/polezero_set.h"
#include "common/planeplot.h"

namespace analysis {

struct DeviationScene {
    const PoleZeroSet& set;
    std::string netlist_base_name;  // shown without its directory
    bool rectangles = true;
    bool ellipses = true;
};

// The exclusive-or square around the selected entry, as last drawn.
struct SelectionMarker {
    bool drawn = false;
    QPoint at;
};

suite::PlaneWindow plot_window(const PoleZeroScales& s);
// The square is the box height minus 1 pixels on a side.
suite::PlaneMapping deviation_mapping(int box_height, const PoleZeroScales& s);

// The network's name: the text after the last "\" or "/".
QString network_name(const std::string& netlist_base_name);

// The text column, one line-height apart from the top: the window, "Rede: "
// and, for zeros, "Nó " with the output node.
QStringList deviation_column_texts(const DeviationScene& scene);

// The panel of the selected entry from 100 pixels down, one line-height
// apart: kind and number, Re, Im, w and Q in yellow, then, for a valid
// entry only, the deviations in white. Empty without a selected entry.
struct DeviationPanelLine {
    QString text;
    QColor colour;
};
std::vector<DeviationPanelLine> deviation_panel(const PoleZeroSet& set);

// Repaint: black box, text column, dotted axes, white frame, every entry
// in the square (marker; for a valid entry its rectangle and ellipse),
// then the selection. The screen holds no selection square before.
void draw_deviation_plot(QPainter& p, QSize box, const DeviationScene& scene, SelectionMarker& marker);

// Moves the selection square to the selected entry (only while that entry
// lies in the plot square) and redraws the panel.
void show_deviation_selection(QPainter& p, QSize box, const DeviationScene& scene, SelectionMarker& marker);

}  // namespace analysis
