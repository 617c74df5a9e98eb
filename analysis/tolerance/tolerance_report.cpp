// The reports of the tolerance design.
#include "analysis/tolerance/tolerance_report.h"

#include <memory>

#include "analysis/engine/montecarlo.h"
#include "common/textfile.h"

namespace analysis {
namespace {

void log_all(const Log& log, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) log(line);
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

bool read_mask_report(const std::string& file, ResponseMask& mask, const Log& log) {
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

bool report_mask(const std::string& name, const ResponseMask& mask, const Circuit& c, const Engine& e,
                 const Sweep& sw, LinearModel& model, const Log& log) {
    const std::vector<MaskConstraint> k = mask_constraints(mask, sw, sw.last_point);
    log("Máscara " + name + ": " + std::to_string(mask.ranges.size()) + " faixas; " +
        std::to_string(k.size()) + " limites em " + std::to_string(distinct_points(k)) +
        " pontos da varredura");
    log_all(log, mask_coverage_notes(mask, sw, sw.last_point));
    if (k.empty()) {
        log("* Máscara: nenhum ponto da varredura nas faixas da máscara.");
        return false;
    }
    model = linear_model(c, e, sw, k);
    log_all(log, mask_check_lines("Resposta nominal", check_mask(k, model.nominal, {}), k, sw));
    log_all(log, mask_check_lines("Pior caso linear",
                                  check_mask(k, model.nominal, constraint_worst_cases(model, c.variability)),
                                  k, sw));
    return true;
}

bool report_yield(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                  const LinearModel& m, long long samples, int circuits, std::uint64_t seed, const Log& log,
                  const Progress& progress) {
    if (const std::string refusal = monte_carlo_refusal(c); !refusal.empty()) {
        log(refusal);
        return false;
    }
    const YieldEstimate first = first_order_yield(m, c.variability, samples, seed, progress);
    const MonteCarloYield mc = monte_carlo_yield(c, e, sw, s, m, circuits, seed, progress);
    log_all(log, yield_lines(first, samples, seed, mc));
    log_all(log, ranking_lines(c, sw, m, c.variability));
    return true;
}

bool report_tightening(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                       const LinearModel& m, Real target, long long samples, int circuits, std::uint64_t seed,
                       const Log& log, const Progress& progress) {
    const ToleranceAssignment t = tighten_tolerances(c, m, target, samples, seed, progress);
    log_all(log, assignment_lines(c, t, target));
    if (!t.reached) return false;
    auto tightened = std::make_unique<Circuit>(c);
    tightened->variability = assigned_variabilities(c, t);
    const MonteCarloYield mc = monte_carlo_yield(*tightened, e, sw, s, m, circuits, seed, progress);
    log_all(log, yield_lines(t.first_order, samples, seed, mc, " com essas tolerâncias"));
    return true;
}

}  // namespace analysis
