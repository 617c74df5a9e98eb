// The viewer's picture: every table in use in one complex-plane plot, the
// window texts, the panel of the selected pole or zero and the legend of
// the files read.
//
//   const PlaneMapping m = viewer_mapping(box.height(), display);
//   draw_viewer_plot(p, box, store, display);          // repaint
//   QPoint cursor = suite::kNoCursor;                  // the screen has none now
//   show_selection(p, box, store, display, cursor);    // panel and cursor
#pragma once

#include <QColor>
#include <QPainter>
#include <QSize>
#include <QString>
#include <vector>

#include "common/planeplot.h"
#include "viewer/display.h"
#include "viewer/tablestore.h"

namespace viewer {

// Width of the text column in the pictures of the command-line program.
constexpr int kTextColumnWidth = 150;

QColor qt_colour(const Rgb& c);
// The plot square, both of its edges included, is as high as the paint
// box: side is the box's height less one, so that the bottom edge
// (y = side) is a row of the box.
suite::PlaneMapping viewer_mapping(int box_height, const DisplayState& d);

// Black background, window texts, axes, frame and every entry of every
// table in use (slot order, then entry order).
void draw_viewer_plot(QPainter& p, QSize box, const TableStore& store, const DisplayState& d);

// One line of the selection panel: its top and its text.
struct PanelLine {
    int y = 0;
    QString text;
    QColor colour;
};
// The panel of the current entry; empty without a current table.
std::vector<PanelLine> selection_panel(const TableStore& store, const DisplayState& d);

// The legend below the selection panel: "Arquivos:" in white, then one
// line for each file whose tables are shown, in the order they were read,
// its name in its colour after the marker of its tables (a cross for
// poles, a circle for zeros, both for both). Lines that the box cannot
// hold give way to a last line "(mais N)" with the number of files left out.
constexpr int kLegendTop = 232;
struct LegendLine {
    int y = 0;
    QString text;
    QColor colour;
    bool poles = false, zeros = false;
};
std::vector<LegendLine> legend_lines(const TableStore& store, int box_height);
// The legend's lines at the text column: markers at column + 5, names from
// column + 14, cut with "…" where the box ends.
void draw_legend(QPainter& p, QSize box, const TableStore& store);

// Where the cursor belongs: the pixel of the current entry when the cursor
// is on and the pixel lies in the square (0 <= x <= side, 0 < y <= side);
// kNoCursor otherwise.
QPoint cursor_target(const suite::PlaneMapping& m, const TableStore& store, const DisplayState& d);
// Moves the exclusive-or cursor from `cursor` to `to`.
void move_cursor(QPainter& p, QPoint& cursor, QPoint to);

// Redraws the selection panel and moves the cursor to the current entry.
// Nothing without a current table.
void show_selection(QPainter& p, QSize box, const TableStore& store, const DisplayState& d, QPoint& cursor);

// The values box of an entry ("v": above, `below` for "V"), lines 12 pixels
// apart in yellow on black.
QStringList values_box_lines(const Entry& e, Real48 k);
void draw_values_box(QPainter& p, const suite::PlaneMapping& m, const Entry& e, Real48 k, bool below);

}  // namespace viewer
