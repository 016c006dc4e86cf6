#include "LiveSession.h"

#include <signal.h>

#include <chrono>
#include <csignal>
#include <deque>
#include <iomanip>
#include <memory>
#include <mutex>
#include <ostream>
#include <thread>

#include "LiveDisplay.h"
#include "analysis/Analyzer.h"
#include "analysis/AnalyzerSettings.h"
#include "capture/PortAudioDevice.h"
#include "capture/Recorder.h"
#include "capture/WaveFormat.h"

namespace ZelvoAnalyze {

namespace {

constexpr const char* kInvalidFormatText = "Invalid recording device format";
constexpr const char* kStartFailedText = "Unable to start recording with the currently selected device.";
constexpr auto kDisplayPeriod = std::chrono::milliseconds(100);
constexpr auto kWatchdogPeriod = std::chrono::milliseconds(5000);

// Set by the SIGINT/SIGTERM handler, read by the display loop. A signal
// handler can only reach a flag of static storage; sig_atomic_t keeps the
// write safe there.
volatile std::sig_atomic_t stopRequested = 0;

extern "C" void RequestStop(int) {
    stopRequested = 1;
}

// Installs the handlers for the lifetime of the live run and puts the
// previous ones back afterwards.
class StopSignals {
public:
    StopSignals() {
        stopRequested = 0;
        struct sigaction action {};
        action.sa_handler = RequestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &previousInt_);
        sigaction(SIGTERM, &action, &previousTerm_);
    }
    ~StopSignals() {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
};

// The recorder's listener: analyses each buffer on the recorder thread and
// queues the result for the display loop, as the tuner window does.
class AnalyzingListener : public Recorder::IRecorderListener {
public:
    AnalyzingListener(const NoteAnalyzer::AnalyzerSettings& settings, double noiseFloor)
        : settings_(settings), noiseFloor_(noiseFloor) {
        Reset();
    }

    // A fresh analyzer and an empty queue; only while no recorder runs.
    void Reset() {
        std::lock_guard lock(mutex_);
        analyzer_ = std::make_unique<NoteAnalyzer::Analyzer>(settings_);
        analyzer_->noiseFloor = noiseFloor_;
        results_.clear();
    }

    // Recorder thread.
    void OnBuffer(const double* samples, int count) override {
        std::lock_guard lock(mutex_);
        // One buffer is one hop; anything else would read past the samples.
        if (count != settings_.advanceSize || analyzer_ == nullptr) return;
        results_.push_back(analyzer_->Process(samples));
    }

    // Display loop: takes one result at a time so analysis and display interleave.
    bool Take(NoteAnalyzer::AnalysisResult& result) {
        std::lock_guard lock(mutex_);
        if (results_.empty()) return false;
        result = std::move(results_.front());
        results_.pop_front();
        return true;
    }

private:
    const NoteAnalyzer::AnalyzerSettings settings_;
    const double noiseFloor_;
    std::mutex mutex_;
    // Guarded by mutex_: written by the recorder thread, drained by the display loop.
    std::unique_ptr<NoteAnalyzer::Analyzer> analyzer_;
    std::deque<NoteAnalyzer::AnalysisResult> results_;
};

}  // namespace

int ListCaptureDevices(std::ostream& out, std::ostream& err) {
    Recorder::PortAudioSession session;
    if (!session.IsOpen()) {
        err << "zelvo-analyze: cannot reach the sound system: " << session.ErrorText() << '\n';
        return 2;
    }
    auto devices = Recorder::CreatePortAudioDevice();
    const Recorder::DeviceList list = Recorder::ListDevices(*devices);
    for (const Recorder::DeviceEntry& device : list.entries) {
        out << device.deviceNumber << '\t' << device.text << '\n';
        const Recorder::FormatList formats = Recorder::ListFormats(*devices, device.deviceNumber);
        for (const Recorder::FormatEntry& format : formats.entries)
            out << '\t' << format.label << "\t0x" << std::hex << format.flag << std::dec << " ("
                << format.flag << ")\n";
    }
    out.flush();
    return 0;
}

int RunLiveTuner(const EffectiveSettings& settings, std::optional<double> seconds, std::ostream& out,
                 std::ostream& err) {
    // Handlers first, so that a signal while the sound system starts up still
    // ends the run through Stop rather than killing it.
    StopSignals signals;
    const Recorder::WaveFormatDesc format = Recorder::Describe(static_cast<std::uint32_t>(settings.format));
    if (settings.format <= 0 || format.sampleRate == 0) {
        err << kInvalidFormatText << '\n';
        return 2;
    }
    Recorder::PortAudioSession session;
    if (!session.IsOpen()) {
        err << kStartFailedText << '\n';
        return 2;
    }

    const NoteAnalyzer::AnalyzerSettings analyzerSettings =
        NoteAnalyzer::SettingsFor(format.sampleRate, settings.quality);
    const NoteAnalyzer::CaptureGeometry geometry = NoteAnalyzer::CaptureGeometryFor(format.sampleRate);
    AnalyzingListener listener(analyzerSettings, settings.noiseFloor);

    Recorder::RecorderConfig config;
    config.deviceId = static_cast<unsigned int>(settings.device);  // -1 is the preferred device
    config.channels = format.channels;
    config.bitsPerSample = format.bitsPerSample;
    config.sampleRate = format.sampleRate;
    config.bufferCount = geometry.bufferCount;
    config.bufferSamples = geometry.bufferSamples;
    config.listener = &listener;
    config.device = Recorder::CreatePortAudioDevice();

    Recorder::RecorderHandle recorder;
    try {
        Recorder::Start(recorder, config, true);
    } catch (const Recorder::RecorderException&) {
        Recorder::Stop(recorder);
        err << kStartFailedText << '\n';
        return 2;
    }

    LiveDisplay display(settings.reference);
    const auto started = std::chrono::steady_clock::now();
    auto nextTick = started + kDisplayPeriod;
    auto nextWatchdog = started + kWatchdogPeriod;
    while (stopRequested == 0) {
        std::this_thread::sleep_until(nextTick);
        nextTick += kDisplayPeriod;
        NoteAnalyzer::AnalysisResult result;
        while (listener.Take(result)) display.Add(result);
        if (const std::string line = display.TakeLine(); !line.empty()) out << line << std::endl;

        const auto now = std::chrono::steady_clock::now();
        if (seconds && now - started >= std::chrono::duration<double>(*seconds)) break;
        // A device that failed while capturing is retried quietly, as the
        // tuner's watchdog does.
        if (now >= nextWatchdog) {
            nextWatchdog = now + kWatchdogPeriod;
            if (Recorder::Status(recorder) != Recorder::StatusCapturing) {
                Recorder::Stop(recorder);
                listener.Reset();
                try {
                    Recorder::Start(recorder, config, false);
                } catch (const Recorder::RecorderException&) {
                    Recorder::Stop(recorder);
                }
            }
        }
    }
    Recorder::Stop(recorder);
    return 0;
}

}  // namespace ZelvoAnalyze
