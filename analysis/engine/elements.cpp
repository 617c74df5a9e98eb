// Element kinds, each with its stamp and its sensitivity side by side.
//
// Notation of the sensitivity formulas: x is the normal solution (node k
// at column_map[k]), w the adjoint one (node k at row_map[k]);
// Vn(a, b) = x(a) − x(b), Va(a, b) = w(a) − w(b); y is the element's
// recorded stamp. The adjoint excitation is −1 at the output, so for any
// matrix change dM the response changes by dT = wᵀ·dM·x, and for a change
// db of the sources by dT = −wᵀ·db. Each Q below is x_i·∂T/∂x_i.
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
const Element& el(const Circuit& c, int i) { return c.elements[i]; }

// value/s at the engine's frequency.
Complex over_s(const Engine& e, Real value) {
    const Real s2 = e.sigma * e.sigma + e.omega * e.omega;
    return {value * e.sigma / s2, -value * e.omega / s2};
}

// ---- R, m: resistor (m: 1/Gds of a MOSFET) ---------------------------------
void stamp_resistor(Circuit& c, Engine& e, int i) {
    stamp_admittance(c, e, i, el(c, i).node1, el(c, i).node2, {1 / el(c, i).value, 0});
}
Complex sens_resistor(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    return -mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2), Va(c, e, x.node1, x.node2));
}

// ---- a, q: Ro of an A element, hie of a Q element --------------------------
// The element before it stamps value/Ro (GB/Ro, hfe/hie), so a change of
// Ro or hie acts on both: the sensitivity is to Ro or hie itself.
Complex sens_series_part(const Circuit& c, const Engine& e, int i, Complex q_prev) {
    const Element& x = el(c, i);
    const Complex p = mul(Vn(c, e, x.node1, x.node2), Va(c, e, x.node1, x.node2));
    return -q_prev - Complex{p.re / x.value, p.im / x.value};
}

// ---- C: capacitor, y = C·s --------------------------------------------------
void stamp_capacitor(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    stamp_admittance(c, e, i, x.node1, x.node2, {x.value * e.sigma, x.value * e.omega});
}
Complex sens_capacitor(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    return mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2), Va(c, e, x.node1, x.node2));
}

// ---- L: inductor, y = 1/(L·s); sensitivity as a resistor's ---------------------
void stamp_inductor(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const Real s2 = e.sigma * e.sigma + e.omega * e.omega;
    stamp_admittance(c, e, i, x.node1, x.node2, {e.sigma / (x.value * s2), -e.omega / (x.value * s2)});
}

// ---- Z: voltage source with series resistance ---------------------------------
// Stamps 1/Rs; the v element after it carries the Norton current J = Vs/Rs.
// Rs acts on both: Q = (y·Vn(1, 2) + J)·Va(2, 1) = y·(Vs + Vn(1, 2))·Va(2, 1).
void stamp_source_resistance(Circuit& c, Engine& e, int i) { stamp_resistor(c, e, i); }
Complex sens_source_resistance(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    const Real j = (e.observer_mode || i >= c.element_count) ? 0 : el(c, i + 1).value;
    Complex current = mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2));
    current.re += j;
    return mul(current, Va(c, e, x.node2, x.node1));
}

// ---- G, M, Q: transconductance g = value; A: g = value/s ----------------------
void stamp_transconductor(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, {x.value, 0});
}
void stamp_opamp(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, over_s(e, x.value));
}
Complex sens_transconductor(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    return mul(stamp_of(c, i), Vn(c, e, x.node3, x.node4), Va(c, e, x.node1, x.node2));
}

// ---- g: common-mode companion of a G element, h = −Gc/2 ----------------------
void stamp_common_mode(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const Complex h{-x.value / 2, 0};
    stamp_transconductance(c, e, i, x.node1, 0, x.node3, 0, h);
    stamp_transconductance(c, e, i, x.node2, 0, x.node3, 0, h);
    stamp_transconductance(c, e, i, x.node1, 0, x.node4, 0, h);
    stamp_transconductance(c, e, i, x.node2, 0, x.node4, 0, h);
}
Complex sens_common_mode(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    const Complex a1 = Va(c, e, x.node1, 0), a2 = Va(c, e, x.node2, 0);
    const Complex n3 = Vn(c, e, x.node3, 0), n4 = Vn(c, e, x.node4, 0);
    return mul(stamp_of(c, i), mul(a1, n3) + mul(a1, n4) + mul(a2, n3) + mul(a2, n4));
}

// ---- H: current-controlled voltage source, y = 1/Rm ---------------------------
void stamp_ccvs(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    stamp_transconductance(c, e, i, x.node3, x.node4, x.node1, x.node2, {1 / x.value, 0});
}
Complex sens_ccvs(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    return -mul(stamp_of(c, i), Vn(c, e, x.node1, x.node2), Va(c, e, x.node3, x.node4));
}

// ---- Y: gyrator, y = 1/rg -------------------------------------------------------
void stamp_gyrator(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const Complex g{1 / x.value, 0};
    stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, g);
    stamp_transconductance(c, e, i, x.node4, x.node3, x.node1, x.node2, g);
}
Complex sens_gyrator(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    const Complex a = mul(Va(c, e, x.node3, x.node4), Vn(c, e, x.node1, x.node2));
    const Complex b = mul(Va(c, e, x.node1, x.node2), Vn(c, e, x.node3, x.node4));
    return mul(stamp_of(c, i), a - b);
}

// ---- K: mutual term of coupled inductors, y = value/s --------------------------
void stamp_coupling(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const Complex g = over_s(e, x.value);
    stamp_transconductance(c, e, i, x.node1, x.node2, x.node3, x.node4, g);
    stamp_transconductance(c, e, i, x.node3, x.node4, x.node1, x.node2, g);
}
Complex sens_coupling(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    const Complex a = mul(Vn(c, e, x.node3, x.node4), Va(c, e, x.node1, x.node2));
    const Complex b = mul(Vn(c, e, x.node1, x.node2), Va(c, e, x.node3, x.node4));
    return mul(stamp_of(c, i), a + b);
}

// ---- I, v: current source (v: Norton current of a Z element) ------------------
void stamp_current_source(Circuit& c, Engine& e, int i) {
    if (e.observer_mode) return;
    const Element& x = el(c, i);
    e.system.normal_re[c.row_map[x.node1]] -= x.value;
    e.system.normal_re[c.row_map[x.node2]] += x.value;
}
Complex sens_current_source(const Circuit& c, const Engine& e, int i, Complex) {
    if (e.observer_mode) return {};
    const Element& x = el(c, i);
    return scale(Va(c, e, x.node1, x.node2), x.value);
}

// ---- V: voltage source; its constraint row is the extra variable's -------------
void stamp_voltage_source(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const int u = c.row_map[x.extra_var];
    if (!e.observer_mode) e.system.normal_re[u] -= x.value;
    add_to_matrix(e.system, u, c.column_map[x.node1], -1, 0);
    add_to_matrix(e.system, u, c.column_map[x.node2], 1, 0);
}
Complex sens_voltage_source(const Circuit& c, const Engine& e, int i, Complex) {
    if (e.observer_mode) return {};
    const Element& x = el(c, i);
    return scale(xa(c, e, x.extra_var), x.value);
}

// ---- E: voltage-controlled voltage source, y = Av (stored by the reader) -------
void stamp_vcvs(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const int u = c.row_map[x.extra_var];
    add_to_matrix(e.system, u, c.column_map[x.node1], -1, 0);
    add_to_matrix(e.system, u, c.column_map[x.node2], 1, 0);
    add_to_matrix(e.system, u, c.column_map[x.node3], x.value, 0);
    add_to_matrix(e.system, u, c.column_map[x.node4], -x.value, 0);
}
Complex sens_vcvs(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    return mul(stamp_of(c, i), Vn(c, e, x.node3, x.node4), xa(c, e, x.extra_var));
}

// ---- F: current-controlled current source, y = Ai (stored by the reader) -------
// Its extra variable's column carries the controlling current.
void stamp_cccs(Circuit& c, Engine& e, int i) {
    const Element& x = el(c, i);
    const int col = c.column_map[x.extra_var];
    add_to_matrix(e.system, c.row_map[x.node1], col, x.value, 0);
    add_to_matrix(e.system, c.row_map[x.node2], col, -x.value, 0);
    add_to_matrix(e.system, c.row_map[x.node3], col, 1, 0);
    add_to_matrix(e.system, c.row_map[x.node4], col, -1, 0);
}
Complex sens_cccs(const Circuit& c, const Engine& e, int i, Complex) {
    const Element& x = el(c, i);
    return mul(stamp_of(c, i), xn(c, e, x.extra_var), Va(c, e, x.node1, x.node2));
}

void stamp_nothing(Circuit&, Engine&, int) {}
Complex sens_nothing(const Circuit&, const Engine&, int, Complex) { return {}; }

struct KindRule {
    void (*stamp)(Circuit&, Engine&, int);
    Complex (*sensitivity)(const Circuit&, const Engine&, int, Complex);
};

// The one dispatch on the kind letter (case-sensitive).
KindRule rule_for(char kind) {
    switch (kind) {
        case 'R': case 'm': return {stamp_resistor, sens_resistor};
        case 'a': case 'q': return {stamp_resistor, sens_series_part};
        case 'C': return {stamp_capacitor, sens_capacitor};
        case 'L': return {stamp_inductor, sens_resistor};
        case 'Z': return {stamp_source_resistance, sens_source_resistance};
        case 'G': case 'M': case 'Q': return {stamp_transconductor, sens_transconductor};
        case 'A': return {stamp_opamp, sens_transconductor};
        case 'g': return {stamp_common_mode, sens_common_mode};
        case 'H': return {stamp_ccvs, sens_ccvs};
        case 'Y': return {stamp_gyrator, sens_gyrator};
        case 'K': return {stamp_coupling, sens_coupling};
        case 'I': case 'v': return {stamp_current_source, sens_current_source};
        case 'V': return {stamp_voltage_source, sens_voltage_source};
        case 'E': return {stamp_vcvs, sens_vcvs};
        case 'F': return {stamp_cccs, sens_cccs};
        default: return {stamp_nothing, sens_nothing};
    }
}

char kind_of(const Circuit& c, int i) {
    const std::string& name = c.elements[i].name;
    return name.empty() ? '\0' : name[0];
}

}  // namespace

void stamp_element(Circuit& c, Engine& e, int i) { rule_for(kind_of(c, i)).stamp(c, e, i); }

Complex element_sensitivity(const Circuit& c, const Engine& e, int i, Complex q_prev) {
    return rule_for(kind_of(c, i)).sensitivity(c, e, i, q_prev);
}

}  // namespace analysis
