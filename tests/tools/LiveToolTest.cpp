// zelvo-analyze --live and --list-devices against ALSA's file plugin, which
// presents a raw 16-bit file as a capture device, so no sound card is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "ToolRunner.h"

using namespace ToolTest;

namespace {

// A raw file and an ALSA configuration with two capture PCMs reading it:
// "zelvo_file" and "default" (PortAudio needs a default). The "null" slave
// does not pace the capture: the file is read as fast as the recorder takes
// it, and once the recorder's 64 queued buffers are full the device drops
// frames, so only the first 64 hops (1.49 s at 11025 Hz) are sure to be
// whole. The file therefore holds one second of A4 followed by silence, long
// enough that the plugin, which repeats stale data after the end of its
// file, only repeats silence. The display keeps showing the last note after
// it ends, as the tuner does. Far more than ten seconds of sound arrive
// before the first display tick, and the pipeline keeps only the newest ten,
// so the tone is usually gone by then.
class LiveTool : public ::testing::Test {
protected:
    // The file and the configuration are made once for all the tests here.
    static void SetUpTestSuite() {
        dir = std::make_unique<TempDirectory>();
        const auto raw = dir->File("a440.raw");
        MakeTone(raw, {"--duration", "1", "--harmonics", "3", "440"});
        std::ofstream(raw, std::ios::binary | std::ios::app) << std::string(4 * 11025 * 2, '\0');
        const std::string pcm = "  type file\n  slave.pcm \"null\"\n  file \"/dev/null\"\n  infile \"" + raw +
                                "\"\n  format \"raw\"\n";
        WriteWholeFile(dir->File("asound.conf"),
                       "defaults.pcm.file_format \"raw\"\n"
                       "defaults.pcm.file_truncate true\n"
                       "pcm.null { type null }\n"
                       "pcm.zelvo_file {\n" +
                           pcm +
                           "}\n"
                           "pcm.default {\n" +
                           pcm + "}\n");
        environment = {"ALSA_CONFIG_PATH=" + dir->File("asound.conf")};
    }
    static void TearDownTestSuite() { dir.reset(); }
    static ToolRun Analyze(const std::vector<std::string>& args) {
        return RunTool(kAnalyze, args, environment);
    }

    static inline std::unique_ptr<TempDirectory> dir;
    static inline std::vector<std::string> environment;
};

const std::regex kLiveLine(R"(([A-G][#b]?[0-8]\t[+-]\d\d\.\d|-\t-)\t-?\d+\.\d)");

}  // namespace

TEST_F(LiveTool, ListsThePreferredDeviceAndTheFileDevice) {
    const ToolRun run = Analyze({"--list-devices"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("-1\tPreferred Recording Device\n", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\tzelvo_file"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\t11.025 kHz / 16-Bits / Mono\t0x4 (4)\n"), std::string::npos);
    EXPECT_NE(run.out.find("\t44.1 kHz / 16-Bits / Stereo\t0x800 (2048)\n"), std::string::npos);
}

TEST_F(LiveTool, PrintsTheReadingOfTheFileDeviceEveryTick) {
    const ToolRun run = Analyze({"--live", "--seconds", "0.5"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = Split(run.out, '\n');
    ASSERT_FALSE(lines.empty());
    // A note, when the tone was still queued, is A4 within the few cents the
    // analysis drifts while the tone leaves its frame; then the silence's
    // level.
    for (const auto& line : lines) {
        ASSERT_TRUE(std::regex_match(line, kLiveLine)) << line;
        const auto fields = Split(line, '\t');
        if (fields[0] == "-") continue;
        EXPECT_EQ(fields[0], "A4") << line;
        EXPECT_LT(std::fabs(std::stod(fields[1])), 3.0) << line;
    }
    EXPECT_EQ(Split(lines.back(), '\t')[2], "-96.3");
    // The file device outruns the recorder, which the tool says once.
    const auto errLines = Split(run.err, '\n');
    ASSERT_EQ(errLines.size(), 1u) << run.err;
    EXPECT_TRUE(
        std::regex_match(errLines[0], std::regex("zelvo-analyze: input overrun: \\d+ frames dropped")))
        << run.err;
}

TEST_F(LiveTool, SignalsStopItCleanly) {
    for (const std::string signal : {"INT", "TERM"}) {
        const ToolRun run = RunTool(
            "/bin/sh",
            {"-c", "\"$0\" --live & pid=$!; sleep 1; kill -" + signal + " $pid; wait $pid; echo \"exit=$?\"",
             kAnalyze},
            environment);
        // Without --seconds only a signal ends the run; status 0 shows that it
        // was caught and recording was stopped rather than the program killed.
        EXPECT_TRUE(run.out.ends_with("exit=0\n")) << signal << "\n" << run.out << run.err;
    }
}

TEST_F(LiveTool, StartFailuresExitWithStatusTwo) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--live", "--format", "3"}, "Invalid recording device format\n"},
        {{"--live", "--format", "0"}, "Invalid recording device format\n"},
        {{"--live", "--device", "57"}, "Unable to start recording with the currently selected device.\n"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun run = Analyze(args);
        EXPECT_EQ(run.status, 2) << args[2];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, message);
    }
}
