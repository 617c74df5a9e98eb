#include "editor/library/drawing.h"

#include <cstddef>

namespace editor {
namespace {

DrawPoint pair_at(std::string_view s, size_t i) { return {s[i] - 'A', s[i + 1] - 'A'}; }

// Nearest integer to sqrt(n) for n >= 0. Halves cannot occur: (r + 1/2)^2 is
// never an integer.
int rounded_root(long long n) {
    long long r = 0;
    while ((r + 1) * (r + 1) <= n) ++r;
    return static_cast<int>(n > r * r + r ? r + 1 : r);
}

}  // namespace

bool is_drawing_command(char c) { return c == '*' || c == '#' || c == '%' || c == '@'; }

std::vector<DrawCommand> decode_drawing(std::string_view s) {
    std::vector<DrawCommand> out;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i++];
        DrawCommand cmd;
        size_t letters = 0;
        switch (c) {
            case '*':
                cmd.op = DrawOp::polyline;
                while (i + 1 < s.size() && !is_drawing_command(s[i]) && !is_drawing_command(s[i + 1])) {
                    cmd.points.push_back(pair_at(s, i));
                    i += 2;
                }
                // A lone letter before the next command belongs to no pair.
                if (i < s.size() && !is_drawing_command(s[i])) ++i;
                out.push_back(std::move(cmd));
                continue;
            case '#':
                cmd.op = DrawOp::circle_arc;
                letters = 6;
                break;
            case '%':
                cmd.op = DrawOp::ellipse_arc;
                letters = 8;
                break;
            case '@':
                cmd.op = DrawOp::dot;
                letters = 2;
                break;
            default:
                continue;  // not a command: skipped
        }
        if (i + letters > s.size()) break;
        for (size_t k = 0; k < letters; k += 2) cmd.points.push_back(pair_at(s, i + k));
        i += letters;
        if (cmd.op == DrawOp::circle_arc) {
            const long long ex = cmd.points[1].dx - cmd.points[0].dx;
            const long long ey = cmd.points[1].dy - cmd.points[0].dy;
            cmd.radius = rounded_root(ex * ex + ey * ey);
        }
        out.push_back(std::move(cmd));
    }
    return out;
}

bool is_full_turn(const DrawCommand& arc) {
    const size_t n = arc.points.size();
    return n >= 2 && arc.points[n - 2] == arc.points[n - 1];
}

}  // namespace editor
