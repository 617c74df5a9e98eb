// Variance shares at the limiting constraint, and the search for the
// cheapest standard tolerances that reach a target yield.
#include "analysis/tolerance/tightening.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

#include "common/numtext.h"

namespace analysis {
namespace {

constexpr Real infinity = std::numeric_limits<Real>::infinity();

Real normal_tail(Real x) { return std::erfc(x / std::sqrt(Real(2))) / 2; }  // P(Z > x)

Real margin_of(const LinearModel& m, std::size_t k, bool& upper) {
    const Real above = m.constraints[k].upper - m.nominal[k];
    const Real below = m.nominal[k] - m.constraints[k].lower;
    upper = above < below;
    return upper ? above : below;
}

std::string percent(Real x, int width = 0) { return suite::format_fixed(100 * x, width, 2); }

// The search state: the elements that take part, the requirements of the
// constraints and the yields already sampled.
class Search {
public:
    Search(const Circuit& c, const LinearModel& m, long long samples, std::uint64_t seed,
           const Progress& progress)
        : c_(c), m_(m), samples_(samples), seed_(seed), progress_(progress) {
        for (int i = 1; i <= c.element_count; ++i)
            if (c.variability[i] != 0) elements.push_back(i);
        for (std::size_t k = 0; k < m.constraints.size(); ++k) {
            bool upper = false;
            margins_.push_back(margin_of(m, k, upper));
        }
        weights_.resize(m.constraints.size() * elements.size());
        for (std::size_t k = 0; k < m.constraints.size(); ++k)
            for (std::size_t j = 0; j < elements.size(); ++j) {
                const double a = static_cast<double>(m.a(k, elements[j]));
                weights_[k * elements.size() + j] = a * a;
            }
    }

    std::vector<int> elements;
    int evaluations = 0;

    bool nominal_meets() const {
        return std::all_of(margins_.begin(), margins_.end(), [](Real x) { return x >= 0; });
    }

    ElementReals variabilities(const std::vector<int>& steps) const {
        ElementReals v = c_.variability;
        for (std::size_t j = 0; j < elements.size(); ++j)
            v[elements[j]] = standard_tolerances[static_cast<std::size_t>(steps[j])];
        return v;
    }

    const YieldEstimate& yield(const std::vector<int>& steps) {
        const auto found = yields_.find(steps);
        if (found != yields_.end()) return found->second;
        ++evaluations;
        return yields_[steps] = first_order_yield(
                   m_, variabilities(steps), samples_, seed_, progress_,
                   std::string(tightening_stage) + " (rendimento " + std::to_string(evaluations) + ")");
    }

    double variance(std::size_t k, const std::vector<int>& steps) const {
        double sum = 0;
        for (std::size_t j = 0; j < elements.size(); ++j) {
            const double t = static_cast<double>(standard_tolerances[static_cast<std::size_t>(steps[j])]);
            sum += weights_[k * elements.size() + j] * t * t;
        }
        return sum;
    }

    // The lowest level at which the tightest assignment still meets every
    // requirement.
    Real top_level() const {
        const std::vector<int> tightest(elements.size(), tightest_step);
        Real z = 40;
        for (std::size_t k = 0; k < margins_.size(); ++k) {
            const double s = std::sqrt(variance(k, tightest));
            if (s > 0 && std::isfinite(margins_[k])) z = std::min(z, margins_[k] / static_cast<Real>(s));
        }
        return z;
    }

    // The assignment of level z, or nothing when no assignment meets its
    // requirements.
    std::optional<std::vector<int>> assignment(Real z) const {
        std::vector<int> steps(elements.size(), 0);
        for (;;) {
            std::size_t worst = 0;
            double worst_ratio = 1 + 1e-9;  // what the knapsack met, within rounding
            for (std::size_t k = 0; k < margins_.size(); ++k) {
                if (!std::isfinite(margins_[k])) continue;
                const double s = std::sqrt(variance(k, steps));
                if (s == 0) continue;
                const double ratio = margins_[k] > 0 ? s * static_cast<double>(z / margins_[k]) : HUGE_VAL;
                if (ratio > worst_ratio) {
                    worst_ratio = ratio;
                    worst = k;
                }
            }
            if (worst_ratio <= 1 + 1e-9) return steps;
            const double allowed = static_cast<double>(margins_[worst] / z);
            if (!cheapest_for(worst, allowed * allowed, steps)) return std::nullopt;
        }
    }

private:
    // The cheapest tightening of `steps` (no element loosened) that brings
    // constraint k's variance to at most `budget`: dynamic programming on
    // the added cost, each state keeping the least variance. False when
    // even the tightest tolerances leave it above.
    bool cheapest_for(std::size_t k, double budget, std::vector<int>& steps) const {
        const std::size_t n = elements.size();
        int room = 0;
        for (int s : steps) room += tightest_step - s;
        const std::size_t width = static_cast<std::size_t>(room) + 1;
        std::vector<double> best(width, 0), next(width);
        std::vector<unsigned char> choice(n * width, 0);
        for (std::size_t j = 0; j < n; ++j) {
            const double w = weights_[k * n + j];
            const int from = steps[j];
            for (std::size_t cost = 0; cost < width; ++cost) {
                double least = HUGE_VAL;
                unsigned char pick = 0;
                for (int d = 0; d <= tightest_step - from && static_cast<std::size_t>(d) <= cost; ++d) {
                    const double t =
                        static_cast<double>(standard_tolerances[static_cast<std::size_t>(from + d)]);
                    const double v = best[cost - static_cast<std::size_t>(d)] + w * t * t;
                    if (v < least) {
                        least = v;
                        pick = static_cast<unsigned char>(d);
                    }
                }
                next[cost] = least;
                choice[j * width + cost] = pick;
            }
            best.swap(next);
        }
        std::size_t cost = 0;
        while (cost < width && !(best[cost] <= budget)) ++cost;
        if (cost == width) return false;
        for (std::size_t j = n; j-- > 0;) {
            const int d = choice[j * width + cost];
            steps[j] += d;
            cost -= static_cast<std::size_t>(d);
        }
        return true;
    }

    const Circuit& c_;
    const LinearModel& m_;
    long long samples_;
    std::uint64_t seed_;
    Progress progress_;
    std::vector<Real> margins_;
    std::vector<double> weights_;  // constraint × element: a²
    std::map<std::vector<int>, YieldEstimate> yields_;
};

}  // namespace

LimitingConstraint limiting_constraint(const LinearModel& m, const ElementReals& v) {
    const std::vector<Real> sigma = constraint_sigmas(m, v);
    LimitingConstraint l;
    Real least = infinity;
    for (std::size_t k = 0; k < sigma.size(); ++k) {
        bool upper = false;
        const Real margin = margin_of(m, k, upper);
        const Real z = sigma[k] > 0 ? margin / sigma[k] : (margin < 0 ? -infinity : infinity);
        if (!(z < least)) continue;
        least = z;
        l.constraint = static_cast<int>(k);
        l.upper = upper;
        l.margin = margin;
        l.sigma = sigma[k];
    }
    if (l.constraint >= 0 && l.sigma > 0) {
        const auto k = static_cast<std::size_t>(l.constraint);
        l.failure = normal_tail((m.constraints[k].upper - m.nominal[k]) / l.sigma) +
                    normal_tail((m.nominal[k] - m.constraints[k].lower) / l.sigma);
    } else if (l.constraint >= 0) {
        l.failure = l.margin < 0 ? 1 : 0;
    }
    return l;
}

std::vector<VarianceShare> variance_shares(const LinearModel& m, int constraint, const ElementReals& v) {
    std::vector<VarianceShare> shares;
    if (constraint < 0) return shares;
    const auto k = static_cast<std::size_t>(constraint);
    Real total = 0;
    for (int i = 1; i <= m.element_count; ++i) {
        const Real x = m.a(k, i) * v[i];
        if (x == 0) continue;
        shares.push_back({i, x * x});
        total += x * x;
    }
    for (VarianceShare& s : shares) s.share /= total;
    std::stable_sort(shares.begin(), shares.end(),
                     [](const VarianceShare& a, const VarianceShare& b) { return a.share > b.share; });
    return shares;
}

std::vector<std::string> ranking_lines(const Circuit& c, const Sweep& sw, const LinearModel& m,
                                       const ElementReals& v) {
    std::vector<std::string> lines;
    const LimitingConstraint l = limiting_constraint(m, v);
    if (l.constraint < 0 || l.sigma == 0) {
        lines.push_back("Nenhuma variabilidade atua nos pontos da máscara.");
        return lines;
    }
    const MaskConstraint& k = m.constraints[static_cast<std::size_t>(l.constraint)];
    const bool module = k.quantity == MaskQuantity::module;
    lines.push_back(std::string("Ponto limitante: ") + (module ? "módulo" : "atraso") + " em " +
                    point_frequency_text(sw, k.point) + " (limite " + (l.upper ? "superior" : "inferior") +
                    ", linha " + std::to_string(k.line) + "): margem " + margin_text(l.margin) +
                    (module ? " dB" : " s") + " = " + short_text(l.margin / l.sigma) +
                    " desvios padrão; falha ali em " + percent(l.failure) + " % dos circuitos");
    lines.push_back("Parcelas da variância nesse ponto:");
    int rest = 0;
    Real rest_share = 0;
    for (const VarianceShare& s : variance_shares(m, l.constraint, v)) {
        if (s.share < 0.001L) {
            ++rest;
            rest_share += s.share;
            continue;
        }
        std::string name = c.elements[s.element].name;
        name.resize(std::max<std::size_t>(name.size(), 6), ' ');
        lines.push_back("  " + name + percent(s.share, 6) + " %");
    }
    if (rest > 0)
        lines.push_back("  outros " + std::to_string(rest) + " elementos: " + percent(rest_share) + " %");
    return lines;
}

ToleranceAssignment tighten_tolerances(const Circuit& c, const LinearModel& m, Real target, long long samples,
                                       std::uint64_t seed, const Progress& progress) {
    Search search(c, m, samples, seed, progress);
    ToleranceAssignment a;
    a.elements = search.elements;
    auto finish = [&](const std::vector<int>& steps) {
        a.reached = true;
        a.steps = steps;
        a.cost = 0;
        for (int s : steps) a.cost += s;
        a.first_order = search.yield(steps);
        a.yield_evaluations = search.evaluations;
        return a;
    };
    const std::string wanted = suite::format_general(100 * target) + " %";
    if (!search.nominal_meets()) {
        a.refusal = "* Tolerâncias: a resposta nominal não atende à máscara; nenhuma tolerância alcança " +
                    wanted + ".";
        return a;
    }
    const std::vector<int> loosest(a.elements.size(), 0), tightest(a.elements.size(), tightest_step);
    if (search.yield(loosest).fraction >= target) return finish(loosest);
    if (search.yield(tightest).fraction < target) {
        a.steps = tightest;
        a.first_order = search.yield(tightest);
        a.yield_evaluations = search.evaluations;
        a.refusal = "* Tolerâncias: nenhuma combinação das tolerâncias padrão alcança " + wanted +
                    "; com todas em 0.1 % o rendimento de 1ª ordem é " + yield_text(a.first_order) + ".";
        return a;
    }
    // Bisection of the level: at lo the assignment falls short (or none
    // exists), at hi it reaches the target.
    auto reaches = [&](const std::optional<std::vector<int>>& steps) {
        return steps && search.yield(*steps).fraction >= target;
    };
    auto cost = [](const std::vector<int>& steps) {
        int sum = 0;
        for (int x : steps) sum += x;
        return sum;
    };
    Real lo = 0, hi = search.top_level();
    std::optional<std::vector<int>> best = search.assignment(hi);
    if (!reaches(best)) return finish(tightest);
    int short_cost = 0;  // the cost of the assignment at lo, which falls short
    // Once the assignment that falls short costs as much as the one that
    // reaches, no level between them costs less.
    for (int i = 0; i < 60 && hi - lo > 1e-9L * hi && short_cost < cost(*best); ++i) {
        const Real mid = (lo + hi) / 2;
        std::optional<std::vector<int>> steps = search.assignment(mid);
        if (steps && steps == best) {
            hi = mid;
        } else if (reaches(steps)) {
            hi = mid;
            best = steps;
        } else {
            lo = mid;
            if (steps) short_cost = std::max(short_cost, cost(*steps));
        }
    }
    return finish(*best);
}

ElementReals assigned_variabilities(const Circuit& c, const ToleranceAssignment& a) {
    ElementReals v = c.variability;
    for (std::size_t j = 0; j < a.elements.size() && j < a.steps.size(); ++j)
        v[a.elements[j]] = standard_tolerances[static_cast<std::size_t>(a.steps[j])];
    return v;
}

std::vector<std::string> assignment_lines(const Circuit& c, const ToleranceAssignment& a, Real target) {
    std::vector<std::string> lines;
    if (!a.reached) {
        lines.push_back(a.refusal);
        return lines;
    }
    lines.push_back("Tolerâncias padrão para rendimento de " + suite::format_general(100 * target) +
                    " %: custo " + std::to_string(a.cost) +
                    " (cada degrau de 10 % para 5, 2, 1, 0.5 e 0.1 % custa 1)");
    for (int step = 0; step <= tightest_step; ++step) {
        std::vector<std::string> names;
        for (std::size_t j = 0; j < a.elements.size(); ++j)
            if (a.steps[j] == step) names.push_back(c.elements[a.elements[j]].name);
        if (names.empty()) continue;
        const std::string head = "  " + suite::format_general(100 * standard_tolerances[step]) + " %:";
        std::string line = head;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (i > 0 && i % 12 == 0) {
                lines.push_back(line);
                line = std::string(head.size(), ' ');
            }
            line += " " + names[i];
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace analysis
