#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "TestSignals.h"
#include "analysis/AnalyzerSettings.h"
#include "analysis/Tfr.h"

namespace {

using NoteAnalyzer::SpectralPeak;
using NoteAnalyzer::TFR;

const SpectralPeak& Dominant(const std::vector<SpectralPeak>& peaks) {
    std::size_t best = 0;
    for (std::size_t i = 1; i < peaks.size(); ++i)
        if (peaks[i].amplitude > peaks[best].amplitude) best = i;
    return peaks[best];
}

TEST(BlackmanWindow, EndsAtZeroIsSymmetricAndPeaksAtTheGain) {
    std::vector<double> even(16), odd(17);
    NoteAnalyzer::BlackmanWindow(even.data(), 16, 2.0);
    NoteAnalyzer::BlackmanWindow(odd.data(), 17, 2.0);
    EXPECT_EQ(even[0], 0.0);
    EXPECT_EQ(even[15], 0.0);
    EXPECT_EQ(odd[16], 0.0);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(even[i], even[15 - i]);
    EXPECT_EQ(odd[8], 2.0);  // the odd-length centre is the gain itself
    // The tuner's formula: denominator n, literal decimal 2*pi.
    EXPECT_DOUBLE_EQ(even[3], 2.0 * 0.5 *
                                  (0.84 - std::cos(3 * 6.28318530718 / 16) +
                                   0.16 * std::cos(3 * 12.56637061436 / 16)));
}

TEST(Tfr, SilentFrameHasNoPeaks) {
    TFR tfr(11025, 2048, 256);
    std::vector<double> frame(2048, 0.0);
    std::vector<SpectralPeak> peaks{{1.0, 1.0}};
    tfr.ReassignedPeakScan(frame.data(), peaks);
    EXPECT_TRUE(peaks.empty());
}

TEST(Tfr, CalibrationToneReadsExactlyOneAtEverySetting) {
    for (int rate : {11025, 22050, 44100, 48000, 96000}) {
        for (int quality : {0, 1}) {
            const auto s = NoteAnalyzer::SettingsFor(rate, quality);
            TFR tfr(s.sampleRate, s.analysisSize, s.advanceSize);
            const int n = s.analysisSize;
            const double f = rate * (n / 25 + 0.5) / n;
            std::vector<double> frame(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) frame[static_cast<std::size_t>(i)] = std::sin(6.28318530718 * i * f / rate);
            std::vector<SpectralPeak> peaks;
            tfr.ReassignedPeakScan(frame.data(), peaks);
            ASSERT_FALSE(peaks.empty());
            EXPECT_DOUBLE_EQ(Dominant(peaks).amplitude, 1.0) << rate << " " << quality;
            EXPECT_GT(tfr.AmplitudeNorm(), 1.0);
        }
    }
}

// A single sinusoid anywhere between 3 and N/2 - 6 bins is found within 0.01 Hz
// and its amplitude within 1.5 %. Below 5 bins the negative-frequency image
// still leaks in: up to about 0.017 Hz between 3 and 4 bins and 0.012 Hz between
// 4 and 5, so those get 0.02 Hz.
TEST(Tfr, SingleSinusoidFrequencyAndAmplitudeAcrossTheBand) {
    const int rate = 11025, n = 2048;
    const double bin = static_cast<double>(rate) / n;
    TFR tfr(rate, n, 256);
    std::vector<SpectralPeak> peaks;
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> phase(0.0, 6.283185307179586);
    int checked = 0;
    for (double bins = 3.0; bins <= n / 2 - 6; bins += (bins < 8.0 ? 0.0625 : 3.37)) {
        for (double amplitude : {1.0, 0.3, 0.001}) {
            const double f = bins * bin;
            const auto frame = ZelvoTest::Synthesize({{f, amplitude, phase(rng)}}, rate, 0, n);
            tfr.ReassignedPeakScan(frame.data(), peaks);
            ASSERT_FALSE(peaks.empty()) << f;
            const auto& p = Dominant(peaks);
            EXPECT_NEAR(p.frequency, f, bins < 5.0 ? 0.02 : 0.01) << "bins " << bins;
            EXPECT_NEAR(p.amplitude / amplitude, 1.0, 0.015) << "bins " << bins;
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(Tfr, BinTwoCanBeAPeakWithItsPlainAmplitudeButBinsZeroAndOneCannot) {
    const int rate = 11025, n = 2048;
    const double bin = static_cast<double>(rate) / n;
    TFR tfr(rate, n, 256);
    std::vector<SpectralPeak> peaks;

    // Exactly on bin 2: the peak is judged against bin 3 alone.
    auto frame = ZelvoTest::Synthesize({{2.0 * bin, 0.5}}, rate, 0, n);
    tfr.ReassignedPeakScan(frame.data(), peaks);
    ASSERT_FALSE(peaks.empty());
    EXPECT_NEAR(peaks.front().frequency, 2.0 * bin, 0.05);
    // Its amplitude is sqrt(P(2)) / norm without interpolation.
    std::vector<double> window(n), windowed(n), spectrum(n);
    NoteAnalyzer::BlackmanWindow(window.data(), n, 1.0);
    NoteAnalyzer::ElementwiseProduct(frame.data(), window.data(), windowed.data(), n);
    NoteAnalyzer::RealFft(windowed.data(), spectrum.data(), n);
    const double plain = std::sqrt(spectrum[4] * spectrum[4] + spectrum[5] * spectrum[5]);
    EXPECT_DOUBLE_EQ(peaks.front().amplitude, plain / tfr.AmplitudeNorm());

    // Energy at DC and bin 1 never yields a peak below bin 2.
    frame = ZelvoTest::Synthesize({{0.0, 0.5, 1.5707963267948966}, {1.0 * bin, 0.5}}, rate, 0, n);
    tfr.ReassignedPeakScan(frame.data(), peaks);
    for (const auto& p : peaks) EXPECT_GT(p.frequency, 1.0 * bin);
}

TEST(Tfr, PeaksOfNoiseAreOrderedAndRepeatable) {
    const int n = 4096;
    TFR tfr(22050, n, 512);
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> dist(-0.5, 0.5);
    std::vector<double> frame(n);
    for (auto& v : frame) v = dist(rng);
    std::vector<SpectralPeak> first, second;
    tfr.ReassignedPeakScan(frame.data(), first);
    tfr.ReassignedPeakScan(frame.data(), second);
    ASSERT_GT(first.size(), 10u);
    const double bin = 22050.0 / n;
    for (std::size_t i = 1; i < first.size(); ++i) {
        EXPECT_LT(first[i - 1].frequency, first[i].frequency);
    }
    for (const auto& p : first) {
        EXPECT_GE(p.frequency, 1.0 * bin);  // bin 2 minus less than one bin
        EXPECT_LT(p.frequency, (n / 2 - 4) * bin);
    }
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].frequency, second[i].frequency);
        EXPECT_EQ(first[i].amplitude, second[i].amplitude);
    }
}

TEST(Tfr, TinyFramesAreHarmless) {
    // Sizes the analyzer accepts but cannot analyse: no candidates, neutral norm.
    for (int n : {1, 2, 4, 8}) {
        TFR tfr(8000, n, 1);
        EXPECT_EQ(tfr.AmplitudeNorm(), 1.0);
        std::vector<double> frame(static_cast<std::size_t>(n), 0.25);
        std::vector<SpectralPeak> peaks;
        tfr.ReassignedPeakScan(frame.data(), peaks);
        EXPECT_TRUE(peaks.empty());
    }
}

}  // namespace
