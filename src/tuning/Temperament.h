#pragma once

#include <map>
#include <string>
#include <vector>

#include "tuning/NoteIndex.h"

// Offsets whose magnitude is at or below this count as zero when deciding
// whether a temperament or stretch table changes anything.
inline constexpr float NegligibleOffsetCents = 0.000001f;
// The largest plausible offset either way: one octave. Larger values are
// not kept, since they would move a target onto another note.
inline constexpr float MaxOffsetCents = 1200.0f;

// Twelve cent offsets from equal temperament, entered for the key of C and
// played in any key. A new temperament has an empty name and all twelve
// offsets at 0.0. Offsets read from files under keys other than 0..11 are kept
// (so they are written back) but never affect the targets.
struct Temperament {
    std::string name;
    std::map<int, float> offsets;  // pitch class -> cents, ascending

    Temperament();

    // The offset stored for key, 0.0 when none is stored.
    float Offset(int key) const;
    // Sets (or adds) the offset for key.
    void SetOffset(int key, float cents);
    // True when some stored offset's magnitude exceeds NegligibleOffsetCents.
    bool HasNonZeroOffset() const;

    bool operator==(const Temperament&) const = default;
};

// One cent offset per note, added to that note's target (piano stretch).
// A new table has an empty name and 0.0 for every NoteIndex 12..108. Keys
// outside that range (NoteIndexInvalid from a file) are kept but never used.
struct StretchTable {
    std::string name;
    std::map<NoteIndex, float> offsets;  // note -> cents, ascending

    StretchTable();

    float Offset(NoteIndex n) const;
    void SetOffset(NoteIndex n, float cents);
    bool HasNonZeroOffset() const;

    bool operator==(const StretchTable&) const = default;
};

// The user's temperaments in the user's order, with the selection and key.
// A selection counts only when 0 <= SelectedIndex < size; otherwise the
// neutral temperament is used and the stored index is kept as it is.
struct TemperamentList {
    std::vector<Temperament> entries;
    int SelectedIndex = 0;
    int SelectedKey = 0;  // pitch class of the key; outside 0..11 means C

    // The selected entry, or nullptr when the index does not fit the list.
    const Temperament* Selected() const;
    // SelectedKey when it lies in 0..11, otherwise 0.
    int EffectiveKey() const;

    bool operator==(const TemperamentList&) const = default;
};

// The user's stretch tables with the selection (same rule as above).
struct StretchList {
    std::vector<StretchTable> entries;
    int SelectedIndex = 0;

    const StretchTable* Selected() const;

    bool operator==(const StretchList&) const = default;
};
