#include <gtest/gtest.h>

#include "indicators/EnergyIndicatorMath.h"

using namespace Indicators;

TEST(EnergyScale, DecibelsAndPositions)
{
    EXPECT_FLOAT_EQ(LevelPositionFromDb(-30.0), 0.5f);
    EXPECT_FLOAT_EQ(LevelPositionFromDb(-90.0), 0.0f);
    EXPECT_FLOAT_EQ(LevelPositionFromDb(6.0), 1.0f);
    EXPECT_DOUBLE_EQ(PositionToDb(0.5f), -30.0);
    EXPECT_DOUBLE_EQ(PositionToDb(1.0f), 0.0);
}

TEST(EnergyRows, LevelAndFloorRowsStayInside)
{
    const int h = 102;  // inner height 100
    EXPECT_EQ(LevelRow(0.0f, h), 100);
    EXPECT_EQ(LevelRow(1.0f, h), 1);
    EXPECT_EQ(LevelRow(0.5f, h), 51);
    EXPECT_EQ(FloorRow(0.25f, h), 76);
    // Too small to have an inside: no crash, a harmless row.
    EXPECT_EQ(LevelRow(0.5f, 2), 1);
    EXPECT_EQ(LevelRow(0.5f, 0), 1);
}

TEST(EnergyFloor, CursorRowsMapToPositions)
{
    const int h = 104;  // h - 4 = 100
    EXPECT_FLOAT_EQ(FloorFromCursorRow(2, h, 0.3f), 1.0f);
    EXPECT_FLOAT_EQ(FloorFromCursorRow(h - 2, h, 0.3f), 0.0f);
    EXPECT_FLOAT_EQ(FloorFromCursorRow(h + 50, h, 0.3f), 0.0f);
    EXPECT_FLOAT_EQ(FloorFromCursorRow(-40, h, 0.3f), 1.0f);
    EXPECT_FLOAT_EQ(FloorFromCursorRow(52, h, 0.3f), 0.5f);
    EXPECT_NEAR(PositionToDb(FloorFromCursorRow(h / 2, h, 0.3f)), -30.0, 0.01);
    // A pane of four rows or fewer has no range: the floor stays put.
    EXPECT_FLOAT_EQ(FloorFromCursorRow(2, 4, 0.3f), 0.3f);
    EXPECT_FLOAT_EQ(FloorFromCursorRow(2, 0, 0.7f), 0.7f);
}

TEST(EnergyPlan, LevelAboveTheFloor)
{
    const int h = 102;
    const auto plan = EnergyFacePlan(10, h, 0.75f, 0.5f);  // Ly 26, Fy 51
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0].fill, EnergyFill::Window);
    EXPECT_EQ(plan[0].rect, (PixelRect{1, 1, 8, 25}));
    EXPECT_EQ(plan[1].fill, EnergyFill::Gradient);
    EXPECT_EQ(plan[1].rect, (PixelRect{1, 26, 8, 25}));
    EXPECT_EQ(plan[2].fill, EnergyFill::WindowText);
    EXPECT_EQ(plan[2].rect, (PixelRect{1, 51, 8, 1}));
    EXPECT_EQ(plan[3].fill, EnergyFill::Gradient);
    EXPECT_EQ(plan[3].rect, (PixelRect{1, 52, 8, 49}));  // down to row H-2
}

TEST(EnergyPlan, LevelBelowTheFloor)
{
    const int h = 102;
    const auto plan = EnergyFacePlan(10, h, 0.25f, 0.5f);  // Ly 76, Fy 51
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0].rect, (PixelRect{1, 1, 8, 50}));
    EXPECT_EQ(plan[1].fill, EnergyFill::WindowText);
    EXPECT_EQ(plan[1].rect, (PixelRect{1, 51, 8, 1}));
    EXPECT_EQ(plan[2].fill, EnergyFill::Window);
    EXPECT_EQ(plan[2].rect, (PixelRect{1, 52, 8, 25}));
    EXPECT_EQ(plan[3].fill, EnergyFill::Gradient);
    EXPECT_EQ(plan[3].rect, (PixelRect{1, 76, 8, 25}));
}

TEST(EnergyPlan, LevelOnTheFloorDrawsTheLineOverTheBarTop)
{
    const auto plan = EnergyFacePlan(10, 102, 0.5f, 0.5f);  // Ly = Fy = 51
    // No gradient rows between the level and the floor; the line sits at 51
    // and the bar continues below it.
    ASSERT_EQ(plan.size(), 3u);
    EXPECT_EQ(plan[1].fill, EnergyFill::WindowText);
    EXPECT_EQ(plan[1].rect.y, 51);
    EXPECT_EQ(plan[2].fill, EnergyFill::Gradient);
    EXPECT_EQ(plan[2].rect.y, 52);
}

TEST(EnergyPlan, SilenceShowsAtMostOneGradientRow)
{
    const auto plan = EnergyFacePlan(10, 102, 0.0f, 0.5f);  // Ly = 100
    ASSERT_FALSE(plan.empty());
    EXPECT_EQ(plan.back().fill, EnergyFill::Gradient);
    EXPECT_EQ(plan.back().rect, (PixelRect{1, 100, 8, 1}));
}

TEST(EnergyPlan, TinyPanesPlanNothingNegative)
{
    for (int w = 0; w <= 3; ++w) {
        for (int h = 0; h <= 4; ++h) {
            for (const auto& step : EnergyFacePlan(w, h, 0.4f, 0.6f)) {
                EXPECT_GT(step.rect.width, 0);
                EXPECT_GT(step.rect.height, 0);
            }
        }
    }
}
