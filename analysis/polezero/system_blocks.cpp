#include "analysis/polezero/system_blocks.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>

#include "analysis/polezero/determinant.h"

namespace analysis {

namespace {

// The engine's frequency, mode and restriction, put back on leaving.
struct EngineScope {
    Engine& e;
    const BlockRestriction* restriction = e.restriction;
    bool observer_mode = e.observer_mode, response_only = e.response_only;
    Real sigma = e.sigma, omega = e.omega;
    explicit EngineScope(Engine& engine) : e(engine) {}
    ~EngineScope() {
        e.restriction = restriction;
        e.observer_mode = observer_mode;
        e.response_only = response_only;
        e.sigma = sigma;
        e.omega = omega;
    }
};

using Pattern = SparsityPattern;

// The circuit's matrix holds an entry wherever it does at one of these
// points (s/ω0, ω0 the circuit's frequency scale): no circuit of sensible
// values has a root at both, so an entry zero at both is zero at every s.
constexpr Complex generic_points[] = {{0.3716L, 0.9284L}, {-0.6180L, 1.2718L}};

Complex generic_point(int k, Real w0) { return scale(generic_points[k], w0); }

// The circle of winding_near (its radius over |p|, system_blocks.h) and
// the samples on it: the angle turns by far less than π between two when
// the roots inside lie near its centre and the others far outside.
constexpr Real winding_radius = 1e-6L;
constexpr int winding_points = 32;

void add_nonzeros(const NodalSystem& sys, int n, Pattern& p) {
    for (int r = 1; r <= n; ++r)
        for (int j = std::max(1, sys.row_first[r]); j <= std::min(n, sys.row_last[r]); ++j)
            if (sys.matrix_re[r][j] != 0 || sys.matrix_im[r][j] != 0) p[r][j] = 1;
}

// Rows matched to columns by augmenting paths: match[col] = row, 0 when
// the column stays unmatched.
std::vector<int> match_columns(const Pattern& p, int n) {
    std::vector<int> match(static_cast<std::size_t>(n + 1), 0);
    std::vector<int> seen(static_cast<std::size_t>(n + 1), 0);
    int stamp = 0;
    // Augments from row r: a column that is free, or whose row can move.
    std::function<bool(int)> augment = [&](int r) {
        for (int col = 1; col <= n; ++col) {
            if (!p[r][col] || seen[col] == stamp) continue;
            seen[col] = stamp;
            if (match[col] == 0 || augment(match[col])) {
                match[col] = r;
                return true;
            }
        }
        return false;
    };
    for (int r = 1; r <= n; ++r) {
        ++stamp;
        augment(r);
    }
    return match;
}

// Strongly connected parts of the graph col -> col' for every entry
// (match[col], col'), by Tarjan's method; part[col] = 0-based part.
std::vector<int> strong_parts(const Pattern& p, const std::vector<int>& match, int n, int& count) {
    std::vector<int> index(static_cast<std::size_t>(n + 1), -1), low(static_cast<std::size_t>(n + 1), 0);
    std::vector<int> part(static_cast<std::size_t>(n + 1), -1), stack;
    std::vector<char> on_stack(static_cast<std::size_t>(n + 1), 0);
    int next = 0;
    count = 0;
    std::function<void(int)> visit = [&](int v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        on_stack[v] = 1;
        const int r = match[v];
        for (int w = 1; w <= n; ++w) {
            if (w == v || !p[r][w]) continue;
            if (index[w] < 0) {
                visit(w);
                low[v] = std::min(low[v], low[w]);
            } else if (on_stack[w]) {
                low[v] = std::min(low[v], index[w]);
            }
        }
        if (low[v] == index[v]) {
            int w = 0;
            do {
                w = stack.back();
                stack.pop_back();
                on_stack[w] = 0;
                part[w] = count;
            } while (w != v);
            ++count;
        }
    };
    for (int v = 1; v <= n; ++v)
        if (index[v] < 0) visit(v);
    return part;
}

BlockRestriction restriction_of(int n, const std::vector<int>& rows, const std::vector<int>& columns) {
    BlockRestriction r;
    r.in_row.assign(static_cast<std::size_t>(n + 1), 0);
    r.in_col.assign(static_cast<std::size_t>(n + 1), 0);
    for (const int row : rows) r.in_row[static_cast<std::size_t>(row)] = 1;
    for (const int col : columns) r.in_col[static_cast<std::size_t>(col)] = 1;
    std::vector<int> out_rows, out_cols;
    for (int k = 1; k <= n; ++k) {
        if (!r.in_row[static_cast<std::size_t>(k)]) out_rows.push_back(k);
        if (!r.in_col[static_cast<std::size_t>(k)]) out_cols.push_back(k);
    }
    for (std::size_t k = 0; k < out_rows.size() && k < out_cols.size(); ++k)
        r.unit_pairs.emplace_back(out_rows[k], out_cols[k]);
    return r;
}

bool varies_with_s(const Circuit& c, int i) { return frequency_scaling_sign(element_kind(c, i)) != 0; }

// Each element's own stamps at s: the blocks they fall inside (row and
// column in the same block) list the element.
void place_elements(Circuit& c, Engine& e, Complex s, SystemBlocks& b) {
    const int n = b.equation_count, parts = b.count();
    std::vector<int> block_of_row(static_cast<std::size_t>(n + 1), -1),
        block_of_col(static_cast<std::size_t>(n + 1), -1);
    for (int k = 0; k < parts; ++k) {
        for (const int row : b.rows[k]) block_of_row[row] = k;
        for (const int col : b.columns[k]) block_of_col[col] = k;
    }
    b.elements.assign(static_cast<std::size_t>(parts), {});
    b.varies.assign(static_cast<std::size_t>(parts), false);
    e.sigma = s.re;
    e.omega = s.im;
    for (int i = 1; i <= c.element_count; ++i) {
        build_system(c, e, i);
        std::vector<char> in(static_cast<std::size_t>(parts), 0);
        const NodalSystem& sys = e.system;
        for (int r = 1; r <= n; ++r)
            for (int j = std::max(1, sys.row_first[r]); j <= std::min(n, sys.row_last[r]); ++j)
                if ((sys.matrix_re[r][j] != 0 || sys.matrix_im[r][j] != 0) &&
                    block_of_row[r] == block_of_col[j])
                    in[static_cast<std::size_t>(block_of_row[r])] = 1;
        for (int k = 0; k < parts; ++k)
            if (in[static_cast<std::size_t>(k)]) {
                b.elements[k].push_back(i);
                if (varies_with_s(c, i)) b.varies[k] = true;
            }
    }
}

}  // namespace

SystemBlocks block_triangular_form(const SparsityPattern& p, int n) {
    SystemBlocks b;
    b.equation_count = n;
    std::vector<int> match = match_columns(p, n);
    int parts = 0;
    std::vector<int> part;
    if (std::find(match.begin() + 1, match.end(), 0) != match.end()) {
        b.matched = false;
        parts = 1;
        part.assign(static_cast<std::size_t>(n + 1), 0);
        for (int k = 1; k <= n; ++k) match[k] = k;
    } else {
        part = strong_parts(p, match, n, parts);
    }
    // Blocks in the order of their smallest column (the circuit's order).
    std::vector<int> first(static_cast<std::size_t>(parts), n + 1);
    for (int col = n; col >= 1; --col) first[static_cast<std::size_t>(part[col])] = col;
    std::vector<int> order(static_cast<std::size_t>(parts));
    for (int k = 0; k < parts; ++k) order[static_cast<std::size_t>(k)] = k;
    std::sort(order.begin(), order.end(), [&](int x, int y) { return first[x] < first[y]; });
    std::vector<int> rank(static_cast<std::size_t>(parts));
    for (int k = 0; k < parts; ++k) rank[static_cast<std::size_t>(order[k])] = k;
    b.rows.assign(static_cast<std::size_t>(parts), {});
    b.columns.assign(static_cast<std::size_t>(parts), {});
    for (int col = 1; col <= n; ++col) {
        const int k = rank[static_cast<std::size_t>(part[col])];
        b.columns[k].push_back(col);
        b.rows[k].push_back(match[col]);
    }
    for (int k = 0; k < parts; ++k) {
        std::sort(b.rows[k].begin(), b.rows[k].end());
        b.restrictions.push_back(restriction_of(n, b.rows[k], b.columns[k]));
    }
    return b;
}

SystemBlocks find_system_blocks(Circuit& c) {
    const int n = c.equation_count;
    auto e = std::make_unique<Engine>();
    const Real w0 = element_frequency_scale(c);
    Pattern p(static_cast<std::size_t>(n + 1), std::vector<char>(static_cast<std::size_t>(n + 1), 0));
    for (int k = 0; k < 2; ++k) {
        const Complex s = generic_point(k, w0);
        e->sigma = s.re;
        e->omega = s.im;
        build_system(c, *e);
        add_nonzeros(e->system, n, p);
    }
    SystemBlocks b = block_triangular_form(p, n);
    place_elements(c, *e, generic_point(0, w0), b);
    return b;
}

bool element_in_block(const SystemBlocks& b, int k, int i) {
    if (k < 0 || k >= b.count()) return false;
    return std::binary_search(b.elements[k].begin(), b.elements[k].end(), i);
}

Real block_root_distance(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p) {
    constexpr Real far = std::numeric_limits<Real>::infinity();
    if (k < 0 || k >= b.count() || !b.varies[k]) return far;
    const EngineScope keep(e);
    e.restriction = &b.restrictions[k];
    e.observer_mode = false;
    e.response_only = true;
    // The block's determinant at s; 0 where the block is exactly singular.
    auto det = [&](Complex s) {
        e.sigma = s.re;
        e.omega = s.im;
        if (try_build_and_solve(c, e, std::numeric_limits<Real>::min()) != SolveOutcome::solved)
            return ScaledComplex{};
        return system_determinant(e.system, c.equation_count);
    };
    const ScaledComplex at = det(p);
    if (is_zero(at)) return 0;
    const Real h = newton_difference(p);
    const std::optional<Complex> step = newton_step(at, det({p.re + h, p.im}), det({p.re - h, p.im}), h);
    return step ? std::hypot(step->re, step->im) : far;
}

int winding_near(Circuit& c, Engine& e, Complex p, const BlockRestriction* restriction,
                 const std::function<Complex(const Engine&)>& value) {
    const EngineScope keep(e);
    e.restriction = restriction;
    e.observer_mode = false;
    e.response_only = true;
    const Real r = winding_radius * std::hypot(p.re, p.im);
    Real total = 0, last = 0;
    for (int t = 0; t <= winding_points; ++t) {
        const Real a = 2 * std::numbers::pi_v<Real> * t / winding_points;
        e.sigma = p.re + r * std::cos(a);
        e.omega = p.im + r * std::sin(a);
        if (try_build_and_solve(c, e, std::numeric_limits<Real>::min()) != SolveOutcome::solved) return 0;
        const Complex v = value(e);
        const Real arg = std::atan2(v.im, v.re);
        if (t > 0) total += angle_step(last, arg);
        last = arg;
    }
    return static_cast<int>(std::lround(total / (2 * std::numbers::pi_v<Real>)));
}

int roots_near(Circuit& c, Engine& e, Complex p, const BlockRestriction* restriction) {
    const int n = c.equation_count;
    return winding_near(c, e, p, restriction,
                        [n](const Engine& x) { return system_determinant(x.system, n).m; });
}

}  // namespace analysis
