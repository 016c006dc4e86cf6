#include "analysis/PrecisePitch.h"

#include <algorithm>
#include <cmath>

#include "units/Units.h"

namespace NoteAnalyzer {

namespace {

// How far (cents) the estimate may lie from an exact multiple of the reading.
constexpr double MultipleToleranceCents = 60.0;
constexpr int MaxLoweringSteps = 3;
// The partials of a lower note looked at: the lowest few carry the note.
constexpr int OwnPartialRange = 9;
// A first reading moves down only when two of them stand out: one could be
// a stray peak.
constexpr int FirstReadingOwnPartials = 2;

double StrongestAmplitude(const HarmonicMap& map) {
    double strongest = 0.0;
    for (const auto& entry : map) strongest = std::max(strongest, entry.second.amplitude);
    return strongest;
}

// How many of the partials 1 to OwnPartialRange of the note k times lower
// than the note f (Hz, stretch b), that are no partials of f, reach `needed`
// (an amplitude). Looks only at the peaks in that range and builds no map:
// this runs on every analysed hop.
int OwnPartialsBelow(std::span<const SpectralPeak> peaks, double f0, double b0, int k, double needed) {
    const double f = f0 / k;
    const double b = b0 / (k * k);
    if (!(needed > 0.0 && f > 0.0)) return 0;
    const double top = OwnPartialRange + 0.5;
    const double highest = top * (1.0 + b * top * top);
    double amplitude[OwnPartialRange + 1] = {};
    for (const SpectralPeak& peak : peaks) {
        const double ratio = peak.frequency / f;
        if (!(ratio >= 0.5 && ratio < highest)) continue;
        const int n = NearestHarmonic(peak.frequency, f, b);
        if (n >= 1 && n <= OwnPartialRange) amplitude[n] = std::max(amplitude[n], peak.amplitude);
    }
    int count = 0;
    for (int n = 1; n <= OwnPartialRange; ++n)
        if (n % k != 0 && amplitude[n] >= needed) ++count;
    return count;
}

// The same for the note k times lower than the estimate, against `share` of
// the estimate's strongest matched peak (every partial of the estimate is one
// of the lower note, so that is the lower note's strongest too).
int OwnPartials(std::span<const SpectralPeak> peaks, const FundamentalEstimate& estimate, int k,
                double share) {
    return OwnPartialsBelow(peaks, estimate.frameFundamental, estimate.inharmonicity, k,
                            share * StrongestAmplitude(estimate.harmonics));
}

// The estimate re-expressed as the note k times lower: partial m of f0 with
// stretch B is partial m k of f0 / k with stretch B / k^2.
void Lower(std::span<const SpectralPeak> peaks, int k, FundamentalEstimate& estimate) {
    estimate.frameFundamental /= k;
    estimate.inharmonicity /= static_cast<double>(k) * k;
    estimate.strongestHarmonic *= k;
    BuildHarmonicMap(peaks, estimate.frameFundamental, estimate.inharmonicity, estimate.harmonics);
}

// The note k times lower than the estimate is the held (or just released)
// note, which the octave hold decides about. A note under that one whose own
// partials (none of them partials of the held note) stand out is a new, lower
// note: a legato step down under the held note's release. Moves the estimate
// there and returns true.
bool PassBelow(std::span<const SpectralPeak> peaks, double minFundamental, int k,
               FundamentalEstimate& estimate) {
    const double held = estimate.frameFundamental / k;
    const double heldStretch = estimate.inharmonicity / (k * k);
    const double needed = FirstReadingShare * StrongestAmplitude(estimate.harmonics);
    for (const int j : {2, 3}) {
        if (held / j < minFundamental) continue;
        if (OwnPartialsBelow(peaks, held, heldStretch, j, needed) >= FirstReadingOwnPartials) {
            Lower(peaks, k * j, estimate);
            return true;
        }
    }
    return false;
}

}  // namespace

double StretchCorrectedFundamental(const HarmonicMap& harmonics, double inharmonicity, double f0) {
    const double b = inharmonicity;
    double weightSum = 0.0;
    double sum = 0.0;
    for (const auto& [n, peak] : harmonics) {
        const double share = peak.amplitude / n;
        const double weight = share * share * share * share;
        weightSum += weight;
        sum += weight * peak.frequency * (1.0 + b) / (n * (1.0 + b * n * n));
    }
    return weightSum > 0.0 ? sum / weightSum : f0;
}

bool PreferLowerFundamental(std::span<const SpectralPeak> peaks, double minFundamental, double released,
                            FundamentalEstimate& estimate) {
    bool moved = false;
    for (int step = 0; step < MaxLoweringSteps; ++step) {
        bool movedThisStep = false;
        for (const int k : {2, 3}) {
            const double lower = estimate.frameFundamental / k;
            if (lower < minFundamental) continue;
            if (released > 0.0 &&
                std::fabs(Units::CentsPerLogUnit * std::log(lower / released)) < MultipleToleranceCents) {
                movedThisStep = PassBelow(peaks, minFundamental, k, estimate);
                if (movedThisStep) break;
                continue;
            }
            if (OwnPartials(peaks, estimate, k, FirstReadingShare) >= FirstReadingOwnPartials) {
                Lower(peaks, k, estimate);
                movedThisStep = true;
                break;
            }
        }
        moved = moved || movedThisStep;
        if (!movedThisStep) break;
    }
    return moved;
}

bool HoldLowerReading(std::span<const SpectralPeak> peaks, double reading, FundamentalEstimate& estimate) {
    const int k = MultipleOfReading(estimate, reading);
    if (k < 2) return false;
    Lower(peaks, k, estimate);
    estimate.frequency =
        StretchCorrectedFundamental(estimate.harmonics, estimate.inharmonicity, estimate.frameFundamental);
    return true;
}

int MultipleOfReading(const FundamentalEstimate& estimate, double reading) {
    if (!(estimate.frequency > 0.0 && reading > 0.0)) return 0;
    for (int k = 1; k <= 4; ++k) {
        const double cents = Units::CentsPerLogUnit * std::log(estimate.frequency / (k * reading));
        if (std::fabs(cents) < MultipleToleranceCents) return k;
    }
    return 0;
}

OwnShares OwnPartialShares(std::span<const SpectralPeak> peaks, const FundamentalEstimate& estimate, int k) {
    const double f = estimate.frameFundamental / k;
    const double b = estimate.inharmonicity / (k * k);
    if (!(f > 0.0)) return {};
    const double top = OwnPartialRange + 0.5;
    const double highest = top * (1.0 + b * top * top);
    double strongest = 0.0;
    OwnShares own;
    for (const SpectralPeak& peak : peaks) {
        const double ratio = peak.frequency / f;
        if (!(ratio >= 0.5 && ratio < highest)) continue;
        const int n = NearestHarmonic(peak.frequency, f, b);
        if (n < 1 || n > OwnPartialRange) continue;
        strongest = std::max(strongest, peak.amplitude);
        double& octave = n % 2 != 0 ? own.octaveOwn : own.octaveShared;
        double& twelfth = n % 3 != 0 ? own.twelfthOwn : own.twelfthShared;
        octave = std::max(octave, peak.amplitude);
        twelfth = std::max(twelfth, peak.amplitude);
    }
    if (strongest > 0.0) {
        own.octave = own.octaveOwn / strongest;
        own.twelfth = own.twelfthOwn / strongest;
    }
    return own;
}

void OwnShareHistory::Push(const OwnShares& latest) {
    loudest.octave = std::max(loudest.octave, latest.octave);
    loudest.twelfth = std::max(loudest.twelfth, latest.twelfth);
    if (count == Kept) {
        first = (first + 1) % Kept;
        --count;
    }
    shares[(first + count) % Kept] = latest;
    ++count;
}

double OwnShareHistory::Share(int i, int k) const {
    const OwnShares& s = shares[(first + i) % Kept];
    return k == 3 ? s.twelfth : s.octave;
}

double OwnShareHistory::Loudest(int k) const {
    double loudestKept = 0.0;
    for (int i = 0; i < count; ++i) loudestKept = std::max(loudestKept, Share(i, k));
    return loudestKept;
}

bool OwnShareHistory::Collapsed(int k) const {
    if (count < Span + 2) return false;
    // Own partials already lost in the noise cannot collapse: what is left of
    // them only flickers. A single frame's dip (two partials merging into one
    // peak, a beat) comes without the start of the fall a hop earlier.
    const int last = count - 1;
    const double was = Share(last - Span, k);
    const double fall = std::pow(10.0, -CollapseDb / 20.0);
    if (was >= HeldNoteShare && Share(last, k) < was * fall &&
        Share(last - 1, k) < Share(last - 1 - Span, k) * std::sqrt(fall))
        return true;
    // A slower release (a long frame still holds much of the old note) falls
    // as deep within the hops kept, far faster than any natural decay, and
    // again not in a single frame.
    const double loudestKept = Loudest(k);
    const double deep = std::pow(10.0, -DeepFallDb / 20.0);
    return loudestKept >= HeldNoteShare && Share(last, k) < loudestKept * deep &&
           Share(last - 1, k) < loudestKept * std::sqrt(deep);
}

double OwnShareHistory::LoudestOwn(int k) const {
    double loudestOwn = 0.0;
    for (int i = 0; i < count; ++i)
        loudestOwn = std::max(loudestOwn, k == 3 ? At(i).twelfthOwn : At(i).octaveOwn);
    return loudestOwn;
}

bool OwnShareHistory::FadedUnderNewNote(int k) const {
    if (count < FadeHops + 1) return false;
    const bool twelfth = k == 3;
    auto own = [&](int i) { return twelfth ? At(i).twelfthOwn : At(i).octaveOwn; };
    auto shared = [&](int i) { return twelfth ? At(i).twelfthShared : At(i).octaveShared; };
    const int last = count - 1;
    for (int i = last - FadeHops + 1; i <= last; ++i)
        if (!(own(i) < own(i - 1))) return false;
    const double loudestOwn = LoudestOwn(k);
    double quietestShared = shared(0);
    for (int i = 1; i < count; ++i) quietestShared = std::min(quietestShared, shared(i));
    return quietestShared > 0.0 && own(last) < loudestOwn * std::pow(10.0, -FadeDb / 20.0) &&
           shared(last) > quietestShared * std::pow(10.0, RiseDb / 20.0);
}

void LevelEnvelope::Push(std::span<const double> hop) {
    if (hop.empty()) return;
    double hopMin = hop[0];
    double hopMax = hop[0];
    double sumOfSquares = 0.0;
    for (const double x : hop) {
        hopMin = std::min(hopMin, x);
        hopMax = std::max(hopMax, x);
        sumOfSquares += x * x;
    }
    const double quiet = QuietShare * lastPeak;
    std::size_t quietRun = 0;
    while (quietRun < hop.size() && std::fabs(hop[hop.size() - 1 - quietRun]) < quiet) ++quietRun;
    endFellSilent = havePrevious && quietRun * QuietRunDivisor >= hop.size();
    lastPeak = std::max(std::fabs(hopMin), std::fabs(hopMax));

    const double lo = havePrevious ? std::min(lastMin, hopMin) : hopMin;
    const double hi = havePrevious ? std::max(lastMax, hopMax) : hopMax;
    lastMin = hopMin;
    lastMax = hopMax;
    havePrevious = true;
    const double level = Units::LevelDbOfSpan(hi - lo);
    if (count == Span) {
        first = (first + 1) % Span;
        --count;
    }
    levels[Index(count)] = level;
    meanSquares[Index(count)] = sumOfSquares / static_cast<double>(hop.size());
    ++count;
}

bool LevelEnvelope::EnergyFell(int hops, double dropDb) const {
    if (count < 2) return false;
    double loudest = 0.0;
    for (int i = std::max(0, count - std::min(hops, Span)); i < count; ++i)
        loudest = std::max(loudest, meanSquares[Index(i)]);
    return meanSquares[Index(count - 1)] < loudest * std::pow(10.0, -dropDb / 10.0);
}

bool LevelEnvelope::Onset() const {
    if (count < 2) return false;
    double quietest = levels[Index(0)];
    for (int i = 1; i < count - 1; ++i) quietest = std::min(quietest, levels[Index(i)]);
    return RecentLevel() - quietest >= OnsetRiseDb;
}

}  // namespace NoteAnalyzer
