#pragma once
// The recorder: streams sound from one capture device on a thread of its own
// and hands every filled buffer, converted to mono doubles, to a listener.
//
// Usage:
//   Recorder::RecorderConfig config;
//   config.deviceId = Recorder::WaveMapperDeviceId;   // or 0..n-1
//   config.channels = 1; config.bitsPerSample = 16; config.sampleRate = 44100;
//   config.bufferCount = 64 * 4; config.bufferSamples = 256 * 4;
//   config.listener = &myListener;                   // not owned
//   config.device = Recorder::CreatePortAudioDevice(); // or a test device
//   Recorder::RecorderHandle recorder;
//   try { Recorder::Start(recorder, config, /*wait=*/true); }
//   catch (const Recorder::RecorderException& e) { Recorder::Stop(recorder); ... }
//   ...
//   Recorder::Stop(recorder);   // joins the thread; recorder becomes empty
//
// Start stores the new context in the handle before it waits for the thread's
// report, so after an exception the caller still holds it and stops it.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "capture/CaptureDevice.h"
#include "capture/SignalEvent.h"
#include "capture/WaveFormat.h"

namespace Recorder {

// Receives every captured buffer, on the recorder thread, in capture order.
class IRecorderListener {
public:
    virtual ~IRecorderListener() = default;
    // `samples` holds `count` mono samples (see Convert); the array belongs to
    // the recorder and is valid only during the call. The listener does its
    // own locking.
    virtual void OnBuffer(const double* samples, int count) = 0;
};

// Thrown by Start. Codes: 2 the recorder thread reported a failure of the
// device or of its own setup; 3 the thread could not be created; 4 the thread
// did not report within 2000 ms.
class RecorderException {
public:
    explicit RecorderException(int code) : code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

inline constexpr int StatusStarting = 0;
inline constexpr int StatusCapturing = 1;
inline constexpr int StatusFailed = 2;

inline constexpr int StartTimeoutMs = 2000;  // handshake limit
inline constexpr int StartPollMs = 50;       // handshake poll period
inline constexpr int StopTimeoutMs = 10000;  // wait for the thread on Stop

// What Start needs to know about a recording.
struct RecorderConfig {
    unsigned int deviceId = WaveMapperDeviceId;
    int channels = 1;        // 1 or 2
    int bitsPerSample = 16;  // 8 or 16
    int sampleRate = 11025;
    int bufferCount = 64;                    // buffers kept queued at the device
    int bufferSamples = 256;                 // frames per buffer, also the count given to OnBuffer
    IRecorderListener* listener = nullptr;   // not owned
    std::shared_ptr<ICaptureDevice> device;  // the capture layer to record from
};

// The block shared by the starter and the recorder thread. The starter writes
// every field before the thread runs and afterwards only reads status, clears
// running and signals stopEvent.
struct RecorderContext {
    RecorderContext() = default;
    RecorderContext(const RecorderContext&) = delete;
    RecorderContext& operator=(const RecorderContext&) = delete;
    // Joins a thread that has already let go of the context; never blocks on
    // a running capture (the thread holds the context while it runs).
    ~RecorderContext();

    unsigned int deviceId = 0;
    int channels = 0;
    int bitsPerSample = 0;
    int sampleRate = 0;
    int bufferCount = 0;
    int bufferSamples = 0;
    IRecorderListener* listener = nullptr;  // not owned
    std::shared_ptr<ICaptureDevice> device;
    std::thread thread;  // joined by Stop, or detached after its time-out
    SignalEvent stopEvent{SignalEvent::Mode::AutoReset};
    // Set by the recorder thread as the very last thing it does (Stop waits on it).
    SignalEvent threadEnded{SignalEvent::Mode::ManualReset};
    // 0 starting, 1 capturing, 2 failed; written only by the recorder thread.
    std::atomic<int> status{StatusStarting};
    // True while the thread is to keep running; cleared only by Stop.
    std::atomic<bool> running{false};
    // Frames the device dropped for want of a queued buffer, as last seen by
    // the recorder thread (which alone writes it).
    std::atomic<std::uint64_t> droppedFrames{0};
};

// The context is shared with its thread: a thread that does not end within
// StopTimeoutMs of Stop is detached and keeps the context alive until it ends.
using RecorderHandle = std::shared_ptr<RecorderContext>;

// Creates the context, its stop event and its thread, and starts capture.
// `context` receives the new context first (a recorder still held in it is
// stopped before). With wait set, returns once the thread reports status 1 and throws
// RecorderException(2 or 4) otherwise, polling every 50 ms for up to 2000 ms;
// with wait clear it returns at once and failures show only as status 2.
// Throws RecorderException(3) when the thread cannot be created.
void Start(RecorderHandle& context, const RecorderConfig& config, bool wait);

// Stops capture, waits up to StopTimeoutMs for the thread and releases the
// context; `context` is empty afterwards. Safe after a failure, and on an
// empty handle. Returns false when the thread had to be detached because it
// did not end in time (it then keeps the context alive until it ends).
bool Stop(RecorderHandle& context, int timeoutMs = StopTimeoutMs);

// True once Stop has let a recorder thread go because it did not end in
// time (for the life of the process). Such a thread is stuck in the sound
// system with a stream open, so closing the sound system (Pa_Terminate)
// would wait for it for ever: the program should end without it.
bool AnyRecorderAbandoned();

// The recorder's current status (StatusStarting etc.); StatusFailed for an
// empty handle.
int Status(const RecorderHandle& context);

// Frames this recording lost because no buffer was free when they arrived
// (the listener kept up more slowly than the device delivered); 0 for an
// empty handle. Brought up to date each time the recorder thread wakes.
std::uint64_t DroppedFrames(const RecorderHandle& context);

}  // namespace Recorder
