#include "persistence/ListFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

std::string OffsetLine(int index, const char* cents)
{
    return "\t\t<Offset Index=\"" + std::to_string(index) + "\" Cents=\"" + cents + "\" />\n";
}

TEST(ListFiles, ByteExactLayoutOfEachFile)
{
    PresetList presets;
    presets.SelectedIndex = 7;
    presets.entries = {Preset{"P", ParseNoteList("C4,E4")}, Preset{"A&B", {}}};
    EXPECT_EQ(PresetDocumentText(presets), "<PresetList Version=\"3\" SelectedIndex=\"7\">\n"
                                           "\t<Preset Name=\"P\">C4, E4</Preset>\n"
                                           "\t<Preset Name=\"A&amp;B\"></Preset>\n" // empty notes end the tag
                                           "</PresetList>\n");

    TemperamentList temperaments;
    temperaments.entries.push_back(Temperament{});
    temperaments.entries[0].name = "T";
    temperaments.entries[0].SetOffset(11, -13.7f);
    std::string expected = "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\">\n"
                           "\t<Temperament Name=\"T\">\n";
    for (int key = 0; key < 12; ++key)
        expected += OffsetLine(key, key == 11 ? "-13.700000" : "0.000000");
    EXPECT_EQ(TemperamentDocumentText(temperaments), expected + "\t</Temperament>\n</TemperamentList>\n");

    StretchList stretches;
    stretches.SelectedIndex = -1;
    stretches.entries.push_back(StretchTable{});
    stretches.entries[0].name = "S";
    stretches.entries[0].SetOffset(69, 2.5f);
    expected = "<StretchList Version=\"3\" SelectedIndex=\"-1\">\n\t<Stretch Name=\"S\">\n";
    for (int note = 12; note <= 108; ++note)
        expected += OffsetLine(note, note == 69 ? "2.500000" : "0.000000");
    EXPECT_EQ(StretchDocumentText(stretches), expected + "\t</Stretch>\n</StretchList>\n");

    EXPECT_EQ(PresetDocumentText(PresetList{}), "<PresetList Version=\"3\" SelectedIndex=\"0\" />\n");
    EXPECT_EQ(TemperamentDocumentText(TemperamentList{}),
              "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\" />\n");
    EXPECT_EQ(StretchDocumentText(StretchList{}), "<StretchList Version=\"3\" SelectedIndex=\"0\" />\n");
}

TEST(ListFiles, EveryListRoundTripsWithAwkwardNames)
{
    TempDirectory dir;
    PresetList presets;
    TemperamentList temperaments;
    StretchList stretches;
    presets.SelectedIndex = 2;
    temperaments.SelectedIndex = 5; // does not fit the list: kept as it is
    temperaments.SelectedKey = 7;
    stretches.SelectedIndex = 1;
    int k = 0;
    for (const char* name : {"Tom & Jerry", "\"Quoted\" 'name'", "<script>", "Größe – Stimmung €", "",
                             "  tab\tand spaces  ", "&amp;"}) {
        presets.entries.push_back(Preset{name, ParseNoteList("C1,C2, e2-g2, Bb3")});
        temperaments.entries.push_back(Temperament{});
        temperaments.entries.back().name = name;
        // Values with six decimals or fewer: the file keeps six.
        temperaments.entries.back().SetOffset(k % 12, -13.75f + 0.5f * static_cast<float>(k));
        stretches.entries.push_back(StretchTable{});
        stretches.entries.back().name = name;
        stretches.entries.back().SetOffset(12 + k, 0.125f * static_cast<float>(k));
        stretches.entries.back().SetOffset(108, -35.5f);
        ++k;
    }
    ASSERT_TRUE(SavePresetList(presets, dir / PresetFileName));
    ASSERT_TRUE(SaveTemperamentList(temperaments, dir / TemperamentFileName));
    ASSERT_TRUE(SaveStretchList(stretches, dir / StretchFileName));

    PresetList p;
    TemperamentList t;
    StretchList s;
    p.entries.push_back(Preset{"stale", {}}); // replaced, not appended to
    LoadPresetList(p, dir / PresetFileName);
    LoadTemperamentList(t, dir / TemperamentFileName);
    LoadStretchList(s, dir / StretchFileName);
    EXPECT_EQ(p, presets);
    EXPECT_EQ(t, temperaments);
    EXPECT_EQ(s, stretches);

    // A missing file empties the list but keeps its selection.
    LoadPresetList(p, dir / "absent.xml");
    EXPECT_TRUE(p.entries.empty());
    EXPECT_EQ(p.SelectedIndex, 2);
}

// Notes are normalised, entries count at any depth, and names an older
// Windows version wrote in its code page arrive as UTF-8.
TEST(PresetFile, ReadsEntriesWhereverTheyStand)
{
    PresetList list;
    EXPECT_EQ(ReadPresetDocument(list, "<PresetList Version=\"3\" SelectedIndex=\"1\"><Preset Name=\"a\">C1,C2</Preset>"
                                       "<Group><Preset Name=\"Ch\xE2teau \x96 \xC3\xA9t\xC3\xA9\"/></Group></PresetList>"),
              XmlReadComplete);
    EXPECT_EQ(list.SelectedIndex, 1);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(FormatNoteList(list.entries[0].notes), "C1, C2");
    EXPECT_EQ(list.entries[1].name, "Ch\xC3\xA2teau \xE2\x80\x93 \xC3\xA9t\xC3\xA9");
    EXPECT_TRUE(list.entries[1].notes.empty());
}

// Presets accept any Version that reads as the number 3; temperaments and
// stretch tables need exactly "3". A rejected file keeps the selections.
TEST(ListFiles, VersionRulesDifferBetweenPresetsAndTheOthers)
{
    PresetList p;
    p.SelectedIndex = 4;
    ReadPresetDocument(p, "<PresetList Version=\"3.0\" SelectedIndex=\"1\"><Preset Name=\"x\">C4</Preset></PresetList>");
    EXPECT_EQ(p.entries.size(), 1u);
    EXPECT_EQ(p.SelectedIndex, 1);
    ReadPresetDocument(p, "<PresetList Version=\" 3\"><Preset Name=\"x\">C4</Preset></PresetList>");
    EXPECT_EQ(p.entries.size(), 1u);
    EXPECT_EQ(p.SelectedIndex, 0); // missing attribute reads as 0
    p.SelectedIndex = 4;
    EXPECT_EQ(ReadPresetDocument(p, "<PresetList SelectedIndex=\"1\"><Preset Name=\"x\"/></PresetList>"),
              XmlReadStoppedByHandler);
    EXPECT_TRUE(p.entries.empty());
    EXPECT_EQ(p.SelectedIndex, 4);

    for (const std::string version : {"3.0", " 3", "", "4"}) {
        TemperamentList t;
        t.SelectedKey = 5;
        EXPECT_EQ(ReadTemperamentDocument(t, "<TemperamentList Version=\"" + version +
                                                 "\" SelectedKey=\"2\"><Temperament Name=\"x\"/></TemperamentList>"),
                  XmlReadStoppedByHandler)
            << version;
        EXPECT_TRUE(t.entries.empty());
        EXPECT_EQ(t.SelectedKey, 5);
        StretchList s;
        EXPECT_EQ(ReadStretchDocument(s, "<StretchList Version=\"" + version + "\"><Stretch Name=\"x\"/></StretchList>"),
                  XmlReadStoppedByHandler);
        EXPECT_TRUE(s.entries.empty());
    }
}

// Every entry starts with all its offsets at zero; offsets outside the
// entry's range, not finite, or before any entry are dropped.
TEST(ListFiles, OffsetsFillAZeroEntryWithinTheirRange)
{
    TemperamentList t;
    ReadTemperamentDocument(t, "<TemperamentList Version=\"3\" SelectedKey=\"3\"><Offset Index=\"2\" Cents=\"9\" />"
                               "<Temperament Name=\"W\"><Offset Index=\"4\" Cents=\"-13.7\" />"
                               "<Offset Index=\"12\" Cents=\"5\" /><Offset Index=\"-1\" Cents=\"5\" />"
                               "<Offset Index=\"1\" Cents=\"nan\" /><Offset Index=\"2\" Cents=\"1e99\" />"
                               "<Offset Index=\"11\" Cents=\"1.5\" /></Temperament></TemperamentList>");
    EXPECT_EQ(t.SelectedKey, 3);
    Temperament expected;
    expected.name = "W";
    expected.SetOffset(4, -13.7f);
    expected.SetOffset(11, 1.5f);
    EXPECT_EQ(t.entries, std::vector<Temperament>{expected});
    EXPECT_EQ(t.entries.at(0).offsets.size(), 12u);

    StretchList s;
    ReadStretchDocument(s, "<StretchList Version=\"3\"><Stretch Name=\"P\">"
                           "<Offset Index=\"69\" Cents=\"2.5\" /><Offset Index=\"11\" Cents=\"1\" />"
                           "<Offset Index=\"109\" Cents=\"1\" /><Offset Index=\"2147483647\" Cents=\"1\" />"
                           "</Stretch></StretchList>");
    StretchTable expectedTable;
    expectedTable.name = "P";
    expectedTable.SetOffset(69, 2.5f);
    EXPECT_EQ(s.entries, std::vector<StretchTable>{expectedTable});
    EXPECT_EQ(s.entries.at(0).offsets.size(), 97u);
}

TEST(ListFiles, EntriesBeforeASyntaxErrorAreKept)
{
    PresetList p;
    EXPECT_EQ(ReadPresetDocument(p, "<PresetList Version=\"3\"><Preset Name=\"a\">C4</Preset>"
                                    "<Preset Name=\"b\">D4</Preset><Preset Name=\"c\">E4"),
              XmlReadUnexpectedEnd);
    ASSERT_EQ(p.entries.size(), 2u); // the cut-off third preset is lost
    EXPECT_EQ(p.entries[1].name, "b");

    StretchList s;
    EXPECT_EQ(ReadStretchDocument(s, "<StretchList Version=\"3\"><Stretch Name=\"a\">"
                                     "<Offset Index=\"60\" Cents=\"1\" /><Offset Index=\"61\" Cents=2 />"),
              XmlReadSyntaxError);
    ASSERT_EQ(s.entries.size(), 1u);
    EXPECT_EQ(s.entries[0].Offset(60), 1.0f);
    EXPECT_EQ(s.entries[0].Offset(61), 0.0f);
}

} // namespace
