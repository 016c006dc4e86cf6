#include <gtest/gtest.h>

#include <string>

#include "app/logic/TuningStatusText.h"

namespace {

TemperamentList OneTemperament(const std::string& name, float offsetOnC, int key, int selected = 0) {
    TemperamentList list;
    list.entries.resize(1);
    list.entries[0].name = name;
    list.entries[0].SetOffset(0, offsetOnC);
    list.SelectedKey = key;
    list.SelectedIndex = selected;
    return list;
}

StretchList OneStretch(const std::string& name, float offsetOnA4, int selected = 0) {
    StretchList list;
    list.entries.resize(1);
    list.entries[0].name = name;
    list.entries[0].SetOffset(69, offsetOnA4);
    list.SelectedIndex = selected;
    return list;
}

}  // namespace

TEST(TuningStatusText, PiecesInOrderOnlyWhenTheyChangeSomething) {
    const std::string longName(500, 'x');
    struct Case {
        float middleA;
        TemperamentList temperaments;
        StretchList stretches;
        int transpose;
        std::string expected;
    };
    const Case cases[] = {
        {440.0f, {}, {}, 0, "A4: 440.000"},
        // All-zero records are not mentioned even when selected.
        {440.0f, OneTemperament("Flat", 0.0f, 3), OneStretch("None", 0.0f), 0, "A4: 440.000"},
        {442.0f, OneTemperament("Werckmeister III", 5.9f, 3), OneStretch("Upright", 2.5f), 10,
         "A4: 442.000, TMRP: Werckmeister III in Eb, STRCH: Upright, TRANS: +10"},
        {415.3f, {}, {}, 2, "A4: 415.300, TRANS: +2"},
        {440.0f, {}, OneStretch("S", -1.0f), 0, "A4: 440.000, STRCH: S"},
        // A key outside 0..11 is named as C; selections outside the lists name nothing.
        {440.0f, OneTemperament("Meantone", -3.0f, 15), {}, 0, "A4: 440.000, TMRP: Meantone in C"},
        {440.0f, OneTemperament("Meantone", -3.0f, 0, 1), OneStretch("S", 1.0f, -1), 0, "A4: 440.000"},
        // Long and non-ASCII names are kept whole.
        {440.0f, OneTemperament(longName, 1.0f, 0), OneStretch("Fl\xC3\xBCgel", 1.0f), 0,
         "A4: 440.000, TMRP: " + longName + " in C, STRCH: Fl\xC3\xBCgel"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TuningStatusText(c.middleA, c.temperaments, c.stretches, c.transpose), c.expected);
}
