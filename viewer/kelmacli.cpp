#include "viewer/kelmacli.h"

#include <QPainter>

#include "common/errors.h"
#include "common/numtext.h"
#include "common/options.h"
#include "common/picture.h"
#include "viewer/tablereader.h"
#include "viewer/viewerplot.h"

namespace viewer {
namespace {

const char* const kUsage =
    "Usage: kelma TABLE... [--plot FILE] [--size N] [--window REMIN IMMIN WIDTH]\n"
    "             [--magnify K] [--no-rectangles] [--no-ellipses] [--select SLOT ENTRY]\n";

const char* const kHelp =
    "Reads each TABLE (a deviation table .tsp/.tsz or a reference file .rpo/.rpz;\n"
    "\".tab\" is appended when the name has no \".\") as \"Ler tabela\" does and prints\n"
    "the viewer's reports. With --plot, draws the viewer's picture into FILE (PNG, or\n"
    "SVG for a name ending in .svg): a square of N pixels (480) and the text column.\n"
    "  --window REMIN IMMIN WIDTH  the plotted window of the complex plane; without it,\n"
    "                              the window that holds every table read with its\n"
    "                              deviations (as the viewer's key t fits them), or\n"
    "                              -2 -2 4 when no table was read\n"
    "  --magnify K                 magnification of the deviations (1)\n"
    "  --no-rectangles, --no-ellipses  leave the deviation figures out\n"
    "  --select SLOT ENTRY         the current table and entry, shown in the text column\n"
    "Exit status: 0 done, 1 a table or the picture failed, 2 usage error.\n";

struct Options {
    std::vector<std::string> tables;
    std::string plot;
    int size = 480;
    bool window = false;
    WindowRequest window_request;
    suite::Real magnify = 1;
    bool rectangles = true, ellipses = true;
    int select_slot = 0, select_entry = 0;
};

struct UsageError {
    std::string message;
};

// A real, or a whole number from low to high, of an option's value.
std::string real_value(const std::string& option, const std::string& v, suite::Real& x) {
    if (!suite::parse_real(v, x)) return option + ": \"" + v + "\" is not a number";
    return {};
}

std::string int_value(const std::string& option, const std::string& v, int low, int high, int& n) {
    if (!suite::option_int(v, n) || n < low || n > high)
        return option + ": \"" + v + "\" is not a whole number from " + std::to_string(low) + " to " +
               std::to_string(high);
    return {};
}

Options parse(const std::vector<std::string>& list) {
    Options o;
    suite::OptionReader r;
    r.value("--plot", [&](const std::string& v) { return !v.empty() && (o.plot = v, true); });
    r.checked_value("--size", [&](const std::string& v) { return int_value("--size", v, 50, 8000, o.size); });
    r.values("--window", 3, [&](const std::vector<std::string>& v) {
        o.window = true;
        std::string why = real_value("--window", v[0], o.window_request.re_min);
        if (why.empty()) why = real_value("--window", v[1], o.window_request.im_min);
        if (why.empty()) why = real_value("--window", v[2], o.window_request.width);
        return why;
    });
    r.checked_value("--magnify", [&](const std::string& v) { return real_value("--magnify", v, o.magnify); });
    r.flag("--no-rectangles", [&] { o.rectangles = false; });
    r.flag("--no-ellipses", [&] { o.ellipses = false; });
    r.values("--select", 2, [&](const std::vector<std::string>& v) {
        std::string why = int_value("--select", v[0], 1, kSlotCount, o.select_slot);
        if (why.empty()) why = int_value("--select", v[1], 1, kEntryCount, o.select_entry);
        return why;
    });
    r.operand([&](const std::string& a) {
        o.tables.push_back(a);
        return std::string();
    });
    if (std::string why = r.read(list); !why.empty()) throw UsageError{why};
    if (o.tables.empty() && o.plot.empty()) throw UsageError{"no table file and no picture"};
    return o;
}

// The display state asked for, or a usage error. --window is the scales
// dialog: a width that is not positive is refused with the dialog's text;
// a window the plot cannot resolve is reported as the viewer reports it
// (in `reports`), and the window stays as it was.
DisplayState display_of(const Options& o, std::vector<std::string>& reports) {
    DisplayState d;
    d.rectangles = o.rectangles;
    d.ellipses = o.ellipses;
    if (o.window) {
        if (!(o.window_request.width > 0)) throw UsageError{"--window: " + kWidthMessage};
        if (const auto why = apply_window(d, o.window_request)) reports.push_back(*why);
    }
    const auto k = round_real48(o.magnify);
    if (!k || !(*k > 0)) throw UsageError{"--magnify: the factor must be positive"};
    d.magnification = *k;
    return d;
}

}  // namespace

int run_kelma(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            out << kUsage << kHelp;
            return 0;
        }
    Options o;
    DisplayState d;
    std::vector<std::string> window_reports;
    try {
        o = parse(args);
        d = display_of(o, window_reports);
    } catch (const UsageError& e) {
        return suite::usage_error(err, "kelma", e.message, kUsage);
    }
    TableStore store;
    allocate_slots(store);
    bool failed = false;
    for (const std::string& name : o.tables) {
        const ReadOutcome r = read_table_file(store, name, [&](const std::string& s) { out << s << "\n"; });
        failed = failed || r.failed;
    }
    if (!o.window)
        if (const auto fit = fitted_window(store, d))
            if (const auto why = apply_window(d, *fit)) window_reports.push_back(*why);
    for (const std::string& line : window_reports) out << line << "\n";
    out.flush();
    if (o.select_slot) {
        const TableSlot& t = store.slot(o.select_slot);
        if (!t.in_use() || o.select_entry > t.count) {
            err << "kelma: --select: slot " << o.select_slot << " has no entry " << o.select_entry << "\n";
            return 2;
        }
        store.current_table = o.select_slot;
        store.current_entry = o.select_entry;
    }
    if (o.plot.empty()) return failed ? 1 : 0;
    const QSize box(o.size + 4 + kTextColumnWidth, o.size);
    try {
        suite::save_picture(o.plot, box, [&](QPainter& p) {
            draw_viewer_plot(p, box, store, d);
            QPoint cursor = suite::kNoCursor;
            show_selection(p, box, store, d, cursor);
        });
    } catch (const suite::IoError& e) {
        err << "kelma: " << e.portuguese() << "\n";
        return 1;
    }
    return failed ? 1 : 0;
}

}  // namespace viewer
