#include "ReferenceTemplateMatch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "units/Units.h"

namespace ZelvoTest {

using NoteAnalyzer::LogCentTables;
using NoteAnalyzer::SpectralPeak;

namespace {

constexpr std::int64_t Octave = 120000;
constexpr int HighestHypothesis = 40;
constexpr std::size_t MaxSelected = 20;

struct LogPeak {
    double amplitude;
    std::int64_t log;
};

struct Candidate {
    int harmonic;
    std::int64_t fundamental;
    int row;
    double score;
};

double Score(const LogCentTables& t, const std::vector<LogPeak>& peaks, std::size_t start, std::int64_t c,
             int row) {
    const int* partial = t.partial[row];
    const int* border = t.border[row];
    double score = 0.0;
    int k = 1;
    for (std::size_t index = start; index < peaks.size(); ++index) {
        const std::int64_t rel = peaks[index].log - c;
        if (rel >= border[LogCentTables::MaxHarmonic]) break;
        while (k < LogCentTables::MaxHarmonic && border[k] < rel) ++k;
        const std::int64_t d = std::abs(rel - partial[k]);
        const std::int64_t g = std::min<std::int64_t>((d * k) >> 10, LogCentTables::GaussSize - 1);
        score += t.gauss[g] * peaks[index].amplitude;
    }
    return score;
}

Candidate DecideOctave(const std::vector<Candidate>& candidates, double octaveBias) {
    Candidate best = candidates[0];
    for (std::size_t j = 1; j < candidates.size(); ++j) {
        const Candidate& x = candidates[j];
        std::int64_t d = x.fundamental - best.fundamental;
        double factor = octaveBias;
        while (d > Octave / 2) {
            d -= Octave;
            factor *= octaveBias;
        }
        if (x.score > factor * best.score) best = x;
    }
    return best;
}

std::vector<SpectralPeak> SelectStrongest(std::span<const SpectralPeak> peaks,
                                          const NoteAnalyzer::AnalyzerSettings& s) {
    const double lower = std::max(s.tiltLowFrequency, s.minFundamental / Units::SemitoneRatio);
    const double span = std::fabs(s.tiltHighFrequency - s.tiltLowFrequency);
    std::vector<SpectralPeak> selected;
    bool tilting = true;
    std::size_t j = 0;
    while (j < peaks.size() && peaks[j].frequency <= lower) ++j;
    for (; j < peaks.size(); ++j) {
        SpectralPeak weighted = peaks[j];
        if (tilting && weighted.frequency <= s.tiltHighFrequency) {
            weighted.amplitude = (weighted.frequency - s.tiltLowFrequency) * weighted.amplitude / span;
        } else {
            tilting = false;
        }
        // Largest first; an earlier peak stays ahead of an equal later one.
        auto at = std::find_if(selected.begin(), selected.end(),
                               [&](const SpectralPeak& p) { return weighted.amplitude > p.amplitude; });
        selected.insert(at, weighted);
        if (selected.size() > MaxSelected) selected.pop_back();
    }
    std::stable_sort(selected.begin(), selected.end(),
                     [](const SpectralPeak& a, const SpectralPeak& b) { return a.frequency < b.frequency; });
    return selected;
}

}  // namespace

bool ReferenceMatchHarmonicTemplate(std::span<const SpectralPeak> selected,
                                    const NoteAnalyzer::AnalyzerSettings& settings, double& fundamental,
                                    double& inharmonicity, int& harmonicNumber) {
    if (selected.empty()) return false;
    const LogCentTables& t = LogCentTables::Instance();
    std::vector<LogPeak> peaks;
    std::size_t strongest = 0;
    for (std::size_t j = 0; j < selected.size(); ++j) {
        const SpectralPeak& p = selected[j];
        peaks.push_back(p.frequency > 0.0 ? LogPeak{p.amplitude, NoteAnalyzer::LogCentUnits(p.frequency)}
                                          : LogPeak{0.0, 0});
        if (p.amplitude > selected[strongest].amplitude) strongest = j;
    }
    const std::int64_t strongestLog = NoteAnalyzer::LogCentUnits(selected[strongest].frequency);
    const std::int64_t minLog = NoteAnalyzer::LogCentUnits(settings.minFundamental);
    if (strongestLog < minLog) return false;

    std::vector<Candidate> candidates;
    for (int h = HighestHypothesis; h >= 1; --h) {
        if (strongestLog - t.harmonic[h] < minLog) continue;
        Candidate best{h, 0, 0, 0.0};
        for (int row = 0; row < LogCentTables::InharmonicitySteps; ++row) {
            const std::int64_t c = strongestLog - t.partial[row][h];
            std::size_t start = 0;
            while (start < peaks.size() && peaks[start].log < c - Octave) ++start;
            const double score = Score(t, peaks, start, c, row);
            if (row == 0 || score > best.score) best = Candidate{h, c, row, score};
        }
        candidates.push_back(best);
    }
    if (candidates.empty()) return false;
    const Candidate best = DecideOctave(candidates, settings.octaveBias);
    fundamental = std::exp2(static_cast<double>(best.fundamental) / 120000.0);
    inharmonicity = best.row * LogCentTables::InharmonicityStep;
    harmonicNumber = best.harmonic;
    return true;
}

NoteAnalyzer::FundamentalEstimate ReferenceEstimate(std::span<const SpectralPeak> peaks,
                                                    const NoteAnalyzer::AnalyzerSettings& settings) {
    NoteAnalyzer::FundamentalEstimate result;
    result.peaks.assign(peaks.begin(), peaks.end());
    const std::vector<SpectralPeak> selected = SelectStrongest(peaks, settings);
    if (selected.empty()) return result;
    double f0 = selected[0].frequency;
    double b = 0.0;
    int h = 0;
    if (selected.size() > 1 && !ReferenceMatchHarmonicTemplate(selected, settings, f0, b, h)) return result;
    result.strongestHarmonic = h;
    result.frameFundamental = f0;
    result.inharmonicity = b;
    NoteAnalyzer::BuildHarmonicMap(peaks, f0, b, result.harmonics);
    double s1 = 0.0;
    double s2 = 0.0;
    for (const auto& [n, peak] : result.harmonics) {
        const double power = peak.amplitude * peak.amplitude;
        s1 += power;
        s2 += power * peak.frequency / n;
    }
    result.frequency = selected.size() == 1 ? f0 : (s1 > 0.0 ? s2 / s1 : f0);
    return result;
}

}  // namespace ZelvoTest
