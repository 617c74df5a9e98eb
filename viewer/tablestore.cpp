#include "viewer/tablestore.h"

#include <cmath>
#include <cstdint>

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

const std::array<Rgb, kSlotCount>& slot_colours() {
    static const std::array<Rgb, kSlotCount> colours = [] {
        std::array<Rgb, kSlotCount> c{};
        const Rgb fixed[10] = {{255, 255, 255}, {255, 255, 0}, {255, 0, 0},   {0, 128, 0},     {255, 0, 255},
                               {0, 255, 0},     {128, 0, 0},   {128, 0, 128}, {192, 192, 192}, {128, 128, 0}};
        for (int i = 0; i < 10; ++i) c[static_cast<std::size_t>(i)] = fixed[i];
        // A linear congruential generator modulo 2^32; the high bits pick
        // one of the first nine colours.
        std::uint32_t seed = 1;
        for (std::size_t i = 10; i < c.size(); ++i) {
            seed = seed * 134775813u + 1u;
            const auto pick = static_cast<std::size_t>((static_cast<std::uint64_t>(seed) * 9u) >> 32);
            c[i] = fixed[pick];
        }
        return c;
    }();
    return colours;
}

Rgb slot_colour(int n) { return slot_colours()[static_cast<std::size_t>(n - 1)]; }

}  // namespace viewer
