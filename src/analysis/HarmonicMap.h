#pragma once

#include <map>

namespace NoteAnalyzer {

// One spectral peak of a frame, or one matched harmonic of a note.
struct SpectralPeak {
    double amplitude = 0.0;  // linear; a full-scale sinusoid reads about 1.0
    double frequency = 0.0;  // reassigned frequency in Hz
};

// Harmonic number (from 1) to the peak matched to it, iterated in increasing
// harmonic number.
using HarmonicMap = std::map<int, SpectralPeak>;

}  // namespace NoteAnalyzer
