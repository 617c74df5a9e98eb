// Designs checked against independent numbers: the minimum orders that
// the transformed edges give, the gains and levels of the exact design,
// the rounding, the op-amps' gain-bandwidth undone, and the cheapest
// approximation chosen.
#include "analysis/design/design.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/design/engine_check.h"

namespace analysis::design {
namespace {

ResponseMask mask_of(const std::vector<std::string>& lines) {
    const MaskReading m = parse_mask(lines, "t.msk");
    EXPECT_TRUE(m.refusals.empty());
    return m.mask;
}

Requirement requirement_of(const std::vector<std::string>& lines) {
    const RequirementReading r = requirement_from_mask(mask_of(lines));
    EXPECT_TRUE(r.refusals.empty());
    return r.requirement;
}

const std::vector<std::string> low_pass = {"unidade Hz", "modulo 10 1000 -1 0", "modulo 2500 20000 - -40"};

TEST(DesignFilter, MinimumOrdersFollowFromTheTransformedEdges) {
    // Butterworth, Ap = 3.0103 dB, As = 40 dB: Ωs = 2 needs 7, Ωs = 3.5 needs 4.
    // High-pass 1000/500 Hz: Ωs = 2. Band-pass 1–2 kHz with stop edges 500 Hz and
    // 4 kHz, band-stop the other way round: Ωs = 3.5 at both edges.
    struct Row {
        std::vector<std::string> lines;
        int order;
    };
    const std::vector<Row> rows = {
        {{"unidade Hz", "modulo 10 1000 -3.0103 0", "modulo 2000 20000 - -40"}, 7},
        {{"unidade rad/s", "modulo 10 500 - -40", "modulo 1000 20000 -3.0103 0"}, 7},
        {{"unidade Hz", "modulo 10 500 - -40", "modulo 1000 2000 -3.0103 0", "modulo 4000 9000 - -40"}, 4},
        {{"unidade Hz", "modulo 10 500 -3.0103 0", "modulo 1000 2000 - -40", "modulo 4000 9000 -3.0103 0"},
         4},
        // Two stop bands: the second, farther but deeper, asks for more (Ωs = 3, 60 dB: 7).
        {{"unidade Hz", "modulo 10 1000 -3.0103 0", "modulo 2000 3000 - -30", "modulo 3000 9000 - -60"}, 7},
    };
    for (const Row& row : rows)
        EXPECT_EQ(required_order(requirement_of(row.lines), Approximation::butterworth, 0), row.order)
            << row.lines[1];
    // Equiripple stop bands take the nearest edge with the largest attenuation (Ωs = 2, 60 dB).
    const Requirement r = requirement_of(rows[4].lines);
    EXPECT_EQ(required_order(r, Approximation::chebyshev, 0),
              minimum_order(Approximation::chebyshev, {3.0103L, 60, 3}));
    EXPECT_EQ(required_order(r, Approximation::elliptic, 0),
              minimum_order(Approximation::elliptic, {3.0103L, 60, 2}));
}

TEST(DesignFilter, GainsSpreadSoThatEveryOutputPeaksJustBelowTheFilterAndThePassBandIsCentred) {
    // The rounded design: the middle of the pass band's extremes at the
    // middle of its limits (-0.5 dB), every earlier op-amp output peaking
    // internal_backoff_db below the filter's own peak but for rounding.
    const ResponseMask mask = mask_of(low_pass);
    const Requirement r = requirement_from_mask(mask).requirement;
    for (TopologyFamily family : {TopologyFamily::automatic, TopologyFamily::biquad}) {
        DesignOptions o;
        o.topology = family;
        const Design d = design_filter(r, Approximation::chebyshev, 5, o);
        const Analysed a =
            analyse_lines(netlist_lines(d.netlist, {}), d.netlist.output_node, {10, 1000, true, 400}, 0, 0);
        Real low = 1e9, high = -1e9;
        for (int p = 0; p <= 400; ++p) {
            low = std::min(low, a.sweep->points[p].module);
            high = std::max(high, a.sweep->points[p].module);
        }
        EXPECT_NEAR((low + high) / 2, -0.5, 0.08);
        const FilterCheck f = check_filter(d.netlist, mask, 1000);
        EXPECT_TRUE(f.meets && f.levels_ok);
        for (const OpAmpLevel& l : f.levels)
            EXPECT_NEAR(20 * std::log10(f.output_peak / l.peak), internal_backoff_db, 0.15) << l.name;
        // The first-order section's output, then each biquad's two inner outputs and its own.
        EXPECT_EQ(f.levels.size(), family == TopologyFamily::biquad ? 6u : 2u);
    }
    // An inverse Chebyshev pass band, monotonic, falls less than its ripple
    // at the edge when the order is rounded up: centred, its extremes sit
    // the same distance inside the limits.
    const Design d = design_filter(r, Approximation::inverse_chebyshev, 5, {});
    const Analysed a =
        analyse_lines(netlist_lines(d.netlist, {}), d.netlist.output_node, {10, 1000, true, 400}, 0, 0);
    Real low = 1e9, high = -1e9;
    for (int p = 0; p <= 400; ++p) {
        low = std::min(low, a.sweep->points[p].module);
        high = std::max(high, a.sweep->points[p].module);
    }
    EXPECT_NEAR(high - 0, -1 - low, 0.05);
    EXPECT_GT(high - low, 0.1);
}

TEST(DesignFilter, RoundedSectionsAreNoWorseThanPlainRoundingAndWithinTheStep) {
    for (Series series : {Series::e24, Series::e96}) {
        DesignOptions o;
        o.resistors = series;
        o.topology = TopologyFamily::biquad;
        const Requirement r = requirement_of(
            {"unidade Hz", "modulo 10 500 - -40", "modulo 900 1100 -1 0", "modulo 2000 20000 - -40"});
        const Design d = design_filter(r, Approximation::elliptic, 3, o);
        const Real step = std::pow(Real(10), Real(1) / series_size(series)) - 1;
        for (const SectionDesign& s : d.sections) {
            const Real w = std::fabs(s.achieved.w0 / s.goal.w0 - 1),
                       q = std::fabs(s.achieved.q / s.goal.q - 1);
            EXPECT_LE(w, std::fabs(s.plain.w0 / s.goal.w0 - 1) + 1e-15L);
            EXPECT_LE(q, std::fabs(s.plain.q / s.goal.q - 1) + 1e-15L);
            EXPECT_LT(w, step / 2);
            EXPECT_LT(q, step);
            if (s.goal.shape == Shape::notch) {
                EXPECT_LT(std::fabs(s.achieved.wz / s.goal.wz - 1), step / 2);
            }
        }
    }
}

TEST(DesignFilter, GainBandwidthIsUndoneSectionBySection) {
    // Op-amps of 2π·200 kHz against sections near 1 kHz with Q up to 3.3:
    // designed for the ideal op-amp, ω0 and Q move by percents; corrected,
    // the poles the engine finds sit where the goal puts them, but for the
    // rounding of the parts.
    const Requirement r = requirement_of(low_pass);
    DesignOptions o;
    o.opamp = {false, 2 * 3.14159265358979L * 2e5L, 75};
    for (TopologyFamily family : {TopologyFamily::sallen_key, TopologyFamily::mfb}) {
        o.topology = family;
        const Design d = design_filter(r, Approximation::chebyshev, 4, o);
        for (const SectionDesign& s : d.sections) {
            const SectionMeasure corrected = measure_with_opamps(s.exact, o.opamp);
            EXPECT_NEAR(corrected.w0 / s.goal.w0, 1, 1e-5);
            EXPECT_NEAR(corrected.q / s.goal.q, 1, 1e-5);
            const SectionMeasure plain =
                measure_with_opamps(realise(s.rounded.topology, s.goal, {}), o.opamp);
            EXPECT_GT(std::fabs(plain.w0 / s.goal.w0 - 1) + std::fabs(plain.q / s.goal.q - 1), 0.002);
        }
    }
}

TEST(DesignFilter, ASectionTakesTheGainItsTopologyCanGive) {
    const RealiseOptions ro;
    const SectionGoal low{Shape::lowpass, 1000, 0.8L, 0, 1}, high{Shape::highpass, 1000, 0.8L, 0, 1};
    struct Row {
        Topology t;
        SectionGoal goal;
        Real wanted;
        bool last;
        std::optional<Real> gain;
    };
    const std::vector<Row> rows = {
        {Topology::sallen_key_unity, low, 0.7L, false, 0.7L},  // a divider
        {Topology::sallen_key_unity, low, 1.5L, false, 1},     // its most, below the level
        {Topology::sallen_key_unity, low, 1.5L, true, {}},     // the last must reach it
        {Topology::sallen_key_unity, high, 1.01L, false, 1},   // fixed, not above
        {Topology::sallen_key_unity, high, 0.99L, false, {}},  // fixed, above the level
        {Topology::sallen_key_unity, high, 1.004L, true, 1},   // fixed, within 0.05 dB
        {Topology::sallen_key_unity, high, 1.01L, true, {}},   // fixed, 0.086 dB off
        {Topology::sallen_key_equal, {Shape::lowpass, 1000, 0.5L, 0, 1}, 1, false, {}},  // Q 0.5: none
        {Topology::mfb, low, 123, true, 123},
    };
    for (const Row& r : rows) {
        const auto g = usable_gain(r.t, r.goal, r.wanted, r.last, 0.05L, ro);
        EXPECT_EQ(g.has_value(), r.gain.has_value()) << topology_name(r.t) << " " << (double)r.wanted;
        if (g && r.gain) {
            EXPECT_NEAR(*g, *r.gain, 1e-12);
        }
    }
}

TEST(DesignFilter, TheCheapestApproximationIsChosenAndForcedChoicesKept) {
    const Requirement r = requirement_of(low_pass);
    DesignOptions o;
    DesignChoice c = choose_design(r, o);
    ASSERT_EQ(c.candidates.size(), 5u);
    ASSERT_FALSE(c.designs.empty());
    for (const Design& d : c.designs) {
        EXPECT_GE(d.opamps, c.designs.front().opamps);
        if (d.opamps == c.designs.front().opamps) {
            EXPECT_GE(d.parts, c.designs.front().parts);
        }
    }
    EXPECT_EQ(c.designs.front().approximation, Approximation::chebyshev);  // 4th order, two op-amps
    o.approximation = Approximation::butterworth;
    o.order = 3;
    c = choose_design(r, o);
    ASSERT_EQ(c.designs.size(), 1u);
    EXPECT_EQ(c.designs[0].order, 3);
    EXPECT_LT(c.designs[0].order, c.designs[0].minimum_order);
    // A flat delay asks for Bessel alone, scaled to the delay's limits.
    const Requirement delay = requirement_of(
        {"unidade Hz", "modulo 10 300 -1 0", "modulo 3000 30000 - -20", "atraso 10 200 3.0E-4 3.3E-4"});
    c = choose_design(delay, {});
    ASSERT_EQ(c.designs.size(), 1u);
    EXPECT_EQ(c.designs[0].approximation, Approximation::bessel);
    const FilterCheck f = check_filter(c.designs[0].netlist,
                                       mask_of({"unidade Hz", "modulo 10 300 -1 0", "modulo 3000 30000 - -20",
                                                "atraso 10 200 3.0E-4 3.3E-4"}),
                                       400);
    EXPECT_TRUE(f.meets);
    EXPECT_TRUE(f.nominal.delay.present);
}

}  // namespace
}  // namespace analysis::design
