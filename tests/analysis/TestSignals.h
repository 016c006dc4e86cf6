#pragma once

// Synthetic signals for the analysis tests: sums of sinusoids, optionally
// quantised to 16 bits like captured input, fed to an analyzer hop by hop.

#include <cmath>
#include <vector>

#include "analysis/Analyzer.h"

namespace ZelvoTest {

struct Partial {
    double frequency, amplitude, phase = 0.0;
    double decayDbPerSecond = 0.0;  // exponential decay from sample 0 on
};

// n samples of the sum of the partials, starting at sample `start`.
inline std::vector<double> Synthesize(const std::vector<Partial>& partials, int sampleRate, long start, int n,
                                      bool quantise16 = false) {
    std::vector<double> out(static_cast<std::size_t>(n), 0.0);
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(start + i) / sampleRate;
        double& v = out[static_cast<std::size_t>(i)];
        for (const auto& p : partials) {
            const double gain =
                p.decayDbPerSecond == 0.0 ? 1.0 : std::pow(10.0, -p.decayDbPerSecond * t / 20.0);
            v += gain * p.amplitude * std::sin(6.283185307179586 * p.frequency * t + p.phase);
        }
        if (quantise16) v = std::round(v * 32767.0) / 32767.0;
    }
    return out;
}

// Harmonic tone: partial k at k*f0*sqrt(1 + stretch*k^2) with amplitude
// scale/k, for k in [firstHarmonic, lastHarmonic].
inline std::vector<Partial> HarmonicTone(double f0, int lastHarmonic, double scale = 0.25,
                                         int firstHarmonic = 1, double stretch = 0.0) {
    std::vector<Partial> partials;
    for (int k = firstHarmonic; k <= lastHarmonic; ++k)
        partials.push_back({k * f0 * std::sqrt(1.0 + stretch * k * k), scale / k, 0.3 * k});
    return partials;
}

// Feeds `hops` hops of the signal, quantised to 16 bits, to the analyzer,
// continuing at sample `clock`, and returns the last result.
inline NoteAnalyzer::AnalysisResult Feed(NoteAnalyzer::Analyzer& analyzer,
                                         const std::vector<Partial>& partials, int hops, long& clock) {
    const auto& s = analyzer.Settings();
    NoteAnalyzer::AnalysisResult last;
    for (int h = 0; h < hops; ++h) {
        last = analyzer.Process(Synthesize(partials, s.sampleRate, clock, s.advanceSize, true).data());
        clock += s.advanceSize;
    }
    return last;
}

inline double Cents(double f, double reference) {
    return 1200.0 * std::log2(f / reference);
}

}  // namespace ZelvoTest
