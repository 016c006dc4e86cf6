// Cost of the analysis engine: the real FFT (beside FFTW when available) and one
// Analyzer::Process hop per sample rate and quality, on a tone above the gate and
// on silence. The "core_pct" counter is the hop's CPU time as a percentage of the
// hop's duration in real time: the share of one core the tuner needs.

#include <benchmark/benchmark.h>

#include <cmath>
#include <ctime>
#include <vector>

#include "analysis/Analyzer.h"
#include "analysis/AnalyzerSettings.h"
#include "analysis/RealFft.h"

#ifdef ZELVO_HAVE_FFTW3
#include <fftw3.h>
#endif

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

void FillNoise(double* x, int n) {
    unsigned state = 12345u;
    for (int i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        x[i] = static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
}

void BM_RealFft(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    auto source = NoteAnalyzer::AllocateAlignedDoubles(static_cast<std::size_t>(n));
    auto work = NoteAnalyzer::AllocateAlignedDoubles(static_cast<std::size_t>(n));
    auto out = NoteAnalyzer::AllocateAlignedDoubles(static_cast<std::size_t>(n));
    FillNoise(source.get(), n);
    const auto& tables = NoteAnalyzer::RealFftTablesFor(n);
    for (auto _ : state) {
        // The transform overwrites its input, so each run starts from a copy,
        // as the peak scan does with its windowed frame.
        std::copy(source.get(), source.get() + n, work.get());
        NoteAnalyzer::RealFft(work.get(), out.get(), n, tables);
        benchmark::DoNotOptimize(out.get());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RealFft)->RangeMultiplier(2)->Range(1024, 16384)->Unit(benchmark::kMicrosecond);

#ifdef ZELVO_HAVE_FFTW3
void BM_FftwR2c(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    double* in = fftw_alloc_real(static_cast<std::size_t>(n));
    fftw_complex* out = fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1));
    std::vector<double> source(static_cast<std::size_t>(n));
    fftw_plan plan = fftw_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
    FillNoise(source.data(), n);
    for (auto _ : state) {
        // The same copy as above, so both sides pay for it.
        std::copy(source.begin(), source.end(), in);
        fftw_execute(plan);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    fftw_destroy_plan(plan);
    fftw_free(out);
    fftw_free(in);
}
BENCHMARK(BM_FftwR2c)->RangeMultiplier(2)->Range(1024, 16384)->Unit(benchmark::kMicrosecond);
#endif

// One hop of Process. range(0) = sample rate, range(1) = quality, range(2) = the
// fundamental in Hz of a harmonic tone (8 partials, about -7 dB), 0 for digital
// silence, -1 for white noise at about -20 dBFS (a noisy room above the gate:
// every selected peak scores alike in every hypothesis, so little is pruned). The template search costs more
// the higher the note: the strongest peak of a 110 Hz tone can only be harmonic 1 to 4 of a note above 27 Hz,
// that of a 1760 Hz tone any of 1 to 40. range(3) = 1 for precise pitch, the
// tuner's own default mode.
void BM_AnalyzerProcess(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0));
    const int quality = static_cast<int>(state.range(1));
    const double f0 = static_cast<double>(state.range(2));
    NoteAnalyzer::AnalyzerSettings settings = NoteAnalyzer::SettingsFor(rate, quality);
    settings.precisePitch = state.range(3) != 0;
    NoteAnalyzer::Analyzer analyzer(settings);
    analyzer.noiseFloor = -30.0;
    const int advance = analyzer.Settings().advanceSize;
    // A second of signal, fed hop after hop in a loop, 16-bit quantised like
    // captured input.
    const int hops = rate / advance + 1;
    std::vector<double> signal(static_cast<std::size_t>(hops) * advance, 0.0);
    if (f0 < 0.0) {
        // Uniform noise of RMS 0.1, seeded so every run sees the same frames.
        unsigned seed = 2026u;
        for (double& x : signal) {
            seed = seed * 1664525u + 1013904223u;
            const double v = (static_cast<double>(seed >> 8) / 8388608.0 - 1.0) * 0.1 * std::sqrt(3.0);
            x = std::round(v * 32767.0) / 32767.0;
        }
    } else if (f0 > 0.0) {
        for (std::size_t i = 0; i < signal.size(); ++i) {
            double v = 0.0;
            for (int k = 1; k <= 8 && k * f0 < rate / 2; ++k)
                v += 0.5 / k * std::sin(6.283185307179586 * k * f0 * i / rate);
            signal[i] = std::round(v * 0.5 * 32767.0) / 32767.0;
        }
    }
    int next = 0;
    for (int h = 0; h < hops; ++h) analyzer.Process(signal.data() + h * advance);  // fill the queues
    const double cpuStart = ThreadCpuSeconds();
    for (auto _ : state) {
        auto result = analyzer.Process(signal.data() + next * advance);
        benchmark::DoNotOptimize(result);
        next = (next + 1) % hops;
    }
    const double cpuPerHop = (ThreadCpuSeconds() - cpuStart) / static_cast<double>(state.iterations());
    // CPU time per hop as a percentage of the hop's duration: the share of one
    // core that real-time input at this rate needs.
    const double hopSeconds = static_cast<double>(advance) / rate;
    state.counters["core_pct"] = 100.0 * cpuPerHop / hopSeconds;
    state.counters["hop_ms"] = hopSeconds * 1000.0;
}
BENCHMARK(BM_AnalyzerProcess)
    ->ArgNames({"rate", "fast", "tone_hz", "precise"})
    ->ArgsProduct({{11025, 22050, 44100, 48000, 96000}, {0, 1}, {110, 1760, 0, -1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
