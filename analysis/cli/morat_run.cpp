// One run of morat: the window program's commands in a fixed order.
#include <cctype>
#include <cmath>
#include <filesystem>
#include <numbers>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/cli/morat_session.h"
#include "analysis/engine/solver.h"
#include "analysis/shell/reports.h"
#include "analysis/shell/sensitivity_list.h"
#include "analysis/spice/spice_translate.h"
#include "common/errors.h"
#include "common/numtext.h"
#include "common/options.h"
#include "common/textfile.h"

namespace analysis {

namespace {

using Session = MoratSession;

int usage_error(std::ostream& err, const std::string& reason) {
    return suite::usage_error(err, "morat", reason, morat_usage());
}

// Settings dialogs: parameters, variabilities, normalisation. Returns the
// reason of a usage error, or the empty string.
std::string apply_settings(const MoratOptions& o, Session& x) {
    AnalysisSettings& s = x.settings;
    if (o.width) s.number_width = *o.width;
    if (o.decimals) s.number_decimals = *o.decimals;
    if (o.tol_admittance) s.tol_admittance = *o.tol_admittance;
    if (o.tol_pivot) s.pivot_tolerance = *o.tol_pivot;
    Circuit& c = *x.circuit;
    if (o.variability) change_all_variabilities(c, *o.variability);
    for (const auto& [given, value] : o.element_variabilities) {
        std::string name = given;  // names are stored upper-cased, as the reader reads them
        for (char& ch : name)
            if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        int found = 0;
        for (int i = 1; i <= c.element_count && found == 0; ++i)
            if (c.elements[i].name == name) found = i;
        if (found == 0) return "no element named " + given + " in the circuit";
        c.variability[found] = value;
    }
    for (const auto& [letter, value] : o.kind_variabilities)
        for (int i = 1; i <= c.element_count; ++i) {
            const char k = element_kind(c, i);
            if (std::toupper(static_cast<unsigned char>(k)) ==
                std::toupper(static_cast<unsigned char>(letter)))
                c.variability[i] = value;
        }
    apply_normalisation(s, *x.sweep, o.normalise);
    return {};
}

// The scales dialog: frequency axis and segments. A deck's .ac line gives
// the band, scale and segments unless the options give the band; then
// the options rule as for a netlist.
void apply_scales(const MoratOptions& o, const spice::AcSweep& deck, Session& x, const Log& log) {
    Sweep& sw = *x.sweep;
    sw.log_scale = !o.linear;
    sw.hertz_units = o.hz;
    sw.scale_min[q_frequency] = o.fmin;
    sw.scale_max[q_frequency] = o.fmax;
    x.circuit->segments = o.segments;
    if (o.spice && !deck.present) log("O deck não tem linha .ac: a varredura é a das opções.");
    if (!deck.present) return;
    if (o.band_given) {
        log("Varredura do deck substituída pelas opções --fmin e --fmax.");
        return;
    }
    sw.log_scale = deck.log_scale && !o.linear;
    sw.hertz_units = true;
    sw.scale_min[q_frequency] = deck.fmin;
    sw.scale_max[q_frequency] = deck.fmax;
    if (!o.segments_given) x.circuit->segments = deck.segments;
}

// Whether the netlist may be written at `path`: not over a file that this
// translator did not write. Tells why not on `err`.
bool netlist_may_go(const MoratOptions& o, const std::string& path, std::ostream& err) {
    if (!o.netlist_out && suite::file_exists(path) && !spice::is_translated_netlist(path)) {
        err << "morat: " << path
            << " is there and was not translated from a SPICE deck; name another netlist with "
               "--netlist-out\n";
        return false;
    }
    return true;
}

// --spice: the deck translated and its netlist written. Returns 0 to go
// on, else the exit status. A netlist beside the deck that this
// translator did not write is not replaced. When the deck's folder cannot
// be written (an installed example, a read-only share) and no
// --netlist-out is given, the netlist goes to the current folder, and
// o.netlist names it there.
int translate_deck(MoratOptions& o, spice::SpiceTranslation& t, const Log& log, std::ostream& err) {
    const std::string& deck = *o.spice;
    if (!suite::file_exists(deck)) {
        log("* Arquivo " + deck + " inexistente.");
        return 1;
    }
    t = spice::translate_spice_file(deck, o.spice_opamps);
    std::error_code same_error;
    if (std::filesystem::equivalent(deck, o.netlist, same_error)) {
        err << "morat: the netlist " << o.netlist
            << " would replace the deck itself; name another with --netlist-out\n";
        return 1;
    }
    if (!netlist_may_go(o, o.netlist, err)) return 1;
    try {
        spice::write_translated_netlist(o.netlist, t);
    } catch (const suite::IoError& e) {
        const std::string here = std::filesystem::path(o.netlist).filename().string();
        if (o.netlist_out || here == o.netlist) throw;
        log("O netlist não pode ser escrito ao lado do deck (" + e.portuguese() +
            "): vai para a pasta atual, " + here + ".");
        o.netlist = here;
        if (!netlist_may_go(o, o.netlist, err)) return 1;
        spice::write_translated_netlist(o.netlist, t);
    }
    for (const std::string& line : spice::translation_report(t, deck, o.netlist)) log(line);
    return 0;
}

// The smallest pivot of the system at a sweep's point.
Real smallest_pivot(Circuit& c, Engine& e, const Sweep& sw, const SweepFailure& at) {
    e.point_index = at.point;
    e.sigma = 0;
    e.omega = sw.hertz_units ? 2 * std::numbers::pi_v<Real> * at.frequency : at.frequency;
    return smallest_pivot(c, e);
}

// A sweep of a translated deck that ends on a singular system or a null
// output: the fatal error's line, and for a singular system where and
// how small its pivot was, and the option that sets the tolerance.
int deck_sweep_failure(const SweepFailure& failure, Session& x, std::ostream& err) {
    err << "Erro: " << solve_failure_message(failure.outcome) << '\n';
    if (failure.outcome == SolveOutcome::singular)
        err << spice::singular_system_advice(failure.frequency, x.sweep->hertz_units,
                                             smallest_pivot(*x.circuit, *x.engine, *x.sweep, failure),
                                             x.settings.pivot_tolerance, false)
            << '\n';
    return 1;
}

// --output or --listed with --spice: a node of the deck by its name, else
// a netlist node by its number. Returns false when it is neither.
bool deck_node(const std::optional<std::string>& text, const spice::SpiceTranslation& t, const char* option,
               int& node, const Log& log) {
    if (!text) return true;
    const int found = spice::find_spice_node(t, *text);
    if (found >= 0) {
        node = found;
        log(std::string(option) + " " + *text + ": nó " + std::to_string(found) + " do netlist.");
        return true;
    }
    std::int32_t number = 0;
    return suite::parse_int(*text, number);
}

// A design: its files written, then the options of the analysis of its
// netlist: its output, the mask's span in the mask's unit, its parts'
// tolerances, and the mask with the yield and the worst case unless the
// options say otherwise.
int design_first(MoratOptions& o, const Log& log) {
    design::DesignOutcome d;
    if (const int status = run_design_options(o.design, d, log); status != 0) return status;
    o.netlist = d.netlist_file;
    if (!o.output_text) o.output = d.design.netlist.output_node;
    if (!o.band_given) {
        o.fmin = d.band.f1;
        o.fmax = d.band.f2;
        o.hz = d.band.hertz;
    }
    if (d.small_pivots && !o.tol_pivot) o.tol_pivot = design::design_pivot_tolerance;
    const design::DesignOptions& p = o.design.options;
    if (!o.variability) o.variability = p.resistor_variability();
    o.kind_variabilities.insert(o.kind_variabilities.begin(), {'C', p.capacitor_tolerance});
    if (!p.opamp.ideal) o.kind_variabilities.insert(o.kind_variabilities.begin() + 1, {'A', 0});
    if (!o.tolerance.mask) o.tolerance.mask = d.mask_file;
    if (!o.tolerance.yield_circuits) o.tolerance.yield_circuits = default_yield_circuits;
    if (!o.tolerance.worst_case)
        o.tolerance.worst_case = d.netlist_file.substr(0, d.netlist_file.size() - 4) + ".wct";
    log("Análise do filtro projetado: " + d.check_command);
    return 0;
}

int analyse(const MoratOptions& given, Session& x, const Log& log, std::ostream& err) {
    MoratOptions o = given;
    if (o.design.active())
        if (const int status = design_first(o, log); status != 0) return status;
    Circuit& c = *x.circuit;
    spice::SpiceTranslation deck;
    if (o.spice)
        if (const int status = translate_deck(o, deck, log, err); status != 0) return status;
    x.netlist = complete_netlist_name(o.netlist);
    if (!open_netlist(c, x.netlist, log)) return 1;
    forget_response(*x.sweep);
    int output = o.output, listed = o.listed;
    if (o.spice && !deck_node(o.output_text, deck, "--output", output, log))
        return usage_error(err, "the deck has no node named " + *o.output_text);
    if (o.spice && !deck_node(o.listed_text, deck, "--listed", listed, log))
        return usage_error(err, "the deck has no node named " + *o.listed_text);
    if (const std::string reason = apply_settings(o, x); !reason.empty()) return usage_error(err, reason);
    apply_scales(o, deck.sweep, x, log);
    if (!start_analysis(c, *x.engine, *x.sweep, x.settings, output, listed, log)) return 1;
    x.settings.noise = noise_settings(o.noise);
    if (const std::string name = unknown_noise_name(c, x.settings.noise); !name.empty())
        return usage_error(err, "--opamp-noise " + name + ": the circuit has no op-amp named " + name);
    prepare_noise(c, *x.sweep, x.settings.noise);
    for (int p : o.sensitivities)
        if (p > c.segments)
            return usage_error(err, "--sensitivities " + std::to_string(p) + ": the sweep has points 0 to " +
                                        std::to_string(c.segments));
    if (o.spice) {
        SweepFailure failure;
        if (!sweep(c, *x.engine, *x.sweep, x.settings, log, {}, &failure))
            return failure.outcome == SolveOutcome::solved ? 1 : deck_sweep_failure(failure, x, err);
    } else if (!sweep(c, *x.engine, *x.sweep, x.settings, log)) {
        return 1;
    }
    if (o.range) dynamic_range_report(c, *x.sweep, x.settings, log);
    for (int p : o.sensitivities) {
        x.sweep->cursor = p;
        for (const std::string& line : sensitivity_list(c, *x.engine, *x.sweep, x.settings)) log(line);
    }
    if (o.tab) save_response_table(*o.tab, c, *x.sweep, x.settings, log);
    run_noise_options(o.noise, c, *x.sweep, x.settings, log);
    if (const int status =
            run_montecarlo_options(o.montecarlo, c, *x.engine, *x.sweep, x.settings, log, x.montecarlo.get());
        status != 0)
        return status;
    if (const int status =
            run_tolerance_options(o.tolerance, o.montecarlo.seed.value_or(default_monte_carlo_seed), c,
                                  *x.engine, *x.sweep, x.settings, log, x.tolerance.get());
        status != 0)
        return status;
    return run_polezero_options(o.polezero, c, *x.engine, *x.sweep, x.settings,
                                netlist_base_name(complete_netlist_name(o.netlist)), log, err,
                                x.polezero.get());
}

}  // namespace

int run_morat(const MoratOptions& options, std::ostream& out, std::ostream& err) {
    MoratSession session;
    return analyse_with_morat(options, session, out, err);
}

int analyse_with_morat(const MoratOptions& options, MoratSession& session, std::ostream& out,
                       std::ostream& err) {
    const Log log = [&out](const std::string& line) { out << line << '\n'; };
    try {
        return analyse(options, session, log, err);
    } catch (const suite::FatalError& e) {
        out.flush();
        err << "Erro: " << e.what() << '\n';
    } catch (const suite::IoError& e) {
        out.flush();
        err << e.portuguese() << '\n';
    }
    return 1;
}

int morat_main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    MoratOptions options;
    if (const std::string reason = parse_morat_options(args, options); !reason.empty())
        return usage_error(err, reason);
    if (options.help) {
        out << morat_usage();
        return 0;
    }
    return run_morat(options, out, err);
}

}  // namespace analysis
