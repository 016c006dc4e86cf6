#pragma once

// The score of one hypothesis of the template match in every inharmonicity
// row at once. Each row's score is the same sum, term for term and in the
// same order, as scoring the row on its own; the rows are independent, so
// they are computed side by side in vector lanes.

#include <cstdint>
#include <vector>

#include "analysis/FundamentalEstimation.h"

namespace NoteAnalyzer {

class RowScoreTables {
public:
    static constexpr int Rows = LogCentTables::InharmonicitySteps;
    // The tables' row count rounded up to whole blocks of eight; the extra
    // rows repeat the last one and their scores are never used.
    static constexpr int Lanes = (Rows + 7) / 8 * 8;
    static constexpr int Harmonics = LogCentTables::MaxHarmonic + 1;
    static constexpr int Octave = 120000;  // one octave in LogCentUnits
    // Peaks further than this from the strongest one (in LogCentUnits) make
    // the differences of positions leave the range the lanes compute in.
    static constexpr std::int64_t Reach = std::int64_t{1} << 28;
    static constexpr int MaxPeaks = 20;

    explicit RowScoreTables(const LogCentTables& t);

    // scores[i] = the score of row i for the fundamental strongestLog -
    // partial[i][h]: the sum, in peak order, of amplitude times the Gaussian
    // weight of every peak from an octave below that fundamental up to the
    // row's last border. Needs at most MaxPeaks peaks sorted by log position, finite
    // non-negative amplitudes and logs within Reach of strongestLog.
    void ScoreEveryRow(const std::int64_t* logs, const double* amplitudes, int count,
                       std::int64_t strongestLog, int h, double (&scores)[Rows]) const;

    // The same scores one row at a time, for peaks given by their offsets
    // from strongestLog: what processors without AVX2 run.
    void ScoreEveryRowPortably(const std::int32_t* offsets, const double* amplitudes, int count, int h,
                               double (&scores)[Rows]) const;

private:
    // Tables laid out row-minor so that neighbouring rows, which mostly ask
    // for the same partial, read neighbouring entries.
    std::vector<std::int32_t> partial;  // [k][row]
    std::vector<std::int32_t> border;   // [k][row]
    std::vector<std::int32_t> first;    // [bucket][row]: smallest k with border >= bucket start
    std::int32_t top[Lanes];            // border[row][MaxHarmonic]
    double gauss[LogCentTables::GaussSize];
    bool vectorLanes = false;  // whether the processor has AVX2
};

}  // namespace NoteAnalyzer
