#include "analysis/FundamentalEstimation.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "analysis/PrecisePitch.h"
#include "units/Units.h"

namespace NoteAnalyzer {

namespace {

constexpr int MaxSelected = 20;
constexpr int HighestHypothesis = 40;
constexpr std::int64_t Octave = 120000;  // one octave in LogCentUnits

struct LogPeak {
    double amplitude;
    std::int64_t log;
};

struct Candidate {
    int harmonic;
    std::int64_t fundamental;  // LogCentUnits
    int inharmonicityIndex;
    double score;
};

// Sorts a handful of peaks by frequency. A plain insertion sort: it stays
// well-defined even for NaN frequencies, which std::sort does not promise.
void SortByFrequency(SpectralPeak* peaks, int count) {
    for (int i = 1; i < count; ++i) {
        const SpectralPeak v = peaks[i];
        int j = i;
        while (j > 0 && peaks[j - 1].frequency > v.frequency) {
            peaks[j] = peaks[j - 1];
            --j;
        }
        peaks[j] = v;
    }
}

// For every inharmonicity row, the partial that a relative log position belongs
// to, tabulated in buckets of 1024 units. Borders lie at least 2600 units apart,
// so a bucket holds at most one of them and one comparison finishes the lookup.
// This replaces a walk over up to 64 borders per hypothesis; the result is the
// same: the smallest k with border[k] >= rel.
class PartialLookup {
public:
    static constexpr std::int64_t Lowest = -Octave;  // peaks lie at most an octave below
    static constexpr int BucketShift = 10;

    static const PartialLookup& Instance() {
        static PartialLookup lookup;
        static std::once_flag built;
        std::call_once(built, [] { lookup.Build(LogCentTables::Instance()); });
        return lookup;
    }

    // Smallest k in [1, 64] with border[k] >= rel, for rel < border[64]. Sorted
    // peaks never lie below Lowest; an unsorted list from a direct caller may,
    // and such a position belongs to partial 1 like any below the first border.
    int PartialAt(int i, const int* border, std::int64_t rel) const {
        const std::int64_t offset = std::max<std::int64_t>(rel - Lowest, 0);
        const int k =
            first[static_cast<std::size_t>(i) * buckets + static_cast<std::size_t>(offset >> BucketShift)];
        return k + static_cast<int>(border[k] < rel);  // branch-free: the outcome is unpredictable
    }

private:
    void Build(const LogCentTables& t) {
        const std::int64_t highest =
            t.border[LogCentTables::InharmonicitySteps - 1][LogCentTables::MaxHarmonic];
        buckets = static_cast<std::size_t>(((highest - Lowest) >> BucketShift) + 1);
        first.assign(buckets * LogCentTables::InharmonicitySteps, 0);
        for (int i = 0; i < LogCentTables::InharmonicitySteps; ++i) {
            int k = 1;
            for (std::size_t b = 0; b < buckets; ++b) {
                const std::int64_t start = Lowest + (static_cast<std::int64_t>(b) << BucketShift);
                while (k < LogCentTables::MaxHarmonic && t.border[i][k] < start) ++k;
                first[static_cast<std::size_t>(i) * buckets + b] = static_cast<std::uint8_t>(k);
            }
        }
    }

    std::size_t buckets = 0;
    std::vector<std::uint8_t> first;
};

// Score of one hypothesis: the fundamental at log c and inharmonicity row i,
// starting at the first peak at most an octave below c.
double TemplateScore(const LogCentTables& t, const PartialLookup& lookup, const LogPeak* logPeaks, int count,
                     int start, std::int64_t c, int i) {
    const int* partial = t.partial[i];
    const int* border = t.border[i];
    const std::int64_t top = border[LogCentTables::MaxHarmonic];
    double score = 0.0;
    int k = 1;
    for (int index = start; index < count; ++index) {
        const std::int64_t rel = logPeaks[index].log - c;
        if (rel >= top) break;
        // k only moves up: the peaks are sorted. Peaks below the first border
        // all count as partial 1.
        k = std::max(k, lookup.PartialAt(i, border, rel));
        const std::int64_t d = std::abs(rel - partial[k]);
        const std::int64_t g = (d * k) >> 10;
        score += t.gauss[std::min<std::int64_t>(g, LogCentTables::GaussSize - 1)] * logPeaks[index].amplitude;
    }
    return score;
}

// One candidate per hypothesis h (the strongest peak is partial h), from the
// highest h down, each with its best inharmonicity row. The rows are the
// outer loop so that one row of the tables stays in cache for every h.
// Returns the number of candidates.
int ScoreHypotheses(const LogPeak* logPeaks, int count, std::int64_t strongestLog, std::int64_t minLog,
                    Candidate (&candidates)[HighestHypothesis]) {
    const LogCentTables& t = LogCentTables::Instance();
    const PartialLookup& lookup = PartialLookup::Instance();
    int starts[HighestHypothesis];
    int candidateCount = 0;
    for (int h = HighestHypothesis; h >= 1; --h) {
        if (strongestLog - t.harmonic[h] < minLog) continue;
        candidates[candidateCount] = Candidate{h, 0, 0, 0.0};
        // Peaks more than an octave below the fundamental are ignored. The
        // fundamental only falls as the row grows, so the first peak in range
        // only moves down.
        const std::int64_t c = strongestLog - t.partial[0][h];
        int start = 0;
        while (start < count && logPeaks[start].log < c - Octave) ++start;
        starts[candidateCount++] = start;
    }
    for (int i = 0; i < LogCentTables::InharmonicitySteps; ++i) {
        for (int j = 0; j < candidateCount; ++j) {
            Candidate& best = candidates[j];
            const int h = best.harmonic;
            const std::int64_t c = strongestLog - t.partial[i][h];
            int& start = starts[j];
            while (start > 0 && logPeaks[start - 1].log >= c - Octave) --start;
            const double score = TemplateScore(t, lookup, logPeaks, count, start, c, i);
            // Strictly larger: the least inharmonicity wins ties.
            if (i == 0 || score > best.score) best = Candidate{h, c, i, score};
        }
    }
    return candidateCount;
}

// Octave decision: start from the lowest fundamental; a higher candidate
// replaces it when its score beats octaveBias^(1 + octaves above).
Candidate DecideOctave(const Candidate* candidates, int count, double octaveBias) {
    Candidate best = candidates[0];
    for (int j = 1; j < count; ++j) {
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

// The strongest peaks of the frame, at most MaxSelected, largest first, the
// earlier peak winning equal amplitudes. Amplitudes are tilted up to
// tiltHighFrequency (favouring higher partials against the falling spectrum
// of most instruments); leading peaks at or below the usable range are
// skipped. Returns the number selected.
int SelectStrongestPeaks(std::span<const SpectralPeak> peaks, const AnalyzerSettings& settings,
                         SpectralPeak (&selected)[MaxSelected]) {
    const double lower = std::max(settings.tiltLowFrequency, settings.minFundamental / Units::SemitoneRatio);
    std::size_t first = 0;
    while (first < peaks.size() && peaks[first].frequency <= lower) ++first;

    const double span = std::fabs(settings.tiltHighFrequency - settings.tiltLowFrequency);
    int selectedCount = 0;
    bool tilting = true;
    for (std::size_t j = first; j < peaks.size(); ++j) {
        SpectralPeak weighted = peaks[j];
        if (tilting && weighted.frequency <= settings.tiltHighFrequency) {
            weighted.amplitude = (weighted.frequency - settings.tiltLowFrequency) * weighted.amplitude / span;
        } else {
            tilting = false;
        }
        if (selectedCount == MaxSelected && !(weighted.amplitude > selected[MaxSelected - 1].amplitude))
            continue;
        int pos = selectedCount < MaxSelected ? selectedCount : MaxSelected - 1;
        while (pos > 0 && weighted.amplitude > selected[pos - 1].amplitude) {
            if (pos < MaxSelected) selected[pos] = selected[pos - 1];
            --pos;
        }
        selected[pos] = weighted;
        if (selectedCount < MaxSelected) ++selectedCount;
    }
    return selectedCount;
}

// The fundamental refined from all matched harmonics, weighted by power. The
// division by n alone leaves the inharmonic stretch in the refined value.
// The template's f0 stays when the harmonics carry no power.
double RefinedFundamental(const HarmonicMap& harmonics, double f0) {
    double s1 = 0.0;
    double s2 = 0.0;
    for (const auto& [n, peak] : harmonics) {
        const double power = peak.amplitude * peak.amplitude;
        s1 += power;
        s2 += power * peak.frequency / n;
    }
    return s1 > 0.0 ? s2 / s1 : f0;
}

}  // namespace

void PrepareTemplateTables() {
    PartialLookup::Instance();
}

bool MatchHarmonicTemplate(std::span<const SpectralPeak> selected, const AnalyzerSettings& settings,
                           double& fundamental, double& inharmonicity, int& harmonicNumber) {
    if (selected.empty()) return false;
    const int count = static_cast<int>(selected.size());

    // Up to 20 peaks live on the stack; larger inputs (only from direct callers)
    // use the heap.
    LogPeak local[MaxSelected];
    std::vector<LogPeak> large;
    LogPeak* logPeaks = local;
    if (count > MaxSelected) {
        large.resize(selected.size());
        logPeaks = large.data();
    }
    int strongest = 0;
    for (int j = 0; j < count; ++j) {
        const SpectralPeak& p = selected[static_cast<std::size_t>(j)];
        logPeaks[j] = p.frequency > 0.0 ? LogPeak{p.amplitude, LogCentUnits(p.frequency)} : LogPeak{0.0, 0};
        if (p.amplitude > selected[static_cast<std::size_t>(strongest)].amplitude) strongest = j;
    }

    const std::int64_t strongestLog = LogCentUnits(selected[static_cast<std::size_t>(strongest)].frequency);
    const std::int64_t minLog = LogCentUnits(settings.minFundamental);
    if (strongestLog < minLog) return false;

    Candidate candidates[HighestHypothesis];
    const int candidateCount = ScoreHypotheses(logPeaks, count, strongestLog, minLog, candidates);
    if (candidateCount == 0) return false;
    const Candidate best = DecideOctave(candidates, candidateCount, settings.octaveBias);
    fundamental = std::exp2(static_cast<double>(best.fundamental) / 120000.0);
    inharmonicity = best.inharmonicityIndex * LogCentTables::InharmonicityStep;
    harmonicNumber = best.harmonic;
    return true;
}

int NearestHarmonic(double frequency, double fundamental, double inharmonicity) {
    const double b = inharmonicity;
    const double ratio = frequency / fundamental;
    double k;
    if (b < 1e-7) {
        k = ratio;
    } else {
        // Real root of b k^3 + k = f / f0 (Cardano; the cubic has one).
        const double p = 1.0 / b;
        const double q = -(frequency / (fundamental * b));
        const double s = std::sqrt(q * q + 4.0 * p * p * p / 27.0);
        const double r = std::cbrt((s - q) / 2.0);
        k = r - p / (3.0 * r);
    }
    // Harmonic numbers beyond the template's 64 partials are not kept; the
    // range test also keeps the conversion to int defined.
    if (!(k >= 0.5 && k < LogCentTables::MaxHarmonic + 0.5)) return 0;
    const int n = static_cast<int>(std::round(k));
    const double model = (n * b * n + 1.0) * n * fundamental;
    const double deviation = 1200.0 * std::log2(frequency / model);
    return std::fabs(deviation) < 50.0 ? n : 0;
}

void BuildHarmonicMap(std::span<const SpectralPeak> peaks, double fundamental, double inharmonicity,
                      HarmonicMap& map) {
    map.clear();
    const double b = inharmonicity;
    // k(1 + b k^2) grows with k, so the harmonic numbers 1 to 64 (k in
    // [0.5, 64.5)) are exactly the ratios f / f0 in [lowest, highest). Testing
    // the ratio first spares the cube root for the many peaks of a noisy frame
    // that lie far above the 64th partial.
    const double lowest = 0.5 * (1.0 + b * 0.25);
    const double topK = LogCentTables::MaxHarmonic + 0.5;
    const double highest = topK * (1.0 + b * topK * topK);
    for (const SpectralPeak& peak : peaks) {
        const double ratio = peak.frequency / fundamental;
        if (!(ratio >= lowest && ratio < highest)) continue;
        const int n = NearestHarmonic(peak.frequency, fundamental, b);
        if (n == 0) continue;
        auto it = map.find(n);
        if (it == map.end()) {
            map.emplace(n, peak);
        } else if (it->second.amplitude < peak.amplitude) {
            it->second = peak;
        }
    }
}

FundamentalEstimate EstimateFundamental(std::span<const SpectralPeak> peaks, const AnalyzerSettings& settings,
                                        double released) {
    FundamentalEstimate result;
    result.peaks.assign(peaks.begin(), peaks.end());
    if (peaks.empty()) return result;

    SpectralPeak selected[MaxSelected];
    const int selectedCount = SelectStrongestPeaks(peaks, settings, selected);
    if (selectedCount == 0) return result;
    SortByFrequency(selected, selectedCount);

    if (selectedCount == 1) {
        result.frequency = result.frameFundamental = selected[0].frequency;
        result.inharmonicity = 0.0;
        BuildHarmonicMap(peaks, selected[0].frequency, 0.0, result.harmonics);
        return result;
    }

    double f0 = 0.0;
    double b = 0.0;
    int h = 0;
    if (!MatchHarmonicTemplate(
            std::span<const SpectralPeak>(selected, static_cast<std::size_t>(selectedCount)), settings, f0, b,
            h))
        return result;
    result.strongestHarmonic = h;
    result.frameFundamental = f0;
    result.inharmonicity = b;
    if (settings.precisePitch) {
        BuildHarmonicMap(peaks, f0, b, result.harmonics);
        PreferLowerFundamental(peaks, settings.minFundamental, released, result);
        result.frequency =
            StretchCorrectedFundamental(result.harmonics, result.inharmonicity, result.frameFundamental);
        return result;
    }
    BuildHarmonicMap(peaks, f0, b, result.harmonics);
    result.frequency = RefinedFundamental(result.harmonics, f0);
    return result;
}

}  // namespace NoteAnalyzer
