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

#include "TempDirectory.h"

namespace Recorder::AlsaTest {

// The main of such a program: `configure` gets a fresh scratch directory for
// any files it needs and returns the whole ALSA configuration; the tests then
// run against it and the directory is removed.
inline int RunWithConfiguration(int argc, char** argv,
                                const std::function<std::string(const std::filesystem::path&)>& configure) {
    testing::InitGoogleTest(&argc, argv);
    const TempDirectory directory;
    const std::filesystem::path file = directory / "asound.conf";
    const bool written = (std::ofstream(file) << configure(directory.Path())).good();
    if (!written || setenv("ALSA_CONFIG_PATH", file.c_str(), 1) != 0) {
        std::cerr << "cannot prepare the ALSA test configuration\n";
        return 1;
    }
    return RUN_ALL_TESTS();
}

}  // namespace Recorder::AlsaTest
