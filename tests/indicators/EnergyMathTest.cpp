#include <gtest/gtest.h>

#include "indicators/math/EnergyIndicatorMath.h"

using namespace Indicators;

TEST(EnergyScale, RowsAndCursorPositions) {
    // Height 102: inner height 100. Too small to have an inside: a harmless row.
    EXPECT_EQ(LevelRow(0.0f, 102), 100);
    EXPECT_EQ(LevelRow(1.0f, 102), 1);
    EXPECT_EQ(LevelRow(0.5f, 102), 51);
    EXPECT_EQ(FloorRow(0.25f, 102), 76);
    EXPECT_EQ(LevelRow(0.5f, 2), 1);
    EXPECT_EQ(LevelRow(0.5f, 0), 1);

    // Height 104: rows 2..102 span the range, clamped beyond. A pane of four
    // rows or fewer has no range: the floor stays put.
    const struct {
        int row, height;
        float current, expected;
    } cases[] = {{2, 104, 0.3f, 1.0f},   {102, 104, 0.3f, 0.0f}, {154, 104, 0.3f, 0.0f},
                 {-40, 104, 0.3f, 1.0f}, {52, 104, 0.3f, 0.5f},  {2, 4, 0.3f, 0.3f},
                 {2, 0, 0.7f, 0.7f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " height " << c.height);
        EXPECT_FLOAT_EQ(FloorFromCursorRow(c.row, c.height, c.current), c.expected);
    }
}

// Where the fills land is checked in pixels (EnergyIndicatorTest).
TEST(EnergyPlan, TinyPanesPlanNothingNegative) {
    for (int w = 0; w <= 3; ++w) {
        for (int h = 0; h <= 4; ++h) {
            for (const auto& step : EnergyFacePlan(w, h, 0.4f, 0.6f)) {
                EXPECT_GT(step.rect.width, 0);
                EXPECT_GT(step.rect.height, 0);
            }
        }
    }
}
