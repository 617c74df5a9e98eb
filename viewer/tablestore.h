// The viewer's table store: 1000 slots of pole/zero tables, the selection
// and the colours: every file read (a load) gets one colour for all of its
// tables, and the legend lists the loads still shown.
//
// Values are kept in the viewer's 48-bit real format (about 11 significant
// digits): everything read from a table goes through round_real48.
//
//   TableStore store;
//   allocate_slots(store);               // 1000 free slots
//   int n = first_free_slot(store);      // 0 when all are in use
//   ... fill store.slot(n) ..., register_table(store, n);
//   delete_current_table(store);         // Delete key
//   select_next_table(store);            // Enter key
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/real.h"

namespace viewer {

constexpr int kSlotCount = 1000;
constexpr int kEntryCount = 30;

// A value of the 48-bit real format: 40 significant bits, magnitudes from
// about 2.9E-39 to 1.7E+38. Exactly representable in a double.
using Real48 = double;
// The nearest 48-bit real; a magnitude below the smallest becomes 0, one
// beyond the largest (or not finite) has none.
std::optional<Real48> round_real48(suite::Real x);

// One pole or zero with its deviations (Ang in degrees).
struct Entry {
    Real48 Re = 0, Im = 0, VRe = 0, VIm = 0, Ra = 0, Rb = 0, Ang = 0;
};

struct TableSlot {
    std::string name;  // file name without its directory
    bool is_pole = false;
    bool is_zero = false;
    std::int32_t count = 0;
    std::array<Entry, kEntryCount> entries{};  // entries[k - 1] is entry k
    int load = 0;                              // the read that brought the table (1 for the first); 0: none
    int colour = 0;  // palette colour 1..kPaletteSize of its load; 0: the slot's own

    bool in_use() const { return is_pole || is_zero; }
    const Entry& entry(int k) const { return entries[static_cast<std::size_t>(k - 1)]; }
    Entry& entry(int k) { return entries[static_cast<std::size_t>(k - 1)]; }
};

struct TableStore {
    std::vector<TableSlot> slot_list;  // empty until allocate_slots
    int current_table = 0;             // 0: none
    int current_entry = 1;
    std::string last_file_name;
    int loads = 0;  // reads begun so far

    bool allocated() const { return !slot_list.empty(); }
    // Slot n, 1..kSlotCount.
    TableSlot& slot(int n) { return slot_list[static_cast<std::size_t>(n - 1)]; }
    const TableSlot& slot(int n) const { return slot_list[static_cast<std::size_t>(n - 1)]; }
    // The current table's slot, or nullptr.
    const TableSlot* current() const { return current_table ? &slot(current_table) : nullptr; }
    // The current entry, or nullptr when there is no current table.
    const Entry* current_entry_ptr() const;
};

// True when some slot holds a table.
bool any_table_in_use(const TableStore& store);

// Allocates the kSlotCount slots, all free.
void allocate_slots(TableStore& store);
// The first free slot counting from 1, 0 when all are in use.
int first_free_slot(const TableStore& store);
// Makes slot n (already filled) the current table with entry 1 current.
void register_table(TableStore& store, int n);
// Frees the current table's slot; the first slot in use becomes current
// (0 when none); current entry 1.
void delete_current_table(TableStore& store);
// From the current table on to the next slot in use, wrapping from the last
// slot to slot 1; the current entry is clamped to that table's count.
// Nothing happens without a current table.
void select_next_table(TableStore& store);
// Next and previous entry of the current table, wrapping around.
void next_entry(TableStore& store);
void previous_entry(TableStore& store);

// Colours as red, green, blue.
struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colours of the loads, all of them light enough to read on the black
// plot: white, yellow, red, cyan, fuchsia, lime, orange, sky blue, silver,
// lavender.
constexpr int kPaletteSize = 10;
Rgb palette_colour(int i);  // i in 1..kPaletteSize

// Begins a load: its number, and its colour, the palette colour that the
// fewest loads still shown use (the first such), so that a file read after
// another was deleted takes the colour it left.
struct Load {
    int number = 0;
    int colour = 0;
};
Load begin_load(TableStore& store);

// The colour slot n is drawn in: its load's colour, or for a table placed
// without a load the slot's own colour.
Rgb table_colour(const TableStore& store, int n);

// One line of the legend: a load with a table still in use, its file name,
// its colour and the kinds of its tables.
struct LegendItem {
    std::string name;
    Rgb colour;
    bool poles = false, zeros = false;
};
// The loads still shown, in the order they were read.
std::vector<LegendItem> legend(const TableStore& store);

// The colour of every slot: slots 1 to 10 the palette, each of slots 11 to
// 1000 one of the first nine chosen by a pseudo-random generator with a
// fixed seed (the same colours at every start). Element n - 1 is slot n.
const std::array<Rgb, kSlotCount>& slot_colours();
// Slot n's colour.
Rgb slot_colour(int n);

}  // namespace viewer
