// The engine's template search prunes rows it can prove to lose. These tests
// hold it to the exhaustive search (ReferenceTemplateMatch), bit for bit, on
// generated peak lists and on the frames of whole synthetic recordings.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "ReferenceTemplateMatch.h"
#include "TestSignals.h"
#include "analysis/Analyzer.h"
#include "analysis/FundamentalEstimation.h"

namespace {

using NoteAnalyzer::SpectralPeak;

// The engine's match against the exhaustive one, every output bit for bit.
void ExpectSameMatch(const std::vector<SpectralPeak>& peaks, const NoteAnalyzer::AnalyzerSettings& s) {
    double f[2] = {}, b[2] = {};
    int h[2] = {};
    EXPECT_EQ(NoteAnalyzer::MatchHarmonicTemplate(peaks, s, f[0], b[0], h[0]),
              ZelvoTest::ReferenceMatchHarmonicTemplate(peaks, s, f[1], b[1], h[1]));
    EXPECT_TRUE(f[0] == f[1] && b[0] == b[1] && h[0] == h[1])
        << f[0] << " " << f[1] << " " << h[0] << " " << h[1];
}

void ExpectSameEstimate(const NoteAnalyzer::FundamentalEstimate& a,
                        const NoteAnalyzer::FundamentalEstimate& b) {
    EXPECT_TRUE(a.frequency == b.frequency && a.frameFundamental == b.frameFundamental &&
                a.inharmonicity == b.inharmonicity && a.strongestHarmonic == b.strongestHarmonic)
        << a.frequency << " " << b.frequency;
    ASSERT_EQ(a.harmonics.size(), b.harmonics.size());
    for (auto i = a.harmonics.begin(), j = b.harmonics.begin(); i != a.harmonics.end(); ++i, ++j)
        EXPECT_TRUE(i->first == j->first && i->second.frequency == j->second.frequency &&
                    i->second.amplitude == j->second.amplitude);
}

// A sorted list of up to 20 peaks: some partials of a stretched tone (any of
// them missing, amplitudes scattered) among noise peaks.
std::vector<SpectralPeak> RandomPeaks(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double f0 = 27.0 * std::exp2(unit(rng) * 7.0);
    const double stretch = unit(rng) < 0.5 ? 0.0 : unit(rng) * 4e-4;
    std::vector<SpectralPeak> peaks;
    const int partials = 1 + static_cast<int>(unit(rng) * 16);
    for (int k = 1; k <= partials; ++k) {
        if (unit(rng) < 0.3) continue;
        const double detune = std::exp2((unit(rng) - 0.5) * 10.0 / 1200.0);
        peaks.push_back({unit(rng) / k, k * f0 * (1.0 + stretch * k * k) * detune});
    }
    const int noise = static_cast<int>(unit(rng) * 12);
    for (int j = 0; j < noise; ++j) peaks.push_back({unit(rng) * 0.05, 30.0 * std::exp2(unit(rng) * 9.0)});
    if (peaks.size() > 20) peaks.resize(20);
    std::sort(peaks.begin(), peaks.end(), [](auto& a, auto& b) { return a.frequency < b.frequency; });
    return peaks;
}

TEST(TemplateSearch, MatchesTheExhaustiveSearch) {
    auto settings = NoteAnalyzer::SettingsFor(11025, 0);
    std::vector<SpectralPeak> twentyOne;
    for (int k = 1; k <= 21; ++k) twentyOne.push_back({0.3 / k, k * 97.0 * (1.0 + 1e-4 * k * k)});
    const struct {
        const char* name;
        std::vector<SpectralPeak> peaks;
        double minFundamental;
    } cases[] = {
        {"equal amplitudes", {{0.2, 110.0}, {0.2, 220.0}, {0.2, 330.0}, {0.2, 441.0}}, 27.0},
        {"equal frequencies", {{0.1, 220.0}, {0.3, 220.0}, {0.2, 440.0}}, 27.0},
        {"zero amplitudes", {{0.0, 100.0}, {0.4, 200.0}, {0.0, 300.0}, {0.1, 400.0}}, 27.0},
        {"subnormal amplitudes", {{1e-310, 100.0}, {3e-310, 200.0}, {2e-310, 300.0}}, 27.0},
        {"one partial far above", {{0.5, 1760.0}, {0.4, 1760.0 * 63.0}}, 27.0},
        {"more than twenty peaks", twentyOne, 27.0},
        {"strongest at zero hertz without a minimum", {{0.1, 50.0}, {0.9, 0.0}, {0.2, 100.0}}, 0.0},
        {"stretched string", {{0.3, 55.0}, {0.5, 110.2}, {0.2, 165.9}, {0.4, 222.1}, {0.1, 279.3}}, 27.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        settings.minFundamental = c.minFundamental;
        ExpectSameMatch(c.peaks, settings);
    }
    std::mt19937 rng(20261206);
    for (const auto& s : {NoteAnalyzer::SettingsFor(11025, 0), NoteAnalyzer::SettingsFor(96000, 1)}) {
        for (int n = 0; n < 600 && !HasFailure(); ++n) {
            SCOPED_TRACE(n);
            ExpectSameMatch(RandomPeaks(rng), s);
        }
    }
}

// The search may skip the candidates before one that wins whatever the best
// so far is; that depends on the octave bias lying in [0, 1]. Every bias,
// inside and outside that range, must still decide as the exhaustive search.
TEST(TemplateSearch, MatchesTheExhaustiveSearchForEveryOctaveBias) {
    std::vector<SpectralPeak> harmonic, weakFundamental, evenOnly;
    for (int k = 1; k <= 8; ++k) harmonic.push_back({0.25 / k, 1760.0 * k});
    for (int k = 1; k <= 8; ++k) weakFundamental.push_back({k == 1 ? 0.02 : 0.25 / k, 110.0 * k});
    for (int k = 2; k <= 12; k += 2) evenOnly.push_back({0.2, 98.0 * k});
    const std::vector<SpectralPeak> sets[] = {harmonic, weakFundamental, evenOnly};
    std::mt19937 rng(4711);
    auto settings = NoteAnalyzer::SettingsFor(44100, 0);
    for (const double bias : {0.881, 1.0, 0.999999, 0.5, 0.0, 1e-300, 1.2, -0.5}) {
        SCOPED_TRACE(bias);
        settings.octaveBias = bias;
        for (const auto& peaks : sets) ExpectSameMatch(peaks, settings);
        for (int n = 0; n < 150 && !HasFailure(); ++n) {
            SCOPED_TRACE(n);
            ExpectSameMatch(RandomPeaks(rng), settings);
        }
    }
}

// Frames of wideband noise: twenty peaks of alike amplitudes anywhere in the
// spectrum, many exactly equal or a rounding apart, so that rows and
// hypotheses nearly tie and pruning gives up for the side-by-side rows.
std::vector<SpectralPeak> NoisePeaks(std::mt19937& rng) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<SpectralPeak> peaks;
    const double level = 0.01 + unit(rng) * 0.2;
    const int count = 12 + static_cast<int>(unit(rng) * 9);
    for (int j = 0; j < count; ++j) {
        const double pick = unit(rng);
        const double amplitude = pick < 0.3    ? level
                                 : pick < 0.4  ? std::nextafter(level, 1.0)
                                 : pick < 0.45 ? 0.0
                                               : level * (0.5 + 0.6 * unit(rng));
        peaks.push_back({amplitude, 40.0 * std::exp2(unit(rng) * 8.0)});
    }
    // Every other list has exact harmonics of one peak among the noise: the
    // scores of neighbouring rows then differ in the last bits only.
    if (unit(rng) < 0.5) {
        const double base = peaks[0].frequency;
        for (int k = 2; k <= 5; ++k) peaks[static_cast<std::size_t>(k)].frequency = base * k;
    }
    std::sort(peaks.begin(), peaks.end(), [](auto& a, auto& b) { return a.frequency < b.frequency; });
    return peaks;
}

TEST(TemplateSearch, MatchesTheExhaustiveSearchOnNoisePeaks) {
    std::mt19937 rng(1312);
    for (const auto& s : {NoteAnalyzer::SettingsFor(11025, 0), NoteAnalyzer::SettingsFor(48000, 1)}) {
        for (int n = 0; n < 800 && !HasFailure(); ++n) {
            SCOPED_TRACE(n);
            ExpectSameMatch(NoisePeaks(rng), s);
        }
    }
}

// The pruned search relies on this: the strongest peak, placed on partial h
// of any row, is found in region h, so its term is its full amplitude.
TEST(TemplateSearch, EveryHypothesisPartialLiesInItsOwnRegion) {
    const auto& t = NoteAnalyzer::LogCentTables::Instance();
    for (int i = 0; i < NoteAnalyzer::LogCentTables::InharmonicitySteps; ++i) {
        for (int h = 1; h <= 40; ++h) {
            // Region 1 also takes everything below its border.
            if (h > 1) {
                ASSERT_LT(t.border[i][h - 1], t.partial[i][h]) << i << " " << h;
            }
            ASSERT_LE(t.partial[i][h], t.border[i][h]) << i << " " << h;
        }
    }
}

// Partials k f0 sqrt(1 + b k^2) with amplitude 0.3 / k, the higher ones decaying faster.
std::vector<ZelvoTest::Partial> StiffString(double f0, double b, double decayDb, int count) {
    auto partials = ZelvoTest::HarmonicTone(f0, count, 0.3, 1, b);
    for (std::size_t i = 0; i < partials.size(); ++i)
        partials[i].decayDbPerSecond = decayDb * (1.1 + 0.1 * i);
    return partials;
}

TEST(TemplateSearch, EveryHopOfSyntheticRecordingsMatchesTheExhaustiveEstimate) {
    std::mt19937 rng(7);
    for (const auto& [rate, quality] : {std::pair{11025, 0}, std::pair{44100, 1}}) {
        // One second of each, with uniform noise of the given amplitude, quantised to 16 bits.
        const auto record = [&, rate = rate](std::vector<double> v, double noise) {
            std::uniform_real_distribution<double> unit(-noise, noise);
            for (double& x : v) x = std::round((x + unit(rng)) * 32767.0) / 32767.0;
            return v;
        };
        const auto play = [rate = rate](const std::vector<ZelvoTest::Partial>& partials) {
            return ZelvoTest::Synthesize(partials, rate, 0, rate);
        };
        auto chord = StiffString(261.6, 0.0, 2.6, 6);
        for (const double f : {329.6, 392.0})
            for (const auto& p : StiffString(f, 0.0, 2.6, 6)) chord.push_back(p);
        // 200 Hz gliding up two octaves per second.
        std::vector<double> sweep(static_cast<std::size_t>(rate));
        for (std::size_t i = 0; i < sweep.size(); ++i) {
            const double phase = 200.0 * (std::exp2(2.0 * i / rate) - 1.0) / (2.0 * std::log(2.0));
            for (int k = 1; k <= 6; ++k) sweep[i] += 0.2 / k * std::sin(6.283185307179586 * k * phase);
        }
        const std::pair<const char*, std::vector<double>> recordings[] = {
            {"stiff low string", record(play(StiffString(41.2, 3e-4, 7.0, 30)), 1e-3)},
            {"stiff high string", record(play(StiffString(659.3, 1e-4, 13.0, 8)), 3e-4)},
            {"noise", record(std::vector<double>(static_cast<std::size_t>(rate)), 0.05)},
            {"loud noise", record(std::vector<double>(static_cast<std::size_t>(rate)), 0.17)},
            {"chord", record(play(chord), 1e-3)},
            {"sweep", record(sweep, 1e-3)},
        };
        for (const auto& [name, signal] : recordings) {
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(rate));
            NoteAnalyzer::Analyzer analyzer(NoteAnalyzer::SettingsFor(rate, quality));
            analyzer.noiseFloor = -90.0;
            const int advance = analyzer.Settings().advanceSize;
            int estimated = 0;
            for (std::size_t at = 0; at + advance <= signal.size() && !HasFailure(); at += advance) {
                const auto result = analyzer.Process(signal.data() + at);
                const auto engine = NoteAnalyzer::EstimateFundamental(result.peaks, analyzer.Settings());
                ExpectSameEstimate(engine, ZelvoTest::ReferenceEstimate(result.peaks, analyzer.Settings()));
                estimated += engine.frequency > 0.0;
            }
            EXPECT_GT(estimated, 10);
        }
    }
}

}  // namespace
