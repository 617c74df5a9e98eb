// The yield against a response mask: the fraction of circuits whose
// response keeps every limit, from the first-order model and from Monte
// Carlo circuits, each with a 95 % confidence interval.
//
//   std::vector<MaskConstraint> k = mask_constraints(mask, sw, c.segments);
//   LinearModel m = linear_model(c, e, sw, k);                // from the stored sensitivities
//   YieldEstimate a = first_order_yield(m, c.variability, 100000, seed);
//   MonteCarloYield b = monte_carlo_yield(c, e, sw, settings, m, 1000, seed);
//   for (auto& line : yield_lines(a, b)) log(line);
//
// First-order model: at each constraint the value (module in dB, group
// delay in s) is the nominal one plus Σ a_i·δ_i, δ_i the relative change
// of element i, normal with deviation v_i (its variability). For the
// module a_i = 20/ln 10·Re S_i; for the delay a_i = −d(Im S_i)/dω, taken
// across the neighbouring points of the sweep (the group delay is −dφ/dω,
// and Im S_i is the change of φ per relative change of element i). The
// constraints are jointly Gaussian with covariance A·diag(v²)·Aᵀ; the
// yield is estimated by sampling that Gaussian (no solves): the samples are
// drawn in the few directions that carry the covariance (its
// eigenvectors, until every constraint keeps all but 1e-6 of its
// variance), in double precision. A constraint whose nearer limit lies
// more than 8 standard deviations away (a chance below 1e-15 of ever being
// crossed) is left out of the sampling.
//
// Monte Carlo: the circuits of the Monte Carlo check (same drawing, same
// seed gives the same circuits), each solved at every point of the sweep;
// its group delay is the nominal one minus d(φ − φ_nominal)/dω across the
// same neighbouring points. Rejected circuits (singular or with a zero
// output at some point) are counted apart and do not enter the fraction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/tolerance/mask.h"
#include "analysis/tolerance/progress.h"

namespace analysis {

constexpr long long default_linear_samples = 100000;

struct LinearModel {
    std::vector<MaskConstraint> constraints;
    std::vector<Real> nominal;  // per constraint: module (dB) or delay (s)
    int element_count = 0;
    // Per constraint, per element 1..element_count (row-major, element i
    // at column i − 1): the change of the value per unit relative change.
    std::vector<Real> coefficients;

    Real a(std::size_t constraint, int element) const {
        return coefficients[constraint * static_cast<std::size_t>(element_count) +
                            static_cast<std::size_t>(element - 1)];
    }
};

LinearModel linear_model(const Circuit& c, const Engine& e, const Sweep& sw,
                         const std::vector<MaskConstraint>& constraints);

// The first-order standard deviation of every constraint's value.
std::vector<Real> constraint_sigmas(const LinearModel& m, const ElementReals& variability);
// The linear worst case of every constraint's value: Σ |a_i·v_i|.
std::vector<Real> constraint_worst_cases(const LinearModel& m, const ElementReals& variability);

// A fraction of trials with its Wilson score interval at 95 %.
struct YieldEstimate {
    long long trials = 0;
    long long passed = 0;
    Real fraction = 0;
    Real low = 0, high = 0;
};
YieldEstimate yield_estimate(long long passed, long long trials);

// The first-order yield from `samples` draws of the linear model. The
// progress (stage first_order_stage) is told every block of samples.
YieldEstimate first_order_yield(const LinearModel& m, const ElementReals& variability, long long samples,
                                std::uint64_t seed, const Progress& progress = {},
                                const std::string& stage = first_order_stage);

struct MonteCarloYield {
    YieldEstimate estimate;
    int circuits = 0;
    int rejected = 0;
    long long redrawn = 0;
    std::uint64_t seed = 0;
};

// The Monte Carlo yield of `c` (its variabilities) over the finished sweep
// `sw` of the nominal circuit, whose engine is `e`. The caller checks
// monte_carlo_refusal first. The progress (stage monte_carlo_stage) is
// told before the first circuit and after every accepted one.
MonteCarloYield monte_carlo_yield(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                                  const LinearModel& m, int circuits, std::uint64_t seed,
                                  const Progress& progress = {});

// Whether two estimates agree: their difference within 1.96 standard
// errors of the difference (each error from the Agresti-Coull fraction, so
// that a yield of 0 or 1 still has one).
struct YieldAgreement {
    bool agree = true;
    Real difference = 0;  // second − first
    Real limit = 0;       // 1.96 standard errors
};
YieldAgreement compare_yields(const YieldEstimate& first, const YieldEstimate& second);

// "93.41 % (IC 95 %: 93.25 a 93.56 %)"
std::string yield_text(const YieldEstimate& y);

// The log lines of both yields and their agreement; `with` follows the
// name of each yield (" com essas tolerâncias").
std::vector<std::string> yield_lines(const YieldEstimate& first_order, long long samples, std::uint64_t seed,
                                     const MonteCarloYield& monte_carlo, const std::string& with = "");

}  // namespace analysis
