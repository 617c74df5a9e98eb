#include "viewer/kelmacli.h"

#include <QPainter>

#include "common/errors.h"
#include "common/numtext.h"
#include "common/picture.h"
#include "viewer/tablereader.h"
#include "viewer/viewerplot.h"

namespace viewer {
namespace {

const char* const kUsage =
    "usage: kelma TABLE... [--plot FILE] [--size N] [--window REMIN IMMIN WIDTH]\n"
    "             [--magnify K] [--no-rectangles] [--no-ellipses] [--select SLOT ENTRY]\n";

const char* const kHelp =
    "Reads each TABLE (a deviation table .tsp/.tsz or a reference file .rpo/.rpz;\n"
    "\".tab\" is appended when the name has no \".\") as \"Ler tabela\" does and prints\n"
    "the viewer's reports. With --plot, draws the viewer's picture into FILE (PNG, or\n"
    "SVG for a name ending in .svg): a square of N pixels (480) and the text column.\n"
    "  --window REMIN IMMIN WIDTH  the plotted window of the complex plane (-2 -2 4)\n"
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

// Takes the values of an option from the argument list.
class Args {
public:
    explicit Args(const std::vector<std::string>& a) : a_(a) {}
    bool done() const { return i_ >= a_.size(); }
    const std::string& next() { return a_[i_++]; }
    const std::string& value(const std::string& option) {
        if (done()) throw UsageError{option + " needs a value"};
        return next();
    }
    suite::Real real(const std::string& option) {
        const std::string& v = value(option);
        suite::Real x = 0;
        if (!suite::parse_real(v, x)) throw UsageError{option + ": \"" + v + "\" is not a number"};
        return x;
    }
    int integer(const std::string& option, int low, int high) {
        const std::string& v = value(option);
        std::int32_t n = 0;
        if (!suite::parse_int(v, n) || n < low || n > high)
            throw UsageError{option + ": \"" + v + "\" is not a whole number from " + std::to_string(low) +
                             " to " + std::to_string(high)};
        return n;
    }

private:
    const std::vector<std::string>& a_;
    std::size_t i_ = 0;
};

Options parse(const std::vector<std::string>& list) {
    Options o;
    Args a(list);
    while (!a.done()) {
        const std::string& arg = a.next();
        if (arg == "--plot")
            o.plot = a.value(arg);
        else if (arg == "--size")
            o.size = a.integer(arg, 50, 8000);
        else if (arg == "--window") {
            o.window = true;
            o.window_request.re_min = a.real(arg);
            o.window_request.im_min = a.real(arg);
            o.window_request.width = a.real(arg);
        } else if (arg == "--magnify")
            o.magnify = a.real(arg);
        else if (arg == "--no-rectangles")
            o.rectangles = false;
        else if (arg == "--no-ellipses")
            o.ellipses = false;
        else if (arg == "--select") {
            o.select_slot = a.integer(arg, 1, kSlotCount);
            o.select_entry = a.integer(arg, 1, kEntryCount);
        } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-')
            throw UsageError{"unknown option " + arg};
        else
            o.tables.push_back(arg);
    }
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
        err << "kelma: " << e.message << "\n" << kUsage;
        return 2;
    }
    TableStore store;
    allocate_slots(store);
    bool failed = false;
    for (const std::string& name : o.tables) {
        const ReadOutcome r = read_table_file(store, name, [&](const std::string& s) { out << s << "\n"; });
        failed = failed || r.failed;
    }
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
