// Test helpers: a circuit read from netlist text with an engine, a sweep
// and settings beside it, and single-frequency solves.
#pragma once

#include <gtest/gtest.h>

#include <complex>
#include <memory>
#include <string>
#include <vector>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis::testing {

using C = std::complex<long double>;

inline C to_std(Complex z) { return {z.re, z.im}; }

struct Analysis {
    std::unique_ptr<Circuit> c = std::make_unique<Circuit>();
    std::unique_ptr<Engine> e = std::make_unique<Engine>();
    std::unique_ptr<Sweep> sw = std::make_unique<Sweep>();
    AnalysisSettings s;
    std::vector<std::string> lines;
    Log log = [this](const std::string& line) { lines.push_back(line); };

    Analysis() = default;
    Analysis(const Analysis&) = delete;
    Analysis& operator=(const Analysis&) = delete;

    // Reads the netlist (failing the test on a reading error), then
    // "Analisar" with the given output node when it is not 0.
    explicit Analysis(const std::string& netlist, int output = 0) {
        suite::TextScanner in(netlist);
        read_netlist(*c, in, log);
        lines.clear();
        if (output != 0) {
            EXPECT_TRUE(start_analysis(*c, *e, *sw, s, output, 1, log));
        }
    }

    // Solves at s = sigma + j·omega into point `point` (blocks prepared for
    // every element) and returns T at the output column.
    C solve(Real omega, bool normalised = true, int point = 0, Real sigma = 0) {
        if (e->block_size != c->element_count || e->block_count < point + 1)
            allocate_sensitivity_blocks(*e, c->element_count, std::max(point + 1, 2));
        e->sigma = sigma;
        e->omega = omega;
        e->normalised_sensitivities = normalised;
        e->point_index = point;
        build_and_solve(*c, *e, s.pivot_tolerance);
        return to_std(node_voltage(*c, *e, c->output_node));
    }

    C S(int point, int element) const { return to_std(sensitivity(*e, point, element)); }

    int element_named(const std::string& name) const {
        for (int i = 1; i <= c->element_count; ++i)
            if (c->elements[i].name == name) return i;
        ADD_FAILURE() << "no element " << name;
        return 0;
    }
};

// Multiplies element i's value by f, together with the values that depend
// on it: Ro and hie divide the A or Q value before them, Rs divides the
// Norton current after it.
inline void scale_element(Circuit& c, int i, long double f) {
    c.elements[i].value *= f;
    const char kind = element_kind(c, i);
    if (kind == 'a' || kind == 'q') c.elements[i - 1].value /= f;
    if (kind == 'Z') c.elements[i + 1].value /= f;
}

// Relative closeness of complex numbers, with a floor for values near zero.
inline ::testing::AssertionResult near(C got, C want, long double rel, long double floor = 1e-30L) {
    const long double scale = std::max(std::abs(want), floor);
    if (std::abs(got - want) <= rel * scale) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << (double)got.real() << ", " << (double)got.imag() << ") want (" << (double)want.real()
           << ", " << (double)want.imag() << ") rel error " << (double)(std::abs(got - want) / scale);
}

}  // namespace analysis::testing
