#include "app/logic/MainWindowRules.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace MainWindowRules {

std::string FormatWindowTitle(int majorVersion, const std::string& suffix) {
    return std::string(BaseTitle) + " " + std::to_string(majorVersion) + suffix;
}

int DisplayPeriodMs(int rate) {
    switch (rate) {
    case 0:
        return 100;
    case 1:
        return 50;
    default:
        return 10;
    }
}

std::vector<std::string> RecordingControlCommands(int device, Platform platform) {
    if (platform == Platform::Windows) {
        std::string first = "SndVol32.exe -r";
        if (device != -1)
            first += " -d " + std::to_string(device);
        return {first, "SndVol.exe -r"};
    }
    return {"pavucontrol --tab=4", "gnome-control-center sound"};
}

float NoiseFloorToThreshold(float noiseFloorDb) {
    // A floor that is not a number (a damaged settings file) shows the
    // marker where the default -30 dB would be.
    if (std::isnan(noiseFloorDb))
        return 0.5f;
    const float position = (-60.0f - noiseFloorDb) / -60.0f;
    return std::clamp(position, 0.0f, 1.0f);
}

std::string SaveFailureMessage(const std::vector<std::string>& failedFiles) {
    std::string text = "Zelvo Tuner could not save its settings to:\n";
    for (const std::string& file : failedFiles)
        text += "\n    " + file;
    text +=
        "\n\nThe settings files that were there before are unchanged, so nothing saved "
        "earlier was lost. The changes made in this session were not stored.";
    return text;
}

}  // namespace MainWindowRules
