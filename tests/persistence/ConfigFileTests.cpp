#include "persistence/ConfigFile.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const char* const kDefaultConfigLines[42] = {
    "<TunerConfig Version=\"2\">",
    "\t<TunerWindow>",
    "\t\t<PosLeft>0</PosLeft>",
    "\t\t<PosTop>0</PosTop>",
    "\t\t<PosRight>0</PosRight>",
    "\t\t<PosBottom>0</PosBottom>",
    "\t</TunerWindow>",
    "\t<Recording>",
    "\t\t<Device>-1</Device>",
    "\t\t<Format>4</Format>",
    "\t</Recording>",
    "\t<Calibration>",
    "\t\t<KnownFreq>440.000000</KnownFreq>",
    "\t\t<ExpectedFreq>440.000000</ExpectedFreq>",
    "\t</Calibration>",
    "\t<System>",
    "\t\t<MiddleA>440.000000</MiddleA>",
    "\t\t<Pitch>0</Pitch>",
    "\t\t<NoiseFloor>-30.000000</NoiseFloor>",
    "\t\t<EnergySmoothDuration>0.050000</EnergySmoothDuration>",
    "\t\t<AnalysisQuality>0</AnalysisQuality>",
    "\t</System>",
    "\t<Graphics>",
    "\t\t<Smooth>true</Smooth>",
    "\t\t<Rate>2</Rate>",
    "\t\t<CentAccuracy>0</CentAccuracy>",
    "\t\t<AlwaysOnTop>false</AlwaysOnTop>",
    "\t</Graphics>",
    "\t<HarmonicsWindow>",
    "\t\t<Visible>false</Visible>",
    "\t\t<AlwaysStore>true</AlwaysStore>",
    "\t\t<ReferenceOption>1002</ReferenceOption>",
    "\t\t<CurrentHarmonicSelected>-1</CurrentHarmonicSelected>",
    "\t\t<ReferenceHarmonicSelected>-1</ReferenceHarmonicSelected>",
    "\t\t<TimeRange>5.000000</TimeRange>",
    "\t\t<CentRange>100.000000</CentRange>",
    "\t\t<PosLeft>0</PosLeft>",
    "\t\t<PosTop>0</PosTop>",
    "\t\t<PosRight>0</PosRight>",
    "\t\t<PosBottom>0</PosBottom>",
    "\t</HarmonicsWindow>",
    "</TunerConfig>",
};

// A record with every field away from its default (and within range).
ConfigRecord Unusual()
{
    ConfigRecord c;
    c.TunerPosLeft = 10;
    c.TunerPosTop = -20;
    c.TunerPosRight = 800;
    c.TunerPosBottom = 600;
    c.HarmonicsVisible = true;
    c.HarmonicsPosLeft = 1;
    c.HarmonicsPosTop = 2;
    c.HarmonicsPosRight = 3;
    c.HarmonicsPosBottom = 4;
    c.CurrentHarmonicSelected = 3;
    c.ReferenceHarmonicSelected = 64;
    c.ReferenceOption = 45;
    c.AlwaysStore = false;
    c.TimeRange = 12.5f;
    c.CentRange = 250.0f;
    c.Smooth = false;
    c.Pitch = 11;
    c.MiddleA = 442.25f;
    c.KnownFreq = 1000.0f;
    c.ExpectedFreq = 1001.5f;
    c.Device = 3;
    c.Format = 0x800;
    c.Rate = 0;
    c.NoiseFloor = -47.5f;
    c.EnergySmoothDuration = 0.125f;
    c.AnalysisQuality = 1;
    c.CentAccuracy = 1;
    c.AlwaysOnTop = true;
    return c;
}

ConfigRecord ReadDoc(const std::string& document, XmlReadResult* result = nullptr)
{
    ConfigRecord c;
    const XmlReadResult r = ReadConfigDocument(c, document);
    if (result != nullptr)
        *result = r;
    return c;
}

std::string InSystem(const std::string& leaves)
{
    return "<TunerConfig Version=\"2\"><System>" + leaves + "</System></TunerConfig>";
}

TEST(ConfigFile, DefaultRecordGivesTheFortyTwoLines)
{
    std::string expected;
    for (const char* line : kDefaultConfigLines)
        expected += std::string(line) + "\n";
    EXPECT_EQ(ConfigDocumentText(ConfigRecord{}), expected);
}

TEST(ConfigFile, SavedFilesLoadBackUnchanged)
{
    TempDirectory dir;
    for (const ConfigRecord& original : {ConfigRecord{}, Unusual()}) {
        ASSERT_TRUE(SaveConfig(original, dir / ConfigFileName));
        EXPECT_EQ(ReadWholeFile(dir / ConfigFileName), ConfigDocumentText(original));
        ConfigRecord loaded;
        loaded.MiddleA = 430.0f; // must be overwritten
        LoadConfig(loaded, dir / ConfigFileName);
        EXPECT_EQ(loaded, original);
    }
}

TEST(ConfigFile, MissingFileLeavesTheRecordAlone)
{
    TempDirectory dir;
    ConfigRecord c = Unusual();
    c.Rate = 9; // even an out-of-range value: nothing was read
    LoadConfig(c, dir / "absent.xml");
    ConfigRecord expected = Unusual();
    expected.Rate = 9;
    EXPECT_EQ(c, expected);
}

TEST(ConfigFile, VersionMustBeExactlyTwo)
{
    const std::string leaves = "<System><MiddleA>442</MiddleA></System></TunerConfig>";
    for (const char* root : {"<TunerConfig Version=\"3\">", "<TunerConfig Version=\"2.0\">",
                             "<TunerConfig Version=\" 2\">", "<TunerConfig>"}) {
        XmlReadResult result = -1;
        EXPECT_EQ(ReadDoc(root + leaves, &result), ConfigRecord{}) << root;
        EXPECT_EQ(result, XmlReadStoppedByHandler);
    }
    EXPECT_EQ(ReadDoc("<TunerConfig Version='2'>" + leaves).MiddleA, 442.0f);
}

TEST(ConfigFile, SingleElementChangesOnlyItsField)
{
    ConfigRecord expected;
    expected.MiddleA = 442.0f;
    EXPECT_EQ(ReadDoc(InSystem("<MiddleA>442</MiddleA>")), expected);
}

TEST(ConfigFile, AnyDamageRestoresTheWholeRecord)
{
    XmlReadResult result = -1;
    // Breaks off inside a later tag: MiddleA, read before, is undone too.
    EXPECT_EQ(ReadDoc("<TunerConfig Version=\"2\"><System><MiddleA>442</MiddleA><Pit", &result),
              ConfigRecord{});
    EXPECT_EQ(result, XmlReadUnexpectedEnd);
    // Also a record that did not start at the defaults is restored exactly.
    ConfigRecord c = Unusual();
    EXPECT_EQ(ReadConfigDocument(c, InSystem("<MiddleA>442</MiddleA><Pitch x=3>")), XmlReadSyntaxError);
    EXPECT_EQ(c, Unusual());
}

TEST(ConfigFile, GroupsDecideWhichFieldAnElementSets)
{
    const ConfigRecord c = ReadDoc("<TunerConfig Version=\"2\">"
                                   "<HarmonicsWindow><PosLeft>5</PosLeft></HarmonicsWindow>"
                                   "<TunerWindow><Deeper><PosTop>7</PosTop></Deeper></TunerWindow>"
                                   "<MiddleA>450</MiddleA>" // outside its group: ignored
                                   "<Graphics><Unknown>1</Unknown><Rate>1</Rate></Graphics>"
                                   "</TunerConfig>");
    EXPECT_EQ(c.HarmonicsPosLeft, 5);
    EXPECT_EQ(c.TunerPosLeft, 0);
    EXPECT_EQ(c.TunerPosTop, 7);
    EXPECT_EQ(c.MiddleA, 440.0f);
    EXPECT_EQ(c.Rate, 1);
    // A path holding both groups takes the first row in table order.
    EXPECT_EQ(ReadDoc("<TunerConfig Version=\"2\"><HarmonicsWindow><TunerWindow><PosLeft>9</PosLeft>"
                      "</TunerWindow></HarmonicsWindow></TunerConfig>")
                  .TunerPosLeft,
              9);
}

TEST(ConfigFile, ConversionsFollowTheRuntimeLibrary)
{
    EXPECT_EQ(ReadDoc(InSystem("<Pitch> 3 </Pitch>")).Pitch, 3);
    EXPECT_EQ(ReadDoc(InSystem("<Pitch>4x</Pitch>")).Pitch, 4);
    EXPECT_EQ(ReadDoc(InSystem("<Pitch>x</Pitch>")).Pitch, 0);
    EXPECT_EQ(ReadDoc(InSystem("<NoiseFloor> -42.5dB</NoiseFloor>")).NoiseFloor, -42.5f);
    EXPECT_EQ(ReadDoc("<TunerConfig Version=\"2\"><Graphics><Smooth>TRUE</Smooth>"
                      "<AlwaysOnTop>true</AlwaysOnTop></Graphics></TunerConfig>")
                  .Smooth,
              false);
    for (const char* text : {"True", "1", "", " true"}) {
        const ConfigRecord c = ReadDoc(std::string("<TunerConfig Version=\"2\"><HarmonicsWindow><AlwaysStore>") +
                                       text + "</AlwaysStore></HarmonicsWindow></TunerConfig>");
        EXPECT_FALSE(c.AlwaysStore) << text;
    }
}

TEST(ConfigFile, LaterDuplicatesWin)
{
    EXPECT_EQ(ReadDoc(InSystem("<Pitch>3</Pitch><Pitch>5</Pitch>")).Pitch, 5);
}

TEST(ConfigFile, OutOfRangeValuesFallBackToDefaults)
{
    auto graphics = [](const std::string& leaf) {
        return "<TunerConfig Version=\"2\"><Graphics>" + leaf + "</Graphics></TunerConfig>";
    };
    auto harmonics = [](const std::string& leaf) {
        return "<TunerConfig Version=\"2\"><HarmonicsWindow>" + leaf + "</HarmonicsWindow></TunerConfig>";
    };
    const std::vector<std::pair<std::string, bool (*)(const ConfigRecord&)>> cases = {
        {graphics("<Rate>7</Rate>"), [](const ConfigRecord& c) { return c.Rate == 2; }},
        {graphics("<Rate>-1</Rate>"), [](const ConfigRecord& c) { return c.Rate == 2; }},
        {graphics("<CentAccuracy>2</CentAccuracy>"), [](const ConfigRecord& c) { return c.CentAccuracy == 0; }},
        {InSystem("<Pitch>15</Pitch>"), [](const ConfigRecord& c) { return c.Pitch == 0; }},
        {InSystem("<MiddleA>0</MiddleA>"), [](const ConfigRecord& c) { return c.MiddleA == 440.0f; }},
        {InSystem("<MiddleA>881</MiddleA>"), [](const ConfigRecord& c) { return c.MiddleA == 440.0f; }},
        {InSystem("<MiddleA>nan</MiddleA>"), [](const ConfigRecord& c) { return c.MiddleA == 440.0f; }},
        {InSystem("<MiddleA>1e300</MiddleA>"), [](const ConfigRecord& c) { return c.MiddleA == 440.0f; }},
        {InSystem("<NoiseFloor>5</NoiseFloor>"), [](const ConfigRecord& c) { return c.NoiseFloor == -30.0f; }},
        {InSystem("<NoiseFloor>-61</NoiseFloor>"), [](const ConfigRecord& c) { return c.NoiseFloor == -30.0f; }},
        {InSystem("<AnalysisQuality>3</AnalysisQuality>"), [](const ConfigRecord& c) { return c.AnalysisQuality == 0; }},
        {InSystem("<EnergySmoothDuration>inf</EnergySmoothDuration>"),
         [](const ConfigRecord& c) { return c.EnergySmoothDuration == 0.05f; }},
        {harmonics("<ReferenceOption>97</ReferenceOption>"), [](const ConfigRecord& c) { return c.ReferenceOption == 1002; }},
        {harmonics("<ReferenceOption>1009</ReferenceOption>"), [](const ConfigRecord& c) { return c.ReferenceOption == 1002; }},
        {harmonics("<CurrentHarmonicSelected>0</CurrentHarmonicSelected>"),
         [](const ConfigRecord& c) { return c.CurrentHarmonicSelected == -1; }},
        {harmonics("<ReferenceHarmonicSelected>65</ReferenceHarmonicSelected>"),
         [](const ConfigRecord& c) { return c.ReferenceHarmonicSelected == -1; }},
        {harmonics("<TimeRange>0.5</TimeRange>"), [](const ConfigRecord& c) { return c.TimeRange == 5.0f; }},
        {harmonics("<TimeRange>61</TimeRange>"), [](const ConfigRecord& c) { return c.TimeRange == 5.0f; }},
        {harmonics("<CentRange>0</CentRange>"), [](const ConfigRecord& c) { return c.CentRange == 100.0f; }},
        {"<TunerConfig Version=\"2\"><Calibration><KnownFreq>-inf</KnownFreq></Calibration></TunerConfig>",
         [](const ConfigRecord& c) { return c.KnownFreq == 440.0f; }},
    };
    for (const auto& [document, atDefault] : cases)
        EXPECT_TRUE(atDefault(ReadDoc(document))) << document;

    // Values at the edges of their ranges are kept.
    const ConfigRecord edges = ReadDoc(
        "<TunerConfig Version=\"2\"><System><MiddleA>220</MiddleA><Pitch>11</Pitch>"
        "<NoiseFloor>-60</NoiseFloor></System><Graphics><Rate>0</Rate></Graphics>"
        "<HarmonicsWindow><ReferenceOption>1008</ReferenceOption><CurrentHarmonicSelected>64"
        "</CurrentHarmonicSelected><TimeRange>60</TimeRange><CentRange>1</CentRange></HarmonicsWindow>"
        "</TunerConfig>");
    EXPECT_EQ(edges.MiddleA, 220.0f);
    EXPECT_EQ(edges.Pitch, 11);
    EXPECT_EQ(edges.NoiseFloor, -60.0f);
    EXPECT_EQ(edges.Rate, 0);
    EXPECT_EQ(edges.ReferenceOption, 1008);
    EXPECT_EQ(edges.CurrentHarmonicSelected, 64);
    EXPECT_EQ(edges.TimeRange, 60.0f);
    EXPECT_EQ(edges.CentRange, 1.0f);
}

TEST(ConfigRecord, CalibrationFactorNeedsBothFrequencies)
{
    ConfigRecord c;
    c.KnownFreq = 440.0f;
    c.ExpectedFreq = 441.0f;
    EXPECT_DOUBLE_EQ(CalibrationFactor(c), 440.0 / 441.0);
    c.ExpectedFreq = 1.0f;
    EXPECT_EQ(CalibrationFactor(c), 1.0);
    c.ExpectedFreq = 441.0f;
    c.KnownFreq = 0.5f;
    EXPECT_EQ(CalibrationFactor(c), 1.0);
}

} // namespace
