// The noise of a finished sweep: the report (into the log), the dynamic
// range between the largest swing and the noise floor, and the noise
// table (".rui" file).
//
//   NoiseBand b = noise_band(sw, {});                   // the sweep's band, or [f1, f2]
//   NoiseSummary n = noise_summary(c, sw, b);
//   for (auto& line : noise_report_lines(c, sw, settings.noise, n)) log(line);
//   for (auto& line : noise_dynamic_range_lines(c, sw, n, 10)) log(line);   // 10 V peak
//   save_noise_table("filtro.rui", c, sw, settings, log);
//
// Densities are per hertz whatever the sweep's unit. Over a band the
// output power density is integrated in hertz point to point as a power
// law between neighbouring points (exact for the slopes of RC sections,
// far better than trapezoids on a logarithmic sweep). The input-referred
// noise over a band is the output noise over the filter's gain in it (the
// largest |T|): the input noise that the filter's pass band would carry
// to the same output noise (the density over |T| of every point, which the
// table gives, grows without bound in a stop band).
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/noise.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis {

// A band in the sweep's unit.
struct NoiseBand {
    Real f1 = 0, f2 = 0;
};
// The sweep's band, or the one given, within the sweep.
NoiseBand noise_band(const Sweep& sw, const std::optional<NoiseBand>& given);

struct NoiseSummary {
    NoiseBand band;
    Real output_rms = 0;                       // V
    Real input_rms = 0;                        // V, referred to the input
    std::vector<std::pair<int, Real>> shares;  // source index, its power over the band (V²), largest first
    Real peak_density = 0;                     // V/√Hz at the output, the largest over the band
    int peak_point = 0;
};
NoiseSummary noise_summary(const Sweep& sw, const NoiseBand& band);

// The power of a density given at points (f in Hz, S in V²/Hz) over the
// points, as power laws between neighbours.
Real integrate_power(const std::vector<Real>& f, const std::vector<Real>& s);

// "Ruído" lines: the sources and the temperature, what is noiseless, the
// band's output and input-referred noise, the largest density and where,
// and every source's share, largest first.
std::vector<std::string> noise_report_lines(const Circuit& c, const Sweep& sw, const NoiseSettings& n,
                                            const NoiseSummary& s);

// The dynamic range for a peak swing `swing` (V) at any op-amp output (at
// every node of a circuit without op-amps): the largest input before a
// node reaches it (node extremes of the sweep), the output's signal then,
// the noise over the band, their ratio (dB), and the node that limits it.
std::vector<std::string> noise_dynamic_range_lines(const Circuit& c, const Sweep& sw, const NoiseSummary& s,
                                                   Real swing);

// The table: a header, one line per point (the frequency in the listing
// format, the output and the input-referred densities in V/√Hz in
// scientific format of 15 digits), an empty line.
std::vector<std::string> noise_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s);
// Writes it (CP1252, CR LF, atomically) and logs "Tabela de ruído salva no
// arquivo " + name; suite::IoError when it cannot be written.
void save_noise_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                      const AnalysisSettings& s, const Log& log);

// The name of a source as the report gives it: "R2", "O1 (en)", "O1 (in-)", "O1 (in+)".
std::string noise_source_name(const NoiseSource& s);

}  // namespace analysis
