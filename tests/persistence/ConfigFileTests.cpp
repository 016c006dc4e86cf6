#include "persistence/ConfigFile.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// The two golden files: the default record, and one with every field away
// from its default (and within range).
std::string Golden(const char* name) {
    return ReadWholeFile(std::string(ZELVO_PERSISTENCE_DATA_DIR "/") + name);
}
const std::string kDefaultText = Golden("default-tuner_config.xml");
const std::string kUnusualText = Golden("unusual-tuner_config.xml");

ConfigRecord ReadDoc(const std::string& document) {
    ConfigRecord c;
    ReadConfigDocument(c, document);
    return c;
}

// A version-2 document holding leaves inside one group.
std::string InGroup(const std::string& group, const std::string& leaves) {
    return "<TunerConfig Version=\"2\"><" + group + ">" + leaves + "</" + group + "></TunerConfig>";
}

const ConfigRecord kUnusual = ReadDoc(kUnusualText);

TEST(ConfigFile, GoldenFilesWriteAndLoadBackByteForByte) {
    TempDirectory dir;
    for (const auto& [record, text] : {std::pair{ConfigRecord{}, kDefaultText}, {kUnusual, kUnusualText}}) {
        EXPECT_EQ(ConfigDocumentText(record), text);
        ASSERT_TRUE(SaveConfig(record, dir / ConfigFileName));
        EXPECT_EQ(ReadWholeTextFile(dir / ConfigFileName), text);
        ConfigRecord loaded;
        loaded.MiddleA = 430.0f;  // must be overwritten
        LoadConfig(loaded, dir / ConfigFileName);
        EXPECT_EQ(loaded, record);
    }
    // A missing file changes nothing, not even an out-of-range value.
    ConfigRecord c = kUnusual;
    c.Rate = 9;
    const ConfigRecord before = c;
    LoadConfig(c, dir / "absent.xml");
    EXPECT_EQ(c, before);
}

// The newest element comes last, and a file written before it existed reads
// as precise pitch on, whatever the record held before.
TEST(ConfigFile, PrecisePitchComesLastAndDefaultsToOn) {
    const std::string text = ConfigDocumentText(ConfigRecord{.PrecisePitch = false});
    EXPECT_NE(text.find("\t<PrecisePitch>false</PrecisePitch>\n</TunerConfig>"), std::string::npos);
    const struct {
        std::string document;
        bool precisePitch;
    } cases[] = {
        {InGroup("System", "<MiddleA>442</MiddleA>"), true},
        {"<TunerConfig Version=\"2\"><PrecisePitch>false</PrecisePitch></TunerConfig>", false},
        {"<TunerConfig Version=\"2\"><PrecisePitch>true</PrecisePitch></TunerConfig>", true},
        {"<TunerConfig Version=\"3\"><PrecisePitch>true</PrecisePitch></TunerConfig>", false},  // rejected
    };
    for (const auto& c : cases) {
        ConfigRecord record;
        record.PrecisePitch = false;
        ReadConfigDocument(record, c.document);
        EXPECT_EQ(record.PrecisePitch, c.precisePitch) << c.document;
    }
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
        // A path holding both groups takes the first row in table order.
        {"HarmonicsWindow", "<TunerWindow><PosLeft>9</PosLeft></TunerWindow>", {.TunerPosLeft = 9}},
        {"Graphics", "<Unknown>1</Unknown><MiddleA>450</MiddleA><Rate>1</Rate>", {.Rate = 1}},
        {"System", "<Pitch> 3 </Pitch>", {.Pitch = 3}},
        {"System", "<Pitch>5</Pitch><Pitch>x</Pitch>", {}},
        {"System", "<NoiseFloor> -42.5dB</NoiseFloor>", {.NoiseFloor = -42.5f}},
        {"Graphics",
         "<AlwaysOnTop>true</AlwaysOnTop><Smooth>TRUE</Smooth>",
         {.Smooth = false, .AlwaysOnTop = true}},
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
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadDoc(InGroup(c.group, c.leaves)), c.expected) << c.group << ": " << c.leaves;
}

TEST(ConfigFile, OutOfRangeValuesFallBackToDefaults) {
    const std::pair<const char*, const char*> outside[] = {
        {"Graphics", "Rate=7 Rate=-1 CentAccuracy=2"},
        {"System",
         "Pitch=15 MiddleA=0 MiddleA=881 MiddleA=nan MiddleA=1e300 NoiseFloor=5 NoiseFloor=-61 "
         "AnalysisQuality=3 EnergySmoothDuration=inf"},
        {"HarmonicsWindow",
         "ReferenceOption=97 ReferenceOption=1009 CurrentHarmonicSelected=0 ReferenceHarmonicSelected=65 "
         "TimeRange=0.5 TimeRange=61 CentRange=0"},
        {"Calibration", "KnownFreq=-inf"},
    };
    for (const auto& [group, leaves] : outside) {
        std::istringstream words(leaves);
        for (std::string leaf, value; std::getline(words, leaf, '=') && words >> value; words.ignore()) {
            const std::string element = "<" + leaf + ">" + value + "</" + leaf + ">";
            EXPECT_EQ(ReadDoc(InGroup(group, element)), ConfigRecord{}) << group << " " << element;
        }
    }
}

}  // namespace
