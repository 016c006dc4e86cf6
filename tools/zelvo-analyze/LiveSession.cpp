#include "LiveSession.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <thread>

#include "LiveDisplay.h"
#include "app/logic/MainWindowRules.h"
#include "app/logic/ShutdownSignals.h"
#include "capture/PortAudioDevice.h"
#include "capture/Recorder.h"

namespace ZelvoAnalyze {

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

ConfigRecord LiveConfig(const EffectiveSettings& settings) {
    ConfigRecord config;
    config.Device = settings.device;  // -1 is the preferred device
    config.Format = settings.format;
    config.AnalysisQuality = settings.quality;
    config.PrecisePitch = settings.precisePitch;
    config.NoiseFloor = static_cast<float>(settings.noiseFloor);
    config.KnownFreq = settings.knownFreq;
    config.ExpectedFreq = settings.expectedFreq;
    // Nothing here shows a harmonics reference, so finished notes need not
    // be kept.
    config.AlwaysStore = false;
    return config;
}

void RunDisplayLoop(TuningPipeline& pipeline, std::optional<double> seconds,
                    const std::function<bool()>& stopRequested, std::ostream& out, std::ostream& err) {
    const auto displayPeriod = std::chrono::milliseconds(MainWindowRules::DisplayPeriodMs(0));
    const auto watchdogPeriod = std::chrono::milliseconds(MainWindowRules::WatchdogPeriodMs);
    const auto started = std::chrono::steady_clock::now();
    auto nextTick = started + displayPeriod;
    auto nextWatchdog = started + watchdogPeriod;
    while (!stopRequested()) {
        std::this_thread::sleep_until(nextTick);
        nextTick += displayPeriod;
        // Takes only what was queued when the tick began, so a device that
        // delivers faster than this loop cannot keep it here.
        if (pipeline.UpdateReading().results > 0)
            out << LiveLine(pipeline.Tracker(), pipeline.GetNoteTable()) << std::endl;
        // Readings after a gap in the sound are not to be taken at face value.
        if (const std::string overrun = pipeline.TakeOverrunMessage(); !overrun.empty())
            err << "zelvo-analyze: " << overrun << std::endl;

        const auto now = std::chrono::steady_clock::now();
        if (seconds && now - started >= std::chrono::duration<double>(*seconds)) break;
        if (now >= nextWatchdog) {
            nextWatchdog = now + watchdogPeriod;
            pipeline.OnWatchdogTick();
        }
    }
}

int RunLiveTuner(const EffectiveSettings& settings, std::optional<double> seconds, std::ostream& out,
                 std::ostream& err) {
    // Handlers first, so that a signal while the sound system starts up still
    // ends the run through StopRecording rather than killing it.
    ShutdownSignals::Clear();
    ShutdownSignals::Install();
    Recorder::PortAudioSession session;  // outlives the pipeline and its recorder
    ConfigRecord config = LiveConfig(settings);
    // Without the sound system the pipeline has no device and reports the
    // start as failed, after it checked the format.
    TuningPipeline pipeline(config, session.IsOpen() ? Recorder::CreatePortAudioDevice() : nullptr);
    pipeline.SetNoteTable(settings.reference.table);
    const StartOutcome outcome = pipeline.StartRecording(false);
    if (outcome.status != StartStatus::Started) {
        err << outcome.message << '\n';
        return 2;
    }
    RunDisplayLoop(pipeline, seconds, ShutdownSignals::Requested, out, err);
    pipeline.StopRecording();
    if (Recorder::AnyRecorderAbandoned()) {
        // The recorder is stuck in a sound server that no longer answers:
        // closing the sound system or unwinding would wait for it for ever.
        err << "zelvo-analyze: the sound device did not stop; ending without closing it" << std::endl;
        out.flush();
        std::fflush(nullptr);
        std::_Exit(0);
    }
    return 0;
}

}  // namespace ZelvoAnalyze
