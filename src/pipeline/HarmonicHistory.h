#pragma once
// The per-note record of harmonic pitch tracks that the main window feeds and
// the harmonics graph draws.
//
// Every harmonic is "compressed" onto the fundamental: harmonic k at frequency
// f is recorded at the pitch of f * w[k] (w[k] = 1/k by default), so that a
// perfectly harmonic tone puts all its harmonics on one line. The history is a
// list of time steps, one per pair of consecutive analysis results, each
// holding one straight line piece per harmonic present at both ends of the step.
//
// Written and read on the user-interface thread only (the display timer feeds
// it, the graph's paint reads it); no locking.

#include <vector>

#include "analysis/AnalysisResult.h"
#include "units/Units.h"

// One straight piece of one harmonic's track, from t0 to t1 of its segment.
struct HarmonicLine {
    float pitch0 = 0.0f;      // cents re 440 Hz at t0
    float pitch1 = 0.0f;      // cents re 440 Hz at t1
    int opacity1 = 0;         // 0..255 at t1
    int harmonic = 0;         // harmonic index; 0 = the result's own fundamental
    float frequency0 = 0.0f;  // Hz at t0
    float frequency1 = 0.0f;  // Hz at t1
    float amplitude0 = 0.0f;  // dB at t0
    float amplitude1 = 0.0f;  // dB at t1
};

// The step between two consecutive results.
struct HarmonicSegment {
    float t0 = 0.0f;  // seconds since the start of the history
    float t1 = 0.0f;
    std::vector<HarmonicLine> lines;
};

// One harmonic of the last result taken.
struct HarmonicPoint {
    float frequency = 0.0f;  // Hz
    float amplitude = 0.0f;  // dB
    int opacity = 0;         // 0..255
    int harmonic = 0;
    float pitch = 0.0f;  // cents re 440 Hz of the compressed frequency
};

// Compression weights indexed by harmonic index. A harmonic whose index lies
// beyond the vector, or whose weight is not positive, is left out; entry 0 set
// to 0 suppresses the fundamental's own (index-0) line.
using HarmonicWeights = std::vector<float>;

// Pitch in cents re 440 Hz (FrequencyToCents), narrowed to float.
float HarmonicPitch(double frequencyHz);
// 20 * log10(amplitude); -inf for amplitude 0.
float AmplitudeToDb(double amplitude);
// trunc(255 x the level meter's position of dB): -60 dB and below is fully
// transparent, 0 dB opaque. Not-a-number gives 0.
int OpacityOfDb(double db);

class HarmonicHistory {
public:
    // The longest span the harmonics graph can show. Frames that would end a
    // segment later than this are not recorded, so a drone or hum held for
    // minutes cannot grow the history without limit.
    static constexpr auto MaxSeconds = static_cast<float>(Units::MaxTimeRangeSeconds);

    // Units::MaxHarmonic entries: entry 0 is 1, entry k is 1/k. Built once.
    static const HarmonicWeights& DefaultWeights();

    // Appends one analysis result with the default weights or with `weights`.
    void AddFrame(const NoteAnalyzer::AnalysisResult& result);
    void AddFrame(const NoteAnalyzer::AnalysisResult& result, const HarmonicWeights& weights);

    // Empties the segment list only.
    void Clear();
    // Clear, not started, generation + 1: the next frame begins a new track at
    // time 0 and viewers notice the change by the generation.
    void Restart();

    const std::vector<HarmonicSegment>& Segments() const { return segments_; }
    int Generation() const { return generation_; }
    bool Started() const { return started_; }
    float Time() const { return time_; }
    // End time of the last segment, 0 when there is none.
    float EndTime() const { return segments_.empty() ? 0.0f : segments_.back().t1; }
    // The newest segment, or nullptr.
    const HarmonicSegment* LastSegment() const { return segments_.empty() ? nullptr : &segments_.back(); }
    const std::vector<HarmonicPoint>& LastPoints() const { return lastPoints_; }
    float LastFrequency() const { return lastFrequency_; }
    float LastLevel() const { return lastLevel_; }
    int LastLevelByte() const { return lastLevelByte_; }
    float LastPitch() const { return lastPitch_; }

private:
    void TakeLastValues(const NoteAnalyzer::AnalysisResult& result);
    // The index-0 line from the last result's own fundamental to this one's.
    HarmonicLine FundamentalLine(const NoteAnalyzer::AnalysisResult& result) const;

    std::vector<HarmonicSegment> segments_;  // oldest first
    int generation_ = 1;
    float time_ = 0.0f;                      // seconds: time of the last result since the start
    std::vector<HarmonicPoint> lastPoints_;  // ascending harmonic index
    float lastFrequency_ = 0.0f;
    float lastLevel_ = 0.0f;
    int lastLevelByte_ = 0;
    float lastPitch_ = 0.0f;
    bool started_ = false;
};
