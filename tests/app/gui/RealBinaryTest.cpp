// One run of the real program: PortAudio reads a 440 Hz raw file through
// ALSA's file plugin, the settings go to a temporary directory, and SIGTERM
// ends the program, which must then save its configuration and exit 0.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "GuiTestSupport.h"
#include "persistence/ConfigFile.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// ALSA's "default" capture device reads the raw file (its "null" slave only
// supplies the timing).
std::string AlsaConfiguration(const std::filesystem::path& raw) {
    const std::string pcm = "  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile \"" +
                            raw.string() + "\"\n  format \"raw\"\n";
    return "defaults.pcm.file_format \"raw\"\n"
           "defaults.pcm.file_truncate true\n"
           "pcm.null { type null }\n"
           "pcm.default {\n" + pcm + "}\n";
}

// Waits for the child to end; -1 on time-out, else its wait status.
int WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return status;
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}

}  // namespace

TEST(RealBinary, SigtermSavesTheSettingsAndExitsCleanly) {
    TempDirectory work;
    const std::filesystem::path settings = work.Path() / "settings";
    const std::filesystem::path raw = work.Path() / "a440.raw";
    {
        const auto bytes = SineBytes(440.0, 20.0);
        std::ofstream out(raw, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    {
        std::ofstream conf(work.Path() / "asound.conf");
        conf << AlsaConfiguration(raw);
    }
    const std::string alsaConfig = (work.Path() / "asound.conf").string();
    const std::string settingsDir = settings.string();

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("ALSA_CONFIG_PATH", alsaConfig.c_str(), 1);
        setenv("ZELVO_TUNER_SETTINGS_DIR", settingsDir.c_str(), 1);
        execl(ZELVO_TUNER_BINARY, ZELVO_TUNER_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    std::this_thread::sleep_for(3s);
    // Still running: it found the file device and did not stop at a message.
    ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early";
    kill(pid, SIGTERM);
    const int status = WaitForExit(pid, 15s);
    if (status == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the program did not end after SIGTERM";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);

    // The configuration was written and reads back.
    ASSERT_TRUE(std::filesystem::exists(settings / "tuner_config.xml"));
    EXPECT_TRUE(std::filesystem::exists(settings / "tuner_presets.xml"));
    EXPECT_TRUE(std::filesystem::exists(settings / "tuner_temperament.xml"));
    EXPECT_TRUE(std::filesystem::exists(settings / "tuner_stretch.xml"));
    ConfigRecord config;
    config.TunerPosBottom = -7;  // proves the file was read
    LoadConfig(config, settings / "tuner_config.xml");
    EXPECT_EQ(config.TunerPosTop, 1);
    EXPECT_EQ(config.TunerPosBottom, 286);
}

TEST(RealBinary, WithoutADisplayItSaysSoAndExitsWithStatus1) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        close(pipeFds[1]);
        execl(ZELVO_TUNER_BINARY, ZELVO_TUNER_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string output;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);
    const int status = WaitForExit(pid, 10s);
    ASSERT_NE(status, -1);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find("cannot open a graphical display"), std::string::npos) << output;
}
