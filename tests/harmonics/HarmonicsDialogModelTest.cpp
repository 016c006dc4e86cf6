// The harmonics window's list items, captions, selection rule and status
// panes, without a window.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "harmonics/logic/HarmonicsDialogModel.h"
#include "tuning/NoteNames.h"

using namespace HarmonicsDialog;

TEST(HarmonicsLists, HarmonicListIsNoneThenOneToSixtyFour) {
    const std::vector<ListItem> items = HarmonicItems();
    ASSERT_EQ(items.size(), 65u);
    EXPECT_EQ(items.front(), (ListItem{"None", -1}));
    for (int i = 1; i <= 64; ++i) EXPECT_EQ(items[i], (ListItem{std::to_string(i), i}));
}

TEST(HarmonicsLists, ReferenceOptionsAreTheEightRulesThenEveryManualNoteUnderTheTransposition) {
    for (int transpose : {0, 2, 11}) {
        const std::vector<ListItem> items = ReferenceOptionItems(transpose);
        ASSERT_EQ(items.size(), 8u + 97u);
        EXPECT_EQ(std::vector<ListItem>(items.begin(), items.begin() + 8),
                  (std::vector<ListItem>{{"No reference", 1001},
                                         {"Previous Note", 1002},
                                         {"Octave above", 1003},
                                         {"Octave below", 1004},
                                         {"Fifth above", 1005},
                                         {"Fifth below", 1006},
                                         {"Third above", 1007},
                                         {"Third below", 1008}}));
        for (int data = 0; data <= 96; ++data)
            EXPECT_EQ(items[static_cast<std::size_t>(8 + data)],
                      (ListItem{"Manual: " + FormatNoteName(12 + data, transpose), data}))
                << transpose;
    }
    EXPECT_EQ(ReferenceOptionItems(0)[8 + 57].text, "Manual: A4");
    EXPECT_NE(ReferenceOptionItems(2)[8 + 57].text, ReferenceOptionItems(0)[8 + 57].text);
}

TEST(HarmonicsLists, SavedOptionsSelectTheItemCarryingThem) {
    const std::vector<ListItem> items = ReferenceOptionItems(0);
    // A saved 0..96 selects the manual note 12 + value.
    for (const auto& [saved, text] : std::vector<std::pair<int, std::string>>{
             {0, "Manual: C0"}, {96, "Manual: C8"}, {1002, "Previous Note"}, {1008, "Third below"}}) {
        const int index = IndexOfData(items, saved);
        ASSERT_GE(index, 0) << saved;
        EXPECT_EQ(items[static_cast<std::size_t>(index)].text, text) << saved;
    }
    for (int unknown : {-1, 97, 1000, 1009}) EXPECT_EQ(IndexOfData(items, unknown), -1) << unknown;
}

TEST(HarmonicsCaptions, CarryTheNoteNameOrNothing) {
    EXPECT_EQ(CurrentNoteCaption(40, 0), "Current Note: E2");
    EXPECT_EQ(ReferenceNoteCaption(52, 0), "Reference Note: E3");
    EXPECT_EQ(CurrentNoteCaption(NoteIndexInvalid, 0), "Current Note:");
    EXPECT_EQ(ReferenceNoteCaption(NoteIndexInvalid, 3), "Reference Note:");
    EXPECT_EQ(ReferenceNoteCaption(109, 0), "Reference Note:");
}

TEST(HarmonicsSelections, ReportAChangeOnlyWhenAListMoved) {
    HarmonicsState state;
    state.currentHarmonic = 3;
    state.referenceHarmonic = -1;
    state.referenceOption = 1002;
    struct Case {
        const char* name;
        ListSelections selections;
        bool changed;
    };
    for (const Case& c : std::vector<Case>{{"same", {3, -1, 1002}, false},
                                           {"current", {4, -1, 1002}, true},
                                           {"reference", {3, 7, 1002}, true},
                                           {"option", {3, -1, 0}, true}}) {
        HarmonicsState s = state;
        EXPECT_EQ(TakeListSelections(s, c.selections), c.changed) << c.name;
        EXPECT_EQ(s.currentHarmonic, c.selections.currentHarmonic) << c.name;
        EXPECT_EQ(s.referenceHarmonic, c.selections.referenceHarmonic) << c.name;
        EXPECT_EQ(s.referenceOption, c.selections.referenceOption) << c.name;
    }
}

TEST(HarmonicsStatusPanes, OnlyChangedPanesAreRewritten) {
    StatusPanes panes;
    // Nothing shown yet and nothing to show: nothing to write.
    EXPECT_TRUE(panes.Update({"", "", ""}).empty());
    EXPECT_EQ(panes.Update({"2nd harmonic of current note", "1.50 s", "-12.0 dB"}),
              (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(panes.Text(0), "2nd harmonic of current note");
    // The mouse moved along the same line: only the time changed.
    EXPECT_EQ(panes.Update({"2nd harmonic of current note", "1.60 s", "-12.0 dB"}), (std::vector<int>{1}));
    EXPECT_TRUE(panes.Update({"2nd harmonic of current note", "1.60 s", "-12.0 dB"}).empty());
    // Leaving clears what was shown.
    EXPECT_EQ(panes.Update({"", "", ""}), (std::vector<int>{0, 1, 2}));
    // The two spare panes stay empty throughout.
    EXPECT_EQ(panes.Text(3), "");
    EXPECT_EQ(panes.Text(4), "");
}

TEST(HarmonicsSelections, ANotificationKeepsWhatTheUserChoseButTakesTheNotes) {
    HarmonicHistory current;
    HarmonicsState user;
    user.currentNote = 60;
    user.alwaysStore = false;
    user.currentHarmonic = 5;
    user.referenceHarmonic = 2;
    user.referenceOption = 40;
    user.pitchSpan = 30.0f;
    user.timeSpan = 2.0f;
    HarmonicsState fromMain;  // made from the settings before the change was taken
    fromMain.currentNote = 62;
    fromMain.referenceNote = 61;
    fromMain.currentHistory = &current;
    HarmonicsState expected = user;
    expected.currentNote = 62;
    expected.referenceNote = 61;
    expected.currentHistory = &current;
    KeepUserSelections(fromMain, user);
    EXPECT_EQ(std::tie(fromMain.alwaysStore, fromMain.currentHarmonic, fromMain.referenceHarmonic,
                       fromMain.referenceOption, fromMain.pitchSpan, fromMain.timeSpan, fromMain.currentNote,
                       fromMain.referenceNote, fromMain.currentHistory),
              std::tie(expected.alwaysStore, expected.currentHarmonic, expected.referenceHarmonic,
                       expected.referenceOption, expected.pitchSpan, expected.timeSpan, expected.currentNote,
                       expected.referenceNote, expected.currentHistory));
}
