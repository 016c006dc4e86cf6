#include "TestCaptureDevice.h"

#include <cmath>
#include <deque>
#include <numbers>
#include <thread>

namespace Recorder {

// One mutex and one condition variable serve the device and all of its
// streams: every change is made under `mutex` and announced on `changed`, so
// a stall release, a queued buffer or a stop wakes whoever waits for it.
struct TestCaptureDevice::State {
    explicit State(Settings s) : settings(std::move(s)) {}

    bool Known(unsigned int deviceId) const {
        return deviceId == WaveMapperDeviceId ? !settings.deviceNames.empty()
                                              : deviceId < settings.deviceNames.size();
    }

    const Settings settings;
    std::mutex mutex;
    std::condition_variable changed;
    bool stallReleased = false;                   // guarded by mutex
    std::uint64_t deliveries = 0;                 // guarded by mutex
    std::uint64_t dropped = 0;                    // guarded by mutex
    int openCalls = 0;                            // guarded by mutex
    int streamsOpen = 0;                          // guarded by mutex
    unsigned int lastDeviceId = 0;                // guarded by mutex
    WaveFormatDesc lastFormat;                    // guarded by mutex
    std::function<void(std::uint64_t)> observer;  // set before Open
};

namespace {

using Clock = std::chrono::steady_clock;
using Fault = TestCaptureDevice::Fault;

class TestCaptureStream final : public ICaptureStream {
public:
    TestCaptureStream(std::shared_ptr<TestCaptureDevice::State> state, const WaveFormatDesc& format,
                      BufferDoneCallback onBufferDone)
        : state_(std::move(state)), format_(format), onBufferDone_(std::move(onBufferDone)) {}

    ~TestCaptureStream() override { Close(); }

    CaptureResult AddBuffer(std::uint8_t* data, std::size_t bytes) override {
        std::lock_guard lock(state_->mutex);
        if (!open_) return CaptureResult::NotOpen;
        if (failed_) return CaptureResult::BadDevice;
        if (data == nullptr || bytes == 0) return CaptureResult::Failed;
        queue_.push_back({data, bytes});
        state_->changed.notify_all();
        return CaptureResult::Ok;
    }

    CaptureResult Start() override {
        if (state_->settings.fault == Fault::FailStart) return CaptureResult::Failed;
        std::lock_guard lock(state_->mutex);
        if (!open_) return CaptureResult::NotOpen;
        if (!worker_.joinable()) {
            quit_ = false;
            worker_ = std::thread([this] { Run(); });
        }
        return CaptureResult::Ok;
    }

    std::uint64_t DroppedFrames() const override {
        std::lock_guard lock(state_->mutex);
        return delivered_ > 0 ? state_->settings.droppedFrames : 0;
    }

    CaptureResult Stop() override { return Halt(false, false); }
    CaptureResult Reset() override { return Halt(true, false); }
    CaptureResult Close() override { return Halt(true, true); }

private:
    struct Slot {
        std::uint8_t* data;
        std::size_t bytes;
    };

    // Stop, Reset and Close: ends the device's thread, then forgets the
    // queued buffers and closes the stream as asked.
    CaptureResult Halt(bool forgetQueue, bool close) {
        std::unique_lock lock(state_->mutex);
        if (!open_) return CaptureResult::NotOpen;
        quit_ = true;
        state_->changed.notify_all();
        lock.unlock();
        if (worker_.joinable()) worker_.join();
        lock.lock();
        if (forgetQueue) queue_.clear();
        if (close) {
            open_ = false;
            --state_->streamsOpen;
            state_->changed.notify_all();
        }
        return CaptureResult::Ok;
    }

    Clock::duration DurationOf(std::size_t bytes) const {
        const double seconds =
            static_cast<double>(bytes) / BlockAlign(format_) / format_.sampleRate / state_->settings.speed;
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    }

    // The device's own thread: takes queued buffers in order, fills and
    // reports them. At RealTime pace the clock starts with the first queued
    // buffer; a buffer duration that passes with nothing queued is lost.
    void Run() {
        const auto& settings = state_->settings;
        const bool realTime = settings.pace == TestCaptureDevice::Pace::RealTime;
        std::size_t lastBytes = 0;  // 0 until the first buffer arrives
        Clock::time_point due;
        std::unique_lock lock(state_->mutex);
        for (;;) {
            const bool paced = realTime && lastBytes > 0;
            state_->changed.wait(lock, [&] {
                const bool stalled = settings.fault == Fault::StallAfterBuffers &&
                                     delivered_ >= settings.faultAfterBuffers && !state_->stallReleased;
                return quit_ || (!stalled && (paced || !queue_.empty()));
            });
            if (quit_) return;
            if (realTime) {
                if (!paced) due = Clock::now();
                due += DurationOf(queue_.empty() ? lastBytes : queue_.front().bytes);
                if (state_->changed.wait_until(lock, due, [this] { return quit_; })) return;
                if (queue_.empty()) {
                    ++state_->dropped;
                    continue;
                }
            }
            const Slot slot = queue_.front();
            queue_.pop_front();
            lastBytes = slot.bytes;
            Fill(slot);
            const std::uint64_t sequence = state_->deliveries++;
            ++delivered_;
            failed_ = failed_ ||
                      (settings.fault == Fault::FailAfterBuffers && delivered_ >= settings.faultAfterBuffers);
            state_->changed.notify_all();
            lock.unlock();
            if (state_->observer) state_->observer(sequence);
            onBufferDone_();
            lock.lock();
        }
    }

    // Copies the signal on from where the last buffer ended, looping;
    // silence when there is none.
    void Fill(const Slot& slot) {
        const auto& signal = state_->settings.signal;
        const std::uint8_t silence = format_.bitsPerSample == 8 ? 0x80 : 0x00;
        for (std::size_t i = 0; i < slot.bytes; ++i) {
            if (signalPosition_ >= signal.size()) signalPosition_ = 0;
            slot.data[i] = signalPosition_ < signal.size() ? signal[signalPosition_++] : silence;
        }
    }

    const std::shared_ptr<TestCaptureDevice::State> state_;
    const WaveFormatDesc format_;
    const BufferDoneCallback onBufferDone_;

    std::deque<Slot> queue_;       // guarded by state_->mutex
    bool open_ = true;             // guarded by state_->mutex
    bool failed_ = false;          // guarded by state_->mutex
    bool quit_ = false;            // guarded by state_->mutex
    std::uint64_t delivered_ = 0;  // guarded by state_->mutex
    std::thread worker_;
    std::size_t signalPosition_ = 0;  // guarded by state_->mutex
};

template <typename T>
T Locked(TestCaptureDevice::State& state, const T& field) {
    std::lock_guard lock(state.mutex);
    return field;
}

}  // namespace

TestCaptureDevice::TestCaptureDevice() : TestCaptureDevice(Settings{}) {}

TestCaptureDevice::TestCaptureDevice(Settings settings)
    : state_(std::make_shared<State>(std::move(settings))) {}

TestCaptureDevice::~TestCaptureDevice() = default;

int TestCaptureDevice::DeviceCount() {
    return static_cast<int>(state_->settings.deviceNames.size());
}

bool TestCaptureDevice::DeviceName(unsigned int deviceId, std::string& name) {
    if (!state_->Known(deviceId)) return false;
    name = state_->settings.deviceNames[deviceId == WaveMapperDeviceId ? 0 : deviceId];
    return true;
}

bool TestCaptureDevice::FormatMask(unsigned int deviceId, std::uint32_t& mask) {
    if (!state_->settings.maskReadable || !state_->Known(deviceId)) return false;
    mask = state_->settings.formatMask;
    return true;
}

CaptureResult TestCaptureDevice::Open(unsigned int deviceId, const WaveFormatDesc& format,
                                      BufferDoneCallback onBufferDone,
                                      std::unique_ptr<ICaptureStream>& stream) {
    stream.reset();
    const Fault fault = state_->settings.fault;
    std::unique_lock lock(state_->mutex);
    ++state_->openCalls;
    state_->lastDeviceId = deviceId;
    state_->lastFormat = format;
    state_->changed.notify_all();
    if (fault == Fault::StallInOpen) state_->changed.wait(lock, [this] { return state_->stallReleased; });
    if (fault == Fault::RefuseFormat) return CaptureResult::BadFormat;
    if (fault == Fault::FailOpen || !state_->Known(deviceId)) return CaptureResult::BadDevice;
    if (BlockAlign(format) <= 0 || format.sampleRate <= 0) return CaptureResult::BadFormat;
    stream = std::make_unique<TestCaptureStream>(state_, format, std::move(onBufferDone));
    ++state_->streamsOpen;
    return CaptureResult::Ok;
}

void TestCaptureDevice::SetFillObserver(std::function<void(std::uint64_t)> observer) {
    state_->observer = std::move(observer);
}

void TestCaptureDevice::ReleaseStall() {
    std::lock_guard lock(state_->mutex);
    state_->stallReleased = true;
    state_->changed.notify_all();
}

bool TestCaptureDevice::WaitForOpenCalls(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->openCalls >= count; });
}

std::uint64_t TestCaptureDevice::Deliveries() const {
    return Locked(*state_, state_->deliveries);
}
std::uint64_t TestCaptureDevice::DroppedBuffers() const {
    return Locked(*state_, state_->dropped);
}
int TestCaptureDevice::OpenCalls() const {
    return Locked(*state_, state_->openCalls);
}
int TestCaptureDevice::StreamsOpen() const {
    return Locked(*state_, state_->streamsOpen);
}
unsigned int TestCaptureDevice::LastDeviceId() const {
    return Locked(*state_, state_->lastDeviceId);
}
WaveFormatDesc TestCaptureDevice::LastFormat() const {
    return Locked(*state_, state_->lastFormat);
}

std::vector<std::uint8_t> Pcm16Bytes(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> bytes;
    for (std::int16_t sample : samples) {
        const auto word = static_cast<std::uint16_t>(sample);
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

std::vector<std::uint8_t> SinePcm16(double frequency, double seconds, int sampleRate, double amplitude) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(seconds * sampleRate));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(
            std::lround(amplitude * 32767.0 *
                        std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / sampleRate)));
    return Pcm16Bytes(samples);
}

}  // namespace Recorder
