#include "analysis/polezero/block_observer.h"

#include <algorithm>
#include <cmath>

#include "analysis/circuit/element_kinds.h"

namespace analysis {

namespace {

// Beyond this distance (relative to |p|) a block's nearest root is not p.
constexpr Real candidate_distance = 1e-2L;

// The blocks whose determinant has a root near p, nearest root first.
std::vector<int> blocks_near(Circuit& c, Engine& e, const SystemBlocks& b, Complex p) {
    const Real size = std::hypot(p.re, p.im);
    std::vector<std::pair<Real, int>> near;
    for (int k = 0; k < b.count(); ++k) {
        const Real d = block_root_distance(c, e, b, k, p);
        if (d <= candidate_distance * size) near.emplace_back(d, k);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<int> blocks;
    for (const auto& [distance, k] : near) blocks.push_back(k);
    return blocks;
}

// The observer inside block k that sees p, the block solved alone; 0 when
// none does.
int observer_in_block(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& b, int k,
                      Complex p, int preferred) {
    std::vector<int> order;
    if (element_in_block(b, k, preferred)) order.push_back(preferred);
    for (const int i : b.elements[k])
        if (i != preferred) order.push_back(i);
    e.restriction = &b.restrictions[k];
    int found = 0;
    for (const int i : order)
        if (is_observer_element(c, i) && passes_pole_zero_checks(c, e, s, true, i, p)) {
            found = i;
            break;
        }
    e.restriction = nullptr;
    return found;
}

}  // namespace

bool is_observer_element(const Circuit& c, int i) {
    return i >= 1 && i <= c.element_count && element_kind_of(element_kind(c, i)).observer;
}

Complex point_residual(const Circuit& c, const Engine& e, bool poles) {
    if (!poles) return {e.system.normal_re[c.output_column], e.system.normal_im[c.output_column]};
    const int k = e.observer_element;
    const Element& obs = c.elements[k];
    const Complex zobs = complex_divide({1, 0}, {c.stamp_re[k], c.stamp_im[k]});
    return node_voltage(c, e, obs.node1) - node_voltage(c, e, obs.node2) - zobs;
}

bool within_tolerance(Complex r, const AnalysisSettings& s) {
    return std::fabs(r.re) <= s.tol_admittance && std::fabs(r.im) <= s.tol_admittance;
}

bool passes_pole_zero_checks(Circuit& c, Engine& e, const AnalysisSettings& s, bool poles, int observer,
                             Complex p) {
    const Real tol = s.pivot_tolerance;
    if (std::fabs(p.re) < tol && std::fabs(p.im) < tol) return false;
    if (poles && (!is_observer_element(c, observer) || c.elements[observer].value == 0)) return false;
    e.observer_mode = poles;
    if (poles) e.observer_element = observer;
    e.sigma = p.re;
    e.omega = p.im;
    e.normalised_sensitivities = false;
    if (try_build_and_solve(c, e, tol) != SolveOutcome::solved) return false;
    if (!within_tolerance(point_residual(c, e, poles), s)) return false;
    const Complex g = sum_frequency_sensitivity(c, e, e.point_index);
    return g.re != 0 || g.im != 0;
}

bool seen_in_a_block(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& b, Complex p,
                     int preferred) {
    for (const int k : blocks_near(c, e, b, p))
        if (observer_in_block(c, e, s, b, k, p, preferred) != 0) return true;
    return false;
}

bool multiple_in_block(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p) {
    return roots_near(c, e, p, &b.restrictions[static_cast<std::size_t>(k)]) > 1;
}

BlockChoice block_for_copy(Circuit& c, Engine& e, const AnalysisSettings& s, const SystemBlocks& b, Complex p,
                           int copy, int preferred) {
    int taken = 0;
    for (const int k : blocks_near(c, e, b, p)) {
        if (multiple_in_block(c, e, b, k, p)) return {.multiple = true};
        const int observer = observer_in_block(c, e, s, b, k, p, preferred);
        if (observer == 0) continue;
        if (taken++ == copy) return {.block = k, .observer = observer};
    }
    return {.seen = taken > 0};
}

}  // namespace analysis
