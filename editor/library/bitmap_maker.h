// Derives the 16 by 16 bitmaps from the vector drawings, so both pictures of
// a kind always show the same symbol. A few kinds whose drawings come out
// unreadable at 16 by 16 (the resistor, the marked inductor, the
// transformer, the two flip-flop boxes, the two diodes) have hand-made
// pictures of the same symbol instead.
//
// A drawing is rasterised one pixel per drawing unit in its reference frame
// (dx to the right, dy downwards). Drawing point (dx, dy) is bitmap column
// dx - 1 and row 16 - dy, the correspondence the renderer uses at zoom 1;
// the few units outside 16 by 16 (dx = 0 or 17, dy = 0) fold onto the edge.
//
//   editor_make_bitmaps writes bitmaps_source() to editor/library/bitmaps.cpp;
//   the library test checks that the committed file equals it.
#pragma once

#include <string>
#include <string_view>

#include "editor/library/bitmaps.h"

namespace editor {

// The resistor's hand-made picture.
inline constexpr Bitmap resistor_bitmap{0x0000, 0x0080, 0x0080, 0x0080, 0x0080, 0x0300, 0x0080, 0x0060,
                                        0x0080, 0x0300, 0x0080, 0x0060, 0x0080, 0x0080, 0x0080, 0x0080};

Bitmap rasterise_drawing(std::string_view drawing);

// The hand-made picture of kind `index`, or nullptr when it has none.
const Bitmap* hand_made_bitmap(int index);

// The picture of kind `index`: the hand-made one, or its drawing rasterised.
Bitmap derived_bitmap(int index);

// The complete text of bitmaps.cpp.
std::string bitmaps_source();

}  // namespace editor
