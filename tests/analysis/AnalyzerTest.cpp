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

const int Rates[] = {11025, 22050, 44100, 48000, 96000};

std::string ConstructionError(const AnalyzerSettings& s) {
    try {
        Analyzer a(s);
    } catch (const NoteAnalyzerException& e) {
        EXPECT_EQ(e.code, 0);
        return e.message;
    }
    return "";
}

TEST(AnalyzerSettings, FollowTheRateFactorAndQuality) {
    const int factors[] = {1, 2, 4, 4, 8}, hopsNormal[] = {7, 7, 7, 8, 8};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(Rates[i]);
        const int m = factors[i];
        const auto normal = SettingsFor(Rates[i], NoteAnalyzer::NormalAnalysisQuality);
        const auto fast = SettingsFor(Rates[i], NoteAnalyzer::FastAnalysisQuality);
        EXPECT_EQ(normal.analysisSize, 2048 * m);
        EXPECT_EQ(fast.analysisSize, 1024 * m);
        EXPECT_EQ(fast.advanceSize, 256 * m);
        EXPECT_EQ(Analyzer(normal).HopsKept(), hopsNormal[i]);
        EXPECT_EQ(Analyzer(fast).HopsKept(), 4);
        EXPECT_EQ(NoteAnalyzer::CaptureGeometryFor(Rates[i]).bufferCount, 64 * m);
        EXPECT_EQ(NoteAnalyzer::CaptureGeometryFor(Rates[i]).bufferSamples, normal.advanceSize);
    }
    // Unlisted rates and qualities fall back to m = 1 and normal quality.
    EXPECT_EQ(SettingsFor(8000, 7).analysisSize, 2048);
    EXPECT_EQ(SettingsFor(8000, 7).consensusRatio, 0.75);
}

TEST(AnalyzerValidation, ReportsTheFirstFailingRule) {
    const AnalyzerSettings good = SettingsFor(11025, 0);
    const char* const rate = "Invalid sample rate";
    const char* const size = "Invalid analysis size";
    const char* const range = "Invalid advance size, must be in the range of 1 to SR/2";
    const char* const multiple = "Invalid advance size, must be multiple of analysis size";
    const char* const minimum = "Invalid minimum fundemental frequency";
    struct Case {
        void (*change)(AnalyzerSettings&);
        const char* message;
    };
    const Case cases[] = {
        {[](AnalyzerSettings&) {}, ""},
        {[](AnalyzerSettings& s) { s.sampleRate = 0; }, rate},
        {[](AnalyzerSettings& s) {
             s.sampleRate = -1;
             s.analysisSize = 3000;
         },
         rate},
        {[](AnalyzerSettings& s) { s.analysisSize = 0; }, size},
        {[](AnalyzerSettings& s) { s.analysisSize = -2048; }, size},
        {[](AnalyzerSettings& s) { s.analysisSize = 2049; }, size},
        {[](AnalyzerSettings& s) {
             s.analysisSize = 3000;
             s.advanceSize = 0;
         },
         size},
        {[](AnalyzerSettings& s) { s.advanceSize = 0; }, range},
        {[](AnalyzerSettings& s) {
             s.advanceSize = 5513;
             s.analysisSize = 8192;
         },
         range},
        {[](AnalyzerSettings& s) { s.advanceSize = 300; }, multiple},
        {[](AnalyzerSettings& s) {
             s.advanceSize = 300;
             s.minFundamental = -1.0;
         },
         multiple},
        {[](AnalyzerSettings& s) { s.minFundamental = -0.5; }, minimum},
        {[](AnalyzerSettings& s) { s.minFundamental = 5512.5; }, minimum},
        {[](AnalyzerSettings& s) { s.minFundamental = std::nan(""); }, minimum},
        // The edges of the ranges are valid.
        {[](AnalyzerSettings& s) { s.minFundamental = 5512.0; }, ""},
        {[](AnalyzerSettings& s) {
             s.analysisSize = 1;
             s.advanceSize = 1;
         },
         ""},
    };
    for (const auto& c : cases) {
        AnalyzerSettings s = good;
        c.change(s);
        EXPECT_EQ(ConstructionError(s), c.message);
    }
}

TEST(Analyzer, BadHopsNeitherCrashNorDisturbTheState) {
    Analyzer a(SettingsFor(11025, 1)), b(SettingsFor(11025, 1)), c(SettingsFor(11025, 1));
    try {
        a.Process(nullptr);
        FAIL() << "no exception";
    } catch (const NoteAnalyzerException& e) {
        EXPECT_STREQ(e.message, "pnBuffer is NULL");
    }
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

TEST(Analyzer, ConsensusIsTheMeanOfTheAgreeingHops) {
    // A gliding tone: every hop estimates a slightly different pitch.
    Analyzer a(SettingsFor(11025, 0));
    std::vector<double> hopEstimates;
    double phase = 0.0;
    for (int h = 0; h < 30; ++h) {
        std::vector<double> hop(256);
        for (int i = 0; i < 256; ++i) {
            const double t = (h * 256 + i) / 11025.0;
            phase += 6.283185307179586 * 400.0 * (1.0 + 0.05 * t) / 11025.0;  // 2 cents per hop or so
            hop[static_cast<std::size_t>(i)] = 0.5 * std::sin(phase);
        }
        const auto r = a.Process(hop.data());
        hopEstimates.push_back(a.EstimateFundamental(r.peaks).frequency);
        if (h >= 6) {
            double sum = 0.0;
            for (int j = h - 6; j <= h; ++j) sum += hopEstimates[static_cast<std::size_t>(j)];
            ASSERT_NE(r.frequency, -1.0);
            EXPECT_NEAR(r.frequency, sum / 7.0, 1e-9);
            EXPECT_GT(std::fabs(r.frequency - hopEstimates.back()), 0.01);
        }
    }
}

}  // namespace
