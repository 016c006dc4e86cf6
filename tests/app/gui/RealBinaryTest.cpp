// One run of the real program: PortAudio reads a 440 Hz raw file through
// ALSA's file plugin, the settings go to a temporary directory, and SIGTERM
// ends the program, which must then save its configuration and exit 0.

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "GuiTestSupport.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

TEST(RealBinary, SigtermSavesTheSettingsAndExitsCleanly) {
    TempDirectory work;
    const std::filesystem::path settings = work.Path() / "settings";
    const std::filesystem::path raw = work.Path() / "a440.raw";
    const auto bytes = SineBytes(440.0, 20.0);
    WriteWholeFile(raw, std::string(bytes.begin(), bytes.end()));
    // ALSA's "default" capture device reads the raw file (its "null" slave
    // only supplies the timing).
    WriteWholeFile(work.Path() / "asound.conf",
                   "defaults.pcm.file_format \"raw\"\ndefaults.pcm.file_truncate true\n"
                   "pcm.null { type null }\npcm.default {\n  type file\n  slave.pcm \"null\"\n"
                   "  file \"/dev/null\"\n  infile \"" +
                       raw.string() + "\"\n  format \"raw\"\n}\n");
    // Each test runs in a process of its own: the program inherits these.
    setenv("ALSA_CONFIG_PATH", (work.Path() / "asound.conf").c_str(), 1);
    setenv("ZELVO_TUNER_SETTINGS_DIR", settings.c_str(), 1);
    char* const argv[] = {const_cast<char*>(ZELVO_TUNER_BINARY), nullptr};

    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZELVO_TUNER_BINARY, nullptr, nullptr, argv, environ), 0);
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
    // The default settings with the first start's place: (1, 1), 285 high.
    ConfigRecord config;
    config.TunerPosBottom = -7;  // proves the file was read
    LoadConfig(config, settings / "tuner_config.xml");
    ConfigRecord expected;
    expected.TunerPosLeft = 1;
    expected.TunerPosTop = 1;
    expected.TunerPosRight = config.TunerPosRight;
    expected.TunerPosBottom = 286;
    EXPECT_EQ(config, expected);
}
