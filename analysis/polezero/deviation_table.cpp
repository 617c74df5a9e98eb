#include "analysis/polezero/deviation_table.h"

#include "common/numtext.h"
#include "common/textfile.h"

namespace analysis {

namespace {
constexpr Real degrees_per_radian = 180 / 3.141592653589793238462643383279502884L;
}

std::string deviation_table_header(bool poles, const std::string& observer_name, int output_node) {
    const std::string tail = poles ? "; Obs: " + observer_name : "; Saída " + std::to_string(output_node);
    return std::string("Desvios estat. dos ") + (poles ? "Polo" : "Zero") + "s" + tail +
           " (Re, Im, VRe, VIm, Ra, Rb, Ang)";
}

std::string deviation_table_line(const PoleZeroEntry& e, int width, int decimals) {
    using suite::format_fixed;
    return format_fixed(e.Re, width, decimals) + " " + format_fixed(e.Im, width, decimals) + " " +
           format_fixed(e.VRe, width, decimals) + " " + format_fixed(e.VIm, width, decimals) + " " +
           format_fixed(e.Ra, 11, 6) + " " + format_fixed(e.Rb, width, decimals) + " " +
           format_fixed(e.Ang * degrees_per_radian, width, decimals);
}

std::vector<std::string> deviation_table_lines(const PoleZeroSet& set, bool poles,
                                               const std::string& observer_name, int output_node, int width,
                                               int decimals) {
    // The viewer holds 30 entries a table: longer sets go into several
    // tables of one file, each under the same header.
    const std::string header = deviation_table_header(poles, observer_name, output_node);
    std::vector<std::string> lines{header};
    int in_table = 0;
    for (int k = 1; k <= set.entry_count; ++k) {
        if (!set.entries[k].valid) continue;
        if (in_table == entries_per_table) {
            lines.emplace_back();
            lines.push_back(header);
            in_table = 0;
        }
        lines.push_back(deviation_table_line(set.entries[k], width, decimals));
        ++in_table;
    }
    lines.emplace_back();
    return lines;
}

void write_deviation_table(const std::string& path, const std::vector<std::string>& lines) {
    suite::write_text_file(path, lines);
}

}  // namespace analysis
