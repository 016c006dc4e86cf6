// Runs of the real program: PortAudio reads a 440 Hz raw file through ALSA's
// file plugin and the settings go to a temporary directory. SIGTERM, SIGHUP
// (the terminal closed) and a lost X connection each end the program, which
// must have saved its configuration first. With a window manager running
// (when one is installed), as on a desktop, a start and an end by SIGTERM
// write nothing to standard error.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "GuiTestSupport.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// The capture file and the settings folder, put into the environment the
// spawned programs inherit (each test runs in a process of its own).
class RealBinary : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path raw = work.Path() / "a440.raw";
        const auto bytes = Recorder::SinePcm16(440.0, 20.0, 11025, 0.37);
        WriteWholeFile(raw, std::string(bytes.begin(), bytes.end()));
        // ALSA's "default" capture device reads the raw file (its "null"
        // slave only supplies the timing).
        WriteWholeFile(work.Path() / "asound.conf",
                       "defaults.pcm.file_format \"raw\"\ndefaults.pcm.file_truncate true\n"
                       "pcm.null { type null }\npcm.default {\n  type file\n  slave.pcm \"null\"\n"
                       "  file \"/dev/null\"\n  infile \"" +
                           raw.string() + "\"\n  format \"raw\"\n}\n");
        setenv("ALSA_CONFIG_PATH", (work.Path() / "asound.conf").c_str(), 1);
        setenv("ZELVO_TUNER_SETTINGS_DIR", settings.c_str(), 1);
    }

    // Starts a program, its standard error written to `errors`; 0 on failure.
    static pid_t Spawn(const char* program, char* const argv[], const char* errors = "/dev/null") {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, errors, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        const bool spawned = posix_spawnp(&pid, program, &actions, nullptr, argv, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        return spawned ? pid : 0;
    }

    // The wait status once `pid` ended, or nothing after 15 s (it is killed).
    static std::optional<int> WaitForEnd(pid_t pid) {
        int status = 0;
        for (auto end = std::chrono::steady_clock::now() + 15s; std::chrono::steady_clock::now() < end;
             std::this_thread::sleep_for(20ms))
            if (waitpid(pid, &status, WNOHANG) == pid) return status;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return std::nullopt;
    }

    void ExpectSavedSettings() const {
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

    TempDirectory work;
    const std::filesystem::path settings = work.Path() / "settings";
};

}  // namespace

TEST_F(RealBinary, SigtermAndSighupSaveTheSettingsAndExitCleanly) {
    char* const openbox[] = {const_cast<char*>("openbox"), nullptr};
    const pid_t wm = Spawn("openbox", openbox);
    if (wm) std::this_thread::sleep_for(1s);
    const std::string err = (work.Path() / "stderr.txt").string();
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        std::filesystem::remove_all(settings);
        char* const argv[] = {const_cast<char*>(ZELVO_TUNER_BINARY), nullptr};
        const pid_t pid = Spawn(ZELVO_TUNER_BINARY, argv, err.c_str());
        ASSERT_NE(pid, 0);
        std::this_thread::sleep_for(3s);
        // Still running: it found the file device and did not stop at a message.
        ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early";
        kill(pid, signal);
        const std::optional<int> status = WaitForEnd(pid);
        ASSERT_TRUE(status) << "the program did not end after the signal";
        ASSERT_TRUE(WIFEXITED(*status));
        EXPECT_EQ(WEXITSTATUS(*status), 0);
        EXPECT_EQ(ReadWholeFile(err), "") << (wm ? "with" : "without") << " openbox";
        ExpectSavedSettings();
    }
    if (wm) kill(wm, SIGTERM), waitpid(wm, nullptr, 0);
}

// The program on an X server of its own, which then goes away: the toolkit
// ends the program, after it saved.
TEST_F(RealBinary, ALostDisplaySavesTheSettingsBeforeTheToolkitEnds) {
    const std::string script =
        "Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3>\"$1\" 2>/dev/null & x=$!; "
        "while [ ! -s \"$1\" ]; do sleep 0.05; done; "
        "DISPLAY=:$(cat \"$1\") \"$0\" 2>/dev/null & t=$!; sleep 3; kill $x; wait $t";
    const std::string displayFile = (work.Path() / "display").string();
    char* const argv[] = {const_cast<char*>("/bin/sh"),           const_cast<char*>("-c"),
                          const_cast<char*>(script.c_str()),      const_cast<char*>(ZELVO_TUNER_BINARY),
                          const_cast<char*>(displayFile.c_str()), nullptr};
    const pid_t pid = Spawn("/bin/sh", argv);
    ASSERT_TRUE(WaitForEnd(pid)) << "the program did not end after its display went away";
    ExpectSavedSettings();
}
