// The drawing language of the component library.
//
// A drawing is a string read from its first character; at each command
// position the character selects a command and any other character is
// skipped. Operands are letters: a letter's value is its code minus that of
// "A" (A = 0 ... R = 17), a pair giving (dx, dy) in drawing units, 16 units
// to a grid step, dx across the element and dy along it (dy = 0 at the P2
// end, dy = 16 at the P1 end).
//
//   *  pairs...      polyline through the pairs (a single pair draws nothing)
//   #  c1 .. c6      circular arc: centre, a point fixing the radius and the
//                    start direction, a point fixing the end direction
//   %  c1 .. c8      elliptical arc inside the box with corners c1c2 and c3c4,
//                    from the direction of c5c6 to that of c7c8
//   @  c1 c2         dot
//
// Arcs run counter-clockwise on the screen (dx to the right, dy downwards);
// when the start and end directions coincide the whole curve is drawn.
//
//   for (const DrawCommand& c : decode_drawing(component_kind(5).drawing)) ...
#pragma once

#include <string_view>
#include <vector>

namespace editor {

struct DrawPoint {
    int dx = 0;
    int dy = 0;
    friend bool operator==(const DrawPoint&, const DrawPoint&) = default;
};

enum class DrawOp { polyline, circle_arc, ellipse_arc, dot };

struct DrawCommand {
    DrawOp op = DrawOp::polyline;
    // polyline: its vertices; circle_arc: centre, start point, end point;
    // ellipse_arc: box corner, opposite box corner, start point, end point;
    // dot: the point.
    std::vector<DrawPoint> points;
    int radius = 0;  // circle_arc: distance centre-start rounded to the nearest integer
};

bool is_drawing_command(char c);

// The commands of a drawing, in order. A command whose operands run past the
// end of the string is dropped.
std::vector<DrawCommand> decode_drawing(std::string_view drawing);

// True when an arc's start and end points coincide: a full circle or ellipse.
bool is_full_turn(const DrawCommand& arc);

}  // namespace editor
