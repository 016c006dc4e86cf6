// zelvo-analyze --live and --list-devices against ALSA's file plugin, which
// presents a raw 16-bit file as a capture device, so no sound card is needed.
// Its "null" slave does not pace the capture: the device delivers far faster
// than real time, and a live run must still keep its memory bounded and end
// on SIGINT within a second, as a terminal tuner must.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <regex>

#include "ToolRunner.h"

using namespace ToolTest;

namespace {

// An ALSA configuration whose capture PCMs (each of names) read the raw
// 16-bit file infile; PortAudio needs one named "default".
std::vector<std::string> FileDeviceEnvironment(const TempDirectory& dir, const std::string& infile,
                                               const std::vector<std::string>& names) {
    std::string conf =
        "defaults.pcm.file_format \"raw\"\ndefaults.pcm.file_truncate true\npcm.null { type null }\n";
    for (const std::string& name : names)
        conf += "pcm." + name + " {\n  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile \"" +
                infile + "\"\n  format \"raw\"\n}\n";
    WriteWholeFile(dir.File("asound.conf"), conf);
    return {"ALSA_CONFIG_PATH=" + dir.File("asound.conf")};
}

// Noise over a chord: every hop is analysed in full and its result holds many
// peaks, the heaviest load per result.
class LiveTool : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDirectory>();
        const std::string raw = dir->File("noise.raw");
        MakeTone(raw, {"--duration", "5", "--harmonics", "8", "--noise", "0.4", "110"});
        environment = FileDeviceEnvironment(*dir, raw, {"zelvo_file", "default"});
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
    // A watchdog kills the run a second after SIGINT: "exit=0" shows that the
    // signal was caught and recording stopped in time.
    const std::string outPath = dir->File("out.txt"), errPath = dir->File("err.txt");
    const ToolRun run =
        RunTool("/bin/sh",
                {"-c",
                 "\"$0\" --live --format 524288 >\"$1\" 2>\"$2\" & pid=$!; sleep 3; "
                 "grep VmHWM /proc/$pid/status; kill -INT $pid; "
                 "(sleep 1; kill -KILL $pid) >/dev/null 2>&1 & w=$!; wait $pid; echo \"exit=$?\"; kill $w",
                 kAnalyze, outPath, errPath},
                environment);
    std::smatch peak;
    ASSERT_TRUE(std::regex_search(run.out, peak, std::regex(R"(VmHWM:\s+(\d+) kB)"))) << run.out << run.err;
    long limitKb = 200 * 1024;
#ifdef __SANITIZE_ADDRESS__
    // AddressSanitizer keeps up to 256 MB of freed blocks in quarantine.
    limitKb += 256 * 1024;
#endif
    EXPECT_LT(std::stol(peak[1]), limitKb);
    EXPECT_NE(run.out.find("exit=0\n"), std::string::npos) << run.out;

    // The display kept ticking: several lines of the usual form.
    const std::vector<std::string> lines = Split(ReadWholeFile(outPath), '\n');
    EXPECT_GE(lines.size(), 5u);
    for (const std::string& line : lines)
        EXPECT_TRUE(std::regex_match(line, std::regex(R"(([A-G][#b]?\d\t[+-]\d\d\.\d|-\t-)\t-?\d+\.\d)")))
            << line;
    // The device outran the recorder: said once.
    const std::string err = ReadWholeFile(errPath);
    EXPECT_TRUE(std::regex_match(err, std::regex("zelvo-analyze: input overrun: \\d+ frames dropped\n")))
        << err;
}

// A sound server that no longer answers, as one stopped by SIGSTOP: the
// capture file is a FIFO, and the tests hold or withhold its writing end.
class LiveToolFrozen : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0); }
    ToolRun RunShell(const std::string& script) {
        return RunTool("/bin/sh", {"-c", script, kAnalyze, fifo},
                       FileDeviceEnvironment(dir, fifo, {"default"}));
    }

    TempDirectory dir;
    const std::string fifo = dir.File("frozen.raw");
};

// Nobody writes: opening the device blocks, where the first SIGINT cannot be
// acted on; the second ends the run at once, killed by the signal (status
// 130 in the shell).
TEST_F(LiveToolFrozen, ASecondSigintEndsARunStuckOpeningTheDevice) {
#ifdef __SANITIZE_THREAD__
    // ThreadSanitizer holds a signal back until the thread leaves the call it
    // is in; the open of a FIFO never returns, so no handler ever runs.
    GTEST_SKIP() << "signals are deferred under ThreadSanitizer";
#endif
    const ToolRun run = RunShell(
        "\"$0\" --live >/dev/null 2>&1 & pid=$!; sleep 1; kill -INT $pid; sleep 0.5; "
        "kill -0 $pid && echo stuck; kill -INT $pid; "
        "(sleep 2; kill -KILL $pid) >/dev/null 2>&1 & w=$!; wait $pid; echo \"exit=$?\"; kill $w");
    EXPECT_EQ(run.out, "stuck\nexit=130\n") << run.err;
}

// A writer that never writes: the device opens and the capture then blocks
// in its read. Stop gives up on the recorder after its time-out, and the run
// ends without closing the sound system, which would wait for ever.
TEST_F(LiveToolFrozen, ARecorderStuckInTheDeviceIsLeftBehindAtTheEnd) {
    const ToolRun run = RunShell(
        "exec 3<>\"$1\"; \"$0\" --live >/dev/null & pid=$!; sleep 2; kill -INT $pid; "
        "(sleep 25; kill -KILL $pid) >/dev/null 2>&1 & w=$!; wait $pid; echo \"exit=$?\"; kill $w");
    EXPECT_EQ(run.out, "exit=0\n") << run.err;
    EXPECT_EQ(run.err, "zelvo-analyze: the sound device did not stop; ending without closing it\n");
}
