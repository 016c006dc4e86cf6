// The commands that open dialogs over the running window, and what the
// window does with what each dialog ends with; the Help menu's manual.

#include <cmath>

#include <wx/choice.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "GuiTestSupport.h"
#include "app/logic/CommandIds.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/AnalysisSettingsDialog.h"
#include "dialogs/PresetDialog.h"
#include "dialogs/RecordingDeviceDialog.h"
#include "dialogs/logic/ManualAddress.h"
#include "dialogs/logic/RecordingDeviceRules.h"
#include "grid/GridTyping.h"
#include "indicators/FineIndicator.h"
#include "indicators/GlobalIndicator.h"
#include "persistence/ListFiles.h"
#include "persistence/NumberText.h"
#include "units/Units.h"

using namespace GuiTest;
using namespace std::chrono_literals;

namespace {

double ShownCents(CTunerWnd& w) {
    return TextToDouble(w.FineIndicator()->GetCentsText().utf8_string());
}

// The cents of the newest reading from an A4 of `middleA` Hz.
double ReadingCents(CTunerWnd& w, double middleA) {
    const double hz = w.Pipeline().Tracker().Track().results.Newest().frequency;
    return Units::CentsPerLogUnit * std::log(hz / middleA);
}

bool ShowsStartPage(const CTunerWnd& w) {
    return w.HelpViewer().Frame() && w.HelpViewer().Frame()->IsShown() &&
           w.HelpViewer().OpenedPage().EndsWith(ManualAddress::StartPage);
}

}  // namespace

using TunerWndDialogs = WindowTest;

TEST_F(TunerWndDialogs, TuningDialogMovesTheReadingAtOnceAndCancelChangesNothing) {
    Start(true);
    ASSERT_TRUE(PumpUntil([&] { return w->FineIndicator()->GetNoteText() == "A4"; }, 3000ms));
    for (const int button : {wxID_CANCEL, wxID_OK}) {
        SCOPED_TRACE(button);
        WhenOpen<CAnalysisSettingsDialog>([button](CAnalysisSettingsDialog& d) {
            EXPECT_EQ(Control<wxTextCtrl>(d, CAnalysisSettingsDialog::HzFieldId).GetValue(), "440.000");
            Control<wxTextCtrl>(d, CAnalysisSettingsDialog::HzFieldId).ChangeValue("442");
            Click(d, button);
        });
        const SettingsFiles before = w->Settings();
        const int opens = device->OpenCalls();
        Command(CommandId::TuningSettings);
        EXPECT_EQ(w->Settings().config.MiddleA, button == wxID_OK ? 442.0f : 440.0f);
        if (button == wxID_CANCEL) {
            EXPECT_EQ(w->Settings(), before);
        }
        // The reading already shown is measured against the new A4.
        EXPECT_NEAR(ShownCents(*w), ReadingCents(*w, w->Settings().config.MiddleA), 0.051);
        EXPECT_EQ(device->OpenCalls(), opens);  // the tuning does not touch the capture
    }
}

TEST_F(TunerWndDialogs, DeviceDialogOkAlwaysRestartsOnceAndCancelNever) {
    Start(true);
    for (const int button : {wxID_CANCEL, wxID_OK, wxID_OK}) {
        const int format = w->Settings().config.Format;
        // The scripted device offers all twenty formats, lowest flag first:
        // the seventh is 0x40 (22050 Hz); the second OK leaves it as it is.
        WhenOpen<CRecordingDeviceDialog>([button](CRecordingDeviceDialog& d) {
            auto& formats = Control<wxChoice>(d, CRecordingDeviceDialog::FormatListId);
            if (formats.GetSelection() != 6) formats.SetSelection(6);
            Click(d, button);
        });
        const int opens = device->OpenCalls();
        Command(CommandId::RecordingDevice);
        ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 2000ms));
        EXPECT_EQ(device->OpenCalls(), opens + (button == wxID_OK ? 1 : 0));
        EXPECT_EQ(w->Settings().config.Format, button == wxID_OK ? 0x40 : format);
        EXPECT_EQ(device->LastFormat().sampleRate, button == wxID_OK ? 22050 : 11025);
    }
    EXPECT_TRUE(hooks->messages.empty());
}

TEST_F(TunerWndDialogs, CopyToObservedTakesTheFrequencyTheTunerDetectedLast) {
    device = ToneDevice(445.0);
    Start(true);
    ASSERT_TRUE(PumpUntil(
        [&] { return RecordingDeviceRules::LastDetectedFrequency(w->Pipeline().Tracker().Track()) > 443.0; },
        3000ms));
    wxString shown;
    WhenOpen<CRecordingDeviceDialog>([&](CRecordingDeviceDialog& d) {
        shown = Control<wxStaticText>(d, CRecordingDeviceDialog::LastDetectedId).GetLabel();
        Click(d, CRecordingDeviceDialog::CopyToObservedId);
        Click(d, wxID_OK);
    });
    Command(CommandId::RecordingDevice);
    const double value = TextToDouble(shown.utf8_string());
    EXPECT_NEAR(value, 445.0, 1.0);
    EXPECT_EQ(w->Pipeline().Config().ExpectedFreq, static_cast<float>(value));
}

TEST_F(TunerWndDialogs, PresetEditorHandsItsListBackOnSaveAndNothingOnCancel) {
    SaveTwoPresets();
    Start();
    const SettingsFiles before = w->Settings();
    WhenOpen<CPresetDialogEx>([](CPresetDialogEx& d) { Click(d, wxID_CANCEL); });
    Command(CommandId::EditNotePresets);
    EXPECT_EQ(w->Settings(), before);
    WhenOpen<CPresetDialogEx>([](CPresetDialogEx& d) {
        TypeIntoCell(*d.ListGrid(), 0, CPresetDialogEx::NameColumn, "Bass");
        TypeIntoCell(*d.ListGrid(), 1, CPresetDialogEx::NotesColumn, "a4,e5");
        Click(d, CPresetDialogEx::SaveId);
    });
    Command(CommandId::EditNotePresets);
    EXPECT_EQ(w->Settings().presets.entries[0].name, "Bass");
    EXPECT_EQ(Item(3000)->GetItemLabelText(), "Bass");
    EXPECT_EQ(w->GlobalIndicator()->GetNotes(), ParseNoteList("A4,E5"));
}

TEST_F(TunerWndDialogs, HelpContentsShowsTheStartPageInOneViewer) {
    Start();
    Command(CommandId::HelpContents);
    ASSERT_TRUE(PumpUntil([&] { return ShowsStartPage(*w); }, 3000ms));
    EXPECT_EQ(w->HelpViewer().Frame()->GetTitle(), "Zelvo Tuner Help: Getting started");
    wxFrame* first = w->HelpViewer().Frame();
    Command(CommandId::HelpContents);
    EXPECT_TRUE(PumpUntil([&] { return ShowsStartPage(*w); }, 1000ms));
    EXPECT_EQ(w->HelpViewer().Frame(), first);
    EXPECT_TRUE(hooks->messages.empty());
}

TEST_F(TunerWndDialogs, AMissingManualIsReported) {
    helpBook = dir / "nowhere.hhp";
    Start();
    Command(CommandId::HelpContents);
    ASSERT_EQ(hooks->messages.size(), 1u);
    EXPECT_TRUE(hooks->messages[0].text.Contains("manual could not be opened"));
    EXPECT_EQ(w->HelpViewer().Frame(), nullptr);
}

TEST_F(TunerWndDialogs, WebAddressAndTheAboutLinkOpenTheManualsStartPage) {
    Start();
    hooks->addressOpens = false;  // a failed open shows nothing
    Command(CommandId::OpenWebSite);
    // The build tree's manual, since none is installed where the build would put it.
    ASSERT_EQ(hooks->openedAddresses.size(), 1u);
    const std::filesystem::path page = ManualAddress::LocalPath(hooks->openedAddresses[0]);
    EXPECT_TRUE(std::filesystem::is_regular_file(page)) << hooks->openedAddresses[0];
    EXPECT_EQ(page.filename(), ManualAddress::StartPage);

    wxString title;
    WhenOpen<CAboutDialog>([&](CAboutDialog& about) {
        title = about.GetTitle();
        about.Link()->Follow();
        about.EndModal(wxID_OK);
    });
    Command(CommandId::About);
    EXPECT_TRUE(title.StartsWith("About Zelvo Tuner "));
    EXPECT_EQ(hooks->openedAddresses, std::vector<std::string>(2, hooks->openedAddresses[0]));
    EXPECT_TRUE(hooks->messages.empty());
}
