// The yield against a mask: the linear model, its sampling, the Monte
// Carlo circuits, and the confidence intervals.
#include "analysis/tolerance/yield.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/engine/montecarlo.h"
#include "analysis/tolerance/frequency_derivative.h"
#include "common/numtext.h"

namespace analysis {
namespace {

constexpr Real nepers_to_db = 8.68588963806502L;
constexpr Real z95 = 1.959963984540054L;
constexpr Real far_limit = 8;               // standard deviations: left out of the sampling beyond
constexpr double kept_variance = 1e-6;      // of each constraint's, that the directions may leave out
constexpr int block = 256;                  // samples drawn and checked together
constexpr int progress_block = 16 * block;  // samples between two calls of the progress

// The sampled part of the model: constraints that can fail, as bounds on
// the deviation from nominal, and the factor L with deviation = L·z.
struct Sampled {
    std::vector<double> lo, hi;
    Eigen::MatrixXd factor;
    bool always_fails = false;
};

// The directions of the covariance B·Bᵀ, largest first, until every row
// keeps its variance to within kept_variance.
Eigen::MatrixXd covariance_factor(const Eigen::MatrixXd& b) {
    const Eigen::Index rows = b.rows(), cols = b.cols();
    Eigen::MatrixXd directions;  // rows × k, column j of squared norm λ_j
    Eigen::VectorXd lambda;
    if (rows <= cols) {
        Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eig(b * b.transpose());
        lambda = eig.eigenvalues();
        directions = eig.eigenvectors() * lambda.cwiseMax(0).cwiseSqrt().asDiagonal();
    } else {
        Eigen::SelfAdjointEigenSolver<Eigen::MatrixXd> eig(b.transpose() * b);
        lambda = eig.eigenvalues();
        directions = b * eig.eigenvectors();
    }
    const Eigen::VectorXd variance = b.rowwise().squaredNorm();
    Eigen::VectorXd captured = Eigen::VectorXd::Zero(rows);
    std::vector<Eigen::Index> kept;
    for (Eigen::Index j = lambda.size() - 1; j >= 0; --j) {  // eigenvalues come in increasing order
        if (!(lambda[j] > 0)) break;
        bool enough = true;
        for (Eigen::Index k = 0; k < rows && enough; ++k)
            enough = captured[k] >= (1 - kept_variance) * variance[k];
        if (enough) break;
        kept.push_back(j);
        captured += directions.col(j).cwiseAbs2();
    }
    Eigen::MatrixXd factor(rows, static_cast<Eigen::Index>(kept.size()));
    for (std::size_t j = 0; j < kept.size(); ++j)
        factor.col(static_cast<Eigen::Index>(j)) = directions.col(kept[j]);
    return factor;
}

Sampled sampled_part(const LinearModel& m, const ElementReals& v) {
    Sampled s;
    const std::vector<Real> sigma = constraint_sigmas(m, v);
    std::vector<std::size_t> rows;
    for (std::size_t k = 0; k < m.constraints.size(); ++k) {
        const MaskConstraint& c = m.constraints[k];
        const Real margin = std::min(m.nominal[k] - c.lower, c.upper - m.nominal[k]);
        if (sigma[k] == 0) {
            if (!(margin >= 0)) s.always_fails = true;
            continue;
        }
        if (margin > far_limit * sigma[k]) continue;
        rows.push_back(k);
    }
    std::vector<int> columns;
    for (int i = 1; i <= m.element_count; ++i) {
        if (v[i] == 0) continue;
        if (std::any_of(rows.begin(), rows.end(), [&](std::size_t k) { return m.a(k, i) != 0; }))
            columns.push_back(i);
    }
    Eigen::MatrixXd b(static_cast<Eigen::Index>(rows.size()), static_cast<Eigen::Index>(columns.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::size_t k = rows[r];
        for (std::size_t j = 0; j < columns.size(); ++j)
            b(static_cast<Eigen::Index>(r), static_cast<Eigen::Index>(j)) =
                static_cast<double>(m.a(k, columns[j]) * v[columns[j]]);
        s.lo.push_back(static_cast<double>(m.constraints[k].lower - m.nominal[k]));
        s.hi.push_back(static_cast<double>(m.constraints[k].upper - m.nominal[k]));
    }
    if (!rows.empty()) s.factor = covariance_factor(b);
    return s;
}

}  // namespace

LinearModel linear_model(const Circuit& c, const Engine& e, const Sweep& sw,
                         const std::vector<MaskConstraint>& constraints) {
    LinearModel m;
    m.constraints = constraints;
    m.nominal = constraint_values(constraints, sw);
    m.element_count = c.element_count;
    m.coefficients.assign(constraints.size() * static_cast<std::size_t>(c.element_count), 0);
    for (std::size_t k = 0; k < constraints.size(); ++k) {
        const int p = constraints[k].point;
        Real* row = m.coefficients.data() + k * static_cast<std::size_t>(c.element_count);
        if (constraints[k].quantity == MaskQuantity::module) {
            for (int i = 1; i <= c.element_count; ++i) row[i - 1] = nepers_to_db * sensitivity(e, p, i).re;
            continue;
        }
        for (const auto& [q, w] : frequency_derivative(sw, p))
            for (int i = 1; i <= c.element_count; ++i) row[i - 1] -= w * sensitivity(e, q, i).im;
    }
    return m;
}

std::vector<Real> constraint_sigmas(const LinearModel& m, const ElementReals& v) {
    std::vector<Real> sigma(m.constraints.size());
    for (std::size_t k = 0; k < sigma.size(); ++k) {
        Real sum = 0;
        for (int i = 1; i <= m.element_count; ++i) {
            const Real x = m.a(k, i) * v[i];
            sum += x * x;
        }
        sigma[k] = std::sqrt(sum);
    }
    return sigma;
}

std::vector<Real> constraint_worst_cases(const LinearModel& m, const ElementReals& v) {
    std::vector<Real> w(m.constraints.size());
    for (std::size_t k = 0; k < w.size(); ++k)
        for (int i = 1; i <= m.element_count; ++i) w[k] += std::fabs(m.a(k, i) * v[i]);
    return w;
}

YieldEstimate yield_estimate(long long passed, long long trials) {
    YieldEstimate y;
    y.trials = trials;
    y.passed = passed;
    if (trials <= 0) {
        y.high = 1;
        return y;
    }
    const Real n = static_cast<Real>(trials);
    const Real p = static_cast<Real>(passed) / n;
    const Real z2 = z95 * z95;
    const Real denominator = 1 + z2 / n;
    const Real centre = (p + z2 / (2 * n)) / denominator;
    const Real half = z95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / denominator;
    y.fraction = p;
    y.low = std::max<Real>(0, centre - half);
    y.high = std::min<Real>(1, centre + half);
    return y;
}

YieldEstimate first_order_yield(const LinearModel& m, const ElementReals& v, long long samples,
                                std::uint64_t seed, const Progress& progress, const std::string& stage) {
    report_progress(progress, stage, 0, samples);
    const Sampled s = sampled_part(m, v);
    if (s.always_fails) return yield_estimate(0, samples);
    const Eigen::Index rows = s.factor.rows(), r = s.factor.cols();
    if (rows == 0 || r == 0) return yield_estimate(samples, samples);
    NormalDraws draws(seed);
    // Samples by rows, so that each constraint is checked over a block of
    // samples at a time, without a branch.
    Eigen::MatrixXd z = Eigen::MatrixXd::Zero(block, r), y(block, rows);
    const Eigen::MatrixXd factor_t = s.factor.transpose();
    std::vector<unsigned char> pass(block);
    long long passed = 0;
    for (long long done = 0; done < samples; done += block) {
        if (done > 0 && done % progress_block == 0) report_progress(progress, stage, done, samples);
        const Eigen::Index n = static_cast<Eigen::Index>(std::min<long long>(block, samples - done));
        for (Eigen::Index j = 0; j < n; ++j)
            for (Eigen::Index i = 0; i < r; ++i) z(j, i) = draws.next();
        y.noalias() = z * factor_t;  // the whole block: rows beyond n are not counted
        std::fill(pass.begin(), pass.end(), 1);
        for (Eigen::Index k = 0; k < rows; ++k) {
            const double lo = s.lo[static_cast<std::size_t>(k)], hi = s.hi[static_cast<std::size_t>(k)];
            const double* column = y.col(k).data();
            for (Eigen::Index j = 0; j < n; ++j)
                pass[static_cast<std::size_t>(j)] &= (column[j] >= lo) & (column[j] <= hi);
        }
        for (Eigen::Index j = 0; j < n; ++j) passed += pass[static_cast<std::size_t>(j)];
    }
    report_progress(progress, stage, samples, samples);
    return yield_estimate(passed, samples);
}

MonteCarloYield monte_carlo_yield(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                                  const LinearModel& m, int circuits, std::uint64_t seed,
                                  const Progress& progress) {
    constexpr Real degrees_to_radians = std::numbers::pi_v<Real> / 180;
    std::vector<std::vector<std::pair<int, Real>>> derivative(m.constraints.size());
    for (std::size_t k = 0; k < m.constraints.size(); ++k)
        if (m.constraints[k].quantity == MaskQuantity::delay)
            derivative[k] = frequency_derivative(sw, m.constraints[k].point);
    long long passed = 0, seen = 0;
    report_progress(progress, monte_carlo_stage, 0, circuits);
    const MonteCarloResult r = monte_carlo(
        c, e, sw, s, circuits, seed, [&](const std::vector<Real>& dm, const std::vector<Real>& df) {
            for (std::size_t k = 0; k < m.constraints.size(); ++k) {
                const MaskConstraint& q = m.constraints[k];
                Real value = m.nominal[k];
                if (q.quantity == MaskQuantity::module) {
                    value += dm[static_cast<std::size_t>(q.point)];
                } else {
                    for (const auto& [p, w] : derivative[k])
                        value -= w * df[static_cast<std::size_t>(p)] * degrees_to_radians;
                }
                if (!(value >= q.lower && value <= q.upper)) {
                    report_progress(progress, monte_carlo_stage, ++seen, circuits);
                    return;
                }
            }
            ++passed;
            report_progress(progress, monte_carlo_stage, ++seen, circuits);
        });
    MonteCarloYield y;
    y.estimate = yield_estimate(passed, r.accepted);
    y.circuits = circuits;
    y.rejected = r.rejected;
    y.redrawn = r.redrawn;
    y.seed = seed;
    return y;
}

YieldAgreement compare_yields(const YieldEstimate& first, const YieldEstimate& second) {
    auto variance = [](const YieldEstimate& y) {
        const Real n = static_cast<Real>(y.trials) + z95 * z95;
        const Real p = (static_cast<Real>(y.passed) + z95 * z95 / 2) / n;
        return p * (1 - p) / n;
    };
    YieldAgreement a;
    a.difference = second.fraction - first.fraction;
    a.limit = z95 * std::sqrt(variance(first) + variance(second));
    a.agree = std::fabs(a.difference) <= a.limit;
    return a;
}

std::string yield_text(const YieldEstimate& y) {
    auto percent = [](Real x) { return suite::format_fixed(100 * x, 0, 2); };
    return percent(y.fraction) + " % (IC 95 %: " + percent(y.low) + " a " + percent(y.high) + " %)";
}

std::vector<std::string> yield_lines(const YieldEstimate& first_order, long long samples, std::uint64_t seed,
                                     const MonteCarloYield& mc, const std::string& with) {
    std::vector<std::string> lines;
    lines.push_back("Rendimento de 1ª ordem" + with + ": " + yield_text(first_order) + "; " +
                    suite::format_int(samples) + " amostras do modelo linear, semente " +
                    std::to_string(seed));
    const std::string counts =
        suite::format_int(mc.circuits) + " circuitos, semente " + std::to_string(mc.seed) +
        "; rejeitados (sistema insolúvel ou saída nula): " + suite::format_int(mc.rejected) +
        "; sorteios repetidos (valor nulo ou de sinal trocado): " + suite::format_int(mc.redrawn);
    if (mc.estimate.trials == 0) {
        lines.push_back("* Rendimento de Monte Carlo" + with + ": nenhum circuito aceito; " + counts);
        return lines;
    }
    lines.push_back("Rendimento de Monte Carlo" + with + ": " + yield_text(mc.estimate) + "; " + counts);
    const YieldAgreement a = compare_yields(first_order, mc.estimate);
    const std::string difference = suite::format_fixed(100 * std::fabs(a.difference), 0, 2);
    const std::string limit = suite::format_fixed(100 * a.limit, 0, 2);
    if (a.agree)
        lines.push_back("Os dois rendimentos concordam: diferença de " + difference +
                        " pontos percentuais, dentro de " + limit + " (1.96 erros padrão).");
    else
        lines.push_back("* Os dois rendimentos não concordam: diferença de " + difference +
                        " pontos percentuais, acima de " + limit + " (1.96 erros padrão).");
    return lines;
}

}  // namespace analysis
