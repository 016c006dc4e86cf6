#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TestSignals.h"
#include "analysis/Analyzer.h"
#include "units/Units.h"

namespace {

using NoteAnalyzer::Analyzer;
using NoteAnalyzer::AnalyzerSettings;
using NoteAnalyzer::NoteAnalyzerException;
using NoteAnalyzer::SettingsFor;
using ZelvoTest::Feed;

// The message of the analyzer error `f` throws; empty when it throws none.
template <class F>
std::string ErrorOf(F f) {
    try {
        f();
    } catch (const NoteAnalyzerException& e) {
        EXPECT_EQ(e.code, 0);
        return e.message;
    }
    return "";
}

// The sizes at each rate and quality are pinned by the reference table
// (GoldenOutputTest); the hops kept for the vote, rounded from its duration, are not.
TEST(AnalyzerSettings, HopsKeptAndFallbacks) {
    for (const auto& [rate, hops] : {std::pair{11025, 7}, {22050, 7}, {44100, 7}, {48000, 8}, {96000, 8}})
        EXPECT_EQ(Analyzer(SettingsFor(rate, 0)).HopsKept(), hops) << rate;
    // Unlisted rates and qualities fall back to m = 1 and normal quality.
    EXPECT_EQ(SettingsFor(8000, 7).analysisSize, 2048);
    EXPECT_EQ(SettingsFor(8000, 7).consensusRatio, 0.75);
}

// The first rule broken names the error; the edges of the ranges are valid.
TEST(AnalyzerValidation, ReportsTheFirstFailingRule) {
    const char* const rate = "Invalid sample rate";
    const char* const size = "Invalid analysis size";
    const char* const range = "Invalid advance size, must be in the range of 1 to SR/2";
    const char* const multiple = "Invalid advance size, must be multiple of analysis size";
    const char* const minimum = "Invalid minimum fundemental frequency";
    const double nan = std::nan("");
    const struct {
        int rate, size, advance;
        double minFundamental;
        const char* message;
    } cases[] = {
        {11025, 2048, 256, 27.0, ""},        {0, 2048, 256, 27.0, rate},
        {11025, 0, 256, 27.0, size},         {11025, 2049, 256, 27.0, size},
        {11025, 3000, 0, 27.0, size},        {11025, 2048, 0, 27.0, range},
        {11025, 8192, 5513, 27.0, range},    {11025, 2048, 300, 27.0, multiple},
        {11025, 2048, 300, -1.0, multiple},  {11025, 2048, 256, -0.5, minimum},
        {11025, 2048, 256, 5512.5, minimum}, {11025, 2048, 256, nan, minimum},
        {11025, 2048, 256, 5512.0, ""},      {11025, 1, 1, 27.0, ""},
    };
    for (const auto& c : cases) {
        AnalyzerSettings s = SettingsFor(11025, 0);
        s.sampleRate = c.rate;
        s.analysisSize = c.size;
        s.advanceSize = c.advance;
        s.minFundamental = c.minFundamental;
        EXPECT_EQ(ErrorOf([&] { Analyzer a(s); }), c.message)
            << c.rate << " " << c.size << " " << c.advance << " " << c.minFundamental;
    }
}

TEST(Analyzer, BadHopsNeitherCrashNorDisturbTheState) {
    Analyzer a(SettingsFor(11025, 1)), b(SettingsFor(11025, 1)), c(SettingsFor(11025, 1));
    EXPECT_EQ(ErrorOf([&] { a.Process(nullptr); }), "pnBuffer is NULL");
    long clockA = 0, clockB = 0;
    const auto tone = ZelvoTest::HarmonicTone(220.0, 4);
    for (int h = 0; h < 6; ++h) {
        const auto ra = Feed(a, tone, 1, clockA), rb = Feed(b, tone, 1, clockB);
        EXPECT_EQ(ra.level, rb.level);
        EXPECT_EQ(ra.frequency, rb.frequency);
    }
    // Non-finite samples give no reading; once they have left the frame, readings come back.
    std::vector<double> hop(256, 0.25);
    hop[0] = std::nan("");
    hop[100] = INFINITY;
    hop[200] = -INFINITY;
    for (int h = 0; h < 8; ++h) EXPECT_EQ(c.Process(hop.data()).frequency, -1.0);
    EXPECT_NEAR(Feed(c, ZelvoTest::HarmonicTone(220.0, 5), 12, clockA).frequency, 220.0, 0.05);
}

TEST(Analyzer, LevelFollowsTheExtremesOfTheHopsInTheFrameAndSilenceIsNotAnalysed) {
    Analyzer a(SettingsFor(11025, 0));
    std::vector<double> loud(256), quiet(256, 0.0);
    for (int h = 0; h < 10; ++h) {
        const auto r = a.Process(quiet.data());
        EXPECT_EQ(r.level, Units::SilenceLevelDb);
        EXPECT_EQ(r.frequency, -1.0);
        EXPECT_DOUBLE_EQ(r.hopDuration, 256.0 / 11025.0);
        EXPECT_TRUE(r.peaks.empty());
    }
    // A quarter-rate sine hits +1 and -1 exactly: 0 dB, kept for the 2048 / 256 = 8
    // hops the loud hop stays in the frame.
    for (int i = 0; i < 256; ++i)
        loud[static_cast<std::size_t>(i)] = (i % 4 == 1) ? 1.0 : (i % 4 == 3 ? -1.0 : 0.0);
    EXPECT_EQ(a.Process(loud.data()).level, 0.0);
    for (int h = 1; h < 8; ++h) EXPECT_EQ(a.Process(quiet.data()).level, 0.0) << h;
    EXPECT_EQ(a.Process(quiet.data()).level, Units::SilenceLevelDb);
    // A span of 0.1 reads 20 log10(0.05).
    std::vector<double> small(256, 0.05);
    small[7] = -0.05;
    EXPECT_DOUBLE_EQ(a.Process(small.data()).level, 20.0 * std::log10(0.05));
}

TEST(Analyzer, NormalQualityNeedsSevenHopsAndSixOfSevenAgreeing) {
    Analyzer a(SettingsFor(11025, 0));
    a.noiseFloor = -60.0;
    const auto tone = ZelvoTest::HarmonicTone(196.0, 6);
    long clock = 0;
    for (int h = 1; h <= 6; ++h) EXPECT_EQ(Feed(a, tone, 1, clock).frequency, -1.0) << h;
    // The first frames are still partly silent, so this first reading is rough.
    auto r = Feed(a, tone, 1, clock);
    EXPECT_NEAR(r.frequency, 196.0, 2.0);
    EXPECT_NEAR(Feed(a, tone, 10, clock).frequency, 196.0, 0.01);

    // A hop below the floor is not analysed (its level is still measured) and
    // votes "none" without disturbing the queues.
    a.noiseFloor = 100.0;
    r = Feed(a, tone, 1, clock);
    EXPECT_TRUE(r.peaks.empty());
    EXPECT_EQ(r.frameFundamental, -1.0);
    EXPECT_GT(r.level, -20.0);
    EXPECT_NEAR(r.frequency, 196.0, 0.01);               // 6 of 7 > 0.75
    EXPECT_TRUE(r.harmonics.empty());                    // this frame has no map of its own
    EXPECT_EQ(Feed(a, tone, 1, clock).frequency, -1.0);  // 5 of 7

    // The two "none" votes leave the window only after seven more hops.
    a.noiseFloor = -60.0;
    for (int h = 1; h <= 5; ++h) {
        r = Feed(a, tone, 1, clock);
        EXPECT_EQ(r.frequency, -1.0) << h;
        EXPECT_FALSE(r.peaks.empty());
    }
    r = Feed(a, tone, 1, clock);
    EXPECT_NEAR(r.frequency, 196.0, 0.01);
    EXPECT_FALSE(r.harmonics.empty());
}

TEST(Analyzer, FastQualityNeedsThreeOfFour) {
    Analyzer a(SettingsFor(11025, 1));
    const auto tone = ZelvoTest::HarmonicTone(330.0, 5);
    long clock = 0;
    a.noiseFloor = 100.0;
    Feed(a, tone, 4, clock);  // frame full, four "none" votes
    a.noiseFloor = -60.0;
    EXPECT_EQ(Feed(a, tone, 1, clock).frequency, -1.0);
    EXPECT_EQ(Feed(a, tone, 1, clock).frequency, -1.0);  // 2 of 4 is not > 0.501
    EXPECT_NEAR(Feed(a, tone, 1, clock).frequency, 330.0, 0.1);
}

}  // namespace
