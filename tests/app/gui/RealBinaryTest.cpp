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
#include <vector>

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

// The environment of this process without the named variables, plus the
// given assignments ("NAME=value"), ready for execve.
class ChildEnvironment {
public:
    ChildEnvironment(const std::vector<std::string>& drop, const std::vector<std::string>& add) {
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            const std::string name = entry.substr(0, entry.find('='));
            bool dropped = false;
            for (const std::string& d : drop)
                dropped = dropped || name == d;
            for (const std::string& a : add)
                dropped = dropped || name == a.substr(0, a.find('='));
            if (!dropped)
                entries_.push_back(entry);
        }
        entries_.insert(entries_.end(), add.begin(), add.end());
        for (std::string& entry : entries_)
            pointers_.push_back(entry.data());
        pointers_.push_back(nullptr);
    }
    char** Get() { return pointers_.data(); }

private:
    std::vector<std::string> entries_;
    std::vector<char*> pointers_;
};

// Starts the program with the environment; only async-signal-safe calls
// happen between fork and exec, as this process runs several threads.
pid_t StartProgram(ChildEnvironment& env, int stderrFd = -1) {
    char* const argv[] = {const_cast<char*>(ZELVO_TUNER_BINARY), nullptr};
    const pid_t pid = fork();
    if (pid == 0) {
        if (stderrFd >= 0)
            dup2(stderrFd, STDERR_FILENO);
        execve(ZELVO_TUNER_BINARY, argv, env.Get());
        _exit(127);
    }
    return pid;
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

// Runs the program on the file device for three seconds, sends `signal` and
// checks that it saved its settings and exited with status 0.
void RunAndStopWith(int signal) {
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

    ChildEnvironment env({}, {"ALSA_CONFIG_PATH=" + alsaConfig,
                              "ZELVO_TUNER_SETTINGS_DIR=" + settingsDir});
    const pid_t pid = StartProgram(env);
    ASSERT_GT(pid, 0);
    std::this_thread::sleep_for(3s);
    // Still running: it found the file device and did not stop at a message.
    ASSERT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the program ended early";
    kill(pid, signal);
    const int status = WaitForExit(pid, 15s);
    if (status == -1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        FAIL() << "the program did not end after signal " << signal;
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

}  // namespace

TEST(RealBinary, SigtermSavesTheSettingsAndExitsCleanly) {
    RunAndStopWith(SIGTERM);
}

TEST(RealBinary, SigintSavesTheSettingsAndExitsCleanly) {
    RunAndStopWith(SIGINT);
}

TEST(RealBinary, WithoutADisplayItSaysSoAndExitsWithStatus1) {
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    ChildEnvironment env({"DISPLAY", "WAYLAND_DISPLAY"}, {});
    const pid_t pid = StartProgram(env, pipeFds[1]);
    close(pipeFds[1]);
    ASSERT_GT(pid, 0);
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
