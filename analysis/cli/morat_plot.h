// The picture options of morat: the response window's plot drawn into a
// PNG or SVG file after the run, by the code that draws the window.
//
//   morat filter.net --output 4 --plot filter.png --size 800x600 --grid --cursor 200 --curves module,delay
//         --scale module=-80,5 --scale delay=0,2e-3
//
// The options are taken out of the arguments; the rest is the ordinary
// run of morat_cli.h, whose log is printed as usual. The picture is saved
// only when the run succeeds.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/real.h"

namespace analysis {

// The range of one curve's scale (--scale CURVE=MIN,MAX), as "Escalas" sets it.
struct CurveScale {
    int curve = 0;  // 1..6
    suite::Real min = 0, max = 0;
};

struct PlotOptions {
    std::optional<std::string> file;  // --plot FILE (".svg" for SVG, else PNG)
    int width = 696;                  // --size WxH
    int height = 480;
    bool grid = false;                   // --grid
    std::optional<int> cursor;           // --cursor P: marker and readout at point P
    std::vector<int> curves{1, 2};       // --curves LIST: curve numbers, the first one current
    std::vector<CurveScale> scales;      // --scale, repeatable: the later of one curve wins
    std::optional<std::string> pz_file;  // --pz-plot FILE: the deviation plot (morat_pzplot.h)
};

// Removes the picture options from `args` into `plot`. Returns the empty
// string, or the reason of a usage error (also when a picture option comes
// without --plot).
std::string take_plot_options(std::vector<std::string>& args, PlotOptions& plot);

// morat_main with the picture options.
int morat_main_with_plot(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace analysis
