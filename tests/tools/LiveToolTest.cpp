// zelvo-analyze --live and --list-devices against ALSA's file plugin, which
// presents a raw 16-bit file as a capture device, so no sound card is needed.
// Its "null" slave does not pace the capture: the device delivers far faster
// than real time, and a live run must still keep its memory bounded and end
// on SIGINT within a second, as a terminal tuner must.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <regex>
#include <thread>

#include "ToolRunner.h"

using namespace ToolTest;
using namespace std::chrono_literals;

namespace {

// A program started in the background with its output in a file, for tests
// that watch it while it runs. Killed if a test leaves it running.
class BackgroundRun {
public:
    BackgroundRun(const std::vector<std::string>& args, const std::vector<std::string>& extraEnvironment,
                  const std::string& outPath) {
        std::vector<std::string> entries = extraEnvironment;
        for (char** e = environ; *e != nullptr; ++e) entries.emplace_back(*e);  // the first of a name wins
        std::vector<char*> env;
        for (std::string& entry : entries) env.push_back(entry.data());
        env.push_back(nullptr);
        std::vector<std::string> argStrings = args;
        argStrings.insert(argStrings.begin(), kAnalyze);
        std::vector<char*> argv;
        for (std::string& arg : argStrings) argv.push_back(arg.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, kAnalyze.c_str(), &actions, nullptr, argv.data(), env.data()) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~BackgroundRun() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;

    bool Started() const { return pid_ > 0; }
    bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

    // A "kB" field of /proc/<pid>/status ("VmHWM" is the peak resident
    // memory); -1 when it cannot be read.
    long StatusKb(const std::string& field) const {
        std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
        return -1;
    }

    // Sends `signal` and waits up to `limit` for the program to end: its exit
    // status, -1 when a signal ended it, nothing when it still runs.
    std::optional<int> SignalAndWait(int signal, std::chrono::milliseconds limit) {
        kill(pid_, signal);
        const auto end = std::chrono::steady_clock::now() + limit;
        int status = 0;
        do {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(5ms);
        } while (std::chrono::steady_clock::now() < end);
        return std::nullopt;
    }

private:
    pid_t pid_ = -1;
};

// Noise over a chord: every hop is analysed in full and its result holds many
// peaks, the heaviest load per result. Two capture PCMs read the file:
// "zelvo_file" and "default" (PortAudio needs a default).
class LiveTool : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDirectory>();
        const std::string raw = dir->File("noise.raw");
        MakeTone(raw, {"--duration", "5", "--harmonics", "8", "--noise", "0.4", "110"});
        const std::string pcm = " {\n  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile \"" +
                                raw + "\"\n  format \"raw\"\n}\n";
        WriteWholeFile(dir->File("asound.conf"),
                       "defaults.pcm.file_format \"raw\"\ndefaults.pcm.file_truncate true\n"
                       "pcm.null { type null }\npcm.zelvo_file" +
                           pcm + "pcm.default" + pcm);
        environment = {"ALSA_CONFIG_PATH=" + dir->File("asound.conf")};
    }
    static void TearDownTestSuite() { dir.reset(); }

    static inline std::unique_ptr<TempDirectory> dir;
    static inline std::vector<std::string> environment;
};

}  // namespace

TEST_F(LiveTool, ListsThePreferredDeviceAndTheFileDevice) {
    const ToolRun run = RunTool(kAnalyze, {"--list-devices"}, environment);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("-1\tPreferred Recording Device\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\tzelvo_file"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\t44.1 kHz / 16-Bits / Stereo\t0x800 (2048)\n"), std::string::npos);
}

TEST_F(LiveTool, StartFailuresExitWithStatusTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {"3", "Invalid recording device format\n"},
        {"0x4 --device 57", "Unable to start recording with the currently selected device.\n"},
    };
    for (const auto& [format, message] : cases) {
        std::vector<std::string> args = Split("--live --format " + format, ' ');
        const ToolRun run = RunTool(kAnalyze, args, environment);
        EXPECT_EQ(run.status, 2) << format;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, message);
    }
}

// 96 kHz stereo keeps the most results in the queue.
TEST_F(LiveTool, SigintEndsAFloodingRunWithinASecondAndMemoryStaysBounded) {
    const std::string outPath = dir->File("out.txt");
    BackgroundRun run({"--live", "--format", "524288"}, environment, outPath);
    ASSERT_TRUE(run.Started());
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(run.Running()) << ReadWholeFile(outPath);

    const long peakKb = run.StatusKb("VmHWM");
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 200 * 1024);
    const std::optional<int> status = run.SignalAndWait(SIGINT, 1s);
    ASSERT_TRUE(status.has_value()) << "still running a second after SIGINT";
    EXPECT_EQ(*status, 0);  // caught, recording stopped, not killed

    // The display kept ticking: several lines of the usual form.
    const std::vector<std::string> lines = Split(ReadWholeFile(outPath), '\n');
    EXPECT_GE(lines.size(), 5u);
    for (const std::string& line : lines)
        EXPECT_TRUE(std::regex_match(line, std::regex(R"(([A-G][#b]?\d\t[+-]\d\d\.\d|-\t-)\t-?\d+\.\d)")))
            << line;
}
