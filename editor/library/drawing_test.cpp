#include "editor/library/drawing.h"

#include <gtest/gtest.h>

#include "editor/library/library.h"

namespace editor {
namespace {

using Points = std::vector<DrawPoint>;

TEST(DrawingLanguage, ResistorIsOnePolyline) {
    const auto cmds = decode_drawing(component_kind(kind_resistor).drawing);
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].op, DrawOp::polyline);
    EXPECT_EQ(cmds[0].points, (Points{{9, 0}, {9, 4}, {11, 5}, {7, 7}, {11, 9}, {7, 11}, {9, 12}, {9, 16}}));
}

TEST(DrawingLanguage, CapacitorLeadsCurvedPlateDotsAndStraightPlate) {
    const auto cmds = decode_drawing(component_kind(find_kind('C')).drawing);
    ASSERT_EQ(cmds.size(), 6u);
    EXPECT_EQ(cmds[0].op, DrawOp::polyline);
    EXPECT_EQ(cmds[0].points, (Points{{9, 0}, {9, 7}}));
    EXPECT_EQ(cmds[1].points, (Points{{9, 9}, {9, 16}}));
    EXPECT_EQ(cmds[2].op, DrawOp::circle_arc);
    EXPECT_EQ(cmds[2].points, (Points{{9, 1}, {6, 6}, {12, 6}}));
    EXPECT_EQ(cmds[2].radius, 6);
    EXPECT_FALSE(is_full_turn(cmds[2]));
    EXPECT_EQ(cmds[3].op, DrawOp::dot);
    EXPECT_EQ(cmds[3].points, (Points{{6, 9}}));
    EXPECT_EQ(cmds[4].points, (Points{{12, 9}}));
    EXPECT_EQ(cmds[5].op, DrawOp::polyline);
    EXPECT_EQ(cmds[5].points, (Points{{6, 9}, {12, 9}}));
}

TEST(DrawingLanguage, LabelRingIsAFullCircleOfRadiusFive) {
    const auto cmds = decode_drawing("#JIOIOI");
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].op, DrawOp::circle_arc);
    EXPECT_EQ(cmds[0].points[0], (DrawPoint{9, 8}));
    EXPECT_EQ(cmds[0].radius, 5);
    EXPECT_TRUE(is_full_turn(cmds[0]));
}

TEST(DrawingLanguage, RadiusRoundsToTheNearestInteger) {
    struct Row {
        const char* text;
        int radius;
    };
    const Row rows[] = {
        {"#AABDAA", 3},  // sqrt(10) = 3.16
        {"#AACDAA", 4},  // sqrt(13) = 3.61
        {"#AAAAAA", 0},  // centre and start coincide
        {"#AAGGAA", 8},  // sqrt(72) = 8.49
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const auto cmds = decode_drawing(r.text);
        ASSERT_EQ(cmds.size(), 1u);
        EXPECT_EQ(cmds[0].radius, r.radius);
    }
}

TEST(DrawingLanguage, OperandsAndSkippedCharacters) {
    struct Row {
        const char* text;
        std::vector<DrawOp> ops;
        size_t last_points;  // number of points of the last command
    };
    const Row rows[] = {
        {"*JA", {DrawOp::polyline}, 1},                   // single pair: moves only
        {"x *JAJQ!", {DrawOp::polyline}, 2},              // skipped before, lone letter after
        {"*JAJ@KK", {DrawOp::polyline, DrawOp::dot}, 1},  // odd letter dropped
        {"%BCFODODC", {DrawOp::ellipse_arc}, 4},          // box corners, start, end
        {"#JIOIO", {}, 0},                                // arc cut short: dropped
        {"*JAJQ%ABC", {DrawOp::polyline}, 2},             // ellipse cut short
        {"", {}, 0},
        {"?!", {}, 0},
        {"@AB#JIOIOI*", {DrawOp::dot, DrawOp::circle_arc, DrawOp::polyline}, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const auto cmds = decode_drawing(r.text);
        ASSERT_EQ(cmds.size(), r.ops.size());
        for (size_t i = 0; i < cmds.size(); ++i) EXPECT_EQ(cmds[i].op, r.ops[i]);
        if (!cmds.empty()) {
            EXPECT_EQ(cmds.back().points.size(), r.last_points);
        }
    }
    const auto ellipse = decode_drawing("%BCFODODC");
    EXPECT_EQ(ellipse[0].points, (Points{{1, 2}, {5, 14}, {3, 14}, {3, 2}}));
    EXPECT_FALSE(is_full_turn(ellipse[0]));
    EXPECT_TRUE(is_full_turn(decode_drawing("%IELHLHLH")[0]));
}

// Every library drawing decodes completely, inside its frame: columns 0..17
// and rows 0..16, polylines with at least two points.
TEST(DrawingLanguage, EveryLibraryDrawingStaysInItsFrame) {
    for (int i = 1; i <= library_size; ++i) {
        const ComponentKind& k = component_kind(i);
        SCOPED_TRACE(std::string(1, k.key));
        size_t letters = 0;
        for (const char c : k.drawing) letters += is_drawing_command(c) ? 0 : 1;
        size_t used = 0;
        for (const DrawCommand& c : decode_drawing(k.drawing)) {
            used += 2 * c.points.size();
            if (c.op == DrawOp::polyline) {
                EXPECT_GE(c.points.size(), 2u);
            }
            if (c.op == DrawOp::circle_arc) {
                EXPECT_GT(c.radius, 0);
            }
            for (const DrawPoint& p : c.points) {
                EXPECT_TRUE(p.dx >= 0 && p.dx <= 17) << p.dx;
                EXPECT_TRUE(p.dy >= 0 && p.dy <= 16) << p.dy;
            }
        }
        EXPECT_EQ(used, letters);
    }
}

}  // namespace
}  // namespace editor
