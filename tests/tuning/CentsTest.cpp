#include <gtest/gtest.h>

#include <cmath>

#include "tuning/Cents.h"

TEST(Cents, FrequencyToCentsKnownValues)
{
    EXPECT_DOUBLE_EQ(FrequencyToCents(440.0), 0.0);
    EXPECT_NEAR(FrequencyToCents(880.0), 1200.0, 1e-6);
    EXPECT_NEAR(FrequencyToCents(220.0), -1200.0, 1e-6);
    EXPECT_EQ(FormatReferenceValue(FrequencyToCents(442.0)), "7.851");
    // Low C, the bottom of the tuner's range, lies 57 semitones below A4.
    EXPECT_NEAR(FrequencyToCents(16.3516), -5700.0, 0.01);
}

TEST(Cents, InverseRoundTrips)
{
    for (double cents = -6000.0; cents <= 6000.0; cents += 123.25)
        EXPECT_NEAR(FrequencyToCents(CentsToFrequency(cents)), cents, 1e-9);
    EXPECT_DOUBLE_EQ(CentsToFrequency(0.0), 440.0);
    EXPECT_NEAR(CentsToFrequency(1200.0), 880.0, 1e-6);
}

TEST(Cents, NonPositiveFrequencyIsNotANumber)
{
    EXPECT_TRUE(std::isinf(FrequencyToCents(0.0)));
    EXPECT_TRUE(std::isnan(FrequencyToCents(-1.0)));
}

TEST(Cents, EqualTemperedTargets)
{
    EXPECT_DOUBLE_EQ(EqualTemperedTarget(69, 440.0f), 0.0);
    EXPECT_DOUBLE_EQ(EqualTemperedTarget(12, 440.0f), -5700.0);
    EXPECT_NEAR(EqualTemperedTarget(60, 442.0f), -900.0 + 7.851, 0.001);
}

TEST(Cents, ReferenceLimitsInclusive)
{
    EXPECT_TRUE(IsMiddleAHzInRange(220.0));
    EXPECT_TRUE(IsMiddleAHzInRange(880.0));
    EXPECT_FALSE(IsMiddleAHzInRange(219.999));
    EXPECT_FALSE(IsMiddleAHzInRange(880.001));
    EXPECT_FALSE(IsMiddleAHzInRange(NAN));
    EXPECT_TRUE(IsMiddleACentsInRange(-1200.0));
    EXPECT_TRUE(IsMiddleACentsInRange(1200.0));
    EXPECT_FALSE(IsMiddleACentsInRange(1200.5));
    EXPECT_FALSE(IsMiddleACentsInRange(NAN));
}

TEST(Cents, ReferenceValueFormat)
{
    EXPECT_EQ(FormatReferenceValue(440.0), "440.000");
    EXPECT_EQ(FormatReferenceValue(-1200.0), "-1200.000");
    EXPECT_EQ(FormatReferenceValue(0.0), "0.000");
}
