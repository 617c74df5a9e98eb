// The tolerance options of morat.
#include "analysis/cli/morat_tolerance.h"

#include "analysis/tolerance/tolerance_report.h"
#include "analysis/tolerance/worst_case.h"
#include "common/numtext.h"

namespace analysis {
namespace {

void log_all(const Log& log, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) log(line);
}

}  // namespace

bool set_tolerance_option(const std::string& option, const std::string& value, ToleranceOptions& o) {
    if (option == "--worst-case") return !value.empty() && (o.worst_case = value, true);
    if (option == "--mask") return !value.empty() && (o.mask = value, true);
    if (option == "--target-yield") {
        Real p = 0;
        return suite::parse_real(value, p) && p > 0 && p < 100 && (o.target_percent = p, true);
    }
    long long n = 0;
    if (!suite::parse_long(value, n)) return false;
    if (option == "--yield")
        return n >= 2 && n <= max_yield_circuits && (o.yield_circuits = static_cast<int>(n), true);
    if (option == "--linear-samples")
        return n >= min_linear_samples && n <= max_linear_samples && (o.linear_samples = n, true);
    return false;
}

std::string check_tolerance_options(const ToleranceOptions& o) {
    if (o.yield_circuits && !o.mask) return "--yield needs --mask FILE";
    if (o.target_percent && !o.mask) return "--target-yield needs --mask FILE";
    if (o.linear_samples && !o.draws()) return "--linear-samples needs --yield N or --target-yield P";
    return {};
}

std::string tolerance_usage() {
    return "Tolerance design, after Monte Carlo:\n"
           "  --worst-case FILE           save the linear worst case of module and phase, with the\n"
           "                              circuit solved at its vertices, in FILE (a band on --plot)\n"
           "  --mask FILE                 check the response against the mask in FILE (see README; drawn\n"
           "                              on --plot)\n"
           "  --yield N                   the yield against the mask, first-order and from N Monte Carlo\n"
           "                              circuits (2 to 1000000), and the elements that limit it\n"
           "  --linear-samples M          samples of the first-order model (1000 to 10000000; 100000)\n"
           "  --target-yield P            the cheapest standard tolerances (10, 5, 2, 1, 0.5, 0.1 %)\n"
           "                              that reach P % by the first-order model, confirmed by Monte\n"
           "                              Carlo (with the circuits of --yield, else 1000)\n"
           "                              (--seed seeds these circuits and samples too)\n";
}

int run_tolerance_options(const ToleranceOptions& o, std::uint64_t seed, const Circuit& c, Engine& e,
                          const Sweep& sw, const AnalysisSettings& s, const Log& log, ToleranceRun* keep) {
    if (o.worst_case) {
        const WorstCaseResult r = worst_case(c, e, sw, s);
        log_all(log, worst_case_summary(sw, r));
        save_worst_case_table(*o.worst_case, c, sw, s, r, log);
        if (keep) keep->worst_case = true;
    }
    if (!o.mask) return 0;
    ResponseMask mask;
    if (!read_mask_report(*o.mask, mask, log)) return 1;
    if (keep) keep->mask = mask;
    LinearModel m;
    if (!report_mask(*o.mask, mask, c, e, sw, m, log)) return 1;
    const long long samples = o.linear_samples.value_or(default_linear_samples);
    const int circuits = o.yield_circuits.value_or(default_yield_circuits);
    if (o.yield_circuits && !report_yield(c, e, sw, s, m, samples, circuits, seed, log)) return 1;
    if (o.target_percent &&
        !report_tightening(c, e, sw, s, m, *o.target_percent / 100, samples, circuits, seed, log))
        return 1;
    return 0;
}

}  // namespace analysis
