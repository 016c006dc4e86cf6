#pragma once
// What the list editors show in their grids and how they read what the user
// typed: the offset cells' text and colour rule, the rows of the offsets
// grids, the preset notes cell, and the names of new entries.

#include <string>
#include <string_view>

#include "tuning/Preset.h"
#include "tuning/Temperament.h"

namespace ListEditorRows {

// "%+3.1lf" of the offset: a sign and one decimal ("+0.0", "-2.5").
std::string OffsetText(float cents);
// Negative offsets are shown in red, the others in the window's text colour.
bool ShowsAsNegative(float cents);
// An offset typed by the user, read like strtod in the "C" locale whatever
// the process locale: text that is not a number, and infinities, read as 0;
// values beyond MaxOffsetCents either way are held at that limit, which is
// as far as the list files keep an offset.
float ReadOffsetText(std::string_view text);

// A preset's notes cell after the user typed `text` into it: the notes it
// stands for, and the canonical text shown back in the cell.
NoteSet NotesOfText(std::string_view text);
std::string NotesText(const NoteSet& notes);

// The rows of the offsets grid for each kind of record: how many, the name
// in the "Note" column, and the record's offset behind each row.
template <class Record>
struct OffsetRows;

template <>
struct OffsetRows<Temperament> {
    static constexpr int Count = 12;  // the half-steps C..B
    static std::string Name(int row);
    static float Get(const Temperament& record, int row) { return record.Offset(row); }
    static void Set(Temperament& record, int row, float cents) { record.SetOffset(row, cents); }
};

template <>
struct OffsetRows<StretchTable> {
    static constexpr int Count = NoteIndexCount;  // C0..C8
    static std::string Name(int row);
    static float Get(const StretchTable& record, int row) { return record.Offset(NoteIndexMin + row); }
    static void Set(StretchTable& record, int row, float cents) {
        record.SetOffset(NoteIndexMin + row, cents);
    }
};

// New entries, as New makes them.
Preset NewPreset();
Temperament NewTemperament();
StretchTable NewStretchTable();

}  // namespace ListEditorRows
