#include "analysis/RealFft.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <stdexcept>
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

// The aligned forms of operator new and delete: unlike std::aligned_alloc
// they exist on every platform the core builds for (MinGW has no
// aligned_alloc), and a failure throws bad_alloc by itself.
constexpr std::align_val_t FftAlignment{32};

void AlignedDelete::operator()(double* p) const noexcept {
    ::operator delete(p, FftAlignment);
}

AlignedDoubles AllocateAlignedDoubles(std::size_t count) {
    if (count > (static_cast<std::size_t>(-1) - 31) / sizeof(double)) throw std::bad_alloc();
    // Whole 32-byte blocks, so vector loads past the last element stay inside.
    std::size_t bytes = (count * sizeof(double) + 31) / 32 * 32;
    if (bytes == 0) bytes = 32;
    void* p = ::operator new(bytes, FftAlignment);
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
void Radix4Step(Input x, double* __restrict yr, double* __restrict yi, int length, int stride,
                const double* __restrict w) {
    const std::size_t quarter = static_cast<std::size_t>(length / 4);
    const std::size_t s = static_cast<std::size_t>(stride);
    const double* w1r = w;
    const double* w1i = w + quarter;
    const double* w2r = w + 2 * quarter;
    const double* w2i = w + 3 * quarter;
    const double* w3r = w + 4 * quarter;
    const double* w3i = w + 5 * quarter;
    for (std::size_t p = 0; p < quarter; ++p) {
        const double c1 = w1r[p], s1 = w1i[p], c2 = w2r[p], s2 = w2i[p], c3 = w3r[p], s3 = w3i[p];
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

// Four-wide kernels for m >= 16, written with the compiler's vector extension:
// on a plain x86-64 target each operation becomes two SSE2 instructions, in the
// AVX2 clone one. Loads and stores go through memcpy so no alignment is assumed.
#if defined(__GNUC__)
// The vectors never cross a function boundary (see ZELVO_FFT_INLINE), so the
// note about the AVX calling convention does not apply.
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
using V4 = double __attribute__((vector_size(32)));

// Every kernel is forced inline into RealFft so that each of its clones gets
// its own code generation and no vector is ever passed between functions.
#define ZELVO_FFT_INLINE __attribute__((always_inline)) inline

ZELVO_FFT_INLINE V4 Load4(const double* p) {
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
ZELVO_FFT_INLINE void Store4(double* p, V4 v) {
    std::memcpy(p, &v, sizeof v);
}
ZELVO_FFT_INLINE V4 Splat(double x) {
    return V4{x, x, x, x};
}
ZELVO_FFT_INLINE V4 Reverse(V4 v) {
    return __builtin_shufflevector(v, v, 3, 2, 1, 0);
}

// The four radix-4 outputs of four neighbouring butterflies.
struct Butterfly4 {
    V4 r0, i0, r1, i1, r2, i2, r3, i3;
};

ZELVO_FFT_INLINE Butterfly4 Radix4Butterfly(V4 ar, V4 ai, V4 br, V4 bi, V4 cr, V4 ci, V4 dr, V4 di) {
    const V4 apcR = ar + cr, apcI = ai + ci, amcR = ar - cr, amcI = ai - ci;
    const V4 bpdR = br + dr, bpdI = bi + di, bmdR = br - dr, bmdI = bi - di;
    return Butterfly4{apcR + bpdR, apcI + bpdI, amcR + bmdI, amcI - bmdR,
                      apcR - bpdR, apcI - bpdI, amcR - bmdI, amcI + bmdR};
}

ZELVO_FFT_INLINE void Twiddle(V4& re, V4& im, V4 c, V4 s) {
    const V4 r = re * c - im * s;
    im = re * s + im * c;
    re = r;
}

// First step (stride 1): reads the interleaved pairs of four neighbouring p,
// and writes each butterfly's four outputs next to each other, which takes a
// 4x4 transpose.
ZELVO_FFT_INLINE void Transpose4(V4& a, V4& b, V4& c, V4& d) {
    const V4 t0 = __builtin_shufflevector(a, b, 0, 4, 2, 6);
    const V4 t1 = __builtin_shufflevector(a, b, 1, 5, 3, 7);
    const V4 t2 = __builtin_shufflevector(c, d, 0, 4, 2, 6);
    const V4 t3 = __builtin_shufflevector(c, d, 1, 5, 3, 7);
    a = __builtin_shufflevector(t0, t2, 0, 1, 4, 5);
    b = __builtin_shufflevector(t1, t3, 0, 1, 4, 5);
    c = __builtin_shufflevector(t0, t2, 2, 3, 6, 7);
    d = __builtin_shufflevector(t1, t3, 2, 3, 6, 7);
}

ZELVO_FFT_INLINE void LoadPairs4(const double* p, V4& re, V4& im) {
    const V4 lo = Load4(p), hi = Load4(p + 4);
    re = __builtin_shufflevector(lo, hi, 0, 2, 4, 6);
    im = __builtin_shufflevector(lo, hi, 1, 3, 5, 7);
}

// With a window, the input is x[j] * window[j] (the windowing pass is folded
// into this first read of the frame).
ZELVO_FFT_INLINE void LoadPairs4(const double* p, const double* window, V4& re, V4& im) {
    if (window == nullptr) {
        LoadPairs4(p, re, im);
        return;
    }
    const V4 lo = Load4(p) * Load4(window), hi = Load4(p + 4) * Load4(window + 4);
    re = __builtin_shufflevector(lo, hi, 0, 2, 4, 6);
    im = __builtin_shufflevector(lo, hi, 1, 3, 5, 7);
}

ZELVO_FFT_INLINE void FirstStepV4(const double* x, const double* window, double* yr, double* yi, int length,
                                  const double* w) {
    const std::size_t quarter = static_cast<std::size_t>(length / 4);
    for (std::size_t p = 0; p < quarter; p += 4) {
        V4 ar, ai, br, bi, cr, ci, dr, di;
        const std::size_t j0 = 2 * p, j1 = 2 * (p + quarter), j2 = 2 * (p + 2 * quarter),
                          j3 = 2 * (p + 3 * quarter);
        LoadPairs4(x + j0, window == nullptr ? nullptr : window + j0, ar, ai);
        LoadPairs4(x + j1, window == nullptr ? nullptr : window + j1, br, bi);
        LoadPairs4(x + j2, window == nullptr ? nullptr : window + j2, cr, ci);
        LoadPairs4(x + j3, window == nullptr ? nullptr : window + j3, dr, di);
        Butterfly4 y = Radix4Butterfly(ar, ai, br, bi, cr, ci, dr, di);
        Twiddle(y.r1, y.i1, Load4(w + p), Load4(w + quarter + p));
        Twiddle(y.r2, y.i2, Load4(w + 2 * quarter + p), Load4(w + 3 * quarter + p));
        Twiddle(y.r3, y.i3, Load4(w + 4 * quarter + p), Load4(w + 5 * quarter + p));
        Transpose4(y.r0, y.r1, y.r2, y.r3);
        Transpose4(y.i0, y.i1, y.i2, y.i3);
        double* outR = yr + 4 * p;
        double* outI = yi + 4 * p;
        Store4(outR, y.r0), Store4(outR + 4, y.r1), Store4(outR + 8, y.r2), Store4(outR + 12, y.r3);
        Store4(outI, y.i0), Store4(outI + 4, y.i1), Store4(outI + 8, y.i2), Store4(outI + 12, y.i3);
    }
}

// A later step: stride >= 4, so the inner loop runs over whole vectors.
ZELVO_FFT_INLINE void StepV4(const double* xr, const double* xi, double* yr, double* yi, int length,
                             int stride, const double* w) {
    const std::size_t quarter = static_cast<std::size_t>(length / 4);
    const std::size_t s = static_cast<std::size_t>(stride);
    for (std::size_t p = 0; p < quarter; ++p) {
        const V4 c1 = Splat(w[p]), s1 = Splat(w[quarter + p]);
        const V4 c2 = Splat(w[2 * quarter + p]), s2 = Splat(w[3 * quarter + p]);
        const V4 c3 = Splat(w[4 * quarter + p]), s3 = Splat(w[5 * quarter + p]);
        const std::size_t in0 = s * p, in1 = s * (p + quarter), in2 = s * (p + 2 * quarter),
                          in3 = s * (p + 3 * quarter), out0 = s * 4 * p;
        for (std::size_t q = 0; q < s; q += 4) {
            Butterfly4 y = Radix4Butterfly(Load4(xr + in0 + q), Load4(xi + in0 + q), Load4(xr + in1 + q),
                                           Load4(xi + in1 + q), Load4(xr + in2 + q), Load4(xi + in2 + q),
                                           Load4(xr + in3 + q), Load4(xi + in3 + q));
            Twiddle(y.r1, y.i1, c1, s1);
            Twiddle(y.r2, y.i2, c2, s2);
            Twiddle(y.r3, y.i3, c3, s3);
            Store4(yr + out0 + q, y.r0), Store4(yi + out0 + q, y.i0);
            Store4(yr + out0 + s + q, y.r1), Store4(yi + out0 + s + q, y.i1);
            Store4(yr + out0 + 2 * s + q, y.r2), Store4(yi + out0 + 2 * s + q, y.i2);
            Store4(yr + out0 + 3 * s + q, y.r3), Store4(yi + out0 + 3 * s + q, y.i3);
        }
    }
}

// Last step without twiddles; each group of four q is loaded before it is
// stored, so it may run in place.
ZELVO_FFT_INLINE void FinalStepV4(const RealFftTables& t, const double* xr, const double* xi, double* yr,
                                  double* yi) {
    if (t.finalRadix == 4) {
        const std::size_t s = static_cast<std::size_t>(t.m / 4);
        for (std::size_t q = 0; q < s; q += 4) {
            const Butterfly4 y = Radix4Butterfly(
                Load4(xr + q), Load4(xi + q), Load4(xr + s + q), Load4(xi + s + q), Load4(xr + 2 * s + q),
                Load4(xi + 2 * s + q), Load4(xr + 3 * s + q), Load4(xi + 3 * s + q));
            Store4(yr + q, y.r0), Store4(yi + q, y.i0);
            Store4(yr + s + q, y.r1), Store4(yi + s + q, y.i1);
            Store4(yr + 2 * s + q, y.r2), Store4(yi + 2 * s + q, y.i2);
            Store4(yr + 3 * s + q, y.r3), Store4(yi + 3 * s + q, y.i3);
        }
    } else {
        const std::size_t s = static_cast<std::size_t>(t.m / 2);
        for (std::size_t q = 0; q < s; q += 4) {
            const V4 ar = Load4(xr + q), ai = Load4(xi + q);
            const V4 br = Load4(xr + s + q), bi = Load4(xi + s + q);
            Store4(yr + q, ar + br), Store4(yi + q, ai + bi);
            Store4(yr + s + q, ar - br), Store4(yi + s + q, ai - bi);
        }
    }
}

// Complex FFT for m >= 16 (every loop runs over whole vectors); the result is
// left split in `a`.
// The first step reads `source` (optionally windowed), which may be `a` itself.
ZELVO_FFT_INLINE void ComplexFftV4(const RealFftTables& t, const double* source, const double* window,
                                   double* a, double* b) {
    const std::size_t m = static_cast<std::size_t>(t.m);
    const auto& first = t.steps.front();
    FirstStepV4(source, window, b, b + m, first.length, t.twiddles.get() + first.twiddleOffset);
    double* src = b;
    double* dst = a;
    for (std::size_t i = 1; i < t.steps.size(); ++i) {
        const auto& step = t.steps[i];
        StepV4(src, src + m, dst, dst + m, step.length, step.stride, t.twiddles.get() + step.twiddleOffset);
        std::swap(src, dst);
    }
    FinalStepV4(t, src, src + m, a, a + m);
}

// Combines Z[k] and Z[m-k] into X[k] and X[m-k] for k in [first, last), four
// at a time; the mirrored half is read and written in reverse.
ZELVO_FFT_INLINE int CombineV4(const double* zr, const double* zi, double* out, int m, const double* cosTable,
                               const double* sinTable, int first, int last) {
    const V4 half = Splat(0.5);
    int k = first;
    for (; k + 4 <= last; k += 4) {
        const V4 kr = Load4(zr + k), ki = Load4(zi + k);
        const V4 mr = Reverse(Load4(zr + (m - k - 3))), mi = Reverse(Load4(zi + (m - k - 3)));
        const V4 er = half * (kr + mr), ei = half * (ki - mi);
        const V4 orr = half * (ki + mi), oi = half * (mr - kr);
        const V4 c = Load4(cosTable + k), s = Load4(sinTable + k);
        const V4 tr = c * orr + s * oi, ti = c * oi - s * orr;
        const V4 lowR = er + tr, lowI = ei + ti;
        const V4 highR = Reverse(er - tr), highI = Reverse(ti - ei);
        Store4(out + 2 * k, __builtin_shufflevector(lowR, lowI, 0, 4, 1, 5));
        Store4(out + 2 * k + 4, __builtin_shufflevector(lowR, lowI, 2, 6, 3, 7));
        Store4(out + 2 * (m - k - 3), __builtin_shufflevector(highR, highI, 0, 4, 1, 5));
        Store4(out + 2 * (m - k - 3) + 4, __builtin_shufflevector(highR, highI, 2, 6, 3, 7));
    }
    return k;
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
    if (n < 1 || (n & (n - 1)) != 0) throw std::invalid_argument("RealFft: length must be a power of two");
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

namespace {

// Transform of source (times window, when given) with `work` as the second
// buffer; source may be work itself.
ZELVO_FFT_INLINE void Transform(const double* source, const double* window, double* work, double* out, int n,
                                const RealFftTables& t) {
    if (t.n != n) throw std::invalid_argument("RealFft: tables of another length");
    if (n == 1) {
        out[0] = window == nullptr ? source[0] : source[0] * window[0];
        return;
    }
    const int m = n / 2;
    if (m >= 16) {
        ComplexFftV4(t, source, window, work, out);
    } else {
        for (int i = 0; i < n; ++i) work[i] = window == nullptr ? source[i] : source[i] * window[i];
        ComplexFft(t, work, out);
    }
    // `work` now holds Z split; combine Z[k] and Z[m-k] into X[k] and X[m-k].
    const double* zr = work;
    const double* zi = work + m;
    out[0] = zr[0] + zi[0];
    out[1] = -(zr[0] - zi[0]);
    const double* cosTable = t.combineCos.get();
    const double* sinTable = t.combineSin.get();
    const int halfM = m / 2;
    int k = CombineV4(zr, zi, out, m, cosTable, sinTable, 1, halfM);
    for (; k < halfM; ++k) {
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

}  // namespace

void RealFft(double* in, double* out, int n) {
    RealFft(in, out, n, RealFftTablesFor(n));
}

// Compiled twice on x86-64 with GCC: once for the baseline and once for AVX2 with
// FMA; the loader picks the clone the processor supports. Not under
// ThreadSanitizer: the loader runs the clones' resolver before the sanitizer's
// runtime is up, and the instrumented resolver then crashes the program. Not
// on Windows either: its executables have no indirect functions to resolve.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && !defined(__SANITIZE_THREAD__) && \
    !defined(_WIN32)
#define ZELVO_FFT_CLONES __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define ZELVO_FFT_CLONES
#endif

ZELVO_FFT_CLONES void RealFft(double* in, double* out, int n, const RealFftTables& tables) {
    Transform(in, nullptr, in, out, n, tables);
}

ZELVO_FFT_CLONES void WindowedRealFft(const double* frame, const double* window, double* work, double* out,
                                      int n, const RealFftTables& tables) {
    Transform(frame, window, work, out, n, tables);
}

}  // namespace NoteAnalyzer
