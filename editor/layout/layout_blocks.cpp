// Blocks: marking, copying, moving and deleting a rectangle of elements.
#include "editor/layout/layout.h"

namespace editor {

bool element_inside(const Element& e, std::int32_t a, std::int32_t b) {
    for (int t = 1; t <= terminals_of(e); ++t) {
        const std::int32_t p = e.P[t];
        if (point_x(p) < point_x(a) || point_x(p) > point_x(b) || point_y(p) < point_y(a) ||
            point_y(p) > point_y(b))
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
            const int x1 = point_x(b.start), x2 = point_x(b.end);
            if (x1 > x2) {
                b.start = pack_point(x2, point_y(b.start));
                b.end = pack_point(x1, point_y(b.end));
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
    const int dx = point_x(to) - point_x(b.start);
    const int dy = point_y(to) - point_y(b.start);
    const std::int32_t to_end = pack_point(point_x(b.end) + dx, point_y(b.end) + dy);
    if (point_x(b.end) + dx > grid_size || point_y(b.end) + dy >= grid_size) {
        say("Block beyond limits.");
        return false;
    }
    for (int i = 1; i <= c.count; ++i) {
        const Element& e = c.element[i];
        if (element_inside(e, to, to_end) && !(move && element_inside(e, b.start, b.end))) {
            say("Block overlaps elements.");
            return false;
        }
    }
    const std::int32_t offset = dx + 256 * dy;
    const int before = c.count;
    for (int i = 1; i <= before; ++i) {
        if (!move && c.count >= max_elements) break;
        if (!element_inside(c.element[i], b.start, b.end)) continue;
        Element* taken = &c.element[i];
        if (!move) {
            append_element(c, c.element[i]);
            taken = &c.element[c.count];
        }
        for (int t = 1; t <= 4; ++t) (*taken).P[t] += offset;
    }
    b.start = to;
    b.end = to_end;
    c.changed = true;
    if (!move && c.count >= max_elements) say("No memory for more elements.");
    return true;
}

int delete_block(Circuit& c, const ViewState& v) {
    int removed = 0;
    for (int i = c.count; i >= 1; --i) {
        if (element_inside(c.element[i], v.block.start, v.block.end)) {
            remove_element(c, i);
            ++removed;
        }
    }
    c.changed = true;
    return removed;
}

}  // namespace editor
