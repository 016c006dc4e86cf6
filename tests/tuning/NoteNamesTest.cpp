#include <gtest/gtest.h>

#include <string>

#include "tuning/NoteNames.h"

TEST(NoteIndexRule, KeepsOnlyTheValidRange)
{
    EXPECT_EQ(MakeNoteIndex(12), 12);
    EXPECT_EQ(MakeNoteIndex(108), 108);
    EXPECT_EQ(MakeNoteIndex(11), NoteIndexInvalid);
    EXPECT_EQ(MakeNoteIndex(109), NoteIndexInvalid);
    EXPECT_EQ(MakeNoteIndex(-1), NoteIndexInvalid);
    EXPECT_EQ(MakeNoteIndex(NoteIndexInvalid), NoteIndexInvalid);
    // One semitone below the invalid marker must not become a note.
    EXPECT_EQ(MakeNoteIndex(static_cast<std::int64_t>(NoteIndexInvalid) - 1), NoteIndexInvalid);
    EXPECT_EQ(MakeNoteIndex(INT64_MIN), NoteIndexInvalid);
    EXPECT_EQ(NoteIndexInvalid, 2147483647);
}

TEST(NoteIndexRule, PitchClassAndOctave)
{
    EXPECT_EQ(PitchClassOf(12), 0);
    EXPECT_EQ(OctaveOf(12), 0);
    EXPECT_EQ(PitchClassOf(69), 9);
    EXPECT_EQ(OctaveOf(69), 4);
    EXPECT_EQ(OctaveOf(59), 3);
    EXPECT_EQ(OctaveOf(108), 8);
}

TEST(SplitNoteName, LetterFollowsTransposeOctaveDoesNot)
{
    struct Case {
        NoteIndex n;
        int t;
        const char* letter;
        const char* accidental;
        const char* octave;
    };
    const Case cases[] = {
        {69, 0, "A", "", "4"},  {70, 0, "B", "b", "4"},   {69, 2, "G", "", "4"},
        {60, 10, "D", "", "4"}, {59, 10, "C", "#", "3"},  {12, 0, "C", "", "0"},
        {61, -3, "E", "", "4"}, {60, 23, "C", "#", "4"},  // transposes outside 0..11 wrap
    };
    for (const Case& c : cases) {
        const NoteNameParts parts = SplitNoteName(c.n, c.t);
        EXPECT_EQ(parts.letter, c.letter) << c.n << " t=" << c.t;
        EXPECT_EQ(parts.accidental, c.accidental) << c.n << " t=" << c.t;
        EXPECT_EQ(parts.octave, c.octave) << c.n << " t=" << c.t;
    }
}

TEST(SplitNoteName, InvalidIndexGivesEmptyParts)
{
    const NoteNameParts parts = SplitNoteName(NoteIndexInvalid, -5);
    EXPECT_TRUE(parts.letter.empty());
    EXPECT_TRUE(parts.accidental.empty());
    EXPECT_TRUE(parts.octave.empty());
}

TEST(FormatNoteName, NamesAndInvalid)
{
    EXPECT_EQ(FormatNoteName(12, 0), "C0");
    EXPECT_EQ(FormatNoteName(108, 0), "C8");
    EXPECT_EQ(FormatNoteName(61, 0), "C#4");
    EXPECT_EQ(FormatNoteName(63, 0), "Eb4");
    EXPECT_EQ(FormatNoteName(70, 0), "Bb4");
    EXPECT_EQ(FormatNoteName(66, 0), "F#4");
    EXPECT_EQ(FormatNoteName(68, 0), "G#4");
    EXPECT_EQ(FormatNoteName(58, 10), "C3");
    EXPECT_EQ(FormatNoteName(60, 10), "D4");
    for (const NoteIndex bad : {11, 109, -1, 0, NoteIndexInvalid})
        EXPECT_EQ(FormatNoteName(bad, 0), "Invalid Note") << bad;
    EXPECT_EQ(FormatNoteName(NoteIndexInvalid, 5), "Invalid Note");
}

TEST(ParseNoteName, AcceptedForms)
{
    EXPECT_EQ(ParseNoteName("C4"), 60);
    EXPECT_EQ(ParseNoteName("c4"), 60);
    EXPECT_EQ(ParseNoteName("A4"), 69);
    EXPECT_EQ(ParseNoteName("C#4"), 61);
    EXPECT_EQ(ParseNoteName("Bb3"), 58);
    EXPECT_EQ(ParseNoteName("BB3"), 58);  // upper-case B after the letter is a flat too
    EXPECT_EQ(ParseNoteName("bb3"), 58);
    EXPECT_EQ(ParseNoteName("Cb4"), 59);
    EXPECT_EQ(ParseNoteName("B#3"), 60);
    EXPECT_EQ(ParseNoteName("B#-1"), 12);
    EXPECT_EQ(ParseNoteName("C0"), 12);
    EXPECT_EQ(ParseNoteName("C8"), 108);
    EXPECT_EQ(ParseNoteName("C4x"), 60);
    EXPECT_EQ(ParseNoteName("C4/D4"), 60);
    EXPECT_EQ(ParseNoteName("C 4"), 60);   // leading white space of the octave is skipped
    EXPECT_EQ(ParseNoteName("C+4"), 60);
    EXPECT_EQ(ParseNoteName("C04"), 60);
}

TEST(ParseNoteName, Rejected)
{
    for (const char* text : {"", "C", "C00", "C-0", "H4", "C-1", "C9", "Cb0", "B#8", "X4",
                             "#4", "4", " C4", "Cx", "C#", "Bb", "C0x"})
        EXPECT_EQ(ParseNoteName(text), NoteIndexInvalid) << '"' << text << '"';
}

TEST(ParseNoteName, HugeOctaveTextDoesNotWrapIntoRange)
{
    // Wrapping arithmetic could land such a number back on a valid note.
    EXPECT_EQ(ParseNoteName("C99999999999999999999999999999"), NoteIndexInvalid);
    EXPECT_EQ(ParseNoteName("C-99999999999999999999999999999"), NoteIndexInvalid);
    EXPECT_EQ(ParseNoteName("A357913941"), NoteIndexInvalid);   // (x+1)*12 near 2^32
    EXPECT_EQ(ParseNoteName("A-357913942"), NoteIndexInvalid);
    EXPECT_EQ(ParseNoteName("C4294967300"), NoteIndexInvalid);
}

TEST(ParseNoteName, NonAsciiIsNotANoteName)
{
    EXPECT_EQ(ParseNoteName("\xC3\x89" "4"), NoteIndexInvalid);       // É4
    EXPECT_EQ(ParseNoteName("C\xE2\x99\xAF" "4"), NoteIndexInvalid);  // C♯4: ♯ is no accidental
    // A NUL ends the name: "C" alone, and "C0" followed by hidden junk.
    EXPECT_EQ(ParseNoteName(std::string("C\0" "4", 3)), NoteIndexInvalid);
    EXPECT_EQ(ParseNoteName(std::string("C0\0" "x", 4)), 12);
}

TEST(ParseNoteName, RoundTripsEveryFormattedNote)
{
    for (NoteIndex n = NoteIndexMin; n <= NoteIndexMax; ++n)
        EXPECT_EQ(ParseNoteName(FormatNoteName(n, 0)), n) << n;
}

TEST(PitchClassName, TableAndFallback)
{
    const char* expected[] = {"C", "C#", "D", "Eb", "E", "F", "F#", "G", "G#", "A", "Bb", "B"};
    for (int p = 0; p < 12; ++p)
        EXPECT_STREQ(PitchClassName(p), expected[p]);
    EXPECT_STREQ(PitchClassName(12), "C");
    EXPECT_STREQ(PitchClassName(-1), "C");
}

TEST(FormatTransposeChoice, ShowsOffsetAndName)
{
    EXPECT_EQ(FormatTransposeChoice(0), "(+0) C");
    EXPECT_EQ(FormatTransposeChoice(2), "(+2) D");
    EXPECT_EQ(FormatTransposeChoice(11), "(+11) B");
}
