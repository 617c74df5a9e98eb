// The 16 by 16 pictures of the library's kinds, used at zoom 1 and whenever
// vector drawings are off. Row i (0..15) runs along the element from P1
// towards P2; in each row word the most significant bit is column 0 and the
// least significant column 15 (columns run across the element).
//
// A few pictures are hand-made (the resistor's among them); every other one
// is derived from the kind's own vector drawing (bitmap_maker.h). All are
// stored in bitmaps.cpp, which tools/make_bitmaps.cpp writes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace editor {

using Bitmap = std::array<uint16_t, 16>;

// The picture of kind `index` (1..69). Throws std::out_of_range otherwise.
const Bitmap& kind_bitmap(int index);

inline bool bitmap_bit(const Bitmap& b, int row, int column) {
    return (b[static_cast<std::size_t>(row)] >> (15 - column)) & 1u;
}

}  // namespace editor
