#pragma once

#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "analysis/AnalysisResult.h"
#include "analysis/AnalyzerSettings.h"
#include "analysis/FundamentalEstimation.h"
#include "analysis/HarmonicMap.h"
#include "analysis/PrecisePitch.h"
#include "analysis/RealFft.h"
#include "analysis/Tfr.h"

namespace NoteAnalyzer {

// Thrown for invalid settings and null hops: programming errors, never bad
// sound. `message` points at a static text; `code` is always 0.
struct NoteAnalyzerException {
    int code = 0;
    const char* message = "";
    const char* what() const noexcept { return message; }
};

// Turns the captured signal, one hop of advanceSize samples at a time, into one
// AnalysisResult per hop: level, noise gate, spectral peaks, fundamental
// estimate and a consensus vote over the last few hops.
//
// No lock of its own: the owner serialises Process() and writes of noiseFloor
// (the tuner window does both under its critical section).
class Analyzer {
public:
    // Validates the settings (throws NoteAnalyzerException with the text of the
    // first failing rule; nothing is allocated then) and allocates every buffer
    // the hops need. Throws std::bad_alloc when memory runs out.
    explicit Analyzer(const AnalyzerSettings& settings);
    ~Analyzer();

    Analyzer(const Analyzer&) = delete;
    Analyzer& operator=(const Analyzer&) = delete;

    // hop holds settings.advanceSize samples. Throws NoteAnalyzerException
    // ("pnBuffer is NULL") for a null hop before touching any state.
    AnalysisResult Process(const double* hop);

    // The fundamental estimation of one frame with this analyzer's settings.
    FundamentalEstimate EstimateFundamental(std::span<const SpectralPeak> peaks) const;

    const AnalyzerSettings& Settings() const { return settings; }
    // Number of hops the consensus vote looks at.
    int HopsKept() const { return hopsKept; }

    // dB; frames below it are not analysed. The owner may assign it between
    // calls to Process().
    double noiseFloor = -40.0;

private:
    // Fixed-capacity first-in first-out queue: the per-hop path must not allocate.
    template <typename T>
    class RingQueue {
    public:
        explicit RingQueue(int capacity) : items(static_cast<std::size_t>(capacity)) {}
        int Size() const { return count; }
        int Capacity() const { return static_cast<int>(items.size()); }
        // Appends, dropping the oldest entry when full.
        void Push(const T& value) {
            if (count == Capacity()) {
                first = (first + 1) % Capacity();
                --count;
            }
            items[static_cast<std::size_t>((first + count) % Capacity())] = value;
            ++count;
        }
        const T& operator[](int i) const { return items[static_cast<std::size_t>((first + i) % Capacity())]; }
        T& operator[](int i) { return items[static_cast<std::size_t>((first + i) % Capacity())]; }

    private:
        std::vector<T> items;
        int first = 0;
        int count = 0;
    };

    struct Estimate {
        double level;
        double frequency;
        double unheld;  // before the octave hold re-read it as the held note
    };

    // Steps of Process(): shift the hop into the frame and note its extremes;
    // the frame's level in dB; the vote over the last hopsKept estimates, the
    // mean of the winning cluster or -1.0 when no cluster holds the majority.
    void TakeHop(const double* hop);
    double FrameLevel() const;
    double ConsensusFrequency();
    // The note a frame's estimate is not moved down to on its own: the held
    // reading, or the note recently let go under its octave; -1.0 for none.
    double KeptAbove() const;
    // The level a frame must reach to be analysed.
    double GateLevel() const;
    // Precise pitch: the octave hold (which may re-read the estimate as the
    // held note), a frame under the floor straying from the held note turned
    // into a disagreeing one, then whether the frame votes at all (not when
    // cut short).
    bool PrepareVote(FundamentalEstimate& estimate, double frameLevel);
    // Just after the hold let go, true for a frame read as the released
    // note that is only its release (no vote); a frame that shows the note's
    // own partials back takes it back instead.
    bool ReleasedNoteTail(const FundamentalEstimate& estimate);
    // Rewrites the kept estimates after the hold let go or took a note back,
    // or the note stepped down.
    void RewriteVote();
    // True when this frame's estimate (Hz) and the frames just before it read
    // the octave or twelfth under the reading: a step down to a note whose
    // partials hold every partial of the one above.
    bool SteppedDown(double frequency) const;
    // The reading a note leaves behind when its frames stop telling its pitch:
    // the mean of the recent estimates within NoteMeanCents of the reading.
    double NoteMean(double reading) const;
    // Precise pitch: the reading after the vote (consensus, Hz or -1.0) given
    // the previous one, this frame's estimate and its level: a note that
    // ended keeps its mean through its tail.
    double KeptReading(double consensus, double previous, double frequency, double frameLevel);

    AnalyzerSettings settings;
    std::unique_ptr<TFR> tfr;
    // Every sample is stored twice, analysisSize apart, so the last
    // analysisSize samples always lie side by side, oldest first, from
    // frameStart on: a new hop is written in place of the oldest instead of
    // shifting the whole frame.
    AlignedDoubles frame;
    int frameStart = 0;
    RingQueue<std::pair<double, double>> hopExtremes;  // (min, max) per hop
    RingQueue<Estimate> recentEstimates;               // (level, frequency) per hop
    RingQueue<double> noteEstimates;                   // Hz per voting hop, over NoteMeanSeconds
    int hopsKept;
    std::vector<SpectralPeak> framePeaks;  // reused by every scan
    std::vector<Estimate> voteScratch;     // sorted copy for the vote
    LevelEnvelope envelope;                // per-hop levels, for onsets and cut frames
    OwnShareHistory ownShares;             // of the held note, for legato octave changes
    double releasedNote = -1.0;            // Hz; the held note last let go under its octave
    int hopsSinceRelease = 1 << 20;
    // What this hop's frame did to the octave hold, and so to the vote.
    enum class HoldChange { None, LetGo, TakenBack, SteppedDown };
    HoldChange holdChange = HoldChange::None;
    int releasedK = 2;           // the released note lay this many times under the new reading
    double releasedShare = 0.0;  // its own partials' share before they fell
    double releasedOwn = -1.0;   // their amplitude before they faded; -1.0 when their share collapsed
    double takenBack = -1.0;     // Hz; the released note the hold took back
    double lastReading = -1.0;   // the previous hop's consensus, -1.0 for none
    int readingHops = 0;         // hops the current reading has lasted
    bool readingKept = false;    // lastReading is the note's mean, kept after its frames ended
    bool frameCut = false;       // this hop's frame was cut short (the note's end)
    double readingFloor = 0.0;   // noiseFloor when the current reading began
};

}  // namespace NoteAnalyzer
