// The tuning-settings (Ctrl+T) and recording-device (Ctrl+D) commands: each
// opens its dialog over the running window, and what the dialog ends with
// reaches the reading, the status bar and the capture.

#include <cmath>

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "dialogs/AnalysisSettingsDialog.h"
#include "dialogs/RecordingDeviceDialog.h"
#include "dialogs/logic/RecordingDeviceRules.h"
#include "indicators/FineIndicator.h"
#include "persistence/NumberText.h"
#include "tuning/NoteTable.h"
#include "units/Units.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

// Runs `act` on the dialog `dialogId` once it is open (modal); tries for
// about two seconds.
void WhenOpen(int dialogId, std::function<void(wxDialog&)> act, int triesLeft = 400) {
    wxTheApp->CallAfter([dialogId, act = std::move(act), triesLeft]() mutable {
        auto* dialog = dynamic_cast<wxDialog*>(wxWindow::FindWindowById(dialogId));
        if (dialog && dialog->IsModal()) {
            act(*dialog);
            return;
        }
        ASSERT_GT(triesLeft, 0) << "dialog " << dialogId << " did not open";
        wxMilliSleep(5);
        WhenOpen(dialogId, std::move(act), triesLeft - 1);
    });
}

void End(wxDialog& dialog, int button) {
    wxCommandEvent click(wxEVT_BUTTON, button);
    click.SetEventObject(dialog.FindWindow(button));
    dialog.FindWindow(button)->GetEventHandler()->ProcessEvent(click);
}

template <class T>
T& Control(wxWindow& dialog, int id) {
    return dynamic_cast<T&>(*dialog.FindWindow(id));
}

double ShownCents(CTunerWnd& w) {
    return TextToDouble(w.FineIndicator()->GetCentsText().utf8_string());
}

// The cents of the newest reading from an A4 of `middleA` Hz.
double ReadingCents(CTunerWnd& w, double middleA) {
    const double hz = w.Pipeline().Tracker().Track().results.Newest().frequency;
    return Units::CentsPerLogUnit * std::log(hz / middleA);
}

}  // namespace

using TunerWndDialogs = WindowTest;

TEST_F(TunerWndDialogs, BothItemsAreOffered) {
    Start();
    UpdateMenus();
    for (const int id : {CommandId::TuningSettings, CommandId::RecordingDevice}) {
        SCOPED_TRACE(id);
        ASSERT_NE(Item(id), nullptr);
        EXPECT_TRUE(Item(id)->IsEnabled());
    }
}

TEST_F(TunerWndDialogs, CtrlTAndCtrlDOpenTheirDialogs) {
    Start(true);
    w->Raise();
    wxUIActionSimulator sim;
    // Without a window manager the keyboard follows the pointer.
    sim.MouseMove(w->GetScreenRect().GetPosition() + wxPoint(40, 80));
    PumpFor(100ms);
    for (const auto& [key, dialogId] : {std::pair{'t', CAnalysisSettingsDialog::DialogId},
                                        std::pair{'d', CRecordingDeviceDialog::DialogId}}) {
        SCOPED_TRACE(key);
        bool opened = false;
        WhenOpen(dialogId, [&opened](wxDialog& d) {
            opened = true;
            End(d, wxID_CANCEL);
        });
        sim.Char(key, wxMOD_CONTROL);
        EXPECT_TRUE(PumpUntil([&] { return opened; }, 2500ms));
        PumpFor(50ms);
    }
}

TEST_F(TunerWndDialogs, MiddleAFromTheTuningDialogMovesTheReadingAtOnce) {
    Start(true);
    ASSERT_TRUE(PumpUntil([&] { return w->FineIndicator()->GetNoteText() == "A4"; }, 3000ms));
    // The label rounds to tenths.
    EXPECT_NEAR(ShownCents(*w), ReadingCents(*w, 440.0), 0.051);

    // Cancel changes nothing, even after typing.
    WhenOpen(CAnalysisSettingsDialog::DialogId, [](wxDialog& d) {
        Control<wxTextCtrl>(d, CAnalysisSettingsDialog::HzFieldId).ChangeValue("450");
        Control<wxChoice>(d, CAnalysisSettingsDialog::TransposeListId).SetSelection(2);
        End(d, wxID_CANCEL);
    });
    const SettingsFiles before = w->Settings();
    Command(CommandId::TuningSettings);
    EXPECT_EQ(w->Settings(), before);

    WhenOpen(CAnalysisSettingsDialog::DialogId, [](wxDialog& d) {
        EXPECT_EQ(Control<wxTextCtrl>(d, CAnalysisSettingsDialog::HzFieldId).GetValue(), "440.000");
        Control<wxTextCtrl>(d, CAnalysisSettingsDialog::HzFieldId).ChangeValue("442");
        Control<wxChoice>(d, CAnalysisSettingsDialog::TransposeListId).SetSelection(2);
        End(d, wxID_OK);
    });
    const int opens = device->OpenCalls();
    Command(CommandId::TuningSettings);
    EXPECT_EQ(w->Settings().config.MiddleA, 442.0f);
    EXPECT_EQ(w->Settings().config.Pitch, 2);
    EXPECT_EQ(w->Pipeline().GetNoteTable(), BuildNoteTable(StretchList{}, TemperamentList{}, 442.0f));
    EXPECT_EQ(w->GetStatusBar()->GetStatusText(0), "A4: 442.000, TRANS: +2");
    // The reading already shown is measured against the new A4: a 440 Hz
    // tone now reads about -7.85 cents.
    EXPECT_NEAR(ShownCents(*w), ReadingCents(*w, 442.0), 0.051);
    EXPECT_NEAR(ShownCents(*w), -7.85, 3.0);
    EXPECT_EQ(device->OpenCalls(), opens);  // the tuning does not touch the capture
}

TEST_F(TunerWndDialogs, DeviceDialogOkAlwaysRestartsOnceAndCancelNever) {
    Start(true);
    const struct {
        const char* what;
        int button;
        int format;  // chosen in the dialog; 0: left as it is
        int restarts;
        int sampleRate;
    } cases[] = {
        {"Cancel", wxID_CANCEL, 0x40, 0, 11025},
        {"OK, nothing changed", wxID_OK, 0, 1, 11025},
        {"OK, another format", wxID_OK, 0x40, 1, 22050},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const SettingsFiles before = w->Settings();
        WhenOpen(CRecordingDeviceDialog::DialogId, [&c](wxDialog& d) {
            auto& formats = Control<wxChoice>(d, CRecordingDeviceDialog::FormatListId);
            // The scripted device offers all twenty formats, lowest flag first.
            if (c.format != 0) formats.SetSelection(6);
            End(d, c.button);
        });
        const int opens = device->OpenCalls();
        Command(CommandId::RecordingDevice);
        ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 2000ms));
        EXPECT_EQ(device->OpenCalls(), opens + c.restarts);
        EXPECT_EQ(device->LastFormat().sampleRate, c.sampleRate);
        const int format = c.format != 0 && c.button == wxID_OK ? c.format : before.config.Format;
        EXPECT_EQ(w->Settings().config.Format, format);
        if (c.button == wxID_CANCEL) {
            EXPECT_EQ(w->Settings(), before);
        }
    }
    EXPECT_TRUE(hooks->messages.empty());
}

TEST_F(TunerWndDialogs, CopyToObservedTakesTheFrequencyTheTunerDetectedLast) {
    device = ToneDevice(445.0);
    ASSERT_TRUE(Create());
    auto lastDetected = [&] {
        return RecordingDeviceRules::LastDetectedFrequency(w->Pipeline().Tracker().Track());
    };
    // Before the first result (recording starts later, with the start-up
    // event) the seeded A4 counts as nothing detected.
    ASSERT_EQ(lastDetected(), -1.0);
    ASSERT_TRUE(PumpUntil([&] { return lastDetected() > 443.0; }, 3000ms));
    wxString shown;
    WhenOpen(CRecordingDeviceDialog::DialogId, [&](wxDialog& d) {
        shown = Control<wxStaticText>(d, CRecordingDeviceDialog::LastDetectedId).GetLabel();
        End(d, CRecordingDeviceDialog::CopyToObservedId);
        End(d, wxID_OK);
    });
    Command(CommandId::RecordingDevice);
    const double value = TextToDouble(shown.utf8_string());
    EXPECT_NEAR(value, 445.0, 1.0);
    EXPECT_EQ(w->Settings().config.ExpectedFreq, static_cast<float>(value));
    EXPECT_EQ(w->Pipeline().Config().ExpectedFreq, static_cast<float>(value));
}
