#include "analysis/RealFft.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <vector>

// The real transform of length n runs as a complex FFT of length M = n/2 on the
// pairs z[j] = x[2j] + i*x[2j+1], followed by a pass that separates the spectra
// of the even and odd samples and combines them into the spectrum of x.
//
// The complex FFT is a radix-4 Stockham (self-sorting) decimation in frequency
// with one radix-2 step when log2(M) is odd. Stockham needs no bit-reversal
// pass: every step reads one buffer and writes the other in natural order. The
// data are held split (real parts in [0, M), imaginary parts in [M, 2M)) so the
// inner loops run over contiguous doubles and vectorise. `in` and `out` are the
// two ping-pong buffers; the first step reads the interleaved input directly
// and the last step (which has no twiddles) always writes into `in`, so the
// final combination can write the packed spectrum into `out`.

namespace NoteAnalyzer {

void AlignedDelete::operator()(double* p) const noexcept { std::free(p); }

AlignedDoubles AllocateAlignedDoubles(std::size_t count) {
    if (count > (static_cast<std::size_t>(-1) - 31) / sizeof(double)) throw std::bad_alloc();
    // aligned_alloc wants a size that is a multiple of the alignment.
    std::size_t bytes = (count * sizeof(double) + 31) / 32 * 32;
    if (bytes == 0) bytes = 32;
    void* p = std::aligned_alloc(32, bytes);
    if (p == nullptr) throw std::bad_alloc();
    std::memset(p, 0, bytes);
    return AlignedDoubles(static_cast<double*>(p));
}

struct RealFftTables {
    // One radix-4 step with twiddles: L is the length of the sub-transforms it
    // splits, stride the distance between their elements.
    struct Step {
        int length;
        int stride;
        std::size_t twiddleOffset;  // six arrays of length/4: w1 re, w1 im, w2 re, ...
    };
    int n = 0;
    int m = 0;  // complex length n/2
    std::vector<Step> steps;
    int finalRadix = 1;  // 4, 2, or 1 (no final step when m == 1)
    AlignedDoubles twiddles;
    // cos and sin of 2*pi*k/n for k in [0, m/2], used when combining.
    AlignedDoubles combineCos;
    AlignedDoubles combineSin;
};

namespace {

constexpr double TwoPi = 6.283185307179586476925286766559;

RealFftTables* BuildTables(int n) {
    auto t = std::make_unique<RealFftTables>();
    t->n = n;
    t->m = n / 2;
    std::size_t twiddleCount = 0;
    int length = t->m;
    int stride = 1;
    while (length > 4) {
        t->steps.push_back({length, stride, twiddleCount});
        twiddleCount += 6 * static_cast<std::size_t>(length / 4);
        length /= 4;
        stride *= 4;
    }
    t->finalRadix = t->m >= 2 ? length : 1;
    t->twiddles = AllocateAlignedDoubles(twiddleCount);
    for (const auto& step : t->steps) {
        const int quarter = step.length / 4;
        double* w = t->twiddles.get() + step.twiddleOffset;
        for (int p = 0; p < quarter; ++p) {
            for (int r = 1; r <= 3; ++r) {
                const double angle = TwoPi * static_cast<double>(r * p) / step.length;
                w[(2 * r - 2) * quarter + p] = std::cos(angle);
                w[(2 * r - 1) * quarter + p] = -std::sin(angle);
            }
        }
    }
    const int halfM = t->m / 2;
    t->combineCos = AllocateAlignedDoubles(static_cast<std::size_t>(halfM) + 1);
    t->combineSin = AllocateAlignedDoubles(static_cast<std::size_t>(halfM) + 1);
    for (int k = 0; k <= halfM; ++k) {
        const double angle = TwoPi * static_cast<double>(k) / n;
        t->combineCos[k] = std::cos(angle);
        t->combineSin[k] = std::sin(angle);
    }
    return t.release();
}

// Readers of the complex input of a step: split buffers or interleaved pairs.
struct SplitInput {
    const double* re;
    const double* im;
    double Re(std::size_t i) const { return re[i]; }
    double Im(std::size_t i) const { return im[i]; }
};
struct InterleavedInput {
    const double* data;
    double Re(std::size_t i) const { return data[2 * i]; }
    double Im(std::size_t i) const { return data[2 * i + 1]; }
};

// One radix-4 step with twiddles, out of place. For each p < L/4 and q < stride
// the four inputs x[q + stride*(p + r*L/4)] become the outputs
// y[q + stride*(4p + r)], r = 0..3, the last three multiplied by w^(r*p).
template <typename Input>
void Radix4Step(Input x, double* __restrict yr, double* __restrict yi, int length,
                int stride, const double* __restrict w) {
    const std::size_t quarter = static_cast<std::size_t>(length / 4);
    const std::size_t s = static_cast<std::size_t>(stride);
    const double* w1r = w;
    const double* w1i = w + quarter;
    const double* w2r = w + 2 * quarter;
    const double* w2i = w + 3 * quarter;
    const double* w3r = w + 4 * quarter;
    const double* w3i = w + 5 * quarter;
    for (std::size_t p = 0; p < quarter; ++p) {
        const double c1 = w1r[p], s1 = w1i[p], c2 = w2r[p], s2 = w2i[p], c3 = w3r[p],
                     s3 = w3i[p];
        const std::size_t in0 = s * p, in1 = s * (p + quarter), in2 = s * (p + 2 * quarter),
                          in3 = s * (p + 3 * quarter), out0 = s * 4 * p;
        for (std::size_t q = 0; q < s; ++q) {
            const double ar = x.Re(in0 + q), ai = x.Im(in0 + q);
            const double br = x.Re(in1 + q), bi = x.Im(in1 + q);
            const double cr = x.Re(in2 + q), ci = x.Im(in2 + q);
            const double dr = x.Re(in3 + q), di = x.Im(in3 + q);
            const double apcR = ar + cr, apcI = ai + ci, amcR = ar - cr, amcI = ai - ci;
            const double bpdR = br + dr, bpdI = bi + di, bmdR = br - dr, bmdI = bi - di;
            // r = 1: (a - c) - i(b - d); r = 3: (a - c) + i(b - d)
            const double t1r = amcR + bmdI, t1i = amcI - bmdR;
            const double t2r = apcR - bpdR, t2i = apcI - bpdI;
            const double t3r = amcR - bmdI, t3i = amcI + bmdR;
            yr[out0 + q] = apcR + bpdR;
            yi[out0 + q] = apcI + bpdI;
            yr[out0 + s + q] = t1r * c1 - t1i * s1;
            yi[out0 + s + q] = t1r * s1 + t1i * c1;
            yr[out0 + 2 * s + q] = t2r * c2 - t2i * s2;
            yi[out0 + 2 * s + q] = t2r * s2 + t2i * c2;
            yr[out0 + 3 * s + q] = t3r * c3 - t3i * s3;
            yi[out0 + 3 * s + q] = t3r * s3 + t3i * c3;
        }
    }
}

// The last radix-4 step (sub-transforms of length 4, no twiddles). Each group
// q reads and writes the same four positions q + stride*r, so it may run in
// place: every value is loaded before the group is stored.
template <typename Input>
void FinalRadix4(Input x, double* yr, double* yi, int stride) {
    const std::size_t s = static_cast<std::size_t>(stride);
    for (std::size_t q = 0; q < s; ++q) {
        const double ar = x.Re(q), ai = x.Im(q);
        const double br = x.Re(q + s), bi = x.Im(q + s);
        const double cr = x.Re(q + 2 * s), ci = x.Im(q + 2 * s);
        const double dr = x.Re(q + 3 * s), di = x.Im(q + 3 * s);
        const double apcR = ar + cr, apcI = ai + ci, amcR = ar - cr, amcI = ai - ci;
        const double bpdR = br + dr, bpdI = bi + di, bmdR = br - dr, bmdI = bi - di;
        yr[q] = apcR + bpdR;
        yi[q] = apcI + bpdI;
        yr[q + s] = amcR + bmdI;
        yi[q + s] = amcI - bmdR;
        yr[q + 2 * s] = apcR - bpdR;
        yi[q + 2 * s] = apcI - bpdI;
        yr[q + 3 * s] = amcR - bmdI;
        yi[q + 3 * s] = amcI + bmdR;
    }
}

// The last radix-2 step (sub-transforms of length 2), in place like FinalRadix4.
template <typename Input>
void FinalRadix2(Input x, double* yr, double* yi, int stride) {
    const std::size_t s = static_cast<std::size_t>(stride);
    for (std::size_t q = 0; q < s; ++q) {
        const double ar = x.Re(q), ai = x.Im(q);
        const double br = x.Re(q + s), bi = x.Im(q + s);
        yr[q] = ar + br;
        yi[q] = ai + bi;
        yr[q + s] = ar - br;
        yi[q + s] = ai - bi;
    }
}

template <typename Input>
void FinalStep(const RealFftTables& t, Input x, double* yr, double* yi) {
    if (t.finalRadix == 4) {
        FinalRadix4(x, yr, yi, t.m / 4);
    } else if (t.finalRadix == 2) {
        FinalRadix2(x, yr, yi, t.m / 2);
    }
}

// Complex FFT of the pairs in `a` (interleaved); the result is left split in `a`.
void ComplexFft(const RealFftTables& t, double* a, double* b) {
    const std::size_t m = static_cast<std::size_t>(t.m);
    if (t.steps.empty()) {
        // m <= 4: a single group, so the final step may read the interleaved
        // pairs and write them split into the same buffer. Load them first.
        double copy[8];
        std::memcpy(copy, a, sizeof(double) * 2 * m);
        FinalStep(t, InterleavedInput{copy}, a, a + m);
        return;
    }
    double* src = a;
    double* dst = b;
    bool first = true;
    for (const auto& step : t.steps) {
        const double* w = t.twiddles.get() + step.twiddleOffset;
        if (first) {
            Radix4Step(InterleavedInput{src}, dst, dst + m, step.length, step.stride, w);
            first = false;
        } else {
            Radix4Step(SplitInput{src, src + m}, dst, dst + m, step.length, step.stride, w);
        }
        std::swap(src, dst);
    }
    // src holds the data; the final step writes into `a` (in place when src == a).
    FinalStep(t, SplitInput{src, src + m}, a, a + m);
}

}  // namespace

const RealFftTables& RealFftTablesFor(int n) {
    // Process-wide cache, shared by every analyzer; entries are never removed,
    // so references handed out stay valid. Guarded because the UI thread
    // (building an analyzer) and a recorder thread may both arrive here.
    static std::mutex cacheMutex;
    static std::map<int, std::unique_ptr<RealFftTables>> cache;
    std::lock_guard<std::mutex> lock(cacheMutex);
    auto& entry = cache[n];
    if (!entry) {
        try {
            entry.reset(BuildTables(n));
        } catch (...) {
            cache.erase(n);
            throw;
        }
    }
    return *entry;
}

void RealFft(double* in, double* out, int n) { RealFft(in, out, n, RealFftTablesFor(n)); }

void RealFft(double* in, double* out, int n, const RealFftTables& t) {
    if (n == 1) {
        out[0] = in[0];
        return;
    }
    const int m = n / 2;
    ComplexFft(t, in, out);
    // `in` now holds Z split; combine Z[k] and Z[m-k] into X[k] and X[m-k].
    const double* zr = in;
    const double* zi = in + m;
    out[0] = zr[0] + zi[0];
    out[1] = -(zr[0] - zi[0]);
    const double* cosTable = t.combineCos.get();
    const double* sinTable = t.combineSin.get();
    const int halfM = m / 2;
    for (int k = 1; k < halfM; ++k) {
        const double kr = zr[k], ki = zi[k], mr = zr[m - k], mi = zi[m - k];
        // Spectra of the even samples (e) and the odd samples (o) at bin k.
        const double er = 0.5 * (kr + mr), ei = 0.5 * (ki - mi);
        const double orr = 0.5 * (ki + mi), oi = -0.5 * (kr - mr);
        // o times exp(-2*pi*i*k/n).
        const double c = cosTable[k], s = sinTable[k];
        const double tr = c * orr + s * oi, ti = c * oi - s * orr;
        out[2 * k] = er + tr;
        out[2 * k + 1] = ei + ti;
        out[2 * (m - k)] = er - tr;
        out[2 * (m - k) + 1] = ti - ei;
    }
    if (m >= 2) {
        // X[n/4] = conj(Z[m/2]).
        out[m] = zr[halfM];
        out[m + 1] = -zi[halfM];
    }
}

}  // namespace NoteAnalyzer
