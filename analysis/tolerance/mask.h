// Response masks: limits that the response must keep over frequency
// ranges, read from a small text file, and the check of a response
// against them at the points of the sweep.
//
//   MaskReading r = read_mask_file("sk.msk");               // suite::IoError when unreadable
//   if (!r.refusals.empty()) { for (auto& m : r.refusals) log("* " + m); return; }
//   std::vector<MaskConstraint> k = mask_constraints(r.mask, sw, c.segments);
//   MaskCheck nominal = check_mask(k, constraint_values(k, sw), {});
//
// The file (code page 1252, CR LF written, any line end read):
//
//   * Sallen-Key low-pass: pass band to 700 Hz, stop band from 3 kHz
//   unidade Hz
//   modulo   10    700    -1    0.5
//   modulo   3000  1E5    -     -15
//   atraso   10    300    1E-4  3E-4
//
// A line that starts with "*" is a comment; blank lines are skipped.
// "unidade" (Hz or rad/s) comes once, before the ranges. A range line is
// "modulo" (or "módulo") or "atraso", the lowest and the highest frequency
// of the range, and the lower and the upper limit: dB for the module,
// seconds for the group delay; "-" where there is no limit. Words are read
// in any case, fields are parted by blanks or tabs. Ranges may overlap:
// every range applies.
//
// A range covers the sweep points whose frequency lies in it (its ends
// widened by one part in 10^9, so that a point computed at an end of the
// range belongs to it); each covered point of each range is one
// constraint.
#pragma once

#include <string>
#include <vector>

#include "analysis/engine/sweep.h"
#include "common/real.h"

namespace analysis {

using suite::Real;

enum class MaskQuantity { module, delay };

struct MaskRange {
    MaskQuantity quantity = MaskQuantity::module;
    Real f1 = 0, f2 = 0;  // in the file's unit
    bool has_lower = false, has_upper = false;
    Real lower = 0, upper = 0;  // dB or seconds
    int line = 0;               // in the file, from 1
};

struct ResponseMask {
    std::string file_name;
    bool hertz = true;  // the unit of the file's frequencies
    std::vector<MaskRange> ranges;
};

// What the reader found: the mask, and one message per refused line
// ("linha 4: ..."), or a message about the whole file. The mask is only
// to be used when there are no refusals.
struct MaskReading {
    ResponseMask mask;
    std::vector<std::string> refusals;
};

// Reads the lines of a mask file (already decoded to UTF-8).
MaskReading parse_mask(const std::vector<std::string>& lines, const std::string& file_name);
// Reads the file; suite::IoError when it cannot be read.
MaskReading read_mask_file(const std::string& file_name);

// A range's frequency in the unit of the sweep.
Real sweep_frequency(const ResponseMask& mask, const Sweep& sw, Real f);

// One limit pair at one sweep point. A missing limit is ±infinity.
struct MaskConstraint {
    int point = 0;
    MaskQuantity quantity = MaskQuantity::module;
    Real lower = 0, upper = 0;
    int line = 0;  // the range's line in the file
};

// The constraints of every range at the points 0..segments of the sweep.
std::vector<MaskConstraint> mask_constraints(const ResponseMask& mask, const Sweep& sw, int segments);

// Lines about ranges that the sweep does not cover, or covers in part
// ("* Máscara, linha 5: ..."); empty when every range lies in the sweep.
std::vector<std::string> mask_coverage_notes(const ResponseMask& mask, const Sweep& sw, int segments);

// The stored values (module in dB, group delay in s) at the constraints.
std::vector<Real> constraint_values(const std::vector<MaskConstraint>& k, const Sweep& sw);

// The smallest margin of one quantity: the distance to the nearer limit,
// negative where the value lies beyond it.
struct QuantityMargin {
    bool present = false;  // the mask limits this quantity at some point
    Real margin = 0;
    int constraint = -1;
    bool upper = false;  // the limit nearest (or most exceeded) is the upper one
};

struct MaskCheck {
    bool meets = true;
    QuantityMargin module, delay;
};

// Checks the values against the constraints, each value widened by its
// deviation (none when `deviations` is empty): a constraint is kept when
// value − deviation ≥ lower and value + deviation ≤ upper.
MaskCheck check_mask(const std::vector<MaskConstraint>& k, const std::vector<Real>& values,
                     const std::vector<Real>& deviations);

// Log lines of a check: "Resposta nominal: atende à máscara." (or, after
// "* ", "não atende"), then the worst margin of each quantity with its
// frequency, side and line. `what` names the response checked.
std::vector<std::string> mask_check_lines(const std::string& what, const MaskCheck& check,
                                          const std::vector<MaskConstraint>& k, const Sweep& sw);

// A short number for the log lines: four significant digits.
std::string short_text(Real x);
// A margin (dB or s) for the log lines: four significant digits, always
// in plain decimals, so that the margins of one quantity read alike
// ("0.00002055", "0.000006917", never "6.917E-6").
std::string margin_text(Real x);
// The frequency of a point with its unit: "1000 Hz".
std::string point_frequency_text(const Sweep& sw, int point);

}  // namespace analysis
