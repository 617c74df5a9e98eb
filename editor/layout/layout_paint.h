// The layout screen's picture: background, grid, block rectangle, every
// element, and on request the node numbers, label connections and framed
// parameter texts. Drawn with a QPainter into the window's paint box, a
// test's image or a picture file alike.
//
//   paint_layout(painter, box_size, circuit, view, font_family);
#pragma once

#include <QColor>
#include <QSize>
#include <QString>
#include <vector>

#include "editor/layout/layout.h"
#include "editor/library/render.h"

class QPainter;

namespace editor {

// Calibri where installed, else its metric twin, else the machine's sans-serif.
QString default_layout_family();
QColor rgb_colour(std::uint32_t rgb);
ViewGeometry view_geometry(const ViewState& v);
LayoutLook layout_look(const ViewState& v, const QString& font_family);
// The screen pixel of a grid point.
QPoint screen_point(const ViewState& v, std::int32_t p);

// The whole picture. Fits the view to `size` first; draws the node
// numbers and clears the request when the view asks for them.
void paint_layout(QPainter& p, QSize size, const Circuit& c, ViewState& v, const QString& font_family);
// One element in a colour mode (0 erase, 1 normal, 2 highlighted).
void paint_element(QPainter& p, const Circuit& c, int i, const ViewState& v, const QString& font_family,
                   int colour_mode);
// The block rectangle in exclusive-or: drawing it twice removes it.
void paint_block_rectangle(QPainter& p, const ViewState& v);
// Node numbers of the visible circuit elements (grounds not written).
void paint_node_numbers(QPainter& p, const Circuit& c, const ViewState& v, const QString& font_family);
// Ctrl-W's dotted lines.
void paint_connections(QPainter& p, const ViewState& v, const std::vector<ConnectionLine>& lines);
// Esc: the element highlighted and its parameter text framed beside it.
void paint_framed_text(QPainter& p, const Circuit& c, int i, const ViewState& v, const QString& font_family);

}  // namespace editor
