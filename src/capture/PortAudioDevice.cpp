#include "capture/PortAudioDevice.h"

#include <portaudio.h>

namespace Recorder {

PortAudioSession::PortAudioSession() {
    const PaError result = Pa_Initialize();
    open_ = result == paNoError;
    if (!open_) error_ = Pa_GetErrorText(result);
}

PortAudioSession::~PortAudioSession() {
    if (open_) Pa_Terminate();
}

std::shared_ptr<ICaptureDevice> CreatePortAudioDevice() { return nullptr; }

}  // namespace Recorder
