#include "ToolSettings.h"

namespace ZelvoAnalyze {

EffectiveSettings ResolveSettings(const AnalyzeOptions& options, const std::optional<TunerSettings>& files) {
    EffectiveSettings s;
    auto middleA = static_cast<float>(Units::DefaultMiddleAHz);
    if (files) {
        if (Units::IsMiddleAInRange(files->middleA)) middleA = files->middleA;
        if (Units::IsNoiseFloorInRange(files->noiseFloor)) s.noiseFloor = files->noiseFloor;
        if (files->analysisQuality == 1) s.quality = 1;
        s.device = files->device;
        s.format = files->format;
        s.knownFreq = files->knownFreq;
        s.expectedFreq = files->expectedFreq;
        s.reference.calibration = Units::CalibrationFactor(files->knownFreq, files->expectedFreq);
    }
    if (options.middleA) middleA = static_cast<float>(*options.middleA);
    if (options.noiseFloor) s.noiseFloor = *options.noiseFloor;
    if (options.quality) s.quality = *options.quality;
    s.precisePitch = !options.classic;
    if (options.device) s.device = *options.device;
    if (options.format) s.format = *options.format;

    if (files)
        s.reference.table = BuildNoteTable(files->stretches, files->temperaments, middleA);
    else
        s.reference.table = BuildNoteTable(StretchTable{}, Temperament{}, 0, middleA);
    return s;
}

}  // namespace ZelvoAnalyze
