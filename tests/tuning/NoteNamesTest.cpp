#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tuning/Cents.h"
#include "tuning/NoteNames.h"
#include "tuning/Preset.h"

TEST(Cents, Conversions) {
    EXPECT_DOUBLE_EQ(FrequencyToCents(440.0), 0.0);
    EXPECT_NEAR(FrequencyToCents(880.0), 1200.0, 1e-6);
    EXPECT_NEAR(FrequencyToCents(16.3516), -5700.0, 0.01);  // C0, 57 semitones below A4
    EXPECT_TRUE(std::isinf(FrequencyToCents(0.0)));
    EXPECT_TRUE(std::isnan(FrequencyToCents(-1.0)));
    for (double cents = -6000.0; cents <= 6000.0; cents += 123.25)
        EXPECT_NEAR(FrequencyToCents(CentsToFrequency(cents)), cents, 1e-9);
}

TEST(NoteIndexRule, KeepsOnlyTheValidRange) {
    for (const std::int64_t bad : std::initializer_list<std::int64_t>{
             11, 109, -1, NoteIndexInvalid, std::int64_t{NoteIndexInvalid} - 1, INT64_MIN})
        EXPECT_EQ(MakeNoteIndex(bad), NoteIndexInvalid) << bad;
    EXPECT_EQ(MakeNoteIndex(12), 12);
    EXPECT_EQ(MakeNoteIndex(108), 108);
}

TEST(NoteNames, SplitAndFormatFollowTheTransposeButNotTheOctave) {
    // Transposes outside 0..11 wrap.
    const struct {
        NoteIndex n;
        int t;
        const char* parts;
    } cases[] = {
        {69, 0, "A||4"},  {70, 0, "B|b|4"},  {69, 2, "G||4"},
        {60, 10, "D||4"}, {59, 10, "C|#|3"}, {12, 0, "C||0"},
        {61, -3, "E||4"}, {60, 23, "C|#|4"}, {NoteIndexInvalid, -5, "||"},
    };
    for (const auto& c : cases) {
        const NoteNameParts p = SplitNoteName(c.n, c.t);
        EXPECT_EQ(p.letter + "|" + p.accidental + "|" + p.octave, c.parts) << c.n << " t=" << c.t;
    }
    EXPECT_EQ(FormatNoteName(63, 0), "Eb4");
    EXPECT_EQ(FormatNoteName(58, 10), "C3");
    for (const NoteIndex bad : {11, 109, -1, 0, NoteIndexInvalid})
        EXPECT_EQ(FormatNoteName(bad, 5), "Invalid Note") << bad;
    std::string names;
    for (int p = -1; p <= 12; ++p) names += PitchClassName(p) + std::string(" ");
    EXPECT_EQ(names, "C C C# D Eb E F F# G G# A Bb B C ");  // out of range falls back to C
    EXPECT_EQ(FormatTransposeChoice(0), "(+0) C");
    EXPECT_EQ(FormatTransposeChoice(11), "(+11) B");
}

TEST(NoteNames, ParseAcceptsNamesAndRejectsEverythingElse) {
    // White space before the octave is skipped.
    const std::pair<const char*, NoteIndex> cases[] = {
        {"c4", 60},  {"C#4", 61},   {"Bb3", 58},  {"BB3", 58}, {"bb3", 58},
        {"Cb4", 59}, {"B#3", 60},   {"B#-1", 12}, {"C0", 12},  {"C8", 108},
        {"C4x", 60}, {"C4/D4", 60}, {"C+4", 60},  {"C04", 60}, {"C 4", 60},
    };
    for (const auto& [text, note] : cases) EXPECT_EQ(ParseNoteName(text), note) << '"' << text << '"';
    // Many-digit octaves must not wrap back onto a valid note; non-ASCII
    // ("\303\211" is É, "\342\231\257" is ♯) is no letter or accidental.
    for (const char* text :
         {"",  "C",   "C00", "C-0", "H4", "C-1", "C9",         "Cb0",         "B#8",         "X4",       "#4",
          "4", " C4", "Cx",  "C#",  "Bb", "C0x", "A357913941", "A-357913942", "C4294967300", "\303\2114"})
        EXPECT_EQ(ParseNoteName(text), NoteIndexInvalid) << '"' << text << '"';
    for (const char* text : {"C99999999999999999999999999999", "C\342\231\2574"})
        EXPECT_EQ(ParseNoteName(text), NoteIndexInvalid) << '"' << text << '"';
    // A NUL ends the name: "C" alone, and "C0" followed by hidden junk.
    EXPECT_EQ(ParseNoteName(std::string("C\0004", 3)), NoteIndexInvalid);
    EXPECT_EQ(ParseNoteName(std::string("C0\000x", 4)), 12);
    for (NoteIndex n = NoteIndexMin; n <= NoteIndexMax; ++n)
        EXPECT_EQ(ParseNoteName(FormatNoteName(n, 0)), n) << n;
}

TEST(ParseNoteList, NamesRangesAndUnusablePieces) {
    // White space inside a name is dropped, empty or unusable pieces ("junk!",
    // "C9") are skipped, and multi-byte characters are dropped whole ("\303\251"
    // is é, "\342\200\224" a dash, "\343\200\200" a wide space). A range is two
    // notes either way round; "X" and "9" are filtered out, which spoils the
    // last three.
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
