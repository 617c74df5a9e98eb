// Element kinds, each with its stamp and its sensitivity side by side.
//
// Notation of the sensitivity formulas: x is the normal solution (node k
// at column_map[k]), w the adjoint one (node k at row_map[k]);
// Vn(a, b) = x(a) − x(b), Va(a, b) = w(a) − w(b); y is the element's
// recorded stamp. The adjoint excitation is −1 at the output, so for any
// matrix change dM the response changes by dT = wᵀ·dM·x, and for a change
// db of the sources by dT = −wᵀ·db. Each Q below is x_i·∂T/∂x_i.
//
// Each kind's weight of a node p is Σ_r w_r·∂(row r)/∂V(p) over its own
// stamps: the response to a unit voltage added in series between node p
// and the element (the noise voltage of an ideal op-amp's input drives
// every element at that input node but the op-amp this way). With
// d(p, a, b) = [p = a] − [p = b]: an admittance y from a to b weighs
// d(p, a, b)·y·Va(a, b); a transconductance g from a to b controlled by
// (cn, dn) weighs d(p, cn, dn)·g·Va(a, b); a constraint row u weighs its
// coefficient of V(p) times w(u).
#include "analysis/engine/elements.h"

#include "common/errors.h"

namespace analysis {
namespace {

Complex xn(const Circuit& c, const Engine& e, int k) {
    const int col = c.column_map[k];
    return {e.system.normal_re[col], e.system.normal_im[col]};
}
Complex xa(const Circuit& c, const Engine& e, int k) {
    const int row = c.row_map[k];
    return {e.system.adjoint_re[row], e.system.adjoint_im[row]};
}
Complex Vn(const Circuit& c, const Engine& e, int a, int b) { return xn(c, e, a) - xn(c, e, b); }
Complex Va(const Circuit& c, const Engine& e, int a, int b) { return xa(c, e, a) - xa(c, e, b); }
Complex mul(Complex a, Complex b) { return complex_multiply(a, b); }
Complex mul(Complex a, Complex b, Complex d) { return complex_multiply(complex_multiply(a, b), d); }

Complex stamp_of(const Circuit& c, int i) { return {c.stamp_re[i], c.stamp_im[i]}; }

Real d(int p, int a, int b) { return static_cast<Real>((p == a) - (p == b)); }
const Element& el(const Circuit& c, int i) { return c.elements[i]; }

// value/s at the engine's frequency.
Complex over_s(const Engine& e, Real value) {
    const Real s2 = e.sigma * e.sigma + e.omega * e.omega;
    return {value * e.sigma / s2, -value * e.omega / s2};
}

// ---- R, m: resistor (m: 1/Gds of a MOSFET) ---------------------------------
struct Resistor {
    static void stamp(Circuit& c, Engine& e, int i) {
        stamp_admittance(c, e, i, el(c, i).node1, el(c, i).node2, {1 / el(c, i).value, 0});
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        return -mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2), Va(c, e, x.node1, x.node2));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        return scale(mul(stamp_of(c, i), Va(c, e, x.node1, x.node2)), d(p, x.node1, x.node2));
    }
};

// ---- a, q: Ro of an A element, hie of a Q element --------------------------
// The element before it stamps value/Ro (GB/Ro, hfe/hie), so a change of
// Ro or hie acts on both: the sensitivity is to Ro or hie itself.
struct SeriesPart {
    static void stamp(Circuit& c, Engine& e, int i) { Resistor::stamp(c, e, i); }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex q_prev) {
        const Element& x = el(c, i);
        const Complex p = mul(Vn(c, e, x.node1, x.node2), Va(c, e, x.node1, x.node2));
        return -q_prev - Complex{p.re / x.value, p.im / x.value};
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        return Resistor::node_weight(c, e, i, p);
    }
};

// ---- C: capacitor, y = C·s --------------------------------------------------
struct Capacitor {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        stamp_admittance(c, e, i, x.node1, x.node2, {x.value * e.sigma, x.value * e.omega});
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        return mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2), Va(c, e, x.node1, x.node2));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        return Resistor::node_weight(c, e, i, p);
    }
};

// ---- L: inductor, y = 1/(L·s); sensitivity as a resistor's ---------------------
struct Inductor {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const Real s2 = e.sigma * e.sigma + e.omega * e.omega;
        stamp_admittance(c, e, i, x.node1, x.node2, {e.sigma / (x.value * s2), -e.omega / (x.value * s2)});
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex q) {
        return Resistor::sensitivity(c, e, i, q);
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        return Resistor::node_weight(c, e, i, p);
    }
};

// ---- Z: voltage source with series resistance ---------------------------------
// Stamps 1/Rs; the v element after it carries the Norton current J = Vs/Rs.
// Rs acts on both: Q = (y·Vn(1, 2) + J)·Va(2, 1) = y·(Vs + Vn(1, 2))·Va(2, 1).
struct SourceResistance {
    static void stamp(Circuit& c, Engine& e, int i) { Resistor::stamp(c, e, i); }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        const Real j = (e.observer_mode || i >= c.element_count) ? 0 : el(c, i + 1).value;
        Complex current = mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2));
        current.re += j;
        return mul(current, Va(c, e, x.node2, x.node1));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        return Resistor::node_weight(c, e, i, p);
    }
};

// ---- G, M, Q: transconductance g = value ---------------------------------------
struct Transconductor {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, {x.value, 0});
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        return mul(stamp_of(c, i), Vn(c, e, x.node3, x.node4), Va(c, e, x.node1, x.node2));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        return scale(mul(stamp_of(c, i), Va(c, e, x.node1, x.node2)), d(p, x.node3, x.node4));
    }
};

// ---- A: op-amp, transconductance g = value/s (value = GB/Ro) --------------------
struct OpAmp {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, over_s(e, x.value));
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex q) {
        return Transconductor::sensitivity(c, e, i, q);
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        return Transconductor::node_weight(c, e, i, p);
    }
};

// ---- g: common-mode companion of a G element, h = −Gc/2 ----------------------
struct CommonMode {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const Complex h{-x.value / 2, 0};
        stamp_transconductance(c, e, i, x.node1, 0, x.node3, 0, h);
        stamp_transconductance(c, e, i, x.node2, 0, x.node3, 0, h);
        stamp_transconductance(c, e, i, x.node1, 0, x.node4, 0, h);
        stamp_transconductance(c, e, i, x.node2, 0, x.node4, 0, h);
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        const Complex a1 = Va(c, e, x.node1, 0), a2 = Va(c, e, x.node2, 0);
        const Complex n3 = Vn(c, e, x.node3, 0), n4 = Vn(c, e, x.node4, 0);
        return mul(stamp_of(c, i), mul(a1, n3) + mul(a1, n4) + mul(a2, n3) + mul(a2, n4));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        const Real k = static_cast<Real>((p == x.node3) + (p == x.node4));
        return scale(mul(stamp_of(c, i), Va(c, e, x.node1, 0) + Va(c, e, x.node2, 0)), k);
    }
};

// ---- H: current-controlled voltage source, y = 1/Rm ---------------------------
struct Ccvs {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        stamp_transconductance(c, e, i, x.node3, x.node4, x.node1, x.node2, {1 / x.value, 0});
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        return -mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2), Va(c, e, x.node3, x.node4));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        return scale(mul(stamp_of(c, i), Va(c, e, x.node3, x.node4)), d(p, x.node1, x.node2));
    }
};

// ---- Y: gyrator, y = 1/rg -------------------------------------------------------
struct Gyrator {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const Complex g{1 / x.value, 0};
        stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, g);
        stamp_transconductance(c, e, i, x.node4, x.node3, x.node1, x.node2, g);
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        const Complex a = mul(Va(c, e, x.node3, x.node4), Vn(c, e, x.node1, x.node2));
        const Complex b = mul(Va(c, e, x.node1, x.node2), Vn(c, e, x.node3, x.node4));
        return mul(stamp_of(c, i), a - b);
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        const Complex a = scale(Va(c, e, x.node1, x.node2), d(p, x.node3, x.node4));
        const Complex b = scale(Va(c, e, x.node4, x.node3), d(p, x.node1, x.node2));
        return mul(stamp_of(c, i), a + b);
    }
};

// ---- K: mutual term of coupled inductors, y = value/s --------------------------
struct Coupling {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const Complex g = over_s(e, x.value);
        stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, g);
        stamp_transconductance(c, e, i, x.node3, x.node4, x.node1, x.node2, g);
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        const Complex a = mul(Vn(c, e, x.node3, x.node4), Va(c, e, x.node1, x.node2));
        const Complex b = mul(Vn(c, e, x.node1, x.node2), Va(c, e, x.node3, x.node4));
        return mul(stamp_of(c, i), a + b);
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        const Complex a = scale(Va(c, e, x.node1, x.node2), d(p, x.node3, x.node4));
        const Complex b = scale(Va(c, e, x.node3, x.node4), d(p, x.node1, x.node2));
        return mul(stamp_of(c, i), a + b);
    }
};

// ---- I, v: current source (v: Norton current of a Z element) ------------------
struct CurrentSource {
    static void stamp(Circuit& c, Engine& e, int i) {
        if (e.observer_mode) return;
        const Element& x = el(c, i);
        e.system.normal_re[c.row_map[x.node1]] -= x.value;
        e.system.normal_re[c.row_map[x.node2]] += x.value;
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        if (e.observer_mode) return {};
        const Element& x = el(c, i);
        return scale(Va(c, e, x.node1, x.node2), x.value);
    }
    static Complex node_weight(const Circuit&, const Engine&, int, int) { return {}; }
};

// ---- V: voltage source; its constraint row is the extra variable's -------------
struct VoltageSource {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const int u = c.row_map[x.extra_var];
        if (!e.observer_mode) e.system.normal_re[u] -= x.value;
        add_to_matrix(e.system, u, c.column_map[x.node1], -1, 0);
        add_to_matrix(e.system, u, c.column_map[x.node2], 1, 0);
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        if (e.observer_mode) return {};
        const Element& x = el(c, i);
        return scale(xa(c, e, x.extra_var), x.value);
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        return scale(xa(c, e, x.extra_var), -d(p, x.node1, x.node2));
    }
};

// ---- E: voltage-controlled voltage source, y = Av (stored by the reader) -------
struct Vcvs {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const int u = c.row_map[x.extra_var];
        add_to_matrix(e.system, u, c.column_map[x.node1], -1, 0);
        add_to_matrix(e.system, u, c.column_map[x.node2], 1, 0);
        add_to_matrix(e.system, u, c.column_map[x.node3], x.value, 0);
        add_to_matrix(e.system, u, c.column_map[x.node4], -x.value, 0);
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        return mul(stamp_of(c, i), Vn(c, e, x.node3, x.node4), xa(c, e, x.extra_var));
    }
    static Complex node_weight(const Circuit& c, const Engine& e, int i, int p) {
        const Element& x = el(c, i);
        return scale(xa(c, e, x.extra_var), x.value * d(p, x.node3, x.node4) - d(p, x.node1, x.node2));
    }
};

// ---- F: current-controlled current source, y = Ai (stored by the reader) -------
// Its extra variable's column carries the controlling current.
struct Cccs {
    static void stamp(Circuit& c, Engine& e, int i) {
        const Element& x = el(c, i);
        const int col = c.column_map[x.extra_var];
        add_to_matrix(e.system, c.row_map[x.node1], col, x.value, 0);
        add_to_matrix(e.system, c.row_map[x.node2], col, -x.value, 0);
        add_to_matrix(e.system, c.row_map[x.node3], col, 1, 0);
        add_to_matrix(e.system, c.row_map[x.node4], col, -1, 0);
    }
    static Complex sensitivity(const Circuit& c, const Engine& e, int i, Complex) {
        const Element& x = el(c, i);
        return mul(stamp_of(c, i), xn(c, e, x.extra_var), Va(c, e, x.node1, x.node2));
    }
    static Complex node_weight(const Circuit&, const Engine&, int, int) { return {}; }
};

// ---- any other kind: nothing -----------------------------------------------------
struct NoElement {
    static void stamp(Circuit&, Engine&, int) {}
    static Complex sensitivity(const Circuit&, const Engine&, int, Complex) { return {}; }
    static Complex node_weight(const Circuit&, const Engine&, int, int) { return {}; }
};

// The one dispatch on the kind letter (case-sensitive): calls `act` with
// the kind's rules.
template <class Act>
inline auto dispatch(char kind, Act&& act) {
    switch (kind) {
        case 'R':
        case 'm':
            return act(Resistor{});
        case 'a':
        case 'q':
            return act(SeriesPart{});
        case 'C':
            return act(Capacitor{});
        case 'L':
            return act(Inductor{});
        case 'Z':
            return act(SourceResistance{});
        case 'G':
        case 'M':
        case 'Q':
            return act(Transconductor{});
        case 'A':
            return act(OpAmp{});
        case 'g':
            return act(CommonMode{});
        case 'H':
            return act(Ccvs{});
        case 'Y':
            return act(Gyrator{});
        case 'K':
            return act(Coupling{});
        case 'I':
        case 'v':
            return act(CurrentSource{});
        case 'V':
            return act(VoltageSource{});
        case 'E':
            return act(Vcvs{});
        case 'F':
            return act(Cccs{});
        default:
            return act(NoElement{});
    }
}

char kind_of(const Circuit& c, int i) { return element_kind(c, i); }

}  // namespace

void stamp_listed(Circuit& c, Engine& e, const std::vector<int>& elements) {
    for (const int i : elements)
        dispatch(kind_of(c, i), [&](auto rules) { decltype(rules)::stamp(c, e, i); });
}

void stamp_elements(Circuit& c, Engine& e, StampSet set) {
    for (int i = 1; i <= c.element_count; ++i) {
        const char kind = kind_of(c, i);
        if (set == StampSet::fixed && varies_with_frequency(kind)) continue;
        dispatch(kind, [&](auto rules) { decltype(rules)::stamp(c, e, i); });
    }
}

Complex store_sensitivities(const Circuit& c, Engine& e, Complex t) {
    const std::size_t base = static_cast<std::size_t>(e.point_index) * static_cast<std::size_t>(e.block_size);
    const Real t_norm = t.re * t.re + t.im * t.im;
    Complex q_prev, sum;
    for (int i = 1; i <= c.element_count; ++i) {
        const char kind = kind_of(c, i);
        const Complex q =
            dispatch(kind, [&](auto rules) { return decltype(rules)::sensitivity(c, e, i, q_prev); });
        const Complex s = e.normalised_sensitivities ? complex_divide(q, t, t_norm) : q;
        e.sens_re[base + static_cast<std::size_t>(i - 1)] = s.re;
        e.sens_im[base + static_cast<std::size_t>(i - 1)] = s.im;
        const int sign = frequency_scaling_sign(kind);  // Σ as sum_frequency_sensitivity forms it
        if (sign > 0)
            sum = sum + s;
        else if (sign < 0)
            sum = sum - s;
        q_prev = q;
    }
    return sum;
}

Complex node_weight(const Circuit& c, const Engine& e, int p, const std::vector<int>& elements) {
    Complex sum;
    for (const int i : elements)
        sum = sum +
              dispatch(kind_of(c, i), [&](auto rules) { return decltype(rules)::node_weight(c, e, i, p); });
    return sum;
}

Complex node_weight(const Circuit& c, const Engine& e, int p) {
    Complex sum;
    for (int i = 1; i <= c.element_count; ++i)
        sum = sum +
              dispatch(kind_of(c, i), [&](auto rules) { return decltype(rules)::node_weight(c, e, i, p); });
    return sum;
}

}  // namespace analysis
