// One run of morat: the window program's commands in a fixed order.
#include "analysis/circuit/netlist_reader.h"
#include "analysis/cli/morat_session.h"
#include "analysis/shell/reports.h"
#include "analysis/shell/sensitivity_list.h"
#include "common/errors.h"

namespace analysis {

namespace {

using Session = MoratSession;

int usage_error(std::ostream& err, const std::string& reason) {
    err << "morat: " << reason << "\n" << morat_usage();
    return 2;
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
    apply_normalisation(s, *x.sweep, o.normalise);
    return {};
}

// The scales dialog: frequency axis and segments.
void apply_scales(const MoratOptions& o, Session& x) {
    Sweep& sw = *x.sweep;
    sw.log_scale = !o.linear;
    sw.hertz_units = o.hz;
    sw.scale_min[q_frequency] = o.fmin;
    sw.scale_max[q_frequency] = o.fmax;
    x.circuit->segments = o.segments;
}

int analyse(const MoratOptions& o, Session& x, const Log& log, std::ostream& err) {
    Circuit& c = *x.circuit;
    if (!open_netlist(c, complete_netlist_name(o.netlist), log)) return 1;
    forget_response(*x.sweep);
    if (const std::string reason = apply_settings(o, x); !reason.empty()) return usage_error(err, reason);
    apply_scales(o, x);
    if (!start_analysis(c, *x.engine, *x.sweep, x.settings, o.output, o.listed, log)) return 1;
    for (int p : o.sensitivities)
        if (p > c.segments)
            return usage_error(err, "--sensitivities " + std::to_string(p) + ": the sweep has points 0 to " +
                                        std::to_string(c.segments));
    if (!sweep(c, *x.engine, *x.sweep, x.settings, log)) return 1;
    if (o.range) dynamic_range_report(c, *x.sweep, x.settings, log);
    for (int p : o.sensitivities) {
        x.sweep->cursor = p;
        for (const std::string& line : sensitivity_list(c, *x.engine, *x.sweep, x.settings)) log(line);
    }
    if (o.tab) save_response_table(*o.tab, c, *x.sweep, x.settings, log);
    if (const int status =
            run_montecarlo_options(o.montecarlo, c, *x.engine, *x.sweep, x.settings, log, x.montecarlo.get());
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
