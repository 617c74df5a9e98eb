// Circuits of the pole and zero finder's benchmark, as netlists, with the
// poles their design gives in closed form.
#pragma once

#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace bench {

using Real = long double;
using Pole = std::complex<Real>;

inline std::string value_text(Real x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.21Lg", x);
    return buf;
}

// Doubly terminated Butterworth LC ladder of order n (even), 1 kohm at both
// ends, cut-off w0 rad/s: shunt C_k at odd k, series L_k at even k, with
// the prototype values g_k = 2·sin((2k - 1)·π/(2n)). Output: the load.
inline std::string butterworth_ladder_netlist(int n, Real w0) {
    const Real r0 = 1000;
    const int nodes = n / 2 + 2;
    std::string s = std::to_string(nodes) + "\n* Butterworth LC ladder, order " + std::to_string(n) +
                    "\nV1 1 0 1\nRS 1 2 1E3\n";
    int node = 2;
    for (int k = 1; k <= n; ++k) {
        const Real g = 2 * std::sin((2 * k - 1) * std::numbers::pi_v<Real> / (2 * n));
        if (k % 2 == 1) {
            s += "C" + std::to_string(k) + " " + std::to_string(node) + " 0 " + value_text(g / (r0 * w0)) +
                 "\n";
        } else {
            s += "L" + std::to_string(k) + " " + std::to_string(node) + " " + std::to_string(node + 1) + " " +
                 value_text(g * r0 / w0) + "\n";
            ++node;
        }
    }
    s += "RL " + std::to_string(node) + " 0 1E3\n";
    return s;
}

// Its poles: w0·e^{jπ(2k + n - 1)/(2n)}, k = 1..n.
inline std::vector<Pole> butterworth_poles(int n, Real w0) {
    std::vector<Pole> p;
    for (int k = 1; k <= n; ++k)
        p.push_back(std::polar(w0, (2 * k + n - 1) * std::numbers::pi_v<Real> / (2 * n)));
    return p;
}

// Section k of the cascade: natural frequency and Q.
inline Real biquad_w0(int k) { return std::pow(Real(10), Real(4) * k / 9); }  // 1 to 1e4 rad/s
inline Real biquad_q(int k) {
    static const Real q[] = {0.7L, 1, 2, 5};
    return q[k % 4];
}

// Ten Tow-Thomas biquads with ideal op-amps in cascade (each low-pass output
// drives the next input), natural frequencies from 1 to 1e4 rad/s: 10 kohm
// resistors, C = 1/(w0·10 kohm), RQ = RIN = Q·10 kohm. Output: the last
// low-pass. Section k uses nodes 6k - 4 .. 6k + 1. With `identical`, every
// section is the one at 1e4·(4/9) rad/s and Q 1, a tenfold pair of poles.
inline int biquad_section(int k, bool identical) { return identical ? 1 : k; }
inline std::string biquad_cascade_netlist(bool identical = false) {
    std::string s = std::string("61\n* ten Tow-Thomas biquads, ") +
                    (identical ? "identical" : "1 to 1e4 rad/s") + "\nV1 1 0 1\n";
    for (int j = 0; j < 10; ++j) {
        const int k = biquad_section(j, identical);
        const int b = 6 * (j + 1);
        auto n = [&](int i) { return std::to_string(b + i - 6); };  // n(2) .. n(7)
        const std::string in = j == 0 ? "1" : std::to_string(b - 7);
        const std::string c = value_text(1 / (biquad_w0(k) * 1e4L)), rq = value_text(biquad_q(k) * 1e4L);
        const std::string id = std::to_string(j);
        s += "RI" + id + " " + in + " " + n(2) + " " + rq + "\n";
        s += "RQ" + id + " " + n(2) + " " + n(3) + " " + rq + "\n";
        s += "CA" + id + " " + n(2) + " " + n(3) + " " + c + "\n";
        s += "R3" + id + " " + n(7) + " " + n(2) + " 1E4\n";
        s += "OA" + id + " " + n(2) + " 0 " + n(3) + "\n";
        s += "R2" + id + " " + n(3) + " " + n(4) + " 1E4\n";
        s += "CB" + id + " " + n(4) + " " + n(5) + " " + c + "\n";
        s += "OB" + id + " " + n(4) + " 0 " + n(5) + "\n";
        s += "R4" + id + " " + n(5) + " " + n(6) + " 1E4\n";
        s += "R5" + id + " " + n(6) + " " + n(7) + " 1E4\n";
        s += "OC" + id + " " + n(6) + " 0 " + n(7) + "\n";
    }
    return s;
}

// Its poles: the roots of s² + s·w0/Q + w0² of every section.
inline std::vector<Pole> biquad_cascade_poles(bool identical = false) {
    std::vector<Pole> p;
    for (int j = 0; j < 10; ++j) {
        const int k = biquad_section(j, identical);
        const Real w = biquad_w0(k), q = biquad_q(k);
        const Real re = -w / (2 * q), im = w * std::sqrt(1 - 1 / (4 * q * q));
        p.push_back({re, im});
        p.push_back({re, -im});
    }
    return p;
}

// The poles of the 99-section RC ladder of ladder_circuits.h (1 kohm,
// 1 nF, driven by a source, far end open), 249 rad/s to 4e6 rad/s:
// -(1/RC)·4·sin²((2k - 1)π/398), k = 1..99.
inline std::vector<Pole> rc_ladder_poles() {
    std::vector<Pole> p;
    for (int k = 1; k <= 99; ++k) {
        const Real x = std::sin((2 * k - 1) * std::numbers::pi_v<Real> / 398);
        p.push_back({-4e6L * x * x, 0});
    }
    return p;
}

}  // namespace bench
