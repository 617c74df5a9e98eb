#include "analysis/polezero/polezero_listing.h"

#include <string>

namespace analysis {

namespace {

constexpr Real degrees_per_radian = 180 / 3.141592653589793238462643383279502884L;

void list_entry(const Circuit& c, const AnalysisSettings& s, const Engine& e, const PoleZeroSet& set, int k,
                const Log& memo) {
    const auto fmt = [&](Real v) { return listing_number(s, v); };
    const PoleZeroEntry& en = set.entries[k];
    if (!set.poles) memo("Nó de saída: " + std::to_string(set.output_node));
    memo(std::string("Sensibilidades do ") + (set.poles ? "Polo" : "Zero") + " " + std::to_string(k) +
         " em " + fmt(en.Re) + " " + fmt(en.Im) + "j");
    if (!en.valid) {
        memo("Não calculáveis.");
        return;
    }
    memo("Desvio Real: " + fmt(en.VRe) + "; Desvio Imag: " + fmt(en.VIm));
    memo("Raio maior : " + fmt(en.Ra) + "; Raio menor: " + fmt(en.Rb));
    memo("Ângulo do raio maior: " + fmt(en.Ang * degrees_per_radian));
    for (int i = 1; i <= c.element_count; ++i) {
        const Complex si = sensitivity(e, k, i);
        std::string line = "S'(s," + c.elements[i].name + "): " + fmt(si.re) + " " + fmt(si.im) + "j";
        if (set.poles && i == en.observer) line += " (observador)";
        memo(line);
    }
}

}  // namespace

void list_pole_zero_set(const Circuit& c, const AnalysisSettings& s, const Engine& e, const PoleZeroSet& set,
                        const Log& memo) {
    for (int k = 1; k <= set.entry_count; ++k) list_entry(c, s, e, set, k, memo);
}

}  // namespace analysis
