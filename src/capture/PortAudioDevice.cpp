#include "capture/PortAudioDevice.h"

#include "capture/PortAudioMessages.h"
#include "capture/Recorder.h"

#include <portaudio.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include <dlfcn.h>

#ifdef ZELVO_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace Recorder {

namespace {

// ---- keeping the sound libraries' start-up chatter off the terminal ----

#ifdef ZELVO_HAVE_ALSA
void DiscardAlsaError(const char*, int, const char*, int, const char*, ...) {}
#endif
void DiscardJackMessage(const char*) {}

// Sessions may nest; the quiet handlers are installed by the first and
// removed by the last. Guarded by QuietMutex.
std::mutex QuietMutex;
int QuietSessions = 0;

using JackMessageSetter = void (*)(void (*)(const char*));

// libjack is loaded with PortAudio when PortAudio was built with JACK; its
// message hooks are looked up at run time so that we do not link it ourselves.
void SetJackMessageHandlers(void (*handler)(const char*)) {
    for (const char* setter : {"jack_set_error_function", "jack_set_info_function"}) {
        if (void* symbol = dlsym(RTLD_DEFAULT, setter)) {
            reinterpret_cast<JackMessageSetter>(symbol)(handler);
        }
    }
}

void BeginQuiet() {
    std::lock_guard lock(QuietMutex);
    if (QuietSessions++ > 0) return;
    // Asking for devices must not start a JACK server; an explicit setting wins.
    setenv("JACK_NO_START_SERVER", "1", 0);
#ifdef ZELVO_HAVE_ALSA
    snd_lib_error_set_handler(DiscardAlsaError);
#endif
    SetJackMessageHandlers(DiscardJackMessage);
    SilencePortAudioDiagnostics();
}

void EndQuiet() {
    std::lock_guard lock(QuietMutex);
    if (--QuietSessions > 0) return;
#ifdef ZELVO_HAVE_ALSA
    snd_lib_error_set_handler(nullptr);
#endif
}

// PortAudio's calls that open or probe devices are not made from two threads
// at once (the recorder thread opens and closes, a settings dialog may list
// formats meanwhile). The audio callback never takes this lock.
std::mutex DeviceAccessMutex;

// ---- the open stream ----

PaSampleFormat SampleFormatOf(int bitsPerSample) {
    return bitsPerSample == 8 ? paUInt8 : paInt16;
}

CaptureResult ResultOf(PaError error) {
    switch (error) {
        case paNoError: return CaptureResult::Ok;
        case paInvalidDevice:
        case paDeviceUnavailable: return CaptureResult::BadDevice;
        case paInvalidChannelCount:
        case paInvalidSampleRate:
        case paSampleFormatNotSupported: return CaptureResult::BadFormat;
        case paInsufficientMemory: return CaptureResult::NoMemory;
        default: return CaptureResult::Failed;
    }
}

// A callback-mode PortAudio input stream that copies the incoming frames into
// the queued buffers, one after the other.
//
// The queue is a single-producer single-consumer ring: AddBuffer (recorder
// thread) pushes, the PortAudio callback pops. It may grow only while the
// callback cannot run (before Start or after Stop); while capturing, the
// recorder only re-queues buffers it got back, so it never needs more room.
class PortAudioStream final : public ICaptureStream {
public:
    PortAudioStream(const WaveFormatDesc& format, BufferDoneCallback onBufferDone)
        : blockAlign_(static_cast<std::size_t>(BlockAlign(format))),
          silence_(format.bitsPerSample == 8 ? 0x80 : 0x00),
          onBufferDone_(std::move(onBufferDone)) {}

    ~PortAudioStream() override { Close(); }

    CaptureResult OpenStream(const PaStreamParameters& input, double sampleRate) {
        const PaError error =
            Pa_OpenStream(&stream_, &input, nullptr, sampleRate, paFramesPerBufferUnspecified, paClipOff,
                          &PortAudioStream::Callback, this);
        if (error != paNoError) {
            stream_ = nullptr;
            LogDeviceFailure("cannot open", Pa_GetErrorText(error));
            return ResultOf(error);
        }
        Pa_SetStreamFinishedCallback(stream_, &PortAudioStream::Finished);
        return CaptureResult::Ok;
    }

    CaptureResult AddBuffer(std::uint8_t* data, std::size_t bytes) override {
        if (stream_ == nullptr) return CaptureResult::NotOpen;
        if (failed_.load()) return ReportFailed();
        if (data == nullptr || bytes == 0 || bytes % blockAlign_ != 0) return CaptureResult::Failed;
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        const std::size_t head = head_.load(std::memory_order_acquire);
        if (tail - head == ring_.size()) {
            if (callbackMayRun_) return CaptureResult::NoMemory;
            Grow();
        }
        const std::size_t slot = tail_.load(std::memory_order_relaxed);
        ring_[slot % ring_.size()] = Slot{data, bytes};
        tail_.store(slot + 1, std::memory_order_release);
        return CaptureResult::Ok;
    }

    CaptureResult Start() override {
        if (stream_ == nullptr) return CaptureResult::NotOpen;
        if (failed_.load()) return CaptureResult::BadDevice;
        if (callbackMayRun_) return CaptureResult::Ok;
        stopping_.store(false);
        callbackMayRun_ = true;
        const PaError error = Pa_StartStream(stream_);
        if (error != paNoError) {
            callbackMayRun_ = false;
            LogDeviceFailure("cannot start", Pa_GetErrorText(error));
            return ResultOf(error);
        }
        return CaptureResult::Ok;
    }

    CaptureResult Stop() override {
        if (stream_ == nullptr) return CaptureResult::NotOpen;
        if (!callbackMayRun_) return CaptureResult::Ok;
        stopping_.store(true);
        const PaError error = Pa_StopStream(stream_);
        callbackMayRun_ = false;
        return ResultOf(error);
    }

    CaptureResult Reset() override {
        if (stream_ == nullptr) return CaptureResult::NotOpen;
        if (callbackMayRun_) {
            stopping_.store(true);
            Pa_AbortStream(stream_);
            callbackMayRun_ = false;
        }
        // The callback is not running: the queue can be emptied from here.
        head_.store(tail_.load());
        current_ = Slot{};
        filled_ = 0;
        return CaptureResult::Ok;
    }

    CaptureResult Close() override {
        if (stream_ == nullptr) return CaptureResult::NotOpen;
        stopping_.store(true);
        // Pa_CloseStream stops a running stream and waits for its callback.
        PaError error = paNoError;
        {
            std::lock_guard lock(DeviceAccessMutex);
            error = Pa_CloseStream(stream_);
        }
        stream_ = nullptr;
        callbackMayRun_ = false;
        return ResultOf(error);
    }

    std::uint64_t DroppedFrames() const override { return droppedFrames_.load(); }

private:
    struct Slot {
        std::uint8_t* data = nullptr;
        std::size_t bytes = 0;
    };

    // The stream ended without being asked to: said once, here on the
    // recorder thread rather than in PortAudio's callback.
    CaptureResult ReportFailed() {
        if (!failureLogged_) LogDeviceFailure("the stream stopped on its own", "");
        failureLogged_ = true;
        return CaptureResult::BadDevice;
    }

    void Grow() {
        // Only called while the callback cannot run.
        std::vector<Slot> larger(ring_.empty() ? 64 : ring_.size() * 2);
        const std::size_t head = head_.load();
        const std::size_t tail = tail_.load();
        for (std::size_t i = head; i < tail; ++i) larger[i - head] = ring_[i % ring_.size()];
        ring_.swap(larger);
        head_.store(0);
        tail_.store(tail - head);
    }

    static int Callback(const void* input, void*, unsigned long frameCount, const PaStreamCallbackTimeInfo*,
                        PaStreamCallbackFlags, void* user) {
        static_cast<PortAudioStream*>(user)->Deliver(static_cast<const std::uint8_t*>(input),
                                                     static_cast<std::size_t>(frameCount));
        return paContinue;
    }

    // Runs on PortAudio's callback thread, which must never wait: no lock, no
    // allocation, no I/O, down to the recorder's SignalEvent::Set. Fills
    // buffers in queue order and reports each one as it becomes full. Frames
    // for which no buffer is queued are dropped and counted, never written
    // over a buffer in use.
    void Deliver(const std::uint8_t* input, std::size_t frameCount) {
        std::size_t remaining = frameCount * blockAlign_;
        while (remaining > 0) {
            if (current_.data == nullptr) {
                const std::size_t head = head_.load(std::memory_order_relaxed);
                if (head == tail_.load(std::memory_order_acquire)) {
                    droppedFrames_.fetch_add(remaining / blockAlign_);
                    return;
                }
                current_ = ring_[head % ring_.size()];
                filled_ = 0;
                head_.store(head + 1, std::memory_order_release);
            }
            const std::size_t take = std::min(remaining, current_.bytes - filled_);
            if (input != nullptr) {
                std::memcpy(current_.data + filled_, input, take);
                input += take;
            } else {
                // No input data this time (should not happen for an input
                // stream): keep the timeline with silence of the right kind.
                std::memset(current_.data + filled_, silence_, take);
            }
            filled_ += take;
            remaining -= take;
            if (filled_ == current_.bytes) {
                current_ = Slot{};
                filled_ = 0;
                onBufferDone_();
            }
        }
    }

    // PortAudio reports here whenever the stream became inactive. When that
    // happens without Stop, Reset or Close (the device went away), the stream
    // is marked failed and the recorder is woken once, so that it finds out
    // through its next AddBuffer.
    static void Finished(void* user) {
        auto* self = static_cast<PortAudioStream*>(user);
        if (self->stopping_.load()) return;
        self->failed_.store(true);
        self->onBufferDone_();
    }

    const std::size_t blockAlign_;
    const int silence_;  // the byte value of silence: 8-bit samples are unsigned
    const BufferDoneCallback onBufferDone_;
    PaStream* stream_ = nullptr;

    std::vector<Slot> ring_;            // resized only while the callback cannot run
    std::atomic<std::size_t> head_{0};  // written only by the callback (and Reset/Grow)
    std::atomic<std::size_t> tail_{0};  // written only by AddBuffer (and Grow)
    bool callbackMayRun_ = false;       // recorder thread only
    bool failureLogged_ = false;        // recorder thread only

    Slot current_;            // callback only: the buffer being filled
    std::size_t filled_ = 0;  // callback only: bytes already in current_

    std::atomic<bool> stopping_{false};  // set before every stop we ask for
    std::atomic<bool> failed_{false};    // the stream ended on its own
    std::atomic<std::uint64_t> droppedFrames_{0};
    static_assert(std::atomic<std::size_t>::is_always_lock_free &&
                  std::atomic<std::uint64_t>::is_always_lock_free);
};

// ---- the device list ----

class PortAudioDevice final : public ICaptureDevice {
public:
    int DeviceCount() override { return static_cast<int>(InputDevices().size()); }

    bool DeviceName(unsigned int deviceId, std::string& name) override {
        const PaDeviceInfo* info = nullptr;
        if (ToPortAudio(deviceId, &info) == paNoDevice) return false;
        name = info->name != nullptr ? info->name : "";
        return true;
    }

    bool FormatMask(unsigned int deviceId, std::uint32_t& mask) override {
        const PaDeviceInfo* info = nullptr;
        const PaDeviceIndex device = ToPortAudio(deviceId, &info);
        if (device == paNoDevice) return false;
        std::lock_guard lock(DeviceAccessMutex);
        mask = 0;
        for (std::uint32_t flag = FirstFormatFlag; flag <= LastFormatFlag; flag <<= 1) {
            const WaveFormatDesc format = Describe(flag);
            if (format.channels > info->maxInputChannels) continue;
            const PaStreamParameters input = Parameters(device, *info, format);
            if (Pa_IsFormatSupported(&input, nullptr, format.sampleRate) == paFormatIsSupported) mask |= flag;
        }
        return true;
    }

    CaptureResult Open(unsigned int deviceId, const WaveFormatDesc& format, BufferDoneCallback onBufferDone,
                       std::unique_ptr<ICaptureStream>& stream) override {
        stream.reset();
        const PaDeviceInfo* info = nullptr;
        const PaDeviceIndex device = ToPortAudio(deviceId, &info);
        if (device == paNoDevice) return CaptureResult::BadDevice;
        if ((format.channels != 1 && format.channels != 2) ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16) || format.sampleRate <= 0 ||
            format.channels > info->maxInputChannels)
            return CaptureResult::BadFormat;
        const PaStreamParameters input = Parameters(device, *info, format);
        std::lock_guard lock(DeviceAccessMutex);
        if (const PaError support = Pa_IsFormatSupported(&input, nullptr, format.sampleRate);
            support != paFormatIsSupported) {
            // A format the device does not offer is an answer, not a failure.
            if (ResultOf(support) != CaptureResult::BadFormat)
                LogDeviceFailure("cannot use the device", Pa_GetErrorText(support));
            return CaptureResult::BadFormat;
        }
        auto opened = std::make_unique<PortAudioStream>(format, std::move(onBufferDone));
        const CaptureResult result = opened->OpenStream(input, format.sampleRate);
        if (result != CaptureResult::Ok) return result;
        stream = std::move(opened);
        return CaptureResult::Ok;
    }

private:
    // PortAudio's devices that can record, in PortAudio's order.
    static std::vector<PaDeviceIndex> InputDevices() {
        std::vector<PaDeviceIndex> devices;
        const PaDeviceIndex count = Pa_GetDeviceCount();
        for (PaDeviceIndex i = 0; i < count; ++i) {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (info != nullptr && info->maxInputChannels > 0) devices.push_back(i);
        }
        return devices;
    }

    // Our device number to PortAudio's, or paNoDevice.
    static PaDeviceIndex ToPortAudio(unsigned int deviceId, const PaDeviceInfo** info) {
        PaDeviceIndex device = paNoDevice;
        if (deviceId == WaveMapperDeviceId) {
            device = Pa_GetDefaultInputDevice();
        } else {
            const std::vector<PaDeviceIndex> devices = InputDevices();
            if (deviceId < devices.size()) device = devices[deviceId];
        }
        if (device == paNoDevice) return paNoDevice;
        *info = Pa_GetDeviceInfo(device);
        if (*info == nullptr || (*info)->maxInputChannels <= 0) return paNoDevice;
        return device;
    }

    static PaStreamParameters Parameters(PaDeviceIndex device, const PaDeviceInfo& info,
                                         const WaveFormatDesc& format) {
        PaStreamParameters input{};
        input.device = device;
        input.channelCount = format.channels;
        input.sampleFormat = SampleFormatOf(format.bitsPerSample);
        input.suggestedLatency = info.defaultLowInputLatency;
        input.hostApiSpecificStreamInfo = nullptr;
        return input;
    }
};

}  // namespace

PortAudioSession::PortAudioSession() {
    BeginQuiet();
    const PaError result = Pa_Initialize();
    open_ = result == paNoError;
    if (!open_) {
        error_ = Pa_GetErrorText(result);
        EndQuiet();
    }
}

PortAudioSession::~PortAudioSession() {
    if (!open_) return;
    // A recorder thread that never returned from the sound system still has
    // its stream open; Pa_Terminate would wait for it for ever.
    if (!AnyRecorderAbandoned()) Pa_Terminate();
    EndQuiet();
}

std::shared_ptr<ICaptureDevice> CreatePortAudioDevice() {
    return std::make_shared<PortAudioDevice>();
}

}  // namespace Recorder
