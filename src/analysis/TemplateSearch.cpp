// The harmonic template match: every hypothesis "the strongest peak is
// partial h" scored in every inharmonicity row, with the rows and candidates
// that provably cannot change the outcome left out.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <vector>

#include "analysis/FundamentalEstimation.h"
#include "analysis/TemplateRowScores.h"

namespace NoteAnalyzer {

namespace {

constexpr int MaxSelected = 20;
constexpr int HighestHypothesis = 40;
constexpr std::int64_t Octave = 120000;  // one octave in LogCentUnits
// Terms per peak above which a pruned hypothesis cost more than scoring all
// rows side by side (measured: a term of the pruned search costs several
// times a lane of the side-by-side score).
constexpr int AllRowsTermsPerPeak = 30;

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

    // Whether partial h of every row, h up to the highest hypothesis, lies in
    // its own region h (checked once when the tables are built).
    bool PartialsInRegions() const { return partialsInRegions; }

    // Over all rows, the largest partial[i][h] and the largest distance
    // border[i][64] - partial[i][h]: the fundamental of hypothesis h lies at
    // least LargestPartial(h) below the strongest peak, and no row reaches
    // further than LargestReach(h) above it.
    std::int64_t LargestPartial(int h) const { return largestPartial[h]; }
    std::int64_t LargestReach(int h) const { return largestReach[h]; }

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
        for (int h = 1; h <= HighestHypothesis; ++h) {
            largestPartial[h] = largestReach[h] = std::numeric_limits<std::int64_t>::min();
            for (int i = 0; i < LogCentTables::InharmonicitySteps; ++i) {
                largestPartial[h] = std::max<std::int64_t>(largestPartial[h], t.partial[i][h]);
                largestReach[h] = std::max<std::int64_t>(
                    largestReach[h], std::int64_t{t.border[i][LogCentTables::MaxHarmonic]} - t.partial[i][h]);
            }
        }
        partialsInRegions = true;
        for (int i = 0; i < LogCentTables::InharmonicitySteps; ++i) {
            for (int h = 1; h <= HighestHypothesis; ++h)
                partialsInRegions = partialsInRegions && PartialAt(i, t.border[i], t.partial[i][h]) == h;
        }
    }

    std::size_t buckets = 0;
    std::vector<std::uint8_t> first;
    bool partialsInRegions = false;
    std::int64_t largestPartial[HighestHypothesis + 1] = {};
    std::int64_t largestReach[HighestHypothesis + 1] = {};
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

// The strongest peak first, then the others in order of decreasing amplitude,
// and after each the sum of the amplitudes still to come. Every term of a
// score is a peak's amplitude times a Gaussian weight of at most 1, so the
// terms met so far plus the amplitudes still to come bound the score from
// above.
struct ScoreBound {
    int order[MaxSelected];
    double remaining[MaxSelected + 1];

    ScoreBound(const LogPeak* logPeaks, int count, int strongest) {
        int placed = 0;
        order[placed++] = strongest;
        for (int j = 0; j < count; ++j) {
            if (j == strongest) continue;
            int pos = placed++;
            while (pos > 1 && logPeaks[order[pos - 1]].amplitude < logPeaks[j].amplitude) {
                order[pos] = order[pos - 1];
                --pos;
            }
            order[pos] = j;
        }
        remaining[count] = 0.0;
        for (int r = count - 1; r >= 0; --r) remaining[r] = remaining[r + 1] + logPeaks[order[r]].amplitude;
    }
};

// Whether the bound proves the score cannot exceed the threshold. The margin
// covers the rounding of the two sums: the bound adds the terms in another
// order than the score does (at most 20 terms, a relative error far below
// 1e-12), and tiny amplitudes lose absolute, not relative, precision.
bool CannotExceed(double bound, double threshold) {
    return bound * (1.0 + 1e-12) + 1e-300 < threshold;
}

// TemplateScore with early rejection: the terms are computed largest peak
// first, and the row is given up (returning false) as soon as its score
// provably cannot exceed `threshold`. A row that is not given up is summed in
// peak order from the same terms, so its score is bit for bit TemplateScore's.
// Needs peaks sorted by log position (then k follows the lookup directly).
bool BoundedTemplateScore(const LogCentTables& t, const PartialLookup& lookup, const LogPeak* logPeaks,
                          int count, int start, std::int64_t c, int i, const ScoreBound& bound,
                          double secondTerm, double threshold, double& score, int& termCount) {
    const int* partial = t.partial[i];
    const int* border = t.border[i];
    const std::int64_t top = border[LogCentTables::MaxHarmonic];
    double terms[MaxSelected];
    double sum = 0.0;
    // The strongest peak lies exactly on partial h of hypothesis h in every
    // row (the caller checked that the tables place each partial inside its
    // own region), so its term is its amplitude times e^0 = 1.
    terms[bound.order[0]] = sum = logPeaks[bound.order[0]].amplitude;
    // The second peak's term comes from the caller, computed the same way.
    terms[bound.order[1]] = secondTerm;
    sum += secondTerm;
    for (int r = 2; r < count; ++r) {
        const int index = bound.order[r];
        const std::int64_t rel = logPeaks[index].log - c;
        double term = 0.0;
        if (index >= start && rel < top) {
            const int k = lookup.PartialAt(i, border, rel);
            const std::int64_t d = std::abs(rel - partial[k]);
            const std::int64_t g = (d * k) >> 10;
            term =
                t.gauss[std::min<std::int64_t>(g, LogCentTables::GaussSize - 1)] * logPeaks[index].amplitude;
        }
        terms[index] = term;
        sum += term;
        if (CannotExceed(sum + bound.remaining[r + 1], threshold)) {
            termCount += r - 1;
            return false;
        }
    }
    termCount += count - 2;
    // Terms outside the scanned range are +0.0, and adding them leaves the
    // sum unchanged.
    score = 0.0;
    for (int index = start; index < count; ++index) score += terms[index];
    return true;
}

// Whether the pruned search may be used: at most MaxSelected peaks, sorted by
// log position, with finite non-negative amplitudes (the bound relies on all
// three). Other input from direct callers takes the exhaustive search.
bool CanPrune(const LogPeak* logPeaks, int count) {
    if (count > MaxSelected) return false;
    for (int j = 0; j < count; ++j) {
        if (!(logPeaks[j].amplitude >= 0.0) || std::isinf(logPeaks[j].amplitude)) return false;
        if (j > 0 && logPeaks[j].log < logPeaks[j - 1].log) return false;
    }
    return true;
}

// The term of one peak in every row of hypothesis h, computed exactly as the
// row's score computes it (0 where the peak lies outside the row's range),
// without branches: the rows' outcomes vary too irregularly to predict.
void PeakTermInEveryRow(const LogCentTables& t, const PartialLookup& lookup, const LogPeak& peak,
                        std::int64_t strongestLog, int h,
                        double (&terms)[LogCentTables::InharmonicitySteps]) {
    for (int i = 0; i < LogCentTables::InharmonicitySteps; ++i) {
        const std::int64_t c = strongestLog - t.partial[i][h];
        const std::int64_t top = t.border[i][LogCentTables::MaxHarmonic];
        const std::int64_t rel = peak.log - c;
        const bool inRange = peak.log >= c - Octave && rel < top;
        // Out of range the lookup is still made, on a position it can read.
        const std::int64_t clamped = std::min(rel, top - 1);
        const int k = lookup.PartialAt(i, t.border[i], clamped);
        const std::int64_t d = std::abs(clamped - t.partial[i][k]);
        const std::int64_t g = std::min<std::int64_t>((d * k) >> 10, LogCentTables::GaussSize - 1);
        const double term = t.gauss[g] * peak.amplitude;
        terms[i] = inRange ? term : 0.0;
    }
}

// The rows of one hypothesis after the first, when the input allows pruning.
// In every row the strongest peak's term is its amplitude; the second
// strongest peak's term, computed for all rows at once, and the amplitudes of
// the other peaks in range bound the row's score. Only rows that this bound
// does not exclude are scored, with early rejection.
void SearchRowsPruned(const LogCentTables& t, const PartialLookup& lookup, const LogPeak* logPeaks, int count,
                      const ScoreBound& bound, Candidate& best, int& start, int& termCount) {
    const int strongest = bound.order[0];
    const int second = bound.order[1];
    const std::int64_t strongestLog = logPeaks[strongest].log;
    const int h = best.harmonic;
    double secondTerms[LogCentTables::InharmonicitySteps];
    PeakTermInEveryRow(t, lookup, logPeaks[second], strongestLog, h, secondTerms);
    // The other peaks count with their amplitudes from the first row that has
    // them in range: [low, high) covers the range of every row so far (both
    // ends only move outwards as the row grows).
    int low = start;
    int high = start;
    double others = 0.0;
    for (int i = 1; i < LogCentTables::InharmonicitySteps; ++i) {
        const std::int64_t c = strongestLog - t.partial[i][h];
        const std::int64_t top = t.border[i][LogCentTables::MaxHarmonic];
        while (low > 0 && logPeaks[low - 1].log >= c - Octave) {
            --low;
            if (low != strongest && low != second) others += logPeaks[low].amplitude;
        }
        while (high < count && logPeaks[high].log - c < top) {
            if (high != strongest && high != second) others += logPeaks[high].amplitude;
            ++high;
        }
        if (CannotExceed(logPeaks[strongest].amplitude + secondTerms[i] + others, best.score)) continue;
        while (start > 0 && logPeaks[start - 1].log >= c - Octave) --start;
        double score;
        // Strictly larger: the least inharmonicity wins ties.
        if (BoundedTemplateScore(t, lookup, logPeaks, count, start, c, i, bound, secondTerms[i], best.score,
                                 score, termCount) &&
            score > best.score)
            best = Candidate{h, c, i, score};
    }
}

// The hypotheses worth scoring, highest h first: those that keep the
// fundamental at or above the minimum. Returns their number.
int ListHypotheses(std::int64_t strongestLog, std::int64_t minLog, int (&hypotheses)[HighestHypothesis]) {
    const LogCentTables& t = LogCentTables::Instance();
    int n = 0;
    for (int h = HighestHypothesis; h >= 1; --h) {
        if (strongestLog - t.harmonic[h] >= minLog) hypotheses[n++] = h;
    }
    return n;
}

// The first peak at most an octave below the fundamental c; peaks further
// down are ignored.
int FirstPeakInRange(const LogPeak* logPeaks, int count, std::int64_t c) {
    int start = 0;
    while (start < count && logPeaks[start].log < c - Octave) ++start;
    return start;
}

// Every hypothesis in every row, rows the outer loop so that one row of the
// tables stays in cache for every h. Fills one candidate per hypothesis.
void ScoreAllRows(const LogPeak* logPeaks, int count, std::int64_t strongestLog, const int* hypotheses,
                  int hypothesisCount, Candidate* candidates) {
    const LogCentTables& t = LogCentTables::Instance();
    const PartialLookup& lookup = PartialLookup::Instance();
    int starts[HighestHypothesis];
    for (int j = 0; j < hypothesisCount; ++j) {
        const int h = hypotheses[j];
        const std::int64_t c = strongestLog - t.partial[0][h];
        starts[j] = FirstPeakInRange(logPeaks, count, c);
        candidates[j] = Candidate{h, c, 0, TemplateScore(t, lookup, logPeaks, count, starts[j], c, 0)};
    }
    for (int i = 1; i < LogCentTables::InharmonicitySteps; ++i) {
        for (int j = 0; j < hypothesisCount; ++j) {
            Candidate& best = candidates[j];
            const int h = best.harmonic;
            const std::int64_t c = strongestLog - t.partial[i][h];
            // The fundamental only falls as the row grows, so the first peak
            // in range only moves down.
            int& start = starts[j];
            while (start > 0 && logPeaks[start - 1].log >= c - Octave) --start;
            const double score = TemplateScore(t, lookup, logPeaks, count, start, c, i);
            // Strictly larger: the least inharmonicity wins ties.
            if (score > best.score) best = Candidate{h, c, i, score};
        }
    }
}

// The candidate of hypothesis h with pruned rows: row 0 scored in full, then
// only the rows that may beat the best so far. Adds the number of terms it
// computed to termCount.
Candidate SearchHypothesis(const LogPeak* logPeaks, int count, const ScoreBound& bound,
                           std::int64_t strongestLog, int h, int& termCount) {
    const LogCentTables& t = LogCentTables::Instance();
    const PartialLookup& lookup = PartialLookup::Instance();
    const std::int64_t c = strongestLog - t.partial[0][h];
    int start = FirstPeakInRange(logPeaks, count, c);
    Candidate best{h, c, 0, TemplateScore(t, lookup, logPeaks, count, start, c, 0)};
    SearchRowsPruned(t, lookup, logPeaks, count, bound, best, start, termCount);
    return best;
}

const RowScoreTables& RowScores() {
    static const RowScoreTables tables(LogCentTables::Instance());
    return tables;
}

// The peaks as two arrays, the form the row scores read.
struct PeakColumns {
    std::int64_t logs[MaxSelected];
    double amplitudes[MaxSelected];

    PeakColumns(const LogPeak* logPeaks, int count) {
        for (int j = 0; j < count; ++j) {
            logs[j] = logPeaks[j].log;
            amplitudes[j] = logPeaks[j].amplitude;
        }
    }
};

// The candidate of hypothesis h from every row scored side by side: the
// first row with the highest score, as the row-by-row search keeps it.
Candidate SearchHypothesisAllRows(const PeakColumns& peaks, int count, std::int64_t strongestLog, int h) {
    const LogCentTables& t = LogCentTables::Instance();
    // Peaks outside the range of every row add +0.0 to every score: left out.
    const PartialLookup& lookup = PartialLookup::Instance();
    const std::int64_t lowest = strongestLog - lookup.LargestPartial(h) - Octave;
    const std::int64_t above = strongestLog + lookup.LargestReach(h);
    const int begin = static_cast<int>(std::lower_bound(peaks.logs, peaks.logs + count, lowest) - peaks.logs);
    const int end = static_cast<int>(std::lower_bound(peaks.logs, peaks.logs + count, above) - peaks.logs);
    double scores[RowScoreTables::Rows];
    RowScores().ScoreEveryRow(peaks.logs + begin, peaks.amplitudes + begin, std::max(end - begin, 0),
                              strongestLog, h, scores);
    int row = 0;
    for (int i = 1; i < RowScoreTables::Rows; ++i) {
        // Strictly larger: the least inharmonicity wins ties.
        if (scores[i] > scores[row]) row = i;
    }
    return Candidate{h, strongestLog - t.partial[row][h], row, scores[row]};
}

// Whether every peak lies close enough to the strongest one for the row
// scores' arithmetic.
bool WithinRowReach(const LogPeak* logPeaks, int count, std::int64_t strongestLog) {
    for (int j = 0; j < count; ++j) {
        if (std::abs(logPeaks[j].log - strongestLog) >= RowScoreTables::Reach) return false;
    }
    return true;
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

// An upper bound of the score of every row of hypothesis h: the amplitudes of
// the peaks that lie in range in at least one row, summed in peak order. Each
// term of a score is at most its peak's amplitude and the score adds its terms
// in the same order (terms out of range count as +0.0), so rounding keeps the
// score at or below this sum.
double HypothesisBound(const LogPeak* logPeaks, int count, std::int64_t strongestLog, int h) {
    const PartialLookup& lookup = PartialLookup::Instance();
    const std::int64_t lowest = strongestLog - lookup.LargestPartial(h) - Octave;
    const std::int64_t above = strongestLog + lookup.LargestReach(h);
    double sum = 0.0;
    for (int j = 0; j < count; ++j) {
        if (logPeaks[j].log >= lowest && logPeaks[j].log < above) sum += logPeaks[j].amplitude;
    }
    return sum;
}

// The octave decision over pruned candidates. A candidate replaces the best
// so far when its score beats factor * best.score, and with 0 <= octaveBias
// <= 1 every factor is at most octaveBias. So a candidate whose score beats
// octaveBias times a bound of every earlier candidate's score is the best
// after its turn, whatever came before; the decision from it on needs only
// the candidates after it. They are scored from the last one back until
// such a candidate is found, and the ones before it are never scored. Other
// biases score every candidate.
Candidate DecideOctavePruned(const LogPeak* logPeaks, int count, const ScoreBound& bound,
                             std::int64_t strongestLog, const int* hypotheses, int hypothesisCount,
                             double octaveBias) {
    const bool factorsAtMostBias = octaveBias >= 0.0 && octaveBias <= 1.0;
    double boundBefore[HighestHypothesis];
    double largest = 0.0;
    for (int j = 0; j < hypothesisCount; ++j) {
        boundBefore[j] = largest;
        largest = std::max(largest, HypothesisBound(logPeaks, count, strongestLog, hypotheses[j]));
    }
    Candidate candidates[HighestHypothesis];
    // Pruning pays on a tone, whose strong partials leave the other rows far
    // behind; on noise the peaks score alike in every row and nearly every
    // term is computed, one row at a time. Once a hypothesis has cost more
    // terms than scoring all its rows side by side would, the rest are scored
    // that way. Both give the same candidate.
    const bool rowsAllowed = WithinRowReach(logPeaks, count, strongestLog);
    const PeakColumns columns(logPeaks, count);
    bool allRows = false;
    int first = hypothesisCount - 1;
    for (; first >= 0; --first) {
        if (allRows) {
            candidates[first] = SearchHypothesisAllRows(columns, count, strongestLog, hypotheses[first]);
        } else {
            int termCount = 0;
            candidates[first] =
                SearchHypothesis(logPeaks, count, bound, strongestLog, hypotheses[first], termCount);
            allRows = rowsAllowed && termCount > count * AllRowsTermsPerPeak;
        }
        if (first == 0 || (factorsAtMostBias && candidates[first].score > octaveBias * boundBefore[first]))
            break;
    }
    return DecideOctave(candidates + first, hypothesisCount - first, octaveBias);
}

}  // namespace

void PrepareTemplateTables() {
    PartialLookup::Instance();
    RowScores();
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

    int hypotheses[HighestHypothesis];
    const int hypothesisCount = ListHypotheses(strongestLog, minLog, hypotheses);
    if (hypothesisCount == 0) return false;
    Candidate best;
    // The pruned search needs the strongest peak exactly on partial h of every
    // hypothesis and input it can bound.
    if (count >= 2 && logPeaks[strongest].log == strongestLog &&
        PartialLookup::Instance().PartialsInRegions() && CanPrune(logPeaks, count)) {
        const ScoreBound bound(logPeaks, count, strongest);
        best = DecideOctavePruned(logPeaks, count, bound, strongestLog, hypotheses, hypothesisCount,
                                  settings.octaveBias);
    } else {
        Candidate candidates[HighestHypothesis];
        ScoreAllRows(logPeaks, count, strongestLog, hypotheses, hypothesisCount, candidates);
        best = DecideOctave(candidates, hypothesisCount, settings.octaveBias);
    }
    fundamental = std::exp2(static_cast<double>(best.fundamental) / 120000.0);
    inharmonicity = best.inharmonicityIndex * LogCentTables::InharmonicityStep;
    harmonicNumber = best.harmonic;
    return true;
}

}  // namespace NoteAnalyzer
