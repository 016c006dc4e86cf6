#pragma once

#include <array>
#include <string>
#include <string_view>

#include "tuning/NoteIndex.h"

// The twelve pitch-class names, index = pitch class. The spelling is fixed:
// sharps for C#, F#, G#, flats for Eb and Bb. The same table names notes, the
// key of a temperament and the transposition choices.
inline constexpr std::array<const char*, 12> PitchClassNames = {"C",  "C#", "D",  "Eb", "E",  "F",
                                                                "F#", "G",  "G#", "A",  "Bb", "B"};

// Name of a pitch class; a value outside 0..11 is named as 0 ("C"), the same
// fallback the key of a temperament uses.
const char* PitchClassName(int pitchClass);

// A note name cut into the pieces that displays draw apart.
struct NoteNameParts {
    std::string letter;      // "A".."G"
    std::string accidental;  // "#", "b" or empty
    std::string octave;      // decimal octave number, e.g. "4"
};

// Splits the name of n shown with transposition `transpose` (the concert pitch
// class displayed as C). The letter follows the transposition, the octave
// number always comes from n itself. n should be valid (callers check first);
// an invalid n gives empty parts rather than garbage.
NoteNameParts SplitNoteName(NoteIndex n, int transpose);

// "A4", "C#4", "Bb3"; "Invalid Note" when n is outside 12..108.
std::string FormatNoteName(NoteIndex n, int transpose);

// Reads a note name such as "C4", "c#3", "Bb2", "BB3" (a flat), "B#-1".
// Anything that is not a note name in 12..108 gives NoteIndexInvalid. Text
// after the octave digits is ignored ("C4x" is C4).
NoteIndex ParseNoteName(std::string_view text);

// The transposition choice t shown as "(+%d) %s", e.g. "(+2) D".
std::string FormatTransposeChoice(int transpose);
