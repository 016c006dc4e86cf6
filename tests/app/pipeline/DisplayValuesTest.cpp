#include "app/pipeline/DisplayValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(CentsLabel, SignComesFromTheRoundedValue)
{
    EXPECT_EQ(FormatCentsLabel(0.04f, CentAccuracyTenths), "+00.0");
    EXPECT_EQ(FormatCentsLabel(-0.04f, CentAccuracyTenths), "+00.0");
    EXPECT_EQ(FormatCentsLabel(0.04f, CentAccuracyWhole), "+00");
    EXPECT_EQ(FormatCentsLabel(-0.4f, CentAccuracyWhole), "+00");
    EXPECT_EQ(FormatCentsLabel(-0.06f, CentAccuracyTenths), "-00.1");
}

TEST(CentsLabel, TenthsAndWholeCents)
{
    EXPECT_EQ(FormatCentsLabel(3.3f, CentAccuracyTenths), "+03.3");
    EXPECT_EQ(FormatCentsLabel(-12.0f, CentAccuracyTenths), "-12.0");
    EXPECT_EQ(FormatCentsLabel(49.96f, CentAccuracyTenths), "+50.0");
    EXPECT_EQ(FormatCentsLabel(3.3f, CentAccuracyWhole), "+03");
    EXPECT_EQ(FormatCentsLabel(-12.4f, CentAccuracyWhole), "-12");
    // Half away from zero on both sides.
    EXPECT_EQ(FormatCentsLabel(2.5f, CentAccuracyWhole), "+03");
    EXPECT_EQ(FormatCentsLabel(-2.5f, CentAccuracyWhole), "-03");
}

TEST(CentsLabel, UnknownAccuracyAndRunawayValuesGiveNoText)
{
    EXPECT_EQ(FormatCentsLabel(3.3f, 2), "");
    EXPECT_EQ(FormatCentsLabel(3.3f, -1), "");
    EXPECT_EQ(FormatCentsLabel(std::numeric_limits<float>::quiet_NaN(), 0), "");
    EXPECT_EQ(FormatCentsLabel(std::numeric_limits<float>::infinity(), 1), "");
}

TEST(RoundHalfAwayFromZero, Rounds)
{
    EXPECT_EQ(RoundHalfAwayFromZero(0.5), 1.0);
    EXPECT_EQ(RoundHalfAwayFromZero(-0.5), -1.0);
    EXPECT_EQ(RoundHalfAwayFromZero(0.49), 0.0);
    EXPECT_EQ(RoundHalfAwayFromZero(-0.49), 0.0);
}

TEST(PaneValues, NeedleGlobalAndEnergy)
{
    EXPECT_FLOAT_EQ(NeedleDeviation(25.0f), 0.5f);
    EXPECT_FLOAT_EQ(NeedleDeviation(-80.0f), -1.0f);
    EXPECT_FLOAT_EQ(NeedleDeviation(80.0f), 1.0f);
    EXPECT_NEAR(GlobalPitchValue(880.0f), 1200.0f, 1e-3);
    EXPECT_NEAR(GlobalPitchValue(440.0f), 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(EnergyValue(-60.0f), 0.0f);
    EXPECT_FLOAT_EQ(EnergyValue(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(EnergyValue(-30.0f), 0.5f);
    EXPECT_FLOAT_EQ(EnergyValue(-96.3295f), 0.0f);
    EXPECT_FLOAT_EQ(EnergyValue(6.0f), 1.0f);
}

TEST(Fade, BrightFor200MsThenFadesOver400Ms)
{
    const std::uint32_t t0 = 100000;
    EXPECT_FLOAT_EQ(FadeValue(t0, t0), 0.0f);
    EXPECT_FLOAT_EQ(FadeValue(t0 + 200, t0), 0.0f);
    EXPECT_FLOAT_EQ(FadeValue(t0 + 400, t0), 0.5f);
    EXPECT_FLOAT_EQ(FadeValue(t0 + 600, t0), 1.0f);
    EXPECT_FLOAT_EQ(FadeValue(t0 + 100000, t0), 1.0f);
}

TEST(Fade, SurvivesTheWrapOfTheTickCount)
{
    const std::uint32_t t0 = 0xFFFFFF00u;  // 256 ms before the wrap
    EXPECT_FLOAT_EQ(FadeValue(t0 + 100u, t0), 0.0f);
    EXPECT_FLOAT_EQ(FadeValue(144u, t0), 0.5f);  // 400 ms later, past the wrap
    EXPECT_FLOAT_EQ(FadeValue(1000u, t0), 1.0f);
    // A result stamped just after the wrap, read a moment later.
    EXPECT_FLOAT_EQ(FadeValue(5u, 0xFFFFFFF0u), 0.0f);
}

TEST(Calibration, FactorOnlyWhenBothFrequenciesExceedOneHertz)
{
    EXPECT_DOUBLE_EQ(CalibrationFactorFor(440.0f, 441.0f), 440.0 / 441.0);
    EXPECT_DOUBLE_EQ(CalibrationFactorFor(440.0f, 1.0f), 1.0);
    EXPECT_DOUBLE_EQ(CalibrationFactorFor(1.0f, 441.0f), 1.0);
    EXPECT_DOUBLE_EQ(CalibrationFactorFor(440.0f, 0.0f), 1.0);
    EXPECT_DOUBLE_EQ(CalibrationFactorFor(std::numeric_limits<float>::infinity(), 440.0f), 1.0);
}

TEST(NoiseFloor, MarkerPositionMapsToMinus60To0Db)
{
    EXPECT_FLOAT_EQ(NoiseFloorFromPosition(0.0f), -60.0f);
    EXPECT_FLOAT_EQ(NoiseFloorFromPosition(1.0f), 0.0f);
    EXPECT_FLOAT_EQ(NoiseFloorFromPosition(0.5f), -30.0f);
    EXPECT_FLOAT_EQ(NoiseFloorFromPosition(-3.0f), -60.0f);
    EXPECT_FLOAT_EQ(NoiseFloorFromPosition(7.0f), 0.0f);
    EXPECT_TRUE(std::isfinite(NoiseFloorFromPosition(std::nanf(""))));
}

TEST(HiddenControls, Texts)
{
    EXPECT_EQ(NoteControlText("A4", 0.04f), "NOTE:A4,0.0");
    EXPECT_EQ(NoteControlText("C#3", -12.345f), "NOTE:C#3,-12.3");
    EXPECT_EQ(LevelControlText(-30.0f), "LEVEL:-30.0");
    EXPECT_EQ(LevelControlText(0.0f), "LEVEL:0.0");
}
