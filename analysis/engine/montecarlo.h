// Monte Carlo check of the statistical deviations of a finished sweep.
//
// Recipe:
//   sweep(c, e, sw, settings, log);                        // the nominal response
//   if (auto why = monte_carlo_refusal(c); !why.empty()) { log(why); return; }
//   MonteCarloResult r = monte_carlo(c, e, sw, settings, 1000, seed);
//   r.module_sd[p], r.phase_sd[p]                           // beside sw.points[p].module_dev, .phase_dev
//   save_monte_carlo_table("f.mct", c, sw, settings, r, log);
//
// Each of the N circuits takes every element's parameter from a normal
// distribution whose mean is the nominal value and whose standard
// deviation is the element's relative variability times that value; an
// element of variability 0 (the independent sources, unless the user gave
// them one) keeps its value. The parameters are those of the first-order
// deviations, whose sensitivities are x_i·∂T/∂x_i: the stored value of
// each element, except that a change of Ro (a) or hie (q) also acts on the
// GB/Ro or hfe/hie of the element before it, and a change of the series
// resistance of a Z source on its Norton current Vs/Rs, so GB, hfe and Vs
// stay put.
//
// A draw that would make a value zero or turn its sign is drawn again
// (and counted): the distribution is cut at zero. Below the refusal limit
// of 0.5 that cuts at two standard deviations or more, and at the usual
// variabilities (0.05) nothing is ever redrawn.
//
// Each circuit is solved at every point of the sweep, one factorisation
// per point. A circuit whose system is singular at some point, or whose
// output is zero or not finite there, is rejected as a whole and counted;
// the statistics use the accepted circuits. Module and phase are taken
// relative to the nominal T of the point (the phase of T/T_nominal, so the
// phase deviation never sees a wrap at ±180°). With normalise_by_slope
// the standard deviations are normalised like the first-order ones:
// divided by √((Re Σ)² + 1) and √((Im Σ)² + 1) of the nominal point.
//
// The draws come from std::mt19937_64 and a normal transform of its own
// (std::normal_distribution differs between standard libraries), so a
// seed gives the same circuits everywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/engine.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis {

constexpr std::uint64_t default_monte_carlo_seed = 1;
constexpr Real monte_carlo_variability_limit = 0.5L;

struct MonteCarloResult {
    int samples = 0;        // circuits drawn
    int accepted = 0;       // circuits that entered the statistics
    int rejected = 0;       // singular, or a zero or not finite output, at some point
    long long redrawn = 0;  // draws repeated because the value would be zero or of the other sign
    std::uint64_t seed = 0;
    bool normalised = false;  // normalised by the slope, as the sweep's deviations
    // Sample standard deviations of module (dB) and phase (degrees), points
    // 0..N of the sweep; empty when fewer than two circuits were accepted.
    std::vector<Real> module_sd;
    std::vector<Real> phase_sd;
};

// Standard normal deviates: std::mt19937_64 (whose sequence the language
// fixes) through Marsaglia's polar form of Box-Muller, which needs only
// exact arithmetic and one logarithm per pair.
class NormalDraws {
public:
    explicit NormalDraws(std::uint64_t seed) : generator_(seed) {}
    double next();

private:
    std::mt19937_64 generator_;
    bool have_spare_ = false;
    double spare_ = 0;
};

// "* Monte Carlo: variabilidade acima de 0.5 em NAME." for the first
// element whose |variability| exceeds the limit, else "".
std::string monte_carlo_refusal(const Circuit& c);

// Draws the element values of one circuit into `sample` (a copy of `c`),
// counting the redraws.
void draw_circuit(const Circuit& c, Circuit& sample, NormalDraws& draws, long long& redrawn);

// Sets the values of `sample` (a copy of `c`) to those of `c` times
// factor[i] (elements 1..element_count), with the dependent values as the
// draws change them: GB and hfe kept under Ro and hie, Vs under Rs.
void scale_circuit(const Circuit& c, Circuit& sample, const ElementReals& factor);

// Called for every accepted circuit with its module (dB) and phase
// (degrees) relative to the nominal T at each point of the sweep.
using MonteCarloSample = std::function<void(const std::vector<Real>& module, const std::vector<Real>& phase)>;

// Runs N circuits over the points of the finished sweep `sw` of `c`.
// `e` is the engine of that sweep: its sensitivity blocks give Σ for the
// normalisation; it is not used to solve (the samples have an engine of
// their own). Needs sw.response_valid (std::logic_error otherwise).
// `on_sample`, when given, sees every accepted circuit.
MonteCarloResult monte_carlo(const Circuit& c, Engine& e, const Sweep& sw, const AnalysisSettings& s,
                             int samples, std::uint64_t seed, const MonteCarloSample& on_sample = {});

// The Monte Carlo table: a header, one line per point with the frequency,
// the first-order module and phase deviations of the sweep and the sample
// standard deviations of module and phase (listing format), and an empty
// line. Needs the standard deviations.
std::vector<std::string> monte_carlo_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s,
                                                 const MonteCarloResult& r);

// Writes the table to `file_name` (CP1252, CR LF, atomically) and logs
// "Tabela de Monte Carlo salva no arquivo " + name. suite::IoError when
// the file cannot be written (nothing logged).
void save_monte_carlo_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                            const AnalysisSettings& s, const MonteCarloResult& r, const Log& log);

// "Monte Carlo: N circuitos, semente S; rejeitados (sistema insolúvel ou
// saída nula): R; sorteios repetidos (valor nulo ou de sinal trocado): D"
std::string monte_carlo_summary(const MonteCarloResult& r);

}  // namespace analysis
