// Units and ranges of the tuner, each fact written once. Every library may
// include this header; it depends on nothing but the standard library.
#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Units {

// Cents in one natural-log unit of frequency ratio, 1200 / ln 2, to the twelve
// digits every reading, table and stored value of the tuner is computed with.
// The analysis scales it by 100 for its integer log units; the product is
// exactly the double its tables were built with.
inline constexpr double CentsPerLogUnit = 1731.23404907;
static_assert(CentsPerLogUnit - 1200.0 / std::numbers::ln2 < 1e-8 &&
              1200.0 / std::numbers::ln2 - CentsPerLogUnit < 1e-8);

// Frequency ratio of one equal-tempered semitone, 2^(1/12) to the sixteen
// digits the analysis has always used.
inline constexpr double SemitoneRatio = 1.059463094359202;

// The reference pitch: A4 is note 69 and sounds at 440 Hz. Pitches in cents
// are always measured from it, whatever middle A the user chose.
inline constexpr int A4Note = 69;
inline constexpr double A4Hz = 440.0;

// The middle A a user may choose, both ends inclusive, and its default.
inline constexpr double MinMiddleAHz = 220.0;
inline constexpr double MaxMiddleAHz = 880.0;
inline constexpr double DefaultMiddleAHz = A4Hz;
constexpr bool IsMiddleAInRange(double hz) {  // false for NaN
    return hz >= MinMiddleAHz && hz <= MaxMiddleAHz;
}

// The level meters (energy pane, noise-floor marker, harmonic opacity) span
// 60 dB: position 0 stands for -60 dB and below, position 1 for 0 dB.
inline constexpr double MeterRangeDb = 60.0;
// clamp(1 + dB / 60, 0, 1). A level that is not a number reads empty.
inline double MeterPositionFromDb(double db) {
    return std::isnan(db) ? 0.0 : std::clamp(1.0 + db / MeterRangeDb, 0.0, 1.0);
}
// position * 60 - 60, the position first clamped to 0..1; a position that is
// not a number counts as 0.
inline double DbFromMeterPosition(double position) {
    const double p = std::isnan(position) ? 0.0 : std::clamp(position, 0.0, 1.0);
    return p * MeterRangeDb - MeterRangeDb;
}

// The noise floor gates the analysis; it is set on the meter, so its range is
// the meter's.
inline constexpr double MinNoiseFloorDb = -MeterRangeDb;
inline constexpr double MaxNoiseFloorDb = 0.0;
inline constexpr double DefaultNoiseFloorDb = -30.0;
constexpr bool IsNoiseFloorInRange(double db) {  // false for NaN
    return db >= MinNoiseFloorDb && db <= MaxNoiseFloorDb;
}

// The analyzer's level of digital silence: a frame whose samples span less
// than one 16-bit step.
inline constexpr double SilenceLevelDb = -96.3295;
inline constexpr double SilenceSpan = 3.051850947599719e-5;  // one 16-bit step, full scale 1

// The analyzer's level of a run of samples from their span (largest minus
// smallest, full scale 1): half the span in dB, or the silence level when
// the span is under one 16-bit step.
inline double LevelDbOfSpan(double span) {
    return span < SilenceSpan ? SilenceLevelDb : 20.0 * std::log10(span / 2.0);
}

// Harmonic numbers run from 1 to 64: the template of the analysis has that
// many partials, and the harmonics graph and its settings follow it.
inline constexpr int MaxHarmonic = 64;

// The time span of the harmonics graph in seconds. Nothing older than the
// longest span is kept for a note, so a drone held for minutes stays bounded.
inline constexpr double MinTimeRangeSeconds = 1.0;
inline constexpr double MaxTimeRangeSeconds = 60.0;

// Cent values beyond this magnitude come only from runaway settings (a
// calibration or offset far outside its range); every cents formatter shows
// them as no value, so no conversion to an integer can overflow.
inline constexpr double MaxShownCents = 1.0e6;
inline bool IsShowableCents(double cents) {
    return std::isfinite(cents) && std::fabs(cents) <= MaxShownCents;
}

// The factor every measured frequency is multiplied by to correct the sound
// card's clock: known / observed when both are finite and exceed 1 Hz and the
// factor lies within MinCalibrationFactor..MaxCalibrationFactor, else 1
// (calibration off). No sound card's clock is off by a factor of two, and a
// larger factor would move every reading out of the note range.
inline constexpr double MinCalibrationFactor = 0.5;
inline constexpr double MaxCalibrationFactor = 2.0;
inline double CalibrationFactor(double knownHz, double observedHz) {
    if (!(knownHz > 1.0 && observedHz > 1.0 && std::isfinite(knownHz) && std::isfinite(observedHz)))
        return 1.0;
    const double factor = knownHz / observedHz;
    return factor >= MinCalibrationFactor && factor <= MaxCalibrationFactor ? factor : 1.0;
}

}  // namespace Units
