#include "ReferencePeakScan.h"

#include <cmath>

namespace ZelvoTest {

std::vector<NoteAnalyzer::SpectralPeak> ReferencePeaks(const NoteAnalyzer::TFR& tfr) {
    const int n = tfr.AnalysisSize();
    const double* xh = tfr.PlainSpectrum();
    const double* xd = tfr.DerivativeSpectrum();
    const double* xt = tfr.RampSpectrum();
    const int lastBin = n / 2 - 4;
    std::vector<NoteAnalyzer::SpectralPeak> peaks;
    if (lastBin <= 2) return peaks;
    std::vector<double> power(static_cast<std::size_t>(lastBin) + 1);
    for (int k = 0; k <= lastBin; ++k) power[k] = xh[2 * k] * xh[2 * k] + xh[2 * k + 1] * xh[2 * k + 1];
    const double binWidth = static_cast<double>(tfr.SampleRate()) / n;
    const double timeTolerance = tfr.AdvanceSize() * 0.5;
    double previous = 0.0;
    double current = power[2];
    int loggedBin = -1;
    double loggedValue = 0.0;
    auto logPower = [&](int bin, double p) {
        if (bin != loggedBin) {
            loggedBin = bin;
            loggedValue = std::log(p);
        }
        return loggedValue;
    };
    for (int k = 2; k < lastBin; ++k) {
        const double next = power[k + 1];
        if (current > next && current > previous) {
            const double hr = xh[2 * k], hi = xh[2 * k + 1];
            const double df = (hi * xd[2 * k] - hr * xd[2 * k + 1]) / current;
            const double dt = (hr * xt[2 * k] + hi * xt[2 * k + 1]) / current;
            if (std::fabs(df) < binWidth && std::fabs(dt) < timeTolerance) {
                const double frequency = k * static_cast<double>(tfr.SampleRate()) / n + df;
                double amplitude;
                if (next > 0.0 && current > 0.0 && previous > 0.0) {
                    const double a = logPower(k - 1, previous);
                    const double b = std::log(current);
                    const double c = logPower(k + 1, next);
                    const double height = b - ((a - c) * 0.5 / (a - 2.0 * b + c)) * ((a - c) * 0.25);
                    amplitude = std::exp(0.5 * height);
                } else {
                    amplitude = std::sqrt(current);
                }
                peaks.push_back({amplitude / tfr.AmplitudeNorm(), frequency});
            }
        }
        previous = current;
        current = next;
    }
    return peaks;
}

}  // namespace ZelvoTest
