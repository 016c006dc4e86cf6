#include "GuiTestSupport.h"

#include <wx/menu.h>
#include <wx/uiaction.h>

#include "app/MenuIdAssertFilter.h"
#include "persistence/ListFiles.h"

// The window's menu ids trip one wx assertion on purpose (see
// MenuIdAssertFilter.h); every other one fails the test.
void InstallTestAssertHandler(wxAssertHandler_t fail) {
    InstallMenuIdAssertFilter(fail);
}

namespace GuiTest {

using namespace std::chrono_literals;

std::shared_ptr<Recorder::TestCaptureDevice> ToneDevice(double frequency, std::uint64_t droppedFrames) {
    Recorder::TestCaptureDevice::Settings settings;
    // Ten seconds looped: the seam is too rare to disturb the reading.
    settings.signal = Recorder::SinePcm16(frequency, 10.0, 11025, 0.37);
    settings.pace = Recorder::TestCaptureDevice::Pace::RealTime;
    settings.droppedFrames = droppedFrames;
    return std::make_shared<Recorder::TestCaptureDevice>(settings);
}

bool WindowTest::Create() {
    TunerWndOptions options;
    options.settingsDirectory = settingsDirectory.empty() ? dir.Path() : settingsDirectory;
    options.captureDevice = device;
    if (!ownMessages) {
        options.showMessage = [h = hooks](const wxString& text, const wxString& caption, long style) {
            h->messages.push_back({text, caption, style});
            if (h->onMessage) h->onMessage();
        };
    }
    options.launchCommand = [h = hooks](const std::string& command) {
        const bool ok = h->launched.size() < h->launchResults.size() && h->launchResults[h->launched.size()];
        h->launched.push_back(command);
        return ok;
    };
    options.openAddress = [h = hooks](const std::string& address) {
        h->openedAddresses.push_back(address);
        return h->addressOpens;
    };
    options.setExitStatus = [h = hooks](int status) { h->exitStatus = status; };
    options.helpBook = helpBook;
    auto* window = new CTunerWnd;
    if (!window->Create(options)) {
        PumpFor(50ms);  // lets the refused window go
        return false;
    }
    window_ = w = window;
    w->Show();
    return true;
}

void WindowTest::Start(bool recording) {
    ASSERT_TRUE(Create());
    if (recording) {
        ASSERT_TRUE(PumpUntil([&] { return w->Pipeline().RecorderStatus() == 1; }, 2000ms));
    }
}

void WindowTest::CloseWindow() {
    if (!window_) return;
    window_->Close(true);
    PumpFor(50ms);
}

void WindowTest::Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(w);
    w->ProcessWindowEvent(event);
    PumpFor(20ms);
}

wxMenuItem* WindowTest::Item(int id) {
    return w->GetMenuBar()->FindItem(id);
}

void WindowTest::UpdateMenus() {
    for (size_t i = 0; i < w->GetMenuBar()->GetMenuCount(); ++i) w->GetMenuBar()->GetMenu(i)->UpdateUI(w);
}

void WindowTest::SaveSettings(const ConfigRecord& config) {
    ASSERT_TRUE(SaveConfig(config, dir.Path() / "tuner_config.xml"));
}

void WindowTest::SaveTwoPresets() {
    PresetList presets;
    presets.entries.push_back({"Guitar & Bass", ParseNoteList("E2,A2,D3,G3,B3,E4")});
    presets.entries.push_back({"Violin", ParseNoteList("G3,D4,A4,E5")});
    presets.SelectedIndex = 1;
    ASSERT_TRUE(SavePresetList(presets, dir.Path() / "tuner_presets.xml"));
}

void WindowTest::FocusByPointer() {
    w->Raise();
    wxUIActionSimulator().MouseMove(w->GetScreenRect().GetPosition() + wxPoint(40, 80));
    PumpFor(100ms);
}

}  // namespace GuiTest
