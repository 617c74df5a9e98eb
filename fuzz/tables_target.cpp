// The viewer's reading of deviation tables and reference files into the
// table store, then what the viewer does after a load: each table's colour
// for the drawing, the store's selection keys and the centring on the
// current entry.
#include <cmath>

#include "common/errors.h"
#include "fuzz/fuzz_support.h"
#include "viewer/display.h"
#include "viewer/tablereader.h"

namespace {

using namespace viewer;

void check_selection(const TableStore& store) {
    if (!store.current_table) return;
    const TableSlot& t = store.slot(store.current_table);
    fuzz::check(t.in_use(), "the current table is a free slot");
    fuzz::check(t.count >= 1 && t.count <= kEntryCount, "a table count out of range");
    fuzz::check(store.current_entry >= 1 && store.current_entry <= t.count, "the current entry out of range");
}

}  // namespace

int fuzz_tables(const std::uint8_t* data, std::size_t size) {
    static const std::string path = fuzz::scratch_path("tables.tsp");
    fuzz::write_scratch(path, std::string_view(reinterpret_cast<const char*>(data), size));
    TableStore store;
    // Few slots, so that running out of them is reached too.
    store.slot_list.assign(4, TableSlot{});
    int lines = 0;
    const ReadOutcome r = read_table_file(store, path, [&lines](const std::string&) { ++lines; });
    fuzz::check(lines >= 1, "a reading that reports nothing");
    int used = 0;
    for (int n = 1; n <= static_cast<int>(store.slot_list.size()); ++n) {
        const TableSlot& t = store.slot(n);
        if (!t.in_use()) continue;
        ++used;
        fuzz::check(t.is_pole != t.is_zero, "a table both of poles and of zeros");
        fuzz::check(slot_colour(n) != Rgb{0, 0, 0}, "a table drawn in black on the black plot");
        for (int k = 1; k <= t.count; ++k) {
            const Entry& e = t.entry(k);
            for (double v : {e.Re, e.Im, e.VRe, e.VIm, e.Ra, e.Rb, e.Ang})
                fuzz::check(std::isfinite(v) && std::fabs(v) < 1.8e38, "a value beyond the 48-bit reals");
        }
    }
    fuzz::check(used == r.tables, "tables counted wrongly");
    check_selection(store);
    DisplayState d;
    for (int step = 0; step < 6; ++step) {
        next_entry(store);
        check_selection(store);
        if (const Entry* e = store.current_entry_ptr()) apply_window(d, centred_on(d, e->Re, e->Im));
        fuzz::check(std::isfinite(d.re_min) && std::isfinite(d.im_min) && d.width > 0,
                    "a display window lost");
        select_next_table(store);
        check_selection(store);
        previous_entry(store);
        check_selection(store);
        if (step % 2) delete_current_table(store);
        check_selection(store);
    }
    return 0;
}
