#include "analysis/shell/report_commands.h"

#include "analysis/display/program.h"
#include "analysis/shell/reports.h"

namespace moratw {

void dynamic_range(Program& p) { analysis::dynamic_range_report(p.circuit, p.sweep, p.settings, p.log); }

void save_response_table(Program& p, const std::string& file_name) {
    analysis::save_response_table(file_name, p.circuit, p.sweep, p.settings, p.log);
}

}  // namespace moratw
