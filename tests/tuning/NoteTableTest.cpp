#include <gtest/gtest.h>

#include <cmath>

#include "tuning/NoteTable.h"

namespace {

float CentsOf(double hz)
{
    return static_cast<float>(FrequencyToCents(hz));
}

// Frequency `cents` away from the target of note n in the default table.
float FrequencyNear(NoteIndex n, double cents)
{
    return static_cast<float>(CentsToFrequency((n - 69) * 100.0 + cents));
}

void ExpectContiguous(const NoteTable& table)
{
    ASSERT_EQ(table.size(), static_cast<std::size_t>(NoteIndexCount));
    for (std::size_t i = 0; i + 1 < table.size(); ++i) {
        EXPECT_EQ(table[i].upper, table[i + 1].lower) << "band " << i;
        EXPECT_LT(table[i].lower, table[i].center) << "band " << i;
        EXPECT_LT(table[i].center, table[i].upper) << "band " << i;
    }
    EXPECT_FLOAT_EQ(table.front().lower, table.front().center - 50.0f);
    EXPECT_FLOAT_EQ(table.back().upper, table.back().center + 50.0f);
}

} // namespace

TEST(TemperamentRecords, NewRecordsAreNeutral)
{
    const Temperament t;
    EXPECT_TRUE(t.name.empty());
    ASSERT_EQ(t.offsets.size(), 12u);
    EXPECT_EQ(t.offsets.begin()->first, 0);
    EXPECT_EQ(t.offsets.rbegin()->first, 11);
    EXPECT_FALSE(t.HasNonZeroOffset());

    const StretchTable s;
    EXPECT_TRUE(s.name.empty());
    ASSERT_EQ(s.offsets.size(), 97u);
    EXPECT_EQ(s.offsets.begin()->first, 12);
    EXPECT_EQ(s.offsets.rbegin()->first, 108);
    EXPECT_FALSE(s.HasNonZeroOffset());
}

TEST(TemperamentRecords, OffsetsSetAndLookUp)
{
    Temperament t;
    t.SetOffset(4, -13.7f);
    EXPECT_FLOAT_EQ(t.Offset(4), -13.7f);
    EXPECT_FLOAT_EQ(t.Offset(5), 0.0f);
    EXPECT_FLOAT_EQ(t.Offset(40), 0.0f);
    EXPECT_TRUE(t.HasNonZeroOffset());
    t.SetOffset(40, 1.0f);  // an absent key is added
    EXPECT_EQ(t.offsets.size(), 13u);

    // Below the threshold an offset does not count as a change.
    Temperament tiny;
    tiny.SetOffset(3, 0.000001f);
    EXPECT_FALSE(tiny.HasNonZeroOffset());
    tiny.SetOffset(3, -0.00001f);
    EXPECT_TRUE(tiny.HasNonZeroOffset());

    // Out-of-range keys still count for "non-zero" even though they never move a target.
    StretchTable s;
    s.SetOffset(NoteIndexInvalid, 3.0f);
    EXPECT_TRUE(s.HasNonZeroOffset());
    EXPECT_EQ(BuildNoteTable(s, Temperament(), 0, 440.0f), DefaultNoteTable());
}

TEST(TemperamentRecords, SelectionOnlyInsideTheList)
{
    TemperamentList temperaments;
    EXPECT_EQ(temperaments.Selected(), nullptr);
    temperaments.entries.resize(2);
    temperaments.SelectedIndex = 1;
    EXPECT_EQ(temperaments.Selected(), &temperaments.entries[1]);
    temperaments.SelectedIndex = 2;
    EXPECT_EQ(temperaments.Selected(), nullptr);
    temperaments.SelectedIndex = -1;
    EXPECT_EQ(temperaments.Selected(), nullptr);
    EXPECT_EQ(temperaments.SelectedIndex, -1);  // the stored index is kept

    for (const int key : {-1, 12, 1000})
    {
        temperaments.SelectedKey = key;
        EXPECT_EQ(temperaments.EffectiveKey(), 0);
    }
    temperaments.SelectedKey = 11;
    EXPECT_EQ(temperaments.EffectiveKey(), 11);

    StretchList stretches;
    EXPECT_EQ(stretches.Selected(), nullptr);
    stretches.entries.resize(1);
    EXPECT_EQ(stretches.Selected(), &stretches.entries[0]);
}

TEST(NoteTableBuild, DefaultTableIsEqualTemperamentAt440)
{
    const NoteTable table = DefaultNoteTable();
    ExpectContiguous(table);
    EXPECT_EQ(table[57], (NoteBand{0.0f, -50.0f, 50.0f}));
    EXPECT_FLOAT_EQ(table[0].center, -5700.0f);
    EXPECT_FLOAT_EQ(table[96].center, 3900.0f);
    EXPECT_EQ(BuildNoteTable(StretchTable(), Temperament(), 0, 440.0f), table);
    EXPECT_EQ(BuildNoteTable(StretchList(), TemperamentList(), 440.0f), table);
}

TEST(NoteTableBuild, MiddleAShiftsEveryCenter)
{
    const NoteTable table = BuildNoteTable(StretchTable(), Temperament(), 0, 442.0f);
    ExpectContiguous(table);
    const float shift = static_cast<float>(std::log(442.0 / 440.0) * 1731.23404907);
    for (int i = 0; i < NoteIndexCount; ++i)
        EXPECT_NEAR(table[i].center, (i - 57) * 100.0f + shift, 0.001f) << i;
    EXPECT_NEAR(table[57].center, 7.851f, 0.0005f);
}

TEST(NoteTableBuild, UnusableMiddleAFallsBackTo440)
{
    for (const float bad : {0.0f, -440.0f, NAN, INFINITY})
        EXPECT_EQ(BuildNoteTable(StretchTable(), Temperament(), 0, bad), DefaultNoteTable());
}

TEST(NoteTableBuild, TemperamentKeyRotationKeepsAFixed)
{
    Temperament sharpC;
    sharpC.SetOffset(0, 10.0f);

    // Key of C: every C is 10 cents sharp, nothing else moves.
    NoteTable table = BuildNoteTable(StretchTable(), sharpC, 0, 440.0f);
    ExpectContiguous(table);
    for (NoteIndex n = 12; n <= 108; ++n)
        EXPECT_FLOAT_EQ(table[n - 12].center, (n - 69) * 100.0f + (n % 12 == 0 ? 10.0f : 0.0f)) << n;
    // The bands follow the neighbours' spacing: C4 owns 55 cents downward and 45 upward.
    EXPECT_FLOAT_EQ(table[48].lower, -945.0f);
    EXPECT_FLOAT_EQ(table[48].upper, -845.0f);

    // Key of D: the +10 falls on D.
    table = BuildNoteTable(StretchTable(), sharpC, 2, 440.0f);
    for (NoteIndex n = 12; n <= 108; ++n)
        EXPECT_FLOAT_EQ(table[n - 12].center, (n - 69) * 100.0f + (n % 12 == 2 ? 10.0f : 0.0f)) << n;

    // Key of Eb: only Eb moves.
    Temperament plusFourOnC;
    plusFourOnC.SetOffset(0, 4.0f);
    table = BuildNoteTable(StretchTable(), plusFourOnC, 3, 440.0f);
    for (NoteIndex n = 12; n <= 108; ++n)
        EXPECT_FLOAT_EQ(table[n - 12].center, (n - 69) * 100.0f + (n % 12 == 3 ? 4.0f : 0.0f)) << n;

    // A key outside 0..11 plays as C.
    EXPECT_EQ(BuildNoteTable(StretchTable(), sharpC, 14, 440.0f),
              BuildNoteTable(StretchTable(), sharpC, 0, 440.0f));
    EXPECT_EQ(BuildNoteTable(StretchTable(), sharpC, -1, 440.0f),
              BuildNoteTable(StretchTable(), sharpC, 0, 440.0f));
}

TEST(NoteTableBuild, OffsetOnAIsMovedToTheOtherNotes)
{
    Temperament sharpA;
    sharpA.SetOffset(9, 6.0f);
    const NoteTable table = BuildNoteTable(StretchTable(), sharpA, 0, 440.0f);
    ExpectContiguous(table);
    for (NoteIndex n = 12; n <= 108; ++n)
        EXPECT_FLOAT_EQ(table[n - 12].center, (n - 69) * 100.0f + (n % 12 == 9 ? 0.0f : -6.0f)) << n;
}

TEST(NoteTableBuild, StretchAddsPerNote)
{
    StretchTable stretch;
    stretch.SetOffset(69, 2.0f);
    stretch.SetOffset(108, 30.0f);
    Temperament sharpA;
    sharpA.SetOffset(9, 6.0f);  // the temperament keeps A at 0; the stretch still moves it
    const NoteTable table = BuildNoteTable(stretch, sharpA, 0, 440.0f);
    ExpectContiguous(table);
    EXPECT_FLOAT_EQ(table[57].center, 2.0f);
    EXPECT_FLOAT_EQ(table[96].center, 3930.0f - 6.0f);
    EXPECT_FLOAT_EQ(table[96].upper, table[96].center + 50.0f);
}

TEST(NoteTableBuild, SelectionsChooseTheRecords)
{
    TemperamentList temperaments;
    temperaments.entries.resize(1);
    temperaments.entries[0].SetOffset(0, 10.0f);
    temperaments.SelectedKey = 2;
    StretchList stretches;
    stretches.entries.resize(1);
    stretches.entries[0].SetOffset(60, 5.0f);

    EXPECT_EQ(BuildNoteTable(stretches, temperaments, 441.0f),
              BuildNoteTable(stretches.entries[0], temperaments.entries[0], 2, 441.0f));

    // Indices that do not fit select the neutral records; a bad key plays as C.
    temperaments.SelectedIndex = 1;
    stretches.SelectedIndex = -3;
    EXPECT_EQ(BuildNoteTable(stretches, temperaments, 441.0f),
              BuildNoteTable(StretchTable(), Temperament(), 0, 441.0f));
    temperaments.SelectedIndex = 0;
    temperaments.SelectedKey = 99;
    EXPECT_EQ(BuildNoteTable(stretches, temperaments, 441.0f),
              BuildNoteTable(StretchTable(), temperaments.entries[0], 0, 441.0f));
}

TEST(NoteTableBuild, FindNoteBand)
{
    const NoteTable table = DefaultNoteTable();
    ASSERT_NE(FindNoteBand(table, 69), nullptr);
    EXPECT_FLOAT_EQ(FindNoteBand(table, 69)->center, 0.0f);
    EXPECT_EQ(FindNoteBand(table, 12), &table[0]);
    EXPECT_EQ(FindNoteBand(table, 108), &table[96]);
    EXPECT_EQ(FindNoteBand(table, 11), nullptr);
    EXPECT_EQ(FindNoteBand(table, NoteIndexInvalid), nullptr);
    EXPECT_EQ(FindNoteBand(NoteTable(), 69), nullptr);
}

TEST(FrequencyToNote, InsideTheRange)
{
    const NoteTable table = DefaultNoteTable();
    EXPECT_EQ(FrequencyToNote(table, 440.0f), (NoteLookup{69, 0.0f, true}));

    NoteLookup r = FrequencyToNote(table, 16.35f);
    EXPECT_EQ(r.note, 12);
    EXPECT_TRUE(r.withinRange);
    EXPECT_NEAR(r.deviation, -0.17f, 0.01f);  // 16.35 Hz is a little below C0

    r = FrequencyToNote(table, FrequencyNear(69, 25.0));
    EXPECT_EQ(r.note, 69);
    EXPECT_NEAR(r.deviation, 25.0f, 0.01f);

    r = FrequencyToNote(table, FrequencyNear(69, -49.0));
    EXPECT_EQ(r.note, 69);
    EXPECT_NEAR(r.deviation, -49.0f, 0.01f);

    r = FrequencyToNote(table, FrequencyNear(108, 40.0));
    EXPECT_EQ(r.note, 108);
    EXPECT_TRUE(r.withinRange);
    EXPECT_NEAR(r.deviation, 40.0f, 0.01f);

    r = FrequencyToNote(table, FrequencyNear(12, -40.0));
    EXPECT_EQ(r.note, 12);
    EXPECT_TRUE(r.withinRange);
    EXPECT_NEAR(r.deviation, -40.0f, 0.01f);
}

TEST(FrequencyToNote, BeyondTheRange)
{
    const NoteTable table = DefaultNoteTable();
    NoteLookup r = FrequencyToNote(table, FrequencyNear(12, -60.0));
    EXPECT_EQ(r.note, NoteIndexInvalid);
    EXPECT_FALSE(r.withinRange);
    EXPECT_NEAR(r.deviation, -60.0f, 0.01f);

    r = FrequencyToNote(table, FrequencyNear(108, 60.0));
    EXPECT_EQ(r.note, NoteIndexInvalid);
    EXPECT_FALSE(r.withinRange);
    EXPECT_NEAR(r.deviation, 60.0f, 0.01f);

    // Far outside: still the end bands' verdict, never a crash or a wrong note.
    EXPECT_FALSE(FrequencyToNote(table, 1.0f).withinRange);
    EXPECT_FALSE(FrequencyToNote(table, 1.0e30f).withinRange);
}

TEST(FrequencyToNote, BoundaryBelongsToTheUpperBand)
{
    // Pick a frequency whose pitch, as a float, lands exactly on a limit.
    NoteTable table = DefaultNoteTable();
    const float f = 450.0f;
    const float c = CentsOf(f);
    table[57].upper = c;
    table[58].lower = c;
    NoteLookup r = FrequencyToNote(table, f);
    EXPECT_EQ(r.note, 70);
    EXPECT_FLOAT_EQ(r.deviation, c - 100.0f);

    // Exactly on the lower limit of band 0 is still C0 (-50 is not beyond the range).
    const float low = 16.0f;
    table = DefaultNoteTable();
    table[0].lower = CentsOf(low);
    table[0].center = CentsOf(low) + 50.0f;
    r = FrequencyToNote(table, low);
    EXPECT_EQ(r.note, 12);
    EXPECT_TRUE(r.withinRange);
}

TEST(FrequencyToNote, FollowsATemperedTable)
{
    Temperament sharpC;
    sharpC.SetOffset(0, 10.0f);
    const NoteTable table = BuildNoteTable(StretchTable(), sharpC, 0, 440.0f);
    // 52 cents above B3 (-1000) lies past the usual midpoint but short of the
    // tempered one (B3 and C4 at +10 meet at -945).
    NoteLookup r = FrequencyToNote(table, FrequencyNear(59, 52.0));
    EXPECT_EQ(r.note, 59);
    EXPECT_NEAR(r.deviation, 52.0f, 0.01f);
    r = FrequencyToNote(table, FrequencyNear(60, 0.0));
    EXPECT_EQ(r.note, 60);
    EXPECT_NEAR(r.deviation, -10.0f, 0.01f);
}

TEST(FrequencyToNote, NoPitchOrNoTable)
{
    const NoteTable table = DefaultNoteTable();
    for (const float f : {0.0f, -1.0f, NAN, INFINITY}) {
        const NoteLookup r = FrequencyToNote(table, f);
        EXPECT_EQ(r.note, NoteIndexInvalid) << f;
        EXPECT_FALSE(r.withinRange) << f;
        EXPECT_EQ(r.deviation, 0.0f) << f;
    }
    EXPECT_EQ(FrequencyToNote(NoteTable(), 440.0f), NoteLookup());
}
