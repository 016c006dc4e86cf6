#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "analysis/RealFft.h"

namespace {

using NoteAnalyzer::RealFft;

// Reference spectrum by the definition, in long double with exact twiddle
// indices (j*k mod n) so its own error is far below the tolerance. Returned in
// RealFft's packing: re(0), -re(n/2), then re(k), im(k) for 0 < k < n/2.
std::vector<double> NaiveDft(const std::vector<double>& x) {
    const std::size_t n = x.size();
    std::vector<long double> c(n), s(n);
    for (std::size_t j = 0; j < n; ++j) {
        c[j] = std::cos(6.283185307179586476925286766559L * j / n);
        s[j] = std::sin(6.283185307179586476925286766559L * j / n);
    }
    std::vector<double> out(n);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        long double r = 0, i = 0;
        for (std::size_t j = 0, idx = 0; j < n; ++j, idx = (idx + k) % n) {
            r += x[j] * c[idx];
            i -= x[j] * s[idx];
        }
        if (k == 0) out[0] = static_cast<double>(r);
        else if (k == n / 2) out[1] = -static_cast<double>(r);
        else out[2 * k] = static_cast<double>(r), out[2 * k + 1] = static_cast<double>(i);
    }
    return out;
}

// Both the plain and the windowed transform against the definition; the
// windowed one must leave its frame alone.
TEST(RealFft, MatchesDefinitionForEveryPowerOfTwo) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (int n = 4; n <= 16384; n *= 2) {
        SCOPED_TRACE(n);
        std::vector<double> frame(static_cast<std::size_t>(n)), window(frame.size()), product(frame.size());
        for (auto& v : frame) v = dist(rng);
        for (auto& v : window) v = dist(rng);
        for (std::size_t i = 0; i < frame.size(); ++i) product[i] = frame[i] * window[i];
        const auto expectedPlain = NaiveDft(frame), expectedWindowed = NaiveDft(product);

        // Error grows like sqrt(n) * log(n) * eps relative to the signal norm.
        const double tol = 1e-13 * n;
        std::vector<double> in = frame, out(frame.size()), work(frame.size());
        RealFft(in.data(), out.data(), n);
        for (int i = 0; i < n; ++i) ASSERT_NEAR(out[i], expectedPlain[i], tol) << i;

        const auto before = frame;
        NoteAnalyzer::WindowedRealFft(frame.data(), window.data(), work.data(), out.data(), n,
                                      NoteAnalyzer::RealFftTablesFor(n));
        EXPECT_EQ(frame, before);
        for (int i = 0; i < n; ++i) ASSERT_NEAR(out[i], expectedWindowed[i], tol) << i;
    }
}

TEST(RealFft, DegenerateLengthsAndBadTables) {
    double in[2] = {1.0, 2.0}, out[2];
    RealFft(in, out, 2);
    EXPECT_EQ(out[0], 3.0);
    EXPECT_EQ(out[1], 1.0);  // -(1 - 2)
    in[0] = 3.0;
    RealFft(in, out, 1);
    EXPECT_EQ(out[0], 3.0);

    EXPECT_THROW(NoteAnalyzer::RealFftTablesFor(0), std::invalid_argument);
    EXPECT_THROW(NoteAnalyzer::RealFftTablesFor(12), std::invalid_argument);
    std::vector<double> in16(16), out16(16);
    EXPECT_THROW(RealFft(in16.data(), out16.data(), 16, NoteAnalyzer::RealFftTablesFor(8)), std::invalid_argument);
}

TEST(RealFft, TablesAreSharedAndSafeToBuildFromSeveralThreads) {
    // Lengths nobody else asks for, so the threads race on their first build.
    const NoteAnalyzer::RealFftTables* seen[4] = {};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &seen] {
            for (int n = 1 << 15; n <= 1 << 17; n *= 2) seen[t] = &NoteAnalyzer::RealFftTablesFor(n);
        });
    for (auto& th : threads) th.join();
    for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[0], seen[t]);
    const int n = 1 << 17;
    std::vector<double> a(n), b(n), outA(n), outB(n);
    for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(i)] = b[static_cast<std::size_t>(i)] = std::sin(0.01 * i * i);
    RealFft(a.data(), outA.data(), n, *seen[0]);
    RealFft(b.data(), outB.data(), n);
    EXPECT_EQ(outA, outB);
}

TEST(RealFft, AlignedBuffersAreAlignedAndZeroed) {
    for (std::size_t count : {1u, 3u, 4097u}) {
        auto p = NoteAnalyzer::AllocateAlignedDoubles(count);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p.get()) % 32, 0u);
        for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(p[i], 0.0);
    }
}

}  // namespace
