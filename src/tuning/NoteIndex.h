#pragma once

#include <cstdint>
#include <limits>

// Note numbers count semitones with C0 = 12, A4 = 69 and C8 = 108, the same
// numbering as MIDI key numbers. Only 12..108 name a note the tuner knows;
// everything else collapses to NoteIndexInvalid.
using NoteIndex = std::int32_t;

inline constexpr NoteIndex NoteIndexInvalid = std::numeric_limits<std::int32_t>::max();
inline constexpr NoteIndex NoteIndexMin = 12;                           // C0
inline constexpr NoteIndex NoteIndexMax = 108;                          // C8
inline constexpr int NoteIndexCount = NoteIndexMax - NoteIndexMin + 1;  // 97

inline constexpr bool IsValidNoteIndex(std::int64_t value) {
    return value >= NoteIndexMin && value <= NoteIndexMax;
}

// The one construction rule for note numbers that come from outside (files,
// lists, arithmetic such as "one semitone lower"): values in 12..108 stay,
// everything else becomes NoteIndexInvalid. Takes a 64-bit value so that
// callers may do their arithmetic without overflow before passing it in.
inline constexpr NoteIndex MakeNoteIndex(std::int64_t value) {
    return IsValidNoteIndex(value) ? static_cast<NoteIndex>(value) : NoteIndexInvalid;
}

// Pitch class 0 = C .. 11 = B of a valid index.
inline constexpr int PitchClassOf(NoteIndex n) {
    return static_cast<int>(n % 12);
}

// Octave number of a valid index: C4 = 60 is in octave 4.
inline constexpr int OctaveOf(NoteIndex n) {
    return static_cast<int>(n / 12 - 1);
}
