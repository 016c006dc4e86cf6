// What the editors' grids show and how typed offsets and notes are read.

#include <cmath>

#include <gtest/gtest.h>

#include "dialogs/logic/ListEditorRows.h"

using namespace ListEditorRows;

TEST(ListEditorRows, OffsetsShowWithASignAndOneDecimal) {
    const std::pair<float, const char*> cases[] = {
        {0.0f, "+0.0"}, {-2.5f, "-2.5"}, {13.68f, "+13.7"}, {-0.04f, "-0.0"}, {-1200.0f, "-1200.0"}};
    for (const auto& [cents, text] : cases) EXPECT_EQ(OffsetText(cents), text) << cents;
}

TEST(ListEditorRows, TypedTextReadsLikeStrtodWithinWhatTheFilesKeep) {
    const struct {
        const char* text;
        float cents;
    } cases[] = {
        {"  +3.25", 3.25f},   {"1.5 cents", 1.5f}, {"abc", 0.0f}, {"1e5", 1200.0f},
        {"-99999", -1200.0f}, {"inf", 0.0f},       {"nan", 0.0f}, {"1e400", 0.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(ReadOffsetText(c.text), c.cents) << c.text;
    EXPECT_EQ(NotesText(NotesOfText("e2, a2,d3")), "E2, A2, D3");
    EXPECT_EQ(NotesText(NotesOfText("c4,c#4,d4,e4")), "C4-D4, E4");
    EXPECT_EQ(NotesText(NotesOfText("h9, x")), "");
}

TEST(ListEditorRows, OffsetRowsNameTheHalfStepsAndTheNotesAndReachTheirOffsets) {
    using T = OffsetRows<Temperament>;
    using S = OffsetRows<StretchTable>;
    EXPECT_EQ(T::Count, 12);
    EXPECT_EQ(T::Name(3) + T::Name(11), "EbB");
    EXPECT_EQ(S::Count, 97);
    EXPECT_EQ(S::Name(0) + S::Name(57) + S::Name(96), "C0A4C8");

    Temperament temperament;
    T::Set(temperament, 4, -13.7f);
    EXPECT_FLOAT_EQ(temperament.Offset(4), -13.7f);
    EXPECT_FLOAT_EQ(T::Get(temperament, 4), -13.7f);
    StretchTable stretch;
    S::Set(stretch, 57, 2.5f);  // row 57 is A4, note 69
    EXPECT_FLOAT_EQ(stretch.Offset(69), 2.5f);
    EXPECT_FLOAT_EQ(S::Get(stretch, 57), 2.5f);
    EXPECT_EQ(NewTemperament().name + NewStretchTable().name, "New TemperamentNew Stretch");
    EXPECT_FALSE(NewTemperament().HasNonZeroOffset() || NewStretchTable().HasNonZeroOffset());
}
