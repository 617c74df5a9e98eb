// Dynamic-range report and response table.
#include "analysis/shell/reports.h"

#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {

bool dynamic_range_report(const Circuit& c, const Sweep& sw, const AnalysisSettings& s, const Log& log) {
    if (!sw.response_valid) return false;
    log("");
    log("Extremos de nível de sinal nos nós, entre " + listing_number(s, sw.scale_min[q_frequency]) + " e " +
        listing_number(s, sw.scale_max[q_frequency]) + " " + frequency_unit_name(sw));
    for (int i = 1; i <= c.node_count; ++i) {
        const std::string n = suite::format_int(i);
        log("Min(" + n + "): " + listing_number(s, sw.node_min[i]) + " Max(" + n +
            "): " + listing_number(s, sw.node_max[i]));
    }
    return true;
}

std::vector<std::string> response_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s) {
    std::vector<std::string> lines;
    lines.push_back("# Resp. em freq. (" + frequency_unit_name(sw) + "):Saida " +
                    suite::format_int(c.output_node) + "; Dsv. " +
                    (s.normalise_by_slope ? "norm. p/incl." : "normais") +
                    " (Frq, Mod, Fas, Atr, VeM, VeF, Mod-VeM, Mod+Vem, Fas-Vef, Fas+Vef)");
    for (int p = 0; p <= sw.last_point; ++p) {
        const PointRecord& pt = sw.points[p];
        const Real columns[] = {pt.frequency,
                                pt.module,
                                pt.phase,
                                pt.delay,
                                pt.module_dev,
                                pt.phase_dev,
                                pt.module - pt.module_dev,
                                pt.module + pt.module_dev,
                                pt.phase - pt.phase_dev,
                                pt.phase + pt.phase_dev};
        lines.push_back(listing_row(s, columns));
    }
    lines.push_back("");
    return lines;
}

bool save_response_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                         const AnalysisSettings& s, const Log& log) {
    if (!sw.response_valid) return false;
    suite::write_text_file(file_name, response_table_lines(c, sw, s));
    log("Tabela de resposta em frequência salva no arquivo " + file_name);
    return true;
}

}  // namespace analysis
