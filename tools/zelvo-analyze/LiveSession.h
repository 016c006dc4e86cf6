// The capture modes of the tool: the device list and the terminal tuner.
#pragma once

#include <iosfwd>
#include <optional>

#include "ToolSettings.h"

namespace ZelvoAnalyze {

// Prints "Preferred Recording Device" (-1), then every input device with its
// number, each followed by the labels and flags of the formats it offers.
// Returns the exit status.
int ListCaptureDevices(std::ostream& out, std::ostream& err);

// Records from settings.device in settings.format and prints a reading every
// 100 ms until SIGINT or SIGTERM, or until `seconds` have passed. Returns 0,
// or 2 after printing why recording could not start.
int RunLiveTuner(const EffectiveSettings& settings, std::optional<double> seconds, std::ostream& out,
                 std::ostream& err);

}  // namespace ZelvoAnalyze
