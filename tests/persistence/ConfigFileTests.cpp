#include "persistence/ConfigFile.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

// A record with every field away from its default (and within range).
const ConfigRecord kUnusual{.TunerPosLeft = 10,
                            .TunerPosTop = -20,
                            .TunerPosRight = 800,
                            .TunerPosBottom = 600,
                            .HarmonicsVisible = true,
                            .HarmonicsPosLeft = 1,
                            .HarmonicsPosTop = 2,
                            .HarmonicsPosRight = 3,
                            .HarmonicsPosBottom = 4,
                            .CurrentHarmonicSelected = 3,
                            .ReferenceHarmonicSelected = 64,
                            .ReferenceOption = 45,
                            .AlwaysStore = false,
                            .TimeRange = 12.5f,
                            .CentRange = 250.0f,
                            .Smooth = false,
                            .Pitch = 11,
                            .MiddleA = 442.25f,
                            .KnownFreq = 1000.0f,
                            .ExpectedFreq = 1001.5f,
                            .Device = 3,
                            .Format = 0x800,
                            .Rate = 0,
                            .NoiseFloor = -47.5f,
                            .EnergySmoothDuration = 0.125f,
                            .AnalysisQuality = 1,
                            .CentAccuracy = 1,
                            .AlwaysOnTop = true};

ConfigRecord ReadDoc(const std::string& document) {
    ConfigRecord c;
    ReadConfigDocument(c, document);
    return c;
}

// A version-2 document holding leaves inside one group.
std::string InGroup(const std::string& group, const std::string& leaves) {
    return "<TunerConfig Version=\"2\"><" + group + ">" + leaves + "</" + group + "></TunerConfig>";
}

TEST(ConfigFile, DefaultRecordGivesTheFortyTwoLines) {
    const std::string expected = ReadWholeFile(ZELVO_PERSISTENCE_DATA_DIR "/default-tuner_config.xml");
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 42);
    EXPECT_EQ(ConfigDocumentText(ConfigRecord{}), expected);
}

TEST(ConfigFile, SavedFilesLoadBackUnchanged) {
    TempDirectory dir;
    for (const ConfigRecord& original : {ConfigRecord{}, kUnusual}) {
        ASSERT_TRUE(SaveConfig(original, dir / ConfigFileName));
        EXPECT_EQ(ReadWholeFile(dir / ConfigFileName), ConfigDocumentText(original));
        ConfigRecord loaded;
        loaded.MiddleA = 430.0f;  // must be overwritten
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

// A Version other than exactly "2", or damage anywhere, leaves the record as
// it was: values read before the problem are undone too.
TEST(ConfigFile, RejectedDocumentsChangeNothing) {
    const std::string leaves = "<System><MiddleA>442</MiddleA>";
    const std::pair<std::string, XmlReadResult> cases[] = {
        {"<TunerConfig Version=\"3\">" + leaves, XmlReadStoppedByHandler},
        {"<TunerConfig Version=\"2.0\">" + leaves, XmlReadStoppedByHandler},
        {"<TunerConfig Version=\" 2\">" + leaves, XmlReadStoppedByHandler},
        {"<TunerConfig>" + leaves, XmlReadStoppedByHandler},
        {"<TunerConfig Version=\"2\">" + leaves + "<Pit", XmlReadUnexpectedEnd},
        {"<TunerConfig Version=\"2\">" + leaves + "<Pitch x=3>", XmlReadSyntaxError},
    };
    for (const auto& [document, code] : cases) {
        for (const ConfigRecord& start : {ConfigRecord{}, kUnusual}) {
            ConfigRecord c = start;
            EXPECT_EQ(ReadConfigDocument(c, document), code) << document;
            EXPECT_EQ(c, start) << document;
        }
    }
    // Intact, the same document changes only what it holds.
    EXPECT_EQ(ReadDoc("<TunerConfig Version='2'>" + leaves), ConfigRecord{.MiddleA = 442.0f});
}

// The group around a leaf decides its field; numbers convert like strtol /
// strtod, only the exact text "true" is true, later duplicates win, and
// values at the edges of their ranges are kept.
TEST(ConfigFile, LeavesReadIntoTheFieldOfTheirGroup) {
    struct Case {
        const char* group;
        const char* leaves;
        ConfigRecord expected;
    };
    const Case cases[] = {
        {"TunerWindow", "<Deeper><PosTop>7</PosTop></Deeper>", {.TunerPosTop = 7}},
        {"HarmonicsWindow", "<PosLeft>5</PosLeft>", {.HarmonicsPosLeft = 5}},
        // A path holding both groups takes the first row in table order.
        {"HarmonicsWindow", "<TunerWindow><PosLeft>9</PosLeft></TunerWindow>", {.TunerPosLeft = 9}},
        {"Graphics", "<Unknown>1</Unknown><MiddleA>450</MiddleA><Rate>1</Rate>", {.Rate = 1}},
        {"System", "<Pitch> 3 </Pitch>", {.Pitch = 3}},
        {"System", "<Pitch>4x</Pitch>", {.Pitch = 4}},
        {"System", "<Pitch>5</Pitch><Pitch>x</Pitch>", {}},
        {"System", "<NoiseFloor> -42.5dB</NoiseFloor>", {.NoiseFloor = -42.5f}},
        {"Graphics",
         "<AlwaysOnTop>true</AlwaysOnTop><Smooth>TRUE</Smooth>",
         {.Smooth = false, .AlwaysOnTop = true}},
        {"HarmonicsWindow", "<AlwaysStore>1</AlwaysStore>", {.AlwaysStore = false}},
        {"HarmonicsWindow", "<AlwaysStore> true</AlwaysStore>", {.AlwaysStore = false}},
        {"System",
         "<MiddleA>220</MiddleA><Pitch>11</Pitch><NoiseFloor>-60</NoiseFloor>",
         {.Pitch = 11, .MiddleA = 220.0f, .NoiseFloor = -60.0f}},
        {"HarmonicsWindow",
         "<CurrentHarmonicSelected>64</CurrentHarmonicSelected><TimeRange>60</TimeRange>",
         {.CurrentHarmonicSelected = 64, .TimeRange = 60.0f}},
        {"HarmonicsWindow",
         "<ReferenceOption>1008</ReferenceOption><CentRange>1</CentRange>",
         {.ReferenceOption = 1008, .CentRange = 1.0f}},
        {"Graphics", "<Rate>0</Rate>", {.Rate = 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadDoc(InGroup(c.group, c.leaves)), c.expected) << c.group << ": " << c.leaves;
}

TEST(ConfigFile, OutOfRangeValuesFallBackToDefaults) {
    struct Case {
        const char* group;
        const char* leaf;
        const char* value;
    };
    const Case outside[] = {
        {"Graphics", "Rate", "7"},
        {"Graphics", "Rate", "-1"},
        {"Graphics", "CentAccuracy", "2"},
        {"System", "Pitch", "15"},
        {"System", "MiddleA", "0"},
        {"System", "MiddleA", "881"},
        {"System", "MiddleA", "nan"},
        {"System", "MiddleA", "1e300"},
        {"System", "NoiseFloor", "5"},
        {"System", "NoiseFloor", "-61"},
        {"System", "AnalysisQuality", "3"},
        {"System", "EnergySmoothDuration", "inf"},
        {"HarmonicsWindow", "ReferenceOption", "97"},
        {"HarmonicsWindow", "ReferenceOption", "1009"},
        {"HarmonicsWindow", "CurrentHarmonicSelected", "0"},
        {"HarmonicsWindow", "ReferenceHarmonicSelected", "65"},
        {"HarmonicsWindow", "TimeRange", "0.5"},
        {"HarmonicsWindow", "TimeRange", "61"},
        {"HarmonicsWindow", "CentRange", "0"},
        {"Calibration", "KnownFreq", "-inf"},
    };
    for (const Case& c : outside) {
        const std::string leaf = std::string("<") + c.leaf + ">" + c.value + "</" + c.leaf + ">";
        EXPECT_EQ(ReadDoc(InGroup(c.group, leaf)), ConfigRecord{}) << leaf;
    }
}

}  // namespace
