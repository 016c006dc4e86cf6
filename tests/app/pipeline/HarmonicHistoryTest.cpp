#include "app/pipeline/HarmonicHistory.h"

#include <gtest/gtest.h>

#include <cmath>

using NoteAnalyzer::AnalysisResult;

namespace {

// A result of fundamental f with the given harmonics, each at k * f.
AnalysisResult Frame(double f, std::initializer_list<std::pair<int, double>> harmonics,
                     double level = -10.0, double hop = 0.025)
{
    AnalysisResult r;
    r.level = level;
    r.frequency = f;
    r.hopDuration = hop;
    for (const auto& [k, amplitude] : harmonics) {
        r.harmonics[k] = NoteAnalyzer::SpectralPeak{amplitude, k * f};
    }
    return r;
}

const HarmonicLine* FindLine(const HarmonicSegment& s, int harmonic)
{
    for (const auto& line : s.lines) {
        if (line.harmonic == harmonic) {
            return &line;
        }
    }
    return nullptr;
}

}  // namespace

TEST(HarmonicHistory, Conversions)
{
    EXPECT_NEAR(HarmonicPitch(880.0), 1200.0f, 1e-3);
    EXPECT_FLOAT_EQ(AmplitudeToDb(1.0), 0.0f);
    EXPECT_NEAR(AmplitudeToDb(0.001), -60.0f, 1e-4);
    EXPECT_EQ(OpacityOfDb(0.0), 255);
    EXPECT_EQ(OpacityOfDb(-60.0), 0);
    EXPECT_EQ(OpacityOfDb(-90.0), 0);
    EXPECT_EQ(OpacityOfDb(6.0), 255);
    EXPECT_EQ(OpacityOfDb(-30.0), 127);
    EXPECT_EQ(OpacityOfDb(-INFINITY), 0);
    EXPECT_EQ(OpacityOfDb(NAN), 0);
}

TEST(HarmonicHistory, DefaultWeightsAreOneOverK)
{
    const auto& w = HarmonicHistory::DefaultWeights();
    ASSERT_EQ(w.size(), 64u);
    EXPECT_FLOAT_EQ(w[0], 1.0f);
    EXPECT_FLOAT_EQ(w[1], 1.0f);
    EXPECT_FLOAT_EQ(w[4], 0.25f);
    EXPECT_FLOAT_EQ(w[63], 1.0f / 63.0f);
}

TEST(HarmonicHistory, FirstFrameMakesNoSegmentSecondMakesLinesForSharedHarmonics)
{
    HarmonicHistory h;
    EXPECT_EQ(h.Generation(), 1);
    h.AddFrame(Frame(220.0, {{1, 1.0}, {2, 0.5}, {3, 0.001}}));
    EXPECT_TRUE(h.Started());
    EXPECT_TRUE(h.Segments().empty());
    ASSERT_EQ(h.LastPoints().size(), 3u);
    // Harmonics are compressed onto the fundamental: all three at 220 Hz pitch.
    for (const auto& p : h.LastPoints()) {
        EXPECT_NEAR(p.pitch, -1200.0f, 1e-3);
    }
    EXPECT_EQ(h.LastPoints()[0].opacity, 255);
    EXPECT_EQ(h.LastPoints()[2].opacity, 0);

    h.AddFrame(Frame(221.0, {{1, 1.0}, {3, 0.01}}));
    ASSERT_EQ(h.Segments().size(), 1u);
    const HarmonicSegment& s = h.Segments()[0];
    EXPECT_FLOAT_EQ(s.t0, 0.0f);
    EXPECT_FLOAT_EQ(s.t1, 0.025f);
    // Index 0 (fundamental), 1 and 3; harmonic 2 is missing now: no line.
    ASSERT_EQ(s.lines.size(), 3u);
    const HarmonicLine* fundamental = FindLine(s, 0);
    ASSERT_NE(fundamental, nullptr);
    EXPECT_NEAR(fundamental->pitch0, HarmonicPitch(220.0), 1e-4);
    EXPECT_NEAR(fundamental->pitch1, HarmonicPitch(221.0), 1e-4);
    EXPECT_FLOAT_EQ(fundamental->amplitude0, -10.0f);
    EXPECT_EQ(fundamental->opacity1, OpacityOfDb(-10.0));
    EXPECT_EQ(FindLine(s, 2), nullptr);
    const HarmonicLine* third = FindLine(s, 3);
    ASSERT_NE(third, nullptr);
    EXPECT_FLOAT_EQ(third->frequency0, 660.0f);
    EXPECT_FLOAT_EQ(third->frequency1, 663.0f);
    EXPECT_NEAR(third->amplitude0, -60.0f, 1e-4);
    EXPECT_NEAR(third->amplitude1, -40.0f, 1e-4);
    EXPECT_NEAR(third->pitch1, HarmonicPitch(221.0), 1e-3);
}

TEST(HarmonicHistory, MissingHarmonicLeavesAGapOnBothSides)
{
    HarmonicHistory h;
    h.AddFrame(Frame(220.0, {{1, 1.0}, {2, 0.5}}));
    h.AddFrame(Frame(220.0, {{1, 1.0}}));
    h.AddFrame(Frame(220.0, {{1, 1.0}, {2, 0.5}}));
    h.AddFrame(Frame(220.0, {{1, 1.0}, {2, 0.5}}));
    ASSERT_EQ(h.Segments().size(), 3u);
    EXPECT_EQ(FindLine(h.Segments()[0], 2), nullptr);  // out of the gap
    EXPECT_EQ(FindLine(h.Segments()[1], 2), nullptr);  // into the gap's end
    EXPECT_NE(FindLine(h.Segments()[2], 2), nullptr);  // present at both ends
    EXPECT_FLOAT_EQ(h.EndTime(), 0.075f);
}

TEST(HarmonicHistory, WeightsSuppressIndexZeroAndSingleHarmonics)
{
    HarmonicWeights w(4, 0.0f);
    w[1] = 1.0f;
    w[3] = 0.5f;  // harmonic 3 compressed by 1/2 instead of 1/3
    HarmonicHistory h;
    h.AddFrame(Frame(100.0, {{1, 1.0}, {2, 1.0}, {3, 1.0}, {5, 1.0}}), w);
    h.AddFrame(Frame(100.0, {{1, 1.0}, {2, 1.0}, {3, 1.0}, {5, 1.0}}), w);
    ASSERT_EQ(h.Segments().size(), 1u);
    const auto& s = h.Segments()[0];
    EXPECT_EQ(FindLine(s, 0), nullptr);  // w[0] = 0
    EXPECT_EQ(FindLine(s, 2), nullptr);  // weight 0
    EXPECT_EQ(FindLine(s, 5), nullptr);  // beyond the vector
    const HarmonicLine* third = FindLine(s, 3);
    ASSERT_NE(third, nullptr);
    EXPECT_NEAR(third->pitch1, HarmonicPitch(150.0), 1e-3);
}

TEST(HarmonicHistory, HarmonicsWithoutFrequencyAreSkipped)
{
    HarmonicHistory h;
    AnalysisResult r = Frame(220.0, {{1, 1.0}, {2, 0.5}});
    r.harmonics[2].frequency = -1.0;
    h.AddFrame(r);
    ASSERT_EQ(h.LastPoints().size(), 1u);
    EXPECT_EQ(h.LastPoints()[0].harmonic, 1);
}

TEST(HarmonicHistory, RestartBeginsAgainAtTimeZeroWithANewGeneration)
{
    HarmonicHistory h;
    h.AddFrame(Frame(220.0, {{1, 1.0}}));
    h.AddFrame(Frame(220.0, {{1, 1.0}}));
    h.AddFrame(Frame(220.0, {{1, 1.0}}));
    EXPECT_FLOAT_EQ(h.Time(), 0.05f);
    h.Restart();
    EXPECT_EQ(h.Generation(), 2);
    EXPECT_FALSE(h.Started());
    EXPECT_TRUE(h.Segments().empty());
    h.AddFrame(Frame(330.0, {{1, 1.0}}));
    h.AddFrame(Frame(330.0, {{1, 1.0}}));
    ASSERT_EQ(h.Segments().size(), 1u);
    EXPECT_FLOAT_EQ(h.Segments()[0].t0, 0.0f);
    EXPECT_NEAR(FindLine(h.Segments()[0], 1)->pitch0, HarmonicPitch(330.0), 1e-3);
}

TEST(HarmonicHistory, StopsGrowingAtSixtySeconds)
{
    HarmonicHistory h;
    const double hop = 0.5;
    for (int i = 0; i < 400; ++i) {  // 200 s of a held note
        h.AddFrame(Frame(220.0, {{1, 1.0}}, -10.0, hop));
    }
    EXPECT_EQ(h.Segments().size(), 120u);
    EXPECT_FLOAT_EQ(h.EndTime(), 60.0f);
    EXPECT_LE(h.Time(), HarmonicHistory::MaxSeconds);
}
