#include "analysis/polezero/polezero_finder.h"

#include <gtest/gtest.h>

#include "analysis/polezero/polezero_testing.h"

namespace analysis {
namespace {

TEST(PoleZeroFinder, Smoke) {
    testing::PoleZeroBench b("3\nV1 1 0 1\nR1 1 2 1\nL1 2 3 1\nC1 3 0 0.25\n", 3, "finder");
    const PoleZeroSearch r = find_poles_zeros(*b.circuit, b.settings, true);
    for (auto& p : r.found) printf("%.21Lg %.21Lg\n", p.re, p.im);
    printf("scale %Lg origin %d inf %d evals %lld\n", r.frequency_scale, r.at_origin, r.at_infinity, r.evaluations);
}

}  // namespace
}  // namespace analysis
