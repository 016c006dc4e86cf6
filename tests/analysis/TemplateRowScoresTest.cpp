// Scoring every inharmonicity row side by side must add, in each row, exactly
// what scoring that row alone adds: checked against a plain walk over the
// region borders, bit for bit, in every row of every hypothesis.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "analysis/TemplateRowScores.h"

namespace {

using NoteAnalyzer::LogCentTables;
using NoteAnalyzer::RowScoreTables;

// One row's score, each peak's partial found by walking the borders.
double PlainRowScore(const std::vector<std::int64_t>& logs, const std::vector<double>& amplitudes,
                     std::int64_t c, int row) {
    const LogCentTables& t = LogCentTables::Instance();
    double score = 0.0;
    int k = 1;
    for (std::size_t j = 0; j < logs.size(); ++j) {
        const std::int64_t rel = logs[j] - c;
        if (rel < -RowScoreTables::Octave) continue;
        if (rel >= t.border[row][LogCentTables::MaxHarmonic]) break;
        while (k < LogCentTables::MaxHarmonic && t.border[row][k] < rel) ++k;
        const std::int64_t d = std::abs(rel - t.partial[row][k]);
        const std::int64_t g = std::min<std::int64_t>((d * k) >> 10, LogCentTables::GaussSize - 1);
        score += t.gauss[g] * amplitudes[j];
    }
    return score;
}

TEST(TemplateRowScores, EveryRowEqualsTheRowScoredAlone) {
    const LogCentTables& t = LogCentTables::Instance();
    const RowScoreTables tables(t);
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int n = 0; n < 300 && !HasFailure(); ++n) {
        SCOPED_TRACE(n);
        const int count = 1 + static_cast<int>(unit(rng) * RowScoreTables::MaxPeaks);
        std::vector<std::int64_t> logs(static_cast<std::size_t>(count));
        std::vector<double> amplitudes(logs.size());
        // Noise-like lists: positions anywhere over eight octaves, amplitudes
        // alike (a few exactly equal, some zero or subnormal), and a few peaks
        // placed exactly on a partial of some row.
        const std::int64_t strongest = 700000 + static_cast<std::int64_t>(unit(rng) * 500000);
        for (std::size_t j = 0; j < logs.size(); ++j) {
            logs[j] = strongest - 480000 + static_cast<std::int64_t>(unit(rng) * 960000);
            const double pick = unit(rng);
            amplitudes[j] = pick < 0.2    ? 0.25
                            : pick < 0.25 ? 0.0
                            : pick < 0.3  ? 4e-310
                                          : 0.2 + 0.1 * unit(rng);
        }
        const int h = 1 + static_cast<int>(unit(rng) * 40);
        for (std::size_t j = 0; j < logs.size(); j += 4) {
            const int row = static_cast<int>(unit(rng) * RowScoreTables::Rows);
            const int k = 1 + static_cast<int>(unit(rng) * 63);
            logs[j] = strongest - t.partial[row][h] + t.partial[row][k];
        }
        logs[0] = strongest;
        std::sort(logs.begin(), logs.end());
        double scores[RowScoreTables::Rows];
        double portable[RowScoreTables::Rows];
        std::vector<std::int32_t> offsets;
        for (const std::int64_t log : logs) offsets.push_back(static_cast<std::int32_t>(log - strongest));
        tables.ScoreEveryRow(logs.data(), amplitudes.data(), count, strongest, h, scores);
        tables.ScoreEveryRowPortably(offsets.data(), amplitudes.data(), count, h, portable);
        for (int row = 0; row < RowScoreTables::Rows; ++row) {
            const double plain = PlainRowScore(logs, amplitudes, strongest - t.partial[row][h], row);
            ASSERT_EQ(std::signbit(scores[row]), std::signbit(plain)) << row;
            ASSERT_EQ(scores[row], plain) << "row " << row << " h " << h;
            ASSERT_EQ(portable[row], plain) << "row " << row << " h " << h;
        }
    }
}

}  // namespace
