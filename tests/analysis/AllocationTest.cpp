// The per-hop path may allocate only what the result owns: its peak list and
// the nodes of the frame's harmonic map. Counted by replacing the global
// allocation functions for this test program.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "TestSignals.h"
#include "analysis/Analyzer.h"

namespace {
std::atomic<long> allocations{0};
}

#if defined(__GNUC__) && !defined(__clang__)
// The replacements below pair malloc with free by design; GCC cannot see that
// once they are inlined into the standard containers.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

TEST(AnalyzerAllocation, HopsAllocateOnlyTheResult) {
    for (int mode = 0; mode < 4; ++mode) {
        const int quality = mode % 2;
        SCOPED_TRACE(mode);
        NoteAnalyzer::AnalyzerSettings settings = NoteAnalyzer::SettingsFor(44100, quality);
        settings.precisePitch = mode >= 2;
        NoteAnalyzer::Analyzer analyzer(settings);
        analyzer.noiseFloor = -30.0;
        const int advance = analyzer.Settings().advanceSize;
        const auto tone =
            ZelvoTest::Synthesize(ZelvoTest::HarmonicTone(110.0, 8), 44100, 0, advance * 40, true);
        const std::vector<double> silence(static_cast<std::size_t>(advance), 0.0);

        // Silent hops are not analysed and allocate nothing at all; analysed hops
        // one block for the peak list plus one node per map entry.
        for (int h = 0; h < 60; ++h) {
            const bool silent = h < 20;
            const long before = allocations.load();
            const auto r = analyzer.Process(silent ? silence.data() : tone.data() + (h - 20) * advance);
            const long used = allocations.load() - before;
            EXPECT_EQ(
                used,
                silent ? 0 : 1 + static_cast<long>(analyzer.EstimateFundamental(r.peaks).harmonics.size()))
                << h;
        }
    }
}

}  // namespace
