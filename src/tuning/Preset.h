#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tuning/NoteIndex.h"

// Distinct valid note indices, ascending. May be empty.
using NoteSet = std::set<NoteIndex>;

// A named set of notes; the active one decides which notes the global
// indicator lays out.
struct Preset {
    std::string name;
    NoteSet notes;

    bool operator==(const Preset&) const = default;
};

// The user's presets in the user's order, with the selection. The selection
// counts only when 0 <= SelectedIndex < size; otherwise the default preset is
// active and the stored index is kept unchanged.
struct PresetList {
    std::vector<Preset> entries;
    int SelectedIndex = 0;

    // The selected entry, or nullptr when the index does not fit the list.
    const Preset* Selected() const;

    bool operator==(const PresetList&) const = default;
};

inline constexpr const char* DefaultPresetName = "Default Notes";
inline constexpr const char* DefaultPresetNotes = "C1,C2,C3,C4,C5,C6,C7,C8";

// The built-in preset "Default Notes" = C1..C8 by octaves. Never part of the
// list and never written to a file.
Preset DefaultPreset();

// The list's selected preset, or `fallback` (the window's DefaultPreset) when
// nothing valid is selected.
const Preset& ActivePreset(const PresetList& list, const Preset& fallback);

// Characters a notes text may hold; everything else is dropped before
// parsing. Digits stop at 8: there is no octave 9.
inline constexpr std::string_view NotePresetAlphabet = "abcdefgABCDEFG012345678/#b,-";

// Reads a notes text such as "E2, A2, D3-G3": single names and chromatic
// ranges, separated by commas. Unusable pieces are ignored; never fails.
NoteSet ParseNoteList(std::string_view text);

// Canonical text of a set: runs of consecutive notes as "C4-D4", joined with
// ", ". ParseNoteList(FormatNoteList(s)) == s. Empty set gives "".
std::string FormatNoteList(const NoteSet& notes);
