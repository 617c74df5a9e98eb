// The noise options of morat.
#include "analysis/cli/morat_noise.h"

#include <cmath>

#include "common/numtext.h"

namespace analysis {
namespace {

bool positive_or_zero(const std::string& t, Real& v) {
    return suite::parse_real(t, v) && std::isfinite(v) && v >= 0;
}

// "en,in"
bool densities(const std::string& t, OpAmpNoise& n) {
    const std::size_t comma = t.find(',');
    return comma != std::string::npos && positive_or_zero(t.substr(0, comma), n.en) &&
           positive_or_zero(t.substr(comma + 1), n.in);
}

}  // namespace

bool set_noise_option(const std::string& option, const std::string& value, NoiseOptions& o) {
    Real v = 0;
    if (option == "--noise") return !value.empty() && (o.table = value, true);
    if (option == "--temperature")
        return suite::parse_real(value, v) && v > -zero_celsius && v < 1e4 && (o.celsius = v, true);
    if (option == "--swing")
        return suite::parse_real(value, v) && v > 0 && std::isfinite(v) && (o.swing = v, true);
    if (option == "--opamp-noise") {
        OpAmpNoise n;
        const std::size_t eq = value.find('=');
        if (eq == std::string::npos) return densities(value, n) && (o.all = n, true);
        if (eq == 0 || !densities(value.substr(eq + 1), n)) return false;
        o.named.emplace_back(value.substr(0, eq), n);
        return true;
    }
    return false;
}

std::string set_noise_band(const std::vector<std::string>& values, NoiseOptions& o) {
    Real f1 = 0, f2 = 0;
    if (!suite::parse_real(values[0], f1) || !suite::parse_real(values[1], f2) || !(f1 > 0) || !(f2 > f1))
        return "invalid value for --noise-band: " + values[0] + " " + values[1] + " (0 < F1 < F2)";
    o.band = NoiseBand{f1, f2};
    return {};
}

std::string noise_usage() {
    return "Noise, after the reports (any of these computes it at every point):\n"
           "  --noise FILE                save the noise table (frequency, output and input-referred\n"
           "                              densities, V/sqrt(Hz)) in FILE\n"
           "  --opamp-noise en,in         every op-amp's input noise: en V/sqrt(Hz) in series with its\n"
           "                              input, in A/sqrt(Hz) at each input (0,0)\n"
           "  --opamp-noise NAME=en,in    one op-amp's (repeatable)\n"
           "  --temperature C             the resistors' temperature in degrees Celsius (27)\n"
           "  --noise-band F1 F2          the band of the integrated noise (the sweep's)\n"
           "  --swing V                   the dynamic range for V volts peak at the op-amp outputs\n";
}

NoiseSettings noise_settings(const NoiseOptions& o) {
    NoiseSettings n;
    n.on = o.on();
    if (o.celsius) n.celsius = *o.celsius;
    if (o.all) n.opamps = *o.all;
    n.named = o.named;
    return n;
}

int run_noise_options(const NoiseOptions& o, const Circuit& c, const Sweep& sw, const AnalysisSettings& s,
                      const Log& log) {
    if (!o.on()) return 0;
    const NoiseSummary n = noise_summary(sw, noise_band(sw, o.band));
    for (const std::string& line : noise_report_lines(c, sw, s.noise, n)) log(line);
    if (o.swing)
        for (const std::string& line : noise_dynamic_range_lines(c, sw, n, *o.swing)) log(line);
    if (o.table) save_noise_table(*o.table, c, sw, s, log);
    return 0;
}

}  // namespace analysis
