#pragma once
// Shared pieces of the main window's tests: the event pump, a temporary
// settings directory, tones for the scripted capture device, and a window
// under test with its messages collected instead of shown.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/string.h>
#include <wx/weakref.h>

#include "TestCaptureDevice.h"
#include "app/TunerWnd.h"

namespace GuiTest {

// Runs the toolkit's events (timers, posted events, idle deletion) until
// `done` holds or `timeout` passes; returns whether it held.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void PumpFor(std::chrono::milliseconds duration);

// A fresh directory, removed again by the destructor.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// 16-bit PCM of a sine at `frequency` Hz, `seconds` long, at 11025 Hz.
std::vector<std::uint8_t> SineBytes(double frequency, double seconds);

// A scripted device that plays a sine at real-time pace, with an optional fault.
std::shared_ptr<Recorder::TestCaptureDevice> ToneDevice(
    double frequency, Recorder::TestCaptureDevice::Fault fault = Recorder::TestCaptureDevice::Fault::None,
    std::uint64_t faultAfterBuffers = 0);

struct ShownMessage {
    wxString text;
    wxString caption;
    long style = 0;
};

// What the window under test showed and launched. Shared with the window's
// hooks, so it outlives a window whose deletion is still pending.
struct Hooks {
    std::vector<ShownMessage> messages;
    std::vector<std::string> launched;
    std::vector<bool> launchResults;  // answers to the launches, in order; missing: failed
};

// A main window created on a test device and settings directory.
class WindowUnderTest {
public:
    WindowUnderTest(std::shared_ptr<Recorder::ICaptureDevice> device,
                    const std::filesystem::path& settingsDirectory);
    ~WindowUnderTest() { Close(); }

    // Creates (and on success shows) the window; false when refused.
    bool Create();
    // Closes the window the way the close box does and lets it go.
    void Close();

    CTunerWnd* Window() const { return window_.get(); }
    const std::shared_ptr<Hooks> hooks = std::make_shared<Hooks>();

private:
    std::shared_ptr<Recorder::ICaptureDevice> device_;
    std::filesystem::path settingsDirectory_;
    wxWeakRef<CTunerWnd> window_;  // cleared when the window is destroyed
};

// Reads a whole file as bytes ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& file);

}  // namespace GuiTest
