#pragma once

// The harmonic template match and frame estimate written the plain way: every
// hypothesis scored in every inharmonicity row, and each peak's partial found
// by walking the region borders. The engine's search skips rows it can prove
// to lose; its results must equal these bit for bit.

#include <span>

#include "analysis/AnalyzerSettings.h"
#include "analysis/FundamentalEstimation.h"

namespace ZelvoTest {

bool ReferenceMatchHarmonicTemplate(std::span<const NoteAnalyzer::SpectralPeak> selected,
                                    const NoteAnalyzer::AnalyzerSettings& settings, double& fundamental,
                                    double& inharmonicity, int& harmonicNumber);

// Peak selection, template match, harmonic map and power-weighted refinement
// of one frame, as NoteAnalyzer::EstimateFundamental does them.
NoteAnalyzer::FundamentalEstimate ReferenceEstimate(std::span<const NoteAnalyzer::SpectralPeak> peaks,
                                                    const NoteAnalyzer::AnalyzerSettings& settings);

}  // namespace ZelvoTest
