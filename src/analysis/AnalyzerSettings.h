#pragma once

namespace NoteAnalyzer {

// Parameters of one analyzer. Fill it with SettingsFor() rather than by hand;
// the analyzer validates the first five fields when it is constructed.
struct AnalyzerSettings {
    int sampleRate = 0;              // samples per second
    int analysisSize = 0;            // frame length N; a power of two
    int advanceSize = 0;             // hop length in samples; divides analysisSize
    double minFundamental = 0.0;     // lowest fundamental (Hz) the estimation may report
    double tiltLowFrequency = 0.0;   // Hz where the spectral tilt weight is zero
    double tiltHighFrequency = 0.0;  // Hz where the tilt weight reaches 1
    double octaveBias = 0.0;         // factor of the octave decision
    double consensusDuration = 0.0;  // milliseconds of history in the consensus vote
    double consensusRatio = 0.0;     // share of that history that must agree
    // Precise pitch: stretch-corrected refinement, a gate that holds a decaying
    // note, no votes from frames cut short, and octave hold while a note decays.
    // Off, the analysis is the plain template match and consensus vote.
    bool precisePitch = false;
};

// Values of the AnalysisQuality setting.
inline constexpr int NormalAnalysisQuality = 0;
inline constexpr int FastAnalysisQuality = 1;

// The rate factor m: 1 for 11025 Hz, 2 for 22050, 4 for 44100 and 48000,
// 8 for 96000 and 1 for any other rate. Frame, hop and capture buffers all scale
// with it so that one hop lasts about 21-23 ms at every supported rate.
int RateFactor(int sampleRate);

// How the recorder queues its buffers: one buffer is exactly one analysis hop.
struct CaptureGeometry {
    int bufferCount = 0;    // 64 * m buffers queued at the device (about 1.4-1.5 s)
    int bufferSamples = 0;  // 256 * m frames per buffer, equal to advanceSize
};
CaptureGeometry CaptureGeometryFor(int sampleRate);

// The analyzer settings the tuner and the tools use for a sample rate and an
// analysis quality (FastAnalysisQuality = 1 selects fast; any other value is
// normal). Normal: frame 2048*m, 175 ms consensus at ratio 0.75; fast: frame
// 1024*m, 100 ms consensus at ratio 0.501 (held in single precision, so 3 of 4
// hops must agree). Hop 256*m in both.
AnalyzerSettings SettingsFor(int sampleRate, int analysisQuality);

}  // namespace NoteAnalyzer
