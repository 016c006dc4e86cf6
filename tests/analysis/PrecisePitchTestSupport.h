#pragma once

// Helpers of the precise pitch tests: whole signals through an analyzer, hop
// by hop, and what the tuner would show.

#include <cmath>
#include <vector>

#include "TestSignals.h"
#include "analysis/Analyzer.h"

namespace ZelvoTest::PrecisePitchTesting {

using NoteAnalyzer::AnalyzerSettings;
using ZelvoTest::Cents;
using ZelvoTest::Partial;

inline AnalyzerSettings Settings(int rate, int quality, bool precise) {
    AnalyzerSettings s = NoteAnalyzer::SettingsFor(rate, quality);
    s.precisePitch = precise;
    return s;
}

struct Hop {
    double time;  // seconds at the end of the hop
    double level, frequency;
};

// Every hop's level and reading for a whole signal (whole hops only).
inline std::vector<Hop> Analyse(const AnalyzerSettings& s, const std::vector<double>& signal,
                                double floor = -30.0) {
    NoteAnalyzer::Analyzer analyzer(s);
    analyzer.noiseFloor = floor;
    std::vector<Hop> hops;
    for (std::size_t at = 0; at + s.advanceSize <= signal.size(); at += s.advanceSize) {
        const auto r = analyzer.Process(signal.data() + at);
        hops.push_back({static_cast<double>(at + s.advanceSize) / s.sampleRate, r.level, r.frequency});
    }
    return hops;
}

inline double LastFrequency(int rate, int quality, bool precise, const std::vector<double>& signal) {
    return Analyse(Settings(rate, quality, precise), signal).back().frequency;
}

inline std::vector<double> Note(const std::vector<Partial>& partials, int rate, double seconds) {
    return ZelvoTest::Synthesize(partials, rate, 0, static_cast<int>(seconds * rate), true);
}

inline const Hop* LastReading(const std::vector<Hop>& hops) {
    const Hop* last = nullptr;
    for (const Hop& h : hops)
        if (h.frequency > 0.0) last = &h;
    return last;
}

// Readings more than `cents` away from f0; all readings by default.
inline int Readings(const std::vector<Hop>& hops, double f0 = 1.0, double cents = -1.0) {
    int off = 0;
    for (const Hop& h : hops) off += h.frequency > 0.0 && std::fabs(Cents(h.frequency, f0)) > cents;
    return off;
}

}  // namespace ZelvoTest::PrecisePitchTesting
