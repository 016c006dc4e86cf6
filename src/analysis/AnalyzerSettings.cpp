#include "analysis/AnalyzerSettings.h"

namespace NoteAnalyzer {

int RateFactor(int sampleRate) {
    switch (sampleRate) {
        case 22050: return 2;
        case 44100:
        case 48000: return 4;
        case 96000: return 8;
        default: return 1;  // 11025 and any rate the tuner does not list
    }
}

CaptureGeometry CaptureGeometryFor(int sampleRate) {
    const int m = RateFactor(sampleRate);
    return CaptureGeometry{64 * m, 256 * m};
}

AnalyzerSettings SettingsFor(int sampleRate, int analysisQuality) {
    const int m = RateFactor(sampleRate);
    const bool fast = analysisQuality == FastAnalysisQuality;
    AnalyzerSettings s;
    s.sampleRate = sampleRate;
    s.analysisSize = m * (fast ? 1024 : 2048);
    s.advanceSize = m * 256;
    s.minFundamental = 27.0;
    s.tiltLowFrequency = -500.0;
    s.tiltHighFrequency = 4800.0;
    s.octaveBias = 0.881;
    s.consensusDuration = fast ? 100.0 : 175.0;
    // The fast ratio is a single-precision constant widened to double
    // (0.5009999871253967): with four hops kept, 2 of 4 is not enough, 3 is.
    s.consensusRatio = fast ? static_cast<double>(0.501f) : 0.75;
    return s;
}

}  // namespace NoteAnalyzer
