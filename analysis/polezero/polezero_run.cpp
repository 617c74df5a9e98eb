#include "analysis/polezero/polezero_run.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>

#include "analysis/polezero/block_observer.h"
#include "analysis/polezero/deviation_table.h"
#include "analysis/polezero/deviations.h"
#include "analysis/polezero/point_sensitivity.h"
#include "analysis/polezero/polezero_file.h"
#include "analysis/polezero/polezero_listing.h"
#include "analysis/polezero/system_blocks.h"
#include "common/errors.h"
#include "common/textfile.h"

namespace analysis {

namespace {

std::string label_of(bool poles) { return poles ? "Polo" : "Zero"; }

// The stored sensitivities must belong to the circuit now read.
bool storage_prepared(const PoleZeroContext& x) {
    return x.circuit.present && x.sweep.prepared && x.engine.block_size == x.circuit.element_count &&
           x.engine.block_count >= 2;
}

// Before reading: the observer check and the reuse decision. False
// when the run must stop here.
bool check_observer(PoleZeroContext& x, const Log& memo) {
    const int k = x.engine.observer_element;
    if (!is_observer_element(x.circuit, k)) {
        memo("O elemento observador deve ser RLC");
        return false;
    }
    // A capacitor of 0 F has no impedance to compare the loop against.
    if (x.circuit.elements[k].value == 0) {
        memo("O elemento observador não pode ter valor nulo");
        return false;
    }
    if (k != x.set.last_observer) x.sweep.pz_valid = false;
    x.set.last_observer = k;
    return true;
}

// Whether the point really is a pole (loop residual of the observer's
// mesh) or a zero (output voltage), within tol_admittance.
bool check_point(const PoleZeroContext& x, bool poles, const Log& memo) {
    const Circuit& c = x.circuit;
    const Engine& e = x.engine;
    const AnalysisSettings& s = x.settings;
    const Complex r = point_residual(c, e, poles);
    if (within_tolerance(r, s)) return true;
    const std::string value = listing_number(s, r.re) + " " + listing_number(s, r.im) + "j";
    if (poles) {
        memo("* Impedância vista por " + c.elements[e.observer_element].name + " muito alta: " + value);
        memo("  Polo cancelado ou incorreto.");
    } else {
        memo("* Tensão de saída muito alta: " + value);
        memo("  Zero cancelado ou incorreto.");
    }
    return false;
}

void log_not_a_point(bool poles, const std::string& why, const Log& memo) {
    memo(why);
    memo("  " + label_of(poles) + " cancelado ou incorreto.");
}

// Whether entries j and k are the same point, to the digits a file holds.
bool same_point(const PoleZeroSet& set, int j, int k) {
    const PoleZeroEntry &a = set.entries[j], &b = set.entries[k];
    return std::hypot(a.Re - b.Re, a.Im - b.Im) <= 1e-9L * std::hypot(b.Re, b.Im);
}

// Copies of entry k listed before it.
int copies_before(const PoleZeroSet& set, int k) {
    int n = 0;
    for (int j = 1; j < k; ++j) n += same_point(set, j, k);
    return n;
}

bool listed_again(const PoleZeroSet& set, int k) {
    for (int j = 1; j <= set.entry_count; ++j)
        if (j != k && same_point(set, j, k)) return true;
    return false;
}

// The zeros of the output voltage near p (winding_near).
int output_winding(PoleZeroContext& x, Complex p) {
    const int col = x.circuit.output_column;
    return winding_near(x.circuit, x.engine, p, nullptr, [col](const Engine& e) {
        return Complex{e.system.normal_re[col], e.system.normal_im[col]};
    });
}

constexpr const char* multiple_pole = "* Polo múltiplo: desvios de primeira ordem indefinidos.";

// Sets the observer and the restriction of the engine for entry k; false,
// with the reason logged, when no block and observer take it.
bool choose_observer(PoleZeroContext& x, const SystemBlocks& blocks, int k, const Log& memo) {
    Engine& e = x.engine;
    const PoleZeroEntry& en = x.set.entries[k];
    const BlockChoice choice = block_for_copy(x.circuit, e, x.settings, blocks, {en.Re, en.Im},
                                              copies_before(x.set, k), e.observer_element);
    if (choice.multiple) {
        memo(multiple_pole);
        return false;
    }
    if (choice.block < 0) {
        log_not_a_point(true,
                        choice.seen ? "* Polo listado mais vezes do que o circuito o tem."
                                    : "* Nenhum elemento observador vê este polo.",
                        memo);
        return false;
    }
    e.observer_element = choice.observer;
    e.restriction = &blocks.restrictions[static_cast<std::size_t>(choice.block)];
    memo("Elemento observador: " + x.circuit.elements[choice.observer].name);
    return true;
}

enum class Outcome { valid, refused, unseen };  // unseen: singular there, or the residual is not small

// Entry k listed more than once, with one observer for every pole or as a
// zero: a multiple root when the determinant (the output voltage) winds
// around it more than once, and no element moves it to first order.
// Nothing when it is not.
std::optional<Outcome> listed_as_multiple(PoleZeroContext& x, bool poles, int k, const Log& memo) {
    if (!listed_again(x.set, k)) return std::nullopt;
    const Complex p{x.set.entries[k].Re, x.set.entries[k].Im};
    if (poles && roots_near(x.circuit, x.engine, p) > 1) {
        // Identical sections may each hold it once: the automatic observer
        // would compute every copy.
        memo(multiple_pole);
        return Outcome::unseen;
    }
    if (!poles && output_winding(x, p) > 1) {
        memo("* Zero múltiplo: desvios de primeira ordem indefinidos.");
        return Outcome::refused;
    }
    return std::nullopt;
}

// The system is singular at entry k: taking the observer out leaves a
// block that is singular there (the observer does not see this pole), or
// the point is a multiple root of the determinant.
Outcome singular_at(PoleZeroContext& x, bool poles, int k, const Log& memo) {
    const PoleZeroEntry& en = x.set.entries[k];
    if (poles && roots_near(x.circuit, x.engine, {en.Re, en.Im}) > 1) {
        memo(multiple_pole);
        return Outcome::refused;
    }
    if (poles)
        log_not_a_point(true,
                        "* O elemento observador " + x.circuit.elements[x.engine.observer_element].name +
                            " não vê este polo: sistema singular.",
                        memo);
    else
        log_not_a_point(false, "* Sistema singular neste zero.", memo);
    return Outcome::unseen;
}

// From the raw sensitivities of the solve at entry k to x_i·dp/dx_i in
// the blocks of point k. With one observer for every pole, and for a
// zero, a point whose G cancels is refused as multiple first; the
// automatic observer has refused a multiple root of its block already.
Outcome point_sensitivities(PoleZeroContext& x, bool poles, int k, bool automatic, const Log& memo) {
    Engine& e = x.engine;
    const PoleZeroEntry& en = x.set.entries[k];
    const Complex g = sum_frequency_sensitivity(x.circuit, e, k);
    if (!automatic && multiple_root(x.circuit, e, k, g)) {
        memo(std::string("* ") + label_of(poles) + " múltiplo: desvios de primeira ordem indefinidos.");
        return Outcome::refused;
    }
    const std::size_t n = static_cast<std::size_t>(e.block_size);
    const std::size_t base = static_cast<std::size_t>(k) * n;
    if (!scale_to_point_sensitivities({en.Re, en.Im}, g, std::span(e.sens_re.get() + base, n),
                                      std::span(e.sens_im.get() + base, n))) {
        // No element that scales with the frequency moves the point.
        log_not_a_point(poles, "* Função independente da frequência neste ponto.", memo);
        return Outcome::refused;
    }
    return Outcome::valid;
}

// Solves at the entry's frequency, checks it and leaves x_i·dp/dx_i in the
// blocks of point k.
Outcome evaluate_entry(PoleZeroContext& x, bool poles, int k, const SystemBlocks* blocks, const Log& memo) {
    Engine& e = x.engine;
    PoleZeroEntry& en = x.set.entries[k];
    const Real tol = x.settings.pivot_tolerance;
    if (std::fabs(en.Re) < tol && std::fabs(en.Im) < tol) {
        memo("* Não é permitida análise em CC.");
        return Outcome::refused;
    }
    e.point_index = k;
    e.normalised_sensitivities = false;
    struct Restore {  // the program's observer and a whole-matrix engine, whatever happens
        Engine& e;
        int observer;
        bool restore_observer;
        ~Restore() {
            e.restriction = nullptr;
            if (restore_observer) e.observer_element = observer;
        }
    } restore{e, e.observer_element, blocks != nullptr};
    const bool automatic = poles && blocks;
    if (automatic && !choose_observer(x, *blocks, k, memo)) return Outcome::refused;
    if (!automatic)
        if (const auto multiple = listed_as_multiple(x, poles, k, memo)) return *multiple;
    e.observer_mode = poles;
    e.sigma = en.Re;
    e.omega = en.Im;
    en.observer = poles ? e.observer_element : 0;
    if (try_build_and_solve(x.circuit, e, tol) != SolveOutcome::solved) return singular_at(x, poles, k, memo);
    if (!check_point(x, poles, memo)) return Outcome::unseen;
    return point_sensitivities(x, poles, k, automatic, memo);
}

// After a run with one observer: how many of the poles it did not see
// another observer inside their own block does.
void hint_automatic_observer(PoleZeroContext& x, const std::vector<int>& unseen, const Log& memo) {
    if (unseen.empty()) return;
    Engine& e = x.engine;
    const int observer = e.observer_element, point = e.point_index;
    const SystemBlocks blocks = find_system_blocks(x.circuit);
    int seen = 0;
    for (const int k : unseen) {
        e.point_index = k;
        const PoleZeroEntry& en = x.set.entries[k];
        const BlockChoice choice = block_for_copy(x.circuit, e, x.settings, blocks, {en.Re, en.Im},
                                                  copies_before(x.set, k), observer);
        if (choice.block >= 0) ++seen;
    }
    e.observer_element = observer;
    e.point_index = point;
    if (seen == 0) return;
    memo("* " + std::to_string(seen) + (seen == 1 ? " polo não visto por " : " polos não vistos por ") +
         x.circuit.elements[observer].name +
         "; o observador automático escolhe um elemento que vê cada polo.");
}

void compute_set_deviations(PoleZeroContext& x) {
    const Engine& e = x.engine;
    const std::size_t n = static_cast<std::size_t>(e.block_size);
    const std::span<const Real> sigma(&x.circuit.variability[1], n);
    for (int k = 1; k <= x.set.entry_count; ++k) {
        PoleZeroEntry& en = x.set.entries[k];
        if (!en.valid) continue;
        const std::size_t base = static_cast<std::size_t>(k) * n;
        compute_deviations(std::span(e.sens_re.get() + base, n), std::span(e.sens_im.get() + base, n), sigma,
                           en);
    }
}

std::optional<std::string> read_input(const std::string& name) {
    try {
        return suite::read_text(name);
    } catch (const suite::IoError&) {
        return std::nullopt;
    }
}

// Chooses, opens and reads the file, then evaluates every entry.
bool read_and_evaluate(PoleZeroContext& x, bool poles, const PoleZeroFileChooser& choose, const Log& memo) {
    const std::string label = label_of(poles);
    const auto name = choose(
        {x.netlist_base_name + default_pole_zero_extension(poles, x.circuit.output_node), poles ? 1 : 2});
    if (!name) return false;
    auto text = read_input(*name);
    if (!text) {
        memo("* Arquivo " + *name + " inexistente.");
        return false;
    }
    if (const std::size_t nul = text->find('\0'); nul != std::string::npos) {  // a binary file
        const auto line =
            1 + std::count(text->begin(), text->begin() + static_cast<std::ptrdiff_t>(nul), '\n');
        throw suite::IoError("Caractere NUL no arquivo " + *name + ", linha " + std::to_string(line));
    }
    memo(label + "s no arquivo: ");
    suite::TextScanner in(std::move(*text));
    const int capacity = pole_zero_capacity(x.circuit);
    const PoleZeroFile file = read_pole_zero_file(in, *name, capacity);
    if (file.status == PoleZeroFile::Status::too_many) {
        memo("* " + std::to_string(file.count) + " " + (poles ? "pólos" : "zeros") +
             " no arquivo; o limite é " + std::to_string(capacity) + ".");
        return false;
    }
    if (file.status == PoleZeroFile::Status::empty) {
        memo("* Arquivo " + *name + " vazio.");
        return false;
    }
    if (file.status == PoleZeroFile::Status::too_short) {
        memo("* Arquivo " + *name + " incompleto: " + std::to_string(file.points.size()) + " de " +
             std::to_string(file.count) + " " + (poles ? "pólos" : "zeros") + ".");
        return false;
    }
    PoleZeroSet& set = x.set;
    x.sweep.response_valid = false;  // the slots are overwritten from here on
    set.entry_count = static_cast<int>(file.count);
    set.poles = poles;
    set.output_node = x.circuit.output_node;
    std::optional<SystemBlocks> blocks;
    if (poles && x.auto_observer) blocks = find_system_blocks(x.circuit);
    std::vector<int> unseen;                      // entries the chosen observer may not see
    for (int k = 1; k <= set.entry_count; ++k) {  // every entry is known before any is judged
        PoleZeroEntry& en = set.entries[k];
        en.Re = file.points[k - 1].re;
        en.Im = file.points[k - 1].im;
        en.valid = false;
    }
    for (int k = 1; k <= set.entry_count; ++k) {
        PoleZeroEntry& en = set.entries[k];
        x.sweep.points[k].computed = false;
        memo(label + " " + std::to_string(k) + " " + listing_number(x.settings, en.Re) + " " +
             listing_number(x.settings, en.Im) + "j");
        en.observer = 0;
        const Outcome got = evaluate_entry(x, poles, k, blocks ? &*blocks : nullptr, memo);
        en.valid = got == Outcome::valid;
        if (poles && !blocks && got == Outcome::unseen) unseen.push_back(k);
    }
    hint_automatic_observer(x, unseen, memo);
    return true;
}

}  // namespace

bool multiple_root(const Circuit& c, const Engine& e, int point, Complex g) {
    Real terms = 0;
    for (int i = 1; i <= c.element_count; ++i) {
        if (frequency_scaling_sign(element_kind(c, i)) == 0) continue;
        const Complex si = sensitivity(e, point, i);
        terms += std::hypot(si.re, si.im);
    }
    return terms > 0 && std::hypot(g.re, g.im) < 1e-7L * terms;
}

int pole_zero_capacity(const Circuit& c) { return std::min(max_pole_zero_entries, c.segments + 1); }

int previous_observer(const Circuit& c, int from) {
    for (int i = std::min(from, c.element_count + 1) - 1; i >= 1; --i)
        if (is_observer_element(c, i)) return i;
    return from;
}

int next_observer(const Circuit& c, int from) {
    for (int i = std::max(from, 0) + 1; i <= c.element_count; ++i)
        if (is_observer_element(c, i)) return i;
    return from;
}

bool run_pole_zero(PoleZeroContext& x, bool poles, const PoleZeroFileChooser& choose_input, const Log& memo) {
    if (!storage_prepared(x)) {
        memo("* Circuito não analisado: use \"Analisar\" antes.");
        return false;
    }
    x.engine.observer_mode = poles;
    if (poles && x.auto_observer) {
        if (x.set.last_observer != 0) x.sweep.pz_valid = false;
        x.set.last_observer = 0;
    } else if (poles && !check_observer(x, memo)) {
        return false;
    }
    if (x.set.poles != poles) x.sweep.pz_valid = false;
    if (!x.sweep.pz_valid && !read_and_evaluate(x, poles, choose_input, memo)) return false;
    memo("Calculando desvios...");
    compute_set_deviations(x);
    list_pole_zero_set(x.circuit, x.settings, x.engine, x.set, memo);
    x.sweep.response_valid = false;
    x.sweep.pz_valid = true;
    x.set.current_entry = 1;
    x.set.scales = starting_scales(x.set);
    return true;
}

namespace {

// The observer a table names: the one of the run, or with the automatic
// observer the one every valid pole shares, else "auto".
std::string observer_name(const PoleZeroContext& x) {
    const PoleZeroSet& set = x.set;
    if (set.last_observer != 0) return x.circuit.elements[set.last_observer].name;
    int shared = 0;
    for (int k = 1; k <= set.entry_count; ++k) {
        const PoleZeroEntry& en = set.entries[k];
        if (!en.valid) continue;
        if (shared != 0 && en.observer != shared) return "auto";
        shared = en.observer;
    }
    return shared == 0 ? "auto" : x.circuit.elements[shared].name;
}

}  // namespace

bool save_pole_zero_deviations(PoleZeroContext& x, bool poles, const PoleZeroFileChooser& choose_input,
                               const PoleZeroFileChooser& choose_table, const Log& memo) {
    if (!x.sweep.pz_valid && !run_pole_zero(x, poles, choose_input, memo)) return false;
    const bool set_poles = x.set.poles;
    const auto name = choose_table({x.netlist_base_name + (set_poles ? ".tsp" : ".tsz"), set_poles ? 1 : 2});
    if (!name) return false;
    const std::string observer = set_poles ? observer_name(x) : std::string();
    write_deviation_table(*name, deviation_table_lines(x.set, set_poles, observer, x.set.output_node,
                                                       x.settings.number_width, x.settings.number_decimals));
    memo("Desvios salvos no arquivo " + *name);
    return true;
}

}  // namespace analysis
