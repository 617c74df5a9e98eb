#include "editor/library/bitmap_maker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>
#include <string_view>

#include "editor/library/drawing.h"
#include "editor/library/library.h"

namespace editor {
namespace {

class Raster {
public:
    // Plots drawing point (dx, dy) as bitmap column dx - 1, row 16 - dy.
    void plot(int dx, int dy) {
        const int column = std::clamp(dx - 1, 0, 15);
        const int row = std::clamp(16 - dy, 0, 15);
        bits_[static_cast<std::size_t>(row)] |= static_cast<uint16_t>(0x8000u >> column);
    }

    void line(DrawPoint a, DrawPoint b) {
        // Bresenham, both ends included.
        int x = a.dx, y = a.dy;
        const int ddx = std::abs(b.dx - x), ddy = -std::abs(b.dy - y);
        const int stepx = x < b.dx ? 1 : -1, stepy = y < b.dy ? 1 : -1;
        int err = ddx + ddy;
        for (;;) {
            plot(x, y);
            if (x == b.dx && y == b.dy) return;
            const int e2 = 2 * err;
            if (e2 >= ddy) {
                err += ddy;
                x += stepx;
            }
            if (e2 <= ddx) {
                err += ddx;
                y += stepy;
            }
        }
    }

    // Counter-clockwise on the screen (y downwards) from the direction of
    // `start` to that of `end`, on the ellipse of centre (cx, cy), radii rx, ry.
    void arc(double cx, double cy, double rx, double ry, DrawPoint start, DrawPoint end, bool full) {
        const double t0 = angle(cx, cy, rx, ry, start);
        double span = 2 * std::numbers::pi;
        if (!full) {
            span = angle(cx, cy, rx, ry, end) - t0;
            while (span <= 0) span += 2 * std::numbers::pi;
        }
        const int steps = std::max(8, static_cast<int>(std::ceil(span * std::max(rx, ry) * 4)));
        for (int k = 0; k <= steps; ++k) {
            const double t = t0 + span * k / steps;
            plot(static_cast<int>(std::floor(cx + rx * std::cos(t) + 0.5)),
                 static_cast<int>(std::floor(cy - ry * std::sin(t) + 0.5)));
        }
    }

    const Bitmap& bits() const { return bits_; }

private:
    // The ellipse's own angle of the point where the ray towards p meets it.
    static double angle(double cx, double cy, double rx, double ry, DrawPoint p) {
        return std::atan2(-(p.dy - cy) * rx, (p.dx - cx) * ry);
    }

    Bitmap bits_{};
};

// A picture written as 16 rows of 16 characters, '#' for a set pixel; row
// 0 is the P1 end, column 0 the P1-P2 side (as a vertically placed element
// shows on the screen).
constexpr Bitmap picture(const std::array<std::string_view, 16>& rows) {
    Bitmap b{};
    for (std::size_t r = 0; r < 16; ++r)
        for (std::size_t c = 0; c < 16 && c < rows[r].size(); ++c)
            if (rows[r][c] == '#') b[r] = static_cast<uint16_t>(b[r] | (0x8000u >> c));
    return b;
}

// The inductor's curl (as the plain inductor l shows it) with its mark, a
// small ring apart from the curl.
constexpr Bitmap marked_inductor = picture({
    "........#...###.",
    "........#...#.#.",
    "........#...###.",
    "........###.....",
    "..........##....",
    "...........#....",
    "......####.#....",
    ".....##..###....",
    ".....#....##....",
    ".....##..###....",
    "......####.#....",
    "...........#....",
    "..........##....",
    "........###.....",
    "........#.......",
    "........#.......",
});

// Two curls about the two core bars, each with its mark, leads to the corners.
constexpr Bitmap transformer = picture({
    "#..............#",
    "#.###......###.#",
    "#.#.#......#.#.#",
    "#.###......###.#",
    "#..............#",
    "#####.#..#.#####",
    "....#.#..#.#....",
    ".####.#..#.####.",
    "##..#.#..#.#..##",
    "#...#.#..#.#...#",
    "##..#.#..#.#..##",
    ".####.#..#.####.",
    "....#.#..#.#....",
    "....#.#..#.#....",
    "#####.#..#.#####",
    "#..............#",
});

// The flip-flop boxes carry their letters as the drawings do (mirrored in
// this position): Q and Q-bar on one side, D and C (the D flip-flop) or T
// and R (the T flip-flop) on the other.
constexpr Bitmap d_flip_flop = picture({
    "#..............#",
    "#.############.#",
    "#.#..........#.#",
    "###..........###",
    "..#..##...##.#..",
    "..#.#..#.#.#.#..",
    "..#.##.#.#.#.#..",
    "..#.###...##.#..",
    "..#..........#..",
    "..#.####.....#..",
    "..#..##..##..#..",
    "..#.#..#...#.#..",
    "###.##.#...#.###",
    "#.#.###..##..#.#",
    "#.#..........#.#",
    "#.############.#",
});

constexpr Bitmap t_flip_flop = picture({
    "#..............#",
    "#.############.#",
    "#.#..........#.#",
    "###..........###",
    "..#..##..###.#..",
    "..#.#..#..#..#..",
    "..#.##.#..#..#..",
    "..#.###...#..#..",
    "..#..........#..",
    "..#.####.....#..",
    "..#..##...##.#..",
    "..#.#..#.#.#.#..",
    "###.##.#..##.###",
    "#.#.###..#.#.#.#",
    "#.#..........#.#",
    "#.############.#",
});

// The diode: a triangle pointing at its bar, hollow (D) or filled (d).
constexpr Bitmap diode = picture({
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
    "....#########...",
    "....#.......#...",
    ".....#.....#....",
    "......#...#.....",
    ".......#.#......",
    "....#########...",
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
});

constexpr Bitmap filled_diode = picture({
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
    "....#########...",
    "....#########...",
    ".....#######....",
    "......#####.....",
    ".......###......",
    "....#########...",
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
    "........#.......",
});

}  // namespace

const Bitmap* hand_made_bitmap(int index) {
    if (index == kind_resistor) return &resistor_bitmap;
    switch (index >= 1 && index <= library_size ? component_kind(index).key : '\0') {
        case 'L':
            return &marked_inductor;
        case 'K':
            return &transformer;
        case '%':
            return &d_flip_flop;
        case '@':
            return &t_flip_flop;
        case 'D':
            return &diode;
        case 'd':
            return &filled_diode;
        default:
            return nullptr;
    }
}

Bitmap rasterise_drawing(std::string_view drawing) {
    Raster r;
    for (const DrawCommand& c : decode_drawing(drawing)) {
        const auto& p = c.points;
        switch (c.op) {
            case DrawOp::polyline:
                for (size_t i = 1; i < p.size(); ++i) r.line(p[i - 1], p[i]);
                break;
            case DrawOp::circle_arc:
                if (c.radius > 0) r.arc(p[0].dx, p[0].dy, c.radius, c.radius, p[1], p[2], is_full_turn(c));
                break;
            case DrawOp::ellipse_arc: {
                const double rx = std::abs(p[1].dx - p[0].dx) / 2.0;
                const double ry = std::abs(p[1].dy - p[0].dy) / 2.0;
                if (rx > 0 && ry > 0)
                    r.arc((p[0].dx + p[1].dx) / 2.0, (p[0].dy + p[1].dy) / 2.0, rx, ry, p[2], p[3],
                          is_full_turn(c));
                break;
            }
            case DrawOp::dot:
                r.plot(p[0].dx, p[0].dy);
                break;
        }
    }
    return r.bits();
}

Bitmap derived_bitmap(int index) {
    if (const Bitmap* b = hand_made_bitmap(index)) return *b;
    return rasterise_drawing(component_kind(index).drawing);
}

std::string bitmaps_source() {
    std::ostringstream out;
    out << "// Written by editor_make_bitmaps (editor/library/tools): each kind's picture derived\n"
           "// from its vector drawing, or hand-made (bitmap_maker.cpp). Do not edit; regenerate with\n"
           "//   build/editor/library/editor_make_bitmaps editor/library/bitmaps.cpp\n"
           "#include \"editor/library/bitmaps.h\"\n"
           "\n"
           "#include <stdexcept>\n"
           "#include <string>\n"
           "\n"
           "#include \"editor/library/library.h\"\n"
           "\n"
           "namespace editor {\n"
           "namespace {\n"
           "\n"
           "// clang-format off\n"
           "constexpr std::array<Bitmap, library_size> bitmaps{{\n";
    for (int i = 1; i <= library_size; ++i) {
        const Bitmap b = derived_bitmap(i);
        out << "    {";
        for (size_t row = 0; row < b.size(); ++row) {
            char word[8];
            std::snprintf(word, sizeof word, "0x%04X", static_cast<unsigned>(b[row]));
            out << word << (row + 1 < b.size() ? ", " : "");
        }
        out << "},  // " << i << " [" << component_kind(i).key << "]"
            << (hand_made_bitmap(i) ? " hand-made" : "") << "\n";
    }
    out << "}};\n"
           "// clang-format on\n"
           "\n"
           "}  // namespace\n"
           "\n"
           "const Bitmap& kind_bitmap(int index) {\n"
           "    if (index < 1 || index > library_size)\n"
           "        throw std::out_of_range(\"component kind index \" + std::to_string(index));\n"
           "    return bitmaps[static_cast<size_t>(index - 1)];\n"
           "}\n"
           "\n"
           "}  // namespace editor\n";
    return out.str();
}

}  // namespace editor
