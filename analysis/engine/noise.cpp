// The noise sources of a circuit and their powers at the output.
#include "analysis/engine/noise.h"

#include <cctype>

#include "analysis/engine/elements.h"

namespace analysis {
namespace {

std::string upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

OpAmpNoise opamp_noise(const NoiseSettings& s, const std::string& name) {
    for (const auto& [n, v] : s.named)
        if (upper(n) == name) return v;
    return s.opamps;
}

Real norm(Complex z) { return z.re * z.re + z.im * z.im; }

// w at node k's row (0 for ground), as adjoint_voltage gives it, inline.
Complex adjoint(const Circuit& c, const Engine& e, int k) {
    const int row = c.row_map[k];
    return {e.system.adjoint_re[row], e.system.adjoint_im[row]};
}

// The elements with a node at p.
std::vector<int> elements_at(const Circuit& c, int p) {
    std::vector<int> at;
    for (int i = 1; i <= c.element_count; ++i) {
        const Element& x = c.elements[i];
        if (x.node1 == p || x.node2 == p || x.node3 == p || x.node4 == p) at.push_back(i);
    }
    return at;
}

}  // namespace

std::vector<NoiseSource> noise_sources(const Circuit& c, const NoiseSettings& s) {
    const Real kt4 = 4 * boltzmann * (s.celsius + zero_celsius);
    std::vector<NoiseSource> out;
    auto opamp = [&](const std::string& name, int index, bool ideal, int minus, int plus) {
        const OpAmpNoise n = opamp_noise(s, name);
        if (n.en != 0) {
            NoiseSource v{name, NoiseKind::opamp_voltage, index, ideal, n.en * n.en, {}};
            const int p = plus != 0 ? plus : minus;
            if (ideal && p != 0) v.attached = elements_at(c, p);
            out.push_back(v);
        }
        if (n.in == 0) return;
        if (minus != 0) out.push_back({name, NoiseKind::opamp_current_minus, index, ideal, n.in * n.in, {}});
        if (plus != 0) out.push_back({name, NoiseKind::opamp_current_plus, index, ideal, n.in * n.in, {}});
    };
    for (int i = 1; i <= c.element_count; ++i) {
        const Element& x = c.elements[i];
        const char k = element_kind(c, i);
        const ElementKind& kind = element_kind_of(k);
        if (kind.thermal_noise && x.value != 0)
            out.push_back({x.name, NoiseKind::resistor, i, false, kt4 / x.value, {}});
        if (kind.opamp) opamp(x.name, i, false, x.node3, x.node4);
    }
    for (int j = 1; j <= c.ideal_opamp_count; ++j) {
        const IdealOpAmp& o = c.ideal_opamps[j];
        opamp(o.name, j, true, o.in_minus, o.in_plus);
    }
    return out;
}

std::string unknown_noise_name(const Circuit& c, const NoiseSettings& s) {
    for (const auto& [n, v] : s.named) {
        const std::string name = upper(n);
        bool found = false;
        for (int i = 1; i <= c.element_count && !found; ++i)
            found = element_kind_of(element_kind(c, i)).opamp && c.elements[i].name == name;
        for (int j = 1; j <= c.ideal_opamp_count && !found; ++j) found = c.ideal_opamps[j].name == name;
        if (!found) return n;
    }
    return {};
}

Real noise_powers(const Circuit& c, const Engine& e, const std::vector<NoiseSource>& sources, Real* out) {
    Real total = 0;
    for (std::size_t k = 0; k < sources.size(); ++k) {
        const NoiseSource& s = sources[k];
        Complex h;
        if (s.kind == NoiseKind::resistor) {
            const Element& x = c.elements[s.element];
            h = adjoint(c, e, x.node1) - adjoint(c, e, x.node2);
        } else if (!s.ideal) {
            // A: out node1/node2, inputs node3 (−) and node4 (+), transconductance y.
            const Element& x = c.elements[s.element];
            if (s.kind == NoiseKind::opamp_voltage)
                h = complex_multiply({c.stamp_re[s.element], c.stamp_im[s.element]},
                                     adjoint(c, e, x.node1) - adjoint(c, e, x.node2));
            else
                h = adjoint(c, e, s.kind == NoiseKind::opamp_current_minus ? x.node3 : x.node4);
        } else {
            const IdealOpAmp& o = c.ideal_opamps[s.element];
            if (s.kind == NoiseKind::opamp_voltage) {
                const int p = o.in_plus != 0 ? o.in_plus : o.in_minus;
                if (p != 0) h = node_weight(c, e, p, s.attached);
            } else {
                h = adjoint(c, e, s.kind == NoiseKind::opamp_current_minus ? o.in_minus : o.in_plus);
            }
        }
        out[k] = s.density * norm(h);
        total += out[k];
    }
    return total;
}

}  // namespace analysis
