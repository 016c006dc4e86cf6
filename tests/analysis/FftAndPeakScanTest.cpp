#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

#include "ReferencePeakScan.h"
#include "TestSignals.h"
#include "analysis/AnalyzerSettings.h"
#include "analysis/RealFft.h"
#include "analysis/Tfr.h"

namespace {

using NoteAnalyzer::RealFft;
using NoteAnalyzer::SpectralPeak;
using NoteAnalyzer::TFR;

// Reference spectrum by the definition, in long double with exact twiddle
// indices (j*k mod n) so its own error is far below the tolerance. Returned in
// RealFft's packing: re(0), -re(n/2), then re(k), im(k) for 0 < k < n/2.
std::vector<double> NaiveDft(const std::vector<double>& x) {
    const std::size_t n = x.size();
    std::vector<long double> c(n), s(n);
    for (std::size_t j = 0; j < n; ++j) {
        c[j] = std::cos(6.283185307179586476925286766559L * j / n);
        s[j] = std::sin(6.283185307179586476925286766559L * j / n);
    }
    std::vector<double> out(n);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        long double r = 0, i = 0;
        for (std::size_t j = 0, idx = 0; j < n; ++j, idx = (idx + k) % n) {
            r += x[j] * c[idx];
            i -= x[j] * s[idx];
        }
        if (k == 0 || k == n / 2)
            out[k == 0 ? 0 : 1] = static_cast<double>(k == 0 ? r : -r);
        else
            out[2 * k] = static_cast<double>(r), out[2 * k + 1] = static_cast<double>(i);
    }
    return out;
}

// Both the plain and the windowed transform against the definition; the
// windowed one must leave its frame alone.
TEST(RealFft, MatchesDefinitionForEveryPowerOfTwo) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (int n = 4; n <= 16384; n *= 2) {
        SCOPED_TRACE(n);
        std::vector<double> frame(static_cast<std::size_t>(n)), window(frame.size()), product(frame.size());
        for (auto& v : frame) v = dist(rng);
        for (auto& v : window) v = dist(rng);
        for (std::size_t i = 0; i < frame.size(); ++i) product[i] = frame[i] * window[i];
        const auto expectedPlain = NaiveDft(frame), expectedWindowed = NaiveDft(product);

        // Error grows like sqrt(n) * log(n) * eps relative to the signal norm.
        const double tol = 1e-13 * n;
        std::vector<double> in = frame, out(frame.size()), work(frame.size());
        RealFft(in.data(), out.data(), n);
        for (int i = 0; i < n; ++i) ASSERT_NEAR(out[i], expectedPlain[i], tol) << i;

        const auto before = frame;
        NoteAnalyzer::WindowedRealFft(frame.data(), window.data(), work.data(), out.data(), n,
                                      NoteAnalyzer::RealFftTablesFor(n));
        EXPECT_EQ(frame, before);
        for (int i = 0; i < n; ++i) ASSERT_NEAR(out[i], expectedWindowed[i], tol) << i;
    }
}

TEST(RealFft, DegenerateLengthsAndBadTables) {
    double in[2] = {1.0, 2.0}, out[2];
    RealFft(in, out, 2);
    EXPECT_EQ(out[0], 3.0);
    EXPECT_EQ(out[1], 1.0);  // -(1 - 2)
    in[0] = 3.0;
    RealFft(in, out, 1);
    EXPECT_EQ(out[0], 3.0);

    EXPECT_THROW(NoteAnalyzer::RealFftTablesFor(0), std::invalid_argument);
    EXPECT_THROW(NoteAnalyzer::RealFftTablesFor(12), std::invalid_argument);
    std::vector<double> in16(16), out16(16);
    EXPECT_THROW(RealFft(in16.data(), out16.data(), 16, NoteAnalyzer::RealFftTablesFor(8)),
                 std::invalid_argument);
}

const SpectralPeak& Dominant(const std::vector<SpectralPeak>& peaks) {
    return *std::max_element(peaks.begin(), peaks.end(),
                             [](const auto& a, const auto& b) { return a.amplitude < b.amplitude; });
}

TEST(Tfr, SilentAndTinyFramesHaveNoPeaks) {
    // Tiny sizes are accepted by the analyzer but cannot be analysed: neutral norm.
    for (int n : {1, 2, 4, 8, 2048}) {
        TFR tfr(8000, n, 1);
        if (n < 2048) {
            EXPECT_EQ(tfr.AmplitudeNorm(), 1.0);
        }
        std::vector<double> frame(static_cast<std::size_t>(n), n < 2048 ? 0.25 : 0.0);
        std::vector<SpectralPeak> peaks{{1.0, 1.0}};
        tfr.ReassignedPeakScan(frame.data(), peaks);
        EXPECT_TRUE(peaks.empty()) << n;
    }
}

// The amplitude norm makes a full-scale sinusoid on a half bin read exactly 1.
TEST(Tfr, CalibrationToneReadsExactlyOneAtEverySetting) {
    for (int rate : {11025, 22050, 44100, 48000, 96000}) {
        for (int quality : {0, 1}) {
            const auto s = NoteAnalyzer::SettingsFor(rate, quality);
            const int n = s.analysisSize;
            TFR tfr(s.sampleRate, n, s.advanceSize);
            std::vector<double> frame(static_cast<std::size_t>(n));
            const double f = rate * (n / 25 + 0.5) / n;
            for (int i = 0; i < n; ++i)
                frame[static_cast<std::size_t>(i)] = std::sin(6.28318530718 * i * f / rate);
            std::vector<SpectralPeak> peaks;
            tfr.ReassignedPeakScan(frame.data(), peaks);
            ASSERT_FALSE(peaks.empty());
            EXPECT_DOUBLE_EQ(Dominant(peaks).amplitude, 1.0) << rate << " " << quality;
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

TEST(Tfr, BinTwoCanBeAPeakButBinsZeroAndOneCannot) {
    const int rate = 11025, n = 2048;
    const double bin = static_cast<double>(rate) / n;
    TFR tfr(rate, n, 256);
    std::vector<SpectralPeak> peaks;

    // Exactly on bin 2: judged against bin 3 alone, it is still a peak.
    auto frame = ZelvoTest::Synthesize({{2.0 * bin, 0.5}}, rate, 0, n);
    tfr.ReassignedPeakScan(frame.data(), peaks);
    ASSERT_FALSE(peaks.empty());
    EXPECT_NEAR(peaks.front().frequency, 2.0 * bin, 0.05);
    // Energy at DC and bin 1 never yields a peak below bin 2.
    frame = ZelvoTest::Synthesize({{0.0, 0.5, 1.5707963267948966}, {1.0 * bin, 0.5}}, rate, 0, n);
    tfr.ReassignedPeakScan(frame.data(), peaks);
    for (const auto& p : peaks) EXPECT_GT(p.frequency, 1.0 * bin);
}

TEST(Tfr, PeaksOfNoiseAreOrderedInRangeAndRepeatable) {
    const int n = 4096;
    const double bin = 22050.0 / n;
    TFR tfr(22050, n, 512);
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> dist(-0.5, 0.5);
    std::vector<double> frame(n);
    for (auto& v : frame) v = dist(rng);
    std::vector<SpectralPeak> first, second;
    tfr.ReassignedPeakScan(frame.data(), first);
    tfr.ReassignedPeakScan(frame.data(), second);
    ASSERT_GT(first.size(), 10u);
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (i > 0) {
            EXPECT_LT(first[i - 1].frequency, first[i].frequency);
        }
        EXPECT_GE(first[i].frequency, 1.0 * bin);  // bin 2 minus less than one bin
        EXPECT_LT(first[i].frequency, (n / 2 - 4) * bin);
        EXPECT_TRUE(first[i].frequency == second[i].frequency && first[i].amplitude == second[i].amplitude)
            << i;
    }
}

// The scan against the plain one-pass scan, bit for bit and in order, at
// every rate and quality: noise of several levels (many maxima, many of them
// rejected), quantised tones low and high, a tone on bin 2, and silence.
TEST(Tfr, PeaksEqualThePlainScanBitForBit) {
    std::mt19937 rng(2026);
    int lists = 0;
    std::size_t peakCount = 0;
    for (int rate : {11025, 22050, 44100, 48000, 96000}) {
        for (int quality : {0, 1}) {
            const auto s = NoteAnalyzer::SettingsFor(rate, quality);
            const int n = s.analysisSize;
            TFR tfr(rate, n, s.advanceSize);
            std::vector<std::vector<double>> frames;
            for (double level : {1e-4, 0.01, 0.5}) {
                std::uniform_real_distribution<double> noise(-level, level);
                std::vector<double> frame(static_cast<std::size_t>(n));
                for (auto& v : frame) v = noise(rng);
                frames.push_back(frame);
            }
            for (double f0 : {110.0, 1760.0, 2.0 * rate / n}) {
                const int top = f0 < 100.0 ? 1 : 8;
                auto tone = ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(f0, top), rate, 0, n, true);
                frames.push_back(tone);
            }
            frames.emplace_back(static_cast<std::size_t>(n), 0.0);
            for (const auto& frame : frames) {
                SCOPED_TRACE(std::to_string(rate) + " " + std::to_string(quality) + " frame " +
                             std::to_string(lists));
                std::vector<SpectralPeak> peaks;
                tfr.ReassignedPeakScan(frame.data(), peaks);
                const auto expected = ZelvoTest::ReferencePeaks(tfr);
                ASSERT_EQ(peaks.size(), expected.size());
                for (std::size_t i = 0; i < peaks.size(); ++i) {
                    ASSERT_TRUE(peaks[i].frequency == expected[i].frequency &&
                                peaks[i].amplitude == expected[i].amplitude)
                        << i << ": " << peaks[i].frequency << " " << expected[i].frequency;
                }
                ++lists;
                peakCount += peaks.size();
            }
        }
    }
    EXPECT_EQ(lists, 70);
    EXPECT_GT(peakCount, 20000u);
}

}  // namespace
