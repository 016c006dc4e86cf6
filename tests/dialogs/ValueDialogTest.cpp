// A dialog built on the base, the way the settings dialogs are: a copy of
// the settings bound to its controls by validators, the caller's control ids,
// OK and Cancel. Each case opens it modally, acts inside its modal loop and
// looks at what Edit() hands back.

#include <functional>
#include <optional>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/valnum.h>

#include "dialogs/DialogBase.h"
#include "dialogs/ModalDialogTracker.h"
#include "persistence/SettingsFiles.h"

namespace {

enum ControlId { MiddleAId = 1092, TransposeId = 1061, SmoothId = 1200 };

class TestSettingsDialog : public CValueDialog<SettingsFiles> {
public:
    TestSettingsDialog(wxWindow* parent, const SettingsFiles& settings)
        : CValueDialog(parent, 191, "Edit Tuning Settings", settings) {
        wxStaticBoxSizer* middleA = AddGroup("Middle A Frequency", wxHORIZONTAL);
        middleA->Add(new wxTextCtrl(middleA->GetStaticBox(), MiddleAId, wxEmptyString, wxDefaultPosition,
                                    wxSize(FromDIP(80), -1), 0,
                                    wxFloatingPointValidator<float>(3, &Edited().config.MiddleA)));
        wxStaticBoxSizer* transpose = AddGroup("Transpose");
        const wxString names[] = {"(+0) C", "(+1) C#", "(+2) D"};
        transpose->Add(new wxChoice(transpose->GetStaticBox(), TransposeId, wxDefaultPosition, wxDefaultSize,
                                    3, names, 0, wxGenericValidator(&Edited().config.Pitch)),
                       wxSizerFlags().Expand());
        Content()->Add(new wxCheckBox(this, SmoothId, "Pixel Smoothing", wxDefaultPosition, wxDefaultSize, 0,
                                      wxGenericValidator(&Edited().config.Smooth)),
                       wxSizerFlags().Border(wxTOP, Gap()));
        FinishLayout();
    }
};

template <class T>
T* Find(wxWindow* dialog, int id) {
    return dynamic_cast<T*>(dialog->FindWindow(id));
}

// Opens the dialog modally and runs `act` inside its loop, once it shows.
std::optional<SettingsFiles> RunDialog(const SettingsFiles& settings,
                                       const std::function<void(wxDialog&)>& act) {
    TestSettingsDialog dialog(nullptr, settings);
    dialog.CallAfter([&dialog, &act] { act(dialog); });
    return dialog.Edit();
}

void Click(wxDialog& dialog, int id) {
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(dialog.FindWindow(id));
    dialog.FindWindow(id)->GetEventHandler()->ProcessEvent(click);
}

void EditControls(wxDialog& dialog) {
    Find<wxTextCtrl>(&dialog, MiddleAId)->ChangeValue("442.5");
    Find<wxChoice>(&dialog, TransposeId)->SetSelection(2);
    Find<wxCheckBox>(&dialog, SmoothId)->SetValue(false);
}

}  // namespace

TEST(ValueDialog, ControlsShowTheCopyWithTheCallersIds) {
    SettingsFiles settings;
    settings.config.MiddleA = 441.0f;
    settings.config.Pitch = 1;
    RunDialog(settings, [](wxDialog& dialog) {
        EXPECT_EQ(dialog.GetId(), 191);
        ASSERT_NE(Find<wxTextCtrl>(&dialog, MiddleAId), nullptr);
        EXPECT_EQ(Find<wxTextCtrl>(&dialog, MiddleAId)->GetValue(), "441.000");
        EXPECT_EQ(Find<wxChoice>(&dialog, TransposeId)->GetSelection(), 1);
        EXPECT_TRUE(Find<wxCheckBox>(&dialog, SmoothId)->GetValue());
        // The standard buttons, and every control inside the dialog.
        ASSERT_NE(Find<wxButton>(&dialog, wxID_OK), nullptr);
        ASSERT_NE(Find<wxButton>(&dialog, wxID_CANCEL), nullptr);
        const wxRect client(dialog.GetClientSize());
        for (int id : {int(MiddleAId), int(TransposeId), int(SmoothId), int(wxID_OK), int(wxID_CANCEL)}) {
            wxWindow* control = dialog.FindWindow(id);
            const wxRect r(
                control->GetScreenPosition() - dialog.GetClientAreaOrigin() - dialog.GetScreenPosition(),
                control->GetSize());
            EXPECT_TRUE(client.Contains(r)) << id;
        }
        dialog.EndModal(wxID_CANCEL);
    });
}

TEST(ValueDialog, OkHandsBackTheEditedCopyAndEverythingElseNothing) {
    const struct {
        const char* what;
        std::function<void(wxDialog&)> end;
        bool handedBack;
    } cases[] = {
        {"OK", [](wxDialog& d) { Click(d, wxID_OK); }, true},
        {"Cancel", [](wxDialog& d) { Click(d, wxID_CANCEL); }, false},
        {"the close box", [](wxDialog& d) { d.Close(); }, false},
    };
    SettingsFiles settings;
    settings.config.NoiseFloor = -42.0f;
    settings.presets.SelectedIndex = 3;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<SettingsFiles> result = RunDialog(settings, [&](wxDialog& dialog) {
            EditControls(dialog);
            c.end(dialog);
        });
        ASSERT_EQ(result.has_value(), c.handedBack);
        if (!result) continue;
        SettingsFiles expected = settings;  // untouched fields come back as they were
        expected.config.MiddleA = 442.5f;
        expected.config.Pitch = 2;
        expected.config.Smooth = false;
        EXPECT_EQ(*result, expected);
    }
}

TEST(ModalDialogTracker, EndsNestedDialogsInnermostFirst) {
    ModalDialogTracker tracker;
    std::vector<std::size_t> openAtExit;
    tracker.SetExitCallback([&] {
        openAtExit.push_back(tracker.OpenCount());
        // What a window does on a close request: end the next one.
        tracker.EndInnermost(wxID_CANCEL);
    });
    int innerResult = 0;
    const std::optional<SettingsFiles> outer = RunDialog(SettingsFiles{}, [&](wxDialog& outerDialog) {
        EXPECT_EQ(tracker.OpenCount(), 1u);
        innerResult = [&] {
            TestSettingsDialog inner(&outerDialog, SettingsFiles{});
            inner.CallAfter([&] {
                EXPECT_EQ(tracker.OpenCount(), 2u);
                EXPECT_TRUE(tracker.EndInnermost(wxID_CANCEL));
            });
            return inner.ShowModal();
        }();
    });
    EXPECT_EQ(innerResult, wxID_CANCEL);
    EXPECT_FALSE(outer.has_value());
    EXPECT_EQ(openAtExit, (std::vector<std::size_t>{1, 0}));
    EXPECT_FALSE(tracker.HasOpenDialogs());
    EXPECT_FALSE(tracker.EndInnermost(wxID_CANCEL));
}
