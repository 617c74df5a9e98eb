// The noise of a finished sweep: report, dynamic range and table.
#include "analysis/shell/noise_report.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

constexpr Real two_pi = 2 * std::numbers::pi_v<Real>;

// Four significant digits.
std::string four(Real x) {
    if (x == 0 || !std::isfinite(x)) return suite::format_general(x);
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    const Real unit = std::pow(Real(10), e - 3);
    return suite::format_general(std::round(x / unit) * unit);
}

// A voltage with its prefix: "12.35 µV".
std::string volts(Real v, const std::string& unit) {
    static const char* prefixes[] = {"p", "n", "µ", "m", ""};
    int k = 4;
    Real x = v;
    while (k > 0 && std::fabs(x) < 1 && x != 0) x *= 1000, --k;
    return four(x) + " " + prefixes[k] + unit;
}

Real hertz(const Sweep& sw, Real f) { return sw.hertz_units ? f : f / two_pi; }

Real power(const Sweep& sw, int p, std::size_t k) {
    return sw.noise_power[static_cast<std::size_t>(p) * sw.noise_sources.size() + k];
}

// The points of the band, first and last included.
std::pair<int, int> band_points(const Sweep& sw, const NoiseBand& b) {
    int first = -1, last = -1;
    for (int p = 0; p <= sw.last_point; ++p) {
        const Real f = sw.points[p].frequency;
        if (f < b.f1 * (1 - 1e-9L) || f > b.f2 * (1 + 1e-9L)) continue;
        if (first < 0) first = p;
        last = p;
    }
    return {first, last};
}

}  // namespace

std::string noise_source_name(const NoiseSource& s) {
    switch (s.kind) {
        case NoiseKind::resistor:
            return s.name;
        case NoiseKind::opamp_voltage:
            return s.name + " (en)";
        case NoiseKind::opamp_current_minus:
            return s.name + " (in-)";
        case NoiseKind::opamp_current_plus:
            return s.name + " (in+)";
    }
    return s.name;
}

NoiseBand noise_band(const Sweep& sw, const std::optional<NoiseBand>& given) {
    NoiseBand b{sw.scale_min[q_frequency], sw.scale_max[q_frequency]};
    if (given) b = {std::max(b.f1, given->f1), std::min(b.f2, given->f2)};
    return b;
}

Real integrate_power(const std::vector<Real>& f, const std::vector<Real>& s) {
    Real total = 0;
    for (std::size_t i = 1; i < f.size(); ++i) {
        const Real f1 = f[i - 1], f2 = f[i], s1 = s[i - 1], s2 = s[i];
        if (s1 > 0 && s2 > 0 && f1 > 0) {
            const Real a = std::log(s2 / s1) / std::log(f2 / f1);  // S ∝ f^a between the points
            if (std::fabs(a + 1) > 1e-9L) {
                total += (s2 * f2 - s1 * f1) / (a + 1);
                continue;
            }
            total += s1 * f1 * std::log(f2 / f1);
            continue;
        }
        total += (s1 + s2) / 2 * (f2 - f1);
    }
    return total;
}

NoiseSummary noise_summary(const Sweep& sw, const NoiseBand& band) {
    NoiseSummary n;
    n.band = band;
    const auto [first, last] = band_points(sw, band);
    if (first < 0) return n;
    std::vector<Real> f, out;
    Real gain = 0;  // the largest |T| over the band
    for (int p = first; p <= last; ++p) {
        const PointRecord& pt = sw.points[p];
        f.push_back(hertz(sw, pt.frequency));
        out.push_back(pt.noise * pt.noise);
        gain = std::max(gain, std::sqrt(pt.t_re * pt.t_re + pt.t_im * pt.t_im));
        if (pt.noise > n.peak_density) n.peak_density = pt.noise, n.peak_point = p;
    }
    n.output_rms = std::sqrt(integrate_power(f, out));
    n.input_rms = gain > 0 ? n.output_rms / gain : 0;
    for (std::size_t k = 0; k < sw.noise_sources.size(); ++k) {
        std::vector<Real> s;
        for (int p = first; p <= last; ++p) s.push_back(power(sw, p, k));
        n.shares.emplace_back(static_cast<int>(k), integrate_power(f, s));
    }
    std::stable_sort(n.shares.begin(), n.shares.end(), [](auto& a, auto& b) { return a.second > b.second; });
    return n;
}

std::vector<std::string> noise_report_lines(const Circuit& c, const Sweep& sw, const NoiseSettings& n,
                                            const NoiseSummary& s) {
    std::vector<std::string> lines{""};
    const std::string unit = frequency_unit_name(sw);
    int resistors = 0, opamps = 0;
    for (const NoiseSource& x : sw.noise_sources) (x.kind == NoiseKind::resistor ? resistors : opamps) += 1;
    lines.push_back("Ruído a " + four(n.celsius) + " °C: " + std::to_string(resistors) + " resistores e " +
                    std::to_string(opamps) + " fontes de amplificadores operacionais");
    const bool has_opamps = c.ideal_opamp_count > 0 || [&] {
        for (int i = 1; i <= c.element_count; ++i)
            if (element_kind_of(element_kind(c, i)).opamp) return true;
        return false;
    }();
    if (has_opamps && n.opamps.en == 0 && n.opamps.in == 0 && n.named.empty())
        lines.push_back("Amplificadores operacionais sem ruído (en = 0, in = 0).");
    bool noiseless = false;
    for (int i = 1; i <= c.element_count; ++i) {
        const char k = element_kind(c, i);
        noiseless = noiseless || element_kind_of(k).noiseless_model;
    }
    if (noiseless) lines.push_back("Fontes controladas, M e Q não têm ruído neste modelo.");
    const std::string band = four(s.band.f1) + " a " + four(s.band.f2) + " " + unit;
    if (s.output_rms == 0 && s.shares.empty()) {
        lines.push_back("Nenhuma fonte de ruído no circuito: ruído nulo de " + band + ".");
        return lines;
    }
    lines.push_back("Ruído na saída de " + band + ": " + volts(s.output_rms, "V") +
                    " rms; referido à entrada: " + volts(s.input_rms, "V") + " rms");
    lines.push_back("Maior densidade na saída: " + volts(s.peak_density, "V/√Hz") + " em " +
                    four(sw.points[s.peak_point].frequency) + " " + unit);
    const Real total = s.output_rms * s.output_rms;
    lines.push_back("Parcelas do ruído na saída:");
    for (const auto& [k, p] : s.shares)
        lines.push_back("  " + noise_source_name(sw.noise_sources[static_cast<std::size_t>(k)]) + " " +
                        suite::format_fixed(total > 0 ? 100 * p / total : 0, 0, 2) + " %");
    return lines;
}

std::vector<std::string> noise_dynamic_range_lines(const Circuit& c, const Sweep& sw, const NoiseSummary& s,
                                                   Real swing) {
    // The nodes that must keep the swing: every op-amp output, else every node.
    std::vector<int> nodes;
    for (int i = 1; i <= c.element_count; ++i)
        if (element_kind_of(element_kind(c, i)).opamp) nodes.push_back(c.elements[i].node1);
    for (int j = 1; j <= c.ideal_opamp_count; ++j) nodes.push_back(c.ideal_opamps[j].out_plus);
    const bool opamps = !nodes.empty();
    if (!opamps)
        for (int k = 1; k <= c.node_count; ++k) nodes.push_back(k);
    int limit = 0;
    for (int k : nodes)
        if (k > 0 && (limit == 0 || sw.node_max[k] > sw.node_max[limit])) limit = k;
    std::vector<std::string> lines;
    if (limit == 0 || !(sw.node_max[limit] > 0)) return lines;
    const Real input = swing / sw.node_max[limit];
    const Real signal = input * sw.node_max[c.output_node] / std::sqrt(Real(2));
    std::string line = "Faixa dinâmica com " + four(swing) + " V de pico " +
                       (opamps ? "nas saídas dos amplificadores operacionais" : "nos nós") +
                       ": entrada de até " + volts(input, "V") + " de pico (limitada pelo nó " +
                       std::to_string(limit) + "); na saída " + volts(signal, "V") + " rms";
    if (s.output_rms > 0)
        line += " sobre " + volts(s.output_rms, "V") +
                " rms de ruído: " + suite::format_fixed(20 * std::log10(signal / s.output_rms), 0, 1) + " dB";
    lines.push_back(line);
    return lines;
}

std::vector<std::string> noise_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s) {
    std::vector<std::string> lines{"# Ruído (" + frequency_unit_name(sw) + "):Saida " +
                                   suite::format_int(c.output_node) +
                                   " (Frq, densidade na saída V/raiz(Hz), referida à entrada V/raiz(Hz))"};
    for (int p = 0; p <= sw.last_point; ++p) {
        const PointRecord& pt = sw.points[p];
        const Real t = std::sqrt(pt.t_re * pt.t_re + pt.t_im * pt.t_im);
        // Densities of nanovolts: scientific, 15 significant digits, after the frequency.
        lines.push_back(listing_number(s, pt.frequency) + " " + suite::format_scientific(pt.noise, 23) + " " +
                        suite::format_scientific(t > 0 ? pt.noise / t : 0, 23));
    }
    lines.push_back("");
    return lines;
}

void save_noise_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                      const AnalysisSettings& s, const Log& log) {
    suite::write_text_file(file_name, noise_table_lines(c, sw, s));
    log("Tabela de ruído salva no arquivo " + file_name);
}

}  // namespace analysis
