// The recording-device dialog worked through its controls, on a scripted
// capture layer with the devices and formats each case needs.

#include <optional>

#include <gtest/gtest.h>
#include <wx/stattext.h>

#include "DialogTestSupport.h"
#include "TestCaptureDevice.h"
#include "dialogs/RecordingDeviceDialog.h"

using namespace DialogTest;
using Id = CRecordingDeviceDialog;

namespace {

// Two devices offering 11 kHz mono 8 bits (0x1), 22 kHz mono 16 bits (0x40)
// and 44 kHz stereo 16 bits (0x800).
Recorder::TestCaptureDevice Devices() {
    Recorder::TestCaptureDevice::Settings settings;
    settings.deviceNames = {"USB Microphone", "Line In"};
    settings.formatMask = 0x841;
    return Recorder::TestCaptureDevice(settings);
}

SettingsFiles Stored(int device, int format) {
    SettingsFiles s;
    s.config.Device = device;
    s.config.Format = format;
    s.config.KnownFreq = 440.0f;
    s.config.ExpectedFreq = 440.0f;
    return s;
}

// Selects `index` in a list as the user does, with the event that sends.
void Pick(wxWindow& d, int id, int index) {
    Choice(d, id).SetSelection(index);
    wxCommandEvent changed(wxEVT_CHOICE, id);
    changed.SetInt(index);
    Choice(d, id).GetEventHandler()->ProcessEvent(changed);
}

}  // namespace

TEST(RecordingDeviceDialog, OpensWithTheStoredDeviceAndFormat) {
    const struct {
        const char* what;
        int device;
        int format;
        int deviceSelection;
        unsigned formats;
        int formatSelection;
    } cases[] = {
        {"preferred device", -1, 0x40, 0, 3, 1},
        {"second device", 1, 0x800, 2, 3, 2},
        {"unknown device: no device, no formats", 7, 0x40, wxNOT_FOUND, 0, wxNOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder::TestCaptureDevice devices = Devices();
        CRecordingDeviceDialog dialog(nullptr, Stored(c.device, c.format), devices, -1.0);
        EXPECT_EQ(Choice(dialog, Id::DeviceListId).GetSelection(), c.deviceSelection);
        EXPECT_EQ(Choice(dialog, Id::FormatListId).GetCount(), c.formats);
        EXPECT_EQ(Choice(dialog, Id::FormatListId).GetSelection(), c.formatSelection);
        if (c.device != -1) continue;
        EXPECT_EQ(dialog.GetId(), 145);
        EXPECT_EQ(dialog.GetTitle(), "Recording Device and Calibration");
        const wxArrayString names = Choice(dialog, Id::DeviceListId).GetStrings();
        EXPECT_EQ(wxJoin(names, '|'), "Preferred Recording Device|USB Microphone|Line In");
        EXPECT_FALSE(Choice(dialog, Id::StereoOptionsId).IsEnabled());
        EXPECT_EQ(Control<wxTextCtrl>(dialog, Id::KnownFieldId).GetValue(), "440.00");
    }
}

TEST(RecordingDeviceDialog, OkTakesTheChoicesAndAMissingSelectionKeepsDeviceAndFormat) {
    const struct {
        const char* what;
        int storedDevice;
        int pickDevice;  // -1: as opened
        int device;
        int format;
    } cases[] = {
        {"as opened", -1, -1, -1, 0x40},
        {"the format picked before is kept on the new device", 0, 2, 1, 0x800},
        {"no device selected", 9, -1, 9, 0x40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder::TestCaptureDevice devices = Devices();
        CRecordingDeviceDialog dialog(nullptr, Stored(c.storedDevice, 0x40), devices, -1.0);
        const auto result = RunModal(dialog, [&] {
            if (c.pickDevice >= 0) {
                Pick(dialog, Id::FormatListId, 2);
                Pick(dialog, Id::DeviceListId, c.pickDevice);
                EXPECT_EQ(Choice(dialog, Id::FormatListId).GetSelection(), 2);  // not the stored one
            }
            Click(dialog, wxID_OK);
        });
        ASSERT_TRUE(result);
        EXPECT_EQ(result->config.Device, c.device);
        EXPECT_EQ(result->config.Format, c.format);
    }
}

// Copying a detected frequency: the main window's test.
TEST(RecordingDeviceDialog, NothingDetectedLeavesNothingToCopyAndOkReadsBothFields) {
    Recorder::TestCaptureDevice devices = Devices();
    CRecordingDeviceDialog dialog(nullptr, Stored(-1, 0x40), devices, -1.0);
    const auto result = RunModal(dialog, [&] {
        EXPECT_EQ(Control<wxStaticText>(dialog, Id::LastDetectedId).GetLabel(), "None");
        EXPECT_FALSE(dialog.FindWindow(Id::CopyToObservedId)->IsEnabled());
        Control<wxTextCtrl>(dialog, Id::KnownFieldId).ChangeValue("439.5");
        Control<wxTextCtrl>(dialog, Id::ObservedFieldId).ChangeValue("441.27");
        Click(dialog, wxID_OK);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->config.KnownFreq, 439.5f);
    EXPECT_EQ(result->config.ExpectedFreq, 441.27f);
}
