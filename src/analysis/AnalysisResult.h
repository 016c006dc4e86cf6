#pragma once

#include <vector>

#include "analysis/HarmonicMap.h"

namespace NoteAnalyzer {

// What the analyzer returns for every hop. Owns its map and list, so it can be
// copied into the window's result queue and read on another thread.
struct AnalysisResult {
    double level = 0.0;               // frame level in dB; always set
    double frequency = -1.0;          // consensus fundamental in Hz; -1.0 = no reading
    HarmonicMap harmonics;            // current frame's map when frequency != -1.0
    double hopDuration = 0.0;         // advanceSize / sampleRate in seconds; always set
    double inharmonicity = 1.0;       // B of the frame's estimate; 0.0 for one peak; 1.0 when none
    double frameFundamental = -1.0;   // the frame's template fundamental in Hz; -1.0 when none
    int strongestHarmonic = 0;        // harmonic number of the frame's strongest peak; 0 when none
    std::vector<SpectralPeak> peaks;  // every peak of the frame; empty when not analysed
};

}  // namespace NoteAnalyzer
