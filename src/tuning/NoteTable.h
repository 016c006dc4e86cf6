#pragma once

#include <vector>

#include "tuning/Cents.h"
#include "tuning/NoteIndex.h"
#include "tuning/Temperament.h"

// Target pitch of one note and the band of pitches that counts as that note,
// all in cents re 440 Hz.
struct NoteBand {
    CentsRe440 center = 0.0f;
    CentsRe440 lower = 0.0f;
    CentsRe440 upper = 0.0f;

    bool operator==(const NoteBand&) const = default;
};

// A built table holds exactly NoteIndexCount (97) bands; element i belongs to
// NoteIndex 12 + i and the bands are contiguous (upper[i] == lower[i + 1]).
// A default-constructed (empty) table is allowed as "no table yet": lookups
// in it find no note.
using NoteTable = std::vector<NoteBand>;

// Equal temperament at 440 Hz: center (12 + i - 69) * 100, band +-50 cents.
NoteTable DefaultNoteTable();

// Targets for A4 at middleAHz with the temperament played in `key` (pitch
// class; outside 0..11 means C) and the stretch offsets added. The temperament
// is shifted so that A keeps offset 0. A middleAHz that is not a positive
// finite number is treated as 440 Hz.
NoteTable BuildNoteTable(const StretchTable& stretch, const Temperament& temperament, int key,
                         float middleAHz);

// The table for the lists' current selections: the selected stretch table
// and temperament (neutral ones when nothing valid is selected) and the
// list's key.
NoteTable BuildNoteTable(const StretchList& stretches, const TemperamentList& temperaments, float middleAHz);

// The band of note n, or nullptr when n is not valid or the table lacks it.
const NoteBand* FindNoteBand(const NoteTable& table, NoteIndex n);

// Result of naming a measured frequency.
struct NoteLookup {
    NoteIndex note = NoteIndexInvalid;
    float deviation = 0.0f;    // measured minus target, cents (positive = sharp)
    bool withinRange = false;  // false: beyond C0 - 50 cents or C8 + 50 cents

    bool operator==(const NoteLookup&) const = default;
};

// Names the note whose band holds frequencyHz (a pitch exactly on a boundary
// belongs to the upper band). Pitches more than 50 cents below C0 or above
// C8 give (NoteIndexInvalid, deviation, false). A frequency whose pitch is
// not a number (<= 0, NaN) or an empty table gives (NoteIndexInvalid, 0,
// false). No allocation: it runs for every reading.
NoteLookup FrequencyToNote(const NoteTable& table, float frequencyHz);
