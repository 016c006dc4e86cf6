#include "pipeline/HarmonicHistory.h"

#include <gtest/gtest.h>

#include <cmath>

using NoteAnalyzer::AnalysisResult;

namespace {

// A result of fundamental f with the given harmonics, each at k * f.
AnalysisResult Frame(double f, std::initializer_list<std::pair<int, double>> harmonics, double hop = 0.025) {
    AnalysisResult r;
    r.level = -10.0;
    r.frequency = f;
    r.hopDuration = hop;
    for (const auto& [k, amplitude] : harmonics) {
        r.harmonics[k] = NoteAnalyzer::SpectralPeak{amplitude, k * f};
    }
    return r;
}

const HarmonicLine* FindLine(const HarmonicSegment& s, int harmonic) {
    for (const auto& line : s.lines)
        if (line.harmonic == harmonic) return &line;
    return nullptr;
}

}  // namespace

// The byte scale on top of the meter mapping (UnitsTest), truncated.
TEST(HarmonicHistory, OpacityIsTheMeterPositionInBytes) {
    for (const auto& [db, opacity] : {std::pair{0.0, 255}, {-30.0, 127}, {-90.0, 0}, {NAN, 0}})
        EXPECT_EQ(OpacityOfDb(db), opacity) << db;
}

TEST(HarmonicHistory, SegmentsJoinHarmonicsPresentAtBothEndsAndLeaveGaps) {
    HarmonicHistory h;
    h.AddFrame(Frame(220.0, {{1, 1.0}, {2, 0.5}, {3, 0.001}}));
    EXPECT_TRUE(h.Segments().empty());  // one frame is no step yet
    ASSERT_EQ(h.LastPoints().size(), 3u);
    for (const auto& p : h.LastPoints()) {
        EXPECT_NEAR(p.pitch, -1200.0f, 1e-3);  // compressed onto the 220 Hz fundamental
    }
    h.AddFrame(Frame(221.0, {{1, 1.0}, {3, 0.01}}));
    h.AddFrame(Frame(221.0, {{1, 1.0}, {2, 0.5}, {3, 0.01}}));
    h.AddFrame(Frame(221.0, {{1, 1.0}, {2, 0.5}}));
    ASSERT_EQ(h.Segments().size(), 3u);
    const HarmonicSegment& s = h.Segments()[0];
    EXPECT_FLOAT_EQ(s.t1, 0.025f);
    ASSERT_EQ(s.lines.size(), 3u);  // the fundamental's index 0, harmonics 1 and 3
    const HarmonicLine* third = FindLine(s, 3);
    ASSERT_NE(third, nullptr);
    EXPECT_FLOAT_EQ(third->frequency0, 660.0f);
    EXPECT_NEAR(third->amplitude0, -60.0f, 1e-4);
    EXPECT_NEAR(third->amplitude1, -40.0f, 1e-4);
    EXPECT_NEAR(third->pitch1, HarmonicPitch(221.0), 1e-3);
    // Harmonic 2 is missing in the second frame: no line into or out of it.
    EXPECT_EQ(FindLine(h.Segments()[0], 2), nullptr);
    EXPECT_EQ(FindLine(h.Segments()[1], 2), nullptr);
    EXPECT_NE(FindLine(h.Segments()[2], 2), nullptr);
    EXPECT_EQ(FindLine(h.Segments()[2], 3), nullptr);
    EXPECT_FLOAT_EQ(h.EndTime(), 0.075f);
}

TEST(HarmonicHistory, WeightsSuppressIndexZeroAndUnweightedHarmonics) {
    HarmonicWeights w(8, 0.0f);
    w[1] = 1.0f;
    w[3] = 0.5f;  // harmonic 3 compressed by 1/2 instead of 1/3
    w[6] = 1.0f;
    HarmonicHistory h;
    AnalysisResult r = Frame(100.0, {{1, 1.0}, {2, 1.0}, {3, 1.0}, {6, 1.0}, {9, 1.0}});
    r.harmonics[6].frequency = -1.0;  // no usable frequency
    h.AddFrame(r, w);
    h.AddFrame(r, w);
    ASSERT_EQ(h.Segments().size(), 1u);
    // Not 0 (w[0] = 0), 2 (weight 0), 6 (no frequency) or 9 (beyond the vector).
    const auto& s = h.Segments()[0];
    ASSERT_EQ(s.lines.size(), 2u);
    ASSERT_NE(FindLine(s, 3), nullptr);
    EXPECT_NEAR(FindLine(s, 3)->pitch1, HarmonicPitch(150.0), 1e-3);
}

TEST(HarmonicHistory, StopsGrowingAtSixtySeconds) {
    HarmonicHistory h;
    for (int i = 0; i < 400; ++i) {  // 200 s of a held note in half-second hops
        h.AddFrame(Frame(220.0, {{1, 1.0}}, 0.5));
    }
    EXPECT_EQ(h.Segments().size(), 120u);
    EXPECT_FLOAT_EQ(h.EndTime(), 60.0f);
}
