// Draws library elements on the layout screen, in any orientation and zoom.
//
//   ViewGeometry view{.zoom = 3, .x0 = 64, .y0 = 64, .columns = 30, .rows = 20};
//   LayoutLook look;                                   // colours and options
//   draw_element(painter, view, look, {kind, points, text}, colour_normal);
//
// At zoom 1, or with vector drawings off, the kind's 16 by 16 bitmap is
// drawn with zoom-sized squares; otherwise its vector drawing, with a pen as
// wide as the zoom (2 with thin lines) and dots only below zoom 5. An element
// is drawn only when P1 and P4 both lie in the visible grid window.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <string_view>

#include "editor/library/frame.h"

class QPainter;

namespace editor {

// Colours and options of the layout screen.
struct LayoutLook {
    bool vector_drawings = true;
    bool thin_lines = false;
    QColor background{0, 0, 0};
    QColor element{255, 255, 255};
    QColor text{255, 255, 0};
    QString font_family = QStringLiteral("Calibri");
};

// Colour modes.
inline constexpr int colour_erase = 0;      // background colour
inline constexpr int colour_normal = 1;     // element colour
inline constexpr int colour_highlight = 2;  // pure green

struct ElementShape {
    int kind = 0;           // library index 1..69
    PackedPoints points{};  // P1..P4
    std::string_view text;  // parameter text (shown for comments and commands)
};

QColor mode_colour(const LayoutLook& look, int colour_mode);
// The layout screen's font at a zoom: 8 points per zoom step, not
// antialiased, so that text written again in the background colour vanishes.
QFont layout_font(const LayoutLook& look, int zoom);
// True when this zoom and these options draw the bitmap.
bool uses_bitmap(const LayoutLook& look, int zoom);

// A drawing in the language of drawing.h, in an element's frame, with a pen
// of `pen_width` pixels; dots only below zoom 5.
void draw_drawing(QPainter& p, const ElementFrame& frame, std::string_view drawing, const QColor& colour,
                  int pen_width);

// The symbol alone.
void draw_symbol(QPainter& p, const ViewGeometry& view, const LayoutLook& look, int kind,
                 const PackedPoints& points, int colour_mode);

// The text of a comment or command beside its element; framed, it sits in a
// box of the background colour outlined in the text colour. Mode 0 erases it.
void draw_element_text(QPainter& p, const ViewGeometry& view, const LayoutLook& look,
                       const PackedPoints& points, std::string_view text, int colour_mode,
                       bool framed = false);
// Top-left corner of that text in screen pixels, and the framed box around it.
QPoint element_text_origin(const ViewGeometry& view, const PackedPoints& points);
QRect element_text_frame(const QPoint& origin, const QSize& text_size);

// The symbol and, for comments and commands, their text.
void draw_element(QPainter& p, const ViewGeometry& view, const LayoutLook& look, const ElementShape& element,
                  int colour_mode);

}  // namespace editor
