#pragma once
// The capture layer the recorder talks to: the system's input devices, their
// names and supported formats, and an open device that fills queued PCM
// buffers in order and reports each filled buffer through a callback.
//
// Two implementations exist: PortAudio (PortAudioDevice.h) for the program,
// and a scriptable test device (tests/capture/TestCaptureDevice.h).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "capture/WaveFormat.h"

namespace Recorder {

// Result of a capture-layer call; Ok is zero, everything else is a failure.
enum class CaptureResult {
    Ok = 0,
    BadDevice,  // no such device, or the device is gone
    BadFormat,  // the device refuses the format
    NotOpen,    // the stream is closed or was never started
    NoMemory,   // the buffer queue cannot grow any more
    Failed,     // any other device failure
};

// Called on the device's own thread once for every buffer it has filled, in
// the order the buffers were queued. Must be short and must not block: the
// recorder's callback only counts the buffer and wakes the recorder thread.
using BufferDoneCallback = std::function<void()>;

// An open capture device. Buffers are filled strictly in the order they were
// queued; a buffer belongs to the device from AddBuffer until its completion
// is reported, and to the caller afterwards. All methods are called from one
// thread (the recorder thread); only the completion callback runs elsewhere.
class ICaptureStream {
public:
    virtual ~ICaptureStream() = default;

    // Queues one buffer of `bytes` bytes (a whole number of sample frames).
    // May be called before Start and while capturing.
    virtual CaptureResult AddBuffer(std::uint8_t* data, std::size_t bytes) = 0;
    virtual CaptureResult Start() = 0;
    // Stops capturing; the buffer being filled is kept for a later Start.
    virtual CaptureResult Stop() = 0;
    // Stops capturing and forgets every queued buffer without reporting it.
    virtual CaptureResult Reset() = 0;
    // Releases the device. No callback runs once Close has returned.
    // The destructor closes a stream that is still open.
    virtual CaptureResult Close() = 0;

    // Sample frames that arrived while no queued buffer was free and were
    // therefore dropped (they are never written over a buffer in use).
    virtual std::uint64_t DroppedFrames() const { return 0; }
};

// The system's capture devices. Device numbers run from 0 to DeviceCount()-1;
// WaveMapperDeviceId (all bits set) is the system's preferred input device.
class ICaptureDevice {
public:
    virtual ~ICaptureDevice() = default;

    // Number of input-capable devices (the start-up check for "no sound card").
    virtual int DeviceCount() = 0;
    // The product name of a device; false when there is no such device.
    virtual bool DeviceName(unsigned int deviceId, std::string& name) = 0;
    // The 20-bit mask of supported format flags (see WaveFormat.h);
    // false when the device cannot be asked.
    virtual bool FormatMask(unsigned int deviceId, std::uint32_t& mask) = 0;
    // Opens a device for capture in `format`. On success `stream` holds the
    // open device; `onBufferDone` is called for every filled buffer.
    virtual CaptureResult Open(unsigned int deviceId, const WaveFormatDesc& format,
                               BufferDoneCallback onBufferDone, std::unique_ptr<ICaptureStream>& stream) = 0;
};

}  // namespace Recorder
