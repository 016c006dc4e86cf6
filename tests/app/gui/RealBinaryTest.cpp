// One run of the real program: PortAudio reads a 440 Hz raw file through
// ALSA's file plugin, the settings go to a temporary directory, and SIGTERM
// ends the program, which must then save its configuration and exit 0. With
// a window manager running (when one is installed), as on a desktop, the
// start and the end write nothing to standard error.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "GuiTestSupport.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// Starts `program` with its standard error written to `errors`; 0 on failure.
pid_t Spawn(const char* program, const std::filesystem::path& errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    char* const argv[] = {const_cast<char*>(program), nullptr};
    const bool spawned = posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return spawned ? pid : 0;
}

}  // namespace

TEST(RealBinary, SigtermSavesTheSettingsAndExitsCleanlyAndQuietly) {
    TempDirectory work;
    const std::filesystem::path settings = work.Path() / "settings";
    const std::filesystem::path raw = work.Path() / "a440.raw", err = work.Path() / "stderr.txt";
    const auto bytes = Recorder::SinePcm16(440.0, 20.0, 11025, 0.37);
    WriteWholeFile(raw, std::string(bytes.begin(), bytes.end()));
    // ALSA's "default" capture device reads the raw file (its "null" slave
    // only supplies the timing).
    WriteWholeFile(work.Path() / "asound.conf",
                   "pcm.null { type null }\npcm.!default { type file slave.pcm \"null\" file \"/dev/null\" "
                   "infile \"" +
                       raw.string() + "\" format \"raw\" }\n");
    // Each test runs in a process of its own: the program inherits these.
    setenv("ALSA_CONFIG_PATH", (work.Path() / "asound.conf").c_str(), 1);
    setenv("ZELVO_TUNER_SETTINGS_DIR", settings.c_str(), 1);

    const pid_t wm = Spawn("openbox", "/dev/null");
    if (wm) std::this_thread::sleep_for(1s);
    const pid_t pid = Spawn(ZELVO_TUNER_BINARY, err);
    ASSERT_NE(pid, 0);
    std::this_thread::sleep_for(3s);
    // Still running: it found the file device and did not stop at a message.
    ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early";
    kill(pid, SIGTERM);
    int status = 0;
    bool ended = false;
    for (auto end = std::chrono::steady_clock::now() + 15s; !ended && std::chrono::steady_clock::now() < end;
         std::this_thread::sleep_for(20ms))
        ended = waitpid(pid, &status, WNOHANG) == pid;
    if (wm) kill(wm, SIGTERM), waitpid(wm, nullptr, 0);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the program did not end after SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadWholeFile(err), "") << (wm ? "with" : "without") << " openbox";

    for (const char* file :
         {"tuner_config.xml", "tuner_presets.xml", "tuner_temperament.xml", "tuner_stretch.xml"})
        EXPECT_TRUE(std::filesystem::exists(settings / file)) << file;
    // The default settings with the first start's place: (1, 1), 285 high
    // inside a window manager's frame.
    ConfigRecord config;
    config.TunerPosBottom = -7;  // proves the file was read
    LoadConfig(config, settings / "tuner_config.xml");
    ConfigRecord expected;
    expected.TunerPosLeft = 1;
    expected.TunerPosTop = 1;
    expected.TunerPosRight = config.TunerPosRight;
    expected.TunerPosBottom = std::max(config.TunerPosBottom, 286);
    EXPECT_EQ(config, expected);
}
