#include "app/pipeline/CompressionWeights.h"
#include "app/pipeline/HarmonicsState.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CompressionWeights, SameNoteGivesOneOverK)
{
    const HarmonicWeights w = CompressionWeights(DefaultNoteTable(), 69, 69);
    ASSERT_EQ(w.size(), 65u);
    EXPECT_EQ(w[0], 0.0f);  // no index-0 line for the reference
    for (int k = 1; k < 64; ++k) {
        EXPECT_FLOAT_EQ(w[static_cast<std::size_t>(k)], 1.0f / static_cast<float>(k)) << k;
    }
    EXPECT_EQ(w[64], 0.0f);
}

TEST(CompressionWeights, OctaveBelowIsMultipliedOrDividedOntoTheCurrentNote)
{
    // Reference A3 for current note A4: its fundamental doubles, its second
    // harmonic lies on A4 itself, its fourth is halved; its third harmonic
    // (E5) cannot land on A4 by a whole factor and is ignored.
    const HarmonicWeights w = CompressionWeights(DefaultNoteTable(), 69, 57);
    EXPECT_FLOAT_EQ(w[1], 2.0f);
    EXPECT_FLOAT_EQ(w[2], 1.0f);
    EXPECT_EQ(w[3], 0.0f);
    EXPECT_FLOAT_EQ(w[4], 0.5f);
    EXPECT_FLOAT_EQ(w[6], 1.0f / 3.0f);
}

TEST(CompressionWeights, OctaveAndFifthAbove)
{
    const HarmonicWeights octave = CompressionWeights(DefaultNoteTable(), 69, 81);
    EXPECT_FLOAT_EQ(octave[1], 0.5f);
    EXPECT_FLOAT_EQ(octave[3], 1.0f / 6.0f);

    // D4 as reference of A4: its third harmonic (A5, 2 cents sharp of equal
    // temperament) halves onto A4; its fundamental lies a fifth below and no
    // whole multiple reaches A4's band.
    const HarmonicWeights fifth = CompressionWeights(DefaultNoteTable(), 69, 62);
    EXPECT_EQ(fifth[1], 0.0f);
    EXPECT_FLOAT_EQ(fifth[3], 0.5f);
    EXPECT_FLOAT_EQ(fifth[6], 0.25f);
}

TEST(CompressionWeights, InvalidNotesOrEmptyTableGiveAllZeros)
{
    for (const auto& w : {CompressionWeights(DefaultNoteTable(), NoteIndexInvalid, 69),
                          CompressionWeights(DefaultNoteTable(), 69, 11),
                          CompressionWeights(NoteTable{}, 69, 69)}) {
        ASSERT_EQ(w.size(), 65u);
        for (float v : w) {
            EXPECT_EQ(v, 0.0f);
        }
    }
}

TEST(ReferenceOption, IntervalsAtTheRangeEnds)
{
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionOctaveAbove, 96, 50), 108);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionOctaveAbove, 97, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionOctaveBelow, 24, 50), 12);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionOctaveBelow, 23, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionFifthAbove, 101, 50), 108);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionFifthAbove, 102, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionFifthBelow, 19, 50), 12);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionThirdAbove, 60, 50), 65);  // five semitones
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionThirdBelow, 60, 50), 55);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionThirdBelow, 16, 50), NoteIndexInvalid);
}

TEST(ReferenceOption, NoCurrentNoteGivesNoIntervalReference)
{
    for (int option = ReferenceOptionOctaveAbove; option <= ReferenceOptionThirdBelow; ++option) {
        EXPECT_EQ(ReferenceNoteFor(option, NoteIndexInvalid, 50), NoteIndexInvalid) << option;
    }
}

TEST(ReferenceOption, ManualPreviousNoneAndUnknown)
{
    EXPECT_EQ(ReferenceNoteFor(0, 69, 50), 12);
    EXPECT_EQ(ReferenceNoteFor(96, 69, 50), 108);
    EXPECT_EQ(ReferenceNoteFor(97, 69, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(-1, 69, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(INT_MIN, 69, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionPrevious, 69, 50), 50);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionPrevious, 69, NoteIndexInvalid), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(ReferenceOptionNone, 69, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(1009, 69, 50), NoteIndexInvalid);
    EXPECT_EQ(ReferenceNoteFor(INT_MAX, 69, 50), NoteIndexInvalid);
}
