#include "analysis/shell/report_commands.h"

#include <vector>

#include "analysis/display/program.h"
#include "common/numtext.h"
#include "common/textfile.h"

namespace moratw {

// Provisional: replaced by the core's report procedures.
void dynamic_range(Program& p) {
    auto fmt = [&](analysis::Real x) { return analysis::listing_number(p.settings, x); };
    p.log("");
    p.log("Extremos de nível de sinal nos nós, entre " + fmt(p.sweep.scale_min[0]) + " e " +
          fmt(p.sweep.scale_max[0]) + " " + analysis::frequency_unit_name(p.sweep));
    for (int i = 1; i <= p.circuit.node_count; ++i)
        p.log("Min(" + std::to_string(i) + "): " + fmt(p.sweep.node_min[i]) + " Max(" + std::to_string(i) +
              "): " + fmt(p.sweep.node_max[i]));
}

void save_response_table(Program& p, const std::string& file_name) {
    std::vector<std::string> lines;
    lines.push_back("# Resp. em freq. (" + analysis::frequency_unit_name(p.sweep) + "):Saida " +
                    std::to_string(p.circuit.output_node) + "; Dsv. " +
                    (p.settings.normalise_by_slope ? "norm. p/incl." : "normais") +
                    " (Frq, Mod, Fas, Atr, VeM, VeF, Mod-VeM, Mod+Vem, Fas-Vef, Fas+Vef)");
    auto fmt = [&](analysis::Real x) { return analysis::listing_number(p.settings, x); };
    for (int i = 0; i <= p.sweep.last_point; ++i) {
        const auto& pt = p.sweep.points[i];
        lines.push_back(fmt(pt.frequency) + " " + fmt(pt.module) + " " + fmt(pt.phase) + " " + fmt(pt.delay) + " " +
                        fmt(pt.module_dev) + " " + fmt(pt.phase_dev) + " " + fmt(pt.module - pt.module_dev) + " " +
                        fmt(pt.module + pt.module_dev) + " " + fmt(pt.phase - pt.phase_dev) + " " +
                        fmt(pt.phase + pt.phase_dev));
    }
    lines.push_back("");
    suite::write_text_file(file_name, lines);
    p.log("Tabela de resposta em frequência salva no arquivo " + file_name);
}

}  // namespace moratw
