#include "GuiTestSupport.h"

#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <thread>

#include <stdlib.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

namespace GuiTest {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    while (true) {
        if (loop)
            loop->YieldFor(wxEVT_CATEGORY_ALL);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

TempDirectory::TempDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "zelvo-app-test-XXXXXX").string();
    if (mkdtemp(pattern.data()))
        path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code ec;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> SineBytes(double frequency, double seconds, int sampleRate) {
    const int count = static_cast<int>(seconds * sampleRate);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(
            std::lround(12000.0 * std::sin(2.0 * std::numbers::pi * frequency * i / sampleRate)));
    return Recorder::Pcm16Bytes(samples);
}

std::shared_ptr<Recorder::TestCaptureDevice> ToneDevice(double frequency) {
    Recorder::TestCaptureDevice::Settings settings;
    // A whole number of periods would be best; ten seconds looped is close
    // enough that the seam does not disturb the reading.
    settings.signal = SineBytes(frequency, 10.0);
    settings.pace = Recorder::TestCaptureDevice::Pace::RealTime;
    return std::make_shared<Recorder::TestCaptureDevice>(settings);
}

WindowUnderTest::WindowUnderTest(std::shared_ptr<Recorder::ICaptureDevice> device,
                                 const std::filesystem::path& settingsDirectory)
    : device_(std::move(device)),
      settingsDirectory_(settingsDirectory),
      messages_(std::make_shared<std::vector<ShownMessage>>()),
      launched_(std::make_shared<std::vector<std::string>>()),
      launchResults_(std::make_shared<std::vector<bool>>()) {}

WindowUnderTest::~WindowUnderTest() {
    Close();
}

bool WindowUnderTest::Create() {
    TunerWndOptions options;
    options.settingsDirectory = settingsDirectory_;
    options.captureDevice = device_;
    auto messages = messages_;
    options.showMessage = [messages](const wxString& text, const wxString& caption, long style) {
        messages->push_back({text, caption, style});
    };
    auto launched = launched_;
    auto results = launchResults_;
    options.launchCommand = [launched, results](const std::string& command) {
        const bool ok = launched->size() < results->size() && (*results)[launched->size()];
        launched->push_back(command);
        return ok;
    };
    auto* window = new CTunerWnd;
    if (!window->Create(options)) {
        PumpFor(std::chrono::milliseconds(50));  // lets the refused window go
        return false;
    }
    window_ = window;
    window_->Show();
    return true;
}

void WindowUnderTest::Close() {
    if (!window_)
        return;
    window_->Close(true);
    PumpFor(std::chrono::milliseconds(50));
}

std::string ReadFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace GuiTest
