// The deviation plot of morat.
#include "analysis/cli/morat_pzplot.h"

#include <QPainter>
#include <memory>

#include "analysis/polezero/deviation_plot.h"
#include "analysis/polezero/deviation_view.h"
#include "common/numtext.h"
#include "common/options.h"
#include "common/picture.h"

namespace analysis {

std::string take_pz_view_options(std::vector<std::string>& args, PzPlotView& view) {
    std::vector<std::string> rest;
    suite::OptionReader reader;
    reader.pass_through(rest);
    reader.values("--pz-window", 3, [&](const std::vector<std::string>& v) -> std::string {
        PoleZeroScales s;
        if (!suite::parse_real(v[0], s.min_re) || !suite::parse_real(v[1], s.min_im) ||
            !suite::parse_real(v[2], s.width) || !drawable_scales(s))
            return "invalid value for --pz-window: " + v[0] + " " + v[1] + " " + v[2];
        view.window = s;
        return {};
    });
    reader.value("--pz-entry", [&](const std::string& value) {
        int n = 0;
        return suite::option_int(value, n) && n >= 1 && (view.entry = n, true);
    });
    if (std::string why = reader.read(args); !why.empty()) return why;
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
