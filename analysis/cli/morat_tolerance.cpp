// The tolerance options of morat.
#include "analysis/cli/morat_tolerance.h"

#include <memory>

#include "analysis/engine/montecarlo.h"
#include "analysis/tolerance/tightening.h"
#include "analysis/tolerance/worst_case.h"
#include "analysis/tolerance/yield.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

constexpr long long min_linear_samples = 1000;
constexpr long long max_linear_samples = 10000000;
constexpr int max_yield_circuits = 1000000;

void log_all(const Log& log, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) log(line);
}

// The mask file read; false (told in the log) when it is missing or refused.
bool read_mask(const std::string& file, ResponseMask& mask, const Log& log) {
    if (!suite::file_exists(file)) {
        log("* Arquivo " + file + " inexistente.");
        return false;
    }
    const MaskReading r = read_mask_file(file);
    for (const std::string& why : r.refusals) log("* Máscara " + file + ", " + why);
    if (!r.refusals.empty()) return false;
    mask = r.mask;
    return true;
}

int distinct_points(const std::vector<MaskConstraint>& k) {
    std::vector<bool> seen(point_slots, false);
    int n = 0;
    for (const MaskConstraint& c : k)
        if (!seen[static_cast<std::size_t>(c.point)]) {
            seen[static_cast<std::size_t>(c.point)] = true;
            ++n;
        }
    return n;
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
    if (!read_mask(*o.mask, mask, log)) return 1;
    const std::vector<MaskConstraint> k = mask_constraints(mask, sw, sw.last_point);
    log("Máscara " + *o.mask + ": " + std::to_string(mask.ranges.size()) + " faixas; " +
        std::to_string(k.size()) + " limites em " + std::to_string(distinct_points(k)) +
        " pontos da varredura");
    log_all(log, mask_coverage_notes(mask, sw, sw.last_point));
    if (keep) keep->mask = mask;
    if (k.empty()) {
        log("* Máscara: nenhum ponto da varredura nas faixas da máscara.");
        return 1;
    }
    const LinearModel m = linear_model(c, e, sw, k);
    log_all(log, mask_check_lines("Resposta nominal", check_mask(k, m.nominal, {}), k, sw));
    log_all(log, mask_check_lines("Pior caso linear",
                                  check_mask(k, m.nominal, constraint_worst_cases(m, c.variability)), k, sw));
    if (!o.draws()) return 0;

    const long long samples = o.linear_samples.value_or(default_linear_samples);
    const int circuits = o.yield_circuits.value_or(default_yield_circuits);
    if (o.yield_circuits) {
        if (const std::string refusal = monte_carlo_refusal(c); !refusal.empty()) {
            log(refusal);
            return 1;
        }
        const YieldEstimate first = first_order_yield(m, c.variability, samples, seed);
        const MonteCarloYield mc = monte_carlo_yield(c, e, sw, s, m, circuits, seed);
        log_all(log, yield_lines(first, samples, seed, mc));
        log_all(log, ranking_lines(c, sw, m, c.variability));
    }
    if (!o.target_percent) return 0;
    const Real target = *o.target_percent / 100;
    const ToleranceAssignment t = tighten_tolerances(c, m, target, samples, seed);
    log_all(log, assignment_lines(c, t, target));
    if (!t.reached) return 1;
    auto tightened = std::make_unique<Circuit>(c);
    tightened->variability = assigned_variabilities(c, t);
    const MonteCarloYield mc = monte_carlo_yield(*tightened, e, sw, s, m, circuits, seed);
    log_all(log, yield_lines(t.first_order, samples, seed, mc, " com essas tolerâncias"));
    return 0;
}

}  // namespace analysis
