// The settings documents: the configuration record and the three lists,
// read from and written to their XML text.
#include "persistence/ConfigFile.h"
#include "persistence/ListFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

// The files the writers must reproduce byte for byte: the default record,
// one with every field away from its default (and within range), the lists.
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

TEST(ListFiles, ByteExactLayoutOfEachFile) {
    PresetList presets;
    presets.SelectedIndex = 7;
    presets.entries = {Preset{"P", ParseNoteList("C4,E4")},
                       Preset{"A&B", {}}};  // empty notes still end the tag
    EXPECT_EQ(PresetDocumentText(presets), Golden("presets.xml"));
    TemperamentList temperaments;
    temperaments.entries.resize(1);
    temperaments.entries[0].name = "T";
    temperaments.entries[0].SetOffset(11, -13.7f);
    EXPECT_EQ(TemperamentDocumentText(temperaments), Golden("temperaments.xml"));
    StretchList stretches;
    stretches.SelectedIndex = -1;
    stretches.entries.resize(1);
    stretches.entries[0].name = "S";
    stretches.entries[0].SetOffset(69, 2.5f);
    EXPECT_EQ(StretchDocumentText(stretches), Golden("stretch.xml"));

    EXPECT_EQ(PresetDocumentText(PresetList{}), "<PresetList Version=\"3\" SelectedIndex=\"0\" />\n");
    EXPECT_EQ(TemperamentDocumentText(TemperamentList{}),
              "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\" />\n");
    EXPECT_EQ(StretchDocumentText(StretchList{}), "<StretchList Version=\"3\" SelectedIndex=\"0\" />\n");
}

// Notes are normalised, entries count at any depth, names an older Windows
// version wrote in its code page arrive as UTF-8, and entries read before
// the document breaks off are kept.
TEST(PresetFile, ReadsEntriesWhereverTheyStand) {
    PresetList list;
    EXPECT_EQ(
        ReadPresetDocument(list,
                           "<PresetList Version=\"3\" SelectedIndex=\"1\"><Preset Name=\"a\">C1,C2</Preset>"
                           "<Group><Preset Name=\"Ch\xE2teau \x96 \xC3\xA9t\xC3\xA9\"/></Group>"
                           "</PresetList>"),
        XmlReadComplete);
    EXPECT_EQ(list.SelectedIndex, 1);
    EXPECT_EQ(list.entries, (std::vector<Preset>{{"a", NoteSet{24, 36}},
                                                 {"Ch\xC3\xA2teau \xE2\x80\x93 \xC3\xA9t\xC3\xA9", {}}}));
    EXPECT_EQ(ReadPresetDocument(
                  list, "<PresetList Version=\"3\"><Preset Name=\"b\">D4</Preset><Preset Name=\"c\">E4"),
              XmlReadUnexpectedEnd);
    EXPECT_EQ(list.entries, (std::vector<Preset>{{"b", NoteSet{62}}}));
}

// Presets accept any Version that reads as the number 3; temperaments and
// stretch tables need exactly "3". A rejected file keeps the selections.
TEST(ListFiles, VersionRulesDifferBetweenPresetsAndTheOthers) {
    const std::tuple<const char*, std::size_t, int> presetCases[] = {
        {"Version=\"3.0\" SelectedIndex=\"1\"", 1, 1},
        {"Version=\" 3\"", 1, 0},  // missing selection reads as 0
        {"SelectedIndex=\"1\"", 0, 4},
        {"Version=\"4\" SelectedIndex=\"1\"", 0, 4}};
    for (const auto& [attributes, entries, selected] : presetCases) {
        PresetList p;
        p.SelectedIndex = 4;
        ReadPresetDocument(p, std::string("<PresetList ") + attributes + "><Preset>C4</Preset></PresetList>");
        EXPECT_EQ(p.entries.size(), entries) << attributes;
        EXPECT_EQ(p.SelectedIndex, selected) << attributes;
    }
    for (const std::string version : {"3.0", " 3", "", "4"}) {
        TemperamentList t;
        t.SelectedKey = 5;
        const std::string attributes = "Version=\"" + version + "\" SelectedKey=\"2\"";
        EXPECT_EQ(ReadTemperamentDocument(
                      t, "<TemperamentList " + attributes + "><Temperament/></TemperamentList>"),
                  XmlReadStoppedByHandler)
            << version;
        EXPECT_EQ(t, (TemperamentList{.entries = {}, .SelectedKey = 5}));
        StretchList s;
        EXPECT_EQ(ReadStretchDocument(s, "<StretchList " + attributes + "><Stretch/></StretchList>"),
                  XmlReadStoppedByHandler);
        EXPECT_EQ(s, StretchList{});
    }
}

// Every entry starts with all its offsets at zero; offsets outside the
// entry's range, not finite, or before any entry are dropped.
TEST(ListFiles, EntriesHoldTheOffsetsReadWithinTheirRanges) {
    TemperamentList t;
    ReadTemperamentDocument(
        t,
        "<TemperamentList Version=\"3\" SelectedKey=\"3\"><Offset Index=\"2\" Cents=\"9\" />"
        "<Temperament Name=\"W\"><Offset Index=\"4\" Cents=\"-13.7\" />"
        "<Offset Index=\"12\" Cents=\"5\" /><Offset Index=\"-1\" Cents=\"5\" />"
        "<Offset Index=\"1\" Cents=\"nan\" /><Offset Index=\"2\" Cents=\"1e99\" />"
        "<Offset Index=\"3\" Cents=\"1200.5\" /><Offset Index=\"5\" Cents=\"-1200\" />"
        "<Offset Index=\"11\" Cents=\"1.5\" /></Temperament></TemperamentList>");
    EXPECT_EQ(t.SelectedKey, 3);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].name, "W");
    // Only what the file gave: the other pitch classes read as 0.0 and are
    // not written back.
    EXPECT_EQ(t.entries[0].offsets, (std::map<int, float>{{4, -13.7f}, {5, -1200.0f}, {11, 1.5f}}));
    EXPECT_EQ(t.entries[0].Offset(0), 0.0f);

    StretchList s;
    ReadStretchDocument(s,
                        "<StretchList Version=\"3\"><Stretch Name=\"P\">"
                        "<Offset Index=\"69\" Cents=\"2.5\" /><Offset Index=\"11\" Cents=\"1\" />"
                        "<Offset Index=\"70\" Cents=\"-1e30\" />"
                        "<Offset Index=\"109\" Cents=\"1\" /><Offset Index=\"2147483647\" Cents=\"1\" />"
                        "</Stretch><Stretch Name=\"Q\" /></StretchList>");
    ASSERT_EQ(s.entries.size(), 2u);
    EXPECT_EQ(s.entries[0].offsets, (std::map<NoteIndex, float>{{69, 2.5f}}));
    // A table without offsets is written back as one line, not 97.
    EXPECT_TRUE(s.entries[1].offsets.empty());
    EXPECT_EQ(StretchDocumentText(s),
              "<StretchList Version=\"3\" SelectedIndex=\"0\">\n"
              "\t<Stretch Name=\"P\">\n\t\t<Offset Index=\"69\" Cents=\"2.500000\" />\n\t</Stretch>\n"
              "\t<Stretch Name=\"Q\" />\n</StretchList>\n");
}

template <typename List>
std::size_t EntriesRead(XmlReadResult (*read)(List&, std::string_view), const std::string& document) {
    List list;
    read(list, document);
    return list.entries.size();
}

TEST(ListFiles, ListsKeepAtMostTheirLimitOfEntries) {
    for (const std::size_t count : {MaxListEntries, MaxListEntries + 1, std::size_t{5000}}) {
        std::string presets = "<PresetList Version=\"3\">", temperaments = "<TemperamentList Version=\"3\">",
                    stretches = "<StretchList Version=\"3\">";
        for (std::size_t i = 0; i < count; ++i) {
            presets += "<Preset Name=\"p\">C4</Preset>";
            temperaments += "<Temperament Name=\"t\" />";
            stretches += "<Stretch Name=\"s\" />";
        }
        EXPECT_EQ(EntriesRead(ReadPresetDocument, presets), MaxListEntries) << count;
        EXPECT_EQ(EntriesRead(ReadTemperamentDocument, temperaments), MaxListEntries) << count;
        EXPECT_EQ(EntriesRead(ReadStretchDocument, stretches), MaxListEntries) << count;
    }
}

}  // namespace
