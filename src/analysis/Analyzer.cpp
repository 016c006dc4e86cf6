#include "analysis/Analyzer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "units/Units.h"

namespace NoteAnalyzer {

namespace {

// Keeps an absurd consensusDuration from turning into an absurd allocation
// (the tuner's own settings keep 4 to 8 hops).
constexpr double MaxHopsKept = 4096.0;
// Precise pitch: how far under the noise floor a note being read is still
// analysed, and how far the last hop's energy may lie under the frame's
// loudest hop before the frame counts as cut short.
constexpr double HeldNoteGateDb = 30.0;
constexpr double CutDropDb = 10.0;
// Hops (about half a second) after an octave hold let go during which no
// reading moves back down to the released note.
constexpr int ReleaseHops = 22;
// Cents a frame under the floor may stray from the held note and still vote.
constexpr double HeldNoteStrayCents = 25.0;
// Cents within which a frame's estimate is taken as a given note.
constexpr double NearNoteCents = 60.0;
// The share of the own partials they had before their fall that a released
// note's frame must show for the hold to take the note back (-3 dB).
constexpr double TakeBackShare = 0.708;
// Frames in a row that must read the octave (or twelfth) under the reading
// before the vote follows the step down at once.
constexpr int StepDownFrames = 2;
// The span whose estimates a note's kept reading averages: long enough to
// take in a few periods of vibrato or bowing unrest, which the vote's few
// hops catch at whatever phase the note ended in.
constexpr double NoteMeanSeconds = 0.4;
constexpr double NoteMeanCents = 50.0;
// How far the level must still fall over the envelope's span for a note
// that ended to be dying away.
constexpr double TailFallDb = 3.0;

const AnalyzerSettings& Validated(const AnalyzerSettings& s) {
    if (s.sampleRate <= 0) throw NoteAnalyzerException{0, "Invalid sample rate"};
    // Only exact powers of two: the FFT needs one.
    if (s.analysisSize <= 0 || (s.analysisSize & (s.analysisSize - 1)) != 0)
        throw NoteAnalyzerException{0, "Invalid analysis size"};
    if (s.advanceSize < 1 || s.advanceSize > s.sampleRate / 2)
        throw NoteAnalyzerException{0, "Invalid advance size, must be in the range of 1 to SR/2"};
    if (s.analysisSize % s.advanceSize != 0)
        throw NoteAnalyzerException{0, "Invalid advance size, must be multiple of analysis size"};
    // Written as a range test so that NaN is rejected too. The limit is the
    // whole-number half of the rate, as the advance size's limit above.
    const int halfRate = s.sampleRate / 2;
    if (!(s.minFundamental >= 0.0 && s.minFundamental <= static_cast<double>(halfRate)))
        throw NoteAnalyzerException{0, "Invalid minimum fundemental frequency"};
    return s;
}

// True when both frequencies are known and lie within the octave hold's
// tolerance of each other.
bool NearNote(double a, double b) {
    return a > 0.0 && b > 0.0 && std::fabs(Units::CentsPerLogUnit * std::log(a / b)) < NearNoteCents;
}

int ComputeHopsKept(const AnalyzerSettings& s) {
    const double hopMilliseconds = static_cast<double>(s.advanceSize) / s.sampleRate * 1000.0;
    const double hops = std::trunc(s.consensusDuration / hopMilliseconds);
    if (!(hops >= 1.0)) return 1;  // also NaN
    return static_cast<int>(std::min(hops, MaxHopsKept));
}

int ComputeNoteMeanHops(const AnalyzerSettings& s) {
    const double hops = std::trunc(NoteMeanSeconds * s.sampleRate / s.advanceSize);
    return static_cast<int>(std::clamp(hops, 1.0, MaxHopsKept));
}

}  // namespace

Analyzer::Analyzer(const AnalyzerSettings& settings_)
    : settings(Validated(settings_)),
      tfr(std::make_unique<TFR>(settings.sampleRate, settings.analysisSize, settings.advanceSize)),
      frame(AllocateAlignedDoubles(2 * static_cast<std::size_t>(settings.analysisSize))),
      hopExtremes(settings.analysisSize / settings.advanceSize),
      recentEstimates(ComputeHopsKept(settings)),
      noteEstimates(settings.precisePitch ? ComputeNoteMeanHops(settings) : 1),
      hopsKept(ComputeHopsKept(settings)) {
    // Peaks lie at least two bins apart below bin N/2, so N/4 bounds the list.
    framePeaks.reserve(static_cast<std::size_t>(settings.analysisSize) / 4 + 1);
    voteScratch.reserve(static_cast<std::size_t>(hopsKept));
    // Built here, on the constructing thread, rather than by the first hop.
    PrepareTemplateTables();
}

Analyzer::~Analyzer() = default;

FundamentalEstimate Analyzer::EstimateFundamental(std::span<const SpectralPeak> peaks) const {
    return NoteAnalyzer::EstimateFundamental(peaks, settings);
}

AnalysisResult Analyzer::Process(const double* hop) {
    if (hop == nullptr) throw NoteAnalyzerException{0, "pnBuffer is NULL"};
    TakeHop(hop);
    if (hopsSinceRelease < ReleaseHops) ++hopsSinceRelease;

    AnalysisResult result;
    result.hopDuration = static_cast<double>(settings.advanceSize) / settings.sampleRate;
    result.level = FrameLevel();

    // Gate: quiet frames are not analysed and vote as "no reading".
    FundamentalEstimate estimate;
    if (result.level >= GateLevel()) {
        tfr->ReassignedPeakScan(frame.get() + frameStart, framePeaks);
        estimate = NoteAnalyzer::EstimateFundamental(framePeaks, settings, KeptAbove());
    }
    // Precise pitch: a frame cut short keeps out of the vote, which then
    // stands as it was.
    const double unheld = estimate.frequency;
    const bool votes = !settings.precisePitch || PrepareVote(estimate, result.level);
    if (votes) {
        const bool held = estimate.frequency > 0.0 && estimate.frequency != unheld;
        recentEstimates.Push(Estimate{result.level, estimate.frequency, held ? unheld : estimate.frequency});
    }
    RewriteVote();

    result.peaks = std::move(estimate.peaks);
    result.inharmonicity = estimate.inharmonicity;
    result.frameFundamental = estimate.frameFundamental;
    result.strongestHarmonic = estimate.strongestHarmonic;

    if (!votes) {
        // A frame cut short is the note's end: it keeps the mean of its last
        // estimates.
        if (frameCut && lastReading > 0.0 && !readingKept) lastReading = NoteMean(lastReading);
        if (frameCut) readingKept = lastReading > 0.0;
        result.frequency = lastReading;
        if (lastReading != -1.0) result.harmonics = std::move(estimate.harmonics);
        return result;
    }
    if (settings.precisePitch) noteEstimates.Push(estimate.frequency);
    const double previous = lastReading;
    lastReading = -1.0;
    if (recentEstimates.Size() < hopsKept) return result;
    double consensus = ConsensusFrequency();
    if (settings.precisePitch) consensus = KeptReading(consensus, previous, estimate.frequency, result.level);
    if (consensus != -1.0 && previous == -1.0) readingFloor = noiseFloor;
    lastReading = consensus;
    readingHops = consensus != -1.0 && previous != -1.0 ? readingHops + 1 : 0;
    if (consensus != -1.0) {
        result.frequency = consensus;
        result.harmonics = std::move(estimate.harmonics);
    }
    return result;
}

void Analyzer::TakeHop(const double* hop) {
    // The new hop replaces the oldest in both copies; the analysis size is a
    // multiple of the advance, so a hop never wraps.
    const int n = settings.analysisSize;
    const int advance = settings.advanceSize;
    const std::size_t bytes = sizeof(double) * static_cast<std::size_t>(advance);
    std::memcpy(frame.get() + frameStart, hop, bytes);
    std::memcpy(frame.get() + frameStart + n, hop, bytes);
    frameStart = (frameStart + advance) % n;
    double lowest = hop[0];
    double highest = hop[0];
    for (int i = 1; i < advance; ++i) {
        lowest = std::min(lowest, hop[i]);
        highest = std::max(highest, hop[i]);
    }
    hopExtremes.Push({lowest, highest});
    if (settings.precisePitch) envelope.Push(std::span<const double>(hop, static_cast<std::size_t>(advance)));
}

double Analyzer::KeptAbove() const {
    // While a note is read, the octave hold alone decides whether a frame
    // whose template lies above it is that note (PrepareVote); a note just
    // let go stays let go for a while.
    if (!settings.precisePitch) return -1.0;
    if (lastReading > 0.0) return lastReading;
    return hopsSinceRelease < ReleaseHops ? releasedNote : -1.0;
}

double Analyzer::GateLevel() const {
    // A note that is being read may decay well below the floor before it is
    // let go; a new reading still has to start above it. A floor raised
    // since the reading began gates at once: the owner wants quiet frames out.
    const bool held = settings.precisePitch && lastReading > 0.0 && noiseFloor <= readingFloor;
    return held ? noiseFloor - HeldNoteGateDb : noiseFloor;
}

bool Analyzer::PrepareVote(FundamentalEstimate& estimate, double frameLevel) {
    // No new onset: a decaying note whose odd partials fade is still the same
    // note, not the octave above.
    if (lastReading > 0.0) {
        const int k = MultipleOfReading(estimate, lastReading);
        if (k >= 1) ownShares.Push(OwnPartialShares(estimate.peaks, estimate, k));
        if (k >= 2 && !envelope.Onset() && ownShares.Established(k)) {
            const bool collapsed = ownShares.Collapsed(k);
            if (collapsed || ownShares.FadedUnderNewNote(k)) {
                // The held note is being let go under its octave: for a while
                // no new reading moves back down to it.
                releasedNote = lastReading;
                releasedK = k;
                releasedShare = ownShares.Loudest(k);
                releasedOwn = collapsed ? -1.0 : ownShares.LoudestOwn(k);
                hopsSinceRelease = 0;
                holdChange = HoldChange::LetGo;
            } else {
                HoldLowerReading(estimate.peaks, lastReading, estimate);
            }
        }
    } else {
        ownShares.Reset();
    }
    if (SteppedDown(estimate.frequency)) {
        // The octave hold follows the new note from here on.
        holdChange = HoldChange::SteppedDown;
        ownShares.Reset();
        ownShares.Push(OwnPartialShares(estimate.peaks, estimate, 1));
    }
    // Just after the hold let go, the released note still sounds under the new
    // reading for a while: a frame read as it neither votes nor breaks the new
    // reading.
    frameCut = false;
    if (ReleasedNoteTail(estimate)) return false;
    // Under the floor only the held note is read. Near the background noise a
    // frame may stray from it, and inside the vote's semitone it would pull
    // the mean: it disagrees instead, so the vote breaks cleanly.
    if (frameLevel < noiseFloor && estimate.frequency > 0.0 && lastReading > 0.0 &&
        std::fabs(Units::CentsPerLogUnit * std::log(estimate.frequency / lastReading)) > HeldNoteStrayCents)
        estimate.frequency = -1.0;
    // The frame's end fell silent (a damped or cut note): the silent part
    // pulls its reassigned frequencies away from the note's, so it does not
    // vote. Seen as a hop that ends in silence, and afterwards as a last hop
    // far weaker than the loudest in the frame (also when the note sinks into
    // background noise, which the frame level does not show).
    frameCut = envelope.EndFellSilent() || envelope.EnergyFell(hopExtremes.Capacity(), CutDropDb);
    return !frameCut;
}

void Analyzer::RewriteVote() {
    if (holdChange == HoldChange::LetGo) {
        // The frames the hold re-read as the note now let go were the new
        // note already: they vote for what their template found.
        for (int i = 0; i < recentEstimates.Size(); ++i)
            recentEstimates[i].frequency = recentEstimates[i].unheld;
    } else if (holdChange == HoldChange::TakenBack) {
        // The frames since the hold let go were the held note, as the hold
        // had read them before: they vote for its last reading.
        for (int i = 0; i < recentEstimates.Size(); ++i)
            if (NearNote(recentEstimates[i].frequency, lastReading)) recentEstimates[i].frequency = takenBack;
    } else if (holdChange == HoldChange::SteppedDown) {
        // The frames before the step were the note above: the vote goes on
        // from the new note's own frames. Those so far still held some of
        // the old note; the latest holds the least.
        const double latest = recentEstimates[recentEstimates.Size() - 1].frequency;
        for (int i = 0; i < recentEstimates.Size(); ++i) recentEstimates[i].frequency = latest;
    }
    holdChange = HoldChange::None;
}

bool Analyzer::SteppedDown(double frequency) const {
    // A reading that has only just begun may be an attack read an octave
    // high; the vote alone decides about it, as about any first reading.
    if (!(lastReading > 0.0 && frequency > 0.0) || readingHops < 2 * hopsKept ||
        recentEstimates.Size() < StepDownFrames - 1)
        return false;
    for (const int k : {2, 3}) {
        const double lower = lastReading / k;
        if (!NearNote(frequency, lower)) continue;
        for (int i = recentEstimates.Size() - (StepDownFrames - 1); i < recentEstimates.Size(); ++i)
            if (!NearNote(recentEstimates[i].frequency, lower)) return false;
        return true;
    }
    return false;
}

bool Analyzer::ReleasedNoteTail(const FundamentalEstimate& estimate) {
    if (!(lastReading > 0.0 && hopsSinceRelease < ReleaseHops && NearNote(estimate.frequency, releasedNote) &&
          !NearNote(lastReading, releasedNote)))
        return false;
    // With its own partials back as strong as before their fall, the note
    // was never let go (a beat, a tremulant): the hold takes it back.
    // A note let go as its own partials faded must show them back at their
    // strength before the fade: their share alone is still high in its tail.
    const OwnShares own = OwnPartialShares(estimate.peaks, estimate, 1);
    const bool back = releasedOwn > 0.0
                          ? (releasedK == 3 ? own.twelfthOwn : own.octaveOwn) >= releasedOwn * TakeBackShare
                          : (releasedK == 3 ? own.twelfth : own.octave) >= releasedShare * TakeBackShare;
    if (back) {
        holdChange = HoldChange::TakenBack;
        takenBack = releasedNote;
        releasedNote = -1.0;
        hopsSinceRelease = ReleaseHops;
        return false;
    }
    return true;
}

double Analyzer::KeptReading(double consensus, double previous, double frequency, double frameLevel) {
    if (consensus == -1.0 || previous == -1.0) {
        readingKept = false;
        return consensus;
    }
    // A frame without an estimate of the note tells nothing new about its
    // pitch; that the oldest estimate left the vote must not move the reading
    // (at a note's end it would show the mean of fewer and fewer early hops).
    // The note ended: it keeps the mean of its last estimates.
    if (!(frequency > 0.0)) {
        if (!readingKept) previous = NoteMean(previous);
        readingKept = true;
        return previous;
    }
    // Once ended, the note's tail (a release, reverberation) does not move
    // the reading while it dies away; a new attack, another note or a level
    // that holds again (the frame cut short was an attack's own fall) does.
    if (readingKept && !envelope.Onset() && NearNote(frequency, previous) && envelope.Fall() > TailFallDb)
        return previous;
    readingKept = false;
    // Under the floor the estimates scatter about the note: the reading
    // averages more of them.
    return frameLevel < noiseFloor ? NoteMean(consensus) : consensus;
}

double Analyzer::NoteMean(double reading) const {
    double sum = 0.0;
    int count = 0;
    for (int i = 0; i < noteEstimates.Size(); ++i) {
        const double f = noteEstimates[i];
        if (f > 0.0 && std::fabs(Units::CentsPerLogUnit * std::log(f / reading)) < NoteMeanCents) {
            sum += f;
            ++count;
        }
    }
    // Too few of them (a short note): the vote's own mean stands.
    return count >= hopsKept ? sum / count : reading;
}

double Analyzer::FrameLevel() const {
    // From the extremes of the hops inside the frame, so the frame is never
    // rescanned. A full-scale sinusoid reads 0 dB.
    double lo = 1.0;
    double hi = -1.0;
    for (int i = 0; i < hopExtremes.Size(); ++i) {
        lo = std::min(lo, hopExtremes[i].first);
        hi = std::max(hi, hopExtremes[i].second);
    }
    return Units::LevelDbOfSpan(hi - lo);
}

double Analyzer::ConsensusFrequency() {
    // The largest cluster of estimates within one semitone above its lowest
    // member; the later cluster wins equal counts.
    voteScratch.clear();
    for (int i = 0; i < recentEstimates.Size(); ++i) voteScratch.push_back(recentEstimates[i]);
    // Insertion sort: a handful of entries, no allocation, defined for any value.
    for (std::size_t i = 1; i < voteScratch.size(); ++i) {
        const Estimate v = voteScratch[i];
        std::size_t j = i;
        while (j > 0 && voteScratch[j - 1].frequency > v.frequency) {
            voteScratch[j] = voteScratch[j - 1];
            --j;
        }
        voteScratch[j] = v;
    }
    const int total = static_cast<int>(voteScratch.size());
    int bestCount = 0;
    double bestMean = -1.0;
    for (int i = 0; i < total; ++i) {
        const double start = voteScratch[static_cast<std::size_t>(i)].frequency;
        if (!(start >= 0.0)) continue;
        const double limit = start * Units::SemitoneRatio;
        int count = 0;
        double sum = 0.0;
        for (int j = i; j < total && voteScratch[static_cast<std::size_t>(j)].frequency <= limit; ++j) {
            ++count;
            sum += voteScratch[static_cast<std::size_t>(j)].frequency;
        }
        if (count >= bestCount) {
            bestCount = count;
            bestMean = sum / count;
        }
    }
    if (bestCount > 0 && static_cast<double>(bestCount) / total > settings.consensusRatio) return bestMean;
    return -1.0;
}

}  // namespace NoteAnalyzer
