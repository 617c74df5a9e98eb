// The deviation plot of morat.
#include "analysis/morat_pzplot.h"

#include <QPainter>

#include "analysis/polezero/deviation_plot.h"
#include "common/picture.h"

namespace analysis {

std::string pz_plot_usage() {
    return "Picture of the pole/zero deviations (after --poles or --zeros):\n"
           "  --pz-plot FILE              draw the deviation plot window's picture into FILE\n"
           "                              (.svg: SVG, else PNG; size from --size, 696x480)\n";
}

std::string check_pz_plot(const MoratOptions& o) {
    if (!o.polezero.poles && !o.polezero.zeros) return "--pz-plot needs --poles or --zeros";
    return {};
}

void save_pz_plot(const std::string& file, QSize size, const PoleZeroSet& set,
                  const std::string& netlist_base_name) {
    const DeviationScene scene{set, netlist_base_name, true, true};
    suite::save_picture(file, size, [&](QPainter& p) {
        SelectionMarker marker;
        draw_deviation_plot(p, size, scene, marker);
    });
}

}  // namespace analysis
