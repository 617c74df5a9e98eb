// The pole/zero options of morat.
#include "analysis/cli/morat_polezero.h"

#include <memory>

#include "analysis/cli/morat_cli.h"
#include "analysis/polezero/polezero_finder.h"
#include "analysis/polezero/polezero_run.h"

namespace analysis {

bool set_polezero_option(const std::string& option, const std::string& value, PoleZeroOptions& o) {
    if (value.empty()) return false;
    if (option == "--poles")
        o.poles = value;
    else if (option == "--zeros")
        o.zeros = value;
    else if (option == "--observer")
        o.observer = value;
    else if (option == "--deviations")
        o.deviations = value;
    else if (option == "--find-poles")
        o.find_poles = value;
    else if (option == "--find-zeros")
        o.find_zeros = value;
    else
        return false;
    return true;
}

std::string check_polezero_options(const PoleZeroOptions& o) {
    if (o.poles && o.zeros) return "--poles and --zeros cannot be given together";
    if (o.deviations && !o.poles && !o.zeros) return "--deviations needs --poles or --zeros";
    if (o.observer && !o.poles) return "--observer needs --poles";
    return {};
}

std::string polezero_usage() {
    return "Poles and zeros, after the reports:\n"
           "  --find-poles FILE           find the poles and write them to FILE (a pole file)\n"
           "  --find-zeros FILE           find the zeros at the output node and write them to FILE\n"
           "  --poles FILE                deviations of the poles listed in FILE\n"
           "  --zeros FILE                deviations of the zeros listed in FILE\n"
           "  --observer NAME             observer element for poles (default the last element);\n"
           "                              auto: for each pole an element that sees it\n"
           "  --deviations FILE           save the deviation table in FILE\n";
}

int run_polezero_options(const PoleZeroOptions& o, Circuit& c, Engine& e, Sweep& sw,
                         const AnalysisSettings& s, const std::string& netlist_base_name, const Log& log,
                         std::ostream& err, PoleZeroSet* keep) {
    if (!o.poles && !o.zeros && !o.find_poles && !o.find_zeros) return 0;
    const bool poles = o.poles.has_value();
    const bool automatic = o.observer && *o.observer == "auto";
    if (o.observer && !automatic) {
        // Names are stored upper-cased, as the reader reads them.
        std::string wanted = *o.observer;
        for (char& ch : wanted)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        int found = 0;
        for (int i = 1; i <= c.element_count && found == 0; ++i)
            if (c.elements[i].name == wanted) found = i;
        if (found == 0) {
            err << "morat: --observer: no element named " << *o.observer << " in the circuit\n";
            return 2;
        }
        e.observer_element = found;
    }
    auto owned = keep ? nullptr : std::make_unique<PoleZeroSet>();
    PoleZeroContext x{c, e, sw, s, keep ? *keep : *owned, netlist_base_name, automatic};
    // A file that lacks roots the search found is no success.
    int status = 0;
    for (const auto& [file, find_poles] : {std::pair{o.find_poles, true}, std::pair{o.find_zeros, false}}) {
        if (!file) continue;
        const FinderResult r = find_and_save_poles_zeros(x, find_poles, *file, log);
        if (r == FinderResult::refused) return 1;
        if (r == FinderResult::incomplete) status = 1;
    }
    if (!o.poles && !o.zeros) return status;
    const std::string input = poles ? *o.poles : *o.zeros;
    const PoleZeroFileChooser choose_input = [&](const PoleZeroFileRequest&) { return input; };
    if (!run_pole_zero(x, poles, choose_input, log)) return 1;
    if (o.deviations) {
        const std::string table = *o.deviations;
        const PoleZeroFileChooser choose_table = [&](const PoleZeroFileRequest&) { return table; };
        if (!save_pole_zero_deviations(x, poles, choose_input, choose_table, log)) return 1;
    }
    return status;
}

}  // namespace analysis
