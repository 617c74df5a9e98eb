// The requirement of a filter design, read from a response mask: the
// pass band and its limits, the stop bands and their attenuations, the
// type of filter they imply, and whether a flat delay is asked for.
//
//   MaskReading m = read_mask_file("lp.msk");
//   RequirementReading r = requirement_from_mask(m.mask);
//   if (!r.refusals.empty()) ...;                 // "linha 5: banda de rejeição dentro ..."
//   PrototypeRequirement p = prototype_requirement(r.requirement, margin);
//
// A module range with a lower limit is a pass range, one with only an
// upper limit a stop range; a range of one frequency is a point that the
// design does not aim at (the check of the finished design still keeps
// it). Pass ranges not parted by a stop range form one pass band. Stop
// ranges above the pass band make a low-pass, below it a high-pass, on
// both sides a band-pass; stop ranges between two pass bands a band-stop.
// Delay ranges ("atraso") ask for a flat delay.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/design/approximation.h"
#include "analysis/design/section.h"
#include "analysis/tolerance/mask.h"

namespace analysis::design {

struct StopBand {
    Real w1 = 0, w2 = 0;  // rad/s
    Real upper_db = 0;    // the response must stay below
    int line = 0;
};

struct Requirement {
    FilterType type = FilterType::lowpass;
    // rad/s. The pass band's edges nearest to the stop bands: low-pass
    // (−, wp2), high-pass (wp1, −), band-pass (wp1, wp2) the pass band,
    // band-stop (wp1, wp2) the upper edge of the lower pass band and the
    // lower edge of the upper one.
    Real wp1 = 0, wp2 = 0;
    Real lower_db = 0, upper_db = 0;  // the pass band's limits (the tightest of its ranges)
    std::vector<StopBand> stops;
    // Delay ranges: the tightest limits (s) over the span of them (rad/s).
    bool flat_delay = false;
    Real delay_w1 = 0, delay_w2 = 0;
    std::optional<Real> delay_lower, delay_upper;
    std::vector<int> point_lines;  // ranges of one frequency: checked, not designed for
    bool hertz = true;             // the mask's unit
};

struct RequirementReading {
    Requirement requirement;
    std::vector<std::string> refusals;  // "linha N: ..." or a message about the whole mask
};

RequirementReading requirement_from_mask(const ResponseMask& mask);

// "passa-baixas", "passa-altas", "passa-faixa", "rejeita-faixa".
std::string filter_type_name(FilterType t);
bool filter_type_from_name(const std::string& text, FilterType& t);  // lowpass, highpass, bandpass, bandstop

// The requirement of the low-pass prototype, for a margin m (dB) that the
// design keeps from every module limit: ripple Ap − 2m (Ap = upper −
// lower), the stop edge Ωs the nearest of the stop bands mapped to the
// prototype, the attenuation As relative to the pass band's upper limit
// (the design's pass-band peak then lies m below it, so the stop band is
// m below its limit too). With several stop bands, equiripple stop bands
// (inverse Chebyshev, elliptic) take the nearest edge and the largest
// attenuation; `each_stop` lists every band's own (Ωs, As) for the others.
struct PrototypeTargets {
    PrototypeRequirement nearest;
    std::vector<PrototypeRequirement> each_stop;
    Real peak_db = 0;  // the design's pass-band peak: upper − m
};
PrototypeTargets prototype_targets(const Requirement& r, Real margin_db);

// The default margin: a tenth of the pass band's ripple.
Real default_margin(const Requirement& r);

// The prototype frequency Ω of a frequency w (rad/s) of the filter: the
// low-pass to high-pass, band-pass or band-stop mapping, with the pass
// band's edges at |Ω| = 1. Always ≥ 0.
Real prototype_frequency(const Requirement& r, Real w);

// A requirement given without a mask (type, edges in Hz, ripple,
// attenuation, gain), and the mask that states it: one decade of pass
// band and of stop band beyond the edges.
struct RequirementOptions {
    FilterType type = FilterType::lowpass;
    std::vector<Real> pass;  // Hz: one edge (low-pass, high-pass) or two
    std::vector<Real> stop;  // Hz: one edge or two
    Real ripple_db = 1;
    Real attenuation_db = 40;
    Real gain_db = 0;
};
// The reason it cannot be a requirement, or the empty string.
std::string check_requirement_options(const RequirementOptions& o);
std::vector<std::string> mask_lines(const RequirementOptions& o, const std::string& title);

}  // namespace analysis::design
