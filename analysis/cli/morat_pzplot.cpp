// The deviation plot of morat.
#include "analysis/cli/morat_pzplot.h"

#include <QPainter>
#include <memory>

#include "analysis/polezero/deviation_plot.h"
#include "analysis/polezero/deviation_view.h"
#include "common/numtext.h"
#include "common/picture.h"

namespace analysis {

std::string take_pz_view_options(std::vector<std::string>& args, PzPlotView& view) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            rest.insert(rest.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        if (arg == "--pz-window") {
            if (i + 3 >= args.size()) return "option --pz-window needs three values";
            PoleZeroScales s;
            const std::string text = args[i + 1] + " " + args[i + 2] + " " + args[i + 3];
            if (!suite::parse_real(args[i + 1], s.min_re) || !suite::parse_real(args[i + 2], s.min_im) ||
                !suite::parse_real(args[i + 3], s.width) || !drawable_scales(s))
                return "invalid value for --pz-window: " + text;
            view.window = s;
            i += 3;
            continue;
        }
        const std::size_t eq = arg.find('=');
        if (arg.substr(0, eq) != "--pz-entry") {
            rest.push_back(arg);
            continue;
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else {
            if (i + 1 >= args.size()) return "option --pz-entry needs a value";
            value = args[++i];
        }
        std::int32_t n = 0;
        if (!suite::parse_int(value, n) || n < 1) return "invalid value for --pz-entry: " + value;
        view.entry = n;
    }
    args = rest;
    return {};
}

std::string check_pz_plot(const MoratOptions& o, bool have_pz_file, const PzPlotView& view) {
    if (!have_pz_file) return view.any() ? "--pz-window and --pz-entry need --pz-plot FILE" : "";
    if (!o.polezero.poles && !o.polezero.zeros) return "--pz-plot needs --poles or --zeros";
    return {};
}

std::string check_pz_entry(const PzPlotView& view, const PoleZeroSet& set) {
    if (!view.entry || *view.entry <= set.entry_count) return {};
    return "--pz-entry " + std::to_string(*view.entry) + ": the set has " + std::to_string(set.entry_count) +
           (set.entry_count == 1 ? " entry" : " entries");
}

void save_pz_plot(const std::string& file, QSize size, const PoleZeroSet& set,
                  const std::string& netlist_base_name, const PzPlotView& view) {
    auto shown = std::make_unique<PoleZeroSet>(set);
    if (view.window) shown->scales = *view.window;
    if (view.entry) shown->current_entry = *view.entry;
    const DeviationScene scene{*shown, netlist_base_name, true, true};
    suite::save_picture(file, size, [&](QPainter& p) {
        SelectionMarker marker;
        draw_deviation_plot(p, size, scene, marker);
    });
}

}  // namespace analysis
