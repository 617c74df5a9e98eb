#include "viewer/tablestore.h"

#include <cmath>
#include <cstdint>
#include <map>

namespace viewer {
namespace {

// The 48-bit real: 39 stored mantissa bits plus the hidden one, a binary
// exponent of 8 bits with bias 129 (the smallest normal is 2^-128, the
// largest just below 2^127).
constexpr int kMantissaBits = 40;
constexpr int kMinExponent = -127;  // frexp exponent of 2^-128
constexpr int kMaxExponent = 127;

}  // namespace

std::optional<Real48> round_real48(suite::Real x) {
    if (!std::isfinite(x)) return std::nullopt;
    if (x == 0) return 0.0;
    int e = 0;
    const suite::Real m = std::frexp(x, &e);  // x = m * 2^e, 0.5 <= |m| < 1
    if (e < kMinExponent) return 0.0;
    suite::Real rounded = std::ldexp(std::round(std::ldexp(m, kMantissaBits)), e - kMantissaBits);
    std::frexp(rounded, &e);
    if (e > kMaxExponent) return std::nullopt;
    return static_cast<double>(rounded);
}

const Entry* TableStore::current_entry_ptr() const {
    const TableSlot* t = current();
    if (!t || current_entry < 1 || current_entry > t->count) return nullptr;
    return &t->entry(current_entry);
}

bool any_table_in_use(const TableStore& store) {
    for (const TableSlot& t : store.slot_list)
        if (t.in_use()) return true;
    return false;
}

void allocate_slots(TableStore& store) { store.slot_list.assign(kSlotCount, TableSlot{}); }

int first_free_slot(const TableStore& store) {
    for (int n = 1; n <= static_cast<int>(store.slot_list.size()); ++n)
        if (!store.slot(n).in_use()) return n;
    return 0;
}

void register_table(TableStore& store, int n) {
    store.current_table = n;
    store.current_entry = 1;
}

void delete_current_table(TableStore& store) {
    if (store.current_table) {
        TableSlot& t = store.slot(store.current_table);
        t.is_pole = t.is_zero = false;
    }
    store.current_table = 0;
    for (int n = 1; n <= static_cast<int>(store.slot_list.size()); ++n)
        if (store.slot(n).in_use()) {
            store.current_table = n;
            break;
        }
    store.current_entry = 1;
}

void select_next_table(TableStore& store) {
    if (!store.current_table) return;
    const int total = static_cast<int>(store.slot_list.size());
    int n = store.current_table;
    for (int step = 0; step < total; ++step) {
        n = n % total + 1;
        if (store.slot(n).in_use()) break;
    }
    store.current_table = n;
    const int count = store.slot(n).count;
    if (store.current_entry > count) store.current_entry = count;
}

void next_entry(TableStore& store) {
    const TableSlot* t = store.current();
    if (!t) return;
    store.current_entry = store.current_entry >= t->count ? 1 : store.current_entry + 1;
}

void previous_entry(TableStore& store) {
    const TableSlot* t = store.current();
    if (!t) return;
    store.current_entry = store.current_entry <= 1 ? t->count : store.current_entry - 1;
}

Rgb palette_colour(int i) {
    static const Rgb palette[kPaletteSize] = {{255, 255, 255}, {255, 255, 0},  {255, 0, 0},   {0, 255, 255},
                                              {255, 0, 255},   {0, 255, 0},    {255, 160, 0}, {100, 160, 255},
                                              {192, 192, 192}, {200, 150, 255}};
    return palette[static_cast<std::size_t>(i - 1)];
}

Load begin_load(TableStore& store) {
    // How many loads still shown use each colour.
    std::map<int, int> colour_of_load;
    for (const TableSlot& t : store.slot_list)
        if (t.in_use() && t.load > 0) colour_of_load[t.load] = t.colour;
    std::array<int, kPaletteSize + 1> users{};
    for (const auto& [load, colour] : colour_of_load)
        if (colour >= 1 && colour <= kPaletteSize) ++users[static_cast<std::size_t>(colour)];
    int colour = 1;
    for (int i = 2; i <= kPaletteSize; ++i)
        if (users[static_cast<std::size_t>(i)] < users[static_cast<std::size_t>(colour)]) colour = i;
    return {++store.loads, colour};
}

Rgb table_colour(const TableStore& store, int n) {
    const int c = store.slot(n).colour;
    return c >= 1 && c <= kPaletteSize ? palette_colour(c) : slot_colour(n);
}

std::vector<LegendItem> legend(const TableStore& store) {
    std::map<int, LegendItem> by_load;  // in the order of the reads
    for (int n = 1; n <= static_cast<int>(store.slot_list.size()); ++n) {
        const TableSlot& t = store.slot(n);
        if (!t.in_use() || t.load <= 0) continue;
        LegendItem& item =
            by_load.try_emplace(t.load, LegendItem{t.name, table_colour(store, n)}).first->second;
        item.poles = item.poles || t.is_pole;
        item.zeros = item.zeros || t.is_zero;
    }
    std::vector<LegendItem> items;
    for (auto& [load, item] : by_load) items.push_back(std::move(item));
    return items;
}

const std::array<Rgb, kSlotCount>& slot_colours() {
    static const std::array<Rgb, kSlotCount> colours = [] {
        std::array<Rgb, kSlotCount> c{};
        for (int i = 1; i <= kPaletteSize; ++i) c[static_cast<std::size_t>(i - 1)] = palette_colour(i);
        // A linear congruential generator modulo 2^32; the high bits pick
        // one of the first nine colours.
        std::uint32_t seed = 1;
        for (std::size_t i = kPaletteSize; i < c.size(); ++i) {
            seed = seed * 134775813u + 1u;
            const auto pick = static_cast<int>((static_cast<std::uint64_t>(seed) * 9u) >> 32);
            c[i] = palette_colour(pick + 1);
        }
        return c;
    }();
    return colours;
}

Rgb slot_colour(int n) { return slot_colours()[static_cast<std::size_t>(n - 1)]; }

}  // namespace viewer
