// Which tolerances to tighten: each element's share of the variance at the
// constraint that limits the yield, and the cheapest assignment of
// standard tolerances that reaches a target yield by the first-order model.
//
//   LimitingConstraint l = limiting_constraint(m, c.variability);
//   for (auto& line : ranking_lines(c, sw, m, c.variability)) log(line);
//   ToleranceAssignment t = tighten_tolerances(c, m, 0.99, 100000, seed);
//   ElementReals v = assigned_variabilities(c, t);           // then a Monte Carlo run with them
//
// Standard tolerances are 10, 5, 2, 1, 0.5 and 0.1 %; an element given
// tolerance t gets variability t (the meaning every deviation of the
// program gives a variability: the standard deviation of the relative
// value). The cost of an assignment counts steps from 10 %: one step
// (10 to 5 %, 5 to 2 %, ...) costs one unit, 0.1 % costs five. Every
// element whose variability is not 0 takes part (the sources, at 0, stay
// ideal).
//
// The search: for a level z, each constraint asks that its first-order
// deviation stay below its nominal margin divided by z. The cheapest
// assignment that meets one such requirement is found exactly (a
// knapsack over the elements, by dynamic programming on the cost); with
// several constraints the one most exceeded is met first, then the next
// one still exceeded from there, until none is. The level is then
// bisected to the lowest at which that assignment's sampled first-order
// yield reaches the target. When one constraint limits the yield (a mask
// of one point, or a single critical edge), this is the cheapest
// assignment of all (a higher level never costs less); with several it is
// a sound assignment, not always the cheapest.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/engine/sweep.h"
#include "analysis/tolerance/yield.h"

namespace analysis {

constexpr std::array<Real, 6> standard_tolerances{0.1L, 0.05L, 0.02L, 0.01L, 0.005L, 0.001L};
constexpr int tightest_step = 5;

// The constraint whose nearer limit is fewest standard deviations away
// (negative where the nominal response exceeds it); -1 when no
// variability reaches any constraint.
struct LimitingConstraint {
    int constraint = -1;
    bool upper = false;
    Real margin = 0;  // to the nearer limit, dB or s
    Real sigma = 0;
    Real failure = 0;  // first-order chance of crossing either limit there
};
LimitingConstraint limiting_constraint(const LinearModel& m, const ElementReals& variability);

struct VarianceShare {
    int element = 0;
    Real share = 0;  // of the constraint's first-order variance, 0..1
};
// Every element with a part in the constraint's variance, largest first.
std::vector<VarianceShare> variance_shares(const LinearModel& m, int constraint,
                                           const ElementReals& variability);

// The log lines: the limiting constraint and the ranked shares there
// (elements below 0.1 % summed on one line).
std::vector<std::string> ranking_lines(const Circuit& c, const Sweep& sw, const LinearModel& m,
                                       const ElementReals& variability);

struct ToleranceAssignment {
    bool reached = false;
    std::string refusal;        // the log line, when not reached
    std::vector<int> elements;  // the elements that take part
    std::vector<int> steps;     // per element: index into standard_tolerances
    int cost = 0;
    YieldEstimate first_order;  // of the assignment found (of all at 0.1 % when none reaches)
    int yield_evaluations = 0;  // sampled yields computed during the search
};

// `target` is a fraction (0.99). The yields are sampled with `samples`
// draws of the linear model from `seed`, the same seed for every
// assignment tried.
// The progress is told through each sampled yield, under the stage
// tightening_stage followed by the number of the yield.
ToleranceAssignment tighten_tolerances(const Circuit& c, const LinearModel& m, Real target, long long samples,
                                       std::uint64_t seed, const Progress& progress = {});

// The variabilities of `c` with the assignment's tolerances in place.
ElementReals assigned_variabilities(const Circuit& c, const ToleranceAssignment& a);

// "Tolerâncias padrão para rendimento de 99 %: custo 7 ...", then one line
// per tolerance used with its elements; or the refusal. The yields of the
// assignment follow from yield_lines.
std::vector<std::string> assignment_lines(const Circuit& c, const ToleranceAssignment& a, Real target);

}  // namespace analysis
