#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "RecorderTestSupport.h"
#include "TestCaptureDevice.h"
#include "WaitUntil.h"

namespace Recorder {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Fault = TestCaptureDevice::Fault;

// 16-bit mono whose sample k reads back as (k - 32768) / 32768: every
// converted sample tells where in the signal it came from.
std::shared_ptr<TestCaptureDevice> MakeDevice(Fault fault = Fault::None, std::uint64_t faultAfter = 0) {
    TestCaptureDevice::Settings settings;
    std::vector<std::int16_t> samples(65536);
    for (std::size_t k = 0; k < samples.size(); ++k) samples[k] = static_cast<std::int16_t>(k - 32768);
    settings.signal = Pcm16Bytes(samples);
    settings.fault = fault;
    settings.faultAfterBuffers = faultAfter;
    return std::make_shared<TestCaptureDevice>(std::move(settings));
}

RecorderConfig ConfigFor(std::shared_ptr<ICaptureDevice> device, IRecorderListener* listener) {
    RecorderConfig config;
    config.bufferCount = 8;
    config.bufferSamples = 64;
    config.listener = listener;
    config.device = std::move(device);
    return config;
}

void ExpectConsecutive(const std::vector<double>& samples) {
    for (std::size_t i = 0; i < samples.size(); ++i)
        ASSERT_EQ(std::lround(samples[i] * 32768.0) + 32768, static_cast<long>(i % 65536)) << "sample " << i;
}

TEST(Recorder, SlowListenerGetsEveryBufferOnceAndInOrder) {
    auto device = MakeDevice();
    CollectingListener listener;
    listener.delay = 2ms;
    std::int64_t maxBacklog = 0;  // filled buffers not yet handed on
    listener.onCall = [&](std::size_t calls) {
        maxBacklog = std::max(maxBacklog, static_cast<std::int64_t>(device->Deliveries() - calls));
    };
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), true);
    EXPECT_EQ(Status(recorder), StatusCapturing);
    ASSERT_TRUE(listener.WaitForCalls(150, 20s));
    EXPECT_TRUE(Stop(recorder));
    EXPECT_FALSE(recorder);
    EXPECT_EQ(device->StreamsOpen(), 0);
    // Buffers piled up during the slow calls, yet none was lost or repeated.
    EXPECT_GE(maxBacklog, 2);
    EXPECT_LE(device->Deliveries(), listener.counts.size() + 8);
    for (int count : listener.counts) ASSERT_EQ(count, 64);
    ExpectConsecutive(listener.samples);
}

TEST(Recorder, OpensTheConfiguredDeviceAndFormatAndConvertsInIt) {
    TestCaptureDevice::Settings settings;
    settings.signal = {192, 64, 255, 255};  // 8-bit stereo frames (192, 64), (255, 255)
    auto device = std::make_shared<TestCaptureDevice>(settings);
    CollectingListener listener;
    RecorderConfig config = ConfigFor(device, &listener);
    config.deviceId = 0;
    config.channels = 2;
    config.bitsPerSample = 8;
    config.sampleRate = 22050;
    RecorderHandle recorder;
    Start(recorder, config, true);
    ASSERT_TRUE(listener.WaitForCalls(1));
    Stop(recorder);
    EXPECT_EQ(device->LastDeviceId(), 0u);
    EXPECT_EQ(device->LastFormat(), (WaveFormatDesc{2, 8, 22050}));
    EXPECT_EQ(std::vector<double>(listener.samples.begin(), listener.samples.begin() + 3),
              (std::vector<double>{0.0, 254.0 / 128.0, 0.0}));
}

// Every failure the thread reports during the handshake is code 2, comes at
// the next poll rather than at the 2 s limit, and Stop does not wait 10 s.
TEST(Recorder, FailedHandshakeIsCodeTwoAndStopsAtOnce) {
    const std::pair<const char*, std::function<void(RecorderConfig&)>> cases[] = {
        {"refused format", [](RecorderConfig& c) { c.device = MakeDevice(Fault::RefuseFormat); }},
        {"open fails", [](RecorderConfig& c) { c.device = MakeDevice(Fault::FailOpen); }},
        {"start fails", [](RecorderConfig& c) { c.device = MakeDevice(Fault::FailStart); }},
        {"unknown device", [](RecorderConfig& c) { c.deviceId = 5; }},
        {"no buffers", [](RecorderConfig& c) { c.bufferCount = 0; }},
        {"negative buffer size", [](RecorderConfig& c) { c.bufferSamples = -5; }},
        {"three channels", [](RecorderConfig& c) { c.channels = 3; }},
        {"24 bits", [](RecorderConfig& c) { c.bitsPerSample = 24; }},
        {"no listener", [](RecorderConfig& c) { c.listener = nullptr; }},
        {"no device", [](RecorderConfig& c) { c.device = nullptr; }},
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        CollectingListener listener;
        RecorderConfig config = ConfigFor(MakeDevice(), &listener);
        change(config);
        RecorderHandle recorder;
        const auto t0 = Clock::now();
        ExpectStartThrows(recorder, config, 2);
        EXPECT_LT(Clock::now() - t0, 1000ms);
        EXPECT_EQ(Status(recorder), StatusFailed);
        const auto t1 = Clock::now();
        EXPECT_TRUE(Stop(recorder));
        EXPECT_LT(Clock::now() - t1, 2000ms);
        if (auto device = std::static_pointer_cast<TestCaptureDevice>(config.device)) {
            EXPECT_EQ(device->StreamsOpen(), 0);
        }
        EXPECT_TRUE(listener.counts.empty());
    }
    RecorderHandle empty;
    EXPECT_TRUE(Stop(empty));
    EXPECT_EQ(Status(empty), StatusFailed);
}

TEST(Recorder, SilentDeviceIsCodeFourAndAStuckThreadIsLetGoWithItsContext) {
    auto device = MakeDevice(Fault::StallInOpen);
    CollectingListener listener;
    RecorderHandle recorder;
    const auto t0 = Clock::now();
    ExpectStartThrows(recorder, ConfigFor(device, &listener), 4);
    EXPECT_GE(Clock::now() - t0, 2000ms);
    EXPECT_EQ(Status(recorder), StatusStarting);
    // Stop gives up on the thread hanging in the device after its (shortened)
    // time-out; let go later, the thread closes the device without calling
    // the listener and frees the context it kept alive.
    std::weak_ptr<RecorderContext> context = recorder;
    EXPECT_FALSE(Stop(recorder, 100));
    EXPECT_FALSE(context.expired());
    // Remembered for good: the program must not close the sound system.
    EXPECT_TRUE(AnyRecorderAbandoned());
    device->ReleaseStall();
    EXPECT_TRUE(WaitUntil([&] { return context.expired(); }, 10s));
    EXPECT_EQ(device->StreamsOpen(), 0);
    EXPECT_TRUE(listener.counts.empty());
}

TEST(Recorder, StartWithoutWaitReturnsAtOnceAndReportsThroughStatus) {
    auto device = MakeDevice(Fault::StallInOpen);
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), false);  // Open hangs: waiting would block here
    ASSERT_TRUE(device->WaitForOpenCalls(1, 5s));
    EXPECT_EQ(Status(recorder), StatusStarting);
    device->ReleaseStall();
    ASSERT_TRUE(listener.WaitForCalls(3));
    EXPECT_EQ(Status(recorder), StatusCapturing);

    // Starting again stops the recorder still held in the handle.
    std::weak_ptr<RecorderContext> old = recorder;
    Start(recorder, ConfigFor(MakeDevice(Fault::RefuseFormat), &listener), false);
    EXPECT_TRUE(old.expired());
    EXPECT_EQ(device->StreamsOpen(), 0);
    EXPECT_TRUE(WaitUntil([&] { return Status(recorder) == StatusFailed; }));
    EXPECT_TRUE(Stop(recorder));
}

TEST(Recorder, StopWhileTheThreadWaitsForAStalledDeviceIsPrompt) {
    auto device = MakeDevice(Fault::StallAfterBuffers, 12);
    CollectingListener listener;
    RecorderHandle recorder;
    Start(recorder, ConfigFor(device, &listener), true);
    ASSERT_TRUE(listener.WaitForCalls(12));
    std::this_thread::sleep_for(50ms);  // the thread now waits for a buffer that never comes
    EXPECT_EQ(Status(recorder), StatusCapturing);
    const auto t0 = Clock::now();
    EXPECT_TRUE(Stop(recorder));
    EXPECT_LT(Clock::now() - t0, 2000ms);
    EXPECT_EQ(listener.counts.size(), 12u);
    EXPECT_EQ(device->StreamsOpen(), 0);
}

TEST(Recorder, DeviceFailingMidwayOrAThrowingListenerEndsTheCaptureWithStatusTwo) {
    struct Throwing final : IRecorderListener {
        std::atomic<int> calls{0};
        void OnBuffer(const double*, int) override {
            if (++calls == 3) throw std::length_error("list too long");
        }
    } throwing;
    CollectingListener listener;
    using Case = std::pair<std::shared_ptr<TestCaptureDevice>, IRecorderListener*>;
    for (auto [device, target] :
         {Case{MakeDevice(Fault::FailAfterBuffers, 60), &listener}, Case{MakeDevice(), &throwing}}) {
        RecorderHandle recorder;
        Start(recorder, ConfigFor(device, target), false);
        EXPECT_TRUE(WaitUntil([&] { return Status(recorder) == StatusFailed; }));
        const auto t0 = Clock::now();
        EXPECT_TRUE(Stop(recorder));
        EXPECT_LT(Clock::now() - t0, 2000ms);
        EXPECT_EQ(device->StreamsOpen(), 0);
    }
    // The thread ends at the first failing re-queue: up to the eight queued
    // buffers may have been filled beyond the last one handed on.
    EXPECT_LE(listener.counts.size(), 60u);
    EXPECT_GE(listener.counts.size(), 52u);
    ExpectConsecutive(listener.samples);
    EXPECT_EQ(throwing.calls.load(), 3);
}

TEST(Recorder, StopCalledFromTheListenerDoesNotDeadlock) {
    // Stop cannot join the thread it runs on, so it lets the thread end by itself.
    struct SelfStopping final : IRecorderListener {
        RecorderHandle recorder;
        std::atomic<bool> ready{false};
        void OnBuffer(const double*, int) override {
            if (ready.exchange(false)) Stop(recorder);
        }
    } listener;
    std::weak_ptr<RecorderContext> context;
    {
        RecorderHandle handle;
        Start(handle, ConfigFor(MakeDevice(), &listener), false);
        context = handle;
        listener.recorder = std::move(handle);
        listener.ready.store(true);
    }
    EXPECT_TRUE(WaitUntil([&] { return context.expired(); }));
}

}  // namespace
}  // namespace Recorder
