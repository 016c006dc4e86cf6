// zelvo-analyze --plot and --version, and zelvo-tuner --version, run as
// programs: the chart files must be valid PNG and SVG, not any given pixels.
#include <gtest/gtest.h>

#include <string>

#include "AnalyzeOptions.h"
#include "ToolRunner.h"
#include "persistence/XmlReader.h"

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
    std::string root;
    int paths = 0;
    const XmlReadResult read = XmlReader(
        ReadWholeFile(dir.File("chart.svg")),
        [&](const std::string& name, const ElementContext& context, void*) {
            if (context.path.size() == 1) root = name;
            if (name == "path") ++paths;
            return true;
        },
        nullptr);
    EXPECT_EQ(read, XmlReadComplete);
    EXPECT_EQ(root, "svg");
    // Grid, band, frame, three traces with their medians and the text glyphs.
    EXPECT_GT(paths, 10);
}

TEST(PlotTool, RefusesUnusableChartRequests) {
    TempDirectory dir;
    const auto wav = dir.File("a.wav");
    MakeTone(wav, {"--duration", "0.5", "440"});
    const struct {
        std::vector<std::string> args;
        std::string mentions;
    } cases[] = {
        {{"--plot", dir.File("chart.jpg"), wav}, "--plot needs a file name ending in .svg or .png"},
        {{"--plot", ".png", wav}, "--plot needs"},
        {{"--plot"}, "missing value after --plot"},
        {{"--live", "--plot", dir.File("c.png")}, "--plot charts a recording"},
        {{"--list-devices", "--plot", dir.File("c.png")}, "--list-devices takes no other"},
        {{"--plot", dir.File("no/such/dir/c.svg"), wav}, "cannot write the chart to"},
        {{"--plot", dir.File("no/such/dir/c.png"), wav}, "cannot write the chart to"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const ToolRun run = RunTool(kAnalyze, c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.mentions), std::string::npos) << run.err;
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

TEST(VersionOption, ParsedAheadOfEverythingElse) {
    using ZelvoAnalyze::RunMode;
    const std::vector<std::string> lines[] = {
        {"--version"}, {"--version", "--bogus"}, {"a.wav", "--version"}};
    for (const auto& args : lines)
        EXPECT_EQ(ZelvoAnalyze::ParseAnalyzeOptions(args).options.mode, RunMode::Version);
    const auto plot = ZelvoAnalyze::ParseAnalyzeOptions({"--plot", "out.Svg", "a.wav"});
    EXPECT_EQ(plot.error, "");
    EXPECT_EQ(plot.options.plot, "out.Svg");
    EXPECT_EQ(plot.options.mode, RunMode::Hops);
}
