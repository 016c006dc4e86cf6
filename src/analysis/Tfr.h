#pragma once

#include <vector>

#include "analysis/HarmonicMap.h"
#include "analysis/RealFft.h"

namespace NoteAnalyzer {

// Blackman window of length n and the given gain (the tuner's variant: the
// denominator is n and the mirror is taken about (n-1)/2).
void BlackmanWindow(double* out, int n, double gain);

// Spectral front end: turns one frame of analysisSize samples into its spectral
// peaks, with frequencies refined by time-frequency reassignment and amplitudes
// by parabolic interpolation of the dB spectrum.
//
// Not thread-safe: one thread scans at a time (the owner serialises calls).
class TFR {
public:
    // analysisSize must be a power of two (the analyzer validates first).
    // Allocates every buffer up front; throws std::bad_alloc and leaves nothing
    // behind when that fails.
    TFR(int sampleRate, int analysisSize, int advanceSize);
    virtual ~TFR();

    TFR(const TFR&) = delete;
    TFR& operator=(const TFR&) = delete;

    // Clears `peaks` and fills it with the frame's peaks in increasing bin
    // (and frequency) order. `frame` holds analysisSize samples, oldest first.
    void ReassignedPeakScan(const double* frame, std::vector<SpectralPeak>& peaks);

    int SampleRate() const { return sampleRate; }
    int AnalysisSize() const { return analysisSize; }
    int AdvanceSize() const { return advanceSize; }
    // The divisor that makes a full-scale sinusoid read 1.0.
    double AmplitudeNorm() const { return amplitudeNorm; }
    // The three spectra of the last scan (packed real-FFT layout, n doubles).
    const double* PlainSpectrum() const { return plainSpectrum.get(); }
    const double* DerivativeSpectrum() const { return derivativeSpectrum.get(); }
    const double* RampSpectrum() const { return rampSpectrum.get(); }

private:
    // The scan's second step: every local maximum of `power` (bins 2 to
    // lastBin - 1) whose reassignment stays within one bin and half a hop
    // becomes a peak. Overwrites power[1].
    void CollectPeaks(double* power, int lastBin, std::vector<SpectralPeak>& peaks);

    int sampleRate;
    int analysisSize;
    int advanceSize;
    // Spectra (packed real-FFT layout) and the windows they are taken with.
    AlignedDoubles plainSpectrum;
    AlignedDoubles plainWindow;  // h
    AlignedDoubles derivativeSpectrum;
    AlignedDoubles derivativeWindow;  // dh, scaled so corrections come out in Hz
    AlignedDoubles rampSpectrum;
    AlignedDoubles rampWindow;  // th, h weighted by a ramp from -1 to +1
    AlignedDoubles scratch;     // the windowed frame, overwritten by the FFT
    // The scan's lists of candidate bins and their frequency corrections.
    std::vector<int> candidateBins;
    std::vector<double> frequencyCorrections;
    double amplitudeNorm = 1.0;
    const RealFftTables* fftTables;
};

}  // namespace NoteAnalyzer
