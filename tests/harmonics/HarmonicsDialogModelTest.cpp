// The harmonics window's list items, captions, selection rule and status
// panes, without a window.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "harmonics/logic/HarmonicsDialogModel.h"

using namespace HarmonicsDialog;

TEST(HarmonicsLists, HarmonicListIsNoneThenOneToSixtyFour) {
    const std::vector<ListItem> items = HarmonicItems();
    ASSERT_EQ(items.size(), 65u);
    EXPECT_EQ(items.front(), (ListItem{"None", -1}));
    for (int i = 1; i <= 64; ++i) EXPECT_EQ(items[i], (ListItem{std::to_string(i), i}));
}

TEST(HarmonicsLists, ReferenceOptionsAreTheEightRulesThenEveryManualNoteUnderTheTransposition) {
    const std::vector<ListItem> items = ReferenceOptionItems(0);
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
    EXPECT_EQ(items[8 + 57], (ListItem{"Manual: A4", 57}));
    // Transposed two half steps, A4 reads as G4; the data stays the note's.
    EXPECT_EQ(ReferenceOptionItems(2)[8 + 57], (ListItem{"Manual: G4", 57}));
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
    const HarmonicsState user{.currentNote = 60,
                              .alwaysStore = false,
                              .currentHarmonic = 5,
                              .referenceOption = 40,
                              .referenceHarmonic = 2,
                              .pitchSpan = 30.0f,
                              .timeSpan = 2.0f};
    // Made from the settings before the change was taken.
    HarmonicsState fromMain{.currentNote = 62, .referenceNote = 61, .currentHistory = &current};
    KeepUserSelections(fromMain, user);
    const auto fields = [](const HarmonicsState& s) {
        return std::tuple(s.currentNote, s.alwaysStore, s.currentHarmonic, s.referenceNote, s.referenceOption,
                          s.referenceHarmonic, s.pitchSpan, s.timeSpan, s.currentHistory);
    };
    HarmonicsState expected = user;
    std::tie(expected.currentNote, expected.referenceNote, expected.currentHistory) =
        std::tuple(62, 61, &current);
    EXPECT_EQ(fields(fromMain), fields(expected));
}
