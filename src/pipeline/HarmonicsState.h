#pragma once
// The record the main window and the harmonics window exchange: which notes
// are shown, which harmonic of each is highlighted, how the reference note is
// chosen, the graph's spans, and the two histories to draw.

#include "persistence/ConfigRecord.h"
#include "pipeline/HarmonicHistory.h"
#include "tuning/NoteIndex.h"

// Item data of the reference-option list. Values 0..96 choose the manual note
// 12 + value; anything else not listed here means no reference.
inline constexpr int ReferenceOptionNone = 1001;
inline constexpr int ReferenceOptionPrevious = 1002;  // the configured default
inline constexpr int ReferenceOptionOctaveAbove = 1003;
inline constexpr int ReferenceOptionOctaveBelow = 1004;
inline constexpr int ReferenceOptionFifthAbove = 1005;
inline constexpr int ReferenceOptionFifthBelow = 1006;
inline constexpr int ReferenceOptionThirdAbove = 1007;  // five semitones
inline constexpr int ReferenceOptionThirdBelow = 1008;  // five semitones

// Item data of "None" in the two harmonic lists.
inline constexpr int NoHarmonicSelected = -1;

struct HarmonicsState {
    NoteIndex currentNote = NoteIndexInvalid;
    bool alwaysStore = true;
    int currentHarmonic = NoHarmonicSelected;
    NoteIndex referenceNote = NoteIndexInvalid;
    int referenceOption = ReferenceOptionPrevious;
    int referenceHarmonic = NoHarmonicSelected;
    float pitchSpan = 100.0f;  // cents (setting CentRange)
    float timeSpan = 5.0f;     // seconds (setting TimeRange)
    // Owned by the pipeline; null when the matching note is not valid. The
    // pointers stay valid for the pipeline's lifetime (the histories are
    // restarted in place, never replaced).
    const HarmonicHistory* currentHistory = nullptr;
    const HarmonicHistory* referenceHistory = nullptr;
};

// The reference note for a reference option, given the current note and the
// note detected before it. Results outside 12..108 (including arithmetic on an
// invalid current note) give NoteIndexInvalid.
NoteIndex ReferenceNoteFor(int referenceOption, NoteIndex currentNote, NoteIndex previousNote);

// Copies the selections the harmonics window made (store rule, spans,
// reference option, the two highlighted harmonics) into a settings record.
void TakeHarmonicsSelections(ConfigRecord& config, const HarmonicsState& viewState);

// The harmonics window as the pipeline sees it. The window registers one with
// TuningPipeline::SetHarmonicsView while it is open and clears it (nullptr)
// before it goes away. All calls come on the user-interface thread.
class IHarmonicsView {
public:
    virtual ~IHarmonicsView() = default;
    // A notification: the current note changed, the window was opened, or the
    // program started with it open. Take the state and the transposition,
    // refresh the labels; redraw the graph completely when `redraw` is set.
    virtual void Notify(const HarmonicsState& state, int transpose, bool redraw) = 0;
    // The answer to a state change that moved the reference note: apply it as
    // the window's own state (the graph is given the new histories).
    virtual void SetState(const HarmonicsState& state) = 0;
    // New results reached the histories on this display tick: the graph
    // follows the newest data and redraws what changed.
    virtual void FramesAdded() = 0;
};
