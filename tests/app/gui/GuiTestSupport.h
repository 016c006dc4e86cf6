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
// Runs events for the given time.
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

// 16-bit PCM of a sine at `frequency` Hz, `seconds` long, at `sampleRate`.
std::vector<std::uint8_t> SineBytes(double frequency, double seconds, int sampleRate = 11025);

// A scripted device that plays a sine at real-time pace.
std::shared_ptr<Recorder::TestCaptureDevice> ToneDevice(double frequency);

struct ShownMessage {
    wxString text;
    wxString caption;
    long style = 0;
};

// A main window created on a test device and settings directory. Messages
// are collected, launches are answered by `launchResults` in order.
class WindowUnderTest {
public:
    WindowUnderTest(std::shared_ptr<Recorder::ICaptureDevice> device,
                    const std::filesystem::path& settingsDirectory);
    ~WindowUnderTest();

    // Creates (and on success shows) the window; false when refused.
    bool Create();
    // Closes the window the way the close box does and lets it go.
    void Close();

    CTunerWnd* Window() const { return window_.get(); }
    const std::vector<ShownMessage>& Messages() const { return *messages_; }
    std::vector<std::string>& Launched() { return *launched_; }
    std::vector<bool>& LaunchResults() { return *launchResults_; }

private:
    std::shared_ptr<Recorder::ICaptureDevice> device_;
    std::filesystem::path settingsDirectory_;
    wxWeakRef<CTunerWnd> window_;  // cleared when the window is destroyed
    std::shared_ptr<std::vector<ShownMessage>> messages_;
    std::shared_ptr<std::vector<std::string>> launched_;
    std::shared_ptr<std::vector<bool>> launchResults_;
};

// Reads a whole file as bytes ("" when it cannot be read).
std::string ReadFile(const std::filesystem::path& file);

}  // namespace GuiTest
