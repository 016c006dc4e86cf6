#include "ToolSettings.h"

namespace ZelvoAnalyze {

EffectiveSettings ResolveSettings(const AnalyzeOptions& options, const std::optional<TunerSettings>& files) {
    EffectiveSettings s;
    float middleA = static_cast<float>(kDefaultMiddleA);
    if (files) {
        if (files->middleA >= 220.0f && files->middleA <= 880.0f) middleA = files->middleA;
        if (files->noiseFloor >= -60.0f && files->noiseFloor <= 0.0f) s.noiseFloor = files->noiseFloor;
        if (files->analysisQuality == 1) s.quality = 1;
        s.device = files->device;
        s.format = files->format;
        s.knownFreq = files->knownFreq;
        s.expectedFreq = files->expectedFreq;
        s.reference.calibration = CalibrationFactor(files->knownFreq, files->expectedFreq);
    }
    if (options.middleA) middleA = static_cast<float>(*options.middleA);
    if (options.noiseFloor) s.noiseFloor = *options.noiseFloor;
    if (options.quality) s.quality = *options.quality;
    if (options.device) s.device = *options.device;
    if (options.format) s.format = *options.format;

    if (files)
        s.reference.table = BuildNoteTable(files->stretches, files->temperaments, middleA);
    else
        s.reference.table = BuildNoteTable(StretchTable{}, Temperament{}, 0, middleA);
    return s;
}

}  // namespace ZelvoAnalyze
