#include "app/logic/MainWindowRules.h"

#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace MainWindowRules {

std::string FormatWindowTitle(int majorVersion, const std::string& suffix) {
    return std::string(BaseTitle) + " " + std::to_string(majorVersion) + suffix;
}

int DisplayPeriodMs(int rate) {
    switch (rate) {
        case 0: return 100;
        case 1: return 50;
        default: return 10;
    }
}

std::vector<std::string> RecordingControlCommands(int device, Platform platform) {
    if (platform == Platform::Windows) {
        std::string first = "SndVol32.exe -r";
        if (device != -1) first += " -d " + std::to_string(device);
        return {first, "SndVol.exe -r"};
    }
    return {"pavucontrol --tab=4", "gnome-control-center sound"};
}

const char* NoDeviceConsoleLine(Platform platform) {
    if (platform == Platform::Windows) return "zelvo-tuner: no recording device found.";
    return "zelvo-tuner: no recording device found. Is a microphone connected, and is PulseAudio or "
           "PipeWire running? `arecord -l` lists the capture devices the system sees.";
}

const char* RecordingControlItemText(Platform platform) {
    return platform == Platform::Windows ? "Windows &Recording Control\tCtrl+R"
                                         : "System &Recording Control\tCtrl+R";
}

const char* RecordingControlHelp(Platform platform) {
    return platform == Platform::Windows ? "Start the windows recording control panel"
                                         : "Start the system's recording control";
}

const char* RecordingControlFailedMessage(Platform platform) {
    return platform == Platform::Windows
               ? "Unable to launch the Windows Recording Control Panel."
               : "Unable to launch the system's recording control (pavucontrol or the desktop's sound "
                 "settings).";
}

std::string ProgramOfCommandLine(const std::string& commandLine) {
    const auto begin = commandLine.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    const auto end = commandLine.find_first_of(" \t", begin);
    return commandLine.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

namespace {

bool IsExecutableFile(const std::filesystem::path& file) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    return ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindProgramOnPath(const std::string& program, const std::string& pathList) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();
    std::size_t start = 0;
    while (start <= pathList.size()) {
        auto end = pathList.find(':', start);
        if (end == std::string::npos) end = pathList.size();
        // An empty entry means the current directory, as in the shell.
        const std::string dir = end > start ? pathList.substr(start, end - start) : ".";
        const std::filesystem::path candidate = std::filesystem::path(dir) / program;
        if (IsExecutableFile(candidate)) return candidate.string();
        start = end + 1;
    }
    return {};
}

}  // namespace MainWindowRules
