// The design options of morat: a filter designed from its mask (or from a
// requirement given by options), written as a netlist with its drawing,
// value list and parts list, and then analysed as any netlist is: against
// the mask, with the worst case and the yield of its parts' tolerances.
//
//   morat --design lp.msk --design-out lp --series E96 --yield 1000
//   morat --type lowpass --pass 1000 --stop 2500 --ripple 1 --attenuation 40 --design-out lp
#pragma once

#include <optional>
#include <string>

#include "analysis/circuit/log.h"
#include "analysis/design/design_run.h"

namespace analysis {

struct DesignCliOptions {
    std::optional<std::string> mask;                        // --design MASK
    std::optional<std::string> out;                         // --design-out STEM
    std::optional<design::RequirementOptions> requirement;  // --type and its companions
    bool type_given = false, pass_given = false, stop_given = false;
    design::DesignOptions options;
    std::optional<int> order;  // --order N: of the filter (even for band-pass and band-stop)

    bool active() const { return mask.has_value() || type_given; }
};

// Stores the value of one of the design options; false for a value that
// is not valid for it. `handled` is false for an option that is not one of them.
bool set_design_option(const std::string& option, const std::string& value, DesignCliOptions& o);
// Every option name set_design_option takes.
const std::vector<std::string>& design_option_names();

// After parsing: the reason of a usage error, or the empty string.
std::string check_design_options(const DesignCliOptions& o);

std::string design_usage();

// The run's design: writes its files and logs it. 0 to go on with the
// analysis of outcome.netlist_file; 1 when the design failed (told).
int run_design_options(const DesignCliOptions& o, design::DesignOutcome& outcome, const Log& log);

}  // namespace analysis
