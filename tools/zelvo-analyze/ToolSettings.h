// The settings a run of the tool works with: the command line's values, the
// tuner's settings files when --settings names a directory, else defaults.
#pragma once

#include <optional>

#include "AnalyzeOptions.h"
#include "HopReading.h"
#include "tuning/Temperament.h"

namespace ZelvoAnalyze {

// What the tool takes from the tuner's settings files.
struct TunerSettings {
    float middleA = static_cast<float>(Units::DefaultMiddleAHz);
    float knownFreq = static_cast<float>(Units::A4Hz);
    float expectedFreq = static_cast<float>(Units::A4Hz);
    float noiseFloor = static_cast<float>(Units::DefaultNoiseFloorDb);
    int analysisQuality = 0;
    int device = -1;
    int format = 4;
    TemperamentList temperaments;
    StretchList stretches;
};

struct EffectiveSettings {
    int quality = 0;           // 0 normal, 1 fast
    bool precisePitch = true;  // off only with --classic
    double noiseFloor = Units::DefaultNoiseFloorDb;
    TuningReference reference;
    // The calibration pair reference.calibration comes from, for --live.
    float knownFreq = 440.0f;
    float expectedFreq = 440.0f;
    int device = -1;
    int format = 4;
};

// Command-line values win over the files' values, which win over defaults.
// A file value outside its range (middle A and noise floor those of Units,
// quality 0..1) falls back to the default, as the tuner does.
EffectiveSettings ResolveSettings(const AnalyzeOptions& options, const std::optional<TunerSettings>& files);

}  // namespace ZelvoAnalyze
