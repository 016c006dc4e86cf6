#pragma once
// The tuning pipeline of the main window, without the window: it owns the
// capture (one recorder and one analyzer), receives the analyzer's results on
// the recorder thread, hands them across a locked queue (bounded, see
// ResultQueue) to the user-interface thread, and on every display tick decides which note is played, how far
// it is from its target and what each indicator pane shows.
//
// Threads and order of calls (the window is CTunerWnd, which owns one
// TuningPipeline next to its settings):
//   - Everything except OnBuffer is called on the user-interface thread.
//   - OnBuffer is called by the recorder thread with every captured buffer; it
//     analyses the hop and queues the result under the pipeline's lock.
//   - Settings: the pipeline works on its own copy of the ConfigRecord, taken
//     at construction and replaced only by ApplyConfig, which the window calls
//     whenever its settings change. The pipeline never writes settings back:
//     a dragged noise floor or a harmonics selection becomes a new settings
//     object in the window first and reaches the pipeline through ApplyConfig.
//   - At the end of window creation: SetNoteTable(the built table), SeedNoteTrack(),
//     UpdateIndicators() once (A4, faded), then post the start-up message.
//   - Start-up message: StartRecording(false); show a non-empty message.
//   - Display timer, each tick: UpdateReading() then UpdateIndicators(); hand
//     the texts and values to the hidden controls and the panes.
//   - Watchdog timer (5 s): OnWatchdogTick() (quiet restart, never a message).
//   - Analysis quality or recording device changed: ApplyConfig(), then
//     StartRecording(false) (it stops the old capture first).
//   - Tuning changed: SetNoteTable(); note preset chosen: UpdateIndicators().
//   - Harmonics window: SetHarmonicsView(view) when it opens, then
//     NotifyHarmonics(true) when opened by command, NotifyHarmonics(false)
//     when reopened at start-up; SetHarmonicsView(nullptr) before it is
//     destroyed. Its selections go into the settings (TakeHarmonicsSelections),
//     then ApplyConfig() and HarmonicsSettingsApplied(); its store-reference
//     message maps to RequestStoreReference(). At a new note the pipeline
//     notifies the view itself from UpdateReading().
//   - Window destruction: StopRecording() (the destructor does it too), before
//     the settings are saved.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "analysis/AnalysisResult.h"
#include "capture/CaptureDevice.h"
#include "capture/Recorder.h"
#include "persistence/ConfigRecord.h"
#include "pipeline/DisplayValues.h"
#include "pipeline/HarmonicsState.h"
#include "pipeline/NoteTracker.h"
#include "pipeline/OverrunReport.h"
#include "pipeline/ResultQueue.h"
#include "tuning/NoteTable.h"

namespace NoteAnalyzer {
class Analyzer;
}

// The message texts StartRecording reports when it is not quiet.
inline constexpr const char* InvalidFormatMessage = "Invalid recording device format";
inline constexpr const char* StartFailedMessage =
    "Unable to start recording with the currently selected device.";

enum class StartStatus {
    Started,        // capture set up (quiet: requested; failures show later as a status)
    InvalidFormat,  // the Format setting names no capture format; nothing started
    DeviceFailed,   // the recorder could not start; recorder and analyzer released
};

struct StartOutcome {
    StartStatus status = StartStatus::Started;
    // The text for a message box; empty when quiet or when nothing failed.
    std::string message;
};

// What one display tick's UpdateReading did, for the window's hidden controls.
struct ReadingUpdate {
    bool changed = false;      // results reached the current note or a note started
    bool noteStarted = false;  // control 200 gets noteText
    std::string noteText;      // "NOTE:%s,%3.1f" of the newest note started
    std::string levelText;     // "LEVEL:%3.1f" with NoiseFloor; set control 201
                               // only when its text differs
    std::size_t results = 0;   // results taken from the queue on this tick
};

// A 32-bit millisecond tick count; wraps after 49.7 days.
using TickSource = std::function<std::uint32_t()>;

// The production tick source: a steady_clock millisecond count truncated to
// 32 bits.
std::uint32_t SteadyTickCount();

class TuningPipeline final : public Recorder::IRecorderListener {
public:
    // `config` is copied: the pipeline keeps its own settings until the next
    // ApplyConfig. `device` is the capture layer (PortAudio in the program, a
    // scripted device in tests).
    TuningPipeline(const ConfigRecord& config, std::shared_ptr<Recorder::ICaptureDevice> device,
                   TickSource ticks = SteadyTickCount);
    ~TuningPipeline() override;

    TuningPipeline(const TuningPipeline&) = delete;
    TuningPipeline& operator=(const TuningPipeline&) = delete;

    // --- Settings (user-interface thread) ---

    // Replaces the pipeline's settings. NoiseFloor reaches the running
    // analyzer at once; calibration, AlwaysStore, Pitch, CentAccuracy and the
    // harmonics selections apply from the next display tick; Device, Format
    // and AnalysisQuality from the next StartRecording, which the caller
    // decides on.
    void ApplyConfig(const ConfigRecord& config);
    const ConfigRecord& Config() const { return config_; }

    // --- Capture (user-interface thread) ---

    // Stops any capture, then builds the analyzer and the recorder from the
    // settings (Format, Device, AnalysisQuality, NoiseFloor) and starts the
    // recorder thread. Not quiet: waits for the recorder to run and reports a
    // failure as a message. Quiet: returns at once and shows nothing.
    StartOutcome StartRecording(bool quiet);
    // Stops and releases the recorder, empties the result queue, releases the
    // analyzer. Idempotent.
    void StopRecording();
    // The watchdog: a capture whose recorder does not run is stopped, and one
    // is started quietly whenever the recorder or the analyzer is missing.
    void OnWatchdogTick();
    // Recorder and analyzer both exist.
    bool IsRecordingSetUp() const;
    // Recorder::StatusStarting / StatusCapturing / StatusFailed (no recorder).
    int RecorderStatus() const;

    // The capture layer used by the next StartRecording.
    void SetCaptureDevice(std::shared_ptr<Recorder::ICaptureDevice> device);

    // Recorder thread: analyses one hop and queues its result.
    void OnBuffer(const double* samples, int count) override;

    // --- Display (user-interface thread, every display tick) ---

    // Moves every result queued when it is called into the note track (later
    // arrivals wait for the next tick).
    ReadingUpdate UpdateReading();
    // The panes' values for the held note.
    DisplayValues UpdateIndicators() const;

    // The targets used to name notes; DefaultNoteTable() until set.
    void SetNoteTable(NoteTable table);
    const NoteTable& GetNoteTable() const { return noteTable_; }

    // Seeds the note track with A4 at MiddleA (end of window creation).
    void SeedNoteTrack();

    // --- Harmonics window (user-interface thread) ---

    // The open harmonics window, or nullptr when it is closed.
    void SetHarmonicsView(IHarmonicsView* view) { harmonicsView_ = view; }
    IHarmonicsView* HarmonicsView() const { return harmonicsView_; }
    // Rebuilds the reference history and hands the window the new state
    // (nothing when it is closed).
    void NotifyHarmonics(bool redraw);
    // The harmonics selections of the settings changed (after ApplyConfig):
    // when the reference note they give is not the one the window shows,
    // rebuild its history and hand the window the state with the new note.
    void HarmonicsSettingsApplied();
    // "Store As Reference": keep the current note when it ends.
    void RequestStoreReference() { tracker_.RequestStore(); }
    // The state as the window would be handed it now.
    HarmonicsState CurrentHarmonicsState() const;
    // The reference note the ReferenceOption setting gives for the current note.
    NoteIndex ReferenceNote() const;

    // --- Read access (user-interface thread) ---
    const NoteTracker& Tracker() const { return tracker_; }
    // Results waiting in the queue (takes the lock).
    std::size_t QueuedResults() const;
    // Results the queue dropped, oldest first, because the display did not
    // take them within ResultQueue::MaxSeconds (takes the lock).
    std::uint64_t DroppedResults() const;
    // "input overrun: N frames dropped" the first time the current recording
    // lost sound (frames the device dropped plus hops the queue dropped),
    // else empty: once per recording, a watchdog restart being a new one.
    std::string TakeOverrunMessage();

private:
    // User-interface thread only; the recorder thread never reads it.
    ConfigRecord config_;
    std::shared_ptr<Recorder::ICaptureDevice> device_;
    TickSource ticks_;

    // The recorder's context; present while recording is set up. Touched by
    // the user-interface thread only.
    Recorder::RecorderHandle recorder_;

    // Guards analyzer_: the recorder thread holds it for the analysis of one
    // hop and the append, the user-interface thread to change the noise
    // floor and to release the analyzer.
    mutable std::mutex lock_;
    std::unique_ptr<NoteAnalyzer::Analyzer> analyzer_;  // guarded by lock_
    // Guards resultQueue_, taken inside lock_ for the append and alone by the
    // user-interface thread to take one result out. A lock of its own, so a
    // display tick never waits for an analysis: with a device that delivers
    // faster than real time the recorder thread would otherwise take lock_
    // again for the next hop, hop after hop, while the tick waits.
    mutable std::mutex queueLock_;
    ResultQueue resultQueue_;  // guarded by queueLock_

    // User-interface thread only.
    NoteTable noteTable_;
    NoteTracker tracker_;
    IHarmonicsView* harmonicsView_ = nullptr;  // not owned
    OverrunReport overrun_;
    // The reference note in the last state the view was handed.
    NoteIndex shownReferenceNote_ = NoteIndexInvalid;
};
