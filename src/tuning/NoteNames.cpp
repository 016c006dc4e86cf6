#include "tuning/NoteNames.h"

#include <cstdint>
#include <cstdio>

namespace {

// Mathematical remainder into 0..11, never negative.
int PitchClassMod(std::int64_t value) {
    const std::int64_t r = value % 12;
    return static_cast<int>(r < 0 ? r + 12 : r);
}

bool IsAsciiSpace(char c) {
    // The white space a C-locale string-to-long conversion skips.
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads an octave number the way a decimal string-to-long conversion does:
// leading white space, optional sign, digits up to the first non-digit, the
// rest ignored; no digits reads as 0. The magnitude saturates far beyond any
// valid octave so a long run of digits cannot overflow; the range check of
// the caller then rejects it.
std::int64_t ReadOctave(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    constexpr std::int64_t saturation = 1'000'000'000'000LL;
    std::int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        if (value < saturation) value = value * 10 + (text[pos] - '0');
    }
    return negative ? -value : value;
}

int BasePitchClass(char letter) {
    switch (letter) {
        case 'C': return 0;
        case 'D': return 2;
        case 'E': return 4;
        case 'F': return 5;
        case 'G': return 7;
        case 'A': return 9;
        case 'B': return 11;
        default: return -1;
    }
}

}  // namespace

const char* PitchClassName(int pitchClass) {
    if (pitchClass < 0 || pitchClass > 11) pitchClass = 0;
    return PitchClassNames[static_cast<std::size_t>(pitchClass)];
}

NoteNameParts SplitNoteName(NoteIndex n, int transpose) {
    NoteNameParts parts;
    if (!IsValidNoteIndex(n)) return parts;
    const int p = PitchClassMod(static_cast<std::int64_t>(n) - transpose);
    const std::string_view name = PitchClassNames[static_cast<std::size_t>(p)];
    parts.letter = std::string(name.substr(0, 1));
    parts.accidental = std::string(name.substr(1));
    // The octave comes from the concert note: transposing moves the letter only.
    parts.octave = std::to_string(OctaveOf(n));
    return parts;
}

std::string FormatNoteName(NoteIndex n, int transpose) {
    if (!IsValidNoteIndex(n)) return "Invalid Note";
    NoteNameParts parts = SplitNoteName(n, transpose);
    return parts.letter + parts.accidental + parts.octave;
}

NoteIndex ParseNoteName(std::string_view text) {
    // A name ends at the first NUL, as a C string would.
    text = text.substr(0, text.find('\0'));
    if (text.empty()) return NoteIndexInvalid;

    char first = text[0];
    if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
    const int base = BasePitchClass(first);
    if (base < 0) return NoteIndexInvalid;

    int accidental = 0;
    std::size_t octaveStart = 1;
    if (text.size() > 1) {
        if (text[1] == '#')
            accidental = 1;
        else if (text[1] == 'b' || text[1] == 'B')
            accidental = -1;
        if (accidental != 0) octaveStart = 2;
    }

    const std::string_view octaveText = text.substr(octaveStart);
    std::int64_t octave = 0;
    if (octaveText != "0") {
        octave = ReadOctave(octaveText);
        // No digits, "00", "-0": not an octave. Only the exact text "0" is.
        if (octave == 0) return NoteIndexInvalid;
    }

    return MakeNoteIndex(base + accidental + (octave + 1) * 12);
}

std::string FormatTransposeChoice(int transpose) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "(+%d) ", transpose);
    return std::string(buffer) + PitchClassName(transpose);
}
