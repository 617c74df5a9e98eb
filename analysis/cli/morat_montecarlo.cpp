// The Monte Carlo options of morat.
#include "analysis/cli/morat_montecarlo.h"

#include "common/numtext.h"

namespace analysis {

bool set_montecarlo_option(const std::string& option, const std::string& value, MonteCarloOptions& o) {
    if (option == "--mc-table") return !value.empty() && (o.table = value, true);
    long long n = 0;
    if (!suite::parse_long(value, n) || n < 0) return false;
    if (option == "--seed") return (o.seed = static_cast<std::uint64_t>(n), true);
    if (option != "--monte-carlo" || n < 2 || n > max_monte_carlo_samples) return false;
    o.samples = static_cast<int>(n);
    return true;
}

std::string check_montecarlo_options(const MonteCarloOptions& o) {
    if (o.samples && !o.table) return "--monte-carlo needs --mc-table FILE";
    if (o.table && !o.samples) return "--mc-table needs --monte-carlo N";
    if (o.seed && !o.samples) return "--seed needs --monte-carlo N";
    return {};
}

std::string montecarlo_usage() {
    return "Monte Carlo, after the reports:\n"
           "  --monte-carlo N             N circuits (2 to 1000000) with every element drawn from a\n"
           "                              normal distribution of its variability\n"
           "  --seed S                    seed of the draws, 0 to 9223372036854775807 (" +
           std::to_string(default_monte_carlo_seed) +
           ")\n"
           "  --mc-table FILE             save the first-order and the Monte Carlo deviations in FILE\n";
}

int run_montecarlo_options(const MonteCarloOptions& o, const Circuit& c, Engine& e, const Sweep& sw,
                           const AnalysisSettings& s, const Log& log, MonteCarloResult* keep) {
    if (!o.samples) return 0;
    if (const std::string refusal = monte_carlo_refusal(c); !refusal.empty()) {
        log(refusal);
        return 1;
    }
    MonteCarloResult r = monte_carlo(c, e, sw, s, *o.samples, o.seed.value_or(default_monte_carlo_seed));
    log(monte_carlo_summary(r));
    if (r.module_sd.empty()) {
        log("* Monte Carlo: menos de dois circuitos aceitos; a tabela não foi salva.");
        return 1;
    }
    save_monte_carlo_table(*o.table, c, sw, s, r, log);
    if (keep) *keep = std::move(r);
    return 0;
}

}  // namespace analysis
