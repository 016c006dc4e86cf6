// zelvo-analyze --plot and --version, and zelvo-tuner --version, run as
// programs: the chart files must be PNG and SVG of the chart, not any given pixels.
#include <gtest/gtest.h>

#include <string>

#include "AnalyzeOptions.h"
#include "ToolRunner.h"

using namespace ToolTest;

namespace {

// The big-endian 32-bit number at offset in bytes.
unsigned BigEndian32(const std::string& bytes, std::size_t offset) {
    unsigned value = 0;
    for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

}  // namespace

TEST(PlotTool, WritesValidPngAndSvgBesideUnchangedReadings) {
    TempDirectory dir;
    const auto wav = dir.File("scale.wav");
    MakeTone(wav, {"--duration", "0.8", "--harmonics", "4", "--detune", "12", "440", "494", "523"});
    const ToolRun plain = RunTool(kAnalyze, {"--notes", wav});
    ASSERT_EQ(plain.status, 0) << plain.err;

    const ToolRun png = RunTool(kAnalyze, {"--notes", "--plot", dir.File("chart.PNG"), wav});
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out, plain.out);
    EXPECT_EQ(png.err, "");  // no progress line when stderr is not a terminal
    const std::string bytes = ReadWholeFile(dir.File("chart.PNG"));
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(bytes.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(bytes, 16), 1200u);
    EXPECT_EQ(BigEndian32(bytes, 20), 480u);
    EXPECT_EQ(bytes.substr(bytes.size() - 8, 4), "IEND");

    const ToolRun svg = RunTool(kAnalyze, {"--plot=" + dir.File("chart.svg"), wav});
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_FALSE(svg.out.empty());
    // Cairo writes well-formed SVG; what the chart adds is what is drawn:
    // grid, band, frame, three traces with their medians and the text glyphs.
    const std::string text = ReadWholeFile(dir.File("chart.svg"));
    EXPECT_NE(text.find("<svg"), std::string::npos);
    int paths = 0;
    for (std::size_t at = 0; (at = text.find("<path", at)) != std::string::npos; ++at) ++paths;
    EXPECT_GT(paths, 10);
}

// The command-line refusals are checked on the parser; here the chart files
// that cannot be written, one per format.
TEST(PlotTool, UnwritableChartIsAnError) {
    TempDirectory dir;
    const auto wav = dir.File("a.wav");
    MakeTone(wav, {"--duration", "0.5", "440"});
    for (const char* chart : {"no/such/dir/c.svg", "no/such/dir/c.png"}) {
        const ToolRun run = RunTool(kAnalyze, {"--plot", dir.File(chart), wav});
        EXPECT_EQ(run.status, 2) << chart;
        EXPECT_NE(run.err.find("cannot write the chart to"), std::string::npos) << run.err;
    }
}

TEST(VersionOption, BothProgramsNameTheBuildsVersion) {
    const ToolRun analyze = RunTool(kAnalyze, {"--version"});
    EXPECT_EQ(analyze.status, 0);
    EXPECT_EQ(analyze.out, std::string("zelvo-analyze ") + ZELVO_EXPECTED_VERSION + "\n");
    EXPECT_EQ(analyze.out, ZelvoAnalyze::VersionText());
    // Answered before any window is made, so no display is needed.
    const ToolRun tuner = RunTool(ZELVO_TUNER_PATH, {"--version"}, {"DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(tuner.status, 0) << tuner.err;
    EXPECT_EQ(tuner.out, std::string("zelvo-tuner ") + ZELVO_EXPECTED_VERSION + "\n");
    EXPECT_EQ(tuner.err, "");
}
