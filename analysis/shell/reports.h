// Text made from a finished sweep: the dynamic-range report (into the log)
// and the response table (".tab" file).
//
//   if (!dynamic_range_report(c, sw, settings, log)) { /* no finished sweep */ }
//   save_response_table("filtro.tab", c, sw, settings, log);  // suite::IoError
//
// Both do nothing and return false until a sweep has finished over the
// circuit now read (response_valid). Numbers use the listing format of the
// parameters dialog (number_width, number_decimals).
#pragma once

#include <string>
#include <vector>

#include "analysis/circuit/circuit.h"
#include "analysis/circuit/log.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"

namespace analysis {

// "Faixa dinâmica": an empty line, the band, then the smallest and largest
// |V| of every node over the computed points.
bool dynamic_range_report(const Circuit& c, const Sweep& sw, const AnalysisSettings& s, const Log& log);

// The lines of the table: the header, one line per point 0..last_point,
// and a final empty line.
std::vector<std::string> response_table_lines(const Circuit& c, const Sweep& sw, const AnalysisSettings& s);

// Writes the table to `file_name` as given (CP1252, CR LF, atomically)
// and logs "Tabela de resposta em frequência salva no arquivo " + name.
// A file that cannot be written throws suite::IoError and logs nothing.
bool save_response_table(const std::string& file_name, const Circuit& c, const Sweep& sw,
                         const AnalysisSettings& s, const Log& log);

}  // namespace analysis
