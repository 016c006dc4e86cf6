// The command-line requests zelvo-tuner answers before it opens any window,
// so they work without a display.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The text to print when args (the arguments after the program name) ask for
// the version: "zelvo-tuner <version>" and a line feed. nullopt otherwise,
// and the window starts as usual.
std::optional<std::string> EarlyCommandLineReply(const std::vector<std::string>& args,
                                                 const std::string& version);
