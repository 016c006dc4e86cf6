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
    float middleA = 440.0f;
    float knownFreq = 440.0f;
    float expectedFreq = 440.0f;
    float noiseFloor = -30.0f;
    int analysisQuality = 0;
    int device = -1;
    int format = 4;
    TemperamentList temperaments;
    StretchList stretches;
};

struct EffectiveSettings {
    int quality = 0;  // 0 normal, 1 fast
    double noiseFloor = kDefaultNoiseFloor;
    TuningReference reference;
    // The calibration pair reference.calibration comes from, for --live.
    float knownFreq = 440.0f;
    float expectedFreq = 440.0f;
    int device = -1;
    int format = 4;
};

// Command-line values win over the files' values, which win over defaults.
// A file value outside its range (middle A 220..880 Hz, noise floor -60..0
// dB, quality 0..1) falls back to the default, as the tuner does.
EffectiveSettings ResolveSettings(const AnalyzeOptions& options, const std::optional<TunerSettings>& files);

}  // namespace ZelvoAnalyze
