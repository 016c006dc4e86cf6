#include "analysis/TemplateRowScores.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#include <immintrin.h>
#endif

namespace NoteAnalyzer {

// The vector loop is built for x86-64 with GCC or Clang and run where the
// processor reports AVX2. Not on Windows: GCC there does not align the stack
// for spilled 32-byte vectors.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(_WIN32)
#define ZELVO_ROWS_AVX2 1
#endif

namespace {

constexpr int BucketShift = 10;

#ifdef ZELVO_ROWS_AVX2
bool HasAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

}  // namespace

RowScoreTables::RowScoreTables(const LogCentTables& t)
    : partial(static_cast<std::size_t>(Harmonics) * Lanes), border(partial.size()) {
    for (int lane = 0; lane < Lanes; ++lane) {
        const int i = std::min(lane, Rows - 1);
        for (int k = 0; k < Harmonics; ++k) {
            partial[static_cast<std::size_t>(k) * Lanes + static_cast<std::size_t>(lane)] = t.partial[i][k];
            border[static_cast<std::size_t>(k) * Lanes + static_cast<std::size_t>(lane)] = t.border[i][k];
        }
        top[lane] = t.border[i][LogCentTables::MaxHarmonic];
    }
    // Buckets of 1024 units from an octave below the strongest peak's
    // fundamental: borders lie at least 2600 units apart, so a bucket holds
    // at most one of them and one comparison finishes the lookup.
    const int highest = *std::max_element(top, top + Rows);
    const int buckets = ((highest + Octave) >> BucketShift) + 1;
    first.assign(static_cast<std::size_t>(buckets) * Lanes, 0);
    for (int lane = 0; lane < Lanes; ++lane) {
        const int i = std::min(lane, Rows - 1);
        int k = 1;
        for (int b = 0; b < buckets; ++b) {
            const int start = -Octave + (b << BucketShift);
            while (k < LogCentTables::MaxHarmonic && t.border[i][k] < start) ++k;
            first[static_cast<std::size_t>(b) * Lanes + static_cast<std::size_t>(lane)] = k;
        }
    }
    std::copy(t.gauss, t.gauss + LogCentTables::GaussSize, gauss);
#ifdef ZELVO_ROWS_AVX2
    vectorLanes = HasAvx2();
#endif
}

// Eight rows at a time with AVX2. Every lane adds exactly what the scalar
// loop adds for its row: the same integer steps, one product and one sum per
// term, no fused operation; a dropped term is masked to +0.0.

#ifdef ZELVO_ROWS_AVX2
namespace {

struct RowArrays {
    const std::int32_t* partialOfH;
    const std::int32_t* partials;
    const std::int32_t* borders;
    const std::int32_t* firsts;
    const std::int32_t* tops;
    const double* weights;
};

// The partial k of eight rows [i, i + 8) for the positions `at`, and its
// position. The rows share partial K when border[K - 1] < at <= border[K]
// in every lane (borders rise with k, so K is then the smallest k with
// border[k] >= at), read from consecutive entries; region 1 has no lower
// border. K is walked to from the previous block's at the first row. Lanes
// that do not share it take the bucket lookup, gathered per lane.
__attribute__((target("avx2"), always_inline)) inline void LanePartials(const RowArrays& a, int i, __m256i at,
                                                                        int& kGuess, __m256i& k,
                                                                        __m256i& partial) {
    constexpr int Rows = RowScoreTables::Lanes;  // the tables' stride
    const int firstAt = _mm256_extract_epi32(at, 0);
    while (a.borders[kGuess * Rows + i] < firstAt) ++kGuess;
    while (kGuess > 1 && a.borders[(kGuess - 1) * Rows + i] >= firstAt) --kGuess;
    const __m256i upper = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a.borders + kGuess * Rows + i));
    const __m256i lower =
        kGuess > 1 ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a.borders + (kGuess - 1) * Rows + i))
                   : _mm256_set1_epi32(INT32_MIN);
    const __m256i outside =
        _mm256_or_si256(_mm256_cmpgt_epi32(at, upper),
                        _mm256_xor_si256(_mm256_cmpgt_epi32(at, lower), _mm256_set1_epi32(-1)));
    if (_mm256_testz_si256(outside, outside)) {
        k = _mm256_set1_epi32(kGuess);
        partial = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a.partials + kGuess * Rows + i));
        return;
    }
    const __m256i stride = _mm256_set1_epi32(Rows);
    const __m256i row = _mm256_add_epi32(_mm256_set1_epi32(i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    const __m256i bucket =
        _mm256_srai_epi32(_mm256_add_epi32(at, _mm256_set1_epi32(RowScoreTables::Octave)), BucketShift);
    const __m256i k0 =
        _mm256_i32gather_epi32(a.firsts, _mm256_add_epi32(_mm256_mullo_epi32(bucket, stride), row), 4);
    const __m256i border =
        _mm256_i32gather_epi32(a.borders, _mm256_add_epi32(_mm256_mullo_epi32(k0, stride), row), 4);
    // cmpgt gives -1 where the border lies below: k = k0 + 1 there.
    k = _mm256_sub_epi32(k0, _mm256_cmpgt_epi32(at, border));
    partial = _mm256_i32gather_epi32(a.partials, _mm256_add_epi32(_mm256_mullo_epi32(k, stride), row), 4);
}

// Every lane of every peak, added to sums[0, Lanes).
__attribute__((target("avx2"))) void ScoreRowsAvx2(const RowArrays& a, const std::int32_t* offsets,
                                                   const double* amplitudes, int count, double* sums) {
    const __m256i lowest = _mm256_set1_epi32(-RowScoreTables::Octave);
    const __m256i belowLowest = _mm256_set1_epi32(-RowScoreTables::Octave - 1);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256i lastGauss = _mm256_set1_epi32(LogCentTables::GaussSize - 1);
    const __m256d every = _mm256_castsi256_pd(_mm256_set1_epi64x(-1));
    for (int j = 0; j < count; ++j) {
        const __m256i offset = _mm256_set1_epi32(offsets[j]);
        const __m256d amplitude = _mm256_set1_pd(amplitudes[j]);
        int kGuess = 1;
        for (int i = 0; i < RowScoreTables::Lanes; i += 8) {
            const __m256i top = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a.tops + i));
            const __m256i rel = _mm256_add_epi32(
                offset, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a.partialOfH + i)));
            const __m256i inRange =
                _mm256_and_si256(_mm256_cmpgt_epi32(rel, belowLowest), _mm256_cmpgt_epi32(top, rel));
            const __m256i at = _mm256_min_epi32(_mm256_max_epi32(rel, lowest), _mm256_sub_epi32(top, one));
            __m256i k, partial;
            LanePartials(a, i, at, kGuess, k, partial);
            const __m256i d = _mm256_abs_epi32(_mm256_sub_epi32(at, partial));
            const __m256i g = _mm256_min_epi32(_mm256_srai_epi32(_mm256_mullo_epi32(d, k), 10), lastGauss);
            const __m128i masks[2] = {_mm256_castsi256_si128(inRange), _mm256_extracti128_si256(inRange, 1)};
            const __m128i gs[2] = {_mm256_castsi256_si128(g), _mm256_extracti128_si256(g, 1)};
            for (int half = 0; half < 2; ++half) {
                const __m256d term = _mm256_mul_pd(
                    _mm256_mask_i32gather_pd(_mm256_setzero_pd(), a.weights, gs[half], every, 8), amplitude);
                const __m256d kept =
                    _mm256_and_pd(term, _mm256_castsi256_pd(_mm256_cvtepi32_epi64(masks[half])));
                double* sum = sums + i + 4 * half;
                _mm256_storeu_pd(sum, _mm256_add_pd(_mm256_loadu_pd(sum), kept));
            }
        }
    }
}

}  // namespace
#endif

void RowScoreTables::ScoreEveryRow(const std::int64_t* logs, const double* amplitudes, int count,
                                   std::int64_t strongestLog, int h, double (&scores)[Rows]) const {
    std::int32_t offsets[MaxPeaks];
    for (int j = 0; j < count; ++j) offsets[j] = static_cast<std::int32_t>(logs[j] - strongestLog);
#ifdef ZELVO_ROWS_AVX2
    if (vectorLanes) {
        const std::int32_t* partialOfH = partial.data() + static_cast<std::ptrdiff_t>(h) * Lanes;
        const RowArrays arrays{partialOfH, partial.data(), border.data(), first.data(), top, gauss};
        alignas(32) double sums[Lanes] = {};
        ScoreRowsAvx2(arrays, offsets, amplitudes, count, sums);
        std::copy(sums, sums + Rows, scores);
        return;
    }
#endif
    ScoreEveryRowPortably(offsets, amplitudes, count, h, scores);
}

void RowScoreTables::ScoreEveryRowPortably(const std::int32_t* offsets, const double* amplitudes, int count,
                                           int h, double (&scores)[Rows]) const {
    const std::int32_t* partialOfH = partial.data() + static_cast<std::ptrdiff_t>(h) * Lanes;
    for (int i = 0; i < Rows; ++i) scores[i] = 0.0;
    for (int j = 0; j < count; ++j) {
        const double amplitude = amplitudes[j];
        for (int i = 0; i < Rows; ++i) {
            // The peak relative to the row's fundamental strongestLog - partial[i][h].
            const std::int32_t rel = offsets[j] + partialOfH[i];
            const bool inRange = rel >= -Octave && rel < top[i];
            // Out of range the lookup is still made, on a position it can read;
            // the term is then dropped, and the row adds +0.0, which leaves its
            // sum unchanged.
            const std::int32_t at = std::min(std::max(rel, -Octave), top[i] - 1);
            const std::int32_t k0 = first[static_cast<std::size_t>((at + Octave) >> BucketShift) * Lanes +
                                          static_cast<std::size_t>(i)];
            const std::int32_t k =
                k0 + static_cast<std::int32_t>(
                         border[static_cast<std::size_t>(k0) * Lanes + static_cast<std::size_t>(i)] < at);
            const std::int32_t d =
                std::abs(at - partial[static_cast<std::size_t>(k) * Lanes + static_cast<std::size_t>(i)]);
            const std::int32_t g = std::min((d * k) >> 10, LogCentTables::GaussSize - 1);
            const double term = gauss[g] * amplitude;
            scores[i] += inRange ? term : 0.0;
        }
    }
}

}  // namespace NoteAnalyzer
