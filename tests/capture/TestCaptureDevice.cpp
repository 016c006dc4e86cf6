#include "TestCaptureDevice.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <thread>

namespace Recorder {

struct TestCaptureDevice::State {
    explicit State(Settings s) : settings(std::move(s)) {}

    const Settings settings;
    std::mutex mutex;
    std::condition_variable changed;          // any counter below changed
    std::atomic<bool> stallReleased{false};
    std::uint64_t deliveries = 0;             // guarded by mutex
    std::uint64_t dropped = 0;                // guarded by mutex
    int openCalls = 0;                        // guarded by mutex
    int streamsOpen = 0;                      // guarded by mutex
    unsigned int lastDeviceId = 0;            // guarded by mutex
    WaveFormatDesc lastFormat;                // guarded by mutex
    std::function<void(std::uint64_t)> observer;  // set before Open
};

namespace {

using Clock = std::chrono::steady_clock;

class TestCaptureStream final : public ICaptureStream {
public:
    TestCaptureStream(std::shared_ptr<TestCaptureDevice::State> state, const WaveFormatDesc& format,
                      BufferDoneCallback onBufferDone)
        : state_(std::move(state)), format_(format), onBufferDone_(std::move(onBufferDone)) {}

    ~TestCaptureStream() override { Close(); }

    CaptureResult AddBuffer(std::uint8_t* data, std::size_t bytes) override {
        std::lock_guard lock(mutex_);
        if (!open_) return CaptureResult::NotOpen;
        if (failed_) return CaptureResult::BadDevice;
        if (data == nullptr || bytes == 0) return CaptureResult::Failed;
        queue_.push_back({data, bytes});
        wake_.notify_all();
        return CaptureResult::Ok;
    }

    CaptureResult Start() override {
        if (state_->settings.fault == TestCaptureDevice::Fault::FailStart) return CaptureResult::Failed;
        std::lock_guard lock(mutex_);
        if (!open_) return CaptureResult::NotOpen;
        if (worker_.joinable()) return CaptureResult::Ok;
        quit_ = false;
        worker_ = std::thread([this] { Run(); });
        return CaptureResult::Ok;
    }

    CaptureResult Stop() override {
        {
            std::lock_guard lock(mutex_);
            if (!open_) return CaptureResult::NotOpen;
            quit_ = true;
            wake_.notify_all();
        }
        if (worker_.joinable()) worker_.join();
        return CaptureResult::Ok;
    }

    CaptureResult Reset() override {
        if (Stop() != CaptureResult::Ok) return CaptureResult::NotOpen;
        std::lock_guard lock(mutex_);
        queue_.clear();
        return CaptureResult::Ok;
    }

    CaptureResult Close() override {
        if (Reset() != CaptureResult::Ok) return CaptureResult::NotOpen;
        {
            std::lock_guard lock(mutex_);
            open_ = false;
        }
        std::lock_guard lock(state_->mutex);
        --state_->streamsOpen;
        state_->changed.notify_all();
        return CaptureResult::Ok;
    }

private:
    struct Slot {
        std::uint8_t* data;
        std::size_t bytes;
    };

    Clock::duration DurationOf(std::size_t bytes) const {
        const double frames = static_cast<double>(bytes) / BlockAlign(format_);
        const double seconds = frames / format_.sampleRate / state_->settings.speed;
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    }

    bool Stalled() const {
        const auto& settings = state_->settings;
        return settings.fault == TestCaptureDevice::Fault::StallAfterBuffers &&
               delivered_ >= settings.faultAfterBuffers && !state_->stallReleased.load();
    }

    // The device's own thread: takes queued buffers in order, fills and reports them.
    void Run() {
        const bool realTime = state_->settings.pace == TestCaptureDevice::Pace::RealTime;
        std::size_t lastBytes = 0;
        Clock::time_point due = Clock::now();
        for (;;) {
            Slot slot{};
            {
                std::unique_lock lock(mutex_);
                while (Stalled() && !quit_) wake_.wait_for(lock, std::chrono::milliseconds(5));
                if (quit_) return;
                if (realTime) {
                    if (lastBytes == 0) {
                        wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
                        if (quit_) return;
                        lastBytes = queue_.front().bytes;
                        due = Clock::now();
                    }
                    due += DurationOf(queue_.empty() ? lastBytes : queue_.front().bytes);
                    if (wake_.wait_until(lock, due, [this] { return quit_; })) return;
                    if (queue_.empty()) {
                        // Nothing queued when the sound arrived: it is lost.
                        std::lock_guard stateLock(state_->mutex);
                        ++state_->dropped;
                        continue;
                    }
                } else {
                    wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
                    if (quit_) return;
                }
                slot = queue_.front();
                queue_.pop_front();
                lastBytes = slot.bytes;
            }
            Fill(slot);
            std::uint64_t sequence = 0;
            {
                std::lock_guard stateLock(state_->mutex);
                sequence = state_->deliveries++;
                state_->changed.notify_all();
            }
            ++delivered_;
            const auto& settings = state_->settings;
            if (settings.fault == TestCaptureDevice::Fault::FailAfterBuffers &&
                delivered_ >= settings.faultAfterBuffers) {
                std::lock_guard lock(mutex_);
                failed_ = true;
            }
            if (state_->observer) state_->observer(sequence);
            onBufferDone_();
        }
    }

    void Fill(const Slot& slot) {
        const auto& signal = state_->settings.signal;
        const std::uint8_t silence = format_.bitsPerSample == 8 ? 0x80 : 0x00;
        std::size_t done = 0;
        while (done < slot.bytes) {
            if (signal.empty() || (!state_->settings.loopSignal && signalPosition_ >= signal.size())) {
                std::memset(slot.data + done, silence, slot.bytes - done);
                return;
            }
            if (signalPosition_ >= signal.size()) signalPosition_ = 0;
            const std::size_t take = std::min(slot.bytes - done, signal.size() - signalPosition_);
            std::memcpy(slot.data + done, signal.data() + signalPosition_, take);
            done += take;
            signalPosition_ += take;
        }
    }

    const std::shared_ptr<TestCaptureDevice::State> state_;
    const WaveFormatDesc format_;
    const BufferDoneCallback onBufferDone_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Slot> queue_;      // guarded by mutex_
    bool open_ = true;            // guarded by mutex_
    bool failed_ = false;         // guarded by mutex_
    bool quit_ = false;           // guarded by mutex_
    std::thread worker_;
    std::uint64_t delivered_ = 0;       // worker thread only
    std::size_t signalPosition_ = 0;    // worker thread only
};

}  // namespace

TestCaptureDevice::TestCaptureDevice() : TestCaptureDevice(Settings{}) {}

TestCaptureDevice::TestCaptureDevice(Settings settings)
    : state_(std::make_shared<State>(std::move(settings))) {}

TestCaptureDevice::~TestCaptureDevice() = default;

int TestCaptureDevice::DeviceCount() {
    return static_cast<int>(state_->settings.deviceNames.size());
}

bool TestCaptureDevice::DeviceName(unsigned int deviceId, std::string& name) {
    const auto& names = state_->settings.deviceNames;
    if (deviceId == WaveMapperDeviceId) {
        if (names.empty()) return false;
        name = names.front();
        return true;
    }
    if (deviceId >= names.size()) return false;
    name = names[deviceId];
    return true;
}

bool TestCaptureDevice::FormatMask(unsigned int deviceId, std::uint32_t& mask) {
    const auto& settings = state_->settings;
    if (!settings.maskReadable) return false;
    if (deviceId != WaveMapperDeviceId && deviceId >= settings.deviceNames.size()) return false;
    if (deviceId == WaveMapperDeviceId && settings.deviceNames.empty()) return false;
    mask = settings.formatMask;
    return true;
}

CaptureResult TestCaptureDevice::Open(unsigned int deviceId, const WaveFormatDesc& format,
                                      BufferDoneCallback onBufferDone,
                                      std::unique_ptr<ICaptureStream>& stream) {
    stream.reset();
    {
        std::lock_guard lock(state_->mutex);
        ++state_->openCalls;
        state_->lastDeviceId = deviceId;
        state_->lastFormat = format;
        state_->changed.notify_all();
    }
    const auto& settings = state_->settings;
    switch (settings.fault) {
        case Fault::RefuseFormat: return CaptureResult::BadFormat;
        case Fault::FailOpen: return CaptureResult::BadDevice;
        case Fault::StallInOpen:
            while (!state_->stallReleased.load()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            break;
        default: break;
    }
    const bool known = deviceId == WaveMapperDeviceId ? !settings.deviceNames.empty()
                                                      : deviceId < settings.deviceNames.size();
    if (!known) return CaptureResult::BadDevice;
    if (BlockAlign(format) <= 0 || format.sampleRate <= 0) return CaptureResult::BadFormat;
    stream = std::make_unique<TestCaptureStream>(state_, format, std::move(onBufferDone));
    std::lock_guard lock(state_->mutex);
    ++state_->streamsOpen;
    return CaptureResult::Ok;
}

void TestCaptureDevice::SetFillObserver(std::function<void(std::uint64_t)> observer) {
    state_->observer = std::move(observer);
}

void TestCaptureDevice::ReleaseStall() { state_->stallReleased.store(true); }

bool TestCaptureDevice::WaitForDeliveries(std::uint64_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->deliveries >= count; });
}

bool TestCaptureDevice::WaitForOpenCalls(int count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(state_->mutex);
    return state_->changed.wait_for(lock, timeout, [&] { return state_->openCalls >= count; });
}

std::uint64_t TestCaptureDevice::Deliveries() const {
    std::lock_guard lock(state_->mutex);
    return state_->deliveries;
}

std::uint64_t TestCaptureDevice::DroppedBuffers() const {
    std::lock_guard lock(state_->mutex);
    return state_->dropped;
}

int TestCaptureDevice::OpenCalls() const {
    std::lock_guard lock(state_->mutex);
    return state_->openCalls;
}

int TestCaptureDevice::StreamsOpen() const {
    std::lock_guard lock(state_->mutex);
    return state_->streamsOpen;
}

unsigned int TestCaptureDevice::LastDeviceId() const {
    std::lock_guard lock(state_->mutex);
    return state_->lastDeviceId;
}

WaveFormatDesc TestCaptureDevice::LastFormat() const {
    std::lock_guard lock(state_->mutex);
    return state_->lastFormat;
}

std::vector<std::uint8_t> Pcm16Bytes(const std::vector<std::int16_t>& samples) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(samples.size() * 2);
    for (std::int16_t sample : samples) {
        const auto word = static_cast<std::uint16_t>(sample);
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return bytes;
}

}  // namespace Recorder
