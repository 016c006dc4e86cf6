#pragma once

// The refinements of precise pitch mode (AnalyzerSettings::precisePitch): a
// refined fundamental that removes the stretch of stiff strings, octave choices
// that keep a note whose own partials are still in the frame, and the level
// envelope that tells an onset or an abrupt end from a note's natural decay.

#include <span>

#include "analysis/FundamentalEstimation.h"
#include "analysis/HarmonicMap.h"
#include "units/Units.h"

namespace NoteAnalyzer {

// The weighted mean of every matched partial's estimate of the first partial,
// y_n = f_n (1 + B) / (n (1 + B n^2)), with weights (a_n / n)^4: an error in B
// grows with n^2 and weak upper partials carry the most noise. Returns f0 when
// the map carries no weight.
double StretchCorrectedFundamental(const HarmonicMap& harmonics, double inharmonicity, double f0);

// Shares of the strongest matched peak that a lower note's own partials must
// reach: before that note is preferred on a first reading (the template gives
// way only when the lower note is clearly there), and before a fall of the
// held note's own partials can count as its release (under it, what is left
// of them is noise and only flickers).
inline constexpr double FirstReadingShare = 0.1;  // -20 dB
inline constexpr double HeldNoteShare = 0.0178;   // -35 dB

// Moves the estimate down by an octave or a twelfth (repeatedly) while two of
// the lower note's partials 1 to 9 that the estimate cannot explain (odd ones
// for an octave) reach `FirstReadingShare` of the strongest peak of the
// estimate's map, and the lower note stays at or above minFundamental. The
// template's octave rule needs the lower note to gather a fixed share more
// score than the higher; when strong upper partials, which both share, carry
// most of the score (organ ranks, tilt towards high partials), the lower
// note's own partials never make that share up, however clearly present.
// A lower note within 60 cents of `released` (Hz; -1.0 for none) is never
// taken: the held or just released note, which the analyzer's octave hold
// decides about. Expects the estimate's map built; rebuilds it when it moves,
// and leaves `frequency` to the caller. Returns true when it moved.
bool PreferLowerFundamental(std::span<const SpectralPeak> peaks, double minFundamental, double released,
                            FundamentalEstimate& estimate);

// While `reading` (Hz) is held: when the frame's estimate lies an octave, a
// twelfth or two octaves above it, re-reads the frame as the held note: map,
// inharmonicity, template fundamental and a stretch-corrected frequency. The
// caller decides whether the note is still held (no onset, its own partials
// were there and did not collapse); a note whose odd partials have decayed
// into the noise is still that note.
// Returns true when it did.
bool HoldLowerReading(std::span<const SpectralPeak> peaks, double reading, FundamentalEstimate& estimate);

// How many times the held note `reading` (Hz) the estimate lies (2, 3 or 4,
// within 60 cents), 1 when it is the reading itself, 0 for anything else.
int MultipleOfReading(const FundamentalEstimate& estimate, double reading);

// The held note's own partials against its strongest partials 1 to 9, for
// the note estimate / k: `octave` for the odd ones (1, 3, 5, 7, 9: none is a
// partial of the octave above), `twelfth` for those no multiple of 3. Then
// the same partials' amplitudes, and those of the partials they share with
// the octave (even ones) or the twelfth (multiples of 3).
struct OwnShares {
    double octave = 0.0;
    double twelfth = 0.0;
    double octaveOwn = 0.0;
    double twelfthOwn = 0.0;
    double octaveShared = 0.0;
    double twelfthShared = 0.0;
};
OwnShares OwnPartialShares(std::span<const SpectralPeak> peaks, const FundamentalEstimate& estimate, int k);

// The held note's own-partial shares, hop by hop. A note that decays loses
// its odd partials slowly (a few dB a second); when the player moves to the
// octave (or twelfth) without a new attack, the old note's release under the
// new note makes the share collapse within a few hops, and the hold lets go.
class OwnShareHistory {
public:
    static constexpr int Span = 2;  // hops compared, about 0.05 s
    static constexpr double CollapseDb = 6.0;
    static constexpr int Kept = 8;  // hops, about 0.19 s
    static constexpr double DeepFallDb = 9.0;

    void Reset() {
        count = 0;
        loudest = {};
    }
    void Push(const OwnShares& shares);
    // The latest share for a note k (2 to 4) times higher lies CollapseDb
    // under the one Span hops before, and the hop before it had already
    // fallen half as far against its own; or it lies DeepFallDb under the
    // largest of the Kept hops.
    bool Collapsed(int k) const;
    // The held note's own partials against a note k times higher reached
    // FirstReadingShare since the reading began: the note was really there,
    // not an octave read into an attack's noise.
    // The largest share for a note k times higher over the hops kept.
    double Loudest(int k) const;
    bool Established(int k) const { return (k == 3 ? loudest.twelfth : loudest.octave) >= FirstReadingShare; }
    // The held note's own partials fell FadeDb under their loudest kept, hop
    // after hop over the last FadeHops, while the partials it shares with the
    // note k times higher rose RiseDb over their quietest kept: a new note
    // at the octave (or twelfth) sounds as the held one is let go, although
    // the frame's level, and so no onset, shows it. A natural decay lowers
    // both; a beat does not fall hop after hop.
    bool FadedUnderNewNote(int k) const;
    // The loudest amplitude of the held note's own partials over the hops kept.
    double LoudestOwn(int k) const;
    static constexpr int FadeHops = 3;
    static constexpr double FadeDb = 4.5;
    static constexpr double RiseDb = 4.0;

private:
    double Share(int i, int k) const;  // the i-th kept, oldest first
    const OwnShares& At(int i) const { return shares[(first + i) % Kept]; }

    OwnShares loudest;
    OwnShares shares[Kept] = {};
    int first = 0;
    int count = 0;
};

// Per-hop level envelope from each hop's sample extremes. The level of the
// last two hops (a pair still spans more than a period at the lowest notes)
// against the pairs of the hops before tells an onset; against the frame's
// level it tells a frame whose end has gone quiet.
class LevelEnvelope {
public:
    static constexpr int Span = 8;  // hops remembered, about 0.18 s (a normal frame)

    // The samples of one hop.
    void Push(std::span<const double> hop);
    // dB over the last two hops (-96.33 for digital silence).
    double RecentLevel() const { return count > 0 ? levels[Index(count - 1)] : Units::SilenceLevelDb; }
    // True when the recent level rose by at least OnsetRiseDb above the
    // quietest pair of the last Span hops.
    bool Onset() const;

    // True when the last hop ends in a quiet run of at least 1/QuietRunDivisor
    // of the hop (more than 1.3 ms at every rate) under QuietShare of the
    // previous hop's peak: the sound stopped within the hop. A sinusoid of
    // 27 Hz dwells that low for under 0.6 ms around each zero crossing.
    bool EndFellSilent() const { return endFellSilent; }
    // True when the last hop's mean square lies more than dropDb under the
    // loudest of the last `hops` hops (at most Span). The mean square over a
    // hop varies by under 1 dB with phase even at 27 Hz, and unlike the
    // sample extremes it sees a note sink into background noise.
    bool EnergyFell(int hops, double dropDb) const;
    // dB the level over two hops fell across the hops remembered (negative
    // when it rose).
    double Fall() const { return count > 0 ? levels[Index(0)] - RecentLevel() : 0.0; }

    static constexpr double OnsetRiseDb = 6.0;
    static constexpr double QuietShare = 0.05;
    static constexpr int QuietRunDivisor = 8;

private:
    int Index(int i) const { return (first + i) % Span; }

    double levels[Span] = {};       // dB over each hop and the one before
    double meanSquares[Span] = {};  // of each hop
    int first = 0;
    int count = 0;
    double lastMin = 0.0;
    double lastMax = 0.0;
    double lastPeak = 0.0;
    bool havePrevious = false;
    bool endFellSilent = false;
};

}  // namespace NoteAnalyzer
