// The recording-device dialog worked through its controls, on a scripted
// capture layer with the devices and formats each case needs.

#include <optional>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "DialogTestSupport.h"
#include "TestCaptureDevice.h"
#include "dialogs/RecordingDeviceDialog.h"

using namespace DialogTest;
using Id = CRecordingDeviceDialog;

namespace {

// Two devices offering 11 kHz mono 8 bits (0x1), 22 kHz mono 16 bits (0x40)
// and 44 kHz stereo 16 bits (0x800), or the given mask.
Recorder::TestCaptureDevice Devices(std::uint32_t mask = 0x1 | 0x40 | 0x800, bool readable = true) {
    Recorder::TestCaptureDevice::Settings settings;
    settings.deviceNames = {"USB Microphone", "Line In"};
    settings.formatMask = mask;
    settings.maskReadable = readable;
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

wxChoice& Choice(wxWindow& d, int id) {
    return Control<wxChoice>(d, id);
}

}  // namespace

TEST(RecordingDeviceDialog, OpensWithTheStoredDeviceAndFormat) {
    const struct {
        const char* what;
        int device;
        int format;
        std::uint32_t mask;
        bool readable;
        const char* deviceText;  // nullptr: nothing selected
        unsigned formats;
        int formatSelection;
    } cases[] = {
        {"preferred device", -1, 0x40, 0x841, true, "Preferred Recording Device", 3, 1},
        {"second device", 1, 0x800, 0x841, true, "Line In", 3, 2},
        {"missing format: the first offered", 0, 0x4, 0x841, true, "USB Microphone", 3, 0},
        {"unknown device: no device, no formats", 7, 0x40, 0x841, true, nullptr, 0, wxNOT_FOUND},
        {"device without formats", 0, 0x40, 0, true, "USB Microphone", 0, wxNOT_FOUND},
        {"unreadable device", 0, 0x40, 0x841, false, "USB Microphone", 0, wxNOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder::TestCaptureDevice devices = Devices(c.mask, c.readable);
        CRecordingDeviceDialog dialog(nullptr, Stored(c.device, c.format), devices, -1.0);
        EXPECT_EQ(dialog.GetId(), 145);
        EXPECT_EQ(dialog.GetTitle(), "Recording Device and Calibration");
        wxChoice& list = Choice(dialog, Id::DeviceListId);
        ASSERT_EQ(list.GetCount(), 3u);
        EXPECT_EQ(list.GetString(0), "Preferred Recording Device");
        EXPECT_EQ(list.GetString(2), "Line In");
        if (c.deviceText) {
            EXPECT_EQ(list.GetStringSelection(), c.deviceText);
        } else {
            EXPECT_EQ(list.GetSelection(), wxNOT_FOUND);
        }
        EXPECT_EQ(Choice(dialog, Id::FormatListId).GetCount(), c.formats);
        EXPECT_EQ(Choice(dialog, Id::FormatListId).GetSelection(), c.formatSelection);
        EXPECT_EQ(Choice(dialog, Id::StereoOptionsId).GetCount(), 0u);
        EXPECT_FALSE(Choice(dialog, Id::StereoOptionsId).IsEnabled());
        EXPECT_EQ(Control<wxTextCtrl>(dialog, Id::KnownFieldId).GetValue(), "440.00");
        EXPECT_EQ(Control<wxTextCtrl>(dialog, Id::ObservedFieldId).GetValue(), "440.00");
    }
}

TEST(RecordingDeviceDialog, OkTakesTheChoicesAndAMissingSelectionKeepsDeviceAndFormat) {
    const struct {
        const char* what;
        int storedDevice;
        std::function<void(wxDialog&)> act;
        int device;
        int format;
    } cases[] = {
        {"as opened", -1, [](wxDialog&) {}, -1, 0x40},
        {"the first format of the picked device", -1,
         [](wxDialog& d) {
             Choice(d, Id::DeviceListId).SetSelection(2);
             Choice(d, Id::FormatListId).SetSelection(2);
         },
         1, 0x800},
        {"no device selected", 9, [](wxDialog&) {}, 9, 0x40},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder::TestCaptureDevice devices = Devices();
        CRecordingDeviceDialog dialog(nullptr, Stored(c.storedDevice, 0x40), devices, -1.0);
        const auto result = RunModal(dialog, [&] {
            c.act(dialog);
            Click(dialog, wxID_OK);
        });
        ASSERT_TRUE(result);
        EXPECT_EQ(result->config.Device, c.device);
        EXPECT_EQ(result->config.Format, c.format);
    }
}

TEST(RecordingDeviceDialog, ChangingTheDeviceRefillsTheFormatsAndKeepsTheCurrentOne) {
    // The format picked last, not the stored one, is preselected in the new
    // device's list.
    Recorder::TestCaptureDevice devices = Devices();
    CRecordingDeviceDialog dialog(nullptr, Stored(0, 0x800), devices, -1.0);
    const auto result = RunModal(dialog, [&] {
        wxChoice& formats = Choice(dialog, Id::FormatListId);
        EXPECT_EQ(formats.GetSelection(), 2);
        formats.SetSelection(1);
        wxCommandEvent changed(wxEVT_CHOICE, Id::FormatListId);
        changed.SetInt(1);
        formats.GetEventHandler()->ProcessEvent(changed);
        wxChoice& list = Choice(dialog, Id::DeviceListId);
        list.SetSelection(2);
        wxCommandEvent deviceChanged(wxEVT_CHOICE, Id::DeviceListId);
        list.GetEventHandler()->ProcessEvent(deviceChanged);
        EXPECT_EQ(formats.GetCount(), 3u);
        EXPECT_EQ(formats.GetSelection(), 1);  // the format picked before, not the stored one
        Click(dialog, wxID_OK);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->config.Device, 1);
    EXPECT_EQ(result->config.Format, 0x40);
}

TEST(RecordingDeviceDialog, CopyToObservedCopiesTheShownFrequencyAndOkStoresIt) {
    const struct {
        double lastDetected;
        const char* shown;
        bool copyEnabled;
        float observed;  // after Copy to Observed and OK
    } cases[] = {
        {441.2749, "441.27", true, 441.27f},
        {-1.0, "None", false, 440.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        Recorder::TestCaptureDevice devices = Devices();
        CRecordingDeviceDialog dialog(nullptr, Stored(-1, 0x40), devices, c.lastDetected);
        const auto result = RunModal(dialog, [&] {
            EXPECT_EQ(Control<wxStaticText>(dialog, Id::LastDetectedId).GetLabel(), c.shown);
            EXPECT_EQ(dialog.FindWindow(Id::CopyToObservedId)->IsEnabled(), c.copyEnabled);
            Click(dialog, Id::CopyToObservedId);
            const wxString observed = c.copyEnabled ? wxString(c.shown) : wxString("440.00");
            EXPECT_EQ(Control<wxTextCtrl>(dialog, Id::ObservedFieldId).GetValue(), observed);
            Click(dialog, wxID_OK);
        });
        ASSERT_TRUE(result);
        EXPECT_EQ(result->config.ExpectedFreq, c.observed);
        EXPECT_EQ(result->config.KnownFreq, 440.0f);
    }
}

TEST(RecordingDeviceDialog, CalibrationTextThatIsNoFiniteNumberReadsAsZero) {
    Recorder::TestCaptureDevice devices = Devices();
    CRecordingDeviceDialog dialog(nullptr, Stored(-1, 0x40), devices, -1.0);
    const auto result = RunModal(dialog, [&] {
        Control<wxTextCtrl>(dialog, Id::KnownFieldId).ChangeValue("inf");
        Control<wxTextCtrl>(dialog, Id::ObservedFieldId).ChangeValue("nan");
        Click(dialog, wxID_OK);
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->config.KnownFreq, 0.0f);
    EXPECT_EQ(result->config.ExpectedFreq, 0.0f);
}
