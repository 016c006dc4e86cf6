// One run of the real program: PortAudio reads a 440 Hz raw file through
// ALSA's file plugin, the settings go to a temporary directory, and SIGTERM
// ends the program, which must then save its configuration and exit 0.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>
#include <vector>

#include "GuiTestSupport.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

TEST(RealBinary, SigtermSavesTheSettingsAndExitsCleanly) {
    TempDirectory work;
    const std::filesystem::path settings = work.Path() / "settings";
    const std::filesystem::path raw = work.Path() / "a440.raw";
    {
        const auto bytes = SineBytes(440.0, 20.0);
        std::ofstream out(raw, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        // ALSA's "default" capture device reads the raw file (its "null"
        // slave only supplies the timing).
        std::ofstream(work.Path() / "asound.conf")
            << "defaults.pcm.file_format \"raw\"\ndefaults.pcm.file_truncate true\n"
               "pcm.null { type null }\npcm.default {\n  type file\n  slave.pcm \"null\"\n"
               "  file \"/dev/null\"\n  infile \""
            << raw.string() << "\"\n  format \"raw\"\n}\n";
    }
    // This process's environment with the two variables replaced.
    std::vector<std::string> entries{"ALSA_CONFIG_PATH=" + (work.Path() / "asound.conf").string(),
                                     "ZELVO_TUNER_SETTINGS_DIR=" + settings.string()};
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("ALSA_CONFIG_PATH=", 0) != 0 && entry.rfind("ZELVO_TUNER_SETTINGS_DIR=", 0) != 0)
            entries.push_back(entry);
    }
    std::vector<char*> env;
    for (std::string& entry : entries) env.push_back(entry.data());
    env.push_back(nullptr);
    char* const argv[] = {const_cast<char*>(ZELVO_TUNER_BINARY), nullptr};

    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZELVO_TUNER_BINARY, nullptr, nullptr, argv, env.data()), 0);
    std::this_thread::sleep_for(3s);
    // Still running: it found the file device and did not stop at a message.
    ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early";
    kill(pid, SIGTERM);
    int status = 0;
    bool ended = false;
    for (auto end = std::chrono::steady_clock::now() + 15s; !ended && std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(20ms))
        ended = waitpid(pid, &status, WNOHANG) == pid;
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the program did not end after SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    for (const char* file :
         {"tuner_config.xml", "tuner_presets.xml", "tuner_temperament.xml", "tuner_stretch.xml"})
        EXPECT_TRUE(std::filesystem::exists(settings / file)) << file;
    ConfigRecord config;
    config.TunerPosBottom = -7;  // proves the file was read
    LoadConfig(config, settings / "tuner_config.xml");
    EXPECT_EQ(config.TunerPosTop, 1);
    EXPECT_EQ(config.TunerPosBottom, 286);
}
