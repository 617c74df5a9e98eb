// A filter designed from its requirement: the approximation and its
// order, the sections with their topologies and standard part values, and
// the netlist, ready to be checked by the analysis.
//
//   RequirementReading r = requirement_from_mask(mask);
//   DesignOptions o;                                   // defaults: see below
//   DesignChoice c = choose_design(r.requirement, o);   // every approximation, the cheapest first
//   Design& d = c.designs.front();
//   std::vector<std::string> net = netlist_lines(d.netlist, design_comments(d, o, command));
//
// Sections and gains. The sections come from plan_sections (plan.h) in
// cascade order. Their gains spread the filter's gain so that the peak
// over frequency of the signal at every op-amp output before the last
// lies at the filter's pass-band peak less `internal_backoff_db` (equal
// maxima: each section takes the gain that brings the running product to
// that level; a topology whose gain cannot reach it stays below it), and
// the last section brings the product to the pass-band peak. The
// biquad's internal outputs are scaled to the same level.
// Topologies. Each section takes, among the topologies that realise it
// with the fewest op-amps (or within the family `topology` names), the one
// whose response deviates least over the pass band with the parts'
// tolerances, as the engine computes it (the largest statistical
// deviation of the module, dB); a section that the family cannot realise
// takes the biquad.
// Part values: capacitors standard from `capacitors` near 1/(ω0·impedance),
// resistors computed, then taken to `resistors` with the neighbour search
// (topology.h). With gain-bandwidth op-amps each section is first designed
// for an ω0 and Q that the op-amps move back to the wanted ones (found by
// iterating on the poles of the section alone, computed by the engine).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/circuit/log.h"
#include "analysis/design/approximation.h"
#include "analysis/design/cascade.h"
#include "analysis/design/requirement.h"
#include "analysis/design/series.h"
#include "analysis/design/topology.h"

namespace analysis::design {

enum class TopologyFamily { automatic, sallen_key, mfb, biquad };
std::string family_name(TopologyFamily f);                          // "sallen-key", "mfb", "biquad", "auto"
bool family_from_name(const std::string& text, TopologyFamily& f);  // sallen-key, mfb, biquad

constexpr Real internal_backoff_db = 0.5;

struct DesignOptions {
    std::optional<Approximation> approximation;
    std::optional<int> order;
    TopologyFamily topology = TopologyFamily::automatic;
    Series resistors = Series::e96;
    Series capacitors = Series::e12;
    Real impedance = 10e3;
    OpAmpModel opamp;
    std::optional<Real> margin_db;
    // Parts' tolerances (fractions): resistors the series' own, capacitors 5 %.
    std::optional<Real> resistor_tolerance;
    Real capacitor_tolerance = 0.05;

    Real resistor_variability() const { return resistor_tolerance.value_or(series_tolerance(resistors)); }
};

struct SectionDesign {
    SectionGoal goal;         // what the section must do (its gain included)
    SectionGoal target;       // what its parts aim at: goal, or predistorted for the op-amps
    SectionCircuit exact;     // resistors computed
    SectionCircuit rounded;   // resistors standard
    SectionMeasure plain;     // ideal-op-amp ω0, Q, K, ωz with plain rounding
    SectionMeasure achieved;  // ... after the neighbour search (with the op-amp model when not ideal)
    Real deviation_db = 0;    // the largest module deviation over the pass band that chose the topology
    std::vector<std::string> notes;
};

struct Design {
    Requirement requirement;
    Approximation approximation = Approximation::butterworth;
    int order = 0;
    int minimum_order = 0;
    Real margin_db = 0;
    PrototypeTargets targets;
    Prototype prototype;
    std::vector<SectionDesign> sections;
    Cascade cascade;  // the rounded circuits
    CascadeNetlist netlist;
    Series resistors = Series::e96;
    int opamps = 0;
    int parts = 0;  // resistors and capacitors
};

// The design of one approximation at one order (the order at least 1).
// std::invalid_argument when a section cannot be realised.
Design design_filter(const Requirement& r, Approximation a, int order, const DesignOptions& o);

// The gain a topology gives a section that asks for `wanted`: the same
// where resistors set it; where they cannot reach it, their highest (a
// section before the last, which then stays below its level); a gain the
// form fixes when it lies within `slack_db` of the wanted one (the last
// section) or not above it (the others); nullopt when none will do.
std::optional<Real> usable_gain(Topology t, SectionGoal goal, Real wanted, bool last, Real slack_db,
                                const RealiseOptions& ro);

// The minimum order of an approximation for the requirement (with the
// margin), delay limits included for Bessel. max_prototype_order + 1
// when none reaches it.
int required_order(const Requirement& r, Approximation a, Real margin_db);

// What choose_design tried, for the log.
struct Candidate {
    Approximation approximation = Approximation::butterworth;
    int order = 0;  // max_prototype_order + 1: none reaches the requirement
    int opamps = 0, parts = 0;
    std::string refusal;  // why it was not designed
};

struct DesignChoice {
    std::vector<Candidate> candidates;
    std::vector<Design> designs;  // the ones designed, the fewest op-amps first, then the fewest parts
};

// Every approximation (or the forced one) at its minimum order (or the
// forced order). With a flat delay asked for of a low-pass and no
// approximation forced, Bessel alone.
DesignChoice choose_design(const Requirement& r, const DesignOptions& o);

// The comment lines of the netlist: the requirement, the approximation
// and order, each section's f0, Q, gain and topology, and `check`, the
// morat command line that checks the design.
std::vector<std::string> design_comments(const Design& d, const DesignOptions& o, const std::string& check);

// The log lines: the candidates tried, and a design with its sections.
std::vector<std::string> candidates_report(const DesignChoice& c, const Requirement& r);
// "chebyshev, ordem 4, E96": the approximation, the filter's order (twice
// the prototype's for band-pass and band-stop) and the resistor series.
std::string design_label(const Design& d);
int filter_order(FilterType t, int prototype_order);
std::vector<std::string> design_report(const Design& d, const DesignOptions& o);

// The parts list: one line per value (kind, value, series, tolerance,
// count, names) and the op-amps.
std::vector<std::string> parts_list(const Design& d, const DesignOptions& o);

// A value with its SI prefix: 10.2k, 4.7n, 1M.
std::string engineering_text(Real x);

}  // namespace analysis::design
