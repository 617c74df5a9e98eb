// The texts of a design: its log lines, the netlist's comments and the
// parts list.
#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "analysis/design/design.h"
#include "common/numtext.h"

namespace analysis::design {
namespace {

constexpr Real two_pi = 2 * std::numbers::pi_v<Real>;

// A frequency given in rad/s, in the requirement's unit.
std::string frequency(const Requirement& r, Real w) {
    return short_text(r.hertz ? w / two_pi : w) + (r.hertz ? " Hz" : " rad/s");
}

std::string percent(Real ratio) { return suite::format_fixed(100 * (ratio - 1), 0, 3) + " %"; }

std::string shape_name(Shape s) {
    switch (s) {
        case Shape::lowpass:
            return "passa-baixas";
        case Shape::highpass:
            return "passa-altas";
        case Shape::bandpass:
            return "passa-faixa";
        case Shape::notch:
            return "com zeros";
        case Shape::lowpass1:
            return "passa-baixas de 1ª ordem";
        case Shape::highpass1:
            return "passa-altas de 1ª ordem";
    }
    return "";
}

std::string gain_text(Real k) {
    Real db = 20 * std::log10(k);
    if (std::fabs(db) < 5e-5L) db = 0;
    return short_text(k) + " (" + short_text(db) + " dB)";
}

// "f0 = 1000 Hz, Q = 0.7071, fz = 2000 Hz, ganho 1 (0 dB)"
std::string goal_text(const Requirement& r, const SectionGoal& s) {
    std::string t = "f0 = " + frequency(r, s.w0);
    if (!first_order(s.shape)) t += ", Q = " + short_text(s.q);
    if (s.shape == Shape::notch) t += ", fz = " + frequency(r, s.wz);
    return t + ", ganho " + gain_text(s.gain);
}

std::string requirement_text(const Requirement& r) {
    std::string t = filter_type_name(r.type) + "; banda de passagem ";
    switch (r.type) {
        case FilterType::lowpass:
            t += "até " + frequency(r, r.wp2);
            break;
        case FilterType::highpass:
            t += "a partir de " + frequency(r, r.wp1);
            break;
        case FilterType::bandpass:
            t += "de " + frequency(r, r.wp1) + " a " + frequency(r, r.wp2);
            break;
        case FilterType::bandstop:
            t += "até " + frequency(r, r.wp1) + " e a partir de " + frequency(r, r.wp2);
            break;
    }
    t += " (" + short_text(r.lower_db) + " a " + short_text(r.upper_db) + " dB)";
    for (const StopBand& s : r.stops)
        t += "; rejeição de " + frequency(r, s.w1) + " a " + frequency(r, s.w2) + " (abaixo de " +
             short_text(s.upper_db) + " dB)";
    if (r.flat_delay) t += "; atraso plano";
    return t;
}

std::string opamp_text(const OpAmpModel& m) {
    if (m.ideal) return "amp. ops. ideais";
    return "amp. ops. com GB = " + short_text(m.gb) + " rad/s e Ro = " + short_text(m.ro) + " ohms";
}

std::string topology_text(const SectionCircuit& s) { return topology_form_name(s.topology); }

}  // namespace

std::string engineering_text(Real x) {
    static const char* prefixes[] = {"p", "n", "u", "m", "", "k", "M", "G"};
    if (x == 0) return "0";
    int e = static_cast<int>(std::floor(std::log10(std::fabs(x)) / 3 + 1e-12L));
    e = std::clamp(e, -4, 3);
    const Real m = x / std::pow(Real(1000), e);
    std::string t = suite::format_general(std::round(m * 1000) / 1000);
    return t + prefixes[e + 4];
}

std::vector<std::string> design_comments(const Design& d, const DesignOptions& o, const std::string& check) {
    const Requirement& r = d.requirement;
    std::vector<std::string> c;
    const bool doubled = r.type == FilterType::bandpass || r.type == FilterType::bandstop;
    c.push_back("Filtro projetado: " + approximation_name(d.approximation) + ", " + filter_type_name(r.type) +
                " de ordem " + std::to_string(doubled ? 2 * d.order : d.order) +
                (doubled ? " (protótipo de ordem " + std::to_string(d.order) + ")" : ""));
    c.push_back("Requisito: " + requirement_text(r));
    c.push_back("Margem " + short_text(d.margin_db) + " dB; resistores " + series_name(d.resistors) + " (" +
                short_text(100 * o.resistor_variability()) + " %), capacitores " + series_name(o.capacitors) +
                " (" + short_text(100 * o.capacitor_tolerance) + " %); impedância " +
                engineering_text(o.impedance) + "; " + opamp_text(o.opamp));
    for (std::size_t i = 0; i < d.sections.size(); ++i) {
        const SectionDesign& s = d.sections[i];
        c.push_back("Seção " + std::string(1, section_letter(int(i))) + ": " + shape_name(s.goal.shape) +
                    ", " + goal_text(r, s.goal) + "; " + topology_text(s.rounded));
    }
    c.push_back("Entrada: nó 1 (VIN); saída: nó " + std::to_string(d.netlist.output_node));
    if (!check.empty()) c.push_back("Verificação: " + check);
    return c;
}

int filter_order(FilterType t, int prototype_order) {
    return t == FilterType::bandpass || t == FilterType::bandstop ? 2 * prototype_order : prototype_order;
}

std::string design_label(const Design& d) {
    return approximation_name(d.approximation) + ", ordem " +
           std::to_string(filter_order(d.requirement.type, d.order)) + ", " + series_name(d.resistors);
}

std::vector<std::string> candidates_report(const DesignChoice& c, const Requirement& r) {
    std::vector<std::string> lines{"Aproximações (ordem mínima, amplificadores operacionais, peças):"};
    for (const Candidate& k : c.candidates) {
        std::string t = "  " + approximation_name(k.approximation) + ": ";
        if (!k.refusal.empty())
            t += k.refusal;
        else
            t += "ordem " + std::to_string(filter_order(r.type, k.order)) + ", " + std::to_string(k.opamps) +
                 " amp. ops., " + std::to_string(k.parts) + " peças";
        lines.push_back(t);
    }
    return lines;
}

std::vector<std::string> design_report(const Design& d, const DesignOptions& o) {
    std::vector<std::string> lines;
    const Requirement& r = d.requirement;
    lines.push_back("Projeto: " + design_label(d));
    if (d.order < d.minimum_order)
        lines.push_back("* A ordem " + std::to_string(filter_order(r.type, d.order)) +
                        " é menor que a mínima (" + std::to_string(filter_order(r.type, d.minimum_order)) +
                        "): o projeto não atende ao requisito.");
    lines.push_back("Requisito: " + requirement_text(r) + "; margem " + short_text(d.margin_db) + " dB");
    for (std::size_t i = 0; i < d.sections.size(); ++i) {
        const SectionDesign& s = d.sections[i];
        const std::string letter(1, section_letter(int(i)));
        lines.push_back("Seção " + letter + ": " + shape_name(s.goal.shape) + ", " + goal_text(r, s.goal) +
                        "; " + topology_text(s.rounded) + " (desvio " + short_text(s.deviation_db) + " dB)");
        for (const std::string& n : s.notes) lines.push_back("  " + n);
        if (!o.opamp.ideal)
            lines.push_back("  peças para f0 = " + frequency(r, s.target.w0) +
                            (first_order(s.goal.shape) ? "" : ", Q = " + short_text(s.target.q)) +
                            ", compensando o GB");
        std::string got =
            "  com valores " + series_name(d.resistors) + ": f0 " + percent(s.achieved.w0 / s.goal.w0);
        if (!first_order(s.goal.shape)) got += ", Q " + percent(s.achieved.q / s.goal.q);
        if (s.goal.shape == Shape::notch) got += ", fz " + percent(s.achieved.wz / s.goal.wz);
        got += ", ganho " + percent(s.achieved.gain / s.goal.gain);
        std::string plain = " (arredondamento simples: f0 " + percent(s.plain.w0 / s.target.w0);
        if (!first_order(s.goal.shape)) plain += ", Q " + percent(s.plain.q / s.target.q);
        lines.push_back(got + plain + ")");
    }
    lines.push_back("Total: " + std::to_string(d.opamps) + " amplificadores operacionais, " +
                    std::to_string(d.parts) + " resistores e capacitores.");
    return lines;
}

std::vector<std::string> parts_list(const Design& d, const DesignOptions& o) {
    struct Entry {
        int count = 0;
        std::string names;
    };
    std::map<std::pair<char, double>, Entry> parts;
    std::string opamp_names;
    for (const NetElement& e : d.netlist.elements) {
        if (e.kind == 'R' || e.kind == 'C') {
            Entry& x = parts[{e.kind, static_cast<double>(e.values[0])}];
            ++x.count;
            x.names += (x.names.empty() ? "" : " ") + e.name;
        } else if (e.kind == 'O' || e.kind == 'A') {
            opamp_names += (opamp_names.empty() ? "" : " ") + e.name;
        }
    }
    std::vector<std::string> lines{"* Lista de peças: " + approximation_name(d.approximation) + ", " +
                                       filter_type_name(d.requirement.type),
                                   "* tipo valor série tolerância quantidade elementos"};
    int resistors = 0, capacitors = 0;
    for (const auto& [key, x] : parts) {
        const bool r = key.first == 'R';
        (r ? resistors : capacitors) += x.count;
        const std::string series = series_name(r ? d.resistors : o.capacitors);
        const Real tol = r ? o.resistor_variability() : o.capacitor_tolerance;
        lines.push_back(std::string(1, key.first) + " " + engineering_text(key.second) + " " + series + " " +
                        short_text(100 * tol) + "% " + std::to_string(x.count) + " " + x.names);
    }
    const std::string model =
        o.opamp.ideal ? "ideal"
                      : "GB=" + short_text(o.opamp.gb) + "rad/s,Ro=" + short_text(o.opamp.ro) + "ohms";
    lines.push_back(std::string(o.opamp.ideal ? "O" : "A") + " " + model + " - - " +
                    std::to_string(d.opamps) + " " + opamp_names);
    lines.push_back("* Total: " + std::to_string(resistors) + " resistores, " + std::to_string(capacitors) +
                    " capacitores, " + std::to_string(d.opamps) + " amplificadores operacionais");
    return lines;
}

}  // namespace analysis::design
