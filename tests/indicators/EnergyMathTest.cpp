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

TEST(EnergyPlan, FillsForLevelAboveOnAndBelowTheFloor) {
    using F = EnergyFill;
    const struct {
        float level;
        std::vector<EnergyFillStep> steps;
    } cases[] = {
        // Level row 26 above the floor row 51: the bar runs through the line
        // down to row H-2.
        {0.75f,
         {{F::Window, {1, 1, 8, 25}},
          {F::Gradient, {1, 26, 8, 25}},
          {F::WindowText, {1, 51, 8, 1}},
          {F::Gradient, {1, 52, 8, 49}}}},
        // On the floor: the line is drawn over the top of the bar.
        {0.5f, {{F::Window, {1, 1, 8, 50}}, {F::WindowText, {1, 51, 8, 1}}, {F::Gradient, {1, 52, 8, 49}}}},
        // Below the floor (row 76).
        {0.25f,
         {{F::Window, {1, 1, 8, 50}},
          {F::WindowText, {1, 51, 8, 1}},
          {F::Window, {1, 52, 8, 25}},
          {F::Gradient, {1, 76, 8, 25}}}},
        // Silence shows one gradient row at the bottom.
        {0.0f,
         {{F::Window, {1, 1, 8, 50}},
          {F::WindowText, {1, 51, 8, 1}},
          {F::Window, {1, 52, 8, 49}},
          {F::Gradient, {1, 100, 8, 1}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        const auto plan = EnergyFacePlan(10, 102, c.level, 0.5f);
        ASSERT_EQ(plan.size(), c.steps.size());
        for (std::size_t i = 0; i < plan.size(); ++i) {
            EXPECT_EQ(plan[i].fill, c.steps[i].fill) << i;
            EXPECT_EQ(plan[i].rect, c.steps[i].rect) << i;
        }
    }
}

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
