#include "pipeline/HarmonicHistory.h"

#include <cmath>
#include <cstddef>

#include "tuning/Cents.h"
#include "units/Units.h"

namespace {

// Belt and braces beside the 60 s limit: results always carry a hop duration
// of a few milliseconds, but a history fed hops of zero length must not grow
// without bound either. 60 s of the shortest hop (256 frames at 96 kHz) is
// 22500 segments.
constexpr std::size_t MaxSegments = 1u << 16;

bool IsUsableFrequency(double hz) {
    return std::isfinite(hz) && hz > 0.0;
}

}  // namespace

float HarmonicPitch(double frequencyHz) {
    return static_cast<float>(FrequencyToCents(frequencyHz));
}

float AmplitudeToDb(double amplitude) {
    return static_cast<float>(20.0 * std::log10(amplitude));
}

int OpacityOfDb(double db) {
    return static_cast<int>(std::trunc(Units::MeterPositionFromDb(db) * 255.0));
}

const HarmonicWeights& HarmonicHistory::DefaultWeights() {
    // A function-local static is initialised exactly once, thread-safely.
    static const HarmonicWeights weights = [] {
        HarmonicWeights w(Units::MaxHarmonic);
        w[0] = 1.0f;
        for (std::size_t k = 1; k < w.size(); ++k) {
            w[k] = 1.0f / static_cast<float>(k);
        }
        return w;
    }();
    return weights;
}

void HarmonicHistory::AddFrame(const NoteAnalyzer::AnalysisResult& result) {
    AddFrame(result, DefaultWeights());
}

void HarmonicHistory::Clear() {
    segments_.clear();
}

void HarmonicHistory::Restart() {
    Clear();
    started_ = false;
    ++generation_;
}

HarmonicLine HarmonicHistory::FundamentalLine(const NoteAnalyzer::AnalysisResult& result) const {
    HarmonicLine line;
    line.pitch0 = lastPitch_;
    line.pitch1 = HarmonicPitch(result.frequency);
    line.opacity1 = OpacityOfDb(result.level);
    line.harmonic = 0;
    line.frequency0 = lastFrequency_;
    line.frequency1 = static_cast<float>(result.frequency);
    line.amplitude0 = lastLevel_;
    line.amplitude1 = static_cast<float>(result.level);
    return line;
}

void HarmonicHistory::TakeLastValues(const NoteAnalyzer::AnalysisResult& result) {
    lastFrequency_ = static_cast<float>(result.frequency);
    lastLevel_ = static_cast<float>(result.level);
    lastLevelByte_ = OpacityOfDb(result.level);
    lastPitch_ = IsUsableFrequency(result.frequency) ? HarmonicPitch(result.frequency) : 0.0f;
}

namespace {

// The points of a result, one per harmonic with a usable weight, ascending by
// harmonic index.
std::vector<HarmonicPoint> PointsOf(const NoteAnalyzer::AnalysisResult& result,
                                    const HarmonicWeights& weights) {
    std::vector<HarmonicPoint> points;
    points.reserve(result.harmonics.size());
    for (const auto& [k, peak] : result.harmonics) {
        if (k < 0 || static_cast<std::size_t>(k) >= weights.size()) {
            continue;
        }
        const float w = weights[static_cast<std::size_t>(k)];
        if (!(w > 0.0f) || !IsUsableFrequency(peak.frequency)) {
            continue;
        }
        HarmonicPoint p;
        p.frequency = static_cast<float>(peak.frequency);
        p.amplitude = AmplitudeToDb(peak.amplitude);
        p.opacity = OpacityOfDb(p.amplitude);
        p.harmonic = k;
        p.pitch = HarmonicPitch(static_cast<double>(w) * peak.frequency);
        points.push_back(p);
    }
    return points;
}

// One line per harmonic present in both point lists, from its previous to its
// current point. Both lists ascend by harmonic index: one forward walk pairs
// them; a harmonic missing from the previous list leaves a gap.
void AppendHarmonicLines(const std::vector<HarmonicPoint>& previousPoints,
                         const std::vector<HarmonicPoint>& points, std::vector<HarmonicLine>& lines) {
    auto previous = previousPoints.cbegin();
    for (const HarmonicPoint& p : points) {
        while (previous != previousPoints.cend() && previous->harmonic < p.harmonic) {
            ++previous;
        }
        if (previous == previousPoints.cend() || previous->harmonic != p.harmonic) {
            continue;
        }
        HarmonicLine line;
        line.pitch0 = previous->pitch;
        line.pitch1 = p.pitch;
        line.opacity1 = p.opacity;
        line.harmonic = p.harmonic;
        line.frequency0 = previous->frequency;
        line.frequency1 = p.frequency;
        line.amplitude0 = previous->amplitude;
        line.amplitude1 = p.amplitude;
        lines.push_back(line);
    }
}

}  // namespace

void HarmonicHistory::AddFrame(const NoteAnalyzer::AnalysisResult& result, const HarmonicWeights& weights) {
    if (!started_) {
        time_ = 0.0f;
        TakeLastValues(result);
        lastPoints_ = PointsOf(result, weights);
        started_ = true;
        return;
    }

    const float hop = (std::isfinite(result.hopDuration) && result.hopDuration > 0.0)
                          ? static_cast<float>(result.hopDuration)
                          : 0.0f;
    // The graph shows at most the first MaxSeconds of a note; a held note
    // stops growing its history there.
    if (time_ + hop > MaxSeconds || segments_.size() >= MaxSegments) {
        return;
    }

    HarmonicSegment segment;
    segment.t0 = time_;

    if (!weights.empty() && weights[0] != 0.0f && IsUsableFrequency(result.frequency)) {
        segment.lines.push_back(FundamentalLine(result));
    }
    std::vector<HarmonicPoint> points = PointsOf(result, weights);
    AppendHarmonicLines(lastPoints_, points, segment.lines);

    time_ += hop;
    segment.t1 = time_;
    segments_.push_back(std::move(segment));
    TakeLastValues(result);
    lastPoints_ = std::move(points);
}
