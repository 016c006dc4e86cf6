// The hop loop on a real analyzer: whole hops only, times counted in frames.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "HopFeeder.h"
#include "analysis/AnalyzerSettings.h"

using namespace ZelvoAnalyze;

TEST(HopFeeder, FeedsWholeHopsFromAnUnevenSource) {
    const int rate = 11025;
    NoteAnalyzer::Analyzer analyzer(NoteAnalyzer::SettingsFor(rate, 0));
    analyzer.noiseFloor = -30.0;
    std::vector<double> signal(256 * 40 + 100);  // 40 hops and a part hop
    for (std::size_t i = 0; i < signal.size(); ++i)
        signal[i] = 0.5 * std::sin(2.0 * std::numbers::pi * 440.0 * static_cast<double>(i) / rate);

    // A source that hands out odd-sized pieces, as a file reader may.
    std::size_t position = 0;
    const FrameSource source = [&](double* frames, int count) {
        const int piece = std::min<int>({count, 77, static_cast<int>(signal.size() - position)});
        std::copy_n(signal.begin() + static_cast<std::ptrdiff_t>(position), piece, frames);
        position += static_cast<std::size_t>(piece);
        return piece;
    };
    std::vector<double> times, frequencies;
    const long long hops = FeedHops(analyzer, source, [&](const NoteAnalyzer::AnalysisResult& r, double t) {
        times.push_back(t);
        frequencies.push_back(r.frequency);
        EXPECT_NEAR(r.hopDuration, 256.0 / rate, 1e-12);
    });
    EXPECT_EQ(hops, 40);
    ASSERT_EQ(times.size(), 40u);
    EXPECT_DOUBLE_EQ(times.front(), 256.0 / rate);
    EXPECT_DOUBLE_EQ(times.back(), 40 * 256.0 / rate);
    // The pieces join without a seam: the last reading is still the tone.
    EXPECT_NEAR(frequencies.back(), 440.0, 0.05);
}
