// The tuning-settings dialog worked through its controls: the two middle-A
// fields kept in step, the lists, what OK and Cancel hand back, and the list
// editors it is given.

#include <optional>

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "dialogs/AnalysisSettingsDialog.h"

using namespace DialogTest;
using Id = CAnalysisSettingsDialog;

namespace {

SettingsFiles WithLists(int temperaments, int stretches) {
    SettingsFiles s;
    s.config.MiddleA = 440.0f;
    s.temperaments.entries.resize(temperaments);
    for (int i = 0; i < temperaments; ++i)
        s.temperaments.entries[i].name = "Temperament " + std::to_string(i);
    s.stretches.entries.resize(stretches);
    return s;
}

wxString Text(wxWindow& d, int id) {
    return Control<wxTextCtrl>(d, id).GetValue();
}

}  // namespace

TEST(AnalysisSettingsDialog, TheTwoMiddleAFieldsFollowEachOtherOnlyWhileTyped) {
    const struct {
        int field;
        const char* typed;
        const char* hz;  // both fields after typing
        const char* cents;
        float middleA;  // after OK
    } cases[] = {
        {Id::HzFieldId, "442", "442", "7.851", 442.0f},
        {Id::CentsFieldId, "-100", "415.305", "-100", 415.305f},
        {Id::HzFieldId, "1000", "1000", "0.000", 440.0f},  // out of range: neither changes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CAnalysisSettingsDialog dialog(nullptr, WithLists(0, 0));
        const auto result = RunModal(dialog, [&] {
            EXPECT_EQ(dialog.GetId(), 191);
            EXPECT_EQ(dialog.GetTitle(), "Edit Tuning Settings");
            EXPECT_EQ(Text(dialog, Id::CentsFieldId), "0.000");
            EXPECT_TRUE(Type(Control<wxTextCtrl>(dialog, c.field), c.typed));
            EXPECT_EQ(Text(dialog, Id::HzFieldId), c.hz);
            EXPECT_EQ(Text(dialog, Id::CentsFieldId), c.cents);
            // Changed without the focus, a field leaves the other alone.
            const int other = c.field == Id::HzFieldId ? Id::CentsFieldId : Id::HzFieldId;
            Control<wxTextCtrl>(dialog, other).SetValue("12");
            EXPECT_EQ(Text(dialog, c.field), c.typed);
            Control<wxTextCtrl>(dialog, other).SetValue(c.field == Id::HzFieldId ? c.cents : c.hz);
            Click(dialog, wxID_OK);
        });
        ASSERT_TRUE(result);
        EXPECT_FLOAT_EQ(result->config.MiddleA, c.middleA);
    }
}

TEST(AnalysisSettingsDialog, ListsShowTheChoicesAndEmptyListsAreDisabled) {
    SettingsFiles settings = WithLists(3, 0);
    settings.temperaments.SelectedIndex = 1;
    settings.temperaments.SelectedKey = 3;
    settings.stretches.SelectedIndex = 2;
    settings.config.Pitch = 11;
    CAnalysisSettingsDialog dialog(nullptr, settings);
    EXPECT_EQ(Choice(dialog, Id::TemperamentListId).GetCount(), 3u);
    EXPECT_EQ(Choice(dialog, Id::TemperamentListId).GetStringSelection(), "Temperament 1");
    EXPECT_TRUE(Choice(dialog, Id::KeyListId).IsEnabled());
    EXPECT_EQ(Choice(dialog, Id::KeyListId).GetStringSelection(), "Eb");
    EXPECT_EQ(Choice(dialog, Id::TransposeListId).GetStringSelection(), "(+11) B");
    EXPECT_EQ(Choice(dialog, Id::StretchListId).GetCount(), 0u);
    EXPECT_FALSE(Choice(dialog, Id::StretchListId).IsEnabled());
    // Without editors the "Edit..." buttons do nothing, so they are off.
    EXPECT_FALSE(dialog.FindWindow(Id::EditTemperamentsId)->IsEnabled());
    EXPECT_FALSE(dialog.FindWindow(Id::EditStretchesId)->IsEnabled());
}

TEST(AnalysisSettingsDialog, OkTakesTheSelections) {
    CAnalysisSettingsDialog dialog(nullptr, WithLists(3, 2));
    const auto result = RunModal(dialog, [&] {
        Choice(dialog, Id::TemperamentListId).SetSelection(2);
        Choice(dialog, Id::KeyListId).SetSelection(7);
        Choice(dialog, Id::StretchListId).SetSelection(1);
        Choice(dialog, Id::TransposeListId).SetSelection(2);
        Click(dialog, wxID_OK);
    });
    ASSERT_TRUE(result);
    SettingsFiles expected = WithLists(3, 2);
    expected.temperaments.SelectedIndex = 2;
    expected.temperaments.SelectedKey = 7;
    expected.stretches.SelectedIndex = 1;
    expected.config.Pitch = 2;
    EXPECT_EQ(*result, expected);
}

TEST(AnalysisSettingsDialog, AListSavedInAnEditorStaysEvenWhenTheDialogIsCancelled) {
    TuningListEditors editors;
    int temperamentCalls = 0;
    editors.temperaments = [&](wxWindow* parent,
                               const TemperamentList& list) -> std::optional<TemperamentList> {
        ++temperamentCalls;
        EXPECT_NE(parent, nullptr);
        EXPECT_EQ(list.SelectedIndex, 1);  // the selection made in the dialog
        TemperamentList edited;
        edited.entries.resize(1);
        edited.entries[0].name = "Edited";
        edited.SelectedIndex = 0;
        return edited;
    };
    editors.stretches = [](wxWindow*, const StretchList&) -> std::optional<StretchList> {
        return std::nullopt;  // cancelled: nothing replaced
    };
    CAnalysisSettingsDialog dialog(nullptr, WithLists(3, 2), editors);
    const auto result = RunModal(dialog, [&] {
        Choice(dialog, Id::TemperamentListId).SetSelection(1);
        Choice(dialog, Id::TransposeListId).SetSelection(4);
        Click(dialog, Id::EditTemperamentsId);
        Click(dialog, Id::EditStretchesId);
        EXPECT_EQ(Choice(dialog, Id::TemperamentListId).GetStringSelection(), "Edited");
        EXPECT_EQ(Choice(dialog, Id::TemperamentListId).GetCount(), 1u);
        EXPECT_EQ(Choice(dialog, Id::StretchListId).GetCount(), 2u);
        Click(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(temperamentCalls, 1);
    SettingsFiles expected = WithLists(1, 2);  // the dialog's own choices are not kept
    expected.temperaments.entries[0].name = "Edited";
    expected.temperaments.SelectedIndex = 0;
    EXPECT_EQ(dialog.KeptOnCancel(), expected);
}
