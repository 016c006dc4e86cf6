// The wx-free arithmetic behind the panes and the harmonics window: labels,
// fade, compression weights and the reference note.
#include "pipeline/CompressionWeights.h"
#include "pipeline/DisplayValues.h"
#include "pipeline/HarmonicsState.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {
constexpr float Inf = std::numeric_limits<float>::infinity();
}  // namespace

TEST(CentsLabel, RoundsHalfAwayFromZeroWithTheSignOfTheRoundedValue) {
    const int tenths = CentAccuracyTenths, whole = CentAccuracyWhole;
    const struct {
        float cents;
        int accuracy;
        const char* label;
    } cases[] = {
        {0.04f, tenths, "+00.0"},  {0.04f, whole, "+00"},   {-0.4f, whole, "+00"},
        {-0.06f, tenths, "-00.1"}, {3.3f, tenths, "+03.3"}, {49.96f, tenths, "+50.0"},
        {-12.4f, whole, "-12"},    {2.5f, whole, "+03"},    {-2.5f, whole, "-03"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatCentsLabel(c.cents, c.accuracy), c.label) << c.cents;
    // No label for an unknown accuracy, a value that is not a number or a
    // runaway value (which would overflow the integer conversion).
    for (const auto& [cents, accuracy] : {std::pair{3.3f, 2},
                                          {3.3f, -1},
                                          {std::nanf(""), 0},
                                          {Inf, 1},
                                          {-1.0e30f, 0},
                                          {9.3e17f, 1},
                                          {2.0e6f, 0}})
        EXPECT_EQ(FormatCentsLabel(cents, accuracy), "") << cents << " " << accuracy;
}

TEST(PaneValues, ClampedNeedleAndHiddenTexts) {
    EXPECT_FLOAT_EQ(NeedleDeviation(25.0f), 0.5f);
    EXPECT_FLOAT_EQ(NeedleDeviation(-80.0f), -1.0f);
    EXPECT_EQ(NoteControlText("C#3", -12.345f), "NOTE:C#3,-12.3");
    EXPECT_EQ(LevelControlText(-30.0f), "LEVEL:-30.0");
}

TEST(Fade, BrightFor200MsThenFadesOver400MsAcrossTheTickWrap) {
    for (const std::uint32_t t0 : {100000u, 0xFFFFFF00u}) {  // the second wraps after 256 ms
        SCOPED_TRACE(t0);
        EXPECT_FLOAT_EQ(FadeValue(t0, t0), 0.0f);
        EXPECT_FLOAT_EQ(FadeValue(t0 + 200u, t0), 0.0f);
        EXPECT_FLOAT_EQ(FadeValue(t0 + 400u, t0), 0.5f);
        EXPECT_FLOAT_EQ(FadeValue(t0 + 600u, t0), 1.0f);
        EXPECT_FLOAT_EQ(FadeValue(t0 + 100000u, t0), 1.0f);
    }
    EXPECT_FLOAT_EQ(FadeValue(5u, 0xFFFFFFF0u), 0.0f);  // stamped just before the wrap
}

TEST(CompressionWeights, HarmonicsOfTheReferenceLandingOnTheCurrentNote) {
    const NoteTable table = DefaultNoteTable();
    ASSERT_EQ(CompressionWeights(table, 69, 69).size(), 65u);
    // Weight by harmonic of the reference: for A4 itself 1/k with no index-0
    // line and no entry 64; for A3, A5 and D4 the harmonics that land on A4.
    // A3's third (E5) and D4's fundamental reach A4 by no whole factor; D4's
    // third (A5, 2 cents sharp of equal temperament) halves onto it.
    const struct {
        NoteIndex reference;
        int k;
        float weight;
    } cases[] = {
        {69, 0, 0.0f}, {69, 1, 1.0f},        {69, 5, 0.2f}, {69, 63, 1.0f / 63.0f}, {69, 64, 0.0f},
        {57, 1, 2.0f}, {57, 2, 1.0f},        {57, 3, 0.0f}, {57, 4, 0.5f},          {57, 6, 1.0f / 3.0f},
        {81, 1, 0.5f}, {81, 3, 1.0f / 6.0f}, {62, 1, 0.0f}, {62, 3, 0.5f},          {62, 6, 0.25f},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(CompressionWeights(table, 69, c.reference)[static_cast<std::size_t>(c.k)], c.weight)
            << c.reference << " k=" << c.k;
    }
    // No current note, a reference below the range or no table: all zeros.
    for (const auto& w : {CompressionWeights(table, NoteIndexInvalid, 69), CompressionWeights(table, 69, 11),
                          CompressionWeights(NoteTable{}, 69, 69)}) {
        EXPECT_EQ(w, HarmonicWeights(65, 0.0f));
    }
}

TEST(ReferenceOption, IntervalsManualNotesAndUnknownOptionsAtTheRangeEnds) {
    // {option, current note, previous note, reference}
    const int none = NoteIndexInvalid, up8 = ReferenceOptionOctaveAbove, down8 = ReferenceOptionOctaveBelow,
              up5 = ReferenceOptionFifthAbove, down5 = ReferenceOptionFifthBelow,
              up3 = ReferenceOptionThirdAbove, down3 = ReferenceOptionThirdBelow,
              prev = ReferenceOptionPrevious, off = ReferenceOptionNone;
    const int cases[][4] = {
        {up8, 96, 50, 108},      {up8, 97, 50, none}, {down8, 24, 50, 12},    {up5, 101, 50, 108},
        {down5, 19, 50, 12},     {up3, 60, 50, 65},   {down3, 60, 50, 55},    {0, 69, 50, 12},
        {96, 69, 50, 108},       {97, 69, 50, none},  {-1, 69, 50, none},     {1009, 69, 50, none},
        {INT_MAX, 69, 50, none}, {prev, 69, 50, 50},  {prev, 69, none, none}, {off, 69, 50, none},
    };
    for (const auto& [option, current, previous, expected] : cases)
        EXPECT_EQ(ReferenceNoteFor(option, current, previous), expected)
            << option << " " << current << " " << previous;
    for (int option = ReferenceOptionOctaveAbove; option <= ReferenceOptionThirdBelow; ++option)
        EXPECT_EQ(ReferenceNoteFor(option, NoteIndexInvalid, 50), NoteIndexInvalid) << option;
}
