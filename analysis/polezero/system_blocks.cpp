#include "analysis/polezero/system_blocks.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>

#include "analysis/polezero/determinant.h"
#include "analysis/polezero/polezero_finder.h"
#include "common/errors.h"

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

using Pattern = std::vector<std::vector<char>>;  // [row][column], 1-based

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

}  // namespace

SystemBlocks find_system_blocks(Circuit& c) {
    SystemBlocks b;
    const int n = c.equation_count;
    b.equation_count = n;
    auto e = std::make_unique<Engine>();
    // Two frequencies that no circuit of sensible values has a root at:
    // an entry that vanishes at both vanishes at every frequency.
    const Real w0 = element_frequency_scale(c);
    Pattern p(static_cast<std::size_t>(n + 1), std::vector<char>(static_cast<std::size_t>(n + 1), 0));
    for (const Complex s : {Complex{0.3716L * w0, 0.9284L * w0}, Complex{-0.6180L * w0, 1.2718L * w0}}) {
        e->sigma = s.re;
        e->omega = s.im;
        build_system(c, *e);
        add_nonzeros(e->system, n, p);
    }
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
    std::vector<int> block_of_row(static_cast<std::size_t>(n + 1), -1),
        block_of_col(static_cast<std::size_t>(n + 1), -1);
    for (int col = 1; col <= n; ++col) {
        const int k = rank[static_cast<std::size_t>(part[col])];
        b.columns[k].push_back(col);
        b.rows[k].push_back(match[col]);
        block_of_col[col] = k;
        block_of_row[match[col]] = k;
    }
    for (int k = 0; k < parts; ++k) {
        std::sort(b.rows[k].begin(), b.rows[k].end());
        b.restrictions.push_back(restriction_of(n, b.rows[k], b.columns[k]));
    }
    // Each element's own stamps, at the first frequency.
    b.elements.assign(static_cast<std::size_t>(parts), {});
    b.varies.assign(static_cast<std::size_t>(parts), false);
    e->sigma = 0.3716L * w0;
    e->omega = 0.9284L * w0;
    for (int i = 1; i <= c.element_count; ++i) {
        build_system(c, *e, i);
        std::vector<char> in(static_cast<std::size_t>(parts), 0);
        const NodalSystem& sys = e->system;
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
    auto det = [&](Complex s, ScaledComplex& d) {
        e.sigma = s.re;
        e.omega = s.im;
        try {
            build_and_solve(c, e, std::numeric_limits<Real>::min());
        } catch (const suite::FatalError&) {
            d = {};
            return;
        }
        d = system_determinant(e.system, c.equation_count);
    };
    const Real h = std::hypot(p.re, p.im) * 1e-7L;
    ScaledComplex d0, d1, d2;
    det(p, d0);
    if (is_zero(d0)) return 0;
    det({p.re + h, p.im}, d1);
    det({p.re - h, p.im}, d2);
    const long unit = std::max({d0.e, d1.e, d2.e});
    const Complex diff = in_units(d1, unit) - in_units(d2, unit);
    const Complex v = in_units(d0, unit);
    const Real size = std::hypot(diff.re, diff.im);
    const Real distance = size == 0 ? far : 2 * h * std::hypot(v.re, v.im) / size;
    return std::isfinite(distance) ? distance : far;
}

int winding_near(Circuit& c, Engine& e, Complex p, const BlockRestriction* restriction,
                 const std::function<Complex(const Engine&)>& value) {
    constexpr int points = 32;
    const EngineScope keep(e);
    e.restriction = restriction;
    e.observer_mode = false;
    e.response_only = true;
    const Real r = 1e-6L * std::hypot(p.re, p.im);
    Real total = 0, last = 0;
    try {
        for (int t = 0; t <= points; ++t) {
            const Real a = 2 * std::numbers::pi_v<Real> * t / points;
            e.sigma = p.re + r * std::cos(a);
            e.omega = p.im + r * std::sin(a);
            build_and_solve(c, e, std::numeric_limits<Real>::min());
            const Complex v = value(e);
            const Real arg = std::atan2(v.im, v.re);
            if (t > 0) total += angle_step(last, arg);
            last = arg;
        }
    } catch (const suite::FatalError&) {
        return 0;  // exactly singular on the circle
    }
    return static_cast<int>(std::lround(total / (2 * std::numbers::pi_v<Real>)));
}

int roots_near(Circuit& c, Engine& e, const SystemBlocks& b, int k, Complex p) {
    if (k >= b.count()) return 0;
    const BlockRestriction* restriction = k >= 0 ? &b.restrictions[static_cast<std::size_t>(k)] : nullptr;
    const int n = c.equation_count;
    return winding_near(c, e, p, restriction,
                        [n](const Engine& x) { return system_determinant(x.system, n).m; });
}

}  // namespace analysis
