#include "app/logic/EarlyCommandLine.h"

std::optional<std::string> EarlyCommandLineReply(const std::vector<std::string>& args,
                                                 const std::string& version) {
    for (const std::string& arg : args) {
        // Everything after "--" is a file name, never an option.
        if (arg == "--") break;
        if (arg == "--version") return "zelvo-tuner " + version + "\n";
    }
    return std::nullopt;
}
