#pragma once
// Points ALSA at a configuration of our own before PortAudio starts, so the
// PortAudio tests see the same devices on every machine, sound card or not.
// ALSA reads ALSA_CONFIG_PATH once, when PortAudio first initialises, so each
// configuration runs in a test program of its own.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace Recorder::AlsaTest {

// A fresh directory under the system's temporary directory.
inline std::filesystem::path MakeTempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelvo-capture-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return {};
    return pattern;
}

// Writes `text` as the whole ALSA configuration and makes ALSA use it.
inline bool UseAlsaConfiguration(const std::filesystem::path& directory, const std::string& text) {
    const std::filesystem::path file = directory / "asound.conf";
    std::ofstream out(file);
    out << text;
    out.close();
    if (!out) return false;
    return setenv("ALSA_CONFIG_PATH", file.c_str(), 1) == 0;
}

}  // namespace Recorder::AlsaTest
