#include "capture/Recorder.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>

namespace Recorder {

namespace {

constexpr std::size_t SampleAlignment = 32;

// Set by Stop when it gives up on a thread; never cleared.
std::atomic<bool> g_recorderAbandoned{false};

// One zeroed, 32-byte aligned block of memory, freed on destruction.
class AlignedBlock {
public:
    // Leaves the block empty when the memory cannot be had.
    explicit AlignedBlock(std::size_t bytes) {
        if (bytes == 0 || bytes > std::numeric_limits<std::size_t>::max() - SampleAlignment) return;
        // aligned_alloc wants a size that is a multiple of the alignment.
        const std::size_t rounded = (bytes + SampleAlignment - 1) / SampleAlignment * SampleAlignment;
        data_ = static_cast<std::uint8_t*>(std::aligned_alloc(SampleAlignment, rounded));
        if (data_ != nullptr) std::memset(data_, 0, rounded);
    }
    ~AlignedBlock() { std::free(data_); }
    AlignedBlock(const AlignedBlock&) = delete;
    AlignedBlock& operator=(const AlignedBlock&) = delete;

    std::uint8_t* Data() const { return data_; }

private:
    std::uint8_t* data_ = nullptr;
};

// The buffer-done notification pair shared with the device callback: the
// callback counts a finished buffer and wakes the recorder thread.
struct BufferNotification {
    // Incremented only by the device callback, decremented only by the
    // recorder thread: the number of filled buffers not yet consumed.
    std::atomic<int> pending{0};
    SignalEvent bufferDone{SignalEvent::Mode::AutoReset};
};

bool ValidSetup(const RecorderContext& context) {
    return (context.channels == 1 || context.channels == 2) &&
           (context.bitsPerSample == 8 || context.bitsPerSample == 16) && context.sampleRate > 0 &&
           context.bufferCount > 0 && context.bufferSamples > 0 && context.listener != nullptr &&
           context.device != nullptr;
}

// The size of one buffer in bytes, or 0 when the whole block of buffers
// would not fit in memory's address range.
std::size_t BytesPerBuffer(const RecorderContext& context, const WaveFormatDesc& format) {
    const auto bufferCount = static_cast<std::size_t>(context.bufferCount);
    const std::size_t bytes =
        static_cast<std::size_t>(context.bufferSamples) * static_cast<std::size_t>(BlockAlign(format));
    return bytes > std::numeric_limits<std::size_t>::max() / bufferCount ? 0 : bytes;
}

// Hands each filled buffer to the listener and queues it again, until the
// capture is stopped. Buffers come back in the order they were queued,
// starting with buffer 0; every completion counted while the listener was
// busy is handled before the thread waits again. False when the device
// refuses a buffer.
bool ConsumeBuffers(RecorderContext& context, BufferNotification& notification, ICaptureStream& stream,
                    std::uint8_t* block, std::size_t bytesPerBuffer, double* doubles) {
    const auto bufferCount = static_cast<std::size_t>(context.bufferCount);
    std::size_t next = 0;
    while (context.running.load()) {
        while (notification.pending.load() > 0 && context.running.load()) {
            std::uint8_t* buffer = block + next * bytesPerBuffer;
            Convert(context.bitsPerSample, context.channels, context.bufferSamples, buffer, doubles);
            context.listener->OnBuffer(doubles, context.bufferSamples);
            if (stream.AddBuffer(buffer, bytesPerBuffer) != CaptureResult::Ok) return false;
            next = (next + 1) % bufferCount;
            notification.pending.fetch_sub(1);
            // Published per buffer: a device that never lets the queue run
            // dry is exactly the one that drops frames.
            context.droppedFrames.store(stream.DroppedFrames(), std::memory_order_relaxed);
        }
        SignalEvent::WaitAny(notification.bufferDone, context.stopEvent);
    }
    return true;
}

// Runs one capture from open to close. Sets status 1 once capture runs and
// status 2 on any failure of the device or of the setup; the device is closed
// and all memory released before it returns in every case.
void CaptureLoop(RecorderContext& context) {
    if (!ValidSetup(context)) {
        context.status.store(StatusFailed);
        return;
    }
    const WaveFormatDesc format{context.channels, context.bitsPerSample, context.sampleRate};
    const auto bufferCount = static_cast<std::size_t>(context.bufferCount);
    const std::size_t bytesPerBuffer = BytesPerBuffer(context, format);
    if (bytesPerBuffer == 0) {
        context.status.store(StatusFailed);
        return;
    }

    // The notification pair and the memory are declared before the stream:
    // should anything throw, the stream (whose destructor closes the device)
    // goes first, so no callback or device write can reach freed memory.
    BufferNotification notification;
    std::unique_ptr<AlignedBlock> samples;
    std::unique_ptr<AlignedBlock> converted;
    std::unique_ptr<ICaptureStream> stream;
    const auto closeDevice = [&stream] {
        if (!stream) return;
        stream->Stop();
        stream->Reset();
        stream->Close();
        stream.reset();
    };
    const auto fail = [&context, &closeDevice] {
        context.status.store(StatusFailed);
        closeDevice();
    };

    const CaptureResult opened = context.device->Open(
        context.deviceId, format,
        [&notification] {
            notification.pending.fetch_add(1);
            notification.bufferDone.Set();
        },
        stream);
    if (opened != CaptureResult::Ok || !stream) {
        stream.reset();
        fail();
        return;
    }

    samples = std::make_unique<AlignedBlock>(bufferCount * bytesPerBuffer);
    std::uint8_t* const block = samples->Data();
    if (block == nullptr) return fail();
    for (std::size_t i = 0; i < bufferCount; ++i) {
        if (stream->AddBuffer(block + i * bytesPerBuffer, bytesPerBuffer) != CaptureResult::Ok) return fail();
    }
    converted =
        std::make_unique<AlignedBlock>(static_cast<std::size_t>(context.bufferSamples) * sizeof(double));
    if (converted->Data() == nullptr) return fail();
    auto* doubles = reinterpret_cast<double*>(converted->Data());
    if (stream->Start() != CaptureResult::Ok) return fail();

    context.status.store(StatusCapturing);
    if (!ConsumeBuffers(context, notification, *stream, block, bytesPerBuffer, doubles)) return fail();
    closeDevice();
}

void RecorderThread(const std::shared_ptr<RecorderContext>& context) {
    try {
        CaptureLoop(*context);
    } catch (...) {
        // A listener (or device) that throws ends this capture like a failing
        // device, instead of ending the program; the device was closed while
        // the exception left CaptureLoop.
        context->status.store(StatusFailed);
    }
    // Last touch of the context by this thread apart from dropping its
    // reference, which frees the context when Stop gave up on the thread.
    context->threadEnded.Set();
}

}  // namespace

RecorderContext::~RecorderContext() {
    // Reached when the last handle is dropped: either the thread has finished
    // with the context, or this is the thread itself dropping the last
    // reference after Stop let it go.
    if (!thread.joinable()) return;
    if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();
    } else {
        thread.join();
    }
}

void Start(RecorderHandle& context, const RecorderConfig& config, bool wait) {
    // A recorder still held in the handle would otherwise run on unowned.
    if (context) Stop(context);
    auto created = std::make_shared<RecorderContext>();
    created->deviceId = config.deviceId;
    created->channels = config.channels;
    created->bitsPerSample = config.bitsPerSample;
    created->sampleRate = config.sampleRate;
    created->bufferCount = config.bufferCount;
    created->bufferSamples = config.bufferSamples;
    created->listener = config.listener;
    created->device = config.device;
    created->running.store(true);
    created->status.store(StatusStarting);
    context = created;

    // Every field is written before the thread exists, which takes the place
    // of creating the thread suspended and resuming it afterwards.
    try {
        created->thread = std::thread(RecorderThread, created);
    } catch (const std::system_error&) {
        created->running.store(false);
        throw RecorderException(3);
    }
    if (!wait) return;

    const auto t0 = std::chrono::steady_clock::now();
    for (;;) {
        const int status = created->status.load();
        if (status == StatusCapturing) return;
        if (status != StatusStarting) throw RecorderException(status);
        if (std::chrono::steady_clock::now() - t0 > std::chrono::milliseconds(StartTimeoutMs))
            throw RecorderException(4);
        std::this_thread::sleep_for(std::chrono::milliseconds(StartPollMs));
    }
}

bool Stop(RecorderHandle& context, int timeoutMs) {
    if (!context) return true;
    RecorderHandle stopping = std::move(context);
    context.reset();
    stopping->running.store(false);
    stopping->stopEvent.Set();

    if (!stopping->thread.joinable()) return true;
    if (stopping->thread.get_id() == std::this_thread::get_id()) {
        // Stop called from inside OnBuffer: the thread ends by itself once the
        // listener returns, and cannot join itself.
        stopping->thread.detach();
        return false;
    }
    if (stopping->threadEnded.Wait(std::chrono::milliseconds(timeoutMs))) {
        stopping->thread.join();
        return true;
    }
    // A thread cannot be terminated safely: let it go. It holds its own
    // reference to the context, so nothing it uses is freed under it.
    stopping->thread.detach();
    g_recorderAbandoned.store(true);
    return false;
}

bool AnyRecorderAbandoned() {
    return g_recorderAbandoned.load();
}

int Status(const RecorderHandle& context) {
    return context ? context->status.load() : StatusFailed;
}

std::uint64_t DroppedFrames(const RecorderHandle& context) {
    return context ? context->droppedFrames.load(std::memory_order_relaxed) : 0;
}

}  // namespace Recorder
