#pragma once

#include <cstddef>
#include <memory>

namespace NoteAnalyzer {

// Twiddle and post-processing tables of the real FFT of one length. Built once
// per length and kept, unchanged, for the life of the process (see
// RealFftTablesFor), so a reference to them stays valid.
struct RealFftTables;

// The tables for length n (a power of two, n >= 1), building them on first use.
// Safe to call from several threads; the cache is guarded by a mutex.
// Throws std::bad_alloc when the tables cannot be allocated and
// std::invalid_argument when n is not a power of two.
const RealFftTables& RealFftTablesFor(int n);

// Forward real FFT of length n (a power of two, n >= 1). With
// X[k] = sum_j in[j] * exp(-2*pi*i*j*k/n) the output holds, unscaled:
//   out[0] = Re X[0], out[1] = -Re X[n/2] (the Nyquist term, sign inverted),
//   out[2k] = Re X[k], out[2k+1] = Im X[k] for 1 <= k < n/2.
// `in` is used as work space and is overwritten; in and out must not overlap.
void RealFft(double* in, double* out, int n);

// The same with tables already fetched, for callers that transform often and
// want no cache lookup on their hot path. `tables` must be those of length n
// (std::invalid_argument otherwise).
void RealFft(double* in, double* out, int n, const RealFftTables& tables);

// The transform of frame[j] * window[j] (both n doubles, left unchanged), with
// the windowing folded into the transform's first pass over the data. `work`
// (n doubles) is overwritten; out receives the spectrum as RealFft gives it.
// None of frame, window and work may overlap out.
void WindowedRealFft(const double* frame, const double* window, double* work, double* out, int n,
                     const RealFftTables& tables);

// Deleter and owner of 32-byte aligned arrays of doubles.
struct AlignedDelete {
    void operator()(double* p) const noexcept;
};
using AlignedDoubles = std::unique_ptr<double[], AlignedDelete>;

// count doubles, 32-byte aligned and zeroed. Throws std::bad_alloc on failure.
AlignedDoubles AllocateAlignedDoubles(std::size_t count);

}  // namespace NoteAnalyzer
