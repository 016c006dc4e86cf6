// Reads the tuner's four settings files from a directory for --settings.
#pragma once

#include <string>

#include "ToolSettings.h"

namespace ZelvoAnalyze {

// Loads the files the way the tuner does at start-up: a missing or damaged
// file leaves its defaults, without a message. A directory that does not
// exist or cannot be read throws std::runtime_error naming it.
TunerSettings LoadTunerSettings(const std::string& directory);

}  // namespace ZelvoAnalyze
