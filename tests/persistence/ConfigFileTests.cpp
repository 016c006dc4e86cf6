#include "persistence/ConfigFile.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

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
const ConfigRecord kUnusual{
    .TunerPosLeft = 10, .TunerPosTop = -20, .TunerPosRight = 800, .TunerPosBottom = 600, .HarmonicsVisible = true,
    .HarmonicsPosLeft = 1, .HarmonicsPosTop = 2, .HarmonicsPosRight = 3, .HarmonicsPosBottom = 4,
    .CurrentHarmonicSelected = 3, .ReferenceHarmonicSelected = 64, .ReferenceOption = 45, .AlwaysStore = false,
    .TimeRange = 12.5f, .CentRange = 250.0f, .Smooth = false, .Pitch = 11, .MiddleA = 442.25f,
    .KnownFreq = 1000.0f, .ExpectedFreq = 1001.5f, .Device = 3, .Format = 0x800, .Rate = 0, .NoiseFloor = -47.5f,
    .EnergySmoothDuration = 0.125f, .AnalysisQuality = 1, .CentAccuracy = 1, .AlwaysOnTop = true};

ConfigRecord ReadDoc(const std::string& document, XmlReadResult* result = nullptr)
{
    ConfigRecord c;
    const XmlReadResult r = ReadConfigDocument(c, document);
    if (result != nullptr)
        *result = r;
    return c;
}

// A version-2 document holding leaves inside one group.
std::string InGroup(const std::string& group, const std::string& leaves)
{
    return "<TunerConfig Version=\"2\"><" + group + ">" + leaves + "</" + group + "></TunerConfig>";
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
    for (const ConfigRecord& original : {ConfigRecord{}, kUnusual}) {
        ASSERT_TRUE(SaveConfig(original, dir / ConfigFileName));
        EXPECT_EQ(ReadWholeFile(dir / ConfigFileName), ConfigDocumentText(original));
        ConfigRecord loaded;
        loaded.MiddleA = 430.0f; // must be overwritten
        LoadConfig(loaded, dir / ConfigFileName);
        EXPECT_EQ(loaded, original);
    }
    // A missing file changes nothing, not even an out-of-range value.
    ConfigRecord c = kUnusual;
    c.Rate = 9;
    const ConfigRecord before = c;
    LoadConfig(c, dir / "absent.xml");
    EXPECT_EQ(c, before);
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

TEST(ConfigFile, AnyDamageRestoresTheWholeRecord)
{
    // An intact document changes only what it holds.
    EXPECT_EQ(ReadDoc(InGroup("System", "<MiddleA>442</MiddleA>")), ConfigRecord{.MiddleA = 442.0f});
    XmlReadResult result = -1;
    // Breaks off inside a later tag: MiddleA, read before, is undone too.
    EXPECT_EQ(ReadDoc("<TunerConfig Version=\"2\"><System><MiddleA>442</MiddleA><Pit", &result), ConfigRecord{});
    EXPECT_EQ(result, XmlReadUnexpectedEnd);
    // Also a record that did not start at the defaults is restored exactly.
    ConfigRecord c = kUnusual;
    EXPECT_EQ(ReadConfigDocument(c, InGroup("System", "<MiddleA>442</MiddleA><Pitch x=3>")), XmlReadSyntaxError);
    EXPECT_EQ(c, kUnusual);
}

TEST(ConfigFile, GroupsDecideWhichFieldAnElementSets)
{
    const ConfigRecord c = ReadDoc("<TunerConfig Version=\"2\">"
                                   "<HarmonicsWindow><PosLeft>5</PosLeft></HarmonicsWindow>"
                                   "<TunerWindow><Deeper><PosTop>7</PosTop></Deeper></TunerWindow>"
                                   "<MiddleA>450</MiddleA>" // outside its group: ignored
                                   "<Graphics><Unknown>1</Unknown><Rate>1</Rate></Graphics>"
                                   "</TunerConfig>");
    EXPECT_EQ(c, (ConfigRecord{.TunerPosTop = 7, .HarmonicsPosLeft = 5, .Rate = 1}));
    // A path holding both groups takes the first row in table order.
    const std::string nested = "<TunerWindow><PosLeft>9</PosLeft></TunerWindow>";
    EXPECT_EQ(ReadDoc(InGroup("HarmonicsWindow", nested)).TunerPosLeft, 9);
}

TEST(ConfigFile, ConversionsFollowTheRuntimeLibrary)
{
    EXPECT_EQ(ReadDoc(InGroup("System", "<Pitch> 3 </Pitch>")).Pitch, 3);
    EXPECT_EQ(ReadDoc(InGroup("System", "<Pitch>4x</Pitch>")).Pitch, 4);
    EXPECT_EQ(ReadDoc(InGroup("System", "<Pitch>x</Pitch>")).Pitch, 0);
    EXPECT_EQ(ReadDoc(InGroup("System", "<Pitch>3</Pitch><Pitch>5</Pitch>")).Pitch, 5); // later duplicates win
    EXPECT_EQ(ReadDoc(InGroup("System", "<NoiseFloor> -42.5dB</NoiseFloor>")).NoiseFloor, -42.5f);
    EXPECT_TRUE(ReadDoc(InGroup("Graphics", "<AlwaysOnTop>true</AlwaysOnTop>")).AlwaysOnTop);
    for (const char* text : {"TRUE", "True", "1", "", " true"})
        EXPECT_FALSE(ReadDoc(InGroup("Graphics", std::string("<Smooth>") + text + "</Smooth>")).Smooth) << text;
}

TEST(ConfigFile, OutOfRangeValuesFallBackToDefaults)
{
    struct Case {
        const char* group;
        const char* leaf;
        const char* value;
    };
    const Case outside[] = {
        {"Graphics", "Rate", "7"}, {"Graphics", "Rate", "-1"},
        {"Graphics", "CentAccuracy", "2"}, {"System", "Pitch", "15"},
        {"System", "MiddleA", "0"}, {"System", "MiddleA", "881"},
        {"System", "MiddleA", "nan"}, {"System", "MiddleA", "1e300"},
        {"System", "NoiseFloor", "5"}, {"System", "NoiseFloor", "-61"},
        {"System", "AnalysisQuality", "3"}, {"System", "EnergySmoothDuration", "inf"},
        {"HarmonicsWindow", "ReferenceOption", "97"}, {"HarmonicsWindow", "ReferenceOption", "1009"},
        {"HarmonicsWindow", "CurrentHarmonicSelected", "0"},
        {"HarmonicsWindow", "ReferenceHarmonicSelected", "65"}, {"HarmonicsWindow", "TimeRange", "0.5"},
        {"HarmonicsWindow", "TimeRange", "61"}, {"HarmonicsWindow", "CentRange", "0"},
        {"Calibration", "KnownFreq", "-inf"},
    };
    for (const Case& c : outside) {
        const std::string leaf = std::string("<") + c.leaf + ">" + c.value + "</" + c.leaf + ">";
        EXPECT_EQ(ReadDoc(InGroup(c.group, leaf)), ConfigRecord{}) << leaf;
    }

    // Values at the edges of their ranges are kept.
    const ConfigRecord edges = ReadDoc(
        "<TunerConfig Version=\"2\"><System><MiddleA>220</MiddleA><Pitch>11</Pitch>"
        "<NoiseFloor>-60</NoiseFloor></System><Graphics><Rate>0</Rate></Graphics>"
        "<HarmonicsWindow><ReferenceOption>1008</ReferenceOption><CurrentHarmonicSelected>64"
        "</CurrentHarmonicSelected><TimeRange>60</TimeRange><CentRange>1</CentRange></HarmonicsWindow>"
        "</TunerConfig>");
    EXPECT_EQ(edges, (ConfigRecord{.CurrentHarmonicSelected = 64, .ReferenceOption = 1008, .TimeRange = 60.0f,
                                   .CentRange = 1.0f, .Pitch = 11, .MiddleA = 220.0f, .Rate = 0,
                                   .NoiseFloor = -60.0f}));
}

TEST(ConfigRecord, CalibrationFactorNeedsBothFrequenciesAboveOne)
{
    EXPECT_DOUBLE_EQ(CalibrationFactor(ConfigRecord{.KnownFreq = 440.0f, .ExpectedFreq = 441.0f}), 440.0 / 441.0);
    EXPECT_EQ(CalibrationFactor(ConfigRecord{.KnownFreq = 440.0f, .ExpectedFreq = 1.0f}), 1.0);
    EXPECT_EQ(CalibrationFactor(ConfigRecord{.KnownFreq = 0.5f, .ExpectedFreq = 441.0f}), 1.0);
}

} // namespace
