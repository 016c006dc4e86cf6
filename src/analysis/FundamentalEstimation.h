#pragma once

#include <span>
#include <vector>

#include "analysis/AnalyzerSettings.h"
#include "analysis/HarmonicMap.h"
#include "units/Units.h"

namespace NoteAnalyzer {

// Integer log frequency in hundredths of a cent:
// trunc(ln(x) * 100 * Units::CentsPerLogUnit + 0.5). The inverse is
// 2^(value / 120000).
// Values that do not fit an int (x <= 0, NaN, huge x) are clamped to the int
// range so the conversion is always defined.
int LogCentUnits(double x);

// The tables of the harmonic template, built once per process on first use
// (thread-safe) and read-only afterwards.
struct LogCentTables {
    static constexpr int MaxHarmonic = Units::MaxHarmonic;
    static constexpr int InharmonicitySteps = 150;
    static constexpr double InharmonicityStep = 2.5e-06;
    static constexpr int GaussSize = 256;

    int harmonic[MaxHarmonic + 1];  // H[k] = L(k); H[0] = 0, never read
    // Predicted log position of partial k at inharmonicity index i, relative to
    // the fundamental, and the upper border of the region that belongs to it.
    int partial[InharmonicitySteps][MaxHarmonic + 1];
    int border[InharmonicitySteps][MaxHarmonic + 1];
    double gauss[GaussSize];  // e^(-100 (j/128)^2)

    static const LogCentTables& Instance();
};

// Builds the process-wide tables of the template match now instead of on the
// first estimate, so that the first analysed hop neither waits nor allocates.
void PrepareTemplateTables();

// The estimate of one frame.
struct FundamentalEstimate {
    double frequency = -1.0;  // refined fundamental in Hz; -1.0 for none
    HarmonicMap harmonics;
    double inharmonicity = 1.0;       // B; 1.0 when none
    double frameFundamental = -1.0;   // template fundamental before refinement
    int strongestHarmonic = 0;        // harmonic number of the strongest peak
    std::vector<SpectralPeak> peaks;  // all input peaks, unchanged
};

// Harmonic template match on the peaks of one frame (in increasing frequency
// order). Reads minFundamental, the tilt frequencies and octaveBias.
// `released` (Hz, precise pitch only): a note the estimate is not to be
// moved down to, as it is being let go; -1.0 for none.
FundamentalEstimate EstimateFundamental(std::span<const SpectralPeak> peaks, const AnalyzerSettings& settings,
                                        double released = -1.0);

// Matches the selected peaks (at most 20, sorted by increasing frequency) to the
// template. On success sets the fundamental (Hz), the inharmonicity B and the
// harmonic number given to the strongest peak, and returns true.
bool MatchHarmonicTemplate(std::span<const SpectralPeak> selected, const AnalyzerSettings& settings,
                           double& fundamental, double& inharmonicity, int& harmonicNumber);

// The harmonic number n (1 to 64) whose partial n*f0*(1 + B n^2) lies within
// 50 cents of the frequency, or 0 when none does.
int NearestHarmonic(double frequency, double fundamental, double inharmonicity);

// Assigns every peak to its nearest partial k*f0*(1 + B k^2) within 50 cents,
// keeping the strongest peak per harmonic number; harmonic numbers are 1 to 64.
void BuildHarmonicMap(std::span<const SpectralPeak> peaks, double fundamental, double inharmonicity,
                      HarmonicMap& map);

}  // namespace NoteAnalyzer
