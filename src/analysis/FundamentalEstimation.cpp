#include "analysis/FundamentalEstimation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "analysis/PrecisePitch.h"
#include "units/Units.h"

namespace NoteAnalyzer {

namespace {

constexpr int MaxSelected = 20;

// Sorts a handful of peaks by frequency. A plain insertion sort: it stays
// well-defined even for NaN frequencies, which std::sort does not promise.
void SortByFrequency(SpectralPeak* peaks, int count) {
    for (int i = 1; i < count; ++i) {
        const SpectralPeak v = peaks[i];
        int j = i;
        while (j > 0 && peaks[j - 1].frequency > v.frequency) {
            peaks[j] = peaks[j - 1];
            --j;
        }
        peaks[j] = v;
    }
}

// The strongest peaks of the frame, at most MaxSelected, largest first, the
// earlier peak winning equal amplitudes. Amplitudes are tilted up to
// tiltHighFrequency (favouring higher partials against the falling spectrum
// of most instruments); leading peaks at or below the usable range are
// skipped. Returns the number selected.
int SelectStrongestPeaks(std::span<const SpectralPeak> peaks, const AnalyzerSettings& settings,
                         SpectralPeak (&selected)[MaxSelected]) {
    const double lower = std::max(settings.tiltLowFrequency, settings.minFundamental / Units::SemitoneRatio);
    std::size_t first = 0;
    while (first < peaks.size() && peaks[first].frequency <= lower) ++first;

    const double span = std::fabs(settings.tiltHighFrequency - settings.tiltLowFrequency);
    int selectedCount = 0;
    bool tilting = true;
    for (std::size_t j = first; j < peaks.size(); ++j) {
        SpectralPeak weighted = peaks[j];
        if (tilting && weighted.frequency <= settings.tiltHighFrequency) {
            weighted.amplitude = (weighted.frequency - settings.tiltLowFrequency) * weighted.amplitude / span;
        } else {
            tilting = false;
        }
        if (selectedCount == MaxSelected && !(weighted.amplitude > selected[MaxSelected - 1].amplitude))
            continue;
        int pos = selectedCount < MaxSelected ? selectedCount : MaxSelected - 1;
        while (pos > 0 && weighted.amplitude > selected[pos - 1].amplitude) {
            if (pos < MaxSelected) selected[pos] = selected[pos - 1];
            --pos;
        }
        selected[pos] = weighted;
        if (selectedCount < MaxSelected) ++selectedCount;
    }
    return selectedCount;
}

// The fundamental refined from all matched harmonics, weighted by power. The
// division by n alone leaves the inharmonic stretch in the refined value.
// The template's f0 stays when the harmonics carry no power.
double RefinedFundamental(const HarmonicMap& harmonics, double f0) {
    double s1 = 0.0;
    double s2 = 0.0;
    for (const auto& [n, peak] : harmonics) {
        const double power = peak.amplitude * peak.amplitude;
        s1 += power;
        s2 += power * peak.frequency / n;
    }
    return s1 > 0.0 ? s2 / s1 : f0;
}

// NearestHarmonic gives a peak harmonic n only within 50 cents of n's
// partial. These windows reach 50.01 cents to either side, so they hold every
// peak it can accept with room for the rounding of its test, and a peak
// outside all of them can be dropped without that test (a cube root and a
// logarithm). With b >= 0 the partials rise with n, and a pass over peaks in
// increasing frequency finds each one's window by moving forward.
class PartialWindows {
public:
    PartialWindows(double fundamental, double b)
        : used(b >= 0.0 && std::isfinite(b) && fundamental > 0.0 && std::isfinite(fundamental)) {
        if (!used) return;
        static const double below = std::exp2(-50.01 / 1200.0);
        static const double above = std::exp2(50.01 / 1200.0);
        for (int n = 1; n <= LogCentTables::MaxHarmonic; ++n) {
            const double partial = (n * b * n + 1.0) * n * fundamental;
            low[n] = partial * below;
            high[n] = partial * above;
            partials[n] = partial;
            // The frequencies whose root k of k (1 + b k^2) = f / f0 rounds to
            // n; below b = 1e-7 NearestHarmonic takes k = f / f0 itself.
            const double lowK = n - 0.5, highK = n + 0.5;
            intervalLow[n] = (b < 1e-7 ? lowK : lowK * (1.0 + b * lowK * lowK)) * fundamental;
            intervalHigh[n] = (b < 1e-7 ? highK : highK * (1.0 + b * highK * highK)) * fundamental;
        }
    }

    // False only when no partial lies within 50 cents of the frequency.
    bool MayHold(double frequency) {
        if (!used) return true;
        if (frequency < previous) next = 1;  // out of order: search from the start
        previous = frequency;
        while (next <= LogCentTables::MaxHarmonic && high[next] <= frequency) ++next;
        return next <= LogCentTables::MaxHarmonic && frequency >= low[next];
    }

    // NearestHarmonic's answer for a frequency that lies clearly inside the
    // interval of one harmonic number and clearly inside or outside its
    // 50-cent window: that number or 0, without the cube root and logarithm.
    // -1 when the frequency lies so near a border that only the exact test
    // can tell. The margins (1e-9 of the frequency, 0.01 cent) are far wider
    // than the rounding of either computation.
    int ClearHarmonic(double frequency) {
        if (!used) return -1;
        if (frequency < previousClear) interval = 1;
        previousClear = frequency;
        while (interval <= LogCentTables::MaxHarmonic && intervalHigh[interval] <= frequency) ++interval;
        if (interval > LogCentTables::MaxHarmonic) return -1;
        const int n = interval;
        constexpr double Margin = 1e-9;
        if (!(frequency >= intervalLow[n] * (1.0 + Margin) && frequency < intervalHigh[n] * (1.0 - Margin)))
            return -1;
        static const double innerBelow = std::exp2(-49.99 / 1200.0);
        static const double innerAbove = std::exp2(49.99 / 1200.0);
        if (frequency >= partials[n] * innerBelow && frequency <= partials[n] * innerAbove) return n;
        if (frequency < low[n] || frequency > high[n]) return 0;
        return -1;
    }

private:
    bool used;
    int next = 1;
    double previous = 0.0;
    int interval = 1;
    double previousClear = 0.0;
    double low[LogCentTables::MaxHarmonic + 1] = {};
    double high[LogCentTables::MaxHarmonic + 1] = {};
    double partials[LogCentTables::MaxHarmonic + 1] = {};
    double intervalLow[LogCentTables::MaxHarmonic + 1] = {};
    double intervalHigh[LogCentTables::MaxHarmonic + 1] = {};
};

}  // namespace

int NearestHarmonic(double frequency, double fundamental, double inharmonicity) {
    const double b = inharmonicity;
    const double ratio = frequency / fundamental;
    double k;
    if (b < 1e-7) {
        k = ratio;
    } else {
        // Real root of b k^3 + k = f / f0 (Cardano; the cubic has one).
        const double p = 1.0 / b;
        const double q = -(frequency / (fundamental * b));
        const double s = std::sqrt(q * q + 4.0 * p * p * p / 27.0);
        const double r = std::cbrt((s - q) / 2.0);
        k = r - p / (3.0 * r);
    }
    // Harmonic numbers beyond the template's 64 partials are not kept; the
    // range test also keeps the conversion to int defined.
    if (!(k >= 0.5 && k < LogCentTables::MaxHarmonic + 0.5)) return 0;
    const int n = static_cast<int>(std::round(k));
    const double model = (n * b * n + 1.0) * n * fundamental;
    const double deviation = 1200.0 * std::log2(frequency / model);
    return std::fabs(deviation) < 50.0 ? n : 0;
}

void BuildHarmonicMap(std::span<const SpectralPeak> peaks, double fundamental, double inharmonicity,
                      HarmonicMap& map) {
    map.clear();
    const double b = inharmonicity;
    // k(1 + b k^2) grows with k, so the harmonic numbers 1 to 64 (k in
    // [0.5, 64.5)) are exactly the ratios f / f0 in [lowest, highest). Testing
    // the ratio first spares the cube root for the many peaks of a noisy frame
    // that lie far above the 64th partial.
    const double lowest = 0.5 * (1.0 + b * 0.25);
    const double topK = LogCentTables::MaxHarmonic + 0.5;
    const double highest = topK * (1.0 + b * topK * topK);
    PartialWindows windows(fundamental, b);
    for (const SpectralPeak& peak : peaks) {
        const double ratio = peak.frequency / fundamental;
        if (!(ratio >= lowest && ratio < highest)) continue;
        if (!windows.MayHold(peak.frequency)) continue;
        int n = windows.ClearHarmonic(peak.frequency);
        if (n < 0) n = NearestHarmonic(peak.frequency, fundamental, b);
        if (n == 0) continue;
        auto it = map.find(n);
        if (it == map.end()) {
            map.emplace(n, peak);
        } else if (it->second.amplitude < peak.amplitude) {
            it->second = peak;
        }
    }
}

FundamentalEstimate EstimateFundamental(std::span<const SpectralPeak> peaks, const AnalyzerSettings& settings,
                                        double released) {
    FundamentalEstimate result;
    result.peaks.assign(peaks.begin(), peaks.end());
    if (peaks.empty()) return result;

    SpectralPeak selected[MaxSelected];
    const int selectedCount = SelectStrongestPeaks(peaks, settings, selected);
    if (selectedCount == 0) return result;
    SortByFrequency(selected, selectedCount);

    if (selectedCount == 1) {
        result.frequency = result.frameFundamental = selected[0].frequency;
        result.inharmonicity = 0.0;
        BuildHarmonicMap(peaks, selected[0].frequency, 0.0, result.harmonics);
        return result;
    }

    double f0 = 0.0;
    double b = 0.0;
    int h = 0;
    if (!MatchHarmonicTemplate(
            std::span<const SpectralPeak>(selected, static_cast<std::size_t>(selectedCount)), settings, f0, b,
            h))
        return result;
    result.strongestHarmonic = h;
    result.frameFundamental = f0;
    result.inharmonicity = b;
    if (settings.precisePitch) {
        BuildHarmonicMap(peaks, f0, b, result.harmonics);
        PreferLowerFundamental(peaks, settings.minFundamental, released, result);
        result.frequency =
            StretchCorrectedFundamental(result.harmonics, result.inharmonicity, result.frameFundamental);
        return result;
    }
    BuildHarmonicMap(peaks, f0, b, result.harmonics);
    result.frequency = RefinedFundamental(result.harmonics, f0);
    return result;
}

}  // namespace NoteAnalyzer