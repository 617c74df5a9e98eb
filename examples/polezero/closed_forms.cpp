// Poles and zeros of example circuits from their transfer functions,
// written out as polynomials in s from the element values of each netlist.
//
//   closed_forms EXAMPLES_DIR
//
// For each circuit it reads the element values from EXAMPLES_DIR/NAME.net,
// forms the numerator and the denominator of the response at the circuit's
// output node, finds their roots and writes NAME.r (poles) and, where the
// response has zeros away from s = 0, NAME.zN (zeros at output node N), in
// rad/s. Quadratics are solved in closed form; higher degrees by
// simultaneous iteration, polished by Newton steps, all in long double.
#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Real = long double;
using Cx = std::complex<Real>;
using Poly = std::vector<Real>;  // coefficient of s^k at index k

Poly operator*(const Poly& a, const Poly& b) {
    Poly r(a.size() + b.size() - 1, 0);
    for (std::size_t i = 0; i < a.size(); ++i)
        for (std::size_t j = 0; j < b.size(); ++j) r[i + j] += a[i] * b[j];
    return r;
}

Poly operator+(const Poly& a, const Poly& b) {
    Poly r(std::max(a.size(), b.size()), 0);
    for (std::size_t i = 0; i < a.size(); ++i) r[i] += a[i];
    for (std::size_t i = 0; i < b.size(); ++i) r[i] += b[i];
    return r;
}

Cx evaluate(const Poly& p, Cx s) {
    Cx v = 0;
    for (std::size_t k = p.size(); k-- > 0;) v = v * s + p[k];
    return v;
}

Cx derivative(const Poly& p, Cx s) {
    Cx v = 0;
    for (std::size_t k = p.size(); k-- > 1;) v = v * s + Real(k) * p[k];
    return v;
}

// Roots of p, in conjugate pairs (positive imaginary part first), real
// roots after them; the polynomial is scaled by `unit` (a typical
// frequency) while iterating.
std::vector<Cx> roots(Poly p, Real unit) {
    while (!p.empty() && p.back() == 0) p.pop_back();
    const std::size_t n = p.size() - 1;
    std::vector<Cx> r;
    if (n == 2) {
        const Real a = p[2], b = p[1], c = p[0];
        const Real d = b * b - 4 * a * c;
        if (d < 0) {
            r = {Cx(-b / (2 * a), std::sqrt(-d) / (2 * a)), Cx(-b / (2 * a), -std::sqrt(-d) / (2 * a))};
        } else {
            r = {Cx((-b - std::sqrt(d)) / (2 * a), 0), Cx((-b + std::sqrt(d)) / (2 * a), 0)};
        }
        return r;
    }
    Poly q(p.size());
    for (std::size_t k = 0; k <= n; ++k)
        q[k] = p[k] * std::pow(unit, Real(k)) / (p[n] * std::pow(unit, Real(n)));
    for (std::size_t k = 0; k < n; ++k) r.push_back(std::pow(Cx(0.4L, 0.9L), Real(k)));
    for (int it = 0; it < 2000; ++it) {
        for (std::size_t i = 0; i < n; ++i) {
            Cx den = 1;
            for (std::size_t j = 0; j < n; ++j)
                if (j != i) den *= r[i] - r[j];
            r[i] -= evaluate(q, r[i]) / den;
        }
    }
    for (Cx& x : r) {
        x *= unit;
        for (int it = 0; it < 8; ++it) {
            const Cx d = derivative(p, x);
            if (std::abs(d) == 0) break;
            x -= evaluate(p, x) / d;
        }
        if (std::fabs(x.imag()) < 1e-12L * std::abs(x)) x = Cx(x.real(), 0);
    }
    std::sort(r.begin(), r.end(), [](Cx a, Cx b) {
        if ((a.imag() == 0) != (b.imag() == 0)) return a.imag() != 0;
        if (std::fabs(a.imag()) != std::fabs(b.imag())) return std::fabs(a.imag()) < std::fabs(b.imag());
        return a.imag() > b.imag();
    });
    return r;
}

// Element values of a netlist: field `index` (1 = first node) of the
// first line whose name is `name`.
class Netlist {
public:
    explicit Netlist(const std::string& path) : path_(path) {
        std::ifstream in(path);
        if (!in) throw std::runtime_error("cannot open " + path);
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream fields(line);
            std::string name;
            fields >> name;
            std::vector<std::string> rest;
            for (std::string f; fields >> f;) rest.push_back(f);
            if (!name.empty() && !lines_.count(name)) lines_[name] = rest;
        }
    }
    Real value(const std::string& name, std::size_t index) const {
        const auto it = lines_.find(name);
        if (it == lines_.end() || index < 1 || index > it->second.size())
            throw std::runtime_error(path_ + ": no field " + std::to_string(index) + " of " + name);
        return std::stold(it->second[index - 1]);
    }
    Real two_terminal(const std::string& name) const { return value(name, 3); }

private:
    std::string path_;
    std::map<std::string, std::vector<std::string>> lines_;
};

void write_points(const std::string& path, const std::vector<Cx>& points, const std::string& origin) {
    std::ofstream out(path, std::ios::binary);
    char buf[128];
    out << points.size() << "\r\n";
    for (const Cx& p : points) {
        // Adding 0 turns a negative zero into a plain one.
        std::snprintf(buf, sizeof buf, "%.19Lg %.19Lg", p.real() + 0.0L, p.imag() + 0.0L);
        out << buf << "\r\n";
    }
    out << "* " << origin << "\r\n";
    if (!out) throw std::runtime_error("cannot write " + path);
    std::cout << path << ": " << points.size() << " entries\n";
}

struct Rational {
    Poly num;
    Poly den;
};

// Doubly terminated ladder: V4/V1 from the chain matrix of RS, C1,
// L2||C2, C3, L4||C4, C5||RL, each series arm scaled by its denominator.
Rational elliptic_ladder(const Netlist& n) {
    const Real rs = n.two_terminal("RS"), c1 = n.two_terminal("C1"), l2 = n.two_terminal("L2"),
               c2 = n.two_terminal("C2"), c3 = n.two_terminal("C3"), l4 = n.two_terminal("L4"),
               c4 = n.two_terminal("C4"), c5 = n.two_terminal("C5"), rl = n.two_terminal("RL");
    using M = std::array<Poly, 4>;  // a b / c d
    const auto mul = [](const M& x, const M& y) {
        return M{x[0] * y[0] + x[1] * y[2], x[0] * y[1] + x[1] * y[3], x[2] * y[0] + x[3] * y[2],
                 x[2] * y[1] + x[3] * y[3]};
    };
    const auto series_r = [](Real r) { return M{Poly{1}, Poly{r}, Poly{0}, Poly{1}}; };
    const auto shunt = [](Poly y) { return M{Poly{1}, Poly{0}, y, Poly{1}}; };
    const auto tank = [](Real l, Real c) {  // series arm sL/(1 + s²LC), scaled by 1 + s²LC
        const Poly d{1, 0, l * c};
        return M{d, Poly{0, l}, Poly{0}, d};
    };
    M m = series_r(rs);
    m = mul(m, shunt(Poly{0, c1}));
    m = mul(m, tank(l2, c2));
    m = mul(m, shunt(Poly{0, c3}));
    m = mul(m, tank(l4, c4));
    m = mul(m, shunt(Poly{1 / rl, c5}));
    return {Poly{1, 0, l2 * c2} * Poly{1, 0, l4 * c4}, m[0]};
}

// Line with a series R-L-C trap to ground, driven by a Norton source:
// V1 = J / (G + 1/Zt), Zt = R2 + sL + 1/(sC), G = 1/Rs + 1/RL.
Rational lc_notch(const Netlist& n) {
    const Real rs = n.value("Z1", 3), r2 = n.two_terminal("R2"), l = n.two_terminal("L1"),
               c = n.two_terminal("C1"), rl = n.two_terminal("RL");
    const Real g = 1 / rs + 1 / rl;
    const Poly zt{1, r2 * c, l * c};  // s·C·Zt
    return {zt, zt * Poly{g} + Poly{0, c}};
}

// Tow-Thomas: V3 = -V1·(s/(RIN·C1))/D, D = s² + s/(RQ·C1) + k/(R2·R3·C1·C2),
// k = R5/R4; the summer: V9 = -RF·(V1/RA + V3/RB).
Poly tow_thomas_denominator(const Netlist& n) {
    const Real rq = n.two_terminal("RQ"), c1 = n.two_terminal("C1"), r2 = n.two_terminal("R2"),
               r3 = n.two_terminal("R3"), c2 = n.two_terminal("C2"),
               k = n.two_terminal("R5") / n.two_terminal("R4");
    return Poly{k / (r2 * r3 * c1 * c2), 1 / (rq * c1), 1};
}

Rational tow_thomas_notch(const Netlist& n) {
    const Real rin = n.two_terminal("RIN"), c1 = n.two_terminal("C1"), ra = n.two_terminal("RA"),
               rb = n.two_terminal("RB");
    const Poly d = tow_thomas_denominator(n);
    return {d + Poly{0, -ra / (rb * rin * c1)}, d};
}

// Gyrator-simulated inductor L = rg²·CL in parallel with C1, fed through R1:
// poles of s² + s/(R1·C1) + 1/(L·C1).
Poly gyrator_bandpass(const Netlist& n) {
    const Real r1 = n.two_terminal("R1"), c1 = n.two_terminal("C1"), rg = n.value("Y1", 5),
               cl = n.two_terminal("CL");
    const Real l = rg * rg * cl;
    return Poly{1 / (l * c1), 1 / (r1 * c1), 1};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: closed_forms EXAMPLES_DIR\n";
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    const Real unit = 6283.185307179586L;  // the examples sit near 1 kHz
    try {
        const Netlist ladder(dir + "elliptic-ladder.net");
        const Rational e = elliptic_ladder(ladder);
        write_points(dir + "elliptic-ladder.r", roots(e.den, unit), "poles of elliptic-ladder, rad/s");
        write_points(dir + "elliptic-ladder.z4", roots(e.num, unit),
                     "zeros at node 4 of elliptic-ladder, rad/s");

        const Netlist notch(dir + "lc-notch.net");
        const Rational l = lc_notch(notch);
        write_points(dir + "lc-notch.r", roots(l.den, unit), "poles of lc-notch, rad/s");
        write_points(dir + "lc-notch.z1", roots(l.num, unit), "zeros at node 1 of lc-notch, rad/s");

        const Netlist tt(dir + "tow-thomas-notch.net");
        const Rational t = tow_thomas_notch(tt);
        write_points(dir + "tow-thomas-notch.r", roots(t.den, unit), "poles of tow-thomas-notch, rad/s");
        write_points(dir + "tow-thomas-notch.z9", roots(t.num, unit),
                     "zeros at node 9 of tow-thomas-notch, rad/s");

        const Netlist biquad(dir + "tow-thomas-biquad.net");
        write_points(dir + "tow-thomas-biquad.r", roots(tow_thomas_denominator(biquad), unit),
                     "poles of tow-thomas-biquad, rad/s");

        const Netlist gyrator(dir + "gyrator-bandpass.net");
        write_points(dir + "gyrator-bandpass.r", roots(gyrator_bandpass(gyrator), unit),
                     "poles of gyrator-bandpass, rad/s");
    } catch (const std::exception& e) {
        std::cerr << "closed_forms: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
