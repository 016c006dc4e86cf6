#pragma once
// What the recording-device and calibration dialog shows and takes back,
// without its window. The device and format lists themselves come from the
// capture layer (Recorder::ListDevices, Recorder::ListFormats).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "persistence/ConfigRecord.h"

struct NoteTrack;

namespace RecordingDeviceRules {

inline constexpr const char* NoFrequencyText = "None";
inline constexpr const char* ExplanationText =
    "The tuner can correct for a constant sampling rate error.  To correct for this, enter a known and "
    "observed frequency (i.e. from a tuning fork).  Use the \"Copy to Observed\" button to use the last "
    "detected frequency.";

// A calibration frequency as its field shows it, two decimals.
std::string CalibrationText(double hz);

// The frequency the tuner detected last: the newest result of the current
// note when that note is a real one and came from a real result (not the
// seed the window opens with), else -1.0.
double LastDetectedFrequency(const NoteTrack& track);

// The "last detected frequency" text: two decimals, or "None" when nothing
// was detected (then "Copy to Observed" is disabled).
std::string LastDetectedText(double hz);
bool CanCopyToObserved(double hz);

// What the dialog's controls hold when OK is pressed.
struct DeviceChoice {
    std::optional<int> device;            // the selected device's number
    std::optional<std::uint32_t> format;  // the selected format's flag
    std::string knownText;                // the two calibration fields as typed
    std::string observedText;
};

// Takes OK's values into `config`: the device and the format only when both
// are selected (else both keep their values), the two calibration
// frequencies as read, without a range check (a text that is no number or
// not finite reads as 0, which switches the calibration off).
void TakeChoice(ConfigRecord& config, const DeviceChoice& choice);

}  // namespace RecordingDeviceRules
