// The requirement read from a mask: the type, the edges and limits the
// design aims at, and the masks that state no realisable requirement.
#include "analysis/design/requirement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace analysis::design {
namespace {

constexpr Real two_pi = 2 * std::numbers::pi_v<Real>;

RequirementReading read(const std::vector<std::string>& lines) {
    const MaskReading m = parse_mask(lines, "t.msk");
    EXPECT_TRUE(m.refusals.empty()) << m.refusals.front();
    return requirement_from_mask(m.mask);
}

TEST(DesignRequirement, TypeAndEdgesFollowFromThePassAndStopRanges) {
    struct Row {
        std::vector<std::string> lines;
        FilterType type;
        Real wp1, wp2;  // Hz
    };
    const std::vector<Row> rows = {
        {{"unidade Hz", "modulo 10 1000 -1 0", "modulo 2000 20000 - -40"}, FilterType::lowpass, 0, 1000},
        // Two pass ranges that no stop range parts are one band.
        {{"unidade Hz", "modulo 10 400 -0.5 0.5", "modulo 400 1000 -1 1", "modulo 3000 1E4 - -30"},
         FilterType::lowpass,
         0,
         1000},
        {{"unidade Hz", "modulo 10 200 - -40", "modulo 1000 1E4 -1 0"}, FilterType::highpass, 1000, 0},
        {{"unidade Hz", "modulo 10 200 - -40", "modulo 500 800 -1 0", "modulo 2000 1E4 - -30"},
         FilterType::bandpass,
         500,
         800},
        {{"unidade Hz", "modulo 10 500 -1 0", "modulo 900 1100 - -40", "modulo 2000 1E4 -1 0"},
         FilterType::bandstop,
         500,
         2000},
    };
    for (const Row& row : rows) {
        const RequirementReading r = read(row.lines);
        ASSERT_TRUE(r.refusals.empty()) << r.refusals.front();
        EXPECT_EQ(r.requirement.type, row.type) << row.lines[1];
        EXPECT_NEAR(r.requirement.wp1, two_pi * row.wp1, 1e-9);
        EXPECT_NEAR(r.requirement.wp2, two_pi * row.wp2, 1e-9);
    }
    // The tightest limits of the pass ranges, points left to the check, delay asked for.
    const RequirementReading r =
        read({"unidade rad/s", "modulo 1 400 -0.5 0.5", "modulo 400 1000 -1 0.2", "modulo 1500 1500 -4 -2",
              "modulo 3000 1E4 - -30", "atraso 1 300 1E-3 2E-3", "atraso 200 500 1.2E-3 -"});
    ASSERT_TRUE(r.refusals.empty());
    EXPECT_EQ(r.requirement.lower_db, -0.5);
    EXPECT_EQ(r.requirement.upper_db, 0.2L);
    EXPECT_EQ(r.requirement.wp2, 1000);
    EXPECT_EQ(r.requirement.point_lines, std::vector<int>{4});
    EXPECT_TRUE(r.requirement.flat_delay);
    EXPECT_EQ(r.requirement.delay_w1, 1);
    EXPECT_EQ(r.requirement.delay_w2, 500);
    EXPECT_EQ(*r.requirement.delay_lower, Real(1.2E-3L));
    EXPECT_EQ(*r.requirement.delay_upper, Real(2E-3L));
}

TEST(DesignRequirement, MasksWithoutARealisableRequirementAreRefusedWithTheirLine) {
    struct Row {
        std::vector<std::string> lines;
        std::string refusal;
    };
    const std::vector<Row> rows = {
        {{"unidade Hz", "modulo 10 1000 -1 0", "modulo 500 2000 - -40"},
         "linha 3: banda de rejeição dentro da banda de passagem (linha 2)."},
        {{"unidade Hz", "modulo 2000 20000 - -40"}, "nenhuma banda de passagem"},
        {{"unidade Hz", "modulo 10 1000 -1 0"}, "nenhuma banda de rejeição"},
        {{"unidade Hz", "modulo 10 1000 -1 -", "modulo 2000 20000 - -40"},
         "a banda de passagem não tem limite superior"},
        {{"unidade Hz", "modulo 10 1000 -1 0", "modulo 2000 20000 - -0.5"},
         "linha 3: o limite da banda de rejeição (-0.5 dB) não fica abaixo"},
        {{"unidade Hz", "modulo 10 100 -1 0", "modulo 200 300 - -40", "modulo 400 500 -1 0",
          "modulo 600 700 - -40", "modulo 800 900 -1 0"},
         "linha 6: mais de duas bandas de passagem"},
        {{"unidade Hz", "modulo 10 100 -1 0", "modulo 200 300 - -40", "modulo 400 500 -1 0",
          "modulo 600 700 - -40"},
         "bandas de rejeição entre e fora"},
        {{"unidade Hz", "modulo 10 1000 -1 0", "modulo 2000 20000 - -40", "atraso 10 100 2E-3 3E-3",
          "atraso 10 100 4E-3 5E-3"},
         "linha 4: os limites de atraso"},
    };
    for (const Row& row : rows) {
        const RequirementReading r = read(row.lines);
        ASSERT_FALSE(r.refusals.empty()) << row.refusal;
        EXPECT_EQ(r.refusals.front().find(row.refusal), 0u) << r.refusals.front();
    }
}

TEST(DesignRequirement, PrototypeTargetsMapTheNearestStopEdge) {
    Requirement r;
    r.lower_db = -1;
    r.upper_db = 0.5;
    const Real margin = 0.25;
    auto targets = [&](FilterType t, Real wp1, Real wp2, std::vector<StopBand> stops) {
        r.type = t;
        r.wp1 = wp1;
        r.wp2 = wp2;
        r.stops = stops;
        return prototype_targets(r, margin);
    };
    // Low-pass: Ωs = ws/wp; two stop bands: the nearest edge, the largest attenuation.
    PrototypeTargets t =
        targets(FilterType::lowpass, 0, 100, {{300, 1000, -39.5, 3}, {1000, 5000, -59.5, 4}});
    EXPECT_DOUBLE_EQ(t.nearest.ripple_db, 1.5 - 0.5);
    EXPECT_DOUBLE_EQ(t.peak_db, 0.25);
    EXPECT_DOUBLE_EQ(t.nearest.stop_edge, 3);
    EXPECT_DOUBLE_EQ(t.nearest.attenuation_db, 60);
    ASSERT_EQ(t.each_stop.size(), 2u);
    EXPECT_DOUBLE_EQ(t.each_stop[0].attenuation_db, 40);
    EXPECT_DOUBLE_EQ(t.each_stop[1].stop_edge, 10);
    // High-pass: Ωs = wp/ws.
    t = targets(FilterType::highpass, 100, 0, {{5, 25, -40, 2}});
    EXPECT_DOUBLE_EQ(t.nearest.stop_edge, 4);
    // Band-pass: Ω = |w² − w0²|/(w·B), the smaller of the two edges of each band.
    t = targets(FilterType::bandpass, 100, 400, {{10, 50, -40, 2}, {900, 2000, -40, 4}});
    const Real low = (40000.0L - 2500) / (50 * 300), high = (810000.0L - 40000) / (900 * 300);
    EXPECT_DOUBLE_EQ(t.nearest.stop_edge, std::min(low, high));
    // Band-stop: Ω = w·B/|w0² − w²| at the stop band's edges.
    t = targets(FilterType::bandstop, 100, 400, {{180, 220, -40, 3}});
    const Real e1 = 180 * 300 / (40000.0L - 180 * 180), e2 = 220 * 300 / (220 * 220 - 40000.0L);
    EXPECT_DOUBLE_EQ(t.nearest.stop_edge, std::min(e1, e2));
    EXPECT_DOUBLE_EQ(default_margin(r), 0.15);
}

TEST(DesignRequirement, OptionsWriteAMaskThatStatesTheSameRequirement) {
    RequirementOptions o;
    o.type = FilterType::bandstop;
    o.pass = {500, 2000};
    o.stop = {900, 1100};
    o.ripple_db = 0.5;
    o.attenuation_db = 45;
    o.gain_db = 6;
    ASSERT_EQ(check_requirement_options(o), "");
    const RequirementReading r = read(mask_lines(o, "bs"));
    ASSERT_TRUE(r.refusals.empty());
    EXPECT_EQ(r.requirement.type, FilterType::bandstop);
    EXPECT_NEAR(r.requirement.wp1, two_pi * 500, 1e-9);
    EXPECT_NEAR(r.requirement.wp2, two_pi * 2000, 1e-9);
    EXPECT_EQ(r.requirement.upper_db, 6);
    EXPECT_EQ(r.requirement.lower_db, 5.5);
    EXPECT_EQ(r.requirement.stops.at(0).upper_db, -39);
    // Edges in the wrong order are refused before any mask is written.
    o.stop = {400, 1100};
    EXPECT_EQ(check_requirement_options(o),
              "a band-stop needs --pass F1 < --stop F1 < --stop F2 < --pass F2");
    o = {};
    o.pass = {1000};
    o.stop = {800};
    EXPECT_EQ(check_requirement_options(o), "a low-pass needs its --stop edge above its --pass edge");
    o.stop = {2000};
    o.attenuation_db = 0.5;
    EXPECT_EQ(check_requirement_options(o), "--attenuation must be larger than --ripple");
}

}  // namespace
}  // namespace analysis::design
