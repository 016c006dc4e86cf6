#include "pipeline/CompressionWeights.h"

#include <array>
#include <cmath>

#include "units/Units.h"

namespace {

using Units::CentsPerLogUnit;
using Units::MaxHarmonic;

// H[k]: cents of the k-th harmonic above its fundamental, k = 1..64.
const std::array<float, MaxHarmonic + 1>& HarmonicCents() {
    static const std::array<float, MaxHarmonic + 1> cents = [] {
        std::array<float, MaxHarmonic + 1> h{};
        for (int k = 1; k <= MaxHarmonic; ++k) {
            h[static_cast<std::size_t>(k)] =
                static_cast<float>(CentsPerLogUnit * std::log(static_cast<double>(k)));
        }
        return h;
    }();
    return cents;
}

// A band centre passed through Hz and back in single precision, the way the
// reading of a played note would arrive.
float RoundTripCents(float center) {
    const auto hz = static_cast<float>(CentsToFrequency(center));
    return static_cast<float>(FrequencyToCents(hz));
}

}  // namespace

HarmonicWeights CompressionWeights(const NoteTable& table, NoteIndex a, NoteIndex b) {
    HarmonicWeights w(CompressionWeightCount, 0.0f);
    const NoteBand* bandA = FindNoteBand(table, a);
    const NoteBand* bandB = FindNoteBand(table, b);
    if (bandA == nullptr || bandB == nullptr) {
        return w;
    }
    const auto& h = HarmonicCents();
    const float xA = RoundTripCents(bandA->center);
    const float xB = RoundTripCents(bandB->center);
    const float lowA = bandA->lower - xA;
    const float highA = bandA->upper - xA;

    for (int k = 1; k < MaxHarmonic; ++k) {
        const float y = h[static_cast<std::size_t>(k)] + xB;
        // Above a: divide by j (subtract H[j]); below a: multiply (add H[j]).
        // The error moves monotonically with j, so the walk stops once it has
        // left a's band on the far side.
        const bool above = y >= xA;
        int bestJ = 0;
        float bestE = 0.0f;
        for (int j = 1; j <= MaxHarmonic; ++j) {
            const float hj = h[static_cast<std::size_t>(j)];
            const float e = above ? y - hj - xA : y + hj - xA;
            if (j >= 2 && (above ? e < lowA : e > highA)) {
                break;
            }
            if (bestJ == 0 || std::fabs(e) < std::fabs(bestE)) {
                bestJ = j;
                bestE = e;
            }
        }
        if (bestJ != 0 && lowA < bestE && bestE < highA) {
            w[static_cast<std::size_t>(k)] =
                above ? 1.0f / static_cast<float>(bestJ) : static_cast<float>(bestJ);
        }
    }
    return w;
}
