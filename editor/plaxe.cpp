// plaxe: the schematic editor without its windows.
//
// Reads a circuit file (and a value list), and prints on standard output
// exactly the lines the editor's message area shows for the same commands:
// formula tests, the circuit list, the netlist listing, writing the netlist.
// It can also draw the layout screen's picture of the whole circuit.
//
//   plaxe examples/sallen_key_lowpass.cir --values examples/sallen_key_lowpass.val
//         --list --netlist /tmp/sk.net --plot /tmp/sk.png --zoom 4 --nodes
//
// Exit status: 0 done, 1 a file could not be read or written (or the
// circuit gave no netlist, or the netlist holds formulas that could not be
// evaluated or values that are not numbers), 2 wrong usage.
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/numtext.h"
#include "common/options.h"
#include "common/picture.h"
#include "editor/files/circuitfile.h"
#include "editor/files/valuelist.h"
#include "editor/formula/formula.h"
#include "editor/layout/layout_paint.h"
#include "editor/library/library.h"
#include "editor/library/render.h"
#include "editor/netlist/netlist.h"

namespace {

using namespace editor;

constexpr const char* usage_text =
    "Usage: plaxe CIRCUIT [--values FILE.val] [--comments] [--netlist FILE] [--list]\n"
    "             [--circuit-list] [--evaluate TEXT]...\n"
    "             [--plot FILE [--zoom Z] [--bitmap] [--thin] [--nodes]]\n"
    "Reads CIRCUIT (\".cir\" added when its name has no \".\") and prints the editor's\n"
    "message lines: --values reads a value list, --evaluate tests a formula text,\n"
    "--circuit-list lists the elements, --list lists the netlist, --netlist writes it\n"
    "(with --comments, comments included), --plot draws the circuit (PNG, or SVG for\n"
    "a name ending in .svg) at zoom Z (1..5, default 2), with bitmaps, thin lines or\n"
    "node numbers when asked.\n";

constexpr int formula_field_length = 100;  // the test dialog's field holds 100 characters

struct Options {
    std::string circuit, values, netlist, plot;
    std::vector<std::string> evaluate;
    bool comments = false, list = false, circuit_list = false;
    bool bitmap = false, thin = false, nodes = false, zoom_given = false;
    int zoom = 2;
};

bool usage_error(const std::string& message) {
    suite::usage_error(std::cerr, "plaxe", message, usage_text);
    return false;
}

bool parse_arguments(int argc, char** argv, Options& o) {
    suite::OptionReader r;
    const auto text = [](std::string& target) {
        return [&target](const std::string& v) { return !v.empty() && (target = v, true); };
    };
    r.value("--values", text(o.values));
    r.value("--netlist", text(o.netlist));
    r.value("--plot", text(o.plot));
    r.value("--evaluate", [&](const std::string& v) {
        o.evaluate.push_back(v);
        return true;
    });
    r.checked_value("--zoom", [&](const std::string& v) -> std::string {
        if (!suite::option_int(v, o.zoom) || o.zoom < 1 || o.zoom > 5) return "the zoom is 1 to 5";
        o.zoom_given = true;
        return {};
    });
    r.flag("--comments", o.comments);
    r.flag("--list", o.list);
    r.flag("--circuit-list", o.circuit_list);
    r.flag("--bitmap", o.bitmap);
    r.flag("--thin", o.thin);
    r.flag("--nodes", o.nodes);
    r.operand([&](const std::string& a) -> std::string {
        if (!o.circuit.empty()) return "only one circuit file";
        o.circuit = a;
        return {};
    });
    if (const std::string why = r.read(std::vector<std::string>(argv + 1, argv + argc)); !why.empty())
        return usage_error(why);
    if (o.circuit.empty()) return usage_error("no circuit file");
    if (o.plot.empty() && (o.zoom_given || o.bitmap || o.thin || o.nodes))
        return usage_error("--zoom, --bitmap, --thin and --nodes go with --plot");
    return true;
}

// The part of the grid that shows the whole circuit with a margin of two
// cells (and room for the texts of comments and commands).
ViewGeometry circuit_view(const Circuit& c, const LayoutLook& look, int zoom) {
    int min_x = grid_size, min_y = grid_size, max_x = 0, max_y = 0;
    const QFontMetrics metrics(layout_font(look, 1));
    for (int i = 1; i <= c.count; ++i) {
        const Element& e = c.element[i];
        for (int k = 1; k <= 4; ++k) {
            min_x = std::min(min_x, point_x(e.P[k]));
            max_x = std::max(max_x, point_x(e.P[k]));
            min_y = std::min(min_y, point_y(e.P[k]));
            max_y = std::max(max_y, point_y(e.P[k]));
        }
        if (e.kind == kind_comment || e.kind == kind_command) {
            const int width = metrics.horizontalAdvance(QString::fromStdString(e.parameters));
            max_x = std::max(max_x, point_x(e.P[1]) + (width + 15) / 16 + 1);
        }
    }
    if (c.count == 0) min_x = min_y = max_x = max_y = 64;
    ViewGeometry view;
    view.zoom = zoom;
    view.x0 = std::max(0, min_x - 2);
    view.y0 = std::max(0, min_y - 2);
    view.columns = std::min(grid_size - 1, max_x + 2) - view.x0;
    view.rows = std::min(grid_size - 1, max_y + 2) - view.y0;
    return view;
}

// The toolkit's own notices (a missing runtime folder and the like) stay off
// the error stream; only its errors reach it.
void quiet_notices(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + "\n").toLocal8Bit().constData(), stderr);
}

// The layout screen's picture of the whole circuit, drawn by the window's
// own painting; node numbers when the netlist's nodes were determined.
void plot(const Options& o, const Circuit& c, bool nodes, int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(quiet_notices);
    QGuiApplication app(argc, argv);
    ViewState v;
    v.options.vector_drawings = !o.bitmap;
    v.options.thin_lines = o.thin;
    const QString family = default_layout_family();
    const ViewGeometry view = circuit_view(c, layout_look(v, family), o.zoom);
    v.zoom = o.zoom;
    v.x0 = view.x0;
    v.y0 = view.y0;
    v.show_nodes = nodes;
    const QSize size(16 * o.zoom * view.columns + o.zoom, 16 * o.zoom * view.rows + o.zoom);
    suite::save_picture(o.plot, size, [&](QPainter& p) { paint_layout(p, size, c, v, family); });
}

// The commands in the order the editor would run them. False when a file
// could not be read or written, no netlist could be made, or the netlist
// written holds unevaluated formulas or values that are not numbers.
bool run(const Options& o, int argc, char** argv) {
    const MessageSink print = [](const std::string& line) { std::cout << line << '\n'; };
    Circuit circuit;
    if (read_circuit(o.circuit, circuit, print) != CircuitRead::read) return false;
    ValueList values;
    if (!o.values.empty() && !read_value_list(o.values, values, print)) return false;

    FormulaErrorDialog dialog;  // no dialog: the error messages are the report
    FormulaState formulas{values, print, dialog};
    for (const std::string& text : o.evaluate)
        test_formula(text_prefix(text, formula_field_length), formulas);
    if (o.circuit_list) list_circuit_list(circuit, print);

    NetlistState net;
    const bool want_nodes = o.list || !o.netlist.empty() || o.nodes;
    if (want_nodes && !prepare_netlist(circuit, net, print)) return false;
    if (o.list) {
        list_netlist(circuit, net, formulas);
    } else if (!o.netlist.empty()) {
        // "Generate netlist" lists the netlist before writing it, and the
        // listing evaluates every formula, the assignments in comments
        // included, whether or not comments go into the file. The same
        // pass with its lines left out leaves the value list as the window
        // program's does, so both write the same netlist.
        FormulaState quiet{values, [](const std::string&) {}, dialog};
        list_netlist(circuit, net, quiet);
    }
    bool readable = true;
    if (!o.netlist.empty()) {
        if (!write_netlist(o.netlist, circuit, net, formulas, o.comments)) return false;
        if (formulas.unevaluated > 0) {
            print(unevaluated_message(formulas.unevaluated));
            readable = false;
        }
        if (const auto bad = values_not_numbers(circuit, net); !bad.empty()) {
            print(not_numbers_message(bad));
            readable = false;
        }
    }
    std::cout.flush();
    if (!o.plot.empty()) plot(o, circuit, o.nodes, argc, argv);
    return readable;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        std::cout << usage_text;
        return 0;
    }
    if (!parse_arguments(argc, argv, options)) return 2;
    try {
        return run(options, argc, argv) ? 0 : 1;
    } catch (const suite::IoError& e) {
        std::cout.flush();
        std::cerr << e.what() << '\n';
        return 1;
    }
}
