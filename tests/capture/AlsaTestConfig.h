#pragma once
// Points ALSA at a configuration of our own before PortAudio starts, so the
// PortAudio tests see the same devices on every machine, sound card or not.
// ALSA reads ALSA_CONFIG_PATH once, when PortAudio first initialises, so each
// configuration runs in a test program of its own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>

namespace Recorder::AlsaTest {

// The main of such a program: `configure` gets a fresh scratch directory for
// any files it needs and returns the whole ALSA configuration; the tests then
// run against it and the directory is removed.
inline int RunWithConfiguration(int argc, char** argv,
                                const std::function<std::string(const std::filesystem::path&)>& configure) {
    testing::InitGoogleTest(&argc, argv);
    std::string directory = (std::filesystem::temp_directory_path() / "zelvo-capture-XXXXXX").string();
    const bool made = mkdtemp(directory.data()) != nullptr;
    const std::filesystem::path file = std::filesystem::path(directory) / "asound.conf";
    const bool written = made && (std::ofstream(file) << configure(directory)).good();
    if (!written || setenv("ALSA_CONFIG_PATH", file.c_str(), 1) != 0) {
        std::cerr << "cannot prepare the ALSA test configuration\n";
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
    return result;
}

}  // namespace Recorder::AlsaTest
