// The deviation plot of morat: after a pole/zero run (--poles or --zeros),
// --pz-plot FILE draws the picture of the window "Desvios dos pólos ou
// zeros" into a PNG or SVG file (by the name's extension), as the window
// opens after "Plotar desvios calculados": the starting square, entry 1
// selected, rectangles and ellipses on. The size is --size (696x480, the
// window's size).
//
//   morat filter.net --output 4 --poles filter.r --pz-plot filter-poles.png
#pragma once

#include <QSize>
#include <string>

#include "analysis/morat_cli.h"
#include "analysis/polezero/polezero_set.h"

namespace analysis {

std::string pz_plot_usage();

// After parsing: the reason of a usage error for --pz-plot, or the empty
// string.
std::string check_pz_plot(const MoratOptions& o);

// Draws the set into the file. Throws suite::IoError when it cannot be
// written.
void save_pz_plot(const std::string& file, QSize size, const PoleZeroSet& set,
                  const std::string& netlist_base_name);

}  // namespace analysis
