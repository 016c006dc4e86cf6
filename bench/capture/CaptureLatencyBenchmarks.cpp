// How long a captured buffer waits between the device filling it and the
// listener receiving it: the device callback counts the buffer and signals
// the recorder thread, which wakes, converts the buffer and calls OnBuffer.
// Measured on the test capture device at a real device's pace (sped up to
// collect enough buffers); reported as median and 99th percentile in µs.
// The conversion buffer sweep (Convert) is measured on its own as well.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "TestCaptureDevice.h"
#include "capture/Recorder.h"

namespace Recorder {
namespace {

using Clock = std::chrono::steady_clock;

// Fill and delivery time stamps, by buffer sequence number.
struct Stamps {
    explicit Stamps(std::size_t count) : filled(count), received(count) {}
    std::vector<Clock::time_point> filled;
    std::vector<Clock::time_point> received;
    std::atomic<std::size_t> calls{0};
};

class StampingListener final : public IRecorderListener {
public:
    explicit StampingListener(Stamps& stamps) : stamps_(stamps) {}
    void OnBuffer(const double* samples, int) override {
        // Buffers arrive in order, so the n-th call belongs to buffer n.
        const std::size_t n = stamps_.calls.load(std::memory_order_relaxed);
        if (n < stamps_.received.size()) stamps_.received[n] = Clock::now();
        benchmark::DoNotOptimize(samples[0]);
        stamps_.calls.store(n + 1, std::memory_order_release);
    }

private:
    Stamps& stamps_;
};

// Arguments: sample rate, rate factor m (buffers of 256*m frames, 64*m of
// them), speed-up of the device's pace.
void BM_BufferFilledToOnBuffer(benchmark::State& state) {
    const int sampleRate = static_cast<int>(state.range(0));
    const int m = static_cast<int>(state.range(1));
    const double speed = static_cast<double>(state.range(2));
    constexpr std::size_t Buffers = 1500;

    std::vector<double> latencies;
    for (auto _ : state) {
        Stamps stamps(Buffers);
        TestCaptureDevice::Settings settings;
        settings.pace = TestCaptureDevice::Pace::RealTime;
        settings.speed = speed;
        auto device = std::make_shared<TestCaptureDevice>(settings);
        device->SetFillObserver([&stamps](std::uint64_t sequence) {
            if (sequence < stamps.filled.size()) stamps.filled[sequence] = Clock::now();
        });
        StampingListener listener(stamps);
        RecorderConfig config;
        config.sampleRate = sampleRate;
        config.bufferCount = 64 * m;
        config.bufferSamples = 256 * m;
        config.listener = &listener;
        config.device = device;
        RecorderHandle recorder;
        Start(recorder, config, true);
        while (stamps.calls.load(std::memory_order_acquire) < Buffers)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Stop(recorder);
        for (std::size_t i = 0; i < Buffers; ++i) {
            latencies.push_back(
                std::chrono::duration<double, std::micro>(stamps.received[i] - stamps.filled[i]).count());
        }
        state.counters["dropped_buffers"] = static_cast<double>(device->DroppedBuffers());
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&latencies](double q) {
        return latencies[std::min(latencies.size() - 1, static_cast<std::size_t>(q * latencies.size()))];
    };
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = latencies.back();
    state.counters["buffers"] = static_cast<double>(latencies.size());
}
BENCHMARK(BM_BufferFilledToOnBuffer)
    ->ArgNames({"rate", "m", "speed"})
    ->Args({11025, 1, 8})
    ->Args({44100, 4, 8})
    ->Args({96000, 8, 8})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_Convert(benchmark::State& state) {
    const int bits = static_cast<int>(state.range(0));
    const int channels = static_cast<int>(state.range(1));
    constexpr int Frames = 1024;
    std::vector<std::uint8_t> source(static_cast<std::size_t>(Frames * channels * bits / 8));
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<std::uint8_t>(i * 31);
    std::vector<double> out(Frames);
    for (auto _ : state) {
        Convert(bits, channels, Frames, source.data(), out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * Frames);
}
BENCHMARK(BM_Convert)
    ->ArgNames({"bits", "channels"})
    ->Args({8, 1})
    ->Args({8, 2})
    ->Args({16, 1})
    ->Args({16, 2});

}  // namespace
}  // namespace Recorder

BENCHMARK_MAIN();
