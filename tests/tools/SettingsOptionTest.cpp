// zelvo-analyze --settings: the tuner's own settings files name the notes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "SettingsDirectory.h"
#include "ToolRunner.h"

using namespace ToolTest;

namespace {

const std::string kAnalyze = ZELVO_ANALYZE_PATH;
const std::string kTone = ZELVO_TONE_PATH;

// The median deviation the --notes line reports for the one note of a run.
double NoteCents(const ToolRun& run, const std::string& expectedNote) {
  EXPECT_EQ(run.status, 0) << run.err;
  const auto lines = Lines(run.out);
  EXPECT_EQ(lines.size(), 1u) << run.out;
  if (lines.size() != 1) return NAN;
  const auto fields = Fields(lines[0]);
  EXPECT_EQ(fields.size(), 5u);
  EXPECT_EQ(fields[0], expectedNote);
  return std::stod(fields[3]);
}

std::string Config(const std::string& version, const std::string& body) {
  return "<TunerConfig Version=\"" + version + "\">\n" + body + "</TunerConfig>\n";
}

class SettingsOption : public ::testing::Test {
 protected:
  void SetUp() override {
    wav = dir.File("a440.wav");
    const ToolRun run = RunTool(kTone, {"--out", wav, "--duration", "1.5", "--harmonics", "3", "440"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::filesystem::create_directory(settings);
  }
  ToolRun Analyze(std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"--notes", "--settings", settings.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(wav);
    return RunTool(kAnalyze, args);
  }
  void WriteConfig(const std::string& text) { WriteTextFile((settings / "tuner_config.xml").string(), text); }

  TempDir dir;
  std::filesystem::path settings = dir.Path() / "settings";
  std::string wav;
};

}  // namespace

TEST_F(SettingsOption, MiddleAFromTheConfiguration) {
  WriteConfig(Config("2", "\t<System>\n\t\t<MiddleA>442.000000</MiddleA>\n\t</System>\n"));
  EXPECT_NEAR(NoteCents(Analyze(), "A4"), -7.85, 0.05);
  // The command line still wins.
  EXPECT_NEAR(NoteCents(Analyze({"--middle-a", "440"}), "A4"), 0.0, 0.05);
}

TEST_F(SettingsOption, RejectedOrMissingFilesLeaveTheDefaults) {
  WriteConfig(Config("3", "\t<System>\n\t\t<MiddleA>442.000000</MiddleA>\n\t</System>\n"));
  EXPECT_NEAR(NoteCents(Analyze(), "A4"), 0.0, 0.05);
  WriteConfig("<TunerConfig Version=\"2\"><System><MiddleA>442</MiddleA></System><Sys");
  EXPECT_NEAR(NoteCents(Analyze(), "A4"), 0.0, 0.05);
  std::filesystem::remove(settings / "tuner_config.xml");
  const ToolRun run = Analyze();
  EXPECT_EQ(run.err, "");
  EXPECT_NEAR(NoteCents(run, "A4"), 0.0, 0.05);
}

TEST_F(SettingsOption, CalibrationNoiseFloorAndTemperament) {
  // The device reads 441 Hz for a true 440: readings are scaled by 440/441.
  WriteConfig(Config("2", "\t<Calibration>\n\t\t<KnownFreq>440</KnownFreq>\n"
                          "\t\t<ExpectedFreq>441</ExpectedFreq>\n\t</Calibration>\n"));
  EXPECT_NEAR(NoteCents(Analyze(), "A4"), 1200.0 * std::log2(440.0 / 441.0), 0.05);
  // ExpectedFreq not above 1.0 switches the correction off.
  WriteConfig(Config("2", "\t<Calibration>\n\t\t<ExpectedFreq>1</ExpectedFreq>\n\t</Calibration>\n"));
  EXPECT_NEAR(NoteCents(Analyze(), "A4"), 0.0, 0.05);

  // A floor above the tone's level (-12 dB here) closes the gate, unless the
  // command line lowers it again.
  WriteConfig(Config("2", "\t<System>\n\t\t<NoiseFloor>-5</NoiseFloor>\n\t</System>\n"));
  ToolRun gated = Analyze();
  EXPECT_EQ(gated.status, 0);
  EXPECT_EQ(gated.out, "");
  EXPECT_NEAR(NoteCents(Analyze({"--noise-floor", "-30"}), "A4"), 0.0, 0.05);

  // A temperament with +6 cents on A only, in key C: A is held at 0 and every
  // other note moves down, so A4 itself still reads 0 while a tone on C5
  // (equal-tempered) reads 6 cents sharp.
  WriteConfig(Config("2", ""));
  std::string temperament =
      "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\">\n"
      "\t<Temperament Name=\"A up\">\n";
  for (int pc = 0; pc < 12; ++pc)
    temperament += "\t\t<Offset Index=\"" + std::to_string(pc) + "\" Cents=\"" +
                   (pc == 9 ? "6.000000" : "0.000000") + "\" />\n";
  temperament += "\t</Temperament>\n</TemperamentList>\n";
  WriteTextFile((settings / "tuner_temperament.xml").string(), temperament);
  EXPECT_NEAR(NoteCents(Analyze(), "A4"), 0.0, 0.05);
  const auto c5 = dir.File("c5.wav");
  ASSERT_EQ(RunTool(kTone, {"--out", c5, "--duration", "1.5", "523.2511"}).status, 0);
  EXPECT_NEAR(NoteCents(RunTool(kAnalyze, {"--notes", "--settings", settings.string(), c5}), "C5"),
              6.0, 0.05);
}

TEST_F(SettingsOption, UnusableDirectoryIsAnError) {
  for (const std::string& bad : {dir.File("nowhere"), wav}) {
    const ToolRun run = RunTool(kAnalyze, {"--settings", bad, wav});
    EXPECT_EQ(run.status, 2) << bad;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
  }
  EXPECT_THROW(ZelvoAnalyze::LoadTunerSettings(dir.File("nowhere")), std::runtime_error);
}
