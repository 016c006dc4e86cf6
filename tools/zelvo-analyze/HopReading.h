// What the tool makes of one analysis result: the calibrated frequency named
// against the note table, as the tuner window does on every display tick.
#pragma once

#include "analysis/AnalysisResult.h"
#include "tuning/NoteIndex.h"
#include "tuning/NoteTable.h"

namespace ZelvoAnalyze {

// The tuning reference the readings are named against.
struct TuningReference {
    NoteTable table = DefaultNoteTable();
    double calibration = 1.0;  // Units::CalibrationFactor of the settings
};

struct HopReading {
    double endTime = 0.0;               // seconds from the start, at the end of the hop
    double level = 0.0;                 // dB
    double frequency = -1.0;            // calibrated consensus frequency; -1.0 = none
    NoteIndex note = NoteIndexInvalid;  // NoteIndexInvalid when no note is named
    float cents = 0.0f;                 // deviation from the note's target

    bool HasNote() const { return IsValidNoteIndex(note); }
};

// Calibrates the result's frequency and looks it up in the note table; a
// pitch outside the table's range names no note.
HopReading ReadHop(const TuningReference& reference, const NoteAnalyzer::AnalysisResult& result,
                   double endTime);

}  // namespace ZelvoAnalyze
