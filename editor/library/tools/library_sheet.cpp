// Draws every library kind into one picture, to look at the symbols:
//   build/editor/library/editor_library_sheet sheet.png [--zoom Z] [--bitmap] [--thin]
//       [--horizontal] [--space] [--backspace] [--kinds FIRST LAST] [--per-row N]
// Each cell shows one kind as typed at a vertical (or horizontal) cursor on
// the lower-left grid segment of its cell, optionally mirrored by Space or
// Backspace; small red marks show the terminal grid points the leads meet.
#include <QGuiApplication>
#include <QPainter>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "common/options.h"
#include "common/picture.h"
#include "editor/library/library.h"
#include "editor/library/render.h"

namespace {

struct Options {
    std::string out;
    int zoom = 3;
    int first = 1, last = editor::library_size, per_row = 10;
    bool bitmap = false, thin = false, horizontal = false, space = false, backspace = false;
};

// The points a kind gets when typed at the cursor segment from (ax, ay) to
// the next grid point up (or right, horizontal), then changed by Space
// (side terminals mirrored) and Backspace (ends exchanged) when asked.
editor::PackedPoints place(int kind, int ax, int ay, const Options& o) {
    using editor::pack_point;
    int32_t first = pack_point(ax, ay);
    int32_t second = o.horizontal ? pack_point(ax + 1, ay) : pack_point(ax, ay + 1);
    if (editor::placed_exchanged(kind)) std::swap(first, second);
    editor::PackedPoints p{second, first, second, first};
    if (editor::component_kind(kind).terminals > 2) {
        const int32_t step = o.horizontal ? -256 : 1;
        p[2] += step;
        p[3] += step;
        if (o.space) {
            p[2] -= 2 * step;
            p[3] -= 2 * step;
        }
    }
    if (o.backspace) {
        std::swap(p[0], p[1]);
        std::swap(p[2], p[3]);
    }
    return p;
}

constexpr const char* usage =
    "Usage: editor_library_sheet OUT.png [--zoom Z] [--bitmap] [--thin] [--horizontal]"
    " [--space] [--backspace] [--kinds FIRST LAST] [--per-row N]\n";

std::string parse(int argc, char** argv, Options& o) {
    suite::OptionReader r;
    r.value("--zoom",
            [&](const std::string& v) { return suite::option_int(v, o.zoom) && o.zoom >= 1 && o.zoom <= 5; });
    r.values("--kinds", 2, [&](const std::vector<std::string>& v) -> std::string {
        if (!suite::option_int(v[0], o.first) || !suite::option_int(v[1], o.last) || o.first < 1 ||
            o.last > editor::library_size || o.first > o.last)
            return "invalid value for --kinds: " + v[0] + " " + v[1];
        return {};
    });
    r.value("--per-row",
            [&](const std::string& v) { return suite::option_int(v, o.per_row) && o.per_row >= 1; });
    r.flag("--bitmap", o.bitmap);
    r.flag("--thin", o.thin);
    r.flag("--horizontal", o.horizontal);
    r.flag("--space", o.space);
    r.flag("--backspace", o.backspace);
    r.operand([&](const std::string& a) -> std::string {
        if (!o.out.empty()) return "only one picture file";
        o.out = a;
        return {};
    });
    if (std::string why = r.read(std::vector<std::string>(argv + 1, argv + argc)); !why.empty()) return why;
    return o.out.empty() ? "no picture file" : "";
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (const std::string why = parse(argc, argv, o); !why.empty())
        return suite::usage_error(std::cerr, "editor_library_sheet", why, usage);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    const int per_row = o.per_row, count = o.last - o.first + 1;
    constexpr int cell_w = 4, cell_h = 3;
    const int sheet_rows = (count + per_row - 1) / per_row;
    editor::ViewGeometry view{o.zoom, 0, 0, per_row * cell_w, sheet_rows * cell_h};
    editor::LayoutLook look;
    look.vector_drawings = !o.bitmap;
    look.thin_lines = o.thin;
    look.background = Qt::white;
    look.element = Qt::black;
    look.text = QColor(0, 0, 255);
    const int z = o.zoom;
    const QSize size(view.columns * 16 * z + 1, view.rows * 16 * z + 1);
    try {
        suite::save_picture(o.out, size, [&](QPainter& p) {
            p.fillRect(QRect(QPoint(0, 0), size), look.background);
            for (int i = 0; i <= view.columns; ++i)
                for (int j = 0; j <= view.rows; ++j)
                    p.fillRect(QRect(16 * z * i, 16 * z * j, z, z), QColor(192, 192, 192));
            p.setFont(QFont(look.font_family, 7));
            for (int kind = o.first; kind <= o.last; ++kind) {
                const int cx = (kind - o.first) % per_row;
                const int cy = sheet_rows - 1 - (kind - o.first) / per_row;
                const editor::PackedPoints pts = place(kind, cx * cell_w + 1, cy * cell_h + 1, o);
                editor::draw_element(p, view, look, {kind, pts, "text"}, editor::colour_normal);
                const int terminals = editor::component_kind(kind).terminals;
                for (int t = 0; t < terminals; ++t) {
                    const int x = z * editor::unzoomed_x(view, pts[static_cast<size_t>(t)]);
                    const int y = z * editor::unzoomed_y(view, pts[static_cast<size_t>(t)]);
                    p.fillRect(QRect(x - 1, y - 1, 3, 3), Qt::red);
                }
                p.setPen(QColor(0, 0, 255));
                p.drawText(16 * z * cx * cell_w + 3, 16 * z * (view.rows - cy * cell_h - cell_h) + 12,
                           QString("%1 %2").arg(kind).arg(QChar(editor::component_kind(kind).key)));
            }
        });
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    return 0;
}
