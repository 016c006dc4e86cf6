// Command-line options of zelvo-analyze, parsed without touching any file or
// device so that every combination can be checked in tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace ZelvoAnalyze {

enum class RunMode { Hops, Notes, ListDevices, Live, Help };

// What this build of the tool can do; options for a missing part are refused
// with a message rather than silently ignored.
struct ToolFeatures {
  bool settings = false;  // --settings (needs the persistence library)
  bool capture = false;   // --live, --list-devices (need the capture library)
};

struct AnalyzeOptions {
  RunMode mode = RunMode::Hops;
  std::string file;                       // the recording, for Hops and Notes
  std::optional<int> quality;             // 0 normal, 1 fast; unset = default or settings
  std::optional<double> noiseFloor;       // dB, -60..0
  std::optional<double> middleA;          // Hz, 220..880
  std::optional<std::string> settingsDir; // directory holding the four settings files
  std::optional<int> device;              // --live: -1 is the preferred device
  std::optional<int> format;              // --live: one capture format flag
  std::optional<double> seconds;          // --live: stop after this long
};

struct ParsedOptions {
  AnalyzeOptions options;
  std::string error;  // empty when the command line is usable
};

constexpr double kDefaultNoiseFloor = -30.0;
constexpr double kDefaultMiddleA = 440.0;

ParsedOptions ParseAnalyzeOptions(const std::vector<std::string>& args,
                                  const ToolFeatures& features);

// The --help text for a build with the given features.
std::string UsageText(const ToolFeatures& features);

}  // namespace ZelvoAnalyze
