#pragma once
// The user-interface side of the tuning pipeline: it takes analysis results
// one by one, decides which note is sounding, keeps the level history, the
// current note's results and harmonic history and the stored reference notes,
// and computes what the indicator panes show. No capture, no lock, no window:
// everything here runs on the user-interface thread.

#include <cstdint>
#include <deque>

#include "analysis/AnalysisResult.h"
#include "pipeline/DisplayValues.h"
#include "pipeline/HarmonicHistory.h"
#include "pipeline/NoteTrack.h"
#include "pipeline/StoredNotes.h"
#include "tuning/NoteTable.h"
#include "units/Units.h"

// What taking one result did.
struct NoteStep {
    bool noteStarted = false;           // a new note began with this result
    bool appended = false;              // the result joined the current note
    NoteIndex note = NoteIndexInvalid;  // the result's note (invalid: none)
    float cents = 0.0f;                 // its deviation from that note's target
};

class NoteTracker {
public:
    static constexpr std::size_t LevelHistorySize = 8;
    // Level mean before any result arrived: the analyzer's reading of digital
    // silence, so the energy pane opens empty.
    static constexpr float SilenceLevel = static_cast<float>(Units::SilenceLevelDb);

    NoteTracker();

    // Puts the track back to A4 with one synthetic result at middleA Hz, so the
    // window opens showing A4 with the needle faded.
    void Seed(float middleA);

    // Takes one result: applies the calibration factor to its frequency and
    // harmonics, feeds the level history, names its note in `table` and
    // advances the note track (end, start, store or discard, append).
    NoteStep Process(NoteAnalyzer::AnalysisResult result, const NoteTable& table, double calibration,
                     bool alwaysStore, std::uint32_t now);

    // The panes' values for the held note at tick `now`.
    DisplayValues Display(const NoteTable& table, int transpose, int centAccuracy, std::uint32_t now) const;

    // Rebuilds the reference history from the stored results of
    // `referenceNote`, compressed onto the current note.
    void RebuildReferenceHistory(const NoteTable& table, NoteIndex referenceNote);

    // Keep the current note among the stored notes when it ends.
    void RequestStore() { track_.storeRequest = true; }

    const NoteTrack& Track() const { return track_; }
    const StoredNotes& Stored() const { return stored_; }
    const std::deque<float>& LevelHistory() const { return levels_; }
    float LevelMean() const { return levelMean_; }
    const HarmonicHistory& CurrentHistory() const { return currentHistory_; }
    const HarmonicHistory& ReferenceHistory() const { return referenceHistory_; }

private:
    void StartNote(NoteIndex note, bool alwaysStore);

    NoteTrack track_;
    StoredNotes stored_;
    std::deque<float> levels_;  // the last LevelHistorySize levels, dB
    float levelMean_ = SilenceLevel;
    HarmonicHistory currentHistory_;
    HarmonicHistory referenceHistory_;
};
