#include "dialogs/logic/RecordingDeviceRules.h"

#include "dialogs/logic/DialogNumbers.h"
#include "pipeline/NoteTrack.h"

namespace RecordingDeviceRules {

namespace {

constexpr int CalibrationDecimals = 2;

}  // namespace

std::string CalibrationText(double hz) {
    return DialogNumbers::Fixed(hz, CalibrationDecimals);
}

double LastDetectedFrequency(const NoteTrack& track) {
    // The track is seeded with middle A when the window opens; that is no
    // detection, and only real results set lastTimeSet.
    if (!IsValidNoteIndex(track.note) || !track.lastTimeSet || track.results.Empty()) return -1.0;
    return track.results.Newest().frequency;
}

std::string LastDetectedText(double hz) {
    return CanCopyToObserved(hz) ? DialogNumbers::Fixed(hz, CalibrationDecimals) : NoFrequencyText;
}

bool CanCopyToObserved(double hz) {
    return hz > 0.0;
}

void TakeChoice(ConfigRecord& config, const DeviceChoice& choice) {
    if (choice.device && choice.format) {
        config.Device = *choice.device;
        config.Format = static_cast<std::int32_t>(*choice.format);
    }
    config.KnownFreq = DialogNumbers::ReadFiniteFloat(choice.knownText);
    config.ExpectedFreq = DialogNumbers::ReadFiniteFloat(choice.observedText);
}

}  // namespace RecordingDeviceRules
