#pragma once

// The peak scan of the spectral front end written the plain way: one pass over
// the bins, each local maximum judged and interpolated as it is met, the
// logarithms of neighbours shared between maxima two bins apart. The engine's
// scan must give the same peaks, bit for bit and in the same order.

#include <vector>

#include "analysis/Tfr.h"

namespace ZelvoTest {

// The peaks of the spectra `tfr` computed in its last scan.
std::vector<NoteAnalyzer::SpectralPeak> ReferencePeaks(const NoteAnalyzer::TFR& tfr);

}  // namespace ZelvoTest
