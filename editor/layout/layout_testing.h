// Test helper: a layout screen of 40 by 30 cells onto the grid from
// (60, 60), its messages kept, the cursor set directly on a segment.
#pragma once

#include <string>
#include <vector>

#include "editor/layout/layout.h"

namespace editor::testing {

struct TestScreen {
    Circuit c;
    ViewState v;
    std::vector<std::string> said;
    MessageSink say = [this](const std::string& s) { said.push_back(s); };

    TestScreen() {
        v.x0 = 60;
        v.y0 = 60;
        fit_view(v, 40 * 16, 30 * 16);
    }
    TestScreen(const TestScreen&) = delete;
    TestScreen& operator=(const TestScreen&) = delete;
    // The vertical segment from (x, y - 1) up to (x, y).
    void cursor(int x, int y) {
        v.cursor.vertical = true;
        v.cursor.first = pack_point(x, y - 1);
        v.cursor.second = pack_point(x, y);
    }
};

}  // namespace editor::testing
