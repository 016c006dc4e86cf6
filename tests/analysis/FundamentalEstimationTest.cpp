#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

#include "analysis/AnalyzerSettings.h"
#include "analysis/FundamentalEstimation.h"

namespace {

using NoteAnalyzer::EstimateFundamental;
using NoteAnalyzer::HarmonicMap;
using NoteAnalyzer::LogCentUnits;
using NoteAnalyzer::SpectralPeak;

const auto Standard = NoteAnalyzer::SettingsFor(11025, 0);

// Partials k*f0*sqrt(1 + stretch*k^2) with amplitude 0.5/k for k in [first, last].
std::vector<SpectralPeak> Partials(double f0, int first, int last, double stretch = 0.0) {
    std::vector<SpectralPeak> peaks;
    for (int k = first; k <= last; ++k) peaks.push_back({0.5 / k, k * f0 * std::sqrt(1.0 + stretch * k * k)});
    return peaks;
}

TEST(LogCentUnits, IsHundredthsOfACentTruncatedTowardZeroAndClamped) {
    EXPECT_EQ(LogCentUnits(1.0), 0);
    EXPECT_EQ(LogCentUnits(4.0), 240000);
    EXPECT_EQ(LogCentUnits(0.5), -119999);  // -119999.5 truncated toward zero
    EXPECT_EQ(LogCentUnits(0.0), INT_MIN);
    EXPECT_EQ(LogCentUnits(-1.0), INT_MIN);
    EXPECT_EQ(LogCentUnits(INFINITY), INT_MAX);
}

// The harmonic, missing-fundamental and stretched tones are pinned by the
// reference table (GoldenOutputTest); here the cases it does not reach.
// A frequency of -2 is not checked.
TEST(EstimateFundamental, TemplateCases) {
    auto weak = Partials(55.0, 1, 8);
    weak[0].amplitude = weak[1].amplitude / 5.0;
    const std::vector<SpectralPeak> belowMinimum{
        {0.5, 10.0}, {0.5, 20.0}, {0.5, 27.0 / Units::SemitoneRatio}};
    const struct {
        const char* name;
        std::vector<SpectralPeak> peaks;
        double frameFundamental, frequency;
        std::size_t harmonics;
    } cases[] = {
        {"weak fundamental", weak, 55.0, 55.0, 8},  // not mistaken for the octave
        {"single peak", {{0.3, 440.0}}, 440.0, 440.0, 1},
        {"no peaks", {}, -1.0, -1.0, 0},
        // At or below minFundamental / semitone (25.48 Hz): skipped.
        {"below the minimum", belowMinimum, -1.0, -1.0, 0},
        // 26 Hz survives the lower bound but the strongest peak fails the match.
        {"strongest below the minimum", {{0.9, 26.0}, {0.1, 52.0}}, -1.0, -1.0, 0},
        // 300 Hz at 0.9 weighs only 0.9 * (300 + 500) / 5300 = 0.136; a 6 kHz
        // peak above the tilt keeps its full 0.2 and leads; at 0.1 it does not.
        {"above the tilt", {{0.9, 300.0}, {0.2, 6000.0}}, 6000.0, -2.0, 0},
        {"below the tilt", {{0.9, 300.0}, {0.1, 6000.0}}, 300.0, -2.0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto e = EstimateFundamental(c.peaks, Standard);
        EXPECT_NEAR(e.frameFundamental, c.frameFundamental, 0.05);
        if (c.frequency != -2.0) {
            EXPECT_NEAR(e.frequency, c.frequency, 0.01);
            EXPECT_EQ(e.harmonics.size(), c.harmonics);
        }
        EXPECT_EQ(e.peaks.size(), c.peaks.size());
    }
}

TEST(MatchHarmonicTemplate, ToleratesUnsortedAndOddInputFromDirectCallers) {
    // Not what the estimate passes, but it must not read outside its tables.
    const std::vector<SpectralPeak> odd{{0.5, 3000.0}, {0.2, 30.0},   {0.1, 0.0},
                                        {0.3, 1500.0}, {0.2, 1e-300}, {0.4, 44.0}};
    double f0 = 0.0, b = 0.0;
    int h = 0;
    EXPECT_TRUE(NoteAnalyzer::MatchHarmonicTemplate(odd, Standard, f0, b, h));
    EXPECT_GT(f0, 27.0 / 1.1);
    EXPECT_TRUE(
        NoteAnalyzer::MatchHarmonicTemplate(Partials(100.0, 1, 30), Standard, f0, b, h));  // > 20 peaks
    EXPECT_NEAR(f0, 100.0, 0.05);
}

TEST(BuildHarmonicMap, KeepsTheStrongestPeakPerHarmonicWithinFiftyCents) {
    HarmonicMap map{{99, {1.0, 1.0}}};
    const std::vector<SpectralPeak> peaks{
        {0.2, 100.0},
        {0.1, 201.0},                             // 2: 8.6 cents sharp
        {0.3, 199.0},                             // also 2, stronger
        {0.5, 300.0 * std::exp2(55.0 / 1200.0)},  // 55 cents off harmonic 3: dropped
        {0.5, 30.0},                              // nearest integer 0: dropped
        {0.4, 6400.0},                            // harmonic 64: kept
        {0.4, 6500.0},                            // harmonic 65: beyond the template, dropped
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

// The map skips peaks far from every partial before the exact 50-cent test;
// it must keep exactly what that test keeps: the strongest peak per harmonic
// that NearestHarmonic accepts. Peaks are placed just inside and outside the
// 50-cent borders and the borders between harmonic numbers, in order and out
// of order.
TEST(BuildHarmonicMap, KeepsWhatTheNearestHarmonicTestKeeps) {
    const auto plainMap = [](const std::vector<SpectralPeak>& peaks, double f0, double b) {
        HarmonicMap map;
        for (const auto& peak : peaks) {
            const int n = NoteAnalyzer::NearestHarmonic(peak.frequency, f0, b);
            if (n != 0 && (!map.count(n) || map.at(n).amplitude < peak.amplitude)) map[n] = peak;
        }
        return map;
    };
    std::mt19937 rng(64);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    int kept = 0;
    for (const double f0 : {27.5, 110.0, 1760.0}) {
        for (const double b : {0.0, 5e-8, 1e-4, 3.75e-4, -1e-4}) {
            std::vector<SpectralPeak> peaks;
            for (int n = 1; n <= 66; ++n) {
                const double partial = (n * b * n + 1.0) * n * f0;
                for (const double cents :
                     {-50.01, -50.0, -49.99, -49.9999999, -25.0, 0.0, 49.9999999, 49.99, 50.0, 50.01, 80.0})
                    peaks.push_back({unit(rng), partial * std::exp2(cents / 1200.0)});
                // Around the border between harmonic numbers n and n + 1.
                const double k = n + 0.5;
                const double border = (b < 1e-7 ? k : k * (1.0 + b * k * k)) * f0;
                for (const double offset : {-1e-8, -1e-12, 0.0, 1e-12, 1e-8})
                    peaks.push_back({unit(rng), border * (1.0 + offset)});
            }
            for (int j = 0; j < 300; ++j) peaks.push_back({unit(rng), f0 * 70.0 * unit(rng)});
            std::sort(peaks.begin(), peaks.end(), [](auto& x, auto& y) { return x.frequency < y.frequency; });
            std::vector<SpectralPeak> shuffled = peaks;
            std::shuffle(shuffled.begin(), shuffled.end(), rng);
            for (const auto* list : {&peaks, &shuffled}) {
                SCOPED_TRACE(std::to_string(f0) + " " + std::to_string(b));
                HarmonicMap map;
                NoteAnalyzer::BuildHarmonicMap(*list, f0, b, map);
                const HarmonicMap expected = plainMap(*list, f0, b);
                ASSERT_EQ(map.size(), expected.size());
                for (const auto& [n, peak] : expected) {
                    ASSERT_TRUE(map.count(n)) << n;
                    EXPECT_TRUE(map.at(n).frequency == peak.frequency &&
                                map.at(n).amplitude == peak.amplitude)
                        << n;
                }
                kept += static_cast<int>(map.size());
            }
        }
    }
    EXPECT_GT(kept, 1000);
}

}  // namespace
