// Command-line options of zelvo-analyze, parsed without touching any file or
// device so that every combination can be checked in tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "units/Units.h"

namespace ZelvoAnalyze {

enum class RunMode { Hops, Notes, Partials, ListDevices, Live, Help, Version };

struct AnalyzeOptions {
    RunMode mode = RunMode::Hops;
    std::string file;                        // the recording, for Hops and Notes
    std::optional<int> quality;              // 0 normal, 1 fast; unset = default or settings
    std::optional<double> noiseFloor;        // dB, within Units' noise-floor range
    std::optional<double> middleA;           // Hz, within Units' middle-A range
    std::optional<std::string> settingsDir;  // directory holding the four settings files
    std::optional<int> device;               // --live: -1 is the preferred device
    std::optional<int> format;               // --live: one capture format flag
    std::optional<double> seconds;           // --live: stop after this long
    std::optional<std::string> plot;         // intonation chart to write, .svg or .png
    bool classic = false;                    // --classic: precise pitch off
};

struct ParsedOptions {
    AnalyzeOptions options;
    std::string error;  // empty when the command line is usable
};

ParsedOptions ParseAnalyzeOptions(const std::vector<std::string>& args);

// The --help text.
std::string UsageText();

// The --version line, "zelvo-analyze <version>".
std::string VersionText();

}  // namespace ZelvoAnalyze
