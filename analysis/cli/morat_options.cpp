// Option parsing and usage text of morat.
#include <cctype>
#include <functional>
#include <map>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/cli/morat_cli.h"
#include "analysis/spice/spice_translate.h"
#include "common/numtext.h"
#include "common/options.h"

namespace analysis {

std::string morat_usage() {
    return "Usage: morat NETLIST [options]\n"
           "       morat --spice DECK [options]\n"
           "       morat --design MASK [--design-out STEM] [options]\n"
           "Reads NETLIST (\".net\" is appended when its name has no \".\"), analyses it over a\n"
           "frequency sweep and prints the log of the analysis.\n"
           "\n"
           "SPICE decks:\n"
           "  --spice DECK                translate the SPICE deck into a netlist beside it (DECK with\n"
           "                              \".net\" for its extension) and analyse that; the deck's .ac\n"
           "                              line sets the sweep unless --fmin or --fmax is given\n"
           "  --netlist-out FILE          write the translated netlist to FILE instead\n"
           "  --output NAME, --listed NAME  with --spice, a node of the deck by its name\n"
           "  --opamp SUBCKT=GB[,RO[,IN+,IN-,OUT]]  with --spice, every instance of the op-amp\n"
           "                              subcircuit SUBCKT becomes the gain-bandwidth op-amp: GB in Hz\n"
           "                              (above 1), Ro in ohms (above 0; 50), the inputs and output by\n"
           "                              the subcircuit's port names (found from them when not given);\n"
           "                              the supply pins are left out (repeatable)\n"
           "Settings:\n"
           "  --width W                   width of listed numbers (14)\n"
           "  --decimals D                decimals of listed numbers (9)\n"
           "  --tol-admittance X          tolerance for admittances and frequencies (1e-5)\n"
           "  --tol-pivot X               tolerance for impedances and voltages (1e-7)\n"
           "  --variability X             every element's variability, sources 0 (0.05)\n"
           "  --kind-variability K=X      variability of every element whose name begins with the\n"
           "                              letter K (repeatable, after --variability)\n"
           "  --element-variability NAME=X  variability of the first element named NAME\n"
           "                              (repeatable, applied after --kind-variability)\n"
           "  --normalise                 normalise deviations and sensitivities by the slope\n"
           "Scales:\n"
           "  --fmin F                    lowest frequency (0.2)\n"
           "  --fmax F                    highest frequency (5)\n"
           "  --segments N                segments of the sweep (400)\n"
           "  --linear                    linear frequency scale (default logarithmic)\n"
           "  --hz                        frequencies in Hz (default rad/s)\n"
           "Analysis:\n"
           "  --output N                  output node (1)\n"
           "  --listed N                  node whose adjoint voltage is listed (1)\n"
           "Reports, after the sweep:\n"
           "  --range                     signal-level extremes of every node\n"
           "  --sensitivities P           sensitivity list at point P (repeatable)\n"
           "  --tab FILE                  save the response table in FILE\n"
           "  --help                      print this text\n" +
           noise_usage() + montecarlo_usage() + tolerance_usage() + polezero_usage() + design_usage() +
           "Picture of the response (after the run):\n"
           "  --plot FILE                 draw the response window's plot into FILE (.svg: SVG, else PNG)\n"
           "  --size WxH                  picture size in pixels (696x480)\n"
           "  --grid                      draw the grid\n"
           "  --cursor P                  cursor marker and readout at point P\n"
           "  --curves LIST               curves to draw, by number or name, the first one current\n"
           "                              (module,phase): 1 module, 2 phase, 3 delay, 4 module-dev,\n"
           "                              5 phase-dev, 6 noise (the output noise density in\n"
           "                              dBV/sqrt(Hz); it computes the noise as the noise options do)\n"
           "  --scale CURVE=MIN,MAX       the range of a curve's scale, as \"Escalas\" sets it\n"
           "                              (repeatable), e.g. module=-80,5 or delay=0,2e-3\n" +
           "Picture of the pole/zero deviations (after --poles or --zeros):\n"
           "  --pz-plot FILE              draw the deviation plot window's picture into FILE\n"
           "                              (.svg: SVG, else PNG; size from --size, 696x480)\n"
           "  --pz-window REMIN IMMIN WIDTH  the square shown (default: centred on the origin,\n"
           "                              holding every entry)\n"
           "  --pz-entry N                the selected entry (1)\n" +
           "\n"
           "Exit status: 0 done, 1 missing netlist, error or refused analysis, 2 usage error.\n";
}

namespace {

bool to_int(const std::string& text, int& value) { return suite::option_int(text, value); }

bool to_real(const std::string& text, Real& value) { return suite::parse_real(text, value); }

bool to_element_variability(const std::string& text, MoratOptions& o) {
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || eq == 0) return false;
    Real x = 0;
    if (!to_real(text.substr(eq + 1), x)) return false;
    o.element_variabilities.emplace_back(text.substr(0, eq), x);
    return true;
}

bool to_kind_variability(const std::string& text, MoratOptions& o) {
    Real x = 0;
    if (text.size() < 3 || text[1] != '=' || !std::isalpha(static_cast<unsigned char>(text[0])) ||
        !to_real(text.substr(2), x) || x < 0)
        return false;
    o.kind_variabilities.emplace_back(text[0], x);
    return true;
}

using ValueSetter = std::function<bool(const std::string&, MoratOptions&)>;

const std::map<std::string, ValueSetter>& value_options() {
    static const std::map<std::string, ValueSetter> table = {
        {"--width",
         [](const std::string& t, MoratOptions& o) {
             int v;
             return to_int(t, v) && (o.width = v, true);
         }},
        {"--decimals",
         [](const std::string& t, MoratOptions& o) {
             int v;
             return to_int(t, v) && (o.decimals = v, true);
         }},
        {"--tol-admittance",
         [](const std::string& t, MoratOptions& o) {
             Real v;
             return to_real(t, v) && (o.tol_admittance = v, true);
         }},
        {"--tol-pivot",
         [](const std::string& t, MoratOptions& o) {
             Real v;
             return to_real(t, v) && (o.tol_pivot = v, true);
         }},
        {"--variability",
         [](const std::string& t, MoratOptions& o) {
             Real v;
             return to_real(t, v) && (o.variability = v, true);
         }},
        {"--element-variability", to_element_variability},
        {"--kind-variability", to_kind_variability},
        {"--fmin", [](const std::string& t, MoratOptions& o) { return o.band_given = to_real(t, o.fmin); }},
        {"--fmax", [](const std::string& t, MoratOptions& o) { return o.band_given = to_real(t, o.fmax); }},
        {"--segments",
         [](const std::string& t, MoratOptions& o) { return o.segments_given = to_int(t, o.segments); }},
        // A number, or a deck's node name (checked once every option is read).
        {"--output",
         [](const std::string& t, MoratOptions& o) {
             o.output_text = t;
             to_int(t, o.output);
             return !t.empty();
         }},
        {"--listed",
         [](const std::string& t, MoratOptions& o) {
             o.listed_text = t;
             to_int(t, o.listed);
             return !t.empty();
         }},
        {"--spice", [](const std::string& t, MoratOptions& o) { return !t.empty() && (o.spice = t, true); }},
        {"--netlist-out",
         [](const std::string& t, MoratOptions& o) { return !t.empty() && (o.netlist_out = t, true); }},
        {"--sensitivities",
         [](const std::string& t, MoratOptions& o) {
             int v;
             if (!to_int(t, v) || v < 0) return false;
             o.sensitivities.push_back(v);
             return true;
         }},
        {"--tab", [](const std::string& t, MoratOptions& o) { return !t.empty() && (o.tab = t, true); }},
        {"--monte-carlo",
         [](const std::string& t, MoratOptions& o) {
             return set_montecarlo_option("--monte-carlo", t, o.montecarlo);
         }},
        {"--seed", [](const std::string& t,
                      MoratOptions& o) { return set_montecarlo_option("--seed", t, o.montecarlo); }},
        {"--mc-table", [](const std::string& t,
                          MoratOptions& o) { return set_montecarlo_option("--mc-table", t, o.montecarlo); }},
        {"--worst-case",
         [](const std::string& t, MoratOptions& o) {
             return set_tolerance_option("--worst-case", t, o.tolerance);
         }},
        {"--mask", [](const std::string& t,
                      MoratOptions& o) { return set_tolerance_option("--mask", t, o.tolerance); }},
        {"--yield", [](const std::string& t,
                       MoratOptions& o) { return set_tolerance_option("--yield", t, o.tolerance); }},
        {"--linear-samples",
         [](const std::string& t, MoratOptions& o) {
             return set_tolerance_option("--linear-samples", t, o.tolerance);
         }},
        {"--target-yield",
         [](const std::string& t, MoratOptions& o) {
             return set_tolerance_option("--target-yield", t, o.tolerance);
         }},
        {"--poles",
         [](const std::string& t, MoratOptions& o) { return set_polezero_option("--poles", t, o.polezero); }},
        {"--zeros",
         [](const std::string& t, MoratOptions& o) { return set_polezero_option("--zeros", t, o.polezero); }},
        {"--observer", [](const std::string& t,
                          MoratOptions& o) { return set_polezero_option("--observer", t, o.polezero); }},
        {"--deviations", [](const std::string& t,
                            MoratOptions& o) { return set_polezero_option("--deviations", t, o.polezero); }},
        {"--find-poles", [](const std::string& t,
                            MoratOptions& o) { return set_polezero_option("--find-poles", t, o.polezero); }},
        {"--find-zeros", [](const std::string& t,
                            MoratOptions& o) { return set_polezero_option("--find-zeros", t, o.polezero); }},
    };
    return table;
}

const std::map<std::string, bool MoratOptions::*>& flag_options() {
    static const std::map<std::string, bool MoratOptions::*> table = {
        {"--normalise", &MoratOptions::normalise},
        {"--linear", &MoratOptions::linear},
        {"--hz", &MoratOptions::hz},
        {"--range", &MoratOptions::range},
        {"--help", &MoratOptions::help},
    };
    return table;
}

}  // namespace

std::string parse_morat_options(const std::vector<std::string>& args, MoratOptions& o) {
    suite::OptionReader reader;
    for (const auto& [name, member] : flag_options()) reader.flag(name, o.*member);
    for (const auto& [name, set] : value_options())
        reader.value(name, [&o, set = set](const std::string& v) { return set(v, o); });
    for (const char* name : {"--noise", "--temperature", "--opamp-noise", "--swing"})
        reader.value(name, [&o, name](const std::string& v) { return set_noise_option(name, v, o.noise); });
    reader.values("--noise-band", 2,
                  [&o](const std::vector<std::string>& v) { return set_noise_band(v, o.noise); });
    std::string opamp_reason;  // of a faulty --opamp SUBCKT=GB
    for (const std::string& name : design_option_names())
        reader.value(name, [&o, &opamp_reason, name](const std::string& v) {
            if (name == "--opamp" && v.find('=') != std::string::npos) {  // a deck's op-amp subcircuit
                spice::OpAmpReplacement r;
                if (std::string why = spice::parse_opamp_replacement(v, r); !why.empty())
                    return opamp_reason.empty() && (opamp_reason = why, true);
                o.spice_opamps.push_back(r);
                return true;
            }
            return set_design_option(name, v, o.design);
        });
    bool have_netlist = false;
    reader.operand([&](const std::string& arg) -> std::string {
        if (have_netlist) return "more than one netlist: " + o.netlist + ", " + arg;
        o.netlist = arg;
        have_netlist = true;
        return {};
    });
    if (std::string why = reader.read(args); !why.empty()) return why;
    if (!opamp_reason.empty()) return opamp_reason;
    if (o.spice && have_netlist) return "a netlist and --spice cannot be given together";
    if (std::string reason = check_design_options(o.design); !reason.empty()) return reason;
    if (o.design.active() && (have_netlist || o.spice))
        return "a design writes its own netlist: give no netlist and no --spice with --design or --type";
    if (!have_netlist && !o.spice && !o.help && !o.design.active()) return "no netlist given";
    if (o.netlist_out && !o.spice) return "--netlist-out needs --spice";
    if (!o.spice_opamps.empty() && !o.spice) return "--opamp SUBCKT=GB needs --spice";
    // A node name is for a deck; for a netlist only numbers are nodes.
    std::int32_t number = 0;
    if (o.output_text && !suite::parse_int(*o.output_text, number) && !o.spice)
        return "invalid value for --output: " + *o.output_text;
    if (o.listed_text && !suite::parse_int(*o.listed_text, number) && !o.spice)
        return "invalid value for --listed: " + *o.listed_text;
    if (o.spice)
        o.netlist =
            complete_netlist_name(o.netlist_out ? *o.netlist_out : spice::spice_netlist_name(*o.spice));
    // --seed also seeds the circuits and samples of the tolerance design.
    MonteCarloOptions montecarlo = o.montecarlo;
    if (o.tolerance.draws()) montecarlo.seed.reset();
    if (std::string reason = check_montecarlo_options(montecarlo); !reason.empty()) return reason;
    ToleranceOptions tolerance = o.tolerance;  // a design brings its mask
    if (o.design.active() && !tolerance.mask) tolerance.mask = "design";
    if (std::string reason = check_tolerance_options(tolerance); !reason.empty()) return reason;
    if (std::string reason = check_polezero_options(o.polezero); !reason.empty()) return reason;
    return {};
}

}  // namespace analysis
