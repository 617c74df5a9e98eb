// One design run: from the mask to the files, checked at once.
#include "analysis/design/design_run.h"

#include <cmath>
#include <filesystem>
#include <limits>

#include "analysis/design/drawing.h"
#include "common/errors.h"
#include "common/textfile.h"

namespace analysis::design {
namespace {

const char* const design_mark = "* Filtro projetado: ";

std::string file_name_only(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::optional<Series> finer(Series s) {
    switch (s) {
        case Series::e6:
            return Series::e12;
        case Series::e12:
            return Series::e24;
        case Series::e24:
            return Series::e48;
        case Series::e48:
            return Series::e96;
        case Series::e96:
            return std::nullopt;
    }
    return std::nullopt;
}

std::string check_command(const DesignOutcome& d, const DesignOptions& o) {
    std::string c = "morat " + file_name_only(d.netlist_file);
    if (d.band.hertz) c += " --hz";
    c += " --fmin " + netlist_value(d.band.f1) + " --fmax " + netlist_value(d.band.f2);
    c += " --output " + std::to_string(d.design.netlist.output_node);
    if (d.small_pivots) c += " --tol-pivot " + netlist_value(design_pivot_tolerance);
    c += " --variability " + netlist_value(o.resistor_variability());
    c += " --kind-variability C=" + netlist_value(o.capacitor_tolerance);
    if (!o.opamp.ideal) c += " --kind-variability A=0";
    c += " --mask " + file_name_only(d.mask_file) + " --yield 1000";
    return c;
}

void log_check(const FilterCheck& f, const Log& log) {
    for (const std::string& l : f.lines) log(l);
    const Real peak_db = 20 * std::log10(f.output_peak);
    if (f.levels.empty()) return;
    const OpAmpLevel* top = &f.levels.front();
    for (const OpAmpLevel& l : f.levels)
        if (l.peak > top->peak) top = &l;
    const Real below = peak_db - 20 * std::log10(top->peak);
    if (f.levels_ok)
        log("Níveis: nenhuma saída de amplificador operacional acima do pico da saída (" +
            short_text(peak_db) + " dB); a mais alta, " + top->name + " (nó " + std::to_string(top->node) +
            "), fica " + short_text(below) + " dB abaixo.");
    for (const OpAmpLevel& l : f.levels)
        if (l.peak > f.output_peak * (1 + 1e-9L))
            log("* Nível acima do pico da saída: " + l.name + " (nó " + std::to_string(l.node) + "), " +
                short_text(20 * std::log10(l.peak / f.output_peak)) + " dB acima.");
}

// The first line of a mask that a design wrote.
const char* const mask_mark = "* Máscara do projeto ";

bool is_design_mask(const std::string& file) {
    try {
        const std::vector<std::string> lines = suite::read_text_lines(file);
        return !lines.empty() && lines[0].rfind(mask_mark, 0) == 0;
    } catch (const suite::IoError&) {
        return false;
    }
}

// Files there that a design did not write: any of them when the netlist
// there is not a design's, and a mask of someone's own in any case.
std::string foreign_file(const std::string& stem, bool with_mask) {
    const std::string net = stem + ".net";
    const bool ours = suite::file_exists(net) && is_design_netlist(net);
    for (const std::string& f : design_files(stem, with_mask))
        if (suite::file_exists(f) && !ours) return f;
    if (with_mask && suite::file_exists(stem + ".msk") && !is_design_mask(stem + ".msk"))
        return stem + ".msk";
    return {};
}

}  // namespace

std::vector<std::string> design_files(const std::string& stem, bool with_mask) {
    std::vector<std::string> f{stem + ".net", stem + ".cir", stem + ".val", stem + ".pec"};
    if (with_mask) f.push_back(stem + ".msk");
    return f;
}

bool is_design_netlist(const std::string& file) {
    try {
        const std::vector<std::string> lines = suite::read_text_lines(file);
        return lines.size() > 1 && lines[1].rfind(design_mark, 0) == 0;
    } catch (const suite::IoError&) {
        return false;
    }
}

int run_design(const DesignRequest& q, DesignOutcome& out, const Log& log) {
    const bool own_mask = !q.mask.has_value();
    out.mask_file = own_mask ? q.stem + ".msk" : *q.mask;
    std::vector<std::string> mask_text;
    MaskReading m;
    if (own_mask) {
        mask_text = mask_lines(*q.requirement, std::string(mask_mark + 2) + file_name_only(q.stem));
        m = parse_mask(mask_text, out.mask_file);
    } else {
        if (!suite::file_exists(out.mask_file)) {
            log("* Arquivo " + out.mask_file + " inexistente.");
            return 1;
        }
        m = read_mask_file(out.mask_file);
    }
    const std::string name = file_name_only(out.mask_file);
    log("Projeto de filtro: máscara " + name);
    if (!m.refusals.empty()) {
        for (const std::string& r : m.refusals) log("* Máscara " + name + ", " + r);
        return 1;
    }
    out.mask = m.mask;
    const RequirementReading rr = requirement_from_mask(m.mask);
    if (!rr.refusals.empty()) {
        for (const std::string& r : rr.refusals)
            log("* Máscara " + name + (r.rfind("linha", 0) == 0 ? ", " : ": ") + r);
        return 1;
    }
    const Requirement& r = rr.requirement;
    DesignOptions o = q.options;
    const Real ripple = r.upper_db - r.lower_db;
    const Real margin = o.margin_db.value_or(default_margin(r));
    if (!(margin >= 0) || !(2 * margin < ripple)) {
        log("* Margem de " + short_text(margin) + " dB grande demais para a ondulação de " +
            short_text(ripple) + " dB da banda de passagem (a margem vale dos dois lados).");
        return 1;
    }
    for (int line : r.point_lines)
        log("Máscara, linha " + std::to_string(line) +
            ": faixa de uma só frequência; o projeto não a visa, a verificação a confere.");
    if (r.flat_delay && r.type != FilterType::lowpass)
        log("As faixas de atraso de um " + filter_type_name(r.type) +
            " são só verificadas: o atraso plano é "
            "projetado para passa-baixas.");
    if (!q.replace) {
        if (const std::string f = foreign_file(q.stem, own_mask); !f.empty()) {
            log("* O arquivo " + f + " já existe e não foi escrito por um projeto: escolha outro nome.");
            return 1;
        }
    }
    DesignChoice c = choose_design(r, o);
    for (const std::string& l : candidates_report(c, r)) log(l);
    if (c.designs.empty()) {
        log("* Nenhum projeto realiza o requisito.");
        return 1;
    }
    Real lo = 1e300L, hi = 0;
    for (const MaskRange& x : m.mask.ranges) lo = std::min(lo, x.f1), hi = std::max(hi, x.f2);
    if (!(hi > lo)) hi = lo * 10, lo /= 10;
    out.band = {lo, hi, m.mask.hertz, q.check_segments};
    // The designs checked, the cheapest first: the first whose rounded parts
    // keep the mask and the level rule is the design. When none does, a
    // finer series, then the next orders.
    Design best;
    FilterCheck best_check;
    bool have = false, met = false;
    auto worst = [](const FilterCheck& k) {
        return k.nominal.module.present ? k.nominal.module.margin : -std::numeric_limits<Real>::infinity();
    };
    auto attempt = [&](const Design& d) {
        const FilterCheck k = check_filter(d.netlist, m.mask, q.check_segments);
        const bool ok = k.meets && k.levels_ok;
        if (!ok) {
            log("* " + design_label(d) + " não atende" + (k.meets ? " à regra dos níveis:" : " à máscara:"));
            log_check(k, log);
        }
        const bool better = !have || ok || (k.meets && !best_check.meets) ||
                            (k.meets == best_check.meets && worst(k) > worst(best_check));
        if (better) {
            best = d;
            best_check = k;
            have = true;
        }
        return ok;
    };
    std::vector<Design> designs = std::move(c.designs);
    for (const Design& d : designs)
        if ((met = attempt(d))) break;
    for (int extra = 1; !met;) {
        if (const auto series = finer(o.resistors)) {
            o.resistors = *series;
            log("Tentando resistores " + series_name(*series) + ".");
        } else if (!o.order && extra <= 2) {
            log("Tentando a ordem seguinte.");
            for (Design& d : designs) d.order += 1;
            ++extra;
        } else {
            break;
        }
        for (Design& d : designs) {
            if (d.order > max_prototype_order) continue;
            try {
                d = design_filter(r, d.approximation, d.order, o);
            } catch (const std::exception& e) {
                log("* " + design_label(d) + ": " + e.what());
                continue;
            }
            if ((met = attempt(d))) break;
        }
    }
    out.design = best;
    out.meets = met;
    out.small_pivots = best_check.small_pivots;
    if (out.small_pivots)
        log("As admitâncias do circuito deixam pivôs menores que a tolerância de 1E-7: a análise usa " +
            netlist_value(design_pivot_tolerance) + " (--tol-pivot).");
    for (const std::string& l : design_report(best, o)) log(l);
    log_check(best_check, log);
    if (!out.meets) log("* O projeto não atende ao requisito; os arquivos são escritos assim mesmo.");
    // The files.
    out.netlist_file = q.stem + ".net";
    out.circuit_file = q.stem + ".cir";
    out.values_file = q.stem + ".val";
    out.parts_file = q.stem + ".pec";
    out.check_command = check_command(out, o);
    const std::vector<std::string> comments = design_comments(best, o, out.check_command);
    if (own_mask) suite::write_text_file(out.mask_file, mask_text);
    suite::write_text_file(out.netlist_file, netlist_lines(best.netlist, comments));
    // In the editor a word in parentheses is a formula: the drawing's comments take brackets.
    std::vector<std::string> drawn = comments;
    for (std::string& c : drawn)
        for (char& ch : c)
            if (ch == '(' || ch == ')') ch = ch == '(' ? '[' : ']';
    write_drawing(out.circuit_file, out.values_file, draw_cascade(best.cascade, best.netlist, drawn));
    suite::write_text_file(out.parts_file, parts_list(best, o));
    log("Arquivos escritos: " + out.netlist_file + ", " + out.circuit_file + ", " + out.values_file + ", " +
        out.parts_file + (own_mask ? ", " + out.mask_file : ""));
    return 0;
}

}  // namespace analysis::design
