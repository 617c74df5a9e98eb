// Build, solve and the sensitivity pass at one complex frequency.
#include "analysis/engine/engine.h"

#include <sys/mman.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>
#include <stdexcept>

#include "analysis/engine/elements.h"
#include "common/errors.h"

namespace analysis {
namespace {

bool is_observer_kind(char kind) { return element_kind_of(kind).observer; }

void check_prepared(const Circuit& c, const Engine& e) {
    if (c.equation_count < 1 || c.equation_count > max_equations)
        throw std::logic_error("build_and_solve: no system to solve");
    if (e.block_size != c.element_count || e.point_index < 0 || e.point_index >= e.block_count)
        throw std::logic_error("build_and_solve: sensitivity blocks not prepared for this point");
    if (e.observer_mode && e.response_only)
        throw std::logic_error("build_and_solve: observer mode needs the sensitivity pass");
    if (e.observer_mode) {
        const int k = e.observer_element;
        if (k < 1 || k > c.element_count || c.elements[k].name.empty() ||
            !is_observer_kind(element_kind(c, k)))
            throw std::logic_error("build_and_solve: the observer must be an R, L, C or Z element");
    }
}

// Observer mode: the observer element leaves the matrix and a unit current
// leaving its node1 and entering its node2 takes its place.
void excite_observer(Circuit& c, Engine& e) {
    const int k = e.observer_element;
    const Element& x = c.elements[k];
    const Complex y{c.stamp_re[k], c.stamp_im[k]};
    stamp_admittance(c, e, k, x.node1, x.node2, -y);
    c.stamp_re[k] = y.re;
    c.stamp_im[k] = y.im;
    e.system.normal_re[c.row_map[x.node2]] += 1;
    e.system.normal_re[c.row_map[x.node1]] -= 1;
    e.system.adjoint_re[c.column_map[x.node1]] += 1;
    e.system.adjoint_re[c.column_map[x.node2]] -= 1;
}

void restrict_to_block(NodalSystem& sys, int n, const BlockRestriction& r) {
    for (int row = 1; row <= n; ++row) {
        if (r.in_row[static_cast<std::size_t>(row)]) continue;
        for (int j = sys.row_first[row]; j <= sys.row_last[row]; ++j)
            sys.matrix_re[row][j] = sys.matrix_im[row][j] = 0;
        sys.normal_re[row] = sys.normal_im[row] = 0;
    }
    for (int col = 1; col <= n; ++col) {
        if (r.in_col[static_cast<std::size_t>(col)]) continue;
        for (int i = sys.col_first[col]; i <= sys.col_last[col]; ++i)
            sys.matrix_re[i][col] = sys.matrix_im[i][col] = 0;
        sys.adjoint_re[col] = sys.adjoint_im[col] = 0;
    }
    for (const auto& [row, col] : r.unit_pairs) {
        sys.matrix_re[row][col] = 1;
        touch(sys, row, col);
    }
}

// False (nothing stored) for a null output with normalised sensitivities.
bool sensitivity_pass(const Circuit& c, Engine& e) {
    const int col = c.output_column;
    const Complex t{e.system.normal_re[col], e.system.normal_im[col]};
    if (e.normalised_sensitivities && t.re == 0 && t.im == 0) return false;
    const Complex sum = store_sensitivities(c, e, t);
    e.sens_sum_re = sum.re;
    e.sens_sum_im = sum.im;
    if (e.observer_mode) {
        // The observer's own term: its impedance, negated for a capacitor.
        const int k = e.observer_element;
        Complex z = complex_divide({1, 0}, {c.stamp_re[k], c.stamp_im[k]});
        if (element_kind(c, k) == 'C') z = -z;
        const std::size_t at =
            static_cast<std::size_t>(e.point_index) * static_cast<std::size_t>(e.block_size) +
            static_cast<std::size_t>(k - 1);
        e.sens_re[at] = z.re;
        e.sens_im[at] = z.im;
        sum_frequency_sensitivity(c, e, e.point_index);
    }
    return true;
}

}  // namespace

void FreeBlocks::operator()(Real* p) const {
    if (p) munmap(p, bytes);
}

namespace {

#ifdef MADV_POPULATE_WRITE
constexpr int populate_write = MADV_POPULATE_WRITE;
#else
constexpr int populate_write = 23;  // Linux 5.14; older kernels refuse it
#endif

SensitivityBlocks map_zeroed(std::size_t count) {
    constexpr std::size_t huge_page = std::size_t{2} << 20;
    std::size_t bytes = std::max<std::size_t>(count, 1) * sizeof(Real);
    if (bytes >= huge_page) bytes = (bytes + huge_page - 1) / huge_page * huge_page;
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
        // Hints, whose failure changes nothing: huge pages where the system
        // grants them, and every page made present at once, in one call
        // instead of one fault per page as the sweep first writes them.
#ifdef MADV_HUGEPAGE
    if (bytes >= huge_page) madvise(p, bytes, MADV_HUGEPAGE);
#endif
    madvise(p, bytes, populate_write);
    return SensitivityBlocks(static_cast<Real*>(p), FreeBlocks{bytes});
}

}  // namespace

void allocate_sensitivity_blocks(Engine& e, int elements, int blocks) {
    const std::size_t size = static_cast<std::size_t>(elements) * static_cast<std::size_t>(blocks);
    e.sens_re.reset();
    e.sens_im.reset();
    e.sens_re = map_zeroed(size);
    e.sens_im = map_zeroed(size);
    e.block_size = elements;
    e.block_count = blocks;
}

void prepare_fixed_part(Circuit& c, Engine& e) {
    NodalSystem& sys = e.system;
    Engine::FixedPart& f = e.fixed;
    const bool observer = e.observer_mode;
    const Real sigma = e.sigma, omega = e.omega;
    e.observer_mode = false;
    c.row_map = c.saved_row_map;
    clear_system(sys, c.equation_count);
    stamp_elements(c, e, StampSet::fixed);
    f.varying.clear();
    for (int i = 1; i <= c.element_count; ++i)
        if (varies_with_frequency(element_kind(c, i))) f.varying.push_back(i);
    // The varying stamps at s = j widen the spans to cover them too, so that
    // they need not widen them at every point; they write only the
    // imaginary plane, whose values are thrown away.
    e.sigma = 0;
    e.omega = 1;
    stamp_listed(c, e, f.varying);
    e.observer_mode = observer;
    e.sigma = sigma;
    e.omega = omega;
    for (int r = 0; r < matrix_dim; ++r)
        for (int j = sys.row_first[r]; j <= sys.row_last[r]; ++j) f.matrix_re[r][j] = sys.matrix_re[r][j];
    f.normal_re = sys.normal_re;
    f.row_first = sys.row_first;
    f.row_last = sys.row_last;
    f.col_first = sys.col_first;
    f.col_last = sys.col_last;
}

namespace {

// Clears the system and copies the fixed part in (see Engine::FixedPart).
void load_fixed_part(const Circuit& c, Engine& e) {
    NodalSystem& sys = e.system;
    const Engine::FixedPart& f = e.fixed;
    clear_system(sys, c.equation_count);
    // Byte copies: exact, and cheaper than x87 loads and stores.
    for (int r = 0; r < matrix_dim; ++r)
        if (f.row_first[r] <= f.row_last[r])
            std::memcpy(&sys.matrix_re[r][f.row_first[r]], &f.matrix_re[r][f.row_first[r]],
                        static_cast<std::size_t>(f.row_last[r] - f.row_first[r] + 1) * sizeof(Real));
    std::memcpy(sys.normal_re.data(), f.normal_re.data(),
                static_cast<std::size_t>(c.equation_count + 1) * sizeof(Real));
    sys.row_first = f.row_first;
    sys.row_last = f.row_last;
    sys.col_first = f.col_first;
    sys.col_last = f.col_last;
    sys.spans_cover_stamps = true;
}

}  // namespace

const char* solve_failure_message(SolveOutcome o) {
    switch (o) {
        case SolveOutcome::singular:
            return "Circuito insolúvel (determinante muito pequeno).";
        case SolveOutcome::null_output:
            return "Saída nula. A análise não pode ser feita.";
        case SolveOutcome::solved:
            break;
    }
    return "";
}

void build_and_solve(Circuit& c, Engine& e, Real pivot_tolerance) {
    const SolveOutcome o = try_build_and_solve(c, e, pivot_tolerance);
    if (o != SolveOutcome::solved) throw suite::FatalError(solve_failure_message(o));
}

SolveOutcome try_build_and_solve(Circuit& c, Engine& e, Real pivot_tolerance) {
    check_prepared(c, e);
    ++e.solve_count;
    c.row_map = c.saved_row_map;
    if (e.use_fixed_part && e.sigma == 0 && !e.observer_mode) {
        load_fixed_part(c, e);
        stamp_listed(c, e, e.fixed.varying);
    } else {
        clear_system(e.system, c.equation_count);
        stamp_elements(c, e);
    }
    if (e.observer_mode)
        excite_observer(c, e);
    else if (!e.response_only)
        e.system.adjoint_re[c.output_column] = -1;
    e.system.normal_re[0] = 0;
    e.system.adjoint_re[0] = 0;
    if (e.restriction) restrict_to_block(e.system, c.equation_count, *e.restriction);
    if (!factor_and_solve(e.system, c.equation_count, c.row_map, c.variable_count, pivot_tolerance,
                          !e.response_only))
        return SolveOutcome::singular;
    if (!e.response_only && !sensitivity_pass(c, e)) return SolveOutcome::null_output;
    return SolveOutcome::solved;
}

void build_system(Circuit& c, Engine& e, int only) {
    const bool observer = e.observer_mode;
    e.observer_mode = false;
    c.row_map = c.saved_row_map;
    clear_system(e.system, c.equation_count);
    if (only > 0)
        stamp_listed(c, e, {only});
    else
        stamp_elements(c, e);
    e.observer_mode = observer;
}

Complex node_voltage(const Circuit& c, const Engine& e, int k) {
    const int col = c.column_map[k];
    if (col == 0) return {};
    return {e.system.normal_re[col], e.system.normal_im[col]};
}

Complex adjoint_voltage(const Circuit& c, const Engine& e, int k) {
    const int row = c.row_map[k];
    if (row == 0) return {};
    return {e.system.adjoint_re[row], e.system.adjoint_im[row]};
}

Complex sum_frequency_sensitivity(const Circuit& c, Engine& e, int p) {
    Complex sum;
    for (int i = 1; i <= c.element_count; ++i) {
        const int sign = frequency_scaling_sign(element_kind(c, i));
        if (sign > 0)
            sum = sum + sensitivity(e, p, i);
        else if (sign < 0)
            sum = sum - sensitivity(e, p, i);
    }
    e.sens_sum_re = sum.re;
    e.sens_sum_im = sum.im;
    return sum;
}

Real phase_angle(Real im, Real re) {
    if (im == 0) im = 1e-10L;
    if (re == 0) re = std::fabs(im * 1e-10L);
    Real a = std::atan(im / re);
    if (re < 0) a += im > 0 ? std::numbers::pi_v<Real> : -std::numbers::pi_v<Real>;
    return a;
}

Real smallest_pivot(Circuit& c, Engine& e) {
    const bool response_only = e.response_only;
    e.response_only = true;
    (void)try_build_and_solve(c, e, 0);
    e.response_only = response_only;
    Real least = HUGE_VALL;
    for (int k = 1; k <= c.equation_count; ++k) {
        const Real size = pivot_size(e.system.matrix_re[k][k], e.system.matrix_im[k][k]);
        if (size < least || std::isnan(size)) least = std::isnan(size) ? 0 : size;
    }
    return least;
}

}  // namespace analysis
