#include "analysis/polezero/block_observer.h"

#include <algorithm>
#include <cmath>

#include "analysis/polezero/polezero_run.h"

namespace analysis {

namespace {

// Beyond this distance (relative to |p|) a block's nearest root is not p.
constexpr Real candidate_distance = 1e-2L;

std::optional<BlockObserver> observer_in_block(Circuit& c, Engine& e, const AnalysisSettings& s,
                                               const SystemBlocks& b, int k, Complex p, int preferred) {
    std::vector<int> order;
    if (element_in_block(b, k, preferred)) order.push_back(preferred);
    for (const int i : b.elements[k])
        if (i != preferred) order.push_back(i);
    e.restriction = &b.restrictions[k];
    std::optional<BlockObserver> found;
    for (const int i : order) {
        if (!is_observer_element(c, i)) continue;
        if (!passes_pole_zero_checks(c, e, s, true, i, p)) continue;
        const Complex g = sum_frequency_sensitivity(c, e, e.point_index);
        found = BlockObserver{k, i, multiple_root(c, e, e.point_index, g)};
        break;
    }
    e.restriction = nullptr;
    return found;
}

}  // namespace

std::vector<BlockObserver> observers_seeing(Circuit& c, Engine& e, const AnalysisSettings& s,
                                            const SystemBlocks& b, Complex p, int preferred) {
    const Real size = std::hypot(p.re, p.im);
    std::vector<std::pair<Real, int>> near;
    for (int k = 0; k < b.count(); ++k) {
        const Real d = block_root_distance(c, e, b, k, p);
        if (d <= candidate_distance * size) near.emplace_back(d, k);
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& x, const auto& y) { return x.first < y.first; });
    std::vector<BlockObserver> seeing;
    for (const auto& [distance, k] : near)
        if (auto o = observer_in_block(c, e, s, b, k, p, preferred)) seeing.push_back(*o);
    return seeing;
}

std::optional<BlockObserver> owner_of_copy(const std::vector<BlockObserver>& seeing, int copy) {
    int taken = 0;
    for (const BlockObserver& o : seeing) {
        if (o.multiple) return o;
        if (taken == copy) return o;
        ++taken;
    }
    return std::nullopt;
}

}  // namespace analysis
