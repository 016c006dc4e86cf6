#include <gtest/gtest.h>

#include "tuning/Preset.h"

TEST(ParseNoteList, SingleNames)
{
    EXPECT_EQ(ParseNoteList("C1,C2,C3,C4,C5,C6,C7,C8"), (NoteSet{24, 36, 48, 60, 72, 84, 96, 108}));
    EXPECT_EQ(ParseNoteList("e2, a2, d3, g3, b3, e4"), (NoteSet{40, 45, 50, 55, 59, 64}));
    EXPECT_EQ(ParseNoteList("C 4, e\t2"), (NoteSet{40, 60}));  // white space inside a name is dropped
    EXPECT_EQ(ParseNoteList("Bb3,BB3,A#3"), (NoteSet{58}));     // duplicates collapse
    EXPECT_EQ(ParseNoteList("C4/D4"), (NoteSet{60}));           // "/" ends the octave digits
    EXPECT_EQ(ParseNoteList("Eb2,F#2,Cb4,B#3"), (NoteSet{39, 42, 59, 60}));
}

TEST(ParseNoteList, Ranges)
{
    EXPECT_EQ(ParseNoteList("C4-E4"), (NoteSet{60, 61, 62, 63, 64}));
    EXPECT_EQ(ParseNoteList("E4-C4"), ParseNoteList("C4-E4"));
    EXPECT_EQ(ParseNoteList("Bb3-C4"), (NoteSet{58, 59, 60}));
    EXPECT_EQ(ParseNoteList("E2, A2, D3-G3"), (NoteSet{40, 45, 50, 51, 52, 53, 54, 55}));
    EXPECT_EQ(ParseNoteList("C4-C4"), (NoteSet{60}));
    EXPECT_EQ(ParseNoteList("C0-C8").size(), 97u);

    const NoteSet sevenCharacters = ParseNoteList("C#4-C#5");
    EXPECT_EQ(sevenCharacters.size(), 13u);
    EXPECT_EQ(*sevenCharacters.begin(), 61);
    EXPECT_EQ(*sevenCharacters.rbegin(), 73);
}

TEST(ParseNoteList, UnusablePiecesAreIgnored)
{
    EXPECT_TRUE(ParseNoteList("C-1,C9,H2,,").empty());
    EXPECT_TRUE(ParseNoteList("-C4,C4-,C4--C5,C#4-C#5#").empty());
    EXPECT_TRUE(ParseNoteList("C4-X4").empty());    // X is filtered away: "C4-4"
    EXPECT_TRUE(ParseNoteList("C4-C9").empty());    // 9 is filtered: "C4-C", an invalid end
    EXPECT_TRUE(ParseNoteList("C4-D4-E4").empty()); // too long for a range
    EXPECT_EQ(ParseNoteList(",,C4,,junk!,E4,"), (NoteSet{60, 64}));  // "junk!" leaves "", skipped
}

TEST(ParseNoteList, EmptyAndNonAscii)
{
    EXPECT_TRUE(ParseNoteList("").empty());
    EXPECT_TRUE(ParseNoteList(" , ,\t").empty());
    // Multi-byte characters are dropped whole: "Ré4" keeps no stray bytes.
    EXPECT_EQ(ParseNoteList("C\xC3\xA9" "4"), (NoteSet{60}));
    EXPECT_EQ(ParseNoteList("\xE2\x80\x94" "D4,\xE3\x80\x80" "E4"), (NoteSet{62, 64}));
}

TEST(FormatNoteList, RunsAndSingles)
{
    EXPECT_EQ(FormatNoteList({60, 61, 62, 64}), "C4-D4, E4");
    EXPECT_EQ(FormatNoteList({40, 41}), "E2-F2");
    EXPECT_EQ(FormatNoteList({}), "");
    EXPECT_EQ(FormatNoteList({12, 108}), "C0, C8");
    EXPECT_EQ(FormatNoteList({58, 59, 60, 70}), "Bb3-C4, Bb4");
    EXPECT_EQ(FormatNoteList(DefaultPreset().notes), "C1, C2, C3, C4, C5, C6, C7, C8");
    // A stray invalid member must not turn into "Invalid Note" text.
    EXPECT_EQ(FormatNoteList({60, 61, 200, NoteIndexInvalid}), "C4-C#4");
}

TEST(FormatNoteList, ParseGivesTheSameSetBack)
{
    const NoteSet sets[] = {
        {},
        {12},
        {108},
        {60, 61, 62, 64},
        {39, 40, 41, 58, 70, 71, 72, 73, 74, 75, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85},
        ParseNoteList("C0-C8"),
        ParseNoteList("C#4-C#5, Eb1, G#7-Bb7"),
    };
    for (const NoteSet& s : sets)
        EXPECT_EQ(ParseNoteList(FormatNoteList(s)), s) << FormatNoteList(s);

    // Every pair of notes as a range, the longest names included.
    for (NoteIndex lo = 12; lo <= 108; lo += 7)
        for (NoteIndex hi = lo; hi <= 108; hi += 5) {
            NoteSet s;
            for (NoteIndex n = lo; n <= hi; ++n)
                s.insert(n);
            ASSERT_EQ(ParseNoteList(FormatNoteList(s)), s) << FormatNoteList(s);
        }
}

TEST(Presets, DefaultAndActivePreset)
{
    const Preset fallback = DefaultPreset();
    EXPECT_EQ(fallback.name, "Default Notes");
    EXPECT_EQ(fallback.notes, (NoteSet{24, 36, 48, 60, 72, 84, 96, 108}));

    PresetList list;
    EXPECT_EQ(list.Selected(), nullptr);
    EXPECT_EQ(&ActivePreset(list, fallback), &fallback);

    list.entries.push_back(Preset{"Guitar", ParseNoteList("E2,A2,D3,G3,B3,E4")});
    list.entries.push_back(Preset{"Bass", ParseNoteList("E1,A1,D2,G2")});
    list.SelectedIndex = 1;
    EXPECT_EQ(&ActivePreset(list, fallback), &list.entries[1]);

    for (const int bad : {2, -1, 1000}) {
        list.SelectedIndex = bad;
        EXPECT_EQ(&ActivePreset(list, fallback), &fallback) << bad;
        EXPECT_EQ(list.SelectedIndex, bad);  // the stored index is kept
    }
}
