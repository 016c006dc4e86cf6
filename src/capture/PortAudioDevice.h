#pragma once
// The capture layer on PortAudio.
//
// Usage (e.g. listing devices and their formats in a tool):
//
//   Recorder::PortAudioSession session;          // Pa_Initialize ... Pa_Terminate
//   if (!session.IsOpen()) { report session.ErrorText(); }
//   auto devices = Recorder::CreatePortAudioDevice();
//   Recorder::DeviceList list = Recorder::ListDevices(*devices);
//   for (const auto& d : list.entries) {
//       Recorder::FormatList formats = Recorder::ListFormats(*devices, d.deviceNumber);
//       for (const auto& f : formats.entries) { /* f.label, f.flag */ }
//   }
//
// Recording: put `devices` into RecorderConfig::device and call Recorder::Start
// (Recorder.h). The session must outlive every recording and every device
// object. Device -1 (WaveMapperDeviceId) is PortAudio's default input device;
// devices 0..n-1 are PortAudio's input-capable devices in PortAudio's order.
// With no input device at all DeviceCount() is 0 and opening fails cleanly.

#include <memory>
#include <string>

#include "capture/CaptureDevice.h"

namespace Recorder {

// Keeps PortAudio initialised for its lifetime. Sessions may nest (PortAudio
// counts them). While initialising, ALSA's error messages are routed away from
// the terminal and JACK is told not to start a server.
class PortAudioSession {
public:
    PortAudioSession();
    ~PortAudioSession();
    PortAudioSession(const PortAudioSession&) = delete;
    PortAudioSession& operator=(const PortAudioSession&) = delete;

    bool IsOpen() const { return open_; }
    // PortAudio's error text when initialisation failed, else empty.
    const std::string& ErrorText() const { return error_; }

private:
    bool open_ = false;
    std::string error_;
};

// The PortAudio capture layer. Needs a live PortAudioSession.
std::shared_ptr<ICaptureDevice> CreatePortAudioDevice();

}  // namespace Recorder
