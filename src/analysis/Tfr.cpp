#include "analysis/Tfr.h"

#include <cmath>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace NoteAnalyzer {

namespace {
// The window and calibration formulas use these decimals, not full-precision
// 2*pi and 4*pi; the reassignment scaling depends on the same value.
constexpr double WindowTwoPi = 6.28318530718;
constexpr double WindowFourPi = 12.56637061436;

// power[k] = |X[k]|^2 for bins 0 to lastBin of a packed spectrum, computed two
// at a time so the compiler vectorises it.
void BinPowers(const double* spectrum, int lastBin, double* power) {
    int bin = 0;
    for (; bin + 1 <= lastBin; bin += 2) {
        const double r0 = spectrum[2 * bin], i0 = spectrum[2 * bin + 1];
        const double r1 = spectrum[2 * bin + 2], i1 = spectrum[2 * bin + 3];
        const double p0 = r0 * r0 + i0 * i0, p1 = r1 * r1 + i1 * i1;
        power[bin] = p0;
        power[bin + 1] = p1;
    }
    for (; bin <= lastBin; ++bin) {
        power[bin] = spectrum[2 * bin] * spectrum[2 * bin] + spectrum[2 * bin + 1] * spectrum[2 * bin + 1];
    }
}

// Height of the parabola through the three log powers a, b, c of a peak and
// its neighbours: the parabola through the dB values, scaled to natural logs
// (the vertex formula is homogeneous), so that the amplitude is
// exp(height / 2) without sqrt, log10 or pow.
double ParabolaPeakAmplitude(double a, double b, double c) {
    const double height = b - ((a - c) * 0.5 / (a - 2.0 * b + c)) * ((a - c) * 0.25);
    return std::exp(0.5 * height);
}

// Bin offsets of the set bits of a 4-bit mask, lowest first, and how many
// there are.
struct MaskBins {
    int count;
    int offset[4];
};
constexpr MaskBins MakeMaskBins(int mask) {
    MaskBins m{0, {0, 0, 0, 0}};
    for (int bit = 0; bit < 4; ++bit) {
        if (mask & (1 << bit)) m.offset[m.count++] = bit;
    }
    return m;
}
constexpr MaskBins MaskTable[16] = {MakeMaskBins(0),  MakeMaskBins(1),  MakeMaskBins(2),  MakeMaskBins(3),
                                    MakeMaskBins(4),  MakeMaskBins(5),  MakeMaskBins(6),  MakeMaskBins(7),
                                    MakeMaskBins(8),  MakeMaskBins(9),  MakeMaskBins(10), MakeMaskBins(11),
                                    MakeMaskBins(12), MakeMaskBins(13), MakeMaskBins(14), MakeMaskBins(15)};

// The local maxima of power over bins 2 to lastBin - 1 (power[1] set to 0 so
// that bin 2 is judged against bin 3 alone), in bin order, listed without a
// branch per bin: on a noisy spectrum whether a bin is a maximum is a coin
// toss that no predictor learns. Four bins are compared at a time where the
// processor has two-lane compares (the same comparisons, false for NaN as in
// C++). Returns their number; `bins` is written up to four entries past the
// last.
int ListLocalMaxima(const double* power, int lastBin, int* bins) {
    int found = 0;
    int k = 2;
#if defined(__SSE2__)
    for (; k + 4 <= lastBin; k += 4) {
        const __m128d low = _mm_loadu_pd(power + k), high = _mm_loadu_pd(power + k + 2);
        const __m128d lowIsMax = _mm_and_pd(_mm_cmpgt_pd(low, _mm_loadu_pd(power + k + 1)),
                                            _mm_cmpgt_pd(low, _mm_loadu_pd(power + k - 1)));
        const __m128d highIsMax = _mm_and_pd(_mm_cmpgt_pd(high, _mm_loadu_pd(power + k + 3)),
                                             _mm_cmpgt_pd(high, _mm_loadu_pd(power + k + 1)));
        const MaskBins& m = MaskTable[_mm_movemask_pd(lowIsMax) | (_mm_movemask_pd(highIsMax) << 2)];
        for (int j = 0; j < 4; ++j) bins[found + j] = k + m.offset[j];
        found += m.count;
    }
#endif
    for (; k < lastBin; ++k) {
        bins[found] = k;
        found += static_cast<int>(power[k] > power[k + 1]) & static_cast<int>(power[k] > power[k - 1]);
    }
    return found;
}

struct Spectra {
    const double* plain;       // X_h
    const double* derivative;  // X_dh
    const double* ramp;        // X_th
};

// Of the `found` maxima in `bins`, keeps those whose reassignment stays within
// one bin and half a hop, in place and in bin order, with their frequency
// corrections. Returns the number kept.
int KeepReassignedMaxima(const Spectra& x, const double* power, double binWidth, double timeTolerance,
                         int* bins, int found, double* corrections) {
    int kept = 0;
    for (int j = 0; j < found; ++j) {
        const int k = bins[j];
        const double current = power[k];
        const double hr = x.plain[2 * k], hi = x.plain[2 * k + 1];
        const double df = (hi * x.derivative[2 * k] - hr * x.derivative[2 * k + 1]) / current;
        const double dt = (hr * x.ramp[2 * k] + hi * x.ramp[2 * k + 1]) / current;
        bins[kept] = k;
        corrections[kept] = df;
        kept += static_cast<int>(std::fabs(df) < binWidth) & static_cast<int>(std::fabs(dt) < timeTolerance);
    }
    return kept;
}

}  // namespace

void BlackmanWindow(double* out, int n, double gain) {
    if (n <= 0) return;
    out[0] = 0.0;
    out[n - 1] = 0.0;
    for (int i = 1; i <= n / 2 - 1; ++i) {
        const double v =
            gain * 0.5 * (0.84 - std::cos(i * WindowTwoPi / n) + 0.16 * std::cos(i * WindowFourPi / n));
        out[i] = v;
        out[n - 1 - i] = v;
    }
    if (n % 2 == 1) out[n / 2] = gain;
}

TFR::TFR(int sampleRate_, int analysisSize_, int advanceSize_)
    : sampleRate(sampleRate_),
      analysisSize(analysisSize_),
      advanceSize(advanceSize_),
      fftTables(&RealFftTablesFor(analysisSize_)) {
    const std::size_t n = static_cast<std::size_t>(analysisSize);
    plainSpectrum = AllocateAlignedDoubles(n);
    plainWindow = AllocateAlignedDoubles(n);
    derivativeSpectrum = AllocateAlignedDoubles(n);
    derivativeWindow = AllocateAlignedDoubles(n);
    rampSpectrum = AllocateAlignedDoubles(n);
    rampWindow = AllocateAlignedDoubles(n);
    scratch = AllocateAlignedDoubles(n);
    // Maxima lie at least two bins apart below bin n/2; the listing writes up
    // to four entries past the last maximum.
    candidateBins.assign(n / 4 + 5, 0);
    frequencyCorrections.assign(n / 4 + 5, 0.0);

    BlackmanWindow(plainWindow.get(), analysisSize, 1.0);

    // dh: first difference of a window one sample longer whose gain turns the
    // phase relation of the reassignment directly into hertz.
    {
        AlignedDoubles longer = AllocateAlignedDoubles(n + 1);
        BlackmanWindow(longer.get(), analysisSize + 1, sampleRate / WindowTwoPi);
        for (std::size_t i = 0; i < n; ++i) derivativeWindow[i] = longer[i + 1] - longer[i];
    }

    // th: h weighted by a ramp from -1 at the first sample to +1 at the last.
    BlackmanWindow(rampWindow.get(), analysisSize, 1.0);
    for (int i = 0; i < analysisSize; ++i) rampWindow[i] *= (i * 2.0 / (analysisSize - 1) - 1.0);

    // Calibrate with a unit sinusoid half-way between two bins, the worst case
    // of the parabolic interpolation, so such a tone reads exactly 1.0.
    const int bin = analysisSize / 25;
    const double f = sampleRate * (bin + 0.5) / analysisSize;
    AlignedDoubles testFrame = AllocateAlignedDoubles(n);
    for (int i = 0; i < analysisSize; ++i) testFrame[i] = std::sin(WindowTwoPi * i * f / sampleRate);
    std::vector<SpectralPeak> peaks;
    ReassignedPeakScan(testFrame.get(), peaks);
    double largest = 0.0;
    for (const auto& p : peaks) {
        if (p.amplitude > largest) largest = p.amplitude;
    }
    // Frames too short to hold the test tone keep the neutral divisor.
    if (largest > 0.0 && std::isfinite(largest)) amplitudeNorm = largest;
}

TFR::~TFR() = default;

void TFR::ReassignedPeakScan(const double* frame, std::vector<SpectralPeak>& peaks) {
    peaks.clear();
    const int n = analysisSize;
    double* xh = plainSpectrum.get();
    double* xd = derivativeSpectrum.get();
    double* xt = rampSpectrum.get();
    // The three windowed transforms; each product frame * window is formed as
    // the transform first reads the frame, with scratch as its work space.
    WindowedRealFft(frame, plainWindow.get(), scratch.get(), xh, n, *fftTables);
    WindowedRealFft(frame, derivativeWindow.get(), scratch.get(), xd, n, *fftTables);
    WindowedRealFft(frame, rampWindow.get(), scratch.get(), xt, n, *fftTables);

    const int lastBin = n / 2 - 4;  // candidates k satisfy 2 <= k < lastBin
    if (lastBin <= 2) return;
    // The scratch frame is free again: it holds the power of every bin the scan
    // reads (0 to lastBin).
    double* power = scratch.get();
    BinPowers(xh, lastBin, power);
    CollectPeaks(power, lastBin, peaks);
}

void TFR::CollectPeaks(double* power, int lastBin, std::vector<SpectralPeak>& peaks) {
    const int n = analysisSize;
    const double binWidth = static_cast<double>(sampleRate) / n;
    const double timeTolerance = advanceSize * 0.5;
    // Bins 0 and 1 are never candidates; bin 1's power counts as 0 when bin 2
    // is judged, so bin 2 is compared with bin 3 alone.
    power[1] = 0.0;

    int* bins = candidateBins.data();
    const int found = ListLocalMaxima(power, lastBin, bins);
    double* corrections = frequencyCorrections.data();
    const int kept =
        KeepReassignedMaxima(Spectra{plainSpectrum.get(), derivativeSpectrum.get(), rampSpectrum.get()},
                             power, binWidth, timeTolerance, bins, found, corrections);

    // ln P of the last bin whose logarithm was taken: peaks two bins apart share
    // a neighbour, and noisy frames have many of them.
    int loggedBin = -1;
    double loggedValue = 0.0;
    auto logPower = [&](int bin) {
        if (bin != loggedBin) {
            loggedBin = bin;
            loggedValue = std::log(power[bin]);
        }
        return loggedValue;
    };
    for (int j = 0; j < kept; ++j) {
        const int k = bins[j];
        const double previous = power[k - 1], current = power[k], next = power[k + 1];
        const double frequency = k * static_cast<double>(sampleRate) / n + corrections[j];
        double amplitude;
        if (next > 0.0 && current > 0.0 && previous > 0.0) {
            const double a = logPower(k - 1);
            const double b = std::log(current);
            const double c = logPower(k + 1);
            amplitude = ParabolaPeakAmplitude(a, b, c);
        } else {
            amplitude = std::sqrt(current);
        }
        peaks.push_back(SpectralPeak{amplitude / amplitudeNorm, frequency});
    }
}

}  // namespace NoteAnalyzer
