// One design run from a mask (or a requirement given without one) to the
// files: the netlist, the drawing and its value list, the parts list, and
// the mask when none was given; the nominal response checked against the
// mask at once, with another order or a finer series tried when the
// rounded design misses it.
//
//   DesignRequest q{.mask = "lp.msk", .stem = "out/lp"};
//   DesignOutcome d;
//   if (run_design(q, d, log) == 0) analyse(d.netlist_file, d.output_node, d.band);
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/circuit/log.h"
#include "analysis/design/design.h"
#include "analysis/design/engine_check.h"

namespace analysis::design {

struct DesignRequest {
    std::optional<std::string> mask;                // a mask file, or
    std::optional<RequirementOptions> requirement;  // the requirement without one (written as STEM.msk)
    std::string stem;                               // the files written: STEM.net, .cir, .val, .pec (.msk)
    DesignOptions options;
    int check_segments = 400;
    bool replace = false;  // files there that a design did not write are replaced (the window asked)
};

struct DesignOutcome {
    Design design;
    ResponseMask mask;
    std::string mask_file, netlist_file, circuit_file, values_file, parts_file;
    Band band;  // the mask's span, in its unit
    bool meets = false;
    bool small_pivots = false;  // the analysis needs --tol-pivot design_pivot_tolerance
    std::string check_command;  // the morat command line that checks the design
};

// Runs the design and writes its files; every step is logged. Returns 0,
// or 1 when the mask cannot be read or states no requirement, no design
// can be made, or a file there was not written by a design (told in the
// log; nothing is written). suite::IoError when a file cannot be written.
int run_design(const DesignRequest& q, DesignOutcome& out, const Log& log);

// The files a design writes from a stem, and whether a netlist was
// written by a design (its first comment line).
std::vector<std::string> design_files(const std::string& stem, bool with_mask);
bool is_design_netlist(const std::string& file);

}  // namespace analysis::design
