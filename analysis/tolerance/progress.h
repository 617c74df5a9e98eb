// Progress and cancel of the long runs of the tolerance design (the
// sampled yields, the Monte Carlo circuits, the search of tolerances).
//
//   Progress p = [&](const std::string& stage, long long done, long long total) {
//       show(stage, done, total);             // total 0: not known in advance
//       return !cancel_pressed();             // false stops the run
//   };
//   try { report_yield(c, e, sw, s, m, 100000, 1000, seed, log, p); }
//   catch (const RunCancelled&) { log("* Cálculo cancelado."); }
//
// A run calls its progress at its start (done 0) and then every few
// samples or circuits; when the answer is false it stops there and throws
// RunCancelled, with nothing of the caller's records changed. Without a
// progress a run goes to its end.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

namespace analysis {

using Progress = std::function<bool(const std::string& stage, long long done, long long total)>;

class RunCancelled : public std::runtime_error {
public:
    RunCancelled() : std::runtime_error("cálculo cancelado") {}
};

// Tells `progress`, when there is one, and throws RunCancelled on a false answer.
inline void report_progress(const Progress& progress, const std::string& stage, long long done,
                            long long total) {
    if (progress && !progress(stage, done, total)) throw RunCancelled();
}

// Stage names shown while the runs go on.
inline const char* const first_order_stage = "Rendimento de 1ª ordem";
inline const char* const monte_carlo_stage = "Rendimento de Monte Carlo";
inline const char* const tightening_stage = "Busca das tolerâncias";

}  // namespace analysis
