#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <thread>
#include <vector>

#include "analysis/AnalyzerSettings.h"
#include "analysis/FundamentalEstimation.h"

namespace {

using NoteAnalyzer::AnalyzerSettings;
using NoteAnalyzer::EstimateFundamental;
using NoteAnalyzer::HarmonicMap;
using NoteAnalyzer::LogCentTables;
using NoteAnalyzer::LogCentUnits;
using NoteAnalyzer::SpectralPeak;

AnalyzerSettings Standard() { return NoteAnalyzer::SettingsFor(11025, 0); }

// Partials k*f0*sqrt(1 + stretch*k^2) with amplitude `top`/k for k in [first, last].
std::vector<SpectralPeak> Partials(double f0, int first, int last, double stretch = 0.0,
                                   double top = 0.5) {
    std::vector<SpectralPeak> peaks;
    for (int k = first; k <= last; ++k) peaks.push_back({top / k, k * f0 * std::sqrt(1.0 + stretch * k * k)});
    return peaks;
}

TEST(LogCentUnits, IsHundredthsOfACentTruncatedTowardZero) {
    EXPECT_EQ(LogCentUnits(1.0), 0);
    EXPECT_EQ(LogCentUnits(2.0), 120000);
    EXPECT_EQ(LogCentUnits(4.0), 240000);
    EXPECT_EQ(LogCentUnits(0.5), -119999);  // -119999.5 truncated toward zero
    EXPECT_NEAR(std::exp2(LogCentUnits(440.0) / 120000.0), 440.0, 440.0 * 1e-6);
    // Values beyond the int range are clamped, never undefined.
    EXPECT_EQ(LogCentUnits(0.0), INT_MIN);
    EXPECT_EQ(LogCentUnits(-1.0), INT_MIN);
    EXPECT_EQ(LogCentUnits(INFINITY), INT_MAX);
}

TEST(LogCentTables, HoldTheTemplateAndAreBuiltOnce) {
    const LogCentTables* seen[4] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back([t, &seen] { seen[t] = &LogCentTables::Instance(); });
    for (auto& th : threads) th.join();
    for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
    const LogCentTables& tables = *seen[0];

    EXPECT_EQ(tables.harmonic[0], 0);
    EXPECT_EQ(tables.harmonic[1], 0);
    EXPECT_EQ(tables.harmonic[2], 120000);
    EXPECT_EQ(tables.harmonic[64], 720000);
    for (int k = 1; k <= 64; ++k) {
        EXPECT_EQ(tables.partial[0][k], tables.harmonic[k]);
        EXPECT_EQ(tables.border[0][k], LogCentUnits(k + 0.5));
        // Stretch moves partials up, more for higher k.
        EXPECT_GT(tables.partial[149][k], tables.partial[0][k] - 1);
        if (k > 1) {
            EXPECT_GT(tables.border[149][k], tables.border[149][k - 1]);
        }
    }
    EXPECT_EQ(tables.partial[149][64], LogCentUnits(64 * (1.0 + 149 * 2.5e-6 * 64 * 64)));
    EXPECT_EQ(tables.gauss[0], 1.0);
    EXPECT_DOUBLE_EQ(tables.gauss[128], std::exp(-100.0));
}

TEST(EstimateFundamental, HarmonicTone) {
    const auto peaks = Partials(110.0, 1, 8);
    const auto e = EstimateFundamental(peaks, Standard());
    EXPECT_NEAR(e.frameFundamental, 110.0, 0.01);
    EXPECT_NEAR(e.frequency, 110.0, 0.001);
    EXPECT_EQ(e.strongestHarmonic, 1);
    EXPECT_EQ(e.inharmonicity, 0.0);
    ASSERT_EQ(e.harmonics.size(), 8u);
    int expected = 1;
    for (const auto& [n, peak] : e.harmonics) {
        EXPECT_EQ(n, expected++);
        EXPECT_EQ(peak.frequency, 110.0 * n);
    }
    EXPECT_EQ(e.peaks.size(), peaks.size());
}

TEST(EstimateFundamental, MissingFundamental) {
    const auto e = EstimateFundamental(Partials(110.0, 2, 8), Standard());
    EXPECT_NEAR(e.frameFundamental, 110.0, 0.01);
    EXPECT_NEAR(e.frequency, 110.0, 0.001);
    EXPECT_EQ(e.strongestHarmonic, 2);
    EXPECT_EQ(e.harmonics.count(1), 0u);
    EXPECT_EQ(e.harmonics.count(2), 1u);
}

TEST(EstimateFundamental, WeakFundamentalIsNotMistakenForTheOctave) {
    auto peaks = Partials(55.0, 1, 8);
    peaks[0].amplitude = peaks[1].amplitude / 5.0;
    const auto e = EstimateFundamental(peaks, Standard());
    EXPECT_NEAR(e.frameFundamental, 55.0, 0.01);
    EXPECT_NEAR(e.frequency, 55.0, 0.01);
    EXPECT_EQ(e.harmonics.count(1), 1u);
}

TEST(EstimateFundamental, StretchedPartials) {
    // f_k = k f0 sqrt(1 + 0.0002 k^2), close to k f0 (1 + 1e-4 k^2).
    const auto e = EstimateFundamental(Partials(82.41, 1, 12, 0.0002), Standard());
    EXPECT_NEAR(e.frameFundamental, 82.41, 0.05);
    EXPECT_NEAR(e.inharmonicity, 1e-4, 2e-5);
    EXPECT_EQ(e.harmonics.size(), 12u);
    // The refinement divides by n alone, so the stretch lifts the result.
    EXPECT_GT(e.frequency, e.frameFundamental + 0.05);
    EXPECT_NEAR(e.frequency, 82.55, 0.1);
}

TEST(EstimateFundamental, SinglePeakIsItsOwnFundamental) {
    const std::vector<SpectralPeak> peaks{{0.3, 440.0}};
    const auto e = EstimateFundamental(peaks, Standard());
    EXPECT_EQ(e.frequency, 440.0);
    EXPECT_EQ(e.frameFundamental, 440.0);
    EXPECT_EQ(e.inharmonicity, 0.0);
    EXPECT_EQ(e.strongestHarmonic, 0);
    ASSERT_EQ(e.harmonics.size(), 1u);
    EXPECT_EQ(e.harmonics.at(1).frequency, 440.0);
}

TEST(EstimateFundamental, NothingUsableGivesNoEstimate) {
    const auto s = Standard();
    const auto none = EstimateFundamental({}, s);
    EXPECT_EQ(none.frequency, -1.0);
    EXPECT_EQ(none.inharmonicity, 1.0);
    EXPECT_EQ(none.frameFundamental, -1.0);
    EXPECT_TRUE(none.harmonics.empty());

    // Everything at or below minFundamental / semitone (25.48 Hz) is skipped,
    // but still reported among the frame's peaks.
    const std::vector<SpectralPeak> low{{0.5, 10.0}, {0.5, 20.0}, {0.5, 27.0 / 1.059463094359202}};
    const auto e = EstimateFundamental(low, s);
    EXPECT_EQ(e.frequency, -1.0);
    EXPECT_EQ(e.peaks.size(), 3u);
}

TEST(MatchHarmonicTemplate, FailsWhenTheStrongestPeakIsBelowTheMinimum) {
    const std::vector<SpectralPeak> selected{{0.9, 26.0}, {0.1, 52.0}};
    double f0 = 0.0, b = 0.0;
    int h = 0;
    EXPECT_FALSE(NoteAnalyzer::MatchHarmonicTemplate(selected, Standard(), f0, b, h));
    // Through the estimate: 26 Hz survives the lower bound (25.48 Hz) but then
    // fails the match, so there is no reading.
    EXPECT_EQ(EstimateFundamental(selected, Standard()).frequency, -1.0);
}

TEST(MatchHarmonicTemplate, ToleratesUnsortedAndOddInputFromDirectCallers) {
    // Not what the estimate passes, but it must not read outside its tables.
    const std::vector<SpectralPeak> odd{{0.5, 3000.0}, {0.2, 30.0}, {0.1, 0.0}, {0.3, 1500.0},
                                        {0.2, 1e-300}, {0.4, 44.0}};
    double f0 = 0.0, b = 0.0;
    int h = 0;
    EXPECT_TRUE(NoteAnalyzer::MatchHarmonicTemplate(odd, Standard(), f0, b, h));
    EXPECT_GT(f0, 27.0 / 1.1);
    std::vector<SpectralPeak> many = Partials(100.0, 1, 30);  // more than 20 selected
    EXPECT_TRUE(NoteAnalyzer::MatchHarmonicTemplate(many, Standard(), f0, b, h));
    EXPECT_NEAR(f0, 100.0, 0.05);
}

TEST(EstimateFundamental, PeaksAboveTheTiltKeepTheirFullAmplitude) {
    // 300 Hz at 0.9 weighs only 0.9 * (300 + 500) / 5300 = 0.136; a 6 kHz peak
    // above the tilt keeps its full 0.2 and becomes the strongest peak, and the
    // octave rule then prefers it as the (higher) fundamental.
    std::vector<SpectralPeak> peaks{{0.9, 300.0}, {0.2, 6000.0}};
    auto e = EstimateFundamental(peaks, Standard());
    EXPECT_NEAR(e.frameFundamental, 6000.0, 0.05);
    EXPECT_EQ(e.strongestHarmonic, 1);
    // Weaker than the weighted 300 Hz peak, it no longer leads.
    peaks[1].amplitude = 0.1;
    e = EstimateFundamental(peaks, Standard());
    EXPECT_NEAR(e.frameFundamental, 300.0, 0.05);
    EXPECT_EQ(e.strongestHarmonic, 1);
}

TEST(BuildHarmonicMap, KeepsTheStrongestPeakPerHarmonicWithinFiftyCents) {
    HarmonicMap map{{99, {1.0, 1.0}}};
    const std::vector<SpectralPeak> peaks{
        {0.2, 100.0}, {0.1, 201.0},  // 2: 8.6 cents sharp
        {0.3, 199.0},                // also 2, stronger
        {0.5, 300.0 * std::exp2(55.0 / 1200.0)},  // 55 cents off harmonic 3: dropped
        {0.5, 30.0},                 // nearest integer 0: dropped
        {0.4, 6400.0},               // harmonic 64: kept
        {0.4, 6500.0},               // harmonic 65: beyond the template, dropped
    };
    NoteAnalyzer::BuildHarmonicMap(peaks, 100.0, 0.0, map);
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(map.at(1).frequency, 100.0);
    EXPECT_EQ(map.at(2).frequency, 199.0);
    EXPECT_EQ(map.at(64).frequency, 6400.0);
}

TEST(BuildHarmonicMap, InvertsTheStretchWithCardano) {
    const double b = 1e-4, f0 = 82.41;
    std::vector<SpectralPeak> peaks;
    for (int k = 1; k <= 30; ++k) peaks.push_back({1.0 / k, k * f0 * (1.0 + b * k * k)});
    HarmonicMap map;
    NoteAnalyzer::BuildHarmonicMap(peaks, f0, b, map);
    ASSERT_EQ(map.size(), 30u);
    for (const auto& [n, peak] : map) EXPECT_NEAR(peak.frequency, n * f0 * (1.0 + b * n * n), 1e-9);
    // Without the stretch the high partials are counted as the wrong harmonics.
    NoteAnalyzer::BuildHarmonicMap(peaks, f0, 0.0, map);
    EXPECT_TRUE(map.count(30) == 0 || map.at(30).frequency != peaks[29].frequency);
}

}  // namespace
