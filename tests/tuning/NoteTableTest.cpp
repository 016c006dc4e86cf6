#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "tuning/NoteTable.h"

namespace {

// Frequency `cents` away from the target of note n in the default table.
float FrequencyNear(NoteIndex n, double cents) {
    return static_cast<float>(CentsToFrequency((n - 69) * 100.0 + cents));
}

Temperament OneOffset(int key, float cents) {
    Temperament t;
    t.SetOffset(key, cents);
    return t;
}

}  // namespace

TEST(TemperamentRecords, NegligibleAndOutOfRangeOffsets) {
    // Below the threshold an offset does not count as a change.
    EXPECT_FALSE(OneOffset(3, 0.000001f).HasNonZeroOffset());
    EXPECT_TRUE(OneOffset(3, -0.00001f).HasNonZeroOffset());
    // Out-of-range keys still count for "non-zero" even though they never move a target.
    StretchTable s;
    s.SetOffset(NoteIndexInvalid, 3.0f);
    EXPECT_TRUE(s.HasNonZeroOffset());
    EXPECT_EQ(BuildNoteTable(s, OneOffset(40, 5.0f), 0, 440.0f), DefaultNoteTable());
}

TEST(NoteTableBuild, BandsFollowMiddleATemperamentKeyAndStretch) {
    StretchTable stretch;
    stretch.SetOffset(69, 2.0f);
    stretch.SetOffset(108, 30.0f);
    // A temperament offset on one pitch class, played in a key: the targets
    // of pitch class `moved` lie `onMoved` cents beyond (n - 69) * 100, all
    // others `others` cents. Keys outside 0..11 play as C. An offset on A is
    // moved to the other notes so that A stays fixed, but the stretch still
    // moves it.
    // Each case: name, offset pitch class and cents, key, middle A, stretched,
    // moved pitch class, cents on it and on the others.
    const std::tuple<const char*, int, float, int, float, bool, int, float, float> cases[] = {
        {"default", 0, 0.0f, 0, 440.0f, false, -1, 0.0f, 0.0f},
        {"442 Hz", 0, 0.0f, 0, 442.0f, false, -1, 0.0f, 7.85142f},
        {"C +10 in C", 0, 10.0f, 0, 440.0f, false, 0, 10.0f, 0.0f},
        {"C +10 in D", 0, 10.0f, 2, 440.0f, false, 2, 10.0f, 0.0f},
        {"key 14", 0, 10.0f, 14, 440.0f, false, 0, 10.0f, 0.0f},
        {"key -1", 0, 10.0f, -1, 440.0f, false, 0, 10.0f, 0.0f},
        {"A +6 stretched", 9, 6.0f, 0, 440.0f, true, 9, 0.0f, -6.0f},
    };
    for (const auto& [name, offsetClass, offsetCents, key, middleA, stretched, moved, onMoved, others] :
         cases) {
        SCOPED_TRACE(name);
        const NoteTable table = BuildNoteTable(stretched ? stretch : StretchTable(),
                                               OneOffset(offsetClass, offsetCents), key, middleA);
        ASSERT_EQ(table.size(), static_cast<std::size_t>(NoteIndexCount));
        for (NoteIndex n = 12; n <= 108; ++n) {
            const float stretchCents = stretched ? (n == 69 ? 2.0f : n == 108 ? 30.0f : 0.0f) : 0.0f;
            const NoteBand& band = table[n - 12];
            EXPECT_NEAR(band.center, (n - 69) * 100.0f + (n % 12 == moved ? onMoved : others) + stretchCents,
                        0.001f)
                << n;
            if (n < 108) {
                EXPECT_EQ(band.upper, table[n - 11].lower) << n;
            }
            EXPECT_TRUE(band.lower < band.center && band.center < band.upper) << n;
        }
        EXPECT_FLOAT_EQ(table.front().lower, table.front().center - 50.0f);
        EXPECT_FLOAT_EQ(table.back().upper, table.back().center + 50.0f);
    }
    // The bands follow the neighbours' spacing: a C4 10 cents sharp owns 55 cents downward and 45 upward.
    const NoteTable sharpC = BuildNoteTable(StretchTable(), OneOffset(0, 10.0f), 0, 440.0f);
    EXPECT_FLOAT_EQ(sharpC[48].lower, -945.0f);
    EXPECT_FLOAT_EQ(sharpC[48].upper, -845.0f);
    EXPECT_EQ(DefaultNoteTable()[57], (NoteBand{0.0f, -50.0f, 50.0f}));
    for (const float bad : {0.0f, -440.0f, NAN, INFINITY})
        EXPECT_EQ(BuildNoteTable(StretchTable(), Temperament(), 0, bad), DefaultNoteTable()) << bad;
}

TEST(NoteTableBuild, SelectionsChooseTheRecords) {
    EXPECT_EQ(BuildNoteTable(StretchList(), TemperamentList(), 440.0f), DefaultNoteTable());
    TemperamentList temperaments;
    temperaments.entries = {OneOffset(0, 10.0f)};
    temperaments.SelectedKey = 2;
    StretchList stretches;
    stretches.entries.resize(1);
    stretches.entries[0].SetOffset(60, 5.0f);
    EXPECT_EQ(BuildNoteTable(stretches, temperaments, 441.0f),
              BuildNoteTable(stretches.entries[0], temperaments.entries[0], 2, 441.0f));
    // Indices that do not fit select the neutral records (and are kept).
    temperaments.SelectedIndex = 1;
    stretches.SelectedIndex = -3;
    EXPECT_EQ(BuildNoteTable(stretches, temperaments, 441.0f),
              BuildNoteTable(StretchTable(), Temperament(), 0, 441.0f));
    EXPECT_EQ(temperaments.SelectedIndex, 1);

    const NoteTable table = DefaultNoteTable();
    EXPECT_EQ(FindNoteBand(table, 12), &table[0]);
    EXPECT_EQ(FindNoteBand(table, 108), &table[96]);
    EXPECT_EQ(FindNoteBand(table, 11), nullptr);
    EXPECT_EQ(FindNoteBand(NoteTable(), 69), nullptr);
}

TEST(FrequencyToNote, NoteAndDeviationInsideAndBeyondTheRange) {
    const NoteTable table = DefaultNoteTable();
    const NoteTable sharpC = BuildNoteTable(StretchTable(), OneOffset(0, 10.0f), 0, 440.0f);
    struct Case {
        const NoteTable& table;
        float hz;
        NoteIndex note;
        float deviation;
        bool withinRange;
    };
    const Case cases[] = {
        {table, 440.0f, 69, 0.0f, true},
        {table, 16.35f, 12, -0.17f, true},  // a little below C0
        {table, FrequencyNear(69, 25.0), 69, 25.0f, true},
        {table, FrequencyNear(108, 40.0), 108, 40.0f, true},
        {table, FrequencyNear(12, -60.0), NoteIndexInvalid, -60.0f, false},
        {table, FrequencyNear(108, 60.0), NoteIndexInvalid, 60.0f, false},
        // 52 cents above B3 lies past the usual midpoint but short of the tempered
        // one (B3 and a C4 at +10 meet at -945).
        {sharpC, FrequencyNear(59, 52.0), 59, 52.0f, true},
        {sharpC, FrequencyNear(60, 0.0), 60, -10.0f, true},
    };
    for (const auto& c : cases) {
        const NoteLookup r = FrequencyToNote(c.table, c.hz);
        EXPECT_EQ(r.note, c.note) << c.hz;
        EXPECT_NEAR(r.deviation, c.deviation, 0.01f) << c.hz;
        EXPECT_EQ(r.withinRange, c.withinRange) << c.hz;
    }
    for (const float none : {0.0f, -1.0f, NAN, INFINITY})
        EXPECT_EQ(FrequencyToNote(table, none), NoteLookup()) << none;
    // Far outside: still the end bands' verdict, never a crash or a wrong note.
    EXPECT_FALSE(FrequencyToNote(table, 1.0f).withinRange);
    EXPECT_FALSE(FrequencyToNote(table, 1.0e30f).withinRange);
    EXPECT_EQ(FrequencyToNote(NoteTable(), 440.0f), NoteLookup());
}

TEST(FrequencyToNote, BoundaryBelongsToTheUpperBand) {
    // Pick a frequency whose pitch, as a float, lands exactly on a limit.
    NoteTable table = DefaultNoteTable();
    const float c = static_cast<float>(FrequencyToCents(450.0f));
    table[57].upper = table[58].lower = c;
    NoteLookup r = FrequencyToNote(table, 450.0f);
    EXPECT_EQ(r.note, 70);
    EXPECT_FLOAT_EQ(r.deviation, c - 100.0f);

    // Exactly on the lower limit of band 0 is still C0 (-50 is not beyond the range).
    const float low = static_cast<float>(FrequencyToCents(16.0f));
    table = DefaultNoteTable();
    table[0].lower = low;
    table[0].center = low + 50.0f;
    r = FrequencyToNote(table, 16.0f);
    EXPECT_EQ(r.note, 12);
    EXPECT_TRUE(r.withinRange);
}
