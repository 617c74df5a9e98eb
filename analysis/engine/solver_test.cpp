// The complex solver on matrices written directly: normal and adjoint
// solutions, pivot choice, row_map permutation, the singularity test.
#include "analysis/engine/solver.h"

#include <gtest/gtest.h>

#include <complex>
#include <memory>
#include <vector>

#include "common/errors.h"

namespace analysis {
namespace {

using C = std::complex<long double>;
using Dense = std::vector<std::vector<C>>;  // 1-based, [row][column]

struct Problem {
    Dense m;
    std::vector<long double> b;  // real normal right-hand side, 1-based
    std::vector<C> c;            // adjoint right-hand side, 1-based (by column)
};

NodeMap identity_map(int n) {
    NodeMap map{};
    for (int k = 0; k <= n; ++k) map[k] = static_cast<std::uint8_t>(k);
    return map;
}

void load(NodalSystem& sys, const Problem& p, int n) {
    clear_system(sys, n);
    for (int r = 1; r <= n; ++r)
        for (int col = 1; col <= n; ++col) add_to_matrix(sys, r, col, p.m[r][col].real(), p.m[r][col].imag());
    for (int i = 1; i <= n; ++i) {
        sys.normal_re[i] = p.b[i];
        sys.adjoint_re[i] = p.c[i].real();
        sys.adjoint_im[i] = p.c[i].imag();
    }
}

// M·x = b with x by column; Mᵀ·w = c with w of row r at row_map[r].
void expect_solutions(const NodalSystem& sys, const Problem& p, const NodeMap& row_map, int n) {
    for (int r = 1; r <= n; ++r) {
        C sum = 0;
        for (int col = 1; col <= n; ++col) sum += p.m[r][col] * C(sys.normal_re[col], sys.normal_im[col]);
        EXPECT_LT(std::abs(sum - p.b[r]), 1e-15L) << "normal row " << r;
    }
    for (int col = 1; col <= n; ++col) {
        C sum = 0;
        for (int r = 1; r <= n; ++r)
            sum += p.m[r][col] * C(sys.adjoint_re[row_map[r]], sys.adjoint_im[row_map[r]]);
        EXPECT_LT(std::abs(sum - p.c[col]), 1e-15L) << "adjoint column " << col;
    }
}

Problem problem(const std::vector<std::vector<C>>& rows, std::vector<long double> b, std::vector<C> c) {
    Problem p;
    p.m.assign(rows.size() + 1, std::vector<C>(rows.size() + 1));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t col = 0; col < rows.size(); ++col) p.m[r + 1][col + 1] = rows[r][col];
    b.insert(b.begin(), 0);
    c.insert(c.begin(), 0);
    p.b = b;
    p.c = c;
    return p;
}

TEST(Solver, NormalAndAdjointAfterRowExchanges) {
    // Small entries on the diagonal force exchanges at every step.
    const Problem p = problem({{{1e-3, 0}, {2, 1}, {0, 0}, {1, 0}},
                               {{4, -1}, {0, 1e-4}, {1, 0}, {0, 0}},
                               {{0, 0}, {3, 3}, {0, 0}, {2, -2}},
                               {{1, 1}, {0, 0}, {5, 0}, {0, 1e-5}}},
                              {1, -2, 0.5, 3}, {{0, 0}, {-1, 0}, {0, 0}, {0.5, 0.25}});
    auto sys = std::make_unique<NodalSystem>();
    NodeMap row_map = identity_map(4);
    load(*sys, p, 4);
    ASSERT_TRUE(factor_and_solve(*sys, 4, row_map, 4, 1e-7L));
    EXPECT_NE(row_map, identity_map(4)) << "the test matrix should have forced row exchanges";
    expect_solutions(*sys, p, row_map, 4);
}

TEST(Solver, RowMapEntriesFollowTheirRowsAndExtraVariablesToo) {
    // Variables 3 and 4 share rows with 1 and 2 (as merged nodes do): every
    // entry naming an exchanged row is renamed.
    const Problem p = problem({{{0, 0}, {1, 0}}, {{1, 0}, {0, 0}}}, {1, 2}, {{1, 0}, {0, 0}});
    auto sys = std::make_unique<NodalSystem>();
    NodeMap row_map = identity_map(2);
    row_map[3] = 1;
    row_map[4] = 2;
    load(*sys, p, 2);
    ASSERT_TRUE(factor_and_solve(*sys, 2, row_map, 4, 1e-7L));
    EXPECT_EQ(row_map[1], 2);
    EXPECT_EQ(row_map[2], 1);
    EXPECT_EQ(row_map[3], 2);
    EXPECT_EQ(row_map[4], 1);
    EXPECT_EQ(row_map[0], 0);
    expect_solutions(*sys, p, row_map, 2);
}

TEST(Solver, PivotBySumOfPartsWithTiesKeepingTheUpperRow) {
    struct Case {
        C lower;  // entry (2, 1); (1, 1) is 1 + 1j, size 2
        bool exchanged;
    };
    const Case cases[] = {
        {{2, 0}, false},      // size 2 = 2: tie, although its modulus is larger
        {{-1, 1}, false},     // size 2 = 2: tie
        {{2.5, 0}, true},     // larger
        {{0, -2.001}, true},  // larger
        {{1.9, 0}, false},    // smaller
    };
    for (const Case& k : cases) {
        const Problem p = problem({{{1, 1}, {1, 0}}, {k.lower, {3, 0}}}, {1, 1}, {{0, 0}, {-1, 0}});
        auto sys = std::make_unique<NodalSystem>();
        NodeMap row_map = identity_map(2);
        load(*sys, p, 2);
        ASSERT_TRUE(factor_and_solve(*sys, 2, row_map, 2, 1e-7L));
        EXPECT_EQ(row_map[1], k.exchanged ? 2 : 1) << k.lower.real() << " " << k.lower.imag();
        expect_solutions(*sys, p, row_map, 2);
    }
}

TEST(Solver, SmallPivotsStopWithTheSingularMessage) {
    struct Case {
        std::vector<std::vector<C>> rows;
        long double tolerance;
        bool singular;
    };
    const std::vector<Case> cases = {
        {{{{0, 0}}}, 1e-7L, true},  // order 1: only the last pivot test
        {{{{1e-8, 0}}}, 1e-7L, true},
        {{{{1e-8, 0}}}, 1e-9L, false},
        {{{{1, 0}, {1, 0}}, {{1, 0}, {1, 0}}}, 1e-7L, true},         // dependent rows: last pivot 0
        {{{{0, 0}, {1, 0}}, {{0, 0}, {2, 0}}}, 1e-7L, true},         // zero column: first pivot 0
        {{{{6e-8, 5e-8}, {0, 0}}, {{0, 0}, {1, 0}}}, 1e-7L, false},  // |re| + |im| above 1e-7 passes
        {{{{4e-8, 5e-8}, {0, 0}}, {{0, 0}, {1, 0}}}, 1e-7L, true},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& k = cases[i];
        const int n = static_cast<int>(k.rows.size());
        const Problem p = problem(k.rows, std::vector<long double>(n, 1), std::vector<C>(n, C(1, 0)));
        auto sys = std::make_unique<NodalSystem>();
        NodeMap row_map = identity_map(n);
        load(*sys, p, n);
        if (k.singular) {
            EXPECT_FALSE(factor_and_solve(*sys, n, row_map, n, k.tolerance)) << "case " << i << " solved";
        } else {
            EXPECT_TRUE(factor_and_solve(*sys, n, row_map, n, k.tolerance)) << "case " << i;
        }
    }
}

TEST(Solver, ClearingRemovesEverythingAnEarlierLargerSystemLeft) {
    auto sys = std::make_unique<NodalSystem>();
    // A dense 6x6 system, factored (fill-in everywhere), then a 2x2 one.
    std::vector<std::vector<C>> rows(6, std::vector<C>(6));
    for (int r = 0; r < 6; ++r)
        for (int col = 0; col < 6; ++col) rows[r][col] = C(1.0L / (r + col + 1), r == col ? 1 : 0.1L * col);
    const Problem big = problem(rows, {1, 2, 3, 4, 5, 6}, std::vector<C>(6, C(1, 0)));
    NodeMap map6 = identity_map(6);
    load(*sys, big, 6);
    ASSERT_TRUE(factor_and_solve(*sys, 6, map6, 6, 1e-7L));
    expect_solutions(*sys, big, map6, 6);

    const Problem small = problem({{{2, 0}, {0, 1}}, {{0, -1}, {3, 0}}}, {1, 0}, {{0, 0}, {-1, 0}});
    NodeMap map2 = identity_map(2);
    load(*sys, small, 2);
    for (int r = 0; r < matrix_dim; ++r)
        for (int col = 0; col < matrix_dim; ++col) {
            const bool inside = r >= 1 && r <= 2 && col >= 1 && col <= 2;
            if (!inside) {
                ASSERT_EQ(sys->matrix_re[r][col], 0) << r << "," << col;
                ASSERT_EQ(sys->matrix_im[r][col], 0) << r << "," << col;
            }
        }
    ASSERT_TRUE(factor_and_solve(*sys, 2, map2, 2, 1e-7L));
    expect_solutions(*sys, small, map2, 2);
}

TEST(Solver, SparseBandedSystemMatchesTheDenseRule) {
    // A long tridiagonal system with a few far entries: the skipping of
    // known zeros must still give exact residuals.
    const int n = 60;
    std::vector<std::vector<C>> rows(n, std::vector<C>(n));
    for (int r = 0; r < n; ++r) {
        rows[r][r] = C(2.0L + r % 3, 0.5L);
        if (r > 0) rows[r][r - 1] = C(-1, 0.1L);
        if (r + 1 < n) rows[r][r + 1] = C(-1, -0.2L);
    }
    rows[n - 1][0] = C(0.7L, 0);
    rows[3][n - 2] = C(0, 0.3L);
    std::vector<long double> b(n, 0);
    b[0] = 1;
    std::vector<C> c(n);
    c[n / 2] = C(-1, 0);
    const Problem p = problem(rows, b, c);
    auto sys = std::make_unique<NodalSystem>();
    NodeMap map = identity_map(n);
    load(*sys, p, n);
    ASSERT_TRUE(factor_and_solve(*sys, n, map, n, 1e-7L));
    expect_solutions(*sys, p, map, n);
}

}  // namespace
}  // namespace analysis
