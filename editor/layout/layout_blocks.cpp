// Blocks: marking, copying, moving and deleting a rectangle of elements.
#include "editor/layout/layout.h"

namespace editor {

bool element_inside(const Element& e, std::int32_t a, std::int32_t b) {
    for (int t = 1; t <= kind_terminals(e.kind); ++t) {
        const std::int32_t p = point(e, t);
        if (grid_x(p) < grid_x(a) || grid_x(p) > grid_x(b) || grid_y(p) < grid_y(a) || grid_y(p) > grid_y(b))
            return false;
    }
    return true;
}

void block_key(ViewState& v) {
    Block& b = v.block;
    switch (b.state) {
    case 0:
        b.start = b.end = v.cursor.second;
        b.state = 1;
        break;
    case 1: {
        if (b.start > b.end) std::swap(b.start, b.end);
        const int x1 = grid_x(b.start), x2 = grid_x(b.end);
        if (x1 > x2) {
            b.start = pack(x2, grid_y(b.start));
            b.end = pack(x1, grid_y(b.end));
        }
        b.state = 2;
        break;
    }
    default:
        b.state = 0;
        break;
    }
}

void block_follow(ViewState& v) {
    if (v.block.state == 1) v.block.end = v.cursor.second;
}

bool copy_move_block(Circuit& c, ViewState& v, bool move, const MessageSink& say) {
    Block& b = v.block;
    if (b.state != 2) {
        say("No block marked.");
        return false;
    }
    const std::int32_t to = v.cursor.second;
    const int dx = grid_x(to) - grid_x(b.start);
    const int dy = grid_y(to) - grid_y(b.start);
    const std::int32_t to_end = pack(grid_x(b.end) + dx, grid_y(b.end) + dy);
    if (grid_x(b.end) + dx > grid_size || grid_y(b.end) + dy >= grid_size) {
        say("Block beyond limits.");
        return false;
    }
    for (int i = 1; i <= element_count(c); ++i) {
        const Element& e = element_at(c, i);
        if (element_inside(e, to, to_end) && !(move && element_inside(e, b.start, b.end))) {
            say("Block overlaps elements.");
            return false;
        }
    }
    const std::int32_t offset = dx + 256 * dy;
    const int before = element_count(c);
    for (int i = 1; i <= before; ++i) {
        if (!move && element_count(c) >= max_elements) break;
        if (!element_inside(element_at(c, i), b.start, b.end)) continue;
        Element* taken = &element_at(c, i);
        if (!move) {
            append_element(c, element_at(c, i));
            taken = &element_at(c, element_count(c));
        }
        for (int t = 1; t <= 4; ++t) point(*taken, t) += offset;
    }
    b.start = to;
    b.end = to_end;
    c.changed = true;
    if (!move && element_count(c) >= max_elements) say("No memory for more elements.");
    return true;
}

int delete_block(Circuit& c, const ViewState& v) {
    int removed = 0;
    for (int i = element_count(c); i >= 1; --i) {
        if (element_inside(element_at(c, i), v.block.start, v.block.end)) {
            remove_element(c, i);
            ++removed;
        }
    }
    c.changed = true;
    return removed;
}

}  // namespace editor
