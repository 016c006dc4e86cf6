#include <gtest/gtest.h>

#include "indicators/math/GlobalIndicatorMath.h"

using namespace Indicators;

TEST(LadderNotes, SmallSetsAreWidenedWithinTheValidNotes) {
    EXPECT_EQ(WidenLadderNotes({}), (std::vector<int>{48, 60, 72}));
    EXPECT_EQ(WidenLadderNotes({69}), (std::vector<int>{68, 69, 70}));
    EXPECT_EQ(WidenLadderNotes({12}), (std::vector<int>{12, 13}));
    EXPECT_EQ(WidenLadderNotes({108}), (std::vector<int>{107, 108}));
    EXPECT_EQ(WidenLadderNotes({40, 45}), (std::vector<int>{40, 45}));
}

TEST(LadderScale, MarginsMappingAndBarHeight) {
    // C3..C5 in equal temperament: edges -2150 and 350 cents.
    const LadderScale s = MakeLadderScale(-2150.0, 350.0);
    EXPECT_DOUBLE_EQ(s.bottom, -2275.0);
    EXPECT_DOUBLE_EQ(s.span, 2750.0);
    EXPECT_DOUBLE_EQ(s.Row(-2275.0, 500), 500.0);
    EXPECT_DOUBLE_EQ(s.Row(475.0, 500), 0.0);
    EXPECT_DOUBLE_EQ(s.Row(-900.0, 500), 250.0);
    // Nothing is clamped: a pitch far above the range maps above the pane.
    EXPECT_LT(s.Row(5000.0, 500), 0.0);
    EXPECT_GT(MakeLadderScale(100.0, 100.0).span, 0.0);  // degenerate edges

    // Never thinner than 50 cents of the scale nor than 1.2 x the labels.
    EXPECT_DOUBLE_EQ(HighlightBarHeight(0.0, 550, s), 10.0);
    EXPECT_DOUBLE_EQ(HighlightBarHeight(20.0, 550, s), 24.0);
    EXPECT_DOUBLE_EQ(LadderBandHeight(50), 1.0);
}

TEST(LabelSize, FactorFollowsTheClosestNotesCappedAtOneTwentieth) {
    EXPECT_DOUBLE_EQ(LabelSizeFactor({48, 60, 72}), 0.05);
    EXPECT_DOUBLE_EQ(LabelSizeFactor({69}), 0.05);
    EXPECT_DOUBLE_EQ(LabelSizeFactor({}), 0.05);
    std::vector<int> chromatic;
    for (int n = 48; n <= 72; ++n) chromatic.push_back(n);
    EXPECT_DOUBLE_EQ(LabelSizeFactor(chromatic), 1.0 / 24.0);
    // Guitar strings: smallest gap 4 over 24 semitones, capped at 0.05.
    EXPECT_DOUBLE_EQ(LabelSizeFactor({40, 45, 50, 55, 59, 64}), 0.05);
}
