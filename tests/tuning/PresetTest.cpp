#include <gtest/gtest.h>

#include "tuning/Preset.h"

TEST(ParseNoteList, NamesRangesAndUnusablePieces) {
    // The names themselves: NoteNamesTest. White space inside a name is
    // dropped, empty or unusable pieces ("junk!", "C9") are skipped, and
    // multi-byte characters are dropped whole ("\303\251" is é, "\342\200\224"
    // a dash, "\343\200\200" a wide space). A range is two notes either way
    // round; "X" and "9" are filtered out, which spoils the last three.
    const std::pair<const char*, NoteSet> cases[] = {
        {"C1,C2,C3,C4,C5,C6,C7,C8", {24, 36, 48, 60, 72, 84, 96, 108}},
        {"e2, a2, d3, g3, b3, e4", {40, 45, 50, 55, 59, 64}},
        {"C 4, e\t2", {40, 60}},
        {",,C4,,junk!,E4,", {60, 64}},
        {"C\303\2514", {60}},
        {"\342\200\224D4,\343\200\200E4", {62, 64}},
        {"C4-E4", {60, 61, 62, 63, 64}},
        {"E4-C4", {60, 61, 62, 63, 64}},
        {"Bb3-C4", {58, 59, 60}},
        {"E2, A2, D3-G3", {40, 45, 50, 51, 52, 53, 54, 55}},
    };
    for (const auto& [text, notes] : cases) EXPECT_EQ(ParseNoteList(text), notes) << '"' << text << '"';
    for (const char* text :
         {"C-1,C9,H2,,", "-C4,C4-,C4--C5,C#4-C#5#", "C4-X4", "C4-C9", "C4-D4-E4", "", " , ,\t"})
        EXPECT_TRUE(ParseNoteList(text).empty()) << '"' << text << '"';
    EXPECT_EQ(ParseNoteList("C0-C8").size(), 97u);
    EXPECT_EQ(ParseNoteList("C#4-C#5"), ParseNoteList("C#4,D4,Eb4,E4,F4,F#4,G4,G#4,A4,Bb4,B4,C5,C#5"));
}

TEST(FormatNoteList, RunsSinglesAndRoundTrips) {
    EXPECT_EQ(FormatNoteList({60, 61, 62, 64}), "C4-D4, E4");
    EXPECT_EQ(FormatNoteList({}), "");
    EXPECT_EQ(FormatNoteList({12, 108}), "C0, C8");
    EXPECT_EQ(FormatNoteList({58, 59, 60, 70}), "Bb3-C4, Bb4");
    EXPECT_EQ(FormatNoteList(DefaultPreset().notes), "C1, C2, C3, C4, C5, C6, C7, C8");
    // A stray invalid member must not turn into "Invalid Note" text.
    EXPECT_EQ(FormatNoteList({60, 61, 200, NoteIndexInvalid}), "C4-C#4");

    // Every pair of notes as a range, the longest names included.
    for (NoteIndex lo = 12; lo <= 108; lo += 7)
        for (NoteIndex hi = lo; hi <= 108; hi += 5) {
            NoteSet s;
            for (NoteIndex n = lo; n <= hi; ++n) s.insert(n);
            ASSERT_EQ(ParseNoteList(FormatNoteList(s)), s) << FormatNoteList(s);
        }
}

TEST(Presets, ActivePresetFallsBackToTheDefault) {
    const Preset fallback = DefaultPreset();
    PresetList list;
    EXPECT_EQ(&ActivePreset(list, fallback), &fallback);
    list.entries = {Preset{"Guitar", ParseNoteList("E2,A2,D3,G3,B3,E4")},
                    Preset{"Bass", ParseNoteList("E1,A1,D2,G2")}};
    list.SelectedIndex = 1;
    EXPECT_EQ(&ActivePreset(list, fallback), &list.entries[1]);
    for (const int bad : {2, -1, 1000}) {
        list.SelectedIndex = bad;
        EXPECT_EQ(&ActivePreset(list, fallback), &fallback) << bad;
        EXPECT_EQ(list.SelectedIndex, bad);  // the stored index is kept
    }
}
