#include <gtest/gtest.h>

#include <stdexcept>

#include "common/textfile.h"
#include "editor/library/bitmap_maker.h"
#include "editor/library/bitmaps.h"
#include "editor/library/library.h"

namespace editor {
namespace {

TEST(Bitmaps, ResistorIsTheHandMadePicture) {
    const Bitmap expected{0x0000, 0x0080, 0x0080, 0x0080, 0x0080, 0x0300, 0x0080, 0x0060,
                          0x0080, 0x0300, 0x0080, 0x0060, 0x0080, 0x0080, 0x0080, 0x0080};
    EXPECT_EQ(kind_bitmap(kind_resistor), expected);
    // Column 8 is the lead; the zigzag leaves it in rows 5, 7, 9 and 11.
    EXPECT_TRUE(bitmap_bit(expected, 1, 8));
    EXPECT_FALSE(bitmap_bit(expected, 5, 8));
    EXPECT_TRUE(bitmap_bit(expected, 5, 6));
    EXPECT_TRUE(bitmap_bit(expected, 7, 10));
}

// The committed data is what editor_make_bitmaps writes from today's drawings.
TEST(Bitmaps, CommittedFileEqualsTheGeneratorOutput) {
    const std::string committed = suite::read_file_bytes(SUITE_SOURCE_DIR "/editor/library/bitmaps.cpp");
    EXPECT_EQ(committed, bitmaps_source())
        << "regenerate with: build/editor/library/editor_make_bitmaps editor/library/bitmaps.cpp";
    for (int i = 1; i <= library_size; ++i) EXPECT_EQ(kind_bitmap(i), derived_bitmap(i)) << i;
    EXPECT_THROW(kind_bitmap(0), std::out_of_range);
    EXPECT_THROW(kind_bitmap(70), std::out_of_range);
}

TEST(Bitmaps, RasterisingFollowsTheDrawing) {
    // A wire: column 8 in every row (its P2 end folds onto row 15).
    const Bitmap wire = rasterise_drawing("*JAJQ");
    for (int row = 0; row < 16; ++row) EXPECT_EQ(wire[static_cast<size_t>(row)], 0x0080) << row;
    // A single pair draws nothing; a dot draws one pixel at column dx-1, row 16-dy.
    EXPECT_EQ(rasterise_drawing("*JA"), Bitmap{});
    Bitmap dot{};
    dot[6] = 0x8000 >> 4;
    EXPECT_EQ(rasterise_drawing("@FK"), dot);
    // The label ring: 5 pixels from (9,8) at its extremes, symmetric about
    // column 8 and about row 8.
    const Bitmap ring = rasterise_drawing("#JIOIOI");
    for (const auto& [row, col] : {std::pair{8, 3}, {8, 13}, {3, 8}, {13, 8}})
        EXPECT_TRUE(bitmap_bit(ring, row, col)) << row << ',' << col;
    EXPECT_FALSE(bitmap_bit(ring, 8, 8));
    for (int row = 0; row < 16; ++row)
        for (int col = 3; col <= 13; ++col) {
            EXPECT_EQ(bitmap_bit(ring, row, col), bitmap_bit(ring, row, 16 - col)) << row << ',' << col;
            if (row >= 3 && row <= 13) {
                EXPECT_EQ(bitmap_bit(ring, row, col), bitmap_bit(ring, 16 - row, col)) << row << ',' << col;
            }
        }
}

// Arcs run counter-clockwise from start to end: the capacitor's curved plate
// bulges towards the straight plate (rows 9..10 in the bitmap), not away.
TEST(Bitmaps, ArcsRunCounterClockwise) {
    const Bitmap plate = rasterise_drawing("#JBGGMG");  // centre (9,1), r 6, (6,6) to (12,6)
    EXPECT_TRUE(bitmap_bit(plate, 16 - 7, 8));          // bottom of the circle (9,7)
    EXPECT_FALSE(bitmap_bit(plate, 15, 2));             // left of the circle (3,1)
    EXPECT_FALSE(bitmap_bit(plate, 15, 14));            // right of the circle (15,1)
    const Bitmap other_way = rasterise_drawing("#JBMGGG");
    EXPECT_FALSE(bitmap_bit(other_way, 16 - 7, 8));
    EXPECT_TRUE(bitmap_bit(other_way, 15, 2));
    EXPECT_TRUE(bitmap_bit(other_way, 15, 14));
}

// Every kind's picture shows something, and every two-terminal kind
// except the comment and command marks shows its lead at column 8 of row 15.
TEST(Bitmaps, EveryKindHasAPicture) {
    for (int i = 1; i <= library_size; ++i) {
        const Bitmap& b = kind_bitmap(i);
        bool any = false;
        for (const uint16_t w : b) any = any || w != 0;
        EXPECT_TRUE(any) << i;
        if (component_kind(i).terminals == 2 && i != kind_comment && i != kind_command) {
            EXPECT_TRUE(bitmap_bit(b, 15, 8)) << component_kind(i).key;
        }
    }
}

// At zoom 1 the picture is all there is to tell the kinds apart.
TEST(Bitmaps, EveryKindHasItsOwnPicture) {
    for (int i = 1; i <= library_size; ++i)
        for (int j = i + 1; j <= library_size; ++j)
            EXPECT_NE(kind_bitmap(i), kind_bitmap(j))
                << component_kind(i).key << " and " << component_kind(j).key << " look alike";
}

// The hand-made pictures show the symbols of their drawings: their leads
// reach the terminal ends wherever the drawing's do (first and last rows,
// at the lead column of two-terminal kinds and at the side columns of the
// others).
TEST(Bitmaps, HandMadePicturesKeepTheirDrawingsTerminals) {
    int hand_made = 0;
    for (int i = 1; i <= library_size; ++i) {
        const Bitmap* b = hand_made_bitmap(i);
        if (!b || i == kind_resistor) continue;
        ++hand_made;
        const Bitmap drawn = rasterise_drawing(component_kind(i).drawing);
        for (const int row : {0, 15})
            for (const int col : {0, 8, 15})
                if (bitmap_bit(drawn, row, col)) {
                    EXPECT_TRUE(bitmap_bit(*b, row, col))
                        << component_kind(i).key << ' ' << row << ',' << col;
                }
    }
    EXPECT_EQ(hand_made, 6);
    EXPECT_EQ(hand_made_bitmap(find_kind('l')), nullptr);
}

}  // namespace
}  // namespace editor
