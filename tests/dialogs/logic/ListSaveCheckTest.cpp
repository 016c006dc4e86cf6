// The warning before saving a list the files would not give back whole.

#include <string>

#include <gtest/gtest.h>

#include "dialogs/logic/ListSaveCheck.h"
#include "persistence/ListFiles.h"
#include "persistence/XmlReader.h"

TEST(ListSaveCheck, OrdinaryListsSaveWithoutAWarning) {
    PresetList presets;
    presets.entries = {{"Guitar & \"bass\"", ParseNoteList("E2,A2,D3,G3,B3,E4")}, {"", {}}};
    presets.SelectedIndex = 7;  // stale selections are kept as they are
    TemperamentList temperaments;
    temperaments.entries.resize(3);
    temperaments.entries[1].SetOffset(4, -13.7f);
    StretchList stretches;
    stretches.entries.resize(2);
    stretches.entries[0].SetOffset(69, 2.5f);
    EXPECT_EQ(ListSaveWarning(presets) + ListSaveWarning(temperaments) + ListSaveWarning(stretches), "");
    presets.entries.resize(MaxListEntries);
    EXPECT_EQ(ListSaveWarning(presets), "");
}

TEST(ListSaveCheck, WhatTheReaderWouldCutShortIsReported) {
    PresetList presets;
    presets.entries.resize(MaxListEntries + 1);
    const std::string warning = ListSaveWarning(presets);
    EXPECT_NE(warning.find("1001 entries"), std::string::npos) << warning;
    EXPECT_NE(warning.find("first 1000"), std::string::npos) << warning;

    // Under the entry limit, but 97 offsets a table make the file too large.
    StretchList stretches;
    stretches.entries.resize(400);
    ASSERT_GT(StretchDocumentText(stretches).size(), XmlMaxDocumentBytes);
    EXPECT_NE(ListSaveWarning(stretches).find("bytes"), std::string::npos);

    TemperamentList temperaments;
    temperaments.entries.resize(1);
    temperaments.entries[0].name = std::string(XmlMaxTextBytes + 10, 'x');
    EXPECT_NE(ListSaveWarning(temperaments), "");
}
