// The netlist reader, then "Analisar" on node 1, a sweep over three
// frequencies, the reports, and a pole and a zero run, each stopped by the
// fatal conditions as the program stops them.
//
// The input is the netlist, optionally followed by a line "#pz" and the
// pole/zero file of the runs (two points when it is absent). After "#pz" on
// the same line, each "<" or ">" (eight at most) moves the observer element
// of the pole run to the previous or the next one, as the pole/zero
// window's keys do.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "analysis/circuit/netlist_reader.h"
#include "analysis/engine/settings.h"
#include "analysis/engine/sweep.h"
#include "analysis/polezero/polezero_run.h"
#include "analysis/shell/reports.h"
#include "common/errors.h"
#include "fuzz/fuzz_support.h"

namespace {

using namespace analysis;

// The program's records, made once (they are large) and renewed in place
// before an input may use them, so that no input sees what the one before
// left. Most inputs stop in the reader: the engine, the sweep and the
// pole/zero set are renewed only after an input that reached them, which
// spares clearing most of a megabyte per execution.
template <typename T>
struct Record {
    std::unique_ptr<T> slot = std::make_unique<T>();
    bool used = false;

    T& fresh() {
        if (used) {
            slot->~T();
            new (slot.get()) T();
        }
        used = true;
        return *slot;
    }
};

struct Program {
    Circuit* c;
    Engine* e = nullptr;
    Sweep* sw = nullptr;
    PoleZeroSet* set = nullptr;
    AnalysisSettings s;
    bool check_texts = true;  // the input's own text cannot print as "INF"/"NAN"
    Log log;

    Program() {
        static Record<Circuit> circuit;
        c = &circuit.fresh();
        log = [this](const std::string& line) {
            if (check_texts) fuzz::check_no_non_finite_text(line, "the log");
        };
    }

    // Before the analysis: the records the reader does not touch.
    void renew_analysis_records() {
        static Record<Engine> engine;
        static Record<Sweep> sweep;
        static Record<PoleZeroSet> pz;
        e = &engine.fresh();
        sw = &sweep.fresh();
        set = &pz.fresh();
    }
};

void check_points(const Program& p) {
    for (int k = 0; k <= p.sw->last_point; ++k) {
        const PointRecord& pt = p.sw->points[k];
        if (!pt.computed) continue;
        for (Real x : {pt.module, pt.phase, pt.delay, pt.module_dev, pt.phase_dev})
            fuzz::check(std::isfinite(x), "a swept point holds a value that is not finite");
    }
}

void check_file(const std::string& path, const Program& p) {
    if (!p.check_texts) return;
    const std::string text = fuzz::read_scratch(path);
    fuzz::check_no_non_finite_text(text.substr(text.find('\n') + 1), path);
}

void sweep_and_report(Program& p) {
    p.c->segments = 2;  // three frequencies
    if (!start_analysis(*p.c, *p.e, *p.sw, p.s, 1, 1, p.log)) return;
    try {
        sweep(*p.c, *p.e, *p.sw, p.s, p.log);
    } catch (const suite::FatalError&) {
        check_points(p);
        return;
    }
    check_points(p);
    dynamic_range_report(*p.c, *p.sw, p.s, p.log);
    for (const std::string& line : response_table_lines(*p.c, *p.sw, p.s))
        if (p.check_texts && line.rfind("#", 0) != 0) fuzz::check_no_non_finite_text(line, "the table");
}

struct Input {
    std::string_view netlist;
    std::string_view observer_keys;
    std::string_view points = "2\n-0.5 0.866\n-1000 3\n";
};

Input split(std::string_view data) {
    constexpr std::string_view separator = "\n#pz";
    Input in;
    const std::size_t cut = data.find(separator);
    in.netlist = data.substr(0, cut);
    if (cut == std::string_view::npos) return in;
    const std::string_view rest = data.substr(cut + separator.size());
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    in.observer_keys = rest.substr(0, std::min<std::size_t>(end, 8));
    in.points = rest.substr(std::min(end + 1, rest.size()));
    return in;
}

void move_observer(Program& p, std::string_view keys) {
    for (char key : keys) {
        const int before = p.e->observer_element;
        if (key == '<') p.e->observer_element = previous_observer(*p.c, before);
        if (key == '>') p.e->observer_element = next_observer(*p.c, before);
        const int now = p.e->observer_element;
        fuzz::check(
            now == before || (now >= 1 && now <= p.c->element_count && is_observer_element(*p.c, now)),
            "the observer moved onto an element that cannot observe");
    }
}

void pole_zero_runs(Program& p, const Input& in, const std::string& netlist_path) {
    static const std::string points = fuzz::scratch_path("points.r");
    static const std::string table = fuzz::scratch_path("table.tsp");
    fuzz::write_scratch(points, in.points);
    const PoleZeroFileChooser input = [](const PoleZeroFileRequest&) { return points; };
    const PoleZeroFileChooser output = [](const PoleZeroFileRequest&) { return table; };
    move_observer(p, in.observer_keys);
    for (bool poles : {true, false}) {
        PoleZeroContext x{*p.c, *p.e,   *p.sw,
                          p.s,  *p.set, netlist_base_name(complete_netlist_name(netlist_path))};
        try {
            if (!run_pole_zero(x, poles, input, p.log)) continue;
            for (int k = 1; k <= p.set->entry_count; ++k) {
                const PoleZeroEntry& en = p.set->entries[k];
                if (en.valid)
                    for (Real v : {en.VRe, en.VIm, en.Ra, en.Rb, en.Ang})
                        fuzz::check(std::isfinite(v), "a pole/zero deviation that is not finite");
            }
            if (save_pole_zero_deviations(x, poles, input, output, p.log)) check_file(table, p);
        } catch (const suite::FatalError&) {
            return;
        } catch (const suite::IoError&) {
            return;  // a pole/zero file that cannot be read: shown in the error box
        }
    }
}

void check_limits(const Circuit& c) {
    fuzz::check(c.equation_count <= max_equations && c.variable_count <= max_variables &&
                    c.element_count <= max_elements,
                "a circuit beyond the limits");
}

// A text with a NUL byte, given to the reader directly (open_netlist refuses
// it before): a NUL in a name is refused, one where the reader skips the
// rest of a line (a comment) is not; either way the limits hold.
void read_binary_text(Program& p, std::string_view text) {
    suite::TextScanner in{std::string(text)};
    try {
        read_netlist(*p.c, in, p.log);
    } catch (const suite::FatalError&) {
        return;
    } catch (const suite::IoError&) {
        return;
    }
    fuzz::check(p.c->present, "a circuit read without error but absent");
    check_limits(*p.c);
}

}  // namespace

int fuzz_netlist(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::scratch_path("netlist.net");
    const Input in = split(std::string_view(reinterpret_cast<const char*>(data), size));
    fuzz::write_scratch(path, in.netlist);
    Program p;
    p.check_texts =
        !fuzz::may_print_like_a_non_finite(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        if (!open_netlist(*p.c, path, p.log)) return 0;
    } catch (const suite::FatalError&) {
        fuzz::check(!p.c->present, "a circuit left present after a fatal error");
        return 0;
    } catch (const suite::IoError&) {
        fuzz::check(!p.c->present, "a circuit left present after a read error");
        if (in.netlist.find('\0') != std::string_view::npos) read_binary_text(p, in.netlist);
        return 0;
    }
    fuzz::check(p.c->present, "a circuit read without error but absent");
    check_limits(*p.c);
    p.renew_analysis_records();
    try {
        sweep_and_report(p);
        pole_zero_runs(p, in, path);
    } catch (const suite::IoError&) {
        // A file the program could not write: shown in the error box.
    }
    return 0;
}
