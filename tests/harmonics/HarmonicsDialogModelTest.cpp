// The harmonics window's list items, captions, selection rule and status
// panes, without a window.

#include <gtest/gtest.h>

#include "harmonics/logic/HarmonicsDialogModel.h"
#include "tuning/NoteNames.h"

using namespace HarmonicsDialog;

TEST(HarmonicsLists, HarmonicListIsNoneThenOneToSixtyFour) {
    const std::vector<ListItem> items = HarmonicItems();
    ASSERT_EQ(items.size(), 65u);
    EXPECT_EQ(items.front(), (ListItem{"None", -1}));
    EXPECT_EQ(items[1], (ListItem{"1", 1}));
    EXPECT_EQ(items[12], (ListItem{"12", 12}));
    EXPECT_EQ(items.back(), (ListItem{"64", 64}));
}

TEST(HarmonicsLists, ReferenceOptionsAreTheEightRulesThenEveryManualNote) {
    const std::vector<ListItem> items = ReferenceOptionItems(0);
    ASSERT_EQ(items.size(), 8u + 97u);
    const std::vector<ListItem> fixed(items.begin(), items.begin() + 8);
    EXPECT_EQ(fixed, (std::vector<ListItem>{{"No reference", 1001},
                                            {"Previous Note", 1002},
                                            {"Octave above", 1003},
                                            {"Octave below", 1004},
                                            {"Fifth above", 1005},
                                            {"Fifth below", 1006},
                                            {"Third above", 1007},
                                            {"Third below", 1008}}));
    EXPECT_EQ(items[8], (ListItem{"Manual: C0", 0}));
    EXPECT_EQ(items[8 + 57], (ListItem{"Manual: A4", 57}));
    EXPECT_EQ(items.back(), (ListItem{"Manual: C8", 96}));
}

TEST(HarmonicsLists, ManualNotesAreNamedUnderTheTransposition) {
    for (int transpose : {0, 2, 11}) {
        const std::vector<ListItem> items = ReferenceOptionItems(transpose);
        for (int data = 0; data <= 96; ++data) {
            const ListItem& item = items[static_cast<std::size_t>(8 + data)];
            EXPECT_EQ(item.text, "Manual: " + FormatNoteName(12 + data, transpose)) << transpose;
            EXPECT_EQ(item.data, data);
        }
    }
    // The names differ between transpositions; the data do not.
    EXPECT_NE(ReferenceOptionItems(2)[8 + 57].text, ReferenceOptionItems(0)[8 + 57].text);
}

TEST(HarmonicsLists, SavedOptionsSelectTheItemCarryingThem) {
    const std::vector<ListItem> items = ReferenceOptionItems(0);
    // A saved 0..96 selects the manual note 12 + value.
    struct Case {
        int saved;
        std::string text;
    };
    for (const Case& c : std::vector<Case>{{0, "Manual: C0"},
                                           {48, "Manual: C4"},
                                           {96, "Manual: C8"},
                                           {1002, "Previous Note"},
                                           {1008, "Third below"}}) {
        const int index = IndexOfData(items, c.saved);
        ASSERT_GE(index, 0) << c.saved;
        EXPECT_EQ(items[static_cast<std::size_t>(index)].text, c.text) << c.saved;
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
    KeepUserSelections(fromMain, user);
    EXPECT_FALSE(fromMain.alwaysStore);
    EXPECT_EQ(fromMain.currentHarmonic, 5);
    EXPECT_EQ(fromMain.referenceHarmonic, 2);
    EXPECT_EQ(fromMain.referenceOption, 40);
    EXPECT_EQ(fromMain.pitchSpan, 30.0f);
    EXPECT_EQ(fromMain.timeSpan, 2.0f);
    EXPECT_EQ(fromMain.currentNote, 62);
    EXPECT_EQ(fromMain.referenceNote, 61);
    EXPECT_EQ(fromMain.currentHistory, &current);
}
