#pragma once
// A scriptable capture device for tests and measurements. It delivers a
// given PCM signal in the queued buffers, either at the pace of a real device
// or as fast as buffers are queued, and can be told to misbehave: refuse the
// format, fail at open or start, fail or stall in the middle of capture, or
// hang in Open until released.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/CaptureDevice.h"

namespace Recorder {

class TestCaptureDevice final : public ICaptureDevice {
public:
    enum class Pace {
        RealTime,          // one buffer per buffer duration (scaled by `speed`)
        AsFastAsRequeued,  // a buffer as soon as one is queued
    };

    enum class Fault {
        None,
        RefuseFormat,       // Open answers BadFormat
        FailOpen,           // Open answers BadDevice
        FailStart,          // Start fails
        FailAfterBuffers,   // after faultAfterBuffers deliveries, AddBuffer fails (device gone)
        StallAfterBuffers,  // after faultAfterBuffers deliveries, nothing more arrives until ReleaseStall
        StallInOpen,        // Open does not return until ReleaseStall, then succeeds
    };

    struct Settings {
        std::vector<std::string> deviceNames{"Test Input"};
        std::uint32_t formatMask = 0xFFFFF;  // every one of the twenty formats
        bool maskReadable = true;            // false: FormatMask fails
        std::vector<std::uint8_t> signal;    // PCM bytes in the opened format, looped; empty means silence
        Pace pace = Pace::AsFastAsRequeued;
        double speed = 1.0;  // RealTime only: 2.0 delivers twice as fast
        Fault fault = Fault::None;
        std::uint64_t faultAfterBuffers = 0;
        // What every stream answers to DroppedFrames once it has delivered
        // a buffer: an overrun as a real device counts it.
        std::uint64_t droppedFrames = 0;
    };

    TestCaptureDevice();
    explicit TestCaptureDevice(Settings settings);
    ~TestCaptureDevice() override;

    int DeviceCount() override;
    bool DeviceName(unsigned int deviceId, std::string& name) override;
    bool FormatMask(unsigned int deviceId, std::uint32_t& mask) override;
    CaptureResult Open(unsigned int deviceId, const WaveFormatDesc& format, BufferDoneCallback onBufferDone,
                       std::unique_ptr<ICaptureStream>& stream) override;

    // Called on the device's thread for every filled buffer, with its sequence
    // number from 0, just before the completion is reported. Set before Open.
    void SetFillObserver(std::function<void(std::uint64_t)> observer);
    // Ends a stall (StallInOpen, StallAfterBuffers).
    void ReleaseStall();
    // Waits until Open has been entered `count` times; false on time-out.
    bool WaitForOpenCalls(int count, std::chrono::milliseconds timeout);

    std::uint64_t Deliveries() const;
    std::uint64_t DroppedBuffers() const;  // RealTime pace found no queued buffer
    int OpenCalls() const;
    int StreamsOpen() const;  // opened and not yet closed
    unsigned int LastDeviceId() const;
    WaveFormatDesc LastFormat() const;

    // Shared between the device and its streams.
    struct State;

private:
    std::shared_ptr<State> state_;
};

// The little-endian bytes of 16-bit samples, as a device delivers them.
std::vector<std::uint8_t> Pcm16Bytes(const std::vector<std::int16_t>& samples);
// The bytes of a 16-bit mono sine of `amplitude` (of full scale).
std::vector<std::uint8_t> SinePcm16(double frequency, double seconds, int sampleRate, double amplitude);

}  // namespace Recorder
