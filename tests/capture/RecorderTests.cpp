#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include "TestCaptureDevice.h"
#include "capture/Recorder.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Records what reaches the listener; can be made slow to let buffers pile up.
class CollectingListener final : public IRecorderListener {
public:
    explicit CollectingListener(std::chrono::milliseconds delay = 0ms) : delay_(delay) {}

    void OnBuffer(const double* samples, int count) override {
        {
            std::lock_guard lock(mutex_);
            samples_.insert(samples_.end(), samples, samples + count);
            counts_.push_back(count);
            if (device_ != nullptr) {
                // How far the device ran ahead of the listener at this call.
                const auto delivered = static_cast<std::int64_t>(device_->Deliveries());
                maxBacklog_ = std::max(maxBacklog_, delivered - static_cast<std::int64_t>(counts_.size()));
            }
            changed_.notify_all();
        }
        if (delay_ > 0ms) std::this_thread::sleep_for(delay_);
    }

    bool WaitForCalls(std::size_t calls, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return counts_.size() >= calls; });
    }

    void WatchBacklogOf(const TestCaptureDevice* device) { device_ = device; }

    std::vector<double> Samples() {
        std::lock_guard lock(mutex_);
        return samples_;
    }
    std::vector<int> Counts() {
        std::lock_guard lock(mutex_);
        return counts_;
    }
    std::int64_t MaxBacklog() {
        std::lock_guard lock(mutex_);
        return maxBacklog_;
    }

private:
    const std::chrono::milliseconds delay_;
    const TestCaptureDevice* device_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<double> samples_;
    std::vector<int> counts_;
    std::int64_t maxBacklog_ = 0;
};

// A 16-bit mono signal whose sample k is k (mod 65536) offset by -32768, so
// that the position of every converted sample can be read back exactly.
std::vector<std::uint8_t> CountingSignal(std::size_t length) {
    std::vector<std::int16_t> samples(length);
    for (std::size_t k = 0; k < length; ++k)
        samples[k] = static_cast<std::int16_t>(static_cast<int>(k % 65536) - 32768);
    return Pcm16Bytes(samples);
}

long PositionOf(double converted) { return std::lround(converted * 32768.0) + 32768; }

RecorderConfig ConfigFor(std::shared_ptr<TestCaptureDevice> device, IRecorderListener* listener) {
    RecorderConfig config;
    config.deviceId = WaveMapperDeviceId;
    config.channels = 1;
    config.bitsPerSample = 16;
    config.sampleRate = 11025;
    config.bufferCount = 8;
    config.bufferSamples = 64;
    config.listener = listener;
    config.device = std::move(device);
    return config;
}

std::shared_ptr<TestCaptureDevice> MakeDevice(TestCaptureDevice::Settings settings = {}) {
    if (settings.signal.empty()) settings.signal = CountingSignal(65536);
    return std::make_shared<TestCaptureDevice>(std::move(settings));
}

void ExpectConsecutive(const std::vector<double>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (PositionOf(samples[i]) != static_cast<long>(i % 65536)) {
            ADD_FAILURE() << "sample " << i << " came from position " << PositionOf(samples[i]);
            return;
        }
    }
}

TEST(RecorderStart, WithWaitReturnsCapturingAndDeliversEveryBufferInOrder) {
    auto device = MakeDevice();
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), true);
    ASSERT_TRUE(recorder);
    EXPECT_EQ(Status(recorder), StatusCapturing);
    ASSERT_TRUE(listener.WaitForCalls(1200, 10s));  // the signal wraps after 1024 buffers
    EXPECT_TRUE(Stop(recorder));
    EXPECT_FALSE(recorder);

    EXPECT_EQ(device->LastDeviceId(), WaveMapperDeviceId);
    EXPECT_EQ(device->LastFormat(), (WaveFormatDesc{1, 16, 11025}));
    EXPECT_EQ(device->StreamsOpen(), 0);
    for (int count : listener.Counts()) ASSERT_EQ(count, 64);
    // Every filled buffer reached the listener exactly once, none skipped or repeated.
    EXPECT_GE(device->Deliveries(), listener.Counts().size());
    EXPECT_LE(device->Deliveries(), listener.Counts().size() + 8);
    ExpectConsecutive(listener.Samples());
}

TEST(RecorderStart, SlowListenerStillGetsEveryBufferOnceAndInOrder) {
    auto device = MakeDevice();
    CollectingListener listener(2ms);
    listener.WatchBacklogOf(device.get());
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), true);
    ASSERT_TRUE(listener.WaitForCalls(150, 20s));
    EXPECT_TRUE(Stop(recorder));

    // The device filled several buffers during each slow call, so the pending
    // count went above one, and still nothing was lost or repeated.
    EXPECT_GE(listener.MaxBacklog(), 2);
    ExpectConsecutive(listener.Samples());
}

TEST(RecorderStart, ConvertsInTheRecordedFormat) {
    TestCaptureDevice::Settings settings;
    settings.signal = {192, 64, 255, 255};  // 8-bit stereo frames: (192, 64), (255, 255)
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderConfig config = ConfigFor(device, &listener);
    config.channels = 2;
    config.bitsPerSample = 8;
    config.sampleRate = 22050;
    config.deviceId = 0;
    RecorderHandle recorder;
    Start(recorder, config, true);
    ASSERT_TRUE(listener.WaitForCalls(2, 5s));
    Stop(recorder);
    EXPECT_EQ(device->LastDeviceId(), 0u);
    EXPECT_EQ(device->LastFormat(), (WaveFormatDesc{2, 8, 22050}));
    const std::vector<double> samples = listener.Samples();
    ASSERT_GE(samples.size(), 4u);
    EXPECT_DOUBLE_EQ(samples[0], 0.0);
    EXPECT_DOUBLE_EQ(samples[1], 254.0 / 128.0);
    EXPECT_DOUBLE_EQ(samples[2], 0.0);
}

TEST(RecorderStart, RefusedFormatFailsAtTheNextPollAndStopsWithoutWaiting) {
    TestCaptureDevice::Settings settings;
    settings.fault = TestCaptureDevice::Fault::RefuseFormat;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderHandle recorder;
    const auto t0 = Clock::now();
    try {
        Start(recorder, ConfigFor(device, &listener), true);
        FAIL() << "Start did not throw";
    } catch (const RecorderException& e) {
        EXPECT_EQ(e.Code(), 2);
    }
    // Reported at the next 50 ms poll, far from the 2000 ms limit.
    EXPECT_LT(Clock::now() - t0, 1000ms);
    ASSERT_TRUE(recorder);  // the caller still holds the context to stop it
    EXPECT_EQ(Status(recorder), StatusFailed);
    const auto t1 = Clock::now();
    EXPECT_TRUE(Stop(recorder));
    EXPECT_LT(Clock::now() - t1, 2000ms);  // no 10 s wait after a failure
    EXPECT_TRUE(listener.Counts().empty());
}

TEST(RecorderStart, FailureAtOpenOrStartIsCodeTwoAndLeavesTheDeviceClosed) {
    for (auto fault : {TestCaptureDevice::Fault::FailOpen, TestCaptureDevice::Fault::FailStart}) {
        TestCaptureDevice::Settings settings;
        settings.fault = fault;
        auto device = MakeDevice(settings);
        CollectingListener listener;
        RecorderHandle recorder;
        try {
            Start(recorder, ConfigFor(device, &listener), true);
            ADD_FAILURE() << "Start did not throw";
        } catch (const RecorderException& e) {
            EXPECT_EQ(e.Code(), 2);
        }
        EXPECT_TRUE(Stop(recorder));
        EXPECT_EQ(device->StreamsOpen(), 0);
        EXPECT_EQ(device->OpenCalls(), 1);
    }
}

TEST(RecorderStart, InvalidSetupIsReportedAsCodeTwo) {
    CollectingListener listener;
    std::vector<RecorderConfig> configs;
    for (int variant = 0; variant < 6; ++variant) {
        RecorderConfig config = ConfigFor(MakeDevice(), &listener);
        switch (variant) {
            case 0: config.bufferCount = 0; break;
            case 1: config.bufferSamples = -5; break;
            case 2: config.channels = 3; break;
            case 3: config.bitsPerSample = 24; break;
            case 4: config.listener = nullptr; break;
            case 5: config.device = nullptr; break;
        }
        RecorderHandle recorder;
        try {
            Start(recorder, config, true);
            ADD_FAILURE() << "variant " << variant << " started";
        } catch (const RecorderException& e) {
            EXPECT_EQ(e.Code(), 2) << "variant " << variant;
        }
        EXPECT_TRUE(Stop(recorder));
    }
}

TEST(RecorderStart, DeviceUnknownToTheLayerIsCodeTwo) {
    auto device = MakeDevice();
    CollectingListener listener;
    RecorderConfig config = ConfigFor(device, &listener);
    config.deviceId = 5;
    RecorderHandle recorder;
    try {
        Start(recorder, config, true);
        ADD_FAILURE() << "Start did not throw";
    } catch (const RecorderException& e) {
        EXPECT_EQ(e.Code(), 2);
    }
    Stop(recorder);
}

TEST(RecorderStart, SilentDeviceIsCodeFourAndAStuckThreadIsLetGoWithItsContext) {
    TestCaptureDevice::Settings settings;
    settings.fault = TestCaptureDevice::Fault::StallInOpen;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderHandle recorder;
    const auto t0 = Clock::now();
    try {
        Start(recorder, ConfigFor(device, &listener), true);
        FAIL() << "Start did not throw";
    } catch (const RecorderException& e) {
        EXPECT_EQ(e.Code(), 4);
    }
    EXPECT_GE(Clock::now() - t0, 2000ms);
    EXPECT_EQ(Status(recorder), StatusStarting);

    // The thread hangs in the device: Stop gives up on it after its time-out
    // (shortened here) and the context stays alive for the thread.
    std::weak_ptr<RecorderContext> context = recorder;
    EXPECT_FALSE(Stop(recorder, 100));
    EXPECT_FALSE(recorder);
    EXPECT_FALSE(context.expired());

    // Once the device lets go, the thread sees that it was stopped, closes
    // the device without calling the listener and frees the context.
    device->ReleaseStall();
    const auto deadline = Clock::now() + 10s;
    while (!context.expired() && Clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(context.expired());
    EXPECT_EQ(device->StreamsOpen(), 0);
    EXPECT_TRUE(listener.Counts().empty());
}

TEST(RecorderStart, WithoutWaitReturnsAtOnceAndReportsLater) {
    TestCaptureDevice::Settings settings;
    settings.fault = TestCaptureDevice::Fault::StallInOpen;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderHandle recorder;
    // Open hangs, so anything but an immediate return would block here.
    Start(recorder, ConfigFor(device, &listener), false);
    ASSERT_TRUE(device->WaitForOpenCalls(1, 5s));
    EXPECT_EQ(Status(recorder), StatusStarting);
    device->ReleaseStall();
    ASSERT_TRUE(listener.WaitForCalls(3, 5s));
    EXPECT_EQ(Status(recorder), StatusCapturing);
    EXPECT_TRUE(Stop(recorder));
}

TEST(RecorderStart, WithoutWaitAFailureShowsOnlyAsStatusTwo) {
    TestCaptureDevice::Settings settings;
    settings.fault = TestCaptureDevice::Fault::RefuseFormat;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), false);  // must not throw
    const auto deadline = Clock::now() + 5s;
    while (Status(recorder) == StatusStarting && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(Status(recorder), StatusFailed);
    EXPECT_TRUE(Stop(recorder));
}

TEST(RecorderCapture, DeviceFailingMidwayEndsTheThreadWithStatusTwo) {
    TestCaptureDevice::Settings settings;
    settings.fault = TestCaptureDevice::Fault::FailAfterBuffers;
    settings.faultAfterBuffers = 60;
    // At the pace of a real device the failure comes about 350 ms after the
    // start, well after the handshake saw the capture running.
    settings.pace = TestCaptureDevice::Pace::RealTime;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), true);
    const auto deadline = Clock::now() + 5s;
    while (Status(recorder) != StatusFailed && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(Status(recorder), StatusFailed);
    const auto t0 = Clock::now();
    EXPECT_TRUE(Stop(recorder));
    EXPECT_LT(Clock::now() - t0, 2000ms);
    EXPECT_EQ(device->StreamsOpen(), 0);
    // The thread ends at the first re-queueing that fails: the device may
    // have filled up to bufferCount buffers beyond the last one handed over.
    EXPECT_LE(listener.Counts().size(), 60u);
    EXPECT_GE(listener.Counts().size(), 60u - 8u);
    ExpectConsecutive(listener.Samples());
}

TEST(RecorderCapture, ListenerThatThrowsEndsTheCaptureLikeAFailingDevice) {
    class Throwing final : public IRecorderListener {
    public:
        std::atomic<int> calls{0};
        void OnBuffer(const double*, int) override {
            if (++calls == 3) throw std::length_error("list too long");
        }
    };
    auto device = MakeDevice();
    Throwing listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), false);
    const auto deadline = Clock::now() + 5s;
    while (Status(recorder) != StatusFailed && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(Status(recorder), StatusFailed);
    EXPECT_TRUE(Stop(recorder));
    EXPECT_EQ(listener.calls.load(), 3);
    EXPECT_EQ(device->StreamsOpen(), 0);
}

TEST(RecorderCapture, StopWhileTheThreadWaitsForAStalledDeviceIsPrompt) {
    TestCaptureDevice::Settings settings;
    settings.fault = TestCaptureDevice::Fault::StallAfterBuffers;
    settings.faultAfterBuffers = 12;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), true);
    ASSERT_TRUE(listener.WaitForCalls(12, 5s));
    std::this_thread::sleep_for(50ms);  // the thread now waits for a buffer that never comes
    EXPECT_EQ(Status(recorder), StatusCapturing);
    const auto t0 = Clock::now();
    EXPECT_TRUE(Stop(recorder));
    EXPECT_LT(Clock::now() - t0, 2000ms);
    EXPECT_EQ(listener.Counts().size(), 12u);
    EXPECT_EQ(device->StreamsOpen(), 0);
}

TEST(RecorderCapture, RealTimePaceDeliversContinuously) {
    TestCaptureDevice::Settings settings;
    settings.pace = TestCaptureDevice::Pace::RealTime;
    settings.speed = 4.0;
    auto device = MakeDevice(settings);
    CollectingListener listener;
    RecorderConfig config = ConfigFor(device, &listener);
    config.bufferCount = 64;   // about 370 ms of slack at this pace, even on a busy machine
    RecorderHandle recorder;
    Start(recorder, config, true);
    ASSERT_TRUE(listener.WaitForCalls(40, 10s));
    EXPECT_TRUE(Stop(recorder));
    EXPECT_EQ(device->DroppedBuffers(), 0u);
    ExpectConsecutive(listener.Samples());
}

TEST(RecorderStart, StopsTheRecorderStillHeldInTheHandle) {
    auto first = MakeDevice();
    auto second = MakeDevice();
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(first, &listener), true);
    std::weak_ptr<RecorderContext> old = recorder;
    Start(recorder, ConfigFor(second, &listener), true);
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(first->StreamsOpen(), 0);
    EXPECT_EQ(second->StreamsOpen(), 1);
    EXPECT_TRUE(Stop(recorder));
}

TEST(RecorderStop, EmptyHandleIsHarmless) {
    RecorderHandle recorder;
    EXPECT_TRUE(Stop(recorder));
    EXPECT_EQ(Status(recorder), StatusFailed);
}

TEST(RecorderStop, CalledFromTheListenerDoesNotDeadlock) {
    // A listener that stops its own recorder: Stop cannot join the calling
    // thread, so it lets the thread end by itself.
    class SelfStopping final : public IRecorderListener {
    public:
        RecorderHandle recorder;
        std::atomic<bool> ready{false};
        std::atomic<bool> stopped{false};
        void OnBuffer(const double*, int) override {
            if (ready.load() && !stopped.exchange(true)) Stop(recorder);
        }
    };
    auto device = MakeDevice();
    SelfStopping listener;
    std::weak_ptr<RecorderContext> context;
    {
        RecorderHandle handle;
        Start(handle, ConfigFor(device, &listener), false);
        context = handle;
        listener.recorder = std::move(handle);
        listener.ready.store(true);
    }
    const auto deadline = Clock::now() + 5s;
    while (!context.expired() && Clock::now() < deadline) std::this_thread::sleep_for(1ms);
    EXPECT_TRUE(context.expired());
}

}  // namespace
}  // namespace Recorder
