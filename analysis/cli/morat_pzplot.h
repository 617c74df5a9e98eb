// The deviation plot of morat: after a pole/zero run (--poles or --zeros),
// --pz-plot FILE draws the picture of the window "Desvios dos pólos ou
// zeros" into a PNG or SVG file (by the name's extension), as the window
// opens after "Plotar desvios calculados": the starting square, entry 1
// selected, rectangles and ellipses on. The size is --size (696x480, the
// window's size); --pz-window and --pz-entry show another square or
// select another entry, as the window's keys and mouse would.
//
//   morat filter.net --output 4 --poles filter.r --pz-plot filter-poles.png
//   morat filter.net --output 4 --poles filter.r --pz-plot p1.png --pz-window -3000 4500 1000 --pz-entry 2
#pragma once

#include <QSize>
#include <optional>
#include <string>
#include <vector>

#include "analysis/cli/morat_cli.h"
#include "analysis/polezero/polezero_set.h"

namespace analysis {

struct PzPlotView {
    std::optional<PoleZeroScales> window;  // --pz-window REMIN IMMIN WIDTH
    std::optional<int> entry;              // --pz-entry N
    bool any() const { return window || entry; }
};

// Removes --pz-window and --pz-entry from `args` into `view`. Returns the
// empty string, or the reason of a usage error.
std::string take_pz_view_options(std::vector<std::string>& args, PzPlotView& view);

// Before the run: the reason of a usage error for --pz-plot, or the empty
// string. After the run: whether the set has the entry asked for.
std::string check_pz_plot(const MoratOptions& o, bool have_pz_file, const PzPlotView& view);
std::string check_pz_entry(const PzPlotView& view, const PoleZeroSet& set);

// Draws the set into the file. Throws suite::IoError when it cannot be
// written.
void save_pz_plot(const std::string& file, QSize size, const PoleZeroSet& set,
                  const std::string& netlist_base_name, const PzPlotView& view = {});

}  // namespace analysis
