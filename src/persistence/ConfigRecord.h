// The tuner's scalar settings, kept in "tuner_config.xml".
//
// Each field is named after the configuration element that stores it; the
// two window rectangles, which share the element names PosLeft .. PosBottom,
// carry the prefix of their window. The defaults are what the tuner uses
// when no file is there or the file is rejected.
#pragma once

#include <cstdint>

#include "units/Units.h"

struct ConfigRecord {
    // Main window rectangle, screen coordinates (group TunerWindow).
    std::int32_t TunerPosLeft = 0;
    std::int32_t TunerPosTop = 0;
    std::int32_t TunerPosRight = 0;
    std::int32_t TunerPosBottom = 0;
    // Harmonics window open and its rectangle (group HarmonicsWindow,
    // elements Visible and PosLeft .. PosBottom).
    bool HarmonicsVisible = false;
    std::int32_t HarmonicsPosLeft = 0;
    std::int32_t HarmonicsPosTop = 0;
    std::int32_t HarmonicsPosRight = 0;
    std::int32_t HarmonicsPosBottom = 0;
    // Harmonic chosen for the current / reference note; -1 = none.
    std::int32_t CurrentHarmonicSelected = -1;
    std::int32_t ReferenceHarmonicSelected = -1;
    // How the reference note is chosen.
    std::int32_t ReferenceOption = 1002;
    bool AlwaysStore = true;
    // Harmonics graph spans: seconds and cents.
    float TimeRange = 5.0f;
    float CentRange = 100.0f;
    // Pixel smoothing of the indicators.
    bool Smooth = true;
    // The transposition of the displayed note letters (Transpose), 0..11.
    std::int32_t Pitch = 0;
    // Middle A in Hz.
    float MiddleA = static_cast<float>(Units::DefaultMiddleAHz);
    // Calibration: a known frequency and the frequency observed for it
    // (Units::CalibrationFactor); equal by default, so it is off.
    float KnownFreq = static_cast<float>(Units::A4Hz);
    float ExpectedFreq = static_cast<float>(Units::A4Hz);
    // Recording device number (-1 = the preferred device) and format bit
    // (4 = 11025 Hz, 16 bits, mono).
    std::int32_t Device = -1;
    std::int32_t Format = 4;
    // Display rate: 0 slow, 1 medium, 2 fast.
    std::int32_t Rate = 2;
    // Analysis gate in dB.
    float NoiseFloor = static_cast<float>(Units::DefaultNoiseFloorDb);
    // Seconds; kept in the file, not used elsewhere.
    float EnergySmoothDuration = 0.05f;
    // 0 normal, 1 fast.
    std::int32_t AnalysisQuality = 0;
    // Cents label: 0 tenths, 1 whole cents.
    std::int32_t CentAccuracy = 0;
    bool AlwaysOnTop = false;
    // Precise pitch analysis (AnalyzerSettings::precisePitch); on unless the
    // file says otherwise.
    bool PrecisePitch = true;

    bool operator==(const ConfigRecord&) const = default;
};

// Puts every value that lies outside its meaningful range, or is NaN or
// infinite, back to its default, so no user of the record indexes outside a
// table or takes the logarithm of zero. Ranges: Rate 0..2, Pitch 0..11,
// MiddleA and NoiseFloor those of Units, AnalysisQuality and CentAccuracy
// 0..1, ReferenceOption 0..96 or 1001..1008, harmonic selections -1 or
// 1..Units::MaxHarmonic, TimeRange that of Units, CentRange >= 1. Window
// rectangles, device and format are left to their users. Returns whether
// anything was changed.
bool ApplyConfigFallbacks(ConfigRecord& config);
