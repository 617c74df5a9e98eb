#include <gtest/gtest.h>

#include "editor/layout/layout.h"
#include "editor/layout/layout_testing.h"

namespace editor {
namespace {

// The layout screen of the tests, with resistors and marked blocks.
struct Bench : testing::TestScreen {
    void resistor(int x, int y) {  // from (x, y + 1) down to (x, y)
        Element e;
        e.kind = 1;
        e.name = "R";
        e.P[1] = e.P[3] = pack_point(x, y + 1);
        e.P[2] = e.P[4] = pack_point(x, y);
        append_element(c, e);
    }
    // Marks the block from the cursor at (x1, y1) to the cursor at (x2, y2).
    void mark(int x1, int y1, int x2, int y2) {
        cursor(x1, y1);
        block_key(v);
        cursor(x2, y2);
        block_follow(v);
        block_key(v);
    }
};

TEST(LayoutBlocks, MarkingNormalisesTheCorners) {
    Bench b;
    b.mark(70, 62, 64, 68);  // dragged from lower right to upper left
    EXPECT_EQ(b.v.block.state, 2);
    EXPECT_EQ(b.v.block.start, pack_point(64, 62));
    EXPECT_EQ(b.v.block.end, pack_point(70, 68));
    block_key(b.v);
    EXPECT_EQ(b.v.block.state, 0);
}

TEST(LayoutBlocks, CopyAndMoveByTheCursorOffset) {
    for (const bool move : {false, true}) {
        Bench b;
        b.resistor(65, 65);
        b.resistor(90, 90);  // outside the block
        b.mark(64, 64, 66, 67);
        b.cursor(70, 75);
        b.c.changed = false;
        ASSERT_TRUE(copy_move_block(b.c, b.v, move, b.say)) << move;
        EXPECT_TRUE(b.said.empty());
        EXPECT_TRUE(b.c.changed);
        const Element& moved = b.c.element[move ? 1 : 3];
        EXPECT_EQ(b.c.count, move ? 2 : 3);
        EXPECT_EQ(moved.P[1], pack_point(71, 77));
        EXPECT_EQ(moved.P[2], pack_point(71, 76));
        EXPECT_EQ(moved.P[4], pack_point(71, 76));
        EXPECT_EQ(b.c.element[2].P[1], pack_point(90, 91));
        if (!move) {
            EXPECT_EQ(b.c.element[1].P[1], pack_point(65, 66));
        }
        EXPECT_EQ(b.v.block.start, pack_point(70, 75));
        EXPECT_EQ(b.v.block.end, pack_point(72, 78));
        EXPECT_EQ(b.v.block.state, 2);
    }
}

TEST(LayoutBlocks, LimitsOfTheGrid) {
    struct Row {
        int x, y;
        bool ok;
    };
    // Block 4 wide and 3 high: its right edge lands on x + 4, its top on y + 3.
    const Row rows[] = {{124, 100, true}, {125, 100, false}, {100, 124, true}, {100, 125, false}};
    for (const Row& r : rows) {
        Bench b;
        b.resistor(65, 65);
        b.mark(64, 64, 68, 67);
        b.cursor(r.x, r.y);
        EXPECT_EQ(copy_move_block(b.c, b.v, false, b.say), r.ok) << r.x << "," << r.y;
        if (r.ok) {
            EXPECT_TRUE(b.said.empty());
        } else {
            EXPECT_EQ(b.said, std::vector<std::string>{"Block beyond limits."});
            EXPECT_EQ(b.c.count, 1);
        }
    }
}

TEST(LayoutBlocks, OverlapsRefuseCopyingOntoItselfButNotMoving) {
    Bench b;
    b.resistor(65, 65);
    b.mark(64, 64, 66, 67);
    b.cursor(64, 65);  // one step up: the element is in both rectangles
    EXPECT_FALSE(copy_move_block(b.c, b.v, false, b.say));
    EXPECT_EQ(b.said, std::vector<std::string>{"Block overlaps elements."});
    EXPECT_EQ(b.c.count, 1);
    b.said.clear();
    EXPECT_TRUE(copy_move_block(b.c, b.v, true, b.say));
    EXPECT_TRUE(b.said.empty());
    EXPECT_EQ(b.c.element[1].P[2], pack_point(65, 66));
    // Another element in the way stops a move too.
    b.resistor(66, 70);
    b.cursor(64, 68);
    EXPECT_FALSE(copy_move_block(b.c, b.v, true, b.say));
    EXPECT_EQ(b.said.back(), "Block overlaps elements.");
}

TEST(LayoutBlocks, NothingWithoutAMarkedBlock) {
    Bench b;
    b.resistor(65, 65);
    EXPECT_FALSE(copy_move_block(b.c, b.v, false, b.say));
    b.cursor(65, 65);
    block_key(b.v);  // being marked is not marked
    EXPECT_FALSE(copy_move_block(b.c, b.v, true, b.say));
    EXPECT_EQ(b.said, (std::vector<std::string>{"No block marked.", "No block marked."}));
}

TEST(LayoutBlocks, DeleteRemovesWhatIsWhollyInside) {
    Bench b;
    b.resistor(65, 65);
    b.resistor(66, 66);
    b.resistor(65, 67);  // its upper end sticks out
    b.mark(64, 64, 67, 67);
    EXPECT_EQ(delete_block(b.c, b.v), 2);
    ASSERT_EQ(b.c.count, 1);
    EXPECT_EQ(b.c.element[1].P[2], pack_point(65, 67));
    EXPECT_EQ(b.v.block.state, 2);
    EXPECT_TRUE(b.c.changed);
}

TEST(LayoutBlocks, CopyStopsAtTheElementLimit) {
    Bench b;
    Element e;
    e.kind = 55;
    e.name = "-";
    for (int i = 0; i < max_elements - 3; ++i) append_element(b.c, e);  // far away at (0,0)
    b.resistor(65, 65);
    b.resistor(66, 65);
    b.mark(64, 64, 67, 67);
    b.cursor(80, 80);
    EXPECT_TRUE(copy_move_block(b.c, b.v, false, b.say));
    EXPECT_EQ(b.c.count, max_elements);
    EXPECT_EQ(b.said, std::vector<std::string>{"No memory for more elements."});
}

}  // namespace
}  // namespace editor
