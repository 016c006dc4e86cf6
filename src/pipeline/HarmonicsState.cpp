#include "pipeline/HarmonicsState.h"

#include <cstdint>

NoteIndex ReferenceNoteFor(int referenceOption, NoteIndex currentNote, NoteIndex previousNote) {
    // Interval options are relative to the current note; with no current
    // note there is nothing to measure from (and INT_MAX + 12 must not be
    // computed at all).
    auto relative = [currentNote](int semitones) {
        if (!IsValidNoteIndex(currentNote)) {
            return NoteIndexInvalid;
        }
        return MakeNoteIndex(static_cast<std::int64_t>(currentNote) + semitones);
    };

    if (referenceOption < ReferenceOptionNone) {
        return MakeNoteIndex(static_cast<std::int64_t>(NoteIndexMin) + referenceOption);
    }
    switch (referenceOption) {
        case ReferenceOptionPrevious: return MakeNoteIndex(previousNote);
        case ReferenceOptionOctaveAbove: return relative(12);
        case ReferenceOptionOctaveBelow: return relative(-12);
        case ReferenceOptionFifthAbove: return relative(7);
        case ReferenceOptionFifthBelow: return relative(-7);
        case ReferenceOptionThirdAbove: return relative(5);
        case ReferenceOptionThirdBelow: return relative(-5);
        default:  // ReferenceOptionNone and unknown values
            return NoteIndexInvalid;
    }
}

void TakeHarmonicsSelections(ConfigRecord& config, const HarmonicsState& viewState) {
    config.AlwaysStore = viewState.alwaysStore;
    config.CentRange = viewState.pitchSpan;
    config.TimeRange = viewState.timeSpan;
    config.ReferenceOption = viewState.referenceOption;
    config.CurrentHarmonicSelected = viewState.currentHarmonic;
    config.ReferenceHarmonicSelected = viewState.referenceHarmonic;
}
