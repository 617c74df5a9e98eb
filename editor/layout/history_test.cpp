// Undo and redo of the layout edits, checked on the circuit file's text:
// undo gives back the very lines the file held before the edit, redo the
// lines after it.
#include "editor/layout/history.h"

#include <gtest/gtest.h>

#include <functional>

#include "editor/files/circuitfile.h"
#include "editor/layout/layout_testing.h"

namespace editor {
namespace {

// The layout screen of the tests, with its edit history.
struct Desk : testing::TestScreen {
    EditHistory h;
    void place(int x, int y, char key) {
        cursor(x, y);
        ASSERT_EQ(place_element(c, v, key, say), PlaceResult::placed);
    }
    // What the circuit file would hold.
    std::string file() const {
        std::string text;
        for (int i = 1; i <= c.count; ++i) text += circuit_line(c.element[i]) + "\n";
        return text;
    }
    // An edit as the layout screen makes it: the state before, the edit,
    // the step kept when the edit changed something.
    template <typename Edit>
    bool edit(const std::string& what, Edit change, bool with_block = false) {
        CircuitState before = circuit_state(c, with_block ? &v.block : nullptr);
        change();
        return record_edit(h, what, std::move(before), c);
    }
};

bool same_block(const Block& a, const Block& b) {
    return a.state == b.state && a.start == b.start && a.end == b.end;
}

// Each kind of edit in turn, on the circuit the edits before it left:
// undo gives back the file (and, for copies and moves, the marked block)
// as it was before, redo as it was after.
TEST(EditHistory, EveryKindOfEditIsUndoneAndRedoneExactly) {
    Desk d;
    const auto at = [&d](int x, int y) {
        d.cursor(x, y);
        return topmost_under_cursor(d.c, d.v.cursor);
    };
    const auto mark = [&d](int x1, int y1, int x2, int y2) {
        d.cursor(x1, y1);
        block_key(d.v);
        d.cursor(x2, y2);
        block_follow(d.v);
        block_key(d.v);
    };
    struct Step {
        std::string what;
        std::function<void()> change;
        bool with_block = false;
    };
    const std::vector<Step> steps{
        {"Place R", [&] { d.place(62, 70, 'r'); }},
        {"Place E", [&] { d.place(64, 70, 'e'); }},
        {"Place C", [&] { d.place(66, 70, 'c'); }},
        {"Invert E", [&] { ASSERT_TRUE(invert_element(d.c, d.v, at(64, 70))); }},
        {"Reflect R", [&] { reflect_element(d.c, at(62, 70)); }},
        {"Name", [&] { ASSERT_TRUE(apply_parameters(d.c, at(62, 70), "R1", "1", d.say)); }},
        {"Parameters", [&] { ASSERT_TRUE(apply_parameters(d.c, at(62, 70), "R1", "4.7e3", d.say)); }},
        {"Delete C", [&] { delete_element(d.c, at(66, 70)); }},
        {"Copy block",
         [&] {
             mark(61, 68, 63, 71);
             d.cursor(70, 68);
             ASSERT_TRUE(copy_move_block(d.c, d.v, false, d.say));
         },
         true},
        {"Move block",
         [&] {
             d.cursor(80, 72);
             ASSERT_TRUE(copy_move_block(d.c, d.v, true, d.say));
         },
         true},
        {"Delete block", [&] { EXPECT_EQ(delete_block(d.c, d.v), 1); }},
        {"Erase all", [&] { d.c.count = 0; }},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        const std::string before = d.file();
        const Block block_before = d.v.block;
        ASSERT_TRUE(d.edit(s.what, s.change, s.with_block));
        const std::string after = d.file();
        const Block block_after = d.v.block;
        ASSERT_NE(after, before);
        d.c.changed = false;
        EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), s.what);
        EXPECT_EQ(d.file(), before);
        EXPECT_TRUE(d.c.changed);
        if (s.with_block) {
            EXPECT_TRUE(same_block(d.v.block, block_before));
        }
        EXPECT_EQ(redo_edit(d.h, d.c, d.v.block), s.what);
        EXPECT_EQ(d.file(), after);
        EXPECT_TRUE(same_block(d.v.block, block_after));
    }
    EXPECT_TRUE(d.said.empty());
    // The whole way back: twelve undos give the empty circuit, a
    // thirteenth finds nothing; the redos give the final state again.
    for (auto s = steps.rbegin(); s != steps.rend(); ++s) EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), s->what);
    EXPECT_EQ(d.c.count, 0);
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), std::nullopt);
    for (const Step& s : steps) EXPECT_EQ(redo_edit(d.h, d.c, d.v.block), s.what);
    EXPECT_EQ(d.c.count, 0);
    EXPECT_EQ(redo_edit(d.h, d.c, d.v.block), std::nullopt);
}

// Undone steps are redone in the order they were undone; a new edit drops
// them. An edit that changed nothing is no step and drops nothing.
TEST(EditHistory, ANewEditDropsTheRedoStepsAndNoChangeIsNoStep) {
    Desk d;
    d.edit("Place R", [&] { d.place(62, 70, 'r'); });
    const std::string one = d.file();
    d.edit("Place C", [&] { d.place(64, 70, 'c'); });
    const std::string two = d.file();
    d.edit("Place L", [&] { d.place(66, 70, 'l'); });
    const std::string three = d.file();
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), "Place L");
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), "Place C");
    EXPECT_EQ(d.file(), one);

    // The same text again, a refused text, a key of no kind: no steps.
    EXPECT_FALSE(d.edit("Parameters", [&] { apply_parameters(d.c, 1, "R", "1", d.say); }));
    EXPECT_FALSE(d.edit("Parameters", [&] { apply_parameters(d.c, 1, "R", "47k", d.say); }));
    EXPECT_FALSE(d.edit("Place", [&] { place_element(d.c, d.v, '~', d.say); }));
    EXPECT_EQ(redo_edit(d.h, d.c, d.v.block), "Place C");
    EXPECT_EQ(d.file(), two);

    EXPECT_TRUE(d.edit("Delete R", [&] { delete_element(d.c, 1); }));
    EXPECT_EQ(redo_edit(d.h, d.c, d.v.block), std::nullopt);
    EXPECT_NE(d.file(), three);
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), "Delete R");
    EXPECT_EQ(d.file(), two);
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), "Place C");
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), "Place R");
    EXPECT_EQ(d.file(), "");
}

// A hundred steps are kept, the oldest dropped first.
TEST(EditHistory, AHundredStepsDeep) {
    Desk d;
    std::vector<std::string> files{d.file()};
    for (int k = 0; k < 101; ++k) {
        ASSERT_TRUE(
            d.edit("Place " + std::to_string(k), [&] { d.place(61 + k % 30, 62 + 2 * (k / 30), 'r'); }));
        files.push_back(d.file());
    }
    ASSERT_EQ(d.c.count, 101);
    for (int k = 100; k >= 1; --k) {
        ASSERT_EQ(undo_edit(d.h, d.c, d.v.block), "Place " + std::to_string(k));
        ASSERT_EQ(d.file(), files[static_cast<std::size_t>(k)]);
    }
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), std::nullopt);  // "Place 0" was dropped
    EXPECT_EQ(d.c.count, 1);
    for (int k = 1; k <= 100; ++k) ASSERT_EQ(redo_edit(d.h, d.c, d.v.block), "Place " + std::to_string(k));
    EXPECT_EQ(d.file(), files.back());
}

TEST(EditHistory, ClearedHistoryHasNothingToUndoOrRedo) {
    Desk d;
    d.edit("Place R", [&] { d.place(62, 70, 'r'); });
    d.edit("Place C", [&] { d.place(64, 70, 'c'); });
    undo_edit(d.h, d.c, d.v.block);
    clear_history(d.h);
    const std::string now = d.file();
    EXPECT_EQ(undo_edit(d.h, d.c, d.v.block), std::nullopt);
    EXPECT_EQ(redo_edit(d.h, d.c, d.v.block), std::nullopt);
    EXPECT_EQ(d.file(), now);
}

}  // namespace
}  // namespace editor
