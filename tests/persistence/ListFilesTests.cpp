#include "persistence/ListFiles.h"

#include "TempDirectory.h"

#include <gtest/gtest.h>

namespace {

const std::vector<std::string> kAwkwardNames = {
    "Tom & Jerry", "\"Quoted\" 'name'", "<script>", "Größe – Stimmung €", "", "  spaced  ", "&amp;"};

TEST(PresetFile, LayoutOfOneAndOfNoPreset)
{
    PresetList list;
    list.entries.push_back(Preset{"P", ParseNoteList("C4,E4")});
    EXPECT_EQ(PresetDocumentText(list),
              "<PresetList Version=\"3\" SelectedIndex=\"0\">\n"
              "\t<Preset Name=\"P\">C4, E4</Preset>\n"
              "</PresetList>\n");
    EXPECT_EQ(PresetDocumentText(PresetList{}), "<PresetList Version=\"3\" SelectedIndex=\"0\" />\n");
    // An empty notes text still ends the start tag.
    PresetList empty;
    empty.SelectedIndex = 7;
    empty.entries.push_back(Preset{"A&B", {}});
    EXPECT_EQ(PresetDocumentText(empty),
              "<PresetList Version=\"3\" SelectedIndex=\"7\">\n"
              "\t<Preset Name=\"A&amp;B\"></Preset>\n"
              "</PresetList>\n");
}

TEST(TemperamentFile, LayoutOfOneTemperament)
{
    TemperamentList list;
    Temperament t;
    t.name = "T";
    list.entries.push_back(t);
    std::string expected = "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\">\n"
                           "\t<Temperament Name=\"T\">\n";
    for (int i = 0; i < 12; ++i)
        expected += "\t\t<Offset Index=\"" + std::to_string(i) + "\" Cents=\"0.000000\" />\n";
    expected += "\t</Temperament>\n</TemperamentList>\n";
    EXPECT_EQ(TemperamentDocumentText(list), expected);
    EXPECT_EQ(TemperamentDocumentText(TemperamentList{}),
              "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"0\" />\n");
}

TEST(StretchFile, LayoutOfOneTableAndOfNone)
{
    StretchList list;
    list.SelectedIndex = -1;
    StretchTable s;
    s.name = "S";
    s.SetOffset(69, 2.5f);
    list.entries.push_back(s);
    const std::string text = StretchDocumentText(list);
    const std::string head = "<StretchList Version=\"3\" SelectedIndex=\"-1\">\n\t<Stretch Name=\"S\">\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\t\t<Offset Index=\"12\" Cents=\"0.000000\" />\n"), std::string::npos);
    EXPECT_NE(text.find("\t\t<Offset Index=\"68\" Cents=\"0.000000\" />\n"
                        "\t\t<Offset Index=\"69\" Cents=\"2.500000\" />\n"),
              std::string::npos);
    EXPECT_NE(text.find("\t\t<Offset Index=\"108\" Cents=\"0.000000\" />\n\t</Stretch>\n</StretchList>\n"),
              std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 97 + 4);
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
    for (const std::string& name : kAwkwardNames) {
        presets.entries.push_back(Preset{name, ParseNoteList("C1,C2, e2-g2, Bb3")});
        Temperament t;
        t.name = name;
        // Values with six decimals or fewer: the file keeps six.
        t.SetOffset(k % 12, -13.75f + 0.5f * static_cast<float>(k));
        temperaments.entries.push_back(t);
        StretchTable s;
        s.name = name;
        s.SetOffset(12 + k, 0.125f * static_cast<float>(k));
        s.SetOffset(108, -35.5f);
        stretches.entries.push_back(s);
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
    EXPECT_NE(ReadWholeFile(dir / PresetFileName).find("Name=\"Tom &amp; Jerry\""), std::string::npos);
    EXPECT_NE(ReadWholeFile(dir / PresetFileName).find("Name=\"&quot;Quoted&quot; &apos;name&apos;\""),
              std::string::npos);
}

TEST(PresetFile, NotesAreNormalisedOnTheWay)
{
    PresetList list;
    EXPECT_EQ(ReadPresetDocument(list, "<PresetList Version=\"3\" SelectedIndex=\"1\">"
                                       "<Preset Name=\"a\">C1,C2</Preset><Preset/></PresetList>"),
              XmlReadComplete);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(FormatNoteList(list.entries[0].notes), "C1, C2");
    EXPECT_EQ(list.entries[1].name, "");
    EXPECT_TRUE(list.entries[1].notes.empty());
    EXPECT_EQ(list.SelectedIndex, 1);
}

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
    EXPECT_EQ(p.SelectedIndex, 4); // wrong version: selection unchanged

    for (const char* version : {"3.0", " 3", "", "4"}) {
        TemperamentList t;
        t.SelectedKey = 5;
        const std::string doc = std::string("<TemperamentList Version=\"") + version +
                                "\" SelectedKey=\"2\"><Temperament Name=\"x\"/></TemperamentList>";
        EXPECT_EQ(ReadTemperamentDocument(t, doc), XmlReadStoppedByHandler) << version;
        EXPECT_TRUE(t.entries.empty());
        EXPECT_EQ(t.SelectedKey, 5);
        StretchList s;
        EXPECT_EQ(ReadStretchDocument(s, std::string("<StretchList Version=\"") + version +
                                             "\"><Stretch Name=\"x\"/></StretchList>"),
                  XmlReadStoppedByHandler);
        EXPECT_TRUE(s.entries.empty());
    }
}

TEST(TemperamentFile, OffsetsFillAZeroEntry)
{
    TemperamentList t;
    ReadTemperamentDocument(t, "<TemperamentList Version=\"3\" SelectedIndex=\"0\" SelectedKey=\"3\">"
                               "<Offset Index=\"2\" Cents=\"9\" />" // before any entry: ignored
                               "<Temperament Name=\"W\"><Offset Index=\"4\" Cents=\"-13.7\" /></Temperament>"
                               "</TemperamentList>");
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.SelectedKey, 3);
    EXPECT_EQ(t.entries[0].offsets.size(), 12u);
    for (int key = 0; key < 12; ++key)
        EXPECT_EQ(t.entries[0].Offset(key), key == 4 ? -13.7f : 0.0f) << key;
}

TEST(ListFiles, OffsetsOutsideTheirRangeOrNotFiniteAreDropped)
{
    TemperamentList t;
    ReadTemperamentDocument(t, "<TemperamentList Version=\"3\"><Temperament Name=\"W\">"
                               "<Offset Index=\"12\" Cents=\"5\" /><Offset Index=\"-1\" Cents=\"5\" />"
                               "<Offset Index=\"1\" Cents=\"nan\" /><Offset Index=\"2\" Cents=\"1e99\" />"
                               "<Offset Index=\"11\" Cents=\"1.5\" /></Temperament></TemperamentList>");
    ASSERT_EQ(t.entries.size(), 1u);
    Temperament expected;
    expected.name = "W";
    expected.SetOffset(11, 1.5f);
    EXPECT_EQ(t.entries[0], expected);

    StretchList s;
    ReadStretchDocument(s, "<StretchList Version=\"3\" SelectedIndex=\"0\"><Stretch Name=\"P\">"
                           "<Offset Index=\"69\" Cents=\"2.5\" /><Offset Index=\"11\" Cents=\"1\" />"
                           "<Offset Index=\"109\" Cents=\"1\" /><Offset Index=\"2147483647\" Cents=\"1\" />"
                           "</Stretch></StretchList>");
    ASSERT_EQ(s.entries.size(), 1u);
    StretchTable expectedTable;
    expectedTable.name = "P";
    expectedTable.SetOffset(69, 2.5f);
    EXPECT_EQ(s.entries[0], expectedTable);
    EXPECT_EQ(s.entries[0].offsets.size(), 97u);
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

TEST(ListFiles, EntriesCountWhereverTheyStand)
{
    PresetList p;
    ReadPresetDocument(p, "<PresetList Version=\"3\"><Group><Preset Name=\"deep\">A4</Preset></Group></PresetList>");
    ASSERT_EQ(p.entries.size(), 1u);
    EXPECT_EQ(p.entries[0].notes, NoteSet({69}));
}

TEST(ListFiles, MissingFilesGiveEmptyListsAndKeepSelections)
{
    TempDirectory dir;
    PresetList p;
    p.entries.push_back(Preset{"x", {}});
    p.SelectedIndex = 3;
    LoadPresetList(p, dir / "absent.xml");
    EXPECT_TRUE(p.entries.empty());
    EXPECT_EQ(p.SelectedIndex, 3);
}

TEST(ListFiles, OldWindowsFilesKeepTheirAccentedNames)
{
    PresetList p;
    ReadPresetDocument(p, "<PresetList Version=\"3\"><Preset Name=\"Ch\xE2teau \x96 \xC3\xA9t\xC3\xA9\">C4</Preset></PresetList>");
    ASSERT_EQ(p.entries.size(), 1u);
    EXPECT_EQ(p.entries[0].name, "Ch\xC3\xA2teau \xE2\x80\x93 \xC3\xA9t\xC3\xA9");
}

} // namespace
