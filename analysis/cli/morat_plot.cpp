// The picture options of morat.
#include "analysis/cli/morat_plot.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/cli/morat_cli.h"
#include "analysis/cli/morat_pzplot.h"
#include "analysis/cli/morat_session.h"
#include "analysis/display/response_plot.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "common/options.h"
#include "common/picture.h"

namespace analysis {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char ch) { return std::tolower(ch); });
    return s;
}

// A curve by number (1..6), by name or by its label (the noise's with or
// without its accent); 0 when unknown.
int curve_number(const std::string& item) {
    static const char* const names[] = {"", "module", "phase", "delay", "module-dev", "phase-dev", "noise"};
    static const char* const labels[] = {"", "modl", "fase", "atgr", "vemo", "vefa", "ruído"};
    const std::string s = lower(item);
    if (s == "ruido") return q_noise;
    for (int k = 1; k <= q_noise; ++k)
        if (s == names[k] || s == labels[k] || s == std::to_string(k)) return k;
    return 0;
}

bool parse_curves(const std::string& text, std::vector<int>& curves) {
    curves.clear();
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const int k = curve_number(text.substr(from, comma - from));
        if (k == 0) return false;
        if (std::find(curves.begin(), curves.end(), k) == curves.end()) curves.push_back(k);
        from = comma + 1;
    }
    return !curves.empty();
}

bool parse_size(const std::string& text, int& width, int& height) {
    const std::size_t x = text.find('x');
    std::int32_t w = 0, h = 0;
    if (x == std::string::npos || !suite::parse_int(text.substr(0, x), w) ||
        !suite::parse_int(text.substr(x + 1), h))
        return false;
    if (w < 100 || h < 100 || w > 10000 || h > 10000) return false;
    width = w;
    height = h;
    return true;
}

// "CURVE=MIN,MAX" with MIN < MAX; the curve as --curves names it.
bool parse_scale(const std::string& text, std::vector<CurveScale>& scales) {
    const std::size_t eq = text.find('=');
    const std::size_t comma = text.find(',', eq == std::string::npos ? 0 : eq);
    if (eq == std::string::npos || comma == std::string::npos) return false;
    CurveScale s;
    s.curve = curve_number(text.substr(0, eq));
    Real min = 0, max = 0;
    if (s.curve == 0 || !suite::parse_real(text.substr(eq + 1, comma - eq - 1), min) ||
        !suite::parse_real(text.substr(comma + 1), max) || !(min < max))
        return false;
    s.min = min;
    s.max = max;
    scales.push_back(s);
    return true;
}

bool set_plot_value(const std::string& option, const std::string& value, PlotOptions& plot) {
    if (option == "--plot") return !value.empty() && (plot.file = value, true);
    if (option == "--pz-plot") return !value.empty() && (plot.pz_file = value, true);
    if (option == "--size") return parse_size(value, plot.width, plot.height);
    if (option == "--curves") return parse_curves(value, plot.curves);
    if (option == "--scale") return parse_scale(value, plot.scales);
    std::int32_t p = 0;
    return suite::parse_int(value, p) && p >= 0 && (plot.cursor = p, true);  // --cursor
}

void quiet_notices(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + "\n").toLocal8Bit().constData(), stderr);
}

int usage_error(std::ostream& err, const std::string& reason) {
    return suite::usage_error(err, "morat", reason, morat_usage());
}

// Draws the response of the finished run into the picture file.
void save_plot(const PlotOptions& plot, const MoratOptions& o, MoratSession& x, const Log& log) {
    PlotView view;
    view.plot_curve.fill(false);
    for (int k : plot.curves) view.plot_curve[k] = true;
    view.show_grid = plot.grid;
    if (!x.montecarlo->module_sd.empty()) view.monte_carlo = x.montecarlo.get();
    if (x.tolerance->mask) view.mask = &*x.tolerance->mask;
    view.worst_case = x.tolerance->worst_case;
    for (const CurveScale& s : plot.scales) {
        x.sweep->scale_min[s.curve] = s.min;
        x.sweep->scale_max[s.curve] = s.max;
    }
    x.circuit->current_curve = plot.curves.front();
    x.sweep->cursor = plot.cursor.value_or(0);
    const std::string netlist = x.netlist.empty() ? complete_netlist_name(o.netlist) : x.netlist;
    ResponseScene scene{*x.circuit, *x.engine, *x.sweep, x.settings, view, netlist, log};
    const QSize size(plot.width, plot.height);
    suite::save_picture(*plot.file, size,
                        [&](QPainter& p) { draw_response(p, size, scene, plot.cursor.has_value()); });
}

}  // namespace

std::string take_plot_options(std::vector<std::string>& args, PlotOptions& plot) {
    std::vector<std::string> rest;
    bool any = false;
    bool response_only = false;  // --grid, --cursor, --curves: not for --pz-plot
    bool scale = false;
    suite::OptionReader reader;
    reader.pass_through(rest);
    reader.flag("--grid", [&] { plot.grid = any = response_only = true; });
    for (const char* option : {"--plot", "--size", "--cursor", "--curves", "--pz-plot"})
        reader.value(option, [&, name = std::string(option)](const std::string& value) {
            any = any || name != "--pz-plot";
            response_only = response_only || (name != "--pz-plot" && name != "--size");
            return set_plot_value(name, value, plot);
        });
    reader.value("--scale", [&](const std::string& value) {
        scale = true;
        return set_plot_value("--scale", value, plot);
    });
    if (std::string why = reader.read(args); !why.empty()) return why;
    if (scale && !plot.file) return "--scale needs --plot FILE";
    if (any && !plot.file && !plot.pz_file) return "--size, --grid, --cursor and --curves need --plot FILE";
    if (response_only && !plot.file) return "--grid, --cursor and --curves need --plot FILE";
    args = rest;
    return {};
}

int morat_main_with_plot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest = args;
    PlotOptions plot;
    PzPlotView pz_view;
    if (const std::string reason = take_pz_view_options(rest, pz_view); !reason.empty())
        return usage_error(err, reason);
    if (const std::string reason = take_plot_options(rest, plot); !reason.empty())
        return usage_error(err, reason);
    MoratOptions options;
    if (const std::string reason = parse_morat_options(rest, options); !reason.empty())
        return usage_error(err, reason);
    if (options.help) {
        out << morat_usage();
        return 0;
    }
    if (const std::string reason = check_pz_plot(options, plot.pz_file.has_value(), pz_view); !reason.empty())
        return usage_error(err, reason);
    if (!plot.file && !plot.pz_file) return run_morat(options, out, err);
    // The noise curve needs the noise: asked for alone it computes it as
    // the noise options do, at their default temperature.
    if (std::find(plot.curves.begin(), plot.curves.end(), q_noise) != plot.curves.end() &&
        !options.noise.on())
        options.noise.celsius = NoiseSettings{}.celsius;

    MoratSession session;
    const int status = analyse_with_morat(options, session, out, err);
    if (status != 0) return status;
    if (const std::string reason = check_pz_entry(pz_view, *session.polezero); !reason.empty())
        return usage_error(err, reason);
    if (plot.cursor && *plot.cursor > session.circuit->segments)
        return usage_error(err, "--cursor " + std::to_string(*plot.cursor) + ": the sweep has points 0 to " +
                                    std::to_string(session.circuit->segments));
    // A picture needs fonts, not a display; the toolkit's own notices stay
    // off the error stream.
    std::unique_ptr<QGuiApplication> app;
    int argc = 1;
    char name[] = "morat";
    char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quiet_notices);
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    const Log log = [&out](const std::string& line) { out << line << '\n'; };
    try {
        if (plot.file) save_plot(plot, options, session, log);
        if (plot.pz_file)
            save_pz_plot(*plot.pz_file, QSize(plot.width, plot.height), *session.polezero,
                         netlist_base_name(session.netlist.empty() ? complete_netlist_name(options.netlist)
                                                                   : session.netlist),
                         pz_view);
    } catch (const suite::FatalError& e) {
        out.flush();
        err << "Erro: " << e.what() << '\n';
        return 1;
    } catch (const suite::IoError& e) {
        out.flush();
        err << e.portuguese() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace analysis
