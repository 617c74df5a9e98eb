// Test helper: a circuit read, analysed and swept for the tolerance tests,
// the number of dB per neper of module, and the normal distribution.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/engine/engine_testing.h"

namespace analysis::testing {

constexpr long double db = 8.68588963806502L;  // 20/ln 10

inline long double phi(long double x) { return std::erfc(-x / std::sqrt(2.0L)) / 2; }

struct SweptCircuit {
    Analysis a;
    SweptCircuit(const std::string& netlist, int output, Real fmin, Real fmax, int segments, bool hz = false)
        : a(netlist) {
        a.c->segments = segments;
        a.sw->hertz_units = hz;
        a.sw->scale_min[q_frequency] = fmin;
        a.sw->scale_max[q_frequency] = fmax;
        EXPECT_TRUE(start_analysis(*a.c, *a.e, *a.sw, a.s, output, 1, a.log));
        EXPECT_TRUE(sweep(*a.c, *a.e, *a.sw, a.s, a.log));
    }
    void vary(const char* name, Real v) { a.c->variability[a.element_named(name)] = v; }
};

}  // namespace analysis::testing
