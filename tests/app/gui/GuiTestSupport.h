#pragma once
// Shared pieces of the main window's tests: tones for the scripted capture
// device, and a fixture with the window under test, its settings in a
// temporary directory and its messages collected instead of shown.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/weakref.h>

#include "GuiPump.h"
#include "TempDirectory.h"
#include "TestCaptureDevice.h"
#include "app/TunerWnd.h"
#include "dialogs/DialogTestSupport.h"
#include "persistence/ConfigFile.h"

class wxMenuItem;

namespace GuiTest {

// A scripted device that plays a sine at real-time pace, reporting
// `droppedFrames` as its input overrun.
std::shared_ptr<Recorder::TestCaptureDevice> ToneDevice(double frequency, std::uint64_t droppedFrames = 0);

struct ShownMessage {
    wxString text;
    wxString caption;
    long style = 0;
};

// What the window showed and launched. Shared with the window's hooks, so
// it outlives a window whose deletion is still pending.
struct Hooks {
    std::vector<ShownMessage> messages;
    std::vector<std::string> launched;
    std::vector<bool> launchResults;           // answers to the launches, in order; missing: failed
    std::function<void()> onMessage;           // runs while a message is "shown"
    std::vector<std::string> openedAddresses;  // addresses handed to the browser
    bool addressOpens = true;                  // the browser's answer
    int exitStatus = 0;                        // what the window set as the program's
};

// A test with a main window on `device` (a 440 Hz tone unless the test
// replaces it) and the settings directory `dir`.
class WindowTest : public ::testing::Test {
protected:
    void TearDown() override { CloseWindow(); }
    // Creates and shows the window; false when it refuses to start.
    bool Create();
    // Create() that must succeed; `recording`: then waits until it records.
    void Start(bool recording = false);
    // Closes the window the way the close box does and lets it go.
    void CloseWindow();
    // Runs a menu command as the menu or an accelerator would.
    void Command(int id);
    wxMenuItem* Item(int id);
    // Brings the menu items up to date, as opening the menu does.
    void UpdateMenus();
    // Writes `config` where the next Create() reads it.
    void SaveSettings(const ConfigRecord& config);
    // Writes two presets, "Guitar & Bass" and "Violin" (selected), where the
    // next Create() reads them.
    void SaveTwoPresets();
    // Raises the window and puts the pointer over it: without a window
    // manager the keyboard follows the pointer.
    void FocusByPointer();

    TempDirectory dir;
    std::filesystem::path settingsDirectory;  // where the window keeps its settings; empty: dir
    std::shared_ptr<Recorder::TestCaptureDevice> device = ToneDevice(440.0);
    std::shared_ptr<Hooks> hooks = std::make_shared<Hooks>();
    bool ownMessages = false;        // true: the window shows its own modal messages
    std::filesystem::path helpBook;  // empty: the manual the build made
    CTunerWnd* w = nullptr;

private:
    wxWeakRef<CTunerWnd> window_;  // cleared when the window is destroyed
};

// Runs `act` on the first modal dialog of type T once it is up (queued
// before the command that opens it); fails after about two seconds.
template <class T>
void WhenOpen(std::function<void(T&)> act, int triesLeft = 400) {
    wxTheApp->CallAfter([act = std::move(act), triesLeft]() mutable {
        for (wxWindow* top : wxTopLevelWindows) {
            auto* dialog = dynamic_cast<T*>(top);
            if (dialog && dialog->IsModal()) return act(*dialog);
        }
        ASSERT_GT(triesLeft, 0) << "the dialog did not open";
        wxMilliSleep(5);
        WhenOpen<T>(std::move(act), triesLeft - 1);
    });
}

using DialogTest::Click;
using DialogTest::Control;

}  // namespace GuiTest
