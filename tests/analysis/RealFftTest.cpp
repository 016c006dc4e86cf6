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
// indices (j*k mod n) so its own error is far below the tolerance.
void NaiveDft(const std::vector<double>& x, std::vector<long double>& re,
              std::vector<long double>& im) {
    const std::size_t n = x.size();
    std::vector<long double> c(n), s(n);
    const long double twoPi = 6.283185307179586476925286766559L;
    for (std::size_t j = 0; j < n; ++j) {
        c[j] = std::cos(twoPi * j / n);
        s[j] = std::sin(twoPi * j / n);
    }
    re.assign(n / 2 + 1, 0.0L);
    im.assign(n / 2 + 1, 0.0L);
    for (std::size_t k = 0; k <= n / 2; ++k) {
        long double r = 0, i = 0;
        std::size_t idx = 0;
        for (std::size_t j = 0; j < n; ++j) {
            r += x[j] * c[idx];
            i -= x[j] * s[idx];
            idx += k;
            if (idx >= n) idx -= n;
        }
        re[k] = r;
        im[k] = i;
    }
}

TEST(RealFft, MatchesDefinitionForEveryPowerOfTwo) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (int n = 4; n <= 16384; n *= 2) {
        SCOPED_TRACE(n);
        std::vector<double> x(static_cast<std::size_t>(n));
        for (auto& v : x) v = dist(rng);
        std::vector<long double> re, im;
        NaiveDft(x, re, im);

        std::vector<double> in = x, out(static_cast<std::size_t>(n), 0.0);
        RealFft(in.data(), out.data(), n);
        // Error grows like sqrt(n) * log(n) * eps relative to the signal norm.
        const double tol = 1e-13 * n;
        EXPECT_NEAR(out[0], static_cast<double>(re[0]), tol);
        EXPECT_NEAR(out[1], -static_cast<double>(re[static_cast<std::size_t>(n / 2)]), tol);
        double worst = 0.0;
        for (int k = 1; k < n / 2; ++k) {
            worst = std::max(worst, std::fabs(out[2 * k] - static_cast<double>(re[k])));
            worst = std::max(worst, std::fabs(out[2 * k + 1] - static_cast<double>(im[k])));
        }
        EXPECT_LT(worst, tol);
    }
}

TEST(RealFft, WindowedTransformEqualsTransformOfTheProduct) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    for (int n = 1; n <= 8192; n *= 2) {
        SCOPED_TRACE(n);
        std::vector<double> frame(static_cast<std::size_t>(n)), window(frame.size());
        for (auto& v : frame) v = dist(rng);
        for (auto& v : window) v = dist(rng);
        std::vector<double> product(frame.size()), expected(frame.size()), work(frame.size()), out(frame.size());
        for (std::size_t i = 0; i < frame.size(); ++i) product[i] = frame[i] * window[i];
        RealFft(product.data(), expected.data(), n);
        const auto before = frame;
        NoteAnalyzer::WindowedRealFft(frame.data(), window.data(), work.data(), out.data(), n,
                                      NoteAnalyzer::RealFftTablesFor(n));
        EXPECT_EQ(frame, before);
        for (std::size_t i = 0; i < out.size(); ++i) EXPECT_NEAR(out[i], expected[i], 1e-12 * n) << i;
    }
}

TEST(RealFft, SmallLengthsAndUnitImpulses) {
    // n = 1 and 2 are degenerate but defined; an impulse at j gives exp(-2*pi*i*j*k/n).
    double in1[1] = {3.0}, out1[1];
    RealFft(in1, out1, 1);
    EXPECT_EQ(out1[0], 3.0);
    double in2[2] = {1.0, 2.0}, out2[2];
    RealFft(in2, out2, 2);
    EXPECT_DOUBLE_EQ(out2[0], 3.0);
    EXPECT_DOUBLE_EQ(out2[1], 1.0);  // -(1 - 2)

    const int n = 64;
    for (int j : {0, 1, 5, 63}) {
        std::vector<double> in(n, 0.0), out(n);
        in[static_cast<std::size_t>(j)] = 1.0;
        RealFft(in.data(), out.data(), n);
        for (int k = 1; k < n / 2; ++k) {
            const double a = 6.283185307179586 * j * k / n;
            EXPECT_NEAR(out[2 * k], std::cos(a), 1e-13);
            EXPECT_NEAR(out[2 * k + 1], -std::sin(a), 1e-13);
        }
        EXPECT_NEAR(out[1], -(j % 2 == 0 ? 1.0 : -1.0), 1e-14);
    }
}

TEST(RealFft, TablesAreSharedAndSafeToBuildFromSeveralThreads) {
    // Lengths nobody else asks for, so the threads race on their first build.
    std::vector<const NoteAnalyzer::RealFftTables*> seen(4, nullptr);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &seen] {
            for (int n = 1 << 15; n <= 1 << 17; n *= 2) {
                const auto& tables = NoteAnalyzer::RealFftTablesFor(n);
                if (n == 1 << 16) seen[static_cast<std::size_t>(t)] = &tables;
            }
        });
    }
    for (auto& th : threads) th.join();
    for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[0], seen[static_cast<std::size_t>(t)]);

    // A transform through the shared tables of a large length still agrees with
    // one through a fresh lookup.
    const int n = 1 << 16;
    std::vector<double> a(n), b(n), outA(n), outB(n);
    for (int i = 0; i < n; ++i) a[static_cast<std::size_t>(i)] = b[static_cast<std::size_t>(i)] = std::sin(0.01 * i * i);
    RealFft(a.data(), outA.data(), n, *seen[0]);
    RealFft(b.data(), outB.data(), n);
    EXPECT_EQ(outA, outB);
}

TEST(RealFft, RejectsLengthsItCannotTransform) {
    EXPECT_THROW(NoteAnalyzer::RealFftTablesFor(0), std::invalid_argument);
    EXPECT_THROW(NoteAnalyzer::RealFftTablesFor(12), std::invalid_argument);
    std::vector<double> in(16), out(16);
    EXPECT_THROW(RealFft(in.data(), out.data(), 16, NoteAnalyzer::RealFftTablesFor(8)),
                 std::invalid_argument);
}

TEST(RealFft, AlignedBuffersAreAlignedAndZeroed) {
    for (std::size_t count : {1u, 3u, 1024u, 4097u}) {
        auto p = NoteAnalyzer::AllocateAlignedDoubles(count);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p.get()) % 32, 0u);
        for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(p[i], 0.0);
    }
}

}  // namespace
