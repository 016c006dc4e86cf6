// A dialog built on the base the way the settings dialogs are: a copy of the
// settings bound to its controls by validators, the caller's control ids, OK
// and Cancel.

#include <functional>
#include <optional>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/valgen.h>
#include <wx/valnum.h>

#include "DialogTestSupport.h"
#include "dialogs/DialogBase.h"
#include "persistence/SettingsFiles.h"

using namespace DialogTest;

namespace {

enum ControlId { MiddleAId = 1092, SmoothId = 1200 };

class TestSettingsDialog : public CValueDialog<SettingsFiles> {
public:
    explicit TestSettingsDialog(const SettingsFiles& settings)
        : CValueDialog(nullptr, 191, "Edit Tuning Settings", settings) {
        wxStaticBoxSizer* middleA = AddGroup("Middle A Frequency");
        middleA->Add(new wxTextCtrl(middleA->GetStaticBox(), MiddleAId, wxEmptyString, wxDefaultPosition,
                                    wxSize(FromDIP(80), -1), 0,
                                    wxFloatingPointValidator<float>(3, &Edited().config.MiddleA)));
        Content()->Add(new wxCheckBox(this, SmoothId, "Pixel Smoothing", wxDefaultPosition, wxDefaultSize, 0,
                                      wxGenericValidator(&Edited().config.Smooth)));
        FinishLayout();
    }
};

}  // namespace

TEST(ValueDialog, ShowsTheCopyAndOnlyOkHandsItBackEdited) {
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
    settings.config.MiddleA = 441.0f;
    settings.config.NoiseFloor = -42.0f;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestSettingsDialog dialog(settings);
        const std::optional<SettingsFiles> result = RunModal(dialog, [&] {
            EXPECT_EQ(dialog.GetId(), 191);
            EXPECT_EQ(Control<wxTextCtrl>(dialog, MiddleAId).GetValue(), "441.000");
            EXPECT_TRUE(Control<wxCheckBox>(dialog, SmoothId).GetValue());
            Control<wxTextCtrl>(dialog, MiddleAId).ChangeValue("442.5");
            Control<wxCheckBox>(dialog, SmoothId).SetValue(false);
            c.end(dialog);
        });
        ASSERT_EQ(result.has_value(), c.handedBack);
        if (!result) continue;
        SettingsFiles expected = settings;  // fields without a control come back as they were
        expected.config.MiddleA = 442.5f;
        expected.config.Smooth = false;
        EXPECT_EQ(*result, expected);
    }
}
