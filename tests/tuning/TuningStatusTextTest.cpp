#include <gtest/gtest.h>

#include "tuning/TuningStatusText.h"

namespace {

TemperamentList OneTemperament(const char* name, float offsetOnC, int key)
{
    TemperamentList list;
    list.entries.resize(1);
    list.entries[0].name = name;
    list.entries[0].SetOffset(0, offsetOnC);
    list.SelectedKey = key;
    return list;
}

StretchList OneStretch(const char* name, float offsetOnA4)
{
    StretchList list;
    list.entries.resize(1);
    list.entries[0].name = name;
    list.entries[0].SetOffset(69, offsetOnA4);
    return list;
}

} // namespace

TEST(TuningStatusText, DefaultsShowMiddleAOnly)
{
    EXPECT_EQ(TuningStatusText(440.0f, TemperamentList(), StretchList(), 0), "A4: 440.000");
    // All-zero records are not mentioned even when selected.
    EXPECT_EQ(TuningStatusText(440.0f, OneTemperament("Flat", 0.0f, 3), OneStretch("None", 0.0f), 0),
              "A4: 440.000");
}

TEST(TuningStatusText, AllPiecesInOrder)
{
    EXPECT_EQ(TuningStatusText(442.0f, OneTemperament("Werckmeister III", 5.9f, 3),
                               OneStretch("Upright", 2.5f), 10),
              "A4: 442.000, TMRP: Werckmeister III in Eb, STRCH: Upright, TRANS: +10");
    EXPECT_EQ(TuningStatusText(415.3f, TemperamentList(), StretchList(), 2), "A4: 415.300, TRANS: +2");
    EXPECT_EQ(TuningStatusText(440.0f, TemperamentList(), OneStretch("S", -1.0f), 0),
              "A4: 440.000, STRCH: S");
}

TEST(TuningStatusText, SelectionsAndKeyFallbacks)
{
    TemperamentList temperaments = OneTemperament("Meantone", -3.0f, 15);
    EXPECT_EQ(TuningStatusText(440.0f, temperaments, StretchList(), 0),
              "A4: 440.000, TMRP: Meantone in C");  // key outside 0..11 named as C
    temperaments.SelectedIndex = 1;
    EXPECT_EQ(TuningStatusText(440.0f, temperaments, StretchList(), 0), "A4: 440.000");

    StretchList stretches = OneStretch("S", 1.0f);
    stretches.SelectedIndex = -1;
    EXPECT_EQ(TuningStatusText(440.0f, TemperamentList(), stretches, 0), "A4: 440.000");
}

TEST(TuningStatusText, LongAndNonAsciiNamesAreKeptWhole)
{
    const std::string longName(500, 'x');
    const std::string text =
        TuningStatusText(440.0f, OneTemperament(longName.c_str(), 1.0f, 0),
                         OneStretch("Fl\xC3\xBCgel", 1.0f), 0);
    EXPECT_EQ(text, "A4: 440.000, TMRP: " + longName + " in C, STRCH: Fl\xC3\xBCgel");
}
