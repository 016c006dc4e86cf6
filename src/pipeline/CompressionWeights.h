#pragma once
// Weights that bring the harmonics of a reference note onto a current note, so
// that the harmonics graph can draw the stored reference over the live note.

#include "pipeline/HarmonicHistory.h"
#include "tuning/NoteIndex.h"
#include "tuning/NoteTable.h"
#include "units/Units.h"

// Number of weights: index 0 (the fundamental's own line, always 0 here so no
// index-0 line is drawn for the reference) and harmonics 1..64 (64 stays 0).
inline constexpr int CompressionWeightCount = Units::MaxHarmonic + 1;

// W for current note a and reference note b in `table`: W[k] = 1/j when the
// k-th harmonic of b, divided by the j that brings it closest to a's target,
// lands inside a's band; W[k] = j when it lies below a and multiplying by j
// brings it inside; 0 (ignored) otherwise. All zeros when either note has no
// band in the table.
HarmonicWeights CompressionWeights(const NoteTable& table, NoteIndex a, NoteIndex b);
