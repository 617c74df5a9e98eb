// Response masks: the reader, the constraints at the sweep's points and
// the check of a response against them.
#include "analysis/tolerance/mask.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {
namespace {

constexpr Real two_pi = 6.283185307179586L;  // as the sweep turns Hz into rad/s
constexpr Real end_widening = 1e-9L;
constexpr Real infinity = std::numeric_limits<Real>::infinity();

std::vector<std::string> fields_of(const std::string& line) {
    std::vector<std::string> f;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const std::size_t from = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > from) f.push_back(line.substr(from, i - from));
    }
    return f;
}

// ASCII letters in lower case, and "Ó" (UTF-8) as "ó".
std::string lower(std::string s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] >= 'A' && s[i] <= 'Z') s[i] = static_cast<char>(s[i] - 'A' + 'a');
        if (s[i] == '\xC3' && i + 1 < s.size() && s[i + 1] == '\x93') s[i + 1] = '\xB3';
    }
    return s;
}

bool has_control_character(const std::string& line) {
    return std::any_of(line.begin(), line.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) < 0x20 && ch != '\t'; });
}

// One range line: fields after the keyword. Returns the reason of a
// refusal, or "" with the range filled.
std::string parse_range(const std::vector<std::string>& f, MaskRange& r) {
    if (f.size() < 5) return "faltam campos; esperava a faixa (de, até) e os limites (mínimo, máximo).";
    if (f.size() > 5) return "campos a mais.";
    Real values[4] = {0, 0, 0, 0};
    bool given[4] = {true, true, true, true};
    for (int i = 0; i < 4; ++i) {
        const std::string& text = f[static_cast<std::size_t>(i) + 1];
        if (i >= 2 && text == "-") {
            given[i] = false;
            continue;
        }
        if (!suite::parse_real(text, values[i])) return "número inválido \"" + text + "\".";
    }
    if (!(values[0] > 0) || !(values[1] > 0)) return "frequência deve ser positiva.";
    if (values[0] > values[1]) return "frequência inicial maior que a final.";
    if (!given[2] && !given[3]) return "nenhum limite (mínimo e máximo são \"-\").";
    if (given[2] && given[3] && values[2] > values[3]) return "limite inferior maior que o superior.";
    r.f1 = values[0];
    r.f2 = values[1];
    r.has_lower = given[2];
    r.lower = values[2];
    r.has_upper = given[3];
    r.upper = values[3];
    return "";
}

// The points of the sweep inside a range.
std::vector<int> covered_points(const ResponseMask& mask, const MaskRange& r, const Sweep& sw, int segments) {
    const Real lo = sweep_frequency(mask, sw, r.f1) * (1 - end_widening);
    const Real hi = sweep_frequency(mask, sw, r.f2) * (1 + end_widening);
    std::vector<int> points;
    for (int p = 0; p <= segments && p < point_slots; ++p) {
        const Real f = sw.points[p].frequency;
        if (f >= lo && f <= hi) points.push_back(p);
    }
    return points;
}

}  // namespace

MaskReading parse_mask(const std::vector<std::string>& lines, const std::string& file_name) {
    MaskReading r;
    r.mask.file_name = file_name;
    bool have_unit = false;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        const std::string where = "linha " + std::to_string(n + 1) + ": ";
        if (has_control_character(line)) {
            r.refusals.push_back(where + "caractere inválido.");
            continue;
        }
        const std::vector<std::string> f = fields_of(line);
        if (f.empty() || f[0][0] == '*') continue;
        const std::string word = lower(f[0]);
        if (word == "unidade") {
            if (have_unit) {
                r.refusals.push_back(where + "unidade repetida.");
                continue;
            }
            if (f.size() > 2) {
                r.refusals.push_back(where + "campos a mais.");
                continue;
            }
            const std::string unit = f.size() == 2 ? lower(f[1]) : "";
            if (unit != "hz" && unit != "rad/s") {
                r.refusals.push_back(where + "a unidade deve ser Hz ou rad/s.");
                continue;
            }
            have_unit = true;
            r.mask.hertz = unit == "hz";
            continue;
        }
        MaskRange range;
        if (word == "modulo" || word == "módulo") {
            range.quantity = MaskQuantity::module;
        } else if (word == "atraso") {
            range.quantity = MaskQuantity::delay;
        } else {
            r.refusals.push_back(where + "palavra desconhecida \"" + f[0] +
                                 "\"; esperava unidade, modulo ou atraso.");
            continue;
        }
        if (!have_unit) {
            r.refusals.push_back(where + "faixa antes da linha da unidade.");
            continue;
        }
        if (std::string why = parse_range(f, range); !why.empty()) {
            r.refusals.push_back(where + why);
            continue;
        }
        range.line = static_cast<int>(n + 1);
        r.mask.ranges.push_back(range);
    }
    if (r.refusals.empty() && r.mask.ranges.empty()) r.refusals.push_back("nenhuma faixa no arquivo.");
    return r;
}

MaskReading read_mask_file(const std::string& file_name) {
    return parse_mask(suite::read_text_lines(file_name), file_name);
}

Real sweep_frequency(const ResponseMask& mask, const Sweep& sw, Real f) {
    if (mask.hertz == sw.hertz_units) return f;
    return mask.hertz ? f * two_pi : f / two_pi;
}

std::vector<MaskConstraint> mask_constraints(const ResponseMask& mask, const Sweep& sw, int segments) {
    std::vector<MaskConstraint> k;
    for (const MaskRange& r : mask.ranges)
        for (int p : covered_points(mask, r, sw, segments))
            k.push_back(
                {p, r.quantity, r.has_lower ? r.lower : -infinity, r.has_upper ? r.upper : infinity, r.line});
    return k;
}

std::vector<std::string> mask_coverage_notes(const ResponseMask& mask, const Sweep& sw, int segments) {
    std::vector<std::string> notes;
    const Real first = sw.points[0].frequency,
               last = sw.points[std::min(segments, point_slots - 1)].frequency;
    const std::string unit = mask.hertz ? "Hz" : "rad/s";
    for (const MaskRange& r : mask.ranges) {
        const std::string where = "* Máscara, linha " + std::to_string(r.line) + ": ";
        const std::string band = short_text(r.f1) + " a " + short_text(r.f2) + " " + unit;
        if (covered_points(mask, r, sw, segments).empty())
            notes.push_back(where + "nenhum ponto da varredura " +
                            (r.f1 == r.f2 ? "em " + short_text(r.f1) + " " + unit : "de " + band) + ".");
        else if (sweep_frequency(mask, sw, r.f1) * (1 + end_widening) < first ||
                 sweep_frequency(mask, sw, r.f2) * (1 - end_widening) > last)
            notes.push_back(where + "a faixa de " + band +
                            " passa além da varredura; só os pontos dentro dela são verificados.");
    }
    return notes;
}

std::vector<Real> constraint_values(const std::vector<MaskConstraint>& k, const Sweep& sw) {
    std::vector<Real> v;
    v.reserve(k.size());
    for (const MaskConstraint& c : k)
        v.push_back(c.quantity == MaskQuantity::module ? sw.points[c.point].module
                                                       : sw.points[c.point].delay);
    return v;
}

MaskCheck check_mask(const std::vector<MaskConstraint>& k, const std::vector<Real>& values,
                     const std::vector<Real>& deviations) {
    MaskCheck check;
    for (std::size_t i = 0; i < k.size(); ++i) {
        const Real d = deviations.empty() ? 0 : deviations[i];
        const Real below = (values[i] - d) - k[i].lower;  // +inf without a lower limit
        const Real above = k[i].upper - (values[i] + d);
        const bool upper = above < below;
        const Real margin = upper ? above : below;
        QuantityMargin& q = k[i].quantity == MaskQuantity::module ? check.module : check.delay;
        if (!q.present || margin < q.margin) {
            q.present = true;
            q.margin = margin;
            q.constraint = static_cast<int>(i);
            q.upper = upper;
        }
        if (!(margin >= 0)) check.meets = false;
    }
    return check;
}

std::vector<std::string> mask_check_lines(const std::string& what, const MaskCheck& check,
                                          const std::vector<MaskConstraint>& k, const Sweep& sw) {
    std::vector<std::string> lines;
    lines.push_back((check.meets ? "" : "* ") + what + ": " + (check.meets ? "atende" : "não atende") +
                    " à máscara.");
    auto margin_line = [&](const char* name, const char* unit, const QuantityMargin& q) {
        if (!q.present) return;
        const MaskConstraint& c = k[static_cast<std::size_t>(q.constraint)];
        lines.push_back(std::string("  ") + name + ": pior margem " + margin_text(q.margin) + " " + unit +
                        " em " + point_frequency_text(sw, c.point) + " (limite " +
                        (q.upper ? "superior" : "inferior") + ", linha " + std::to_string(c.line) + ")");
    };
    margin_line("módulo", "dB", check.module);
    margin_line("atraso", "s", check.delay);
    return lines;
}

std::string short_text(Real x) {
    if (x == 0 || !std::isfinite(x)) return suite::format_general(x);
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    const Real unit = std::pow(Real(10), e - 3);
    return suite::format_general(std::round(x / unit) * unit);
}

std::string margin_text(Real x) {
    if (x == 0 || !std::isfinite(x)) return suite::format_general(x);
    const int e = static_cast<int>(std::floor(std::log10(std::fabs(x))));
    std::string text = suite::format_fixed(x, 0, std::max(0, 3 - e));
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

std::string point_frequency_text(const Sweep& sw, int point) {
    return short_text(sw.points[point].frequency) + " " + frequency_unit_name(sw);
}

}  // namespace analysis
