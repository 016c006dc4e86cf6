#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "TestSignals.h"
#include "analysis/Analyzer.h"

namespace {

using NoteAnalyzer::AnalysisResult;
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
    const int factors[] = {1, 2, 4, 4, 8};
    const int hopsNormal[] = {7, 7, 7, 8, 8};
    for (int i = 0; i < 5; ++i) {
        const int m = factors[i];
        EXPECT_EQ(NoteAnalyzer::RateFactor(Rates[i]), m);
        const auto normal = SettingsFor(Rates[i], NoteAnalyzer::NormalAnalysisQuality);
        const auto fast = SettingsFor(Rates[i], NoteAnalyzer::FastAnalysisQuality);
        EXPECT_EQ(normal.sampleRate, Rates[i]);
        EXPECT_EQ(normal.analysisSize, 2048 * m);
        EXPECT_EQ(fast.analysisSize, 1024 * m);
        EXPECT_EQ(normal.advanceSize, 256 * m);
        EXPECT_EQ(fast.advanceSize, 256 * m);
        for (const auto& s : {normal, fast}) {
            EXPECT_EQ(s.minFundamental, 27.0);
            EXPECT_EQ(s.tiltLowFrequency, -500.0);
            EXPECT_EQ(s.tiltHighFrequency, 4800.0);
            EXPECT_EQ(s.octaveBias, 0.881);
        }
        EXPECT_EQ(normal.consensusDuration, 175.0);
        EXPECT_EQ(normal.consensusRatio, 0.75);
        EXPECT_EQ(fast.consensusDuration, 100.0);
        EXPECT_EQ(fast.consensusRatio, 0.5009999871253967);
        EXPECT_EQ(Analyzer(normal).HopsKept(), hopsNormal[i]);
        EXPECT_EQ(Analyzer(fast).HopsKept(), 4);
        const auto geometry = NoteAnalyzer::CaptureGeometryFor(Rates[i]);
        EXPECT_EQ(geometry.bufferCount, 64 * m);
        EXPECT_EQ(geometry.bufferSamples, normal.advanceSize);
    }
    // Unlisted rates and qualities fall back to m = 1 and normal quality.
    EXPECT_EQ(NoteAnalyzer::RateFactor(8000), 1);
    EXPECT_EQ(SettingsFor(8000, 7).analysisSize, 2048);
    EXPECT_EQ(SettingsFor(8000, 7).consensusRatio, 0.75);
}

TEST(AnalyzerValidation, ReportsTheFirstFailingRule) {
    const AnalyzerSettings good = SettingsFor(11025, 0);
    EXPECT_EQ(ConstructionError(good), "");
    struct Case {
        void (*change)(AnalyzerSettings&);
        const char* message;
    };
    const Case cases[] = {
        {[](AnalyzerSettings& s) { s.sampleRate = 0; }, "Invalid sample rate"},
        {[](AnalyzerSettings& s) { s.sampleRate = -1; s.analysisSize = 3000; }, "Invalid sample rate"},
        {[](AnalyzerSettings& s) { s.analysisSize = 0; }, "Invalid analysis size"},
        {[](AnalyzerSettings& s) { s.analysisSize = -2048; }, "Invalid analysis size"},
        {[](AnalyzerSettings& s) { s.analysisSize = 3000; s.advanceSize = 0; }, "Invalid analysis size"},
        {[](AnalyzerSettings& s) { s.analysisSize = 2049; }, "Invalid analysis size"},
        {[](AnalyzerSettings& s) { s.advanceSize = 0; }, "Invalid advance size, must be in the range of 1 to SR/2"},
        {[](AnalyzerSettings& s) { s.advanceSize = 5513; s.analysisSize = 8192; },
         "Invalid advance size, must be in the range of 1 to SR/2"},
        {[](AnalyzerSettings& s) { s.advanceSize = 300; }, "Invalid advance size, must be multiple of analysis size"},
        {[](AnalyzerSettings& s) { s.advanceSize = 300; s.minFundamental = -1.0; },
         "Invalid advance size, must be multiple of analysis size"},
        {[](AnalyzerSettings& s) { s.minFundamental = -0.5; }, "Invalid minimum fundemental frequency"},
        {[](AnalyzerSettings& s) { s.minFundamental = 5512.5; }, "Invalid minimum fundemental frequency"},
        {[](AnalyzerSettings& s) { s.minFundamental = std::nan(""); }, "Invalid minimum fundemental frequency"},
    };
    for (const auto& c : cases) {
        AnalyzerSettings s = good;
        c.change(s);
        EXPECT_EQ(ConstructionError(s), c.message);
    }
    // The edges of the ranges are valid.
    AnalyzerSettings edge = good;
    edge.minFundamental = 5512.0;
    EXPECT_EQ(ConstructionError(edge), "");
    edge = good;
    edge.analysisSize = 1;
    edge.advanceSize = 1;
    EXPECT_EQ(ConstructionError(edge), "");
}

TEST(Analyzer, NullHopThrowsWithoutTouchingState) {
    Analyzer a(SettingsFor(11025, 1)), b(SettingsFor(11025, 1));
    try {
        a.Process(nullptr);
        FAIL() << "no exception";
    } catch (const NoteAnalyzerException& e) {
        EXPECT_STREQ(e.message, "pnBuffer is NULL");
        EXPECT_EQ(e.code, 0);
    }
    long clockA = 0, clockB = 0;
    const auto tone = ZelvoTest::HarmonicTone(220.0, 4);
    for (int h = 0; h < 6; ++h) {
        const auto ra = Feed(a, tone, 1, clockA), rb = Feed(b, tone, 1, clockB);
        EXPECT_EQ(ra.level, rb.level);
        EXPECT_EQ(ra.frequency, rb.frequency);
    }
}

TEST(Analyzer, SilenceReadsTheFloorLevelAndIsNotAnalysed) {
    const AnalysisResult initial;
    EXPECT_EQ(initial.level, 0.0);
    EXPECT_EQ(initial.frequency, -1.0);
    EXPECT_EQ(initial.hopDuration, 0.0);
    EXPECT_EQ(initial.inharmonicity, 1.0);
    EXPECT_EQ(initial.frameFundamental, -1.0);
    EXPECT_EQ(initial.strongestHarmonic, 0);

    Analyzer a(SettingsFor(11025, 0));
    EXPECT_EQ(a.noiseFloor, -40.0);
    std::vector<double> hop(256, 0.0);
    for (int h = 0; h < 10; ++h) {
        const auto r = a.Process(hop.data());
        EXPECT_EQ(r.level, -96.3295);
        EXPECT_EQ(r.frequency, -1.0);
        EXPECT_DOUBLE_EQ(r.hopDuration, 256.0 / 11025.0);
        EXPECT_TRUE(r.peaks.empty());
        EXPECT_TRUE(r.harmonics.empty());
        EXPECT_EQ(r.inharmonicity, 1.0);
    }
}

TEST(Analyzer, LevelFollowsTheExtremesOfTheHopsInTheFrame) {
    Analyzer a(SettingsFor(11025, 0));
    // A quarter-rate sine hits +1 and -1 exactly: 0 dB.
    std::vector<double> loud(256), quiet(256, 0.0);
    for (int i = 0; i < 256; ++i) loud[static_cast<std::size_t>(i)] = (i % 4 == 1) ? 1.0 : (i % 4 == 3 ? -1.0 : 0.0);
    EXPECT_EQ(a.Process(loud.data()).level, 0.0);
    // The loud hop stays in the frame for 2048 / 256 = 8 hops.
    for (int h = 1; h < 8; ++h) EXPECT_EQ(a.Process(quiet.data()).level, 0.0) << h;
    EXPECT_EQ(a.Process(quiet.data()).level, -96.3295);
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
    EXPECT_FALSE(r.harmonics.empty());
    r = Feed(a, tone, 10, clock);
    EXPECT_NEAR(r.frequency, 196.0, 0.01);

    // A hop below the floor is not analysed (its level is still measured) and
    // votes "none" without disturbing the queues.
    a.noiseFloor = 100.0;
    r = Feed(a, tone, 1, clock);
    EXPECT_TRUE(r.peaks.empty());
    EXPECT_EQ(r.frameFundamental, -1.0);
    EXPECT_GT(r.level, -20.0);
    EXPECT_NEAR(r.frequency, 196.0, 0.01);  // 6 of 7 > 0.75
    EXPECT_TRUE(r.harmonics.empty());       // this frame has no map of its own
    r = Feed(a, tone, 1, clock);
    EXPECT_EQ(r.frequency, -1.0);  // 5 of 7
    EXPECT_TRUE(r.harmonics.empty());

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
    const int rate = 11025;
    std::vector<double> hopEstimates;
    double phase = 0.0;
    for (int h = 0; h < 30; ++h) {
        std::vector<double> hop(256);
        for (int i = 0; i < 256; ++i) {
            const double t = (h * 256 + i) / static_cast<double>(rate);
            const double f = 400.0 * (1.0 + 0.05 * t);  // 2 cents per hop or so
            phase += 6.283185307179586 * f / rate;
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

TEST(Analyzer, CleanToneReadsWithinAHundredthOfACentAtEveryRateAndQuality) {
    for (int rate : Rates) {
        for (int quality : {0, 1}) {
            Analyzer a(SettingsFor(rate, quality));
            a.noiseFloor = -30.0;
            long clock = 0;
            const auto sine = Feed(a, {{440.0, 0.5}}, 40, clock);
            EXPECT_NEAR(ZelvoTest::Cents(sine.frequency, 440.0), 0.0, 0.05) << rate << " " << quality;
            // 16-bit quantisation noise may add weak high entries; harmonic 1 is the tone.
            ASSERT_EQ(sine.harmonics.count(1), 1u);
            EXPECT_NEAR(sine.harmonics.at(1).frequency, 440.0, 0.01);

            Analyzer b(SettingsFor(rate, quality));
            b.noiseFloor = -30.0;
            clock = 0;
            const auto tone = Feed(b, ZelvoTest::HarmonicTone(110.0, 8), 40, clock);
            EXPECT_NEAR(tone.frequency, 110.0, 0.005) << rate << " " << quality;
            EXPECT_EQ(tone.strongestHarmonic, 1);
            for (int k = 1; k <= 8; ++k) EXPECT_EQ(tone.harmonics.count(k), 1u) << k;
        }
    }
}

}  // namespace
