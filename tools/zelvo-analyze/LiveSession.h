// The capture modes of the tool: the device list and the terminal tuner.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>

#include "ToolSettings.h"
#include "persistence/ConfigRecord.h"
#include "pipeline/TuningPipeline.h"

namespace ZelvoAnalyze {

// Prints "Preferred Recording Device" (-1), then every input device with its
// number, each followed by the labels and flags of the formats it offers.
// Returns the exit status.
int ListCaptureDevices(std::ostream& out, std::ostream& err);

// Records from settings.device in settings.format through the tuner's
// pipeline and prints a reading every 100 ms until SIGINT or SIGTERM, or
// until `seconds` have passed. Returns 0, or 2 after printing why recording
// could not start.
int RunLiveTuner(const EffectiveSettings& settings, std::optional<double> seconds, std::ostream& out,
                 std::ostream& err);

// The settings record the pipeline runs the terminal tuner with.
ConfigRecord LiveConfig(const EffectiveSettings& settings);

// The tuner window's timers on the terminal, for a pipeline that is
// recording: every display period it takes the results queued since the
// last tick and prints LiveLine when there were any; every watchdog period it
// restarts a failed capture quietly. The first loss of sound in a recording
// is said once on `err`. Returns once `stopRequested` says so (asked once a
// tick) or `seconds` have passed.
void RunDisplayLoop(TuningPipeline& pipeline, std::optional<double> seconds,
                    const std::function<bool()>& stopRequested, std::ostream& out, std::ostream& err);

}  // namespace ZelvoAnalyze
