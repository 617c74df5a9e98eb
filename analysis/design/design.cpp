// The design of a filter: approximation, order, sections, topologies and
// part values.
#include "analysis/design/design.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "analysis/design/engine_check.h"
#include "analysis/design/plan.h"

namespace analysis::design {
namespace {

Real db_to_ratio(Real db) { return std::pow(Real(10), db / 20); }
Real ratio_to_db(Real r) { return 20 * std::log10(r); }

// The bands over which a section's deviation is compared: the filter's
// pass band(s), a decade beyond an open edge.
std::vector<Band> pass_bands(const Requirement& r) {
    switch (r.type) {
        case FilterType::lowpass:
            return {{r.wp2 / 10, r.wp2, false, 24}};
        case FilterType::highpass:
            return {{r.wp1, r.wp1 * 10, false, 24}};
        case FilterType::bandpass:
            return {{r.wp1, r.wp2, false, 24}};
        case FilterType::bandstop:
            return {{r.wp1 / 10, r.wp1, false, 12}, {r.wp2, r.wp2 * 10, false, 12}};
    }
    return {};
}

// The topologies a family offers for a shape.
std::vector<Topology> family_topologies(TopologyFamily f, Shape shape) {
    const bool first = first_order(shape);
    switch (f) {
        case TopologyFamily::sallen_key:
            if (first) return {Topology::follower_rc};
            return {Topology::sallen_key_unity, Topology::sallen_key_equal};
        case TopologyFamily::mfb:
            if (first) return {Topology::inverting};
            return {Topology::mfb};
        case TopologyFamily::biquad:
            if (first) return {Topology::inverting};
            return {Topology::biquad};
        case TopologyFamily::automatic:
            if (first) return {Topology::follower_rc, Topology::inverting};
            return {Topology::sallen_key_unity, Topology::sallen_key_equal, Topology::mfb, Topology::biquad};
    }
    return {};
}

}  // namespace

std::optional<Real> usable_gain(Topology t, SectionGoal goal, Real wanted, bool last, Real slack_db,
                                const RealiseOptions& ro) {
    goal.gain = wanted;
    const GainRange g = gain_range(t, goal, ro);
    if (g.low > g.high * (1 + 1e-9L)) return std::nullopt;
    const Real tol = 1e-9L;
    if (g.exact) {
        if (wanted >= g.low * (1 - tol) && wanted <= g.high * (1 + tol))
            return std::clamp(wanted, g.low, g.high);
        if (!last && wanted > g.high) return g.high;
        return std::nullopt;
    }
    if (last)
        return std::fabs(ratio_to_db(g.low / wanted)) <= slack_db ? std::optional<Real>(g.low) : std::nullopt;
    return g.low <= wanted * (1 + tol) ? std::optional<Real>(g.low) : std::nullopt;
}

namespace {

// The parts of a section for `target`, with the op-amps' gain-bandwidth
// undone: the ω0 and Q asked of the parts are corrected until the
// section's poles, as the engine finds them with the op-amp model, lie at
// the goal's.
SectionCircuit realise_for_opamps(Topology t, const SectionGoal& goal, const RealiseOptions& ro,
                                  const OpAmpModel& opamp, SectionGoal& target) {
    target = goal;
    SectionCircuit s = realise(t, target, ro);
    if (opamp.ideal) return s;
    // The capacitors stay: only resistors follow the corrected ω0 and Q.
    RealiseOptions same = ro;
    for (const Part& p : s.parts)
        if (p.kind == 'C') same.capacitors_kept.emplace_back(p.role, p.value);
    auto error = [&](const SectionMeasure& m) {
        const Real e = std::fabs(std::log(m.w0 / goal.w0));
        return first_order(goal.shape) ? e : std::max(e, std::fabs(std::log(m.q / goal.q)));
    };
    SectionMeasure m = measure_with_opamps(s, opamp);
    Real best = error(m), step = 1;
    SectionCircuit best_circuit = s;
    SectionGoal best_target = target;
    for (int i = 0; i < 40 && best > 1e-8L; ++i) {
        SectionGoal next = best_target;
        next.w0 *= std::pow(goal.w0 / m.w0, step);
        if (!first_order(goal.shape)) next.q *= std::pow(goal.q / m.q, step);
        // A gain that a form bounds by Q follows the new Q; the zeros do not move with the op-amps.
        const GainRange g = gain_range(t, next, same);
        if (!(t == Topology::mfb && goal.shape == Shape::highpass) && g.low <= g.high)
            next.gain = g.exact ? std::clamp(goal.gain, g.low, g.high) : g.low;
        SectionCircuit trial;
        SectionMeasure tm;
        try {
            trial = realise(t, next, same);
            tm = measure_with_opamps(trial, opamp);
        } catch (const std::invalid_argument&) {
            step /= 2;
            continue;
        }
        const Real e = error(tm);
        if (std::isfinite(e) && e < best) {
            best = e, best_circuit = trial, best_target = next, m = tm;
        } else {
            step /= 2;  // too far: a shorter step from the best so far
        }
    }
    if (!(best < 1e-4L))
        throw std::invalid_argument(topology_name(t) +
                                    ": o GB dos amplificadores operacionais é baixo demais " +
                                    "para esta seção (f0 e Q não se corrigem)");
    target = best_target;
    return best_circuit;
}

// How far rounded parts move a section's response: the relative errors of
// ω0 and ωz weighted by 2Q (near its peak a section's response moves by
// about 2Q times the relative shift of ω0), of Q and of the gain.
Real rounding_error(const SectionGoal& goal, const SectionMeasure& m) {
    const Real w = first_order(goal.shape) ? 1 : std::max(Real(1), 2 * goal.q);
    auto sq = [](Real x) { return x * x; };
    Real e = sq(w * (m.w0 / goal.w0 - 1)) + sq(m.gain / goal.gain - 1);
    if (!first_order(goal.shape)) e += sq(m.q / goal.q - 1);
    if (goal.shape == Shape::notch) e += sq(w * (m.wz / goal.wz - 1));
    return e;
}

// What a section's rounded parts make of it: its goal with the achieved
// ω0, Q, gain and ωz.
SectionGoal achieved_goal(const SectionDesign& sd) {
    SectionGoal s = sd.goal;
    s.w0 = sd.achieved.w0;
    s.gain = sd.achieved.gain;
    if (!first_order(s.shape)) s.q = sd.achieved.q;
    if (s.shape == Shape::notch) s.wz = sd.achieved.wz;
    return s;
}

// The lowest and the highest module (dB) of the sections' product over the
// pass band(s), two decades of them where a band is open.
std::pair<Real, Real> pass_band_extremes(const Requirement& r, const std::vector<SectionGoal>& sections) {
    std::vector<std::pair<Real, Real>> bands;
    switch (r.type) {
        case FilterType::lowpass:
            bands = {{r.wp2 / 100, r.wp2}};
            break;
        case FilterType::highpass:
            bands = {{r.wp1, r.wp1 * 100}};
            break;
        case FilterType::bandpass:
            bands = {{r.wp1, r.wp2}};
            break;
        case FilterType::bandstop:
            bands = {{r.wp1 / 100, r.wp1}, {r.wp2, r.wp2 * 100}};
            break;
    }
    Real low = std::numeric_limits<Real>::infinity(), high = -low;
    for (const auto& [a, b] : bands)
        for (int i = 0; i <= 400; ++i) {
            const Real w = a * std::pow(b / a, Real(i) / 400);
            ComplexReal h(1);
            for (const SectionGoal& s : sections) h *= section_response(s, ComplexReal(0, w));
            const Real db = 20 * std::log10(std::abs(h));
            low = std::min(low, db);
            high = std::max(high, db);
        }
    return {low, high};
}

int count_parts(const Cascade& c) {
    int n = 0;
    for (const SectionCircuit& s : c.sections) n += static_cast<int>(s.parts.size());
    return n;
}

// The prototype with its frequencies multiplied by a.
Prototype scaled(const Prototype& p, Real a) {
    Prototype q = p;
    for (auto& x : q.poles) x *= a;
    for (auto& x : q.zeros) x *= a;
    q.gain = p.gain * std::pow(a, Real(p.poles.size()) - Real(p.zeros.size()));
    return q;
}

// The Bessel prototype that keeps the delay limits of a low-pass: the
// unit-delay prototype scaled by a, feasible when the module and the
// delay limits all hold; the middle of the feasible scales (on a
// logarithmic scale), or the scale that puts the delay at the middle of
// its limits when that one is feasible.
std::optional<Prototype> bessel_for_delay(const Requirement& r, const PrototypeTargets& t, int n) {
    const Prototype unit = bessel_unit_delay(n);
    auto feasible = [&](Real a) {
        const Prototype p = scaled(unit, a);
        if (attenuation_db(p, 1) > t.nearest.ripple_db) return false;
        for (const PrototypeRequirement& s : t.each_stop)
            if (attenuation_db(p, s.stop_edge) < s.attenuation_db) return false;
        // The delay in seconds at w: the prototype's (in 1/Ω) over ωp2.
        for (int i = 0; i <= 40; ++i) {
            const Real w = r.delay_w1 * std::pow(r.delay_w2 / r.delay_w1, Real(i) / 40);
            const Real tau = group_delay(p, w / r.wp2) / r.wp2;
            if (r.delay_lower && tau < *r.delay_lower) return false;
            if (r.delay_upper && tau > *r.delay_upper) return false;
        }
        return true;
    };
    if (r.delay_lower && r.delay_upper) {
        const Real a = 2 / ((*r.delay_lower + *r.delay_upper) * r.wp2);
        if (feasible(a)) return scaled(unit, a);
    }
    int first = -1, last = -1, best_first = -1, best_last = -1;
    const int steps = 3000;
    auto scale_at = [&](int i) { return std::pow(Real(10), -3 + 6 * Real(i) / steps); };
    for (int i = 0; i <= steps; ++i) {
        if (feasible(scale_at(i))) {
            if (first < 0) first = i;
            last = i;
            if (last - first > best_last - best_first) best_first = first, best_last = last;
        } else {
            first = -1;
        }
    }
    if (best_first < 0) return std::nullopt;
    return scaled(unit, scale_at((best_first + best_last) / 2));
}

// The order's slack shared between the edges: of the frequency scales a
// at which the prototype, its frequencies multiplied by a, still keeps
// the pass band's ripple at Ω = 1 and every stop band's attenuation, the
// geometric middle. The pass band then reaches a little beyond its edge
// and the stop band begins a little before its own, so that parts that
// move the response a little either way keep the mask.
Prototype share_slack(const Prototype& p, const PrototypeTargets& t) {
    auto feasible = [&](Real a) {
        const Prototype q = scaled(p, a);
        if (attenuation_db(q, 1) > t.nearest.ripple_db * (1 + 1e-9L) + 1e-12L) return false;
        for (const PrototypeRequirement& s : t.each_stop)
            if (attenuation_db(q, s.stop_edge) < s.attenuation_db * (1 - 1e-9L)) return false;
        return true;
    };
    if (!feasible(1)) return p;  // an order below the minimum: nothing to share
    auto boundary = [&](Real inside, Real outside) {
        for (int i = 0; i < 100; ++i) {
            const Real m = std::sqrt(inside * outside);
            (feasible(m) ? inside : outside) = m;
        }
        return inside;
    };
    Real far = 1;
    for (const PrototypeRequirement& s : t.each_stop) far = std::max(far, s.stop_edge);
    const Real high = feasible(far) ? far : boundary(1, far);
    const Real low = feasible(1 / far) ? 1 / far : boundary(1, 1 / far);
    return scaled(p, std::sqrt(low * high));
}

bool delay_design(const Requirement& r, Approximation a) {
    return a == Approximation::bessel && r.flat_delay && r.type == FilterType::lowpass;
}

}  // namespace

std::string family_name(TopologyFamily f) {
    switch (f) {
        case TopologyFamily::sallen_key:
            return "sallen-key";
        case TopologyFamily::mfb:
            return "mfb";
        case TopologyFamily::biquad:
            return "biquad";
        case TopologyFamily::automatic:
            return "auto";
    }
    return "";
}

bool family_from_name(const std::string& text, TopologyFamily& f) {
    std::string s = text;
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (s == "sallen-key")
        f = TopologyFamily::sallen_key;
    else if (s == "mfb")
        f = TopologyFamily::mfb;
    else if (s == "biquad")
        f = TopologyFamily::biquad;
    else
        return false;
    return true;
}

int required_order(const Requirement& r, Approximation a, Real margin_db) {
    const PrototypeTargets t = prototype_targets(r, margin_db);
    if (delay_design(r, a)) {
        for (int n = 1; n <= max_prototype_order; ++n)
            if (bessel_for_delay(r, t, n)) return n;
        return max_prototype_order + 1;
    }
    if (a == Approximation::inverse_chebyshev || a == Approximation::elliptic)
        return minimum_order(a, t.nearest);
    int n = 1;
    for (const PrototypeRequirement& s : t.each_stop) n = std::max(n, minimum_order(a, s));
    return n;
}

namespace {

// A topology that realises a section, with the gain it takes there.
struct Offer {
    Topology topology;
    Real gain;
    Real deviation = 0;
};

// The topologies of the family that realise the section with a usable
// gain (the biquad when the family realises none, told in `notes`), the
// fewest op-amps first, then the least deviation over the pass band.
std::vector<Offer> ranked_offers(const SectionGoal& unit, Real wanted, bool last, const Design& d,
                                 const DesignOptions& o, const RealiseOptions& ro,
                                 std::vector<std::string>& notes) {
    std::vector<Offer> offers;
    auto collect = [&](TopologyFamily f) {
        for (Topology t : family_topologies(f, unit.shape))
            if (realisable(t, unit.shape))
                if (auto g = usable_gain(t, unit, wanted, last, d.margin_db / 2, ro))
                    offers.push_back({t, *g});
    };
    collect(o.topology);
    if (offers.empty() && o.topology != TopologyFamily::automatic) {
        notes.push_back(family_name(o.topology) + " não realiza esta seção: biquad.");
        collect(TopologyFamily::biquad);
    }
    const std::vector<Band> bands = pass_bands(d.requirement);
    for (Offer& x : offers) {
        SectionGoal goal = unit;
        goal.gain = x.gain;
        x.deviation = section_deviation(realise(x.topology, goal, ro), o.opamp, bands,
                                        o.resistor_variability(), o.capacitor_tolerance);
    }
    std::stable_sort(offers.begin(), offers.end(), [&](const Offer& a, const Offer& b) {
        const int na = opamp_count(a.topology, unit.shape), nb = opamp_count(b.topology, unit.shape);
        return na != nb ? na < nb : a.deviation < b.deviation;
    });
    return offers;
}

// The impedance level whose standard values come nearest: levels around
// the one asked for give other capacitors and other resistor neighbours.
RealiseOptions best_level(Topology t, const SectionGoal& goal, const RealiseOptions& ro,
                          const DesignOptions& o) {
    RealiseOptions best = ro;
    Real least = std::numeric_limits<Real>::infinity();
    for (int step = 0; step <= 16; ++step) {
        // 1, then up and down by a 32nd of a decade at a time, to ±78 %.
        const int k = step % 2 == 0 ? step / 2 : -(step + 1) / 2;
        RealiseOptions trial = ro;
        trial.impedance = o.impedance * std::pow(Real(10), Real(k) / 32);
        try {
            const Rounding x = round_resistors(realise(t, goal, trial), o.resistors);
            const Real e = rounding_error(goal, measure(x.searched));
            if (e < least * (1 - 1e-9L)) least = e, best = trial;
        } catch (const std::invalid_argument&) {
        }
    }
    return best;
}

// One section: the first offer whose parts can be found (with finite-GB
// op-amps, the correction can fail), its parts rounded.
SectionDesign design_section(const SectionGoal& unit, Real wanted, bool last, const Design& d,
                             const DesignOptions& o, const RealiseOptions& ro, char letter) {
    SectionDesign sd;
    const std::vector<Offer> offers = ranked_offers(unit, wanted, last, d, o, ro, sd.notes);
    std::string why = "nenhuma topologia realiza a seção " + std::string(1, letter);
    for (const Offer& x : offers) {
        sd.goal = unit;
        sd.goal.gain = x.gain;
        sd.deviation_db = x.deviation;
        try {
            sd.exact = realise_for_opamps(x.topology, sd.goal, best_level(x.topology, sd.goal, ro, o),
                                          o.opamp, sd.target);
        } catch (const std::invalid_argument& e) {
            why = "seção " + std::string(1, letter) + ", " + e.what();
            sd.notes.push_back(e.what());
            continue;
        }
        const Rounding rounding = round_resistors(sd.exact, o.resistors);
        sd.rounded = rounding.searched;
        sd.plain = measure(rounding.plain);
        sd.achieved = measure_with_opamps(sd.rounded, o.opamp);
        return sd;
    }
    throw std::invalid_argument(why);
}

}  // namespace

Design design_filter(const Requirement& r, Approximation a, int order, const DesignOptions& o) {
    Design d;
    d.requirement = r;
    d.approximation = a;
    d.order = order;
    d.resistors = o.resistors;
    d.margin_db = o.margin_db.value_or(default_margin(r));
    d.targets = prototype_targets(r, d.margin_db);
    d.minimum_order = required_order(r, a, d.margin_db);
    if (delay_design(r, a)) {
        auto p = bessel_for_delay(r, d.targets, order);
        d.prototype = p ? *p : prototype(a, order, d.targets.nearest);
    } else {
        d.prototype = share_slack(prototype(a, order, d.targets.nearest), d.targets);
    }
    const std::vector<SectionGoal> goals = plan_sections(r, d.prototype);
    const Real peak = db_to_ratio(d.targets.peak_db);
    const Real level = peak / db_to_ratio(internal_backoff_db);
    d.cascade.opamp = o.opamp;
    // Every section in turn, the ones in front as their rounded parts make
    // them (each section's gain then makes up for what rounding did to the
    // ones before it), every level multiplied by `trim`.
    auto design_all = [&](Real trim) {
        std::vector<SectionDesign> done;
        std::vector<SectionGoal> front;
        for (std::size_t i = 0; i < goals.size(); ++i) {
            const bool last = i + 1 == goals.size();
            SectionGoal unit = goals[i];
            unit.gain = 1;
            std::vector<SectionGoal> with = front;
            with.push_back(unit);
            // Equal maxima: the gain that takes the running product's peak to
            // the level (the pass-band peak for the last section).
            const Real wanted = trim * (last ? peak : level) / cascade_peak(with);
            RealiseOptions ro{o.impedance, o.capacitors, {}, trim * level, {}};
            ro.peak = [front, unit](const std::function<ComplexReal(Real)>& h) {
                return cascade_peak(front, h, {unit});
            };
            done.push_back(design_section(unit, wanted, last, d, o, ro, section_letter(static_cast<int>(i))));
            front.push_back(achieved_goal(done.back()));
        }
        const auto [low, high] = pass_band_extremes(r, front);
        return std::pair{done, (low + high - r.lower_db - r.upper_db) / 2};
    };
    // Rounding moves the ripple's peaks and troughs unevenly: a second pass
    // with every level moved by the offset centres the pass band between its limits.
    auto [sections, offset] = design_all(1);
    if (std::fabs(offset) > 1e-3L) {
        try {
            auto [again, rest] = design_all(db_to_ratio(-offset));
            if (std::fabs(rest) < std::fabs(offset)) sections = std::move(again);
        } catch (const std::invalid_argument&) {
        }
    }
    d.sections = std::move(sections);
    for (const SectionDesign& sd : d.sections) d.cascade.sections.push_back(sd.rounded);
    d.netlist = cascade_netlist(d.cascade);
    d.opamps = static_cast<int>(d.netlist.opamp_outputs.size());
    d.parts = count_parts(d.cascade);
    return d;
}

DesignChoice choose_design(const Requirement& r, const DesignOptions& o) {
    DesignChoice c;
    std::vector<Approximation> list;
    if (o.approximation)
        list = {*o.approximation};
    else if (r.flat_delay && r.type == FilterType::lowpass)
        list = {Approximation::bessel};
    else
        list = {Approximation::butterworth, Approximation::chebyshev, Approximation::inverse_chebyshev,
                Approximation::elliptic, Approximation::bessel};
    const Real margin = o.margin_db.value_or(default_margin(r));
    for (Approximation a : list) {
        Candidate k{a, o.order.value_or(0), 0, 0, {}};
        if (!o.order) k.order = required_order(r, a, margin);
        if (k.order > max_prototype_order) {
            k.refusal = o.order ? "a ordem pedida passa do limite (protótipo de ordem até " +
                                      std::to_string(max_prototype_order) + ")"
                                : "nenhuma ordem até " + std::to_string(max_prototype_order) + " atende";
            c.candidates.push_back(k);
            continue;
        }
        try {
            Design d = design_filter(r, a, k.order, o);
            k.opamps = d.opamps;
            k.parts = d.parts;
            c.designs.push_back(std::move(d));
        } catch (const std::exception& e) {
            k.refusal = e.what();
        }
        c.candidates.push_back(k);
    }
    std::stable_sort(c.designs.begin(), c.designs.end(), [](const Design& a, const Design& b) {
        return a.opamps != b.opamps ? a.opamps < b.opamps : a.parts < b.parts;
    });
    return c;
}

}  // namespace analysis::design
