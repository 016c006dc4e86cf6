// The tuning-settings dialog worked through its controls: the two middle-A
// fields kept in step, the lists and their enable rules, what OK and Cancel
// hand back, and the list editors it is given.

#include <optional>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "DialogTestSupport.h"
#include "dialogs/AnalysisSettingsDialog.h"

using namespace DialogTest;
using Id = CAnalysisSettingsDialog;

namespace {

SettingsFiles WithLists(int temperaments, int stretches) {
    SettingsFiles s;
    s.config.MiddleA = 440.0f;
    for (int i = 0; i < temperaments; ++i) {
        Temperament t;
        t.name = "Temperament " + std::to_string(i);
        t.SetOffset(1, 5.0f * static_cast<float>(i + 1));
        s.temperaments.entries.push_back(t);
    }
    for (int i = 0; i < stretches; ++i) {
        StretchTable t;
        t.name = "Stretch " + std::to_string(i);
        s.stretches.entries.push_back(t);
    }
    return s;
}

wxString Text(wxWindow& d, int id) {
    return Control<wxTextCtrl>(d, id).GetValue();
}

}  // namespace

TEST(AnalysisSettingsDialog, TheTwoMiddleAFieldsFollowEachOtherInsideTheirRanges) {
    const struct {
        const char* what;
        int field;
        const char* typed;
        const char* hz;  // both fields after typing
        const char* cents;
        float middleA;  // after OK
    } cases[] = {
        {"442 Hz", Id::HzFieldId, "442", "442", "7.851", 442.0f},
        {"-100 cents", Id::CentsFieldId, "-100", "415.305", "-100", 415.305f},
        {"1000 Hz", Id::HzFieldId, "1000", "1000", "0.000", 440.0f},
        {"2000 cents", Id::CentsFieldId, "2000", "440.000", "2000", 440.0f},
        {"German decimal comma", Id::HzFieldId, "442,5", "442,5", "7.851", 442.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CAnalysisSettingsDialog dialog(nullptr, WithLists(0, 0));
        const auto result = RunModal(dialog, [&] {
            EXPECT_EQ(dialog.GetId(), 191);
            EXPECT_EQ(dialog.GetTitle(), "Edit Tuning Settings");
            EXPECT_EQ(Text(dialog, Id::HzFieldId), "440.000");
            EXPECT_EQ(Text(dialog, Id::CentsFieldId), "0.000");
            EXPECT_TRUE(Type(Control<wxTextCtrl>(dialog, c.field), c.typed));
            EXPECT_EQ(Text(dialog, Id::HzFieldId), c.hz);
            EXPECT_EQ(Text(dialog, Id::CentsFieldId), c.cents);
            Click(dialog, wxID_OK);
        });
        ASSERT_TRUE(result);
        EXPECT_FLOAT_EQ(result->config.MiddleA, c.middleA);
    }
}

TEST(AnalysisSettingsDialog, AFieldChangedWithoutTheFocusLeavesTheOtherAlone) {
    CAnalysisSettingsDialog dialog(nullptr, WithLists(0, 0));
    RunModal(dialog, [&] {
        auto& hz = Control<wxTextCtrl>(dialog, Id::HzFieldId);
        ASSERT_TRUE(Type(Control<wxTextCtrl>(dialog, Id::CentsFieldId), "10"));
        EXPECT_EQ(hz.GetValue(), "442.549");
        hz.SetValue("450");  // not typed by the user: the cents field has the focus
        EXPECT_EQ(Text(dialog, Id::CentsFieldId), "10");
        Click(dialog, wxID_CANCEL);
    });
}

TEST(AnalysisSettingsDialog, ListsShowTheChoicesAndEmptyListsAreDisabled) {
    const struct {
        int temperaments;
        int stretches;
    } cases[] = {{0, 0}, {2, 0}, {0, 3}, {2, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.temperaments << " temperaments, " << c.stretches << " stretches");
        SettingsFiles settings = WithLists(c.temperaments, c.stretches);
        settings.temperaments.SelectedIndex = 1;
        settings.temperaments.SelectedKey = 3;
        settings.stretches.SelectedIndex = 2;
        settings.config.Pitch = 11;
        CAnalysisSettingsDialog dialog(nullptr, settings);
        auto& temperaments = Control<wxChoice>(dialog, Id::TemperamentListId);
        auto& keys = Control<wxChoice>(dialog, Id::KeyListId);
        auto& stretches = Control<wxChoice>(dialog, Id::StretchListId);
        auto& transpose = Control<wxChoice>(dialog, Id::TransposeListId);
        EXPECT_EQ(temperaments.GetCount(), static_cast<unsigned>(c.temperaments));
        EXPECT_EQ(stretches.GetCount(), static_cast<unsigned>(c.stretches));
        EXPECT_EQ(temperaments.IsEnabled(), c.temperaments > 0);
        EXPECT_EQ(keys.IsEnabled(), c.temperaments > 0);
        EXPECT_EQ(stretches.IsEnabled(), c.stretches > 0);
        EXPECT_EQ(temperaments.GetSelection(), c.temperaments > 1 ? 1 : wxNOT_FOUND);
        EXPECT_EQ(stretches.GetSelection(), c.stretches > 2 ? 2 : wxNOT_FOUND);
        EXPECT_EQ(keys.GetStringSelection(), "Eb");
        EXPECT_EQ(transpose.GetCount(), 12u);
        EXPECT_EQ(transpose.GetStringSelection(), "(+11) B");
        // Without editors the "Edit..." buttons do nothing, so they are off.
        EXPECT_FALSE(dialog.FindWindow(Id::EditTemperamentsId)->IsEnabled());
        EXPECT_FALSE(dialog.FindWindow(Id::EditStretchesId)->IsEnabled());
    }
}

TEST(AnalysisSettingsDialog, OkTakesTheSelectionsAndCancelNothing) {
    for (const int button : {wxID_OK, wxID_CANCEL}) {
        SCOPED_TRACE(button);
        CAnalysisSettingsDialog dialog(nullptr, WithLists(3, 2));
        const auto result = RunModal(dialog, [&] {
            Control<wxChoice>(dialog, Id::TemperamentListId).SetSelection(2);
            Control<wxChoice>(dialog, Id::KeyListId).SetSelection(7);
            Control<wxChoice>(dialog, Id::StretchListId).SetSelection(1);
            Control<wxChoice>(dialog, Id::TransposeListId).SetSelection(2);
            Click(dialog, button);
        });
        ASSERT_EQ(result.has_value(), button == wxID_OK);
        if (!result) {
            EXPECT_EQ(dialog.KeptOnCancel(), WithLists(3, 2));
            continue;
        }
        EXPECT_EQ(result->temperaments.SelectedIndex, 2);
        EXPECT_EQ(result->temperaments.SelectedKey, 7);
        EXPECT_EQ(result->stretches.SelectedIndex, 1);
        EXPECT_EQ(result->config.Pitch, 2);
        EXPECT_EQ(result->temperaments.entries, WithLists(3, 2).temperaments.entries);
    }
}

TEST(AnalysisSettingsDialog, AListSavedInAnEditorStaysEvenWhenTheDialogIsCancelled) {
    TuningListEditors editors;
    int temperamentCalls = 0;
    editors.temperaments = [&](wxWindow* parent,
                               const TemperamentList& list) -> std::optional<TemperamentList> {
        ++temperamentCalls;
        EXPECT_NE(parent, nullptr);
        EXPECT_EQ(list.SelectedIndex, 1);  // the selection made in the dialog
        TemperamentList edited = list;
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
        auto& temperaments = Control<wxChoice>(dialog, Id::TemperamentListId);
        temperaments.SetSelection(1);
        Control<wxChoice>(dialog, Id::TransposeListId).SetSelection(4);
        Click(dialog, Id::EditTemperamentsId);
        Click(dialog, Id::EditStretchesId);
        EXPECT_EQ(temperaments.GetCount(), 1u);
        EXPECT_EQ(temperaments.GetString(0), "Edited");
        EXPECT_EQ(temperaments.GetSelection(), 0);
        EXPECT_EQ(Control<wxChoice>(dialog, Id::StretchListId).GetCount(), 2u);
        Click(dialog, wxID_CANCEL);
    });
    EXPECT_FALSE(result);
    EXPECT_EQ(temperamentCalls, 1);
    const SettingsFiles& kept = dialog.KeptOnCancel();
    ASSERT_EQ(kept.temperaments.entries.size(), 1u);
    EXPECT_EQ(kept.temperaments.entries[0].name, "Edited");
    EXPECT_EQ(kept.temperaments.SelectedIndex, 0);
    EXPECT_EQ(kept.config.Pitch, 0);  // the dialog's own choices are not kept
    EXPECT_EQ(kept.stretches, WithLists(3, 2).stretches);
}

TEST(AnalysisSettingsDialog, EnterInAFieldIsOkAndEscapeIsCancel) {
    const struct {
        int key;
        bool handedBack;
    } cases[] = {{WXK_RETURN, true}, {WXK_ESCAPE, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        CAnalysisSettingsDialog dialog(nullptr, WithLists(0, 0));
        const auto result = RunModal(dialog, [&] {
            auto& hz = Control<wxTextCtrl>(dialog, Id::HzFieldId);
            ASSERT_TRUE(Type(hz, "441"));
            wxUIActionSimulator keys;
            // Without a window manager the keyboard follows the pointer.
            keys.MouseMove(hz.GetScreenRect().GetPosition() + wxPoint(5, 5));
            PumpFor(std::chrono::milliseconds(100));
            keys.Char(c.key);
            // The dialog ends by itself; should it not, the test ends it
            // after a while so that the failure shows.
            if (!PumpUntil([&] { return !dialog.IsModal(); }, std::chrono::milliseconds(2000)))
                dialog.EndModal(wxID_ABORT);
        });
        ASSERT_EQ(result.has_value(), c.handedBack);
        if (result) {
            EXPECT_EQ(result->config.MiddleA, 441.0f);
        }
    }
}
