// The design options of morat.
#include "analysis/cli/morat_design.h"

#include <cmath>

#include "common/numtext.h"
#include "common/options.h"
#include "common/textfile.h"

namespace analysis {
namespace {

using namespace design;

bool to_real(const std::string& text, Real& v) { return suite::parse_real(text, v) && std::isfinite(v); }

// "F" or "F1,F2", positive.
bool to_edges(const std::string& text, std::vector<Real>& edges) {
    edges.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        Real v = 0;
        if (!to_real(text.substr(start, comma - start), v) || !(v > 0)) return false;
        edges.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return edges.size() <= 2;
}

RequirementOptions& requirement(DesignCliOptions& o) {
    if (!o.requirement) o.requirement.emplace();
    return *o.requirement;
}

}  // namespace

const std::vector<std::string>& design_option_names() {
    static const std::vector<std::string> names = {"--design",
                                                   "--design-out",
                                                   "--type",
                                                   "--pass",
                                                   "--stop",
                                                   "--ripple",
                                                   "--attenuation",
                                                   "--gain",
                                                   "--approximation",
                                                   "--order",
                                                   "--topology",
                                                   "--series",
                                                   "--capacitors",
                                                   "--impedance",
                                                   "--opamp",
                                                   "--margin",
                                                   "--resistor-tolerance",
                                                   "--capacitor-tolerance"};
    return names;
}

bool set_design_option(const std::string& option, const std::string& value, DesignCliOptions& o) {
    DesignOptions& d = o.options;
    Real x = 0;
    if (option == "--design") return !value.empty() && (o.mask = value, true);
    if (option == "--design-out") return !value.empty() && (o.out = value, true);
    if (option == "--type") return (o.type_given = filter_type_from_name(value, requirement(o).type));
    if (option == "--pass") return (o.pass_given = to_edges(value, requirement(o).pass));
    if (option == "--stop") return (o.stop_given = to_edges(value, requirement(o).stop));
    if (option == "--ripple") return to_real(value, requirement(o).ripple_db);
    if (option == "--attenuation") return to_real(value, requirement(o).attenuation_db);
    if (option == "--gain") return to_real(value, requirement(o).gain_db);
    if (option == "--approximation") {
        Approximation a;
        return approximation_from_name(value, a) && (d.approximation = a, true);
    }
    if (option == "--order") {
        int n = 0;
        return suite::option_int(value, n) && n >= 1 && n <= 2 * max_prototype_order && (o.order = n, true);
    }
    if (option == "--topology") return family_from_name(value, d.topology);
    if (option == "--series" || option == "--capacitors") {
        const auto s = series_from_name(value);
        if (!s) return false;
        if (option == "--series") {
            if (*s == Series::e6) return false;  // resistors: E12 and finer
            d.resistors = *s;
        } else {
            if (*s != Series::e6 && *s != Series::e12) return false;
            d.capacitors = *s;
        }
        return true;
    }
    if (option == "--impedance") return to_real(value, x) && x >= 10 && x <= 10e6 && (d.impedance = x, true);
    if (option == "--opamp") {
        if (value == "ideal") return (d.opamp = {}, true);
        const std::size_t comma = value.find(',');
        Real gb = 0, ro = 0;
        if (comma == std::string::npos || !to_real(value.substr(0, comma), gb) ||
            !to_real(value.substr(comma + 1), ro) || !(gb > 0) || !(ro >= 0))
            return false;
        d.opamp = {false, gb, ro};
        return true;
    }
    if (option == "--margin") return to_real(value, x) && x >= 0 && (d.margin_db = x, true);
    if (option == "--resistor-tolerance")
        return to_real(value, x) && x > 0 && x < 50 && (d.resistor_tolerance = x / 100, true);
    if (option == "--capacitor-tolerance")
        return to_real(value, x) && x > 0 && x < 50 && (d.capacitor_tolerance = x / 100, true);
    return false;
}

std::string check_design_options(const DesignCliOptions& o) {
    const bool requirement_given = o.type_given || o.pass_given || o.stop_given;
    if (o.mask && requirement_given)
        return "--design MASK and --type, --pass, --stop cannot be given together";
    if (!o.active()) {
        if (o.out || requirement_given || o.order || o.options.approximation)
            return "the design options need --design MASK or --type TYPE";
        return {};
    }
    if (o.type_given) {
        if (!o.out) return "--type needs --design-out STEM";
        if (std::string why = check_requirement_options(*o.requirement); !why.empty()) return why;
    }
    const FilterType t = o.type_given ? o.requirement->type : FilterType::lowpass;
    if (o.order && o.type_given && (t == FilterType::bandpass || t == FilterType::bandstop) &&
        *o.order % 2 != 0)
        return "--order of a band-pass or band-stop filter must be even";
    return {};
}

std::string design_usage() {
    return "Filter design (the written netlist is then analysed with the options above):\n"
           "  --design MASK               design a filter that meets the mask in MASK (see README)\n"
           "  --type T --pass F[,F2] --stop F[,F2] --ripple DB --attenuation DB [--gain DB]\n"
           "                              or the requirement without a mask (T: lowpass, highpass,\n"
           "                              bandpass, bandstop; Hz; 1 dB, 40 dB, 0 dB); its mask is\n"
           "                              written as STEM.msk\n"
           "  --design-out STEM           write STEM.net, .cir, .val (the drawing) and .pec (the parts\n"
           "                              list); default: the mask's name without its extension\n"
           "  --approximation A           butterworth, chebyshev, inverse-chebyshev, elliptic, bessel\n"
           "                              (default: the one with the fewest op-amps, then parts)\n"
           "  --order N                   the filter's order (default: the minimum)\n"
           "  --topology T                sallen-key, mfb or biquad (default: the least sensitive)\n"
           "  --series S                  resistors: E12, E24, E48, E96 (E96)\n"
           "  --capacitors S              capacitors: E6, E12 (E12)\n"
           "  --impedance OHMS            the resistors' level (10000)\n"
           "  --opamp ideal|GB,RO         ideal op-amps, or GB (rad/s) and output resistance (ideal)\n"
           "  --margin DB                 margin kept from every module limit (a tenth of the ripple)\n"
           "  --resistor-tolerance P      % (the series': E12 10, E24 5, E48 2, E96 1)\n"
           "  --capacitor-tolerance P     % (5)\n";
}

int run_design_options(const DesignCliOptions& o, DesignOutcome& outcome, const Log& log) {
    DesignRequest q;
    q.mask = o.mask;
    if (o.type_given) q.requirement = o.requirement;
    if (o.out) {
        q.stem = *o.out;
    } else {
        const std::string& m = *o.mask;
        const std::size_t slash = m.rfind('/');
        const std::size_t dot = m.rfind('.');
        q.stem =
            dot != std::string::npos && (slash == std::string::npos || dot > slash) ? m.substr(0, dot) : m;
    }
    q.options = o.options;
    if (o.order) {
        // The filter's order; band-pass and band-stop filters double their prototype's.
        FilterType t = o.type_given ? o.requirement->type : FilterType::lowpass;
        if (o.mask && suite::file_exists(*o.mask)) {
            const RequirementReading r = requirement_from_mask(read_mask_file(*o.mask).mask);
            if (r.refusals.empty()) t = r.requirement.type;
        }
        const bool doubled = t == FilterType::bandpass || t == FilterType::bandstop;
        if (doubled && *o.order % 2 != 0) {
            log("* A ordem de um " + filter_type_name(t) + " é par: --order " + std::to_string(*o.order) +
                " não serve.");
            return 1;
        }
        q.options.order = doubled ? *o.order / 2 : *o.order;
    }
    return run_design(q, outcome, log);
}

}  // namespace analysis
